#include "framework/core/IntAni.h"
#include "sysutil/Exceptions.h"
#include "toolkit/TestMessagePump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <vector>

namespace {

using C = TIntAniCollection;

struct TFamily {
    const char* Name;
    TAniFunction In;
    TAniFunction Out;
    TAniFunction InOut;
};

const TFamily Families[] = {
    {"Quadratic", C::Quadratic_In, C::Quadratic_Out, C::Quadratic_InOut},
    {"Cubic", C::Cubic_In, C::Cubic_Out, C::Cubic_InOut},
    {"Quartic", C::Quartic_In, C::Quartic_Out, C::Quartic_InOut},
    {"Quintic", C::Quintic_In, C::Quintic_Out, C::Quintic_InOut},
    {"Back", C::Back_In, C::Back_Out, C::Back_InOut},
    {"Bounce", C::Bounce_In, C::Bounce_Out, C::Bounce_InOut},
    {"Expo", C::Expo_In, C::Expo_Out, C::Expo_InOut},
    {"Sine", C::Sine_In, C::Sine_Out, C::Sine_InOut},
    {"Circle", C::Circle_In, C::Circle_Out, C::Circle_InOut},
};

TEST(IntAniCollection, CurvesAtKnownPoints) {
    struct Point {
        const char* Name;
        TAniFunction Curve;
        float P;
        double Expected;
    };
    const Point points[] = {
        {"Linear", C::Linear, 0.3f, 0.3},
        {"Quadratic_In", C::Quadratic_In, 0.5f, 0.25},
        {"Quadratic_InOut", C::Quadratic_InOut, 0.25f, 0.125},
        {"Cubic_Out", C::Cubic_Out, 0.5f, 0.875},
        {"Cubic_InOut", C::Cubic_InOut, 0.75f, 0.9375},
        {"Quartic_In", C::Quartic_In, 0.5f, 0.0625},
        {"Quintic_InOut", C::Quintic_InOut, 0.25f, 0.015625},
        {"Back_In", C::Back_In, 0.5f, 0.25 * (2.70158 * 0.5 - 1.70158)},
        {"Back_InOut", C::Back_InOut, 0.25f, 0.25 * (3.5949095 * 0.5 - 2.5949095) / 2},
        {"Bounce_Out", C::Bounce_Out, 0.2f, 7.5625 * 0.04},
        {"Bounce_Out", C::Bounce_Out, 0.5f, 0.765625},
        {"Bounce_Out", C::Bounce_Out, 0.8f, 7.5625 * std::pow(0.8 - 2.25 / 2.75, 2) + 0.9375},
        {"Bounce_Out", C::Bounce_Out, 0.95f, 7.5625 * std::pow(0.95 - 2.625 / 2.75, 2) + 0.984375},
        {"Expo_In", C::Expo_In, 0.0f, 1.0 / 1024},
        {"Expo_Out", C::Expo_Out, 1.0f, 1 - 1.0 / 1024},
        {"Expo_Out", C::Expo_Out, 0.1f, 0.5},
        {"Sine_Out", C::Sine_Out, 0.5f, std::sqrt(0.5)},
        {"Sine_InOut", C::Sine_InOut, 0.25f, (1 - std::sqrt(0.5)) / 2},
        {"Circle_In", C::Circle_In, 0.5f, 1 - std::sqrt(0.75)},
        {"Circle_InOut", C::Circle_InOut, 0.75f, (std::sqrt(0.75) + 1) / 2},
    };
    for (const Point& point : points) {
        EXPECT_NEAR(point.Curve(point.P), point.Expected, 1e-6) << point.Name << " at " << point.P;
    }
}

TEST(IntAniCollection, InIsOutMirroredAndInOutHalvesMeetAtTheMiddle) {
    const float justBelowHalf = std::nextafter(0.5f, 0.0f);
    for (const TFamily& family : Families) {
        for (float t : {0.0f, 0.1f, 0.3f, 0.5f, 0.7f, 0.9f, 1.0f}) {
            EXPECT_NEAR(family.In(t), 1 - family.Out(1 - t), 1e-5) << family.Name << " at " << t;
        }
        EXPECT_NEAR(family.InOut(0.5f), 0.5, 1e-6) << family.Name << " upper half";
        // Loose: the circle is vertical at the middle.
        EXPECT_NEAR(family.InOut(justBelowHalf), 0.5, 1e-3) << family.Name << " lower half";
    }
    EXPECT_EQ(C::Quartic_InOut(0.5f), 0.5f);
    EXPECT_EQ(C::Expo_InOut(0.5f), 0.5f);
}

TEST(IntAniCollection, BounceIsContinuousAtEachThreshold) {
    for (double k : {1.0, 2.0, 2.5}) {
        const float threshold = static_cast<float>(k / 2.75);
        const float below = std::nextafter(threshold, 0.0f);
        const float above = std::nextafter(threshold, 1.0f);
        EXPECT_NEAR(C::Bounce_Out(below), C::Bounce_Out(above), 1e-5) << "at " << k << "/d";
        EXPECT_NEAR(C::Bounce_Out(threshold), 1.0, 1e-5) << "the curve touches 1 at " << k << "/d";
    }
}

TEST(IntAniCollection, CirclesStayDefinedBeyondTheEnd) {
    // A rounded step interval can carry the progress up to almost 2.
    for (float p : {1.02f, 1.5f, 1.9f}) {
        for (TAniFunction curve : {C::Circle_In, C::Circle_Out, C::Circle_InOut}) {
            EXPECT_FALSE(std::isnan(curve(p))) << p;
        }
    }
    EXPECT_EQ(C::Circle_In(1.02f), 1.0f);
}

TEST(IntAni, ChoosesTheCurveByFamilyAndKind) {
    const TAniFunctionKind kinds[] = {afkQuadratic, afkCubic, afkQuartic, afkQuintic, afkBack,
                                      afkBounce,    afkExpo,  afkSine,    afkCircle};
    for (size_t i = 0; i < std::size(kinds); ++i) {
        EXPECT_EQ(TIntAni::ChooseFunction(akIn, kinds[i]), Families[i].In) << Families[i].Name;
        EXPECT_EQ(TIntAni::ChooseFunction(akOut, kinds[i]), Families[i].Out) << Families[i].Name;
        EXPECT_EQ(TIntAni::ChooseFunction(akInOut, kinds[i]), Families[i].InOut) << Families[i].Name;
    }
    for (TAniKind kind : {akIn, akOut, akInOut}) {
        EXPECT_EQ(TIntAni::ChooseFunction(kind, afkLinear), C::Linear);
    }
    EXPECT_EQ(TIntAni::ChooseFunction(static_cast<TAniKind>(3), afkLinear), nullptr);
    EXPECT_EQ(TIntAni::ChooseFunction(akIn, static_cast<TAniFunctionKind>(10)), nullptr);
}

TEST(IntAni, PropertiesAndTheirChecks) {
    TIntAni ani;
    EXPECT_EQ(ani.Step(), 25);
    EXPECT_EQ(ani.Duration(), 400u);
    EXPECT_EQ(ani.AniKind(), akIn);
    EXPECT_EQ(ani.AniFunctionKind(), afkLinear);
    EXPECT_FALSE(ani.FreeOnTerminate());
    EXPECT_FALSE(ani.Running());
    ani.SetStartValue(20);
    ani.SetEndValue(50);
    EXPECT_EQ(ani.DeltaValue(), 30);
    EXPECT_EQ(ani.EndValue(), 50);
    EXPECT_THROW(ani.SetStep(0), ERangeError);
    EXPECT_EQ(ani.Step(), 25);

    TIntAni given(true, akOut, afkSine, 3, -3, nullptr, nullptr);
    EXPECT_TRUE(given.FreeOnTerminate());
    EXPECT_EQ(given.AniFunctionKind(), afkSine);
    EXPECT_EQ(given.Step(), 25);
    given.SetFreeOnTerminate(false); // never started; deleted here as usual
}

// What the callbacks saw, in order; each entry notes whether it ran on the UI thread.
struct TRecorder {
    std::vector<std::wstring> Events;
    bool AllOnUIThread = true;
    DWORD UIThread = GetCurrentThreadId();

    TAniSyncProc Sync(const std::wstring& Prefix = L"") {
        return [this, Prefix](int32_t Value) { Note(Prefix + std::to_wstring(Value)); };
    }
    TAniDoneProc Done(const std::wstring& Prefix = L"") {
        return [this, Prefix] { Note(Prefix + L"done"); };
    }
    void Note(std::wstring Event) {
        AllOnUIThread = AllOnUIThread && GetCurrentThreadId() == UIThread;
        Events.push_back(std::move(Event));
    }
};

std::vector<std::wstring> Values(std::initializer_list<int> Numbers) {
    std::vector<std::wstring> events;
    for (int number : Numbers) {
        events.push_back(std::to_wstring(number));
    }
    events.push_back(L"done");
    return events;
}

TEST(IntAni, RunsDeliverEveryValueOnTheUIThreadThenRepeatTheLastThenEnd) {
    struct Run {
        const char* Name;
        TAniKind Kind;
        TAniFunctionKind Function;
        int32_t Start;
        int32_t Delta;
        uint32_t Duration;
        uint8_t Steps;
        std::vector<std::wstring> Expected;
        double LastPercent;
    };
    const Run runs[] = {
        // T = 33, progress 0.165 (rounds up as a single) ... 0.99, no clamp to 125.
        {"colour fade", akIn, afkLinear, 25, 100, 200, 6, Values({42, 58, 75, 91, 107, 124, 124}), 0.99},
        {"button state", akIn, afkLinear, 0, 255, 10, 10, Values({26, 51, 77, 102, 128, 153, 178, 204, 229, 255, 255}),
         1.0},
        // T = 17, so the last progress is 1.02 and the value passes the end.
        {"overshoot", akIn, afkLinear, 0, 100, 100, 6, Values({17, 34, 51, 68, 85, 102, 102}), 1.02},
        // Halves round to even: the interval 5 / 2 to 2, the value 5 x 0.5 to 2.
        {"interval tie", akIn, afkLinear, 0, 10, 5, 2, Values({4, 8, 8}), 0.8},
        {"value tie", akIn, afkLinear, 0, 5, 4, 2, Values({2, 5, 5}), 1.0},
        {"quadratic", akIn, afkQuadratic, 0, 100, 100, 4, Values({6, 25, 56, 100, 100}), 1.0},
        {"expo ends short", akOut, afkExpo, 0, 1024, 10, 1, Values({1023, 1023}), 1.0},
        {"slide", akIn, afkSine, -40, 40, 40, 2, Values({-28, 0, 0}), 1.0},
        {"zero duration", akIn, afkLinear, 5, 10, 0, 3, Values({15, 15, 15, 15}), 1.0},
    };
    for (const Run& run : runs) {
        TRecorder recorder;
        TIntAni ani;
        ani.SetOnSync(recorder.Sync());
        ani.SetOnDone(recorder.Done());
        // Set after construction: Execute chooses the curve again.
        ani.SetAniKind(run.Kind);
        ani.SetAniFunctionKind(run.Function);
        ani.SetStartValue(run.Start);
        ani.SetDeltaValue(run.Delta);
        ani.SetDuration(run.Duration);
        ani.SetStep(run.Steps);
        ani.Start();
        ani.Terminate(); // a request only: the run goes to its end
        ani.WaitFor();   // on the UI thread, serving the callbacks
        EXPECT_EQ(recorder.Events, run.Expected) << run.Name;
        EXPECT_TRUE(recorder.AllOnUIThread) << run.Name;
        EXPECT_FALSE(ani.Running()) << run.Name;
        EXPECT_NEAR(ani.Percent(), run.LastPercent, 1e-12) << run.Name;
        EXPECT_EQ(std::to_wstring(ani.CurrentValue()), run.Expected[run.Expected.size() - 2]) << run.Name;
    }
}

TEST(IntAni, KindsOutOfRangeCallNothing) {
    TRecorder recorder;
    TIntAni badKind(false, static_cast<TAniKind>(3), afkLinear, 0, 10, recorder.Sync(), recorder.Done());
    TIntAni badFunction(false, akIn, static_cast<TAniFunctionKind>(10), 0, 10, recorder.Sync(), recorder.Done());
    badKind.Start();
    badFunction.Start();
    badKind.WaitFor();
    badFunction.WaitFor();
    EXPECT_TRUE(recorder.Events.empty());
}

class TTrackedAni : public TIntAni {
public:
    TTrackedAni(TAniSyncProc Sync, TAniDoneProc Done, std::atomic<bool>& AFreed)
        : TIntAni(true, akIn, afkLinear, 0, 10, std::move(Sync), std::move(Done)), FFreed(AFreed) {}
    ~TTrackedAni() override { FFreed = true; }

private:
    std::atomic<bool>& FFreed;
};

TEST(IntAni, FreeOnFinishDeletesItselfAfterOnDone) {
    TRecorder recorder;
    std::atomic<bool> freed = false;
    auto* ani = new TTrackedAni(recorder.Sync(), recorder.Done(), freed);
    ani->SetDuration(4);
    ani->SetStep(2);
    ani->Start();
    ASSERT_TRUE(PumpUntil([&] { return freed.load(); }));
    EXPECT_EQ(recorder.Events, Values({5, 10, 10}));
}

TEST(IntAni, TwoAnimationsInterleaveOnTheUIThread) {
    TRecorder recorder;
    std::atomic<bool> longFreed = false;
    std::atomic<bool> shortFreed = false;
    // The short one starts from the long one's first step and ends long before the long one's
    // second step (20 steps of 100 ms).
    bool shortStarted = false;
    auto* longAni = new TTrackedAni(
        [&](int32_t Value) {
            recorder.Note(L"long " + std::to_wstring(Value));
            if (!shortStarted) {
                shortStarted = true;
                auto* shortAni = new TTrackedAni(recorder.Sync(L"short "), recorder.Done(L"short "), shortFreed);
                shortAni->SetDuration(4);
                shortAni->SetStep(2);
                shortAni->Start();
            }
        },
        recorder.Done(L"long "), longFreed);
    longAni->SetDeltaValue(20);
    longAni->SetDuration(2000);
    longAni->SetStep(20);
    longAni->Start();
    ASSERT_TRUE(PumpUntil([&] { return longFreed && shortFreed; }));

    std::vector<std::wstring> longEvents;
    std::vector<std::wstring> shortEvents;
    for (const std::wstring& event : recorder.Events) {
        (event.starts_with(L"long ") ? longEvents : shortEvents).push_back(event);
    }
    std::vector<std::wstring> expectedLong;
    for (int i = 1; i <= 20; ++i) {
        expectedLong.push_back(L"long " + std::to_wstring(i));
    }
    expectedLong.push_back(L"long 20");
    expectedLong.push_back(L"long done");
    EXPECT_EQ(longEvents, expectedLong);
    EXPECT_EQ(shortEvents, (std::vector<std::wstring>{L"short 5", L"short 10", L"short 10", L"short done"}));
    EXPECT_TRUE(recorder.AllOnUIThread);
    EXPECT_EQ(recorder.Events.front(), L"long 1");
    EXPECT_EQ(recorder.Events.back(), L"long done") << "the short run ended in between";
}

} // namespace

#include "toolkit/Timer.h"
#include "sysutil/Exceptions.h"
#include "sysutil/Seams.h"
#include "toolkit/Application.h"
#include "toolkit/TestMessagePump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Timer, TicksOnTheUIThreadUntilDisabled) {
    TComponent owner(nullptr);
    auto* timer = new TTimer(&owner);
    timer->SetInterval(10);
    std::vector<DWORD> tickThreads;
    std::vector<TPersistent*> senders;
    timer->SetOnTimer([&](TPersistent* Sender) {
        tickThreads.push_back(GetCurrentThreadId());
        senders.push_back(Sender);
        if (tickThreads.size() == 3) {
            timer->SetEnabled(false);
        }
    });
    ASSERT_TRUE(PumpUntil([&] { return tickThreads.size() >= 3; }));
    // Disabled in the third tick: no fourth one, however long the loop runs on.
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(tickThreads, (std::vector<DWORD>(3, GetCurrentThreadId())));
    EXPECT_EQ(senders, (std::vector<TPersistent*>(3, timer)));
}

TEST(Timer, DoesNotTickWhenDisabledWithoutIntervalOrWithoutHandler) {
    TTimer disabled(nullptr);
    TTimer noInterval(nullptr);
    TTimer noHandler(nullptr);
    int ticks = 0;
    const auto count = [&](TPersistent*) { ++ticks; };
    disabled.SetEnabled(false);
    disabled.SetInterval(5);
    disabled.SetOnTimer(count);
    noInterval.SetInterval(0);
    noInterval.SetOnTimer(count);
    noHandler.SetInterval(5);

    // A reference timer proves the loop ran long enough for the others to have ticked.
    TTimer reference(nullptr);
    reference.SetInterval(5);
    int referenceTicks = 0;
    reference.SetOnTimer([&](TPersistent*) { ++referenceTicks; });
    ASSERT_TRUE(PumpUntil([&] { return referenceTicks >= 5; }));
    EXPECT_EQ(ticks, 0);

    disabled.SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return ticks > 0; })) << "enabling starts it";
}

TEST(Timer, StoredPropertiesAreReachableByName) {
    TTimer timer(nullptr);
    EXPECT_EQ(timer.GetProperty(L"Enabled"), TPropertyValue::Bool(true));
    EXPECT_EQ(timer.GetProperty(L"Interval"), TPropertyValue::Integer(1000));
    timer.SetProperty(L"Interval", TPropertyValue::Integer(800));
    timer.SetProperty(L"Enabled", TPropertyValue::Bool(false));
    EXPECT_EQ(timer.Interval(), 800u);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_THROW(timer.SetProperty(L"Interval", TPropertyValue::Integer(-1)), ERangeError);
}

TEST(Timer, AnErrorInTheHandlerGoesToTheGeneralErrorReport) {
    std::vector<std::wstring> shown;
    TMessageOverride messages([&](const std::wstring&, const std::wstring& Text, UINT) {
        shown.push_back(Text);
        return IDOK;
    });
    TTimer timer(nullptr);
    timer.SetInterval(5);
    int ticks = 0;
    timer.SetOnTimer([&](TPersistent*) {
        if (++ticks == 1) {
            throw EError(L"tick failed");
        }
    });
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 2; })) << "the timer goes on after the error";
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0], L"tick failed");
}

} // namespace

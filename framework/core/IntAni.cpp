#include "framework/core/IntAni.h"

#include "sysutil/Exceptions.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr float BackS = 1.70158f;
constexpr float BackS2 = 2.5949095f; // BackS * 1.525
constexpr float BounceN = 7.5625f;
constexpr float BounceD = 2.75f;
constexpr double Pi = std::numbers::pi;

// The bounce curve B.
double Bounce(double T) {
    const double n = BounceN;
    const double d = BounceD;
    if (T < 1 / d) {
        return n * T * T;
    }
    if (T < 2 / d) {
        T -= 1.5 / d;
        return n * T * T + 0.75;
    }
    if (T < 2.5 / d) {
        T -= 2.25 / d;
        return n * T * T + 0.9375;
    }
    T -= 2.625 / d;
    return n * T * T + 0.984375;
}

// The circle curves leave their domain for progress beyond the end (a rounded step interval
// gives up to almost 2); there the root of a negative number would be NaN and the animated
// value undefined, so the circle stays at its edge instead.
double Root(double X) {
    return std::sqrt(std::max(0.0, X));
}

float Single(double Value) {
    return static_cast<float>(Value);
}

} // namespace

float TIntAniCollection::Linear(float P) {
    return P;
}

float TIntAniCollection::Quadratic_In(float P) {
    return Single(double(P) * P);
}

float TIntAniCollection::Quadratic_Out(float P) {
    return Single(1 - std::pow(1.0 - P, 2));
}

float TIntAniCollection::Quadratic_InOut(float P) {
    return P < 0.5f ? Single(2 * std::pow(double(P), 2)) : Single(1 - 2 * std::pow(P - 1.0, 2));
}

float TIntAniCollection::Cubic_In(float P) {
    return Single(std::pow(double(P), 3));
}

float TIntAniCollection::Cubic_Out(float P) {
    return Single(1 - std::pow(1.0 - P, 3));
}

float TIntAniCollection::Cubic_InOut(float P) {
    return P < 0.5f ? Single(4 * std::pow(double(P), 3)) : Single(4 * std::pow(P - 1.0, 3) + 1);
}

float TIntAniCollection::Quartic_In(float P) {
    return Single(std::pow(double(P), 4));
}

float TIntAniCollection::Quartic_Out(float P) {
    return Single(1 - std::pow(1.0 - P, 4));
}

float TIntAniCollection::Quartic_InOut(float P) {
    return P < 0.5f ? Single(8 * std::pow(double(P), 4)) : Single(1 - 8 * std::pow(P - 1.0, 4));
}

float TIntAniCollection::Quintic_In(float P) {
    return Single(std::pow(double(P), 5));
}

float TIntAniCollection::Quintic_Out(float P) {
    return Single(1 - std::pow(1.0 - P, 5));
}

float TIntAniCollection::Quintic_InOut(float P) {
    return P < 0.5f ? Single(16 * std::pow(double(P), 5)) : Single(16 * std::pow(P - 1.0, 5) + 1);
}

float TIntAniCollection::Back_In(float P) {
    const double t = P;
    return Single(t * t * ((BackS + 1.0) * t - BackS));
}

float TIntAniCollection::Back_Out(float P) {
    const double u = P - 1.0;
    return Single(u * u * ((BackS + 1.0) * u + BackS) + 1);
}

float TIntAniCollection::Back_InOut(float P) {
    if (P < 0.5f) {
        const double v = 2.0 * P;
        return Single(v * v * ((BackS2 + 1.0) * v - BackS2) / 2);
    }
    const double w = 2.0 * P - 2;
    return Single(w * w * ((BackS2 + 1.0) * w + BackS2) / 2 + 1);
}

float TIntAniCollection::Bounce_In(float P) {
    return Single(1 - Bounce(1.0 - P));
}

float TIntAniCollection::Bounce_Out(float P) {
    return Single(Bounce(P));
}

float TIntAniCollection::Bounce_InOut(float P) {
    return P < 0.5f ? Single((1 - Bounce(1 - 2.0 * P)) / 2) : Single((1 + Bounce(2.0 * P - 1)) / 2);
}

float TIntAniCollection::Expo_In(float P) {
    return Single(std::exp2(10 * (P - 1.0)));
}

float TIntAniCollection::Expo_Out(float P) {
    return Single(1 - std::exp2(-10.0 * P));
}

float TIntAniCollection::Expo_InOut(float P) {
    return P < 0.5f ? Single(std::exp2(10 * (2.0 * P - 1)) / 2) : Single((2 - std::exp2(-10 * (2.0 * P - 1))) / 2);
}

float TIntAniCollection::Sine_In(float P) {
    return Single(1 - std::cos(P * Pi / 2));
}

float TIntAniCollection::Sine_Out(float P) {
    return Single(std::sin(P * Pi / 2));
}

float TIntAniCollection::Sine_InOut(float P) {
    return Single((1 - std::cos(P * Pi)) / 2);
}

float TIntAniCollection::Circle_In(float P) {
    return Single(1 - Root(1 - double(P) * P));
}

float TIntAniCollection::Circle_Out(float P) {
    return Single(Root(1 - std::pow(P - 1.0, 2)));
}

float TIntAniCollection::Circle_InOut(float P) {
    return P < 0.5f ? Single((1 - Root(1 - std::pow(2.0 * P, 2))) / 2)
                    : Single((Root(1 - std::pow(2.0 * P - 2, 2)) + 1) / 2);
}

TIntAni::TIntAni() {
    FAniFunction = ChooseFunction(FAniKind, FAniFunctionKind);
}

TIntAni::TIntAni(bool FreeOnFinish, TAniKind aAniKind, TAniFunctionKind aAniFunctionKind, int32_t aStartValue,
                 int32_t aDeltaValue, TAniSyncProc aSyncProc, TAniDoneProc aDoneProc)
    : FOnSync(std::move(aSyncProc)), FOnDone(std::move(aDoneProc)), FAniKind(aAniKind),
      FAniFunctionKind(aAniFunctionKind), FStartValue(aStartValue), FDeltaValue(aDeltaValue) {
    SetFreeOnTerminate(FreeOnFinish);
    FAniFunction = ChooseFunction(FAniKind, FAniFunctionKind);
}

TIntAni::~TIntAni() {
    WaitUntilFinished();
}

TAniFunction TIntAni::ChooseFunction(TAniKind Kind, TAniFunctionKind FunctionKind) {
    using C = TIntAniCollection;
    // By family, then by kind (in, out, in-out).
    static constexpr TAniFunction Curves[][3] = {
        {C::Linear, C::Linear, C::Linear},
        {C::Quadratic_In, C::Quadratic_Out, C::Quadratic_InOut},
        {C::Cubic_In, C::Cubic_Out, C::Cubic_InOut},
        {C::Quartic_In, C::Quartic_Out, C::Quartic_InOut},
        {C::Quintic_In, C::Quintic_Out, C::Quintic_InOut},
        {C::Back_In, C::Back_Out, C::Back_InOut},
        {C::Bounce_In, C::Bounce_Out, C::Bounce_InOut},
        {C::Expo_In, C::Expo_Out, C::Expo_InOut},
        {C::Sine_In, C::Sine_Out, C::Sine_InOut},
        {C::Circle_In, C::Circle_Out, C::Circle_InOut},
    };
    if (FunctionKind >= std::size(Curves) || Kind > akInOut) {
        return nullptr;
    }
    return Curves[FunctionKind][Kind];
}

void TIntAni::SetStep(uint8_t Value) {
    if (Value == 0) {
        throw ERangeError(L"An animation needs 1 to 255 steps.");
    }
    FStep = Value;
}

void TIntAni::SyncValue() {
    if (FOnSync) {
        FOnSync(FCurrentValue);
    }
}

void TIntAni::SyncDone() {
    if (FOnDone) {
        FOnDone();
    }
}

void TIntAni::Execute() {
    FAniFunction = ChooseFunction(FAniKind, FAniFunctionKind);
    if (FAniFunction == nullptr) {
        return;
    }
    const uint32_t duration = FDuration;
    const int32_t start = FStartValue;
    const int32_t delta = FDeltaValue;
    Sleep(FDelayStartTime);

    const uint8_t steps = FStep; // never 0, SetStep refuses it
    // nearbyint rounds halves to even in the default rounding mode.
    const auto interval = static_cast<uint32_t>(std::nearbyint(static_cast<double>(duration) / steps));
    for (uint32_t i = 1; i <= steps; ++i) {
        // A zero duration is over at once: every step is at the end, not at 0 / 0.
        const double progress = duration == 0 ? 1.0 : static_cast<double>(i * interval) / duration;
        FPercent = progress;
        const float eased = FAniFunction(static_cast<float>(progress));
        const double value = start + std::nearbyint(static_cast<double>(delta) * eased);
        // Overshooting curves (Back, Expo past the end) may leave the 32-bit range.
        FCurrentValue = static_cast<int32_t>(std::clamp(value, double(std::numeric_limits<int32_t>::min()),
                                                        double(std::numeric_limits<int32_t>::max())));
        Synchronize([this] { SyncValue(); });
        Sleep(interval);
    }
    Synchronize([this] { SyncValue(); });
    Synchronize([this] { SyncDone(); });
}

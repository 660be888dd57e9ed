// Integer animations: a value runs from StartValue by DeltaValue over Duration milliseconds in
// Step steps, shaped by an easing curve. Each animation is its own worker thread that sleeps
// between steps and hands every value to the UI thread through a synchronous call, so OnSync
// and OnDone may touch controls directly. After the last step the value is handed over once
// more, then OnDone runs. A terminate request does not shorten a run; an animation runs once.
//
//     auto* fade = new TIntAni(true, akIn, afkLinear, 25, 100, [this](int32_t V) { Blend(V); }, nullptr);
//     fade->SetDuration(200);
//     fade->SetStep(6);
//     fade->Start(); // frees itself at the end; do not touch the pointer any more
#pragma once

#include "toolkit/Thread.h"

#include <atomic>
#include <cstdint>
#include <functional>

enum TAniKind : uint8_t { akIn, akOut, akInOut };

enum TAniFunctionKind : uint8_t {
    afkLinear,
    afkQuadratic,
    afkCubic,
    afkQuartic,
    afkQuintic,
    afkBack,
    afkBounce,
    afkExpo,
    afkSine,
    afkCircle
};

using TAniSyncProc = std::function<void(int32_t Value)>;
using TAniDoneProc = std::function<void()>;
// An easing curve: progress in, eased progress out.
using TAniFunction = float (*)(float P);

// The easing curves, in single precision. They have no special case at the ends (Expo_In at 0
// is 2^-10), and take progress slightly beyond 1, which a rounded step interval can give.
class TIntAniCollection {
public:
    static float Linear(float P);
    static float Quadratic_In(float P);
    static float Quadratic_Out(float P);
    static float Quadratic_InOut(float P);
    static float Cubic_In(float P);
    static float Cubic_Out(float P);
    static float Cubic_InOut(float P);
    static float Quartic_In(float P);
    static float Quartic_Out(float P);
    static float Quartic_InOut(float P);
    static float Quintic_In(float P);
    static float Quintic_Out(float P);
    static float Quintic_InOut(float P);
    static float Back_In(float P);
    static float Back_Out(float P);
    static float Back_InOut(float P);
    static float Bounce_In(float P);
    static float Bounce_Out(float P);
    static float Bounce_InOut(float P);
    static float Expo_In(float P);
    static float Expo_Out(float P);
    static float Expo_InOut(float P);
    static float Sine_In(float P);
    static float Sine_Out(float P);
    static float Sine_InOut(float P);
    static float Circle_In(float P);
    static float Circle_Out(float P);
    static float Circle_InOut(float P);
};

class TIntAni : public TThread {
public:
    // Step 25, Duration 400, no delay, akIn with afkLinear from 0 by 0, no callbacks, kept
    // after its run.
    TIntAni();
    TIntAni(bool FreeOnFinish, TAniKind aAniKind, TAniFunctionKind aAniFunctionKind, int32_t aStartValue,
            int32_t aDeltaValue, TAniSyncProc aSyncProc, TAniDoneProc aDoneProc);
    ~TIntAni() override;

    // The curve named after the family and the kind (Linear for every kind of afkLinear); null
    // when either is out of range.
    static TAniFunction ChooseFunction(TAniKind Kind, TAniFunctionKind FunctionKind);

    // The value of the last step, readable while the animation runs.
    int32_t CurrentValue() const noexcept { return FCurrentValue; }
    // The progress of the last step.
    double Percent() const noexcept { return FPercent; }
    // Started and not yet finished.
    bool Running() const noexcept { return Started() && !Finished(); }

    // The properties are set between construction and Start.
    const TAniSyncProc& OnSync() const noexcept { return FOnSync; }
    void SetOnSync(TAniSyncProc Value) { FOnSync = std::move(Value); }
    const TAniDoneProc& OnDone() const noexcept { return FOnDone; }
    void SetOnDone(TAniDoneProc Value) { FOnDone = std::move(Value); }
    uint8_t Step() const noexcept { return FStep; }
    // 1 to 255; ERangeError for 0, which would leave the step interval undefined.
    void SetStep(uint8_t Value);
    TAniKind AniKind() const noexcept { return FAniKind; }
    void SetAniKind(TAniKind Value) { FAniKind = Value; }
    TAniFunctionKind AniFunctionKind() const noexcept { return FAniFunctionKind; }
    void SetAniFunctionKind(TAniFunctionKind Value) { FAniFunctionKind = Value; }
    uint32_t DelayStartTime() const noexcept { return FDelayStartTime; }
    void SetDelayStartTime(uint32_t Value) { FDelayStartTime = Value; }
    uint32_t Duration() const noexcept { return FDuration; }
    void SetDuration(uint32_t Value) { FDuration = Value; }
    int32_t StartValue() const noexcept { return FStartValue; }
    void SetStartValue(int32_t Value) { FStartValue = Value; }
    int32_t DeltaValue() const noexcept { return FDeltaValue; }
    void SetDeltaValue(int32_t Value) { FDeltaValue = Value; }
    // Wraps around like the 32-bit values it is made of.
    int32_t EndValue() const noexcept { return static_cast<int32_t>(int64_t{FStartValue} + FDeltaValue); }
    void SetEndValue(int32_t Value) { FDeltaValue = static_cast<int32_t>(int64_t{Value} - FStartValue); }

protected:
    void Execute() override;

private:
    void SyncValue();
    void SyncDone();

    std::atomic<int32_t> FCurrentValue = 0;
    uint8_t FStep = 25;
    TAniFunction FAniFunction = nullptr;
    TAniSyncProc FOnSync;
    TAniDoneProc FOnDone;
    TAniKind FAniKind = akIn;
    TAniFunctionKind FAniFunctionKind = afkLinear;
    uint32_t FDelayStartTime = 0;
    uint32_t FDuration = 400;
    int32_t FStartValue = 0;
    int32_t FDeltaValue = 0;
    std::atomic<double> FPercent = 0;
};

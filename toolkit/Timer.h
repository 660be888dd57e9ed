// A periodic timer on the UI thread: a window-message timer of its own hidden window, so its
// ticks arrive through the message loop and never overlap. It runs while Enabled, Interval is
// not 0 and OnTimer is set; changing any of them starts the period again.
#pragma once

#include "toolkit/Component.h"
#include "toolkit/UtilityWindow.h"

#include <cstdint>

class TTimer : public TComponent {
public:
    // Enabled, 1000 ms, no handler.
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    bool Enabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    uint32_t Interval() const noexcept { return FInterval; }
    void SetInterval(uint32_t Value);
    const TNotifyEvent& OnTimer() const noexcept { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);

private:
    void UpdateTimer();
    bool TimerMessage(UINT Message);

    bool FEnabled = true;
    uint32_t FInterval = 1000;
    TNotifyEvent FOnTimer;
    bool FArmed = false;
    TUtilityWindow FWindow;
};

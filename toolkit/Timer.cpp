#include "toolkit/Timer.h"

#include "sysutil/Exceptions.h"

namespace {

constexpr UINT_PTR TimerId = 1;

} // namespace

TTimer::TTimer(TComponent* AOwner)
    : TComponent(AOwner), FWindow([this](UINT Message, WPARAM, LPARAM) { return TimerMessage(Message); }) {}

TTimer::~TTimer() {
    if (FArmed) {
        KillTimer(FWindow.Handle(), TimerId);
    }
}

const TPropertyTable& TTimer::StaticProperties() {
    static const TPropertyTable Table = TPropertyTableBuilder<TTimer>(L"TTimer", &TComponent::StaticProperties())
                                            .Bool(L"Enabled", &TTimer::Enabled, &TTimer::SetEnabled)
                                            .Integer(L"Interval", &TTimer::Interval, &TTimer::SetInterval)
                                            .Event(L"OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer)
                                            .Build();
    return Table;
}

void TTimer::SetEnabled(bool Value) {
    if (Value != FEnabled) {
        FEnabled = Value;
        UpdateTimer();
    }
}

void TTimer::SetInterval(uint32_t Value) {
    if (Value != FInterval) {
        FInterval = Value;
        UpdateTimer();
    }
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
    FOnTimer = std::move(Value);
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (FArmed) {
        KillTimer(FWindow.Handle(), TimerId);
        FArmed = false;
    }
    if (FEnabled && FInterval != 0 && FOnTimer) {
        if (SetTimer(FWindow.Handle(), TimerId, FInterval, nullptr) == 0) {
            throw EOSError(GetLastError(), L"(starting a timer)");
        }
        FArmed = true;
    }
}

bool TTimer::TimerMessage(UINT Message) {
    if (Message != WM_TIMER) {
        return false;
    }
    // A copy: the handler may replace OnTimer or free the timer.
    const TNotifyEvent handler = FOnTimer;
    if (handler) {
        handler(this);
    }
    return true;
}

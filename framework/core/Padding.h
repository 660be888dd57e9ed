// The inner padding of a control, in pixels. Every change of a side re-themes the owner (unless
// it is being read from a stored layout) and raises OnChange.
#pragma once

#include "framework/core/MPersistent.h"

#include <windows.h>

#include <cstdint>

class FXPadding : public TAssignPersistent {
public:
    // All four sides 0.
    explicit FXPadding(TPersistent* AOwner);

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    int32_t Left() const noexcept { return FLeft; }
    void SetLeft(int32_t Value);
    int32_t Top() const noexcept { return FTop; }
    void SetTop(int32_t Value);
    int32_t Right() const noexcept { return FRight; }
    void SetRight(int32_t Value);
    int32_t Bottom() const noexcept { return FBottom; }
    void SetBottom(int32_t Value);
    const TNotifyEvent& OnChange() const noexcept { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

    // The rectangle shrunk by the padding on each side.
    RECT ApplyTo(const RECT& ARect) const;
    int32_t PadWidth() const noexcept { return FLeft + FRight; }
    int32_t PadHeight() const noexcept { return FTop + FBottom; }
    // Each side multiplied and truncated, for a new monitor scale; nobody is notified.
    void ScaleChanged(float Scaling);

private:
    void Changed();

    int32_t FLeft = 0;
    int32_t FTop = 0;
    int32_t FRight = 0;
    int32_t FBottom = 0;
    TNotifyEvent FOnChange;
};

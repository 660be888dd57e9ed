// The base of every colour set: a persistent object that knows the control owning it and
// whether its colours are in use (custom colours over the theme's). Also the interaction state
// by which the per-state colours are indexed.
#pragma once

#include "sysutil/ColorValue.h"
#include "toolkit/Persistent.h"

#include <cstdint>

enum class FXControlState : uint8_t { None, Hover, Press };

class FXPersistentColor : public TPersistent {
public:
    explicit FXPersistentColor(TPersistent* AOwner = nullptr) : FOwner(AOwner) {}

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    TPersistent* Owner() const noexcept { return FOwner; }

    // For a custom-colour set: true means these colours replace the theme's.
    bool Enabled() const noexcept { return FEnable; }
    void SetEnabled(bool Value);

    // From another colour set: every property the two have in common, by name. Anything else is
    // left to the generic assignment, which refuses it.
    void Assign(const TPersistent& Source) override;

protected:
    // The owner re-themes at once, unless it is being read from a stored layout.
    void ColorsChanged();

private:
    TPersistent* FOwner;
    bool FEnable = false;
};

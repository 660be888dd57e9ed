// The theme contract of every framework form and themed control. An object implements it by
// deriving from FXControl beside its component base; "implements FXControl" is a successful
// dynamic_cast. The three operations keep the contract's order.
#pragma once

#include "sysutil/ColorValue.h"
#include "toolkit/Component.h"

#include <windows.h>

// The contract's interface identity, for code that identifies it by GUID.
inline constexpr GUID IID_FXControl = {0x5098EF5C, 0x0451, 0x490D, {0xA0, 0xB2, 0x24, 0xC4, 0x14, 0xF2, 0x1A, 0x24}};

class FXControl {
public:
    virtual ~FXControl() = default;

    // Whether the object has themed children to forward theme updates to.
    virtual bool IsContainer() const = 0;
    // Re-reads colours (from the theme manager or the object's custom colours) and repaints;
    // with UpdateChildren on a container, forwards the call to the components it owns.
    virtual void UpdateTheme(bool UpdateChildren) = 0;
    // The colour the object paints its own background with.
    virtual TColor Background() const = 0;
};

// The owner's re-theme after one of its owned settings changed: UpdateTheme(true) when the
// owner implements FXControl and is not being read from a stored layout (a stored layout sets
// many properties and the owner re-themes once afterwards).
inline void UpdateOwnerTheme(TPersistent* Owner) {
    auto* component = dynamic_cast<TComponent*>(Owner);
    if (component != nullptr && component->Loading()) {
        return;
    }
    if (auto* control = dynamic_cast<FXControl*>(Owner)) {
        control->UpdateTheme(true);
    }
}

// A container's forwarding: UpdateTheme(UpdateChildren) on every component it owns that
// implements FXControl, in component order. Components owned by those are reached through them.
inline void UpdateOwnedThemes(const TComponent& Owner, bool UpdateChildren) {
    for (int i = 0; i < Owner.ComponentCount(); ++i) {
        if (auto* control = dynamic_cast<FXControl*>(Owner.Components(i))) {
            control->UpdateTheme(UpdateChildren);
        }
    }
}

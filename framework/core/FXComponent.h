// The framework's base for components without a window (the popup menu).
#pragma once

#include "toolkit/Component.h"

class FXComponent : public TComponent {
public:
    using TComponent::TComponent;

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }
};

#include "framework/core/FXComponent.h"

const TPropertyTable& FXComponent::StaticProperties() {
    static const TPropertyTable Table(L"FXComponent", &TComponent::StaticProperties(), {});
    return Table;
}

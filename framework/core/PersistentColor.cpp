#include "framework/core/PersistentColor.h"

#include "framework/core/FXControl.h"

const TPropertyTable& FXPersistentColor::StaticProperties() {
    // Which classes publish Enabled differs, so each registers it itself.
    static const TPropertyTable Table(L"FXPersistentColor", &TPersistent::StaticProperties(), {});
    return Table;
}

void FXPersistentColor::SetEnabled(bool Value) {
    if (Value != FEnable) {
        FEnable = Value;
        ColorsChanged();
    }
}

void FXPersistentColor::Assign(const TPersistent& Source) {
    if (dynamic_cast<const FXPersistentColor*>(&Source) != nullptr) {
        AssignProperties(Source);
    } else {
        TPersistent::Assign(Source);
    }
}

void FXPersistentColor::ColorsChanged() {
    UpdateOwnerTheme(FOwner);
}

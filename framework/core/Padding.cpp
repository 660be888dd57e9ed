#include "framework/core/Padding.h"

#include "framework/core/FXControl.h"

#include <cmath>

FXPadding::FXPadding(TPersistent* AOwner) : TAssignPersistent(AOwner) {}

const TPropertyTable& FXPadding::StaticProperties() {
    static const TPropertyTable Table =
        TPropertyTableBuilder<FXPadding>(L"FXPadding", &TAssignPersistent::StaticProperties())
            .Integer(L"Left", &FXPadding::Left, &FXPadding::SetLeft)
            .Integer(L"Top", &FXPadding::Top, &FXPadding::SetTop)
            .Integer(L"Right", &FXPadding::Right, &FXPadding::SetRight)
            .Integer(L"Bottom", &FXPadding::Bottom, &FXPadding::SetBottom)
            .Event(L"OnChange", &FXPadding::OnChange, &FXPadding::SetOnChange)
            .Build();
    return Table;
}

// The setters store without comparing: writing the same value still notifies.
void FXPadding::SetLeft(int32_t Value) {
    FLeft = Value;
    Changed();
}

void FXPadding::SetTop(int32_t Value) {
    FTop = Value;
    Changed();
}

void FXPadding::SetRight(int32_t Value) {
    FRight = Value;
    Changed();
}

void FXPadding::SetBottom(int32_t Value) {
    FBottom = Value;
    Changed();
}

void FXPadding::Changed() {
    UpdateOwnerTheme(Owner());
    if (FOnChange) {
        FOnChange(this);
    }
}

RECT FXPadding::ApplyTo(const RECT& ARect) const {
    return {ARect.left + FLeft, ARect.top + FTop, ARect.right - FRight, ARect.bottom - FBottom};
}

void FXPadding::ScaleChanged(float Scaling) {
    const auto scale = [Scaling](int32_t Value) {
        return static_cast<int32_t>(std::trunc(static_cast<double>(Value) * Scaling));
    };
    FLeft = scale(FLeft);
    FTop = scale(FTop);
    FRight = scale(FRight);
    FBottom = scale(FBottom);
}

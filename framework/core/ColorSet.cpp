#include "framework/core/ColorSet.h"

// FXColorSet

FXColorSet::FXColorSet(TPersistent* AOwner) : FXPersistentColor(AOwner), FAccent(0xD47800) {}

FXColorSet::FXColorSet(const FXColorSets& Colors, bool DarkColor) : FXColorSet(nullptr, Colors, DarkColor) {}

FXColorSet::FXColorSet(TPersistent* AOwner, const FXColorSets& Colors, bool DarkColor) : FXColorSet(AOwner) {
    LoadFrom(Colors, DarkColor);
}

const TPropertyTable& FXColorSet::StaticProperties() {
    using T = FXColorSet;
    static const TPropertyTable Table = TPropertyTableBuilder<T>(L"FXColorSet", &FXPersistentColor::StaticProperties())
                                            .Color(L"Accent", &T::Accent, &T::SetAccent)
                                            .Color(L"BackGround", &T::BackGround, &T::SetBackGround)
                                            .Color(L"ForeGround", &T::ForeGround, &T::SetForeGround)
                                            .Build();
    return Table;
}

void FXColorSet::LoadFrom(const FXColorSets& Colors, bool DarkColor) {
    FAccent = Colors.Accent();
    FBackGround = DarkColor ? Colors.DarkBackGround() : Colors.LightBackGround();
    FForeground = DarkColor ? Colors.DarkForeGround() : Colors.LightForeGround();
}

// FXCompleteColorSet

FXCompleteColorSet::FXCompleteColorSet(const FXCompleteColorSets& Colors, bool DarkColor)
    : FXCompleteColorSet(nullptr, Colors, DarkColor) {}

FXCompleteColorSet::FXCompleteColorSet(TPersistent* AOwner, const FXCompleteColorSets& Colors, bool DarkColor)
    : FXColorSet(AOwner) {
    LoadFrom(Colors, DarkColor);
}

const TPropertyTable& FXCompleteColorSet::StaticProperties() {
    using T = FXCompleteColorSet;
    static const TPropertyTable Table =
        TPropertyTableBuilder<T>(L"FXCompleteColorSet", &FXColorSet::StaticProperties())
            .Color(L"BackGroundInterior", &T::BackGroundInterior, &T::SetBackGroundInterior)
            .Build();
    return Table;
}

void FXCompleteColorSet::LoadFrom(const FXCompleteColorSets& Colors, bool DarkColor) {
    FXColorSet::LoadFrom(Colors, DarkColor);
    FBackGroundInterior = DarkColor ? Colors.DarkBackGroundInterior() : Colors.LightBackGroundInterior();
}

// FXColorStateSet

FXColorStateSet::FXColorStateSet(const FXColorStateSets& AFrom, bool DarkColor) : FXPersistentColor(nullptr) {
    LoadFrom(AFrom, DarkColor);
}

const TPropertyTable& FXColorStateSet::StaticProperties() {
    using T = FXColorStateSet;
    static const TPropertyTable Table =
        TPropertyTableBuilder<T>(L"FXColorStateSet", &FXPersistentColor::StaticProperties())
            .Bool(L"Enabled", &T::Enabled, &T::SetEnabled)
            .Color(L"Accent", &T::Accent, &T::SetAccent)
            .Color(L"BackgroundNone", &T::BackGroundNone, &T::SetBackGroundNone)
            .Color(L"BackgroundHover", &T::BackGroundHover, &T::SetBackGroundHover)
            .Color(L"BackgroundPress", &T::BackGroundPress, &T::SetBackGroundPress)
            .Color(L"ForeGroundNone", &T::ForeGroundNone, &T::SetForeGroundNone)
            .Color(L"ForeGroundHover", &T::ForeGroundHover, &T::SetForeGroundHover)
            .Color(L"ForeGroundPress", &T::ForeGroundPress, &T::SetForeGroundPress)
            .Build();
    return Table;
}

void FXColorStateSet::LoadFrom(const FXColorStateSets& AFrom, bool DarkColor) {
    FAccent = AFrom.Accent();
    FBackGroundNone = AFrom.GetColor(DarkColor, false, FXControlState::None);
    FBackGroundHover = AFrom.GetColor(DarkColor, false, FXControlState::Hover);
    FBackGroundPress = AFrom.GetColor(DarkColor, false, FXControlState::Press);
    FForeGroundNone = AFrom.GetColor(DarkColor, true, FXControlState::None);
    FForeGroundHover = AFrom.GetColor(DarkColor, true, FXControlState::Hover);
    FForeGroundPress = AFrom.GetColor(DarkColor, true, FXControlState::Press);
}

TColor FXColorStateSet::GetColor(bool Foreground, FXControlState State) const {
    switch (State) {
    case FXControlState::None:
        return Foreground ? FForeGroundNone : FBackGroundNone;
    case FXControlState::Hover:
        return Foreground ? FForeGroundHover : FBackGroundHover;
    case FXControlState::Press:
        return Foreground ? FForeGroundPress : FBackGroundPress;
    }
    return 0;
}

// FXSingleColorStateSet

FXSingleColorStateSet::FXSingleColorStateSet(TColor ANone, TColor AHover, TColor APress) : FXPersistentColor(nullptr) {
    LoadColors(ANone, AHover, APress);
}

FXSingleColorStateSet::FXSingleColorStateSet(const FXSingleColorStateSets& Colors, bool DarkTheme)
    : FXPersistentColor(nullptr) {
    LoadColors(Colors, DarkTheme);
}

const TPropertyTable& FXSingleColorStateSet::StaticProperties() {
    using T = FXSingleColorStateSet;
    static const TPropertyTable Table =
        TPropertyTableBuilder<T>(L"FXSingleColorStateSet", &FXPersistentColor::StaticProperties())
            .Bool(L"Enabled", &T::Enabled, &T::SetEnabled)
            .Color(L"Accent", &T::Accent, &T::SetAccent)
            .Color(L"None", &T::None, &T::SetNone)
            .Color(L"Hover", &T::Hover, &T::SetHover)
            .Color(L"Press", &T::Press, &T::SetPress)
            .Build();
    return Table;
}

void FXSingleColorStateSet::LoadColors(TColor ANone, TColor AHover, TColor APress) {
    FNone = ANone;
    FHover = AHover;
    FPress = APress;
}

void FXSingleColorStateSet::LoadColors(const FXSingleColorStateSets& Colors, bool DarkTheme) {
    LoadColors(Colors.GetColor(DarkTheme, FXControlState::None), Colors.GetColor(DarkTheme, FXControlState::Hover),
               Colors.GetColor(DarkTheme, FXControlState::Press));
}

void FXSingleColorStateSet::CopyFrom(const FXSingleColorStateSet& FromSet) {
    FAccent = FromSet.Accent();
    LoadColors(FromSet.None(), FromSet.Hover(), FromSet.Press());
}

TColor FXSingleColorStateSet::GetColor(FXControlState AState) const {
    switch (AState) {
    case FXControlState::None:
        return FNone;
    case FXControlState::Hover:
        return FHover;
    case FXControlState::Press:
        return FPress;
    }
    return 0;
}

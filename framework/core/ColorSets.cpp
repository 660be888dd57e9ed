#include "framework/core/ColorSets.h"

namespace {

constexpr TColor DefaultAccent = 0xD47800;

// The grey shades shared by the two state palettes.
constexpr TColor GreyLight[3] = {0x8B8B8B, 0x9F9F9F, 0x757575};
constexpr TColor GreyDark[3] = {0xA29F9D, 0xB7B5B3, 0x8D8987};

bool ValidState(FXControlState State) {
    return static_cast<uint8_t>(State) <= 2;
}

} // namespace

// FXColorSets

FXColorSets::FXColorSets(TPersistent* AOwner, bool FocusControl)
    : FXPersistentColor(AOwner), FAccent(DefaultAccent), FLightBackGround(FocusControl ? 0xFBFBFB : 0xF3F3F3),
      FLightForeground(0x1B1B1A), FDarkBackGround(FocusControl ? 0x2B2B2B : 0x202020), FDarkForeground(0xFFFFFF) {}

const TPropertyTable& FXColorSets::StaticProperties() {
    using T = FXColorSets;
    static const TPropertyTable Table = TPropertyTableBuilder<T>(L"FXColorSets", &FXPersistentColor::StaticProperties())
                                            .Bool(L"Enabled", &T::Enabled, &T::SetEnabled)
                                            .Color(L"Accent", &T::Accent, &T::SetAccent)
                                            .Color(L"LightBackGround", &T::LightBackGround, &T::SetLightBackGround)
                                            .Color(L"LightForeGround", &T::LightForeGround, &T::SetLightForeGround)
                                            .Color(L"DarkBackGround", &T::DarkBackGround, &T::SetDarkBackGround)
                                            .Color(L"DarkForeGround", &T::DarkForeGround, &T::SetDarkForeGround)
                                            .Build();
    return Table;
}

void FXColorSets::SetColor(int Index, TColor Value) {
    switch (Index) {
    case 0:
        FAccent = Value;
        break;
    case 1:
        FLightBackGround = Value;
        break;
    case 2:
        FLightForeground = Value;
        break;
    case 3:
        FDarkBackGround = Value;
        break;
    case 4:
        FDarkForeground = Value;
        break;
    default:
        break;
    }
    ColorsChanged();
}

// FXCompleteColorSets

FXCompleteColorSets::FXCompleteColorSets(TPersistent* AOwner)
    : FXColorSets(AOwner, false), FLightBackGroundInterior(0xFBFBFB), FDarkBackGroundInterior(0x2B2B2B) {}

const TPropertyTable& FXCompleteColorSets::StaticProperties() {
    using T = FXCompleteColorSets;
    static const TPropertyTable Table =
        TPropertyTableBuilder<T>(L"FXCompleteColorSets", &FXColorSets::StaticProperties())
            .Color(L"LightBackGroundInterior", &T::LightBackGroundInterior, &T::SetLightBackGroundInterior)
            .Color(L"DarkBackGroundInterior", &T::DarkBackGroundInterior, &T::SetDarkBackGroundInterior)
            .Build();
    return Table;
}

void FXCompleteColorSets::SetLightBackGroundInterior(TColor Value) {
    FLightBackGroundInterior = Value;
    ColorsChanged();
}

void FXCompleteColorSets::SetDarkBackGroundInterior(TColor Value) {
    FDarkBackGroundInterior = Value;
    ColorsChanged();
}

// FXColorStateSets

FXColorStateSets::FXColorStateSets()
    : FXPersistentColor(nullptr), FAccent(DefaultAccent), FLightBackGroundNone(GreyLight[0]),
      FLightBackGroundHover(GreyLight[1]), FLightBackGroundPress(GreyLight[2]), FLightForeGroundNone(0x1B1B1B),
      FLightForeGroundHover(0x1B1B1B), FLightForeGroundPress(0x878787), FDarkBackGroundNone(GreyDark[0]),
      FDarkBackGroundHover(GreyDark[1]), FDarkBackGroundPress(GreyDark[2]), FDarkForeGroundNone(0xFFFFFF),
      FDarkForeGroundHover(0xFFFFFF), FDarkForeGroundPress(0xCECECE) {}

FXColorStateSets::FXColorStateSets(TPersistent* AOwner) : FXPersistentColor(AOwner) {}

const TPropertyTable& FXColorStateSets::StaticProperties() {
    using T = FXColorStateSets;
    // The names are the keys of stored layouts, spelled as those store them.
    static const wchar_t* const Names[12] = {
        L"LightBackgroundNone",  L"LightBackgroundHover", L"LightBackgroundPress", L"LightForeGroundNone",
        L"LightForeGroundHover", L"LightForeGroundPress", L"DarkBackGroundNone",   L"DarkBackGroundHover",
        L"DarkBackGroundPress",  L"DarkForeGroundNone",   L"DarkForeGroundHover",  L"DarkForeGroundPress",
    };
    static const TPropertyTable Table = [] {
        TPropertyTableBuilder<T> builder(L"FXColorStateSets", &FXPersistentColor::StaticProperties());
        builder.Bool(L"Enabled", &T::Enabled, &T::SetEnabled).Color(L"Accent", &T::Accent, &T::SetAccent);
        for (int index = 0; index < 12; ++index) {
            builder.Color(
                Names[index], [index](const T& Sets) { return Sets.ColorAt(index); },
                [index](T& Sets, TColor Value) { Sets.SetColor(index, Value); });
        }
        return builder.Build();
    }();
    return Table;
}

void FXColorStateSets::SetAccent(TColor Value) {
    FAccent = Value;
    ColorsChanged();
}

TColor FXColorStateSets::*FXColorStateSets::Slot(int Index) {
    using T = FXColorStateSets;
    static constexpr TColor T::*Slots[12] = {
        &T::FLightBackGroundNone,  &T::FLightBackGroundHover, &T::FLightBackGroundPress, &T::FLightForeGroundNone,
        &T::FLightForeGroundHover, &T::FLightForeGroundPress, &T::FDarkBackGroundNone,   &T::FDarkBackGroundHover,
        &T::FDarkBackGroundPress,  &T::FDarkForeGroundNone,   &T::FDarkForeGroundHover,  &T::FDarkForeGroundPress,
    };
    return Index >= 0 && Index < 12 ? Slots[Index] : nullptr;
}

TColor FXColorStateSets::ColorAt(int Index) const {
    TColor FXColorStateSets::*slot = Slot(Index);
    return slot != nullptr ? this->*slot : 0;
}

void FXColorStateSets::SetColor(int Index, TColor Value) {
    if (TColor FXColorStateSets::*slot = Slot(Index)) {
        this->*slot = Value;
    }
    ColorsChanged();
}

TColor FXColorStateSets::GetColor(bool DarkTheme, bool Foreground, FXControlState State) const {
    if (!ValidState(State)) {
        return 0;
    }
    return ColorAt((DarkTheme ? 6 : 0) + (Foreground ? 3 : 0) + static_cast<int>(State));
}

// FXSingleColorStateSets

FXSingleColorStateSets::FXSingleColorStateSets()
    : FXPersistentColor(nullptr), FAccent(DefaultAccent), FLightNone(GreyLight[0]), FLightHover(GreyLight[1]),
      FLightPress(GreyLight[2]), FDarkNone(GreyDark[0]), FDarkHover(GreyDark[1]), FDarkPress(GreyDark[2]) {}

FXSingleColorStateSets::FXSingleColorStateSets(TPersistent* AOwner) : FXPersistentColor(AOwner) {}

const TPropertyTable& FXSingleColorStateSets::StaticProperties() {
    using T = FXSingleColorStateSets;
    static const wchar_t* const Names[6] = {L"LightNone", L"LightHover", L"LightPress",
                                            L"DarkNone",  L"DarkHover",  L"DarkPress"};
    static const TPropertyTable Table = [] {
        TPropertyTableBuilder<T> builder(L"FXSingleColorStateSets", &FXPersistentColor::StaticProperties());
        builder.Bool(L"Enabled", &T::Enabled, &T::SetEnabled).Color(L"Accent", &T::Accent, &T::SetAccent);
        for (int index = 0; index < 6; ++index) {
            builder.Color(
                Names[index], [index](const T& Sets) { return Sets.ColorAt(index); },
                [index](T& Sets, TColor Value) { Sets.SetColor(index, Value); });
        }
        return builder.Build();
    }();
    return Table;
}

void FXSingleColorStateSets::SetAccent(TColor Value) {
    FAccent = Value;
    ColorsChanged();
}

TColor FXSingleColorStateSets::*FXSingleColorStateSets::Slot(int Index) {
    using T = FXSingleColorStateSets;
    static constexpr TColor T::*Slots[6] = {
        &T::FLightNone, &T::FLightHover, &T::FLightPress, &T::FDarkNone, &T::FDarkHover, &T::FDarkPress,
    };
    return Index >= 0 && Index < 6 ? Slots[Index] : nullptr;
}

TColor FXSingleColorStateSets::ColorAt(int Index) const {
    TColor FXSingleColorStateSets::*slot = Slot(Index);
    return slot != nullptr ? this->*slot : 0;
}

void FXSingleColorStateSets::SetColor(int Index, TColor Value) {
    if (TColor FXSingleColorStateSets::*slot = Slot(Index)) {
        this->*slot = Value;
    }
    ColorsChanged();
}

TColor FXSingleColorStateSets::GetColor(bool DarkTheme, FXControlState State) const {
    if (!ValidState(State)) {
        return 0;
    }
    return ColorAt((DarkTheme ? 3 : 0) + static_cast<int>(State));
}

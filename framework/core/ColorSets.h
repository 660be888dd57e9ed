// Colour sets for both themes: a light and a dark variant of each colour. Controls keep their
// custom colours in one (stored with the form) and the theme manager keeps the framework's
// palette in them. Every setter tells the owner (UpdateTheme), unless the owner is being read
// from a stored layout, so editing custom colours re-themes the control at once.
#pragma once

#include "framework/core/PersistentColor.h"

class FXColorSets : public FXPersistentColor {
public:
    // A focus control (one that takes input) gets the lighter background shade of each theme.
    explicit FXColorSets(TPersistent* AOwner = nullptr, bool FocusControl = false);

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    TColor Accent() const noexcept { return FAccent; }
    TColor LightBackGround() const noexcept { return FLightBackGround; }
    TColor LightForeGround() const noexcept { return FLightForeground; }
    TColor DarkBackGround() const noexcept { return FDarkBackGround; }
    TColor DarkForeGround() const noexcept { return FDarkForeground; }

    // 0 Accent, 1 LightBackGround, 2 LightForeGround, 3 DarkBackGround, 4 DarkForeGround. Stores
    // and notifies, also when nothing changed or the index is out of range.
    void SetColor(int Index, TColor Value);
    void SetAccent(TColor Value) { SetColor(0, Value); }
    void SetLightBackGround(TColor Value) { SetColor(1, Value); }
    void SetLightForeGround(TColor Value) { SetColor(2, Value); }
    void SetDarkBackGround(TColor Value) { SetColor(3, Value); }
    void SetDarkForeGround(TColor Value) { SetColor(4, Value); }

private:
    TColor FAccent;
    TColor FLightBackGround;
    TColor FLightForeground;
    TColor FDarkBackGround;
    TColor FDarkForeground;
};

// With an interior shade per theme, for surfaces inside a surface.
class FXCompleteColorSets : public FXColorSets {
public:
    explicit FXCompleteColorSets(TPersistent* AOwner = nullptr);

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    TColor LightBackGroundInterior() const noexcept { return FLightBackGroundInterior; }
    TColor DarkBackGroundInterior() const noexcept { return FDarkBackGroundInterior; }
    void SetLightBackGroundInterior(TColor Value);
    void SetDarkBackGroundInterior(TColor Value);

private:
    TColor FLightBackGroundInterior;
    TColor FDarkBackGroundInterior;
};

// Background and foreground per interaction state and theme. Indexes 0 to 11: light background
// none, hover, press; light foreground none, hover, press; then the same for dark.
class FXColorStateSets : public FXPersistentColor {
public:
    // The framework's grey button palette.
    FXColorStateSets();
    // Every colour 0: an owner's stored layout supplies them.
    explicit FXColorStateSets(TPersistent* AOwner);

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    TColor Accent() const noexcept { return FAccent; }
    void SetAccent(TColor Value);
    // 0 outside 0..11.
    TColor ColorAt(int Index) const;
    // Stores, then notifies, also for an index out of range.
    void SetColor(int Index, TColor Value);
    // The colour at (DarkTheme ? 6 : 0) + (Foreground ? 3 : 0) + State; 0 for an unknown state.
    TColor GetColor(bool DarkTheme, bool Foreground, FXControlState State) const;

    TColor LightBackGroundNone() const noexcept { return FLightBackGroundNone; }
    TColor LightBackGroundHover() const noexcept { return FLightBackGroundHover; }
    TColor LightBackGroundPress() const noexcept { return FLightBackGroundPress; }
    TColor LightForeGroundNone() const noexcept { return FLightForeGroundNone; }
    TColor LightForeGroundHover() const noexcept { return FLightForeGroundHover; }
    TColor LightForeGroundPress() const noexcept { return FLightForeGroundPress; }
    TColor DarkBackGroundNone() const noexcept { return FDarkBackGroundNone; }
    TColor DarkBackGroundHover() const noexcept { return FDarkBackGroundHover; }
    TColor DarkBackGroundPress() const noexcept { return FDarkBackGroundPress; }
    TColor DarkForeGroundNone() const noexcept { return FDarkForeGroundNone; }
    TColor DarkForeGroundHover() const noexcept { return FDarkForeGroundHover; }
    TColor DarkForeGroundPress() const noexcept { return FDarkForeGroundPress; }

private:
    // The field of an index, nullptr outside 0..11.
    static TColor FXColorStateSets::*Slot(int Index);

    TColor FAccent = 0;
    TColor FLightBackGroundNone = 0;
    TColor FLightBackGroundHover = 0;
    TColor FLightBackGroundPress = 0;
    TColor FLightForeGroundNone = 0;
    TColor FLightForeGroundHover = 0;
    TColor FLightForeGroundPress = 0;
    TColor FDarkBackGroundNone = 0;
    TColor FDarkBackGroundHover = 0;
    TColor FDarkBackGroundPress = 0;
    TColor FDarkForeGroundNone = 0;
    TColor FDarkForeGroundHover = 0;
    TColor FDarkForeGroundPress = 0;
};

// One colour per interaction state and theme. Indexes 0 to 5: light none, hover, press, then
// dark none, hover, press.
class FXSingleColorStateSets : public FXPersistentColor {
public:
    // The framework's grey control palette.
    FXSingleColorStateSets();
    // Every colour 0: an owner's stored layout supplies them.
    explicit FXSingleColorStateSets(TPersistent* AOwner);

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    TColor Accent() const noexcept { return FAccent; }
    void SetAccent(TColor Value);
    // 0 outside 0..5.
    TColor ColorAt(int Index) const;
    // Stores, then notifies, also for an index out of range.
    void SetColor(int Index, TColor Value);
    // The colour at (DarkTheme ? 3 : 0) + State; 0 for an unknown state.
    TColor GetColor(bool DarkTheme, FXControlState State) const;

    TColor LightNone() const noexcept { return FLightNone; }
    TColor LightHover() const noexcept { return FLightHover; }
    TColor LightPress() const noexcept { return FLightPress; }
    TColor DarkNone() const noexcept { return FDarkNone; }
    TColor DarkHover() const noexcept { return FDarkHover; }
    TColor DarkPress() const noexcept { return FDarkPress; }

private:
    // The field of an index, nullptr outside 0..5.
    static TColor FXSingleColorStateSets::*Slot(int Index);

    TColor FAccent = 0;
    TColor FLightNone = 0;
    TColor FLightHover = 0;
    TColor FLightPress = 0;
    TColor FDarkNone = 0;
    TColor FDarkHover = 0;
    TColor FDarkPress = 0;
};

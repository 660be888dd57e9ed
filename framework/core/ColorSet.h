// Colour sets resolved for one theme: what a control paints with, filled from a two-theme set
// (its custom colours or the theme manager's palette) whenever the theme changes. Their colour
// setters only store; nothing is notified.
#pragma once

#include "framework/core/ColorSets.h"

class FXColorSet : public FXPersistentColor {
public:
    // Accent 0xD47800, background and foreground 0.
    explicit FXColorSet(TPersistent* AOwner = nullptr);
    FXColorSet(const FXColorSets& Colors, bool DarkColor);
    FXColorSet(TPersistent* AOwner, const FXColorSets& Colors, bool DarkColor);

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    // The accent and the colour pair of one theme.
    void LoadFrom(const FXColorSets& Colors, bool DarkColor);

    TColor Accent() const noexcept { return FAccent; }
    void SetAccent(TColor Value) { FAccent = Value; }
    TColor BackGround() const noexcept { return FBackGround; }
    void SetBackGround(TColor Value) { FBackGround = Value; }
    TColor ForeGround() const noexcept { return FForeground; }
    void SetForeGround(TColor Value) { FForeground = Value; }

private:
    TColor FAccent;
    TColor FBackGround = 0;
    TColor FForeground = 0;
};

class FXCompleteColorSet : public FXColorSet {
public:
    explicit FXCompleteColorSet(TPersistent* AOwner = nullptr) : FXColorSet(AOwner) {}
    FXCompleteColorSet(const FXCompleteColorSets& Colors, bool DarkColor);
    FXCompleteColorSet(TPersistent* AOwner, const FXCompleteColorSets& Colors, bool DarkColor);

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    // From a set without interior shades the interior stays as it is.
    using FXColorSet::LoadFrom;
    void LoadFrom(const FXCompleteColorSets& Colors, bool DarkColor);

    TColor BackGroundInterior() const noexcept { return FBackGroundInterior; }
    void SetBackGroundInterior(TColor Value) { FBackGroundInterior = Value; }

private:
    TColor FBackGroundInterior = 0;
};

class FXColorStateSet : public FXPersistentColor {
public:
    // Every colour 0.
    explicit FXColorStateSet(TPersistent* AOwner = nullptr) : FXPersistentColor(AOwner) {}
    FXColorStateSet(const FXColorStateSets& AFrom, bool DarkColor);

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    // The accent and the six state colours of one theme.
    void LoadFrom(const FXColorStateSets& AFrom, bool DarkColor);
    // Over background none, hover, press, foreground none, hover, press; 0 for an unknown state.
    TColor GetColor(bool Foreground, FXControlState State) const;

    TColor Accent() const noexcept { return FAccent; }
    void SetAccent(TColor Value) { FAccent = Value; }
    TColor BackGroundNone() const noexcept { return FBackGroundNone; }
    void SetBackGroundNone(TColor Value) { FBackGroundNone = Value; }
    TColor BackGroundHover() const noexcept { return FBackGroundHover; }
    void SetBackGroundHover(TColor Value) { FBackGroundHover = Value; }
    TColor BackGroundPress() const noexcept { return FBackGroundPress; }
    void SetBackGroundPress(TColor Value) { FBackGroundPress = Value; }
    TColor ForeGroundNone() const noexcept { return FForeGroundNone; }
    void SetForeGroundNone(TColor Value) { FForeGroundNone = Value; }
    TColor ForeGroundHover() const noexcept { return FForeGroundHover; }
    void SetForeGroundHover(TColor Value) { FForeGroundHover = Value; }
    TColor ForeGroundPress() const noexcept { return FForeGroundPress; }
    void SetForeGroundPress(TColor Value) { FForeGroundPress = Value; }

private:
    TColor FAccent = 0;
    TColor FBackGroundNone = 0;
    TColor FBackGroundHover = 0;
    TColor FBackGroundPress = 0;
    TColor FForeGroundNone = 0;
    TColor FForeGroundHover = 0;
    TColor FForeGroundPress = 0;
};

class FXSingleColorStateSet : public FXPersistentColor {
public:
    // Every colour 0.
    explicit FXSingleColorStateSet(TPersistent* AOwner = nullptr) : FXPersistentColor(AOwner) {}
    // The accent stays 0.
    FXSingleColorStateSet(TColor ANone, TColor AHover, TColor APress);
    FXSingleColorStateSet(const FXSingleColorStateSets& Colors, bool DarkTheme);

    static const TPropertyTable& StaticProperties();
    const TPropertyTable& Properties() const override { return StaticProperties(); }

    void LoadColors(TColor ANone, TColor AHover, TColor APress);
    // The three state colours of one theme; the accent is not copied.
    void LoadColors(const FXSingleColorStateSets& Colors, bool DarkTheme);
    // The accent and the three state colours.
    void CopyFrom(const FXSingleColorStateSet& FromSet);
    // 0 for an unknown state.
    TColor GetColor(FXControlState AState) const;

    TColor Accent() const noexcept { return FAccent; }
    void SetAccent(TColor Value) { FAccent = Value; }
    TColor None() const noexcept { return FNone; }
    void SetNone(TColor Value) { FNone = Value; }
    TColor Hover() const noexcept { return FHover; }
    void SetHover(TColor Value) { FHover = Value; }
    TColor Press() const noexcept { return FPress; }
    void SetPress(TColor Value) { FPress = Value; }

private:
    TColor FAccent = 0;
    TColor FNone = 0;
    TColor FHover = 0;
    TColor FPress = 0;
};

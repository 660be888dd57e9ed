// The theme manager decides how every framework form and control is coloured: light or dark
// palette, accent colour, text and icon fonts. It follows the user's system settings, polling the
// light/dark setting every 100 ms on the user-interface thread, and when something changes it
// recomputes its palette and re-themes every open framework form, which re-themes its controls.
//
// The one instance, ThemeManager, is built during static initialisation ahead of every object of
// default priority (Application among them) and so is destroyed after them: it exists before the
// first form and outlives the forms that Application frees at its end.
#pragma once

#include "framework/core/ColorSet.h"
#include "framework/core/ColorSets.h"
#include "toolkit/Timer.h"

#include <cstdint>
#include <memory>
#include <string>

enum class FXDarkSetting : uint8_t { Auto, ForceDark, ForceLight };

enum class FXColorKind : uint8_t { Foreground, Accent, Background, BackgroundInterior };

// The user's app setting: dark unless "AppsUseLightTheme" is 1; light when it cannot be read.
bool GetAppsUseDarkTheme();
// The system accent colour (0xD77800 when it cannot be read), with Brighter lightened by 50.
TColor GetSystemAccentColor(bool Brighter);
// Whether a font family of that name is installed.
bool FontFamilyInstalled(const std::wstring& FamilyName);

class FXThemeManager {
public:
    // Reads the system settings and builds the palette; notifies nobody.
    FXThemeManager();
    ~FXThemeManager();
    FXThemeManager(const FXThemeManager&) = delete;
    FXThemeManager& operator=(const FXThemeManager&) = delete;

    // The effective theme: true for the dark palette. Setting a new value recomputes the
    // settings and re-themes the open forms.
    bool DarkTheme() const noexcept { return FDarkTheme; }
    void SetDarkTheme(bool Value);
    // Auto follows the system through the poll; the forced modes apply at once. Returning to
    // Auto keeps the current theme until the next poll.
    FXDarkSetting DarkThemeMode() const noexcept { return FDarkThemeMode; }
    void SetDarkThemeMode(FXDarkSetting Value);

    const std::wstring& FormFont() const noexcept { return FFormFont; }
    int32_t FormFontHeight() const noexcept { return FFormFontHeight; }
    int32_t LargeFontHeight() const noexcept { return FLargeFontHeight; }
    const std::wstring& IconFont() const noexcept { return FIconFont; }

    // Setting an accent stops following the system's; turning AutoAccentColor back on reloads
    // the system accent at once, turning it off keeps the current one.
    TColor AccentColor() const noexcept { return FAccentColor; }
    void SetAccentColor(TColor Value);
    bool AutoAccentColor() const noexcept { return FAutoAccentColor; }
    void SetAutoAccentColor(bool Value);

    // The toolkit has no design mode, so the manager always runs as at run time.
    bool Designing() const noexcept { return false; }
    // When the settings were last recomputed, in GetTickCount64 milliseconds.
    uint64_t LastUpdate() const noexcept { return FLastUpdate; }

    // The palette for both themes, and resolved for the current one.
    const FXCompleteColorSets& SystemColorSet() const noexcept { return *FSystemColorSet; }
    const FXCompleteColorSet& SystemColor() const noexcept { return *FSystemColor; }
    // Grey per-state colours for neutral controls, and the accent's none, hover and press shades.
    const FXSingleColorStateSets& SystemGrayControl() const noexcept { return *FSystemGrayControl; }
    const FXSingleColorStateSet& SystemAccentInteractStates() const noexcept { return *FSystemAccentInteractStates; }
    // The tooltip palette; it keeps its defaults.
    const FXCompleteColorSets& SystemToolTip() const noexcept { return *FSystemToolTip; }

    // Fills a resolved set from SystemColor, a two-theme set from SystemColorSet, by property name.
    void LoadColorSet(FXColorSet& ColorSet) const;
    void LoadColorSet(FXColorSets& ColorSet) const;
    // White in the light theme, black in the dark one.
    TColor GetThemePrimaryColor() const noexcept { return FDarkTheme ? clBlack : clWhite; }

    void LoadFontSettings();
    // Re-reads the system's light/dark setting and applies it when it differs.
    void UpdateThemeInformation();
    // Rebuilds the resolved palette for the current theme and accent.
    void UpdateColors();
    // Fonts, colours, then every open framework form re-themes.
    void UpdateSettings();
    // UpdateTheme(true) on every open form that implements FXControl.
    void NotifyUpdate();
    // UpdateSettings, unless the last one was less than a whole second ago: when several forms
    // hear of a system colour change at once, only the first recomputes.
    void MeasuredUpdateSettings();
    // The same at the moment NowMs of the GetTickCount64 clock.
    void MeasuredUpdateSettingsAt(uint64_t NowMs);

private:
    void UpdateSettingsAt(uint64_t NowMs);
    void UpdateAccentColor();

    std::unique_ptr<TTimer> FRegistryMonitor;
    bool FDarkTheme;
    FXDarkSetting FDarkThemeMode = FXDarkSetting::Auto;
    std::wstring FFormFont;
    std::wstring FIconFont;
    int32_t FFormFontHeight = 0;
    int32_t FLargeFontHeight = 0;
    TColor FAccentColor = 0;
    bool FAutoAccentColor = true;
    uint64_t FLastUpdate;
    std::unique_ptr<FXCompleteColorSets> FSystemColorSet;
    std::unique_ptr<FXCompleteColorSet> FSystemColor;
    std::unique_ptr<FXSingleColorStateSets> FSystemGrayControl;
    std::unique_ptr<FXSingleColorStateSet> FSystemAccentInteractStates;
    std::unique_ptr<FXCompleteColorSets> FSystemToolTip;
};

extern FXThemeManager ThemeManager;

// The colour of Sets for the manager's current theme. BackgroundInterior needs an
// FXCompleteColorSets; other sets and unknown kinds give 0.
TColor GetColorForTheme(const FXColorSets& Sets, FXColorKind Kind);

#include "framework/core/ThemeManager.h"

#include "framework/core/FXControl.h"
#include "sysutil/AccentColor.h"
#include "sysutil/ColorUtils.h"
#include "sysutil/Handles.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include <windows.h>

// Built before every object without an init priority (Application among them) and so destroyed
// after them: the forms that Application frees at its end still find their theme manager.
FXThemeManager ThemeManager __attribute__((init_priority(1000)));

namespace {

constexpr uint32_t PollInterval = 100;

int CALLBACK FoundFontFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM Found) {
    *reinterpret_cast<bool*>(Found) = true;
    return 0;
}

} // namespace

bool GetAppsUseDarkTheme() {
    TUniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0,
                      KEY_READ, key.put()) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key.get(), L"AppsUseLightTheme", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
        return false;
    }
    return value != 1;
}

TColor GetSystemAccentColor(bool Brighter) {
    const TColor accent = ReadSystemAccentColor();
    return Brighter ? ChangeColorLight(accent, 50) : accent;
}

bool FontFamilyInstalled(const std::wstring& FamilyName) {
    if (FamilyName.empty() || FamilyName.size() >= LF_FACESIZE) {
        return false;
    }
    LOGFONTW font = {};
    font.lfCharSet = DEFAULT_CHARSET;
    FamilyName.copy(font.lfFaceName, FamilyName.size());
    // Any DC lists the fonts; a memory DC on the screen needs no window.
    const TUniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    if (!dc) {
        return false;
    }
    bool found = false;
    EnumFontFamiliesExW(dc.get(), &font, FoundFontFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

FXThemeManager::FXThemeManager() : FDarkTheme(GetAppsUseDarkTheme()), FLastUpdate(GetTickCount64()) {
    LoadFontSettings();
    FSystemColorSet = std::make_unique<FXCompleteColorSets>();
    FSystemColor = std::make_unique<FXCompleteColorSet>(*FSystemColorSet, FDarkTheme);
    FSystemGrayControl = std::make_unique<FXSingleColorStateSets>();
    FSystemAccentInteractStates = std::make_unique<FXSingleColorStateSet>(*FSystemGrayControl, FDarkTheme);
    UpdateColors();
    FSystemToolTip = std::make_unique<FXCompleteColorSets>();

    FRegistryMonitor = std::make_unique<TTimer>(nullptr);
    FRegistryMonitor->SetInterval(PollInterval);
    FRegistryMonitor->SetOnTimer([this](TPersistent*) {
        if (FDarkThemeMode == FXDarkSetting::Auto) {
            UpdateThemeInformation();
        }
    });
}

FXThemeManager::~FXThemeManager() {
    // The poll goes first: it refers to the palette.
    FRegistryMonitor.reset();
}

void FXThemeManager::SetDarkTheme(bool Value) {
    if (Value != FDarkTheme) {
        FDarkTheme = Value;
        UpdateSettings();
    }
}

void FXThemeManager::SetDarkThemeMode(FXDarkSetting Value) {
    FDarkThemeMode = Value;
    bool wanted = FDarkTheme;
    if (Value == FXDarkSetting::ForceDark) {
        wanted = true;
    } else if (Value == FXDarkSetting::ForceLight) {
        wanted = false;
    }
    SetDarkTheme(wanted);
}

void FXThemeManager::SetAccentColor(TColor Value) {
    FAutoAccentColor = false;
    FAccentColor = Value;
    UpdateSettings();
}

void FXThemeManager::SetAutoAccentColor(bool Value) {
    FAutoAccentColor = Value;
    if (Value) {
        UpdateSettings();
    }
}

void FXThemeManager::LoadColorSet(FXColorSet& ColorSet) const {
    ColorSet.Assign(*FSystemColor);
}

void FXThemeManager::LoadColorSet(FXColorSets& ColorSet) const {
    ColorSet.Assign(*FSystemColorSet);
}

void FXThemeManager::LoadFontSettings() {
    FIconFont = FontFamilyInstalled(L"Segoe Fluent Icons") ? L"Segoe Fluent Icons" : L"Segoe MDL2 Assets";
    FFormFont = L"Segoe UI";
    FFormFontHeight = 22;
    FLargeFontHeight = -20;
}

void FXThemeManager::UpdateThemeInformation() {
    SetDarkTheme(GetAppsUseDarkTheme());
}

void FXThemeManager::UpdateAccentColor() {
    if (FAutoAccentColor) {
        FAccentColor = GetSystemAccentColor(true);
    }
}

void FXThemeManager::UpdateColors() {
    // Reloaded in place, so references to the palette stay valid across theme changes.
    FSystemColor->LoadFrom(*FSystemColorSet, FDarkTheme);
    UpdateAccentColor();
    FSystemColor->SetAccent(FAccentColor);
    FSystemColorSet->SetAccent(FAccentColor);
    FSystemGrayControl->SetAccent(FAccentColor);
    FSystemAccentInteractStates->LoadColors(FAccentColor, ChangeColorLight(FAccentColor, 25),
                                            ChangeColorLight(FAccentColor, -25));
}

void FXThemeManager::UpdateSettings() {
    UpdateSettingsAt(GetTickCount64());
}

void FXThemeManager::UpdateSettingsAt(uint64_t NowMs) {
    FLastUpdate = NowMs;
    LoadFontSettings();
    UpdateColors();
    NotifyUpdate();
}

void FXThemeManager::NotifyUpdate() {
    // The count is read on every round: a form's re-theme may close forms.
    for (int i = 0; i < Application.FormCount(); ++i) {
        if (auto* control = dynamic_cast<FXControl*>(Application.Forms(i))) {
            control->UpdateTheme(true);
        }
    }
}

void FXThemeManager::MeasuredUpdateSettings() {
    MeasuredUpdateSettingsAt(GetTickCount64());
}

void FXThemeManager::MeasuredUpdateSettingsAt(uint64_t NowMs) {
    if (NowMs >= FLastUpdate && (NowMs - FLastUpdate) / 1000 >= 1) {
        UpdateSettingsAt(NowMs);
    }
}

TColor GetColorForTheme(const FXColorSets& Sets, FXColorKind Kind) {
    const bool dark = ThemeManager.DarkTheme();
    switch (Kind) {
    case FXColorKind::Foreground:
        return dark ? Sets.DarkForeGround() : Sets.LightForeGround();
    case FXColorKind::Accent:
        return Sets.Accent();
    case FXColorKind::Background:
        return dark ? Sets.DarkBackGround() : Sets.LightBackGround();
    case FXColorKind::BackgroundInterior:
        if (const auto* complete = dynamic_cast<const FXCompleteColorSets*>(&Sets)) {
            return dark ? complete->DarkBackGroundInterior() : complete->LightBackGroundInterior();
        }
        return 0;
    }
    return 0;
}

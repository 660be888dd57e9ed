#include "framework/core/ThemeManager.h"
#include "framework/core/FXControl.h"
#include "sysutil/ThemeValuesGuard.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

// A framework form that counts its re-themes and remembers the theme it saw.
class TThemedForm : public TForm, public FXControl {
public:
    TThemedForm() : TForm(nullptr) {}
    bool IsContainer() const override { return true; }
    void UpdateTheme(bool UpdateChildren) override {
        ++Updates;
        SawDark = ThemeManager.DarkTheme();
        EXPECT_TRUE(UpdateChildren);
        if (OnUpdate) {
            OnUpdate();
        }
    }
    TColor Background() const override { return 0; }

    int Updates = 0;
    bool SawDark = false;
    std::function<void()> OnUpdate;
};

// Runs the message loop until Condition holds, for at most a few seconds.
bool PumpUntil(const std::function<bool()>& Condition) {
    const ULONGLONG deadline = GetTickCount64() + 5000;
    while (!Condition()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Application.ProcessMessages();
    }
    return true;
}

// Runs the message loop for a few poll periods.
void PumpPolls() {
    const ULONGLONG until = GetTickCount64() + 350;
    PumpUntil([until] { return GetTickCount64() >= until; });
}

// The first font family the system lists, whichever fonts the prefix has.
std::wstring AnyInstalledFamily() {
    LOGFONTW all = {};
    all.lfCharSet = DEFAULT_CHARSET;
    const TUniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    std::wstring family;
    EnumFontFamiliesExW(
        dc.get(), &all,
        [](const LOGFONTW* Font, const TEXTMETRICW*, DWORD, LPARAM Found) -> int {
            *reinterpret_cast<std::wstring*>(Found) = Font->lfFaceName;
            return 0;
        },
        reinterpret_cast<LPARAM>(&family), 0);
    return family;
}

// Tests share the theme values of the Wine prefix with other test processes (the guard) and the
// global manager with later tests of this process (put back to following the system).
class ThemeManagerTest : public ::testing::Test {
protected:
    ~ThemeManagerTest() override {
        ThemeManager.SetDarkThemeMode(FXDarkSetting::Auto);
        ThemeManager.SetAutoAccentColor(true);
    }

    // The system to light and the manager following it, before any form listens.
    void StartLight() {
        TThemeValuesGuard::SetAppsUseLightTheme(1);
        ThemeManager.SetDarkThemeMode(FXDarkSetting::Auto);
        ThemeManager.UpdateThemeInformation();
        ASSERT_FALSE(ThemeManager.DarkTheme());
    }

    TThemeValuesGuard Values;
};

TEST_F(ThemeManagerTest, ReadsTheSystemDarkSetting) {
    struct Case {
        bool Stored;
        DWORD Value;
        bool Dark;
    };
    const Case cases[] = {{true, 1, false}, {true, 0, true}, {true, 2, true}, {false, 0, false}};
    for (const Case& c : cases) {
        if (c.Stored) {
            TThemeValuesGuard::SetAppsUseLightTheme(c.Value);
        } else {
            TThemeValuesGuard::RemoveAppsUseLightTheme();
        }
        EXPECT_EQ(GetAppsUseDarkTheme(), c.Dark) << (c.Stored ? c.Value : -1);
    }
}

TEST_F(ThemeManagerTest, ReadsTheSystemAccent) {
    TThemeValuesGuard::SetAccent(0xFFD77800);
    EXPECT_EQ(GetSystemAccentColor(false), 0xD77800);
    EXPECT_EQ(GetSystemAccentColor(true), 0xFFAA32) << "blue clamps at 255";
    TThemeValuesGuard::SetAccent(0xFF204060);
    EXPECT_EQ(GetSystemAccentColor(true), 0x527292);
    TThemeValuesGuard::RemoveAccent();
    EXPECT_EQ(GetSystemAccentColor(false), 0xD77800);
    EXPECT_EQ(GetSystemAccentColor(true), 0xFFAA32);
}

TEST_F(ThemeManagerTest, ANewManagerStartsFromTheSystemWithoutNotifying) {
    TThemedForm form;
    TThemeValuesGuard::SetAppsUseLightTheme(0);
    TThemeValuesGuard::SetAccent(0xFF102030);
    const FXThemeManager manager;
    EXPECT_EQ(form.Updates, 0);
    EXPECT_TRUE(manager.DarkTheme());
    EXPECT_EQ(manager.DarkThemeMode(), FXDarkSetting::Auto);
    EXPECT_TRUE(manager.AutoAccentColor());
    EXPECT_FALSE(manager.Designing());
    EXPECT_EQ(manager.AccentColor(), 0x425262);

    EXPECT_EQ(manager.SystemColor().BackGround(), 0x202020);
    EXPECT_EQ(manager.SystemColor().ForeGround(), 0xFFFFFF);
    EXPECT_EQ(manager.SystemColor().BackGroundInterior(), 0x2B2B2B);
    EXPECT_EQ(manager.SystemColor().Accent(), 0x425262);
    EXPECT_EQ(manager.SystemColorSet().Accent(), 0x425262);
    EXPECT_EQ(manager.SystemColorSet().LightBackGround(), 0xF3F3F3);
    EXPECT_EQ(manager.SystemGrayControl().Accent(), 0x425262);
    EXPECT_EQ(manager.SystemGrayControl().DarkNone(), 0xA29F9D);
    EXPECT_EQ(manager.SystemAccentInteractStates().None(), 0x425262);
    EXPECT_EQ(manager.SystemAccentInteractStates().Hover(), 0x5B6B7B);
    EXPECT_EQ(manager.SystemAccentInteractStates().Press(), 0x293949);
    EXPECT_EQ(manager.SystemToolTip().DarkBackGroundInterior(), 0x2B2B2B);
    EXPECT_EQ(manager.GetThemePrimaryColor(), 0);

    EXPECT_EQ(manager.FormFont(), L"Segoe UI");
    EXPECT_EQ(manager.FormFontHeight(), 22);
    EXPECT_EQ(manager.LargeFontHeight(), -20);
}

TEST_F(ThemeManagerTest, ThePollFollowsTheSystemAndNotifiesEachFormOnce) {
    StartLight();
    TThemedForm first;
    TThemedForm second;
    TForm plain(nullptr); // not a framework form: skipped

    TThemeValuesGuard::SetAppsUseLightTheme(0);
    ASSERT_TRUE(PumpUntil([] { return ThemeManager.DarkTheme(); })) << "the poll never saw the change";
    EXPECT_EQ(first.Updates, 1);
    EXPECT_EQ(second.Updates, 1);
    EXPECT_TRUE(first.SawDark) << "forms re-theme after the palette changed";
    EXPECT_EQ(ThemeManager.SystemColor().BackGround(), 0x202020);
    EXPECT_EQ(ThemeManager.GetThemePrimaryColor(), 0);

    PumpPolls();
    EXPECT_EQ(first.Updates, 1) << "an unchanged setting notifies nobody";

    TThemeValuesGuard::RemoveAppsUseLightTheme();
    ASSERT_TRUE(PumpUntil([] { return !ThemeManager.DarkTheme(); }));
    EXPECT_EQ(second.Updates, 2);
    EXPECT_EQ(ThemeManager.SystemColor().BackGround(), 0xF3F3F3);
    EXPECT_EQ(ThemeManager.GetThemePrimaryColor(), 0xFFFFFF);
}

TEST_F(ThemeManagerTest, ForcedModesApplyAtOnceAndIgnoreThePoll) {
    StartLight();
    TThemedForm form;

    ThemeManager.SetDarkThemeMode(FXDarkSetting::ForceDark);
    EXPECT_TRUE(ThemeManager.DarkTheme());
    EXPECT_EQ(form.Updates, 1);
    PumpPolls();
    EXPECT_TRUE(ThemeManager.DarkTheme()) << "the system is light, but the mode is forced";

    ThemeManager.SetDarkThemeMode(FXDarkSetting::Auto);
    EXPECT_TRUE(ThemeManager.DarkTheme()) << "back to Auto waits for the next poll";
    EXPECT_EQ(form.Updates, 1);
    ASSERT_TRUE(PumpUntil([] { return !ThemeManager.DarkTheme(); }));
    EXPECT_EQ(form.Updates, 2);

    ThemeManager.SetDarkThemeMode(FXDarkSetting::ForceLight);
    EXPECT_EQ(form.Updates, 2) << "already light: nothing to do";
    TThemeValuesGuard::SetAppsUseLightTheme(0);
    PumpPolls();
    EXPECT_FALSE(ThemeManager.DarkTheme());
    EXPECT_EQ(form.Updates, 2);
}

TEST_F(ThemeManagerTest, AnAccentOfOurOwnStopsFollowingTheSystem) {
    TThemeValuesGuard::SetAccent(0xFFD77800);
    ThemeManager.SetAutoAccentColor(true);
    EXPECT_EQ(ThemeManager.AccentColor(), 0xFFAA32);

    TThemedForm form;
    ThemeManager.SetAccentColor(0x336699);
    EXPECT_FALSE(ThemeManager.AutoAccentColor());
    EXPECT_EQ(form.Updates, 1);
    EXPECT_EQ(ThemeManager.AccentColor(), 0x336699);
    EXPECT_EQ(ThemeManager.SystemColor().Accent(), 0x336699);
    EXPECT_EQ(ThemeManager.SystemColorSet().Accent(), 0x336699);
    EXPECT_EQ(ThemeManager.SystemGrayControl().Accent(), 0x336699);
    EXPECT_EQ(ThemeManager.SystemAccentInteractStates().Hover(), 0x4C7FB2);
    EXPECT_EQ(ThemeManager.SystemAccentInteractStates().Press(), 0x1A4D80);

    TThemeValuesGuard::SetAccent(0xFF000000);
    ThemeManager.UpdateSettings();
    EXPECT_EQ(ThemeManager.AccentColor(), 0x336699) << "the system's accent is ignored";
    ThemeManager.SetAutoAccentColor(false);
    EXPECT_EQ(form.Updates, 2) << "turning the system accent off only stores";

    ThemeManager.SetAutoAccentColor(true);
    EXPECT_EQ(ThemeManager.AccentColor(), 0x323232) << "reloaded at once";
    EXPECT_EQ(form.Updates, 3);
}

TEST_F(ThemeManagerTest, MeasuredUpdatesRecomputeAtMostOncePerSecond) {
    TThemedForm form;
    const uint64_t last = ThemeManager.LastUpdate();
    ThemeManager.MeasuredUpdateSettingsAt(last + 999);
    EXPECT_EQ(form.Updates, 0);
    ThemeManager.MeasuredUpdateSettingsAt(last + 1200);
    ThemeManager.MeasuredUpdateSettingsAt(last + 1600);
    EXPECT_EQ(form.Updates, 1);
    EXPECT_EQ(ThemeManager.LastUpdate(), last + 1200);
    ThemeManager.MeasuredUpdateSettingsAt(last + 2200);
    EXPECT_EQ(form.Updates, 2);
}

TEST_F(ThemeManagerTest, ARethemeThatClosesAFormEndsTheRoundSafely) {
    TThemedForm first;
    auto second = std::make_unique<TThemedForm>();
    TThemedForm third;
    first.OnUpdate = [&second] { second.reset(); };
    EXPECT_NO_THROW(ThemeManager.NotifyUpdate());
    EXPECT_EQ(first.Updates, 1);
    EXPECT_EQ(third.Updates, 1);
}

TEST_F(ThemeManagerTest, LoadsColorSetsFromThePalette) {
    ThemeManager.SetDarkThemeMode(FXDarkSetting::ForceDark);
    ThemeManager.SetAccentColor(0x445566);

    FXColorSet set;
    ThemeManager.LoadColorSet(set);
    EXPECT_EQ(set.Accent(), 0x445566);
    EXPECT_EQ(set.BackGround(), 0x202020);
    EXPECT_EQ(set.ForeGround(), 0xFFFFFF);
    FXCompleteColorSet complete;
    ThemeManager.LoadColorSet(complete);
    EXPECT_EQ(complete.BackGroundInterior(), 0x2B2B2B);

    FXColorSets sets(nullptr, true);
    ThemeManager.LoadColorSet(sets);
    EXPECT_EQ(sets.Accent(), 0x445566);
    EXPECT_EQ(sets.LightBackGround(), 0xF3F3F3) << "the palette's own shade, not the focus default";
    FXCompleteColorSets completeSets;
    completeSets.SetDarkBackGroundInterior(0);
    ThemeManager.LoadColorSet(completeSets);
    EXPECT_EQ(completeSets.DarkBackGroundInterior(), 0x2B2B2B);
}

TEST_F(ThemeManagerTest, GetColorForThemeUsesTheCurrentTheme) {
    FXCompleteColorSets complete;
    complete.SetAccent(0xA);
    complete.SetLightForeGround(0x1);
    complete.SetLightBackGround(0x2);
    complete.SetLightBackGroundInterior(0x3);
    complete.SetDarkForeGround(0x4);
    complete.SetDarkBackGround(0x5);
    complete.SetDarkBackGroundInterior(0x6);
    const FXColorSets& asSets = complete;
    FXColorSets sets;

    struct Case {
        FXDarkSetting Mode;
        FXColorKind Kind;
        const FXColorSets* Sets;
        TColor Expected;
    };
    const Case cases[] = {
        {FXDarkSetting::ForceLight, FXColorKind::Foreground, &asSets, 0x1},
        {FXDarkSetting::ForceLight, FXColorKind::Background, &asSets, 0x2},
        {FXDarkSetting::ForceLight, FXColorKind::BackgroundInterior, &asSets, 0x3},
        {FXDarkSetting::ForceLight, FXColorKind::Accent, &asSets, 0xA},
        {FXDarkSetting::ForceDark, FXColorKind::Foreground, &asSets, 0x4},
        {FXDarkSetting::ForceDark, FXColorKind::Background, &asSets, 0x5},
        {FXDarkSetting::ForceDark, FXColorKind::BackgroundInterior, &asSets, 0x6},
        {FXDarkSetting::ForceDark, FXColorKind::Accent, &asSets, 0xA},
        {FXDarkSetting::ForceDark, FXColorKind::BackgroundInterior, &sets, 0},
        {FXDarkSetting::ForceDark, FXColorKind::Background, &sets, 0x202020},
        {FXDarkSetting::ForceLight, static_cast<FXColorKind>(4), &asSets, 0},
    };
    for (const Case& c : cases) {
        ThemeManager.SetDarkThemeMode(c.Mode);
        EXPECT_EQ(GetColorForTheme(*c.Sets, c.Kind), c.Expected)
            << "mode " << static_cast<int>(c.Mode) << " kind " << static_cast<int>(c.Kind);
    }
}

TEST_F(ThemeManagerTest, TheIconFontFallsBackWhenFluentIconsAreMissing) {
    const std::wstring installed = AnyInstalledFamily();
    ASSERT_FALSE(installed.empty()) << "no font at all";
    EXPECT_TRUE(FontFamilyInstalled(installed)) << testing::PrintToString(installed);
    EXPECT_FALSE(FontFamilyInstalled(L"FetchoraTests No Such Font"));
    EXPECT_FALSE(FontFamilyInstalled(L""));
    EXPECT_FALSE(FontFamilyInstalled(std::wstring(LF_FACESIZE, L'x')));
    const FXThemeManager manager;
    if (FontFamilyInstalled(L"Segoe Fluent Icons")) {
        EXPECT_EQ(manager.IconFont(), L"Segoe Fluent Icons");
    } else {
        EXPECT_EQ(manager.IconFont(), L"Segoe MDL2 Assets");
    }
}

} // namespace

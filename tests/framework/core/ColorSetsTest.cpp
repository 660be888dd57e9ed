#include "framework/core/ColorSets.h"
#include "framework/core/ColorSet.h"
#include "framework/core/FXControl.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A themed control that counts how often its colour sets re-theme it.
class TThemedOwner : public TComponent, public FXControl {
public:
    TThemedOwner() : TComponent(nullptr) {}
    bool IsContainer() const override { return false; }
    void UpdateTheme(bool UpdateChildren) override {
        ++Updates;
        EXPECT_TRUE(UpdateChildren);
    }
    TColor Background() const override { return 0; }

    int Updates = 0;
};

using TNames = std::vector<std::wstring>;

TNames PropertyNames(const TPersistent& Object) {
    TNames names;
    for (const TPropertyInfo* info : Object.Properties().Sorted()) {
        names.push_back(info->Name);
    }
    return names;
}

TColor ColorOf(const TPersistent& Object, const wchar_t* Name) {
    return Object.GetProperty(Name).AsColor();
}

TEST(ColorSets, PropertyNamesAreTheStoredLayoutKeys) {
    // Compared exactly: lookups ignore case, but stored layouts are written with these names.
    const TNames sets = {L"Accent",  L"DarkBackGround",  L"DarkForeGround",
                         L"Enabled", L"LightBackGround", L"LightForeGround"};
    EXPECT_EQ(PropertyNames(FXColorSets()), sets);
    EXPECT_EQ(PropertyNames(FXCompleteColorSets()),
              (TNames{L"Accent", L"DarkBackGround", L"DarkBackGroundInterior", L"DarkForeGround", L"Enabled",
                      L"LightBackGround", L"LightBackGroundInterior", L"LightForeGround"}));
    EXPECT_EQ(PropertyNames(FXColorStateSets()),
              (TNames{L"Accent", L"DarkBackGroundHover", L"DarkBackGroundNone", L"DarkBackGroundPress",
                      L"DarkForeGroundHover", L"DarkForeGroundNone", L"DarkForeGroundPress", L"Enabled",
                      L"LightBackgroundHover", L"LightBackgroundNone", L"LightBackgroundPress", L"LightForeGroundHover",
                      L"LightForeGroundNone", L"LightForeGroundPress"}));
    EXPECT_EQ(PropertyNames(FXSingleColorStateSets()),
              (TNames{L"Accent", L"DarkHover", L"DarkNone", L"DarkPress", L"Enabled", L"LightHover", L"LightNone",
                      L"LightPress"}));
    EXPECT_EQ(PropertyNames(FXColorSet()), (TNames{L"Accent", L"BackGround", L"ForeGround"}));
    EXPECT_EQ(PropertyNames(FXCompleteColorSet()),
              (TNames{L"Accent", L"BackGround", L"BackGroundInterior", L"ForeGround"}));
    EXPECT_EQ(PropertyNames(FXColorStateSet()),
              (TNames{L"Accent", L"BackgroundHover", L"BackgroundNone", L"BackgroundPress", L"Enabled",
                      L"ForeGroundHover", L"ForeGroundNone", L"ForeGroundPress"}));
    EXPECT_EQ(PropertyNames(FXSingleColorStateSet()), (TNames{L"Accent", L"Enabled", L"Hover", L"None", L"Press"}));
}

struct DefaultCase {
    const char* Set;
    std::function<std::unique_ptr<FXPersistentColor>()> Make;
    const wchar_t* Property;
    TColor Expected;
};

TEST(ColorSets, Defaults) {
    TThemedOwner owner;
    auto sets = [](bool Focus) { return [Focus] { return std::make_unique<FXColorSets>(nullptr, Focus); }; };
    auto complete = [] { return std::make_unique<FXCompleteColorSets>(); };
    auto states = [] { return std::make_unique<FXColorStateSets>(); };
    auto ownedStates = [&owner] { return std::make_unique<FXColorStateSets>(&owner); };
    auto single = [] { return std::make_unique<FXSingleColorStateSets>(); };
    auto ownedSingle = [&owner] { return std::make_unique<FXSingleColorStateSets>(&owner); };
    auto set = [] { return std::make_unique<FXColorSet>(); };
    const DefaultCase cases[] = {
        {"sets", sets(false), L"Accent", 0xD47800},
        {"sets", sets(false), L"LightForeGround", 0x1B1B1A},
        {"sets", sets(false), L"DarkForeGround", 0xFFFFFF},
        {"sets", sets(false), L"LightBackGround", 0xF3F3F3},
        {"sets", sets(false), L"DarkBackGround", 0x202020},
        {"focus sets", sets(true), L"LightBackGround", 0xFBFBFB},
        {"focus sets", sets(true), L"DarkBackGround", 0x2B2B2B},
        {"focus sets", sets(true), L"LightForeGround", 0x1B1B1A},
        {"complete", complete, L"Accent", 0xD47800},
        {"complete", complete, L"LightForeGround", 0x1B1B1A},
        {"complete", complete, L"LightBackGround", 0xF3F3F3},
        {"complete", complete, L"LightBackGroundInterior", 0xFBFBFB},
        {"complete", complete, L"DarkForeGround", 0xFFFFFF},
        {"complete", complete, L"DarkBackGround", 0x202020},
        {"complete", complete, L"DarkBackGroundInterior", 0x2B2B2B},
        {"states", states, L"Accent", 0xD47800},
        {"states", states, L"LightBackgroundNone", 0x8B8B8B},
        {"states", states, L"LightBackgroundHover", 0x9F9F9F},
        {"states", states, L"LightBackgroundPress", 0x757575},
        {"states", states, L"LightForeGroundNone", 0x1B1B1B},
        {"states", states, L"LightForeGroundHover", 0x1B1B1B},
        {"states", states, L"LightForeGroundPress", 0x878787},
        {"states", states, L"DarkBackGroundNone", 0xA29F9D},
        {"states", states, L"DarkBackGroundHover", 0xB7B5B3},
        {"states", states, L"DarkBackGroundPress", 0x8D8987},
        {"states", states, L"DarkForeGroundNone", 0xFFFFFF},
        {"states", states, L"DarkForeGroundHover", 0xFFFFFF},
        {"states", states, L"DarkForeGroundPress", 0xCECECE},
        {"owned states", ownedStates, L"Accent", 0},
        {"owned states", ownedStates, L"LightBackgroundNone", 0},
        {"owned states", ownedStates, L"DarkForeGroundPress", 0},
        {"single", single, L"Accent", 0xD47800},
        {"single", single, L"LightNone", 0x8B8B8B},
        {"single", single, L"LightHover", 0x9F9F9F},
        {"single", single, L"LightPress", 0x757575},
        {"single", single, L"DarkNone", 0xA29F9D},
        {"single", single, L"DarkHover", 0xB7B5B3},
        {"single", single, L"DarkPress", 0x8D8987},
        {"owned single", ownedSingle, L"Accent", 0},
        {"owned single", ownedSingle, L"LightHover", 0},
        {"set", set, L"Accent", 0xD47800},
        {"set", set, L"BackGround", 0},
        {"set", set, L"ForeGround", 0},
    };
    for (const DefaultCase& c : cases) {
        const std::unique_ptr<FXPersistentColor> made = c.Make();
        EXPECT_EQ(ColorOf(*made, c.Property), c.Expected) << c.Set << " " << testing::PrintToString(c.Property);
        EXPECT_FALSE(made->Enabled()) << c.Set;
    }
    EXPECT_EQ(owner.Updates, 0) << "construction notifies nobody";
}

TEST(ColorSets, SettersOfTwoThemeSetsNotifyTheOwner) {
    TThemedOwner owner;
    FXColorSets sets(&owner);
    const TColor before[] = {sets.Accent(), sets.LightBackGround(), sets.LightForeGround(), sets.DarkBackGround(),
                             sets.DarkForeGround()};

    sets.SetColor(7, 0x123456);
    EXPECT_EQ(owner.Updates, 1) << "an unknown index changes nothing but still notifies";
    const TColor after[] = {sets.Accent(), sets.LightBackGround(), sets.LightForeGround(), sets.DarkBackGround(),
                            sets.DarkForeGround()};
    EXPECT_TRUE(std::equal(std::begin(before), std::end(before), std::begin(after)));

    sets.SetColor(4, sets.DarkForeGround());
    EXPECT_EQ(owner.Updates, 2) << "an unchanged colour notifies too";
    sets.SetProperty(L"DarkBackGround", TPropertyValue::Color(0x010203));
    EXPECT_EQ(sets.DarkBackGround(), 0x010203);
    EXPECT_EQ(owner.Updates, 3) << "by name through the index setter";

    sets.SetEnabled(false);
    EXPECT_EQ(owner.Updates, 3) << "Enabled notifies only a change";
    sets.SetEnabled(true);
    EXPECT_EQ(owner.Updates, 4);

    FXCompleteColorSets complete(&owner);
    complete.SetLightBackGroundInterior(0x111111);
    complete.SetDarkBackGroundInterior(0x222222);
    EXPECT_EQ(owner.Updates, 6);

    FXColorStateSets states(&owner);
    states.SetColor(11, 0);
    states.SetColor(12, 5);
    states.SetAccent(0x0000FF);
    EXPECT_EQ(owner.Updates, 9);
    EXPECT_EQ(states.DarkForeGroundPress(), 0);

    FXSingleColorStateSets single(&owner);
    single.SetColor(5, 0x333333);
    single.SetColor(-1, 0x444444);
    EXPECT_EQ(owner.Updates, 11);
    EXPECT_EQ(single.DarkPress(), 0x333333);
}

TEST(ColorSets, NoNotificationWhileTheOwnerIsLoadedOrForResolvedSets) {
    TThemedOwner owner;
    FXColorStateSets states(&owner);
    owner.BeginLoading();
    states.SetProperty(L"Enabled", TPropertyValue::Bool(true));
    states.SetProperty(L"LightBackgroundHover", TPropertyValue::Color(0x445566));
    owner.EndLoading();
    EXPECT_EQ(owner.Updates, 0);
    EXPECT_EQ(states.LightBackGroundHover(), 0x445566);

    FXColorSet set(&owner);
    set.SetAccent(1);
    set.SetBackGround(2);
    set.SetForeGround(3);
    FXSingleColorStateSet single(&owner);
    single.SetNone(4);
    single.LoadColors(5, 6, 7);
    EXPECT_EQ(owner.Updates, 0);

    // An owner that is no themed control is simply not told.
    TComponent plain(nullptr);
    FXColorSets unthemed(&plain);
    unthemed.SetAccent(0x010101);
    EXPECT_EQ(unthemed.Accent(), 0x010101);
}

TEST(ColorSets, StateColorsAreIndexedByThemeLayerAndState) {
    FXColorStateSets states(nullptr);
    for (int index = 0; index < 12; ++index) {
        states.SetColor(index, 0x100 + index);
    }
    FXSingleColorStateSets single(nullptr);
    for (int index = 0; index < 6; ++index) {
        single.SetColor(index, 0x200 + index);
    }
    for (const bool dark : {false, true}) {
        for (int state = 0; state < 3; ++state) {
            const auto s = static_cast<FXControlState>(state);
            for (const bool foreground : {false, true}) {
                EXPECT_EQ(states.GetColor(dark, foreground, s), 0x100 + (dark ? 6 : 0) + (foreground ? 3 : 0) + state);
                const FXColorStateSet resolved(states, dark);
                EXPECT_EQ(resolved.GetColor(foreground, s), states.GetColor(dark, foreground, s));
            }
            EXPECT_EQ(single.GetColor(dark, s), 0x200 + (dark ? 3 : 0) + state);
            const FXSingleColorStateSet resolved(single, dark);
            EXPECT_EQ(resolved.GetColor(s), single.GetColor(dark, s));
        }
    }
    EXPECT_EQ(states.GetColor(true, true, FXControlState::Press), states.DarkForeGroundPress());
    EXPECT_EQ(states.GetColor(false, false, FXControlState::None), states.LightBackGroundNone());

    const auto unknown = static_cast<FXControlState>(3);
    EXPECT_EQ(states.GetColor(false, false, unknown), 0);
    EXPECT_EQ(single.GetColor(true, unknown), 0);
    EXPECT_EQ(FXColorStateSet(states, false).GetColor(true, unknown), 0);
    EXPECT_EQ(FXSingleColorStateSet(1, 2, 3).GetColor(unknown), 0);
}

TEST(ColorSets, ResolvedSetsLoadOneTheme) {
    FXCompleteColorSets palette;
    palette.SetAccent(0x0A0B0C);

    const FXCompleteColorSet light(palette, false);
    EXPECT_EQ(light.Accent(), 0x0A0B0C);
    EXPECT_EQ(light.BackGround(), 0xF3F3F3);
    EXPECT_EQ(light.ForeGround(), 0x1B1B1A);
    EXPECT_EQ(light.BackGroundInterior(), 0xFBFBFB);

    FXCompleteColorSet dark(palette, true);
    EXPECT_EQ(dark.BackGround(), 0x202020);
    EXPECT_EQ(dark.ForeGround(), 0xFFFFFF);
    EXPECT_EQ(dark.BackGroundInterior(), 0x2B2B2B);
    dark.LoadFrom(FXColorSets(nullptr, true), false);
    EXPECT_EQ(dark.BackGround(), 0xFBFBFB);
    EXPECT_EQ(dark.Accent(), 0xD47800);
    EXPECT_EQ(dark.BackGroundInterior(), 0x2B2B2B) << "a set without interiors leaves the interior";

    FXColorStateSets states;
    states.SetAccent(0x00FF00);
    const FXColorStateSet pressed(states, true);
    EXPECT_EQ(pressed.Accent(), 0x00FF00);
    EXPECT_EQ(pressed.BackGroundNone(), 0xA29F9D);
    EXPECT_EQ(pressed.ForeGroundPress(), 0xCECECE);

    FXSingleColorStateSets grey;
    FXSingleColorStateSet single(0x11, 0x22, 0x33);
    EXPECT_EQ(single.Accent(), 0);
    single.SetAccent(0x44);
    single.LoadColors(grey, true);
    EXPECT_EQ(single.Accent(), 0x44) << "loading the states leaves the accent";
    EXPECT_EQ(single.None(), 0xA29F9D);
    EXPECT_EQ(single.Hover(), 0xB7B5B3);
    EXPECT_EQ(single.Press(), 0x8D8987);

    FXSingleColorStateSet copy;
    copy.CopyFrom(single);
    EXPECT_EQ(copy.Accent(), 0x44);
    EXPECT_EQ(copy.GetColor(FXControlState::Hover), 0xB7B5B3);
}

TEST(ColorSets, AssignCopiesTheSharedPropertiesByName) {
    FXCompleteColorSets source;
    source.SetEnabled(true);
    for (int index = 0; index < 5; ++index) {
        source.SetColor(index, 0x10 + index);
    }
    source.SetLightBackGroundInterior(0x77);

    TThemedOwner owner;
    FXColorSets target(&owner);
    target.Assign(source);
    EXPECT_TRUE(target.Enabled());
    EXPECT_EQ(target.Accent(), 0x10);
    EXPECT_EQ(target.LightBackGround(), 0x11);
    EXPECT_EQ(target.LightForeGround(), 0x12);
    EXPECT_EQ(target.DarkBackGround(), 0x13);
    EXPECT_EQ(target.DarkForeGround(), 0x14);
    EXPECT_EQ(owner.Updates, 6) << "each copied property goes through the target's setter";

    // The other way round the interiors have nothing to come from and stay.
    FXCompleteColorSets back;
    back.Assign(target);
    EXPECT_EQ(back.LightBackGroundInterior(), 0xFBFBFB);
    EXPECT_EQ(back.DarkForeGround(), 0x14);

    FXCompleteColorSet resolved;
    resolved.SetAccent(1);
    resolved.SetBackGround(2);
    resolved.SetForeGround(3);
    resolved.SetBackGroundInterior(4);
    FXColorSet plain;
    plain.Assign(resolved);
    EXPECT_EQ(plain.Accent(), 1);
    EXPECT_EQ(plain.BackGround(), 2);
    EXPECT_EQ(plain.ForeGround(), 3);

    // Unrelated colour sets share only Enabled and Accent.
    FXColorStateSets states;
    states.Assign(source);
    EXPECT_TRUE(states.Enabled());
    EXPECT_EQ(states.Accent(), 0x10);
    EXPECT_EQ(states.LightBackGroundNone(), 0x8B8B8B);
}

TEST(ColorSets, AssignRefusesWhatIsNoColorSet) {
    FXColorSets target;
    const TComponent other(nullptr);
    EXPECT_THROW(target.Assign(other), EConvertError);
}

} // namespace

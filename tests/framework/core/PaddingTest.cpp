#include "framework/core/Padding.h"
#include "framework/core/FXControl.h"
#include "framework/core/IconSelect.h"
#include "sysutil/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An owner that implements the theme contract and counts its re-themes.
class TThemedOwner : public TComponent, public FXControl {
public:
    TThemedOwner() : TComponent(nullptr) {}
    bool IsContainer() const override { return false; }
    void UpdateTheme(bool UpdateChildren) override { Updates.push_back(UpdateChildren); }
    TColor Background() const override { return 0; }
    std::vector<bool> Updates;
};

bool SameRect(const RECT& A, const RECT& B) {
    return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

TEST(Padding, ShrinksARectangleBySide) {
    FXPadding padding(nullptr);
    EXPECT_EQ(padding.PadWidth(), 0);
    padding.SetLeft(5);
    padding.SetTop(4);
    padding.SetRight(3);
    padding.SetBottom(2);
    EXPECT_TRUE(SameRect(padding.ApplyTo({0, 0, 100, 40}), {5, 4, 97, 38}));
    EXPECT_TRUE(SameRect(padding.ApplyTo({10, 20, 30, 40}), {15, 24, 27, 38}));
    EXPECT_EQ(padding.PadWidth(), 8);
    EXPECT_EQ(padding.PadHeight(), 6);
}

TEST(Padding, ScalingTruncatesAndNotifiesNobody) {
    TThemedOwner owner;
    FXPadding padding(&owner);
    padding.SetLeft(5);
    padding.SetTop(5);
    padding.SetRight(5);
    padding.SetBottom(-5);
    int changes = 0;
    padding.SetOnChange([&](TPersistent*) { ++changes; });
    owner.Updates.clear();

    padding.ScaleChanged(1.5f);
    EXPECT_TRUE(SameRect(padding.ApplyTo({0, 0, 0, 0}), {7, 7, -7, 7})) << "7.5 and -7.5 truncate toward zero";
    EXPECT_TRUE(owner.Updates.empty());
    EXPECT_EQ(changes, 0);
}

TEST(Padding, EveryWriteReThemesTheOwnerThenRaisesOnChange) {
    TThemedOwner owner;
    FXPadding padding(&owner);
    std::vector<std::wstring> events;
    padding.SetOnChange([&](TPersistent* Sender) {
        EXPECT_EQ(Sender, &padding);
        events.push_back(L"change after " + std::to_wstring(owner.Updates.size()) + L" updates");
    });
    padding.SetLeft(3);
    padding.SetLeft(3); // the same value notifies again
    EXPECT_EQ(owner.Updates, (std::vector<bool>{true, true}));
    EXPECT_EQ(events, (std::vector<std::wstring>{L"change after 1 updates", L"change after 2 updates"}));
}

TEST(Padding, AnOwnerBeingLoadedIsNotReThemed) {
    TThemedOwner owner;
    FXPadding padding(&owner);
    int changes = 0;
    padding.SetOnChange([&](TPersistent*) { ++changes; });
    owner.BeginLoading();
    padding.SetProperty(L"Top", TPropertyValue::Integer(6));
    owner.EndLoading();
    EXPECT_TRUE(owner.Updates.empty());
    EXPECT_EQ(changes, 1) << "OnChange is raised regardless";
    EXPECT_EQ(padding.Top(), 6);

    // An owner outside the theme contract only gets OnChange.
    TComponent plain(nullptr);
    FXPadding plainPadding(&plain);
    plainPadding.SetRight(1);
    EXPECT_EQ(plainPadding.Right(), 1);
}

TEST(Padding, AssignCopiesTheSidesThroughTheSetters) {
    FXPadding source(nullptr);
    source.SetLeft(1);
    source.SetTop(2);
    source.SetRight(3);
    source.SetBottom(4);
    int sourceChanges = 0;
    source.SetOnChange([&](TPersistent*) { ++sourceChanges; });

    TThemedOwner owner;
    FXPadding target(&owner);
    target.Assign(source);
    EXPECT_TRUE(SameRect(target.ApplyTo({0, 0, 0, 0}), {1, 2, -3, -4}));
    EXPECT_EQ(owner.Updates.size(), 4u) << "one re-theme per side";
    EXPECT_FALSE(target.OnChange()) << "the event is not copied";
    EXPECT_EQ(sourceChanges, 0);

    FXIconSelect unrelated(nullptr);
    EXPECT_THROW(target.Assign(unrelated), EConvertError);
}

} // namespace

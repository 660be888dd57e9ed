#include "framework/core/IconSelect.h"
#include "framework/core/Padding.h"
#include "sysutil/Exceptions.h"

#include <gtest/gtest.h>

namespace {

TEST(IconSelect, StartsWithTheSettingsGlyphDisabled) {
    FXIconSelect icon(nullptr);
    EXPECT_FALSE(icon.Enabled());
    EXPECT_EQ(icon.IconType(), FXIconType::SegoeIcon);
    EXPECT_EQ(icon.SelectSegoe(), L"\xE734");
    EXPECT_EQ(icon.SelectImageIndex(), 0);
}

TEST(IconSelect, StoredPropertiesAreReachableByName) {
    FXIconSelect icon(nullptr);
    icon.SetProperty(L"Enabled", TPropertyValue::Bool(true));
    icon.SetProperty(L"IconType", TPropertyValue::Enum(icon.Properties().Find(L"IconType")->EnumOrdinal(L"ImageList")));
    icon.SetProperty(L"SelectSegoe", TPropertyValue::String(L"\xEA3A\xE73E"));
    icon.SetProperty(L"SelectImageIndex", TPropertyValue::Integer(-1));
    EXPECT_TRUE(icon.Enabled());
    EXPECT_EQ(icon.IconType(), FXIconType::ImageList);
    EXPECT_EQ(icon.SelectSegoe(), L"\xEA3A\xE73E");
    EXPECT_EQ(icon.SelectImageIndex(), -1);
    EXPECT_THROW(icon.SetProperty(L"IconType", TPropertyValue::Enum(4)), ERangeError);
}

TEST(IconSelect, AssignCopiesEverythingFromAnotherSelectionOnly) {
    FXIconSelect source(nullptr);
    source.SetEnabled(true);
    source.SetIconType(FXIconType::BitMap);
    source.SetSelectSegoe(L"\xF167");
    source.SetSelectImageIndex(3);
    FXIconSelect target(nullptr);
    target.Assign(source);
    EXPECT_TRUE(target.Enabled());
    EXPECT_EQ(target.IconType(), FXIconType::BitMap);
    EXPECT_EQ(target.SelectSegoe(), L"\xF167");
    EXPECT_EQ(target.SelectImageIndex(), 3);

    FXPadding padding(nullptr);
    EXPECT_THROW(target.Assign(padding), EConvertError);
    EXPECT_THROW(padding.Assign(target), EConvertError);
}

} // namespace

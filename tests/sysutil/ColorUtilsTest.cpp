#include "sysutil/ColorUtils.h"
#include "sysutil/Exceptions.h"

#include <gtest/gtest.h>

namespace {

struct LightCase {
    TColor Color;
    int Amount;
    TColor Expected;
};

TEST(ColorUtils, ChangeColorLightClampsEachChannel) {
    const LightCase cases[] = {
        {0xD47800, 25, 0xED9119}, {0xD47800, -255, 0x000000}, {0x123456, 300, 0xFFFFFF},
        {0xD77800, 50, 0xFFAA32}, {0x0A80F0, -20, 0x006CDC},  {0x000000, 0, 0x000000},
    };
    for (const LightCase& c : cases) {
        EXPECT_EQ(ChangeColorLight(c.Color, c.Amount), c.Expected)
            << std::hex << c.Color << " " << std::dec << c.Amount;
    }
}

TEST(ColorUtils, SystemColorsAreResolvedOnlyWhereDocumented) {
    const TColor window = SystemColor(COLOR_WINDOW);
    const TColor rgb = static_cast<TColor>(GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(ChangeColorLight(window, 0), rgb);
    EXPECT_EQ(ColorToGrayscale(window), ColorToGrayscale(rgb));
    // The luminance works on the raw value: only the index byte counts.
    EXPECT_EQ(GetColorLuminance(window), COLOR_WINDOW / 3);
}

TEST(ColorUtils, LuminanceGreyAndContrast) {
    EXPECT_EQ(GetColorLuminance(0xD77800), 111);
    EXPECT_EQ(GetColorLuminance(0x020101), 1) << "truncates";
    EXPECT_EQ(ColorToGrayscale(0x0000FF), 0x555555);
    EXPECT_EQ(ColorToGrayscale(0xFFFFFF), 0xFFFFFF);
    EXPECT_EQ(GetContrastTextColor(0x969696), 0xF3F3F3) << "luminance 150 is still dark";
    EXPECT_EQ(GetContrastTextColor(0x979797), 0x202020);
}

TEST(ColorUtils, ColorBlendMovesEachChannelTowardsTheSecond) {
    EXPECT_EQ(ColorBlend(0x000000, 0xFFFFFF, 128), 0x808080);
    EXPECT_EQ(ColorBlend(0x123456, 0xABCDEF, 0), 0x123456);
    EXPECT_EQ(ColorBlend(0x123456, 0xABCDEF, 255), 0xABCDEF);
    // Downwards the quotient truncates towards zero: 200 + (-200 * 100 / 255) = 200 - 78.
    EXPECT_EQ(ColorBlend(0x0000C8, 0x000000, 100), 0x00007A);
    EXPECT_THROW(ColorBlend(SystemColor(COLOR_WINDOW), 0, 10), ERangeError);
    EXPECT_THROW(ColorBlend(0, SystemColor(COLOR_BTNFACE), 10), ERangeError);
}

} // namespace

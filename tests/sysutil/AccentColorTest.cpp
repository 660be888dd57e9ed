#include "sysutil/AccentColor.h"
#include "sysutil/ThemeValuesGuard.h"

#include <gtest/gtest.h>

namespace {

// Counts the cache's registry reads; the cache itself lives for the whole test process.
class AccentColorTest : public ::testing::Test {
protected:
    AccentColorTest() {
        SetAccentColorChangeNotify([this] { ++Reads; });
    }
    ~AccentColorTest() override {
        SetAccentColorChangeNotify(nullptr);
        SetAccentColorAlwaysRead(false);
    }

    TThemeValuesGuard Values;
    int Reads = 0;
    // An hour past every earlier request of this process, so the first request here reads.
    const uint64_t Start = NextStart();

    static uint64_t NextStart() {
        static uint64_t start = GetTickCount64();
        return start += 3600 * 1000;
    }
};

TEST_F(AccentColorTest, ReadsTheStoredAccentWithoutItsTopByte) {
    struct Case {
        DWORD Stored;
        TColor Accent;
        TColor Adjusted;
    };
    const Case cases[] = {
        {0xFFD47800, 0xD47800, 0xD47800}, // luminance 110: inside the band
        {0xFF000000, 0x000000, 0x6E6E6E}, // black is lifted into the band
        {0xFFFFFFFF, 0xFFFFFF, 0x9B9B9B}, // white is lowered into it
        {0xFF9B9B9B, 0x9B9B9B, 0x9B9B9B}, // 155: inside as well
        {0xFF6D6D6D, 0x6D6D6D, 0x6E6E6E}, // 109: raised by 1
        {0x00123456, 0x123456, 0x4C6E90}, // a top byte below 0xFF is kept as it is
    };
    uint64_t now = Start;
    for (const Case& c : cases) {
        TThemeValuesGuard::SetAccent(c.Stored);
        now += 31 * 1000;
        EXPECT_EQ(GetAccentColorAt(CAccentColor::Accent, now), c.Accent) << std::hex << c.Stored;
        EXPECT_EQ(GetAccentColorAt(CAccentColor::AccentAdjust, now), c.Adjusted) << std::hex << c.Stored;
    }
    EXPECT_EQ(ReadSystemAccentColor(), 0x123456);
}

TEST_F(AccentColorTest, FixedColorsForCustomAndNone) {
    EXPECT_EQ(GetAccentColorAt(CAccentColor::AccentCustom, Start), 0xC57517);
    EXPECT_EQ(GetAccentColorAt(CAccentColor::None, Start), 0xD47800);
    EXPECT_EQ(GetAccentColorAt(static_cast<CAccentColor>(9), Start), 0xD47800);
}

TEST_F(AccentColorTest, WithoutAStoredAccentTheDefaultBlueIsUsed) {
    TThemeValuesGuard::RemoveAccent();
    EXPECT_EQ(ReadSystemAccentColor(), DefaultAccentColor);
    EXPECT_EQ(GetAccentColorAt(CAccentColor::Accent, Start), 0xD77800);
    EXPECT_EQ(GetAccentColorAt(CAccentColor::AccentAdjust, Start), 0xD77800) << "luminance 111 lies in the band";
}

TEST_F(AccentColorTest, ReadsTheRegistryAgainOnlyAfterThirtyWholeSeconds) {
    TThemeValuesGuard::SetAccent(0xFFD47800);
    EXPECT_EQ(GetAccentColorAt(CAccentColor::Accent, Start), 0xD47800);
    EXPECT_EQ(Reads, 1);

    TThemeValuesGuard::SetAccent(0xFF102030);
    EXPECT_EQ(GetAccentColorAt(CAccentColor::Accent, Start + 1000), 0xD47800);
    EXPECT_EQ(GetAccentColorAt(CAccentColor::Accent, Start + 30999), 0xD47800);
    EXPECT_EQ(Reads, 1) << "30.999 s are 30 whole seconds";
    EXPECT_EQ(GetAccentColorAt(CAccentColor::Accent, Start + 31000), 0x102030);
    EXPECT_EQ(Reads, 2);
    EXPECT_EQ(GetAccentColorAt(CAccentColor::Accent, Start), 0x102030) << "an earlier moment is no reason to read";
    EXPECT_EQ(Reads, 2);
}

TEST_F(AccentColorTest, AlwaysReadSeesEveryChange) {
    SetAccentColorAlwaysRead(true);
    TThemeValuesGuard::SetAccent(0xFF010203);
    EXPECT_EQ(GetAccentColor(CAccentColor::Accent), 0x010203);
    TThemeValuesGuard::SetAccent(0xFF040506);
    EXPECT_EQ(GetAccentColor(CAccentColor::Accent), 0x040506);
    EXPECT_EQ(Reads, 2);
}

} // namespace

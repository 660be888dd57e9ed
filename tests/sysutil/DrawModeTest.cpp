#include "sysutil/DrawMode.h"

#include <gtest/gtest.h>

#include <ostream>

// RECT lives in the global namespace, so its comparison and printing must too.
static bool operator==(const RECT& A, const RECT& B) {
    return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

static std::ostream& operator<<(std::ostream& Out, const RECT& R) {
    return Out << "(" << R.left << ", " << R.top << ", " << R.right << ", " << R.bottom << ")";
}

namespace {

struct ModeCase {
    TDrawMode Mode;
    RECT Area;
    SIZE Graphic;
    int Inflate;
    RECT Expected;
};

TEST(DrawMode, OneRectanglePerMode) {
    const RECT square{0, 0, 100, 100};
    const ModeCase cases[] = {
        {TDrawMode::Fit, square, {200, 100}, 0, {0, 0, 100, 50}},
        {TDrawMode::CenterFit, square, {200, 100}, 0, {0, 25, 100, 75}},
        {TDrawMode::Fill, square, {200, 100}, 0, {0, 0, 200, 100}},
        {TDrawMode::CenterFill, square, {200, 100}, 0, {-50, 0, 150, 100}},
        {TDrawMode::Center3Fill, square, {200, 100}, 0, {-33, 0, 167, 100}},
        // A tall picture: Fill overflows downwards, Fit narrows.
        {TDrawMode::Fill, square, {100, 300}, 0, {0, 0, 100, 300}},
        {TDrawMode::CenterFill, square, {100, 300}, 0, {0, -100, 100, 200}},
        {TDrawMode::Fit, square, {100, 300}, 0, {0, 0, 33, 100}},
        {TDrawMode::CenterFit, square, {100, 300}, 0, {33, 0, 66, 100}},
        {TDrawMode::Stretch, square, {7, 9}, 0, {0, 0, 100, 100}},
        {TDrawMode::Stretch, square, {7, 9}, -5, {-5, -5, 105, 105}},
        {TDrawMode::Center, square, {51, 51}, 0, {25, 25, 75, 75}},
        {TDrawMode::Center, {10, 20, 60, 40}, {20, 10}, 0, {25, 25, 45, 35}},
        {TDrawMode::Normal, square, {30, 20}, 10, {10, 10, 40, 30}},
        {TDrawMode::Normal, square, {300, 200}, 0, {0, 0, 300, 200}},
        {TDrawMode::Fit, {10, 10, 110, 60}, {50, 50}, 0, {10, 10, 60, 60}},
        {TDrawMode::Fill, square, {200, 100}, 10, {10, 10, 170, 90}},
    };
    for (const ModeCase& c : cases) {
        const std::vector<RECT> rects = GetDrawModeRects(c.Area, c.Graphic, c.Mode, c.Inflate);
        ASSERT_EQ(rects.size(), 1u) << static_cast<int>(c.Mode);
        EXPECT_EQ(rects[0], c.Expected) << "mode " << static_cast<int>(c.Mode) << " picture " << c.Graphic.cx << "x"
                                        << c.Graphic.cy << " in " << c.Area << " inflate " << c.Inflate;
    }
}

TEST(DrawMode, TilesRowByRowPastTheEdge) {
    const std::vector<RECT> tiles = GetDrawModeRects({0, 0, 100, 50}, {40, 40}, TDrawMode::Tile, 0);
    const std::vector<RECT> expected = {{0, 0, 40, 40},  {40, 0, 80, 40},  {80, 0, 120, 40},
                                        {0, 40, 40, 80}, {40, 40, 80, 80}, {80, 40, 120, 80}};
    EXPECT_EQ(tiles, expected);

    const std::vector<RECT> inset = GetDrawModeRects({0, 0, 100, 100}, {60, 60}, TDrawMode::Tile, 10);
    const std::vector<RECT> insetExpected = {
        {10, 10, 70, 70}, {70, 10, 130, 70}, {10, 70, 70, 130}, {70, 70, 130, 130}};
    EXPECT_EQ(inset, insetExpected);
    EXPECT_TRUE(GetDrawModeRects({0, 0, 10, 10}, {4, 4}, TDrawMode::Tile, 5).empty()) << "nothing left to tile";
}

TEST(DrawMode, AnEmptyPictureHasNoPlace) {
    for (const SIZE size : {SIZE{0, 0}, SIZE{0, 50}, SIZE{50, 0}}) {
        for (int mode = 0; mode <= static_cast<int>(TDrawMode::Tile); ++mode) {
            EXPECT_TRUE(GetDrawModeRects({0, 0, 100, 100}, size, static_cast<TDrawMode>(mode), 0).empty())
                << size.cx << "x" << size.cy << " mode " << mode;
        }
    }
}

} // namespace

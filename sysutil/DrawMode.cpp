#include "sysutil/DrawMode.h"

#include <cmath>

namespace {

int Width(const RECT& R) {
    return R.right - R.left;
}
int Height(const RECT& R) {
    return R.bottom - R.top;
}

void OffsetHorizontally(RECT& R, int Delta) {
    R.left += Delta;
    R.right += Delta;
}

void OffsetVertically(RECT& R, int Delta) {
    R.top += Delta;
    R.bottom += Delta;
}

// Fill covers the area and Fit stays inside it; both keep the picture's proportions and the
// area's top-left corner.
RECT ScaledRect(const RECT& A, SIZE G, bool Cover) {
    const double fitByWidthHeight = G.cy * (static_cast<double>(Width(A)) / G.cx);
    const double fitByHeightWidth = G.cx * (static_cast<double>(Height(A)) / G.cy);
    const bool byHeight = Cover ? Height(A) > fitByWidthHeight : fitByWidthHeight > Height(A);
    RECT R = A;
    if (byHeight) {
        R.right = R.left + static_cast<int>(std::trunc(fitByHeightWidth));
    } else {
        R.bottom = R.top + static_cast<int>(std::trunc(fitByWidthHeight));
    }
    return R;
}

// Moves a rectangle back by a share of how far it overflows the area (2: centred, 3: a third);
// a rectangle smaller than the area has a negative overflow and moves forward.
RECT ShiftOverflow(const RECT& A, RECT R, int Share) {
    OffsetHorizontally(R, -((Width(R) - Width(A)) / Share));
    OffsetVertically(R, -((Height(R) - Height(A)) / Share));
    return R;
}

std::vector<RECT> Tiles(const RECT& A, SIZE G) {
    std::vector<RECT> tiles;
    for (int y = A.top; y < A.bottom; y += G.cy) {
        for (int x = A.left; x < A.right; x += G.cx) {
            tiles.push_back({x, y, x + G.cx, y + G.cy});
        }
    }
    return tiles;
}

} // namespace

std::vector<RECT> GetDrawModeRects(const RECT& Area, SIZE GraphicSize, TDrawMode DrawMode, int Inflate) {
    const SIZE G = GraphicSize;
    if (G.cx <= 0 || G.cy <= 0) {
        return {};
    }
    const RECT A{Area.left + Inflate, Area.top + Inflate, Area.right - Inflate, Area.bottom - Inflate};
    switch (DrawMode) {
    case TDrawMode::Fill:
        return {ScaledRect(A, G, true)};
    case TDrawMode::Fit:
        return {ScaledRect(A, G, false)};
    case TDrawMode::Stretch:
        return {A};
    case TDrawMode::Center: {
        const POINT c{A.left + Width(A) / 2, A.top + Height(A) / 2};
        return {{c.x - G.cx / 2, c.y - G.cy / 2, c.x + G.cx / 2, c.y + G.cy / 2}};
    }
    case TDrawMode::CenterFill:
        return {ShiftOverflow(A, ScaledRect(A, G, true), 2)};
    case TDrawMode::Center3Fill:
        return {ShiftOverflow(A, ScaledRect(A, G, true), 3)};
    case TDrawMode::CenterFit:
        return {ShiftOverflow(A, ScaledRect(A, G, false), 2)};
    case TDrawMode::Normal:
        return {{A.left, A.top, A.left + G.cx, A.top + G.cy}};
    case TDrawMode::Tile:
        return Tiles(A, G);
    }
    return {A};
}

// Where a picture goes inside an area, for each placement mode of the picture components.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

enum class TDrawMode : uint8_t { Fill, Fit, Stretch, Center, CenterFill, Center3Fill, CenterFit, Normal, Tile };

// The destination rectangles of a picture of GraphicSize in Area shrunk by Inflate pixels on every
// side (a negative Inflate grows it). One rectangle, except Tile: one per tile, row by row. A
// picture without width or height gives none.
std::vector<RECT> GetDrawModeRects(const RECT& Area, SIZE GraphicSize, TDrawMode DrawMode, int Inflate);

// The system accent colour as the picture components use it, read from the registry at most
// every 30 seconds and kept in a process-wide cache (user-interface thread only).
#pragma once

#include "sysutil/ColorValue.h"

#include <cstdint>
#include <functional>

enum class CAccentColor : uint8_t { None, Accent, AccentAdjust, AccentCustom };

constexpr TColor DefaultAccentColor = 0xD77800;

// The stored "AccentColor" of the current user as 0x00BBGGRR, DefaultAccentColor when it
// cannot be read. Reads the registry every time.
TColor ReadSystemAccentColor();

// The colour for Kind: the accent, the accent moved into a middle brightness band, a fixed
// custom accent, or a fixed blue for None.
TColor GetAccentColor(CAccentColor Kind);
// The same at the moment NowMs of the GetTickCount64 clock: the registry is read on the first
// request and again once more than 30 whole seconds have passed since the last read.
TColor GetAccentColorAt(CAccentColor Kind, uint64_t NowMs);

// With AlwaysRead set, every request reads the registry.
void SetAccentColorAlwaysRead(bool AlwaysRead);
// Called after every registry read of the cache; gives back the previous callback.
std::function<void()> SetAccentColorChangeNotify(std::function<void()> Notify);

#include "sysutil/ColorUtils.h"

#include "sysutil/Exceptions.h"

#include <algorithm>
#include <string>

namespace {

uint8_t ClampChannel(int Value) {
    return static_cast<uint8_t>(std::clamp(Value, 0, 255));
}

void RequirePlainColor(TColor Color) {
    if (IsSystemColor(Color)) {
        throw ERangeError(L"Colour blending needs plain colours, not the system colour reference " +
                          std::to_wstring(static_cast<uint32_t>(Color)));
    }
}

int BlendChannel(int A, int B, int Amount) {
    return A + (B - A) * Amount / 255;
}

} // namespace

TColor ChangeColorLight(TColor Color, int Amount) {
    const TColor rgb = ColorToRGB(Color);
    return MakeColor(ClampChannel(GetRValue32(rgb) + Amount), ClampChannel(GetGValue32(rgb) + Amount),
                     ClampChannel(GetBValue32(rgb) + Amount));
}

int GetColorLuminance(TColor Color) {
    return (GetRValue32(Color) + GetGValue32(Color) + GetBValue32(Color)) / 3;
}

TColor ColorToGrayscale(TColor Color) {
    const uint8_t mean = static_cast<uint8_t>(GetColorLuminance(ColorToRGB(Color)));
    return MakeColor(mean, mean, mean);
}

TColor GetContrastTextColor(TColor Background) {
    return GetColorLuminance(Background) <= 150 ? 0xF3F3F3 : 0x202020;
}

TColor ColorBlend(TColor A, TColor B, uint8_t Amount) {
    RequirePlainColor(A);
    RequirePlainColor(B);
    return MakeColor(ClampChannel(BlendChannel(GetRValue32(A), GetRValue32(B), Amount)),
                     ClampChannel(BlendChannel(GetGValue32(A), GetGValue32(B), Amount)),
                     ClampChannel(BlendChannel(GetBValue32(A), GetBValue32(B), Amount)));
}

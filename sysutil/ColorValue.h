// The colour value shared by every layer: 0x00BBGGRR, red in the low byte. A negative
// value (top byte 0xFF) refers to a system colour whose index is in the low byte.
#pragma once

#include <windows.h>

#include <cstdint>

using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

constexpr bool IsSystemColor(TColor Color) {
    return Color < 0;
}
constexpr TColor SystemColor(int Index) {
    return static_cast<TColor>(0xFF000000u | static_cast<uint32_t>(Index));
}

// A system-colour reference replaced by the system's current value; plain colours pass.
inline TColor ColorToRGB(TColor Color) {
    return IsSystemColor(Color) ? static_cast<TColor>(GetSysColor(Color & 0xFF)) : Color;
}

constexpr uint8_t GetRValue32(TColor Color) {
    return static_cast<uint8_t>(Color & 0xFF);
}
constexpr uint8_t GetGValue32(TColor Color) {
    return static_cast<uint8_t>((Color >> 8) & 0xFF);
}
constexpr uint8_t GetBValue32(TColor Color) {
    return static_cast<uint8_t>((Color >> 16) & 0xFF);
}
constexpr TColor MakeColor(uint8_t R, uint8_t G, uint8_t B) {
    return static_cast<TColor>(R | (G << 8) | (B << 16));
}

// Colour arithmetic on 0x00BBGGRR values, shared by the framework's palette and the
// picture helpers. Functions that resolve a system-colour reference say so.
#pragma once

#include "sysutil/ColorValue.h"

#include <cstdint>

// Resolves Color, then adds the signed Amount to red, green and blue, each clamped to 0..255.
TColor ChangeColorLight(TColor Color, int Amount);
// The mean of the three channels of the raw value; a system-colour reference is not resolved.
int GetColorLuminance(TColor Color);
// Resolves Color and gives the grey of the same mean brightness.
TColor ColorToGrayscale(TColor Color);
// Light text on a dark background, dark text on a light one.
TColor GetContrastTextColor(TColor Background);
// Moves A towards B by Amount / 255 per channel. Raises ERangeError for a system-colour reference.
TColor ColorBlend(TColor A, TColor B, uint8_t Amount);

#pragma once

// Brightness and contrast of 24-bit bitmaps through one 256-entry lookup
// table, in integer arithmetic so that the result is the same everywhere.

#include <array>
#include <cstdint>

class TBitmap;

namespace BitmapBC {

// Index: old channel value; entry: new channel value.
using TBCTable = std::array<std::uint8_t, 256>;

// Brightness and contrast are percentages (the dialog gives -100..100). A
// negative contrast flattens towards 128, a positive one steepens, 100 and
// above is a threshold at 128; the brightness offset is added last and the
// result clamped.
void BuildBrightnessContrastTable(TBCTable& table, int brightness, int contrast);
// Maps every colour byte of a 24-bit bitmap through the table; a bitmap of
// any other depth is left alone.
void ApplyBrightnessContrast(TBitmap& bitmap, int brightness, int contrast);

} // namespace BitmapBC

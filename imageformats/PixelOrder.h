#pragma once
// Row moves between the red-first sample order of most files and the
// blue-first order of bitmaps. These run once per row of nearly every colour
// picture, so they use byte shuffles where the processor has them. Source and
// target may be the same row; otherwise they must not overlap.

#include <cstdint>

namespace PixelOrder {
// `count` 3-byte pixels with their first and third bytes exchanged.
void ExchangeRedBlue24(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count);
// `count` 4-byte pixels with their first and third bytes exchanged; the
// fourth byte is copied.
void ExchangeRedBlue32(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count);
} // namespace PixelOrder

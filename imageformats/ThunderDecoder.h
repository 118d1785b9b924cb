#pragma once
// TThunderDecoder unpacks ThunderScan rows: 4-bit pixels coded as runs of
// the last pixel, two or three small deltas from it, or raw values. Pixels
// go two to a byte, the first in the high nibble; every row starts on a
// byte and restarts the last pixel at 0.

#include <cstdint>

#include "imageformats/GraphicCompression.h"

class TThunderDecoder : public TDecoder {
public:
    explicit TThunderDecoder(std::uint32_t Width) : width_(Width) { }
    // Decodes rows of Width pixels until either size is used up; a code that
    // would run past a row's end is cut there. Returns the bytes written;
    // Source and Dest are not moved.
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;

private:
    std::uint32_t width_;
};

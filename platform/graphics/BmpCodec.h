#pragma once
// Reading and writing Windows and OS/2 bitmap files: 1, 4, 8, 16, 24 and
// 32 bits per pixel, RLE4 and RLE8, bit-field masks, bottom-up and top-down
// rows. Damaged files raise EInvalidGraphic.

#include <cstddef>
#include <cstdint>

class TBitmap;
class TStream;

namespace gfx {

// Reads a whole file (file header first) from the stream's position.
void ReadBmp(TStream& stream, TBitmap& bitmap);
// Writes the bitmap in its own depth (15-bit as 16-bit 5-5-5, 16-bit with
// 5-6-5 masks), rows bottom-up.
void WriteBmp(TStream& stream, const TBitmap& bitmap);

// Where a device-independent bitmap in memory ended.
struct DibLayout {
    int Width = 0;
    int Height = 0;
    std::size_t PixelsEnd = 0; // offset just behind the pixel rows
};

// Decodes a bitmap without file header (an info header, colours, pixels) as
// resources and icons keep it. With `iconImage` the header's height counts the
// picture and its mask, and only the picture is decoded.
DibLayout DecodeDib(const std::uint8_t* data, std::size_t size, TBitmap& bitmap, bool iconImage = false);

} // namespace gfx

#pragma once

// Free routines on bitmaps that the transitions and the smooth bitmap share.

#include <cstddef>
#include <cstdint>
#include <memory>

class TBitmap;
class TPicture;

namespace BitmapTools {

// A new bitmap of the picture: bitmaps and JPEGs are assigned, anything else
// is drawn onto a 24-bit bitmap of the picture's size. nullptr for an empty
// picture.
std::unique_ptr<TBitmap> PicToBMP(TPicture& picture);

// The lowest address of the bitmap's pixel rows and the number of bytes from
// there to the end of the last pixel (row padding between rows included).
// An empty bitmap gives nullptr and 0.
std::size_t FirstBitmapByte(TBitmap& bitmap, std::uint8_t*& first);

// Bits per pixel of the bitmap's pixel format (24 for pfDevice).
int GetBitsPerPixel(const TBitmap& bitmap);

} // namespace BitmapTools

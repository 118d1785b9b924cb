#pragma once

// The container that every reader and writer of the system uses: c_zofile
// plus fields of the graphics types.
//
//   JPEG    i32 byte count n, then n bytes of a JPEG stream; 0 = no picture
//   colour  4 bytes, the colour value (RGB, or a system-colour code)
//   font    i32 blob length n, then the font blob (FontTools); -1 = no font

#include "core/ZOFile.h"
#include "platform/graphics/Color.h"

#include <memory>

class TFont;
class TJPEGImage;

class c_zofilewintypes : public c_zofile {
public:
    using c_zofile::c_zofile;

    // Writes the picture's bytes (compressing it first when it was made from
    // a bitmap); none writes the count 0.
    void write_JPEG(TJPEGImage* jpeg);
    // Frees the picture jpeg holds, then reads a new one (none for count 0).
    // The bytes are kept as stored; a damaged stream shows only when the
    // picture is decoded.
    void read_JPEG(std::unique_ptr<TJPEGImage>& jpeg);

    void write_TColor(TColor color);
    void read_TColor(TColor& color);

    void write_TFont(const TFont* font);
    // Frees the font held by font, then reads a new one (none for -1).
    void read_TFont(std::unique_ptr<TFont>& font);
};

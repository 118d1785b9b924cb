#pragma once
// The pixel loops behind canvas drawing and block copies: brush patterns,
// pen modes, the raster-operation engine and region-clipped transfers. All
// coordinates here are device coordinates.

#include <cstdint>
#include <vector>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"

namespace gfx::raster {

// What a brush puts at each device pixel. Hatches leave their gaps alone.
class BrushPattern {
public:
    BrushPattern() = default; // paints nothing
    static BrushPattern Solid(std::uint32_t rgb);
    // 1-bit pattern bitmaps paint `textColor` for 0 bits and the brush colour for 1 bits.
    static BrushPattern FromBrush(const TBrush& brush, TColor textColor);

    bool IsNull() const { return kind_ == Kind::None; }
    bool IsSolid() const { return kind_ == Kind::Solid; }
    std::uint32_t SolidColor() const { return color_; }
    // Colours of pixels [x, x + n) of row y; opaque[i] = 0 where nothing is painted.
    // Returns false when every pixel of the run is painted (opaque left untouched).
    bool Row(int x, int y, int n, std::uint32_t* rgb, std::uint8_t* opaque) const;

private:
    enum class Kind { None, Solid, Hatch, Tile };
    Kind kind_ = Kind::None;
    std::uint32_t color_ = 0;
    std::uint8_t hatch_[8] = {};
    std::vector<std::uint32_t> tile_;
    int tileWidth_ = 0;
    int tileHeight_ = 0;
};

std::uint32_t ApplyPenMode(TPenMode mode, std::uint32_t pen, std::uint32_t dest);

// Paints the pixels of `region` (already clipped to the buffer).
void FillRegion(const TPixelBuffer& buffer, const TRegion& region, const BrushPattern& pattern, TPenMode mode = pmCopy);
void FillSpan(const TPixelBuffer& buffer, int y, int x0, int x1, const BrushPattern& pattern, TPenMode mode);

constexpr bool RopUsesSource(std::uint32_t rop) { return (((rop >> 2) ^ rop) & 0x330000) != 0; }
constexpr bool RopUsesPattern(std::uint32_t rop) { return (((rop >> 4) ^ rop) & 0x0F0000) != 0; }
constexpr bool RopUsesDest(std::uint32_t rop) { return (((rop >> 1) ^ rop) & 0x550000) != 0; }

// dest[i] := rop(pattern[i], source[i], dest[i]) on 0x00RRGGBB words.
void ApplyRop(std::uint32_t rop, std::uint32_t* dest, const std::uint32_t* source, const std::uint32_t* pattern,
              int count);

// How source colours change on the way between 1-bit and colour pixels:
// 0 bits become the text colour and 1 bits the background colour; colour
// pixels equal to the source's background colour become 1 bits (white).
struct ColorMapping {
    bool MonoToColor = false;
    bool ColorToMono = false;
    std::uint32_t TextColor = 0;
    std::uint32_t BkColor = 0xFFFFFF;
    std::uint32_t SourceBkColor = 0xFFFFFF;
};

// For every pixel of `destRect` inside `clip`: dest := rop(P, S, D) where S
// is the source pixel at sourceOrigin + (pixel - destRect.TopLeft). The
// source may be the destination's own memory; the copy then behaves as if the
// source were read before anything was written.
void Transfer(const TPixelBuffer& dest, const TRegion& clip, const TRect& destRect, const TPixelBuffer* source,
              TPoint sourceOrigin, std::uint32_t rop, const BrushPattern& pattern, const ColorMapping& mapping);

} // namespace gfx::raster

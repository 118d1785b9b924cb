#include "platform/graphics/Raster.h"

#include <algorithm>
#include <cstring>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/ByteOrder.h"

namespace gfx::raster {
namespace {

constexpr std::uint32_t kRgbMask = 0xFFFFFF;

// 8 x 8 hatches, bit 7 = leftmost pixel, aligned to the device origin.
void HatchRows(TBrushStyle style, std::uint8_t rows[8])
{
    for (int y = 0; y < 8; ++y) {
        std::uint8_t bits = 0;
        const bool horizontal = style == bsHorizontal || style == bsCross;
        const bool vertical = style == bsVertical || style == bsCross;
        const bool forward = style == bsFDiagonal || style == bsDiagCross;
        const bool backward = style == bsBDiagonal || style == bsDiagCross;
        if (horizontal && y == 0)
            bits = 0xFF;
        if (vertical)
            bits |= 0x80;
        if (forward)
            bits |= static_cast<std::uint8_t>(0x80 >> y);
        if (backward)
            bits |= static_cast<std::uint8_t>(0x01 << y);
        rows[y] = bits;
    }
}

int Mod(int value, int modulus)
{
    const int r = value % modulus;
    return r < 0 ? r + modulus : r;
}

// One of the named operations as an expression; others by their truth table.
template <class Op> void RopLoop(std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* p, int n, Op op)
{
    for (int i = 0; i < n; ++i)
        d[i] = op(p ? p[i] : 0, s ? s[i] : 0, d[i]) & kRgbMask;
}

std::uint32_t GenericRop(std::uint32_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
    std::uint32_t result = 0;
    for (int i = 0; i < 8; ++i) {
        if (!((code >> i) & 1))
            continue;
        result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return result;
}

} // namespace

BrushPattern BrushPattern::Solid(std::uint32_t rgb)
{
    BrushPattern pattern;
    pattern.kind_ = Kind::Solid;
    pattern.color_ = rgb & kRgbMask;
    return pattern;
}

BrushPattern BrushPattern::FromBrush(const TBrush& brush, TColor textColor)
{
    BrushPattern pattern;
    const std::uint32_t color = ColorToPixel(brush.Color);
    if (brush.Bitmap && !brush.Bitmap->Empty()) {
        TBitmap& bitmap = *brush.Bitmap;
        const TPixelBuffer buffer = bitmap.PixelBuffer();
        pattern.kind_ = Kind::Tile;
        pattern.tileWidth_ = buffer.Width;
        pattern.tileHeight_ = buffer.Height;
        pattern.tile_.resize(static_cast<size_t>(buffer.Width) * buffer.Height);
        const std::uint32_t text = ColorToPixel(textColor);
        for (int y = 0; y < buffer.Height; ++y)
            for (int x = 0; x < buffer.Width; ++x) {
                std::uint32_t rgb;
                if (buffer.BitsPerPixel == 1)
                    rgb = ((buffer.Row(y)[x >> 3] >> (7 - (x & 7))) & 1) ? color : text;
                else
                    rgb = ReadPixel(buffer, x, y);
                pattern.tile_[static_cast<size_t>(y) * buffer.Width + x] = rgb;
            }
        return pattern;
    }
    if (brush.Style == bsClear)
        return pattern;
    if (brush.Style == bsSolid)
        return Solid(color);
    pattern.kind_ = Kind::Hatch;
    pattern.color_ = color;
    HatchRows(brush.Style, pattern.hatch_);
    return pattern;
}

bool BrushPattern::Row(int x, int y, int n, std::uint32_t* rgb, std::uint8_t* opaque) const
{
    switch (kind_) {
    case Kind::None: std::fill(opaque, opaque + n, 0); return true;
    case Kind::Solid: std::fill(rgb, rgb + n, color_); return false;
    case Kind::Hatch: {
        const std::uint8_t bits = hatch_[Mod(y, 8)];
        for (int i = 0; i < n; ++i) {
            const bool set = (bits >> (7 - Mod(x + i, 8))) & 1;
            rgb[i] = color_;
            opaque[i] = set;
        }
        return true;
    }
    case Kind::Tile: {
        const std::uint32_t* row = tile_.data() + static_cast<size_t>(Mod(y, tileHeight_)) * tileWidth_;
        for (int i = 0; i < n; ++i)
            rgb[i] = row[Mod(x + i, tileWidth_)];
        return false;
    }
    }
    return false;
}

std::uint32_t ApplyPenMode(TPenMode mode, std::uint32_t p, std::uint32_t d)
{
    std::uint32_t r;
    switch (mode) {
    case pmBlack: r = 0; break;
    case pmWhite: r = kRgbMask; break;
    case pmNop: r = d; break;
    case pmNot: r = ~d; break;
    case pmCopy: r = p; break;
    case pmNotCopy: r = ~p; break;
    case pmMergePenNot: r = p | ~d; break;
    case pmMaskPenNot: r = p & ~d; break;
    case pmMergeNotPen: r = ~p | d; break;
    case pmMaskNotPen: r = ~p & d; break;
    case pmMerge: r = p | d; break;
    case pmNotMerge: r = ~(p | d); break;
    case pmMask: r = p & d; break;
    case pmNotMask: r = ~(p & d); break;
    case pmXor: r = p ^ d; break;
    case pmNotXor: r = ~(p ^ d); break;
    default: r = p; break;
    }
    return r & kRgbMask;
}

namespace {

// Sets the colour bytes of n 32-bit pixels; the fourth byte of each stays.
void FillSolid32(std::uint8_t* p, int n, std::uint32_t colour)
{
    for (int i = 0; i < n; ++i, p += 4)
        rtl::PutLE32(p, (rtl::GetLE32(p) & ~kRgbMask) | colour);
}

// n 24-bit pixels: the first one, then the filled part copied onto the rest
// in doubling blocks, so a screen-wide row costs a few block copies.
void FillSolid24(std::uint8_t* p, int n, std::uint32_t colour)
{
    rtl::PutLE24(p, colour);
    const std::size_t total = static_cast<std::size_t>(n) * 3;
    for (std::size_t done = 3; done < total; done *= 2)
        std::memcpy(p + done, p, std::min(done, total - done));
}

} // namespace

void FillSpan(const TPixelBuffer& b, int y, int x0, int x1, const BrushPattern& pattern, TPenMode mode)
{
    const int n = x1 - x0;
    if (n <= 0 || pattern.IsNull() || mode == pmNop)
        return;
    if (pattern.IsSolid() && mode == pmCopy && (b.BitsPerPixel == 32 || b.BitsPerPixel == 24)) {
        const std::uint32_t c = pattern.SolidColor() & kRgbMask;
        std::uint8_t* p = b.Row(y) + x0 * (b.BitsPerPixel / 8);
        if (b.BitsPerPixel == 32)
            FillSolid32(p, n, c);
        else
            FillSolid24(p, n, c);
        return;
    }
    std::vector<std::uint32_t> colors(n), dest(n);
    std::vector<std::uint8_t> opaque(n, 1);
    pattern.Row(x0, y, n, colors.data(), opaque.data());
    ReadRow(b, x0, y, n, dest.data());
    for (int i = 0; i < n; ++i)
        if (opaque[i])
            dest[i] = ApplyPenMode(mode, colors[i], dest[i]);
    WriteRow(b, x0, y, n, dest.data());
}

void FillRegion(const TPixelBuffer& b, const TRegion& region, const BrushPattern& pattern, TPenMode mode)
{
    for (const TRegion::Band& band : region.Bands())
        for (int y = band.Top; y < band.Bottom; ++y)
            for (size_t i = 0; i + 1 < band.X.size(); i += 2)
                FillSpan(b, y, band.X[i], band.X[i + 1], pattern, mode);
}

void ApplyRop(std::uint32_t rop, std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* p, int n)
{
    switch (rop) {
    case SRCCOPY: RopLoop(d, s, p, n, [](auto, auto S, auto) { return S; }); break;
    case SRCPAINT: RopLoop(d, s, p, n, [](auto, auto S, auto D) { return S | D; }); break;
    case SRCAND: RopLoop(d, s, p, n, [](auto, auto S, auto D) { return S & D; }); break;
    case SRCINVERT: RopLoop(d, s, p, n, [](auto, auto S, auto D) { return S ^ D; }); break;
    case SRCERASE: RopLoop(d, s, p, n, [](auto, auto S, auto D) { return S & ~D; }); break;
    case NOTSRCCOPY: RopLoop(d, s, p, n, [](auto, auto S, auto) { return ~S; }); break;
    case NOTSRCERASE: RopLoop(d, s, p, n, [](auto, auto S, auto D) { return ~(S | D); }); break;
    case MERGECOPY: RopLoop(d, s, p, n, [](auto P, auto S, auto) { return P & S; }); break;
    case MERGEPAINT: RopLoop(d, s, p, n, [](auto, auto S, auto D) { return ~S | D; }); break;
    case PATCOPY: RopLoop(d, s, p, n, [](auto P, auto, auto) { return P; }); break;
    case PATPAINT: RopLoop(d, s, p, n, [](auto P, auto S, auto D) { return P | ~S | D; }); break;
    case PATINVERT: RopLoop(d, s, p, n, [](auto P, auto, auto D) { return P ^ D; }); break;
    case DSTINVERT: RopLoop(d, s, p, n, [](auto, auto, auto D) { return ~D; }); break;
    case BLACKNESS: std::fill(d, d + n, 0u); break;
    case WHITENESS: std::fill(d, d + n, kRgbMask); break;
    default: {
        const std::uint32_t code = (rop >> 16) & 0xFF;
        RopLoop(d, s, p, n, [code](auto P, auto S, auto D) { return GenericRop(code, P, S, D); });
    }
    }
}

namespace {

void MapSourceRow(const TPixelBuffer& source, int x, int y, int n, std::uint32_t* out, const ColorMapping& mapping)
{
    if (mapping.MonoToColor && source.BitsPerPixel == 1) {
        const std::uint8_t* row = source.Row(y);
        for (int i = 0; i < n; ++i) {
            const int sx = x + i;
            out[i] = ((row[sx >> 3] >> (7 - (sx & 7))) & 1) ? mapping.BkColor : mapping.TextColor;
        }
        return;
    }
    ReadRow(source, x, y, n, out);
    if (mapping.ColorToMono && source.BitsPerPixel != 1)
        for (int i = 0; i < n; ++i)
            out[i] = out[i] == mapping.SourceBkColor ? kRgbMask : 0;
}

// Bytes per pixel when a span can be moved as raw bytes, else 0.
int RawCopyWidth(const TPixelBuffer& dest, const TPixelBuffer* source, std::uint32_t rop, const ColorMapping& mapping)
{
    if (rop != SRCCOPY || !source || mapping.MonoToColor || mapping.ColorToMono)
        return 0;
    if (source->BitsPerPixel != dest.BitsPerPixel)
        return 0;
    if (dest.BitsPerPixel == 24 || dest.BitsPerPixel == 32)
        return dest.BitsPerPixel / 8;
    if (dest.BitsPerPixel == 15 || dest.BitsPerPixel == 16)
        return 2;
    // Palette pictures copy their indices when both palettes are the same.
    const bool samePalette = dest.PaletteSize == source->PaletteSize &&
        (dest.PaletteSize == 0 || std::equal(dest.Palette, dest.Palette + dest.PaletteSize, source->Palette));
    if (dest.BitsPerPixel == 8 && samePalette)
        return 1;
    return 0;
}

// Whole rows that lie back to back in both buffers move as one block, which
// lets the C library use its fastest copy for large pictures.
bool MoveWholeBlock(const TPixelBuffer& dest, const TPixelBuffer& source, const TRegion& area, int dx, int dy,
                    int bytesPerPixel)
{
    if (area.Bands().size() != 1 || area.Bands()[0].X.size() != 2)
        return false;
    const TRegion::Band& band = area.Bands()[0];
    const bool fullRows = dx == 0 && band.X[0] == 0 && band.X[1] == dest.Width && source.Width == dest.Width;
    if (!fullRows || dest.Stride != source.Stride || dest.Stride <= 0)
        return false;
    const std::size_t rowBytes = static_cast<std::size_t>(dest.Width) * bytesPerPixel;
    const std::size_t rows = static_cast<std::size_t>(band.Bottom - band.Top);
    std::memmove(dest.Row(band.Top), source.Row(band.Top + dy), (rows - 1) * dest.Stride + rowBytes);
    return true;
}

} // namespace

void Transfer(const TPixelBuffer& dest, const TRegion& clip, const TRect& destRect, const TPixelBuffer* source,
              TPoint sourceOrigin, std::uint32_t rop, const BrushPattern& pattern, const ColorMapping& mapping)
{
    const TRegion area = TRegion::Combined(clip, TRegion(destRect), RGN_AND);
    if (area.IsEmpty())
        return;
    const bool usesSource = source && RopUsesSource(rop);
    const bool usesPattern = RopUsesPattern(rop);
    if (usesPattern && pattern.IsNull())
        return;
    const bool sameMemory = usesSource && source->Bits == dest.Bits;
    const int dx = sourceOrigin.X - destRect.Left, dy = sourceOrigin.Y - destRect.Top;
    // Reading rows in the direction away from the destination keeps an
    // overlapping source intact until it has been read.
    const bool bottomUp = sameMemory && dy < 0;
    const int rawBytes = usesSource ? RawCopyWidth(dest, source, rop, mapping) : 0;
    const bool lacksBandGaps = area.Bands().size() == 1 && area.Bands()[0].X.size() == 2;

    const int width = destRect.Width();
    std::vector<std::uint32_t> s(usesSource ? width : 0), d(width), p(usesPattern ? width : 0), keep;
    std::vector<std::uint8_t> opaque(usesPattern ? width : 0), rowCopy;

    const auto& bands = area.Bands();
    const int bandCount = static_cast<int>(bands.size());
    if (rawBytes && MoveWholeBlock(dest, *source, area, dx, dy, rawBytes))
        return;
    for (int bi = 0; bi < bandCount; ++bi) {
        const TRegion::Band& band = bands[bottomUp ? bandCount - 1 - bi : bi];
        for (int k = 0; k < band.Bottom - band.Top; ++k) {
            const int y = bottomUp ? band.Bottom - 1 - k : band.Top + k;
            const std::uint8_t* sourceRow = usesSource ? source->Row(y + dy) : nullptr;
            if (rawBytes && sameMemory && !lacksBandGaps) {
                // Several spans of one row: keep the row's source before writing any of them.
                rowCopy.assign(sourceRow, sourceRow + static_cast<size_t>(source->Width) * rawBytes);
                sourceRow = rowCopy.data();
            }
            if (sameMemory && !rawBytes) // the whole source run first: spans may overlap it
                MapSourceRow(*source, destRect.Left + dx, y + dy, width, s.data(), mapping);
            for (size_t i = 0; i + 1 < band.X.size(); i += 2) {
                const int x0 = band.X[i], n = band.X[i + 1] - x0;
                if (rawBytes) {
                    std::memmove(dest.Row(y) + static_cast<size_t>(x0) * rawBytes,
                                 sourceRow + static_cast<size_t>(x0 + dx) * rawBytes,
                                 static_cast<size_t>(n) * rawBytes);
                    continue;
                }
                const std::uint32_t* sourceRun = s.data();
                if (sameMemory)
                    sourceRun = s.data() + (x0 - destRect.Left);
                else if (usesSource)
                    MapSourceRow(*source, x0 + dx, y + dy, n, s.data(), mapping);
                bool partial = false;
                if (usesPattern)
                    partial = pattern.Row(x0, y, n, p.data(), opaque.data());
                ReadRow(dest, x0, y, n, d.data());
                if (partial)
                    keep.assign(d.begin(), d.begin() + n);
                ApplyRop(rop, d.data(), usesSource ? sourceRun : nullptr, usesPattern ? p.data() : nullptr, n);
                if (partial)
                    for (int j = 0; j < n; ++j)
                        if (!opaque[j])
                            d[j] = keep[j];
                WriteRow(dest, x0, y, n, d.data());
            }
        }
    }
}

} // namespace gfx::raster

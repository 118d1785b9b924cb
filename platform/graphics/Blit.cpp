// The device calls on canvases: block copies, stretching, pattern fills,
// scrolling and the clip and origin state.

#include <cstdlib>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Raster.h"
#include "platform/graphics/Stretch.h"

namespace gfx {
namespace {

using raster::ColorMapping;

struct Target {
    TPixelBuffer Buffer;
    TRegion Clip;
};

bool Prepare(TCanvas& canvas, Target& target)
{
    if (!canvas.Surface())
        return false;
    target.Buffer = canvas.Surface()->PixelBuffer();
    if (target.Buffer.Empty())
        return false;
    target.Clip = canvas.DeviceClip();
    return true;
}

ColorMapping MappingFor(TCanvas& dest, TCanvas& source, const TPixelBuffer& d, const TPixelBuffer& s)
{
    ColorMapping m;
    m.MonoToColor = s.BitsPerPixel == 1 && d.BitsPerPixel != 1;
    m.ColorToMono = d.BitsPerPixel == 1 && s.BitsPerPixel != 1;
    m.TextColor = ColorToPixel(dest.Font.Color());
    m.BkColor = ColorToPixel(dest.Brush.Color);
    m.SourceBkColor = ColorToPixel(source.Brush.Color);
    return m;
}

// A negative extent counts from the far edge: (x, -w) covers x - w + 1 .. x.
void Normalize(int& start, int& extent, bool& mirror)
{
    if (extent < 0) {
        start += extent + 1;
        extent = -extent;
        mirror = !mirror;
    }
}

// A 32-bit copy of a source area with the colour mapping already applied, for
// stretching pictures that change between 1-bit and colour on the way.
TPixelBuffer MappedCopy(const TPixelBuffer& source, const ColorMapping& mapping, std::vector<std::uint32_t>& store)
{
    store.resize(static_cast<size_t>(source.Width) * source.Height);
    TPixelBuffer copy{reinterpret_cast<std::uint8_t*>(store.data()),
                      static_cast<std::ptrdiff_t>(source.Width) * 4,
                      source.Width,
                      source.Height,
                      32,
                      nullptr,
                      0};
    const TRegion all(source.Bounds());
    raster::Transfer(copy, all, source.Bounds(), &source, {0, 0}, SRCCOPY, raster::BrushPattern(), mapping);
    return copy;
}

} // namespace

bool PatBlt(TCanvas& dest, int x, int y, int width, int height, std::uint32_t rop)
{
    Target t;
    if (!Prepare(dest, t))
        return false;
    bool unused = false;
    Normalize(x, width, unused);
    Normalize(y, height, unused);
    const TRect area = dest.ToDevice(Bounds(x, y, width, height));
    raster::Transfer(t.Buffer, t.Clip, area, nullptr, {}, rop, dest.BrushFill(), {});
    dest.NotifyChanged(IntersectRect(area, t.Clip.Box()));
    return true;
}

bool BitBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas* source, int sx, int sy, std::uint32_t rop)
{
    if (!raster::RopUsesSource(rop))
        return PatBlt(dest, x, y, width, height, rop);
    if (width <= 0 || height <= 0)
        return StretchBlt(dest, x, y, width, height, source, sx, sy, width, height, rop);
    Target t;
    if (!source || !source->Surface() || !Prepare(dest, t))
        return false;
    const TPixelBuffer s = source->Surface()->PixelBuffer();
    if (s.Empty())
        return false;
    const TPoint d0 = dest.LogicalToDevice(x, y), s0 = source->LogicalToDevice(sx, sy);
    // Only what the source holds is copied.
    const TRect from = IntersectRect(Bounds(s0.X, s0.Y, width, height), s.Bounds());
    if (from.IsEmpty())
        return true;
    const TRect to = OffsetRect(from, d0.X - s0.X, d0.Y - s0.Y);
    raster::Transfer(t.Buffer, t.Clip, to, &s, from.TopLeft(), rop, dest.BrushFill(),
                     MappingFor(dest, *source, t.Buffer, s));
    dest.NotifyChanged(IntersectRect(to, t.Clip.Box()));
    return true;
}

bool StretchBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas* source, int sx, int sy, int sw, int sh,
                std::uint32_t rop)
{
    if (!raster::RopUsesSource(rop))
        return PatBlt(dest, x, y, width, height, rop);
    if (width == 0 || height == 0 || sw == 0 || sh == 0)
        return false;
    if (width == sw && height == sh && width > 0 && height > 0)
        return BitBlt(dest, x, y, width, height, source, sx, sy, rop);
    Target t;
    if (!source || !source->Surface() || !Prepare(dest, t))
        return false;
    TPixelBuffer s = source->Surface()->PixelBuffer();
    if (s.Empty())
        return false;

    stretch::Request q;
    Normalize(x, width, q.MirrorX);
    Normalize(y, height, q.MirrorY);
    Normalize(sx, sw, q.MirrorX);
    Normalize(sy, sh, q.MirrorY);
    const TPoint d0 = dest.LogicalToDevice(x, y), s0 = source->LogicalToDevice(sx, sy);
    const TRect full = Bounds(d0.X, d0.Y, width, height);
    const TRect visible = IntersectRect(full, t.Clip.Box());
    if (visible.IsEmpty())
        return true;
    q.SourceX = s0.X;
    q.SourceY = s0.Y;
    q.SourceWidth = sw;
    q.SourceHeight = sh;
    q.DestWidth = width;
    q.DestHeight = height;
    q.Window = OffsetRect(visible, -d0.X, -d0.Y);

    const ColorMapping mapping = MappingFor(dest, *source, t.Buffer, s);
    std::vector<std::uint32_t> mapped, scaled;
    if (mapping.MonoToColor || mapping.ColorToMono)
        s = MappedCopy(s, mapping, mapped);
    const TPixelBuffer picture = dest.StretchMode == HALFTONE ? stretch::Halftone(s, q, scaled)
                                                              : stretch::Nearest(s, q, scaled);
    raster::Transfer(t.Buffer, t.Clip, visible, &picture, {0, 0}, rop, dest.BrushFill(), {});
    dest.NotifyChanged(visible);
    return true;
}

bool ScrollDC(TCanvas& canvas, int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* update,
              TRect* updateBox)
{
    Target t;
    if (!Prepare(canvas, t))
        return false;
    TRegion visible = t.Clip;
    if (clip)
        visible = TRegion::Combined(visible, TRegion(canvas.ToDevice(*clip)), RGN_AND);
    const TRegion area(scroll ? canvas.ToDevice(*scroll) : t.Buffer.Bounds());
    const TRegion source = TRegion::Combined(area, visible, RGN_AND);
    TRegion moved = source;
    moved.Offset(dx, dy);
    moved = TRegion::Combined(moved, visible, RGN_AND);
    if (!moved.IsEmpty()) {
        const TRect box = moved.Box();
        raster::Transfer(t.Buffer, moved, box, &t.Buffer, {box.Left - dx, box.Top - dy}, SRCCOPY,
                         raster::BrushPattern(), {});
        canvas.NotifyChanged(box);
    }
    const TRegion uncovered = TRegion::Combined(source, moved, RGN_DIFF);
    if (update)
        *update = uncovered;
    if (updateBox)
        *updateBox = uncovered.Box();
    return true;
}

void TransparentStretchBlt(TCanvas& dest, const TRect& destRect, TBitmap& bitmap, const TRect& sourceRect,
                           TColor transparent)
{
    Target t;
    if (!Prepare(dest, t) || bitmap.Empty())
        return;
    stretch::Request q;
    int x = destRect.Left, y = destRect.Top, w = destRect.Width(), h = destRect.Height();
    int sx = sourceRect.Left, sy = sourceRect.Top, sw = sourceRect.Width(), sh = sourceRect.Height();
    if (w == 0 || h == 0 || sw == 0 || sh == 0)
        return;
    Normalize(x, w, q.MirrorX);
    Normalize(y, h, q.MirrorY);
    Normalize(sx, sw, q.MirrorX);
    Normalize(sy, sh, q.MirrorY);
    const TPoint d0 = dest.LogicalToDevice(x, y);
    const TRect visible = IntersectRect(Bounds(d0.X, d0.Y, w, h), t.Clip.Box());
    if (visible.IsEmpty())
        return;
    q = {sx, sy, sw, sh, w, h, q.MirrorX, q.MirrorY, OffsetRect(visible, -d0.X, -d0.Y)};
    // Nearest neighbour keeps source values exact, so the key colour is found
    // in the scaled picture.
    std::vector<std::uint32_t> scaled;
    const TPixelBuffer picture = stretch::Nearest(bitmap.PixelBuffer(), q, scaled);
    const std::uint32_t key = ColorToPixel(transparent);
    const TRegion area = TRegion::Combined(t.Clip, TRegion(visible), RGN_AND);
    std::vector<std::uint32_t> row;
    for (const TRegion::Band& band : area.Bands())
        for (int py = band.Top; py < band.Bottom; ++py)
            for (size_t i = 0; i + 1 < band.X.size(); i += 2) {
                const int x0 = band.X[i], n = band.X[i + 1] - x0;
                row.resize(n);
                ReadRow(t.Buffer, x0, py, n, row.data());
                const std::uint32_t* src = reinterpret_cast<const std::uint32_t*>(picture.Row(py - visible.Top)) +
                    (x0 - visible.Left);
                for (int k = 0; k < n; ++k)
                    if (src[k] != key)
                        row[k] = src[k];
                WriteRow(t.Buffer, x0, py, n, row.data());
            }
    dest.NotifyChanged(visible);
}

int SetStretchBltMode(TCanvas& canvas, int mode)
{
    const int previous = canvas.StretchMode;
    canvas.StretchMode = mode;
    return previous;
}

int GetDeviceCaps(TCanvas& canvas, int index)
{
    if (index == LOGPIXELSX || index == LOGPIXELSY)
        return 96;
    if (!canvas.Surface())
        return 0;
    const TPixelBuffer b = canvas.Surface()->PixelBuffer();
    switch (index) {
    case HORZRES: return b.Width;
    case VERTRES: return b.Height;
    case BITSPIXEL: return b.BitsPerPixel == 15 ? 16 : b.BitsPerPixel;
    case PLANES: return 1;
    default: return 0;
    }
}

int SaveDC(TCanvas& canvas) { return canvas.SaveState(); }

bool RestoreDC(TCanvas& canvas, int id) { return canvas.RestoreState(id); }

int SelectClipRgn(TCanvas& canvas, const TRegion* deviceRegion)
{
    canvas.SetClipRegion(deviceRegion);
    return canvas.DeviceClip().Kind();
}

int GetClipBox(TCanvas& canvas, TRect& box)
{
    box = canvas.ClipRect();
    return canvas.DeviceClip().Kind();
}

int IntersectClipRect(TCanvas& canvas, int left, int top, int right, int bottom)
{
    canvas.IntersectClipRect({left, top, right, bottom});
    return canvas.DeviceClip().Kind();
}

int ExcludeClipRect(TCanvas& canvas, int left, int top, int right, int bottom)
{
    canvas.ExcludeClipRect({left, top, right, bottom});
    return canvas.DeviceClip().Kind();
}

bool SetWindowOrgEx(TCanvas& canvas, int x, int y, TPoint* previous)
{
    if (previous)
        *previous = canvas.WindowOrg();
    canvas.SetWindowOrg({x, y});
    return true;
}

bool SetViewportOrgEx(TCanvas& canvas, int x, int y, TPoint* previous)
{
    if (previous)
        *previous = canvas.ViewportOrg();
    canvas.SetViewportOrg({x, y});
    return true;
}

} // namespace gfx

#include "core/Blendings.Pixels.h"

namespace Blendings {

std::optional<TDirectPixels> DirectPixels(TCanvas& canvas, TBitmap& newBitmap)
{
    const TPoint origin = canvas.LogicalToDevice(0, 0);
    const TRegion* clip = canvas.ClipRegion();
    if ((clip && clip->Kind() != SIMPLEREGION) || canvas.CopyMode != cmSrcCopy || !canvas.Surface() || origin.X != 0 ||
        origin.Y != 0)
        return std::nullopt;
    TDirectPixels pixels{canvas.Surface()->PixelBuffer(), newBitmap.PixelBuffer(), 0, 0, {}};
    auto trueColour = [](const TPixelBuffer& b) { return b.BitsPerPixel == 24 || b.BitsPerPixel == 32; };
    if (!trueColour(pixels.To) || !trueColour(pixels.From))
        return std::nullopt;
    pixels.ToBytes = pixels.To.BitsPerPixel / 8;
    pixels.FromBytes = pixels.From.BitsPerPixel / 8;
    pixels.Clip = clip ? gfx::IntersectRect(clip->Box(), pixels.To.Bounds()) : pixels.To.Bounds();
    return pixels;
}

namespace {

bool DirectCopy(TCanvas& canvas, TBitmap& newBitmap, int x, int y, int width, int height, int sx, int sy)
{
    const std::optional<TDirectPixels> pixels = DirectPixels(canvas, newBitmap);
    if (!pixels)
        return false;
    const TRect drawn = CopyPixels(*pixels, x, y, width, height, sx, sy);
    if (!drawn.IsEmpty())
        canvas.NotifyChanged(drawn);
    return true;
}

} // namespace

void CopyFromNew(TCanvas& canvas, TBitmap& newBitmap, int x, int y, int width, int height, int sx, int sy)
{
    if (width <= 0 || height <= 0)
        return;
    if (!DirectCopy(canvas, newBitmap, x, y, width, height, sx, sy))
        gfx::BitBlt(canvas, x, y, width, height, &newBitmap.Canvas(), sx, sy, SRCCOPY);
}

void CopySame(TCanvas& canvas, TBitmap& newBitmap, int x, int y, int width, int height)
{
    CopyFromNew(canvas, newBitmap, x, y, width, height, x, y);
}

} // namespace Blendings

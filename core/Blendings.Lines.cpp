#include "core/Blendings.Pixels.h"

#include <vector>

namespace Blendings {

namespace {

// ---- Blinds ------------------------------------------------------------

// One pixel of each column in every row of the area; Bytes: the pixel size
// both sides share (copied in place), or 0 when they differ.
template <int Bytes>
void CopyColumnPixels(const TDirectPixels& pixels, const std::vector<int>& columns, const TRect& area)
{
    for (int y = area.Top; y < area.Bottom; ++y) {
        const std::uint8_t* from = pixels.From.Row(y);
        std::uint8_t* to = pixels.To.Row(y);
        for (int x : columns) {
            if (x < area.Left || x >= area.Right)
                continue;
            if constexpr (Bytes == 0)
                CopyRow(from + x * pixels.FromBytes, pixels.FromBytes, to + x * pixels.ToBytes, pixels.ToBytes, 1);
            else
                std::memcpy(to + x * Bytes, from + x * Bytes, Bytes);
        }
    }
}

// Full-height one-pixel columns, row by row through the memory when it can.
void CopyColumns(TCanvas& canvas, TBitmap& newBitmap, const std::vector<int>& columns)
{
    const int height = newBitmap.Height();
    const std::optional<TDirectPixels> pixels = DirectPixels(canvas, newBitmap);
    if (!pixels) {
        for (int x : columns)
            CopySame(canvas, newBitmap, x, 0, 1, height);
        return;
    }
    const TRect area = gfx::IntersectRect(pixels->Clip, pixels->From.Bounds());
    if (area.IsEmpty() || columns.empty())
        return;
    if (pixels->FromBytes == 3 && pixels->ToBytes == 3)
        CopyColumnPixels<3>(*pixels, columns, area);
    else if (pixels->FromBytes == 4 && pixels->ToBytes == 4)
        CopyColumnPixels<4>(*pixels, columns, area);
    else
        CopyColumnPixels<0>(*pixels, columns, area);
    canvas.NotifyChanged(
        Rect(std::max(area.Left, columns.front()), area.Top, std::min(area.Right, columns.back() + 1), area.Bottom));
}

void Blinds(TBitmap& newBitmap, TCanvas& canvas, bool rows, bool reverse)
{
    const int width = newBitmap.Width();
    const int height = newBitmap.Height();
    const int extent = rows ? height : width;
    for (int step = 0; step < 20; ++step) {
        const int i = reverse ? 19 - step : step;
        StartFrameClock();
        std::vector<int> lines;
        for (int k = 0; k <= extent / 20; ++k)
            if (20 * k + i < extent)
                lines.push_back(20 * k + i);
        if (rows) {
            for (int line : lines)
                CopySame(canvas, newBitmap, 0, line, width, 1);
        } else {
            CopyColumns(canvas, newBitmap, lines);
        }
        WaitFrameClock(10);
    }
    BlendNone(newBitmap, canvas);
}

// ---- Bands -------------------------------------------------------------

int BandHeight(const TBitmap& newBitmap) { return std::max((newBitmap.Height() / 80) / 2, 1); }

void BandStep(TBitmap& newBitmap, TCanvas& canvas, int y, int s)
{
    StartFrameClock();
    CopySame(canvas, newBitmap, 0, y, newBitmap.Width(), s);
    WaitFrameClock(10);
}

// Even bands top to bottom, then odd bands back up.
void BandsDownUp(TBitmap& newBitmap, TCanvas& canvas)
{
    const int s = BandHeight(newBitmap);
    const int height = newBitmap.Height();
    int y = 0;
    for (; y < height; y += 2 * s)
        BandStep(newBitmap, canvas, y, s);
    for (y -= s; y > 0; y -= 2 * s)
        BandStep(newBitmap, canvas, y, s);
    BlendNone(newBitmap, canvas);
}

// Bands from the bottom up, then back down between them.
void BandsUpDown(TBitmap& newBitmap, TCanvas& canvas)
{
    const int s = BandHeight(newBitmap);
    const int height = newBitmap.Height();
    int y = height;
    for (; y > 0; y -= 2 * s)
        BandStep(newBitmap, canvas, y, s);
    for (y += s; y < height; y += 2 * s)
        BandStep(newBitmap, canvas, y, s);
    BlendNone(newBitmap, canvas);
}

// Even bands from the top and odd bands from the bottom at once; together
// they cover the picture, so no final copy.
void BandsBothWays(TBitmap& newBitmap, TCanvas& canvas)
{
    const int s = BandHeight(newBitmap);
    const int width = newBitmap.Width();
    const int height = newBitmap.Height();
    int top = 0;
    int bottom = height - height % s;
    if ((bottom / s) % 2 == 0)
        bottom += s;
    while (top < height || bottom >= 0) {
        StartFrameClock();
        CopySame(canvas, newBitmap, 0, top, width, s);
        CopySame(canvas, newBitmap, 0, bottom, width, s);
        WaitFrameClock(10);
        top += 2 * s;
        bottom -= 2 * s;
    }
}

} // namespace

void Blend1(TBitmap& b, TCanvas& c) { Blinds(b, c, true, false); }
void Blend2(TBitmap& b, TCanvas& c) { Blinds(b, c, true, true); }
void Blend3(TBitmap& b, TCanvas& c) { BandsDownUp(b, c); }
void Blend4(TBitmap& b, TCanvas& c) { BandsUpDown(b, c); }
void Blend5(TBitmap& b, TCanvas& c) { Blinds(b, c, false, false); }
void Blend6(TBitmap& b, TCanvas& c) { Blinds(b, c, false, true); }
void Blend11(TBitmap& b, TCanvas& c) { BandsBothWays(b, c); }

} // namespace Blendings

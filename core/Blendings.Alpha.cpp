#include "core/BitmapTools.h"
#include "core/Blendings.Pixels.h"

#include <vector>

namespace Blendings {

namespace {

// work = old + ((new - old) * i >> shift) for every byte; >> on a negative
// value floors (arithmetic shift). Sixteen bytes at a time in 16-bit lanes
// ((new - old) * i stays within +-255 * 32).
void FadeBytes(const std::uint8_t* oldBytes, const std::uint8_t* newBytes, std::uint8_t* workBytes, std::size_t count,
               int i, int shift)
{
    using Bytes = std::uint8_t __attribute__((vector_size(16)));
    using Words = std::int16_t __attribute__((vector_size(32)));
    const auto step = static_cast<std::int16_t>(i);
    std::size_t k = 0;
    for (; k + 16 <= count; k += 16) {
        Bytes from, to;
        std::memcpy(&from, oldBytes + k, 16);
        std::memcpy(&to, newBytes + k, 16);
        const Words a = __builtin_convertvector(from, Words);
        const Words b = __builtin_convertvector(to, Words);
        const Bytes mixed = __builtin_convertvector(a + (((b - a) * step) >> shift), Bytes);
        std::memcpy(workBytes + k, &mixed, 16);
    }
    for (; k < count; ++k) {
        const int from = oldBytes[k];
        workBytes[k] = static_cast<std::uint8_t>(from + (((newBytes[k] - from) * i) >> shift));
    }
}

bool CanCrossFade(const TBitmap& newBitmap, const TBitmap& oldBitmap)
{
    // Blending palette indices would give arbitrary colours; differing
    // formats would mix unlike bytes.
    return SameBitmapSize(&oldBitmap, newBitmap) && oldBitmap.PixelFormat() == newBitmap.PixelFormat() &&
        BitmapTools::GetBitsPerPixel(newBitmap) >= 15 && newBitmap.RowStride() == oldBitmap.RowStride();
}

// One fade step straight into the canvas's memory, row by row: the picture
// the work bitmap would hold, without the bitmap and a second pass to copy
// it. scratch: one row of the new bitmap's pixels, for a canvas of another
// pixel size.
void FadeIntoCanvas(TCanvas& canvas, const TDirectPixels& pixels, TBitmap& oldBitmap,
                    std::vector<std::uint8_t>& scratch, int i, int shift)
{
    const TRect area = gfx::IntersectRect(pixels.Clip, pixels.From.Bounds());
    if (area.IsEmpty())
        return;
    const TPixelBuffer old = oldBitmap.PixelBuffer();
    const int fromBytes = pixels.FromBytes;
    const int toBytes = pixels.ToBytes;
    const auto count = static_cast<std::size_t>(area.Width()) * static_cast<std::size_t>(fromBytes);
    for (int y = area.Top; y < area.Bottom; ++y) {
        const std::uint8_t* oldRow = old.Row(y) + area.Left * fromBytes;
        const std::uint8_t* newRow = pixels.From.Row(y) + area.Left * fromBytes;
        std::uint8_t* toRow = pixels.To.Row(y) + area.Left * toBytes;
        if (fromBytes == toBytes) {
            FadeBytes(oldRow, newRow, toRow, count, i, shift);
        } else {
            FadeBytes(oldRow, newRow, scratch.data(), count, i, shift);
            CopyRow(scratch.data(), fromBytes, toRow, toBytes, area.Width());
        }
    }
    canvas.NotifyChanged(area);
}

// The fade through a work bitmap copied to the canvas as a whole, for
// canvases whose memory cannot be written directly.
void FadeThroughWorkBitmap(TBitmap& newBitmap, TBitmap& oldBitmap, TCanvas& canvas, int shift)
{
    TBitmap work;
    work.Assign(&newBitmap);
    std::uint8_t* newBytes = nullptr;
    std::uint8_t* oldBytes = nullptr;
    std::uint8_t* workBytes = nullptr;
    const std::size_t count = BitmapTools::FirstBitmapByte(newBitmap, newBytes);
    BitmapTools::FirstBitmapByte(oldBitmap, oldBytes);
    BitmapTools::FirstBitmapByte(work, workBytes);
    const int steps = 1 << shift;
    for (int i = 1; i <= steps; ++i) {
        StartFrameClock();
        FadeBytes(oldBytes, newBytes, workBytes, count, i, shift);
        work.PixelsChanged(Rect(0, 0, work.Width(), work.Height()));
        gfx::BitBlt(canvas, 0, 0, work.Width(), work.Height(), &work.Canvas(), 0, 0, SRCCOPY);
        WaitFrameClock(20);
    }
}

void CrossFade(TBitmap& newBitmap, TBitmap& oldBitmap, TCanvas& canvas, int shift)
{
    if (!CanCrossFade(newBitmap, oldBitmap)) {
        BlendNone(newBitmap, canvas);
        return;
    }
    if (DirectPixels(canvas, newBitmap)) {
        std::vector<std::uint8_t> scratch(static_cast<std::size_t>(newBitmap.RowStride()));
        const int steps = 1 << shift;
        for (int i = 1; i <= steps; ++i) {
            StartFrameClock();
            if (const std::optional<TDirectPixels> pixels = DirectPixels(canvas, newBitmap))
                FadeIntoCanvas(canvas, *pixels, oldBitmap, scratch, i, shift);
            WaitFrameClock(20);
        }
    } else {
        FadeThroughWorkBitmap(newBitmap, oldBitmap, canvas, shift);
    }
    BlendNone(newBitmap, canvas);
}

} // namespace

void BlendAlpha(TBitmap& newBitmap, TBitmap& oldBitmap, TCanvas& canvas) { CrossFade(newBitmap, oldBitmap, canvas, 4); }

void BlendAlphaSoft(TBitmap& newBitmap, TBitmap& oldBitmap, TCanvas& canvas)
{
    CrossFade(newBitmap, oldBitmap, canvas, 5);
}

} // namespace Blendings

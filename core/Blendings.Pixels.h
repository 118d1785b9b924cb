#pragma once

// Internal to the transition units: copies from the new picture to the
// canvas, straight between the two pixel memories where both allow it. The
// small copies are inline, as the effects make a great many of them a step.

#include "core/Blendings.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace Blendings {

// Copies a few bytes without a library call: the cell effects copy a great
// many pieces of one or two pixels, where the call would cost more than the
// copy. Overlapping fixed-size moves cover every length up to 32.
inline void CopySmall(const std::uint8_t* from, std::uint8_t* to, std::size_t bytes)
{
    const auto move = [&](std::size_t size) {
        std::uint8_t head[16];
        std::uint8_t tail[16];
        std::memcpy(head, from, size);
        std::memcpy(tail, from + bytes - size, size);
        std::memcpy(to, head, size);
        std::memcpy(to + bytes - size, tail, size);
    };
    if (bytes >= 16)
        move(16);
    else if (bytes >= 8)
        move(8);
    else if (bytes >= 4)
        move(4);
    else if (bytes >= 2)
        move(2);
    else if (bytes == 1)
        to[0] = from[0];
}

// Copies one row of pixels between 24- and 32-bit memory.
inline void CopyRow(const std::uint8_t* from, int fromBytes, std::uint8_t* to, int toBytes, int count)
{
    if (fromBytes == toBytes) {
        const auto bytes = static_cast<std::size_t>(count) * static_cast<std::size_t>(fromBytes);
        if (bytes <= 32)
            CopySmall(from, to, bytes);
        else
            std::memmove(to, from, bytes);
        return;
    }
    for (int i = 0; i < count; ++i, from += fromBytes, to += toBytes) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
        if (toBytes == 4)
            to[3] = 0;
    }
}

// The two pixel memories of a plain block copy from the new bitmap to the
// canvas, when the copy may go straight between them: the canvas has no
// origin shift and clips to one rectangle at most (the slide effects leave
// it clipped to the picture), and both sides hold 24- or 32-bit pixels.
struct TDirectPixels {
    TPixelBuffer To;
    TPixelBuffer From;
    int ToBytes = 0;
    int FromBytes = 0;
    TRect Clip; // where the canvas may be drawn on, within its memory
};

std::optional<TDirectPixels> DirectPixels(TCanvas& canvas, TBitmap& newBitmap);

// Copies (x, y, width, height) of the new bitmap at (sx, sy) between the
// memories, clipped to both and to the canvas's clip; the part drawn, in
// canvas coordinates.
inline TRect CopyPixels(const TDirectPixels& pixels, int x, int y, int width, int height, int sx, int sy)
{
    const TPixelBuffer& to = pixels.To;
    const TPixelBuffer& from = pixels.From;
    // Clip to both pictures, moving the source with the destination.
    const TRect& clip = pixels.Clip;
    const int left = std::max({x, clip.Left, x - sx});
    const int top = std::max({y, clip.Top, y - sy});
    const int right = std::min({x + width, clip.Right, x - sx + from.Width});
    const int bottom = std::min({y + height, clip.Bottom, y - sy + from.Height});
    if (to.Empty() || from.Empty() || left >= right || top >= bottom)
        return {};
    for (int row = top; row < bottom; ++row)
        CopyRow(from.Row(row - y + sy) + static_cast<std::ptrdiff_t>(left - x + sx) * pixels.FromBytes,
                pixels.FromBytes, to.Row(row) + static_cast<std::ptrdiff_t>(left) * pixels.ToBytes, pixels.ToBytes,
                right - left);
    return Rect(left, top, right, bottom);
}

// Copies the rectangle of the new bitmap at (sx, sy) to (x, y) of the canvas.
void CopyFromNew(TCanvas& canvas, TBitmap& newBitmap, int x, int y, int width, int height, int sx, int sy);
// The same rectangle of both.
void CopySame(TCanvas& canvas, TBitmap& newBitmap, int x, int y, int width, int height);

} // namespace Blendings

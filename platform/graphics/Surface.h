#pragma once
// The pixel memory a canvas draws into. A bitmap is one such surface; the UI
// layer hands a canvas a window's back buffer through the same interface.

#include <cstddef>
#include <cstdint>

#include "platform/graphics/Types.h"

// One view of pixel memory. Row y starts at Bits + y * Stride (the stride may
// be negative for bottom-up memory). Pixels of 1, 4 and 8 bits index Palette;
// 15 means 5-5-5 and 16 means 5-6-5 words; 24 is B,G,R and 32 is B,G,R,X.
struct TPixelBuffer {
    std::uint8_t* Bits = nullptr;
    std::ptrdiff_t Stride = 0;
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 32;
    const std::uint32_t* Palette = nullptr; // 0x00RRGGBB entries
    int PaletteSize = 0;

    std::uint8_t* Row(int y) const { return Bits + static_cast<std::ptrdiff_t>(y) * Stride; }
    TRect Bounds() const { return {0, 0, Width, Height}; }
    bool Empty() const { return Bits == nullptr || Width <= 0 || Height <= 0; }
};

// Something that owns pixel memory a canvas can draw on.
class TPixelSurface {
public:
    virtual ~TPixelSurface() = default;
    // The current pixels; valid until the surface is resized or destroyed.
    virtual TPixelBuffer PixelBuffer() = 0;
    // Called after the canvas changed pixels inside `area` (device coordinates).
    virtual void PixelsChanged(const TRect& area) { (void)area; }
};

// A surface over memory someone else owns (a window's 32-bit back buffer).
class TMemorySurface : public TPixelSurface {
public:
    TMemorySurface() = default;
    TMemorySurface(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride, int bitsPerPixel = 32)
        : buffer_{bits, stride, width, height, bitsPerPixel, nullptr, 0}
    { }

    void Reset(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride, int bitsPerPixel = 32)
    {
        buffer_ = {bits, stride, width, height, bitsPerPixel, nullptr, 0};
    }
    TPixelBuffer PixelBuffer() override { return buffer_; }

private:
    TPixelBuffer buffer_;
};

namespace gfx {

// Pixels as 0x00RRGGBB words (B,G,R,X in memory), whatever the buffer's format.
std::uint32_t ReadPixel(const TPixelBuffer& buffer, int x, int y);
void WritePixel(const TPixelBuffer& buffer, int x, int y, std::uint32_t rgb);
// Stores a palette index into a 1, 4 or 8-bit buffer.
void WriteIndex(const TPixelBuffer& buffer, int x, int y, int index);
// The palette index whose entry lies nearest to `rgb`.
int NearestPaletteIndex(const std::uint32_t* palette, int size, std::uint32_t rgb);

// A run of pixels of row y, from x on, as 0x00RRGGBB words (and back).
void ReadRow(const TPixelBuffer& buffer, int x, int y, int count, std::uint32_t* out);
void WriteRow(const TPixelBuffer& buffer, int x, int y, int count, const std::uint32_t* in);

} // namespace gfx

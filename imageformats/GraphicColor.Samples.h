// The colour manager's sample plumbing: reading source samples in any
// layout and depth, and storing colour pixels. Shared by its set-up and its
// row converters; not part of the library's interface.
#pragma once

#include <bit>
#include <cstdint>

#include "imageformats/GraphicColor.h"
#include "platform/rtl/ByteOrder.h"

namespace GraphicColor::Samples {

// Walks the Mask convention: bit 7 for the first pixel, rotating right.
class PixelMask {
public:
    explicit PixelMask(std::uint8_t mask) : mask_(mask) { }
    bool Selected() const { return (mask_ & bit_) != 0; }
    void Next() { bit_ = bit_ == 1 ? 0x80 : static_cast<std::uint8_t>(bit_ >> 1); }

private:
    std::uint8_t mask_;
    std::uint8_t bit_ = 0x80;
};

// 16-bit samples lie in the host's order, which is little-endian on every
// machine this library is built for; `swapped` reads or writes them in the
// other order, as coNeedByteSwap asks.
static_assert(std::endian::native == std::endian::little);

inline std::uint16_t Load16(const std::uint8_t* p, bool swapped = false)
{
    return swapped ? rtl::GetBE16(p) : rtl::GetLE16(p);
}

inline void Store16(std::uint8_t* p, std::uint16_t v, bool swapped = false)
{
    if (swapped)
        rtl::PutBE16(p, v);
    else
        rtl::PutLE16(p, v);
}

// The samples of one source row, interleaved or as planes: component c of
// the current pixel is at Component(c); Advance moves to the next pixel.
class SampleReader {
public:
    SampleReader(const void* const* source, int sourceCount, int components, int interleavedStride, int bytesPerSample,
                 bool swap)
        : bytes_(bytesPerSample), swap_(swap)
    {
        planar_ = sourceCount > 1;
        for (int c = 0; c < 4; ++c) {
            if (planar_)
                pointers_[c] = static_cast<const std::uint8_t*>(source[c < sourceCount ? c : 0]);
            else
                pointers_[c] = static_cast<const std::uint8_t*>(source[0]) + c * bytesPerSample;
        }
        step_ = (planar_ ? 1 : interleavedStride) * bytesPerSample;
        (void)components;
    }
    // The sample as stored: a byte, or a 16-bit value in host order.
    std::uint32_t Component(int c) const
    {
        if (bytes_ == 1)
            return pointers_[c][0];
        return Load16(pointers_[c], swap_);
    }
    void Advance(int components)
    {
        for (int c = 0; c < components; ++c)
            pointers_[c] += step_;
    }

private:
    const std::uint8_t* pointers_[4] = {};
    int step_ = 0;
    int bytes_;
    bool swap_;
    bool planar_ = false;
};

// One colour pixel, red first in `rgb`, stored in RGB or BGR order as bytes
// or 16-bit words; the values are already in the target's range.
inline void StoreColor(std::uint8_t* target, const std::uint32_t (&rgb)[3], bool bgr, int targetBits)
{
    for (int c = 0; c < 3; ++c) {
        const std::uint32_t v = rgb[bgr ? 2 - c : c];
        if (targetBits == 8)
            target[c] = static_cast<std::uint8_t>(v);
        else
            Store16(target + 2 * c, static_cast<std::uint16_t>(v));
    }
}

// The loop of the converters that compute a colour per pixel: toRGB reads
// the current source pixel into red, green, blue in the target's range.
template <class ToRGB> void ConvertPixels(SampleReader& in, int components, std::uint8_t* target, std::uint32_t count,
                                          std::uint8_t mask, bool targetAlpha, int targetBits, bool bgr, ToRGB toRGB)
{
    const int targetPixelBytes = (targetAlpha ? 4 : 3) * targetBits / 8;
    PixelMask pixels(mask);
    for (std::uint32_t i = 0; i < count; ++i, pixels.Next(), target += targetPixelBytes) {
        if (!pixels.Selected())
            continue;
        std::uint32_t rgb[3];
        toRGB(rgb);
        in.Advance(components);
        StoreColor(target, rgb, bgr, targetBits);
    }
}

inline bool IsPackedDepth(int bits) { return bits == 1 || bits == 2 || bits == 4 || bits == 8; }
inline bool IsColorDepth(int bits) { return bits == 8 || bits == 16; }

} // namespace GraphicColor::Samples

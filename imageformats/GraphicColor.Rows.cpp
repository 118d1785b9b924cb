#include "imageformats/GraphicColor.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "imageformats/GraphicColor.Samples.h"
#include "imageformats/GraphicStrings.h"
#include "imageformats/PixelOrder.h"
#include "platform/rtl/ByteOrder.h"

using GraphicColor::ClampByte;
using GraphicColor::MulDiv16;
using namespace GraphicStrings;

using namespace GraphicColor::Samples;

// ---- indexed and grey rows -------------------------------------------------

namespace {

// Packed fields, most significant first; `bits` is 1, 2, 4 or 8.
class FieldReader {
public:
    FieldReader(const std::uint8_t* p, int bits) : p_(p), bits_(bits), shift_(8 - bits) { }
    unsigned Next()
    {
        const unsigned v = (*p_ >> shift_) & ((1u << bits_) - 1);
        shift_ -= bits_;
        if (shift_ < 0) {
            ++p_;
            shift_ = 8 - bits_;
        }
        return v;
    }

private:
    const std::uint8_t* p_;
    int bits_;
    int shift_;
};

class FieldWriter {
public:
    FieldWriter(std::uint8_t* p, int bits) : p_(p), bits_(bits), shift_(8 - bits) { }
    void Put(unsigned v)
    {
        const unsigned fieldMask = ((1u << bits_) - 1) << shift_;
        *p_ = static_cast<std::uint8_t>((*p_ & ~fieldMask) | ((v << shift_) & fieldMask));
    }
    void Skip()
    {
        shift_ -= bits_;
        if (shift_ < 0) {
            ++p_;
            shift_ = 8 - bits_;
        }
    }

private:
    std::uint8_t* p_;
    int bits_;
    int shift_;
};

} // namespace

void TColorManager::RowConvertIndexed8(const void* const* source, int, std::uint8_t* target, std::uint32_t count,
                                       std::uint8_t mask)
{
    const int sb = sourceBitsPerSample_, tb = targetBitsPerSample_;
    const auto* src = static_cast<const std::uint8_t*>(source[0]);
    if (sb == tb && mask == 0xFF) {
        std::memcpy(target, src, (std::size_t{count} * sb + 7) / 8);
        return;
    }
    const auto smax = static_cast<std::uint16_t>((1u << sb) - 1), tmax = static_cast<std::uint16_t>((1u << tb) - 1);
    FieldReader in(src, sb);
    FieldWriter out(target, tb);
    PixelMask pixels(mask);
    for (std::uint32_t i = 0; i < count; ++i, pixels.Next(), out.Skip())
        if (pixels.Selected())
            out.Put(MulDiv16(static_cast<std::uint16_t>(in.Next()), tmax, smax));
}

void TColorManager::RowConvertIndexedBoth16(const void* const* source, int, std::uint8_t* target, std::uint32_t count,
                                            std::uint8_t mask)
{
    const auto* src = static_cast<const std::uint8_t*>(source[0]);
    const bool swap = SourceOptions.Contains(coNeedByteSwap);
    if (mask == 0xFF && !swap) {
        std::memcpy(target, src, std::size_t{count} * 2);
        return;
    }
    PixelMask pixels(mask);
    for (std::uint32_t i = 0; i < count; ++i, pixels.Next(), target += 2) {
        if (!pixels.Selected())
            continue;
        Store16(target, Load16(src, swap));
        src += 2;
    }
}

void TColorManager::RowConvertIndexedSource16(const void* const* source, int, std::uint8_t* target, std::uint32_t count,
                                              std::uint8_t mask)
{
    const auto* src = static_cast<const std::uint8_t*>(source[0]);
    const bool swap = SourceOptions.Contains(coNeedByteSwap);
    const int tb = targetBitsPerSample_;
    const auto tmax = static_cast<std::uint16_t>((1u << tb) - 1);
    FieldWriter out(target, tb);
    PixelMask pixels(mask);
    for (std::uint32_t i = 0; i < count; ++i, pixels.Next(), out.Skip()) {
        if (!pixels.Selected())
            continue;
        const std::uint16_t v = Load16(src, swap);
        src += 2;
        out.Put(MulDiv16(v, tmax, 65535));
    }
}

void TColorManager::RowConvertIndexedTarget16(const void* const* source, int, std::uint8_t* target, std::uint32_t count,
                                              std::uint8_t mask)
{
    const int sb = sourceBitsPerSample_;
    const bool swap = SourceOptions.Contains(coNeedByteSwap);
    const auto smax = static_cast<std::uint16_t>((1u << sb) - 1);
    FieldReader in(static_cast<const std::uint8_t*>(source[0]), sb);
    PixelMask pixels(mask);
    for (std::uint32_t i = 0; i < count; ++i, pixels.Next(), target += 2) {
        if (!pixels.Selected())
            continue;
        const std::uint16_t v = MulDiv16(static_cast<std::uint16_t>(in.Next()), 65535, smax);
        Store16(target, v, swap);
    }
}

void TColorManager::RowConvertGray(const void* const* source, int, std::uint8_t* target, std::uint32_t count,
                                   std::uint8_t mask)
{
    const int sb = sourceBitsPerSample_, tb = targetBitsPerSample_;
    const bool swap = SourceOptions.Contains(coNeedByteSwap);
    const int stride = SourceOptions.Contains(coAlpha) ? 2 : 1;
    SampleReader in(source, 1, 1, stride, sb / 8, swap);
    PixelMask pixels(mask);
    for (std::uint32_t i = 0; i < count; ++i, pixels.Next(), target += tb / 8) {
        if (!pixels.Selected())
            continue;
        const std::uint32_t v = in.Component(0);
        in.Advance(1);
        if (sb == 8 && tb == 8)
            *target = static_cast<std::uint8_t>(v);
        else if (sb == 8)
            Store16(target, static_cast<std::uint16_t>(v * 257));
        else if (tb == 8)
            *target = static_cast<std::uint8_t>(MulDiv16(static_cast<std::uint16_t>(v), 255, 65535));
        else
            Store16(target, static_cast<std::uint16_t>(v));
    }
}

// ---- RGB and BGR rows ------------------------------------------------------

void TColorManager::RowConvertRGB2RGB(const void* const* s, int n, std::uint8_t* t, std::uint32_t c, std::uint8_t m)
{
    ConvertColorRow(s, n, t, c, m, false);
}

void TColorManager::RowConvertRGB2BGR(const void* const* s, int n, std::uint8_t* t, std::uint32_t c, std::uint8_t m)
{
    ConvertColorRow(s, n, t, c, m, true);
}

void TColorManager::ConvertColorRow(const void* const* source, int sourceCount, std::uint8_t* target,
                                    std::uint32_t count, std::uint8_t mask, bool exchange)
{
    const int sb = sourceBitsPerSample_, tb = targetBitsPerSample_;
    if (!IsColorDepth(sb) || !IsColorDepth(tb))
        return;
    const bool sourceAlpha = SourceOptions.Contains(coAlpha), targetAlpha = TargetOptions.Contains(coAlpha);
    const bool copyAlpha = sourceAlpha && targetAlpha;
    const bool gamma = TargetOptions.Contains(coApplyGamma);
    const bool swap = SourceOptions.Contains(coNeedByteSwap);
    const int targetComponents = targetAlpha ? 4 : 3;
    const int sourceComponents = sourceAlpha ? 4 : 3;
    const auto* table = gammaTable_;

    // Interlaced rows, bytes to bytes: the pass's packed pixels go to the
    // places the mask selects in every group of eight.
    if (sb == 8 && tb == 8 && mask != 0xFF && sourceCount == 1 && !gamma) {
        ConvertMaskedBytes(static_cast<const std::uint8_t*>(source[0]), target, count, mask, exchange);
        return;
    }
    // The common case of every 24/32-bit reader: bytes to bytes, every pixel.
    if (sb == 8 && tb == 8 && mask == 0xFF && sourceCount == 1 && !gamma) {
        const auto* src = static_cast<const std::uint8_t*>(source[0]);
        if (sourceComponents == targetComponents) {
            const std::size_t bytes = std::size_t{count} * static_cast<std::size_t>(targetComponents);
            if (!exchange)
                std::memmove(target, src, bytes);
            else if (targetComponents == 3)
                PixelOrder::ExchangeRedBlue24(src, target, count);
            else
                PixelOrder::ExchangeRedBlue32(src, target, count);
            return;
        }
        const int first = exchange ? 2 : 0, last = exchange ? 0 : 2;
        for (std::uint32_t i = 0; i < count; ++i, src += sourceComponents, target += targetComponents) {
            target[0] = src[first];
            target[1] = src[1];
            target[2] = src[last];
            if (copyAlpha)
                target[3] = src[3];
        }
        return;
    }

    SampleReader in(source, sourceCount, sourceComponents, sourceComponents, sb / 8, swap);
    PixelMask pixels(mask);
    const int targetPixelBytes = targetComponents * tb / 8;
    for (std::uint32_t i = 0; i < count; ++i, pixels.Next(), target += targetPixelBytes) {
        if (!pixels.Selected())
            continue;
        for (int k = 0; k < 3; ++k) {
            const int from = exchange ? 2 - k : k;
            std::uint32_t v = in.Component(from);
            if (sb == 16 && tb == 8) {
                v = MulDiv16(static_cast<std::uint16_t>(v), 255, 65535);
                target[k] = gamma ? table[v] : static_cast<std::uint8_t>(v);
            } else if (sb == 8 && tb == 8) {
                target[k] = gamma ? table[v] : static_cast<std::uint8_t>(v);
            } else if (sb == 8) {
                const auto w = static_cast<std::uint16_t>((gamma ? table[v] : v) * 257);
                Store16(target + 2 * k, w, swap);
            } else {
                Store16(target + 2 * k, static_cast<std::uint16_t>(v));
            }
        }
        if (copyAlpha) {
            const std::uint32_t a = in.Component(3);
            if (tb == 8)
                target[3] = static_cast<std::uint8_t>(sb == 8 ? a
                                                              : MulDiv16(static_cast<std::uint16_t>(a), 255, 65535));
            else {
                const auto w = static_cast<std::uint16_t>(sb == 8 ? a * 257 : a);
                Store16(target + 6, w, sb == 8 && swap);
            }
        }
        in.Advance(sourceComponents);
    }
}

void TColorManager::ConvertMaskedBytes(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count,
                                       std::uint8_t mask, bool exchange)
{
    const bool targetAlpha = TargetOptions.Contains(coAlpha);
    const bool copyAlpha = SourceOptions.Contains(coAlpha) && targetAlpha;
    const std::size_t sourceComponents = SourceOptions.Contains(coAlpha) ? 4 : 3;
    const std::size_t targetComponents = targetAlpha ? 4 : 3;
    const int first = exchange ? 2 : 0, last = exchange ? 0 : 2;
    std::uint32_t places[8];
    std::uint32_t selected = 0;
    for (std::uint32_t bit = 0; bit < 8; ++bit)
        if ((mask & (0x80 >> bit)) != 0)
            places[selected++] = bit;
    for (std::uint32_t group = 0; group < count; group += 8) {
        for (std::uint32_t k = 0; k < selected && group + places[k] < count; ++k, source += sourceComponents) {
            std::uint8_t* pixel = target + (group + places[k]) * targetComponents;
            pixel[0] = source[first];
            pixel[1] = source[1];
            pixel[2] = source[last];
            if (copyAlpha)
                pixel[3] = source[3];
        }
    }
}

// ---- CMYK rows -------------------------------------------------------------

void TColorManager::RowConvertCMYK2RGB(const void* const* s, int n, std::uint8_t* t, std::uint32_t c, std::uint8_t m)
{
    ConvertCMYKRow(s, n, t, c, m, false);
}

void TColorManager::RowConvertCMYK2BGR(const void* const* s, int n, std::uint8_t* t, std::uint32_t c, std::uint8_t m)
{
    ConvertCMYKRow(s, n, t, c, m, true);
}

void TColorManager::ConvertCMYKRow(const void* const* source, int sourceCount, std::uint8_t* target,
                                   std::uint32_t count, std::uint8_t mask, bool bgr)
{
    const int sb = sourceBitsPerSample_, tb = targetBitsPerSample_;
    if (!IsColorDepth(sb) || !IsColorDepth(tb))
        return;
    const bool swap = SourceOptions.Contains(coNeedByteSwap);
    // Only exactly four pointers are planes; otherwise the first is interleaved.
    SampleReader in(source, sourceCount == 4 ? 4 : 1, 4, 4, sb / 8, swap);
    ConvertPixels(in, 4, target, count, mask, TargetOptions.Contains(coAlpha), tb, bgr, [&](std::uint32_t(&rgb)[3]) {
        const std::uint32_t k = in.Component(3);
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t x = in.Component(c);
            if (sb == 8) {
                rgb[c] = ClampByte(static_cast<std::int32_t>(
                    255 - (x - MulDiv16(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(k), 255) + k)));
                if (tb == 16)
                    rgb[c] *= 257;
            } else {
                const std::uint16_t t16 = MulDiv16(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(k), 65535);
                const auto sum = static_cast<std::uint16_t>(x + k - t16);
                rgb[c] = tb == 8 ? ClampByte(255 - MulDiv16(sum, 255, 65535)) : static_cast<std::uint16_t>(65535 - sum);
            }
        }
    });
}

// ---- CIELab rows -----------------------------------------------------------

void TColorManager::RowConvertCIELAB2RGB(const void* const* s, int n, std::uint8_t* t, std::uint32_t c, std::uint8_t m)
{
    ConvertLabRow(s, n, t, c, m, false);
}

void TColorManager::RowConvertCIELAB2BGR(const void* const* s, int n, std::uint8_t* t, std::uint32_t c, std::uint8_t m)
{
    ConvertLabRow(s, n, t, c, m, true);
}

// 16-bit Lab samples are read at their full range (L 0..65535 is 0..100, a
// and b either offset by 32768 or signed), then the 8-bit formulas apply.
void TColorManager::ConvertLabRow(const void* const* source, int sourceCount, std::uint8_t* target, std::uint32_t count,
                                  std::uint8_t mask, bool bgr)
{
    const int sb = sourceBitsPerSample_, tb = targetBitsPerSample_;
    if (!IsColorDepth(sb) || !IsColorDepth(tb))
        return;
    const bool byteRange = SourceOptions.Contains(coLabByteRange);
    const bool chromaOffset = SourceOptions.Contains(coLabChromaOffset);
    SampleReader in(source, sourceCount, 3, 3, sb / 8, SourceOptions.Contains(coNeedByteSwap));
    ConvertPixels(in, 3, target, count, mask, TargetOptions.Contains(coAlpha), tb, bgr, [&](std::uint32_t(&rgb)[3]) {
        double l, a, b;
        if (sb == 8) {
            l = in.Component(0);
            if (byteRange)
                l /= 2.55;
            a = chromaOffset ? static_cast<int>(in.Component(1)) - 128 : static_cast<std::int8_t>(in.Component(1));
            b = chromaOffset ? static_cast<int>(in.Component(2)) - 128 : static_cast<std::int8_t>(in.Component(2));
        } else {
            l = in.Component(0) * 100.0 / 65535.0;
            a = (chromaOffset ? static_cast<int>(in.Component(1)) - 32768
                              : static_cast<std::int16_t>(in.Component(1))) /
                256.0;
            b = (chromaOffset ? static_cast<int>(in.Component(2)) - 32768
                              : static_cast<std::int16_t>(in.Component(2))) /
                256.0;
        }
        double x, y, z;
        if (l < 7.9996) {
            y = l / 903.3;
            x = a / 3893.5 + y;
            z = y - b / 1557.4;
        } else {
            const double f = (l + 16) / 116;
            x = std::pow(f + a / 500, 3);
            y = f * f * f;
            z = std::pow(f - b / 200, 3);
        }
        const double linear[3] = {2.998 * x - 1.458 * y - 0.541 * z, -0.952 * x + 1.893 * y + 0.059 * z,
                                  0.099 * x - 0.198 * y + 1.099 * z};
        for (int c = 0; c < 3; ++c) {
            rgb[c] = ClampByte(static_cast<std::int32_t>(std::nearbyint(linear[c] * 255)));
            if (tb == 16)
                rgb[c] *= 257;
        }
    });
}

// ---- YCbCr and PhotoYCC rows -----------------------------------------------

void TColorManager::RowConvertYCbCr2RGB(const void* const* s, int n, std::uint8_t* t, std::uint32_t c, std::uint8_t m)
{
    ConvertYCbCrRow(s, n, t, c, m, false);
}

void TColorManager::RowConvertYCbCr2BGR(const void* const* s, int n, std::uint8_t* t, std::uint32_t c, std::uint8_t m)
{
    ConvertYCbCrRow(s, n, t, c, m, true);
}

// 16-bit PhotoYCC to 16-bit uses the fixed PhotoYCC formula, clamped to the
// word range; every other pair goes through the 8-bit tables.
void TColorManager::ConvertYCbCrRow(const void* const* source, int sourceCount, std::uint8_t* target,
                                    std::uint32_t count, std::uint8_t mask, bool bgr)
{
    const int sb = sourceBitsPerSample_, tb = targetBitsPerSample_;
    if (!IsColorDepth(sb) || !IsColorDepth(tb))
        return;
    const bool photoWide = sourceScheme_ == csPhotoYCC && sb == 16 && tb == 16;
    SampleReader in(source, sourceCount, 3, 3, sb / 8, SourceOptions.Contains(coNeedByteSwap));
    ConvertPixels(in, 3, target, count, mask, TargetOptions.Contains(coAlpha), tb, bgr, [&](std::uint32_t(&rgb)[3]) {
        std::uint32_t yy = in.Component(0), cb = in.Component(1), cr = in.Component(2);
        if (photoWide) {
            const float y = 1.3584f * static_cast<float>(yy);
            const float c1 = static_cast<float>(cb) - 40092.0f, c2 = static_cast<float>(cr) - 35209.0f;
            auto word = [](float v) {
                return static_cast<std::uint32_t>(std::clamp(static_cast<std::int32_t>(std::nearbyint(v)), 0, 65535));
            };
            rgb[0] = word(y + 1.8215f * c2);
            rgb[1] = word(y - 0.9271435f * c2 - 0.4302726f * c1);
            rgb[2] = word(y + 2.2179f * c1);
            return;
        }
        if (sb == 16) {
            yy = MulDiv16(static_cast<std::uint16_t>(yy), 255, 65535);
            cb = MulDiv16(static_cast<std::uint16_t>(cb), 255, 65535);
            cr = MulDiv16(static_cast<std::uint16_t>(cr), 255, 65535);
        }
        const auto y = static_cast<std::int32_t>(yy);
        rgb[0] = ClampByte(y + crToRed_[cr]);
        rgb[1] = ClampByte(y + cbToGreen_[cb] + crToGreen_[cr]);
        rgb[2] = ClampByte(y + cbToBlue_[cb]);
        if (tb == 16)
            for (auto& v : rgb)
                v *= 257;
    });
}

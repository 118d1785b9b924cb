#include "imageformats/GraphicColor.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "imageformats/GraphicStrings.h"
#include "imageformats/PixelOrder.h"
#include "platform/rtl/ByteOrder.h"

using GraphicColor::ClampByte;
using GraphicColor::MulDiv16;
using namespace GraphicStrings;

namespace {

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

std::uint16_t Load16(const std::uint8_t* p, bool swapped = false)
{
    return swapped ? rtl::GetBE16(p) : rtl::GetLE16(p);
}

void Store16(std::uint8_t* p, std::uint16_t v, bool swapped = false)
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
void StoreColor(std::uint8_t* target, const std::uint32_t (&rgb)[3], bool bgr, int targetBits)
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

bool IsPackedDepth(int bits) { return bits == 1 || bits == 2 || bits == 4 || bits == 8; }
bool IsColorDepth(int bits) { return bits == 8 || bits == 16; }

} // namespace

TColorManager::TColorManager() { SetGamma(1.0f, 2.2f); }

void TColorManager::Error(const char* message) { throw EColorConversionError(message); }

void TColorManager::MarkChanged(std::uint8_t& field, std::uint8_t value)
{
    if (field == value)
        return;
    field = value;
    changed_ = true;
}

void TColorManager::SetSourceBitsPerSample(std::uint8_t bits)
{
    if (bits < 1 || bits > 16)
        Error(gesInvalidSampleDepth);
    MarkChanged(sourceBitsPerSample_, bits);
}

void TColorManager::SetTargetBitsPerSample(std::uint8_t bits)
{
    if (bits < 1 || bits > 16)
        Error(gesInvalidSampleDepth);
    MarkChanged(targetBitsPerSample_, bits);
}

void TColorManager::SetSourceSamplesPerPixel(std::uint8_t samples)
{
    if (samples < 1 || samples > 4)
        Error(gesInvalidPixelDepth);
    MarkChanged(sourceSamplesPerPixel_, samples);
}

void TColorManager::SetTargetSamplesPerPixel(std::uint8_t samples)
{
    if (samples < 1 || samples > 4)
        Error(gesInvalidPixelDepth);
    MarkChanged(targetSamplesPerPixel_, samples);
}

void TColorManager::SetSourceColorScheme(TColorScheme scheme)
{
    if (sourceScheme_ != scheme)
        changed_ = true;
    sourceScheme_ = scheme;
}

void TColorManager::SetTargetColorScheme(TColorScheme scheme)
{
    if (targetScheme_ != scheme)
        changed_ = true;
    targetScheme_ = scheme;
}

// The table maps 8-bit components to 8-bit components whatever the depths:
// gamma is only ever applied to bytes (colour rows and palette entries), so
// building it for the current depths would make it depend on the order in
// which a reader sets gamma and depths.
void TColorManager::SetGamma(float fileGamma, float displayGamma)
{
    fileGamma_ = fileGamma > 0 ? fileGamma : 1.0f;
    displayGamma_ = displayGamma > 0 ? displayGamma : 2.2f;
    const double exponent = 1.0 / (double{fileGamma_} * displayGamma_);
    for (int i = 0; i < 256; ++i)
        gammaTable_[i] = ClampByte(static_cast<std::int32_t>(std::nearbyint(std::pow(i / 255.0, exponent) * 255.0)));
}

void TColorManager::SetYCbCrParameters(const std::vector<float>& values, std::uint8_t hSubsampling,
                                       std::uint8_t vSubsampling)
{
    for (std::size_t i = 0; i < values.size() && i < 3; ++i)
        yCbCrCoefficients_[i] = values[i];
    auto valid = [](std::uint8_t s) { return s == 1 || s == 2 || s == 4; };
    if (!valid(hSubsampling) || !valid(vSubsampling))
        Error(gesInvalidSubSampling);
    if (hSubsampling < vSubsampling)
        Error(gesVerticalSubSamplingError);
    hSubsampling_ = hSubsampling;
    vSubsampling_ = vSubsampling;
}

TPixelFormat TColorManager::GetPixelFormat(int index) const
{
    const int samples = index == 0 ? sourceSamplesPerPixel_ : targetSamplesPerPixel_;
    const int bits = index == 0 ? sourceBitsPerSample_ : targetBitsPerSample_;
    switch (samples) {
    case 1:
        if (bits == 1)
            return pf1bit;
        if (bits <= 4)
            return pf4bit;
        if (bits >= 8)
            return pf8bit;
        return pfCustom;
    case 3: return bits <= 5 ? pf15bit : pf24bit;
    case 4: return bits >= 8 ? pf32bit : pfCustom;
    default: return pfCustom;
    }
}

void TColorManager::ConvertRow(std::initializer_list<const void*> source, void* target, std::uint32_t count,
                               std::uint8_t mask)
{
    ConvertRow(source.begin(), static_cast<int>(source.size()), target, count, mask);
}

void TColorManager::ConvertRow(const void* const* source, int sourceCount, void* target, std::uint32_t count,
                               std::uint8_t mask)
{
    if (changed_)
        PrepareConversion();
    if (!converter_)
        Error(gesConversionUnsupported);
    if (sourceCount < 1 || count == 0)
        return;
    (this->*converter_)(source, sourceCount, static_cast<std::uint8_t*>(target), count, mask);
}

void TColorManager::PrepareConversion()
{
    converter_ = nullptr;
    const bool indexedSource = sourceScheme_ == csIndexed || sourceScheme_ == csG || sourceScheme_ == csGA;
    const bool indexedTarget = targetScheme_ == csIndexed || targetScheme_ == csG;
    if (indexedSource != indexedTarget)
        Error(gesIndexedNotSupported);
    SourceOptions.Set(coAlpha, sourceScheme_ == csGA || sourceScheme_ == csRGBA || sourceScheme_ == csBGRA);
    TargetOptions.Set(coAlpha, targetScheme_ == csGA || targetScheme_ == csRGBA || targetScheme_ == csBGRA);

    const int sb = sourceBitsPerSample_, tb = targetBitsPerSample_;
    const bool rgbTarget = targetScheme_ == csRGB || targetScheme_ == csRGBA;
    const bool bgrTarget = targetScheme_ == csBGR || targetScheme_ == csBGRA;
    auto colorPair = [&](RowConverter toRGB, RowConverter toBGR) {
        converter_ = rgbTarget ? toRGB : bgrTarget ? toBGR : nullptr;
    };
    switch (sourceScheme_) {
    case csIndexed:
        if (sb == 16 && tb == 16)
            converter_ = &TColorManager::RowConvertIndexedBoth16;
        else if (sb == 16 && IsPackedDepth(tb))
            converter_ = &TColorManager::RowConvertIndexedSource16;
        else if (tb == 16 && IsPackedDepth(sb))
            converter_ = &TColorManager::RowConvertIndexedTarget16;
        else if (IsPackedDepth(sb) && IsPackedDepth(tb))
            converter_ = &TColorManager::RowConvertIndexed8;
        break;
    case csG:
        if (IsPackedDepth(sb) && IsPackedDepth(tb))
            converter_ = &TColorManager::RowConvertIndexed8;
        else if ((sb == 16 || tb == 16) && IsColorDepth(sb) && IsColorDepth(tb))
            converter_ = &TColorManager::RowConvertGray;
        break;
    case csGA:
        if (IsColorDepth(sb) && IsColorDepth(tb))
            converter_ = &TColorManager::RowConvertGray;
        break;
    case csRGB:
    case csRGBA: colorPair(&TColorManager::RowConvertRGB2RGB, &TColorManager::RowConvertRGB2BGR); break;
    case csBGR:
    case csBGRA:
        // Same-order pairs copy, cross-order pairs exchange: the RGB pair works
        // for BGR sources with the roles of the two targets swapped.
        colorPair(&TColorManager::RowConvertRGB2BGR, &TColorManager::RowConvertRGB2RGB);
        break;
    case csCMYK: colorPair(&TColorManager::RowConvertCMYK2RGB, &TColorManager::RowConvertCMYK2BGR); break;
    case csCIELab: colorPair(&TColorManager::RowConvertCIELAB2RGB, &TColorManager::RowConvertCIELAB2BGR); break;
    case csYCbCr:
    case csPhotoYCC:
        CreateYCbCrLookup();
        colorPair(&TColorManager::RowConvertYCbCr2RGB, &TColorManager::RowConvertYCbCr2BGR);
        break;
    default: break;
    }
    changed_ = false;
}

void TColorManager::CreateYCbCrLookup()
{
    const float kr = yCbCrCoefficients_[0], kg = yCbCrCoefficients_[1], kb = yCbCrCoefficients_[2];
    const float f1 = 2 - 2 * kr;
    const float f2 = kr * f1 / kg;
    const float f3 = 2 - 2 * kb;
    const float f4 = kb * f3 / kg;
    const int crOffset = sourceScheme_ == csPhotoYCC ? 137 : 128;
    const int cbOffset = sourceScheme_ == csPhotoYCC ? 156 : 128;
    crToRed_.assign(256, 0);
    cbToBlue_.assign(256, 0);
    crToGreen_.assign(256, 0);
    cbToGreen_.assign(256, 0);
    auto round = [](float v) { return static_cast<std::int32_t>(std::nearbyint(v)); };
    for (int i = 0; i < 256; ++i) {
        const float cr = static_cast<float>(i - crOffset), cb = static_cast<float>(i - cbOffset);
        crToRed_[i] = round(cr * f1);
        cbToBlue_[i] = round(cb * f3);
        crToGreen_[i] = -round(cr * f2);
        cbToGreen_[i] = -round(cb * f4);
    }
}

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

// ---- palettes --------------------------------------------------------------

TPaletteEntries TColorManager::CreateColorPalette(std::initializer_list<const void*> data, TRawPaletteFormat format,
                                                  std::uint32_t colorCount, bool blueFirst)
{
    const bool wide = format >= pfInterlaced16Triple;
    const bool planes = format == pfPlane8Triple || format == pfPlane8Quad || format == pfPlane16Triple ||
        format == pfPlane16Quad;
    const bool quad = format == pfInterlaced8Quad || format == pfInterlaced16Quad;
    if (data.size() < (planes ? 3u : 1u))
        Error(gesConversionUnsupported);
    const bool gamma = TargetOptions.Contains(coApplyGamma);
    const bool swap = SourceOptions.Contains(coNeedByteSwap);
    const int sampleBytes = wide ? 2 : 1;
    auto component = [&](const void* base, std::size_t index) -> std::uint32_t {
        const auto* p = static_cast<const std::uint8_t*>(base) + index * sampleBytes;
        std::uint32_t v = *p;
        if (wide) {
            v = MulDiv16(Load16(p, swap), 255, 65535);
        }
        return gamma ? gammaTable_[v] : v;
    };

    std::uint32_t count = std::min<std::uint32_t>(colorCount, 256);
    TPaletteEntries entries(256, 0);
    const void* const* pointers = data.begin();
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t r, g, b;
        if (planes) {
            r = component(pointers[0], i);
            g = component(pointers[1], i);
            b = component(pointers[2], i);
        } else {
            const std::size_t at = std::size_t{i} * (quad ? 4 : 3);
            r = component(pointers[0], at + (blueFirst ? 2 : 0));
            g = component(pointers[0], at + 1);
            b = component(pointers[0], at + (blueFirst ? 0 : 2));
        }
        entries[i] = (r << 16) | (g << 8) | b;
    }

    // Indices are rescaled by ConvertRow when the depths differ; stretch or
    // shrink the palette to match. Entries past 256 do not exist, so an index
    // scaled from a wider source stops at the last one.
    const int sb = sourceBitsPerSample_, tb = targetBitsPerSample_;
    if (tb <= 8 && sb != tb) {
        const auto s = static_cast<std::uint16_t>((1u << sb) - 1), t = static_cast<std::uint16_t>((1u << tb) - 1);
        auto from = [&](std::uint16_t n) { return std::min<std::uint32_t>(MulDiv16(n, s, t), 255); };
        if (s < t)
            for (int n = t; n >= 0; --n)
                entries[n] = entries[from(static_cast<std::uint16_t>(n))];
        else
            for (int n = 0; n <= t; ++n)
                entries[n] = entries[from(static_cast<std::uint16_t>(n))];
        count = t + 1u;
    }
    entries.resize(count);
    return entries;
}

TPaletteEntries TColorManager::CreateGrayscalePalette(bool minimumIsWhite) const
{
    const int bits = std::min(targetBitsPerSample_ * targetSamplesPerPixel_, 8);
    const int count = 1 << bits;
    const int step = 255 / (count - 1);
    const bool gamma = TargetOptions.Contains(coApplyGamma);
    TPaletteEntries entries(count);
    for (int i = 0; i < count; ++i) {
        const std::uint32_t v = gamma ? gammaTable_[i * step] : static_cast<std::uint32_t>(i * step);
        entries[minimumIsWhite ? count - 1 - i : i] = (v << 16) | (v << 8) | v;
    }
    return entries;
}

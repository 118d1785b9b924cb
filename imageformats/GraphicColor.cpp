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

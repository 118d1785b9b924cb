#pragma once
// TColorManager turns one row of raw samples, as a picture reader finds them
// in a file, into one row of the target bitmap: colour scheme, bits per
// sample, 16-bit byte order and gamma. It also builds the colour and grey
// palettes of indexed targets.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "imageformats/Refusal.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/EnumSet.h"
#include "platform/rtl/Exceptions.h"

enum TColorScheme : std::uint8_t {
    csUnknown,
    csIndexed,
    csG,
    csGA,
    csRGB,
    csRGBA,
    csBGR,
    csBGRA,
    csCMY,
    csCMYK,
    csCIELab,
    csYCbCr,
    csPhotoYCC
};

enum TConvertOption : std::uint8_t { coAlpha, coApplyGamma, coNeedByteSwap, coLabByteRange, coLabChromaOffset };
using TConvertOptions = TEnumSet<TConvertOption, std::uint8_t>;

enum TRawPaletteFormat : std::uint8_t {
    pfInterlaced8Triple,
    pfInterlaced8Quad,
    pfPlane8Triple,
    pfPlane8Quad,
    pfInterlaced16Triple,
    pfInterlaced16Quad,
    pfPlane16Triple,
    pfPlane16Quad
};

// A palette as the platform bitmap takes it: entries 0x00RRGGBB.
using TPaletteEntries = std::vector<std::uint32_t>;

// A converter that cannot be configured or found. It is a refused picture
// (rrColorConversion), so that a file asking for an impossible conversion
// fails like any bad file.
class EColorConversionError : public EImageRefused {
public:
    explicit EColorConversionError(std::string message) : EImageRefused(rrColorConversion, std::move(message)) { }
};

namespace GraphicColor {
// 0 when negative, 255 when above 255, else the value.
constexpr std::uint8_t ClampByte(std::int32_t value)
{
    return value < 0 ? 0 : value > 255 ? 255 : static_cast<std::uint8_t>(value);
}
// a * b / c with 16-bit operands, truncated.
constexpr std::uint16_t MulDiv16(std::uint16_t a, std::uint16_t b, std::uint16_t c)
{
    return static_cast<std::uint16_t>(std::uint32_t{a} * b / c);
}
} // namespace GraphicColor

class TColorManager {
public:
    TColorManager();

    std::uint8_t SourceBitsPerSample() const { return sourceBitsPerSample_; }
    std::uint8_t TargetBitsPerSample() const { return targetBitsPerSample_; }
    std::uint8_t SourceSamplesPerPixel() const { return sourceSamplesPerPixel_; }
    std::uint8_t TargetSamplesPerPixel() const { return targetSamplesPerPixel_; }
    TColorScheme SourceColorScheme() const { return sourceScheme_; }
    TColorScheme TargetColorScheme() const { return targetScheme_; }
    // Accepted: 1..16 bits, 1..4 samples; anything else raises and is not stored.
    void SetSourceBitsPerSample(std::uint8_t bits);
    void SetTargetBitsPerSample(std::uint8_t bits);
    void SetSourceSamplesPerPixel(std::uint8_t samples);
    void SetTargetSamplesPerPixel(std::uint8_t samples);
    void SetSourceColorScheme(TColorScheme scheme);
    void SetTargetColorScheme(TColorScheme scheme);

    // Options are read by every conversion, so changes apply at once.
    TConvertOptions SourceOptions;
    TConvertOptions TargetOptions;

    // File gamma (<= 0 means 1.0) and display gamma (<= 0 means 2.2).
    void SetGamma(float fileGamma, float displayGamma = 2.2f);
    const std::uint8_t* GammaTable() const { return gammaTable_; }

    // Luma weights (the first one to three values replace the stored ones) and
    // chroma subsampling (1, 2 or 4 each; horizontal not below vertical).
    void SetYCbCrParameters(const std::vector<float>& values, std::uint8_t hSubsampling, std::uint8_t vSubsampling);
    const float* YCbCrCoefficients() const { return yCbCrCoefficients_; }
    std::uint8_t HSubsampling() const { return hSubsampling_; }
    std::uint8_t VSubsampling() const { return vSubsampling_; }

    // 0: the source description, anything else: the target's.
    TPixelFormat GetPixelFormat(int index) const;

    // Converts `count` target pixels. One source pointer means interleaved
    // samples, more mean one plane per component. `mask` selects target pixels
    // (bit 7 first, repeating every 8 pixels); a source pixel is consumed only
    // for a selected target pixel.
    void ConvertRow(std::initializer_list<const void*> source, void* target, std::uint32_t count,
                    std::uint8_t mask = 0xFF);
    void ConvertRow(const void* const* source, int sourceCount, void* target, std::uint32_t count,
                    std::uint8_t mask = 0xFF);

    // A palette from raw entries; remapped to the target depth when it differs
    // from the source depth (indices are rescaled by ConvertRow likewise).
    TPaletteEntries CreateColorPalette(std::initializer_list<const void*> data, TRawPaletteFormat format,
                                       std::uint32_t colorCount, bool blueFirst);
    // A grey ramp of 2^min(target bits, 8) entries, white first when asked.
    TPaletteEntries CreateGrayscalePalette(bool minimumIsWhite) const;

    [[noreturn]] static void Error(const char* message);

private:
    using RowConverter = void (TColorManager::*)(const void* const* source, int sourceCount, std::uint8_t* target,
                                                 std::uint32_t count, std::uint8_t mask);

    void PrepareConversion();
    void CreateYCbCrLookup();
    void MarkChanged(std::uint8_t& field, std::uint8_t value);

    void RowConvertIndexed8(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertIndexedBoth16(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertIndexedSource16(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertIndexedTarget16(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertGray(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertRGB2RGB(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertRGB2BGR(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertCMYK2RGB(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertCMYK2BGR(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertCIELAB2RGB(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertCIELAB2BGR(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertYCbCr2RGB(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);
    void RowConvertYCbCr2BGR(const void* const*, int, std::uint8_t*, std::uint32_t, std::uint8_t);

    void ConvertColorRow(const void* const* source, int sourceCount, std::uint8_t* target, std::uint32_t count,
                         std::uint8_t mask, bool exchange);
    void ConvertMaskedBytes(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count, std::uint8_t mask,
                            bool exchange);
    void ConvertCMYKRow(const void* const* source, int sourceCount, std::uint8_t* target, std::uint32_t count,
                        std::uint8_t mask, bool bgr);
    void ConvertLabRow(const void* const* source, int sourceCount, std::uint8_t* target, std::uint32_t count,
                       std::uint8_t mask, bool bgr);
    void ConvertYCbCrRow(const void* const* source, int sourceCount, std::uint8_t* target, std::uint32_t count,
                         std::uint8_t mask, bool bgr);

    bool changed_ = true;
    std::uint8_t sourceBitsPerSample_ = 8;
    std::uint8_t targetBitsPerSample_ = 8;
    std::uint8_t sourceSamplesPerPixel_ = 3;
    std::uint8_t targetSamplesPerPixel_ = 3;
    float fileGamma_ = 1.0f;
    float displayGamma_ = 2.2f;
    std::uint8_t gammaTable_[256] = {};
    float yCbCrCoefficients_[3] = {0.299f, 0.587f, 0.114f};
    std::uint8_t hSubsampling_ = 1;
    std::uint8_t vSubsampling_ = 1;
    std::vector<std::int32_t> crToRed_, cbToBlue_, crToGreen_, cbToGreen_;
    TColorScheme sourceScheme_ = csRGB;
    TColorScheme targetScheme_ = csBGR;
    RowConverter converter_ = nullptr;
};

// Loading a TIFF picture: the colour conversion and the palette.

#include "imageformats/TIFFGraphic.Load.h"

#include "platform/rtl/Streams.h"

using namespace GraphicStrings;
using namespace TIFF;

// ---- loading --------------------------------------------------------------------

void TTIFFGraphic::Load::Run(TStream& stream)
{
    const TImageProperties& p = properties_;
    // Tiles and separate planes are not read: an empty or scrambled picture
    // would pass for a loaded one.
    if (p.PlanarConfig == 2 && p.SamplesPerPixel > 1)
        RaiseError(rrSeparatePlanes, gesUnsupportedImage, kTIFFName);
    const std::uint8_t bits = p.BitsPerSample;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
        RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
    // The horizontal predictor goes with LZW and deflate data only.
    if (p.Compression == ctNone)
        properties_.Predictor = 1;
    if (p.Predictor == 2 && bits != 8 && bits != 16)
        RaiseError(rrPredictor, gesUnsupportedImage, kTIFFName);
    picture_.ProgressStart(gesPreparing);

    TColorManager& c = converter_;
    c.SourceOptions = {};
    c.TargetOptions = {};
    if (bigEndian_)
        c.SourceOptions.Include(coNeedByteSwap);
    TColorScheme source = p.ColorScheme, target = source;
    std::uint8_t samples = p.SamplesPerPixel, targetSamples = samples;
    switch (source) {
    case csG:
        // Grey with an extra sample: the alpha is skipped.
        if (samples == 2)
            source = csGA, target = csIndexed, targetSamples = 1;
        else if (samples != 1)
            RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
        break;
    case csIndexed:
        if (samples != 1)
            RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
        break;
    case csRGB: target = csBGR; break;
    case csRGBA:
        target = csBGRA;
        if (samples != 4)
            RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
        break;
    case csCMYK: target = csBGR, targetSamples = 3; break;
    case csCIELab:
        target = csBGR;
        c.SourceOptions.Include(coLabByteRange);
        break;
    case csYCbCr:
        // Only one chroma pair per pixel is read; subsampled data is refused.
        // JPEG strips come out of the library as full colour rows.
        if (p.Compression != ctJPEG && (p.SubSampling.size() < 2 || p.SubSampling[0] != 1 || p.SubSampling[1] != 1))
            RaiseUnsupported(rrSubsampling);
        target = csBGR;
        break;
    default: RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
    }
    // Colour rows need whole bytes and exactly the samples their scheme names.
    const std::uint8_t needed = source == csRGBA || source == csCMYK ? 4 : target == csBGR ? 3 : samples;
    if ((target == csBGR || target == csBGRA) && (bits < 8 || samples != needed))
        RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
    // The JPEG decoder delivers its colour rows blue first.
    if (p.Compression == ctJPEG && target == csBGR)
        source = csBGR;
    c.SetSourceColorScheme(source);
    c.SetTargetColorScheme(target);
    c.SetSourceSamplesPerPixel(samples == 2 && source == csGA ? 1 : samples);
    c.SetTargetSamplesPerPixel(targetSamples);
    c.SetSourceBitsPerSample(bits);
    // 2-bit samples land in a 4-bit picture, 16-bit ones in 8 bits.
    c.SetTargetBitsPerSample(static_cast<std::uint8_t>(bits == 16 ? 8 : bits == 2 ? 4 : bits));
    const TPixelFormat format = source == csGA ? pf8bit : c.GetPixelFormat(1);
    // A picture the file's data could never fill is damage, not a reason to
    // allocate (the factor is the most a scheme can expand its data).
    const std::uint64_t imageBytes = (std::uint64_t{p.BitsPerPixel} * p.Width + 7) / 8 * p.Height;
    const std::uint64_t expansion = p.Compression == ctNone ? 1 : p.Compression == ctPackedBits ? 64 : 4096;
    if (imageBytes / expansion > static_cast<std::uint64_t>(stream.Size()))
        RaiseError(rrDataTooShort, gesInvalidImage, kTIFFName);
    picture_.SetupBitmap(p.Width, p.Height, format, kTIFFName);

    if (target == csIndexed || target == csG) {
        if (source == csIndexed)
            ReadColorMap(stream);
        else
            picture_.SetPalette(c.CreateGrayscalePalette(p.Options.Contains(ioMinIsWhite)));
    }
    const std::uint64_t bytesPerLine = (std::uint64_t{p.BitsPerPixel} * p.Width + 7) / 8;
    picture_.ProgressEnd();
    picture_.ProgressStart(gesTransfering);
    properties_.BytesPerLine = static_cast<std::uint32_t>(bytesPerLine);
    if (p.Options.Contains(ioTiled))
        ReadTiles(stream, static_cast<std::uint32_t>(bytesPerLine));
    else
        ReadStrips(stream, static_cast<std::uint32_t>(bytesPerLine));
    picture_.ProgressEnd();
}

void TTIFFGraphic::Load::ReadColorMap(TStream& stream)
{
    std::size_t entry;
    if (FindTag(tgColorMap, entry) && ifd_[entry].DataLength > 3 * 256)
        RaiseError(rrPalette, gesInvalidPalette, kTIFFName);
    const std::vector<std::uint32_t> map = GetValueList(stream, tgColorMap);
    if (map.empty())
        return;
    // Three planes of 2^bits entries; more than 256 colours do not fit a
    // palette picture.
    const std::size_t colors = map.size() / 3;
    if (map.size() % 3 != 0 || colors > 256 || colors < (std::size_t{1} << std::min<int>(properties_.BitsPerSample, 8)))
        RaiseError(rrPalette, gesInvalidPalette, kTIFFName);
    std::vector<std::uint16_t> planes(map.begin(), map.end());
    TPaletteEntries palette = converter_.CreateColorPalette(
        {planes.data(), planes.data() + colors, planes.data() + 2 * colors}, pfPlane16Triple,
        static_cast<std::uint32_t>(colors), false);
    picture_.SetPalette(palette);
}

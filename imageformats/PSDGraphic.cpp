#include "imageformats/PSDGraphic.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "imageformats/GraphicCompression.h"
#include "imageformats/GraphicStrings.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TPSDGraphic)

namespace {

const char* const kFormatName = "PSD";
const char* const kInvalidFormatName = "PSD or PDD";

constexpr int kHeaderSize = 26;

enum PsdMode {
    pmBitmap = 0,
    pmGrey = 1,
    pmIndexed = 2,
    pmRGB = 3,
    pmCMYK = 4,
    pmMultichannel = 7,
    pmDuotone = 8,
    pmLab = 9
};

struct PsdHeader {
    bool Signature = false;
    std::uint32_t Version = 0, Channels = 0, Height = 0, Width = 0, Depth = 0, Mode = 0;

    static PsdHeader Parse(const std::uint8_t* b)
    {
        PsdHeader h;
        h.Signature = std::toupper(b[0]) == '8' && std::toupper(b[1]) == 'B' && std::toupper(b[2]) == 'P' &&
            std::toupper(b[3]) == 'S';
        h.Version = rtl::GetBE16(b + 4);
        h.Channels = rtl::GetBE16(b + 12);
        h.Height = rtl::GetBE32(b + 14);
        h.Width = rtl::GetBE32(b + 18);
        h.Depth = rtl::GetBE16(b + 22);
        h.Mode = rtl::GetBE16(b + 24);
        return h;
    }
};

bool ReadHeader(TStream& stream, PsdHeader& header)
{
    std::uint8_t bytes[kHeaderSize];
    if (stream.Read(bytes, kHeaderSize) != kHeaderSize)
        return false;
    header = PsdHeader::Parse(bytes);
    return true;
}

int PlaneCount(const PsdHeader& h)
{
    switch (h.Mode) {
    case pmRGB: return h.Channels >= 4 ? 4 : 3;
    case pmMultichannel:
    case pmLab: return 3;
    case pmCMYK: return 4;
    default: return 1; // extra channels (alpha) of grey and indexed pictures are ignored
    }
}

TColorScheme SchemeOf(const PsdHeader& h)
{
    switch (h.Mode) {
    case pmBitmap:
    case pmGrey:
    case pmDuotone: return csG;
    case pmIndexed: return csIndexed;
    case pmRGB: return h.Channels >= 4 ? csRGBA : csRGB;
    case pmMultichannel: return csRGB;
    case pmCMYK: return csCMYK;
    case pmLab: return csCIELab;
    default: return csUnknown;
    }
}

} // namespace

bool TPSDGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    if (stream.Size() - position <= kHeaderSize)
        return false;
    PsdHeader h;
    const bool complete = ReadHeader(stream, h);
    stream.SetPosition(position);
    return complete && h.Signature && h.Version == 1;
}

bool TPSDGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    PsdHeader h;
    if (!ReadHeader(stream, h) || !h.Signature)
        return false;
    FProperties.Options = TImageOptions{ioBigEndian};
    if (h.Mode == pmBitmap)
        FProperties.Options.Include(ioMinIsWhite);
    FProperties.BitsPerSample = static_cast<std::uint8_t>(std::min<std::uint32_t>(h.Depth, 255));
    FProperties.ChannelCount = static_cast<std::uint8_t>(std::min<std::uint32_t>(h.Channels, 255));
    FProperties.SamplesPerPixel = static_cast<std::uint8_t>(std::min<std::uint32_t>(h.Channels, 4));
    FProperties.BitsPerPixel = static_cast<std::uint8_t>(FProperties.BitsPerSample * FProperties.SamplesPerPixel);
    FProperties.ColorScheme = SchemeOf(h);
    FProperties.Width = h.Width;
    FProperties.Height = h.Height;
    for (int section = 0; section < 3; ++section) {
        std::uint8_t length[4];
        if (stream.Read(length, 4) != 4)
            return false;
        stream.Seek(rtl::GetBE32(length), soFromCurrent);
    }
    std::uint8_t compression[2] = {};
    if (stream.Read(compression, 2) != 2)
        return false;
    FProperties.Compression = rtl::GetBE16(compression) == 1 ? ctPackedBits : ctNone;
    return true;
}

void TPSDGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    if (!ReadImageProperties(stream, 0))
        RaiseError(rrHeader, gesInvalidImage, kInvalidFormatName);
    stream.SetPosition(FStartPosition);
    FProgressArea = Rect(0, 0, static_cast<int>(FProperties.Width), 1);
    ProgressStart(gesPreparing);

    PsdHeader h;
    ReadHeader(stream, h);
    const bool bitmap = h.Mode == pmBitmap;
    const int planes = PlaneCount(h);
    if (FProperties.ColorScheme == csUnknown || h.Channels < static_cast<std::uint32_t>(planes) ||
        (bitmap ? h.Depth != 1 : h.Depth != 8 && h.Depth != 16))
        RaiseError(rrColorFormat, gesInvalidColorFormat, kFormatName);
    const std::uint32_t width = h.Width, height = h.Height;
    // Keeps the plane size below 2^63 (the bitmap's budget is far smaller).
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        RaiseError(rrPictureSize, gesInvalidImage, kInvalidFormatName);
    const std::int64_t rowBytes = bitmap ? (std::int64_t{width} + 7) / 8 : std::int64_t{width} * (h.Depth / 8);

    TColorManager& converter = *FConverter;
    if (!bitmap) {
        converter.SourceOptions = TConvertOptions{coNeedByteSwap};
        if (h.Mode == pmLab) {
            converter.SourceOptions.Include(coLabByteRange);
            converter.SourceOptions.Include(coLabChromaOffset);
        }
        converter.TargetOptions = {};
        converter.SetSourceBitsPerSample(static_cast<std::uint8_t>(h.Depth));
        converter.SetTargetBitsPerSample(8);
        converter.SetSourceSamplesPerPixel(static_cast<std::uint8_t>(planes));
        converter.SetTargetSamplesPerPixel(static_cast<std::uint8_t>(h.Mode == pmCMYK ? 3 : planes));
        converter.SetSourceColorScheme(FProperties.ColorScheme);
        const TColorScheme scheme = FProperties.ColorScheme;
        converter.SetTargetColorScheme(scheme == csG || scheme == csIndexed ? scheme
                                           : scheme == csRGBA               ? csBGRA
                                                                            : csBGR);
    }

    // Colour mode data: the palette of indexed pictures.
    std::uint8_t word[4];
    ReadOrFail(stream, word, 4, kFormatName);
    const std::uint32_t colorDataLength = rtl::GetBE32(word);
    std::vector<std::uint8_t> colorData;
    if (h.Mode == pmIndexed) {
        if (colorDataLength < 3 || colorDataLength > 768)
            RaiseError(rrPalette, gesInvalidPalette, kFormatName);
        colorData.resize(colorDataLength);
        ReadOrFail(stream, colorData.data(), colorDataLength, kFormatName);
    } else {
        stream.Seek(colorDataLength, soFromCurrent);
    }
    for (int section = 0; section < 2; ++section) {
        ReadOrFail(stream, word, 4, kFormatName);
        stream.Seek(rtl::GetBE32(word), soFromCurrent);
    }
    ReadOrFail(stream, word, 2, kFormatName);

    // Before anything is allocated: the planes must fit in what the stream
    // holds (a PackBits packet of two bytes gives at most 128).
    const std::int64_t planeBytes = rowBytes * height;
    const std::int64_t dataSize = stream.Size() - stream.Position();
    const bool packed = FProperties.Compression == ctPackedBits;
    if (width == 0 || height == 0 || planeBytes > (packed ? dataSize * 64 : dataSize) / planes)
        RaiseError(rrDataTooShort, gesStreamReadError, kFormatName);
    SetupBitmap(width, height, bitmap ? pf1bit : converter.GetPixelFormat(1), kFormatName);
    if (bitmap) {
        SetPalette({0xFFFFFF, 0x000000});
    } else if (h.Mode == pmIndexed) {
        const std::uint32_t count = colorDataLength / 3;
        TPaletteEntries palette;
        for (std::uint32_t i = 0; i < count; ++i)
            palette.push_back(
                static_cast<std::uint32_t>(colorData[i] << 16 | colorData[count + i] << 8 | colorData[2 * count + i]));
        palette.resize(256, 0);
        SetPalette(palette);
    } else if (FProperties.ColorScheme == csG) {
        SetPalette(converter.CreateGrayscalePalette(false));
    }
    ProgressEnd();

    ProgressStart(gesLoadingData);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(planeBytes * planes));
    if (packed) {
        const std::int64_t tableEntries = std::int64_t{height} * h.Channels;
        if (tableEntries * 2 > dataSize)
            RaiseError(rrTruncated, gesStreamReadError, kFormatName);
        std::vector<std::uint8_t> table(static_cast<std::size_t>(tableEntries * 2));
        ReadOrFail(stream, table.data(), static_cast<std::int64_t>(table.size()), kFormatName);
        std::int64_t usedBytes = 0;
        for (std::int64_t i = 0; i < std::int64_t{height} * planes; ++i)
            usedBytes += rtl::GetBE16(&table[2 * i]);
        std::vector<std::uint8_t> data(static_cast<std::size_t>(usedBytes));
        ReadOrFail(stream, data.data(), usedBytes, kFormatName);
        TPackbitsRLEDecoder decoder;
        const std::uint8_t* source = data.data();
        for (std::int64_t i = 0; i < std::int64_t{height} * planes; ++i) {
            const int length = static_cast<int>(rtl::GetBE16(&table[2 * i]));
            const std::uint8_t* rowSource = source;
            std::uint8_t* dest = pixels.data() + i * rowBytes;
            if (decoder.Decode(rowSource, dest, length, static_cast<int>(rowBytes)) < rowBytes)
                RaiseError(rrCompressedData, gesStreamReadError, kFormatName);
            source += length;
        }
    } else {
        ReadOrFail(stream, pixels.data(), static_cast<std::int64_t>(pixels.size()), kFormatName);
    }
    ProgressEnd();

    ProgressStart(gesTransfering);
    if (h.Mode == pmCMYK)
        for (std::uint8_t& b : pixels)
            b = static_cast<std::uint8_t>(255 - b);
    for (std::uint32_t y = 0; y < height; ++y) {
        const void* sources[4] = {};
        for (int c = 0; c < planes; ++c)
            sources[c] = pixels.data() + c * planeBytes + y * rowBytes;
        if (bitmap)
            std::copy_n(static_cast<const std::uint8_t*>(sources[0]), rowBytes, ScanLine(static_cast<int>(y)));
        else
            converter.ConvertRow(sources, planes, ScanLine(static_cast<int>(y)), width);
        ProgressRow(y, height);
    }
    ProgressEnd();
}

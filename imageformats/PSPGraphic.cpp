#include "imageformats/PSPGraphic.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "imageformats/GraphicCompression.h"
#include "imageformats/GraphicStrings.h"
#include "imageformats/LZ77Decoder.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TPSPGraphic)

namespace {

const char* const kFormatName = "PSP";
const char kSignature[] = "Paint Shop Pro Image File";
constexpr int kSignatureLength = sizeof kSignature - 1;
constexpr int kFileHeaderSize = 36; // the 32-byte signature area and the two version words
constexpr int kAttributesSize = 42;
constexpr int kLayerInfoSize = 115;
constexpr int kLayerNameSizeV3 = 256;

enum PspBlock : std::uint16_t { pbImageAttributes = 0, pbPalette = 2, pbLayers = 3, pbLayerInfo = 4 };
enum PspChannel { pcComposite, pcRed, pcGreen, pcBlue, pcChannelKinds };

// The most a packed byte can stand for: a run-length packet of two bytes
// writes 127, a deflate stream at best about 1032 bytes a byte.
constexpr std::int64_t kRunLengthExpansion = 64;
constexpr std::int64_t kDeflateExpansion = 1032;

bool ReadExactly(TStream& stream, void* buffer, int count) { return stream.Read(buffer, count) == count; }

bool ReadLittleEndian32(TStream& stream, std::uint32_t& value)
{
    std::uint8_t bytes[4];
    if (!ReadExactly(stream, bytes, 4))
        return false;
    value = rtl::GetLE32(bytes);
    return true;
}

struct BlockHeader {
    std::uint16_t Id = 0;
    std::int64_t ContentStart = 0;
    std::int64_t End = 0;
};

// A block or sub-block header: a marker beginning with '~', the identifier,
// for version 3 an initial length, and the length of the contents.
bool ReadBlockHeader(TStream& stream, std::uint32_t version, BlockHeader& header)
{
    std::uint8_t bytes[14];
    const int size = version == 3 ? 14 : 10;
    if (!ReadExactly(stream, bytes, size) || bytes[0] != '~')
        return false;
    header.Id = rtl::GetLE16(bytes + 4);
    header.ContentStart = stream.Position();
    header.End = header.ContentStart + rtl::GetLE32(bytes + size - 4);
    return true;
}

// From version 4 on the contents of a leaf block begin with their size.
bool SkipChunkSize(TStream& stream, std::uint32_t version)
{
    std::uint32_t chunkSize = 0;
    return version < 4 || ReadLittleEndian32(stream, chunkSize);
}

bool SignatureMatches(const std::uint8_t* bytes)
{
    for (int i = 0; i < kSignatureLength; ++i)
        if (std::toupper(bytes[i]) != std::toupper(static_cast<unsigned char>(kSignature[i])))
            return false;
    return true;
}

TCompressionType CompressionOf(std::uint16_t stored)
{
    switch (stored) {
    case 0: return ctNone;
    case 1: return ctRLE;
    case 2: return ctLZ77;
    case 3: return ctJPEG;
    default: return ctUnknown;
    }
}

// Bytes of one row of a channel plane; 0 for depths that cannot be read.
std::int64_t ChannelRowSize(std::uint8_t bitsPerSample, std::uint32_t width)
{
    switch (bitsPerSample) {
    case 1: return (std::int64_t{width} + 7) / 8;
    case 4: return std::int64_t{width} / 2 + 1;
    case 8: return width;
    default: return 0;
    }
}

std::int64_t ExpansionOf(TCompressionType compression)
{
    return compression == ctRLE ? kRunLengthExpansion : compression == ctLZ77 ? kDeflateExpansion : 1;
}

} // namespace

// The channel planes of the layer being read, each ChannelRowSize x Height
// bytes; channels the layer does not carry stay zero.
struct TPSPGraphic::Layer {
    std::int64_t RowSize = 0;
    std::vector<std::uint8_t> Planes[pcChannelKinds];
    bool Alpha = false;
};

bool TPSPGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    if (stream.Size() - position < 37)
        return false;
    std::uint8_t bytes[kFileHeaderSize];
    const bool complete = ReadExactly(stream, bytes, kFileHeaderSize);
    stream.SetPosition(position);
    return complete && SignatureMatches(bytes) && rtl::GetLE16(bytes + 32) >= 3;
}

bool TPSPGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    std::uint8_t bytes[kFileHeaderSize];
    if (!ReadExactly(stream, bytes, kFileHeaderSize) || !SignatureMatches(bytes))
        return false;
    const std::uint32_t version = rtl::GetLE16(bytes + 32);
    if (version < 3)
        return false;
    FProperties.Version = version;

    BlockHeader block;
    std::uint8_t a[kAttributesSize];
    if (!ReadBlockHeader(stream, version, block) || !SkipChunkSize(stream, version) ||
        !ReadExactly(stream, a, kAttributesSize))
        return false;
    stream.SetPosition(std::max(block.End, stream.Position()));

    const std::uint16_t depth = rtl::GetLE16(a + 19);
    const bool grey = a[27] != 0;
    if (depth == 24) {
        FProperties.BitsPerSample = 8;
        FProperties.SamplesPerPixel = 3;
        FProperties.ColorScheme = csRGB;
    } else {
        // Depths beyond a byte cannot be read; 0 marks them for the loader.
        FProperties.BitsPerSample = static_cast<std::uint8_t>(depth <= 16 ? depth : 0);
        FProperties.SamplesPerPixel = 1;
        FProperties.ColorScheme = grey ? csG : csIndexed;
    }
    FProperties.BitsPerPixel = static_cast<std::uint8_t>(FProperties.BitsPerSample * FProperties.SamplesPerPixel);
    FProperties.Width = rtl::GetLE32(a);
    FProperties.Height = rtl::GetLE32(a + 4);
    FProperties.Compression = CompressionOf(rtl::GetLE16(a + 17));
    double resolution = 0;
    std::memcpy(&resolution, a + 8, sizeof resolution);
    if (a[16] == 2)
        resolution *= 2.54;
    FProperties.XResolution = FProperties.YResolution = static_cast<float>(resolution);
    return true;
}

void TPSPGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    if (!ReadImageProperties(stream, 0))
        RaiseError(rrHeader, gesInvalidImage, kFormatName);
    const std::int64_t firstBlock = stream.Position();
    const std::uint32_t width = FProperties.Width, height = FProperties.Height;
    FProgressArea = Rect(0, 0, static_cast<int>(std::min<std::uint32_t>(width, 0x7FFFFFFF)), 1);
    ProgressStart(gesPreparing);

    if (FProperties.Compression != ctNone && FProperties.Compression != ctRLE && FProperties.Compression != ctLZ77)
        throw EImageRefused(rrCompression, Format(gesUnsupportedFeature, gesCompressionScheme, kFormatName));
    TColorManager& converter = *FConverter;
    converter.SourceOptions = {};
    converter.TargetOptions = {};
    converter.SetSourceBitsPerSample(FProperties.BitsPerSample == 0 ? 8 : FProperties.BitsPerSample);
    converter.SetTargetBitsPerSample(converter.SourceBitsPerSample());
    converter.SetSourceSamplesPerPixel(FProperties.SamplesPerPixel);
    converter.SetTargetSamplesPerPixel(FProperties.SamplesPerPixel);
    converter.SetSourceColorScheme(FProperties.ColorScheme);
    converter.SetTargetColorScheme(FProperties.ColorScheme == csRGB ? csBGR : FProperties.ColorScheme);

    const std::int64_t rowSize = ChannelRowSize(FProperties.BitsPerSample, width);
    if (rowSize == 0 && width > 0)
        RaiseError(rrColorFormat, gesInvalidColorFormat, kFormatName);
    // Before anything is allocated: the planes must be within what the rest
    // of the stream can unpack to.
    const int planes = FProperties.ColorScheme == csRGB ? 3 : 1;
    const std::int64_t rest = stream.Size() - firstBlock;
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
        rowSize * height > rest * ExpansionOf(FProperties.Compression) / planes)
        RaiseError(rrDataTooShort, gesStreamReadError, kFormatName);
    SetupBitmap(width, height, converter.GetPixelFormat(1), kFormatName);
    if (FProperties.ColorScheme == csG)
        SetPalette(converter.CreateGrayscalePalette(false));
    ProgressEnd();

    bool layerRead = false;
    BlockHeader block;
    while (ReadBlockHeader(stream, FProperties.Version, block)) {
        if (block.Id == pbPalette) {
            std::uint32_t count = 0;
            if (!SkipChunkSize(stream, FProperties.Version) || !ReadLittleEndian32(stream, count))
                RaiseError(rrTruncated, gesStreamReadError, kFormatName);
            if (count == 0 || count > 256)
                RaiseError(rrPalette, gesInvalidPalette, kFormatName);
            std::vector<std::uint8_t> entries(std::size_t{count} * 4);
            ReadOrFail(stream, entries.data(), static_cast<std::int64_t>(entries.size()), kFormatName);
            SetPalette(converter.CreateColorPalette({entries.data()}, pfInterlaced8Quad, count, true));
        } else if (block.Id == pbLayers && !layerRead) {
            layerRead = ReadLayerBlock(stream, block.End);
        }
        stream.SetPosition(block.End);
    }
    // A file without raster data would pass for a blank picture.
    if (!layerRead)
        RaiseError(rrNoImage, gesInvalidImage, kFormatName);
}

// Walks the layer information sub-blocks up to the first raster layer and
// reads and transfers it; false when the block holds none.
bool TPSPGraphic::ReadLayerBlock(TStream& stream, std::int64_t blockEnd)
{
    const std::uint32_t version = FProperties.Version;
    ProgressStart(gesLoadingData);
    BlockHeader sub;
    while (stream.Position() < blockEnd && ReadBlockHeader(stream, version, sub) && sub.Id == pbLayerInfo) {
        if (version == 3) {
            stream.Seek(kLayerNameSizeV3, soFromCurrent);
        } else {
            std::uint8_t nameLength[2];
            if (!SkipChunkSize(stream, version) || !ReadExactly(stream, nameLength, 2))
                break;
            stream.Seek(rtl::GetLE16(nameLength), soFromCurrent);
        }
        std::uint8_t info[kLayerInfoSize];
        if (!ReadExactly(stream, info, kLayerInfoSize))
            break;
        const bool raster = version == 3 ? info[0] == 0 : info[0] <= 1;
        if (!raster) {
            stream.SetPosition(sub.End);
            continue;
        }
        std::uint8_t counts[4]; // bitmap count, channel count
        ReadOrFail(stream, counts, 4, kFormatName);
        Layer layer;
        ReadChannels(stream, rtl::GetLE16(counts + 2), layer);
        ProgressEnd();
        TransferLayer(layer);
        return true;
    }
    ProgressEnd();
    return false;
}

void TPSPGraphic::ReadChannels(TStream& stream, int channelCount, Layer& layer)
{
    const std::uint32_t version = FProperties.Version;
    const std::uint32_t height = FProperties.Height;
    const bool colour = FProperties.ColorScheme == csRGB;
    layer.RowSize = ChannelRowSize(FProperties.BitsPerSample, FProperties.Width);
    // A fourth channel of a colour layer is its alpha.
    layer.Alpha = colour && channelCount > 3;
    if (layer.Alpha) {
        FConverter->SetSourceColorScheme(csRGBA);
        FConverter->SetSourceSamplesPerPixel(4);
        FConverter->SetTargetColorScheme(csBGRA);
        FConverter->SetTargetSamplesPerPixel(4);
        SetPixelFormat(pf32bit);
        FProperties.HasAlpha = true;
    }
    const int kinds = colour ? pcChannelKinds : 1;
    for (int kind = 0; kind < kinds; ++kind)
        layer.Planes[kind].assign(static_cast<std::size_t>(layer.RowSize * height), 0);

    std::vector<std::uint8_t> packed;
    for (int channel = 0; channel < channelCount; ++channel) {
        BlockHeader sub;
        std::uint8_t fields[12]; // compressed length, uncompressed length, bitmap type, channel type
        if (!ReadBlockHeader(stream, version, sub) || !SkipChunkSize(stream, version) ||
            !ReadExactly(stream, fields, 12))
            RaiseError(rrTruncated, gesStreamReadError, kFormatName);
        const std::uint32_t packedSize = rtl::GetLE32(fields);
        const std::uint32_t unpackedSize = rtl::GetLE32(fields + 4);
        const std::uint16_t kind = rtl::GetLE16(fields + 10);
        if (kind >= kinds) {
            stream.SetPosition(std::max(sub.End, stream.Position() + packedSize));
            continue;
        }
        if (packedSize > stream.Size() - stream.Position())
            RaiseError(rrTruncated, gesStreamReadError, kFormatName);
        packed.resize(packedSize);
        ReadOrFail(stream, packed.data(), packedSize, kFormatName);
        std::vector<std::uint8_t>& plane = layer.Planes[kind];
        const int room = static_cast<int>(std::min<std::uint64_t>(unpackedSize, plane.size()));
        const std::uint8_t* source = packed.data();
        std::uint8_t* dest = plane.data();
        switch (FProperties.Compression) {
        case ctRLE: TPSPRLEDecoder().Decode(source, dest, static_cast<int>(packedSize), room); break;
        case ctLZ77: {
            // One deflate stream per channel, each with a decoder of its own.
            TLZ77Decoder decoder(Z_FINISH, false);
            decoder.DecodeInit();
            decoder.Decode(source, dest, static_cast<int>(packedSize), room);
            decoder.DecodeEnd();
            break;
        }
        default: std::copy_n(packed.data(), std::min<std::int64_t>(packedSize, room), dest); break;
        }
    }
}

void TPSPGraphic::TransferLayer(const Layer& layer)
{
    ProgressStart(gesTransfering);
    const std::uint32_t width = FProperties.Width, height = FProperties.Height;
    const bool colour = FProperties.ColorScheme == csRGB;
    const std::uint8_t* planes[4];
    int planeCount = 1;
    if (colour) {
        planes[0] = layer.Planes[pcRed].data();
        planes[1] = layer.Planes[pcGreen].data();
        planes[2] = layer.Planes[pcBlue].data();
        planes[3] = layer.Planes[pcComposite].data();
        planeCount = layer.Alpha ? 4 : 3;
    } else {
        planes[0] = layer.Planes[pcComposite].data();
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        const void* sources[4];
        for (int p = 0; p < planeCount; ++p)
            sources[p] = planes[p] + y * layer.RowSize;
        FConverter->ConvertRow(sources, planeCount, ScanLine(static_cast<int>(y)), width);
        ProgressRow(y, height);
    }
    ProgressEnd();
}

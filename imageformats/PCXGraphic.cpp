#include "imageformats/PCXGraphic.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imageformats/GraphicCompression.h"
#include "imageformats/GraphicStrings.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TPCXGraphic)

namespace {

const char* const kFormatName = "PCX";
const char* const kInvalidFormatName = "PCX or SCR";

constexpr int kHeaderSize = 128;
constexpr int kTrailerSize = 769; // marker 12 and 256 RGB triples
constexpr std::uint8_t kTrailerMarker = 12;

// The platform's 16 standard colours, for version 3 files (no palette stored).
const std::uint32_t kSystemPalette16[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                            0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                            0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

struct PcxHeader {
    std::uint8_t Manufacturer = 0, Version = 0, Encoding = 0, BitsPerPlane = 0;
    int XMin = 0, YMin = 0, XMax = 0, YMax = 0;
    int XResolution = 0, YResolution = 0;
    std::uint8_t Palette16[48] = {};
    std::uint8_t Planes = 0;
    int BytesPerLine = 0;
    int PaletteInfo = 0;

    static PcxHeader Parse(const std::uint8_t* b)
    {
        PcxHeader h;
        h.Manufacturer = b[0];
        h.Version = b[1];
        h.Encoding = b[2];
        h.BitsPerPlane = b[3];
        h.XMin = rtl::GetLE16(b + 4);
        h.YMin = rtl::GetLE16(b + 6);
        h.XMax = rtl::GetLE16(b + 8);
        h.YMax = rtl::GetLE16(b + 10);
        h.XResolution = rtl::GetLE16(b + 12);
        h.YResolution = rtl::GetLE16(b + 14);
        std::memcpy(h.Palette16, b + 16, sizeof h.Palette16);
        h.Planes = b[65];
        h.BytesPerLine = rtl::GetLE16(b + 66);
        h.PaletteInfo = rtl::GetLE16(b + 68);
        return h;
    }

    bool KnownManufacturer() const { return Manufacturer == 10 || Manufacturer == 205; }
    int Width() const { return XMax - XMin + 1; }
    int Height() const { return YMax - YMin + 1; }
    int BitsPerPixel() const { return BitsPerPlane * Planes; }
    bool TrueColor() const { return BitsPerPlane == 8 && Planes == 3; }
    // Indexed layouts: one plane of 1, 2, 4 or 8 bits, or up to four 1-bit
    // planes whose bits make up the index.
    bool Indexed() const
    {
        return (Planes == 1 && (BitsPerPlane == 1 || BitsPerPlane == 2 || BitsPerPlane == 4 || BitsPerPlane == 8)) ||
            (BitsPerPlane == 1 && Planes >= 2 && Planes <= 4);
    }
};

bool ReadHeader(TStream& stream, PcxHeader& header)
{
    std::uint8_t bytes[kHeaderSize];
    if (stream.Read(bytes, kHeaderSize) != kHeaderSize)
        return false;
    header = PcxHeader::Parse(bytes);
    return true;
}

TPixelFormat TargetFormat(const PcxHeader& h)
{
    if (h.TrueColor())
        return pf24bit;
    switch (h.BitsPerPixel()) {
    case 1: return pf1bit;
    case 8: return pf8bit;
    default: return pf4bit;
    }
}

// The colour index of pixel x from its bits in every plane; plane p gives
// bits p*b.. of the index.
std::uint8_t IndexAt(const std::uint8_t* row, int bytesPerLine, int planes, int bits, int x)
{
    const int bitPosition = x * bits;
    const int shift = 8 - bits - bitPosition % 8;
    const unsigned valueMask = (1u << bits) - 1;
    unsigned index = 0;
    for (int p = 0; p < planes; ++p)
        index |= ((row[p * bytesPerLine + bitPosition / 8] >> shift) & valueMask) << (p * bits);
    return static_cast<std::uint8_t>(index);
}

void StoreIndexRow(const std::uint8_t* row, const PcxHeader& h, int width, int targetBits, std::uint8_t* target)
{
    if (h.Planes == 1 && h.BitsPerPlane == targetBits) {
        std::memcpy(target, row, static_cast<std::size_t>((width * targetBits + 7) / 8));
        return;
    }
    std::memset(target, 0, static_cast<std::size_t>((width * targetBits + 7) / 8));
    for (int x = 0; x < width; ++x) {
        const std::uint8_t index = IndexAt(row, h.BytesPerLine, h.Planes, h.BitsPerPlane, x);
        target[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
    }
}

void StoreColorRow(const std::uint8_t* row, int bytesPerLine, int width, std::uint8_t* target)
{
    const std::uint8_t* red = row;
    const std::uint8_t* green = row + bytesPerLine;
    const std::uint8_t* blue = row + 2 * bytesPerLine;
    for (int x = 0; x < width; ++x) {
        target[3 * x] = blue[x];
        target[3 * x + 1] = green[x];
        target[3 * x + 2] = red[x];
    }
}

TPaletteEntries GreyPalette(int bits)
{
    const int count = 1 << bits;
    TPaletteEntries palette;
    for (int i = 0; i < count; ++i)
        palette.push_back(static_cast<std::uint32_t>(i * 255 / (count - 1)) * 0x010101u);
    return palette;
}

TPaletteEntries TriplePalette(const std::uint8_t* triples, int count)
{
    TPaletteEntries palette;
    for (int i = 0; i < count; ++i)
        palette.push_back(
            static_cast<std::uint32_t>(triples[3 * i] << 16 | triples[3 * i + 1] << 8 | triples[3 * i + 2]));
    return palette;
}

} // namespace

bool TPCXGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    if (stream.Size() - position <= kHeaderSize)
        return false;
    PcxHeader h;
    const bool complete = ReadHeader(stream, h);
    stream.SetPosition(position);
    return complete && h.KnownManufacturer() &&
        (h.Version == 0 || h.Version == 2 || h.Version == 3 || h.Version == 5) && h.Encoding <= 1;
}

bool TPCXGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    PcxHeader h;
    if (!ReadHeader(stream, h) || !h.KnownManufacturer())
        return false;
    FProperties.Version = h.Version;
    FProperties.Width = static_cast<std::uint32_t>(std::max(h.Width(), 0));
    FProperties.Height = static_cast<std::uint32_t>(std::max(h.Height(), 0));
    FProperties.SamplesPerPixel = h.Planes;
    FProperties.BitsPerSample = h.BitsPerPlane;
    FProperties.BitsPerPixel = static_cast<std::uint8_t>(h.BitsPerPixel());
    FProperties.ColorScheme = h.BitsPerPixel() > 8 ? csRGB : csIndexed;
    FProperties.Compression = h.Encoding == 1 ? ctRLE : ctNone;
    FProperties.XResolution = static_cast<float>(h.XResolution);
    FProperties.YResolution = static_cast<float>(h.YResolution);
    return true;
}

void TPCXGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    if (!ReadImageProperties(stream, 0))
        RaiseError(rrHeader, gesInvalidImage, kInvalidFormatName);
    stream.SetPosition(FStartPosition);
    FProgressArea = Rect(0, 0, Width(), 1);
    ProgressStart(gesPreparing);

    PcxHeader h;
    ReadHeader(stream, h);
    if (!h.Indexed() && !h.TrueColor())
        RaiseError(rrColorFormat, gesInvalidColorFormat, kFormatName);
    const int width = h.Width(), height = h.Height();
    if (width <= 0 || height <= 0 || h.BytesPerLine * 8 < width * h.BitsPerPlane)
        RaiseError(rrPictureSize, gesInvalidImage, kInvalidFormatName);

    // The trailing palette of 8-bit files is no image data.
    const std::int64_t dataStart = stream.Position();
    std::int64_t dataSize = stream.Size() - dataStart;
    std::uint8_t trailer[kTrailerSize] = {};
    bool hasTrailer = false;
    if (h.BitsPerPixel() == 8 && dataSize >= kTrailerSize) {
        stream.SetPosition(stream.Size() - kTrailerSize);
        ReadOrFail(stream, trailer, kTrailerSize, kFormatName);
        hasTrailer = trailer[0] == kTrailerMarker;
        if (hasTrailer)
            dataSize -= kTrailerSize;
        stream.SetPosition(dataStart);
    }

    // Before anything is allocated: the rows must fit in the data (a run
    // packet of two bytes gives at most 63 bytes).
    const std::int64_t rowSize = std::int64_t{h.Planes} * h.BytesPerLine;
    const std::int64_t unpackedSize = rowSize * height;
    const std::int64_t leastData = h.Encoding == 1 ? (unpackedSize * 2 + 62) / 63 : unpackedSize;
    if (unpackedSize > 0x7FFFFFFF)
        RaiseError(rrPictureSize, gesInvalidImage, kInvalidFormatName);
    if (dataSize < leastData)
        RaiseError(rrDataTooShort, gesStreamReadError, kFormatName);

    const TPixelFormat format = TargetFormat(h);
    SetupBitmap(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), format, kFormatName);
    const int targetBits = format == pf1bit ? 1 : format == pf4bit ? 4 : 8;
    if (!h.TrueColor()) {
        if (h.Version == 3 && h.BitsPerPixel() > 1) {
            TPaletteEntries palette(std::begin(kSystemPalette16), std::end(kSystemPalette16));
            palette.resize(std::size_t{1} << targetBits, 0);
            SetPalette(palette);
        } else if (h.BitsPerPixel() == 1) {
            // Writers that store no colours leave the two entries alike.
            const bool stored = std::memcmp(h.Palette16, h.Palette16 + 3, 3) != 0;
            SetPalette(stored ? TriplePalette(h.Palette16, 2) : GreyPalette(1));
        } else if (h.BitsPerPixel() < 8) {
            TPaletteEntries palette = h.PaletteInfo == 2 ? GreyPalette(h.BitsPerPixel())
                                                         : TriplePalette(h.Palette16, 16);
            palette.resize(16, 0);
            SetPalette(palette);
        } else if (hasTrailer) {
            SetPalette(TriplePalette(trailer + 1, 256));
        } else if (h.PaletteInfo == 2) {
            SetPalette(GreyPalette(8));
        }
    }
    ProgressEnd();

    std::vector<std::uint8_t> data(static_cast<std::size_t>(dataSize));
    ReadOrFail(stream, data.data(), dataSize, kFormatName);
    std::vector<std::uint8_t> pixels;
    if (h.Encoding == 1) {
        pixels.resize(static_cast<std::size_t>(unpackedSize));
        TPCXRLEDecoder decoder;
        const std::uint8_t* source = data.data();
        std::uint8_t* dest = pixels.data();
        const int written = decoder.Decode(source, dest, static_cast<int>(std::min<std::int64_t>(dataSize, 0x7FFFFFFF)),
                                           static_cast<int>(unpackedSize));
        if (written < unpackedSize)
            RaiseError(rrTruncated, gesStreamReadError, kFormatName);
    } else {
        data.resize(static_cast<std::size_t>(unpackedSize));
        pixels = std::move(data);
    }

    ProgressStart(gesTransfering);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels.data() + rowSize * y;
        if (h.TrueColor())
            StoreColorRow(row, h.BytesPerLine, width, ScanLine(y));
        else
            StoreIndexRow(row, h, width, targetBits, ScanLine(y));
        ProgressRow(static_cast<std::uint32_t>(y), static_cast<std::uint32_t>(height));
    }
    ProgressEnd();
}

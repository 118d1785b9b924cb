#include "imageformats/TargaGraphic.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imageformats/GraphicCompression.h"
#include "imageformats/GraphicStrings.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TTargaGraphic)

namespace {

const char* const kFormatName = "TGA";

struct TargaHeader {
    std::uint8_t IdLength = 0;
    std::uint8_t ColorMapType = 0;
    std::uint8_t ImageType = 0;
    std::uint16_t ColorMapLength = 0;
    std::uint8_t ColorMapEntrySize = 0;
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::uint8_t PixelSize = 0;
    std::uint8_t Descriptor = 0;

    static constexpr int Size = 18;

    static TargaHeader Parse(const std::uint8_t* b)
    {
        TargaHeader h;
        h.IdLength = b[0];
        h.ColorMapType = b[1];
        h.ImageType = b[2];
        h.ColorMapLength = rtl::GetLE16(b + 5);
        h.ColorMapEntrySize = b[7];
        h.Width = rtl::GetLE16(b + 12);
        h.Height = rtl::GetLE16(b + 14);
        h.PixelSize = b[16];
        h.Descriptor = b[17];
        return h;
    }

    bool TopDown() const { return (Descriptor & 0x20) != 0; }
    bool Encoded() const { return ImageType >= 9; }
    bool Grey() const { return ImageType == 3 || ImageType == 11; }
    bool Indexed() const { return ImageType == 1 || ImageType == 9; }
};

bool IsPixelDepth(int depth) { return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32; }
bool IsEntrySize(int size) { return size == 15 || size == 16 || size == 24 || size == 32; }
// 15-bit pixels and entries are stored in two bytes.
int BytesOf(int bits) { return (bits + 7) / 8; }

// Whether the depth fits the image type: colour maps and grey take 8-bit
// pixels, true colour 15 to 32 bits.
bool DepthFitsType(const TargaHeader& h)
{
    if (h.Indexed() || h.Grey())
        return h.PixelSize == 8;
    return h.PixelSize != 8 && IsPixelDepth(h.PixelSize);
}

TargaHeader ReadHeader(TStream& stream)
{
    std::uint8_t bytes[TargaHeader::Size];
    if (stream.Read(bytes, sizeof bytes) != sizeof bytes)
        throw EImageRefused(rrTruncated, Format(gesStreamReadError, kFormatName));
    return TargaHeader::Parse(bytes);
}

} // namespace

bool TTargaGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    std::uint8_t bytes[TargaHeader::Size + 1];
    const bool complete = stream.Read(bytes, sizeof bytes) == static_cast<std::int64_t>(sizeof bytes);
    stream.SetPosition(position);
    if (!complete)
        return false;
    const TargaHeader h = TargaHeader::Parse(bytes);
    return (h.ImageType <= 3 || (h.ImageType >= 9 && h.ImageType <= 11)) && h.ColorMapType <= 1 &&
        IsEntrySize(h.ColorMapEntrySize) && IsPixelDepth(h.PixelSize);
}

bool TTargaGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    const TargaHeader h = ReadHeader(stream);
    FProperties.Width = h.Width;
    FProperties.Height = h.Height;
    FProperties.BitsPerSample = 8;
    switch (h.PixelSize) {
    case 8:
        FProperties.ColorScheme = h.Grey() ? csG : csIndexed;
        FProperties.SamplesPerPixel = 1;
        break;
    case 15:
    case 16:
        FProperties.ColorScheme = csRGB;
        FProperties.BitsPerSample = 5;
        FProperties.SamplesPerPixel = 3;
        break;
    case 24:
        FProperties.ColorScheme = csRGB;
        FProperties.SamplesPerPixel = 3;
        break;
    case 32:
        FProperties.ColorScheme = csRGBA;
        FProperties.SamplesPerPixel = 4;
        FProperties.HasAlpha = true;
        break;
    default:
        FProperties.ColorScheme = csUnknown;
        FProperties.SamplesPerPixel = 1;
        break;
    }
    FProperties.BitsPerPixel = static_cast<std::uint8_t>(FProperties.SamplesPerPixel * FProperties.BitsPerSample);
    FProperties.Compression = h.Encoded() ? ctRLE : ctNone;
    return true;
}

void TTargaGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    ReadImageProperties(stream, 0);
    stream.SetPosition(FStartPosition);
    ProgressStart(gesPreparing);

    const TargaHeader h = ReadHeader(stream);
    const bool knownType = (h.ImageType >= 1 && h.ImageType <= 3) || (h.ImageType >= 9 && h.ImageType <= 11);
    if (!knownType || !DepthFitsType(h) || h.ColorMapType > 1)
        RaiseError(rrHeader, gesInvalidImage, kFormatName);
    std::uint8_t id[256];
    ReadOrFail(stream, id, h.IdLength, kFormatName);

    TColorManager& converter = *FConverter;
    converter.SetSourceSamplesPerPixel(FProperties.SamplesPerPixel);
    converter.SetTargetSamplesPerPixel(FProperties.SamplesPerPixel);
    converter.SetSourceColorScheme(FProperties.ColorScheme);
    converter.SourceOptions = {};
    converter.SetTargetColorScheme(
        FProperties.ColorScheme == csIndexed || FProperties.ColorScheme == csG ? FProperties.ColorScheme : csBGR);
    converter.SetSourceBitsPerSample(FProperties.BitsPerSample);
    converter.SetTargetBitsPerSample(FProperties.BitsPerSample);

    // Before anything is allocated: the rows must fit in what the stream holds
    // (run-length data needs at least one header per 128 pixels).
    const std::int64_t pixels = std::int64_t{h.Width} * h.Height;
    const int pixelBytes = BytesOf(h.PixelSize);
    const std::int64_t mapBytes = h.ColorMapType == 1 ? std::int64_t{h.ColorMapLength} * BytesOf(h.ColorMapEntrySize)
                                                      : 0;
    const std::int64_t leastRowBytes = h.Encoded() ? (pixels + 127) / 128 * (1 + pixelBytes) : pixels * pixelBytes;
    if (stream.Size() - stream.Position() < mapBytes + leastRowBytes)
        RaiseError(rrTruncated, gesStreamReadError, kFormatName);

    SetupBitmap(h.Width, h.Height, converter.GetPixelFormat(1), kFormatName);
    if (h.ColorMapType == 1 || h.Grey())
        ReadColorMap(stream, h.ColorMapType == 1 ? h.ColorMapLength : 0, h.ColorMapEntrySize, !h.Grey() && h.Indexed());
    ProgressEnd();
    ProgressStart(gesTransfering);
    if (h.Encoded())
        ReadEncodedRows(stream, h.PixelSize, h.TopDown());
    else
        ReadRawRows(stream, h.PixelSize, h.TopDown());
    ProgressEnd();
}

// A stored map is always read past (a true-colour file may carry one). The
// palette of an indexed picture has 256 entries, so that every pixel value
// names one; entries the file does not give stay black.
void TTargaGraphic::ReadColorMap(TStream& stream, int mapLength, int entrySize, bool indexed)
{
    TColorManager& converter = *FConverter;
    if (mapLength > 0 && !IsEntrySize(entrySize))
        RaiseError(rrPalette, gesInvalidPalette, kFormatName);
    std::vector<std::uint8_t> map(static_cast<std::size_t>(mapLength) * BytesOf(entrySize));
    ReadOrFail(stream, map.data(), static_cast<std::int64_t>(map.size()), kFormatName);
    if (converter.SourceColorScheme() == csG) {
        SetPalette(converter.CreateGrayscalePalette(false));
        return;
    }
    if (!indexed || mapLength == 0)
        return;
    const int entries = std::min(mapLength, 256);
    TPaletteEntries palette;
    if (entrySize == 24 || entrySize == 32) {
        palette = converter.CreateColorPalette({map.data()}, entrySize == 24 ? pfInterlaced8Triple : pfInterlaced8Quad,
                                               static_cast<std::uint32_t>(entries), true);
    } else {
        for (int i = 0; i < entries; ++i) {
            const unsigned w = rtl::GetLE16(&map[2 * i]);
            palette.push_back((((w >> 10) & 31) << 19) | (((w >> 5) & 31) << 11) | ((w & 31) << 3));
        }
    }
    palette.resize(256, 0);
    SetPalette(palette);
}

void TTargaGraphic::ReadRawRows(TStream& stream, int depth, bool topDown)
{
    const int height = Height();
    const std::int64_t rowBytes = std::int64_t{Width()} * BytesOf(depth);
    for (int r = 0; r < height; ++r) {
        ReadOrFail(stream, ScanLine(topDown ? r : height - 1 - r), rowBytes, kFormatName);
        ProgressRow(static_cast<std::uint32_t>(r), static_cast<std::uint32_t>(height));
    }
}

// Packets may cross row ends; the decoder carries the rest of a packet into
// the next row. The stream is read in blocks and left behind the last byte
// the rows used.
void TTargaGraphic::ReadEncodedRows(TStream& stream, int depth, bool topDown)
{
    constexpr int kBlock = 1 << 16;
    TTargaRLEDecoder decoder(static_cast<std::uint32_t>(depth));
    decoder.DecodeInit();
    std::vector<std::uint8_t> buffer(kBlock);
    int filled = 0;
    int used = 0;
    bool endOfStream = false;
    const int height = Height(), width = Width(), pixelBytes = BytesOf(depth);
    for (int r = 0; r < height; ++r) {
        std::uint8_t* row = ScanLine(topDown ? r : height - 1 - r);
        int done = 0;
        while (done < width) {
            if (used == filled || (filled - used < pixelBytes + 1 && !endOfStream)) {
                std::memmove(buffer.data(), buffer.data() + used, static_cast<std::size_t>(filled - used));
                filled -= used;
                used = 0;
                const std::int64_t got = stream.Read(buffer.data() + filled, kBlock - filled);
                endOfStream = got <= 0;
                filled += static_cast<int>(std::max<std::int64_t>(got, 0));
                if (endOfStream && filled == 0)
                    RaiseError(rrTruncated, gesStreamReadError, kFormatName);
            }
            const std::uint8_t* source = buffer.data() + used;
            std::uint8_t* dest = row + static_cast<std::ptrdiff_t>(done) * pixelBytes;
            const int written = decoder.Decode(source, dest, filled - used, width - done);
            used = static_cast<int>(source - buffer.data());
            done += written;
            if (written == 0 && endOfStream)
                RaiseError(rrTruncated, gesStreamReadError, kFormatName);
        }
        ProgressRow(static_cast<std::uint32_t>(r), static_cast<std::uint32_t>(height));
    }
    decoder.DecodeEnd();
    stream.Seek(used - filled, soFromCurrent);
}

void TTargaGraphic::SaveToStream(TStream& stream) { SaveToStream(stream, true); }

namespace {

// A 5-6-5 row as the 5-5-5 words the format stores.
void Row565To555(const std::uint8_t* source, std::uint8_t* target, int width)
{
    for (int x = 0; x < width; ++x) {
        const unsigned w = rtl::GetLE16(source + 2 * x);
        rtl::PutLE16(target + 2 * x, static_cast<std::uint16_t>(((w >> 11) << 10) | (((w >> 6) & 31) << 5) | (w & 31)));
    }
}

void Put16(std::uint8_t* p, unsigned v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

} // namespace

void TTargaGraphic::SaveToStream(TStream& stream, bool compressed)
{
    FProgressArea = Rect(0, 0, Width(), 1);
    Progress(this, psStarting, 0, false, FProgressArea, gesPreparing);
    TPixelFormat format = PixelFormat();
    if (format == pf1bit || format == pf4bit) {
        SetPixelFormat(pf8bit);
        format = pf8bit;
    }
    int pixelBytes = 3;
    switch (format) {
    case pf8bit: pixelBytes = 1; break;
    case pf15bit:
    case pf16bit: pixelBytes = 2; break;
    case pf32bit: pixelBytes = 4; break;
    default: pixelBytes = BitsPerPixel() == 32 ? 4 : 3; break;
    }
    if (Empty())
        return;

    // Rows are written from the top, so the origin is always the top left.
    std::uint8_t header[TargaHeader::Size] = {};
    header[1] = pixelBytes == 1 ? 1 : 0;
    header[2] = static_cast<std::uint8_t>(pixelBytes == 1 ? (compressed ? 9 : 1) : (compressed ? 10 : 2));
    Put16(header + 5, 256);
    header[7] = 24;
    Put16(header + 12, static_cast<unsigned>(Width()));
    Put16(header + 14, static_cast<unsigned>(Height()));
    header[16] = static_cast<std::uint8_t>(pixelBytes * 8);
    header[17] = 0x20;
    stream.WriteBuffer(header, sizeof header);

    if (pixelBytes == 1) {
        std::uint8_t map[256 * 3] = {};
        const auto& palette = Palette();
        for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
            map[3 * i] = static_cast<std::uint8_t>(palette[i]);
            map[3 * i + 1] = static_cast<std::uint8_t>(palette[i] >> 8);
            map[3 * i + 2] = static_cast<std::uint8_t>(palette[i] >> 16);
        }
        stream.WriteBuffer(map, sizeof map);
    }
    Progress(this, psEnding, 0, false, FProgressArea, "");
    Progress(this, psStarting, 0, false, FProgressArea, gesTransfering);

    const int width = Width();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelBytes;
    std::vector<std::uint8_t> converted(format == pf16bit ? rowBytes : 0);
    std::vector<std::uint8_t> packed(compressed ? static_cast<std::size_t>(width) * (pixelBytes + 1) : 0);
    TTargaRLEDecoder encoder(static_cast<std::uint32_t>(pixelBytes * 8));
    encoder.EncodeInit();
    for (int y = 0; y < Height(); ++y) {
        const std::uint8_t* row = ScanLine(y);
        if (format == pf16bit) {
            Row565To555(row, converted.data(), width);
            row = converted.data();
        }
        if (compressed) {
            std::uint32_t stored = 0;
            encoder.Encode(row, packed.data(), static_cast<std::uint32_t>(width), stored);
            stream.WriteBuffer(packed.data(), stored);
        } else {
            stream.WriteBuffer(row, static_cast<std::int64_t>(rowBytes));
        }
        Progress(this, psRunning, 0, false, FProgressArea, "");
        FProgressArea.Top += 1;
        FProgressArea.Bottom += 1;
    }
    encoder.EncodeEnd();
    Progress(this, psEnding, 0, false, FProgressArea, "");
}

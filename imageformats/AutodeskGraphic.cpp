#include "imageformats/AutodeskGraphic.h"

#include "imageformats/GraphicStrings.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TAutodeskGraphic)

namespace {

const char* const kFormatName = "Autodesk";

constexpr int kHeaderSize = 32;
constexpr int kPaletteSize = 256 * 3;
constexpr int kMagic = 0x9119;

struct AutodeskHeader {
    int Magic = 0, Width = 0, Height = 0;
    std::uint8_t BitsPerPixel = 0, Compression = 0;

    static AutodeskHeader Parse(const std::uint8_t* b)
    {
        return {rtl::GetLE16(b), rtl::GetLE16(b + 2), rtl::GetLE16(b + 4), b[10], b[11]};
    }
    bool Valid() const { return Magic == kMagic && BitsPerPixel == 8 && Compression == 0; }
};

bool ReadHeader(TStream& stream, AutodeskHeader& header)
{
    std::uint8_t bytes[kHeaderSize];
    if (stream.Read(bytes, kHeaderSize) != kHeaderSize)
        return false;
    header = AutodeskHeader::Parse(bytes);
    return true;
}

} // namespace

bool TAutodeskGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    if (stream.Size() - position <= kHeaderSize)
        return false;
    AutodeskHeader h;
    const bool complete = ReadHeader(stream, h);
    stream.SetPosition(position);
    return complete && h.Valid();
}

bool TAutodeskGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    AutodeskHeader h;
    if (!ReadHeader(stream, h) || h.Magic != kMagic)
        return false;
    FProperties.ColorScheme = csIndexed;
    FProperties.Width = static_cast<std::uint32_t>(h.Width);
    FProperties.Height = static_cast<std::uint32_t>(h.Height);
    FProperties.BitsPerSample = 8;
    FProperties.SamplesPerPixel = 1;
    FProperties.BitsPerPixel = 8;
    FProperties.Compression = ctNone;
    return true;
}

void TAutodeskGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    if (!ReadImageProperties(stream, 0))
        RaiseError(rrHeader, gesInvalidImage, kFormatName);
    stream.SetPosition(FStartPosition);
    FProgressArea = Rect(0, 0, static_cast<int>(FProperties.Width), 1);
    ProgressStart(gesTransfering);

    AutodeskHeader h;
    ReadHeader(stream, h);
    if (!h.Valid())
        RaiseError(rrHeader, gesInvalidImage, kFormatName);
    std::uint8_t map[kPaletteSize];
    ReadOrFail(stream, map, kPaletteSize, kFormatName);
    // Before anything is allocated: the rows must be in the stream.
    const std::int64_t width = h.Width, height = h.Height;
    if (stream.Size() - stream.Position() < width * height)
        RaiseError(rrTruncated, gesStreamReadError, kFormatName);
    SetupBitmap(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), pf8bit, kFormatName);

    TPaletteEntries palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back(static_cast<std::uint32_t>((map[3 * i] & 63) << 18 | (map[3 * i + 1] & 63) << 10 |
                                                     (map[3 * i + 2] & 63) << 2));
    SetPalette(palette);
    for (int y = 0; y < height; ++y) {
        ReadOrFail(stream, ScanLine(y), width, kFormatName);
        ProgressRow(static_cast<std::uint32_t>(y), static_cast<std::uint32_t>(height));
    }
    ProgressEnd();
}

#include "imageformats/CUTGraphic.h"

#include <algorithm>
#include <vector>

#include "imageformats/GraphicCompression.h"
#include "imageformats/GraphicStrings.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TCUTGraphic)

namespace {

const char* const kFormatName = "CUT";

constexpr int kHeaderSize = 6;
constexpr int kLeastRowBytes = 3;           // length word and the closing 0
constexpr int kMostPixelsPerTwoBytes = 127; // one run packet

// The palette file: blocks of 512 bytes; the highest index at 12, entries of
// three 16-bit values from 40 on. An entry never starts beyond 506 of a
// block: the rest of the block is skipped.
constexpr int kPaletteBlock = 512;
constexpr int kHighestIndexOffset = 12;
constexpr int kFirstEntryOffset = 40;
constexpr int kLastEntryStart = 506;
constexpr int kEntrySize = 6;

} // namespace

bool TCUTGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    std::uint8_t header[4];
    ReadOrFail(stream, header, sizeof header, kFormatName);
    FProperties.Width = rtl::GetLE16(header);
    FProperties.Height = rtl::GetLE16(header + 2);
    FProperties.ColorScheme = csIndexed;
    FProperties.BitsPerSample = 8;
    FProperties.SamplesPerPixel = 1;
    FProperties.BitsPerPixel = 8;
    FProperties.Compression = ctRLE;
    return true;
}

void TCUTGraphic::LoadFromFile(const std::string& fileName)
{
    paletteFile_ = ChangeFileExt(fileName, ".pal");
    try {
        TFormatGraphic::LoadFromFile(fileName);
    } catch (...) {
        paletteFile_.clear();
        throw;
    }
    paletteFile_.clear();
}

void TCUTGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    ReadImageProperties(stream, 0);
    stream.SetPosition(FStartPosition + kHeaderSize);
    FProgressArea = Rect(0, 0, static_cast<int>(FProperties.Width), 0);
    ProgressStart(gesTransfering);

    const std::uint32_t width = FProperties.Width, height = FProperties.Height;
    const std::int64_t dataSize = stream.Size() - stream.Position();
    // Before anything is allocated: every row takes a few bytes, and two bytes
    // give at most one run of 127 pixels.
    if (dataSize < std::int64_t{height} * kLeastRowBytes ||
        std::int64_t{width} * height > dataSize / 2 * kMostPixelsPerTwoBytes + kMostPixelsPerTwoBytes)
        RaiseError(rrDataTooShort, gesStreamReadError, kFormatName);
    SetupBitmap(width, height, pf8bit, kFormatName);
    LoadPalette();

    std::vector<std::uint8_t> data(static_cast<std::size_t>(dataSize));
    ReadOrFail(stream, data.data(), dataSize, kFormatName);
    TCUTRLEDecoder decoder;
    const std::uint8_t* source = data.data();
    const std::uint8_t* const end = data.data() + data.size();
    for (std::uint32_t y = 0; y < height; ++y) {
        if (source == end)
            RaiseError(rrTruncated, gesStreamReadError, kFormatName);
        std::uint8_t* row = ScanLine(static_cast<int>(y));
        decoder.Decode(source, row, static_cast<int>(end - source), static_cast<int>(width));
        ProgressRow(y, height);
    }
    ProgressEnd();
}

void TCUTGraphic::LoadPalette()
{
    if (paletteFile_.empty() || !FileExists(paletteFile_)) {
        TPaletteEntries ramp;
        for (std::uint32_t i = 0; i < 256; ++i)
            ramp.push_back(i * 0x010101u);
        SetPalette(ramp);
        return;
    }
    TFileStream file(paletteFile_, fmOpenRead | fmShareDenyNone);
    std::vector<std::uint8_t> block(kPaletteBlock);
    auto readBlock = [&]() {
        std::fill(block.begin(), block.end(), 0);
        if (file.Read(block.data(), kPaletteBlock) <= 0)
            RaiseError(rrPalette, gesInvalidPalette, kFormatName);
    };
    readBlock();
    const int highestIndex = rtl::GetLE16(block.data() + kHighestIndexOffset);
    if (highestIndex > 255)
        RaiseError(rrPalette, gesInvalidPalette, kFormatName);
    TPaletteEntries palette;
    int at = kFirstEntryOffset;
    for (int i = 0; i <= highestIndex; ++i) {
        if (at > kLastEntryStart) {
            readBlock();
            at = 0;
        }
        const std::uint8_t* entry = block.data() + at;
        palette.push_back(static_cast<std::uint32_t>(entry[0] << 16 | entry[2] << 8 | entry[4]));
        at += kEntrySize;
    }
    palette.resize(256, 0);
    SetPalette(palette);
}

#include "imageformats/GIFGraphic.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

#include "imageformats/GraphicStrings.h"
#include "imageformats/LZWDecoders.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TGIFGraphic)

namespace {

const char* const kFormatName = "GIF";
constexpr std::uint8_t kImageSeparator = ',';
constexpr std::uint8_t kTrailer = ';';
constexpr std::uint8_t kExtensionIntroducer = 0x21;

bool IsSignature(const std::uint8_t* bytes)
{
    return std::toupper(bytes[0]) == 'G' && std::toupper(bytes[1]) == 'I' && std::toupper(bytes[2]) == 'F';
}

int ReadByte(TStream& stream)
{
    std::uint8_t b;
    return stream.Read(&b, 1) == 1 ? b : -1;
}

// Skips data sub-blocks up to and including the terminating empty one.
// False when the stream ends first.
bool SkipSubBlocks(TStream& stream)
{
    for (;;) {
        const int size = ReadByte(stream);
        if (size < 0)
            return false;
        if (size == 0)
            return true;
        if (stream.Seek(size, soFromCurrent) > stream.Size())
            return false;
    }
}

// Reads forward to the first image separator or trailer and returns it; -1
// when the stream ends first. Every extension's label block and sub-blocks
// are passed over, whatever its label.
int SkipExtensions(TStream& stream)
{
    for (;;) {
        const int b = ReadByte(stream);
        if (b < 0 || b == kImageSeparator || b == kTrailer)
            return b;
        if (b != kExtensionIntroducer)
            continue;
        if (ReadByte(stream) < 0 || !SkipSubBlocks(stream))
            return -1;
    }
}

struct ScreenDescriptor {
    std::uint16_t Width = 0, Height = 0;
    std::uint8_t Flags = 0;
    bool HasGlobalTable() const { return (Flags & 0x80) != 0; }
    int TableEntries() const { return 2 << (Flags & 7); }
};

struct ImageDescriptor {
    std::uint16_t Width = 0, Height = 0;
    std::uint8_t Flags = 0;
    bool HasLocalTable() const { return (Flags & 0x80) != 0; }
    bool Interlaced() const { return (Flags & 0x40) != 0; }
    int TableEntries() const { return 2 << (Flags & 7); }
};

ScreenDescriptor ParseScreen(const std::uint8_t* b) { return {rtl::GetLE16(b), rtl::GetLE16(b + 2), b[4]}; }
ImageDescriptor ParseImage(const std::uint8_t* b) { return {rtl::GetLE16(b + 4), rtl::GetLE16(b + 6), b[8]}; }

// Collects the data of the sub-blocks that follow; the walk stops quietly at
// the end of the stream (what came so far is decoded).
std::vector<std::uint8_t> ReadImageData(TStream& stream)
{
    std::vector<std::uint8_t> data;
    const std::int64_t left = stream.Size() - stream.Position();
    data.reserve(static_cast<std::size_t>(std::max<std::int64_t>(left, 0)));
    std::uint8_t block[255];
    for (;;) {
        const int size = ReadByte(stream);
        if (size <= 0)
            break;
        const std::int64_t got = stream.Read(block, size);
        data.insert(data.end(), block, block + std::max<std::int64_t>(got, 0));
        if (got != size)
            break;
    }
    return data;
}

// The most bytes an LZW stream of `packed` bytes can yield: codes are at
// least 2 bits wide, and each code's string is at most one byte longer than
// the longest before it (and at most 4096 bytes).
std::size_t MostLZWOutput(std::size_t packed)
{
    const std::size_t codes = packed * 4;
    return std::min(codes * 4096, codes * (codes + 1) / 2 + codes);
}

// Rows of `width` bytes stored back to back from `pixels` move to their
// places `stride` bytes apart; the padding behind each row is cleared.
void SpreadRows(std::uint8_t* pixels, std::uint32_t width, std::uint32_t height, std::size_t stride)
{
    if (stride == width)
        return;
    for (std::uint32_t row = height; row-- > 0;) {
        std::uint8_t* to = pixels + row * stride;
        std::memmove(to, pixels + std::size_t{row} * width, width);
        std::memset(to + width, 0, stride - width);
    }
}

// Rows stored in the order of the four interlace passes move to picture
// order: each cycle of the permutation is followed with one row in hand.
void InterlacedToRowOrder(std::uint8_t* pixels, std::uint32_t height, std::size_t stride)
{
    static constexpr std::uint32_t kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    // storedAt[row]: where the picture's row lies now.
    std::vector<std::uint32_t> storedAt(height);
    std::uint32_t stored = 0;
    for (int pass = 0; pass < 4; ++pass)
        for (std::uint32_t row = kStart[pass]; row < height; row += kStep[pass])
            storedAt[row] = stored++;
    std::vector<std::uint8_t> hand(stride);
    std::vector<bool> placed(height, false);
    for (std::uint32_t start = 0; start < height; ++start) {
        if (placed[start] || storedAt[start] == start)
            continue;
        std::memcpy(hand.data(), pixels + start * stride, stride);
        std::uint32_t row = start;
        // Fill `row` from where its data lies, then go on with the place emptied.
        while (storedAt[row] != start) {
            std::memcpy(pixels + row * stride, pixels + storedAt[row] * stride, stride);
            placed[row] = true;
            row = storedAt[row];
        }
        std::memcpy(pixels + row * stride, hand.data(), stride);
        placed[row] = true;
    }
}

TPaletteEntries ReadColorTable(TStream& stream, int entries)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(entries) * 3);
    if (stream.Read(rgb.data(), static_cast<std::int64_t>(rgb.size())) != static_cast<std::int64_t>(rgb.size()))
        throw EImageRefused(rrTruncated, Format(gesStreamReadError, kFormatName));
    TPaletteEntries palette(static_cast<std::size_t>(entries));
    for (int i = 0; i < entries; ++i)
        palette[i] = std::uint32_t{rgb[3 * i]} << 16 | std::uint32_t{rgb[3 * i + 1]} << 8 | rgb[3 * i + 2];
    return palette;
}

} // namespace

bool TGIFGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    std::uint8_t bytes[3];
    const bool ok = stream.Size() - position >= 23 && stream.Read(bytes, 3) == 3 && IsSignature(bytes);
    stream.SetPosition(position);
    return ok;
}

bool TGIFGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    std::uint8_t header[13];
    if (stream.Read(header, sizeof header) != sizeof header || !IsSignature(header))
        return false;
    TImageProperties& p = FProperties;
    p.Version = static_cast<std::uint32_t>(
        std::isdigit(header[3]) && std::isdigit(header[4]) ? (header[3] - '0') * 10 + (header[4] - '0') : 0);
    p.ColorScheme = csIndexed;
    p.SamplesPerPixel = 1;
    p.BitsPerSample = 8;
    p.Compression = ctLZW;
    const ScreenDescriptor screen = ParseScreen(header + 6);
    p.Width = screen.Width;
    p.Height = screen.Height;
    if (screen.HasGlobalTable()) {
        p.BitsPerSample = static_cast<std::uint8_t>((screen.Flags & 7) + 1);
        stream.Seek(std::int64_t{screen.TableEntries()} * 3, soFromCurrent);
    }
    std::uint8_t descriptor[9];
    if (SkipExtensions(stream) == kImageSeparator && stream.Read(descriptor, 9) == 9) {
        const ImageDescriptor image = ParseImage(descriptor);
        if (image.Width != 0)
            p.Width = image.Width;
        if (image.Height != 0)
            p.Height = image.Height;
        p.LocalColorTable = image.HasLocalTable();
        if (image.HasLocalTable())
            p.BitsPerSample = static_cast<std::uint8_t>((image.Flags & 7) + 1);
        p.Interlaced = image.Interlaced();
    }
    p.BitsPerPixel = static_cast<std::uint8_t>(p.SamplesPerPixel * p.BitsPerSample);
    return true;
}

void TGIFGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    if (!ReadImageProperties(stream, 0))
        RaiseError(rrHeader, gesInvalidImage, kFormatName);
    stream.SetPosition(FStartPosition);
    ProgressStart(gesPreparing);

    std::uint8_t header[13];
    ReadOrFail(stream, header, sizeof header, kFormatName);
    const ScreenDescriptor screen = ParseScreen(header + 6);
    TPaletteEntries palette;
    if (screen.HasGlobalTable())
        palette = ReadColorTable(stream, screen.TableEntries());
    const bool haveImage = SkipExtensions(stream) == kImageSeparator;
    ProgressEnd();
    // A file without an image has nothing to show: an empty picture would pass
    // for a loaded one.
    if (!haveImage)
        RaiseError(rrNoImage, gesInvalidImage, kFormatName);

    ProgressStart(gesLoadingData);
    std::uint8_t descriptorBytes[9];
    ReadOrFail(stream, descriptorBytes, sizeof descriptorBytes, kFormatName);
    const ImageDescriptor image = ParseImage(descriptorBytes);
    const std::uint32_t width = FProperties.Width, height = FProperties.Height;
    if (image.HasLocalTable()) {
        // Local entries replace the global ones from the first on; the palette
        // keeps the larger of both tables.
        const TPaletteEntries local = ReadColorTable(stream, image.TableEntries());
        if (palette.size() < local.size())
            palette.resize(local.size());
        std::copy(local.begin(), local.end(), palette.begin());
    }

    const int codeSize = ReadByte(stream);
    // Sizes above 8 would put the clear code past the table of 256 colours
    // (and past the decoder's tables from 12 on).
    if (codeSize < 1 || codeSize > 8)
        RaiseError(rrCodeSize, gesInvalidImage, kFormatName);
    const std::vector<std::uint8_t> data = ReadImageData(stream);
    // A picture the data could never fill is damage, not a reason to allocate.
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    const std::size_t mostPixels = MostLZWOutput(data.size());
    if (pixels > mostPixels)
        RaiseError(rrDataTooShort, gesInvalidImage, kFormatName);
    SetupBitmap(width, height, pf8bit, kFormatName);
    SetPalette(palette);
    // The indices are decoded into the bitmap's own memory, rows back to back
    // (a fresh buffer of that size costs more than the decoding), and then
    // moved to their rows. Rows the data does not reach keep index 0, as the
    // new bitmap has them.
    std::uint8_t* const first = ScanLine(0);
    {
        TGIFLZWDecoder decoder(static_cast<std::uint8_t>(codeSize));
        const std::uint8_t* source = data.data();
        std::uint8_t* dest = first;
        const auto decoded = static_cast<std::size_t>(
            std::max(decoder.Decode(source, dest, static_cast<int>(data.size()), static_cast<int>(pixels)), 0));
        // The decoder may have changed a few bytes behind its output.
        std::fill(first + decoded, first + std::min(pixels, decoded + 16), std::uint8_t{0});
    }
    ProgressEnd();

    ProgressStart(gesTransfering);
    SpreadRows(first, width, height, static_cast<std::size_t>(RowStride()));
    if (image.Interlaced())
        InterlacedToRowOrder(first, height, static_cast<std::size_t>(RowStride()));
    for (std::uint32_t row = 0; row < height; ++row)
        ProgressRow(row, height);
    ProgressEnd();
}

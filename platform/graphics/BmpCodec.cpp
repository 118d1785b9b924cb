#include "platform/graphics/BmpCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

namespace gfx {
namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::uint32_t BI_ALPHABITFIELDS = 6;

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kMaxSide = 1 << 16;
// Compressed pictures may expand a lot; beyond this many pixels per byte of
// input (plus a small allowance) a file is taken for damaged rather than
// allowed to claim memory it does not describe.
constexpr std::int64_t kRlePixelsPerByte = 256;
constexpr std::int64_t kRleAllowance = 1 << 22;

[[noreturn]] void Fail(const std::string& why) { throw EInvalidGraphic("Invalid bitmap: " + why); }

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) { }
    std::size_t Size() const { return size_; }
    const std::uint8_t* At(std::size_t offset, std::size_t count) const
    {
        if (offset > size_ || count > size_ - offset)
            Fail("the file is truncated");
        return data_ + offset;
    }
    std::uint16_t U16(std::size_t offset) const { return rtl::GetLE16(At(offset, 2)); }
    std::uint32_t U32(std::size_t offset) const { return rtl::GetLE32(At(offset, 4)); }
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

struct Header {
    std::size_t Size = 0;
    int Width = 0;
    int Height = 0; // positive
    bool TopDown = false;
    int BitsPerPixel = 0;
    std::uint32_t Compression = BI_RGB;
    std::uint32_t ColorsUsed = 0;
    std::uint32_t Masks[3] = {}; // red, green, blue
    bool HasMasks = false;
    std::size_t PaletteOffset = 0;
    int PaletteEntrySize = 4;
};

Header ParseHeader(const Bytes& in, bool iconImage)
{
    Header h;
    h.Size = in.U32(0);
    std::int64_t height;
    if (h.Size == 12) { // OS/2 core header
        h.Width = in.U16(4);
        height = in.U16(6);
        h.BitsPerPixel = in.U16(10);
        h.PaletteEntrySize = 3;
    } else if (h.Size >= 16 && h.Size <= in.Size()) {
        h.Width = in.I32(4);
        height = in.I32(8);
        h.BitsPerPixel = in.U16(14);
        if (h.Size >= kInfoHeaderSize) {
            h.Compression = in.U32(16);
            h.ColorsUsed = in.U32(32);
        }
    } else {
        Fail("unknown header size");
    }
    if (iconImage)
        height /= 2;
    h.TopDown = height < 0;
    if (height < 0)
        height = -height;
    if (h.Width < 0 || h.Width > kMaxSide || height > kMaxSide)
        Fail("impossible size");
    h.Height = static_cast<int>(height);

    switch (h.BitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: Fail("unsupported depth");
    }
    const std::uint32_t c = h.Compression;
    const bool ok = c == BI_RGB || (c == BI_RLE8 && h.BitsPerPixel == 8) || (c == BI_RLE4 && h.BitsPerPixel == 4) ||
        ((c == BI_BITFIELDS || c == BI_ALPHABITFIELDS) && (h.BitsPerPixel == 16 || h.BitsPerPixel == 32));
    if (!ok)
        Fail("unsupported compression");
    if (h.TopDown && (c == BI_RLE8 || c == BI_RLE4))
        Fail("compressed rows cannot be top-down");

    h.PaletteOffset = h.Size;
    if (c == BI_BITFIELDS || c == BI_ALPHABITFIELDS) {
        // Masks follow a plain info header, or are part of the longer ones.
        const std::size_t at = kInfoHeaderSize;
        for (int i = 0; i < 3; ++i)
            h.Masks[i] = in.U32(at + 4 * i);
        h.HasMasks = true;
        if (h.Size == kInfoHeaderSize)
            h.PaletteOffset += c == BI_ALPHABITFIELDS ? 16 : 12;
    } else if (h.BitsPerPixel == 16) {
        h.Masks[0] = 0x7C00, h.Masks[1] = 0x03E0, h.Masks[2] = 0x001F;
    }
    return h;
}

std::vector<std::uint32_t> ReadPalette(const Bytes& in, const Header& h)
{
    if (h.BitsPerPixel > 8)
        return {};
    const std::uint32_t full = 1u << h.BitsPerPixel;
    const std::uint32_t count = h.ColorsUsed == 0 || h.ColorsUsed > full ? full : h.ColorsUsed;
    const std::uint8_t* p = in.At(h.PaletteOffset, static_cast<std::size_t>(count) * h.PaletteEntrySize);
    std::vector<std::uint32_t> palette(full, 0);
    for (std::uint32_t i = 0; i < count; ++i, p += h.PaletteEntrySize)
        palette[i] = rtl::GetLE24(p);
    return palette;
}

std::size_t PaletteBytes(const Header& h)
{
    if (h.BitsPerPixel > 8)
        return static_cast<std::size_t>(std::min<std::uint32_t>(h.ColorsUsed, 1u << 16)) * h.PaletteEntrySize;
    const std::uint32_t full = 1u << h.BitsPerPixel;
    const std::uint32_t count = h.ColorsUsed == 0 || h.ColorsUsed > full ? full : h.ColorsUsed;
    return static_cast<std::size_t>(count) * h.PaletteEntrySize;
}

// A channel given by a bit mask, scaled to 0..255.
struct Channel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;
    explicit Channel(std::uint32_t mask) : Mask(mask)
    {
        if (mask) {
            Shift = std::countr_zero(mask);
            Bits = std::min(32 - Shift, static_cast<int>(std::bit_width(mask >> Shift)));
        }
    }
    std::uint32_t Of(std::uint32_t v) const
    {
        if (!Mask)
            return 0;
        const std::uint32_t raw = (v & Mask) >> Shift;
        if (Bits >= 8)
            return raw >> (Bits - 8);
        return raw * 255 / ((1u << Bits) - 1);
    }
};

int RowIndex(const Header& h, int fileRow) { return h.TopDown ? fileRow : h.Height - 1 - fileRow; }

TPixelFormat FormatFor(const Header& h, bool& copyRaw)
{
    copyRaw = true;
    switch (h.BitsPerPixel) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    case 16:
        if (h.Masks[0] == 0x7C00 && h.Masks[1] == 0x03E0 && h.Masks[2] == 0x001F)
            return pf15bit;
        if (h.Masks[0] == 0xF800 && h.Masks[1] == 0x07E0 && h.Masks[2] == 0x001F)
            return pf16bit;
        copyRaw = false;
        return pf24bit;
    default:
        copyRaw = !h.HasMasks || (h.Masks[0] == 0xFF0000 && h.Masks[1] == 0xFF00 && h.Masks[2] == 0xFF);
        return pf32bit;
    }
}

void DecodeRows(const Bytes& in, std::size_t offset, const Header& h, TBitmap& bitmap)
{
    const std::size_t stride = static_cast<std::size_t>(BitmapRowStride(h.Width, h.BitsPerPixel));
    in.At(offset, stride * h.Height); // the rows must all be there
    bool copyRaw;
    const TPixelFormat format = FormatFor(h, copyRaw);
    bitmap.SetSize(0, 0);
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(h.Width, h.Height);
    const Channel red(h.Masks[0]), green(h.Masks[1]), blue(h.Masks[2]);
    for (int i = 0; i < h.Height; ++i) {
        const std::uint8_t* src = in.At(offset + stride * i, stride);
        std::uint8_t* dst = bitmap.ScanLine(RowIndex(h, i));
        if (copyRaw) {
            std::memcpy(dst, src, std::min<std::size_t>(stride, bitmap.RowStride()));
            continue;
        }
        const int bytes = h.BitsPerPixel / 8;
        const int outBytes = format == pf32bit ? 4 : 3;
        for (int x = 0; x < h.Width; ++x) {
            const std::uint8_t* stored = src + x * bytes;
            const std::uint32_t v = bytes == 2 ? rtl::GetLE16(stored) : rtl::GetLE32(stored);
            std::uint8_t* p = dst + x * outBytes;
            p[0] = static_cast<std::uint8_t>(blue.Of(v));
            p[1] = static_cast<std::uint8_t>(green.Of(v));
            p[2] = static_cast<std::uint8_t>(red.Of(v));
        }
    }
}

// Run-length decoding into palette indices; what the runs skip stays index 0.
void DecodeRle(const Bytes& in, std::size_t offset, const Header& h, TBitmap& bitmap)
{
    const std::int64_t available = static_cast<std::int64_t>(in.Size() - std::min(in.Size(), offset));
    if (static_cast<std::int64_t>(h.Width) * h.Height > available * kRlePixelsPerByte + kRleAllowance)
        Fail("the compressed data is too short for its size");
    const bool four = h.Compression == BI_RLE4;
    bitmap.SetSize(0, 0);
    bitmap.SetPixelFormat(four ? pf4bit : pf8bit);
    bitmap.SetSize(h.Width, h.Height);
    auto put = [&](int x, int row, int index) {
        if (x < 0 || x >= h.Width || row < 0 || row >= h.Height)
            return;
        std::uint8_t* line = bitmap.ScanLine(h.Height - 1 - row);
        if (four) {
            const int shift = (x & 1) ? 0 : 4;
            line[x >> 1] = static_cast<std::uint8_t>((line[x >> 1] & ~(0xF << shift)) | ((index & 0xF) << shift));
        } else {
            line[x] = static_cast<std::uint8_t>(index);
        }
    };
    std::size_t pos = offset;
    int x = 0, row = 0;
    while (pos + 1 < in.Size() && row < h.Height) {
        const int count = *in.At(pos, 1), value = *in.At(pos + 1, 1);
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < h.Width; ++i, ++x)
                put(x, row, four ? ((i & 1) ? value & 0xF : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++row;
        } else if (value == 1) { // end of picture
            break;
        } else if (value == 2) { // move right and up
            const std::uint8_t* d = in.At(pos, 2);
            pos += 2;
            x += d[0];
            row += d[1];
        } else { // literal pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::uint8_t* p = in.At(pos, bytes);
            for (int i = 0; i < value; ++i, ++x)
                put(x, row, four ? ((i & 1) ? p[i / 2] & 0xF : p[i / 2] >> 4) : p[i]);
            pos += (bytes + 1) & ~std::size_t{1};
        }
    }
}

DibLayout Decode(const Bytes& in, std::optional<std::size_t> pixelOffset, TBitmap& bitmap, bool iconImage)
{
    const Header h = ParseHeader(in, iconImage);
    std::vector<std::uint32_t> palette = ReadPalette(in, h);
    std::size_t offset = h.PaletteOffset + PaletteBytes(h);
    if (pixelOffset && *pixelOffset >= h.Size)
        offset = *pixelOffset;
    if (offset > in.Size())
        Fail("the pixel data lies outside the file");

    DibLayout layout{h.Width, h.Height, offset};
    // 16-bit files may become 24-bit bitmaps.
    const int storedBits = h.BitsPerPixel == 16 ? 24 : h.BitsPerPixel;
    if (static_cast<std::int64_t>(BitmapRowStride(h.Width, storedBits)) * h.Height > kMaxBitmapBytes)
        Fail("the picture is too large");
    if (h.Width == 0 || h.Height == 0) {
        bitmap.SetSize(0, 0);
        return layout;
    }
    if (h.Compression == BI_RLE8 || h.Compression == BI_RLE4) {
        DecodeRle(in, offset, h, bitmap);
        layout.PixelsEnd = in.Size();
    } else {
        DecodeRows(in, offset, h, bitmap);
        layout.PixelsEnd = offset + static_cast<std::size_t>(BitmapRowStride(h.Width, h.BitsPerPixel)) * h.Height;
    }
    if (!palette.empty())
        bitmap.SetPalette(palette);
    return layout;
}

} // namespace

void ReadBmp(TStream& stream, TBitmap& bitmap)
{
    const std::int64_t remaining = stream.Size() - stream.Position();
    if (remaining < kFileHeaderSize + 12)
        Fail("the file is truncated");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(remaining));
    stream.ReadBuffer(bytes.data(), remaining);
    const Bytes file(bytes.data(), bytes.size());
    if (bytes[0] != 'B' || bytes[1] != 'M')
        Fail("no bitmap signature");
    const std::uint32_t pixelOffset = file.U32(10);
    const Bytes dib(bytes.data() + kFileHeaderSize, bytes.size() - kFileHeaderSize);
    std::optional<std::size_t> offset;
    if (pixelOffset >= kFileHeaderSize)
        offset = pixelOffset - kFileHeaderSize;
    Decode(dib, offset, bitmap, false);
}

DibLayout DecodeDib(const std::uint8_t* data, std::size_t size, TBitmap& bitmap, bool iconImage)
{
    if (!data || size < 16)
        Fail("the file is truncated");
    return Decode(Bytes(data, size), std::nullopt, bitmap, iconImage);
}

void WriteBmp(TStream& stream, const TBitmap& bitmap)
{
    const int bpp = bitmap.BitsPerPixel() == 15 ? 16 : bitmap.BitsPerPixel();
    const bool masks = bitmap.BitsPerPixel() == 16;
    const int width = bitmap.Width(), height = bitmap.Height();
    const std::uint32_t stride = static_cast<std::uint32_t>(BitmapRowStride(width, bpp));
    const std::vector<std::uint32_t>& palette = bitmap.Palette();
    const std::uint32_t colors = bpp <= 8 ? static_cast<std::uint32_t>(palette.size()) : 0;
    const std::uint32_t headers = kFileHeaderSize + kInfoHeaderSize + (masks ? 12 : 0) + colors * 4;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height);

    std::vector<std::uint8_t> out;
    out.reserve(headers);
    out.push_back('B');
    out.push_back('M');
    rtl::AppendLE32(out, headers + imageSize);
    rtl::AppendLE32(out, 0);
    rtl::AppendLE32(out, headers);
    rtl::AppendLE32(out, kInfoHeaderSize);
    rtl::AppendLE32(out, static_cast<std::uint32_t>(width));
    rtl::AppendLE32(out, static_cast<std::uint32_t>(height));
    rtl::AppendLE16(out, 1);
    rtl::AppendLE16(out, static_cast<std::uint16_t>(bpp));
    rtl::AppendLE32(out, masks ? BI_BITFIELDS : BI_RGB);
    rtl::AppendLE32(out, imageSize);
    rtl::AppendLE32(out, 3780); // 96 dpi in pixels per metre
    rtl::AppendLE32(out, 3780);
    rtl::AppendLE32(out, colors);
    rtl::AppendLE32(out, 0);
    if (masks) {
        rtl::AppendLE32(out, 0xF800);
        rtl::AppendLE32(out, 0x07E0);
        rtl::AppendLE32(out, 0x001F);
    }
    for (std::uint32_t i = 0; i < colors; ++i)
        rtl::AppendLE32(out, palette[i] & 0xFFFFFF);
    stream.WriteBuffer(out.data(), static_cast<std::int64_t>(out.size()));
    for (int y = height - 1; y >= 0; --y)
        stream.WriteBuffer(bitmap.ScanLine(y), stride);
}

} // namespace gfx

#include "platform/graphics/Surface.h"

#include <cstring>
#include <limits>

#include "platform/rtl/ByteOrder.h"

namespace gfx {
namespace {

std::uint32_t Expand5(std::uint32_t v) { return (v << 3) | (v >> 2); }
std::uint32_t Expand6(std::uint32_t v) { return (v << 2) | (v >> 4); }

std::uint32_t PaletteEntry(const TPixelBuffer& b, int index)
{
    return index < b.PaletteSize && b.Palette ? b.Palette[index] & 0xFFFFFF : 0;
}

std::uint16_t Pack16(std::uint32_t rgb, int bitsPerPixel)
{
    const std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    if (bitsPerPixel == 15)
        return static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

std::uint32_t Unpack16(std::uint16_t v, int bitsPerPixel)
{
    if (bitsPerPixel == 15)
        return (Expand5((v >> 10) & 31) << 16) | (Expand5((v >> 5) & 31) << 8) | Expand5(v & 31);
    return (Expand5((v >> 11) & 31) << 16) | (Expand6((v >> 5) & 63) << 8) | Expand5(v & 31);
}

} // namespace

int NearestPaletteIndex(const std::uint32_t* palette, int size, std::uint32_t rgb)
{
    int best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (int i = 0; i < size; ++i) {
        const long dr = static_cast<long>((palette[i] >> 16) & 0xFF) - static_cast<long>((rgb >> 16) & 0xFF);
        const long dg = static_cast<long>((palette[i] >> 8) & 0xFF) - static_cast<long>((rgb >> 8) & 0xFF);
        const long db = static_cast<long>(palette[i] & 0xFF) - static_cast<long>(rgb & 0xFF);
        const long distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0)
                break;
        }
    }
    return best;
}

std::uint32_t ReadPixel(const TPixelBuffer& b, int x, int y)
{
    const std::uint8_t* row = b.Row(y);
    switch (b.BitsPerPixel) {
    case 1: return PaletteEntry(b, (row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return PaletteEntry(b, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
    case 8: return PaletteEntry(b, row[x]);
    case 15:
    case 16: return Unpack16(rtl::GetLE16(row + 2 * x), b.BitsPerPixel);
    case 24: return rtl::GetLE24(row + 3 * x);
    default: return rtl::GetLE32(row + 4 * x) & 0xFFFFFF; // one load; the fourth byte is not colour
    }
}

void WriteIndex(const TPixelBuffer& b, int x, int y, int index)
{
    std::uint8_t* row = b.Row(y);
    if (b.BitsPerPixel == 1) {
        const int bit = 7 - (x & 7);
        row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(1 << bit)) | ((index & 1) << bit));
    } else if (b.BitsPerPixel == 4) {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & ~(15 << shift)) | ((index & 15) << shift));
    } else {
        row[x] = static_cast<std::uint8_t>(index);
    }
}

void WritePixel(const TPixelBuffer& b, int x, int y, std::uint32_t rgb)
{
    std::uint8_t* row = b.Row(y);
    switch (b.BitsPerPixel) {
    case 1:
    case 4:
    case 8: WriteIndex(b, x, y, NearestPaletteIndex(b.Palette, b.PaletteSize, rgb)); break;
    case 15:
    case 16: rtl::PutLE16(row + 2 * x, Pack16(rgb, b.BitsPerPixel)); break;
    case 24: rtl::PutLE24(row + 3 * x, rgb); break;
    // The fourth byte is left as it is: some callers keep data there.
    default: rtl::PutLE24(row + 4 * x, rgb); break;
    }
}

void ReadRow(const TPixelBuffer& b, int x, int y, int count, std::uint32_t* out)
{
    const std::uint8_t* row = b.Row(y);
    if (b.BitsPerPixel == 32) {
        std::memcpy(out, row + 4 * x, 4 * static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            out[i] &= 0xFFFFFF;
    } else if (b.BitsPerPixel == 24) {
        const std::uint8_t* p = row + 3 * x;
        for (int i = 0; i < count; ++i, p += 3)
            out[i] = rtl::GetLE24(p);
    } else {
        for (int i = 0; i < count; ++i)
            out[i] = ReadPixel(b, x + i, y);
    }
}

void WriteRow(const TPixelBuffer& b, int x, int y, int count, const std::uint32_t* in)
{
    std::uint8_t* row = b.Row(y);
    if (b.BitsPerPixel == 24) {
        std::uint8_t* p = row + 3 * x;
        for (int i = 0; i < count; ++i, p += 3)
            rtl::PutLE24(p, in[i]);
    } else if (b.BitsPerPixel <= 8) {
        // Runs of one colour are common (fills, copies): look each colour up once.
        std::uint32_t lastColor = 0;
        int lastIndex = -1;
        for (int i = 0; i < count; ++i) {
            if (lastIndex < 0 || in[i] != lastColor) {
                lastColor = in[i];
                lastIndex = NearestPaletteIndex(b.Palette, b.PaletteSize, lastColor);
            }
            WriteIndex(b, x + i, y, lastIndex);
        }
    } else {
        for (int i = 0; i < count; ++i)
            WritePixel(b, x + i, y, in[i]);
    }
}

} // namespace gfx

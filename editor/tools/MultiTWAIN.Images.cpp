// The scanner layer's images: reading the header of a bitmap block,
// drawing it and writing it as a BMP file.

#include <cstring>
#include <fstream>

#include "editor/tools/MultiTWAIN.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/ui/CommonDialogs.h"

namespace {

std::uint32_t Get32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

std::uint16_t Get16(const std::uint8_t* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// The header's field by name.
int HeaderSize(const std::uint8_t* h) { return static_cast<int>(Get32(h)); }
int BitCount(const std::uint8_t* h) { return HeaderSize(h) == 12 ? Get16(h + 10) : Get16(h + 14); }

// Locks the block for one access.
class TLockedDib {
public:
    explicit TLockedDib(HGLOBAL dib) : dib_(dib), bytes_(static_cast<const std::uint8_t*>(ui::GlobalLock(dib))) { }
    ~TLockedDib()
    {
        if (bytes_)
            ui::GlobalUnlock(dib_);
    }
    const std::uint8_t* Bytes() const { return bytes_; }
    std::size_t Size() const { return bytes_ ? ui::GlobalSize(dib_) : 0; }

private:
    HGLOBAL dib_;
    const std::uint8_t* bytes_;
};

// A 40-byte header fits the block with its colours and rows.
bool Plausible(const TLockedDib& dib)
{
    const std::uint8_t* h = dib.Bytes();
    if (!h || dib.Size() < 40 || HeaderSize(h) != 40)
        return false;
    const auto width = static_cast<std::int32_t>(Get32(h + 4));
    const auto height = static_cast<std::int32_t>(Get32(h + 8));
    const int bits = BitCount(h);
    if (width <= 0 || height == 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return false;
    const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    const std::size_t rows = static_cast<std::size_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
    return 40 + static_cast<std::size_t>(TWAIN_PaletteSizeOf(h)) * 4 + stride * rows <= dib.Size();
}

} // namespace

void TWAIN_ReleaseImageHandle(HGLOBAL dib)
{
    if (dib)
        ui::GlobalFree(dib);
}

int TWAIN_ImageWidthOf(HGLOBAL dib)
{
    const TLockedDib locked(dib);
    return locked.Size() >= 40 ? static_cast<std::int32_t>(Get32(locked.Bytes() + 4)) : 0;
}

int TWAIN_ImageHeightOf(HGLOBAL dib)
{
    const TLockedDib locked(dib);
    return locked.Size() >= 40 ? static_cast<std::int32_t>(Get32(locked.Bytes() + 8)) : 0;
}

int TWAIN_PaletteSizeOf(const std::uint8_t* header)
{
    const int bits = BitCount(header);
    int colours;
    if (HeaderSize(header) == 12)
        colours = bits < 31 ? 1 << bits : 257;
    else if (const std::uint32_t used = Get32(header + 32); used != 0)
        colours = used > 256 ? 257 : static_cast<int>(used);
    else
        colours = bits < 31 ? 1 << bits : 257;
    return colours > 256 ? 0 : colours;
}

const std::uint8_t* TWAIN_PixelBitsOf(const std::uint8_t* header)
{
    return header + HeaderSize(header) + TWAIN_PaletteSizeOf(header) * 4;
}

void TWAIN_PaintImage(TCanvas& canvas, int x, int y, int width, int height, HGLOBAL dib, int sourceX, int sourceY)
{
    const TLockedDib locked(dib);
    if (!Plausible(locked))
        return;
    const std::uint8_t* h = locked.Bytes();
    const int w = static_cast<std::int32_t>(Get32(h + 4));
    const auto rawHeight = static_cast<std::int32_t>(Get32(h + 8));
    const int rows = rawHeight < 0 ? -rawHeight : rawHeight;
    const int bits = BitCount(h);
    TBitmap picture(w, rows,
                    bits == 24       ? pf24bit
                        : bits == 32 ? pf32bit
                        : bits == 8  ? pf8bit
                        : bits == 4  ? pf4bit
                                     : pf1bit);
    const int colours = TWAIN_PaletteSizeOf(h);
    if (colours > 0 && bits <= 8) {
        std::vector<std::uint32_t> palette(static_cast<std::size_t>(colours));
        for (int i = 0; i < colours; ++i) {
            const std::uint8_t* entry = h + 40 + i * 4;
            palette[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(entry[2] << 16 | entry[1] << 8 |
                                                                              entry[0]);
        }
        picture.SetPalette(palette);
    }
    const std::uint8_t* pixels = TWAIN_PixelBitsOf(h);
    const std::size_t stride = ((static_cast<std::size_t>(w) * bits + 31) / 32) * 4;
    const std::size_t copy = std::min<std::size_t>(stride, static_cast<std::size_t>(picture.RowStride()));
    for (int row = 0; row < rows; ++row) {
        // Bottom-up unless the height is negative.
        const int from = rawHeight > 0 ? rows - 1 - row : row;
        std::memcpy(picture.ScanLine(row), pixels + static_cast<std::size_t>(from) * stride, copy);
    }
    picture.PixelsChanged(TRect{0, 0, w, rows});
    canvas.CopyRect(TRect{x, y, x + width, y + height}, picture.Canvas(),
                    TRect{sourceX, sourceY, sourceX + width, sourceY + height});
}

int TWAIN_StoreImageAsBmp(HGLOBAL dib, const std::string& fileName)
{
    std::string name = fileName;
    if (name.empty()) {
        TSaveDialog dialog(nullptr);
        dialog.Filter = "Windows Bitmap (*.bmp)|*.bmp";
        dialog.DefaultExt = "bmp";
        dialog.Options = {ofOverwritePrompt, ofHideReadOnly, ofNoReadOnlyReturn};
        if (!dialog.Execute())
            return -1;
        name = dialog.FileName;
    }
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    if (!file)
        return -2;
    const TLockedDib locked(dib);
    if (!locked.Bytes() || locked.Size() < 40)
        return -3;
    const std::uint8_t* h = locked.Bytes();
    const int bits = BitCount(h);
    int colours = TWAIN_PaletteSizeOf(h);
    if (Get32(h + 32) == 0 && bits <= 8)
        colours = 1 << bits;
    std::uint32_t imageSize = Get32(h + 20);
    if (imageSize == 0) {
        if (Get32(h + 16) != 0)
            return -4; // compressed, without its size
        const auto width = static_cast<std::uint64_t>(Get32(h + 4));
        const auto height = static_cast<std::uint64_t>(
            static_cast<std::int32_t>(Get32(h + 8)) < 0
                ? -static_cast<std::int64_t>(static_cast<std::int32_t>(Get32(h + 8)))
                : Get32(h + 8));
        imageSize = static_cast<std::uint32_t>(((width * bits + 31) / 32) * 4 * height);
    }
    const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(colours);
    const std::uint32_t fileSize = offset + imageSize;
    // The block must hold what the header promises.
    if (fileSize - 14 > locked.Size())
        return -4;
    std::uint8_t fileHeader[14] = {'B', 'M'};
    std::memcpy(fileHeader + 2, &fileSize, 4);
    std::memcpy(fileHeader + 10, &offset, 4);
    file.write(reinterpret_cast<const char*>(fileHeader), 14);
    file.write(reinterpret_cast<const char*>(h), static_cast<std::streamsize>(fileSize - 14));
    file.close();
    return file ? 0 : -4;
}

#include "platform/graphics/Icon.h"

#include <cstdlib>
#include <cstring>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

IMPLEMENT_CLASS(TIcon)
IMPLEMENT_CLASS(TMetafile)

namespace {

constexpr int MaxIconSide = 1024;

[[noreturn]] void Invalid(const std::string& why) { throw EInvalidGraphic("Invalid icon: " + why); }

// Little-endian reads that never leave [0, end).
class IconReader {
public:
    explicit IconReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) { }

    bool Has(size_t offset, size_t count, size_t end) const
    {
        return end <= bytes_.size() && offset <= end && count <= end - offset;
    }
    bool Has(size_t offset, size_t count) const { return Has(offset, count, bytes_.size()); }
    void Require(size_t offset, size_t count, size_t end) const
    {
        if (!Has(offset, count, end))
            Invalid("the data is truncated");
    }
    std::uint8_t U8(size_t offset) const
    {
        Require(offset, 1, bytes_.size());
        return bytes_[offset];
    }
    std::uint16_t U16(size_t offset) const
    {
        Require(offset, 2, bytes_.size());
        return rtl::GetLE16(&bytes_[offset]);
    }
    std::uint32_t U32(size_t offset) const
    {
        Require(offset, 4, bytes_.size());
        return rtl::GetLE32(&bytes_[offset]);
    }
    std::int32_t I32(size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    const std::uint8_t* At(size_t offset) const { return bytes_.data() + offset; }

private:
    const std::vector<std::uint8_t>& bytes_;
};

struct IconEntry {
    size_t Offset = 0;
    size_t End = 0;
    bool Png = false;
    int Width = 0;
    int Height = 0;
    int Bits = 0;
};

bool IsPng(const IconReader& in, size_t offset, size_t end)
{
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return in.Has(offset, 8, end) && std::memcmp(in.At(offset), signature, 8) == 0;
}

std::vector<IconEntry> ReadDirectory(const IconReader& in)
{
    if (in.U16(0) != 0 || in.U16(2) != 1)
        Invalid("not an icon file");
    const int count = in.U16(4);
    if (count == 0)
        Invalid("the file holds no image");
    std::vector<IconEntry> entries;
    for (int i = 0; i < count; ++i) {
        const size_t record = 6 + 16 * static_cast<size_t>(i);
        IconEntry entry;
        const size_t size = in.U32(record + 8);
        entry.Offset = in.U32(record + 12);
        if (!in.Has(entry.Offset, size))
            Invalid("an image lies outside the file");
        entry.End = entry.Offset + size;
        entry.Png = IsPng(in, entry.Offset, entry.End);
        if (entry.Png) {
            entry.Width = in.U8(record) ? in.U8(record) : 256;
            entry.Height = in.U8(record + 1) ? in.U8(record + 1) : 256;
        } else {
            in.Require(entry.Offset, 40, entry.End);
            entry.Width = in.I32(entry.Offset + 4);
            entry.Height = in.I32(entry.Offset + 8) / 2;
            entry.Bits = in.U16(entry.Offset + 14);
        }
        entries.push_back(entry);
    }
    return entries;
}

// The image nearest the requested size; more colours win among equals.
const IconEntry& ChooseEntry(const std::vector<IconEntry>& entries, int width, int height)
{
    const IconEntry* best = nullptr;
    long bestDistance = 0;
    for (const IconEntry& entry : entries) {
        if (entry.Png)
            continue;
        const long distance = std::labs(static_cast<long>(entry.Width) - width) +
            std::labs(static_cast<long>(entry.Height) - height);
        if (!best || distance < bestDistance || (distance == bestDistance && entry.Bits > best->Bits)) {
            best = &entry;
            bestDistance = distance;
        }
    }
    if (!best)
        Invalid("images stored as PNG are not supported");
    return *best;
}

struct DibLayout {
    int Width = 0;
    int Height = 0;
    int Bits = 0;
    size_t Palette = 0;
    int PaletteCount = 0;
    size_t Pixels = 0;
    size_t PixelStride = 0;
    size_t Mask = 0;
    size_t MaskStride = 0;
    bool HasMask = false;
};

DibLayout ReadLayout(const IconReader& in, const IconEntry& entry)
{
    const size_t header = entry.Offset;
    in.Require(header, 40, entry.End);
    DibLayout dib;
    const std::uint32_t headerSize = in.U32(header);
    dib.Width = in.I32(header + 4);
    const std::int32_t totalHeight = in.I32(header + 8);
    dib.Bits = in.U16(header + 14);
    const std::uint32_t compression = in.U32(header + 16);
    const std::uint32_t colorsUsed = in.U32(header + 32);
    if (headerSize < 40 || !in.Has(header, headerSize, entry.End))
        Invalid("bad image header");
    if (dib.Width < 1 || dib.Width > MaxIconSide || totalHeight < 2 || totalHeight / 2 > MaxIconSide)
        Invalid("bad image size");
    dib.Height = totalHeight / 2;
    if (dib.Bits != 1 && dib.Bits != 4 && dib.Bits != 8 && dib.Bits != 24 && dib.Bits != 32)
        Invalid("unsupported colour depth");
    if (compression != 0)
        Invalid("compressed images are not supported");
    if (dib.Bits <= 8) {
        const std::uint32_t full = 1u << dib.Bits;
        dib.PaletteCount = static_cast<int>(colorsUsed != 0 && colorsUsed < full ? colorsUsed : full);
    }
    dib.Palette = header + headerSize;
    in.Require(dib.Palette, 4 * static_cast<size_t>(dib.PaletteCount), entry.End);
    dib.Pixels = dib.Palette + 4 * static_cast<size_t>(dib.PaletteCount);
    dib.PixelStride = (static_cast<size_t>(dib.Width) * dib.Bits + 31) / 32 * 4;
    in.Require(dib.Pixels, dib.PixelStride * dib.Height, entry.End);
    dib.Mask = dib.Pixels + dib.PixelStride * dib.Height;
    dib.MaskStride = (static_cast<size_t>(dib.Width) + 31) / 32 * 4;
    dib.HasMask = in.Has(dib.Mask, dib.MaskStride * dib.Height, entry.End);
    if (!dib.HasMask && dib.Bits != 32)
        Invalid("the AND mask is missing");
    return dib;
}

// 0x00RRGGBB of pixel x in a stored row; indexes beyond the palette are black.
std::uint32_t PixelColor(const IconReader& in, const DibLayout& dib, const std::uint8_t* row, int x)
{
    if (dib.Bits >= 24) {
        return rtl::GetLE24(row + static_cast<size_t>(x) * (dib.Bits / 8));
    }
    const int perByte = 8 / dib.Bits;
    const int shift = (perByte - 1 - x % perByte) * dib.Bits;
    const int index = (row[x / perByte] >> shift) & ((1 << dib.Bits) - 1);
    if (index >= dib.PaletteCount)
        return 0;
    return rtl::GetLE24(in.At(dib.Palette + 4 * static_cast<size_t>(index)));
}

bool HasAlpha(const IconReader& in, const DibLayout& dib)
{
    if (dib.Bits != 32)
        return false;
    for (int y = 0; y < dib.Height; ++y) {
        const std::uint8_t* row = in.At(dib.Pixels + dib.PixelStride * y);
        for (int x = 0; x < dib.Width; ++x)
            if (row[4 * x + 3] != 0)
                return true;
    }
    return false;
}

void PutPixel(TBitmap& bitmap, int x, int y, std::uint32_t rgb) { rtl::PutLE24(bitmap.ScanLine(y) + 3 * x, rgb); }

} // namespace

TIcon::TIcon() { SetTransparent(true); }
TIcon::~TIcon() = default;

void TIcon::Select(const std::vector<std::uint8_t>& bytes)
{
    const IconReader in(bytes);
    const std::vector<IconEntry> entries = ReadDirectory(in);
    const IconEntry& entry = ChooseEntry(entries, requestedWidth_, requestedHeight_);
    const DibLayout dib = ReadLayout(in, entry);
    // Icons with an alpha channel take their transparency from it; the others
    // from the AND mask (a set bit lets the background through).
    const bool alpha = HasAlpha(in, dib);
    auto image = std::make_unique<TBitmap>(dib.Width, dib.Height, pf24bit);
    auto mask = std::make_unique<TBitmap>(dib.Width, dib.Height, pf24bit);
    for (int y = 0; y < dib.Height; ++y) {
        const size_t stored = static_cast<size_t>(dib.Height - 1 - y); // rows are stored bottom-up
        const std::uint8_t* row = in.At(dib.Pixels + dib.PixelStride * stored);
        const std::uint8_t* maskRow = dib.HasMask ? in.At(dib.Mask + dib.MaskStride * stored) : nullptr;
        for (int x = 0; x < dib.Width; ++x) {
            const bool transparent = alpha ? row[4 * x + 3] < 128
                                           : maskRow && (maskRow[x / 8] & (0x80 >> (x % 8))) != 0;
            const std::uint32_t color = PixelColor(in, dib, row, x);
            PutPixel(*image, x, y, alpha && transparent ? 0 : color);
            PutPixel(*mask, x, y, transparent ? 0xFFFFFF : 0);
        }
    }
    image_ = std::move(image);
    mask_ = std::move(mask);
}

void TIcon::Assign(const TPersistent* source)
{
    if (const auto* icon = dynamic_cast<const TIcon*>(source)) {
        if (icon == this)
            return;
        requestedWidth_ = icon->requestedWidth_;
        requestedHeight_ = icon->requestedHeight_;
        if (icon->bytes_.empty()) {
            image_.reset();
            mask_.reset();
        } else {
            Select(icon->bytes_);
        }
        bytes_ = icon->bytes_;
        Changed(this);
        return;
    }
    TGraphic::Assign(source);
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect)
{
    if (!image_)
        return;
    const int width = image_->Width();
    const int height = image_->Height();
    // The mask must stay black and white, so no averaging when scaled.
    const int stretchMode = gfx::SetStretchBltMode(canvas, COLORONCOLOR);
    gfx::StretchBlt(canvas, rect.Left, rect.Top, rect.Width(), rect.Height(), &mask_->Canvas(), 0, 0, width, height,
                    SRCAND);
    gfx::StretchBlt(canvas, rect.Left, rect.Top, rect.Width(), rect.Height(), &image_->Canvas(), 0, 0, width, height,
                    SRCINVERT);
    gfx::SetStretchBltMode(canvas, stretchMode);
}

int TIcon::Width() const { return image_ ? image_->Width() : 0; }
int TIcon::Height() const { return image_ ? image_->Height() : 0; }

void TIcon::SetSize(int width, int height)
{
    if (width == requestedWidth_ && height == requestedHeight_)
        return;
    requestedWidth_ = width;
    requestedHeight_ = height;
    if (bytes_.empty())
        return;
    Select(bytes_);
    Changed(this);
}

void TIcon::SetWidth(int value) { SetSize(value, requestedHeight_); }
void TIcon::SetHeight(int value) { SetSize(requestedWidth_, value); }

void TIcon::LoadFromStream(TStream& stream)
{
    const std::int64_t size = std::max<std::int64_t>(stream.Size() - stream.Position(), 0);
    std::vector<std::uint8_t> bytes(static_cast<size_t>(size));
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), size);
    Select(bytes);
    bytes_ = std::move(bytes);
    Changed(this);
}

void TIcon::SaveToStream(TStream& stream)
{
    if (!bytes_.empty())
        stream.WriteBuffer(bytes_.data(), static_cast<std::int64_t>(bytes_.size()));
}

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

void TMetafile::Draw(TCanvas&, const TRect&) { }

void TMetafile::LoadFromStream(TStream&) { throw EInvalidGraphic("Metafiles (.wmf, .emf) are not supported"); }

void TMetafile::SaveToStream(TStream&) { }

#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

IMPLEMENT_CLASS(TBitmap)

namespace gfx {

int BitmapRowStride(int width, int bitsPerPixel)
{
    const int bits = bitsPerPixel == 15 ? 16 : bitsPerPixel;
    return static_cast<int>(((static_cast<std::int64_t>(width) * bits + 31) / 32) * 4);
}

} // namespace gfx

namespace {

int BitsOf(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit: return 15;
    case pf16bit: return 16;
    case pf32bit: return 32;
    default: return 24;
    }
}

} // namespace

std::vector<std::uint32_t> TBitmap::DefaultPalette(int bitsPerPixel)
{
    static const std::uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                           0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                           0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    switch (bitsPerPixel) {
    case 1: return {0x000000, 0xFFFFFF};
    case 4: return {std::begin(kVga), std::end(kVga)};
    case 8: {
        // The 16 standard colours, a 6 x 6 x 6 colour cube and a grey ramp.
        std::vector<std::uint32_t> p(std::begin(kVga), std::end(kVga));
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    p.push_back((r * 51u << 16) | (g * 51u << 8) | b * 51u);
        for (int i = 1; p.size() < 256; ++i)
            p.push_back(static_cast<std::uint32_t>(i * 10) * 0x010101u);
        return p;
    }
    default: return {};
    }
}

std::uint8_t* TBitmap::TZeroedAllocator::allocate(std::size_t n)
{
    if (void* p = std::calloc(n, 1))
        return static_cast<std::uint8_t*>(p);
    throw std::bad_alloc();
}

void TBitmap::TZeroedAllocator::deallocate(std::uint8_t* p, std::size_t) noexcept { std::free(p); }

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format)
{
    SetPixelFormat(format);
    SetSize(width, height);
}

TBitmap::~TBitmap() = default;

void TBitmap::Reallocate(int width, int height, int bitsPerPixel)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const int stride = gfx::BitmapRowStride(width, bitsPerPixel);
    if (static_cast<std::int64_t>(stride) * height > gfx::kMaxBitmapBytes)
        throw EOutOfMemory("Bitmap of " + std::to_string(width) + " x " + std::to_string(height) + " is too large");
    std::vector<std::uint8_t, TZeroedAllocator> pixels(static_cast<std::size_t>(stride) * height);
    std::vector<std::uint32_t> palette = bitsPerPixel == bitsPerPixel_ && !palette_.empty()
        ? palette_
        : DefaultPalette(bitsPerPixel);
    const TPixelBuffer from = PixelBuffer();
    TPixelBuffer to{
        pixels.data(), stride, width, height, bitsPerPixel, palette.data(), static_cast<int>(palette.size())};
    // Keep what the old pixels and the new size have in common.
    const int keepWidth = std::min(width, width_), keepHeight = std::min(height, height_);
    if (keepWidth > 0 && keepHeight > 0) {
        if (bitsPerPixel == bitsPerPixel_) {
            const std::size_t bytes = static_cast<std::size_t>(gfx::BitmapRowStride(keepWidth, bitsPerPixel));
            for (int y = 0; y < keepHeight; ++y)
                std::memcpy(to.Row(y), from.Row(y), std::min<std::size_t>(bytes, stride));
        } else {
            std::vector<std::uint32_t> row(keepWidth);
            for (int y = 0; y < keepHeight; ++y) {
                gfx::ReadRow(from, 0, y, keepWidth, row.data());
                gfx::WriteRow(to, 0, y, keepWidth, row.data());
            }
        }
    }
    pixels_ = std::move(pixels);
    palette_ = std::move(palette);
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    stride_ = stride;
}

void TBitmap::SetWidth(int value) { SetSize(value, height_); }
void TBitmap::SetHeight(int value) { SetSize(width_, value); }

void TBitmap::SetSize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    Reallocate(width, height, bitsPerPixel_);
    Changed(this);
}

TPixelFormat TBitmap::PixelFormat() const
{
    if (handleType_ == bmDDB)
        return pfDevice;
    switch (bitsPerPixel_) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 15: return pf15bit;
    case 16: return pf16bit;
    case 32: return pf32bit;
    default: return pf24bit;
    }
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == pfCustom)
        throw EInvalidGraphic("A bitmap cannot take a custom pixel format");
    const TBitmapHandleType type = format == pfDevice ? bmDDB : bmDIB;
    const int bits = BitsOf(format);
    if (bits == bitsPerPixel_ && type == handleType_)
        return;
    handleType_ = type;
    if (bits != bitsPerPixel_)
        Reallocate(width_, height_, bits);
    Changed(this);
}

void TBitmap::SetMonochrome(bool value)
{
    if (value != Monochrome())
        SetPixelFormat(value ? pf1bit : pfDevice);
}

void TBitmap::SetHandleType(TBitmapHandleType type)
{
    if (type == handleType_)
        return;
    if (type == bmDDB) {
        SetPixelFormat(pfDevice);
    } else {
        handleType_ = bmDIB;
        Changed(this);
    }
}

std::uint8_t* TBitmap::ScanLine(int y)
{
    if (y < 0 || y >= height_)
        throw EInvalidGraphic("Scan line index out of range");
    return pixels_.data() + static_cast<std::size_t>(y) * stride_;
}

const std::uint8_t* TBitmap::ScanLine(int y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }

void TBitmap::SetPalette(const std::vector<std::uint32_t>& entries)
{
    if (bitsPerPixel_ > 8)
        return;
    palette_ = entries;
    palette_.resize(std::size_t{1} << bitsPerPixel_, 0);
    for (auto& entry : palette_)
        entry &= 0xFFFFFF;
    Changed(this);
}

TCanvas& TBitmap::Canvas()
{
    if (!canvas_)
        canvas_ = std::make_unique<TCanvas>(this);
    return *canvas_;
}

TColor TBitmap::TransparentColor()
{
    if (transparentMode_ == tmFixed)
        return transparentColor_;
    if (Empty())
        return clDefault;
    return gfx::PixelToColor(gfx::ReadPixel(PixelBuffer(), 0, height_ - 1)) | kPaletteRelative;
}

void TBitmap::SetTransparentColor(TColor color)
{
    transparentColor_ = color;
    transparentMode_ = color == clDefault ? tmAuto : tmFixed;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode mode)
{
    if (mode == transparentMode_)
        return;
    transparentMode_ = mode;
    if (mode == tmAuto)
        transparentColor_ = clDefault;
    Changed(this);
}

TPixelBuffer TBitmap::PixelBuffer()
{
    return {pixels_.empty() ? nullptr : pixels_.data(),
            stride_,
            width_,
            height_,
            bitsPerPixel_,
            palette_.empty() ? nullptr : palette_.data(),
            static_cast<int>(palette_.size())};
}

void TBitmap::PixelsChanged(const TRect&) { Changed(this); }

void TBitmap::CopyFrom(const TBitmap& source)
{
    width_ = source.width_;
    height_ = source.height_;
    bitsPerPixel_ = source.bitsPerPixel_;
    stride_ = source.stride_;
    pixels_ = source.pixels_;
    palette_ = source.palette_;
    handleType_ = source.handleType_;
    transparentMode_ = source.transparentMode_;
    transparentColor_ = source.transparentColor_;
}

void TBitmap::Assign(const TPersistent* source)
{
    if (!source) {
        SetSize(0, 0);
        return;
    }
    if (source == this)
        return;
    if (source->InheritsFrom(TBitmap::StaticClass())) {
        const auto& bitmap = static_cast<const TBitmap&>(*source);
        CopyFrom(bitmap);
        SetTransparentQuietly(bitmap.Transparent());
        Changed(this);
        return;
    }
    TGraphic::Assign(source);
}

void TBitmap::AssignTo(TPersistent* dest) const { TGraphic::AssignTo(dest); }

void TBitmap::Draw(TCanvas& canvas, const TRect& rect)
{
    if (Empty())
        return;
    if (Transparent()) {
        gfx::TransparentStretchBlt(canvas, rect, *this, {0, 0, width_, height_}, TransparentColor());
        return;
    }
    gfx::StretchBlt(canvas, rect.Left, rect.Top, rect.Width(), rect.Height(), &Canvas(), 0, 0, width_, height_,
                    canvas.CopyMode);
}

void TBitmap::LoadFromStream(TStream& stream)
{
    gfx::ReadBmp(stream, *this);
    Changed(this);
}

void TBitmap::SaveToStream(TStream& stream) { gfx::WriteBmp(stream, *this); }

void TBitmap::LoadFromResourceName(HMODULE module, const std::string& name)
{
    const auto data = rtl::FindResource(module, RT_BITMAP, name);
    if (!data)
        throw EResNotFound("Resource " + name + " not found");
    if (data->size() >= 2 && (*data)[0] == 'B' && (*data)[1] == 'M') {
        TMemoryStream stream;
        stream.WriteBuffer(data->data(), static_cast<std::int64_t>(data->size()));
        stream.SetPosition(0);
        gfx::ReadBmp(stream, *this);
    } else {
        gfx::DecodeDib(data->data(), data->size(), *this);
    }
    Changed(this);
}

#pragma once
// TBitmap: a device-independent bitmap in memory. Rows are top-down, each
// padded to a multiple of 4 bytes; 24-bit pixels are B,G,R and 32-bit pixels
// B,G,R,X. Pixels of 1, 4 and 8 bits index the palette. A new or enlarged
// bitmap is black.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/Surface.h"
#include "platform/rtl/Resources.h"

class TCanvas;

// pfDevice stands for the screen's depth: 24-bit pixels in a device bitmap.
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

// The palette-relative flag a colour taken from a bitmap carries.
constexpr TColor kPaletteRelative = 0x02000000;

class TBitmap : public TGraphic, public TPixelSurface {
    DECLARE_CLASS(TBitmap, TGraphic)

public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pf24bit);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    void Assign(const TPersistent* source) override;

    void Draw(TCanvas& canvas, const TRect& rect) override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    void SetSize(int width, int height);
    bool Empty() const override { return width_ == 0 || height_ == 0; }

    TPixelFormat PixelFormat() const;
    void SetPixelFormat(TPixelFormat format);
    int BitsPerPixel() const { return bitsPerPixel_; }
    bool Monochrome() const { return bitsPerPixel_ == 1; }
    void SetMonochrome(bool value);
    TBitmapHandleType HandleType() const { return handleType_; }
    void SetHandleType(TBitmapHandleType type);

    // Row y; EInvalidGraphic when y is outside the bitmap.
    std::uint8_t* ScanLine(int y);
    const std::uint8_t* ScanLine(int y) const;
    int RowStride() const { return stride_; }

    // Palette entries as 0x00RRGGBB (1, 4 and 8-bit bitmaps; empty otherwise).
    const std::vector<std::uint32_t>& Palette() const { return palette_; }
    void SetPalette(const std::vector<std::uint32_t>& entries);

    TCanvas& Canvas();

    // tmAuto: the bottom-left pixel's colour (with kPaletteRelative); tmFixed: the set colour.
    TColor TransparentColor();
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // A bitmap resource of the module (a bitmap file or a bare DIB);
    // EResNotFound when the module has none of that name.
    void LoadFromResourceName(HMODULE module, const std::string& name);

    // Surface of the canvas.
    TPixelBuffer PixelBuffer() override;
    void PixelsChanged(const TRect& area) override;

protected:
    void AssignTo(TPersistent* dest) const override;

private:
    void Reallocate(int width, int height, int bitsPerPixel);
    void CopyFrom(const TBitmap& source);
    static std::vector<std::uint32_t> DefaultPalette(int bitsPerPixel);

    int width_ = 0;
    int height_ = 0;
    int bitsPerPixel_ = 24;
    int stride_ = 0;
    // Pixel memory comes zeroed from calloc, which for a large bitmap takes
    // fresh pages the system has cleared already, so a new bitmap is not
    // written twice (once with zeros, then by whoever fills it).
    struct TZeroedAllocator {
        using value_type = std::uint8_t;
        TZeroedAllocator() = default;
        template <class U> struct rebind {
            using other = TZeroedAllocator;
        };
        std::uint8_t* allocate(std::size_t n);
        void deallocate(std::uint8_t* p, std::size_t) noexcept;
        // A new element keeps the zero calloc gave it.
        void construct(std::uint8_t*) noexcept { }
        void construct(std::uint8_t* p, std::uint8_t value) noexcept { *p = value; }
        bool operator==(const TZeroedAllocator&) const { return true; }
    };
    std::vector<std::uint8_t, TZeroedAllocator> pixels_;
    std::vector<std::uint32_t> palette_;
    TBitmapHandleType handleType_ = bmDDB;
    TTransparentMode transparentMode_ = tmAuto;
    TColor transparentColor_ = clDefault;
    std::unique_ptr<TCanvas> canvas_;
};

namespace gfx {
// Bytes per row of a bitmap of that width and depth, padded to 4 bytes.
int BitmapRowStride(int width, int bitsPerPixel);
// Bitmaps needing more pixel memory than this are refused before allocating.
constexpr std::int64_t kMaxBitmapBytes = std::int64_t{1} << 31;
} // namespace gfx

#pragma once
// TIcon: an icon file (.ico) with its images as device-independent bitmaps
// and AND masks. The file's bytes are kept and saved back unchanged; the image
// drawn is the one nearest the requested size (32 x 32 unless set), the one
// with the most colours among equals. Images stored as PNG are not read.
//
// TMetafile: metafiles (.wmf, .emf) are known by extension but not read:
// loading one raises EInvalidGraphic.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/Graphic.h"

class TBitmap;

class TIcon : public TGraphic {
    DECLARE_CLASS(TIcon, TGraphic)

public:
    // The size an icon is drawn at on this desktop, chosen when none is asked.
    static constexpr int DefaultSize = 32;

    TIcon();
    ~TIcon() override;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;

    void Assign(const TPersistent* source) override;

    // Draws the image scaled into rect: pixels under the AND mask stay.
    void Draw(TCanvas& canvas, const TRect& rect) override;
    // The size of the chosen image.
    int Width() const override;
    int Height() const override;
    // Ask for the image nearest another size (also before loading).
    void SetSize(int width, int height);
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    bool Empty() const override { return bytes_.empty(); }

    // A damaged file raises EInvalidGraphic and leaves the icon unchanged.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

    // The chosen image (24-bit, combined with XOR over the masked background)
    // and its mask (24-bit; white = background shows, black = opaque).
    const TBitmap* Image() const { return image_.get(); }
    const TBitmap* Mask() const { return mask_.get(); }

private:
    void Select(const std::vector<std::uint8_t>& bytes);

    std::vector<std::uint8_t> bytes_;
    std::unique_ptr<TBitmap> image_;
    std::unique_ptr<TBitmap> mask_;
    int requestedWidth_ = DefaultSize;
    int requestedHeight_ = DefaultSize;
};

class TMetafile : public TGraphic {
    DECLARE_CLASS(TMetafile, TGraphic)

public:
    TMetafile();
    ~TMetafile() override;

    void Draw(TCanvas& canvas, const TRect& rect) override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int value) override { width_ = value; }
    void SetHeight(int value) override { height_ = value; }
    bool Empty() const override { return true; }
    // Raises EInvalidGraphic: metafiles cannot be read.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

private:
    int width_ = 0;
    int height_ = 0;
};

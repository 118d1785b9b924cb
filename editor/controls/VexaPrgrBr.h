#pragma once

// A progress bar that draws its done part and the part still to go in two
// plain colours, from two given bitmaps, or from two VU-meter bitmaps it
// builds itself: a three-colour gradient in segments of two lines and one
// darker line, a bright copy for one part and a darkened copy for the other.

#include <cstdint>
#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Controls.h"

enum TProgressBitmapStyle : std::uint8_t { pbsNone, pbsBitmap, pbsVUMeter };
enum TProgressBarDirection : std::uint8_t { pbdHorizontal, pbdVertical };

class TVexaProgressBar : public TCustomControl {
    DECLARE_CLASS(TVexaProgressBar, TCustomControl)
public:
    explicit TVexaProgressBar(TComponent* AOwner);
    ~TVexaProgressBar() override;

    // Kept within 0..Max.
    int Position() const { return position_; }
    void SetPosition(int Value);
    // At least 1.
    int Max() const { return max_; }
    void SetMax(int Value);
    // Kept for the forms only: the bar always runs from 0.
    int Min = 0;

    TProgressBitmapStyle Bitmapstyle() const { return bitmapStyle_; }
    // pbsVUMeter builds both meter bitmaps at once.
    void SetBitmapstyle(TProgressBitmapStyle Value);
    TProgressBarDirection Direction() const { return direction_; }
    void SetDirection(TProgressBarDirection Value);
    // Which colour and bitmap take the done part, and which way the meter's
    // gradient runs.
    bool FromLeftTop() const { return fromLeftTop_; }
    void SetFromLeftTop(bool Value);
    TColor ColorFirst() const { return colors_[0]; }
    void SetColorFirst(TColor Value) { SetLook(colors_[0], Value); }
    TColor ColorSecond() const { return colors_[1]; }
    void SetColorSecond(TColor Value) { SetLook(colors_[1], Value); }
    TColor ColorThird() const { return colors_[2]; }
    void SetColorThird(TColor Value) { SetLook(colors_[2], Value); }
    // The ground of the meter bitmaps.
    TColor ColorBackground() const { return colorBackground_; }
    void SetColorBackground(TColor Value) { SetLook(colorBackground_, Value); }
    // The margin in pixels.
    int Border() const { return border_; }
    void SetBorder(int Value) { SetLook(border_, Value); }

    // The part images, owned by the bar. Giving one copies it and turns
    // the bar to pbsBitmap for good.
    TBitmap& BitmapFirst() { return *bitmapFirst_; }
    void SetBitmapFirst(const TBitmap& Value);
    TBitmap& BitmapSecond() { return *bitmapSecond_; }
    void SetBitmapSecond(const TBitmap& Value);

    // The length of the first part in pixels: of the done part from the
    // left, or of the part still to go from the top.
    int FillLength() const;
    // Draws the bar as a paint does onto a canvas of the bar's size.
    void DrawBar(TCanvas& Canvas);

protected:
    void Paint() override;
    void Resize() override;

private:
    template <class T> void SetLook(T& field, T value)
    {
        field = value;
        needsRebuild_ = true;
        Invalidate();
    }
    void BuildMeterBitmap(TBitmap& Bitmap, TColor C1, TColor C2, TColor C3) const;
    void DrawPlain(TCanvas& Canvas, int L, TColor first, TColor second) const;
    void DrawFromBitmaps(TCanvas& Canvas, int L, TBitmap& first, TBitmap& second) const;

    int position_ = 0;
    int max_ = 100;
    TProgressBitmapStyle bitmapStyle_ = pbsNone;
    TProgressBarDirection direction_ = pbdHorizontal;
    bool fromLeftTop_ = true;
    TColor colors_[3] = {0, 0, 0};
    TColor colorBackground_ = 0;
    int border_ = 1;
    std::unique_ptr<TBitmap> bitmapFirst_;
    std::unique_ptr<TBitmap> bitmapSecond_;
    bool needsRebuild_ = false;
};

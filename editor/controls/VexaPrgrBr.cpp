#include "editor/controls/VexaPrgrBr.h"

#include <algorithm>
#include <cmath>

#include "core/BitmapTools.h"

IMPLEMENT_CLASS(TVexaProgressBar)

namespace {

// Rounds to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

// One byte of the meter gradient. Past the middle of an even-length meter
// the fraction passes 1, so the byte is kept within 0..255 rather than
// spilling into its neighbour.
int GradientByte(int from, int to, double t) { return std::clamp(RoundHalfEven((to - from) * t + from), 0, 255); }

TColor GradientColor(TColor from, TColor to, double t)
{
    return RGB(GradientByte(GetRValue(from), GetRValue(to), t), GradientByte(GetGValue(from), GetGValue(to), t),
               GradientByte(GetBValue(from), GetBValue(to), t));
}

} // namespace

TVexaProgressBar::TVexaProgressBar(TComponent* AOwner)
    : TCustomControl(AOwner), bitmapFirst_(std::make_unique<TBitmap>()), bitmapSecond_(std::make_unique<TBitmap>())
{
    SetBounds(Left(), Top(), 150, 16);
}

TVexaProgressBar::~TVexaProgressBar() = default;

void TVexaProgressBar::SetPosition(int Value)
{
    Value = std::clamp(Value, 0, max_);
    if (Value == position_)
        return;
    position_ = Value;
    Invalidate();
}

void TVexaProgressBar::SetMax(int Value)
{
    max_ = std::max(Value, 1);
    position_ = std::min(position_, max_);
    Invalidate();
}

void TVexaProgressBar::SetBitmapstyle(TProgressBitmapStyle Value)
{
    bitmapStyle_ = Value;
    if (Value == pbsVUMeter) {
        BuildMeterBitmap(*bitmapFirst_, colors_[0], colors_[1], colors_[2]);
        BuildMeterBitmap(*bitmapSecond_, BitmapTools::Darken(colors_[0], 150), BitmapTools::Darken(colors_[1], 150),
                         BitmapTools::Darken(colors_[2], 150));
    }
    Invalidate();
}

void TVexaProgressBar::SetDirection(TProgressBarDirection Value) { SetLook(direction_, Value); }

void TVexaProgressBar::SetFromLeftTop(bool Value) { SetLook(fromLeftTop_, Value); }

void TVexaProgressBar::SetBitmapFirst(const TBitmap& Value)
{
    bitmapFirst_->Assign(&Value);
    SetBitmapstyle(pbsBitmap);
}

void TVexaProgressBar::SetBitmapSecond(const TBitmap& Value)
{
    bitmapSecond_->Assign(&Value);
    SetBitmapstyle(pbsBitmap);
}

void TVexaProgressBar::Resize()
{
    TCustomControl::Resize();
    needsRebuild_ = true;
    Invalidate();
}

int TVexaProgressBar::FillLength() const
{
    const double share = static_cast<double>(position_) / max_;
    if (direction_ == pbdHorizontal)
        return RoundHalfEven(share * (Width() - 2 * border_ + 1));
    return RoundHalfEven((1.0 - share) * (Height() - 2 * border_ + 1));
}

void TVexaProgressBar::BuildMeterBitmap(TBitmap& Bitmap, TColor C1, TColor C2, TColor C3) const
{
    if (!fromLeftTop_)
        std::swap(C1, C3);
    const int w = Width();
    const int h = Height();
    const int b = border_;
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(w, h);
    TCanvas& canvas = Bitmap.Canvas();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = colorBackground_;
    canvas.FillRect(Rect(0, 0, w, h));
    const bool horizontal = direction_ == pbdHorizontal;
    const int n = horizontal ? w - 2 * b : h - 2 * b;
    if (n < 1)
        return;
    const int half = (n - 1) / 2;
    int start = 0;
    TColor from = C1;
    TColor to = C2;
    for (int i = 0; i < n; ++i) {
        if (i == half) {
            start = i;
            from = C2;
            to = C3;
        }
        // A meter of one or two lines has no room for a gradient: it shows
        // the colours the segments start with.
        const double t = half > 0 ? static_cast<double>(i - start) / half : (i > start ? 1.0 : 0.0);
        TColor line = GradientColor(from, to, t);
        if (i % 3 == 2)
            line = BitmapTools::Darken(line, 100);
        canvas.Brush.Color = line;
        canvas.FillRect(horizontal ? Rect(b + i, b, b + i + 1, h - b) : Rect(b, b + i, w - b, b + i + 1));
    }
}

void TVexaProgressBar::DrawPlain(TCanvas& Canvas, int L, TColor first, TColor second) const
{
    const int w = Width();
    const int h = Height();
    const int b = border_;
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = first;
    if (direction_ == pbdHorizontal) {
        Canvas.FillRect(Rect(b, b, b + L, h - 2 * b));
        if (L < w) {
            Canvas.Brush.Color = second;
            Canvas.FillRect(Rect(b + L, b, w - 2 * b, h - 2 * b));
        }
        return;
    }
    Canvas.FillRect(Rect(b, b, w - 2 * b, b + L));
    if (L < h) {
        Canvas.Brush.Color = second;
        Canvas.FillRect(Rect(b, b + L, w - 2 * b, h - 2 * b));
    }
}

void TVexaProgressBar::DrawFromBitmaps(TCanvas& Canvas, int L, TBitmap& first, TBitmap& second) const
{
    const int w = Width();
    const int h = Height();
    if (direction_ == pbdHorizontal) {
        if (!first.Empty() && L > 0)
            Canvas.CopyRect(Rect(0, 0, L, h), first.Canvas(), Rect(0, 0, L, h));
        if (L <= w && !second.Empty())
            Canvas.CopyRect(Rect(L, 0, w, h), second.Canvas(), Rect(L, 0, w, h));
        return;
    }
    if (!first.Empty() && L > 0)
        Canvas.CopyRect(Rect(0, 0, w, L), first.Canvas(), Rect(0, 0, w, L));
    if (L < h && !second.Empty())
        Canvas.CopyRect(Rect(0, L, w, h), second.Canvas(), Rect(0, L, w, h));
}

void TVexaProgressBar::DrawBar(TCanvas& Canvas)
{
    if (needsRebuild_) {
        needsRebuild_ = false;
        SetBitmapstyle(bitmapStyle_);
    }
    const int L = FillLength();
    TBitmap& first = fromLeftTop_ ? *bitmapFirst_ : *bitmapSecond_;
    TBitmap& second = fromLeftTop_ ? *bitmapSecond_ : *bitmapFirst_;
    if (bitmapStyle_ == pbsNone)
        DrawPlain(Canvas, L, fromLeftTop_ ? colors_[0] : colors_[1], fromLeftTop_ ? colors_[1] : colors_[0]);
    else
        DrawFromBitmaps(Canvas, L, first, second);
}

void TVexaProgressBar::Paint() { DrawBar(*Canvas()); }

#include "widgets/Gauges.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/Setters.h"

IMPLEMENT_CLASS(TGauge)

namespace {

// The run-time library's out-of-range message.
[[noreturn]] void RaiseOutOfRange(long long Low, long long High)
{
    throw EInvalidOperation("Value must be between " + std::to_string(Low) + " and " + std::to_string(High));
}

} // namespace

void Gauges::PublishProperties()
{
    static const bool published = [] {
        auto integer = [](const char* Name, int (TGauge::*Get)() const, void (TGauge::*Set)(int)) {
            rtl::RegisterPublishedProperty<TGauge>(
                Name, tkInteger, [Get](const TGauge& g) { return TPropValue(int64_t((g.*Get)())); },
                [Set](TGauge& g, const TPropValue& v) { (g.*Set)(static_cast<int>(std::get<int64_t>(v))); });
        };
        integer("MinValue", &TGauge::MinValue, &TGauge::SetMinValue);
        integer("MaxValue", &TGauge::MaxValue, &TGauge::SetMaxValue);
        integer("Progress", &TGauge::Progress, &TGauge::SetProgress);
        return true;
    }();
    (void)published;
}

namespace {

int Round(double Value) { return static_cast<int>(std::lround(Value)); }

} // namespace

void TBltBitmap::MakeLike(TBitmap& Bitmap)
{
    SetSize(Bitmap.Width(), Bitmap.Height());
    Canvas().Brush.Color = clWindowFrame;
    Canvas().Brush.Style = bsSolid;
    Canvas().FillRect(Rect(0, 0, Width(), Height()));
}

TGauge::TGauge(TComponent* AOwner) : TGraphicControl(AOwner)
{
    Gauges::PublishProperties();
    ControlStyle.Include(csFramed).Include(csOpaque);
    SetBounds(0, 0, 100, 100);
}

int TGauge::PercentDone() const
{
    // In 64 bits: a range of file sizes overflows 32-bit products.
    const long long range = static_cast<long long>(maxValue_) - minValue_;
    if (range == 0)
        return 0;
    return static_cast<int>((static_cast<long long>(progress_) - minValue_) * 100 / range);
}

void TGauge::SetKind(TGaugeKind Value)
{
    if (rtl::AssignIfChanged(kind_, Value))
        Invalidate();
}

void TGauge::SetShowText(bool Value)
{
    if (rtl::AssignIfChanged(showText_, Value))
        Invalidate();
}

void TGauge::SetBorderStyle(TBorderStyle Value)
{
    if (rtl::AssignIfChanged(borderStyle_, Value))
        Invalidate();
}

void TGauge::SetForeColor(TColor Value)
{
    if (rtl::AssignIfChanged(foreColor_, Value))
        Invalidate();
}

void TGauge::SetBackColor(TColor Value)
{
    if (rtl::AssignIfChanged(backColor_, Value))
        Invalidate();
}

void TGauge::SetMinValue(int Value)
{
    if (Value == minValue_)
        return;
    const bool loading = ComponentState() & csLoading;
    if (Value > maxValue_ && !loading)
        RaiseOutOfRange(-INT_MAX, static_cast<long long>(maxValue_) - 1);
    minValue_ = Value;
    progress_ = std::max(progress_, Value);
    Invalidate();
}

void TGauge::SetMaxValue(int Value)
{
    if (Value == maxValue_)
        return;
    const bool loading = ComponentState() & csLoading;
    if (Value < minValue_ && !loading)
        RaiseOutOfRange(static_cast<long long>(minValue_) + 1, INT_MAX);
    maxValue_ = Value;
    progress_ = std::min(progress_, Value);
    Invalidate();
}

void TGauge::SetProgress(int Value)
{
    Value = std::max(Value, minValue_);
    Value = std::min(Value, maxValue_);
    if (Value == progress_)
        return;
    const int before = PercentDone();
    progress_ = Value;
    if (PercentDone() != before)
        Invalidate();
}

void TGauge::AddProgress(int Value)
{
    SetProgress(static_cast<int>(std::clamp<long long>(static_cast<long long>(progress_) + Value, INT_MIN, INT_MAX)));
    Invalidate();
}

// ---------------------------------------------------------------------------
// Painting: look and text go through black overlays combined by XOR, so the
// text shows in the inverse of whatever lies under it.

void TGauge::Paint()
{
    TBitmap image(Width(), Height());
    TCanvas& canvas = image.Canvas();
    canvas.Brush.Color = clBlack;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Rect(0, 0, Width(), Height()));
    TRect paintRect = ClientRect();
    if (borderStyle_ == bsSingle)
        paintRect = gfx::InflateRect(paintRect, -1, -1); // the black edge left is the frame

    TBltBitmap overlay;
    overlay.MakeLike(image);
    TCanvas& look = overlay.Canvas();
    look.Brush.Color = clBlack;
    look.FillRect(Rect(0, 0, Width(), Height()));
    DrawLook(look, paintRect);
    canvas.CopyMode = cmSrcInvert;
    canvas.CopyRect(Rect(0, 0, Width(), Height()), look, Rect(0, 0, Width(), Height()));

    if (showText_) {
        TBltBitmap text;
        text.MakeLike(image);
        text.Canvas().Brush.Color = clBlack;
        text.Canvas().FillRect(Rect(0, 0, Width(), Height()));
        PaintText(text.Canvas(), paintRect);
        canvas.CopyRect(Rect(0, 0, Width(), Height()), text.Canvas(), Rect(0, 0, Width(), Height()));
    }
    TCanvas& target = *Canvas();
    target.CopyMode = cmSrcCopy;
    target.CopyRect(ClientRect(), canvas, Rect(0, 0, Width(), Height()));
}

void TGauge::DrawLook(TCanvas& Canvas, const TRect& PaintRect)
{
    Canvas.Brush.Style = bsSolid;
    switch (kind_) {
    case gkText:
        Canvas.Brush.Color = backColor_;
        Canvas.FillRect(PaintRect);
        break;
    case gkHorizontalBar:
    case gkVerticalBar: PaintBar(Canvas, PaintRect); break;
    case gkPie: PaintPie(Canvas, PaintRect); break;
    case gkNeedle: PaintNeedle(Canvas, PaintRect); break;
    }
}

void TGauge::PaintBar(TCanvas& Canvas, const TRect& R)
{
    Canvas.Brush.Color = backColor_;
    Canvas.FillRect(R);
    Canvas.Brush.Color = foreColor_;
    const int w = R.Right - R.Left + 1;
    const int h = R.Bottom - R.Top + 1;
    const int percent = PercentDone();
    if (kind_ == gkHorizontalBar) {
        const int fill = std::min(static_cast<int>(w * percent * 0.01), w);
        if (fill >= 1)
            Canvas.FillRect(Rect(R.Left, R.Top, fill, h));
    } else {
        int fill = static_cast<int>(h * percent * 0.01);
        if (fill >= h)
            fill = h - 1;
        Canvas.FillRect(Rect(R.Left, h - fill, w, h));
    }
}

void TGauge::PaintPie(TCanvas& Canvas, const TRect& R)
{
    const int extra = borderStyle_ == bsSingle ? 1 : 0;
    const int w = R.Right - R.Left + extra;
    const int h = R.Bottom - R.Top + extra;
    Canvas.Brush.Color = Color();
    Canvas.FillRect(R);
    Canvas.Pen.Color = foreColor_;
    Canvas.Pen.Width = 1;
    Canvas.Brush.Color = backColor_;
    Canvas.Ellipse(R.Left, R.Top, w, h);
    const int percent = PercentDone();
    if (percent <= 0)
        return;
    Canvas.Brush.Color = foreColor_;
    const int mx = w / 2;
    const int my = h / 2;
    const double angle = std::numbers::pi * (percent / 50.0 + 0.5);
    Canvas.Pie(R.Left, R.Top, w, h, Round(mx * (1 - std::cos(angle))), Round(my * (1 - std::sin(angle))), mx, 0);
}

void TGauge::PaintNeedle(TCanvas& Canvas, const TRect& R)
{
    const int extra = borderStyle_ == bsSingle ? 1 : 0;
    const int x = R.Left;
    const int w = R.Right - R.Left + extra;
    const int h = R.Bottom - R.Top + extra;
    Canvas.Brush.Color = Color();
    Canvas.FillRect(R);
    Canvas.Pen.Color = foreColor_;
    Canvas.Pen.Width = 1;
    Canvas.Brush.Color = backColor_;
    Canvas.Pie(x, R.Top, w, 2 * h - 1, x + w, R.Bottom - 1, x, R.Bottom - 1);
    Canvas.MoveTo(x, R.Bottom);
    Canvas.LineTo(x + w, R.Bottom);
    const int percent = PercentDone();
    if (percent <= 0)
        return;
    const int mx = Width() / 2;
    const double angle = std::numbers::pi * percent / 100.0;
    Canvas.MoveTo(mx, R.Bottom - 1);
    Canvas.LineTo(Round(mx * (1 - std::cos(angle))), Round((R.Bottom - 1) * (1 - std::sin(angle))));
}

void TGauge::PaintText(TCanvas& Canvas, const TRect& R)
{
    const std::string text = std::to_string(PercentDone()) + "%";
    Canvas.Font.Assign(Font());
    Canvas.Font.SetColor(clWhite);
    Canvas.Brush.Style = bsClear;
    const TSize size = Canvas.TextExtent(text);
    const int x = (R.Width() + 1 - size.cx) / 2;
    const int y = (R.Height() + 1 - size.cy) / 2;
    Canvas.TextRect(R, x, y, text);
}

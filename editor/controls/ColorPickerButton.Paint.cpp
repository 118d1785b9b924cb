// Drawing of the colour picker button and of its popup.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "editor/controls/ColorPickerButton.h"
#include "platform/ui/ExtCtrls.h"

using namespace ColorPickerButton;

namespace {

void Edge(TCanvas& Canvas, TRect R, bool Sunken)
{
    ExtCtrls::Frame3D(Canvas, R, Sunken ? clBtnShadow : clBtnHighlight, Sunken ? clBtnHighlight : clBtnShadow, 1);
}

void FillBox(TCanvas& Canvas, const TRect& R, TColor Color)
{
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = Color;
    Canvas.FillRect(R);
}

// A filled rectangle with a one-pixel outline.
void OutlinedBox(TCanvas& Canvas, const TRect& R, TColor Fill, TColor Outline)
{
    Canvas.Pen.Style = psSolid;
    Canvas.Pen.Mode = pmCopy;
    Canvas.Pen.Width = 1;
    Canvas.Pen.Color = Outline;
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = Fill;
    Canvas.Rectangle(R);
}

TRect Shrunk(const TRect& R, int By) { return Rect(R.Left + By, R.Top + By, R.Right - By, R.Bottom - By); }

std::vector<TPoint> Hexagon(TPoint Centre, double Radius)
{
    std::vector<TPoint> points;
    for (int s = 0; s < 6; ++s) {
        const double angle = (90.0 - 60.0 * s) * std::numbers::pi / 180.0;
        points.push_back({Centre.X + static_cast<int>(std::nearbyint(Radius * std::cos(angle))),
                          Centre.Y + static_cast<int>(std::nearbyint(Radius * std::sin(angle)))});
    }
    return points;
}

} // namespace

// --- the button ---

TRect TColorPickerButton::CaptionRect(TCanvas& Canvas, TPoint& GlyphPos)
{
    std::string caption = Caption();
    TRect text{};
    glyph_->CalcButtonLayout(Canvas, Rect(0, 0, Width() - DropDownWidth, Height()), caption, layout_, margin_, spacing_,
                             false, GlyphPos, text, 0);
    return text;
}

TRect TColorPickerButton::IndicatorRect()
{
    TBitmap measure(1, 1);
    measure.Canvas().Font.Assign(Font());
    TPoint glyphPos;
    const TRect text = CaptionRect(measure.Canvas(), glyphPos);
    if (!Caption().empty()) {
        const int bottom = std::min(text.Bottom + 6, Height() - 2);
        return Rect(text.Left, bottom - 6, text.Right, bottom);
    }
    TRect r = Rect(2, 2, Width() - DropDownWidth - 2 - 2, Height() - 2);
    if (Glyph().Empty())
        return r;
    const int stripWidth = Glyph().Width();
    const int glyphWidth = stripWidth / std::max(NumGlyphs(), 1);
    const int glyphHeight = Glyph().Height();
    switch (layout_) {
    case blGlyphLeft: return Rect(glyphPos.X + stripWidth + 4, glyphPos.Y, r.Right, glyphPos.Y + glyphHeight);
    case blGlyphRight: return Rect(r.Left, glyphPos.Y, glyphPos.X - 4, glyphPos.Y + glyphHeight);
    case blGlyphTop: return Rect(r.Left, glyphPos.Y + glyphHeight + 4, r.Right, r.Bottom);
    case blGlyphBottom: return Rect(r.Left, r.Top, r.Right, glyphPos.Y - 4);
    }
    (void)glyphWidth;
    return r;
}

void TColorPickerButton::PaintFace(TCanvas& Canvas, const TRect& Face)
{
    const bool pressed = state_ == rbsDown || state_ == rbsExclusive;
    if (!transparent_ || !flat_)
        FillBox(Canvas, Face, clBtnFace);
    if (state_ == rbsExclusive)
        for (int y = Face.Top + 1; y < Face.Bottom - 1; ++y)
            for (int x = Face.Left + 1; x < Face.Right - 1; ++x)
                if ((x + y) & 1)
                    Canvas.SetPixels(x, y, clBtnHighlight);
    if (!flat_ || pressed || mouseInControl_)
        Edge(Canvas, Face, pressed);
}

void TColorPickerButton::PaintIndicator(TCanvas& Canvas, const TRect& R)
{
    if (R.Width() <= 0 || R.Height() <= 0)
        return;
    switch (indicatorBorder_) {
    case ibNone: FillBox(Canvas, R, selectionColor_); break;
    case ibFlat: OutlinedBox(Canvas, R, selectionColor_, clBtnShadow); break;
    case ibSunken:
    case ibRaised:
        Edge(Canvas, R, indicatorBorder_ == ibSunken);
        FillBox(Canvas, Shrunk(R, 1), selectionColor_);
        break;
    }
}

void TColorPickerButton::PaintArrow(TCanvas& Canvas)
{
    int x = (Width() - DropDownWidth) + (DropDownWidth + 5) / 2 - 6;
    int y = Height() / 2;
    if (droppedDown_ && arrowPressed_) {
        ++x;
        ++y;
    }
    Canvas.Pen.Mode = pmCopy;
    if (Enabled()) {
        Canvas.Pen.Style = psSolid;
        Canvas.Pen.Color = DropDownArrowColor;
        Canvas.Brush.Color = DropDownArrowColor;
    } else {
        Canvas.Pen.Style = psClear;
        Canvas.Brush.Color = clBtnShadow;
    }
    Canvas.Brush.Style = bsSolid;
    Canvas.Polygon({{x, y}, {x + 6, y}, {x + 3, y + 3}});
}

void TColorPickerButton::Paint()
{
    TCanvas& canvas = *Canvas();
    canvas.Font.Assign(Font());
    PaintFace(canvas, Rect(0, 0, Width() - DropDownWidth, Height()));
    TRect arrowPart = Rect(Width() - DropDownWidth, 0, Width(), Height());
    if (!transparent_ || !flat_)
        FillBox(canvas, arrowPart, clBtnFace);
    if (!flat_ || droppedDown_ || mouseInControl_)
        Edge(canvas, arrowPart, droppedDown_);
    glyph_->Draw(canvas, Rect(0, 0, Width() - DropDownWidth, Height()), Caption(), layout_, margin_, spacing_, false,
                 state_, 0);
    PaintIndicator(canvas, IndicatorRect());
    PaintArrow(canvas);
}

// --- the popup ---

void TColorPopup::DrawCell(TCanvas& Canvas, int Cell)
{
    const TRect r = CellRect(Cell);
    if (r.Width() <= 0)
        return;
    const bool chosen = Cell == chosenCell_;
    const bool hot = Cell == hotCell_;
    FillBox(Canvas, r, chosen && !hot ? clBtnHighlight : clBtnFace);
    if (chosen)
        Edge(Canvas, r, true);
    else if (hot)
        Edge(Canvas, r, (ui::GetShiftState()).Contains(ssLeft));
    const TRect inner = Shrunk(r, margin_ + 1);
    Canvas.Brush.Style = bsClear;
    if (Cell >= 0) {
        const TColor value = Cell < ColorCellCount ? ColorCells[Cell].Value : SystemCellColor(Cell - ColorCellCount);
        OutlinedBox(Canvas, inner, value, 0x808080);
        return;
    }
    const std::string& text = Cell == DefaultCell ? DefaultText() : CustomText();
    if (Cell == DefaultCell) {
        Canvas.Pen.Color = clBtnShadow;
        Canvas.Brush.Style = bsClear;
        Canvas.Rectangle(inner);
    } else {
        const TRect preview = Rect(r.Right - CellSize, r.Top + (r.Height() - CellSize) / 2, r.Right,
                                   r.Top + (r.Height() + CellSize) / 2);
        const TColor comb = CombColor();
        if (comb == clNone) {
            Canvas.Pen.Color = clBtnShadow;
            Canvas.Brush.Style = bsClear;
            Canvas.Rectangle(Shrunk(preview, margin_ + 1));
        } else {
            OutlinedBox(Canvas, Shrunk(preview, margin_ + 1), comb, 0x808080);
        }
    }
    Canvas.Brush.Style = bsClear;
    const TSize size = Canvas.TextExtent(text);
    Canvas.TextOut(r.Left + (r.Width() - size.cx) / 2, r.Top + (r.Height() - size.cy) / 2, text);
}

void TColorPopup::DrawSlider(TCanvas& Canvas)
{
    const TRect slider = SliderRect();
    FillBox(Canvas, Rect(slider.Left, slider.Top - combSize_, slider.Right + 8, slider.Bottom + combSize_), clBtnFace);
    // The scale: white at the top down to black.
    const int span = std::max(slider.Height(), 1);
    for (int y = slider.Top; y < slider.Bottom; ++y) {
        const int level = 255 - (255 * (y - slider.Top)) / span;
        Canvas.Pen.Style = psSolid;
        Canvas.Pen.Color = RGB(level, level, level);
        Canvas.MoveTo(slider.Left + 4, y);
        Canvas.LineTo(slider.Right - 8, y);
    }
    const int at = slider.Top + static_cast<int>(std::nearbyint((1.0 - brightness_) * span));
    Canvas.Pen.Color = clBlack;
    Canvas.Brush.Color = clBlack;
    Canvas.Brush.Style = bsSolid;
    Canvas.Polygon({{slider.Right - 6, at}, {slider.Right, at - 4}, {slider.Right, at + 4}});
}

void TColorPopup::DrawCustomArea(TCanvas& Canvas)
{
    const TPoint centre = CombCentre();
    Canvas.Pen.Style = psClear;
    const auto& combs = ColorCombs();
    for (std::size_t i = 0; i < combs.size(); ++i) {
        Canvas.Brush.Style = bsSolid;
        Canvas.Brush.Color = combs[i].Color;
        const TPoint at{centre.X + combs[i].Position.X, centre.Y + combs[i].Position.Y};
        Canvas.Polygon(Hexagon(at, combSize_ / 2.0));
    }
    const TRect row = GrayRow();
    for (std::size_t i = 0; i < grayCombs_.size(); ++i) {
        const bool big = i == 0 || i + 1 == grayCombs_.size();
        Canvas.Brush.Color = grayCombs_[i].Color;
        const TPoint at{row.Left + grayCombs_[i].Position.X, row.Top + grayCombs_[i].Position.Y};
        Canvas.Polygon(Hexagon(at, big ? combSize_ : combSize_ / 2.0));
    }
    if (customComb_ > 0 && customComb_ <= static_cast<int>(combs.size())) {
        const TColorComb& comb = combs[static_cast<std::size_t>(customComb_ - 1)];
        Canvas.Pen.Style = psSolid;
        Canvas.Pen.Mode = pmXor;
        Canvas.Pen.Width = 2;
        Canvas.Pen.Color = clWhite;
        Canvas.Brush.Style = bsClear;
        Canvas.Polygon(Hexagon({centre.X + comb.Position.X, centre.Y + comb.Position.Y}, combSize_ / 2.0));
        Canvas.Pen.Mode = pmCopy;
        Canvas.Pen.Width = 1;
    }
    DrawSlider(Canvas);
}

void TColorPopup::Paint()
{
    TCanvas& canvas = *Canvas();
    FillBox(canvas, ClientRect(), clBtnFace);
    if (HasDefault())
        DrawCell(canvas, DefaultCell);
    for (int cell = 0; cell < ColorCellCount; ++cell)
        DrawCell(canvas, cell);
    if (showSystemColors_) {
        const int y = systemTop_ + 5 * CellSize - margin_ - 1;
        canvas.Pen.Style = psSolid;
        canvas.Pen.Color = clBtnShadow;
        canvas.MoveTo(0, y);
        canvas.LineTo(Width(), y);
        canvas.Pen.Color = clBtnHighlight;
        canvas.MoveTo(0, y + 1);
        canvas.LineTo(Width(), y + 1);
        for (int cell = ColorCellCount; cell < ColorCellCount + SystemCellCount; ++cell)
            DrawCell(canvas, cell);
    }
    if (HasCustom()) {
        const TRect r = CellRect(CustomCell);
        canvas.Pen.Color = clBtnShadow;
        canvas.MoveTo(r.Left, r.Top - margin_);
        canvas.LineTo(r.Right, r.Top - margin_);
        canvas.Pen.Color = clBtnHighlight;
        canvas.MoveTo(r.Left, r.Top - margin_ + 1);
        canvas.LineTo(r.Right, r.Top - margin_ + 1);
        DrawCell(canvas, CustomCell);
    }
    if (chosenCell_ == CustomCell)
        DrawCustomArea(canvas);
    TRect frame = ClientRect();
    Edge(canvas, frame, false);
}

#include "player/NavigationGlyphs.h"

#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

namespace NavigationGlyphs {
namespace {

constexpr TColor KeyColour = clOlive;

// Colours of one cell: the greyed cell draws everything in one grey over a
// white copy one pixel down and right, the engraved look of disabled buttons.
struct TInk {
    TColor Main;
    TColor Accent;
    TColor Paper;
};

class TGlyphPen {
public:
    TGlyphPen(TCanvas& Canvas, int Left, int Top, const TInk& Ink) : canvas_(Canvas), left_(Left), top_(Top), ink_(Ink)
    { }

    void Solid(std::vector<TPoint> Points, TColor Colour)
    {
        for (TPoint& point : Points)
            point = {point.X + left_, point.Y + top_};
        canvas_.Pen.Color = Colour;
        canvas_.Brush.Color = Colour;
        canvas_.Brush.Style = bsSolid;
        canvas_.Polygon(Points);
    }
    void Box(int X1, int Y1, int X2, int Y2, TColor Colour)
    {
        canvas_.Brush.Color = Colour;
        canvas_.Brush.Style = bsSolid;
        canvas_.FillRect(TRect{left_ + X1, top_ + Y1, left_ + X2, top_ + Y2});
    }
    void Frame(int X1, int Y1, int X2, int Y2, TColor Edge, TColor Fill)
    {
        canvas_.Pen.Color = Edge;
        canvas_.Brush.Color = Fill;
        canvas_.Brush.Style = bsSolid;
        canvas_.Rectangle(left_ + X1, top_ + Y1, left_ + X2, top_ + Y2);
    }
    void Round(int X1, int Y1, int X2, int Y2, TColor Edge, TColor Fill)
    {
        canvas_.Pen.Color = Edge;
        canvas_.Brush.Color = Fill;
        canvas_.Brush.Style = bsSolid;
        canvas_.Ellipse(left_ + X1, top_ + Y1, left_ + X2, top_ + Y2);
    }
    void Line(int X1, int Y1, int X2, int Y2, TColor Colour)
    {
        canvas_.Pen.Color = Colour;
        canvas_.MoveTo(left_ + X1, top_ + Y1);
        canvas_.LineTo(left_ + X2, top_ + Y2);
    }
    const TInk& Ink() const { return ink_; }

private:
    TCanvas& canvas_;
    int left_;
    int top_;
    TInk ink_;
};

void DrawShape(TGlyphPen& Pen, TNavigationGlyph Kind)
{
    const TColor main = Pen.Ink().Main;
    const TColor accent = Pen.Ink().Accent;
    const TColor paper = Pen.Ink().Paper;
    switch (Kind) {
    case TNavigationGlyph::Previous:
        Pen.Box(3, 3, 5, 13, main);
        Pen.Solid({{12, 3}, {12, 12}, {6, 8}}, main);
        break;
    case TNavigationGlyph::Play: Pen.Solid({{5, 2}, {5, 13}, {12, 8}}, accent); break;
    case TNavigationGlyph::Pause:
        Pen.Box(4, 3, 7, 13, main);
        Pen.Box(9, 3, 12, 13, main);
        break;
    case TNavigationGlyph::Next:
        Pen.Solid({{4, 3}, {4, 12}, {10, 8}}, main);
        Pen.Box(11, 3, 13, 13, main);
        break;
    case TNavigationGlyph::Catalog:
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 2; ++column)
                Pen.Frame(2 + column * 6, 2 + row * 6, 8 + column * 6, 8 + row * 6, main, accent);
        break;
    case TNavigationGlyph::Comments:
        Pen.Frame(1, 2, 15, 11, main, paper);
        Pen.Solid({{4, 10}, {4, 14}, {8, 10}}, main);
        Pen.Line(4, 5, 12, 5, main);
        Pen.Line(4, 7, 10, 7, main);
        break;
    case TNavigationGlyph::Delay:
        Pen.Round(1, 1, 15, 15, main, paper);
        Pen.Line(8, 4, 8, 8, main);
        Pen.Line(8, 8, 11, 10, accent);
        break;
    case TNavigationGlyph::Music:
        Pen.Round(2, 10, 7, 14, main, main);
        Pen.Box(6, 2, 7, 12, main);
        Pen.Solid({{7, 2}, {12, 5}, {12, 7}, {7, 4}}, main);
        break;
    case TNavigationGlyph::Sound:
        Pen.Box(2, 6, 5, 10, main);
        Pen.Solid({{5, 6}, {9, 2}, {9, 13}, {5, 9}}, main);
        Pen.Line(11, 6, 11, 10, accent);
        Pen.Line(13, 4, 13, 12, accent);
        break;
    case TNavigationGlyph::Exit:
        Pen.Solid({{3, 2}, {5, 2}, {13, 12}, {11, 12}}, accent);
        Pen.Solid({{11, 2}, {13, 2}, {5, 12}, {3, 12}}, accent);
        break;
    case TNavigationGlyph::Info:
        Pen.Round(1, 1, 15, 15, accent, accent);
        Pen.Box(7, 4, 9, 6, paper);
        Pen.Box(7, 7, 9, 12, paper);
        break;
    }
}

TColor AccentOf(TNavigationGlyph Kind)
{
    switch (Kind) {
    case TNavigationGlyph::Play: return clGreen;
    case TNavigationGlyph::Exit: return clMaroon;
    case TNavigationGlyph::Info: return clNavy;
    default: return clTeal;
    }
}

} // namespace

void Paint(TBitmap& Strip, TNavigationGlyph Kind)
{
    Strip.SetPixelFormat(pf24bit);
    Strip.SetSize(2 * CellSize, CellSize);
    TCanvas& canvas = Strip.Canvas();
    canvas.Brush.Color = KeyColour;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(TRect{0, 0, 2 * CellSize, CellSize});

    TGlyphPen normal(canvas, 0, 0, {clBlack, AccentOf(Kind), clWhite});
    DrawShape(normal, Kind);

    // The greyed cell: a white copy shifted by one pixel under a grey one.
    TGlyphPen highlight(canvas, CellSize + 1, 1, {clWhite, clWhite, clWhite});
    DrawShape(highlight, Kind);
    TGlyphPen grey(canvas, CellSize, 0, {clGray, clGray, clSilver});
    DrawShape(grey, Kind);
}

} // namespace NavigationGlyphs

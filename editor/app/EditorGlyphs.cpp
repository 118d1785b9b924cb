#include "editor/app/EditorGlyphs.h"

#include "core/BitmapTools.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/ui/ImgList.h"

#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <vector>

namespace EditorGlyphs {

void Line(TCanvas& Canvas, TColor Colour, int Width, std::initializer_list<TPoint> Points)
{
    Canvas.Pen.Color = Colour;
    Canvas.Pen.Width = Width;
    auto point = Points.begin();
    Canvas.MoveTo(point->X, point->Y);
    for (++point; point != Points.end(); ++point)
        Canvas.LineTo(point->X, point->Y);
    Canvas.Pen.Width = 1;
}

void Solid(TCanvas& Canvas, TColor Colour, std::vector<TPoint> Points)
{
    Canvas.Pen.Color = Colour;
    Canvas.Brush.Color = Colour;
    Canvas.Brush.Style = bsSolid;
    Canvas.Polygon(Points);
}

namespace {

constexpr TColor KeyColour = clOlive;
constexpr TColor Red = TColor(0x0000D0);
constexpr TColor Green = TColor(0x00A000);

void Tick(TCanvas& Canvas) { Line(Canvas, Green, 3, {{3, 8}, {6, 12}, {13, 3}}); }

void Cross(TCanvas& Canvas)
{
    Line(Canvas, Red, 3, {{4, 4}, {12, 12}});
    Line(Canvas, Red, 3, {{12, 4}, {4, 12}});
}

void Speaker(TCanvas& Canvas, TColor Colour, bool Synchronised)
{
    Solid(Canvas, Colour, {{2, 6}, {5, 6}, {9, 2}, {9, 13}, {5, 9}, {2, 9}});
    Line(Canvas, Colour, 1, {{11, 5}, {12, 7}, {11, 10}});
    if (Synchronised) // a clock hand beside the speaker: the slide waits for the sound
        Line(Canvas, clBlack, 1, {{13, 11}, {13, 14}, {15, 14}});
    else
        Line(Canvas, Colour, 1, {{13, 3}, {15, 7}, {13, 12}});
}

void Letter(TCanvas& Canvas, TColor Colour)
{
    Line(Canvas, Colour, 2, {{2, 14}, {8, 2}, {14, 14}});
    Line(Canvas, Colour, 1, {{5, 10}, {11, 10}});
}

void Sleep(TCanvas& Canvas, TColor Colour)
{
    Canvas.Pen.Color = Colour;
    Canvas.Brush.Color = clWhite;
    Canvas.Brush.Style = bsSolid;
    Canvas.Ellipse(1, 1, 15, 15);
    Line(Canvas, Colour, 1, {{8, 3}, {8, 8}, {11, 11}});
}

void Landscape(TCanvas& Canvas, TColor Colour)
{
    Canvas.Pen.Color = Colour;
    Canvas.Brush.Color = clWhite;
    Canvas.Brush.Style = bsSolid;
    Canvas.Rectangle(1, 3, 15, 13);
    Solid(Canvas, Colour, {{2, 12}, {6, 6}, {9, 10}, {11, 8}, {14, 12}});
}

// The pipette: its tip at the bottom left is the cursor's hot spot.
void Pipette(TCanvas& Canvas)
{
    Line(Canvas, clBlack, 1, {{1, 14}, {9, 6}});
    Line(Canvas, clBlack, 2, {{3, 13}, {10, 6}});
    Solid(Canvas, clBlack, {{9, 3}, {12, 1}, {14, 3}, {12, 6}});
}

const std::map<std::string, std::function<void(TCanvas&)>>& Painters()
{
    static const std::map<std::string, std::function<void(TCanvas&)>> painters = {
        {"Haken", Tick},
        {"Kreuz", Cross},
        {"SpeakerRed", [](TCanvas& c) { Speaker(c, Red, false); }},
        {"SpeakerGreen", [](TCanvas& c) { Speaker(c, Green, false); }},
        {"SpeakerGreenS", [](TCanvas& c) { Speaker(c, Green, true); }},
        {"ARed", [](TCanvas& c) { Letter(c, Red); }},
        {"AGreen", [](TCanvas& c) { Letter(c, Green); }},
        {"SleepRed", [](TCanvas& c) { Sleep(c, Red); }},
        {"SleepGreen", [](TCanvas& c) { Sleep(c, Green); }},
        {"LandScapeRed", [](TCanvas& c) { Landscape(c, Red); }},
        {"LandScapeGreen", [](TCanvas& c) { Landscape(c, Green); }},
        {"Pipette", Pipette},
    };
    return painters;
}

// One frame: a slide whose sky turns through the colours while the sun
// crosses it and a second slide pushes in from the right.
void PaintLogoFrame(TCanvas& Canvas, int Left, int Frame)
{
    const double turn = static_cast<double>(Frame) / LogoFrameCount;
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = clSilver;
    Canvas.FillRect(Rect(Left, 0, Left + LogoFrameWidth, LogoFrameHeight));
    Canvas.Pen.Color = clBlack;
    Canvas.Brush.Color = BitmapTools::HSVToRGB(THSV{static_cast<int>(turn * 360) % 360, 120, 230});
    Canvas.Rectangle(Left + 4, 4, Left + 44, 28);
    const int sunX = Left + 8 + static_cast<int>(turn * 28);
    const int sunY = 16 - static_cast<int>(std::sin(turn * std::numbers::pi) * 9);
    Canvas.Pen.Color = clYellow;
    Canvas.Brush.Color = clYellow;
    Canvas.Ellipse(sunX - 3, sunY - 3, sunX + 4, sunY + 4);
    Solid(Canvas, clGreen, {{Left + 5, 27}, {Left + 16, 17}, {Left + 24, 23}, {Left + 31, 15}, {Left + 43, 27}});
}

} // namespace

void PaintOnKey(TBitmap& Bitmap, const std::function<void(TCanvas&)>& Painter)
{
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(GlyphSize, GlyphSize);
    TCanvas& canvas = Bitmap.Canvas();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = KeyColour;
    canvas.FillRect(Rect(0, 0, GlyphSize, GlyphSize));
    Painter(canvas);
    // The key colour must stay in the corner the buttons read it from.
    canvas.SetPixels(0, GlyphSize - 1, KeyColour);
}

bool Paint(TBitmap& Bitmap, const std::string& Name)
{
    const auto painter = Painters().find(Name);
    if (painter == Painters().end())
        return false;
    PaintOnKey(Bitmap, painter->second);
    return true;
}

void FillSymbols(TImageList& Images)
{
    Images.Clear();
    Images.SetWidth(GlyphSize);
    Images.SetHeight(GlyphSize);
    for (const char* name : {"Haken", "Kreuz"}) {
        TBitmap glyph;
        Paint(glyph, name);
        Images.AddMasked(glyph, KeyColour);
    }
}

void PaintLogoFrames(TBitmap& Strip)
{
    Strip.SetPixelFormat(pf24bit);
    Strip.SetSize(LogoFrameWidth * LogoFrameCount, LogoFrameHeight);
    for (int frame = 0; frame < LogoFrameCount; ++frame)
        PaintLogoFrame(Strip.Canvas(), frame * LogoFrameWidth, frame);
}

} // namespace EditorGlyphs

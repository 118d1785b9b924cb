#include "editor/app/MonitorGfx.h"

#include "platform/graphics/Canvas.h"
#include "platform/ui/Controls.h"

namespace MonitorGfx {

namespace {

constexpr TColor Light = clWhite;
constexpr TColor Shadow = 0x808080;

void Line(TCanvas& Canvas, int x1, int y1, int x2, int y2)
{
    Canvas.MoveTo(x1, y1);
    Canvas.LineTo(x2, y2);
}

// A one-pixel frame: TopLeft on the top and left sides, BottomRight on the
// bottom and right sides (R's right and bottom included).
void Frame(TCanvas& Canvas, const TRect& R, TColor TopLeft, TColor BottomRight)
{
    Canvas.Pen.Color = TopLeft;
    Line(Canvas, R.Left, R.Bottom, R.Left, R.Top);
    Line(Canvas, R.Left, R.Top, R.Right + 1, R.Top);
    Canvas.Pen.Color = BottomRight;
    Line(Canvas, R.Right, R.Top + 1, R.Right, R.Bottom);
    Line(Canvas, R.Left, R.Bottom, R.Right + 1, R.Bottom);
}

// The same frame with every second pixel.
void DottedFrame(TCanvas& Canvas, const TRect& R, TColor TopLeft, TColor BottomRight)
{
    for (int x = R.Left; x <= R.Right; x += 2) {
        Canvas.SetPixels(x, R.Top, TopLeft);
        Canvas.SetPixels(x, R.Bottom, BottomRight);
    }
    for (int y = R.Top; y <= R.Bottom; y += 2) {
        Canvas.SetPixels(R.Left, y, TopLeft);
        Canvas.SetPixels(R.Right, y, BottomRight);
    }
}

TRect Inflated(const TRect& R, int By) { return Rect(R.Left - By, R.Top - By, R.Right + By, R.Bottom + By); }

void DrawBody(TCanvas& Canvas, int Width, int BodyBottom)
{
    const TRect outline = Rect(0, 0, Width - 1, BodyBottom);
    for (int inset = 0; inset < 3; ++inset)
        Frame(Canvas, Inflated(outline, -inset), Light, Shadow);
    for (int inset = 3; inset < 6; ++inset)
        DottedFrame(Canvas, Inflated(outline, -inset), Light, Shadow);
    Canvas.Pen.Color = clBlack;
    Line(Canvas, 0, BodyBottom, Width, BodyBottom);
    for (TPoint corner : {Point(0, 0), Point(Width - 1, 0), Point(0, BodyBottom), Point(Width - 1, BodyBottom)})
        Canvas.SetPixels(corner.X, corner.Y, clBtnFace);
    Canvas.SetPixels(3, 3, Light);
}

void DrawStand(TCanvas& Canvas, int Width, int Height, int BodyBottom)
{
    const int top = BodyBottom + 2;
    const int footTop = top + (Height - top) / 3;
    const int left = Width / 4;
    const int right = 3 * Width / 4;
    const int footLeft = Width / 4 + Width / 9;
    const int footRight = 3 * Width / 4 - Width / 9;
    Canvas.Pen.Width = 3;
    Canvas.Pen.Color = Shadow;
    Canvas.Polyline({Point(left, top), Point(footLeft, footTop), Point(footRight, footTop), Point(right, top)});
    Canvas.Pen.Width = 1;
    Canvas.Pen.Color = Light;
    Line(Canvas, left + 2, top, footLeft + 1, footTop - 2);
    Canvas.Pen.Color = MonitorColor;
    Line(Canvas, footLeft + 2, footTop - 2, footRight - 1, footTop - 2);

    // The base plate, bevelled like the body.
    const TRect plate = Rect(Width / 5, footTop + 2, 4 * Width / 5, Height - 1);
    if (plate.Bottom <= plate.Top)
        return;
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = MonitorColor;
    Canvas.FillRect(Rect(plate.Left, plate.Top, plate.Right + 1, plate.Bottom + 1));
    Frame(Canvas, plate, Light, Shadow);
    Frame(Canvas, Inflated(plate, -1), Light, Shadow);
}

void DrawLamp(TCanvas& Canvas, int Width, int ScreenBottom)
{
    const int x = 3 * Width / 4 - Width / 9 - 45;
    const int y = ScreenBottom + 8;
    // The button beside the lamp.
    const TRect button = Rect(x + 12, y - 1, x + 20, y + 4);
    Frame(Canvas, button, Light, Shadow);
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = LampColor;
    Canvas.FillRect(Rect(x, y, x + 6, y + 3));
}

} // namespace

void DrawMonitor(TCanvas& Canvas, int Width, int Height, const TRect& Screen)
{
    if (Width <= 0 || Height <= 0)
        return;
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = MonitorColor;
    Canvas.FillRect(Rect(3, 3, Width, Height));
    Canvas.Pen.Style = psSolid;
    Canvas.Pen.Width = 1;
    const int bodyBottom = Screen.Bottom + Screen.Top;
    DrawBody(Canvas, Width, bodyBottom);
    // A recessed screen: shadow above and left of it, light below and right.
    for (int grow = 0; grow < 3; ++grow)
        Frame(Canvas, Inflated(Rect(Screen.Left, Screen.Top, Screen.Right - 1, Screen.Bottom - 1), grow), Shadow,
              Light);
    DrawStand(Canvas, Width, Height, bodyBottom);
    DrawLamp(Canvas, Width, Screen.Bottom);
}

} // namespace MonitorGfx

void DrawMonitor(TGraphicControl& Control, const TRect& Screen)
{
    if (TCanvas* canvas = Control.Canvas())
        MonitorGfx::DrawMonitor(*canvas, Control.Width(), Control.Height(), Screen);
}

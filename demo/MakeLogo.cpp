// Draws the standard logo "Vistelo.jpg" that a show set to the standard logo
// shows before its first slide: three slides fanned out over an evening-blue
// ground and the program's name, 480 x 270 pixels.
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Jpeg.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <vector>

namespace {

constexpr int LogoWidth = 480;
constexpr int LogoHeight = 270;

int Blend(int from, int to, int step, int steps) { return from + (to - from) * step / steps; }

// Night blue at the top to violet at the bottom.
void DrawGround(TCanvas& canvas)
{
    for (int y = 0; y < LogoHeight; ++y) {
        canvas.Brush.Color = RGB(Blend(16, 70, y, LogoHeight), Blend(28, 24, y, LogoHeight),
                                 Blend(72, 104, y, LogoHeight));
        canvas.FillRect(Rect(0, y, LogoWidth, y + 1));
    }
}

// A slide of w x h around (cx, cy), turned by degrees, with a white frame.
void DrawSlide(TCanvas& canvas, int cx, int cy, int w, int h, double degrees, TColor fill)
{
    const double angle = degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    auto corners = [&](double halfW, double halfH) {
        std::vector<TPoint> points;
        for (const auto& [dx, dy] : {std::pair{-halfW, -halfH}, {halfW, -halfH}, {halfW, halfH}, {-halfW, halfH}})
            points.push_back(TPoint{cx + static_cast<int>(std::lround(dx * c - dy * s)),
                                    cy + static_cast<int>(std::lround(dx * s + dy * c))});
        return points;
    };
    canvas.Pen.Color = clWhite;
    canvas.Brush.Color = clWhite;
    canvas.Polygon(corners(w / 2.0, h / 2.0));
    canvas.Pen.Color = fill;
    canvas.Brush.Color = fill;
    canvas.Polygon(corners(w / 2.0 - 6, h / 2.0 - 6));
}

void DrawName(TCanvas& canvas)
{
    canvas.Brush.Style = bsClear;
    canvas.Font.SetName("Arial");
    canvas.Font.SetStyle({fsBold});
    canvas.Font.SetHeight(-64);
    canvas.Font.SetColor(clWhite);
    canvas.TextOut(214, 78, "Vistelo");
    canvas.Font.SetStyle({});
    canvas.Font.SetHeight(-21);
    canvas.Font.SetColor(RGB(255, 214, 140));
    canvas.TextOut(218, 160, "Bilder-Vorführungen");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LOGO.jpg\n", argv[0]);
        return 2;
    }
    try {
        TBitmap logo(LogoWidth, LogoHeight, pf24bit);
        TCanvas& canvas = logo.Canvas();
        DrawGround(canvas);
        DrawSlide(canvas, 104, 150, 150, 104, -16, RGB(40, 150, 170));
        DrawSlide(canvas, 112, 138, 150, 104, -4, RGB(240, 190, 60));
        DrawSlide(canvas, 122, 128, 150, 104, 9, RGB(230, 92, 40));
        DrawName(canvas);
        TJPEGImage jpeg;
        jpeg.CompressionQuality = 92;
        jpeg.Assign(&logo);
        jpeg.SaveToFile(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}

#include "editor/tools/VexaPaintView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/rtl/DateTime.h"

namespace VexaPaintView {

int ZoomIn(int step)
{
    if (step >= MaxZoomStep)
        return step;
    if (step == -2)
        return 1;
    return step + 1;
}

int ZoomOut(int step)
{
    if (step <= MinZoomStep)
        return step;
    if (step == 1)
        return -2;
    return step - 1;
}

double ZoomFactor(int step) { return step > 0 ? step : 1.0 / -step; }

std::string Caption(int step, const std::string& fileName)
{
    const std::string suffix = fileName.empty() ? "" : " [" + fileName + "]";
    if (step > 0)
        return "Bild bearbeiten (Vergrößerung " + std::to_string(step) + ":1)" + suffix;
    return "Bild bearbeiten (Vergrößerung 1:" + std::to_string(-step) + ")" + suffix;
}

std::string SizeText(int width, int height)
{
    const double kb = static_cast<double>(width) * height * 3 / 1024;
    return std::to_string(width) + " x " + std::to_string(height) + " (" + rtl::FloatToStrF(kb, ffFixed, 15, 1) +
        " KB)";
}

std::string SelectionText(const TRect& s)
{
    char text[128];
    std::snprintf(text, sizeof text, "(X: %d, Y: %d) -> (X: %d, Y: %d) (%dx%d)", s.Left, s.Top, s.Right, s.Bottom,
                  s.Width(), s.Height());
    return text;
}

std::string PointText(int x, int y) { return "(X: " + std::to_string(x) + ", Y: " + std::to_string(y) + ")"; }

namespace {

int RoundDiv(int value, double zoom) { return static_cast<int>(std::nearbyint(value / zoom)); }

} // namespace

TRect ToPicture(const TRect& screen, double zoom)
{
    const TRect n{std::min(screen.Left, screen.Right), std::min(screen.Top, screen.Bottom),
                  std::max(screen.Left, screen.Right), std::max(screen.Top, screen.Bottom)};
    return TRect{RoundDiv(n.Left, zoom), RoundDiv(n.Top, zoom), RoundDiv(n.Right, zoom), RoundDiv(n.Bottom, zoom)};
}

TRect ToScreen(const TRect& picture, double zoom)
{
    const auto t = [zoom](int v) { return static_cast<int>(v * zoom); };
    return TRect{t(picture.Left), t(picture.Top), t(picture.Right), t(picture.Bottom)};
}

TRect ClampToBox(const TRect& rect, int width, int height)
{
    TRect r = rect;
    // Whichever end is smaller may not go below 0, the larger not past the box.
    int& lowX = r.Left <= r.Right ? r.Left : r.Right;
    int& highX = r.Left <= r.Right ? r.Right : r.Left;
    lowX = std::max(lowX, 0);
    highX = std::min(highX, width);
    int& lowY = r.Top <= r.Bottom ? r.Top : r.Bottom;
    int& highY = r.Top <= r.Bottom ? r.Bottom : r.Top;
    lowY = std::max(lowY, 0);
    highY = std::min(highY, height);
    return r;
}

} // namespace VexaPaintView

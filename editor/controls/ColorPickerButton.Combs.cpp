// The custom-colour area of the colour popup: the hexagon of colour combs,
// the row of grey combs and the brightness slider.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "editor/controls/ColorPickerButton.h"

namespace ColorPickerButton {
namespace {

struct TFractions {
    double R, G, B;
};

int RoundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

TColor CombColor(const TFractions& f)
{
    return RGB(RoundHalfEven(255 * f.R), RoundHalfEven(255 * f.G), RoundHalfEven(255 * f.B));
}

TFractions Between(const TFractions& a, const TFractions& b, double t)
{
    return {a.R + t * (b.R - a.R), a.G + t * (b.G - a.G), a.B + t * (b.B - a.B)};
}

// The direction of spoke s, y pointing down the screen.
double SpokeX(int s) { return std::cos((90.0 - 60.0 * s) * std::numbers::pi / 180.0); }
double SpokeY(int s) { return std::sin((90.0 - 60.0 * s) * std::numbers::pi / 180.0); }

// Magenta, red, yellow, green, cyan, blue.
const TFractions CornerColors[6] = {{1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}};

} // namespace

int CombSizeOf(int Radius) { return RoundHalfEven(static_cast<double>(Radius) / (CombLevels - 1) + 0.5); }

std::vector<TColorComb> BuildColorCombs(int Radius, double Brightness)
{
    const TFractions centre{Brightness, Brightness, Brightness};
    const double cornerDistance = std::cos(30.0 * std::numbers::pi / 180.0) * Radius;
    std::vector<TColorComb> combs{{{0, 0}, CombColor(centre)}};
    for (int s = 0; s < 6; ++s) {
        const int next = (s + 1) % 6;
        for (int k = 1; k < CombLevels; ++k) {
            const double ring = static_cast<double>(k) / (CombLevels - 1);
            const double ax = ring * cornerDistance * SpokeX(s);
            const double ay = ring * cornerDistance * SpokeY(s);
            const double bx = ring * cornerDistance * SpokeX(next);
            const double by = ring * cornerDistance * SpokeY(next);
            const TFractions ca = Between(centre, CornerColors[s], ring);
            const TFractions cb = Between(centre, CornerColors[next], ring);
            for (int j = 0; j < k; ++j) {
                const double t = static_cast<double>(j) / k;
                combs.push_back({{RoundHalfEven(ax + t * (bx - ax)), RoundHalfEven(ay + t * (by - ay))},
                                 CombColor(Between(ca, cb, t))});
            }
        }
    }
    return combs;
}

std::vector<TColorComb> BuildGrayCombs(int CombSize)
{
    const int c = CombSize;
    const int dx = RoundHalfEven(std::cos(30.0 * std::numbers::pi / 180.0) * c / 2);
    const int oddY = (c / 4) * 3;
    const int evenY = oddY + RoundHalfEven((std::sin(30.0 * std::numbers::pi / 180.0) + 1) * c / 2);
    std::vector<TColorComb> combs{{{c, c}, RGB(255, 255, 255)}};
    for (int i = 1; i <= 15; ++i) {
        const int level = (16 - i) * 15;
        combs.push_back({{RoundHalfEven((i - 1) * dx + 3.0 * c), i % 2 == 1 ? oddY : evenY}, RGB(level, level, level)});
    }
    combs.push_back({{RoundHalfEven(16.0 * dx + 4.0 * c), c}, RGB(0, 0, 0)});
    return combs;
}

} // namespace ColorPickerButton

using namespace ColorPickerButton;

TRect TColorPopup::CombArea() const
{
    const int left = margin_ + spacing_;
    return Rect(left, normalHeight_, left + 2 * combRadius_, normalHeight_ + 2 * combRadius_);
}

TPoint TColorPopup::CombCentre() const
{
    const TRect area = CombArea();
    return {area.Left + combRadius_, area.Top + combRadius_};
}

TRect TColorPopup::GrayRow() const
{
    const TRect area = CombArea();
    return Rect(area.Left, area.Bottom - 4, area.Right, area.Bottom - 4 + 2 * combSize_);
}

TRect TColorPopup::SliderRect() const
{
    const TRect area = CombArea();
    return Rect(area.Right, area.Top + combSize_, area.Right + 20, area.Bottom - combSize_);
}

const std::vector<TColorComb>& TColorPopup::ColorCombs()
{
    if (colorCombs_.empty())
        colorCombs_ = BuildColorCombs(combRadius_, brightness_);
    return colorCombs_;
}

void TColorPopup::SetBrightness(double Value)
{
    brightness_ = std::clamp(Value, 0.0, 1.0);
    colorCombs_.clear(); // rebuilt for the new centre at the next use
    Invalidate();
}

namespace {

bool Hits(TPoint centre, int radius, TPoint p)
{
    const int dx = p.X - centre.X;
    const int dy = p.Y - centre.Y;
    return dx * dx + dy * dy <= radius * radius;
}

} // namespace

int TColorPopup::CombAt(TPoint P)
{
    const TPoint centre = CombCentre();
    const auto& colors = ColorCombs();
    for (std::size_t i = 0; i < colors.size(); ++i)
        if (Hits({centre.X + colors[i].Position.X, centre.Y + colors[i].Position.Y}, combSize_ / 2, P))
            return static_cast<int>(i) + 1;
    const TRect row = GrayRow();
    for (std::size_t i = 0; i < grayCombs_.size(); ++i) {
        const bool big = i == 0 || i + 1 == grayCombs_.size();
        const TPoint at{row.Left + grayCombs_[i].Position.X, row.Top + grayCombs_[i].Position.Y};
        if (Hits(at, big ? combSize_ : combSize_ / 2, P))
            return -static_cast<int>(i) - 1;
    }
    return 0;
}

TColor TColorPopup::CombColor()
{
    if (customComb_ > 0 && customComb_ <= static_cast<int>(ColorCombs().size()))
        return ColorCombs()[static_cast<std::size_t>(customComb_ - 1)].Color;
    if (customComb_ < 0 && -customComb_ <= static_cast<int>(grayCombs_.size()))
        return grayCombs_[static_cast<std::size_t>(-customComb_ - 1)].Color;
    return clNone;
}

void TColorPopup::SlideTo(int Y)
{
    const TRect slider = SliderRect();
    const int span = std::max(slider.Bottom - slider.Top, 1);
    SetBrightness(1.0 - static_cast<double>(Y - slider.Top) / span);
}

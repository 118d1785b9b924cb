#include "editor/tools/PrintLayout.h"

#include <algorithm>
#include <cmath>

#include "editor/tools/Units.h"
#include "platform/rtl/DateTime.h"

namespace PrintLayout {

namespace {

std::string Fixed2(double value) { return rtl::FloatToStrF(value, ffFixed, 15, 2); }

int Round(double value) { return static_cast<int>(std::nearbyint(value)); }

} // namespace

std::string PaperSizeText(const TPageMetrics& page)
{
    return "Papiergröße: " + Fixed2(page.PaperWidth / 10) + " x " + Fixed2(page.PaperHeight / 10) + " cm";
}

void FitMargins(const TPageMetrics& page, int pictureWidth, int pictureHeight, const TFitOptions& options,
                TPageMargins& margins)
{
    if (!options.FitToPage)
        return;
    const double m = std::max({page.LeftOffset, page.TopOffset, page.RightOffset, page.BottomOffset});
    const bool equal = options.EqualBorders;
    if (!options.Proportions) {
        margins.Left = (equal ? m : page.LeftOffset) / 10;
        margins.Top = (equal ? m : page.TopOffset) / 10;
        margins.Right = (equal ? m : page.RightOffset) / 10;
        margins.Bottom = (equal ? m : page.BottomOffset) / 10;
        return;
    }
    // A picture without pixels has no proportions to keep.
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return;
    const double pictureWidthMm = pictureWidth * 25.4 / page.DpiX;
    const double pictureHeightMm = pictureHeight * 25.4 / page.DpiY;
    const double edgeLeft = (equal ? m : page.LeftOffset) / 10;
    const double edgeTop = (equal ? m : page.TopOffset) / 10;
    double w = equal ? page.PaperWidth - 2 * m : page.PrintableWidth;
    double h = w * pictureHeightMm / pictureWidthMm;
    if (h <= page.PrintableHeight) {
        margins.Top = options.Center ? (page.PaperHeight - h) / 2 / 10 : edgeTop;
        margins.Left = edgeLeft;
    } else {
        h = equal ? page.PaperHeight - 2 * m : page.PrintableHeight;
        w = h * pictureWidthMm / pictureHeightMm;
        margins.Left = options.Center ? (page.PaperWidth - w) / 2 / 10 : edgeLeft;
        margins.Top = edgeTop;
    }
    margins.Right = (page.PaperWidth - (w + margins.Left * 10)) / 10;
    margins.Bottom = (page.PaperHeight - (h + margins.Top * 10)) / 10;
}

TMarginCheck CheckMargin(const TPageMetrics& page, const TPageMargins& margins, TMarginSide side, double value,
                         bool isNumber)
{
    if (!isNumber)
        return mcNoNumber;
    bool fits = false;
    switch (side) {
    case msLeft: fits = value >= page.LeftOffset / 10 && value + margins.Right < page.PaperWidth / 10; break;
    case msRight: fits = value >= page.RightOffset / 10 && value + margins.Left < page.PaperWidth / 10; break;
    case msTop: fits = value >= page.TopOffset / 10 && value + margins.Bottom < page.PaperHeight / 10; break;
    case msBottom: fits = value >= page.BottomOffset / 10 && value + margins.Top < page.PaperHeight / 10; break;
    }
    return fits ? mcAccepted : mcOutsidePrintable;
}

namespace {

struct Scale {
    double X, Y;             // page millimetres to canvas pixels, over the Units factors
    double OffsetX, OffsetY; // mm
    int PX(double mm) const { return Round(Units::MmToPixelX(mm) * X); }
    int PY(double mm) const { return Round(Units::MmToPixelY(mm) * Y); }
};

Scale ScaleOf(const TPageMetrics& page, int width, int height, bool preview)
{
    if (preview)
        return {Units::PixelToMmX(width) / page.PaperWidth, Units::PixelToMmY(height) / page.PaperHeight, 0, 0};
    return {Units::PixelToMmX(width) / page.PrintableWidth, Units::PixelToMmY(height) / page.PrintableHeight,
            page.LeftOffset, page.TopOffset};
}

} // namespace

TRect PictureRect(const TPageMetrics& page, const TPageMargins& margins, int width, int height, bool preview)
{
    const Scale s = ScaleOf(page, width, height, preview);
    const int left = s.PX(margins.Left * 10 - s.OffsetX);
    const int top = s.PY(margins.Top * 10 - s.OffsetY);
    const int w = s.PX(page.PaperWidth - (margins.Left + margins.Right) * 10);
    const int h = s.PY(page.PaperHeight - (margins.Top + margins.Bottom) * 10);
    return TRect{left, top, left + w, top + h};
}

TRect PrintableFrame(const TPageMetrics& page, int width, int height)
{
    const Scale s = ScaleOf(page, width, height, true);
    return TRect{s.PX(page.LeftOffset), s.PY(page.TopOffset), s.PX(page.PaperWidth - page.RightOffset),
                 s.PY(page.PaperHeight - page.BottomOffset)};
}

int ZoomInTenths(int tenths) { return tenths + 2; }

int ZoomOutTenths(int tenths) { return tenths > 4 ? tenths - 2 : tenths; }

} // namespace PrintLayout

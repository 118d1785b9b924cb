#pragma once

// The geometry of printing one picture on one page: the page and its
// printable area in millimetres, the margins (in centimetres, as the window
// shows them) that fit the picture to the page, the checks of margins the
// user types, and where the picture lands on a preview or a printed page.

#include <string>

#include "platform/graphics/Types.h"

// A printer's page.
struct TPageMetrics {
    int DpiX = 300;
    int DpiY = 300;
    double PaperWidth = 0; // mm
    double PaperHeight = 0;
    double PrintableWidth = 0;
    double PrintableHeight = 0;
    double LeftOffset = 0; // mm from the paper's edge to the printable area
    double TopOffset = 0;
    double RightOffset = 0;
    double BottomOffset = 0;
};

// Centimetres.
struct TPageMargins {
    double Left = 2.5;
    double Top = 2.5;
    double Right = 2.5;
    double Bottom = 2.5;
};

// The window's "Formatieren" boxes.
struct TFitOptions {
    bool FitToPage = false;
    bool Proportions = false;
    bool Center = false;
    bool EqualBorders = true;
};

enum TMarginSide : std::uint8_t { msLeft, msTop, msRight, msBottom };

enum TMarginCheck : std::uint8_t {
    mcAccepted,
    mcNoNumber,        // restored with a beep
    mcOutsidePrintable // asks whether to keep it
};

namespace PrintLayout {

// "Papiergröße: %.2f x %.2f cm".
std::string PaperSizeText(const TPageMetrics& page);

// With FitToPage the margins that fit a picture of that many pixels (at the
// printer's resolution) to the page; without it the margins stay.
void FitMargins(const TPageMetrics& page, int pictureWidth, int pictureHeight, const TFitOptions& options,
                TPageMargins& margins);

// Whether the user's value for one side may replace the margin.
TMarginCheck CheckMargin(const TPageMetrics& page, const TPageMargins& margins, TMarginSide side, double value,
                         bool isNumber);

// Where the picture goes on a canvas of width x height: the whole paper in
// preview mode, the printable area in print mode (whose origin is the
// printable area's corner). Uses the resolution Units holds.
TRect PictureRect(const TPageMetrics& page, const TPageMargins& margins, int width, int height, bool preview);
// The printable area on the preview.
TRect PrintableFrame(const TPageMetrics& page, int width, int height);

// The preview zoom, kept in tenths so that steps of 0.2 add up exactly.
int ZoomInTenths(int tenths);
int ZoomOutTenths(int tenths);

} // namespace PrintLayout

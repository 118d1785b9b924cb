#pragma once

// Rectangle arithmetic for placing pictures: sizes, normalising, clipping,
// placement rectangles as fractions of a reference, proportional scaling.

#include "platform/graphics/Types.h"

// A rectangle as fractions of a reference rectangle.
struct TPlacementRect {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

namespace RectTools {

int RectWidth(const TRect& r);
int RectHeight(const TRect& r);
bool RectNotZero(const TRect& r);
bool CompareRect(const TRect& a, const TRect& b);
// r with Left <= Right and Top <= Bottom.
TRect CorrectRect(const TRect& r);
// Max of the left/top edges, min of the right/bottom ones; may be inverted.
TRect AndRect(const TRect& a, const TRect& b);
// Moves r so that its top-left is (x, y), keeping its size.
void SetRectEdge(int x, int y, TRect& r);

TPlacementRect SetPlacementRect(double left, double top, double right, double bottom);
TPlacementRect OffsetPlacementRect(const TPlacementRect& p, double dx, double dy);
// r as fractions of ref; a reference without width or height gives zeros.
TPlacementRect RectToPlacementRect(const TRect& r, const TRect& ref);
TRect PlacementRectToRect(const TPlacementRect& p, const TRect& ref);

// The largest rectangle of src's aspect ratio inside box (at least 1 x 1),
// centred in it or at its top-left.
TRect ProportionalScale(const TRect& src, const TRect& box, bool centre);
// The smallest rectangle of src's aspect ratio covering box (at least 1 x 1),
// overhanging equally when centred, else from the box's top-left.
TRect ProportionalScaleMax(const TRect& src, const TRect& box, bool centre);

} // namespace RectTools

#include "core/RectTools.h"

#include <algorithm>
#include <cmath>

namespace RectTools {

namespace {

int AtLeastOne(int value) { return value == 0 ? 1 : value; }

int Truncated(double value) { return static_cast<int>(std::trunc(std::clamp(value, -2147483648.0, 2147483647.0))); }

int Rounded(double value) { return static_cast<int>(std::nearbyint(std::clamp(value, -2147483648.0, 2147483647.0))); }

int FloorHalf(int value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); }

// src's aspect ratio at the box's width, or at its height when that one
// falls short of the box (cover) or does not fit (!cover); at least 1 x 1.
// An empty source has no aspect ratio: it gets 1 x 1, as a fit into a box
// without width does.
TSize ScaledSize(const TRect& src, const TRect& box, bool cover)
{
    const int bw = RectWidth(box);
    const int bh = RectHeight(box);
    const double sw = RectWidth(src);
    const double sh = RectHeight(src);
    if (sw == 0 || sh == 0 || (!cover && bw == 0))
        return {1, 1};
    int w = bw;
    int h = Truncated(sh / sw * bw);
    if (cover ? h < bh : bh < h) {
        w = Truncated(sw / sh * bh);
        h = bh;
    }
    return {AtLeastOne(w), AtLeastOne(h)};
}

TRect Placed(const TRect& box, int w, int h, int dx, int dy, bool centre)
{
    const int left = box.Left + (centre ? dx : 0);
    const int top = box.Top + (centre ? dy : 0);
    return Rect(left, top, left + w, top + h);
}

} // namespace

int RectWidth(const TRect& r) { return r.Right - r.Left; }
int RectHeight(const TRect& r) { return r.Bottom - r.Top; }
bool RectNotZero(const TRect& r) { return RectWidth(r) != 0 && RectHeight(r) != 0; }

bool CompareRect(const TRect& a, const TRect& b)
{
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

TRect CorrectRect(const TRect& r)
{
    return Rect(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                std::max(r.Top, r.Bottom));
}

TRect AndRect(const TRect& a, const TRect& b)
{
    return Rect(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                std::min(a.Bottom, b.Bottom));
}

void SetRectEdge(int x, int y, TRect& r) { r = Rect(x, y, x + RectWidth(r), y + RectHeight(r)); }

TPlacementRect SetPlacementRect(double left, double top, double right, double bottom)
{
    return {left, top, right, bottom};
}

TPlacementRect OffsetPlacementRect(const TPlacementRect& p, double dx, double dy)
{
    return {p.Left + dx, p.Top + dy, p.Right + dx, p.Bottom + dy};
}

TPlacementRect RectToPlacementRect(const TRect& r, const TRect& ref)
{
    const double w = RectWidth(ref);
    const double h = RectHeight(ref);
    if (w == 0 || h == 0)
        return {};
    return {(r.Left - ref.Left) / w, (r.Top - ref.Top) / h, (r.Right - ref.Left) / w, (r.Bottom - ref.Top) / h};
}

TRect PlacementRectToRect(const TPlacementRect& p, const TRect& ref)
{
    const double w = RectWidth(ref);
    const double h = RectHeight(ref);
    return Rect(ref.Left + Rounded(w * p.Left), ref.Top + Rounded(h * p.Top), ref.Left + Rounded(w * p.Right),
                ref.Top + Rounded(h * p.Bottom));
}

TRect ProportionalScale(const TRect& src, const TRect& box, bool centre)
{
    const TSize size = ScaledSize(src, box, false);
    return Placed(box, size.cx, size.cy, (RectWidth(box) - size.cx) / 2, (RectHeight(box) - size.cy) / 2, centre);
}

TRect ProportionalScaleMax(const TRect& src, const TRect& box, bool centre)
{
    const TSize size = ScaledSize(src, box, true);
    return Placed(box, size.cx, size.cy, FloorHalf(RectWidth(box) - size.cx), FloorHalf(RectHeight(box) - size.cy),
                  centre);
}

} // namespace RectTools

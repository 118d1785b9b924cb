#include "editor/app/SizeRectDrag.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace SizeRectDrag {

namespace {

TZone MirrorHorizontally(TZone Zone)
{
    switch (Zone) {
    case zTopLeft: return zTopRight;
    case zTopRight: return zTopLeft;
    case zBottomLeft: return zBottomRight;
    case zBottomRight: return zBottomLeft;
    case zLeft: return zRight;
    case zRight: return zLeft;
    default: return Zone;
    }
}

TZone MirrorVertically(TZone Zone)
{
    switch (Zone) {
    case zTopLeft: return zBottomLeft;
    case zBottomLeft: return zTopLeft;
    case zTopRight: return zBottomRight;
    case zBottomRight: return zTopRight;
    case zTop: return zBottom;
    case zBottom: return zTop;
    default: return Zone;
    }
}

bool DragsLeft(TZone Zone) { return Zone == zTopLeft || Zone == zBottomLeft || Zone == zLeft; }
bool DragsRight(TZone Zone) { return Zone == zTopRight || Zone == zBottomRight || Zone == zRight; }
bool DragsTop(TZone Zone) { return Zone == zTopLeft || Zone == zTopRight || Zone == zTop; }
bool DragsBottom(TZone Zone) { return Zone == zBottomLeft || Zone == zBottomRight || Zone == zBottom; }

int RoundToEven(double Value) { return static_cast<int>(std::nearbyint(Value)); }

} // namespace

TRect GripRect(int Width, int Height, int GripSize, TZone Zone)
{
    const int right = Width - GripSize;
    const int bottom = Height - GripSize;
    const int middleX = Width / 2 - GripSize / 2;
    const int middleY = Height / 2 - GripSize / 2;
    TPoint at{};
    switch (Zone) {
    case zTopLeft: at = Point(0, 0); break;
    case zTopRight: at = Point(right, 0); break;
    case zBottomLeft: at = Point(0, bottom); break;
    case zBottomRight: at = Point(right, bottom); break;
    case zTop: at = Point(middleX, 0); break;
    case zBottom: at = Point(middleX, bottom); break;
    case zLeft: at = Point(0, middleY); break;
    case zRight: at = Point(right, middleY); break;
    case zMove: return Rect(0, 0, Width, Height);
    }
    return Rect(at.X, at.Y, at.X + GripSize, at.Y + GripSize);
}

TZone HitTest(int Width, int Height, int GripSize, TPoint At)
{
    // The order decides where grips overlap on a small rectangle.
    for (TZone zone : {zTopLeft, zTopRight, zBottomLeft, zBottomRight, zBottom, zTop, zLeft, zRight}) {
        const TRect grip = GripRect(Width, Height, GripSize, zone);
        if (At.X >= grip.Left && At.X <= grip.Right && At.Y >= grip.Top && At.Y <= grip.Bottom)
            return zone;
    }
    return zMove;
}

TCursor ZoneCursor(TZone Zone, bool AllowMove)
{
    switch (Zone) {
    case zTopLeft:
    case zBottomRight: return crSizeNWSE;
    case zTopRight:
    case zBottomLeft: return crSizeNESW;
    case zTop:
    case zBottom: return crSizeNS;
    case zLeft:
    case zRight: return crSizeWE;
    case zMove: break;
    }
    return AllowMove ? crSizeAll : crDefault;
}

TPoint GripPoint(const TRect& R, TZone Zone)
{
    const int middleX = (R.Left + R.Right) / 2;
    const int middleY = (R.Top + R.Bottom) / 2;
    switch (Zone) {
    case zTopLeft: return Point(R.Left, R.Top);
    case zTopRight: return Point(R.Right, R.Top);
    case zBottomLeft: return Point(R.Left, R.Bottom);
    case zBottomRight: return Point(R.Right, R.Bottom);
    case zTop: return Point(middleX, R.Top);
    case zBottom: return Point(middleX, R.Bottom);
    case zLeft: return Point(R.Left, middleY);
    case zRight: return Point(R.Right, middleY);
    case zMove: break;
    }
    return Point(middleX, middleY);
}

TZone Mirror(TRect& R, TZone Zone)
{
    if (R.Left > R.Right) {
        std::swap(R.Left, R.Right);
        Zone = MirrorHorizontally(Zone);
    }
    if (R.Bottom < R.Top) {
        std::swap(R.Top, R.Bottom);
        Zone = MirrorVertically(Zone);
    }
    return Zone;
}

void MoveEdges(TRect& R, TZone Zone, int dx, int dy)
{
    const bool move = Zone == zMove;
    if (move || DragsLeft(Zone))
        R.Left += dx;
    if (move || DragsRight(Zone))
        R.Right += dx;
    if (move || DragsTop(Zone))
        R.Top += dy;
    if (move || DragsBottom(Zone))
        R.Bottom += dy;
}

void Limit(TRect& R, TZone Zone, const TLimits& Limits)
{
    if (std::abs(R.Right - R.Left) < Limits.MinWidth) {
        if (DragsLeft(Zone))
            R.Left = R.Right - Limits.MinWidth;
        else if (DragsRight(Zone))
            R.Right = R.Left + Limits.MinWidth;
    }
    if (std::abs(R.Bottom - R.Top) < Limits.MinHeight) {
        if (DragsTop(Zone))
            R.Top = R.Bottom - Limits.MinHeight;
        else if (DragsBottom(Zone))
            R.Bottom = R.Top + Limits.MinHeight;
    }
    const bool move = Zone == zMove;
    if (R.Left < 0) {
        if (move)
            R.Right -= R.Left;
        R.Left = 0;
    }
    if (R.Top < 0) {
        if (move)
            R.Bottom -= R.Top;
        R.Top = 0;
    }
    if (R.Right > Limits.ParentWidth) {
        if (move)
            R.Left -= R.Right - Limits.ParentWidth;
        R.Right = Limits.ParentWidth;
    }
    if (R.Bottom > Limits.ParentHeight) {
        if (move)
            R.Top -= R.Bottom - Limits.ParentHeight;
        R.Bottom = Limits.ParentHeight;
    }
}

void Proportion(TRect& R, TZone Zone, const TRect& Start)
{
    const double w0 = Start.Right - Start.Left;
    const double h0 = Start.Bottom - Start.Top;
    if (w0 == 0 || h0 == 0)
        return;
    switch (Zone) {
    case zTopLeft:
    case zTopRight: R.Top = R.Bottom - RoundToEven(h0 / w0 * (R.Right - R.Left)); break;
    case zBottomLeft:
    case zBottomRight:
    case zLeft:
    case zRight: R.Bottom = R.Top + RoundToEven(h0 / w0 * (R.Right - R.Left)); break;
    case zTop:
    case zBottom:
    case zMove: R.Right = R.Left + RoundToEven(w0 / h0 * (R.Bottom - R.Top)); break;
    }
}

} // namespace SizeRectDrag

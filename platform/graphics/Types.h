#pragma once
// Geometry records shared by the whole graphics layer: points, sizes and
// rectangles whose right and bottom edges are exclusive.

#include <algorithm>

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

namespace gfx {

// The overlap of two rectangles; an empty result is normalised to (0,0,0,0).
inline TRect IntersectRect(const TRect& a, const TRect& b)
{
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    return r.IsEmpty() ? TRect{} : r;
}

// The smallest rectangle holding both; an empty operand does not count.
inline TRect UnionRect(const TRect& a, const TRect& b)
{
    if (a.IsEmpty())
        return b.IsEmpty() ? TRect{} : b;
    if (b.IsEmpty())
        return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

inline TRect OffsetRect(const TRect& r, int dx, int dy)
{
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

inline TRect InflateRect(const TRect& r, int dx, int dy)
{
    return {r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}

// Swaps edges so that Left <= Right and Top <= Bottom.
inline TRect NormalizeRect(const TRect& r)
{
    return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right), std::max(r.Top, r.Bottom)};
}

inline bool PtInRect(const TRect& r, const TPoint& p) { return r.Contains(p.X, p.Y); }

} // namespace gfx

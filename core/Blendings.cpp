#include "core/Blendings.h"

#include "core/BitmapTools.h"
#include "core/Tools.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/StringList.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>

namespace Blendings {

constinit std::array<bool, 32> RandomBlendings = [] {
    std::array<bool, 32> all{};
    all.fill(true);
    return all;
}();

void RandomAll()
{
    RandomBlendings.fill(true);
}

namespace {

std::uint32_t frameClock = 0;
// A step never ends sooner than this after it began, whatever its length.
constexpr int kShortestStep = 11;
// While an effect runs: where its last step was due to end if every step had
// lasted exactly its length. Steps aim at this schedule, so a late wake-up
// or a slow drawing is made up by the next steps instead of adding up.
std::optional<std::uint32_t> scheduledEnd;

// Starts the schedule of an effect (and ends it again); nested effects keep
// their caller's schedule.
class TScheduleScope {
public:
    TScheduleScope() : saved_(scheduledEnd) { scheduledEnd = rtl::GetTickCount(); }
    ~TScheduleScope() { scheduledEnd = saved_; }
    TScheduleScope(const TScheduleScope&) = delete;
    TScheduleScope& operator=(const TScheduleScope&) = delete;

private:
    std::optional<std::uint32_t> saved_;
};
// The flush of the transition running now (one at a time per process).
const TCanvasFlush* currentFlush = nullptr;
TCanvas* currentTarget = nullptr;

class TFlushScope {
public:
    TFlushScope(const TCanvasFlush& flush, TCanvas& canvas)
        : savedFlush_(currentFlush), savedTarget_(currentTarget)
    {
        currentFlush = flush ? &flush : nullptr;
        currentTarget = &canvas;
    }
    ~TFlushScope()
    {
        currentFlush = savedFlush_;
        currentTarget = savedTarget_;
    }
    TFlushScope(const TFlushScope&) = delete;
    TFlushScope& operator=(const TFlushScope&) = delete;

private:
    const TCanvasFlush* savedFlush_;
    TCanvas* savedTarget_;
};

void FlushTarget()
{
    if (currentFlush && currentTarget)
        (*currentFlush)(*currentTarget);
}

// Copies a few bytes without a library call: the cell effects copy a great
// many pieces of one or two pixels, where the call would cost more than the
// copy. Overlapping fixed-size moves cover every length up to 32.
void CopySmall(const std::uint8_t* from, std::uint8_t* to, std::size_t bytes)
{
    const auto move = [&](std::size_t size) {
        std::uint8_t head[16];
        std::uint8_t tail[16];
        std::memcpy(head, from, size);
        std::memcpy(tail, from + bytes - size, size);
        std::memcpy(to, head, size);
        std::memcpy(to + bytes - size, tail, size);
    };
    if (bytes >= 16)
        move(16);
    else if (bytes >= 8)
        move(8);
    else if (bytes >= 4)
        move(4);
    else if (bytes >= 2)
        move(2);
    else if (bytes == 1)
        to[0] = from[0];
}

// Copies one row of pixels between 24- and 32-bit memory.
void CopyRow(const std::uint8_t* from, int fromBytes, std::uint8_t* to, int toBytes, int count)
{
    if (fromBytes == toBytes) {
        const auto bytes = static_cast<std::size_t>(count) * static_cast<std::size_t>(fromBytes);
        if (bytes <= 32)
            CopySmall(from, to, bytes);
        else
            std::memmove(to, from, bytes);
        return;
    }
    for (int i = 0; i < count; ++i, from += fromBytes, to += toBytes) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
        if (toBytes == 4)
            to[3] = 0;
    }
}

// The two pixel memories of a plain block copy from the new bitmap to the
// canvas, when the copy may go straight between them: the canvas has no
// origin shift and clips to one rectangle at most (the slide effects leave
// it clipped to the picture), and both sides hold 24- or 32-bit pixels.
struct TDirectPixels {
    TPixelBuffer To;
    TPixelBuffer From;
    int ToBytes = 0;
    int FromBytes = 0;
    TRect Clip; // where the canvas may be drawn on, within its memory
};

std::optional<TDirectPixels> DirectPixels(TCanvas& canvas, TBitmap& newBitmap)
{
    const TPoint origin = canvas.LogicalToDevice(0, 0);
    const TRegion* clip = canvas.ClipRegion();
    if ((clip && clip->Kind() != SIMPLEREGION) || canvas.CopyMode != cmSrcCopy || !canvas.Surface() ||
        origin.X != 0 || origin.Y != 0)
        return std::nullopt;
    TDirectPixels pixels{canvas.Surface()->PixelBuffer(), newBitmap.PixelBuffer(), 0, 0, {}};
    auto trueColour = [](const TPixelBuffer& b) { return b.BitsPerPixel == 24 || b.BitsPerPixel == 32; };
    if (!trueColour(pixels.To) || !trueColour(pixels.From))
        return std::nullopt;
    pixels.ToBytes = pixels.To.BitsPerPixel / 8;
    pixels.FromBytes = pixels.From.BitsPerPixel / 8;
    pixels.Clip = clip ? gfx::IntersectRect(clip->Box(), pixels.To.Bounds()) : pixels.To.Bounds();
    return pixels;
}

// Copies (x, y, width, height) of the new bitmap at (sx, sy) between the
// memories, clipped to both and to the canvas's clip; the part drawn, in
// canvas coordinates.
TRect CopyPixels(const TDirectPixels& pixels, int x, int y, int width, int height, int sx, int sy)
{
    const TPixelBuffer& to = pixels.To;
    const TPixelBuffer& from = pixels.From;
    // Clip to both pictures, moving the source with the destination.
    const TRect& clip = pixels.Clip;
    const int left = std::max({x, clip.Left, x - sx});
    const int top = std::max({y, clip.Top, y - sy});
    const int right = std::min({x + width, clip.Right, x - sx + from.Width});
    const int bottom = std::min({y + height, clip.Bottom, y - sy + from.Height});
    if (to.Empty() || from.Empty() || left >= right || top >= bottom)
        return {};
    for (int row = top; row < bottom; ++row)
        CopyRow(from.Row(row - y + sy) + static_cast<std::ptrdiff_t>(left - x + sx) * pixels.FromBytes,
                pixels.FromBytes, to.Row(row) + static_cast<std::ptrdiff_t>(left) * pixels.ToBytes, pixels.ToBytes,
                right - left);
    return Rect(left, top, right, bottom);
}

bool DirectCopy(TCanvas& canvas, TBitmap& newBitmap, int x, int y, int width, int height, int sx, int sy)
{
    const std::optional<TDirectPixels> pixels = DirectPixels(canvas, newBitmap);
    if (!pixels)
        return false;
    const TRect drawn = CopyPixels(*pixels, x, y, width, height, sx, sy);
    if (!drawn.IsEmpty())
        canvas.NotifyChanged(drawn);
    return true;
}

// Many small copies of one step at the same places: the memories are looked
// up once, and the canvas hears of the changes once, at the end.
class TStepCopier {
public:
    TStepCopier(TCanvas& canvas, TBitmap& newBitmap)
        : canvas_(canvas), newBitmap_(newBitmap), direct_(DirectPixels(canvas, newBitmap))
    {
    }
    TStepCopier(const TStepCopier&) = delete;
    TStepCopier& operator=(const TStepCopier&) = delete;

    // Tells the canvas what the step drew.
    void Finish()
    {
        if (!changed_.IsEmpty())
            canvas_.NotifyChanged(changed_);
        changed_ = {};
    }

    // Copies what r adds to before, a rectangle inside it (a cell that grew
    // around its centre); all of r when before is empty or not inside.
    void CopyGrowth(const TRect& r, const TRect& before)
    {
        const bool inside = !before.IsEmpty() && before.Left >= r.Left && before.Top >= r.Top &&
                            before.Right <= r.Right && before.Bottom <= r.Bottom;
        if (!inside) {
            Copy(r);
        } else if (direct_) {
            CopyRing(r, before);
        } else {
            Copy(Rect(r.Left, r.Top, r.Right, before.Top));
            Copy(Rect(r.Left, before.Bottom, r.Right, r.Bottom));
            Copy(Rect(r.Left, before.Top, before.Left, before.Bottom));
            Copy(Rect(before.Right, before.Top, r.Right, before.Bottom));
        }
    }

    void Copy(const TRect& r)
    {
        if (r.IsEmpty())
            return;
        if (!direct_) {
            gfx::BitBlt(canvas_, r.Left, r.Top, r.Width(), r.Height(), &newBitmap_.Canvas(), r.Left, r.Top, SRCCOPY);
            return;
        }
        const TRect drawn = CopyPixels(*direct_, r.Left, r.Top, r.Width(), r.Height(), r.Left, r.Top);
        if (!drawn.IsEmpty())
            changed_ = gfx::UnionRect(changed_, drawn);
    }

private:
    // The ring between r and the hole inside it, row by row in one pass:
    // whole rows above and below the hole, the two short pieces beside it.
    void CopyRing(TRect r, TRect hole)
    {
        const TPixelBuffer& to = direct_->To;
        const TPixelBuffer& from = direct_->From;
        const TRect both = gfx::IntersectRect(direct_->Clip, from.Bounds());
        r = gfx::IntersectRect(r, both);
        hole = gfx::IntersectRect(hole, both);
        if (to.Empty() || from.Empty() || r.IsEmpty())
            return;
        if (direct_->FromBytes == 3 && direct_->ToBytes == 3)
            CopyRingRows<3>(r, hole);
        else if (direct_->FromBytes == 4 && direct_->ToBytes == 4)
            CopyRingRows<4>(r, hole);
        else
            CopyRingRows<0>(r, hole);
        changed_ = gfx::UnionRect(changed_, r);
    }

    // Bytes: the pixel size both sides share, or 0 when they differ. The
    // pieces beside the hole are mostly one pixel wide: copied in place.
    template <int Bytes> void CopyRingRows(const TRect& r, const TRect& hole)
    {
        const TPixelBuffer& to = direct_->To;
        const TPixelBuffer& from = direct_->From;
        const auto copySpan = [&](const std::uint8_t* fromRow, std::uint8_t* toRow, int left, int right) {
            if constexpr (Bytes == 0) {
                if (left < right)
                    CopyRow(fromRow + left * direct_->FromBytes, direct_->FromBytes, toRow + left * direct_->ToBytes,
                            direct_->ToBytes, right - left);
            } else if (right - left == 1) {
                std::memcpy(toRow + left * Bytes, fromRow + left * Bytes, Bytes);
            } else if (left < right) {
                CopyRow(fromRow + left * Bytes, Bytes, toRow + left * Bytes, Bytes, right - left);
            }
        };
        for (int y = r.Top; y < r.Bottom; ++y) {
            const std::uint8_t* fromRow = from.Row(y);
            std::uint8_t* toRow = to.Row(y);
            if (y >= hole.Top && y < hole.Bottom) {
                copySpan(fromRow, toRow, r.Left, hole.Left);
                copySpan(fromRow, toRow, hole.Right, r.Right);
            } else {
                copySpan(fromRow, toRow, r.Left, r.Right);
            }
        }
    }

    TCanvas& canvas_;
    TBitmap& newBitmap_;
    std::optional<TDirectPixels> direct_;
    TRect changed_;
};

// Copies the rectangle of the new bitmap at (sx, sy) to (x, y) of the canvas.
void CopyFromNew(TCanvas& canvas, TBitmap& newBitmap, int x, int y, int width, int height, int sx, int sy)
{
    if (width <= 0 || height <= 0)
        return;
    if (!DirectCopy(canvas, newBitmap, x, y, width, height, sx, sy))
        gfx::BitBlt(canvas, x, y, width, height, &newBitmap.Canvas(), sx, sy, SRCCOPY);
}

void CopySame(TCanvas& canvas, TBitmap& newBitmap, int x, int y, int width, int height)
{
    CopyFromNew(canvas, newBitmap, x, y, width, height, x, y);
}

// x taken to the nearest integer, halves to even.
int N(long double x)
{
    return static_cast<int>(std::nearbyintl(x));
}

// ---- Blinds ------------------------------------------------------------

// One pixel of each column in every row of the area; Bytes: the pixel size
// both sides share (copied in place), or 0 when they differ.
template <int Bytes> void CopyColumnPixels(const TDirectPixels& pixels, const std::vector<int>& columns, const TRect& area)
{
    for (int y = area.Top; y < area.Bottom; ++y) {
        const std::uint8_t* from = pixels.From.Row(y);
        std::uint8_t* to = pixels.To.Row(y);
        for (int x : columns) {
            if (x < area.Left || x >= area.Right)
                continue;
            if constexpr (Bytes == 0)
                CopyRow(from + x * pixels.FromBytes, pixels.FromBytes, to + x * pixels.ToBytes, pixels.ToBytes, 1);
            else
                std::memcpy(to + x * Bytes, from + x * Bytes, Bytes);
        }
    }
}

// Full-height one-pixel columns, row by row through the memory when it can.
void CopyColumns(TCanvas& canvas, TBitmap& newBitmap, const std::vector<int>& columns)
{
    const int height = newBitmap.Height();
    const std::optional<TDirectPixels> pixels = DirectPixels(canvas, newBitmap);
    if (!pixels) {
        for (int x : columns)
            CopySame(canvas, newBitmap, x, 0, 1, height);
        return;
    }
    const TRect area = gfx::IntersectRect(pixels->Clip, pixels->From.Bounds());
    if (area.IsEmpty() || columns.empty())
        return;
    if (pixels->FromBytes == 3 && pixels->ToBytes == 3)
        CopyColumnPixels<3>(*pixels, columns, area);
    else if (pixels->FromBytes == 4 && pixels->ToBytes == 4)
        CopyColumnPixels<4>(*pixels, columns, area);
    else
        CopyColumnPixels<0>(*pixels, columns, area);
    canvas.NotifyChanged(Rect(std::max(area.Left, columns.front()), area.Top,
                              std::min(area.Right, columns.back() + 1), area.Bottom));
}

void Blinds(TBitmap& newBitmap, TCanvas& canvas, bool rows, bool reverse)
{
    const int width = newBitmap.Width();
    const int height = newBitmap.Height();
    const int extent = rows ? height : width;
    for (int step = 0; step < 20; ++step) {
        const int i = reverse ? 19 - step : step;
        StartFrameClock();
        std::vector<int> lines;
        for (int k = 0; k <= extent / 20; ++k)
            if (20 * k + i < extent)
                lines.push_back(20 * k + i);
        if (rows) {
            for (int line : lines)
                CopySame(canvas, newBitmap, 0, line, width, 1);
        } else {
            CopyColumns(canvas, newBitmap, lines);
        }
        WaitFrameClock(10);
    }
    BlendNone(newBitmap, canvas);
}

// ---- Bands -------------------------------------------------------------

int BandHeight(const TBitmap& newBitmap)
{
    return std::max((newBitmap.Height() / 80) / 2, 1);
}

void BandStep(TBitmap& newBitmap, TCanvas& canvas, int y, int s)
{
    StartFrameClock();
    CopySame(canvas, newBitmap, 0, y, newBitmap.Width(), s);
    WaitFrameClock(10);
}

// Even bands top to bottom, then odd bands back up.
void BandsDownUp(TBitmap& newBitmap, TCanvas& canvas)
{
    const int s = BandHeight(newBitmap);
    const int height = newBitmap.Height();
    int y = 0;
    for (; y < height; y += 2 * s)
        BandStep(newBitmap, canvas, y, s);
    for (y -= s; y > 0; y -= 2 * s)
        BandStep(newBitmap, canvas, y, s);
    BlendNone(newBitmap, canvas);
}

// Bands from the bottom up, then back down between them.
void BandsUpDown(TBitmap& newBitmap, TCanvas& canvas)
{
    const int s = BandHeight(newBitmap);
    const int height = newBitmap.Height();
    int y = height;
    for (; y > 0; y -= 2 * s)
        BandStep(newBitmap, canvas, y, s);
    for (y += s; y < height; y += 2 * s)
        BandStep(newBitmap, canvas, y, s);
    BlendNone(newBitmap, canvas);
}

// Even bands from the top and odd bands from the bottom at once; together
// they cover the picture, so no final copy.
void BandsBothWays(TBitmap& newBitmap, TCanvas& canvas)
{
    const int s = BandHeight(newBitmap);
    const int width = newBitmap.Width();
    const int height = newBitmap.Height();
    int top = 0;
    int bottom = height - height % s;
    if ((bottom / s) % 2 == 0)
        bottom += s;
    while (top < height || bottom >= 0) {
        StartFrameClock();
        CopySame(canvas, newBitmap, 0, top, width, s);
        CopySame(canvas, newBitmap, 0, bottom, width, s);
        WaitFrameClock(10);
        top += 2 * s;
        bottom -= 2 * s;
    }
}

// ---- Slide-in ----------------------------------------------------------

enum class TSlide { FromTop, FromBottom, FromLeft, FromRight };

// Where one slide step scrolls and what it copies. Rectangles are
// canvas-side; source points are in the new bitmap.
struct TSlidePlan {
    TRect Scroll;
    int Dx = 0;
    int Dy = 0;
    TRect Shown; // the whole visible part of the new picture
    TPoint ShownSource;
    TRect Strip; // the newly exposed strip
    TPoint StripSource;
};

TSlidePlan PlanSlide(TSlide slide, int width, int height, int prev, int pos)
{
    const int delta = pos - prev;
    TSlidePlan p;
    switch (slide) {
    case TSlide::FromTop:
        // The right edge of the scroll stops one column short: a seam that
        // the final copy closes.
        p.Scroll = Rect(0, 0, width - 1, pos);
        p.Dy = delta;
        p.Shown = Rect(0, 0, width, pos);
        p.ShownSource = Point(0, height - pos);
        p.Strip = Rect(0, 0, width, delta);
        p.StripSource = Point(0, height - pos);
        break;
    case TSlide::FromBottom:
        p.Scroll = Rect(0, height - pos, width, height);
        p.Dy = -delta;
        p.Shown = Rect(0, height - pos, width, height);
        p.ShownSource = Point(0, 0);
        p.Strip = Rect(0, height - delta, width, height);
        p.StripSource = Point(0, prev);
        break;
    case TSlide::FromLeft:
        p.Scroll = Rect(0, 0, pos, height - 1);
        p.Dx = delta;
        p.Shown = Rect(0, 0, pos, height);
        p.ShownSource = Point(width - pos, 0);
        p.Strip = Rect(0, 0, delta, height);
        p.StripSource = Point(width - pos, 0);
        break;
    case TSlide::FromRight:
        p.Scroll = Rect(width - pos, 0, width, height);
        p.Dx = -delta;
        p.Shown = Rect(width - pos, 0, width, height);
        p.ShownSource = Point(0, 0);
        p.Strip = Rect(width - delta, 0, width, height);
        p.StripSource = Point(prev, 0);
        break;
    }
    return p;
}

void CopyFromNew(TCanvas& canvas, TBitmap& newBitmap, const TRect& dest, const TPoint& source)
{
    CopyFromNew(canvas, newBitmap, dest.Left, dest.Top, dest.Width(), dest.Height(), source.X, source.Y);
}

void ScrollAndRepaint(TBitmap& newBitmap, TCanvas& canvas, const TSlidePlan& plan)
{
    TRegion uncovered;
    gfx::ScrollDC(canvas, plan.Dx, plan.Dy, &plan.Scroll, &plan.Scroll, &uncovered, nullptr);
    TRect box;
    if (gfx::GetRgnBox(uncovered, box) == NULLREGION)
        return;
    gfx::SelectClipRgn(canvas, &uncovered);
    CopyFromNew(canvas, newBitmap, plan.Shown, plan.ShownSource);
    Tools::SetClipRect(canvas, Rect(0, 0, newBitmap.Width(), newBitmap.Height()));
}

void SlideIn(TBitmap& newBitmap, TCanvas& canvas, TSlide slide)
{
    const int width = newBitmap.Width();
    const int height = newBitmap.Height();
    const bool vertical = slide == TSlide::FromTop || slide == TSlide::FromBottom;
    const int extent = vertical ? height : width;
    const int d = std::max((extent - 1) / 30, 1);
    int pos = 0;
    while (pos < extent) {
        StartFrameClock();
        const int prev = pos;
        pos = std::min(pos + d, extent);
        const TSlidePlan plan = PlanSlide(slide, width, height, prev, pos);
        if (prev > 0)
            ScrollAndRepaint(newBitmap, canvas, plan);
        CopyFromNew(canvas, newBitmap, plan.Strip, plan.StripSource);
        WaitFrameClock(30);
    }
    BlendNone(newBitmap, canvas);
}

// ---- Cell effects ------------------------------------------------------

// Start value of the cell in row r, column c of a grid of rows x cols.
using TStartValue = int (*)(int r, int c, int rows, int cols);

struct TGridGeometry {
    int r, c, rows, cols, hr, hc;
    long double Q() const // squared distance from the centre cell
    {
        const long double dr = r - hr;
        const long double dc = c - hc;
        return dr * dr + dc * dc;
    }
};

TGridGeometry Geometry(int r, int c, int rows, int cols)
{
    return {r, c, rows, cols, rows / 2, cols / 2};
}

// Angle of the cell seen from the picture centre, against the vertical, in
// 0 .. pi/2.
long double CentreAngle(const TGridGeometry& g)
{
    const long double rowOff = g.r - g.rows / 2.0L;
    const long double colOff = g.c - g.cols / 2.0L;
    long double d = std::sqrt(rowOff * rowOff + colOff * colOff);
    if (d == 0)
        d = 1;
    return std::asin(std::min(std::fabs(g.rows / 2.0L - g.r) / d, 1.0L));
}

// Clockwise from twelve o'clock, 0 .. 2 pi.
long double FullCircleAngle(const TGridGeometry& g)
{
    constexpr long double pi = std::numbers::pi_v<long double>;
    const long double a = CentreAngle(g);
    const bool upper = g.r <= g.hr;
    const bool left = g.c <= g.hc;
    if (upper && left)
        return a + 3 * pi / 2;
    if (upper)
        return pi / 2 - a;
    if (!left)
        return a + pi / 2;
    return 3 * pi / 2 - a;
}

long double QuarterAngle(const TGridGeometry& g)
{
    constexpr long double pi = std::numbers::pi_v<long double>;
    const long double a = CentreAngle(g);
    const bool upper = g.r <= g.hr;
    const bool left = g.c <= g.hc;
    return (upper != left) ? pi / 2 - a : a;
}

int Rings(const TGridGeometry& g, long double divisor)
{
    return std::abs(N(40 * std::sin(std::sqrt(g.Q()) / divisor)));
}

int StartTogether(int, int, int, int) { return 0; }
int StartTopLeft(int r, int c, int, int) { return -10 * (r + c); }
int StartTopRight(int r, int c, int, int cols) { return -10 * ((cols - 1 - c) + r); }
int StartBottomRight(int r, int c, int rows, int cols) { return -10 * ((rows - 1 - r) + (cols - 1 - c)); }
int StartBottomLeft(int r, int c, int rows, int) { return -10 * ((rows - 1 - r) + c); }
int StartRandom200(int, int, int, int) { return -rtl::Random(200); }
int StartRandom150(int, int, int, int) { return -rtl::Random(150); }

int StartCircleOut(int r, int c, int rows, int cols)
{
    return -N(std::sqrt(Geometry(r, c, rows, cols).Q()));
}

int StartCircleIn(int r, int c, int rows, int cols)
{
    const TGridGeometry g = Geometry(r, c, rows, cols);
    const long double corner = std::sqrt(static_cast<long double>(g.hr) * g.hr + static_cast<long double>(g.hc) * g.hc);
    return N(std::sqrt(g.Q())) - (N(corner) + 1);
}

int StartRings(int r, int c, int rows, int cols)
{
    return -Rings(Geometry(r, c, rows, cols), 10);
}

int StartSkewedRings(int r, int c, int rows, int cols)
{
    const TGridGeometry g = Geometry(r, c, rows, cols);
    return -std::abs(N(40 * std::sin(std::sqrt(g.Q()) / 10) - (r % 360)));
}

int StartSmallCircles(int r, int c, int, int)
{
    return -std::abs(N(20 * std::sin(r / 5.0L) + 20 * std::sin(c / 5.0L)));
}

int StartRadar(int r, int c, int rows, int cols)
{
    return -N(20 * FullCircleAngle(Geometry(r, c, rows, cols)));
}

int StartSpiralRadar(int r, int c, int rows, int cols)
{
    const TGridGeometry g = Geometry(r, c, rows, cols);
    return -Rings(g, 5) - N(20 * FullCircleAngle(g));
}

int StartQuarterRadar(int r, int c, int rows, int cols)
{
    return -N(20 * QuarterAngle(Geometry(r, c, rows, cols)));
}

int StartQuarterSpiralRadar(int r, int c, int rows, int cols)
{
    const TGridGeometry g = Geometry(r, c, rows, cols);
    return -Rings(g, 5) - N(20 * QuarterAngle(g));
}

// ---- Alpha blends ------------------------------------------------------

// work = old + ((new - old) * i >> shift) for every byte; >> on a negative
// value floors (arithmetic shift). Sixteen bytes at a time in 16-bit lanes
// ((new - old) * i stays within +-255 * 32).
void FadeBytes(const std::uint8_t* oldBytes, const std::uint8_t* newBytes, std::uint8_t* workBytes, std::size_t count,
               int i, int shift)
{
    using Bytes = std::uint8_t __attribute__((vector_size(16)));
    using Words = std::int16_t __attribute__((vector_size(32)));
    const auto step = static_cast<std::int16_t>(i);
    std::size_t k = 0;
    for (; k + 16 <= count; k += 16) {
        Bytes from, to;
        std::memcpy(&from, oldBytes + k, 16);
        std::memcpy(&to, newBytes + k, 16);
        const Words a = __builtin_convertvector(from, Words);
        const Words b = __builtin_convertvector(to, Words);
        const Bytes mixed = __builtin_convertvector(a + (((b - a) * step) >> shift), Bytes);
        std::memcpy(workBytes + k, &mixed, 16);
    }
    for (; k < count; ++k) {
        const int from = oldBytes[k];
        workBytes[k] = static_cast<std::uint8_t>(from + (((newBytes[k] - from) * i) >> shift));
    }
}

bool CanCrossFade(const TBitmap& newBitmap, const TBitmap& oldBitmap)
{
    // Blending palette indices would give arbitrary colours; differing
    // formats would mix unlike bytes.
    return SameBitmapSize(&oldBitmap, newBitmap) && oldBitmap.PixelFormat() == newBitmap.PixelFormat() &&
           BitmapTools::GetBitsPerPixel(newBitmap) >= 15 && newBitmap.RowStride() == oldBitmap.RowStride();
}

// One fade step straight into the canvas's memory, row by row: the picture
// the work bitmap would hold, without the bitmap and a second pass to copy
// it. scratch: one row of the new bitmap's pixels, for a canvas of another
// pixel size.
void FadeIntoCanvas(TCanvas& canvas, const TDirectPixels& pixels, TBitmap& oldBitmap,
                    std::vector<std::uint8_t>& scratch, int i, int shift)
{
    const TRect area = gfx::IntersectRect(pixels.Clip, pixels.From.Bounds());
    if (area.IsEmpty())
        return;
    const TPixelBuffer old = oldBitmap.PixelBuffer();
    const int fromBytes = pixels.FromBytes;
    const int toBytes = pixels.ToBytes;
    const auto count = static_cast<std::size_t>(area.Width()) * static_cast<std::size_t>(fromBytes);
    for (int y = area.Top; y < area.Bottom; ++y) {
        const std::uint8_t* oldRow = old.Row(y) + area.Left * fromBytes;
        const std::uint8_t* newRow = pixels.From.Row(y) + area.Left * fromBytes;
        std::uint8_t* toRow = pixels.To.Row(y) + area.Left * toBytes;
        if (fromBytes == toBytes) {
            FadeBytes(oldRow, newRow, toRow, count, i, shift);
        } else {
            FadeBytes(oldRow, newRow, scratch.data(), count, i, shift);
            CopyRow(scratch.data(), fromBytes, toRow, toBytes, area.Width());
        }
    }
    canvas.NotifyChanged(area);
}

// The fade through a work bitmap copied to the canvas as a whole, for
// canvases whose memory cannot be written directly.
void FadeThroughWorkBitmap(TBitmap& newBitmap, TBitmap& oldBitmap, TCanvas& canvas, int shift)
{
    TBitmap work;
    work.Assign(&newBitmap);
    std::uint8_t* newBytes = nullptr;
    std::uint8_t* oldBytes = nullptr;
    std::uint8_t* workBytes = nullptr;
    const std::size_t count = BitmapTools::FirstBitmapByte(newBitmap, newBytes);
    BitmapTools::FirstBitmapByte(oldBitmap, oldBytes);
    BitmapTools::FirstBitmapByte(work, workBytes);
    const int steps = 1 << shift;
    for (int i = 1; i <= steps; ++i) {
        StartFrameClock();
        FadeBytes(oldBytes, newBytes, workBytes, count, i, shift);
        work.PixelsChanged(Rect(0, 0, work.Width(), work.Height()));
        gfx::BitBlt(canvas, 0, 0, work.Width(), work.Height(), &work.Canvas(), 0, 0, SRCCOPY);
        WaitFrameClock(20);
    }
}

void CrossFade(TBitmap& newBitmap, TBitmap& oldBitmap, TCanvas& canvas, int shift)
{
    if (!CanCrossFade(newBitmap, oldBitmap)) {
        BlendNone(newBitmap, canvas);
        return;
    }
    if (DirectPixels(canvas, newBitmap)) {
        std::vector<std::uint8_t> scratch(static_cast<std::size_t>(newBitmap.RowStride()));
        const int steps = 1 << shift;
        for (int i = 1; i <= steps; ++i) {
            StartFrameClock();
            if (const std::optional<TDirectPixels> pixels = DirectPixels(canvas, newBitmap))
                FadeIntoCanvas(canvas, *pixels, oldBitmap, scratch, i, shift);
            WaitFrameClock(20);
        }
    } else {
        FadeThroughWorkBitmap(newBitmap, oldBitmap, canvas, shift);
    }
    BlendNone(newBitmap, canvas);
}

template <void (*Effect)(TBitmap&, TCanvas&)> void WithoutOld(TBitmap& newBitmap, TBitmap*, TCanvas& canvas)
{
    Effect(newBitmap, canvas);
}

void RunNone(TBitmap& newBitmap, TBitmap*, TCanvas& canvas)
{
    BlendNone(newBitmap, canvas);
}

template <void (*Effect)(TBitmap&, TBitmap&, TCanvas&)>
void WithOld(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas)
{
    if (SameBitmapSize(oldBitmap, newBitmap))
        Effect(newBitmap, *oldBitmap, canvas);
    else
        BlendNone(newBitmap, canvas);
}

} // namespace

// Grouped by engine: plain, lines and bands, slides, cells, alpha.
const std::array<TBlendingEffect, 32> BlendingEffects = {{
    {0, "Keine", false, 0, RunNone},
    {1, "Zufällig", false, 0, BlendRandomEnabled},
    {2, "Jalousie (Oben)", false, 10, WithoutOld<Blend1>},
    {3, "Jalousie (Unten)", false, 10, WithoutOld<Blend2>},
    {4, "Streifen (Oben-Unten-Oben)", false, 10, WithoutOld<Blend3>},
    {5, "Streifen (Unten-Oben-Unten)", false, 10, WithoutOld<Blend4>},
    {6, "Jalousie (Links)", false, 10, WithoutOld<Blend5>},
    {7, "Jalousie (Rechts)", false, 10, WithoutOld<Blend6>},
    {8, "Bild (Oben)", false, 30, WithoutOld<Blend7>},
    {9, "Bild (Unten)", false, 30, WithoutOld<Blend8>},
    {10, "Bild (Links)", false, 30, WithoutOld<Blend9>},
    {11, "Bild (Rechts)", false, 30, WithoutOld<Blend10>},
    {12, "Streifen (Oben und Unten)", false, 10, WithoutOld<Blend11>},
    {13, "Kästchen (gleichmäßig)", false, 10, WithoutOld<Blend12>},
    {14, "Kästchen (Links-Oben nach Rechts-Unten)", false, 10, WithoutOld<Blend13>},
    {15, "Kästchen (Rechts-Oben nach Links-Unten)", false, 10, WithoutOld<Blend14>},
    {16, "Kästchen (Rechts-Unten nach Links-Oben)", false, 10, WithoutOld<Blend15>},
    {17, "Kästchen (Links-Unten nach Rechts-Oben)", false, 10, WithoutOld<Blend16>},
    {18, "Kästchen (Zufällig)", false, 10, WithoutOld<Blend17>},
    {19, "Kästchen (Zufällig, klein)", false, 10, WithoutOld<Blend18>},
    {20, "Kästchen (Zufällig, sehr klein)", false, 10, WithoutOld<Blend19>},
    {21, "Kreis (Innen nach Außen)", false, 10, WithoutOld<Blend20>},
    {22, "Kreis (Außen nach Innen)", false, 10, WithoutOld<Blend21>},
    {23, "Ringe", false, 10, WithoutOld<Blend22>},
    {24, "Kreiseffekt", false, 10, WithoutOld<Blend23>},
    {25, "kleine Kreise", false, 10, WithoutOld<Blend24>},
    {26, "Radar", false, 10, WithoutOld<Blend25>},
    {27, "Spiral-Radar", false, 10, WithoutOld<Blend26>},
    {28, "Viertel-Radar", false, 10, WithoutOld<Blend27>},
    {29, "Viertel-Spiral-Radar", false, 10, WithoutOld<Blend28>},
    {30, "Alphablending", true, 20, WithOld<BlendAlpha>},
    {31, "Alphablending (weicher)", true, 20, WithOld<BlendAlphaSoft>},
}};

void BlendNr(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas, int n, const TCanvasFlush& flush)
{
    if (n < 0 || n >= static_cast<int>(BlendingEffects.size()))
        return;
    TFlushScope scope(flush, canvas);
    TScheduleScope schedule;
    BlendingEffects[static_cast<std::size_t>(n)].Run(newBitmap, oldBitmap, canvas);
    FlushTarget();
}

void BlendNone(TBitmap& newBitmap, TCanvas& canvas)
{
    CopySame(canvas, newBitmap, 0, 0, newBitmap.Width(), newBitmap.Height());
}

void BlendRandom(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas)
{
    BlendNr(newBitmap, oldBitmap, canvas, 1 + rtl::Random(31));
}

void BlendRandomEnabled(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas)
{
    const int n = GetRandomBlending();
    BlendingEffects[static_cast<std::size_t>(n)].Run(newBitmap, oldBitmap, canvas);
}

int GetRandomBlending()
{
    if (std::none_of(RandomBlendings.begin() + 2, RandomBlendings.end(), [](bool on) { return on; }))
        return 0;
    for (;;) {
        const int k = rtl::Random(30);
        if (RandomBlendings[static_cast<std::size_t>(k + 2)])
            return k + 2;
    }
}

int GetBlending(int n)
{
    if (n == 1)
        return GetRandomBlending();
    return (n == 0 || (n >= 2 && n <= 31)) ? n : 0;
}

bool NeedOldBitmap(int n)
{
    return n == 30 || n == 31;
}

std::unique_ptr<TStringList> BlendingNames()
{
    auto names = std::make_unique<TStringList>();
    for (const TBlendingEffect& effect : BlendingEffects)
        names->Add(effect.Name);
    return names;
}

bool SameBitmapSize(const TBitmap* oldBitmap, const TBitmap& newBitmap)
{
    return oldBitmap && oldBitmap->Width() == newBitmap.Width() && oldBitmap->Height() == newBitmap.Height();
}

void StartFrameClock()
{
    frameClock = rtl::GetTickCount();
}

void WaitFrameClock(int n)
{
    FlushTarget();
    const int length = std::max(n, kShortestStep);
    // The end of the step in ms from its start (the tick counter wraps, so
    // only differences count). Its drawing time is part of it.
    std::int64_t end = length;
    if (scheduledEnd) {
        const std::uint32_t due = *scheduledEnd + static_cast<std::uint32_t>(length);
        end = std::max<std::int64_t>(static_cast<std::int32_t>(due - frameClock), n);
        scheduledEnd = due;
    }
    const auto elapsed = [] { return static_cast<std::int64_t>(rtl::GetTickCount() - frameClock); };
    // One long sleep, then short ones until the end; at least one, so the
    // processor is given up on every step.
    const std::int64_t left = end - elapsed();
    if (left > 1)
        rtl::Sleep(static_cast<std::uint32_t>(std::min<std::int64_t>(left - 1, 10)));
    do
        rtl::Sleep(1);
    while (elapsed() < end);
}

// ---- Cell engine -------------------------------------------------------

namespace {

int DefaultCellSize(int width, int height)
{
    if (width > height)
        return std::max(width / 10, 1);
    const int s = std::max(height / 10, 1);
    return 10 * s < height ? s + 1 : s;
}

int CeilDiv(int a, int b)
{
    return a / b + (a % b != 0 ? 1 : 0);
}

// Grows one visible size of a cell by a step; see AnimateCellGrid.
void GrowVisible(std::int32_t full, std::int32_t& visible, bool drawn)
{
    if (full < visible && drawn)
        return;
    if (full == visible) {
        visible += 1;
        return;
    }
    visible += 2;
    if (drawn && full < visible)
        visible = full;
}

// The part of [low, high) of the given visible size around its centre.
void Narrow(std::int32_t& low, std::int32_t& high, std::int32_t visible)
{
    if (high - low <= visible)
        return;
    low = low + (high - low) / 2 - visible / 2;
    high = low + visible;
}

} // namespace

std::vector<TCell> BuildCellGrid(const TBitmap& newBitmap, int& cols, int& rows)
{
    const int width = newBitmap.Width();
    const int height = newBitmap.Height();
    int s;
    // A fine grid asked for with no rows on a portrait picture would divide
    // by zero: it falls back to the default grid.
    if (cols != 0 && (width > height || rows > 0))
        s = std::max(width > height ? width / cols : height / rows, 1);
    else
        s = DefaultCellSize(width, height);
    cols = CeilDiv(width, s);
    rows = CeilDiv(height, s);
    std::vector<TCell> cells(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            TCell& cell = cells[static_cast<std::size_t>(r) * cols + c];
            cell.Left = c * s;
            cell.Top = r * s;
            cell.Right = cell.Left + s + 1;
            cell.Bottom = cell.Top + s + 1;
        }
    return cells;
}

void AnimateCellGrid(TBitmap& newBitmap, TCanvas& canvas, std::vector<TCell>& cells)
{
    canvas.CopyMode = cmSrcCopy;
    // What each cell has drawn so far: a step copies only what it adds.
    std::vector<TRect> shown(cells.size());
    bool allFinished;
    do {
        StartFrameClock();
        allFinished = true;
        TStepCopier copier(canvas, newBitmap);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            TCell& cell = cells[i];
            const std::int32_t fullWidth = cell.Right - cell.Left;
            const std::int32_t fullHeight = cell.Bottom - cell.Top;
            if (fullWidth < cell.VisibleWidth && fullHeight < cell.VisibleHeight)
                continue;
            const bool drawn = cell.VisibleWidth > 0 && cell.VisibleHeight > 0;
            if (drawn) {
                TRect r = Rect(cell.Left, cell.Top, cell.Right, cell.Bottom);
                Narrow(r.Left, r.Right, cell.VisibleWidth);
                Narrow(r.Top, r.Bottom, cell.VisibleHeight);
                copier.CopyGrowth(r, shown[i]);
                shown[i] = r;
            }
            GrowVisible(fullWidth, cell.VisibleWidth, drawn);
            GrowVisible(fullHeight, cell.VisibleHeight, drawn);
            allFinished = false;
        }
        copier.Finish();
        WaitFrameClock(10);
    } while (!allFinished);
    BlendNone(newBitmap, canvas);
}

// ---- The effects ---------------------------------------------------------

void Blend1(TBitmap& b, TCanvas& c) { Blinds(b, c, true, false); }
void Blend2(TBitmap& b, TCanvas& c) { Blinds(b, c, true, true); }
void Blend3(TBitmap& b, TCanvas& c) { BandsDownUp(b, c); }
void Blend4(TBitmap& b, TCanvas& c) { BandsUpDown(b, c); }
void Blend5(TBitmap& b, TCanvas& c) { Blinds(b, c, false, false); }
void Blend6(TBitmap& b, TCanvas& c) { Blinds(b, c, false, true); }
void Blend7(TBitmap& b, TCanvas& c) { SlideIn(b, c, TSlide::FromTop); }
void Blend8(TBitmap& b, TCanvas& c) { SlideIn(b, c, TSlide::FromBottom); }
void Blend9(TBitmap& b, TCanvas& c) { SlideIn(b, c, TSlide::FromLeft); }
void Blend10(TBitmap& b, TCanvas& c) { SlideIn(b, c, TSlide::FromRight); }
void Blend11(TBitmap& b, TCanvas& c) { BandsBothWays(b, c); }
namespace {

struct TCellEffect {
    int GridSize;
    TStartValue StartValue;
};

// Effects 13-29.
constexpr std::array<TCellEffect, 17> CellEffects = {{
    {0, StartTogether},
    {0, StartTopLeft},
    {0, StartTopRight},
    {0, StartBottomRight},
    {0, StartBottomLeft},
    {0, StartRandom200},
    {50, StartRandom150},
    {130, StartRandom150},
    {130, StartCircleOut},
    {130, StartCircleIn},
    {130, StartRings},
    {130, StartSkewedRings},
    {80, StartSmallCircles},
    {90, StartRadar},
    {130, StartSpiralRadar},
    {90, StartQuarterRadar},
    {130, StartQuarterSpiralRadar},
}};

const TCellEffect& CellEffectOf(int n)
{
    return CellEffects.at(static_cast<std::size_t>(n - 13));
}

void CellEffect(TBitmap& newBitmap, TCanvas& canvas, int n)
{
    int cols = CellGridSize(n);
    int rows = cols;
    std::vector<TCell> cells = BuildCellGrid(newBitmap, cols, rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            TCell& cell = cells[static_cast<std::size_t>(r) * cols + c];
            cell.VisibleWidth = cell.VisibleHeight = CellStartValue(n, r, c, rows, cols);
        }
    AnimateCellGrid(newBitmap, canvas, cells);
}

} // namespace

int CellStartValue(int n, int r, int c, int rows, int cols)
{
    return CellEffectOf(n).StartValue(r, c, rows, cols);
}

int CellGridSize(int n)
{
    return CellEffectOf(n).GridSize;
}

void Blend12(TBitmap& b, TCanvas& c) { CellEffect(b, c, 13); }
void Blend13(TBitmap& b, TCanvas& c) { CellEffect(b, c, 14); }
void Blend14(TBitmap& b, TCanvas& c) { CellEffect(b, c, 15); }
void Blend15(TBitmap& b, TCanvas& c) { CellEffect(b, c, 16); }
void Blend16(TBitmap& b, TCanvas& c) { CellEffect(b, c, 17); }
void Blend17(TBitmap& b, TCanvas& c) { CellEffect(b, c, 18); }
void Blend18(TBitmap& b, TCanvas& c) { CellEffect(b, c, 19); }
void Blend19(TBitmap& b, TCanvas& c) { CellEffect(b, c, 20); }
void Blend20(TBitmap& b, TCanvas& c) { CellEffect(b, c, 21); }
void Blend21(TBitmap& b, TCanvas& c) { CellEffect(b, c, 22); }
void Blend22(TBitmap& b, TCanvas& c) { CellEffect(b, c, 23); }
void Blend23(TBitmap& b, TCanvas& c) { CellEffect(b, c, 24); }
void Blend24(TBitmap& b, TCanvas& c) { CellEffect(b, c, 25); }
void Blend25(TBitmap& b, TCanvas& c) { CellEffect(b, c, 26); }
void Blend26(TBitmap& b, TCanvas& c) { CellEffect(b, c, 27); }
void Blend27(TBitmap& b, TCanvas& c) { CellEffect(b, c, 28); }
void Blend28(TBitmap& b, TCanvas& c) { CellEffect(b, c, 29); }

void BlendAlpha(TBitmap& newBitmap, TBitmap& oldBitmap, TCanvas& canvas)
{
    CrossFade(newBitmap, oldBitmap, canvas, 4);
}

void BlendAlphaSoft(TBitmap& newBitmap, TBitmap& oldBitmap, TCanvas& canvas)
{
    CrossFade(newBitmap, oldBitmap, canvas, 5);
}

} // namespace Blendings

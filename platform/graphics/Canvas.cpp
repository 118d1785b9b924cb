#include "platform/graphics/Canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/Raster.h"

using gfx::raster::BrushPattern;

struct TCanvas::SavedState {
    TPen Pen;
    TBrush Brush;
    TCopyMode CopyMode;
    int StretchMode;
    int PolyFillMode;
    std::optional<TRegion> Clip;
    TPoint WindowOrg;
    TPoint ViewportOrg;
    TPoint PenPos;
};

namespace {

// A region covering everything a surface could hold.
const TRect kEverything{-(1 << 28), -(1 << 28), 1 << 28, 1 << 28};

// Dash patterns of styled one-pixel pens: lengths of on and off runs.
std::vector<int> DashPattern(TPenStyle style)
{
    switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

// The pen's width in pixels (0: no outline).
int PenPixels(const TPen& pen)
{
    if (pen.Style == psClear)
        return 0;
    return std::max(1, pen.Width);
}

// The outline band of a shape drawn with a pen of `width`: the pen centred on
// the pixels of the shape's edge, so a one-pixel pen covers the edge pixels.
TRect PenOuterBox(const TRect& box, int width, bool insideFrame)
{
    if (insideFrame)
        return box;
    const int a = (width - 1) / 2;
    return {box.Left - a, box.Top - a, box.Right - 1 - a + width, box.Bottom - 1 - a + width};
}

TRect Inset(const TRect& r, int by) { return {r.Left + by, r.Top + by, r.Right - by, r.Bottom - by}; }

// Point on the ellipse inscribed in `box` in the direction of (x, y).
TPoint EllipsePoint(const TRect& box, double x, double y)
{
    const double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
    const double rx = box.Width() / 2.0, ry = box.Height() / 2.0;
    double dx = x - cx, dy = y - cy;
    if (dx == 0 && dy == 0)
        dx = 1;
    const double t = 1.0 / std::sqrt(dx * dx / (rx * rx) + dy * dy / (ry * ry));
    return {static_cast<int>(std::lround(cx + dx * t - 0.5)), static_cast<int>(std::lround(cy + dy * t - 0.5))};
}

// Angles on screen grow counter-clockwise (y points down).
double ScreenAngle(double cx, double cy, double x, double y) { return std::atan2(cy - y, x - cx); }

// Points along the ellipse of `box` from angle a0 counter-clockwise to a1.
std::vector<TPoint> ArcPoints(const TRect& box, double a0, double a1, double radiusScale)
{
    const double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
    const double rx = box.Width() / 2.0 * radiusScale, ry = box.Height() / 2.0 * radiusScale;
    while (a1 <= a0)
        a1 += 2 * std::numbers::pi;
    const int steps = std::max(8, static_cast<int>((a1 - a0) / (std::numbers::pi / 90)));
    std::vector<TPoint> points;
    for (int i = 0; i <= steps; ++i) {
        const double a = a0 + (a1 - a0) * i / steps;
        points.push_back({static_cast<int>(std::lround(cx + rx * std::cos(a))),
                          static_cast<int>(std::lround(cy - ry * std::sin(a)))});
    }
    return points;
}

} // namespace

// ---- state ---------------------------------------------------------------

TCanvas::TCanvas() = default;
TCanvas::TCanvas(TPixelSurface* surface) : surface_(surface) { }
TCanvas::~TCanvas() = default;

TRegion TCanvas::DeviceClip()
{
    if (!surface_)
        return {};
    const TPixelBuffer buffer = surface_->PixelBuffer();
    if (buffer.Empty())
        return {};
    TRegion bounds(buffer.Bounds());
    if (!clip_)
        return bounds;
    return TRegion::Combined(bounds, *clip_, RGN_AND);
}

TRect TCanvas::ClipRect()
{
    const TRect box = DeviceClip().Box();
    const int dx = windowOrg_.X - viewportOrg_.X, dy = windowOrg_.Y - viewportOrg_.Y;
    return gfx::OffsetRect(box, dx, dy);
}

void TCanvas::SetClipRegion(const TRegion* deviceRegion)
{
    clip_ = deviceRegion ? std::make_unique<TRegion>(*deviceRegion) : nullptr;
}

void TCanvas::IntersectClipRect(const TRect& logical)
{
    const TPoint o = LogicalToDevice(0, 0);
    const TRegion r(gfx::OffsetRect(gfx::NormalizeRect(logical), o.X, o.Y));
    clip_ = std::make_unique<TRegion>(clip_ ? TRegion::Combined(*clip_, r, RGN_AND) : r);
}

void TCanvas::ExcludeClipRect(const TRect& logical)
{
    const TPoint o = LogicalToDevice(0, 0);
    const TRegion r(gfx::OffsetRect(gfx::NormalizeRect(logical), o.X, o.Y));
    const TRegion base = clip_ ? *clip_ : TRegion(kEverything);
    clip_ = std::make_unique<TRegion>(TRegion::Combined(base, r, RGN_DIFF));
}

int TCanvas::SaveState()
{
    saved_.push_back({Pen, Brush, CopyMode, StretchMode, PolyFillMode,
                      clip_ ? std::optional<TRegion>(*clip_) : std::nullopt, windowOrg_, viewportOrg_, penPos_});
    return static_cast<int>(saved_.size());
}

bool TCanvas::RestoreState(int id)
{
    const int count = static_cast<int>(saved_.size());
    const int index = id < 0 ? count + id : id - 1;
    if (index < 0 || index >= count)
        return false;
    SavedState& s = saved_[index];
    Pen = s.Pen;
    Brush = s.Brush;
    CopyMode = s.CopyMode;
    StretchMode = s.StretchMode;
    PolyFillMode = s.PolyFillMode;
    clip_ = s.Clip ? std::make_unique<TRegion>(*s.Clip) : nullptr;
    windowOrg_ = s.WindowOrg;
    viewportOrg_ = s.ViewportOrg;
    penPos_ = s.PenPos;
    saved_.resize(index);
    return true;
}

bool TCanvas::TryLock()
{
    if (!lock_.try_lock())
        return false;
    ++lockCount_;
    return true;
}

void TCanvas::Changed(const TRect& deviceArea)
{
    if (surface_ && !deviceArea.IsEmpty())
        surface_->PixelsChanged(deviceArea);
}

// ---- paths ---------------------------------------------------------------

void TCanvas::BeginPath()
{
    path_.clear();
    inPath_ = true;
}

void TCanvas::EndPath() { inPath_ = false; }

bool TCanvas::SelectClipPath(int mode)
{
    if (inPath_ || mode < RGN_AND || mode > RGN_COPY)
        return false;
    TRegion shape;
    for (const auto& figure : path_) {
        const TRegion part = TRegion::FromPolygon(figure.data(), static_cast<int>(figure.size()), PolyFillMode);
        shape = TRegion::Combined(shape, part, PolyFillMode == WINDING ? RGN_OR : RGN_XOR);
    }
    path_.clear();
    if (mode == RGN_COPY || !clip_) {
        clip_ = std::make_unique<TRegion>(
            mode == RGN_DIFF && !clip_ ? TRegion::Combined(TRegion(kEverything), shape, RGN_DIFF) : shape);
        return true;
    }
    clip_ = std::make_unique<TRegion>(TRegion::Combined(*clip_, shape, mode));
    return true;
}

// ---- painting helpers ----------------------------------------------------

// Paints device-coordinate shapes clipped to the canvas and reports the
// changed area when done.
class TCanvas::Painter {
public:
    explicit Painter(TCanvas& canvas) : canvas_(canvas)
    {
        if (canvas.Surface())
            buffer_ = canvas.Surface()->PixelBuffer();
        clip_ = canvas.DeviceClip();
    }
    bool Ready() const { return !buffer_.Empty() && !clip_.IsEmpty(); }
    const TPixelBuffer& Buffer() const { return buffer_; }
    const TRegion& Clip() const { return clip_; }

    void Fill(const TRegion& shape, const BrushPattern& pattern, TPenMode mode)
    {
        if (!Ready() || pattern.IsNull())
            return;
        const TRegion visible = TRegion::Combined(shape, clip_, RGN_AND);
        gfx::raster::FillRegion(buffer_, visible, pattern, mode);
        dirty_ = gfx::UnionRect(dirty_, visible.Box());
    }

    void Plot(int x, int y, std::uint32_t rgb, TPenMode mode)
    {
        if (!Ready() || !clip_.Contains(x, y))
            return;
        gfx::WritePixel(buffer_, x, y, gfx::raster::ApplyPenMode(mode, rgb, gfx::ReadPixel(buffer_, x, y)));
        dirty_ = gfx::UnionRect(dirty_, {x, y, x + 1, y + 1});
    }

    ~Painter() { canvas_.NotifyChanged(dirty_); }

private:
    TCanvas& canvas_;
    TPixelBuffer buffer_;
    TRegion clip_;
    TRect dirty_;
};

void TCanvas::NotifyChanged(const TRect& deviceArea) { Changed(deviceArea); }

gfx::raster::BrushPattern TCanvas::BrushFill() { return BrushPattern::FromBrush(Brush, Font.Color()); }

TRegion TCanvas::WideLineShape(TPoint a, TPoint b, int width)
{
    // A thick segment with round caps: a quadrilateral and two discs.
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double length = std::hypot(dx, dy);
    const double half = width / 2.0;
    TRegion shape;
    if (length > 0) {
        const double nx = -dy / length * half, ny = dx / length * half;
        const double ax = a.X + 0.5, ay = a.Y + 0.5, bx = b.X + 0.5, by = b.Y + 0.5;
        const TPoint quad[4] = {{static_cast<int>(std::lround(ax + nx)), static_cast<int>(std::lround(ay + ny))},
                                {static_cast<int>(std::lround(bx + nx)), static_cast<int>(std::lround(by + ny))},
                                {static_cast<int>(std::lround(bx - nx)), static_cast<int>(std::lround(by - ny))},
                                {static_cast<int>(std::lround(ax - nx)), static_cast<int>(std::lround(ay - ny))}};
        shape = TRegion::FromPolygon(quad, 4, WINDING);
    }
    const int lo = (width - 1) / 2;
    for (const TPoint& p : {a, b}) {
        const TRegion cap = TRegion::FromEllipse({p.X - lo, p.Y - lo, p.X - lo + width, p.Y - lo + width});
        shape = TRegion::Combined(shape, cap, RGN_OR);
    }
    return shape;
}

void TCanvas::DrawLineDevice(TPoint a, TPoint b, bool includeEnd)
{
    const int width = PenPixels(Pen);
    if (width == 0)
        return;
    Painter painter(*this);
    if (!painter.Ready())
        return;
    const std::uint32_t color = gfx::ColorToPixel(Pen.Color);
    if (width > 1) {
        painter.Fill(WideLineShape(a, b, width), BrushPattern::Solid(color), Pen.Mode);
        return;
    }
    const std::vector<int> dashes = DashPattern(Pen.Style);
    int dashIndex = 0, dashLeft = dashes.empty() ? 0 : dashes[0];
    // Bresenham's line, the end point left out unless asked for.
    int x = a.X, y = a.Y;
    const int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
    const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
    int err = dx + dy;
    while (true) {
        const bool atEnd = x == b.X && y == b.Y;
        if (atEnd && !includeEnd)
            break;
        if (dashes.empty() || dashIndex % 2 == 0)
            painter.Plot(x, y, color, Pen.Mode);
        if (!dashes.empty() && --dashLeft == 0) {
            dashIndex = (dashIndex + 1) % static_cast<int>(dashes.size());
            dashLeft = dashes[dashIndex];
        }
        if (atEnd)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void TCanvas::DrawOutlineRegion(const TRegion& frame)
{
    Painter painter(*this);
    painter.Fill(frame, BrushPattern::Solid(gfx::ColorToPixel(Pen.Color)), Pen.Mode);
}

void TCanvas::FillShape(const TRegion& interior)
{
    Painter painter(*this);
    painter.Fill(interior, BrushFill(), Pen.Mode);
}

TRect TCanvas::ToDevice(const TRect& logical) const
{
    const TPoint o = LogicalToDevice(0, 0);
    return gfx::OffsetRect(logical, o.X, o.Y);
}

// ---- lines and shapes ----------------------------------------------------

void TCanvas::MoveTo(int x, int y)
{
    penPos_ = {x, y};
    if (inPath_)
        path_.push_back({LogicalToDevice(x, y)});
}

void TCanvas::LineTo(int x, int y)
{
    const TPoint from = LogicalToDevice(penPos_.X, penPos_.Y), to = LogicalToDevice(x, y);
    penPos_ = {x, y};
    if (inPath_) {
        if (path_.empty())
            path_.push_back({from});
        path_.back().push_back(to);
        return;
    }
    DrawLineDevice(from, to, false);
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.empty())
        return;
    const TPoint saved = penPos_;
    MoveTo(points[0].X, points[0].Y);
    for (size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].X, points[i].Y);
    penPos_ = saved;
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    if (points.size() < 2)
        return;
    std::vector<TPoint> device;
    for (const TPoint& p : points)
        device.push_back(LogicalToDevice(p.X, p.Y));
    FillShape(TRegion::FromOutlinedPolygon(device.data(), static_cast<int>(device.size()), PolyFillMode));
    for (size_t i = 0; i < device.size(); ++i)
        DrawLineDevice(device[i], device[(i + 1) % device.size()], false);
}

void TCanvas::DrawClosedShape(const TRect& logicalBox, const ShapeMaker& make)
{
    const TRect box = ToDevice(gfx::NormalizeRect(logicalBox));
    const int width = PenPixels(Pen);
    if (width == 0) {
        // Without a pen the interior reaches one pixel less to the right and bottom.
        FillShape(make({box.Left, box.Top, box.Right - 1, box.Bottom - 1}, 0));
        return;
    }
    const TRect outer = PenOuterBox(box, width, Pen.Style == psInsideFrame);
    const TRect inner = Inset(outer, width);
    const TRegion innerShape = make(inner, width);
    FillShape(innerShape);
    if (Pen.Style == psSolid || Pen.Style == psInsideFrame || width > 1) {
        DrawOutlineRegion(TRegion::Combined(make(outer, 0), innerShape, RGN_DIFF));
    } else {
        DrawStyledOutline(box);
    }
}

void TCanvas::DrawStyledOutline(const TRect& box)
{
    const TPoint corners[4] = {
        {box.Left, box.Top}, {box.Right - 1, box.Top}, {box.Right - 1, box.Bottom - 1}, {box.Left, box.Bottom - 1}};
    for (int i = 0; i < 4; ++i)
        DrawLineDevice(corners[i], corners[(i + 1) % 4], false);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    DrawClosedShape({x1, y1, x2, y2}, [](const TRect& r, int) { return TRegion::FromRect(r); });
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight)
{
    DrawClosedShape({x1, y1, x2, y2}, [=](const TRect& r, int inset) {
        return TRegion::FromRoundRect(r, cornerWidth - 2 * inset, cornerHeight - 2 * inset);
    });
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    DrawClosedShape({x1, y1, x2, y2}, [](const TRect& r, int) { return TRegion::FromEllipse(r); });
}

void TCanvas::DrawArcShape(ArcKind kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const TRect box = ToDevice(gfx::NormalizeRect({x1, y1, x2, y2}));
    if (box.IsEmpty())
        return;
    const TPoint start = LogicalToDevice(x3, y3), end = LogicalToDevice(x4, y4);
    const double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
    const double a0 = ScreenAngle(cx, cy, start.X + 0.5, start.Y + 0.5);
    const double a1 = ScreenAngle(cx, cy, end.X + 0.5, end.Y + 0.5);
    const TPoint p0 = EllipsePoint(box, start.X + 0.5, start.Y + 0.5);
    const TPoint p1 = EllipsePoint(box, end.X + 0.5, end.Y + 0.5);

    const int width = std::max(PenPixels(Pen), 1);
    const TRect outer = PenOuterBox(box, width, Pen.Style == psInsideFrame);
    const TRect inner = Inset(outer, width);
    const TRegion innerEllipse = TRegion::FromEllipse(inner);

    // The angular wedge, reaching well beyond the ellipse.
    std::vector<TPoint> wedge = ArcPoints(outer, a0, a1, 3.0);
    wedge.insert(wedge.begin(), {static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(cy))});
    const TRegion sector = TRegion::FromPolygon(wedge.data(), static_cast<int>(wedge.size()), WINDING);

    if (kind != ArcKind::Arc) {
        std::vector<TPoint> area = ArcPoints(box, a0, a1, 1.0);
        if (kind == ArcKind::Pie)
            area.push_back({static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(cy))});
        const TRegion piece = TRegion::FromPolygon(area.data(), static_cast<int>(area.size()), WINDING);
        FillShape(TRegion::Combined(innerEllipse, piece, RGN_AND));
    }
    if (PenPixels(Pen) == 0)
        return;
    const TRegion ring = TRegion::Combined(TRegion::FromEllipse(outer), innerEllipse, RGN_DIFF);
    DrawOutlineRegion(TRegion::Combined(ring, sector, RGN_AND));
    if (kind == ArcKind::Pie) {
        const TPoint centre{static_cast<int>(std::floor(cx)), static_cast<int>(std::floor(cy))};
        DrawLineDevice(centre, p0, true);
        DrawLineDevice(centre, p1, true);
    } else if (kind == ArcKind::Chord) {
        DrawLineDevice(p0, p1, true);
    }
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    DrawArcShape(ArcKind::Arc, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    DrawArcShape(ArcKind::Pie, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    DrawArcShape(ArcKind::Chord, x1, y1, x2, y2, x3, y3, x4, y4);
}

// ---- brush fills ---------------------------------------------------------

void TCanvas::FillRect(const TRect& r)
{
    Painter painter(*this);
    painter.Fill(TRegion(ToDevice(r)), BrushFill(), pmCopy);
}

void TCanvas::FrameRect(const TRect& r)
{
    const TRect box = ToDevice(gfx::NormalizeRect(r));
    Painter painter(*this);
    painter.Fill(TRegion::Combined(TRegion(box), TRegion(Inset(box, 1)), RGN_DIFF), BrushFill(), pmCopy);
}

void TCanvas::FillRegion(const TRegion& region)
{
    TRegion device = region;
    const TPoint o = LogicalToDevice(0, 0);
    device.Offset(o.X, o.Y);
    Painter painter(*this);
    painter.Fill(device, BrushFill(), pmCopy);
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style)
{
    Painter painter(*this);
    const TPoint start = LogicalToDevice(x, y);
    if (!painter.Ready() || !painter.Clip().Contains(start.X, start.Y))
        return;
    const TPixelBuffer& b = painter.Buffer();
    const std::uint32_t key = gfx::ColorToPixel(color);
    auto fillable = [&](int px, int py) {
        const bool same = gfx::ReadPixel(b, px, py) == key;
        return style == fsSurface ? same : !same;
    };
    if (!fillable(start.X, start.Y))
        return;
    // Collect the connected area first, then paint it, so the brush's own
    // colour never stops or extends the fill.
    std::vector<std::uint8_t> seen(static_cast<size_t>(b.Width) * b.Height, 0);
    TRegionBuilder rows;
    std::vector<std::vector<int>> spans(b.Height);
    std::vector<TPoint> stack{start};
    while (!stack.empty()) {
        const TPoint p = stack.back();
        stack.pop_back();
        auto ok = [&](int px) {
            return px >= 0 && px < b.Width && !seen[static_cast<size_t>(p.Y) * b.Width + px] &&
                painter.Clip().Contains(px, p.Y) && fillable(px, p.Y);
        };
        if (!ok(p.X))
            continue;
        int left = p.X, right = p.X;
        while (ok(left - 1))
            --left;
        while (ok(right + 1))
            ++right;
        for (int px = left; px <= right; ++px)
            seen[static_cast<size_t>(p.Y) * b.Width + px] = 1;
        spans[p.Y].insert(spans[p.Y].end(), {left, right + 1});
        // One seed per run of the neighbouring rows keeps the stack small.
        for (int ny : {p.Y - 1, p.Y + 1}) {
            if (ny < 0 || ny >= b.Height)
                continue;
            bool inRun = false;
            for (int px = left; px <= right; ++px) {
                const bool open = !seen[static_cast<size_t>(ny) * b.Width + px] && fillable(px, ny);
                if (open && !inRun)
                    stack.push_back({px, ny});
                inRun = open;
            }
        }
    }
    for (int row = 0; row < b.Height; ++row)
        if (!spans[row].empty())
            rows.AddRow(row, std::move(spans[row]));
    painter.Fill(rows.Finish(), BrushFill(), pmCopy);
}

void TCanvas::DrawFocusRect(const TRect& r)
{
    const TRect box = ToDevice(gfx::NormalizeRect(r));
    if (box.IsEmpty())
        return;
    Painter painter(*this);
    if (!painter.Ready())
        return;
    // Every other pixel of the frame inverted; drawing it twice restores it.
    auto dot = [&](int px, int py) {
        if (((px + py) & 1) == 0)
            painter.Plot(px, py, 0xFFFFFF, pmXor);
    };
    for (int px = box.Left; px < box.Right; ++px) {
        dot(px, box.Top);
        if (box.Bottom - 1 > box.Top)
            dot(px, box.Bottom - 1);
    }
    for (int py = box.Top + 1; py < box.Bottom - 1; ++py) {
        dot(box.Left, py);
        if (box.Right - 1 > box.Left)
            dot(box.Right - 1, py);
    }
}

// Pixels are read and written one by one in long loops, so they avoid
// building the clip region.
bool TCanvas::PixelVisible(const TPixelBuffer& b, const TPoint& p) const
{
    return !b.Empty() && b.Bounds().Contains(p.X, p.Y) && (!clip_ || clip_->Contains(p.X, p.Y));
}

TColor TCanvas::Pixels(int x, int y)
{
    if (!surface_)
        return -1;
    const TPoint p = LogicalToDevice(x, y);
    const TPixelBuffer b = surface_->PixelBuffer();
    if (!PixelVisible(b, p))
        return -1;
    return gfx::PixelToColor(gfx::ReadPixel(b, p.X, p.Y));
}

void TCanvas::SetPixels(int x, int y, TColor color)
{
    if (!surface_)
        return;
    const TPoint p = LogicalToDevice(x, y);
    const TPixelBuffer b = surface_->PixelBuffer();
    if (!PixelVisible(b, p))
        return;
    gfx::WritePixel(b, p.X, p.Y, gfx::ColorToPixel(color));
    NotifyChanged({p.X, p.Y, p.X + 1, p.Y + 1});
}

void TCanvas::DrawGlyphMask(int x, int y, const std::uint8_t* mask, int width, int height, std::ptrdiff_t stride,
                            TColor color)
{
    if (!mask || width <= 0 || height <= 0)
        return;
    const TPoint o = LogicalToDevice(x, y);
    Painter painter(*this);
    if (!painter.Ready())
        return;
    const TRegion visible = TRegion::Combined(painter.Clip(), TRegion(Bounds(o.X, o.Y, width, height)), RGN_AND);
    const std::uint32_t c = gfx::ColorToPixel(color);
    const TPixelBuffer& b = painter.Buffer();
    std::vector<std::uint32_t> row;
    for (const TRegion::Band& band : visible.Bands())
        for (int py = band.Top; py < band.Bottom; ++py)
            for (size_t i = 0; i + 1 < band.X.size(); i += 2) {
                const int x0 = band.X[i], n = band.X[i + 1] - x0;
                const std::uint8_t* coverage = mask + (py - o.Y) * stride + (x0 - o.X);
                row.resize(n);
                gfx::ReadRow(b, x0, py, n, row.data());
                for (int k = 0; k < n; ++k) {
                    const unsigned a = coverage[k];
                    if (a == 0)
                        continue;
                    if (a == 255) {
                        row[k] = c;
                        continue;
                    }
                    std::uint32_t blended = 0;
                    for (int shift = 0; shift < 24; shift += 8) {
                        const unsigned fg = (c >> shift) & 0xFF, bg = (row[k] >> shift) & 0xFF;
                        blended |= ((fg * a + bg * (255 - a) + 127) / 255) << shift;
                    }
                    row[k] = blended;
                }
                gfx::WriteRow(b, x0, py, n, row.data());
            }
    NotifyChanged(visible.Box());
}

// ---- block copies --------------------------------------------------------

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    gfx::StretchBlt(*this, dest.Left, dest.Top, dest.Width(), dest.Height(), &source, sourceRect.Left, sourceRect.Top,
                    sourceRect.Width(), sourceRect.Height(), CopyMode);
}

void TCanvas::Draw(int x, int y, TGraphic& graphic)
{
    if (graphic.Empty())
        return;
    graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic& graphic)
{
    if (graphic.Empty())
        return;
    graphic.Draw(*this, rect);
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap& bitmap, const TRect& sourceRect, TColor color)
{
    const int w = std::abs(dest.Width()), h = std::abs(dest.Height());
    if (w == 0 || h == 0)
        return;
    // Stretch the picture into a work bitmap, put the brush where the key
    // colour was, then copy the result.
    TBitmap work(w, h, pf24bit);
    work.Canvas().StretchMode = COLORONCOLOR;
    gfx::StretchBlt(work.Canvas(), 0, 0, w, h, &bitmap.Canvas(), sourceRect.Left, sourceRect.Top, sourceRect.Width(),
                    sourceRect.Height(), SRCCOPY);
    const std::uint32_t key = gfx::ColorToPixel(color);
    const BrushPattern brush = BrushFill();
    const TPixelBuffer b = work.PixelBuffer();
    const TPoint origin = LogicalToDevice(std::min(dest.Left, dest.Right), std::min(dest.Top, dest.Bottom));
    std::vector<std::uint32_t> row(w), fill(w);
    std::vector<std::uint8_t> opaque(w, 1);
    for (int y = 0; y < h; ++y) {
        gfx::ReadRow(b, 0, y, w, row.data());
        std::fill(opaque.begin(), opaque.end(), 1);
        brush.Row(origin.X, origin.Y + y, w, fill.data(), opaque.data());
        for (int x = 0; x < w; ++x)
            if (row[x] == key && opaque[x] && !brush.IsNull())
                row[x] = fill[x];
        gfx::WriteRow(b, 0, y, w, row.data());
    }
    gfx::BitBlt(*this, std::min(dest.Left, dest.Right), std::min(dest.Top, dest.Bottom), w, h, &work.Canvas(), 0, 0,
                SRCCOPY);
}

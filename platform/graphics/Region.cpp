#include "platform/graphics/Region.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Sorts [x0, x1) pairs and merges overlapping or touching ones.
std::vector<int> NormalizeSpans(std::vector<int> spans)
{
    std::vector<std::pair<int, int>> pairs;
    for (size_t i = 0; i + 1 < spans.size(); i += 2)
        if (spans[i] < spans[i + 1])
            pairs.emplace_back(spans[i], spans[i + 1]);
    std::sort(pairs.begin(), pairs.end());
    std::vector<int> out;
    for (const auto& [a, b] : pairs) {
        if (!out.empty() && a <= out.back()) {
            out.back() = std::max(out.back(), b);
        } else {
            out.push_back(a);
            out.push_back(b);
        }
    }
    return out;
}

bool Keep(bool inA, bool inB, int mode)
{
    switch (mode) {
    case RGN_AND: return inA && inB;
    case RGN_OR: return inA || inB;
    case RGN_XOR: return inA != inB;
    case RGN_DIFF: return inA && !inB;
    default: return inA; // RGN_COPY
    }
}

// Combines two normalised span lists by sweeping their edges.
std::vector<int> CombineSpans(const std::vector<int>* a, const std::vector<int>* b, int mode)
{
    static const std::vector<int> kNone;
    const std::vector<int>& sa = a ? *a : kNone;
    const std::vector<int>& sb = b ? *b : kNone;
    std::vector<int> out;
    size_t ia = 0, ib = 0;
    bool inA = false, inB = false, inside = false;
    while (ia < sa.size() || ib < sb.size()) {
        int x;
        if (ib >= sb.size() || (ia < sa.size() && sa[ia] <= sb[ib]))
            x = sa[ia];
        else
            x = sb[ib];
        while (ia < sa.size() && sa[ia] == x) {
            inA = !inA;
            ++ia;
        }
        while (ib < sb.size() && sb[ib] == x) {
            inB = !inB;
            ++ib;
        }
        const bool now = Keep(inA, inB, mode);
        if (now != inside) {
            out.push_back(x);
            inside = now;
        }
    }
    return out;
}

// The pixels of one row of the ellipse inscribed in `box` (pixel centres
// inside the ellipse). False when the row misses it.
bool EllipseRow(const TRect& box, int y, int& x0, int& x1)
{
    const double rx = box.Width() / 2.0, ry = box.Height() / 2.0;
    if (rx <= 0 || ry <= 0)
        return false;
    const double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
    const double dy = (y + 0.5 - cy) / ry;
    if (dy * dy > 1.0)
        return false;
    const double half = rx * std::sqrt(1.0 - dy * dy);
    x0 = std::max(box.Left, static_cast<int>(std::ceil(cx - half - 0.5)));
    x1 = std::min(box.Right, static_cast<int>(std::floor(cx + half - 0.5)) + 1);
    return x0 < x1;
}

} // namespace

TRegion::TRegion(const TRect& rect) : TRegion(FromRect(rect)) { }

TRegion TRegion::FromRect(const TRect& rect)
{
    TRegion r;
    const TRect n = gfx::NormalizeRect(rect);
    if (!n.IsEmpty())
        r.bands_.push_back({n.Top, n.Bottom, {n.Left, n.Right}});
    return r;
}

TRegion TRegion::FromEllipse(const TRect& bounds)
{
    const TRect box = gfx::NormalizeRect(bounds);
    TRegionBuilder builder;
    for (int y = box.Top; y < box.Bottom; ++y) {
        int x0, x1;
        if (EllipseRow(box, y, x0, x1))
            builder.AddRow(y, {x0, x1});
    }
    return builder.Finish();
}

TRegion TRegion::FromRoundRect(const TRect& bounds, int cornerWidth, int cornerHeight)
{
    const TRect box = gfx::NormalizeRect(bounds);
    const int cw = std::min(std::abs(cornerWidth), box.Width());
    const int ch = std::min(std::abs(cornerHeight), box.Height());
    if (cw < 2 || ch < 2)
        return FromRect(box);
    const TRect top{box.Left, box.Top, box.Right, box.Top + ch};
    const TRect bottom{box.Left, box.Bottom - ch, box.Right, box.Bottom};
    TRegionBuilder builder;
    for (int y = box.Top; y < box.Bottom; ++y) {
        int x0 = box.Left, x1 = box.Right;
        const TRect* corner = y < box.Top + ch / 2 ? &top : y >= box.Bottom - ch / 2 ? &bottom : nullptr;
        if (corner) {
            int l0, l1, r0, r1;
            const bool left = EllipseRow({box.Left, corner->Top, box.Left + cw, corner->Bottom}, y, l0, l1);
            const bool right = EllipseRow({box.Right - cw, corner->Top, box.Right, corner->Bottom}, y, r0, r1);
            if (!left || !right)
                continue;
            x0 = l0;
            x1 = r1;
        }
        builder.AddRow(y, {x0, x1});
    }
    return builder.Finish();
}

namespace {

// Scan-converts a polygon: a pixel is inside when the sample point
// (x + offset, y + offset) is, with left and top edges inside.
TRegion ScanPolygon(const TPoint* points, int count, int fillMode, double offset)
{
    TRegionBuilder builder;
    if (!points || count < 3)
        return builder.Finish();
    int top = points[0].Y, bottom = points[0].Y;
    for (int i = 1; i < count; ++i) {
        top = std::min(top, points[i].Y);
        bottom = std::max(bottom, points[i].Y);
    }
    std::vector<std::pair<double, int>> crossings; // x, winding direction
    for (int y = top; y < bottom; ++y) {
        const double py = y + offset;
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            const TPoint& p = points[i];
            const TPoint& q = points[(i + 1) % count];
            if (p.Y == q.Y)
                continue;
            const bool down = q.Y > p.Y;
            const double y0 = down ? p.Y : q.Y, y1 = down ? q.Y : p.Y;
            if (py < y0 || py >= y1)
                continue;
            const double x = p.X + (py - p.Y) * (q.X - p.X) / static_cast<double>(q.Y - p.Y);
            crossings.emplace_back(x, down ? 1 : -1);
        }
        std::sort(crossings.begin(), crossings.end());
        std::vector<int> spans;
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += fillMode == WINDING ? crossings[i].second : 1;
            const bool inside = fillMode == WINDING ? winding != 0 : (winding & 1) != 0;
            if (!inside)
                continue;
            spans.push_back(static_cast<int>(std::ceil(crossings[i].first - offset)));
            spans.push_back(static_cast<int>(std::ceil(crossings[i + 1].first - offset)));
        }
        builder.AddRow(y, std::move(spans));
    }
    return builder.Finish();
}

} // namespace

TRegion TRegion::FromPolygon(const TPoint* points, int count, int fillMode)
{
    return ScanPolygon(points, count, fillMode, 0.5);
}

TRegion TRegion::FromOutlinedPolygon(const TPoint* points, int count, int fillMode)
{
    return ScanPolygon(points, count, fillMode, 0.0);
}

int TRegion::Combine(const TRegion& a, const TRegion& b, int mode)
{
    if (mode < RGN_AND || mode > RGN_COPY)
        return RGN_ERROR;
    *this = Combined(a, b, mode);
    return Kind();
}

TRegion TRegion::Combined(const TRegion& a, const TRegion& b, int mode)
{
    if (mode == RGN_COPY)
        return a;
    std::vector<int> edges;
    for (const TRegion* r : {&a, &b})
        for (const Band& band : r->bands_) {
            edges.push_back(band.Top);
            edges.push_back(band.Bottom);
        }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    TRegion result;
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        std::vector<int> spans = CombineSpans(a.RowSpans(edges[i]), b.RowSpans(edges[i]), mode);
        if (spans.empty())
            continue;
        auto& bands = result.bands_;
        if (!bands.empty() && bands.back().Bottom == edges[i] && bands.back().X == spans)
            bands.back().Bottom = edges[i + 1];
        else
            bands.push_back({edges[i], edges[i + 1], std::move(spans)});
    }
    return result;
}

int TRegion::Kind() const
{
    if (bands_.empty())
        return NULLREGION;
    return bands_.size() == 1 && bands_[0].X.size() == 2 ? SIMPLEREGION : COMPLEXREGION;
}

TRect TRegion::Box() const
{
    if (bands_.empty())
        return {};
    TRect box{bands_.front().X.front(), bands_.front().Top, bands_.front().X.back(), bands_.back().Bottom};
    for (const Band& band : bands_) {
        box.Left = std::min(box.Left, band.X.front());
        box.Right = std::max(box.Right, band.X.back());
    }
    return box;
}

const std::vector<int>* TRegion::RowSpans(int y) const
{
    auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                               [](int value, const Band& band) { return value < band.Bottom; });
    if (it == bands_.end() || y < it->Top)
        return nullptr;
    return &it->X;
}

bool TRegion::Contains(int x, int y) const
{
    const std::vector<int>* spans = RowSpans(y);
    if (!spans)
        return false;
    for (size_t i = 0; i + 1 < spans->size(); i += 2)
        if (x >= (*spans)[i] && x < (*spans)[i + 1])
            return true;
    return false;
}

void TRegion::Offset(int dx, int dy)
{
    for (Band& band : bands_) {
        band.Top += dy;
        band.Bottom += dy;
        for (int& x : band.X)
            x += dx;
    }
}

std::vector<TRect> TRegion::Rects() const
{
    std::vector<TRect> rects;
    for (const Band& band : bands_)
        for (size_t i = 0; i + 1 < band.X.size(); i += 2)
            rects.push_back({band.X[i], band.Top, band.X[i + 1], band.Bottom});
    return rects;
}

void TRegionBuilder::AddRow(int y, std::vector<int> spans)
{
    spans = NormalizeSpans(std::move(spans));
    if (spans.empty())
        return;
    auto& bands = region_.bands_;
    if (!bands.empty() && bands.back().Bottom == y && bands.back().X == spans)
        bands.back().Bottom = y + 1;
    else
        bands.push_back({y, y + 1, std::move(spans)});
}

TRegion TRegionBuilder::Finish() { return std::exchange(region_, TRegion{}); }

namespace gfx {

int CombineRgn(TRegion& dest, const TRegion& a, const TRegion& b, int mode) { return dest.Combine(a, b, mode); }

int GetRgnBox(const TRegion& region, TRect& box)
{
    box = region.Box();
    return region.Kind();
}

bool PtInRegion(const TRegion& region, int x, int y) { return region.Contains(x, y); }

int OffsetRgn(TRegion& region, int dx, int dy)
{
    region.Offset(dx, dy);
    return region.Kind();
}

} // namespace gfx

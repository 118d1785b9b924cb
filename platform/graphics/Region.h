#pragma once
// Regions: sets of pixels kept as horizontal bands of sorted, disjoint spans.
// Shapes follow the raster rules of the rest of the layer: the right and
// bottom edges of a rectangle are outside, a shape holds the pixels whose
// centres lie inside it.

#include <vector>

#include "platform/graphics/Types.h"

// Complexity codes returned by combining and by asking for the box.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// Combination modes.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// Polygon fill modes.
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

class TRegion {
public:
    // One band: rows [Top, Bottom) share the spans [X[0], X[1]), [X[2], X[3]), ...
    struct Band {
        int Top = 0;
        int Bottom = 0;
        std::vector<int> X;
        friend bool operator==(const Band&, const Band&) = default;
    };

    TRegion() = default;
    explicit TRegion(const TRect& rect);

    static TRegion FromRect(const TRect& rect);
    static TRegion FromEllipse(const TRect& bounds);
    static TRegion FromRoundRect(const TRect& bounds, int cornerWidth, int cornerHeight);
    static TRegion FromPolygon(const TPoint* points, int count, int fillMode = ALTERNATE);
    // The interior of a polygon whose outline is drawn with lines: rows and
    // columns are sampled on the vertices' own grid (the points lines pass
    // through), so the fill meets the outline without a gap on slanted edges.
    static TRegion FromOutlinedPolygon(const TPoint* points, int count, int fillMode = ALTERNATE);

    // this := a (mode) b; returns the complexity of the result.
    int Combine(const TRegion& a, const TRegion& b, int mode);
    static TRegion Combined(const TRegion& a, const TRegion& b, int mode);

    int Kind() const;
    bool IsEmpty() const { return bands_.empty(); }
    TRect Box() const;
    bool Contains(int x, int y) const;
    bool Contains(const TPoint& p) const { return Contains(p.X, p.Y); }
    void Offset(int dx, int dy);

    // The spans of row y as [x0, x1) pairs, or nullptr when the row is empty.
    const std::vector<int>* RowSpans(int y) const;
    const std::vector<Band>& Bands() const { return bands_; }
    std::vector<TRect> Rects() const;

    friend bool operator==(const TRegion&, const TRegion&) = default;

private:
    friend class TRegionBuilder;
    std::vector<Band> bands_;
};

// Builds a region row by row from top to bottom (spans of a row may come in
// any order and may overlap; equal neighbouring rows are merged).
class TRegionBuilder {
public:
    void AddRow(int y, std::vector<int> spans);
    TRegion Finish();

private:
    TRegion region_;
};

namespace gfx {

int CombineRgn(TRegion& dest, const TRegion& a, const TRegion& b, int mode);
int GetRgnBox(const TRegion& region, TRect& box);
bool PtInRegion(const TRegion& region, int x, int y);
int OffsetRgn(TRegion& region, int dx, int dy);

} // namespace gfx

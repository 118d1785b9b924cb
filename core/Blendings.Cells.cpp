#include "core/Blendings.Pixels.h"
#include "platform/rtl/Clock.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace Blendings {

namespace {

// Many small copies of one step at the same places: the memories are looked
// up once, and the canvas hears of the changes once, at the end.
class TStepCopier {
public:
    TStepCopier(TCanvas& canvas, TBitmap& newBitmap)
        : canvas_(canvas), newBitmap_(newBitmap), direct_(DirectPixels(canvas, newBitmap))
    { }
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

// x taken to the nearest integer, halves to even.
int N(long double x) { return static_cast<int>(std::nearbyintl(x)); }

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

TGridGeometry Geometry(int r, int c, int rows, int cols) { return {r, c, rows, cols, rows / 2, cols / 2}; }

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

int StartCircleOut(int r, int c, int rows, int cols) { return -N(std::sqrt(Geometry(r, c, rows, cols).Q())); }

int StartCircleIn(int r, int c, int rows, int cols)
{
    const TGridGeometry g = Geometry(r, c, rows, cols);
    const long double corner = std::sqrt(static_cast<long double>(g.hr) * g.hr + static_cast<long double>(g.hc) * g.hc);
    return N(std::sqrt(g.Q())) - (N(corner) + 1);
}

int StartRings(int r, int c, int rows, int cols) { return -Rings(Geometry(r, c, rows, cols), 10); }

int StartSkewedRings(int r, int c, int rows, int cols)
{
    const TGridGeometry g = Geometry(r, c, rows, cols);
    return -std::abs(N(40 * std::sin(std::sqrt(g.Q()) / 10) - (r % 360)));
}

int StartSmallCircles(int r, int c, int, int)
{
    return -std::abs(N(20 * std::sin(r / 5.0L) + 20 * std::sin(c / 5.0L)));
}

int StartRadar(int r, int c, int rows, int cols) { return -N(20 * FullCircleAngle(Geometry(r, c, rows, cols))); }

int StartSpiralRadar(int r, int c, int rows, int cols)
{
    const TGridGeometry g = Geometry(r, c, rows, cols);
    return -Rings(g, 5) - N(20 * FullCircleAngle(g));
}

int StartQuarterRadar(int r, int c, int rows, int cols) { return -N(20 * QuarterAngle(Geometry(r, c, rows, cols))); }

int StartQuarterSpiralRadar(int r, int c, int rows, int cols)
{
    const TGridGeometry g = Geometry(r, c, rows, cols);
    return -Rings(g, 5) - N(20 * QuarterAngle(g));
}

int DefaultCellSize(int width, int height)
{
    if (width > height)
        return std::max(width / 10, 1);
    const int s = std::max(height / 10, 1);
    return 10 * s < height ? s + 1 : s;
}

int CeilDiv(int a, int b) { return a / b + (a % b != 0 ? 1 : 0); }

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

const TCellEffect& CellEffectOf(int n) { return CellEffects.at(static_cast<std::size_t>(n - 13)); }

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

int CellStartValue(int n, int r, int c, int rows, int cols) { return CellEffectOf(n).StartValue(r, c, rows, cols); }

int CellGridSize(int n) { return CellEffectOf(n).GridSize; }

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

} // namespace Blendings

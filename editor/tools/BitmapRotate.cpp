#include "editor/tools/BitmapRotate.h"

#include <cmath>
#include <cstdint>
#include <memory>

#include "core/BitmapTools.h"
#include "platform/graphics/Bitmap.h"

namespace BitmapRotate {

namespace {

// Blue, green, red: the order of the bytes in a pixel.
std::uint8_t fillColor[3] = {0, 0, 0};

void ReportMaximum(int maximum)
{
    if (auto& progress = BitmapTools::BitmapProgress) {
        progress->Maximum = maximum;
        progress->SetProgress(0);
    }
}

void Report(int position)
{
    if (auto& progress = BitmapTools::BitmapProgress)
        progress->SetProgress(position);
}

// The integer part and fraction of v: the truncated value, one lower with
// the fraction one higher for negative values.
inline void Split(double v, int& whole, double& fraction)
{
    whole = static_cast<int>(v);
    fraction = v - whole;
    if (v < 0) {
        --whole;
        fraction += 1.0;
    }
}

struct Geometry {
    int Width;
    int Height;
    int Bytes;  // per pixel
    double Cos; // of the negative angle
    double Sin;
    double OffsetX; // cx - cx·c + cy·s
    double OffsetY; // cy - cx·s - cy·c
};

// One target row (counted from the bottom) from the source rows.
void TurnRow(const Geometry& g, const std::uint8_t* const* sourceRows, std::uint8_t* out, int r)
{
    const double rs = r * g.Sin;
    const double rc = r * g.Cos;
    const int bytes = g.Bytes;
    for (int x = 0; x < g.Width; ++x, out += bytes) {
        const double sx = x * g.Cos - rs + g.OffsetX;
        const double sy = x * g.Sin + rc + g.OffsetY;
        int ix, iy;
        double fx, fy;
        Split(sx, ix, fx);
        Split(sy, iy, fy);
        const bool col0 = ix >= 0 && ix < g.Width;
        const bool col1 = ix + 1 >= 0 && ix + 1 < g.Width;
        const bool row0 = iy >= 0 && iy < g.Height;
        const bool row1 = iy + 1 >= 0 && iy + 1 < g.Height;
        const std::uint8_t* p00 = col0 && row0 ? sourceRows[iy] + ix * bytes : fillColor;
        const std::uint8_t* p10 = col1 && row0 ? sourceRows[iy] + (ix + 1) * bytes : fillColor;
        const std::uint8_t* p01 = col0 && row1 ? sourceRows[iy + 1] + ix * bytes : fillColor;
        const std::uint8_t* p11 = col1 && row1 ? sourceRows[iy + 1] + (ix + 1) * bytes : fillColor;
        const double gx = 1 - fx;
        const double gy = 1 - fy;
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<std::uint8_t>(p00[c] * gx * gy + p10[c] * fx * gy + p01[c] * gx * fy +
                                               p11[c] * fx * fy);
    }
}

} // namespace

void SetRotateFillColor(int red, int green, int blue)
{
    fillColor[0] = static_cast<std::uint8_t>(blue);
    fillColor[1] = static_cast<std::uint8_t>(green);
    fillColor[2] = static_cast<std::uint8_t>(red);
}

bool RotateBitmapBilinear(const TBitmap& source, TBitmap& target, int centreX, int centreY, double angle)
{
    if (&source == &target)
        return false;
    const TBitmap* from = &source;
    std::unique_ptr<TBitmap> converted;
    if (source.BitsPerPixel() != 24 && source.BitsPerPixel() != 32) {
        converted = std::make_unique<TBitmap>();
        converted->Assign(&source);
        converted->SetPixelFormat(pf24bit);
        from = converted.get();
    }
    const int w = from->Width();
    const int h = from->Height();
    ReportMaximum(h);
    if (angle == 0.0) {
        // Every source pixel lands on itself with weight one.
        target.Assign(from);
        Report(0);
        return true;
    }
    target.SetPixelFormat(from->PixelFormat());
    target.SetSize(w, h);
    if (w == 0 || h == 0) {
        Report(0);
        return true;
    }
    const double c = std::cos(-angle);
    const double s = std::sin(-angle);
    const Geometry g{
        w, h, from->BitsPerPixel() / 8, c, s, centreX - centreX * c + centreY * s, centreY - centreX * s - centreY * c};
    // Row r of the picture counts from its bottom row.
    std::unique_ptr<const std::uint8_t*[]> rows(new const std::uint8_t*[static_cast<std::size_t>(h)]);
    for (int r = 0; r < h; ++r)
        rows[static_cast<std::size_t>(r)] = from->ScanLine(h - 1 - r);
    for (int r = 0; r < h; ++r) {
        TurnRow(g, rows.get(), target.ScanLine(h - 1 - r), r);
        Report(r + 1);
    }
    target.PixelsChanged(TRect{0, 0, w, h});
    Report(0);
    return true;
}

} // namespace BitmapRotate

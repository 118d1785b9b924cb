#include "widgets/DrawUtils.h"

#include "platform/graphics/Bitmap.h"

namespace DrawUtils {

namespace {

constexpr auto PaletteRelativeFlag = static_cast<std::uint32_t>(kPaletteRelative);

} // namespace

int WidthOf(const TRect& R) { return R.Right - R.Left; }
int HeightOf(const TRect& R) { return R.Bottom - R.Top; }

bool PointInRect(const TPoint& P, const TRect& R)
{
    return P.X >= R.Left && P.X <= R.Right && P.Y >= R.Top && P.Y <= R.Bottom;
}

TColor PaletteColor(TColor Color) { return static_cast<TColor>(ColorToRGB(Color) | PaletteRelativeFlag); }

bool PointInPolyRgn(const TPoint& P, const std::vector<TPoint>& Points)
{
    // Winding number: edges crossing the point's row upwards count +1,
    // downwards -1, each when the point lies left of them.
    int winding = 0;
    const std::size_t n = Points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const TPoint a = Points[i], b = Points[(i + 1) % n];
        const long long side = static_cast<long long>(b.X - a.X) * (P.Y - a.Y) -
            static_cast<long long>(P.X - a.X) * (b.Y - a.Y);
        if (a.Y <= P.Y && b.Y > P.Y && side > 0)
            ++winding;
        else if (a.Y > P.Y && b.Y <= P.Y && side < 0)
            --winding;
    }
    return winding != 0;
}

} // namespace DrawUtils

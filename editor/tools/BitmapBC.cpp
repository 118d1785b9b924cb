#include "editor/tools/BitmapBC.h"

#include <algorithm>

#include "platform/graphics/Bitmap.h"

namespace BitmapBC {

void BuildBrightnessContrastTable(TBCTable& table, int brightness, int contrast)
{
    // 64 bits: no percentage a caller passes can overflow the products.
    const std::int64_t offset = std::int64_t{brightness} * 255 / 100;
    const std::int64_t factor = 100 + std::min(contrast, 0);
    const std::int64_t divisor = 100 - std::max(contrast, 0);
    for (int i = 0; i < 256; ++i) {
        std::int64_t v;
        if (contrast < 100) {
            v = (i - 128) * factor / divisor + 128;
            if (v < 0 || v > 255)
                v = v < 0 ? 0 : 255;
        } else {
            v = i < 128 ? 0 : 255;
        }
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(v + offset, 0, 255));
    }
}

void ApplyBrightnessContrast(TBitmap& bitmap, int brightness, int contrast)
{
    if (bitmap.Empty() || bitmap.BitsPerPixel() != 24)
        return;
    TBCTable built;
    BuildBrightnessContrastTable(built, brightness, contrast);
    // A copy that nothing else sees: the stores into the rows cannot alias it.
    const TBCTable table = built;
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = bitmap.ScanLine(y);
        for (std::size_t i = 0; i < rowBytes; ++i)
            p[i] = table[p[i]];
    }
    bitmap.PixelsChanged(TRect{0, 0, w, h});
}

} // namespace BitmapBC

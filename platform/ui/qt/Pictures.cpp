#include "platform/ui/qt/Pictures.h"

#include <algorithm>
#include <cstdint>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Surface.h"
#include "platform/ui/ImgList.h"

namespace ui {

QImage ImageOfBitmap(TBitmap& Image, bool Transparent, TColor TransparentColor)
{
    TPixelBuffer pixels = Image.PixelBuffer();
    QImage image(std::max(pixels.Width, 1), std::max(pixels.Height, 1), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    auto key = static_cast<std::uint32_t>(ColorToRGB(TransparentColor));
    std::uint32_t keyRgb = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = 0; x < pixels.Width; ++x) {
            std::uint32_t rgb = gfx::ReadPixel(pixels, x, y);
            if (!Transparent || rgb != keyRgb)
                image.setPixel(x, y, 0xFF000000u | rgb);
        }
    return image;
}

QImage PictureOfImage(TImageList& List, int Index)
{
    QImage picture(List.Width(), List.Height(), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    TBitmap pixels;
    List.GetBitmap(Index, pixels);
    TPixelBuffer buffer = pixels.PixelBuffer();
    for (int y = 0; y < List.Height(); ++y)
        for (int x = 0; x < List.Width(); ++x)
            if (List.Opaque(Index, x, y))
                picture.setPixel(x, y, 0xFF000000u | gfx::ReadPixel(buffer, x, y));
    return picture;
}

QImage ImageOfIcon(const TIcon& Icon)
{
    // Reading the pixels changes nothing, but the buffer call is not const.
    auto* image = const_cast<TBitmap*>(Icon.Image());
    auto* mask = const_cast<TBitmap*>(Icon.Mask());
    if (!image)
        return {};
    const TPixelBuffer pixels = image->PixelBuffer();
    const TPixelBuffer maskPixels = mask ? mask->PixelBuffer() : TPixelBuffer{};
    QImage result(std::max(pixels.Width, 1), std::max(pixels.Height, 1), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = 0; x < pixels.Width; ++x) {
            const bool background = !maskPixels.Empty() && x < maskPixels.Width && y < maskPixels.Height &&
                (gfx::ReadPixel(maskPixels, x, y) & 0xFFFFFF) == 0xFFFFFF;
            if (!background)
                result.setPixel(x, y, 0xFF000000u | gfx::ReadPixel(pixels, x, y));
        }
    return result;
}

bool BitmapOfImage(QImage Image, TBitmap& Bitmap)
{
    if (Image.isNull())
        return false;
    Image = Image.convertToFormat(QImage::Format_RGB888);
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(Image.width(), Image.height());
    for (int y = 0; y < Image.height(); ++y) {
        const std::uint8_t* from = Image.constScanLine(y);
        std::uint8_t* to = Bitmap.ScanLine(y);
        for (int x = 0; x < Image.width(); ++x) { // R,G,B to B,G,R
            to[3 * x] = from[3 * x + 2];
            to[3 * x + 1] = from[3 * x + 1];
            to[3 * x + 2] = from[3 * x];
        }
    }
    return true;
}

} // namespace ui

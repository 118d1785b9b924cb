#include "core/BitmapTools.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"

#include <algorithm>

namespace BitmapTools {

std::unique_ptr<TBitmap> PicToBMP(TPicture& picture)
{
    TGraphic* graphic = picture.Graphic();
    if (!graphic || graphic->Empty())
        return nullptr;
    auto bitmap = std::make_unique<TBitmap>();
    if (dynamic_cast<TBitmap*>(graphic) || dynamic_cast<TJPEGImage*>(graphic)) {
        bitmap->Assign(graphic);
    } else {
        bitmap->SetPixelFormat(pf24bit);
        bitmap->SetSize(graphic->Width(), graphic->Height());
        bitmap->Canvas().Draw(0, 0, *graphic);
    }
    return bitmap;
}

std::size_t FirstBitmapByte(TBitmap& bitmap, std::uint8_t*& first)
{
    first = nullptr;
    if (bitmap.Empty())
        return 0;
    std::uint8_t* const top = bitmap.ScanLine(0);
    std::uint8_t* const bottom = bitmap.ScanLine(bitmap.Height() - 1);
    first = std::min(top, bottom);
    const std::size_t rowBytes = (static_cast<std::size_t>(bitmap.Width()) * GetBitsPerPixel(bitmap) + 7) / 8;
    return static_cast<std::size_t>(std::max(top, bottom) - first) + rowBytes;
}

int GetBitsPerPixel(const TBitmap& bitmap)
{
    return bitmap.BitsPerPixel();
}

} // namespace BitmapTools

#include "editor/app/PictureDragOut.h"

#include "core/BitmapTools.h"
#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"

#include <cstdio>

namespace PictureDragOut {

std::string OfferedFileName(const std::string& StoredName)
{
    const std::string found = PictureLoading::RelFileName(StoredName, Setup::VisteloFilename);
    return found.empty() ? StoredName : found;
}

std::unique_ptr<TBitmap> LoadedBitmap(const std::string& StoredName)
{
    TPicture picture;
    if (PictureLoading::LoadPicture(StoredName, Setup::VisteloFilename, picture, TPictureLoadOptions{}) != leOK ||
        !picture.Graphic())
        return nullptr;
    return BitmapTools::PicToBMP(picture);
}

void PaintFileCount(TBitmap& Image, int Count)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d Dateinamen", Count);
    const int width = Image.Canvas().TextWidth(text) + 2;
    const int height = Image.Canvas().TextHeight(text) + 2;
    Image.SetSize(width, height);
    Image.Canvas().Brush.Color = clWhite;
    Image.Canvas().FillRect(Rect(0, 0, width, height));
    Image.Canvas().TextOut(1, 1, text);
}

} // namespace PictureDragOut

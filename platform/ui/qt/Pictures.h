#pragma once

// Pictures between the layer and the toolkit: bitmaps, image lists and
// icons as the toolkit's images, and its images as bitmaps.

#include <QImage>

#include "platform/graphics/Color.h"

class TBitmap;
class TIcon;
class TImageList;

namespace ui {

// A bitmap as a toolkit image; pixels of TransparentColor become
// see-through when Transparent.
QImage ImageOfBitmap(TBitmap& Image, bool Transparent, TColor TransparentColor);
// An image of a list, its see-through pixels clear.
QImage PictureOfImage(TImageList& List, int Index);
// An icon's image with its mask as transparency (white mask pixels are
// background); a null image for an icon without one.
QImage ImageOfIcon(const TIcon& Icon);
// A toolkit image as a 24-bit bitmap; false for a null image.
bool BitmapOfImage(QImage Image, TBitmap& Bitmap);

} // namespace ui

#pragma once

// The pictures of the editor's tool windows, compiled into the program.

#include <string>

class TBitBtn;
class TBitmap;
class TImage;
class TWinControl;

namespace ToolResources {

// The bitmap resource of that name into the bitmap.
void LoadBitmap(TBitmap& Bitmap, const std::string& Name);
// The bitmap resource as the button's glyph.
void LoadGlyph(TBitBtn* Button, const std::string& Name);

// The width of an assistant's page picture and the room it takes.
inline constexpr int PagePictureWidth = 140;
inline constexpr int PagePictureRoom = PagePictureWidth + 12;
// Moves the page's controls right to make room and puts the JPEG resource
// of that name at its left edge; the image it made. A program built
// without the pictures shows the pages without them.
TImage* AddPagePicture(TWinControl* Page, const std::string& Name);

} // namespace ToolResources

#pragma once

// The pictures of the editor's tool windows, compiled into the program.

#include <string>

class TBitBtn;
class TBitmap;

namespace ToolResources {

// The bitmap resource of that name into the bitmap.
void LoadBitmap(TBitmap& Bitmap, const std::string& Name);
// The bitmap resource as the button's glyph.
void LoadGlyph(TBitBtn* Button, const std::string& Name);

} // namespace ToolResources

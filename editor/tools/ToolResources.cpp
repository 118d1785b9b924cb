#include "editor/tools/ToolResources.h"

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Resources.h"
#include "platform/ui/StdCtrls.h"

namespace ToolResources {

void LoadBitmap(TBitmap& Bitmap, const std::string& Name) { Bitmap.LoadFromResourceName(rtl::HInstance(), Name); }

void LoadGlyph(TBitBtn* Button, const std::string& Name)
{
    LoadBitmap(Button->Glyph(), Name);
    Button->GlyphChanged();
}

} // namespace ToolResources

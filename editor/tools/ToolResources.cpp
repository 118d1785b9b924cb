#include "editor/tools/ToolResources.h"

#include "core/Setup.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Resources.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"

namespace ToolResources {

void LoadBitmap(TBitmap& Bitmap, const std::string& Name) { Bitmap.LoadFromResourceName(rtl::HInstance(), Name); }

void LoadGlyph(TBitBtn* Button, const std::string& Name)
{
    LoadBitmap(Button->Glyph(), Name);
    Button->GlyphChanged();
}

TImage* AddPagePicture(TWinControl* Page, const std::string& Name)
{
    for (int i = 0; i < Page->ControlCount(); ++i) {
        TControl* control = Page->Controls(i);
        control->SetLeft(control->Left() + PagePictureRoom);
    }
    auto* image = new TImage(Page->Owner() ? Page->Owner() : Page);
    image->SetParent(Page);
    image->SetBounds(8, 8, PagePictureWidth, 296);
    std::unique_ptr<TJPEGImage> jpeg;
    try {
        Setup::LoadJPEGFromResource(rtl::HInstance(), Name, jpeg);
        image->Picture().Assign(jpeg.get());
    } catch (const EResNotFound&) {
        // The page stays without its picture.
    }
    return image;
}

} // namespace ToolResources

#include "widgets/DropBMPTarget.h"

#include "platform/graphics/BmpCodec.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ShellBlocks.h"
#include "widgets/DropBMPSource.h"

IMPLEMENT_CLASS(TDropBMPTarget)

namespace DropBMPTarget {

bool CopyDIBToBitmap(TBitmap& Bitmap, const void* Dib, std::size_t Size)
{
    const ui::TBytes file = ui::BmpFileOfDib(static_cast<const std::uint8_t*>(Dib), Size);
    if (file.empty())
        return false;
    try {
        TMemoryStream stream;
        stream.Write(file.data(), static_cast<std::int64_t>(file.size()));
        stream.Seek(0, soFromBeginning);
        TBitmap loaded;
        gfx::ReadBmp(stream, loaded);
        Bitmap.Assign(&loaded);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace DropBMPTarget

TDropBMPTarget::TDropBMPTarget(TComponent* AOwner) : TDropTarget(AOwner), bitmap_(std::make_unique<TBitmap>()) { }

bool TDropBMPTarget::HasValidFormats() { return Offers(CF_DIB, TYMED_HGLOBAL) || Offers(CF_BITMAP, TYMED_GDI); }

void TDropBMPTarget::ClearData() { bitmap_->SetSize(0, 0); }

bool TDropBMPTarget::DoGetData()
{
    std::vector<std::uint8_t> dib;
    if (ReadGlobal(CF_DIB, dib))
        return DropBMPTarget::CopyDIBToBitmap(*bitmap_, dib.data(), dib.size());
    if (!DataObject())
        return false;
    STGMEDIUM bitmap;
    FORMATETC request{static_cast<CLIPFORMAT>(CF_BITMAP), nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    if (DataObject()->GetData(request, bitmap) != S_OK || !bitmap.hBitmap) {
        ReleaseStgMedium(bitmap);
        return false;
    }
    bitmap_->Assign(bitmap.hBitmap.get());
    ReleaseStgMedium(bitmap);
    request.cfFormat = static_cast<CLIPFORMAT>(CF_PALETTE);
    STGMEDIUM palette;
    if (Offers(CF_PALETTE, TYMED_GDI) && DataObject()->GetData(request, palette) == S_OK && palette.hPalette &&
        !palette.hPalette->empty() && bitmap_->BitsPerPixel() <= 8)
        bitmap_->SetPalette(*palette.hPalette);
    ReleaseStgMedium(palette);
    return true;
}

#include "widgets/DropBMPSource.h"

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ClipboardData.h"
#include "platform/ui/ShellBlocks.h"

IMPLEMENT_CLASS(TDropBMPSource)

TDropBMPSource::TDropBMPSource(TComponent* AOwner) : TDropSource(AOwner), bitmap_(std::make_unique<TBitmap>())
{
    AddFormatEtc(CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI);
    AddFormatEtc(CF_PALETTE, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI);
    AddFormatEtc(CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    Dragtypes = TDragTypes{dtCopy};
}

HRESULT TDropBMPSource::DoGetData(const FORMATETC& Format, STGMEDIUM& Medium)
{
    Medium = STGMEDIUM{};
    if (bitmap_->Empty())
        return DV_E_FORMATETC;
    try {
        if (Serves(Format, CF_DIB, TYMED_HGLOBAL))
            return GlobalMedium(ui::DibOfBitmap(*bitmap_), Medium);
        if (Serves(Format, CF_BITMAP, TYMED_GDI)) {
            Medium.hBitmap = std::make_shared<TBitmap>();
            Medium.hBitmap->Assign(bitmap_.get());
            Medium.tymed = TYMED_GDI;
            return S_OK;
        }
        if (Serves(Format, CF_PALETTE, TYMED_GDI)) {
            Medium.hPalette = std::make_shared<std::vector<std::uint32_t>>(bitmap_->Palette());
            Medium.tymed = TYMED_GDI;
            return S_OK;
        }
    } catch (const std::exception&) {
        ReleaseStgMedium(Medium);
        return E_OUTOFMEMORY;
    }
    return DV_E_FORMATETC;
}

bool TDropBMPSource::CutOrCopyToClipboard()
{
    if (bitmap_->Empty())
        return false;
    HGLOBAL block = nullptr;
    try {
        block = ui::GlobalAllocBytes(ui::DibOfBitmap(*bitmap_));
    } catch (const std::exception&) {
        block = nullptr;
    }
    if (!block || !ui::SetClipboardData(CF_DIB, block))
        throw Exception("Unable to copy BMP to clipboard.");
    return true;
}

#pragma once

// A drag source of a bitmap: as a device-independent bitmap in global
// memory, and as bitmap and palette objects for readers in this program.

#include <memory>

#include "platform/graphics/Bitmap.h"
#include "widgets/DropSource.h"

constexpr UINT CF_PALETTE = 9;

class TDropBMPSource : public TDropSource {
    DECLARE_CLASS(TDropBMPSource, TDropSource)
public:
    explicit TDropBMPSource(TComponent* AOwner);

    TBitmap& Bitmap() { return *bitmap_; }
    // Keeps a copy.
    void SetBitmap(const TBitmap& Value) { bitmap_->Assign(&Value); }

    HRESULT DoGetData(const FORMATETC& Format, STGMEDIUM& Medium) override;
    // Raises "Unable to copy BMP to clipboard." when the bitmap cannot be placed.
    bool CutOrCopyToClipboard() override;

private:
    std::unique_ptr<TBitmap> bitmap_;
};

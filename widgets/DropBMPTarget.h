#pragma once

// A drop target for a bitmap, read as a device-independent bitmap or as a
// bitmap object with its palette.

#include <memory>

#include "platform/graphics/Bitmap.h"
#include "widgets/DropTarget.h"

namespace DropBMPTarget {

// Loads a device-independent bitmap of Size bytes into the bitmap, through a
// bitmap file whose pixel offset counts the header, the colour table's used
// entries and the bit-field masks. False, with the bitmap unchanged, for data
// that is no valid bitmap.
bool CopyDIBToBitmap(TBitmap& Bitmap, const void* Dib, std::size_t Size);

} // namespace DropBMPTarget

class TDropBMPTarget : public TDropTarget {
    DECLARE_CLASS(TDropBMPTarget, TDropTarget)
public:
    explicit TDropBMPTarget(TComponent* AOwner);

    TBitmap& Bitmap() { return *bitmap_; }

    bool DoGetData() override;
    void ClearData() override;
    bool HasValidFormats() override;

private:
    std::unique_ptr<TBitmap> bitmap_;
};

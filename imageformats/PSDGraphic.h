#pragma once
// TPSDGraphic reads the flattened composite image of Photoshop files: grey,
// duotone, bitmap, indexed, RGB(A), multichannel, CMYK and Lab, 8 or 16 bits
// a sample, raw or PackBits.

#include "imageformats/FormatGraphic.h"

class TPSDGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TPSDGraphic, TFormatGraphic, TFormatGraphicMetaOf<TPSDGraphic>)

public:
    // "8BPS" (any case) and version 1.
    static bool CanLoad(TStream& stream);

    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // A damaged or unsupported file raises EImageRefused.
    void LoadFromStream(TStream& stream) override;
};

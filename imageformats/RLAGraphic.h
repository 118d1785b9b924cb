#pragma once
// TRLAGraphic reads Wavefront RLA images: red, green and blue channels of up
// to 8 bits plus an optional matte, each row run-length encoded per channel.

#include "imageformats/FormatGraphic.h"

class TRLAGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TRLAGraphic, TFormatGraphic, TFormatGraphicMetaOf<TRLAGraphic>)

public:
    // A full header of the current revision naming "rgb" or "xyz" channels.
    static bool CanLoad(TStream& stream);

    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // A damaged or unsupported file raises EImageRefused.
    void LoadFromStream(TStream& stream) override;
};

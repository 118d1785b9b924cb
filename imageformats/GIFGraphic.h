#pragma once
// TGIFGraphic reads the first image of a GIF file into an 8-bit picture with
// the file's colours. Extensions are skipped; transparency, the image's
// position on the screen and further images are not read.

#include <cstdint>

#include "imageformats/FormatGraphic.h"

class TGIFGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TGIFGraphic, TFormatGraphic, TFormatGraphicMetaOf<TGIFGraphic>)

public:
    // At least 23 bytes and the letters "GIF" in any case.
    static bool CanLoad(TStream& stream);

    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // A damaged file raises EImageRefused; a file without any image (only a
    // trailer) too, since there is nothing to show.
    void LoadFromStream(TStream& stream) override;
};

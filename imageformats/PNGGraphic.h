#pragma once
// TPNGGraphic reads PNG files: every chunk's CRC is checked, the image data
// is inflated across its IDAT chunks, the row filters are undone and each
// row (or Adam7 pass row) goes through the colour manager. gAMA, bKGD and
// the tRNS colour key of grey and RGB pictures are honoured; alpha from
// tRNS palettes is not.

#include "imageformats/FormatGraphic.h"

class TPNGGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TPNGGraphic, TFormatGraphic, TFormatGraphicMetaOf<TPNGGraphic>)

public:
    // At least 9 bytes and the PNG signature.
    static bool CanLoad(TStream& stream);

    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // A damaged file raises EImageRefused. Image data that ends early (while
    // the chunks are intact) leaves the rows not reached in the background
    // colour.
    void LoadFromStream(TStream& stream) override;

private:
    // One load's state and steps (in the source file).
    class Load;
};

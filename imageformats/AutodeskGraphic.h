#pragma once
// TAutodeskGraphic reads Autodesk animator cels and pictures: 8-bit indexed
// rows, top row first, after a palette of 6-bit colour values.

#include "imageformats/FormatGraphic.h"

class TAutodeskGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TAutodeskGraphic, TFormatGraphic, TFormatGraphicMetaOf<TAutodeskGraphic>)

public:
    // A full header with the magic, 8 bits per pixel and no compression.
    static bool CanLoad(TStream& stream);

    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // A damaged file raises EImageRefused.
    void LoadFromStream(TStream& stream) override;
};

#pragma once
// TPCXGraphic reads Paintbrush pictures and snapshot screens: one to four
// planes of 1, 2, 4 or 8 bits, or three 8-bit colour planes; run-length
// encoded or stored.

#include "imageformats/FormatGraphic.h"

class TPCXGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TPCXGraphic, TFormatGraphic, TFormatGraphicMetaOf<TPCXGraphic>)

public:
    // A full header follows with a known maker, version and encoding.
    static bool CanLoad(TStream& stream);

    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // A damaged or unsupported file raises EImageRefused.
    void LoadFromStream(TStream& stream) override;
};

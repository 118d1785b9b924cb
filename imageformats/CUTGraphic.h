#pragma once
// TCUTGraphic reads Dr. Halo pictures: 8-bit run-length rows, with their
// palette in a side file of the same name and the extension ".pal". Without
// that file (or when loaded from a bare stream) the palette is a grey ramp.

#include <string>

#include "imageformats/FormatGraphic.h"

class TCUTGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TCUTGraphic, TFormatGraphic, TFormatGraphicMetaOf<TCUTGraphic>)

public:
    // The format has no signature: it is never chosen by content.
    static bool CanLoad(TStream&) { return false; }

    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // Loads with the palette file beside the picture.
    void LoadFromFile(const std::string& fileName) override;
    // A damaged file raises EImageRefused.
    void LoadFromStream(TStream& stream) override;

private:
    void LoadPalette();

    std::string paletteFile_;
};

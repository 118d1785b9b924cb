#pragma once
// TTIFFGraphic reads the first image of a TIFF file stored in strips or
// tiles (uncompressed, PackBits, LZW, deflate, one-dimensional fax,
// ThunderScan, and JPEG in strips; grey, palette, RGB(A), CMYK, CIELab and
// YCbCr). TEPSGraphic reads the TIFF preview of a binary EPS file.

#include "imageformats/FormatGraphic.h"

class TTIFFGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TTIFFGraphic, TFormatGraphic, TFormatGraphicMetaOf<TTIFFGraphic>)

public:
    // "II" or "MM", version 42 and a first directory inside the stream.
    static bool CanLoad(TStream& stream);

    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // Variants this reader does not decode (separate planes, two-dimensional
    // fax, subsampled YCbCr without JPEG...) and damaged files raise
    // EImageRefused.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream&) override { }

protected:
    // Reads the properties of image imageIndex from the TIFF data at
    // FStartPosition (the stream's position).
    bool ReadTIFFProperties(TStream& stream, int imageIndex);
    // Reads the TIFF data that starts at the stream's position.
    void LoadTIFF(TStream& stream, const char* formatName);

private:
    // One read's directory and state (TIFFGraphic.Load.h).
    class Load;
};

class TEPSGraphic : public TTIFFGraphic {
    DECLARE_CLASS_META(TEPSGraphic, TTIFFGraphic, TFormatGraphicMetaOf<TEPSGraphic>)

public:
    // The EPS magic and a preview behind the 30-byte header.
    static bool CanLoad(TStream& stream);
    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    void LoadFromStream(TStream& stream) override;
};

#pragma once
// TTIFFJPEGDecoder decodes the JPEG strips of a TIFF file through the
// platform's JPEG decoder, with the file's shared JPEG tables read once. Each strip must match the
// picture: its size, component count, precision and sampling; rows come out
// in blue-green-red order (or grey) straight into the caller's strip buffer.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "imageformats/GraphicCompression.h"

struct TImageProperties;

namespace gfx {
class TJpegStreamDecoder;
}

class TTIFFJPEGDecoder : public TDecoder {
public:
    // The reader's properties: size, samples, bits, scheme, planar
    // configuration, subsampling, rows per strip and JPEGTables, read as each
    // strip is decoded (CurrentRow and CurrentStrip move on with the reader).
    explicit TTIFFJPEGDecoder(TImageProperties* Properties);
    ~TTIFFJPEGDecoder() override;

    // Reads the shared tables; tables that are not a tables-only JPEG stream
    // raise EGraphicCompression.
    void DecodeInit() override;
    // One strip; UnpackedSize must be whole rows of BytesPerLine. Mismatches
    // raise EGraphicCompression, damaged JPEG data EImageRefused ("JPEG
    // error #n"). Returns the bytes of the rows decoded.
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;
    void DecodeEnd() override;

    // Told when a strip's data ends before its image does (the rest of the
    // strip is then decoded as if the image ended there).
    std::function<void(const std::string& caption, const std::string& text)> OnWarning;

private:
    int DecodeStrip(const std::uint8_t* Source, std::uint8_t* Dest, int PackedSize, int UnpackedSize);

    std::unique_ptr<gfx::TJpegStreamDecoder> library_;
    TImageProperties* properties_;
};

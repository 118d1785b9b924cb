#pragma once
// Lempel-Ziv-Welch decoders: TIFF strips (codes packed most significant bit
// first, the code width grows one code early) and GIF image data (least
// significant bit first, the table may stay full until the encoder clears
// it). Each Decode call decodes one independent code stream; the string
// table lives in that call's frame. Neither encodes. Up to 15 bytes of the
// output room after the written ones may change.

#include <cstdint>

#include "imageformats/GraphicCompression.h"

class TTIFFLZWDecoder : public TDecoder {
public:
    // Returns the bytes written; invalid codes are skipped, truncated data ends
    // the output early. Source and Dest are not moved.
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;
};

class TGIFLZWDecoder : public TDecoder {
public:
    // The minimum code size of the image block; the reader checks it (1..8).
    explicit TGIFLZWDecoder(std::uint8_t InitialCodeSize) : initialCodeSize_(InitialCodeSize) { }
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;

private:
    std::uint8_t initialCodeSize_;
};

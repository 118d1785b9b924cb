#pragma once
// TSGIGraphic reads SGI images: one to four channels of 8 or 16 bits,
// stored as planes or run-length encoded rows, bottom row first.

#include <cstdint>
#include <vector>

#include "imageformats/FormatGraphic.h"

class TSGIGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TSGIGraphic, TFormatGraphic, TFormatGraphicMetaOf<TSGIGraphic>)

public:
    // A full header with the magic, 1 or 2 bytes per channel and dimension 1-3.
    static bool CanLoad(TStream& stream);

    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // A damaged or unsupported file raises EImageRefused.
    void LoadFromStream(TStream& stream) override;

private:
    // Reads image row `row` (file order, bottom first) of every channel whose
    // buffer is given.
    void ReadAndDecode(TStream& stream, std::uint32_t row, std::vector<std::uint8_t>* channels[4]);

    TCardinalArray rowStart_;
    TCardinalArray rowSize_;
    int bytesPerChannel_ = 1;
    std::uint32_t channelCount_ = 1;
};

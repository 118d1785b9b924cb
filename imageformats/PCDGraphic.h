#pragma once
// TPCDGraphic reads Photo-CD image packs (and overview packs) at the base
// resolution of 768 x 512: the luma plane and the two half-size chroma
// planes, the chroma doubled with rounding, converted from PhotoYCC and
// turned by the stored orientation.

#include <cstdint>

#include "imageformats/FormatGraphic.h"

namespace PCDGraphic {
// Doubles the W x H samples at the start of `plane` (rows `rowDistance`
// apart) in place to 2W x 2H: new samples are the rounded means of their
// neighbours, the last column and row repeat. `rowDistance` must be at least
// 2W and the plane at least 2H rows long.
void DoublePixels(std::uint8_t* plane, int width, int height, int rowDistance);
} // namespace PCDGraphic

class TPCDGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TPCDGraphic, TFormatGraphic, TFormatGraphicMetaOf<TPCDGraphic>)

public:
    // "PCD_OPA" at 0 or "PCD" at 2048, and at least three sectors.
    static bool CanLoad(TStream& stream);

    // imageIndex is a resolution step (0 to 5; always 0 for overview packs):
    // 192 x 128 times 2 to its power, turned for orientations 1 and 3.
    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // Always the base resolution. A damaged file raises EImageRefused.
    void LoadFromStream(TStream& stream) override;

private:
    void ReadPlanes(TStream& stream, std::uint8_t* luma, std::uint8_t* chroma1, std::uint8_t* chroma2);
    void TransferPlanes(const std::uint8_t* luma, const std::uint8_t* chroma1, const std::uint8_t* chroma2);
};

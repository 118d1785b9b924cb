#pragma once
// TPSPGraphic reads the first raster layer of Paintshop Pro files (major
// versions 3 and later): 1, 4 or 8-bit indexed or grey, or 24-bit colour with
// an optional fourth channel as alpha; channels raw, run-length or deflate.

#include "imageformats/FormatGraphic.h"

class TPSPGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TPSPGraphic, TFormatGraphic, TFormatGraphicMetaOf<TPSPGraphic>)

public:
    // The signature text (any case) and a major version of at least 3.
    static bool CanLoad(TStream& stream);

    // The general attributes of the first block; the stream is left at the
    // end of that block.
    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // A damaged or unsupported file, or one without a raster layer, raises
    // EImageRefused.
    void LoadFromStream(TStream& stream) override;

private:
    struct Layer;
    bool ReadLayerBlock(TStream& stream, std::int64_t blockEnd);
    void ReadChannels(TStream& stream, int channelCount, Layer& layer);
    void TransferLayer(const Layer& layer);
};

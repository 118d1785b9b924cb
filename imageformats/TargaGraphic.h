#pragma once
// TTargaGraphic reads Truevision files (colour-mapped, true colour and grey,
// raw or run-length encoded) and writes them, raw or compressed.

#include <cstdint>

#include "imageformats/FormatGraphic.h"

class TTargaGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TTargaGraphic, TFormatGraphic, TFormatGraphicMetaOf<TTargaGraphic>)

public:
    // The header at the stream's position names a type, map and depth this
    // reader knows (a colour-map entry size is required even without a map).
    static bool CanLoad(TStream& stream);

    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // A damaged or unsupported file raises EImageRefused.
    void LoadFromStream(TStream& stream) override;
    // Compressed.
    void SaveToStream(TStream& stream) override;
    // 1 and 4-bit pictures become 8-bit pictures first.
    void SaveToStream(TStream& stream, bool compressed);

private:
    void ReadRawRows(TStream& stream, int depth, bool topDown);
    void ReadEncodedRows(TStream& stream, int depth, bool topDown);
    void ReadColorMap(TStream& stream, int mapLength, int entrySize, bool indexed);
};

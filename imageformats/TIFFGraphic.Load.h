#pragma once

// Internal to the TIFF units: the tags read, and one read of a directory and
// of the picture it describes.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "imageformats/GraphicCompression.h"
#include "imageformats/GraphicStrings.h"
#include "imageformats/TIFFGraphic.h"
#include "imageformats/WholeInflater.h"

namespace TIFF {

inline const char* const kTIFFName = "TIF/TIFF";

enum Tag : std::uint16_t {
    tgImageWidth = 256,
    tgImageLength = 257,
    tgBitsPerSample = 258,
    tgCompression = 259,
    tgPhotometric = 262,
    tgFillOrder = 266,
    tgStripOffsets = 273,
    tgSamplesPerPixel = 277,
    tgRowsPerStrip = 278,
    tgStripByteCounts = 279,
    tgXResolution = 282,
    tgYResolution = 283,
    tgPlanarConfig = 284,
    tgResolutionUnit = 296,
    tgPredictor = 317,
    tgColorMap = 320,
    tgTileWidth = 322,
    tgTileLength = 323,
    tgT4Options = 292,
    tgTileOffsets = 324,
    tgTileByteCounts = 325,
    tgExtraSamples = 338,
    tgJPEGTables = 347,
    tgYCbCrCoefficients = 529,
    tgYCbCrSubSampling = 530
};

// Refuses a variant with the message of an unsupported compression scheme.
[[noreturn]] inline void RaiseUnsupported(TRefusalReason reason)
{
    throw EImageRefused(
        reason,
        GraphicStrings::Format(GraphicStrings::gesUnsupportedFeature, GraphicStrings::gesCompressionScheme, kTIFFName));
}

} // namespace TIFF

// One read of a TIFF directory and, for a load, of the picture it
// describes: the directory's entries in tag order, the file's byte order and
// the bytes of the block being read. It lives as long as the read, so
// nothing of it stays with the picture.
class TTIFFGraphic::Load {
public:
    // `formatName` fills the messages of the directory's damage.
    Load(TTIFFGraphic& picture, const char* formatName)
        : picture_(picture), properties_(picture.FProperties), converter_(*picture.FConverter),
          start_(picture.FStartPosition), formatName_(formatName)
    { }

    // Reads the properties of image imageIndex from the TIFF data that starts
    // at the picture's start position.
    bool ReadProperties(TStream& stream, int imageIndex);
    // Decodes the picture the properties of image 0 describe.
    void Run(TStream& stream);

private:
    struct TIFDEntry {
        std::uint16_t Tag = 0;
        std::uint16_t DataType = 0;
        std::uint32_t DataLength = 0; // value count
        std::uint8_t Field[4] = {};   // the values, or their offset (file byte order)
    };

    bool FindTag(std::uint16_t tag, std::size_t& index) const;
    std::uint32_t GetValue(std::uint16_t tag, std::uint32_t defaultValue) const;
    float GetFloatValue(TStream& stream, std::uint16_t tag, float defaultValue) const;
    std::vector<std::uint32_t> GetValueList(TStream& stream, std::uint16_t tag) const;
    std::vector<float> GetFloatList(TStream& stream, std::uint16_t tag) const;
    bool ReadIFD(TStream& stream, std::uint32_t offset);
    std::uint32_t FieldValue(const TIFDEntry& entry, int index) const;
    std::uint32_t Read32(const std::uint8_t* bytes) const;
    std::uint16_t Read16(const std::uint8_t* bytes) const;
    void ReadColorMap(TStream& stream);
    std::unique_ptr<TDecoder> CreateDecoder(TStream& stream, std::uint32_t width);
    std::span<const std::uint8_t> BlockBytes(TStream& stream, std::uint32_t offset, std::uint32_t byteCount);
    std::size_t ReadBlock(TStream& stream, TDecoder* decoder, std::uint32_t offset, std::uint32_t byteCount,
                          std::span<std::uint8_t> block);
    bool DecodesIntoPicture(const TDecoder* decoder, std::uint32_t bytesPerLine);
    // The picture rows of each strip, in file order, up to the strip that
    // reaches the picture's last row.
    struct TStripRows {
        std::uint32_t First = 0;
        std::uint32_t Count = 0;
    };
    std::vector<TStripRows> StripRows(std::size_t strips) const;
    std::vector<std::span<const std::uint8_t>> GatherStripBytes(TStream& stream,
                                                                const std::vector<std::uint32_t>& offsets,
                                                                const std::vector<std::uint32_t>& byteCounts,
                                                                std::size_t strips,
                                                                std::vector<std::uint8_t>& gathered);
    std::vector<std::uint32_t> DecodeStripsAhead(TStream& stream, const std::vector<std::uint32_t>& offsets,
                                                 const std::vector<std::uint32_t>& byteCounts,
                                                 const std::vector<TStripRows>& strips, std::uint32_t bytesPerLine);
    void ReadStrips(TStream& stream, std::uint32_t bytesPerLine);
    void ReadTiles(TStream& stream, std::uint32_t bytesPerLine);
    void UndoPredictor(std::uint8_t* row, std::uint32_t pixels) const;

    TTIFFGraphic& picture_;
    TImageProperties& properties_;
    TColorManager& converter_;
    const std::int64_t start_;
    const char* const formatName_;
    std::vector<TIFDEntry> ifd_;
    std::vector<std::uint8_t> packed_; // the bytes of the block being read, unless the stream is in memory
    // Deflate blocks are complete streams of known size: inflated whole
    // first, by the streaming decoder only when that fails.
    std::unique_ptr<TWholeInflater> wholeInflater_;
    bool bigEndian_ = false;
};

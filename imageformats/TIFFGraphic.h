#pragma once
// TTIFFGraphic reads the first image of a TIFF file stored in strips or
// tiles (uncompressed, PackBits, LZW, deflate, one-dimensional fax,
// ThunderScan, and JPEG in strips; grey, palette, RGB(A), CMYK, CIELab and
// YCbCr). TEPSGraphic reads the TIFF preview of a binary EPS file.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "imageformats/FormatGraphic.h"

class TDecoder;

class TTIFFGraphic : public TFormatGraphic {
  DECLARE_CLASS_META(TTIFFGraphic, TFormatGraphic, TFormatGraphicMetaOf<TTIFFGraphic>)

 public:
  // "II" or "MM", version 42 and a first directory inside the stream.
  static bool CanLoad(TStream& stream);

  bool ReadImageProperties(TStream& stream, int imageIndex) override;
  // Variants this reader does not decode (separate planes, two-dimensional
  // fax, subsampled YCbCr without JPEG...) and damaged files raise
  // EInvalidGraphic.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream&) override {}

  struct TIFDEntry {
    std::uint16_t Tag = 0;
    std::uint16_t DataType = 0;
    std::uint32_t DataLength = 0;  // value count
    std::uint8_t Field[4] = {};    // the values, or their offset (file byte order)
  };

 protected:
  // Reads the properties of image imageIndex from the TIFF data at the
  // stream's position (the start of the TIFF data).
  bool ReadTIFFProperties(TStream& stream, int imageIndex);
  // Reads the TIFF data that starts at the stream's position.
  void LoadTIFF(TStream& stream, const char* formatName);

 private:
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
  void ReadStrips(TStream& stream, std::uint32_t bytesPerLine);
  void ReadTiles(TStream& stream, std::uint32_t bytesPerLine);
  void UndoPredictor(std::uint8_t* row, std::uint32_t pixels) const;

  std::vector<TIFDEntry> FIFD;
  std::vector<std::uint8_t> FPacked;  // the bytes of the block being read, unless the stream is in memory
  bool FBigEndian = false;
  const char* FFormatName = "TIF/TIFF";
};

class TEPSGraphic : public TTIFFGraphic {
  DECLARE_CLASS_META(TEPSGraphic, TTIFFGraphic, TFormatGraphicMetaOf<TEPSGraphic>)

 public:
  // The EPS magic and a preview behind the 30-byte header.
  static bool CanLoad(TStream& stream);
  bool ReadImageProperties(TStream& stream, int imageIndex) override;
  void LoadFromStream(TStream& stream) override;
};

#pragma once
// TPNGGraphic reads PNG files: every chunk's CRC is checked, the image data
// is inflated across its IDAT chunks, the row filters are undone and each
// row (or Adam7 pass row) goes through the colour manager. gAMA, bKGD and
// the tRNS colour key of grey and RGB pictures are honoured; alpha from
// tRNS palettes is not.

#include <cstdint>
#include <memory>
#include <vector>

#include "imageformats/FormatGraphic.h"
#include "platform/graphics/Color.h"

class TLZ77Decoder;

class TPNGGraphic : public TFormatGraphic {
  DECLARE_CLASS_META(TPNGGraphic, TFormatGraphic, TFormatGraphicMetaOf<TPNGGraphic>)

 public:
  TPNGGraphic();
  ~TPNGGraphic() override;

  // At least 9 bytes and the PNG signature.
  static bool CanLoad(TStream& stream);

  bool ReadImageProperties(TStream& stream, int imageIndex) override;
  // A damaged file raises EInvalidGraphic. Image data that ends early (while
  // the chunks are intact) leaves the rows not reached in the background
  // colour.
  void LoadFromStream(TStream& stream) override;

 private:
  // The current chunk.
  bool IsChunk(const char* type) const;
  bool IsCritical() const { return (FChunkType[0] & 0x20) == 0; }
  void LoadAndSwapHeader(TStream& stream);
  // After image data the file may end without IEND: then no chunk is current.
  void LoadHeaderIfAny(TStream& stream);
  void ReadDataAndCheckCRC(TStream& stream);
  void SkipChunk(TStream& stream);

  // Fills count bytes of inflated data; false when the image data ends first.
  bool ReadRow(std::uint8_t* buffer, std::uint32_t count);
  void ApplyFilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous, std::uint32_t count);
  int SetupColorDepth(int colorType, int bitDepth);
  void ReadChunks(TStream& stream);
  void LoadIDAT();
  void LoadPalette();
  void LoadBackgroundColor();
  void LoadTransparency();
  // A grey or RGB sample of bKGD/tRNS scaled to 0..255.
  std::uint8_t ScaledSample(const std::uint8_t* bigEndianSample) const;
  void FillBackground(std::uint32_t firstRow);
  // Returns the first row not delivered (the height when all were).
  std::uint32_t ReadPassRows(std::uint32_t startRow, std::uint32_t rowStep, std::uint32_t rowBytes,
                             std::uint8_t mask, bool reportProgress);

  std::unique_ptr<TLZ77Decoder> FInflater;
  TStream* FStream = nullptr;
  std::int64_t FChunkDataLeft = 0;
  std::vector<std::uint8_t> FChunkData;
  const std::uint8_t* FChunkCursor = nullptr;
  std::uint32_t FChunkLength = 0;
  char FChunkType[4] = {};
  std::uint32_t FRunningCRC = 0;
  int FPixelBytes = 1;
  int FColorType = 0, FBitDepth = 0;
  bool FDataEnded = false;
  bool FNoMoreChunks = false;
  TPaletteEntries FPalette;      // as the bitmap takes it (target depth)
  std::vector<TColor> FFilePalette;  // the PLTE colours by file index
  bool FHavePalette = false;
  bool FColorDepthSet = false;
  std::vector<std::uint8_t> FRows[2];
  bool FHasTransparentColor = false;
  TColor FTransparentColor = 0;
  TColor FBackgroundColor = 0xFFFFFF;
};

#pragma once
// TJPEGImage: a JPEG picture that keeps the file's bytes as they are (saved
// back unchanged), reads its size from the header alone and decodes only when
// pixels are needed, at full size or by DCT scaling at 1/2, 1/4 or 1/8. A
// picture made from a bitmap is compressed when its bytes are first needed.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/Graphic.h"
#include "platform/rtl/Exceptions.h"

class TBitmap;

// A JPEG that cannot be read or written.
class EJPEG : public EInvalidGraphic {
public:
  using EInvalidGraphic::EInvalidGraphic;
};

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };

class TJPEGImage : public TGraphic {
  DECLARE_CLASS(TJPEGImage, TGraphic)

public:
  // The most pixel bytes one decode may produce (24-bit); a larger picture
  // raises EOutOfMemory before anything is allocated.
  static constexpr std::int64_t MaxDecodedBytes = std::int64_t{1} << 30;

  TJPEGImage();
  ~TJPEGImage() override;
  TJPEGImage(const TJPEGImage&) = delete;
  TJPEGImage& operator=(const TJPEGImage&) = delete;

  // From a TJPEGImage (bytes, settings and any decoded pixels) or a TBitmap
  // (pixels, compressed on demand).
  void Assign(const TPersistent* source) override;

  void Draw(TCanvas& canvas, const TRect& rect) override;
  // The size the picture decodes to at the current Scale (header only); a
  // damaged header raises EJPEG.
  int Width() const override;
  int Height() const override;
  // The size of a JPEG cannot be set: EJPEG.
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  bool Empty() const override;

  // Takes every byte from the stream's position to its end.
  void LoadFromStream(TStream& stream) override;
  // Writes the bytes as loaded, or as compressed from the assigned bitmap.
  void SaveToStream(TStream& stream) override;

  TJPEGScale Scale() const { return scale_; }
  void SetScale(TJPEGScale scale);
  TJPEGPerformance Performance() const { return performance_; }
  void SetPerformance(TJPEGPerformance performance);
  // Decode to grey levels (still 24-bit pixels); compress as one channel.
  bool Grayscale() const { return grayscale_; }
  void SetGrayscale(bool grayscale);
  // Used by the next compression (1..100).
  int CompressionQuality = 90;
  bool ProgressiveEncoding = false;

  // True when the loaded bytes are a progressive JPEG (header only).
  bool ProgressiveDisplay() const;

  // Decodes now (no-op when the pixels are there).
  void DIBNeeded();
  // Compresses the assigned bitmap now (no-op when the bytes are there).
  void JPEGNeeded();
  // Compresses the current pixels again with the current settings.
  void Compress();
  // The compressed bytes (compressing first when needed).
  const std::vector<std::uint8_t>& Data();

protected:
  void AssignTo(TPersistent* dest) const override;
  // Drops the decoded pixels; the compressed bytes stay.
  void FreeBitmap();
  // The decoded pixels (decoding first when needed); 24-bit.
  TBitmap& Bitmap();

private:
  struct Header;
  const Header& ReadHeader() const;
  void Decode();
  // Decodes at the current settings into the bitmap (24-bit, resized).
  void DecodeInto(TBitmap& bitmap);
  void AssignBitmap(const TBitmap& source);
  void DecodedPixelsChanged();
  void ReportProgress(TProgressStage stage, int row, int rows);

  std::vector<std::uint8_t> data_;
  mutable std::unique_ptr<Header> header_;
  std::unique_ptr<TBitmap> bitmap_;
  TJPEGScale scale_ = jsFullSize;
  TJPEGPerformance performance_ = jpBestQuality;
  bool grayscale_ = false;
};

namespace gfx {
// The decoded size of a side at a scale: the side divided by 1, 2, 4 or 8,
// rounded up.
int JpegScaledSize(int side, TJPEGScale scale);
}  // namespace gfx

#pragma once
// TJPEGImage: a JPEG picture that keeps the file's bytes as they are (saved
// back unchanged), reads its size from the header alone and decodes only when
// pixels are needed, at full size or by DCT scaling at 1/2, 1/4 or 1/8. A
// picture made from a bitmap is compressed when its bytes are first needed.
// ReadJpegSize and TJpegStreamDecoder give the picture readers of the image
// library what they need of libjpeg, which no header names.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/graphics/Graphic.h"
#include "platform/rtl/Exceptions.h"

class TBitmap;
class TStream;

// A JPEG that cannot be read or written.
class EJPEG : public EInvalidGraphic {
public:
    explicit EJPEG(std::string message, int libraryCode = 0)
        : EInvalidGraphic(std::move(message)), LibraryCode(libraryCode)
    { }
    // The library's message code when the library refused the data; 0 when
    // the program itself did.
    int LibraryCode;
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

// The picture size from the JPEG header at the stream's position, read in
// 4096-byte blocks. An empty stream is the library's "empty input" error; a
// stream that ends later is completed with an end-of-image marker. Library
// errors raise EJPEG with their LibraryCode; warnings are ignored.
void ReadJpegSize(TStream& stream, std::uint32_t& width, std::uint32_t& height);

// Decodes JPEG streams in memory that share tables given once, as the
// strips of a TIFF picture do. Library errors raise EJPEG with their
// LibraryCode; warnings are ignored.
class TJpegStreamDecoder {
public:
    struct THeader {
        std::uint32_t Width = 0, Height = 0;
        int Components = 0;
        int Precision = 0;
        // Horizontal and vertical sampling factor of each component.
        std::vector<std::pair<int, int>> Sampling;
    };
    // How three-component streams store their colour.
    enum TStoredColor { scYCbCr, scRGB };

    TJpegStreamDecoder();
    ~TJpegStreamDecoder();
    TJpegStreamDecoder(const TJpegStreamDecoder&) = delete;
    TJpegStreamDecoder& operator=(const TJpegStreamDecoder&) = delete;

    // Reads the shared tables; false when the data is not a tables-only
    // stream.
    bool ReadTables(const std::uint8_t* data, std::size_t size);
    // Reads the header of the stream in `data`, which becomes the current one;
    // the bytes must stay until its rows are read.
    THeader ReadHeader(const std::uint8_t* data, std::size_t size);
    // Decodes up to rowCount rows of the current stream, `stride` bytes apart:
    // three components as blue, green, red, any other count as grey. Returns
    // the rows decoded.
    int ReadRows(TStoredColor color, std::uint8_t* rows, int stride, int rowCount);

    // Told when a stream's data ends before its image does; the image then
    // ends there.
    std::function<void()> OnDataEnd;

private:
    struct State;
    std::unique_ptr<State> state_;
};
} // namespace gfx

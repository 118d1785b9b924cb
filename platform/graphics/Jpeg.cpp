// TJPEGImage: the picture, its decoding and its compression.

#include "platform/graphics/Jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Jpeg.Trap.h"
#include "platform/rtl/Streams.h"

using namespace gfx::JpegTrap;

IMPLEMENT_CLASS(TJPEGImage)

// The library calls below are trapped as Jpeg.Trap.h describes.
namespace {

constexpr long MaxLibraryMemory = 1L << 30;

bool TryCreate(jpeg_decompress_struct* cinfo, ErrorTrap* trap, const std::uint8_t* data, unsigned long size)
{
    if (setjmp(trap->jump))
        return false;
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = MaxLibraryMemory;
    jpeg_mem_src(cinfo, data, size);
    return true;
}

bool TryReadHeader(jpeg_decompress_struct* cinfo, ErrorTrap* trap)
{
    if (setjmp(trap->jump))
        return false;
    return jpeg_read_header(cinfo, TRUE) == JPEG_HEADER_OK;
}

bool TryCalcDimensions(jpeg_decompress_struct* cinfo, ErrorTrap* trap)
{
    if (setjmp(trap->jump))
        return false;
    jpeg_calc_output_dimensions(cinfo);
    return true;
}

bool TryStart(jpeg_decompress_struct* cinfo, ErrorTrap* trap)
{
    if (setjmp(trap->jump))
        return false;
    return jpeg_start_decompress(cinfo) == TRUE;
}

bool TryReadRows(jpeg_decompress_struct* cinfo, ErrorTrap* trap, JSAMPARRAY rows, JDIMENSION count, JDIMENSION* read)
{
    if (setjmp(trap->jump))
        return false;
    *read = jpeg_read_scanlines(cinfo, rows, count);
    return *read > 0;
}

bool TryFinish(jpeg_decompress_struct* cinfo, ErrorTrap* trap)
{
    if (setjmp(trap->jump))
        return false;
    jpeg_finish_decompress(cinfo);
    return true;
}

// A decompressor over bytes in memory, destroyed on every way out.
class Decompressor {
public:
    Decompressor(const std::vector<std::uint8_t>& data)
    {
        std::memset(&cinfo, 0, sizeof cinfo);
        InstallTrap(trap);
        cinfo.err = &trap.pub;
        const bool created = TryCreate(&cinfo, &trap, data.data(), static_cast<unsigned long>(data.size()));
        created_ = cinfo.mem != nullptr;
        if (!created) {
            if (created_)
                jpeg_destroy_decompress(&cinfo);
            Fail();
        }
    }
    ~Decompressor()
    {
        if (created_)
            jpeg_destroy_decompress(&cinfo);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    [[noreturn]] void Fail() const { RaiseTrapped(trap); }

    jpeg_decompress_struct cinfo;
    ErrorTrap trap;

private:
    bool created_ = false;
};

bool TryCreate(jpeg_compress_struct* cinfo, ErrorTrap* trap, unsigned char** buffer, unsigned long* size)
{
    if (setjmp(trap->jump))
        return false;
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, buffer, size);
    return true;
}

struct CompressSettings {
    int Quality;
    bool Grayscale;
    bool Progressive;
};

bool TryConfigure(jpeg_compress_struct* cinfo, ErrorTrap* trap, const CompressSettings* settings)
{
    if (setjmp(trap->jump))
        return false;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, settings->Quality, TRUE);
    if (settings->Grayscale)
        jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
    if (settings->Progressive)
        jpeg_simple_progression(cinfo);
    jpeg_start_compress(cinfo, TRUE);
    return true;
}

bool TryWriteRows(jpeg_compress_struct* cinfo, ErrorTrap* trap, JSAMPARRAY rows, JDIMENSION count)
{
    if (setjmp(trap->jump))
        return false;
    return jpeg_write_scanlines(cinfo, rows, count) == count;
}

bool TryFinish(jpeg_compress_struct* cinfo, ErrorTrap* trap)
{
    if (setjmp(trap->jump))
        return false;
    jpeg_finish_compress(cinfo);
    return true;
}

class Compressor {
public:
    Compressor()
    {
        std::memset(&cinfo, 0, sizeof cinfo);
        InstallTrap(trap);
        cinfo.err = &trap.pub;
        const bool created = TryCreate(&cinfo, &trap, &buffer, &size);
        created_ = cinfo.mem != nullptr;
        if (!created) {
            if (created_)
                jpeg_destroy_compress(&cinfo);
            std::free(buffer);
            Fail();
        }
    }
    ~Compressor()
    {
        if (created_)
            jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    [[noreturn]] void Fail() const { RaiseTrapped(trap); }

    jpeg_compress_struct cinfo;
    ErrorTrap trap;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;

private:
    bool created_ = false;
};

int ScaleDenominator(TJPEGScale scale) { return 1 << static_cast<int>(scale); }

// CMYK as stored by the common Adobe writers is inverted (255 = no ink).
void CmykRowToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const int c = inverted ? cmyk[0] : 255 - cmyk[0];
        const int m = inverted ? cmyk[1] : 255 - cmyk[1];
        const int y = inverted ? cmyk[2] : 255 - cmyk[2];
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        bgr[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
        bgr[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        bgr[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
}

// Expands grey bytes at the start of the row into B,G,R, back to front so
// that it works in place.
void GrayRowToBgrInPlace(std::uint8_t* row, int width)
{
    for (int x = width - 1; x >= 0; --x) {
        const std::uint8_t g = row[x];
        row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = g;
    }
}

void BgrRowToGray(std::uint8_t* row, int width)
{
    for (int x = 0; x < width; ++x, row += 3) {
        const int luma = (row[0] * 1868 + row[1] * 9617 + row[2] * 4899 + 8192) >> 14;
        row[0] = row[1] = row[2] = static_cast<std::uint8_t>(luma);
    }
}

} // namespace

struct TJPEGImage::Header {
    int Width = 0;
    int Height = 0;
    bool Progressive = false;
};

namespace gfx {
int JpegScaledSize(int side, TJPEGScale scale)
{
    const int denominator = ScaleDenominator(scale);
    return (side + denominator - 1) / denominator;
}
} // namespace gfx

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(const TPersistent* source)
{
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(source)) {
        if (jpeg == this)
            return;
        data_ = jpeg->data_;
        header_ = jpeg->header_ ? std::make_unique<Header>(*jpeg->header_) : nullptr;
        bitmap_.reset();
        if (jpeg->bitmap_) {
            bitmap_ = std::make_unique<TBitmap>();
            bitmap_->Assign(jpeg->bitmap_.get());
        }
        scale_ = jpeg->scale_;
        performance_ = jpeg->performance_;
        grayscale_ = jpeg->grayscale_;
        CompressionQuality = jpeg->CompressionQuality;
        ProgressiveEncoding = jpeg->ProgressiveEncoding;
        Changed(this);
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        AssignBitmap(*bitmap);
        return;
    }
    TGraphic::Assign(source);
}

void TJPEGImage::AssignBitmap(const TBitmap& source)
{
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(&source);
    copy->SetPixelFormat(pf24bit);
    bitmap_ = std::move(copy);
    data_.clear();
    header_.reset();
    Changed(this);
}

void TJPEGImage::AssignTo(TPersistent* dest) const
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        if (bitmap_ || data_.empty()) {
            // Decoding fills a cache; the picture itself does not change.
            bitmap->Assign(&const_cast<TJPEGImage*>(this)->Bitmap());
            return;
        }
        // Nothing decoded yet: the pixels go straight into the destination, so a
        // large picture is neither held twice nor copied.
        const TBitmap blank;
        bitmap->Assign(&blank);
        try {
            const_cast<TJPEGImage*>(this)->DecodeInto(*bitmap);
        } catch (...) {
            bitmap->Assign(&blank);
            throw;
        }
        return;
    }
    TGraphic::AssignTo(dest);
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect)
{
    if (Empty())
        return;
    canvas.StretchDraw(rect, Bitmap());
}

const TJPEGImage::Header& TJPEGImage::ReadHeader() const
{
    if (header_)
        return *header_;
    Decompressor decoder(data_);
    if (!TryReadHeader(&decoder.cinfo, &decoder.trap))
        decoder.Fail();
    auto header = std::make_unique<Header>();
    header->Width = static_cast<int>(decoder.cinfo.image_width);
    header->Height = static_cast<int>(decoder.cinfo.image_height);
    header->Progressive = decoder.cinfo.progressive_mode != 0;
    header_ = std::move(header);
    return *header_;
}

int TJPEGImage::Width() const
{
    if (bitmap_)
        return bitmap_->Width();
    if (data_.empty())
        return 0;
    return gfx::JpegScaledSize(ReadHeader().Width, scale_);
}

int TJPEGImage::Height() const
{
    if (bitmap_)
        return bitmap_->Height();
    if (data_.empty())
        return 0;
    return gfx::JpegScaledSize(ReadHeader().Height, scale_);
}

void TJPEGImage::SetWidth(int) { throw EJPEG("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int) { throw EJPEG("Cannot change the size of a JPEG image"); }

bool TJPEGImage::Empty() const { return data_.empty() && (!bitmap_ || bitmap_->Empty()); }

bool TJPEGImage::ProgressiveDisplay() const { return !data_.empty() && ReadHeader().Progressive; }

void TJPEGImage::LoadFromStream(TStream& stream)
{
    const std::int64_t size = stream.Size() - stream.Position();
    std::vector<std::uint8_t> bytes(static_cast<size_t>(std::max<std::int64_t>(size, 0)));
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    data_ = std::move(bytes);
    header_.reset();
    bitmap_.reset();
    Changed(this);
}

void TJPEGImage::SaveToStream(TStream& stream)
{
    JPEGNeeded();
    if (!data_.empty())
        stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TJPEGImage::DecodedPixelsChanged()
{
    if (data_.empty())
        return; // the pixels are the picture: nothing to redo
    bitmap_.reset();
    Changed(this);
}

void TJPEGImage::SetScale(TJPEGScale scale)
{
    if (scale == scale_)
        return;
    scale_ = scale;
    DecodedPixelsChanged();
}

void TJPEGImage::SetPerformance(TJPEGPerformance performance)
{
    if (performance == performance_)
        return;
    performance_ = performance;
    DecodedPixelsChanged();
}

void TJPEGImage::SetGrayscale(bool grayscale)
{
    if (grayscale == grayscale_)
        return;
    grayscale_ = grayscale;
    DecodedPixelsChanged();
}

void TJPEGImage::FreeBitmap()
{
    if (!data_.empty())
        bitmap_.reset();
}

TBitmap& TJPEGImage::Bitmap()
{
    DIBNeeded();
    return *bitmap_;
}

void TJPEGImage::DIBNeeded()
{
    if (bitmap_)
        return;
    if (data_.empty()) {
        bitmap_ = std::make_unique<TBitmap>(0, 0, pf24bit);
        return;
    }
    Decode();
}

void TJPEGImage::ReportProgress(TProgressStage stage, int row, int rows)
{
    if (!OnProgress)
        return;
    const int percent = rows > 0 ? static_cast<int>(static_cast<std::int64_t>(row) * 100 / rows) : 0;
    Progress(this, stage, static_cast<std::uint8_t>(percent), false, TRect{}, std::string());
}

void TJPEGImage::Decode()
{
    auto bitmap = std::make_unique<TBitmap>();
    DecodeInto(*bitmap);
    bitmap_ = std::move(bitmap);
}

void TJPEGImage::DecodeInto(TBitmap& bitmap)
{
    Decompressor decoder(data_);
    jpeg_decompress_struct& cinfo = decoder.cinfo;
    if (!TryReadHeader(&cinfo, &decoder.trap))
        decoder.Fail();
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool grayOut = !cmyk && (grayscale_ || cinfo.jpeg_color_space == JCS_GRAYSCALE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(ScaleDenominator(scale_));
    cinfo.out_color_space = cmyk ? JCS_CMYK : grayOut ? JCS_GRAYSCALE : JCS_EXT_BGR;
    if (performance_ == jpBestSpeed) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
    }
    if (!TryCalcDimensions(&cinfo, &decoder.trap))
        decoder.Fail();
    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    if (static_cast<std::int64_t>(gfx::BitmapRowStride(width, 24)) * height > MaxDecodedBytes)
        throw EOutOfMemory("The JPEG picture is too large to decode (" + std::to_string(width) + " x " +
                           std::to_string(height) + ")");
    if (!TryStart(&cinfo, &decoder.trap))
        decoder.Fail();

    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(width, height);
    std::vector<std::uint8_t> cmykRow(cmyk ? static_cast<size_t>(width) * 4 : 0);
    const bool invertedCmyk = cinfo.saw_Adobe_marker;
    ReportProgress(psStarting, 0, height);
    constexpr int BatchRows = 16;
    JSAMPROW rows[BatchRows];
    while (cinfo.output_scanline < cinfo.output_height) {
        const int first = static_cast<int>(cinfo.output_scanline);
        const int batch = cmyk ? 1 : std::min(BatchRows, height - first);
        for (int i = 0; i < batch; ++i)
            rows[i] = cmyk ? cmykRow.data() : bitmap.ScanLine(first + i);
        JDIMENSION read = 0;
        if (!TryReadRows(&cinfo, &decoder.trap, rows, static_cast<JDIMENSION>(batch), &read))
            decoder.Fail();
        for (int i = 0; i < static_cast<int>(read); ++i) {
            std::uint8_t* line = bitmap.ScanLine(first + i);
            if (cmyk) {
                CmykRowToBgr(cmykRow.data(), line, width, invertedCmyk);
                if (grayscale_)
                    BgrRowToGray(line, width);
            } else if (grayOut) {
                GrayRowToBgrInPlace(line, width);
            }
        }
        ReportProgress(psRunning, static_cast<int>(cinfo.output_scanline), height);
    }
    if (!TryFinish(&cinfo, &decoder.trap))
        decoder.Fail();
    ReportProgress(psEnding, height, height);
}

void TJPEGImage::JPEGNeeded()
{
    if (data_.empty() && bitmap_ && !bitmap_->Empty())
        Compress();
}

void TJPEGImage::Compress()
{
    if (!bitmap_ && !data_.empty())
        Decode();
    if (!bitmap_ || bitmap_->Empty())
        return;
    TBitmap& source = *bitmap_;
    Compressor encoder;
    jpeg_compress_struct& cinfo = encoder.cinfo;
    cinfo.image_width = static_cast<JDIMENSION>(source.Width());
    cinfo.image_height = static_cast<JDIMENSION>(source.Height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    const CompressSettings settings{std::clamp(CompressionQuality, 1, 100), grayscale_, ProgressiveEncoding};
    if (!TryConfigure(&cinfo, &encoder.trap, &settings))
        encoder.Fail();
    for (int y = 0; y < source.Height(); ++y) {
        JSAMPROW row = source.ScanLine(y);
        if (!TryWriteRows(&cinfo, &encoder.trap, &row, 1))
            encoder.Fail();
    }
    if (!TryFinish(&cinfo, &encoder.trap))
        encoder.Fail();
    data_.assign(encoder.buffer, encoder.buffer + encoder.size);
    header_.reset();
}

const std::vector<std::uint8_t>& TJPEGImage::Data()
{
    JPEGNeeded();
    return data_;
}

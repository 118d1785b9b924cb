#include "platform/graphics/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Streams.h"

IMPLEMENT_CLASS(TJPEGImage)

// libjpeg reports errors by calling error_exit, which must not return. It
// longjmps back into one of the small Try* functions below. Each of them sets
// its own jump target and makes its library calls with no C++ object alive
// in its frame, so the jump skips no destructor; the callers turn a false
// result into an exception once they are back in ordinary C++ code. This is
// the program's only trap for libjpeg's errors.
namespace {

// What becomes of the library's warnings.
enum class Warnings {
    // Ignored (real files often carry stray bytes), except running out of
    // data: a truncated file or scan is an error, not a picture with a grey
    // end. TJPEGImage decodes so.
    TruncationFails,
    // All ignored: the sources of the picture readers end a short stream
    // with an end-of-image marker themselves.
    Ignored,
};

struct ErrorTrap {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    Warnings warnings;
};

void TrapError(j_common_ptr cinfo)
{
    auto* trap = reinterpret_cast<ErrorTrap*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, trap->message);
    std::longjmp(trap->jump, 1);
}

void TrapMessage(j_common_ptr cinfo, int level)
{
    const auto* trap = reinterpret_cast<const ErrorTrap*>(cinfo->err);
    const int code = cinfo->err->msg_code;
    if (trap->warnings == Warnings::TruncationFails && level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
        TrapError(cinfo);
}

void InstallTrap(ErrorTrap& trap, Warnings warnings = Warnings::TruncationFails)
{
    jpeg_std_error(&trap.pub);
    trap.pub.error_exit = TrapError;
    trap.pub.emit_message = TrapMessage;
    trap.message[0] = '\0';
    trap.warnings = warnings;
}

// The error of a trapped library call, with the library's message code.
[[noreturn]] void RaiseTrapped(const ErrorTrap& trap)
{
    throw EJPEG(std::string("JPEG error: ") + trap.message, trap.pub.msg_code);
}

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

// ---- the picture readers' access to the library -----------------------------

namespace {

constexpr std::size_t StreamBlockSize = 4096;

// Raises the library error `code` from inside a callback.
void FailInCallback(j_common_ptr cinfo, int code)
{
    cinfo->err->msg_code = code;
    cinfo->err->error_exit(cinfo);
}

// A source reading a TStream in blocks; the record and its buffer come from
// the library's permanent pool.
struct StreamSource {
    jpeg_source_mgr pub;
    TStream* stream;
    JOCTET* buffer;
    bool startOfFile;
};

StreamSource& StreamSourceOf(j_decompress_ptr cinfo) { return *reinterpret_cast<StreamSource*>(cinfo->src); }

void InitStreamSource(j_decompress_ptr cinfo) { StreamSourceOf(cinfo).startOfFile = true; }

boolean FillFromStream(j_decompress_ptr cinfo)
{
    StreamSource& source = StreamSourceOf(cinfo);
    std::int64_t count = 0;
    bool failed = false;
    try {
        count = source.stream->Read(source.buffer, StreamBlockSize);
    } catch (const std::exception&) {
        failed = true;
    }
    if (failed)
        FailInCallback(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_READ);
    if (count <= 0) {
        if (source.startOfFile)
            FailInCallback(reinterpret_cast<j_common_ptr>(cinfo), JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source.buffer[0] = 0xFF;
        source.buffer[1] = JPEG_EOI;
        count = 2;
    }
    source.pub.next_input_byte = source.buffer;
    source.pub.bytes_in_buffer = static_cast<std::size_t>(count);
    source.startOfFile = false;
    return TRUE;
}

void SkipInStream(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr& pub = StreamSourceOf(cinfo).pub;
    while (static_cast<std::size_t>(count) > pub.bytes_in_buffer) {
        count -= static_cast<long>(pub.bytes_in_buffer);
        FillFromStream(cinfo);
    }
    pub.next_input_byte += count;
    pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermNothing(j_decompress_ptr) { }

void InstallStreamSource(j_decompress_ptr cinfo, TStream& stream)
{
    auto* source = static_cast<StreamSource*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(StreamSource)));
    source->buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, StreamBlockSize));
    source->pub.init_source = InitStreamSource;
    source->pub.fill_input_buffer = FillFromStream;
    source->pub.skip_input_data = SkipInStream;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermNothing;
    source->pub.bytes_in_buffer = 0;
    source->pub.next_input_byte = nullptr;
    source->stream = &stream;
    cinfo->src = &source->pub;
}

bool TryReadStreamHeader(jpeg_decompress_struct* cinfo, ErrorTrap* trap, TStream* stream)
{
    if (setjmp(trap->jump))
        return false;
    jpeg_create_decompress(cinfo);
    InstallStreamSource(cinfo, *stream);
    jpeg_read_header(cinfo, FALSE);
    return true;
}

} // namespace

void gfx::ReadJpegSize(TStream& stream, std::uint32_t& width, std::uint32_t& height)
{
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    ErrorTrap trap;
    InstallTrap(trap, Warnings::Ignored);
    cinfo.err = &trap.pub;
    const bool read = TryReadStreamHeader(&cinfo, &trap, &stream);
    if (read) {
        width = cinfo.image_width;
        height = cinfo.image_height;
    }
    jpeg_destroy_decompress(&cinfo);
    if (!read)
        RaiseTrapped(trap);
}

// The decoder's library records. The source manager comes first, so that
// the library's pointer to it leads back here; the record stays where it was
// made, as the library keeps pointers into it.
struct gfx::TJpegStreamDecoder::State {
    jpeg_source_mgr source{};
    jpeg_decompress_struct info{};
    ErrorTrap trap{};
    TJpegStreamDecoder* owner = nullptr;
    bool created = false;
    const std::uint8_t* data = nullptr; // the tables or the stream being read
    std::size_t size = 0;

    static State& Of(j_decompress_ptr cinfo) { return *reinterpret_cast<State*>(cinfo->src); }

    static void InitSource(j_decompress_ptr cinfo)
    {
        State& s = Of(cinfo);
        s.source.next_input_byte = s.data;
        s.source.bytes_in_buffer = s.size;
    }
    // Past the stream's end: tell, then end the image.
    static boolean FillInputBuffer(j_decompress_ptr cinfo)
    {
        State& s = Of(cinfo);
        if (s.owner->OnDataEnd)
            s.owner->OnDataEnd();
        static const JOCTET endOfImage[2] = {0xFF, JPEG_EOI};
        s.source.next_input_byte = endOfImage;
        s.source.bytes_in_buffer = 2;
        return TRUE;
    }
    static void SkipInputData(j_decompress_ptr cinfo, long count)
    {
        State& s = Of(cinfo);
        if (count <= 0)
            return;
        if (static_cast<std::size_t>(count) > s.source.bytes_in_buffer) {
            FillInputBuffer(cinfo);
            return;
        }
        s.source.next_input_byte += count;
        s.source.bytes_in_buffer -= static_cast<std::size_t>(count);
    }

    // The trapped library calls (see the top of the file).
    static bool TryCreate(State* s);
    static bool TryReadTables(State* s, int* result);
    static bool TryReadHeader(State* s);
    static bool TryReadRows(State* s, std::uint8_t* rows, int stride, int rowCount, int* read);
};

bool gfx::TJpegStreamDecoder::State::TryCreate(State* s)
{
    if (setjmp(s->trap.jump))
        return false;
    jpeg_create_decompress(&s->info);
    s->created = true;
    s->info.src = &s->source;
    return true;
}

bool gfx::TJpegStreamDecoder::State::TryReadTables(State* s, int* result)
{
    if (setjmp(s->trap.jump))
        return false;
    *result = jpeg_read_header(&s->info, FALSE);
    return true;
}

bool gfx::TJpegStreamDecoder::State::TryReadHeader(State* s)
{
    if (setjmp(s->trap.jump))
        return false;
    jpeg_abort(reinterpret_cast<j_common_ptr>(&s->info));
    jpeg_read_header(&s->info, TRUE);
    return true;
}

bool gfx::TJpegStreamDecoder::State::TryReadRows(State* s, std::uint8_t* rows, int stride, int rowCount, int* read)
{
    if (setjmp(s->trap.jump))
        return false;
    jpeg_start_decompress(&s->info);
    *read = 0;
    while (*read < rowCount && s->info.output_scanline < s->info.output_height) {
        JSAMPROW row = rows + static_cast<std::size_t>(*read) * stride;
        if (jpeg_read_scanlines(&s->info, &row, 1) != 1)
            break;
        ++*read;
    }
    if (s->info.output_scanline == s->info.output_height)
        jpeg_finish_decompress(&s->info);
    else
        jpeg_abort(reinterpret_cast<j_common_ptr>(&s->info));
    return true;
}

gfx::TJpegStreamDecoder::TJpegStreamDecoder() : state_(std::make_unique<State>())
{
    State& s = *state_;
    s.owner = this;
    InstallTrap(s.trap, Warnings::Ignored);
    s.info.err = &s.trap.pub;
    s.source.init_source = State::InitSource;
    s.source.fill_input_buffer = State::FillInputBuffer;
    s.source.skip_input_data = State::SkipInputData;
    s.source.resync_to_restart = jpeg_resync_to_restart;
    s.source.term_source = TermNothing;
    if (!State::TryCreate(&s)) {
        if (s.created)
            jpeg_destroy_decompress(&s.info);
        RaiseTrapped(s.trap);
    }
}

gfx::TJpegStreamDecoder::~TJpegStreamDecoder()
{
    if (state_->created)
        jpeg_destroy_decompress(&state_->info);
}

bool gfx::TJpegStreamDecoder::ReadTables(const std::uint8_t* data, std::size_t size)
{
    State& s = *state_;
    s.data = data;
    s.size = size;
    int result = 0;
    if (!State::TryReadTables(&s, &result))
        RaiseTrapped(s.trap);
    return result == JPEG_HEADER_TABLES_ONLY;
}

gfx::TJpegStreamDecoder::THeader gfx::TJpegStreamDecoder::ReadHeader(const std::uint8_t* data, std::size_t size)
{
    State& s = *state_;
    s.data = data;
    s.size = size;
    if (!State::TryReadHeader(&s))
        RaiseTrapped(s.trap);
    THeader header;
    header.Width = s.info.image_width;
    header.Height = s.info.image_height;
    header.Components = s.info.num_components;
    header.Precision = s.info.data_precision;
    for (int c = 0; c < s.info.num_components; ++c)
        header.Sampling.emplace_back(s.info.comp_info[c].h_samp_factor, s.info.comp_info[c].v_samp_factor);
    return header;
}

int gfx::TJpegStreamDecoder::ReadRows(TStoredColor color, std::uint8_t* rows, int stride, int rowCount)
{
    State& s = *state_;
    // Colour comes out blue first, as the picture's rows want it.
    if (s.info.num_components == 3) {
        s.info.jpeg_color_space = color == scYCbCr ? JCS_YCbCr : JCS_RGB;
        s.info.out_color_space = JCS_EXT_BGR;
    } else {
        s.info.jpeg_color_space = JCS_GRAYSCALE;
        s.info.out_color_space = JCS_GRAYSCALE;
    }
    s.info.raw_data_out = FALSE;
    int read = 0;
    if (!State::TryReadRows(&s, rows, stride, rowCount, &read))
        RaiseTrapped(s.trap);
    return read;
}

// The picture readers' access to the library: the size of a JPEG stream and
// the decoder of JPEG data embedded in other formats.

#include "platform/graphics/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <exception>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/graphics/Jpeg.Trap.h"
#include "platform/rtl/Streams.h"

using namespace gfx::JpegTrap;

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

    // The trapped library calls (see Jpeg.Trap.h).
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

// jpeg_decode_24mp_scale{1,2,4,8}: TJPEGImage decoding a 6000 x 4000 JPEG at
// full, half, quarter and eighth size against libjpeg-turbo called directly
// with the same scale and output (B,G,R rows padded to 4 bytes, in a fresh
// zeroed buffer, as a bitmap is). The picture is compressed once at start.
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Streams.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace {

constexpr int PictureWidth = 6000;
constexpr int PictureHeight = 4000;

// Gradients with a fine texture, so the entropy decoder has real work.
std::vector<std::uint8_t> MakePicture()
{
    TBitmap bitmap(PictureWidth, PictureHeight, pf24bit);
    std::uint32_t noise = 12345;
    for (int y = 0; y < PictureHeight; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < PictureWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = static_cast<int>(noise >> 28) - 8;
            row[3 * x] = static_cast<std::uint8_t>(std::clamp(x * 255 / PictureWidth + grain, 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(y * 255 / PictureHeight + grain, 0, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(((x ^ y) & 0xFF) / 2 + 64 + grain, 0, 255));
        }
    }
    TJPEGImage jpeg;
    jpeg.CompressionQuality = 90;
    jpeg.Assign(&bitmap);
    return jpeg.Data();
}

const std::vector<std::uint8_t>& Picture()
{
    static const std::vector<std::uint8_t> bytes = MakePicture();
    return bytes;
}

// Exposes the release of the decoded pixels, so every round decodes again.
class ReusableJpeg : public TJPEGImage {
public:
    void ClearDIB() { FreeBitmap(); }
};

void Ours(benchmark::State& state, TJPEGScale scale)
{
    const std::vector<std::uint8_t>& bytes = Picture();
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    ReusableJpeg jpeg;
    jpeg.LoadFromStream(stream);
    jpeg.SetScale(scale);
    for (auto _ : state) {
        jpeg.ClearDIB();
        jpeg.DIBNeeded();
        benchmark::DoNotOptimize(jpeg.Width());
    }
}

void Reference(benchmark::State& state, int denominator)
{
    const std::vector<std::uint8_t>& bytes = Picture();
    for (auto _ : state) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr errors;
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.scale_num = 1;
        cinfo.scale_denom = static_cast<unsigned>(denominator);
        cinfo.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&cinfo);
        const size_t stride = (cinfo.output_width * 3 + 3) & ~size_t{3};
        std::vector<std::uint8_t> pixels(stride * cinfo.output_height);
        JSAMPROW rows[16];
        while (cinfo.output_scanline < cinfo.output_height) {
            const JDIMENSION first = cinfo.output_scanline;
            const JDIMENSION batch = std::min<JDIMENSION>(16, cinfo.output_height - first);
            for (JDIMENSION i = 0; i < batch; ++i)
                rows[i] = pixels.data() + (first + i) * stride;
            jpeg_read_scanlines(&cinfo, rows, batch);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels.data());
    }
}

[[maybe_unused]] const bool registered = [] {
    const struct {
        const char* figure;
        TJPEGScale scale;
        int denominator;
    } figures[] = {{"jpeg_decode_24mp_scale1", jsFullSize, 1},
                   {"jpeg_decode_24mp_scale2", jsHalf, 2},
                   {"jpeg_decode_24mp_scale4", jsQuarter, 4},
                   {"jpeg_decode_24mp_scale8", jsEighth, 8}};
    for (const auto& f : figures) {
        const TJPEGScale scale = f.scale;
        const int denominator = f.denominator;
        benchmark::RegisterBenchmark((std::string(f.figure) + "/ours").c_str(), [scale](benchmark::State& s) {
            Ours(s, scale);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(f.figure) + "/reference").c_str(),
                                     [denominator](benchmark::State& s) { Reference(s, denominator); })
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace

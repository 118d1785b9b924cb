// tga_decode_{raw24,rle24,rle8,rle32}: TTargaGraphic reading a 2400 x 1800
// Truevision file from memory against ImageMagick's library reading the same
// bytes, both on one thread. The files are written once at start by the
// library's own writer (top-down, so neither reader flips rows).
#include <benchmark/benchmark.h>

#include <cstring>

#include <magick/MagickCore.h>

#include "bench/ReferenceTools.h"
#include "imageformats/TargaGraphic.h"

namespace {

using namespace benchtools;

Bytes MakeFile(TPixelFormat format, bool compressed)
{
    TTargaGraphic tga;
    tga.SetPixelFormat(pf24bit);
    tga.SetSize(kWidth, kHeight);
    std::uint32_t noise = 99;
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = tga.ScanLine(y);
        for (int x = 0; x < kWidth; ++x) {
            const auto rgb = PatternPixel(x, y, noise);
            std::copy(rgb.begin(), rgb.end(), row + 3 * x);
        }
    }
    tga.SetPixelFormat(format);
    TMemoryStream stream;
    tga.SaveToStream(stream, compressed);
    const auto* p = static_cast<const std::uint8_t*>(stream.Memory());
    return {p, p + stream.Size()};
}

void Reference(benchmark::State& state, const Bytes& file)
{
    static const bool started = [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        SetMagickResourceLimit(ThreadResource, 1);
        return true;
    }();
    benchmark::DoNotOptimize(started);
    ExceptionInfo* exception = AcquireExceptionInfo();
    ImageInfo* info = AcquireImageInfo();
    std::strcpy(info->magick, "TGA");
    std::strcpy(info->filename, "tga:bench");
    for (auto _ : state) {
        Image* image = BlobToImage(info, file.data(), file.size(), exception);
        if (!image) {
            state.SkipWithError("ImageMagick could not read the file");
            break;
        }
        benchmark::DoNotOptimize(image);
        DestroyImage(image);
    }
    DestroyImageInfo(info);
    DestroyExceptionInfo(exception);
}

[[maybe_unused]] const bool registered = [] {
    struct Figure {
        const char* Name;
        TPixelFormat Format;
        bool Compressed;
    };
    for (const Figure& f : {Figure{"tga_decode_raw24", pf24bit, false}, Figure{"tga_decode_rle24", pf24bit, true},
                            Figure{"tga_decode_rle8", pf8bit, true}, Figure{"tga_decode_rle32", pf32bit, true}})
        RegisterPair(
            f.Name, [f] { return MakeFile(f.Format, f.Compressed); }, LoadLoop<TTargaGraphic>, Reference);
    return true;
}();

} // namespace

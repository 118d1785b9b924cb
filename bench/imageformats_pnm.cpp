// pnm_decode_{ppm,pgm,plain_pgm} and pcx_decode_{rle24,rle8}: TPPMGraphic and
// TPCXGraphic reading a 2400 x 1800 picture from memory against ImageMagick's
// library reading the same bytes, both on one thread. The portable maps are
// written here; the Paintbrush files by ImageMagick from the same pixels.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include <magick/MagickCore.h>

#include "bench/ReferenceTools.h"
#include "imageformats/PCXGraphic.h"
#include "imageformats/PPMGraphic.h"

namespace {

using namespace benchtools;

void StartMagick()
{
    static const bool started = [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        SetMagickResourceLimit(ThreadResource, 1);
        return true;
    }();
    benchmark::DoNotOptimize(started);
}

// Smooth gradients with flat patches and fine noise: runs of every length.
std::uint8_t Sample(int x, int y, int channel, std::uint32_t& noise)
{
    noise = noise * 1664525u + 1013904223u;
    const bool flat = ((x / 64) + (y / 64)) % 3 == 0;
    const int grain = flat ? 0 : static_cast<int>(noise >> 30);
    switch (channel) {
    case 0: return static_cast<std::uint8_t>(flat ? 200 : (x + y) / 16 + grain);
    case 1: return static_cast<std::uint8_t>(flat ? 120 : y * 255 / kHeight);
    default: return static_cast<std::uint8_t>(flat ? 40 : x * 255 / kWidth + grain);
    }
}

Bytes PortableMap(int channels, bool plain)
{
    const std::string header = std::string(plain               ? "P2"
                                               : channels == 3 ? "P6"
                                                               : "P5") +
        "\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
    Bytes file(header.begin(), header.end());
    std::uint32_t noise = 99;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < channels; ++c) {
                const std::uint8_t v = Sample(x, y, c, noise);
                if (!plain) {
                    file.push_back(v);
                    continue;
                }
                const std::string text = std::to_string(v) + (x + 1 == kWidth ? "\n" : " ");
                file.insert(file.end(), text.begin(), text.end());
            }
    return file;
}

// The colour map read by ImageMagick and written back as PCX; `colours` > 0
// reduces it to a palette picture first.
Bytes Paintbrush(unsigned colours)
{
    StartMagick();
    const Bytes ppm = PortableMap(3, false);
    ExceptionInfo* exception = AcquireExceptionInfo();
    ImageInfo* info = AcquireImageInfo();
    std::strcpy(info->magick, "PPM");
    Image* image = BlobToImage(info, ppm.data(), ppm.size(), exception);
    Bytes file;
    if (image) {
        if (colours > 0) {
            QuantizeInfo* quantize = AcquireQuantizeInfo(info);
            quantize->number_colors = colours;
            QuantizeImage(quantize, image);
            DestroyQuantizeInfo(quantize);
            SetImageType(image, PaletteType);
        }
        std::strcpy(image->magick, "PCX");
        std::strcpy(info->magick, "PCX");
        std::size_t length = 0;
        void* blob = ImageToBlob(info, image, &length, exception);
        if (blob) {
            const auto* p = static_cast<const std::uint8_t*>(blob);
            file.assign(p, p + length);
            RelinquishMagickMemory(blob);
        }
        DestroyImage(image);
    }
    DestroyImageInfo(info);
    DestroyExceptionInfo(exception);
    return file;
}

void Reference(benchmark::State& state, const Bytes& file, const char* magick)
{
    StartMagick();
    ExceptionInfo* exception = AcquireExceptionInfo();
    ImageInfo* info = AcquireImageInfo();
    std::strcpy(info->magick, magick);
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

template <class Reader> void Register(const char* name, const char* magick, Bytes (*make)())
{
    RegisterPair(name, make, LoadLoop<Reader>,
                 [magick](benchmark::State& s, const Bytes& file) { Reference(s, file, magick); });
}

[[maybe_unused]] const bool registered = [] {
    Register<TPPMGraphic>("pnm_decode_ppm", "PPM", [] { return PortableMap(3, false); });
    Register<TPPMGraphic>("pnm_decode_pgm", "PGM", [] { return PortableMap(1, false); });
    Register<TPPMGraphic>("pnm_decode_plain_pgm", "PGM", [] { return PortableMap(1, true); });
    Register<TPCXGraphic>("pcx_decode_rle24", "PCX", [] { return Paintbrush(0); });
    Register<TPCXGraphic>("pcx_decode_rle8", "PCX", [] { return Paintbrush(256); });
    return true;
}();

} // namespace

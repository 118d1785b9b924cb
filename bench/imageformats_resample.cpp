// resample_{reduce,enlarge}_<filter>: Resample::Stretch against ImageMagick's
// resize with the same kernel, both on one thread: 2400 x 1800 -> 480 x 360
// (the thumbnail path) and 800 x 600 -> 1920 x 1080. ImageMagick scales from
// its own 16-bit pixel cache; the source image is made once per figure.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <magick/MagickCore.h>

#include "imageformats/Resample.h"
#include "platform/graphics/Bitmap.h"

namespace {

std::unique_ptr<TBitmap> MakePicture(int width, int height)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap->ScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(x * 255 / width);
            row[3 * x + 1] = static_cast<std::uint8_t>((x ^ y) & 0xFF);
            row[3 * x + 2] = static_cast<std::uint8_t>(y * 255 / height);
        }
    }
    return bitmap;
}

void StartMagick()
{
    static const bool started = [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        SetMagickResourceLimit(ThreadResource, 1);
        return true;
    }();
    benchmark::DoNotOptimize(started);
}

struct Figure {
    const char* Name;
    TResamplingFilter Ours;
    FilterTypes Magick;
};

void Ours(benchmark::State& state, TResamplingFilter filter, int sw, int sh, int tw, int th)
{
    auto source = MakePicture(sw, sh);
    TBitmap target;
    for (auto _ : state) {
        Resample::Stretch(static_cast<std::uint32_t>(tw), static_cast<std::uint32_t>(th), filter, 0, *source, target);
        benchmark::DoNotOptimize(target.ScanLine(0));
    }
}

void Reference(benchmark::State& state, FilterTypes filter, int sw, int sh, int tw, int th)
{
    StartMagick();
    auto source = MakePicture(sw, sh);
    std::vector<std::uint8_t> packed(static_cast<std::size_t>(sw) * sh * 3);
    for (int y = 0; y < sh; ++y)
        std::memcpy(packed.data() + static_cast<std::size_t>(y) * sw * 3, source->ScanLine(y),
                    static_cast<std::size_t>(sw) * 3);
    ExceptionInfo* exception = AcquireExceptionInfo();
    Image* image = ConstituteImage(static_cast<size_t>(sw), static_cast<size_t>(sh), "BGR", CharPixel, packed.data(),
                                   exception);
    for (auto _ : state) {
        Image* resized = ResizeImage(image, static_cast<size_t>(tw), static_cast<size_t>(th), filter, 1.0, exception);
        benchmark::DoNotOptimize(resized);
        DestroyImage(resized);
    }
    DestroyImage(image);
    DestroyExceptionInfo(exception);
}

[[maybe_unused]] const bool registered = [] {
    const Figure figures[] = {
        {"box", sfBox, BoxFilter},
        {"triangle", sfTriangle, TriangleFilter},
        {"hermite", sfHermite, HermiteFilter},
        {"bell", sfBell, QuadraticFilter},
        {"spline", sfSpline, CubicFilter},
        {"lanczos3", sfLanczos3, LanczosFilter},
        {"mitchell", sfMitchell, MitchellFilter},
    };
    struct Size {
        const char* Name;
        int SW, SH, TW, TH;
    };
    for (const Size& s : {Size{"reduce", 2400, 1800, 480, 360}, Size{"enlarge", 800, 600, 1920, 1080}})
        for (const Figure& f : figures) {
            const std::string figure = std::string("resample_") + s.Name + "_" + f.Name;
            const Size size = s;
            const TResamplingFilter ours = f.Ours;
            const FilterTypes magick = f.Magick;
            benchmark::RegisterBenchmark((figure + "/ours").c_str(), [=](benchmark::State& st) {
                Ours(st, ours, size.SW, size.SH, size.TW, size.TH);
            })->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((figure + "/reference").c_str(), [=](benchmark::State& st) {
                Reference(st, magick, size.SW, size.SH, size.TW, size.TH);
            })->Unit(benchmark::kMillisecond);
        }
    return true;
}();

} // namespace

// adjust_<operation>: the picture editor's adjustments, turns and filters
// against ImageMagick's nearest operation, both on one thread, on the same
// 24-megapixel picture (6000 x 4000). The in-place adjustments run again
// and again on one picture on both sides; turns and filters make a new
// picture every time on both sides.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <magick/MagickCore.h>

#include "core/BitmapTools.h"
#include "editor/tools/BitmapBC.h"
#include "editor/tools/BitmapRotate.h"
#include "platform/graphics/Bitmap.h"

namespace {

constexpr int Width = 6000;
constexpr int Height = 4000;

std::unique_ptr<TBitmap> MakePicture()
{
    auto bitmap = std::make_unique<TBitmap>(Width, Height, pf24bit);
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* row = bitmap->ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(x * 255 / Width);
            row[3 * x + 1] = static_cast<std::uint8_t>((x ^ y) & 0xFF);
            row[3 * x + 2] = static_cast<std::uint8_t>(y * 255 / Height);
        }
    }
    return bitmap;
}

const TBitmap& Picture()
{
    static const std::unique_ptr<TBitmap> picture = MakePicture();
    return *picture;
}

Image* MagickPicture(ExceptionInfo* exception)
{
    static const bool started = [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        SetMagickResourceLimit(ThreadResource, 1);
        return true;
    }();
    benchmark::DoNotOptimize(started);
    const TBitmap& source = Picture();
    std::vector<std::uint8_t> packed(static_cast<std::size_t>(Width) * Height * 3);
    for (int y = 0; y < Height; ++y)
        std::memcpy(packed.data() + static_cast<std::size_t>(y) * Width * 3, source.ScanLine(y),
                    static_cast<std::size_t>(Width) * 3);
    return ConstituteImage(Width, Height, "BGR", CharPixel, packed.data(), exception);
}

// Our operation on a copy of the picture, every iteration.
void Ours(benchmark::State& state, const std::function<void(TBitmap&)>& run)
{
    TBitmap bitmap;
    bitmap.Assign(&Picture());
    for (auto _ : state) {
        run(bitmap);
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
}

// ImageMagick's operation on its image of the picture; a new image it
// returns is destroyed in the iteration.
void Reference(benchmark::State& state, const std::function<Image*(Image*, ExceptionInfo*)>& run)
{
    ExceptionInfo* exception = AcquireExceptionInfo();
    Image* image = MagickPicture(exception);
    for (auto _ : state) {
        Image* result = run(image, exception);
        benchmark::DoNotOptimize(result);
        if (result && result != image)
            DestroyImage(result);
    }
    DestroyImage(image);
    DestroyExceptionInfo(exception);
}

// The filter's kernel as ImageMagick takes it: weights divided by their sum.
std::vector<double> Kernel(std::initializer_list<double> weights)
{
    std::vector<double> kernel(weights);
    double sum = 0;
    for (double w : kernel)
        sum += w;
    for (double& w : kernel)
        w /= sum;
    return kernel;
}

Image* Convolve(Image* image, const std::vector<double>& kernel, ExceptionInfo* exception)
{
    std::size_t order = 1;
    while (order * order < kernel.size())
        ++order;
    return ConvolveImage(image, order, kernel.data(), exception);
}

using Filter = std::unique_ptr<TBitmap> (*)(const TBitmap&);

void RegisterPair(const std::string& name, std::function<void(TBitmap&)> ours,
                  std::function<Image*(Image*, ExceptionInfo*)> reference)
{
    benchmark::RegisterBenchmark(("adjust_" + name + "/ours").c_str(), [ours](benchmark::State& s) {
        Ours(s, ours);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("adjust_" + name + "/reference").c_str(), [reference](benchmark::State& s) {
        Reference(s, reference);
    })->Unit(benchmark::kMillisecond);
}

void RegisterFilter(const std::string& name, Filter ours, const std::vector<double>& kernel)
{
    RegisterPair(
        name, [ours](TBitmap& b) { benchmark::DoNotOptimize(ours(b)); },
        [kernel](Image* image, ExceptionInfo* e) { return Convolve(image, kernel, e); });
}

[[maybe_unused]] const bool registered = [] {
    RegisterPair(
        "brightness_contrast", [](TBitmap& b) { BitmapBC::ApplyBrightnessContrast(b, 10, 20); },
        [](Image* image, ExceptionInfo*) {
            BrightnessContrastImage(image, 10, 20);
            return image;
        });
    RegisterPair(
        "gamma", [](TBitmap& b) { BitmapTools::GammaBitmap24Bit(b, 3.2, 3.2, 3.2); },
        [](Image* image, ExceptionInfo*) {
            GammaImageChannel(image, DefaultChannels, 0.8);
            return image;
        });
    RegisterPair(
        "greyscale", [](TBitmap& b) { BitmapTools::GrayScaleBitmap24Bit(b); },
        [](Image* image, ExceptionInfo*) {
            GrayscaleImage(image, Rec601LumaPixelIntensityMethod);
            return image;
        });
    RegisterPair(
        "rotate_90", [](TBitmap& b) { benchmark::DoNotOptimize(BitmapTools::Rotate270DegreesCounterClockwise(b)); },
        [](Image* image, ExceptionInfo* e) { return RotateImage(image, 90, e); });
    RegisterPair(
        "rotate_free",
        [](TBitmap& b) {
            TBitmap target;
            BitmapRotate::RotateBitmapBilinear(b, target, Width / 2, Height / 2, 0.5);
            benchmark::DoNotOptimize(target.ScanLine(0));
        },
        [](Image* image, ExceptionInfo* e) { return RotateImage(image, 28.6, e); });
    RegisterFilter("median", BitmapTools::MedianFilterBitmap24Bit, Kernel({1, 1, 1, 1, 1, 1, 1, 1, 1}));
    RegisterFilter("median_strong", BitmapTools::MedianStrongFilterBitmap24Bit,
                   Kernel({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    RegisterFilter("gauss", BitmapTools::GaussFilterBitmap24Bit, Kernel({1, 2, 1, 2, 4, 2, 1, 2, 1}));
    RegisterFilter("blur", BitmapTools::BlurFilterBitmap24Bit,
                   Kernel({1, 1, 1, 0, 0, 1, 0, 1, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    RegisterFilter("blur_medium", BitmapTools::BlurMediumFilterBitmap24Bit,
                   Kernel({0, 1, 1, 1, 0, 1, 0, 0, 0, 1, 1, 0, 0, 0, 1, 1, 0, 0, 0, 1, 0, 1, 1, 1, 0}));
    RegisterFilter("blur_strong", BitmapTools::BlurStrongFilterBitmap24Bit,
                   Kernel({0, 0, 1, 1, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0,
                           0, 0, 1, 1, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0}));
    return true;
}();

} // namespace

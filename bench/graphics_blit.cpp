// Block copies against memcpy of the same bytes, and the halftone stretch
// against ImageMagick's box-filter resize on one thread.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

namespace {

constexpr int kScreenWidth = 3840, kScreenHeight = 2160;
constexpr int kPhotoWidth = 6000, kPhotoHeight = 4000;
constexpr int kShownWidth = 1920, kShownHeight = 1080;

// A picture with detail in every pixel, so no filter gets an easy ride.
void Paint(TBitmap& bitmap)
{
    std::uint32_t state = 12345;
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width() * 3; ++x) {
            state = state * 1664525u + 1013904223u;
            row[x] = static_cast<std::uint8_t>((x / 3 + y) ^ (state >> 24));
        }
    }
}

void BitBltOurs(benchmark::State& state)
{
    TBitmap source(kScreenWidth, kScreenHeight, pf24bit), dest(kScreenWidth, kScreenHeight, pf24bit);
    Paint(source);
    for (auto _ : state) {
        gfx::BitBlt(dest.Canvas(), 0, 0, kScreenWidth, kScreenHeight, &source.Canvas(), 0, 0, SRCCOPY);
        benchmark::DoNotOptimize(dest.ScanLine(0));
    }
}

void BitBltReference(benchmark::State& state)
{
    TBitmap source(kScreenWidth, kScreenHeight, pf24bit), dest(kScreenWidth, kScreenHeight, pf24bit);
    Paint(source);
    const std::size_t bytes = static_cast<std::size_t>(source.RowStride()) * kScreenHeight;
    for (auto _ : state) {
        std::memcpy(dest.ScanLine(0), source.ScanLine(0), bytes);
        benchmark::DoNotOptimize(dest.ScanLine(0));
    }
}

TBitmap& Photo()
{
    static const std::unique_ptr<TBitmap> photo = [] {
        auto bitmap = std::make_unique<TBitmap>(kPhotoWidth, kPhotoHeight, pf24bit);
        Paint(*bitmap);
        return bitmap;
    }();
    return *photo;
}

void StretchOurs(benchmark::State& state)
{
    TBitmap& photo = Photo();
    TBitmap shown(kShownWidth, kShownHeight, pf24bit);
    shown.Canvas().StretchMode = HALFTONE;
    for (auto _ : state) {
        shown.Canvas().StretchDraw({0, 0, kShownWidth, kShownHeight}, photo);
        benchmark::DoNotOptimize(shown.ScanLine(0));
    }
}

// The same picture as a binary PPM, B,G,R rows turned into R,G,B.
std::string PhotoAsPpm()
{
    const std::string path = (std::filesystem::temp_directory_path() / "vistelo-bench-photo.ppm").string();
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << kPhotoWidth << " " << kPhotoHeight << "\n255\n";
    std::string row(static_cast<std::size_t>(kPhotoWidth) * 3, '\0');
    for (int y = 0; y < kPhotoHeight; ++y) {
        const std::uint8_t* p = Photo().ScanLine(y);
        for (int x = 0; x < kPhotoWidth; ++x) {
            row[3 * x] = static_cast<char>(p[3 * x + 2]);
            row[3 * x + 1] = static_cast<char>(p[3 * x + 1]);
            row[3 * x + 2] = static_cast<char>(p[3 * x]);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    return path;
}

void StretchReference(benchmark::State& state)
{
    const std::string ppm = PhotoAsPpm();
    // One thread, the box filter, exact size; the result is thrown away so
    // that no encoder is timed.
    const std::string command = "MAGICK_THREAD_LIMIT=1 convert " + ppm + " -filter box -resize " +
        std::to_string(kShownWidth) + "x" + std::to_string(kShownHeight) + "! null:";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("convert failed");
            break;
        }
    }
    std::filesystem::remove(ppm);
}

[[maybe_unused]] const bool registered = [] {
    benchmark::RegisterBenchmark("bitblt_3840x2160/ours", BitBltOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("bitblt_3840x2160/reference", BitBltReference)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("stretch_halftone_6000x4000_to_1920x1080/ours", StretchOurs)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("stretch_halftone_6000x4000_to_1920x1080/reference", StretchReference)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace

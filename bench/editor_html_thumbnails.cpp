// html_thumbnails_50: the HTML export's thumbnail step for 50 JPEG pictures
// of 12 megapixels (4000 x 3000): loaded, scaled with Lanczos-3 into a
// 60-pixel square less a 5-pixel shadow (55 x 41), given the shadow and
// written as a progressive JPEG of quality 40; against ImageMagick's library
// making the same thumbnails on one thread. Both decode the JPEG at the
// coarsest scale that still covers the thumbnail (ImageMagick through its
// "jpeg:size" hint, as its own thumbnail advice has it).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include <magick/MagickCore.h>

#include "bench/PhotoJpegs.h"
#include "editor/controls/JPEGCompressionWord.h"
#include "editor/tools/HTMLThumbnail.h"

namespace {

namespace fs = std::filesystem;

constexpr int Pictures = 50;

const std::vector<std::string>& SourceFiles()
{
    static const std::vector<std::string> files = editor_bench::MakePhotoJpegs("html", Pictures);
    return files;
}

fs::path OutputFolder(const char* side) { return editor_bench::FreshOutputFolder("html", side); }

void Ours(benchmark::State& state)
{
    const auto& files = SourceFiles();
    HTMLThumbnail::TThumbnailJob job;
    job.Width = -60;
    job.Height = -60;
    job.Shadow = 5;
    job.JPEGWord = JPEGCompressionWord::MakeJPEGCompressionWord(40, true);
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path folder = OutputFolder("ours");
        state.ResumeTiming();
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string target = (folder / ("tpic" + std::to_string(i + 1) + ".jpg")).string();
            if (!HTMLThumbnail::MakeThumbnail(files[i], target, job)) {
                state.SkipWithError("a thumbnail was not made");
                return;
            }
        }
    }
}

void Reference(benchmark::State& state)
{
    const auto& files = SourceFiles();
    MagickCoreGenesis(nullptr, MagickFalse);
    SetMagickResourceLimit(ThreadResource, 1);
    ExceptionInfo* exception = AcquireExceptionInfo();
    PixelPacket page{};
    page.red = page.green = page.blue = static_cast<Quantum>(0xC0 * 257); // 16-bit quanta
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path folder = OutputFolder("reference");
        state.ResumeTiming();
        for (std::size_t i = 0; i < files.size(); ++i) {
            ImageInfo* info = AcquireImageInfo();
            CopyMagickString(info->filename, files[i].c_str(), MaxTextExtent);
            SetImageOption(info, "jpeg:size", "110x110");
            Image* image = ReadImage(info, exception);
            if (!image) {
                state.SkipWithError("ImageMagick did not read the picture");
                DestroyImageInfo(info);
                break;
            }
            Image* resized = ResizeImage(image, 55, 41, LanczosFilter, 1.0, exception);
            // The shadow's strips: the picture on a canvas 5 pixels larger,
            // in the page's colour.
            resized->background_color = page;
            const RectangleInfo extent{60, 46, 0, 0};
            Image* framed = ExtentImage(resized, &extent, exception);
            info->quality = 40;
            info->interlace = PlaneInterlace;
            const std::string out = (folder / ("tpic" + std::to_string(i + 1) + ".jpg")).string();
            CopyMagickString(framed->filename, out.c_str(), MaxTextExtent);
            framed->quality = 40;
            framed->interlace = PlaneInterlace;
            WriteImage(info, framed);
            DestroyImage(framed);
            DestroyImage(resized);
            DestroyImage(image);
            DestroyImageInfo(info);
        }
    }
    DestroyExceptionInfo(exception);
}

[[maybe_unused]] const bool registered = [] {
    benchmark::RegisterBenchmark("html_thumbnails_50/ours", Ours)->Unit(benchmark::kMillisecond)->Iterations(2);
    benchmark::RegisterBenchmark("html_thumbnails_50/reference", Reference)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
    return true;
}();

} // namespace

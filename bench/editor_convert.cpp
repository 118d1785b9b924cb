// convert_20_jpeg_to_tga: the conversion assistant's work on 20 JPEG
// pictures of 12 megapixels (4000 x 3000), each resized with Lanczos-3 into
// 1152 x 964 keeping its proportions and written as a TGA file, against
// ImageMagick's library reading, resizing with its Lanczos filter and
// writing the same on one thread.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include <magick/MagickCore.h>

#include "bench/PhotoJpegs.h"
#include "core/VisteloNPics.h"
#include "editor/tools/ConvertAssistentLogic.h"

namespace {

namespace fs = std::filesystem;

constexpr int Pictures = 20;

const std::vector<std::string>& SourceFiles()
{
    static const std::vector<std::string> files = editor_bench::MakePhotoJpegs("convert", Pictures);
    return files;
}

fs::path OutputFolder(const char* side) { return editor_bench::FreshOutputFolder("convert", side); }

void Ours(benchmark::State& state)
{
    const auto& files = SourceFiles();
    TConvertSettings settings;
    settings.Format = cfTGA;
    settings.Resize = true;
    settings.Width = 1152;
    settings.Height = 964;
    settings.UseUserDir = true;
    for (auto _ : state) {
        state.PauseTiming();
        settings.UserDir = OutputFolder("ours").string();
        state.ResumeTiming();
        for (const std::string& file : files) {
            TPicInfoObject entry;
            entry.FileName = file;
            if (ConvertAssistentLogic::ConvertPicture(entry, "", settings) != crConverted) {
                state.SkipWithError("a picture was not converted");
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
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path folder = OutputFolder("reference");
        state.ResumeTiming();
        for (const std::string& file : files) {
            ImageInfo* info = AcquireImageInfo();
            CopyMagickString(info->filename, file.c_str(), MaxTextExtent);
            Image* image = ReadImage(info, exception);
            if (!image) {
                state.SkipWithError("ImageMagick did not read the picture");
                DestroyImageInfo(info);
                break;
            }
            // The largest 1152 x 964 box of the picture's proportions.
            const double scale = std::min(1152.0 / image->columns, 964.0 / image->rows);
            Image* resized = ResizeImage(image, static_cast<size_t>(image->columns * scale + 0.5),
                                         static_cast<size_t>(image->rows * scale + 0.5), LanczosFilter, 1.0, exception);
            const std::string out = (folder / fs::path(file).filename().replace_extension(".tga")).string();
            CopyMagickString(resized->filename, out.c_str(), MaxTextExtent);
            WriteImage(info, resized);
            DestroyImage(resized);
            DestroyImage(image);
            DestroyImageInfo(info);
        }
    }
    DestroyExceptionInfo(exception);
}

[[maybe_unused]] const bool registered = [] {
    benchmark::RegisterBenchmark("convert_20_jpeg_to_tga/ours", Ours)->Unit(benchmark::kMillisecond)->Iterations(2);
    benchmark::RegisterBenchmark("convert_20_jpeg_to_tga/reference", Reference)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
    return true;
}();

} // namespace

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

#include "core/VisteloNPics.h"
#include "editor/tools/ConvertAssistentLogic.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"

namespace {

namespace fs = std::filesystem;

constexpr int Pictures = 20;

// The 20 pictures, made once: smooth gradients with fine detail, as a
// photograph has both.
const std::vector<std::string>& SourceFiles()
{
    static const std::vector<std::string> files = [] {
        const fs::path folder = fs::temp_directory_path() / ("vistelo-bench-convert-" + std::to_string(getpid()));
        fs::create_directories(folder);
        TBitmap bitmap(4000, 3000, pf24bit);
        for (int y = 0; y < 3000; ++y) {
            std::uint8_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < 4000; ++x) {
                row[3 * x] = static_cast<std::uint8_t>(x * 255 / 4000);
                row[3 * x + 1] = static_cast<std::uint8_t>(((x / 3) ^ (y / 3)) & 0xFF);
                row[3 * x + 2] = static_cast<std::uint8_t>(y * 255 / 3000);
            }
        }
        TJPEGImage jpeg;
        jpeg.Assign(&bitmap);
        jpeg.CompressionQuality = 85;
        jpeg.Compress();
        std::vector<std::string> names;
        for (int i = 0; i < Pictures; ++i) {
            names.push_back((folder / ("bild" + std::to_string(i) + ".jpg")).string());
            jpeg.SaveToFile(names.back());
        }
        return names;
    }();
    return files;
}

fs::path OutputFolder(const char* side)
{
    const fs::path folder = fs::temp_directory_path() / ("vistelo-bench-convert-out-" + std::string(side));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

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

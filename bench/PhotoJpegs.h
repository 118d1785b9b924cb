#pragma once

// Photograph-like JPEG pictures of 12 megapixels (4000 x 3000) for the
// editor's conversion and export benchmarks: smooth gradients with fine
// detail, as a photograph has both. Written once per run into the
// temporary folder.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace editor_bench {

// count copies of the picture in a folder named after tag.
inline std::vector<std::string> MakePhotoJpegs(const std::string& tag, int count)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("vistelo-bench-" + tag + "-" + std::to_string(getpid()));
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
    for (int i = 0; i < count; ++i) {
        names.push_back((folder / ("bild" + std::to_string(i) + ".jpg")).string());
        jpeg.SaveToFile(names.back());
    }
    return names;
}

// An empty folder for one side's output.
inline std::filesystem::path FreshOutputFolder(const std::string& tag, const char* side)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("vistelo-bench-" + tag + "-out-" + side);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

} // namespace editor_bench

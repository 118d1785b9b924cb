#pragma once
// Test pictures made by the installed command-line tools (ImageMagick,
// cjpeg/djpeg) in a temporary folder, and the netpbm files they write back.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tooltest {

// A folder that lives as long as the fixture.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vistelo-gfx-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Runs a shell command; the test fails when the tool does.
inline void Shell(const std::string& command)
{
    ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command;
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A binary PPM (P6) or PGM (P5) with maxval 255, as R,G,B triples (grey
// repeated three times).
struct RgbImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgb;
    const std::uint8_t* At(int x, int y) const { return Rgb.data() + 3 * (static_cast<size_t>(y) * Width + x); }
};

inline RgbImage ReadNetpbm(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    size_t pos = 0;
    auto token = [&]() {
        while (pos < bytes.size() && std::isspace(bytes[pos]))
            ++pos;
        std::string t;
        while (pos < bytes.size() && !std::isspace(bytes[pos]))
            t += static_cast<char>(bytes[pos++]);
        return t;
    };
    RgbImage image;
    const std::string magic = token();
    image.Width = std::stoi(token());
    image.Height = std::stoi(token());
    token(); // maxval
    ++pos;
    const size_t pixels = static_cast<size_t>(image.Width) * image.Height;
    if (magic == "P6") {
        image.Rgb.assign(bytes.begin() + static_cast<ptrdiff_t>(pos),
                         bytes.begin() + static_cast<ptrdiff_t>(pos + 3 * pixels));
    } else {
        for (size_t i = 0; i < pixels; ++i)
            image.Rgb.insert(image.Rgb.end(), 3, bytes[pos + i]);
    }
    return image;
}

} // namespace tooltest

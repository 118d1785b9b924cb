#pragma once
// Helpers of the image-format tests: a scratch folder, running the reference
// tools, and PNM pictures in memory.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <cctype>
#include <unistd.h>

namespace imagetest {

// A PNM picture: 1 (grey) or 3 (RGB) bytes per pixel, top row first.
struct Pnm {
    int Width = 0;
    int Height = 0;
    int Channels = 3;
    std::vector<std::uint8_t> Pixels;

    bool operator==(const Pnm&) const = default;
    const std::uint8_t* At(int x, int y) const { return &Pixels[(static_cast<std::size_t>(y) * Width + x) * Channels]; }
};

inline std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Binary P5/P6 with maxval 255, as the reference tools write with -depth 8.
inline Pnm ReadPnm(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    Pnm pnm;
    std::size_t at = 0;
    auto token = [&]() {
        std::string t;
        while (at < bytes.size()) {
            if (bytes[at] == '#') {
                while (at < bytes.size() && bytes[at] != '\n')
                    ++at;
            } else if (std::isspace(bytes[at])) {
                if (!t.empty())
                    break;
                ++at;
            } else {
                t += static_cast<char>(bytes[at++]);
            }
        }
        return t;
    };
    const std::string magic = token();
    if (magic != "P5" && magic != "P6")
        return pnm;
    pnm.Channels = magic == "P6" ? 3 : 1;
    pnm.Width = std::stoi(token());
    pnm.Height = std::stoi(token());
    if (std::stoi(token()) != 255)
        return {};
    ++at; // the one white space after maxval
    pnm.Pixels.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
    pnm.Pixels.resize(static_cast<std::size_t>(pnm.Width) * pnm.Height * pnm.Channels);
    return pnm;
}

inline void WritePnm(const std::string& path, const Pnm& pnm)
{
    std::ofstream out(path, std::ios::binary);
    out << (pnm.Channels == 3 ? "P6" : "P5") << "\n" << pnm.Width << " " << pnm.Height << "\n255\n";
    out.write(reinterpret_cast<const char*>(pnm.Pixels.data()), static_cast<std::streamsize>(pnm.Pixels.size()));
}

// Runs a shell command; true when it exits with 0.
inline bool RunShell(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

inline bool HaveTool(const std::string& name) { return RunShell("command -v " + name + " >/dev/null"); }

// ImageMagick 6 under the name that is never another program.
inline const char* kMagick = "convert-im6.q16";

// The first program a shell command runs that is not installed (the
// /usr/bin/python3 of a command also needs Python's imaging library), or ""
// when all are. `magick` stands for kMagick, as in RunIn.
inline std::string MissingTool(const std::string& command)
{
    std::string missing;
    bool atCommand = true;
    std::istringstream words(command);
    for (std::string word; missing.empty() && words >> word;) {
        while (!word.empty() && word.front() == '(')
            word.erase(0, 1);
        if (word.empty())
            continue;
        if (word == "&&" || word == "||" || word == "|" || word == ";") {
            atCommand = true;
            continue;
        }
        if (!atCommand)
            continue;
        atCommand = false;
        if (word == "cd" || word == "cp" || word == "mv")
            continue;
        const std::string program = word == "magick" ? kMagick : word;
        if (!HaveTool(program))
            missing = program;
        else if (program == "/usr/bin/python3" && !RunShell("/usr/bin/python3 -c 'import PIL'"))
            missing = "PIL";
    }
    return missing;
}

// A fresh folder for one test, removed afterwards.
class ScratchDir {
public:
    ScratchDir()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
            ("vistelo-imgfmt-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// An odd-sized colourful picture: gradients, a diagonal and flat runs, so that
// row padding, byte order and run-length packets all matter.
inline Pnm TestPicture(int width = 37, int height = 23)
{
    Pnm pnm{width, height, 3, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool flat = x > width / 2 && y < height / 2;
            pnm.Pixels.push_back(static_cast<std::uint8_t>(flat ? 200 : x * 255 / (width - 1)));
            pnm.Pixels.push_back(static_cast<std::uint8_t>(flat ? 40 : y * 255 / (height - 1)));
            pnm.Pixels.push_back(static_cast<std::uint8_t>(x == y ? 255 : flat ? 90 : (x * 7 + y * 13) % 256));
        }
    return pnm;
}

// Runs a shell command in the folder, where `magick` is ImageMagick 6
// (kMagick); true when it exits with 0.
inline bool RunIn(const ScratchDir& dir, const std::string& command)
{
    return RunShell("cd '" + dir.Path() + "' && magick() { " + kMagick + " \"$@\"; } && " + command);
}

// Decodes `file` of the folder as the picture loader does (by its extension)
// into `out` (24-bit PPM, the alpha beside it as .pgm); true on success.
inline bool Picdecode(const ScratchDir& dir, const std::string& file, const std::string& out)
{
    return RunShell(std::string(VISTELO_PICDECODE) + " '" + (dir / file) + "' '" + (dir / out) + "'");
}

} // namespace imagetest

// Replays every file below the folders given on the command line through the
// fuzz target, so seeds and past crashes stay covered by the ordinary tests.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

static int ReplayFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 0;
}

int main(int argc, char** argv)
{
    int failures = 0;
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path dir(argv[i]);
        if (!fs::is_directory(dir))
            continue;
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(dir))
            if (entry.is_regular_file())
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            failures += ReplayFile(file);
            ++replayed;
        }
    }
    std::printf("replayed %d input(s), %d unreadable\n", replayed, failures);
    return failures == 0 && replayed > 0 ? 0 : 1;
}

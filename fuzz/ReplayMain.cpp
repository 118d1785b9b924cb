// Replays every file below the folders given on the command line through the
// fuzz target, so seeds and past crashes stay covered by the ordinary tests.
// A past crash (a file in a folder below fuzz/crashes) must also end the way
// its fix made it end: the outcome the target reports must equal the one
// stored beside it in <crash>.outcome, so a target with stored crashes
// reports its outcome (fuzz/FuzzOutcome.h). With VISTELO_FUZZ_OUTCOMES set,
// every outcome is printed, to record the outcome of a new crash.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzOutcome.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

static constexpr const char* kOutcomeExtension = ".outcome";
static constexpr const char* kNoOutcome = "no outcome reported";

static bool IsStoredCrash(const fs::path& file) { return file.parent_path().parent_path().filename() == "crashes"; }

// The stored outcome without the line end; false when there is none.
static bool ReadExpectedOutcome(const fs::path& crash, std::string& outcome)
{
    std::ifstream in(crash.string() + kOutcomeExtension);
    if (!in)
        return false;
    std::getline(in, outcome);
    return true;
}

// 0 when the file was replayed as expected, 1 otherwise.
static int ReplayFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ReportFuzzOutcome(kNoOutcome);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    if (std::getenv("VISTELO_FUZZ_OUTCOMES"))
        std::printf("%s: %s\n", file.c_str(), FuzzOutcome().c_str());
    if (!IsStoredCrash(file))
        return 0;
    std::string expected;
    if (FuzzOutcome() == kNoOutcome) {
        std::fprintf(stderr, "%s: the target reports no outcome\n", file.c_str());
        return 1;
    }
    if (!ReadExpectedOutcome(file, expected)) {
        std::fprintf(stderr, "%s: no expected outcome in %s%s\n", file.c_str(), file.filename().c_str(),
                     kOutcomeExtension);
        return 1;
    }
    if (FuzzOutcome() != expected) {
        std::fprintf(stderr, "%s: outcome \"%s\", expected \"%s\"\n", file.c_str(), FuzzOutcome().c_str(),
                     expected.c_str());
        return 1;
    }
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
            if (entry.is_regular_file() && entry.path().extension() != kOutcomeExtension)
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            failures += ReplayFile(file);
            ++replayed;
        }
    }
    std::printf("replayed %d input(s), %d failed\n", replayed, failures);
    return failures == 0 && replayed > 0 ? 0 : 1;
}

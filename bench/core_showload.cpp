// Loading shows of 10,000 and 20,000 pictures (no thumbnails) against reading
// the same file's bytes into memory, and whether the load grows linearly:
// the 20,000-picture show may take at most 2.2 times the 10,000-picture one.
#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/rtl/SysPaths.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Show files by picture count, and seconds per load as the "ours"
// benchmarks measure them. Both outlive the report below.
std::map<int, std::string> showFiles;
std::map<int, double> loadSeconds;

// A show file of that many pictures, written once per run.
const std::string& ShowFile(int pictures)
{
    std::string& name = showFiles[pictures];
    if (name.empty()) {
        name = rtl::TempDir() + "vistelo-bench-" + std::to_string(getpid()) + "-" + std::to_string(pictures) + ".vsf";
        TConfigVistelo show;
        show.InfoTitle = "Benchmark";
        for (int i = 0; i < pictures; ++i) {
            TPicInfoObject entry;
            entry.FileName = "Bilder\\Urlaub " + std::to_string(i / 100) + "\\IMG_" + std::to_string(i) + ".JPG";
            entry.Comments = "Bild " + std::to_string(i) + " am Strand";
            entry.Keywords = "Urlaub Meer";
            show.AddDia(entry);
        }
        if (!show.SaveToFile(name))
            std::fprintf(stderr, "cannot write %s\n", name.c_str());
    }
    return name;
}

void Ours(benchmark::State& state, int pictures)
{
    const std::string& file = ShowFile(pictures);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        TVistelo show;
        if (show.LoadFromFile(file, false, true) != dlrOK || show.Count != pictures)
            state.SkipWithError("the show did not load");
        benchmark::DoNotOptimize(show.Count);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (state.iterations() > 0)
        loadSeconds[pictures] = elapsed.count() / static_cast<double>(state.iterations());
}

void Reference(benchmark::State& state, int pictures)
{
    const std::string& file = ShowFile(pictures);
    for (auto _ : state) {
        const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
        std::vector<char> bytes(static_cast<size_t>(lseek(fd, 0, SEEK_END)));
        if (pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
            state.SkipWithError("the show could not be read");
        close(fd);
        benchmark::DoNotOptimize(bytes.data());
    }
}

BENCHMARK_CAPTURE(Ours, 10000, 10000)->Name("show_load_10000/ours")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reference, 10000, 10000)->Name("show_load_10000/reference")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, 20000, 20000)->Name("show_load_20000/ours")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reference, 20000, 20000)->Name("show_load_20000/reference")->Unit(benchmark::kMillisecond);

// Prints the growth check once the benchmarks have run, and removes the files.
struct ScalingReport {
    ~ScalingReport()
    {
        if (loadSeconds.count(10000) && loadSeconds.count(20000)) {
            const double growth = loadSeconds.at(20000) / loadSeconds.at(10000);
            std::printf("show_load_20000 / show_load_10000 = %.2f (at most 2.20: %s)\n", growth,
                        growth <= 2.2 ? "ok" : "TOO SLOW");
        }
        for (const auto& [pictures, name] : showFiles)
            std::remove(name.c_str());
    }
} scalingReport;

} // namespace

// Saving a show of 10,000 pictures (no thumbnails) against loading the same
// show, the user's other wait on that file: saving may take at most 1.5 times
// as long as loading.
#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/rtl/SysPaths.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

constexpr int Pictures = 10000;

std::string FileName()
{
    static const std::string name = rtl::TempDir() + "vistelo-bench-save-" + std::to_string(getpid()) + ".vsf";
    return name;
}

// The show as an editor holds it: every picture with its name, comment and
// keywords.
const TConfigVistelo& Show()
{
    static TConfigVistelo show;
    if (show.Count == 0) {
        show.InfoTitle = "Benchmark";
        for (int i = 0; i < Pictures; ++i) {
            TPicInfoObject entry;
            entry.FileName = "Bilder\\Urlaub " + std::to_string(i / 100) + "\\IMG_" + std::to_string(i) + ".JPG";
            entry.Comments = "Bild " + std::to_string(i) + " am Strand";
            entry.Keywords = "Urlaub Meer";
            show.AddDia(entry);
        }
    }
    return show;
}

void Ours(benchmark::State& state)
{
    const TConfigVistelo& show = Show();
    for (auto _ : state)
        if (!show.SaveToFile(FileName()))
            state.SkipWithError("the show could not be saved");
}

void Reference(benchmark::State& state)
{
    if (!Show().SaveToFile(FileName()))
        state.SkipWithError("the show could not be saved");
    for (auto _ : state) {
        TVistelo loaded;
        if (loaded.LoadFromFile(FileName(), false, true) != dlrOK || loaded.Count != Pictures)
            state.SkipWithError("the show did not load");
        benchmark::DoNotOptimize(loaded.Count);
    }
}

BENCHMARK(Ours)->Name("show_save_10000/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Reference)->Name("show_save_10000/reference")->Unit(benchmark::kMillisecond);

struct Cleanup {
    ~Cleanup() { std::remove(FileName().c_str()); }
} cleanup;

} // namespace

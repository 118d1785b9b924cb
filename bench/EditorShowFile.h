#pragma once

// The show of 10,000 pictures the editor's benchmarks open: written once per
// run into the temporary folder and removed at the end.

#include "core/VisteloNPics.h"
#include "editor/app/Config.h"
#include "platform/rtl/SysPaths.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace editor_bench {

inline constexpr int Pictures = 10000;

inline const std::string& ShowFile()
{
    struct File {
        std::string Name;
        File()
        {
            Name = rtl::TempDir() + "vistelo-bench-editor-" + std::to_string(getpid()) + ".vsf";
            TConfigVistelo show;
            for (int i = 0; i < Pictures; ++i) {
                TPicInfoObject entry;
                entry.FileName = "Bilder/Urlaub " + std::to_string(i / 100) + "/IMG_" + std::to_string(i) + ".JPG";
                entry.Comments = "Bild " + std::to_string(i) + " am Strand";
                entry.Keywords = "Urlaub Meer";
                show.AddDia(entry);
            }
            if (!show.SaveToFile(Name))
                std::fprintf(stderr, "cannot write %s\n", Name.c_str());
        }
        ~File() { std::remove(Name.c_str()); }
    };
    static File file;
    return file.Name;
}

// The reference of the editor's figures: the show reader loading that file.
inline void LoadShowFile(benchmark::State& state)
{
    const std::string& file = ShowFile();
    for (auto _ : state) {
        TVistelo show;
        if (show.LoadFromFile(file, false, false) != dlrOK || show.Count != Pictures)
            state.SkipWithError("the show did not load");
        benchmark::DoNotOptimize(show.Count);
    }
}

} // namespace editor_bench

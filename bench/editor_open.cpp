// Opening a show of 10,000 pictures into the editor's picture list against
// the show reader's load of the same file: the list may take at most twice
// the reader's time (the reader's load is part of it).
#include "bench/EditorShowFile.h"
#include "core/VisteloNPics.h"
#include "editor/app/Config.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using editor_bench::Pictures;

const std::string& File() { return editor_bench::ShowFile(); }

void Ours(benchmark::State& state)
{
    ui::EnsurePlatform();
    // Messages are answered, never shown.
    ui::BeginDialogScript();
    const std::string& file = File();
    auto form = std::make_unique<TAAForm>(nullptr);
    form->StartTimerTimer(nullptr);
    for (auto _ : state) {
        if (!form->LoadShowIntoList(file) || form->PicCount() != Pictures)
            state.SkipWithError("the show did not open");
    }
    form.reset();
    ui::EndDialogScript();
}

BENCHMARK(Ours)->Name("editor_open_10000/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(editor_bench::LoadShowFile)->Name("editor_open_10000/reference")->Unit(benchmark::kMillisecond);

} // namespace

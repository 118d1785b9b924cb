// Selecting all 10,000 pictures of a show in the editor's picture list and
// switching one setting of the picture panel for all of them, against
// loading the same show: the selection and the change may take at most the
// time of the load.
#include "bench/EditorShowFile.h"
#include "core/VisteloNPics.h"
#include "editor/app/Config.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/StdCtrls.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using editor_bench::Pictures;

const std::string& File() { return editor_bench::ShowFile(); }

void Ours(benchmark::State& state)
{
    ui::EnsurePlatform();
    ui::BeginDialogScript();
    auto form = std::make_unique<TAAForm>(nullptr);
    form->StartTimerTimer(nullptr);
    if (!form->LoadShowIntoList(File()))
        state.SkipWithError("the show did not open");
    bool stretch = false;
    for (auto _ : state) {
        form->MarkAllPicsClick(nullptr);
        stretch = !stretch;
        form->ZoomImageCheck->SetChecked(stretch);
        form->ZoomImageCheckClick(nullptr);
        if (form->GetPicInfoObject(Pictures - 1)->Stretch != stretch || form->PicSelCount() != Pictures)
            state.SkipWithError("the setting did not reach every picture");
    }
    form.reset();
    ui::EndDialogScript();
}

BENCHMARK(Ours)->Name("editor_panel_apply_10000/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(editor_bench::LoadShowFile)->Name("editor_panel_apply_10000/reference")->Unit(benchmark::kMillisecond);

} // namespace

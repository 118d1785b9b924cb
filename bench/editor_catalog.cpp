// The catalog's thumbnails.
// catalog_thumbs_200_jpeg: thumbnails of 200 JPEG pictures of 12 megapixels
// (4000 x 3000) at the catalog's default size, 80 x 60, made as the loader
// makes them, against vipsthumbnail making the same sizes on one thread.
// catalog_answer_p99: while the loader makes those thumbnails in an open
// catalog, the 99th percentile of the time the main thread takes to answer a
// call posted to it every 2 ms, against a budget of 50 ms.
// catalog_memory_10000: the resident memory a catalog over 10,000 pictures
// adds once every thumbnail is made and drawn, against 1.5 times the
// thumbnails' own pixels plus 50 MB.
#include "core/Setup.h"
#include "editor/app/CatalogLoader.h"
#include "editor/app/CatalogUnit.h"
#include "editor/app/Config.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Threads.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ScrollBox.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Pictures = 200;
constexpr int ManyPictures = 10000;

// The pictures' folder, removed when the program ends.
struct TScratchFolder {
    fs::path Path = fs::temp_directory_path() / ("vistelo-bench-catalog-" + std::to_string(getpid()));
    TScratchFolder() { fs::create_directories(Path); }
    ~TScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(Path, ignored);
    }
};

fs::path Folder()
{
    static const TScratchFolder folder;
    return folder.Path;
}

// A photograph-like picture: smooth light with fine grain.
void WritePicture(const fs::path& file, int width, int height)
{
    TBitmap bitmap(width, height, pf24bit);
    std::uint32_t noise = 1;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = static_cast<int>(noise >> 29);
            row[3 * x] = static_cast<std::uint8_t>(x * 200 / width + grain);
            row[3 * x + 1] = static_cast<std::uint8_t>(y * 200 / height + grain);
            row[3 * x + 2] = static_cast<std::uint8_t>((x + y) * 100 / (width + height) + 60);
        }
    }
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    jpeg.CompressionQuality = 85;
    jpeg.SaveToFile(file.string());
}

// Count names of one picture (hard links: the same bytes for both sides).
std::vector<std::string> Files(const std::string& stem, int count, int width, int height)
{
    const fs::path original = Folder() / (stem + ".jpg");
    if (!fs::exists(original))
        WritePicture(original, width, height);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        const fs::path name = Folder() / (stem + "-" + std::to_string(i) + ".jpg");
        if (!fs::exists(name))
            fs::create_hard_link(original, name);
        names.push_back(name.string());
    }
    return names;
}

const std::vector<std::string>& BigFiles()
{
    static const std::vector<std::string> files = Files("big", Pictures, 4000, 3000);
    return files;
}

void ThumbsOurs(benchmark::State& state)
{
    for (auto _ : state)
        for (const std::string& file : BigFiles())
            if (!CatalogLoader::DecodeThumbnail(file, Setup::CatalogThumbWidth, Setup::CatalogThumbHeight)) {
                state.SkipWithError("a thumbnail was not made");
                return;
            }
}

void ThumbsReference(benchmark::State& state)
{
    std::string command = "VIPS_CONCURRENCY=1 vipsthumbnail --vips-concurrency=1 --size " +
        std::to_string(Setup::CatalogThumbWidth) + "x" + std::to_string(Setup::CatalogThumbHeight) + " -o " +
        (Folder() / "out").string() + "/%s.jpg";
    for (const std::string& file : BigFiles())
        command += " " + file;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(Folder() / "out");
        fs::create_directories(Folder() / "out");
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("vipsthumbnail failed");
            return;
        }
    }
}

// The main window with the pictures in its list; its catalog runs Body.
// Filled runs once the list holds them, before the catalog opens.
void WithCatalog(const std::vector<std::string>& files, const std::function<void(TCatalogForm&)>& body,
                 const std::function<void()>& filled = {})
{
    ui::EnsurePlatform();
    ui::BeginDialogScript();
    auto form = std::make_unique<TAAForm>(nullptr);
    form->StartTimerTimer(nullptr);
    form->AddPictureFiles(files, false);
    if (filled)
        filled();
    form->OnCatalogShown = [&](TCatalogForm& catalog) {
        catalog.Show();
        catalog.SetBounds(0, 0, 800, 600);
        Application->ProcessMessages();
        catalog.CatalogPanelResize();
        body(catalog);
    };
    form->CatalogClick(nullptr);
    form.reset();
    ui::EndDialogScript();
}

// Runs the main thread's loop until the catalog's loader has passed every
// picture.
void RunUntilLoaded(TCatalogForm& catalog)
{
    while (catalog.Loader && !catalog.Loader->Finished()) {
        Application->ProcessMessages();
        rtl::CheckSynchronize(1);
    }
    Application->ProcessMessages();
}

double AnswerP99Seconds()
{
    std::vector<double> answers;
    WithCatalog(BigFiles(), [&](TCatalogForm& catalog) {
        std::atomic<bool> loading{true};
        std::mutex lock;
        std::thread poster([&] {
            while (loading) {
                const Clock::time_point posted = Clock::now();
                TThread::Queue(nullptr, [&, posted] {
                    std::lock_guard guard(lock);
                    answers.push_back(std::chrono::duration<double>(Clock::now() - posted).count());
                });
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
        RunUntilLoaded(catalog);
        loading = false;
        poster.join();
        rtl::CheckSynchronize(0);
    });
    if (answers.empty())
        return 0;
    std::sort(answers.begin(), answers.end());
    return answers[std::min(answers.size() - 1, answers.size() * 99 / 100)];
}

void AnswerOurs(benchmark::State& state)
{
    for (auto _ : state) {
        const double p99 = AnswerP99Seconds();
        if (p99 <= 0) {
            state.SkipWithError("no call was answered");
            return;
        }
        state.SetIterationTime(p99);
    }
}

void AnswerBudget(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(0.050);
}

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

void CatalogMemory(benchmark::State& state)
{
    const std::vector<std::string> files = Files("small", ManyPictures, 640, 480);
    double addedMb = 0;
    double pixelMb = 0;
    for (auto _ : state) {
        long before = 0;
        const auto measure = [&](TCatalogForm& catalog) {
            RunUntilLoaded(catalog);
            // Every row drawn once, as scrolling through the whole grid does.
            const int rows = catalog.Grid.PaintBoxHeight / catalog.Grid.CellHeight;
            for (int row = 0; row < rows; row += std::max(catalog.Grid.PageRows, 1)) {
                catalog.ScrollBox->VertScrollBar().SetPosition(row * catalog.Grid.CellHeight);
                catalog.ForceDrawThumbnails();
                catalog.PartialRedraw();
            }
            double pixels = 0;
            for (int i = 0; i < catalog.PicCount(); ++i)
                if (const TThumbnailJPEGImage* thumbnail = PicInfoUnit::GetPicInfoObject(i)->Thumbnail.GetThumbnail())
                    pixels += 3.0 * thumbnail->Width() * thumbnail->Height();
            pixelMb = pixels / (1024.0 * 1024.0);
            addedMb = static_cast<double>(ResidentKb() - before) / 1024.0;
        };
        WithCatalog(files, measure, [&] { before = ResidentKb(); });
        state.SetIterationTime(1);
    }
    const double budget = 1.5 * pixelMb + 50.0;
    std::printf("catalog_memory_10000 ours=%.1fMB reference=%.1fMB ratio=%.2f\n", addedMb, budget,
                addedMb > 0 ? budget / addedMb : 0.0);
}

} // namespace

BENCHMARK(ThumbsOurs)->Name("catalog_thumbs_200_jpeg/ours")->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(ThumbsReference)->Name("catalog_thumbs_200_jpeg/reference")->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(AnswerOurs)->Name("catalog_answer_p99/ours")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(AnswerBudget)
    ->Name("catalog_answer_p99/reference")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CatalogMemory)->Name("catalog_memory_10000")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

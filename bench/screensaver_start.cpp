// saver_start: from starting slumbrix-launcher -root under Xvfb (1280 x 720)
// until the show's first slide is on the screen, against Rollavin started on
// the same show (goal: ours at most 1.1 times Rollavin's, ratio >= 0.91).
// saver_still_cpu: the saver's processor time while one slide stands for
// three seconds, against 1 % of that wall time (goal: ratio >= 1; the
// process clock counts in ticks of 10 ms, so "ours" below one tick shows as
// 1 us).
#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Jpeg.h"
#include "screensaver/ScreenSaverSetup.h"
#include "tests/support/QuadrantPattern.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib defines macros such as Bool and None.
#include "tests/support/XvfbSession.h"

namespace fs = std::filesystem;

namespace {

constexpr int ScreenWidth = 1280;
constexpr int ScreenHeight = 720;
using Clock = std::chrono::steady_clock;

struct Files {
    fs::path Folder = fs::temp_directory_path() / ("bench_saver_" + std::to_string(::getpid()));
    std::string Show;
    std::string Hive;
    Files()
    {
        fs::create_directories(Folder);
        // A 1920 x 1080 photo-sized JPEG: the left half green, the right half magenta.
        TBitmap bitmap(1920, 1080, pf24bit);
        bitmap.Canvas().Brush.Color = RGB(40, 200, 40);
        bitmap.Canvas().FillRect(Rect(0, 0, 960, 1080));
        bitmap.Canvas().Brush.Color = RGB(200, 40, 200);
        bitmap.Canvas().FillRect(Rect(960, 0, 1920, 1080));
        TJPEGImage jpeg;
        jpeg.CompressionQuality = 90;
        jpeg.Assign(&bitmap);
        jpeg.SaveToFile((Folder / "Bild.jpg").string());
        TConfigVistelo show;
        pattern::MakeOneSlideShow(show, "Bild.jpg");
        show.StartFullScreen = true;
        Show = (Folder / "Bild.vsf").string();
        show.SaveToFile(Show);
        Hive = (Folder / "hive.reg").string();
        ::setenv("VISTELO_REGISTRY", Hive.c_str(), 1);
        ScreenSaverSetup::Filename = Show;
        ScreenSaverSetup::Mute = true;
        ScreenSaverSetup::WriteScreenSaverSettings();
        ::unsetenv("VISTELO_REGISTRY");
    }
    ~Files()
    {
        std::error_code ignored;
        fs::remove_all(Folder, ignored);
    }
};

const Files& TheFiles()
{
    static const Files files;
    return files;
}

xvfb::TPrivateServer& Server()
{
    static xvfb::TPrivateServer server(ScreenWidth, ScreenHeight, 161);
    return server;
}


bool SlideShown()
{
    static xvfb::TScreenshot shot;
    return Server().Grab(shot) && xvfb::NearColour(shot.At(ScreenWidth / 4, ScreenHeight / 2), {40, 200, 40}, 30) &&
        xvfb::NearColour(shot.At(3 * ScreenWidth / 4, ScreenHeight / 2), {200, 40, 200}, 30);
}

std::vector<std::string> Environment()
{
    std::vector<std::string> env = Server().ClientEnv();
    env.push_back("VISTELO_REGISTRY=" + TheFiles().Hive);
    return env;
}

// Starts the program and waits until the slide is on the screen; the time
// taken, or a negative value when it never came.
double TimeToSlide(const std::vector<std::string>& command, std::unique_ptr<xvfb::TChildProcess>& program)
{
    const auto start = Clock::now();
    program = std::make_unique<xvfb::TChildProcess>(command, Environment());
    bool shown = false;
    while (program->Started() && !shown && Clock::now() - start < std::chrono::seconds(60)) {
        shown = SlideShown();
        if (!shown)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return shown ? std::chrono::duration<double>(Clock::now() - start).count() : -1;
}

void ClearScreen(std::unique_ptr<xvfb::TChildProcess>& program)
{
    program->Stop();
    program.reset();
    while (SlideShown())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void StartTime(benchmark::State& state, const std::vector<std::string>& command)
{
    TheFiles();
    if (!Server().Connection()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    for (auto _ : state) {
        std::unique_ptr<xvfb::TChildProcess> program;
        const double seconds = TimeToSlide(command, program);
        ClearScreen(program);
        if (seconds < 0) {
            state.SkipWithError("the first slide never appeared");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void SaverStartOurs(benchmark::State& state) { StartTime(state, {SLUMBRIX_LAUNCHER, "-root"}); }
void SaverStartReference(benchmark::State& state) { StartTime(state, {ROLLAVIN_PROGRAM, TheFiles().Show}); }

// Processor seconds the process has used (user and system).
double ProcessorSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long ticks = 0;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int n = 3; n <= 15 && fields >> field; ++n)
        if (n == 14 || n == 15)
            ticks += std::stoul(field);
    return static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

constexpr double StillSeconds = 3.0;

void StillCpuOurs(benchmark::State& state)
{
    TheFiles();
    if (!Server().Connection()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    for (auto _ : state) {
        std::unique_ptr<xvfb::TChildProcess> program;
        if (TimeToSlide({SLUMBRIX_LAUNCHER, "-root"}, program) < 0) {
            state.SkipWithError("the first slide never appeared");
            return;
        }
        // The slide settles (the next picture is rendered ahead), then stands.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double before = ProcessorSeconds(program->Id());
        std::this_thread::sleep_for(std::chrono::duration<double>(StillSeconds));
        const double used = ProcessorSeconds(program->Id()) - before;
        ClearScreen(program);
        state.SetIterationTime(used > 0 ? used : 1e-6);
    }
}

void StillCpuReference(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(0.01 * StillSeconds);
}

} // namespace

BENCHMARK(SaverStartOurs)->Name("saver_start/ours")->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(SaverStartReference)
    ->Name("saver_start/reference")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(StillCpuOurs)->Name("saver_still_cpu/ours")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(StillCpuReference)
    ->Name("saver_still_cpu/reference")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

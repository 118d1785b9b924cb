// player_start_24mp: from starting Rollavin under Xvfb (1920 x 1080) on a show
// whose first picture is a 6000 x 4000 JPEG until that slide is on the screen,
// against djpeg decoding the same picture at half size (what a viewer would
// minimally do to show it).
// player_start_24mp_viewer: the same start against an ordinary image viewer
// (feh -F) showing the same picture full-screen, timed the same way.
// player_peak_memory: Rollavin's peak resident size while it plays ten such
// pictures, printed against one decoded picture plus three screen bitmaps.
#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib defines macros such as Bool and None.
#include "tests/support/SharedScreen.h"
#include "tests/support/XvfbSession.h"

namespace fs = std::filesystem;

namespace {

constexpr int PictureWidth = 6000;
constexpr int PictureHeight = 4000;
constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;

using Clock = std::chrono::steady_clock;

// Quadrant colours (R, G, B) of the picture, with a little grain.
constexpr std::array<std::array<int, 3>, 4> QuadrantColours{
    {{220, 40, 40}, {40, 200, 40}, {40, 40, 220}, {230, 200, 40}}};

// The pictures and shows of the run, removed at its end.
fs::path Folder()
{
    struct TempFolder {
        fs::path Path = fs::temp_directory_path() / ("bench_player_" + std::to_string(::getpid()));
        TempFolder() { fs::create_directories(Path); }
        ~TempFolder()
        {
            std::error_code ignored;
            fs::remove_all(Path, ignored);
        }
    };
    static const TempFolder folder;
    return folder.Path;
}

std::vector<std::uint8_t> MakePicture()
{
    TBitmap bitmap(PictureWidth, PictureHeight, pf24bit);
    std::uint32_t noise = 12345;
    for (int y = 0; y < PictureHeight; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < PictureWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = static_cast<int>(noise >> 28) - 8;
            const auto& c = QuadrantColours[(y >= PictureHeight / 2 ? 2 : 0) + (x >= PictureWidth / 2 ? 1 : 0)];
            row[3 * x] = static_cast<std::uint8_t>(std::clamp(c[2] + grain, 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(c[1] + grain, 0, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(c[0] + grain, 0, 255));
        }
    }
    TJPEGImage jpeg;
    jpeg.CompressionQuality = 90;
    jpeg.Assign(&bitmap);
    return jpeg.Data();
}

// The picture ten times under different names, a one-picture show and a
// ten-picture show that ends after its last slide.
struct Shows {
    std::string Picture;
    std::string First;
    std::string Ten;
};

const Shows& MakeShows()
{
    static const Shows shows = [] {
        const std::vector<std::uint8_t> bytes = MakePicture();
        Shows s;
        for (int i = 0; i < 10; ++i) {
            const fs::path file = Folder() / ("Bild" + std::to_string(i) + ".jpg");
            std::ofstream(file, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
        s.Picture = (Folder() / "Bild0.jpg").string();
        auto write = [](const std::string& name, int pictures, TWhatToDoWhenVisteloEnds end, int pause) {
            TConfigVistelo show;
            show.Pause = pause;
            show.Logo = lNoLogo;
            show.LogoPause = 0;
            show.EndAction = end;
            for (int i = 0; i < pictures; ++i) {
                TPicInfoObject entry;
                entry.FileName = "Bild" + std::to_string(i) + ".jpg";
                entry.ShowImage = true;
                entry.ShowComments = false;
                entry.Stretch = true;
                entry.Proportions = true;
                entry.Center = true;
                entry.Blending = 0;
                show.AddDia(entry);
            }
            const std::string path = (Folder() / name).string();
            show.SaveToFile(path);
            return path;
        };
        s.First = write("Erstes.vsf", 1, deAutoRepeat, 600000);
        s.Ten = write("Zehn.vsf", 10, deExitImmediately, 300);
        return s;
    }();
    return shows;
}

// A private X server for the whole run.
xvfb::TPrivateServer& Server()
{
    static xvfb::TPrivateServer server(ScreenWidth, ScreenHeight, 151);
    return server;
}

// True when the pixels `at` reads show the picture's four quadrant colours
// somewhere (wherever the playback window lies).
template <typename PixelAt> bool ShowsPicture(const PixelAt& at)
{
    std::array<int, 4> hits{};
    for (int y = 8; y < ScreenHeight; y += 16) {
        for (int x = 8; x < ScreenWidth; x += 16) {
            const std::array<int, 3> rgb = at(x, y);
            for (int q = 0; q < 4; ++q) {
                bool near = true;
                for (int c = 0; c < 3; ++c)
                    near = near && std::abs(rgb[c] - QuadrantColours[q][c]) <= 30;
                hits[q] += near ? 1 : 0;
            }
        }
    }
    // A quarter of the slide even at a quarter of the screen covers far
    // more than this many grid points.
    return std::all_of(hits.begin(), hits.end(), [](int h) { return h >= 64; });
}

// One look at the screen: through shared memory where the server offers it,
// so that watching hardly delays the program watched; else through the socket.
bool ShowsPicture()
{
    static xvfb::TSharedScreen shared(Server().Connection(), ScreenWidth, ScreenHeight);
    if (shared.Available())
        return shared.Read() && ShowsPicture([](int x, int y) { return shared.At(x, y); });
    static xvfb::TScreenshot shot;
    return Server().Grab(shot) && ShowsPicture([](int x, int y) { return shot.At(x, y); });
}

// From starting `args` under the private server until the picture is on
// the screen, every round; the screen is clear again before the next one.
void TimeUntilShown(benchmark::State& state, const std::vector<std::string>& args)
{
    if (!Server().Connection()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    for (auto _ : state) {
        const auto start = Clock::now();
        xvfb::TChildProcess program(args, Server().ClientEnv());
        bool shown = false;
        while (program.Started() && !shown && Clock::now() - start < std::chrono::seconds(60)) {
            shown = ShowsPicture();
            if (!shown)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto stop = Clock::now();
        program.Stop();
        if (!shown) {
            state.SkipWithError("the picture never appeared");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        while (ShowsPicture())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void PlayerStartOurs(benchmark::State& state) { TimeUntilShown(state, {ROLLAVIN_PROGRAM, MakeShows().First}); }

void ViewerStart(benchmark::State& state) { TimeUntilShown(state, {"feh", "-F", MakeShows().Picture}); }

void PlayerStartReference(benchmark::State& state)
{
    const Shows& shows = MakeShows();
    for (auto _ : state) {
        const auto start = Clock::now();
        xvfb::TChildProcess djpeg({"djpeg", "-scale", "1/2", "-outfile", "/dev/null", shows.Picture}, {});
        if (!djpeg.Wait()) {
            state.SkipWithError("djpeg failed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}

// The high-water mark of a running program's resident size in kB (0 when
// it cannot be read). The resource usage reported at the end would not do: it
// also counts the memory of this process, which the child shares until exec.
long PeakResidentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

void PlayerPeakMemory(benchmark::State& state)
{
    const Shows& shows = MakeShows();
    if (!Server().Connection()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    long peakKb = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        xvfb::TChildProcess player({ROLLAVIN_PROGRAM, shows.Ten}, Server().ClientEnv());
        // The mark only grows, so its last reading before the end is the peak.
        while (player.Running()) {
            peakKb = std::max(peakKb, PeakResidentKb(player.Id()));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (!player.ExitedCleanly()) {
            state.SkipWithError("the ten-slide show did not end by itself");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    const double mb = 1024.0 * 1024.0;
    const double budget = (3.0 * PictureWidth * PictureHeight + 3.0 * 3.0 * ScreenWidth * ScreenHeight) / mb;
    const double peak = static_cast<double>(peakKb) * 1024.0 / mb;
    std::printf("player_peak_memory ours=%.1fMB reference=%.1fMB ratio=%.2f\n", peak, budget, budget / peak);
}

} // namespace

BENCHMARK(PlayerStartOurs)
    ->Name("player_start_24mp/ours")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PlayerStartReference)
    ->Name("player_start_24mp/reference")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PlayerStartOurs)
    ->Name("player_start_24mp_viewer/ours")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ViewerStart)
    ->Name("player_start_24mp_viewer/reference")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PlayerPeakMemory)->Name("player_peak_memory")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

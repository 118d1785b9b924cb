// player_start_24mp: from starting Rollavin under Xvfb (1920 x 1080) on a show
// whose first picture is a 6000 x 4000 JPEG until that slide is on the screen,
// against djpeg decoding the same picture at half size (what a viewer would
// minimally do to show it).
// player_peak_memory: Rollavin's peak resident size while it plays ten such
// pictures, printed against one decoded picture plus three screen bitmaps.
#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int PictureWidth = 6000;
constexpr int PictureHeight = 4000;
constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;

using Clock = std::chrono::steady_clock;

// Quadrant colours (R, G, B) of the picture, with a little grain.
constexpr std::array<std::array<int, 3>, 4> QuadrantColours{{{220, 40, 40}, {40, 200, 40}, {40, 40, 220}, {230, 200, 40}}};

fs::path Folder()
{
    static const fs::path folder = [] {
        fs::path f = fs::temp_directory_path() / ("bench_player_" + std::to_string(::getpid()));
        fs::create_directories(f);
        return f;
    }();
    return folder;
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

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv)
{
    // The given variables replace inherited ones of the same name.
    std::vector<std::string> env = extraEnv;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        if (std::none_of(extraEnv.begin(), extraEnv.end(),
                         [&](const std::string& given) { return given.compare(0, name.size(), name) == 0; }))
            env.push_back(entry);
    }
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
        return 0;
    return pid;
}

// A private X server for the whole run.
class XServer {
public:
    XServer()
    {
        for (int n = 151; n < 250 && !pid_; ++n) {
            if (fs::exists("/tmp/.X" + std::to_string(n) + "-lock") ||
                fs::exists("/tmp/.X11-unix/X" + std::to_string(n)))
                continue;
            name_ = ":" + std::to_string(n);
            pid_ = Spawn({"Xvfb", name_, "-screen", "0",
                          std::to_string(ScreenWidth) + "x" + std::to_string(ScreenHeight) + "x24", "-nolisten",
                          "tcp"},
                         {});
            for (int i = 0; i < 200 && pid_ && !display_; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                display_ = XOpenDisplay(name_.c_str());
            }
        }
    }
    ~XServer()
    {
        if (display_)
            XCloseDisplay(display_);
        if (pid_) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Display* Connection() const { return display_; }
    const std::string& Name() const { return name_; }

    // True when the screen shows the picture's four quadrant colours
    // somewhere (the window may not cover the whole screen).
    bool ShowsPicture() const
    {
        const Window root = DefaultRootWindow(display_);
        XImage* image = XGetImage(display_, root, 0, 0, ScreenWidth, ScreenHeight, AllPlanes, ZPixmap);
        if (!image)
            return false;
        std::array<int, 4> hits{};
        for (int y = 8; y < ScreenHeight; y += 16) {
            for (int x = 8; x < ScreenWidth; x += 16) {
                const unsigned long pixel = XGetPixel(image, x, y);
                const int rgb[3] = {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
                                    static_cast<int>(pixel & 0xFF)};
                for (int q = 0; q < 4; ++q) {
                    bool near = true;
                    for (int c = 0; c < 3; ++c)
                        near = near && std::abs(rgb[c] - QuadrantColours[q][c]) <= 30;
                    hits[q] += near ? 1 : 0;
                }
            }
        }
        XDestroyImage(image);
        // A quarter of the slide even at a quarter of the screen covers far
        // more than this many grid points.
        return std::all_of(hits.begin(), hits.end(), [](int h) { return h >= 64; });
    }

private:
    std::string name_;
    pid_t pid_ = 0;
    Display* display_ = nullptr;
};

XServer& Server()
{
    static XServer server;
    return server;
}

std::vector<std::string> PlayerEnv()
{
    return {"DISPLAY=" + Server().Name(), "QT_QPA_PLATFORM=xcb", "SDL_AUDIODRIVER=dummy"};
}

void End(pid_t pid)
{
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}

void PlayerStartOurs(benchmark::State& state)
{
    const Shows& shows = MakeShows();
    if (!Server().Connection()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    for (auto _ : state) {
        const auto start = Clock::now();
        const pid_t pid = Spawn({ROLLAVIN_PROGRAM, shows.First}, PlayerEnv());
        bool shown = false;
        while (!shown && Clock::now() - start < std::chrono::seconds(60)) {
            shown = Server().ShowsPicture();
            if (!shown)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto stop = Clock::now();
        End(pid);
        if (!shown) {
            state.SkipWithError("the first slide never appeared");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        // The root window must be clear again before the next start.
        while (Server().ShowsPicture())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void PlayerStartReference(benchmark::State& state)
{
    const Shows& shows = MakeShows();
    for (auto _ : state) {
        const auto start = Clock::now();
        const pid_t pid = Spawn({"djpeg", "-scale", "1/2", "-outfile", "/dev/null", shows.Picture}, {});
        ::waitpid(pid, nullptr, 0);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
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
        const pid_t pid = Spawn({ROLLAVIN_PROGRAM, shows.Ten}, PlayerEnv());
        int status = 0;
        rusage usage{};
        ::wait4(pid, &status, 0, &usage);
        peakKb = usage.ru_maxrss;
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    const double mb = 1024.0 * 1024.0;
    const double budget = (3.0 * PictureWidth * PictureHeight + 3.0 * 3.0 * ScreenWidth * ScreenHeight) / mb;
    const double peak = static_cast<double>(peakKb) * 1024.0 / mb;
    std::printf("player_peak_memory ours=%.1fMB reference=%.1fMB ratio=%.2f\n", peak, budget, budget / peak);
}

} // namespace

BENCHMARK(PlayerStartOurs)->Name("player_start_24mp/ours")->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(PlayerStartReference)
    ->Name("player_start_24mp/reference")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PlayerPeakMemory)->Name("player_peak_memory")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

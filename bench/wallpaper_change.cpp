// wallpaper_change: one wallpaper change of a 24-megapixel JPEG for a
// 1920 x 1080 screen (load, draw at screen size, write the BMP, set it
// through GSettings' keyfile backend) against ImageMagick's
// `convert -resize 1920x1080` of the same picture to a BMP on one thread
// (goal: ratio >= 1).
// wallpaper_idle_cpu: the running wallpaper program's processor time
// between two changes, against 0.5 % of that wall time (goal: ratio >= 1;
// the process clock counts in ticks of 10 ms, so "ours" below one tick
// shows as 1 us).
#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/ui/DesktopWallpaper.h"
#include "player/WinBackground.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/XvfbSession.h"

namespace fs = std::filesystem;

namespace {

constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;

struct Files {
    fs::path Folder = fs::temp_directory_path() / ("bench_wallpaper_" + std::to_string(::getpid()));
    std::string Photo;
    Files()
    {
        fs::create_directories(Folder);
        Photo = (Folder / "Foto.jpg").string();
        // 6000 x 4000 from ImageMagick's fractal noise: a photo's detail.
        const std::string command = "convert -size 6000x4000 plasma:fractal -seed 3 -quality 90 '" + Photo + "'";
        if (std::system(command.c_str()) != 0)
            Photo.clear();
        // The desktop's settings go to a keyfile in a private config folder.
        ::setenv("GSETTINGS_BACKEND", "keyfile", 1);
        ::setenv("XDG_CONFIG_HOME", (Folder / "config").c_str(), 1);
        ::setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
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

void ChangeOurs(benchmark::State& state)
{
    const Files& files = TheFiles();
    if (files.Photo.empty()) {
        state.SkipWithError("convert could not make the picture");
        return;
    }
    TPicInfoObject entry;
    entry.FileName = files.Photo;
    entry.Stretch = true;
    entry.Proportions = true;
    entry.Center = true;
    for (auto _ : state) {
        const std::string target = ui::NextWallpaperFile(files.Folder.string(), "Hintergrund.bmp");
        if (!WinBackground::WriteBackground(entry, files.Photo, ScreenWidth, ScreenHeight, target)) {
            state.SkipWithError("the picture did not load");
            return;
        }
        if (!ui::SetDesktopWallpaper({target, ui::TWallpaperStyle::Stretched, true})) {
            state.SkipWithError("the wallpaper was not set");
            return;
        }
    }
}

void ChangeReference(benchmark::State& state)
{
    const Files& files = TheFiles();
    if (files.Photo.empty()) {
        state.SkipWithError("convert could not make the picture");
        return;
    }
    // ImageMagick itself, not a wrapper that may stand first on the path.
    const std::string convert = fs::exists("/usr/bin/convert") ? "/usr/bin/convert" : "convert";
    const std::string command = "MAGICK_THREAD_LIMIT=1 " + convert + " '" + files.Photo + "' -resize " +
        std::to_string(ScreenWidth) + "x" + std::to_string(ScreenHeight) + " '" +
        (files.Folder / "magick.bmp").string() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("convert failed");
            return;
        }
    }
}

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

constexpr double IdleSeconds = 5.0;

// The program with a show of one picture and a change every minute; the
// settings are written the way the program reads them.
void IdleCpuOurs(benchmark::State& state)
{
    const Files& files = TheFiles();
    const fs::path home = files.Folder / "program";
    fs::create_directories(home / "config" / "vistelo");
    fs::permissions(home, fs::perms::owner_all); // a runtime folder is the user's alone
    {
        TBitmap bitmap(64, 48, pf24bit);
        bitmap.SaveToFile((home / "Bild.bmp").string());
        TConfigVistelo show;
        TPicInfoObject entry;
        entry.FileName = "Bild.bmp";
        show.AddDia(entry);
        show.SaveToFile((home / "Bild.vsf").string());
        std::ofstream(home / "config" / "vistelo" / "Wallpaper.ini")
            << "[Wallpaper-Vistelo]\r\nUserInterval=60000\r\nVisteloFilename=" << (home / "Bild.vsf").string()
            << "\r\n";
    }
    const std::vector<std::string> env{"XDG_CONFIG_HOME=" + (home / "config").string(),
                                       "XDG_DATA_HOME=" + (home / "data").string(), "XDG_RUNTIME_DIR=" + home.string(),
                                       "QT_QPA_PLATFORM=offscreen"};
    for (auto _ : state) {
        xvfb::TChildProcess program({WALLPAPER_PROGRAM}, env);
        // Start-up and the show's load, then the quiet minute.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        if (!program.Running()) {
            state.SkipWithError("the wallpaper program did not run");
            return;
        }
        const double before = ProcessorSeconds(program.Id());
        std::this_thread::sleep_for(std::chrono::duration<double>(IdleSeconds));
        const double used = ProcessorSeconds(program.Id()) - before;
        state.SetIterationTime(used > 0 ? used : 1e-6);
    }
}

void IdleCpuReference(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(0.005 * IdleSeconds);
}

} // namespace

BENCHMARK(ChangeOurs)->Name("wallpaper_change/ours")->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(ChangeReference)->Name("wallpaper_change/reference")->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(IdleCpuOurs)->Name("wallpaper_idle_cpu/ours")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(IdleCpuReference)
    ->Name("wallpaper_idle_cpu/reference")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

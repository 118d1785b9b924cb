// The stand-alone player for real: under a private Xvfb server Rollavin plays
// a show whose first slide is a known pattern of four colour quadrants, and a
// screenshot of the root window must show it. Skipped only where Xvfb is not
// installed.

#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;

bool OnPath(const std::string& program)
{
    std::stringstream folders(std::getenv("PATH") ? std::getenv("PATH") : "");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
    return false;
}

// A started program, ended (and reaped) when the object goes.
class Process {
public:
    Process(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv)
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
        if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
            pid_ = 0;
    }
    ~Process() { Stop(); }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return pid_ != 0; }
    bool Running()
    {
        if (!pid_)
            return false;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = 0;
            return false;
        }
        return true;
    }
    void Stop()
    {
        if (!Running())
            return;
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 50 && Running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (Running()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
    }

private:
    pid_t pid_ = 0;
};

// Runs a program to its end; true when it exited with 0.
bool RunToEnd(const std::vector<std::string>& args, const std::vector<std::string>& env)
{
    Process p(args, env);
    if (!p.Started())
        return false;
    for (int i = 0; i < 300 && p.Running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return !p.Running();
}

// A P6 picture read back: width, height and RGB bytes.
struct Screenshot {
    int Width = 0;
    int Height = 0;
    std::vector<unsigned char> Pixels;
    std::array<int, 3> At(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * Width + x) * 3;
        return {Pixels[i], Pixels[i + 1], Pixels[i + 2]};
    }
};

bool ReadPpm(const std::string& file, Screenshot& shot)
{
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int maxval = 0;
    if (!(in >> magic >> shot.Width >> shot.Height >> maxval) || magic != "P6" || maxval != 255)
        return false;
    in.get();
    shot.Pixels.resize(static_cast<std::size_t>(shot.Width) * shot.Height * 3);
    in.read(reinterpret_cast<char*>(shot.Pixels.data()), static_cast<std::streamsize>(shot.Pixels.size()));
    return static_cast<bool>(in);
}

bool Near(const std::array<int, 3>& got, const std::array<int, 3>& want)
{
    for (int i = 0; i < 3; ++i)
        if (std::abs(got[i] - want[i]) > 40)
            return false;
    return true;
}

// The first display number without a server.
int FreeDisplay()
{
    for (int n = 91; n < 200; ++n) {
        const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (!fs::exists(lock) && !fs::exists(socket))
            return n;
    }
    return -1;
}

struct Quadrant {
    int X, Y;
    TColor Color;
    std::array<int, 3> Rgb;
};

const Quadrant Quadrants[] = {
    {ScreenWidth / 4, ScreenHeight / 4, RGB(255, 0, 0), {255, 0, 0}},
    {3 * ScreenWidth / 4, ScreenHeight / 4, RGB(0, 255, 0), {0, 255, 0}},
    {ScreenWidth / 4, 3 * ScreenHeight / 4 - 40, RGB(0, 0, 255), {0, 0, 255}},
    {3 * ScreenWidth / 4, 3 * ScreenHeight / 4 - 40, RGB(255, 255, 255), {255, 255, 255}},
};

// The first slide: four quadrants; a second slide in grey never comes within the pause.
void WriteShow(const fs::path& folder)
{
    TBitmap pattern(ScreenWidth, ScreenHeight, pf24bit);
    for (int q = 0; q < 4; ++q) {
        pattern.Canvas().Brush.Color = Quadrants[q].Color;
        const int left = (q % 2) * ScreenWidth / 2;
        const int top = (q / 2) * ScreenHeight / 2;
        pattern.Canvas().FillRect(Rect(left, top, left + ScreenWidth / 2, top + ScreenHeight / 2));
    }
    pattern.SaveToFile((folder / "Muster.bmp").string());

    TConfigVistelo show;
    show.Pause = 600000;
    show.Logo = lNoLogo;
    show.LogoPause = 0;
    show.StartImmediately = true;
    show.EndAction = deAutoRepeat;
    TPicInfoObject entry;
    entry.FileName = "Muster.bmp";
    entry.ShowImage = true;
    entry.ShowComments = false;
    entry.Stretch = true;
    entry.Proportions = true;
    entry.Center = true;
    entry.Blending = 0;
    show.AddDia(entry);
    ASSERT_TRUE(show.SaveToFile((folder / "Muster.vsf").string()));
}

} // namespace

TEST(RollavinOnXvfb, FirstSlideIsOnTheScreen)
{
    if (!OnPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(OnPath("import")) << "the screenshot needs ImageMagick's import";

    const fs::path folder = fs::temp_directory_path() / ("rollavin_xvfb_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    WriteShow(folder);

    const int display = FreeDisplay();
    ASSERT_GE(display, 0);
    const std::string name = ":" + std::to_string(display);
    Process server({"Xvfb", name, "-screen", "0",
                    std::to_string(ScreenWidth) + "x" + std::to_string(ScreenHeight) + "x24", "-nolisten", "tcp"},
                   {});
    ASSERT_TRUE(server.Started());
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(display);
    for (int i = 0; i < 200 && !fs::exists(socket) && server.Running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(fs::exists(socket)) << "Xvfb did not start on " << name;

    const std::vector<std::string> env{"DISPLAY=" + name, "QT_QPA_PLATFORM=xcb", "SDL_AUDIODRIVER=dummy",
                                       "ASAN_OPTIONS=detect_leaks=0"};
    Process player({ROLLAVIN_PROGRAM, (folder / "Muster.vsf").string()}, env);
    ASSERT_TRUE(player.Started());

    // The player (under the sanitizers) may take a while to bring the slide up.
    const std::string shotFile = (folder / "shot.ppm").string();
    bool seen = false;
    Screenshot shot;
    for (int attempt = 0; attempt < 60 && !seen && player.Running(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const std::vector<std::string> grab{"import", "-display", name, "-window", "root", "-depth", "8", shotFile};
        if (!RunToEnd(grab, {}) || !ReadPpm(shotFile, shot))
            continue;
        seen = shot.Width == ScreenWidth && shot.Height == ScreenHeight;
        for (const Quadrant& q : Quadrants)
            seen = seen && Near(shot.At(q.X, q.Y), q.Rgb);
    }
    EXPECT_TRUE(player.Running()) << "Rollavin ended before its slide was seen";
    EXPECT_TRUE(seen) << "the first slide's quadrants are not on the screen";
    if (!seen && fs::exists(shotFile)) {
        // Kept for a look at what was on the screen instead.
        const fs::path kept = fs::temp_directory_path() / "rollavin_xvfb_last.ppm";
        fs::copy_file(shotFile, kept, fs::copy_options::overwrite_existing);
        ADD_FAILURE() << "last screenshot: " << kept.string();
    }
    player.Stop();
    server.Stop();
    fs::remove_all(folder);
}

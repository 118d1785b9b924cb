// A CD folder for real: the compilation assistant makes the folder of a
// two-picture show from the program folder of this build; the CD start
// program started in that folder starts the player copied there, which
// plays the show on a private Xvfb server. A screenshot must show the first
// picture, and the player must run from the folder with the libraries it
// brought. Skipped only where Xvfb is not installed.

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "editor/app/PicInfoUnit.h"
#include "tests/support/QuadrantPattern.h"

// Last: Xlib defines macros such as Bool and None.
#include "tests/support/XvfbSession.h"

// CDAssistentTest.cpp: the assistant's window makes the folder.
std::vector<std::string> MakeCDFolderWithTheAssistant(TVistelo& Show, const std::string& ShowFile,
                                                      const std::string& Home, const std::string& Target);

namespace {

namespace fs = std::filesystem;

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

// The processes whose program is that file.
std::vector<pid_t> ProcessesOf(const std::string& program)
{
    std::vector<pid_t> found;
    std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
    while (dirent* entry = proc ? ::readdir(proc.get()) : nullptr) {
        const std::string name = entry->d_name;
        if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit))
            continue;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(("/proc/" + name + "/exe").c_str(), target, sizeof target - 1);
        if (length > 0 && std::string(target, static_cast<size_t>(length)) == program)
            found.push_back(static_cast<pid_t>(std::stoi(name)));
    }
    return found;
}

// The files a process has mapped (its program and libraries).
std::set<std::string> MappedFiles(pid_t process)
{
    std::set<std::string> files;
    std::ifstream maps("/proc/" + std::to_string(process) + "/maps");
    for (std::string line; std::getline(maps, line);)
        if (const auto slash = line.find('/'); slash != std::string::npos)
            files.insert(line.substr(slash));
    return files;
}

bool Inside(const std::string& file, const std::string& folder) { return file.rfind(folder + "/", 0) == 0; }

} // namespace

TEST(CDFolderOnXvfb, TheStartProgramInTheFolderPlaysTheShow)
{
    if (!xvfb::OnPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    const fs::path work = fs::temp_directory_path() / ("vistelo_cd_xvfb_" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work / "show");
    fs::create_directories(work / "cd");

    // The show: the quadrant pattern first, a grey picture second.
    pattern::WriteQuadrantPicture((work / "show" / "Muster.bmp").string(), ScreenWidth, ScreenHeight);
    TBitmap grey(64, 48, pf24bit);
    grey.Canvas().Brush.Color = RGB(128, 128, 128);
    grey.Canvas().FillRect(Rect(0, 0, 64, 48));
    grey.SaveToFile((work / "show" / "Grau.bmp").string());
    TConfigVistelo show;
    pattern::MakeOneSlideShow(show, (work / "show" / "Muster.bmp").string());
    TPicInfoObject second;
    second.Assign(show.GetPicInfo(0));
    second.FileName = (work / "show" / "Grau.bmp").string();
    show.AddDia(second);

    const std::vector<std::string> told = MakeCDFolderWithTheAssistant(
        show, (work / "show" / "Zwei Bilder.vsf").string(), std::string(VISTELO_BIN_DIR_PATH) + "/",
        (work / "cd").string());
    ASSERT_FALSE(told.empty());
    ASSERT_NE(told.back().find("wurde erfolgreich abgeschlossen"), std::string::npos) << told.back();

    const xvfb::TPrivateServer server(ScreenWidth, ScreenHeight, 211);
    ASSERT_NE(server.Connection(), nullptr) << "Xvfb did not start";
    std::vector<std::string> env = server.ClientEnv();
    env.push_back("ASAN_OPTIONS=detect_leaks=0");
    const std::string player = (work / "cd" / "Player" / "Rollavin").string();
    {
        xvfb::TChildProcess start({(work / "cd" / "Autovane").string()}, env);
        ASSERT_TRUE(start.Started());
        for (int i = 0; i < 100 && start.Running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_FALSE(start.Running()) << "the start program hands over and ends";
    }

    const auto quadrants = pattern::Quadrants(ScreenWidth, ScreenHeight);
    bool seen = false;
    xvfb::TScreenshot shot;
    std::vector<pid_t> players;
    const auto begin = std::chrono::steady_clock::now();
    while (!seen && std::chrono::steady_clock::now() - begin < std::chrono::seconds(60)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        players = ProcessesOf(player);
        if (players.empty() || !server.Grab(shot))
            continue;
        seen = std::all_of(quadrants.begin(), quadrants.end(),
                           [&](const pattern::TQuadrant& q) { return xvfb::NearColour(shot.At(q.X, q.Y), q.Rgb); });
    }
    ASSERT_EQ(players.size(), 1u) << "the player of the CD folder runs";
    EXPECT_TRUE(seen) << "the show's first picture is not on the screen";
    // Everything of this system that the player runs comes from the folder:
    // nothing is fetched from the program folder it was made from.
    const std::set<std::string> mapped = MappedFiles(players[0]);
    const std::string cdPlayer = (work / "cd" / "Player").string();
    for (const char* file : {"Rollavin", "libKestrun.so", "libplatform_ui.so", "Player.so"})
        EXPECT_EQ(mapped.count(cdPlayer + "/" + file), 1u) << file << " comes from the CD folder";
    for (const std::string& file : mapped)
        EXPECT_FALSE(Inside(file, VISTELO_BIN_DIR_PATH)) << file << " is not in the CD folder's set";
    for (pid_t process : players)
        ::kill(process, SIGTERM);
    for (int i = 0; i < 50 && !ProcessesOf(player).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (pid_t process : ProcessesOf(player))
        ::kill(process, SIGKILL);
    fs::remove_all(work);
}

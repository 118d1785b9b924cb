// The screen stays on while Rollavin plays: on a private Xvfb server whose
// screen saver starts after one idle second, the saver stays off while the
// playback window is up, and starts once the player has gone. Skipped only
// where Xvfb is not installed.

#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib defines macros such as Bool and None.
#include "tests/support/XvfbSession.h"

#include <X11/extensions/scrnsaver.h>

namespace fs = std::filesystem;

namespace {

// A show of one grey slide that stays for ten minutes.
std::string WriteShow(const fs::path& folder)
{
    TBitmap grey(64, 48, pf24bit);
    grey.Canvas().Brush.Color = RGB(128, 128, 128);
    grey.Canvas().FillRect(Rect(0, 0, 64, 48));
    grey.SaveToFile((folder / "Grau.bmp").string());
    TConfigVistelo show;
    show.Pause = 600000;
    show.Logo = lNoLogo;
    show.LogoPause = 0;
    show.StartImmediately = true;
    TPicInfoObject entry;
    entry.FileName = "Grau.bmp";
    entry.ShowImage = true;
    entry.ShowComments = false;
    entry.Blending = 0;
    show.AddDia(entry);
    const std::string path = (folder / "Grau.vsf").string();
    EXPECT_TRUE(show.SaveToFile(path));
    return path;
}

// The state of the server's screen saver (ScreenSaverOn, Off or Disabled).
int SaverState(Display* display)
{
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    XScreenSaverQueryInfo(display, DefaultRootWindow(display), info);
    const int state = info->state;
    XFree(info);
    return state;
}

// Waits for the saver to reach a state; true when it did within the time.
bool SaverReaches(Display* display, int state, std::chrono::seconds within)
{
    const auto until = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < until) {
        if (SaverState(display) == state)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return SaverState(display) == state;
}

} // namespace

TEST(KeepAwakeOnXvfb, TheScreenSaverWaitsWhilePlaybackRuns)
{
    if (!xvfb::OnPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    const fs::path folder = fs::temp_directory_path() / ("keepawake_xvfb_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string show = WriteShow(folder);

    const xvfb::TPrivateServer server(640, 480, 121);
    Display* display = server.Connection();
    ASSERT_NE(display, nullptr) << "Xvfb did not start";
    int eventBase = 0;
    int errorBase = 0;
    if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase))
        GTEST_SKIP() << "the X server has no screen-saver extension";
    XSetScreenSaver(display, 1, 0, DefaultBlanking, DefaultExposures);
    XForceScreenSaver(display, ScreenSaverReset);
    XSync(display, False);

    std::vector<std::string> env = server.ClientEnv();
    env.push_back("ASAN_OPTIONS=detect_leaks=0");
    env.push_back("DBUS_SESSION_BUS_ADDRESS=");
    {
        xvfb::TChildProcess player({ROLLAVIN_PROGRAM, show}, env);
        ASSERT_TRUE(player.Started());
        // The player (under the sanitizers) may take a while to bring its window up.
        const auto start = std::chrono::steady_clock::now();
        while (player.Running() && server.ShownWindows().empty() &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(30))
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ASSERT_FALSE(server.ShownWindows().empty()) << "no playback window came up";
        XForceScreenSaver(display, ScreenSaverReset);
        XSync(display, False);
        EXPECT_FALSE(SaverReaches(display, ScreenSaverOn, std::chrono::seconds(3)))
            << "the screen saver started during playback";
        EXPECT_TRUE(player.Running());
        player.Stop();
    }
    // Without the player the same server starts its saver: the check above could fail.
    XForceScreenSaver(display, ScreenSaverReset);
    XSync(display, False);
    EXPECT_TRUE(SaverReaches(display, ScreenSaverOn, std::chrono::seconds(5)));
    fs::remove_all(folder);
}

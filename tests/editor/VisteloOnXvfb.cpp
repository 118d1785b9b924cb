// The editor for real, under a private Xvfb server without a window manager:
// it opens the show named on its command line, Ctrl+S saves it and the saved
// file reads back field for field as before; Ctrl+W plays it and a
// screenshot shows the first slide, a known pattern of four colour quadrants.
// Skipped only where Xvfb is not installed.

#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "tests/editor/NoTipsAtStart.h"
#include "tests/support/QuadrantPattern.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

// Last: Xlib defines macros such as Bool and None.
#include "tests/editor/EditorOnXvfb.h"
#include "tests/support/XvfbSession.h"

#include <X11/keysym.h>

namespace fs = std::filesystem;

using namespace editor_xvfb;

namespace {

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;

const auto Quadrants = pattern::Quadrants(ScreenWidth, ScreenHeight);

// A show of two slides, the first the quadrant pattern, with settings away
// from their defaults so that the read-back compares something.
void WriteShow(const fs::path& folder)
{
    pattern::WriteQuadrantPicture((folder / "Muster.bmp").string(), ScreenWidth, ScreenHeight);

    TConfigVistelo show;
    pattern::MakeOneSlideShow(show, "Muster.bmp");
    show.InfoTitle = "Prüfung";
    show.AboutText = "Über diese Vistelo";
    show.GetPicInfo(0)->Keywords = "Muster";
    TPicInfoObject second;
    second.FileName = "Zweites.bmp";
    second.ShowImage = false;
    second.Comments = "Ein Kommentar";
    second.Pause = 1234;
    show.AddDia(second);
    ASSERT_TRUE(show.SaveToFile((folder / "Muster.vsf").string()));
}

} // namespace

TEST(VisteloOnXvfb, SavesTheOpenShowAndPlaysIt)
{
    if (!xvfb::OnPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";

    const fs::path folder = fs::temp_directory_path() / ("vistelo_xvfb_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    WriteShow(folder);
    const fs::path show = folder / "Muster.vsf";
    const std::string before = ShowDump(show);
    ASSERT_NE(before.find("\"result\""), std::string::npos) << before;
    const ino_t written = Inode(show);

    const xvfb::TPrivateServer server(ScreenWidth, ScreenHeight, 121);
    ASSERT_NE(server.Connection(), nullptr) << "Xvfb did not start";
    Display* display = server.Connection();
    const fs::path program = OwnProgramFolder(folder);
    xvfb::TChildProcess editor({program.string(), show.string()}, EditorEnv(server.ClientEnv(), folder));
    ASSERT_TRUE(editor.Started());

    // The caption names the show once the start step has opened it.
    const Window window = WaitForWindow(display, "Vistelo [Muster.vsf]");
    ASSERT_NE(window, Window{0}) << "the editor did not show the opened show";

    EXPECT_TRUE(SavedByCtrlS(display, window, show, written)) << "Ctrl+S did not save the show";
    // The save is a rename of a complete file, so it reads back whole.
    EXPECT_EQ(ShowDump(show), before);

    xvfb::TScreenshot shot;
    int tries = 0;
    const bool seen = WaitFor(
        [&] {
            if (server.Grab(shot) && std::all_of(std::begin(Quadrants), std::end(Quadrants), [&](const pattern::TQuadrant& q) {
                    return xvfb::NearColour(shot.At(q.X, q.Y), q.Rgb);
                }))
                return true;
            // While the show plays the editor's window takes no keys.
            if (tries++ % 10 == 0)
                SendCtrlKey(display, window, XK_w);
            return false;
        },
        std::chrono::seconds(60));
    EXPECT_TRUE(seen) << "the first slide's quadrants are not on the screen";
    EXPECT_TRUE(editor.Running()) << "the editor ended while playing";
    editor.Stop();
    EXPECT_TRUE(fs::is_regular_file(program.parent_path() / "Rollavin.ini"))
        << "playing writes the player's ini into the editor's own folder";
    fs::remove_all(folder);
}

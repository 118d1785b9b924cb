// The editor for real, under a private Xvfb server without a window manager:
// it opens the show named on its command line, Ctrl+S saves it and the saved
// file reads back field for field as before; Ctrl+W plays it and a
// screenshot shows the first slide, a known pattern of four colour quadrants.
// Skipped only where Xvfb is not installed.

#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
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
#include <vector>

// Last: Xlib defines macros such as Bool and None.
#include "tests/support/XvfbSession.h"

#include <X11/keysym.h>

namespace fs = std::filesystem;

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

std::string ShowDump(const fs::path& file)
{
    std::string out;
    const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 ") + VISTELO_SHOWDUMP + " '" + file.string() +
        "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

// The top-level window whose title holds the text (0: none yet).
Window FindWindow(Display* display, const std::string& title)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    for (unsigned i = 0; i < count && !found; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], netName, 0, 1024, False, utf8, &type, &format, &items, &after,
                               &data) == Success &&
            data) {
            if (std::string(reinterpret_cast<char*>(data), items).find(title) != std::string::npos)
                found = children[i];
            XFree(data);
        }
    }
    if (children)
        XFree(children);
    return found;
}

// A key with Ctrl held, as the keyboard would send it to the window.
void SendCtrlKey(Display* display, Window window, KeySym key)
{
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    for (int type : {KeyPress, KeyRelease}) {
        XKeyEvent event{};
        event.type = type;
        event.display = display;
        event.window = window;
        event.root = DefaultRootWindow(display);
        event.subwindow = 0;
        event.time = CurrentTime;
        event.x = event.y = event.x_root = event.y_root = 1;
        event.same_screen = True;
        event.state = ControlMask;
        event.keycode = XKeysymToKeycode(display, key);
        XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
                   reinterpret_cast<XEvent*>(&event));
    }
    XFlush(display);
}

// Waits up to the time for the condition, checking every 200 ms.
bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit)
{
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < limit) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return condition();
}

// A program folder of the test's own: the editor's home folder is its
// program's folder, and it writes the player's ini there. The program is
// linked in (copied where linking fails); everything else beside it,
// libraries and the player package among them, is reached through links.
fs::path OwnProgramFolder(const fs::path& folder)
{
    const fs::path program(VISTELO_PROGRAM);
    const fs::path home = folder / "program";
    fs::create_directories(home);
    std::error_code linkFailed;
    fs::create_hard_link(program, home / program.filename(), linkFailed);
    if (linkFailed)
        fs::copy_file(program, home / program.filename());
    for (const fs::directory_entry& entry : fs::directory_iterator(program.parent_path())) {
        const fs::path name = entry.path().filename();
        if (name != program.filename() && name != "Rollavin.ini")
            fs::create_symlink(entry.path(), home / name);
    }
    return home / program.filename();
}

ino_t Inode(const fs::path& file)
{
    struct stat info { };
    return ::stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
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
    std::vector<std::string> env = server.ClientEnv();
    env.push_back("ASAN_OPTIONS=detect_leaks=0");
    env.push_back("VISTELO_REGISTRY=" + (folder / "registry.reg").string());
    env.push_back("XDG_DATA_HOME=" + (folder / "data").string());
    const fs::path program = OwnProgramFolder(folder);
    xvfb::TChildProcess editor({program.string(), show.string()}, env);
    ASSERT_TRUE(editor.Started());

    // The caption names the show once the start step has opened it.
    Window window = 0;
    ASSERT_TRUE(
        WaitFor([&] { return (window = FindWindow(display, "Vistelo [Muster.vsf]")) != 0; }, std::chrono::seconds(60)))
        << "the editor did not show the opened show";

    // The key is sent again until it takes: the start step's logo window
    // may still be up and take the first key itself.
    int tries = 0;
    const bool saved = WaitFor(
        [&] {
            if (Inode(show) != written && Inode(show) != 0)
                return true;
            if (tries++ % 5 == 0)
                SendCtrlKey(display, window, XK_s);
            return false;
        },
        std::chrono::seconds(40));
    EXPECT_TRUE(saved) << "Ctrl+S did not save the show";
    // The save is a rename of a complete file, so it reads back whole.
    EXPECT_EQ(ShowDump(show), before);

    xvfb::TScreenshot shot;
    tries = 0;
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

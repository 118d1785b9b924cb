// The screen saver for real, started through its launcher the way an X11
// screen-saver daemon starts it, on a private Xvfb server without a window
// manager: the run shows the configured show's first slide and ends on input
// as its rules say; the preview lives inside a window the test made and ends
// cleanly when that window goes. Skipped only where Xvfb is not installed.

#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "rtl/StorageTestSupport.h"
#include "screensaver/ScreenSaverSetup.h"
#include "tests/support/QuadrantPattern.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib defines macros such as Bool and None.
#include "tests/support/XvfbSession.h"

#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

namespace {

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;
using Clock = std::chrono::steady_clock;


// Waits up to the time for the condition, checking every 100 ms.
bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit)
{
    const auto start = Clock::now();
    while (Clock::now() - start < limit) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return condition();
}

class SaverOnXvfb : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!xvfb::OnPath("Xvfb"))
            GTEST_SKIP() << "Xvfb is not installed";
        hive_ = temp_.File("hive.reg");
        ::setenv("VISTELO_REGISTRY", hive_.c_str(), 1);
        WriteShow();
        ScreenSaverSetup::Filename = temp_.File("Muster.vsf");
        ScreenSaverSetup::Mute = true;
        ScreenSaverSetup::IgnoreOtherApplications = false;
        ScreenSaverSetup::WriteScreenSaverSettings();
        ::unsetenv("VISTELO_REGISTRY");
    }

    // One slide: the left half red, the right half blue.
    void WriteShow()
    {
        TBitmap picture(ScreenWidth, ScreenHeight, pf24bit);
        picture.Canvas().Brush.Color = RGB(255, 0, 0);
        picture.Canvas().FillRect(Rect(0, 0, ScreenWidth / 2, ScreenHeight));
        picture.Canvas().Brush.Color = RGB(0, 0, 255);
        picture.Canvas().FillRect(Rect(ScreenWidth / 2, 0, ScreenWidth, ScreenHeight));
        picture.SaveToFile(temp_.File("Muster.bmp"));
        TConfigVistelo show;
        pattern::MakeOneSlideShow(show, "Muster.bmp");
        ASSERT_TRUE(show.SaveToFile(temp_.File("Muster.vsf")));
    }

    std::unique_ptr<xvfb::TChildProcess> StartSaver(const xvfb::TPrivateServer& server,
                                                    const std::vector<std::string>& args)
    {
        std::vector<std::string> env = server.ClientEnv();
        env.push_back("ASAN_OPTIONS=detect_leaks=0");
        env.push_back("VISTELO_REGISTRY=" + hive_);
        std::vector<std::string> command{SLUMBRIX_LAUNCHER};
        command.insert(command.end(), args.begin(), args.end());
        return std::make_unique<xvfb::TChildProcess>(command, env);
    }

    // The slide on the whole screen: red left, blue right.
    static bool SlideShown(const xvfb::TPrivateServer& server)
    {
        xvfb::TScreenshot shot;
        return server.Grab(shot) && xvfb::NearColour(shot.At(ScreenWidth / 4, ScreenHeight / 2), {255, 0, 0}) &&
            xvfb::NearColour(shot.At(3 * ScreenWidth / 4, ScreenHeight / 2), {0, 0, 255}) &&
            xvfb::NearColour(shot.At(ScreenWidth / 4, 10), {255, 0, 0}) &&
            xvfb::NearColour(shot.At(3 * ScreenWidth / 4, ScreenHeight - 10), {0, 0, 255});
    }

    static void MovePointer(Display* display, int x, int y)
    {
        XWarpPointer(display, 0, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
        XFlush(display);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }

    // A key pressed and let go in the top window, as the server delivers it.
    static void PressKey(Display* display)
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        const Window top = count ? children[count - 1] : DefaultRootWindow(display);
        if (children)
            XFree(children);
        for (const int type : {KeyPress, KeyRelease}) {
            XKeyEvent key{};
            key.type = type;
            key.display = display;
            key.window = top;
            key.root = DefaultRootWindow(display);
            key.time = CurrentTime;
            key.x = key.y = key.x_root = key.y_root = 1;
            key.keycode = XKeysymToKeycode(display, XK_a);
            key.same_screen = True;
            XSendEvent(display, top, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
                       reinterpret_cast<XEvent*>(&key));
        }
        XFlush(display);
    }

    // The pointer's picture has not one visible pixel.
    static bool PointerHidden(Display* display)
    {
        XFixesCursorImage* image = XFixesGetCursorImage(display);
        if (!image)
            return false;
        bool hidden = true;
        for (unsigned long i = 0; i < static_cast<unsigned long>(image->width) * image->height; ++i)
            hidden = hidden && (image->pixels[i] >> 24) == 0;
        XFree(image);
        return hidden;
    }

    TempFolder temp_;
    std::string hive_;
};

TEST_F(SaverOnXvfb, TheRunShowsTheFirstSlideAndSurvivesAFivePixelMoveButNotSix)
{
    const xvfb::TPrivateServer server(ScreenWidth, ScreenHeight, 171);
    ASSERT_NE(server.Connection(), nullptr) << "Xvfb did not start";
    MovePointer(server.Connection(), 300, 200);
    auto saver = StartSaver(server, {"-root"});
    ASSERT_TRUE(saver->Started());
    EXPECT_TRUE(WaitFor([&] { return SlideShown(server) || !saver->Running(); }, std::chrono::seconds(60)));
    ASSERT_TRUE(saver->Running()) << "the saver ended before its slide was seen";
    EXPECT_TRUE(SlideShown(server)) << "the first slide is not on the screen";
    // Full screen without a window manager to make it so, and no pointer on it.
    const std::vector<xvfb::TWindowBox> windows = server.ShownWindows();
    EXPECT_TRUE(std::find(windows.begin(), windows.end(), xvfb::TWindowBox{0, 0, ScreenWidth, ScreenHeight}) !=
                windows.end())
        << "no window covers the screen";
    EXPECT_TRUE(PointerHidden(server.Connection()));

    // The first position seen is the origin; five pixels from it are allowed.
    MovePointer(server.Connection(), 301, 200);
    MovePointer(server.Connection(), 306, 200);
    MovePointer(server.Connection(), 301, 205);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(saver->Running()) << "a move within five pixels ended the saver";
    MovePointer(server.Connection(), 307, 200);
    EXPECT_TRUE(WaitFor([&] { return !saver->Running(); }, std::chrono::seconds(10)))
        << "a move of six pixels did not end the saver";
    EXPECT_TRUE(saver->ExitedCleanly());
}

TEST_F(SaverOnXvfb, AKeyEndsTheRun)
{
    const xvfb::TPrivateServer server(ScreenWidth, ScreenHeight, 181);
    ASSERT_NE(server.Connection(), nullptr) << "Xvfb did not start";
    auto saver = StartSaver(server, {"/s"});
    ASSERT_TRUE(saver->Started());
    EXPECT_TRUE(WaitFor([&] { return SlideShown(server) || !saver->Running(); }, std::chrono::seconds(60)));
    ASSERT_TRUE(saver->Running());
    PressKey(server.Connection());
    EXPECT_TRUE(WaitFor([&] { return !saver->Running(); }, std::chrono::seconds(10))) << "a key did not end the saver";
    EXPECT_TRUE(saver->ExitedCleanly());
}

// Another program's window taking the focus ends the run, unless other
// applications are to be ignored.
TEST_F(SaverOnXvfb, AnotherWindowTakingTheFocusEndsTheRunUnlessIgnored)
{
    for (const bool ignore : {false, true}) {
        SCOPED_TRACE(ignore ? "ignored" : "not ignored");
        ::setenv("VISTELO_REGISTRY", hive_.c_str(), 1);
        ScreenSaverSetup::IgnoreOtherApplications = ignore;
        ScreenSaverSetup::WriteScreenSaverSettings();
        ::unsetenv("VISTELO_REGISTRY");
        const xvfb::TPrivateServer server(ScreenWidth, ScreenHeight, 201);
        Display* display = server.Connection();
        ASSERT_NE(display, nullptr) << "Xvfb did not start";
        auto saver = StartSaver(server, {"/s"});
        ASSERT_TRUE(saver->Started());
        EXPECT_TRUE(WaitFor([&] { return SlideShown(server) || !saver->Running(); }, std::chrono::seconds(60)));
        ASSERT_TRUE(saver->Running());
        // The saver's window has the focus once it is up.
        Window focus = 0;
        int revert = 0;
        ASSERT_TRUE(WaitFor(
            [&] {
                XGetInputFocus(display, &focus, &revert);
                return focus > PointerRoot;
            },
            std::chrono::seconds(10)));
        const Window other = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 50, 50, 0, 0, 0);
        XMapWindow(display, other);
        XSync(display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        XSetInputFocus(display, other, RevertToParent, CurrentTime);
        XSync(display, False);
        EXPECT_EQ(WaitFor([&] { return !saver->Running(); }, std::chrono::seconds(ignore ? 3 : 10)), !ignore);
        XDestroyWindow(display, other);
        XSync(display, False);
    }
}

TEST_F(SaverOnXvfb, ThePreviewLivesInItsHostWindowAndEndsCleanlyWithIt)
{
    const xvfb::TPrivateServer server(ScreenWidth, ScreenHeight, 191);
    Display* display = server.Connection();
    ASSERT_NE(display, nullptr) << "Xvfb did not start";
    const Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 40, 30, 320, 240, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(host));
    auto saver = StartSaver(server, {"-window-id", id});
    ASSERT_TRUE(saver->Started());

    const auto previewShown = [&] {
        xvfb::TScreenshot shot;
        // Inside the host (at 40, 30, 320 x 240): the slide, red left and blue right.
        return server.Grab(shot) && xvfb::NearColour(shot.At(40 + 80, 30 + 120), {255, 0, 0}) &&
            xvfb::NearColour(shot.At(40 + 240, 30 + 120), {0, 0, 255}) && xvfb::NearColour(shot.At(500, 400), {0, 0, 0});
    };
    EXPECT_TRUE(WaitFor([&] { return previewShown() || !saver->Running(); }, std::chrono::seconds(60)));
    ASSERT_TRUE(saver->Running()) << "the preview ended on its own";
    EXPECT_TRUE(previewShown()) << "the slide is not inside the host window";
    // Input to the preview does nothing.
    MovePointer(display, 100, 100);
    MovePointer(display, 200, 200);
    EXPECT_TRUE(saver->Running());

    XDestroyWindow(display, host);
    XSync(display, False);
    EXPECT_TRUE(WaitFor([&] { return !saver->Running(); }, std::chrono::seconds(10)))
        << "the preview outlived its host window";
    EXPECT_TRUE(saver->ExitedCleanly()) << "the preview did not end with exit code 0";
}

} // namespace

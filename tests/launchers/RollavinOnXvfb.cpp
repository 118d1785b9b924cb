// The stand-alone player for real: under a private Xvfb server without a
// window manager, Rollavin plays a show whose first slide is a known pattern of
// four colour quadrants; a screenshot of the root window must show it, and the
// playback window must cover the whole screen. The bundled demo opens with the
// standard logo for its pause, then its first slide. Skipped only where Xvfb is
// not installed.

#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "tests/support/QuadrantPattern.h"
#include "platform/graphics/Jpeg.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib defines macros such as Bool and None.
#include "tests/support/XvfbSession.h"

namespace fs = std::filesystem;

namespace {

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;


const auto Quadrants = pattern::Quadrants(ScreenWidth, ScreenHeight);

// The first slide: four quadrants; a second slide in grey never comes within the pause.
void WriteShow(const fs::path& folder)
{
    pattern::WriteQuadrantPicture((folder / "Muster.bmp").string(), ScreenWidth, ScreenHeight);

    TConfigVistelo show;
    pattern::MakeOneSlideShow(show, "Muster.bmp");
    ASSERT_TRUE(show.SaveToFile((folder / "Muster.vsf").string()));
}

} // namespace

TEST(RollavinOnXvfb, FirstSlideFillsTheScreen)
{
    if (!xvfb::OnPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";

    const fs::path folder = fs::temp_directory_path() / ("rollavin_xvfb_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    WriteShow(folder);

    const xvfb::TPrivateServer server(ScreenWidth, ScreenHeight, 91);
    ASSERT_NE(server.Connection(), nullptr) << "Xvfb did not start";
    std::vector<std::string> env = server.ClientEnv();
    env.push_back("ASAN_OPTIONS=detect_leaks=0");
    xvfb::TChildProcess player({ROLLAVIN_PROGRAM, (folder / "Muster.vsf").string()}, env);
    ASSERT_TRUE(player.Started());

    // The player (under the sanitizers) may take a while to bring the slide up.
    bool seen = false;
    xvfb::TScreenshot shot;
    const auto start = std::chrono::steady_clock::now();
    while (!seen && player.Running() && std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (!server.Grab(shot))
            continue;
        seen = std::all_of(std::begin(Quadrants), std::end(Quadrants),
                           [&](const pattern::TQuadrant& q) { return xvfb::NearColour(shot.At(q.X, q.Y), q.Rgb); });
    }
    EXPECT_TRUE(player.Running()) << "Rollavin ended before its slide was seen";
    EXPECT_TRUE(seen) << "the first slide's quadrants are not on the screen";
    // Without a window manager to maximise it, the window covers the screen itself.
    const std::vector<xvfb::TWindowBox> windows = server.ShownWindows();
    std::string placements;
    for (const xvfb::TWindowBox& w : windows)
        placements += " " + std::to_string(w.Width) + "x" + std::to_string(w.Height) + "+" + std::to_string(w.Left) +
            "+" + std::to_string(w.Top);
    EXPECT_TRUE(std::find(windows.begin(), windows.end(), xvfb::TWindowBox{0, 0, ScreenWidth, ScreenHeight}) !=
                windows.end())
        << "no window covers the screen; shown:" << placements;
    player.Stop();
    fs::remove_all(folder);
}

namespace {

// A picture file decoded as the player decodes it.
std::unique_ptr<TBitmap> Decoded(const std::string& file)
{
    TJPEGImage jpeg;
    jpeg.LoadFromFile(file);
    auto bitmap = std::make_unique<TBitmap>(jpeg.Width(), jpeg.Height(), pf24bit);
    bitmap->Canvas().Draw(0, 0, jpeg);
    return bitmap;
}

// Whether the screen shows picture scaled into the box (left, top, width,
// height): of a grid of points inside it, nearly all match the picture (a
// comment or a scaled edge may cover a few).
bool Shows(const xvfb::TScreenshot& shot, TBitmap& picture, int left, int top, int width, int height)
{
    int matching = 0;
    int points = 0;
    for (int gy = 1; gy < 12; ++gy)
        for (int gx = 1; gx < 12; ++gx) {
            const double u = gx / 12.0;
            const double v = gy / 12.0;
            const TColor want = picture.Canvas().Pixels(static_cast<int>(u * picture.Width()),
                                                        static_cast<int>(v * picture.Height()));
            const std::array<int, 3> got = shot.At(left + static_cast<int>(u * width),
                                                   top + static_cast<int>(v * height));
            ++points;
            if (xvfb::NearColour(got, {GetRValue(want), GetGValue(want), GetBValue(want)}))
                ++matching;
        }
    return matching * 10 >= points * 9;
}

} // namespace

TEST(RollavinOnXvfb, TheDemoOpensWithTheStandardLogoThenItsFirstSlide)
{
    if (!xvfb::OnPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    const std::unique_ptr<TBitmap> logo = Decoded(STANDARD_LOGO);
    const std::unique_ptr<TBitmap> slide = Decoded(DEMO_FIRST_PICTURE);
    // The logo window stands centred at the logo's own size, in a frame of 2.
    const int logoLeft = (ScreenWidth - logo->Width() - 4) / 2 + 2;
    const int logoTop = (ScreenHeight - logo->Height() - 4) / 2 + 2;
    // The slide fills the width above the navigation bar (28), keeping its
    // proportions, centred in the height.
    const int areaHeight = ScreenHeight - 28;
    const int slideHeight = slide->Height() * ScreenWidth / slide->Width();
    const int slideTop = (areaHeight - slideHeight) / 2;

    const xvfb::TPrivateServer server(ScreenWidth, ScreenHeight, 131);
    ASSERT_NE(server.Connection(), nullptr) << "Xvfb did not start";
    std::vector<std::string> env = server.ClientEnv();
    env.push_back("ASAN_OPTIONS=detect_leaks=0");
    xvfb::TChildProcess player({ROLLAVIN_PROGRAM, DEMO_SHOW}, env);
    ASSERT_TRUE(player.Started());

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    Clock::time_point logoSeen{};
    Clock::time_point slideSeen{};
    bool slideBeforeLogo = false;
    xvfb::TScreenshot shot;
    while (slideSeen == Clock::time_point{} && player.Running() && Clock::now() - start < std::chrono::seconds(60)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (!server.Grab(shot))
            continue;
        if (logoSeen == Clock::time_point{} && Shows(shot, *logo, logoLeft, logoTop, logo->Width(), logo->Height()))
            logoSeen = Clock::now();
        if (Shows(shot, *slide, 0, slideTop, ScreenWidth, slideHeight)) {
            slideSeen = Clock::now();
            slideBeforeLogo = logoSeen == Clock::time_point{};
        }
    }
    EXPECT_TRUE(player.Running()) << "Rollavin ended before its first slide was seen";
    ASSERT_NE(logoSeen, Clock::time_point{}) << "the standard logo was not on the screen";
    ASSERT_NE(slideSeen, Clock::time_point{}) << "the first slide was not on the screen";
    EXPECT_FALSE(slideBeforeLogo);
    // The logo stands for its pause of 5 s, not a moment. The pause runs from
    // before its window comes up, which under the sanitizers on a busy machine
    // may take a second or two.
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(slideSeen - logoSeen).count(), 2000);
    player.Stop();
}

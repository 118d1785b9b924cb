// The desktop's wallpaper for real: the file name that alternates, the
// settings written through the keyfile backend of GSettings, and the root
// window's pixmap on a private X server.

#include "platform/ui/DesktopWallpaper.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/ui/RootPixmap.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/XvfbSession.h"

#include <X11/Xatom.h>

namespace fs = std::filesystem;
using ui::TWallpaperRequest;
using ui::TWallpaperStyle;

namespace {

class DesktopWallpaperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("desktopwallpaper_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Bitmap(const std::string& name, int width, int height, TColor colour)
    {
        TBitmap bitmap(width, height, pf24bit);
        bitmap.Canvas().Brush.Color = colour;
        bitmap.Canvas().FillRect(Rect(0, 0, width, height));
        const std::string path = (folder_ / name).string();
        bitmap.SaveToFile(path);
        return path;
    }

    fs::path folder_;
};

TEST_F(DesktopWallpaperTest, TheWallpaperFileAlternatesBetweenTwoNames)
{
    const std::string folder = folder_.string();
    const std::string first = (folder_ / "Hintergrund.bmp").string();
    const std::string second = (folder_ / "Hintergrund 2.bmp").string();
    EXPECT_EQ(ui::NextWallpaperFile(folder, "Hintergrund.bmp"), first) << "nothing written yet";
    std::ofstream(first) << "1";
    EXPECT_EQ(ui::NextWallpaperFile(folder, "Hintergrund.bmp"), second);
    std::ofstream(second) << "2";
    fs::last_write_time(first, fs::last_write_time(second) - std::chrono::seconds(5));
    EXPECT_EQ(ui::NextWallpaperFile(folder, "Hintergrund.bmp"), first) << "the older one is written over";
    fs::last_write_time(second, fs::last_write_time(first) - std::chrono::seconds(5));
    EXPECT_EQ(ui::NextWallpaperFile(folder, "Hintergrund.bmp"), second);
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(DesktopWallpaperTest, GnomeAndBudgieKeepThePictureInTheirSettings)
{
    if (!xvfb::OnPath("gsettings"))
        GTEST_SKIP() << "gsettings is not installed";
    const std::string picture = Bitmap("Bild eins.bmp", 8, 8, RGB(1, 2, 3));
    for (const char* desktop : {"GNOME", "Budgie:GNOME"}) {
        SCOPED_TRACE(desktop);
        const fs::path config = folder_ / desktop;
        const testenv::TScopedVariable backend("GSETTINGS_BACKEND", "keyfile");
        const testenv::TScopedVariable home("XDG_CONFIG_HOME", config.string());
        const testenv::TScopedVariable current("XDG_CURRENT_DESKTOP", desktop);
        ASSERT_TRUE(ui::SetDesktopWallpaper({picture, TWallpaperStyle::Centered, true}));
        const std::string keys = ReadFile(config / "glib-2.0" / "settings" / "keyfile");
        EXPECT_NE(keys.find("[org/gnome/desktop/background]"), std::string::npos) << keys;
        EXPECT_NE(keys.find("picture-uri='" + ui::FileUri(picture) + "'"), std::string::npos) << keys;
        EXPECT_NE(keys.find("picture-options='centered'"), std::string::npos) << keys;
    }
}

TEST_F(DesktopWallpaperTest, ADesktopWithoutItsSettingsRefusesThePicture)
{
    const std::string picture = Bitmap("Bild.bmp", 8, 8, RGB(1, 2, 3));
    const testenv::TScopedVariable backend("GSETTINGS_BACKEND", "keyfile");
    const testenv::TScopedVariable home("XDG_CONFIG_HOME", (folder_ / "config").string());
    const testenv::TScopedVariable schemas("GSETTINGS_SCHEMA_DIR", (folder_ / "no schemas").string());
    const testenv::TScopedVariable dirs("XDG_DATA_DIRS", (folder_ / "no data").string());
    const testenv::TScopedVariable current("XDG_CURRENT_DESKTOP", "GNOME");
    EXPECT_FALSE(ui::SetDesktopWallpaper({picture, TWallpaperStyle::Stretched, true}));
}

// The root window's pixmap as its property names it; 0 when none.
Pixmap RootPixmapOf(Display* display)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = 0;
    const Atom property = XInternAtom(display, "_XROOTPMAP_ID", False);
    if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 1, False, XA_PIXMAP, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        if (count == 1)
            pixmap = *reinterpret_cast<Pixmap*>(data);
        XFree(data);
    }
    return pixmap;
}

int lastError = 0;
int RecordError(Display*, XErrorEvent* event)
{
    lastError = event->error_code;
    return 0;
}

// Whether the server still holds the pixmap.
bool PixmapAlive(Display* display, Pixmap pixmap)
{
    lastError = 0;
    const XErrorHandler previous = XSetErrorHandler(RecordError);
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    const bool answered = XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &depth) != 0;
    XSync(display, False);
    XSetErrorHandler(previous);
    return answered && lastError == 0;
}

TEST_F(DesktopWallpaperTest, TheRootWindowShowsEachPictureAndKeepsOnlyTheLastPixmap)
{
    if (!xvfb::OnPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    const xvfb::TPrivateServer server(320, 240, 171);
    ASSERT_NE(server.Connection(), nullptr);
    Display* display = server.Connection();
    EXPECT_FALSE(
        ui::SetRootPixmap({(folder_ / "fehlt.bmp").string(), TWallpaperStyle::Stretched, true}, server.Name()));
    EXPECT_EQ(RootPixmapOf(display), 0u) << "a picture that cannot be read leaves the root alone";

    const std::string red = Bitmap("rot.bmp", 16, 12, RGB(255, 0, 0));
    ASSERT_TRUE(ui::SetRootPixmap({red, TWallpaperStyle::Stretched, true}, server.Name()));
    const Pixmap first = RootPixmapOf(display);
    ASSERT_NE(first, 0u);
    EXPECT_TRUE(PixmapAlive(display, first)) << "kept after the setter's connection closed";
    xvfb::TScreenshot shot;
    ASSERT_TRUE(server.Grab(shot));
    EXPECT_TRUE(xvfb::NearColour(shot.At(0, 0), {255, 0, 0}, 2));
    EXPECT_TRUE(xvfb::NearColour(shot.At(319, 239), {255, 0, 0}, 2)) << "stretched over the screen";

    const std::string blue = Bitmap("blau.bmp", 40, 30, RGB(0, 0, 255));
    ASSERT_TRUE(ui::SetRootPixmap({blue, TWallpaperStyle::Centered, true}, server.Name()));
    const Pixmap second = RootPixmapOf(display);
    EXPECT_NE(second, first);
    EXPECT_TRUE(PixmapAlive(display, second));
    EXPECT_FALSE(PixmapAlive(display, first)) << "the replaced pixmap is freed";
    ASSERT_TRUE(server.Grab(shot));
    EXPECT_TRUE(xvfb::NearColour(shot.At(160, 120), {0, 0, 255}, 2));
    EXPECT_TRUE(xvfb::NearColour(shot.At(140, 105), {0, 0, 255}, 2));
    EXPECT_TRUE(xvfb::NearColour(shot.At(139, 104), {0, 0, 0}, 2)) << "centred on black";
}

} // namespace

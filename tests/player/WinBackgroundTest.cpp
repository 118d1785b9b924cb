// The desktop wallpaper: where a picture goes on the screen-sized bitmap,
// the bitmap written and handed to the desktop (through a recording setter),
// and the commands each desktop's setter is started with.

#include "player/WinBackground.h"

#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/DesktopWallpaper.h"
#include "platform/ui/Forms.h"
#include "ui/UiFixture.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using ui::TDesktopKind;
using ui::TWallpaperCommand;
using ui::TWallpaperRequest;
using ui::TWallpaperStyle;

namespace {

void Place(TPicInfoObject& pic, bool stretch, bool proportions, bool center)
{
    pic.Stretch = stretch;
    pic.Proportions = proportions;
    pic.Center = center;
}

TEST(WinBackgroundPlacement, PictureSizeAndPositionFollowTheEntrysSwitches)
{
    struct Case {
        const char* Name;
        bool Stretch, Proportions, Center;
        int PicWidth, PicHeight;
        TRect Expected; // on a 1024 x 768 screen
    } cases[] = {
        {"landscape fitted", true, true, true, 400, 300, Bounds(0, 0, 1024, 768)},
        {"portrait fitted and centred", true, true, true, 300, 400, Bounds(224, 0, 576, 768)},
        {"portrait fitted at the corner", true, true, false, 300, 400, Bounds(0, 0, 576, 768)},
        {"wider than the screen: width capped", true, true, true, 2000, 500, Bounds(0, 256, 1024, 256)},
        {"stretched whole", true, false, true, 300, 400, Bounds(0, 0, 1024, 768)},
        {"own size centred", false, false, true, 100, 50, Bounds(462, 359, 100, 50)},
        {"own size odd centred", false, true, true, 101, 51, Bounds(462, 359, 101, 51)},
        {"own size at the corner", false, false, false, 100, 50, Bounds(0, 0, 100, 50)},
        {"larger than the screen stays at 0,0", false, false, true, 2000, 1000, Bounds(0, 0, 2000, 1000)},
        {"zero height", true, true, true, 300, 0, Bounds(512, 384, 1, 0)},
        {"zero width", true, true, true, 0, 300, Bounds(512, 384, 0, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TPicInfoObject pic;
        Place(pic, c.Stretch, c.Proportions, c.Center);
        const TRect r = WinBackground::BackgroundRect(pic, c.PicWidth, c.PicHeight, 1024, 768);
        EXPECT_EQ(r.Left, c.Expected.Left);
        EXPECT_EQ(r.Top, c.Expected.Top);
        EXPECT_EQ(r.Width(), c.Expected.Width());
        EXPECT_EQ(r.Height(), c.Expected.Height());
    }
}

TEST(WinBackgroundPlacement, ComposedBitmapHasBackgroundAroundThePicture)
{
    TPicInfoObject pic;
    Place(pic, true, true, true);
    pic.BackgroundColor = RGB(10, 20, 30);
    TBitmap picture(30, 60, pf24bit);
    picture.Canvas().Brush.Color = RGB(250, 0, 0);
    picture.Canvas().FillRect(Rect(0, 0, 30, 60));
    TBitmap screen(160, 120, pf24bit);
    WinBackground::ComposeBackground(pic, picture, screen);
    // 30 x 60 fitted into 160 x 120 is 60 x 120 at x = 50.
    EXPECT_EQ(screen.Canvas().Pixels(49, 60), RGB(10, 20, 30));
    EXPECT_EQ(screen.Canvas().Pixels(50, 60), RGB(250, 0, 0));
    EXPECT_EQ(screen.Canvas().Pixels(109, 119), RGB(250, 0, 0));
    EXPECT_EQ(screen.Canvas().Pixels(110, 0), RGB(10, 20, 30));
}

// SetAsWinBackground with the desktop replaced by a recorder.
class WinBackgroundSet : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        folder_ = fs::temp_directory_path() / ("winbackground_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        const char* dataHome = std::getenv("XDG_DATA_HOME");
        savedDataHome_ = dataHome ? std::optional<std::string>(dataHome) : std::nullopt;
        ::setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
        savedPrefs_ = Setup::BackgroundVisteloPrefs;
        savedName_ = Setup::WinBackgroundFilename;
        savedChange_ = Setup::BackgroundSaveChange;
        savedShow_ = Setup::VisteloFilename;
        Setup::WinBackgroundFilename = "Vistelo - Hintergrundbild " + std::to_string(::getpid()) + ".bmp";
        Setup::VisteloFilename = (folder_ / "Show.vsf").string();
        previous_ = ui::SetWallpaperSetter([this](const TWallpaperRequest& r) {
            requests_.push_back(r);
            return accept_;
        });
    }
    void TearDown() override
    {
        ui::SetWallpaperSetter(previous_);
        if (savedDataHome_)
            ::setenv("XDG_DATA_HOME", savedDataHome_->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        Setup::BackgroundVisteloPrefs = savedPrefs_;
        Setup::WinBackgroundFilename = savedName_;
        Setup::BackgroundSaveChange = savedChange_;
        Setup::VisteloFilename = savedShow_;
        fs::remove_all(folder_);
        UiTest::TearDown();
    }
    std::string WriteBitmap(const std::string& name, int width, int height)
    {
        TBitmap bitmap(width, height, pf24bit);
        bitmap.Canvas().Brush.Color = RGB(0, 0, 255);
        bitmap.Canvas().FillRect(Rect(0, 0, width, height));
        const std::string path = (folder_ / name).string();
        bitmap.SaveToFile(path);
        return path;
    }
    // The wallpaper files written into the user's data folder.
    std::vector<std::string> Written() const
    {
        std::vector<std::string> files;
        const fs::path data = folder_ / "data" / "vistelo";
        if (fs::exists(data))
            for (const auto& entry : fs::directory_iterator(data))
                files.push_back(entry.path().string());
        std::sort(files.begin(), files.end());
        return files;
    }

    fs::path folder_;
    std::vector<TWallpaperRequest> requests_;
    bool accept_ = true;
    ui::TWallpaperSetter previous_;
    bool savedPrefs_ = false;
    std::string savedName_;
    bool savedChange_ = false;
    std::string savedShow_;
    std::optional<std::string> savedDataHome_;
};

TEST_F(WinBackgroundSet, ABitmapWithoutShowPlacementIsHandedOverUnchanged)
{
    const std::string bmp = WriteBitmap("Bild.BMP", 20, 10);
    Setup::BackgroundVisteloPrefs = false;
    Setup::BackgroundSaveChange = false;
    TPicInfoObject pic;
    pic.FileName = "Bild.BMP"; // relative to the show
    EXPECT_TRUE(WinBackground::SetAsWinBackground(&pic));
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].FileName, bmp);
    EXPECT_FALSE(requests_[0].Persist);
    EXPECT_TRUE(Written().empty()) << "no copy is written";
}

TEST_F(WinBackgroundSet, OtherPicturesAreComposedOnAScreenSizedBitmapUnderAlternatingNames)
{
    const std::string data = (folder_ / "data" / "vistelo").string() + "/";
    const std::string base = Setup::WinBackgroundFilename.substr(0, Setup::WinBackgroundFilename.size() - 4);
    struct Case {
        const char* File;
        bool Prefs;
        std::string Target;
    } cases[] = {{"Bild.bmp", true, data + base + ".bmp"},
                 {"Foto.jpg", false, data + base + " 2.bmp"},
                 {"Bild.bmp", true, data + base + ".bmp"}};
    // A JPEG made from a bitmap.
    {
        TBitmap bitmap(64, 48, pf24bit);
        bitmap.Canvas().Brush.Color = RGB(0, 0, 255);
        bitmap.Canvas().FillRect(Rect(0, 0, 64, 48));
        TJPEGImage jpeg;
        jpeg.Assign(&bitmap);
        jpeg.SaveToFile((folder_ / "Foto.jpg").string());
    }
    WriteBitmap("Bild.bmp", 64, 48);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        requests_.clear();
        Setup::BackgroundVisteloPrefs = c.Prefs;
        Setup::BackgroundSaveChange = true;
        TPicInfoObject pic;
        pic.FileName = (folder_ / c.File).string();
        Place(pic, true, false, false);
        pic.BackgroundColor = RGB(0, 255, 0);
        EXPECT_TRUE(WinBackground::SetAsWinBackground(&pic));
        ASSERT_EQ(requests_.size(), 1u);
        EXPECT_EQ(requests_[0].FileName, c.Target);
        EXPECT_EQ(requests_[0].Style, TWallpaperStyle::Stretched);
        EXPECT_TRUE(requests_[0].Persist);
        TBitmap written;
        written.LoadFromFile(c.Target);
        EXPECT_EQ(written.Width(), Screen->Width());
        EXPECT_EQ(written.Height(), Screen->Height());
        const TColor middle = written.Canvas().Pixels(Screen->Width() / 2, Screen->Height() / 2);
        EXPECT_LT(GetRValue(middle), 16);
        EXPECT_GT(GetBValue(middle), 235);
        // Apart in time, so that the file written last is the newer one.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(Written().size(), 2u);
}

TEST_F(WinBackgroundSet, FailuresGiveFalse)
{
    fs::create_directories(folder_ / "kein Bild.jpg"); // a folder, not a picture
    std::ofstream(folder_ / "kaputt.jpg") << "keine JPEG-Daten";
    struct Case {
        const char* Name;
        std::string File;
        bool Accept;
        std::size_t Requests;
    } cases[] = {
        {"no file", "", true, 0},
        {"missing file", (folder_ / "fehlt.jpg").string(), true, 0},
        {"unreadable picture", (folder_ / "kaputt.jpg").string(), true, 0},
        {"desktop refuses", WriteBitmap("ok.bmp", 8, 8), false, 1},
    };
    Setup::BackgroundVisteloPrefs = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        requests_.clear();
        accept_ = c.Accept;
        TPicInfoObject pic;
        pic.FileName = c.File;
        EXPECT_FALSE(WinBackground::SetAsWinBackground(&pic));
        EXPECT_EQ(requests_.size(), c.Requests);
    }
    EXPECT_FALSE(WinBackground::SetAsWinBackground(nullptr));
}

// ---------------------------------------------------------------------------
// The desktop's setter

TEST(DesktopWallpaper, DesktopIsTakenFromTheCurrentDesktopList)
{
    struct Case {
        const char* Value;
        TDesktopKind Kind;
    } cases[] = {
        {"GNOME", TDesktopKind::Gnome},         {"ubuntu:GNOME", TDesktopKind::Gnome},
        {"X-Cinnamon", TDesktopKind::Cinnamon}, {"KDE", TDesktopKind::Plasma},
        {"XFCE", TDesktopKind::Xfce},           {"", TDesktopKind::PlainX},
        {"i3", TDesktopKind::PlainX},           {"Unknown:xfce", TDesktopKind::Xfce},
        {"MATE", TDesktopKind::Mate},           {"Budgie:GNOME", TDesktopKind::Gnome},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::DesktopKindFrom(c.Value), c.Kind) << c.Value;
}

TEST(DesktopWallpaper, FileUrisEncodeWhatIsNotPlain)
{
    EXPECT_EQ(ui::FileUri("/home/anna/Vistelo - Hintergrundbild.bmp"),
              "file:///home/anna/Vistelo%20-%20Hintergrundbild.bmp");
    EXPECT_EQ(ui::FileUri("/tmp/M\u00FCller's #1.bmp"), "file:///tmp/M%C3%BCller%27s%20%231.bmp");
}

std::vector<std::vector<std::string>> ArgsOf(const std::vector<TWallpaperCommand>& commands)
{
    std::vector<std::vector<std::string>> args;
    for (const TWallpaperCommand& command : commands)
        args.push_back(command.Args);
    return args;
}

TEST(DesktopWallpaper, EachDesktopGetsItsOwnSetterCommands)
{
    const TWallpaperRequest stretched{"/w/a b.bmp", TWallpaperStyle::Stretched, true};
    const TWallpaperRequest centred{"/w/a b.bmp", TWallpaperStyle::Centered, false};
    const auto none = [](const std::string&) { return false; };

    const auto gnome = ui::WallpaperCommands(TDesktopKind::Gnome, centred, {}, none);
    ASSERT_EQ(gnome.size(), 3u);
    EXPECT_EQ(gnome[0].Args,
              (std::vector<std::string>{"gsettings", "set", "org.gnome.desktop.background", "picture-uri",
                                        "file:///w/a%20b.bmp"}));
    EXPECT_TRUE(gnome[1].Optional) << "older versions have no dark picture";
    EXPECT_EQ(gnome[2].Args.back(), "centered");
    EXPECT_FALSE(gnome[2].Optional);

    const auto cinnamon = ui::WallpaperCommands(TDesktopKind::Cinnamon, stretched, {}, none);
    ASSERT_FALSE(cinnamon.empty());
    EXPECT_EQ(cinnamon[0].Args[2], "org.cinnamon.desktop.background");
    EXPECT_EQ(cinnamon.back().Args.back(), "stretched");

    // MATE keeps a file name, not a URI.
    EXPECT_EQ(ArgsOf(ui::WallpaperCommands(TDesktopKind::Mate, centred, {}, none)),
              (std::vector<std::vector<std::string>>{
                  {"gsettings", "set", "org.mate.background", "picture-filename", "/w/a b.bmp"},
                  {"gsettings", "set", "org.mate.background", "picture-options", "centered"},
              }));

    const auto plasma = ui::WallpaperCommands(TDesktopKind::Plasma, stretched, {}, none);
    ASSERT_EQ(plasma.size(), 1u);
    EXPECT_EQ(plasma[0].Args[0], "dbus-send");
    EXPECT_NE(plasma[0].Args.back().find("writeConfig(\"Image\", \"file:///w/a%20b.bmp\")"), std::string::npos);

    // Xfce: every monitor's and workspace's backdrop, with its style.
    const std::vector<std::string> properties{"/backdrop/screen0/monitorHDMI-1/workspace0/last-image",
                                              "/backdrop/screen0/monitorHDMI-1/workspace0/image-style",
                                              "/backdrop/screen0/monitorDP-2/workspace1/last-image"};
    EXPECT_EQ(ArgsOf(ui::WallpaperCommands(TDesktopKind::Xfce, stretched, properties, none)),
              (std::vector<std::vector<std::string>>{
                  {"xfconf-query", "-c", "xfce4-desktop", "-p", "/backdrop/screen0/monitorHDMI-1/workspace0/last-image",
                   "-n", "-t", "string", "-s", "/w/a b.bmp"},
                  {"xfconf-query", "-c", "xfce4-desktop", "-p",
                   "/backdrop/screen0/monitorHDMI-1/workspace0/image-style", "-n", "-t", "int", "-s", "3"},
                  {"xfconf-query", "-c", "xfce4-desktop", "-p", "/backdrop/screen0/monitorDP-2/workspace1/last-image",
                   "-n", "-t", "string", "-s", "/w/a b.bmp"},
                  {"xfconf-query", "-c", "xfce4-desktop", "-p", "/backdrop/screen0/monitorDP-2/workspace1/image-style",
                   "-n", "-t", "int", "-s", "3"},
              }));
    // Without a listing the first monitor's backdrop is set.
    EXPECT_EQ(ui::WallpaperCommands(TDesktopKind::Xfce, stretched, {}, none)[0].Args[4],
              "/backdrop/screen0/monitor0/workspace0/last-image");
}

TEST(DesktopWallpaper, PlainXUsesTheFirstRootWindowToolInstalled)
{
    const TWallpaperRequest request{"/w/x.bmp", TWallpaperStyle::Stretched, true};
    struct Case {
        std::vector<std::string> Installed;
        std::vector<std::string> Expected; // empty: no tool, no way
    } cases[] = {
        {{"xwallpaper", "feh"}, {"xwallpaper", "--stretch", "/w/x.bmp"}},
        {{"feh", "display"}, {"feh", "--no-fehbg", "--bg-scale", "/w/x.bmp"}},
        {{"hsetroot"}, {"hsetroot", "-fill", "/w/x.bmp"}},
        {{"display"}, {"display", "-window", "root", "/w/x.bmp"}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        const auto has = [&](const std::string& program) {
            return std::find(c.Installed.begin(), c.Installed.end(), program) != c.Installed.end();
        };
        const auto commands = ui::WallpaperCommands(TDesktopKind::PlainX, request, {}, has);
        if (c.Expected.empty()) {
            EXPECT_TRUE(commands.empty());
        } else {
            ASSERT_EQ(commands.size(), 1u);
            EXPECT_EQ(commands[0].Args, c.Expected);
        }
    }
    EXPECT_TRUE(ui::WallpaperCommands(TDesktopKind::Gnome, {"", TWallpaperStyle::Stretched, true}, {},
                                      [](const std::string&) { return true; })
                    .empty())
        << "no file, no command";
}

} // namespace

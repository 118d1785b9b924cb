// The editor's preferences in the registry and the player ini.

#include "editor/app/VisteloSetup.h"

#include "core/Setup.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace VisteloSetup;

namespace {

// Every preference variable, to put back after each test.
struct AllPreferences {
    bool showPreview, keepPreviewProportions, confirmExit, doublePicsCheck, animateLogo, convertDescriptionsTags,
        htmlAddCopyright;
    std::string picDir, visteloDir;
    bool scanImport;
    TJPEGCompressionWord scanJpeg;
    bool scanTarga, scanDontAsk;
    std::int32_t scanFormat;
    bool catalogSave, catalogDropSorting;
    TJPEGCompressionWord catalogJpeg;
    std::int32_t rate, size;
    bool stereo, useUserDir;
    std::string userDir;
    bool paintPreview;
    bool smoothScale, hideMouse, backgroundPrefs, backgroundSave, dragFilenames, showError, dragMany, speedUp,
        lowMemory, forceMp3;
    std::int32_t thumbWidth, thumbHeight;
    bool catalogShowFilename, catalogMarkDropTarget, catalogMarkDontShow;
    std::int32_t pause;
    bool randomOrder, filenameInBar, noDescription, fullScreen, navigationBar, commentsBox;

    bool operator==(const AllPreferences&) const = default;

    void Take()
    {
        using namespace Setup;
        *this = {ShowPreview,
                 KeepPreviewProportions,
                 ConfirmExit,
                 DoublePicsCheck,
                 AnimateLogo,
                 ConvertDescriptionsTags,
                 HTMLAddCopyright,
                 PicDir,
                 VisteloDir,
                 ScanAssistImportToVistelo,
                 ScanAssistJPEGCompression,
                 ScanAssistTargaCompression,
                 ScanAssistDontAskAnymore,
                 ScanAssistPicFormat,
                 CatalogSaveThumbNailsInVistelo,
                 CatalogDropDropSorting,
                 CatalogThumbnailJPEGCompression,
                 SoundSampleRate,
                 SoundSampleSize,
                 SoundStereo,
                 SoundUseUserDir,
                 SoundUserDir,
                 VexaPaintAutoPreview,
                 SmoothScale,
                 HideMouseCursor,
                 BackgroundVisteloPrefs,
                 BackgroundSaveChange,
                 DragFilenames,
                 ShowErrorInShow,
                 DragManyPicsUseFilenames,
                 SpeedUpJPEGPreview,
                 LowMemory,
                 ForceUseInternalMP3Player,
                 CatalogThumbWidth,
                 CatalogThumbHeight,
                 CatalogShowFilename,
                 CatalogMarkDropTarget,
                 CatalogMarkDontShow,
                 stdPause,
                 stdRandomOrder,
                 stdShowFilenameInNavigationBar,
                 stdShowNoDescription,
                 stdStartFullScreen,
                 stdShowNavigationBar,
                 stdShowCommentsBox};
    }
    void Put() const
    {
        using namespace Setup;
        ShowPreview = showPreview;
        KeepPreviewProportions = keepPreviewProportions;
        ConfirmExit = confirmExit;
        DoublePicsCheck = doublePicsCheck;
        AnimateLogo = animateLogo;
        ConvertDescriptionsTags = convertDescriptionsTags;
        HTMLAddCopyright = htmlAddCopyright;
        PicDir = picDir;
        VisteloDir = visteloDir;
        ScanAssistImportToVistelo = scanImport;
        ScanAssistJPEGCompression = scanJpeg;
        ScanAssistTargaCompression = scanTarga;
        ScanAssistDontAskAnymore = scanDontAsk;
        ScanAssistPicFormat = scanFormat;
        CatalogSaveThumbNailsInVistelo = catalogSave;
        CatalogDropDropSorting = catalogDropSorting;
        CatalogThumbnailJPEGCompression = catalogJpeg;
        SoundSampleRate = rate;
        SoundSampleSize = size;
        SoundStereo = stereo;
        SoundUseUserDir = useUserDir;
        SoundUserDir = userDir;
        VexaPaintAutoPreview = paintPreview;
        SmoothScale = smoothScale;
        HideMouseCursor = hideMouse;
        BackgroundVisteloPrefs = backgroundPrefs;
        BackgroundSaveChange = backgroundSave;
        DragFilenames = dragFilenames;
        ShowErrorInShow = showError;
        DragManyPicsUseFilenames = dragMany;
        SpeedUpJPEGPreview = speedUp;
        LowMemory = lowMemory;
        ForceUseInternalMP3Player = forceMp3;
        CatalogThumbWidth = thumbWidth;
        CatalogThumbHeight = thumbHeight;
        CatalogShowFilename = catalogShowFilename;
        CatalogMarkDropTarget = catalogMarkDropTarget;
        CatalogMarkDontShow = catalogMarkDontShow;
        stdPause = pause;
        stdRandomOrder = randomOrder;
        stdShowFilenameInNavigationBar = filenameInBar;
        stdShowNoDescription = noDescription;
        stdStartFullScreen = fullScreen;
        stdShowNavigationBar = navigationBar;
        stdShowCommentsBox = commentsBox;
    }
};

class Preferences : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
            ("vistelo-editor-prefs-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
             "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        setenv("VISTELO_REGISTRY", (folder / "registry.reg").c_str(), 1);
        saved.Take();
    }
    void TearDown() override
    {
        saved.Put();
        unsetenv("VISTELO_REGISTRY");
        std::filesystem::remove_all(folder);
    }

    static TRegistry& OpenKey(TRegistry& registry)
    {
        EXPECT_TRUE(registry.OpenKey(VisteloRegistryKey, true));
        return registry;
    }

    std::filesystem::path folder;
    AllPreferences saved{};
};

TEST_F(Preferences, AnEmptyKeyKeepsTheDefaultsAndTheFoldersStayAtHome)
{
    PicDir.clear();
    VisteloDir.clear();
    SoundUserDir = "/tmp/alt";
    AllPreferences before{};
    before.Take();
    LoadPreferences();
    AllPreferences after{};
    after.Take();
    EXPECT_EQ(PicDir, Setup::HomeDir);
    EXPECT_EQ(VisteloDir, Setup::HomeDir);
    EXPECT_EQ(SoundUserDir, "") << "other strings read empty when absent";
    after.picDir = before.picDir;
    after.visteloDir = before.visteloDir;
    after.userDir = before.userDir;
    EXPECT_TRUE(after == before);
}

TEST_F(Preferences, SavedValuesComeBackWithTheirTypes)
{
    ShowPreview = false;
    Setup::SmoothScale = false;
    PicDir = "/bilder/urlaub";
    VisteloDir = "/shows";
    ScanAssistJPEGCompression = 0x5001;
    CatalogThumbnailJPEGCompression = 0x1E00;
    ScanAssistPicFormat = 2;
    SoundSampleRate = 44100;
    SoundUserDir = "/t\u00F6ne";
    Setup::stdPause = 1234;
    Setup::stdShowCommentsBox = true;
    Setup::CatalogThumbWidth = 120;
    SavePreferences();

    TRegistry registry;
    OpenKey(registry);
    TStringList names;
    registry.GetValueNames(names);
    ASSERT_EQ(names.Count(), 45) << "46 writes, one name twice";
    EXPECT_EQ(names.Strings(0), "ShowPreview");
    EXPECT_EQ(names.Strings(16), "PicDir");
    EXPECT_EQ(names.Strings(44), "StdShowCommentsBox");
    EXPECT_EQ(registry.GetDataType("ShowPreview"), rdInteger);
    EXPECT_EQ(registry.ReadInteger("ShowPreview"), 0);
    EXPECT_EQ(registry.GetDataType("PicDir"), rdString);
    EXPECT_EQ(registry.ReadInteger("StdPause"), 1234);
    std::uint8_t word[2] = {};
    EXPECT_EQ(registry.ReadBinaryData("CatalogThumbnailJPEGCompression", word, 2), 2);
    EXPECT_EQ(word[0], 0x00) << "progressive first";
    EXPECT_EQ(word[1], 0x1E) << "then the quality";
    EXPECT_EQ(registry.ReadBinaryData("ScanAssistJPEGCompression", word, 2), 2);
    EXPECT_EQ(word[0], 0x01);
    EXPECT_EQ(word[1], 0x50);

    ShowPreview = true;
    Setup::SmoothScale = true;
    PicDir = VisteloDir = SoundUserDir = "x";
    ScanAssistJPEGCompression = CatalogThumbnailJPEGCompression = 0;
    ScanAssistPicFormat = 0;
    SoundSampleRate = 1;
    Setup::stdPause = 1;
    Setup::stdShowCommentsBox = false;
    Setup::CatalogThumbWidth = 1;
    LoadPreferences();
    EXPECT_FALSE(ShowPreview);
    EXPECT_FALSE(Setup::SmoothScale);
    EXPECT_EQ(PicDir, "/bilder/urlaub");
    EXPECT_EQ(VisteloDir, "/shows");
    EXPECT_EQ(SoundUserDir, "/t\u00F6ne");
    EXPECT_EQ(ScanAssistJPEGCompression, 0x5001);
    EXPECT_EQ(CatalogThumbnailJPEGCompression, 0x1E00);
    EXPECT_EQ(ScanAssistPicFormat, 2);
    EXPECT_EQ(SoundSampleRate, 44100);
    EXPECT_EQ(Setup::stdPause, 1234);
    EXPECT_TRUE(Setup::stdShowCommentsBox);
    EXPECT_EQ(Setup::CatalogThumbWidth, 120);
}

TEST_F(Preferences, AValueOfAnotherTypeKeepsTheVariable)
{
    {
        TRegistry registry;
        OpenKey(registry);
        registry.WriteString("ShowPreview", "0");                     // bool as text
        registry.WriteString("StdPause", "100");                      // integer as text
        registry.WriteInteger("PicDir", 7);                           // string as a number
        registry.WriteInteger("CatalogThumbnailJPEGCompression", 30); // word as a number
        const std::uint8_t three[3] = {0, 50, 1};
        registry.WriteBinaryData("ScanAssistJPEGCompression", three, 3); // word of the wrong size
        registry.WriteInteger("ConfirmExit", 0);                         // one good value among them
    }
    ShowPreview = true;
    Setup::stdPause = 4000;
    PicDir = "/vorher";
    CatalogThumbnailJPEGCompression = 0x1E00;
    ScanAssistJPEGCompression = 0x6400;
    ConfirmExit = true;
    LoadPreferences();
    EXPECT_TRUE(ShowPreview);
    EXPECT_EQ(Setup::stdPause, 4000);
    EXPECT_EQ(PicDir, "/vorher");
    EXPECT_EQ(CatalogThumbnailJPEGCompression, 0x1E00);
    EXPECT_EQ(ScanAssistJPEGCompression, 0x6400);
    EXPECT_FALSE(ConfirmExit);
}

TEST(PlayerIni, TheFourSwitchesAreWrittenInOrder)
{
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
        ("vistelo-editor-" + std::to_string(::getpid()) + "-Rollavin.ini");
    const bool smooth = Setup::SmoothScale, error = Setup::ShowErrorInShow, info = Setup::DontShowInfoBtn,
               mp3 = Setup::ForceUseInternalMP3Player;
    Setup::SmoothScale = true;
    Setup::ShowErrorInShow = false;
    Setup::DontShowInfoBtn = false;
    Setup::ForceUseInternalMP3Player = true;
    WritePlayerIni(file.string());
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "[Player]\r\nSmoothScale=1\r\nShowErrorInShow=0\r\nDontShowInfoBtn=0\r\n"
              "ForceUseInternalMP3Player=1\r\n");
    std::filesystem::remove(file);

    // A folder that does not exist: nothing raises.
    EXPECT_NO_THROW(WritePlayerIni((file.parent_path() / "fehlt" / "sub" / "Rollavin.ini").string()));
    Setup::SmoothScale = smooth;
    Setup::ShowErrorInShow = error;
    Setup::DontShowInfoBtn = info;
    Setup::ForceUseInternalMP3Player = mp3;
}

} // namespace

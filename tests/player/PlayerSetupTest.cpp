#include "player/PlayerSetup.h"

#include "core/Setup.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace Setup;

namespace {

// Keeps the shared settings of the process as they were.
class PlayerSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        SaveSharedData(saved_);
        savedInfoBtn_ = DontShowInfoBtn;
        savedMp3_ = ForceUseInternalMP3Player;
        ini_ = fs::temp_directory_path() / ("Rollavin_" + std::to_string(::getpid()) + ".ini");
    }
    void TearDown() override
    {
        RestoreSharedData(saved_);
        DontShowInfoBtn = savedInfoBtn_;
        ForceUseInternalMP3Player = savedMp3_;
        fs::remove(ini_);
        ui::EndDialogScript();
        ui::ClearRecordedDialogs();
    }
    void SetAll(bool value) { SmoothScale = ShowErrorInShow = DontShowInfoBtn = ForceUseInternalMP3Player = value; }
    static std::vector<bool> All()
    {
        return {SmoothScale, ShowErrorInShow, DontShowInfoBtn, ForceUseInternalMP3Player};
    }

    TSharedData saved_;
    bool savedInfoBtn_ = false;
    bool savedMp3_ = false;
    fs::path ini_;
};

} // namespace

TEST_F(PlayerSettings, PresentKeysOverrideAndMissingOnesKeepTheSetting)
{
    for (bool initial : {false, true}) {
        std::ofstream(ini_) << "[Other]\r\nSmoothScale=" << !initial << "\r\n[Player]\r\nShowErrorInShow=" << !initial
                            << "\r\nDontShowInfoBtn=" << !initial << "\r\n";
        SetAll(initial);
        PlayerSetup::ReadPlayerIni(ini_.string());
        EXPECT_EQ(All(), (std::vector<bool>{initial, !initial, !initial, initial})) << initial;
    }
}

TEST_F(PlayerSettings, AMissingFileChangesNothing)
{
    for (bool initial : {false, true}) {
        SetAll(initial);
        PlayerSetup::ReadPlayerIni((ini_.parent_path() / "missing" / "Rollavin.ini").string());
        EXPECT_EQ(All(), std::vector<bool>(4, initial));
    }
}

TEST_F(PlayerSettings, TheChooserOffersShowsFromTheFolderOfTheShowPlaying)
{
    struct Case {
        std::string playing;
        std::string startsIn;
    };
    const Case cases[] = {{"/shows/a.vsf", "/shows/"}, {"", HomeDir}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.playing);
        VisteloFilename = c.playing;
        TOpenDialog dialog(nullptr);
        PlayerSetup::PreparePlayerOpenDialog(dialog);
        EXPECT_EQ(dialog.InitialDir, c.startsIn);
        EXPECT_EQ(dialog.Title, "Vistelo öffnen");
        EXPECT_EQ(dialog.Filter, "Vistelo-Dateien (*.vsf)|*.vsf");
        EXPECT_EQ(dialog.DefaultExt, "vsf");
        EXPECT_EQ(dialog.Options, (TOpenOptions{ofHideReadOnly, ofFileMustExist, ofEnableSizing}));
    }
}

TEST_F(PlayerSettings, TheChooserReturnsOnlyAFileThatExists)
{
    const fs::path folder = ini_.parent_path() / ("chooser_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string show = (folder / "b.vsf").string();
    std::ofstream(show) << "x";
    const std::string stem = (folder / "b").string();
    const std::string missing = (folder / "gone.vsf").string();
    ui::BeginDialogScript();
    ui::ScriptAnswer(mrOk, show);
    ui::ScriptAnswer(mrOk, stem); // the default extension is added
    ui::ScriptAnswer(mrCancel, show);
    ui::ScriptAnswer(mrOk, missing);
    ui::ScriptAnswer(mrOk); // the warning that the file does not exist
    EXPECT_EQ(PlayerSetup::ChoosePlayerFilename(), show);
    EXPECT_EQ(PlayerSetup::ChoosePlayerFilename(), show);
    EXPECT_EQ(PlayerSetup::ChoosePlayerFilename(), "");
    EXPECT_EQ(PlayerSetup::ChoosePlayerFilename(), "");
    EXPECT_EQ(ui::ScriptedAnswersLeft(), 0);

    const std::vector<ui::TDialogRecord>& dialogs = ui::RecordedDialogs();
    ASSERT_EQ(dialogs.size(), 5u);
    EXPECT_EQ(dialogs[0].Request.Kind, "OpenDialog");
    EXPECT_EQ(dialogs[0].Request.Caption, "Vistelo öffnen");
    EXPECT_EQ(dialogs[4].Request.Kind, "MessageBox");
    fs::remove_all(folder);
}

#include "player/PlayerSetup.h"

#include "core/Setup.h"
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
    void SetAll(bool value)
    {
        SmoothScale = ShowErrorInShow = DontShowInfoBtn = ForceUseInternalMP3Player = value;
    }
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
        std::ofstream(ini_) << "[Other]\r\nSmoothScale=" << !initial << "\r\n[Player]\r\nShowErrorInShow="
                            << !initial << "\r\nDontShowInfoBtn=" << !initial << "\r\n";
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

TEST_F(PlayerSettings, TheChooserStartsInTheFolderOfTheShowPlaying)
{
    ui::BeginDialogScript();
    ui::ScriptAnswer(mrOk, "/shows/b.vsf");
    ui::ScriptAnswer(mrCancel, "/shows/c.vsf");
    VisteloFilename = "/shows/a.vsf";
    EXPECT_EQ(PlayerSetup::ChoosePlayerFilename(), "/shows/b.vsf");
    VisteloFilename.clear();
    EXPECT_EQ(PlayerSetup::ChoosePlayerFilename(), "");

    ASSERT_EQ(ui::RecordedDialogs().size(), 2u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Caption, "Vistelo öffnen");
    EXPECT_NE(ui::RecordedDialogs()[0].Request.Text.find("InitialDir=/shows/\n"), std::string::npos);
    EXPECT_NE(ui::RecordedDialogs()[1].Request.Text.find("InitialDir=" + HomeDir + "\n"), std::string::npos);
}

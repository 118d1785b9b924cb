#include "launchers/rollavin/PlayFromCommandLine.h"

#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace PlayFromCommandLine;
namespace fs = std::filesystem;

namespace {

// Scripted dialogs, a folder with a show and a show list, and recorded starts.
class Rollavin : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("rollavin_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        for (const char* name : {"a.vsf", "b.VsL"})
            std::ofstream(folder_ / name) << "x";
        ui::BeginDialogScript();
        starts_.Show = [this](const std::string& f) {
            played_.push_back("show " + f);
            return loads_;
        };
        starts_.List = [this](const std::string& f) {
            played_.push_back("list " + f);
            return loads_;
        };
    }
    void TearDown() override
    {
        ui::EndDialogScript();
        ui::ClearRecordedDialogs();
        fs::remove_all(folder_);
    }
    int Play(const std::vector<std::string>& args, const std::string& home)
    {
        return PlayFromCommandLine::PlayFromCommandLine(args, home, starts_);
    }
    std::string File(const char* name) const { return (folder_ / name).string(); }

    fs::path folder_;
    TPlayerStarts starts_;
    std::vector<std::string> played_;
    bool loads_ = true; // what the player's start answers
};

} // namespace

TEST(RollavinFileKind, OnlyAVslExtensionIsAShowList)
{
    for (const char* list : {"x.vsl", "x.VSL", "dir.vsf/x.vSl"})
        EXPECT_TRUE(IsShowListFile(list)) << list;
    for (const char* show : {"x.vsf", "x", "x.vsl.vsf", "x.vslx", "vsl", "dir.vsl/x"})
        EXPECT_FALSE(IsShowListFile(show)) << show;
}

TEST_F(Rollavin, PlaysTheNamedFileByItsKind)
{
    EXPECT_EQ(Play({File("a.vsf")}, "/home/"), 0);
    EXPECT_EQ(Play({File("b.VsL"), "ignored"}, "/home/"), 0);
    EXPECT_EQ(played_, (std::vector<std::string>{"show " + File("a.vsf"), "list " + File("b.VsL")}));
    EXPECT_TRUE(ui::RecordedDialogs().empty());
}

TEST_F(Rollavin, AMissingFileIsReportedAndNothingPlays)
{
    EXPECT_EQ(Play({File("none.vsf")}, "/home/"), 1);
    EXPECT_TRUE(played_.empty());
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Datei \"" + File("none.vsf") + "\" nicht gefunden!");
}

TEST_F(Rollavin, WithoutArgumentTheDialogChooses)
{
    ui::ScriptAnswer(mrOk, File("b.VsL"));
    Play({}, folder_.string() + "/");
    EXPECT_EQ(played_, std::vector<std::string>{"list " + File("b.VsL")});
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    const ui::TDialogRequest& dialog = ui::RecordedDialogs()[0].Request;
    EXPECT_EQ(dialog.Kind, "OpenDialog");
    EXPECT_EQ(dialog.Caption, "Vistelo öffnen");
    EXPECT_EQ(dialog.Text, "Vistelo-Dateien|*.vsf;*.vsl|Vistelos (*.vsf)|*.vsf|Vistelo-Listen (*.vsl)|*.vsl");
}

TEST(RollavinOpenDialog, StartsInTheHomeFolderAndOffersShowsAndLists)
{
    TOpenDialog dialog(nullptr);
    PrepareOpenShowDialog(dialog, "/opt/vistelo/");
    EXPECT_EQ(dialog.InitialDir, "/opt/vistelo/");
    EXPECT_EQ(dialog.DefaultExt, "vsf");
    EXPECT_EQ(dialog.Options, (TOpenOptions{ofHideReadOnly, ofFileMustExist, ofEnableSizing}));
}

TEST_F(Rollavin, AChosenFileThatDoesNotExistIsRefusedByTheDialog)
{
    ui::ScriptAnswer(mrOk, File("gone.vsf"));
    Play({}, "/home/");
    EXPECT_TRUE(played_.empty());
    // The dialog's own warning, then the player's message without a name.
    ASSERT_EQ(ui::RecordedDialogs().size(), 3u);
    EXPECT_EQ(ui::RecordedDialogs()[1].Request.Kind, "MessageBox");
    EXPECT_EQ(ui::RecordedDialogs()[2].Request.Text, "Datei \"\" nicht gefunden!");
}

TEST_F(Rollavin, ACancelledDialogReportsAnEmptyName)
{
    ui::ScriptAnswer(mrCancel, File("a.vsf"));
    EXPECT_EQ(Play({}, "/home/"), 1);
    EXPECT_TRUE(played_.empty());
    ASSERT_EQ(ui::RecordedDialogs().size(), 2u);
    EXPECT_EQ(ui::RecordedDialogs()[1].Request.Text, "Datei \"\" nicht gefunden!");
}

TEST_F(Rollavin, AFileThePlayerCannotLoadEndsWithStatusOne)
{
    loads_ = false;
    EXPECT_EQ(Play({File("a.vsf")}, "/home/"), 1);
    EXPECT_EQ(Play({File("b.VsL")}, "/home/"), 1);
    EXPECT_EQ(played_.size(), 2u);
    EXPECT_TRUE(ui::RecordedDialogs().empty()); // the player reports, not Rollavin
}

TEST_F(Rollavin, AFolderIsGivenToThePlayerNotReportedAsMissing)
{
    fs::create_directories(folder_ / "Ordner.vsf");
    loads_ = false;
    EXPECT_EQ(Play({File("Ordner.vsf")}, "/home/"), 1);
    EXPECT_EQ(played_, std::vector<std::string>{"show " + File("Ordner.vsf")});
    EXPECT_TRUE(ui::RecordedDialogs().empty());
}

TEST_F(Rollavin, FailuresOfTheStartReachTheCaller)
{
    starts_.Show = [](const std::string&) -> bool { throw std::runtime_error("no player"); };
    EXPECT_THROW(Play({File("a.vsf")}, "/home/"), std::runtime_error);
}

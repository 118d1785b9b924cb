#include "platform/ui/CommonDialogs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/rtl/StringList.h"
#include "tests/ui/UiFixture.h"

namespace {

class CommonDialogsTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        dir_ = std::filesystem::temp_directory_path() / ("commondialogs_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override
    {
        std::filesystem::remove_all(dir_);
        UiTest::TearDown();
    }
    std::string MakeFile(const std::string& name)
    {
        std::string path = (dir_ / name).string();
        std::ofstream(path) << "x";
        return path;
    }
    std::string PathIn(const std::string& name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

TEST_F(CommonDialogsTest, OpenDialogTakesTheScriptedFileAndRecordsWhatItAsked)
{
    TOpenDialog dialog(nullptr);
    dialog.Filter = "Bilder|*.bmp;*.jpg|Alle Dateien|*.*";
    dialog.FileName = "start.bmp";
    std::string chosen = MakeFile("a.bmp");
    ui::ScriptAnswer(IDOK, chosen);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, chosen);
    EXPECT_EQ(dialog.Files().Count(), 1);
    const ui::TDialogRecord& record = ui::RecordedDialogs().back();
    EXPECT_EQ(record.Request.Kind, "OpenDialog");
    EXPECT_EQ(record.Request.Caption, "Öffnen");
    EXPECT_EQ(record.Request.Text, dialog.Filter);
    EXPECT_EQ(record.Request.Value, "start.bmp");

    // Cancel, and a test that scripts nothing, leave the name alone.
    ui::ScriptAnswer(IDCANCEL);
    EXPECT_FALSE(dialog.Execute());
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, chosen);
}

TEST_F(CommonDialogsTest, MultiSelectDefaultExtensionAndMustExist)
{
    TOpenDialog dialog(nullptr);
    dialog.Options = {ofAllowMultiSelect, ofFileMustExist};
    dialog.DefaultExt = "bmp";
    std::string a = MakeFile("a.bmp"), b = MakeFile("b.bmp");
    ui::ScriptAnswer(IDOK, a + "\n" + PathIn("b"));
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Files().Count(), 2);
    EXPECT_EQ(dialog.Files().Strings(1), b);

    // A missing file is refused with a message, and the choice counts as cancelled.
    ui::ClearRecordedDialogs();
    ui::ScriptAnswer(IDOK, PathIn("fehlt.bmp"));
    EXPECT_FALSE(dialog.Execute());
    ASSERT_EQ(ui::RecordedDialogs().size(), 2u);
    EXPECT_EQ(ui::RecordedDialogs()[1].Request.Kind, "MessageBox");

    // Without multi-select only the first name counts.
    dialog.Options = {};
    ui::ScriptAnswer(IDOK, a + "\n" + b);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Files().Count(), 1);
}

TEST_F(CommonDialogsTest, SaveDialogAsksBeforeReplacingAnExistingFile)
{
    TSaveDialog dialog(nullptr);
    dialog.Options = {ofOverwritePrompt};
    std::string existing = MakeFile("show.kss");
    struct Case {
        std::string file;
        int answer; // to the overwrite question; 0: none asked
        bool accepted;
    };
    const Case cases[] = {{existing, IDYES, true}, {existing, IDNO, false}, {PathIn("neu.kss"), 0, true}};
    for (const Case& c : cases) {
        ui::ClearRecordedDialogs();
        ui::ScriptAnswer(IDOK, c.file);
        if (c.answer)
            ui::ScriptAnswer(c.answer);
        EXPECT_EQ(dialog.Execute(), c.accepted) << c.file;
        EXPECT_EQ(ui::RecordedDialogs().size(), c.answer ? 2u : 1u);
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Caption, "Speichern unter");
    }
}

TEST_F(CommonDialogsTest, ColorDialogReadsHexAndRejectsGarbage)
{
    TColorDialog dialog(nullptr);
    dialog.Color = RGB(0x12, 0x34, 0x56);
    ui::ScriptAnswer(IDOK, "FF8000");
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(ui::RecordedDialogs().back().Request.Value, "123456");
    EXPECT_EQ(dialog.Color, RGB(0xFF, 0x80, 0x00));
    for (const char* bad : {"", "FF80", "GG0000", "FF80001"}) {
        ui::ScriptAnswer(IDOK, bad);
        EXPECT_FALSE(dialog.Execute()) << bad;
        EXPECT_EQ(dialog.Color, RGB(0xFF, 0x80, 0x00));
    }
}

TEST_F(CommonDialogsTest, FontDialogSetsNameSizeStylesAndColour)
{
    TFontDialog dialog(nullptr);
    dialog.Font().SetName("Sans");
    dialog.Font().SetSize(10);
    ui::ScriptAnswer(IDOK, "Serif;14;bu;0000FF");
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(ui::RecordedDialogs().back().Request.Value, "Sans;10;;000000");
    EXPECT_EQ(dialog.Font().Name(), "Serif");
    EXPECT_EQ(dialog.Font().Size(), 14);
    EXPECT_EQ(dialog.Font().Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(dialog.Font().Color(), RGB(0, 0, 0xFF));
    for (const char* bad : {"Serif;x;;000000", "Serif;12;q;000000", ";12;;000000", "Serif;12;;"}) {
        ui::ScriptAnswer(IDOK, bad);
        EXPECT_FALSE(dialog.Execute()) << bad;
        EXPECT_EQ(dialog.Font().Name(), "Serif");
    }
}

TEST_F(CommonDialogsTest, FolderBrowserReturnsTheChosenFolderOnlyOnOk)
{
    std::string folder = "/start";
    ui::ScriptAnswer(IDOK, dir_.string());
    ASSERT_TRUE(ui::SelectDirectory("Ordner wählen", "", folder));
    EXPECT_EQ(folder, dir_.string());
    EXPECT_EQ(ui::RecordedDialogs().back().Request.Kind, "BrowseForFolder");
    ui::ScriptAnswer(IDCANCEL, "/anders");
    EXPECT_FALSE(ui::SelectDirectory("Ordner wählen", "", folder));
    EXPECT_EQ(folder, dir_.string());
}

} // namespace

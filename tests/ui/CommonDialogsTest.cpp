#include "platform/ui/CommonDialogs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
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

TEST_F(CommonDialogsTest, PictureDialogsOfferThePictureFormatsAndAskLikeTheirPlainKinds)
{
    std::string existing = MakeFile("bild.bmp");
    TOpenPictureDialog open(nullptr);
    TSavePictureDialog save(nullptr);
    save.Options = {ofOverwritePrompt, ofAllowMultiSelect};
    struct Case {
        TOpenDialog* dialog;
        const char* kind;
        const char* caption;
        int overwriteAnswer; // 0: no question expected
        bool accepted;
    };
    const Case cases[] = {
        {&open, "OpenPictureDialog", "Öffnen", 0, true},
        {&save, "SavePictureDialog", "Speichern unter", IDNO, false},
        {&save, "SavePictureDialog", "Speichern unter", IDYES, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(c.dialog->Filter, gfx::GraphicFilter(TGraphic::StaticClass()));
        EXPECT_NE(c.dialog->Filter.find("*.bmp"), std::string::npos);
        ui::ClearRecordedDialogs();
        ui::ScriptAnswer(IDOK, existing + "\n" + PathIn("zweites.bmp"));
        if (c.overwriteAnswer)
            ui::ScriptAnswer(c.overwriteAnswer);
        EXPECT_EQ(c.dialog->Execute(), c.accepted);
        ASSERT_EQ(ui::RecordedDialogs().size(), c.overwriteAnswer ? 2u : 1u);
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Kind, c.kind);
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Caption, c.caption);
        EXPECT_EQ(c.dialog->Files().Count(), 1) << "a save dialog takes one name only";
    }
}

TEST_F(CommonDialogsTest, PreviewFitsThePictureAndShowsNothingForOtherFiles)
{
    auto picture = [&](const std::string& name, int width, int height) {
        TBitmap bitmap(width, height, pf24bit);
        bitmap.Canvas().Brush.Color = clRed;
        bitmap.Canvas().FillRect(Rect(0, 0, width / 2, height));
        bitmap.Canvas().Brush.Color = clBlue;
        bitmap.Canvas().FillRect(Rect(width / 2, 0, width, height));
        std::string path = PathIn(name);
        bitmap.SaveToFile(path);
        return path;
    };
    struct Case {
        std::string file;
        int boxW, boxH;
        int wantW, wantH; // 0: no preview
    };
    const Case cases[] = {
        {picture("breit.bmp", 200, 100), 100, 100, 100, 50},
        {picture("hoch.bmp", 100, 300), 60, 60, 20, 60},
        {picture("klein.bmp", 10, 10), 100, 100, 10, 10}, // never enlarged
        {picture("dünn.bmp", 400, 2), 100, 100, 100, 1},
        {MakeFile("kaputt.bmp"), 100, 100, 0, 0},
        {MakeFile("text.xyz"), 100, 100, 0, 0},
        {PathIn("fehlt.bmp"), 100, 100, 0, 0},
        {dir_.string(), 100, 100, 0, 0},
        {picture("leer.bmp", 8, 8), 0, 100, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TBitmap preview;
        const bool shown = ui::PicturePreview(c.file, c.boxW, c.boxH, preview);
        EXPECT_EQ(shown, c.wantW > 0);
        if (!shown)
            continue;
        ASSERT_EQ(preview.Width(), c.wantW);
        ASSERT_EQ(preview.Height(), c.wantH);
        const int y = preview.Height() / 2;
        EXPECT_EQ(preview.Canvas().Pixels(0, y), clRed);
        EXPECT_EQ(preview.Canvas().Pixels(preview.Width() - 1, y), clBlue);
    }
}

TEST_F(CommonDialogsTest, ThePreviewOfTheToolkitsDialogFollowsTheFileUnderTheCursor)
{
    TBitmap bitmap(300, 150, pf24bit);
    bitmap.Canvas().Brush.Color = clLime;
    bitmap.Canvas().FillRect(Rect(0, 0, 300, 150));
    std::string picture = PathIn("vorschau.bmp");
    bitmap.SaveToFile(picture);

    EXPECT_TRUE(TOpenPictureDialog(nullptr).PreviewsPictures());
    EXPECT_TRUE(TSavePictureDialog(nullptr).PreviewsPictures());
    EXPECT_FALSE(TOpenDialog(nullptr).PreviewsPictures());

    ui::test::TPreviewedFileWindow dialog;
    ASSERT_TRUE(dialog.HasOnePreview());
    EXPECT_TRUE(dialog.IsToolkitsOwn());

    ui::test::TShownImage shown = dialog.PointAt(picture);
    ASSERT_FALSE(shown.Empty());
    EXPECT_EQ(shown.Width, 2 * shown.Height);
    EXPECT_EQ(shown.Color(shown.Width / 2, shown.Height / 2), clLime);

    EXPECT_TRUE(dialog.PointAt(MakeFile("notiz.txt")).Empty()) << "no picture, no preview";
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

TEST_F(CommonDialogsTest, DirectorySelectionMakesAMissingFolderOnlyWhenAllowed)
{
    const struct {
        const char* name;
        TSelectDirOpts options;
        std::vector<int> answers; // the dialog's, then the question's
        bool chosen;
        bool made;
        std::vector<std::string> asked;
    } cases[] = {
        {"not allowed", {}, {IDOK}, false, false, {"SelectDirectory", "MessageBox"}},
        {"allowed, not made", {sdAllowCreate}, {IDOK}, true, false, {"SelectDirectory"}},
        {"made", {sdAllowCreate, sdPerformCreate}, {IDOK}, true, true, {"SelectDirectory"}},
        {"asked, no",
         {sdAllowCreate, sdPrompt, sdPerformCreate},
         {IDOK, IDNO},
         false,
         false,
         {"SelectDirectory", "MessageBox"}},
        {"asked, yes",
         {sdAllowCreate, sdPrompt, sdPerformCreate},
         {IDOK, IDYES},
         true,
         true,
         {"SelectDirectory", "MessageBox"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string missing = PathIn(std::string("neu ") + c.name);
        std::string folder = dir_.string();
        ui::ClearRecordedDialogs();
        ui::ScriptAnswer(c.answers[0], missing);
        for (size_t i = 1; i < c.answers.size(); ++i)
            ui::ScriptAnswer(c.answers[i]);
        EXPECT_EQ(ui::SelectDirectory(folder, c.options), c.chosen);
        EXPECT_EQ(folder, c.chosen ? missing : dir_.string());
        EXPECT_EQ(std::filesystem::is_directory(missing), c.made);
        std::vector<std::string> asked;
        for (const ui::TDialogRecord& record : ui::RecordedDialogs())
            asked.push_back(record.Request.Kind);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(ui::RecordedDialogs().front().Request.Value, dir_.string());
    }
    // An existing folder is taken as it is.
    std::string folder = "/";
    ui::ScriptAnswer(IDOK, dir_.string());
    EXPECT_TRUE(ui::SelectDirectory(folder, {}));
    EXPECT_EQ(folder, dir_.string());
}

} // namespace

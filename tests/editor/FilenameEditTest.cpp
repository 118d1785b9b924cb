#include "editor/controls/FilenameEdit.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/rtl/StringList.h"
#include "tests/ui/UiFixture.h"

namespace {

class FilenameEditTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        dir_ = std::filesystem::temp_directory_path() / ("filenameedit_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_ / "mit Leerzeichen");
        form_ = NewForm(300, 150);
        edit_ = new TFilenameEdit(form_);
        edit_->SetParent(form_);
        edit_->SetBounds(10, 10, 200, 21);
    }
    void TearDown() override
    {
        UiTest::TearDown();
        std::filesystem::remove_all(dir_);
    }

    std::string MakeFile(const std::string& name)
    {
        std::string path = (dir_ / name).string();
        std::ofstream(path) << "x";
        return path;
    }
    std::string Folder(const std::string& name = {}) const
    {
        return (name.empty() ? dir_ : dir_ / name).string() + "/";
    }

    // Presses the button; the dialog takes the scripted answer.
    void PressButton()
    {
        Click(edit_->ButtonContainer(), {5, 5});
        Turn();
    }
    const ui::TDialogRecord& LastDialog() const { return ui::RecordedDialogs().back(); }

    std::filesystem::path dir_;
    TForm* form_ = nullptr;
    TFilenameEdit* edit_ = nullptr;
};

TEST_F(FilenameEditTest, NamesWithBlanksAreQuotedAndReadBackWithoutQuotes)
{
    const std::string existing = MakeFile("mit Leerzeichen/Bild 1.jpg");
    const struct {
        std::string text;
        std::string name;
    } cases[] = {
        {"\"" + existing + "\"", existing},
        {existing, existing}, // names an existing file: taken whole
        {Folder("mit Leerzeichen") + "fehlt.jpg", (dir_ / "mit").string()},
        {"\"/a b/c.txt\" -x", "/a b/c.txt"},
        {"/ohne/leer.txt", "/ohne/leer.txt"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FilenameEdit::NameFromText(c.text), c.name) << c.text;
        edit_->SetText(c.text);
        EXPECT_EQ(edit_->FileName(), c.name) << c.text;
    }
    EXPECT_EQ(FilenameEdit::QuoteFileName("/a b/c.txt"), "\"/a b/c.txt\"");
    EXPECT_EQ(FilenameEdit::QuoteFileName("\"/a b/c.txt\""), "\"/a b/c.txt\"");
    EXPECT_EQ(FilenameEdit::QuoteFileName("/ab/c.txt"), "/ab/c.txt");

    edit_->SetFileName(existing);
    EXPECT_EQ(edit_->Text(), "\"" + existing + "\"");
    EXPECT_EQ(edit_->FileName(), existing);
    edit_->SetFileName("");
    EXPECT_EQ(edit_->Text(), "");
    try {
        edit_->SetFileName("/a|b.txt");
        FAIL() << "no error for a name no file can have";
    } catch (const EComboEditError& e) {
        EXPECT_NE(std::string(e.what()).find("/a|b.txt"), std::string::npos) << e.what();
    }
    EXPECT_EQ(edit_->Text(), "");
}

TEST_F(FilenameEditTest, TheDialogStartsAtTheEditsFileAndWritesTheChoiceBack)
{
    const std::string start = MakeFile("start.txt");
    const std::string chosen = MakeFile("mit Leerzeichen/gewählt.txt");
    edit_->SetFilter("Texte|*.txt|Alle Dateien|*.*");
    edit_->SetFilterIndex(2);
    int changes = 0;
    edit_->OnChange = [&](TObject*) { ++changes; };
    edit_->SetText(start);
    changes = 0;

    ui::ScriptAnswer(IDOK, chosen);
    PressButton();
    EXPECT_EQ(LastDialog().Request.Kind, "OpenDialog");
    EXPECT_EQ(LastDialog().Request.Value, start);
    EXPECT_EQ(LastDialog().Request.Text, "Texte|*.txt|Alle Dateien|*.*");
    EXPECT_EQ(edit_->Text(), "\"" + chosen + "\"");
    EXPECT_EQ(edit_->FileName(), chosen);
    EXPECT_EQ(edit_->InitialDir(), Folder("mit Leerzeichen"));
    EXPECT_EQ(changes, 1);

    // Cancel keeps the text; the dialog was started in the text's folder.
    edit_->SetText(start);
    ui::ScriptAnswer(IDCANCEL);
    PressButton();
    EXPECT_EQ(edit_->Text(), start);
    EXPECT_EQ(edit_->InitialDir(), Folder());

    // A folder alone gives the dialog no name; a name no file can have
    // leaves the dialog's start as it was.
    const struct {
        std::string text;
        std::string offered;
        std::string initialDir;
    } starts[] = {
        {"\"" + Folder("mit Leerzeichen") + "\"", "", Folder("mit Leerzeichen")},
        {"/nirgends/da.txt", "/nirgends/da.txt", Folder("mit Leerzeichen")},
        {"[kaputt].txt", "/nirgends/da.txt", Folder("mit Leerzeichen")},
    };
    for (const auto& s : starts) {
        edit_->SetText(s.text);
        ui::ScriptAnswer(IDCANCEL);
        PressButton();
        EXPECT_EQ(LastDialog().Request.Value, s.offered) << s.text;
        EXPECT_EQ(edit_->InitialDir(), s.initialDir) << s.text;
    }
}

TEST_F(FilenameEditTest, ANewDialogKindKeepsTheSettings)
{
    edit_->SetFilter("Bilder|*.jpg");
    edit_->SetFilterIndex(1);
    edit_->SetDialogTitle("Bild wählen");
    edit_->SetDefaultExt("jpg");
    edit_->SetInitialDir(Folder());
    const struct {
        TFileDialogKind kind;
        std::string recorded;
    } kinds[] = {{dkSave, "SaveDialog"},
                 {dkOpenPicture, "OpenPictureDialog"},
                 {dkSavePicture, "SavePictureDialog"},
                 {dkOpen, "OpenDialog"}};
    for (const auto& k : kinds) {
        edit_->SetDialogKind(k.kind);
        EXPECT_EQ(edit_->Filter(), "Bilder|*.jpg");
        EXPECT_EQ(edit_->DialogTitle(), "Bild wählen");
        EXPECT_EQ(edit_->DefaultExt(), "jpg");
        EXPECT_EQ(edit_->InitialDir(), Folder());
        ui::ScriptAnswer(IDOK, Folder() + "neu");
        PressButton();
        EXPECT_EQ(LastDialog().Request.Kind, k.recorded);
        EXPECT_EQ(LastDialog().Request.Caption, "Bild wählen");
        EXPECT_EQ(edit_->FileName(), Folder() + "neu.jpg") << "the default extension is added";
    }
}

TEST_F(FilenameEditTest, TheEventsAroundTheDialogCanStopAndRewrite)
{
    const std::string file = MakeFile("a.txt");
    edit_->SetText(file);
    const size_t before = ui::RecordedDialogs().size();
    edit_->OnBeforeDialog = [](TObject*, std::string&, bool& action) { action = false; };
    PressButton();
    EXPECT_EQ(ui::RecordedDialogs().size(), before) << "no dialog";

    edit_->OnBeforeDialog = [&](TObject*, std::string& name, bool&) { name = Folder() + "vorher.txt"; };
    edit_->OnAfterDialog = [](TObject*, std::string&, bool& action) { action = false; };
    ui::ScriptAnswer(IDOK, MakeFile("b.txt"));
    PressButton();
    EXPECT_EQ(LastDialog().Request.Value, Folder() + "vorher.txt");
    EXPECT_EQ(edit_->Text(), file) << "stopped after the dialog";

    edit_->OnAfterDialog = [&](TObject*, std::string& name, bool& action) {
        EXPECT_TRUE(action);
        name = Folder() + "nachher datei.txt";
    };
    ui::ScriptAnswer(IDOK, MakeFile("b.txt"));
    PressButton();
    EXPECT_EQ(edit_->Text(), "\"" + Folder() + "nachher datei.txt\"");
}

TEST_F(FilenameEditTest, AltDownOpensTheDialogExceptInAReadOnlyEdit)
{
    form_->Show();
    Turn();
    ui::test::FocusWidget(edit_);
    const std::string file = MakeFile("c.txt");
    ui::ScriptAnswer(IDOK, file);
    SendKey(edit_, TKeyAction::Press, TKey::Down, {ui::test::kmAlt});
    Turn();
    EXPECT_EQ(edit_->FileName(), file);

    edit_->SetText("");
    edit_->SetReadOnly(true);
    const size_t before = ui::RecordedDialogs().size();
    ui::ScriptAnswer(IDOK, file);
    SendKey(edit_, TKeyAction::Press, TKey::Down, {ui::test::kmAlt});
    PressButton();
    EXPECT_EQ(ui::RecordedDialogs().size(), before);
    EXPECT_EQ(edit_->Text(), "");
}

TEST_F(FilenameEditTest, DroppedFilesGiveTheFirstNameOrAllWithMultipleSelection)
{
    edit_->SetAcceptFiles(true);
    form_->Show();
    Turn();
    // A long name arrives whole.
    const std::string longName = MakeFile(std::string(240, 'l') + ".txt");
    ASSERT_GT(longName.size(), 255u);
    const std::vector<std::string> files = {longName, MakeFile("zwei.txt"), MakeFile("drei.txt")};
    int dropped = 0;
    edit_->OnDropFiles = [&](TObject*) { ++dropped; };
    auto drop = [&] {
        ui::test::TForeignDrag drag(edit_, {files, {}});
        drag.Enter({20, 5}, DROPEFFECT_COPY);
        return drag.Drop({20, 5}, DROPEFFECT_COPY).Accepted;
    };

    EXPECT_TRUE(drop());
    EXPECT_EQ(edit_->FileName(), longName);
    EXPECT_EQ(edit_->DialogFiles().Count(), 0);
    EXPECT_EQ(dropped, 1);

    edit_->SetDialogOptions({ofHideReadOnly, ofAllowMultiSelect});
    edit_->SetText("");
    EXPECT_TRUE(drop());
    EXPECT_EQ(edit_->FileName(), longName);
    ASSERT_EQ(edit_->DialogFiles().Count(), 3);
    EXPECT_EQ(edit_->DialogFiles().Strings(2), files[2]);
    EXPECT_EQ(dropped, 2);
    edit_->SetDialogOptions({ofHideReadOnly});
    EXPECT_EQ(edit_->DialogFiles().Count(), 0) << "without multiple selection the collected files go";

    edit_->SetAcceptFiles(false);
    EXPECT_FALSE(drop());
    EXPECT_EQ(dropped, 2);
}

} // namespace

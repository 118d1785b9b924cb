#include "editor/controls/DirectoryEdit.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "tests/ui/UiFixture.h"

namespace {

class DirectoryEditTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        dir_ = std::filesystem::temp_directory_path() / ("directoryedit_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_ / "A");
        std::filesystem::create_directories(dir_ / "Bäume");
        form_ = NewForm(300, 150);
        edit_ = new TDirectoryEdit(form_);
        edit_->SetParent(form_);
        edit_->SetBounds(10, 10, 200, 21);
    }
    void TearDown() override
    {
        UiTest::TearDown();
        std::filesystem::remove_all(dir_);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // Presses the button; the dialog takes the scripted answer.
    void Choose(int result, const std::string& folder = {})
    {
        ui::ScriptAnswer(result, folder);
        Click(edit_->ButtonContainer(), {5, 5});
        Turn();
    }
    const ui::TDialogRecord& LastDialog() const { return ui::RecordedDialogs().back(); }

    std::filesystem::path dir_;
    TForm* form_ = nullptr;
    TDirectoryEdit* edit_ = nullptr;
};

TEST_F(DirectoryEditTest, TheDialogOpensAtTheEditsFolderOrAtTheRoot)
{
    const struct {
        std::string text;
        std::string initialDir;
        std::string openedAt;
    } cases[] = {
        {Path("A"), "", Path("A")},      {"", Path("Bäume"), Path("Bäume")}, {"", "", "/"},
        {Path("fehlt"), Path("A"), "/"}, {"", Path("fehlt"), "/"},
    };
    for (const auto& c : cases) {
        edit_->SetText(c.text);
        edit_->InitialDir = c.initialDir;
        Choose(IDCANCEL);
        EXPECT_EQ(LastDialog().Request.Kind, "SelectDirectory");
        EXPECT_EQ(LastDialog().Request.Value, c.openedAt) << c.text << " / " << c.initialDir;
        EXPECT_EQ(edit_->Text(), c.text) << "cancelled";
    }

    edit_->DialogKind = dkWin32;
    edit_->DialogText = "Ordner für den Katalog";
    Choose(IDOK, Path("Bäume"));
    EXPECT_EQ(LastDialog().Request.Kind, "BrowseForFolder");
    EXPECT_EQ(LastDialog().Request.Caption, "Ordner für den Katalog");
    EXPECT_EQ(edit_->Text(), Path("Bäume"));
    EXPECT_EQ(edit_->InitialDir, Path("Bäume"));
}

TEST_F(DirectoryEditTest, TheChosenFolderReplacesTheTextOrIsAddedAfterASemicolon)
{
    edit_->SetText(Path("A"));
    Choose(IDOK, Path("Bäume"));
    EXPECT_EQ(edit_->Text(), Path("Bäume"));

    edit_->SetMultipleDirs(true);
    edit_->SetText(Path("A"));
    Choose(IDOK, Path("Bäume"));
    EXPECT_EQ(edit_->Text(), Path("A") + ";" + Path("Bäume"));
    EXPECT_EQ(edit_->InitialDir, Path("Bäume"));

    // The selected part of the text goes first: with all of it selected the
    // choice stands alone; a selection after a non-ASCII letter is found by
    // characters.
    edit_->SetText(Path("Bäume") + ";x");
    edit_->SelectAll();
    Choose(IDOK, Path("A"));
    EXPECT_EQ(edit_->Text(), Path("A"));
    edit_->SetText(Path("Bäume") + ";x");
    const int characters = static_cast<int>(Path("").size()) + 5;
    edit_->SetSelStart(characters);
    edit_->SetSelLength(2);
    Choose(IDOK, Path("A"));
    EXPECT_EQ(edit_->Text(), Path("Bäume") + ";" + Path("A"));

    // The events around the dialog.
    edit_->SetText(Path("A"));
    edit_->OnBeforeDialog = [](TObject*, std::string&, bool& action) { action = false; };
    const size_t before = ui::RecordedDialogs().size();
    Choose(IDOK, Path("Bäume"));
    EXPECT_EQ(ui::RecordedDialogs().size(), before);
    edit_->OnBeforeDialog = nullptr;
    edit_->OnAfterDialog = [](TObject*, std::string&, bool& action) { action = false; };
    Choose(IDOK, Path("Bäume"));
    EXPECT_EQ(edit_->Text(), Path("A"));
}

TEST_F(DirectoryEditTest, ADroppedFileGivesItsFolder)
{
    const std::string file = Path("A") + "/bild.jpg";
    std::ofstream(file) << "x";
    edit_->SetAcceptFiles(true);
    form_->Show();
    Turn();
    auto drop = [&](const std::string& name) {
        ui::test::TForeignDrag drag(edit_, {{name}, {}});
        drag.Enter({20, 5}, DROPEFFECT_COPY);
        drag.Drop({20, 5}, DROPEFFECT_COPY);
    };
    drop(file);
    EXPECT_EQ(edit_->Text(), Path("A") + "/");
    drop(Path("Bäume"));
    EXPECT_EQ(edit_->Text(), Path("Bäume"));
    edit_->SetMultipleDirs(true);
    drop(file);
    EXPECT_EQ(edit_->Text(), Path("Bäume") + ";" + Path("A") + "/");

    // The long forms of several folders skip the empty parts.
    edit_->SetText(Path("A") + ";;" + Path("Bäume"));
    EXPECT_EQ(edit_->LongPathOfText(), Path("A") + ";" + Path("Bäume"));
    edit_->SetMultipleDirs(false);
    edit_->SetText(Path("A"));
    EXPECT_EQ(edit_->ShortPathOfText(), Path("A"));
}

} // namespace

// Renaming a picture's file: the decision table on a temporary folder with
// scripted answers, and the rename window from the main window pointing every
// picture of the same file to the new name.

#include "editor/app/RenameSteps.h"
#include "editor/app/RenameUnit.h"

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/ui/StdCtrls.h"
#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace RenameSteps;

class RenameStepsTest : public ::testing::Test {
protected:
    EditorScratch scratch;

    std::string Make(const std::string& name, const std::string& content = "x")
    {
        const std::string path = scratch.Path(name);
        std::ofstream(path) << content;
        return path;
    }
    static std::string Content(const std::string& path)
    {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(RenameStepsTest, TheDecisionTable)
{
    const struct {
        const char* what;
        const char* typed;
        std::vector<TAnswer> answers; // in the order the questions come
        std::vector<TQuestion> asked;
        TOutcome outcome;
        const char* result; // the file that then holds the picture
    } table[] = {
        {"no extension gets the old one", "b", {}, {}, roRenamed, "b.jpg"},
        {"same extension in other case", "b.JPG", {}, {}, roRenamed, "b.JPG"},
        {"another extension, yes", "b.png", {raYes}, {rqExtension}, roRenamed, "b.png"},
        {"another extension, no", "b.png", {raNo}, {rqExtension}, roClose, "a.jpg"},
        {"another extension, cancel", "b.png", {raCancel}, {rqExtension}, roEditMore, "a.jpg"},
        {"another folder, yes: stays in its folder", "/somewhere/else/b", {raYes}, {rqFolder}, roRenamed, "b.jpg"},
        {"another folder, no", "/somewhere/else/b", {raNo}, {rqFolder}, roClose, "a.jpg"},
        {"the same name", "a.jpg", {}, {}, roClose, "a.jpg"},
        {"only the case differs: another file here", "A.jpg", {}, {}, roRenamed, "A.jpg"},
        {"an existing file, yes", "c", {raYes}, {rqOverwrite}, roRenamed, "c.jpg"},
        {"an existing file, no", "c", {raNo}, {rqOverwrite}, roClose, "a.jpg"},
        {"an existing file, cancel", "c", {raCancel}, {rqOverwrite}, roEditMore, "a.jpg"},
    };
    for (const auto& t : table) {
        fs::remove_all(scratch.Path("pics"));
        fs::create_directories(scratch.Path("pics"));
        const std::string old = Make("pics/a.jpg", "picture");
        Make("pics/c.jpg", "other");
        std::vector<TQuestion> asked;
        std::string overwriteName;
        size_t next = 0;
        const TResult result = Rename(old, t.typed, [&](TQuestion q, const std::string& name) {
            asked.push_back(q);
            if (q == rqOverwrite)
                overwriteName = name;
            return next < t.answers.size() ? t.answers[next++] : raCancel;
        });
        EXPECT_EQ(result.Outcome, t.outcome) << t.what;
        EXPECT_EQ(asked, t.asked) << t.what;
        EXPECT_EQ(Content(scratch.Path(std::string("pics/") + t.result)), "picture") << t.what;
        if (t.outcome == roRenamed) {
            EXPECT_EQ(result.NewName, scratch.Path(std::string("pics/") + t.result)) << t.what;
            EXPECT_FALSE(fs::exists(old)) << t.what;
        }
        if (!overwriteName.empty()) {
            EXPECT_EQ(overwriteName, scratch.Path("pics/c.jpg")) << t.what;
        }
    }
}

TEST_F(RenameStepsTest, ANameLeadingToThePicturesOwnFileIsRefused)
{
    fs::create_directories(scratch.Path("pics"));
    const std::string old = Make("pics/a.jpg", "picture");
    // Another name of the same file, as a case-insensitive volume gives it.
    fs::create_hard_link(old, scratch.Path("pics/alias.jpg"));
    bool asked = false;
    const TResult result = Rename(old, "alias.jpg", [&](TQuestion, const std::string&) {
        asked = true;
        return raYes;
    });
    EXPECT_EQ(result.Outcome, roEditMore);
    EXPECT_FALSE(asked);
    EXPECT_EQ(Content(old), "picture");
}

TEST_F(RenameStepsTest, AFailedRenameKeepsBothFiles)
{
    const std::string old = Make("a.jpg", "picture");
    fs::create_directories(scratch.Path("b.jpg/inside"));
    const TResult result = Rename(old, "b", [](TQuestion, const std::string&) { return raYes; });
    EXPECT_EQ(result.Outcome, roFailed);
    EXPECT_EQ(Content(old), "picture");
    EXPECT_TRUE(fs::exists(scratch.Path("b.jpg/inside")));
    const std::string message = FailureMessage(old, result.NewName);
    EXPECT_NE(message.find("konnte nicht nach \"" + scratch.Path("b.jpg") + "\" umbenannt werden!"), std::string::npos);
    EXPECT_EQ(message.substr(message.size() - 17), "\\ / : * ? \" < > |");
}

class RenameFormTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        savedHomeDir_ = Setup::HomeDir;
        Setup::HomeDir = scratch.Path("");
        std::ofstream(scratch.Path("a.jpg")) << "picture";
        std::ofstream(scratch.Path("b.jpg")) << "other";
        form = new TAAForm(nullptr);
        form->StartTimerTimer(nullptr);
        form->AddPictureFiles({scratch.Path("a.jpg"), scratch.Path("b.jpg"), scratch.Path("a.jpg")}, false);
        ui::ClearRecordedDialogs();
    }
    void TearDown() override
    {
        delete form;
        Setup::HomeDir = savedHomeDir_;
        UiTest::TearDown();
    }

    EditorScratch scratch;
    TAAForm* form = nullptr;

private:
    std::string savedHomeDir_;
};

TEST_F(RenameFormTest, RenamingFromTheMainWindowUpdatesEveryPictureOfTheFile)
{
    ASSERT_EQ(form->PicCount(), 3);
    form->PicListBox->SetItemIndex(2);
    form->PicListBox->SetSelected(2, true);
    LaterOnModalForm<TRenameForm>([&](TRenameForm& dialog) {
        EXPECT_EQ(dialog.Caption(), "Bild umbenennen");
        EXPECT_EQ(dialog.FilenameEdit->Text(), "a.jpg");
        dialog.FilenameEdit->SetText("neu");
        dialog.RenameBtn->Click();
    });
    form->RenamePictureClick(nullptr);
    EXPECT_EQ(form->GetPicInfoObject(0)->FileName, scratch.Path("neu.jpg"));
    EXPECT_EQ(form->GetPicInfoObject(2)->FileName, scratch.Path("neu.jpg"));
    EXPECT_EQ(form->GetPicInfoObject(1)->FileName, scratch.Path("b.jpg"));
    EXPECT_TRUE(fs::exists(scratch.Path("neu.jpg")));
    EXPECT_EQ(form->PicListBox->Items().Strings(0), TAAForm::ListItemText(0, scratch.Path("neu.jpg")));
}

TEST_F(RenameFormTest, AnExistingNameIsAskedAboutAndCancelGoesBackToTheEdit)
{
    form->PicListBox->SetItemIndex(0);
    form->PicListBox->SetSelected(0, true);
    ui::ScriptAnswer(mrCancel);
    LaterOnModalForm<TRenameForm>([&](TRenameForm& dialog) {
        dialog.FilenameEdit->SetText("b");
        dialog.RenameBtn->Click();
        EXPECT_EQ(dialog.ModalResult, mrNone) << "Cancel goes back to the edit";
        dialog.CancelBtn->Click();
    });
    form->RenamePictureClick(nullptr);
    ASSERT_FALSE(ui::RecordedDialogs().empty());
    EXPECT_EQ(ui::RecordedDialogs().front().Request.Text,
              "Die Datei \"" + scratch.Path("b.jpg") + "\" existiert bereits!\r\rSoll sie überschrieben werden?");
    EXPECT_EQ(form->GetPicInfoObject(0)->FileName, scratch.Path("a.jpg"));
}

} // namespace

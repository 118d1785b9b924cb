#include "editor/app/About.h"
#include "editor/app/CreateDirDlgUnit.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/Setup.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "tests/ui/UiFixture.h"

namespace fs = std::filesystem;

namespace {

class AboutTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        folder_ = fs::temp_directory_path() / ("vistelo_about_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        savedHome_ = Setup::HomeDir;
        Setup::HomeDir = folder_.string() + "/";
    }

    void TearDown() override
    {
        Setup::HomeDir = savedHome_;
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        UiTest::TearDown();
    }

    fs::path folder_;
    std::string savedHome_;
};

TEST_F(AboutTest, TheBoxShowsTheVersionAndCopesWithoutItsPicture)
{
    auto* form = new TAboutForm(nullptr);
    EXPECT_EQ(form->Caption(), "Info");
    EXPECT_EQ(form->BorderStyle(), bsNone);
    EXPECT_EQ(form->Width(), 397);
    EXPECT_EQ(form->Height(), 347);
    EXPECT_EQ(form->VersionLabel->Caption(), "Version 3.509");
    EXPECT_EQ(form->ReleaseLabel->Caption(), "Release: 06.02.2001");
    EXPECT_EQ(TAboutForm::PictureFile(), folder_.string() + "/Vistelo.jpg");
    EXPECT_TRUE(form->AboutImage->Picture().Graphic() == nullptr || form->AboutImage->Picture().Graphic()->Empty());
    EXPECT_EQ(form->BitBtn1->ModalResult, mrOk);
    delete form;
}

TEST_F(AboutTest, FoldersAreMadeInsideTheBaseFolderWithEveryMissingLevel)
{
    const fs::path base = folder_ / "Ziel";
    fs::create_directories(base);
    const fs::path before = fs::current_path();
    struct Case {
        const char* name;
        bool made;
        fs::path expected;
    } cases[] = {
        {"Urlaub", true, base / "Urlaub"},
        {"Reisen/2001/Sommer", true, base / "Reisen/2001/Sommer"},
        {"Urlaub", true, base / "Urlaub"}, // already there: fine
        {"", false, {}},
    };
    for (const Case& c : cases) {
        std::string made = "unverändert";
        EXPECT_EQ(CreateDirDlgUnit::MakeFolder(base.string(), c.name, made), c.made) << c.name;
        if (c.made) {
            EXPECT_EQ(made, c.expected.string()) << c.name;
            EXPECT_TRUE(fs::is_directory(c.expected)) << c.name;
        } else {
            EXPECT_EQ(made, "unverändert");
        }
    }
    // A folder that cannot be made: a file stands in the way.
    {
        std::ofstream(base / "Datei") << "x";
    }
    std::string made;
    EXPECT_FALSE(CreateDirDlgUnit::MakeFolder(base.string(), "Datei/Unter", made));
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(AboutTest, TheDialogReportsFailureAndCancelInsteadOfOK)
{
    const std::string base = (folder_ / "Ziel").string();
    fs::create_directories(base);
    {
        std::ofstream(folder_ / "Ziel" / "Datei") << "x";
    }

    TCreateDirDlg dialog(nullptr);
    dialog.DirNameEdit->SetText(base);
    dialog.OnActivate(&dialog);
    EXPECT_EQ(dialog.BaseFolder(), base);
    dialog.DirNameEdit->SetText("Neu");
    dialog.OKBtnClick(dialog.OKBtn);
    EXPECT_EQ(dialog.ModalResult, mrOk);
    EXPECT_EQ(dialog.DirNameEdit->Text(), base + "/Neu");
    EXPECT_TRUE(ui::RecordedDialogs().empty());

    dialog.ModalResult = mrNone;
    dialog.DirNameEdit->SetText("Datei/Unter");
    dialog.OKBtnClick(dialog.OKBtn);
    EXPECT_EQ(dialog.ModalResult, mrCancel);
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Das Verzeichnis Datei/Unter konnte nicht erstellt werden.");
    EXPECT_EQ(dialog.DirNameEdit->Text(), "Datei/Unter");
    EXPECT_EQ(dialog.CancelBtn->ModalResult, mrCancel);
}

} // namespace

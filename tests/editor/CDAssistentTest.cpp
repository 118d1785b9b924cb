#include "editor/tools/CDAssistentUnit.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/Setup.h"
#include "core/VisteloList.h"
#include "editor/app/Config.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/ToolHooks.h"
#include "editor/controls/DirectoryListBox.h"
#include "editor/controls/SymbolChkList.h"
#include "editor/tools/CDAssistentTexts.h"
#include "platform/graphics/Font.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "tests/ui/UiFixture.h"
#include "widgets/FileLbl.h"

namespace {

namespace fs = std::filesystem;

// The assistant over a show of the access layer, in a folder of its own.
class CDAssistentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() /
            ("vistelo_cdform_" + std::to_string(::getpid()) + "_" + std::to_string(++run_));
        fs::create_directories(root_ / "bilder");
        savedShowFile_ = Setup::VisteloFilename;
        Setup::VisteloFilename = (root_ / "bilder" / "Urlaub.vsf").string();
        PicInfoUnit::PicInfoAccessMethod = paVistelo;
        PicInfoUnit::AccessVistelo = &show_;
        ui::BeginDialogScript();
    }

    void TearDown() override
    {
        ui::EndDialogScript();
        PicInfoUnit::PicInfoAccessMethod = paPicListBox;
        PicInfoUnit::AccessVistelo = nullptr;
        Setup::VisteloFilename = savedShowFile_;
        fs::remove_all(root_);
    }

    void AddPicture(const std::string& name, bool ticked, const std::string& font = "", const std::string& text = "")
    {
        const fs::path file = root_ / "bilder" / name;
        std::ofstream(file) << "picture";
        TPicInfoObject entry;
        entry.FileName = file.string();
        entry.ShowImage = ticked;
        entry.Comments = text;
        if (!font.empty())
            entry.CommentFont->SetName(font);
        show_.AddDia(entry);
    }

    std::string Page() const { return form_->PageControl->ActivePage()->Name(); }

    std::unique_ptr<TCDAssistentDlg> Open()
    {
        auto form = std::make_unique<TCDAssistentDlg>(nullptr);
        form_ = form.get();
        form->FormActivate(form.get());
        return form;
    }

    fs::path root_;
    TVistelo show_;
    TCDAssistentDlg* form_ = nullptr;
    std::string savedShowFile_;
    static inline int run_ = 0;
};

TEST_F(CDAssistentTest, TheWayToTheCDFolderAndBack)
{
    AddPicture("a.jpg", true);
    auto form = Open();
    EXPECT_EQ(form->Caption(), "Zusammenstellungs-Assistent");
    EXPECT_EQ(form->PageControl->PageCount(), 14);
    EXPECT_EQ(Page(), "StartPage");
    EXPECT_FALSE(form->BackBtn->Enabled());
    EXPECT_TRUE(form->NextBtn->Enabled());

    struct Step {
        void (TCDAssistentDlg::*Button)(TObject*);
        const char* Page;
        bool Back, Next;
    };
    const Step steps[] = {
        {&TCDAssistentDlg::NextBtnClick, "ChooseActionPage", true, true},
        {&TCDAssistentDlg::NextBtnClick, "BurnCDChooseDirPage", true, true},
        {&TCDAssistentDlg::NextBtnClick, "CopyFontsPage", true, true},
        {&TCDAssistentDlg::NextBtnClick, "ConfirmCreateVisteloPage", true, false},
        {&TCDAssistentDlg::BackBtnClick, "CopyFontsPage", true, true},
        {&TCDAssistentDlg::BackBtnClick, "BurnCDChooseDirPage", true, true},
        {&TCDAssistentDlg::BackBtnClick, "ChooseActionPage", true, true},
        {&TCDAssistentDlg::BackBtnClick, "StartPage", false, true},
    };
    form->CDDirListBox->SetDirectory(root_.string());
    for (const Step& step : steps) {
        ((*form).*step.Button)(nullptr);
        EXPECT_EQ(Page(), step.Page);
        EXPECT_EQ(form->BackBtn->Enabled(), step.Back) << step.Page;
        EXPECT_EQ(form->NextBtn->Enabled(), step.Next) << step.Page;
        if (std::string(step.Page) == "ConfirmCreateVisteloPage") {
            EXPECT_EQ(form->ShowDirLabel->FileName(), root_.string());
        }
    }
    // Coming back from a message or a dialog activates the window again; the
    // page stays.
    form->ShowPage("CopyFontsPage");
    form->FormActivate(form.get());
    EXPECT_EQ(Page(), "CopyFontsPage");

    form->ShowPage("CreateVisteloWorkingPage");
    EXPECT_FALSE(form->BackBtn->Enabled());
    EXPECT_FALSE(form->NextBtn->Enabled());
    EXPECT_FALSE(form->CancelBtn->Enabled()) << "a run cannot be left halfway";
}

TEST_F(CDAssistentTest, TheChoicesFollowWhatTheListHolds)
{
    AddPicture("a.jpg", true);
    AddPicture("b.jpg", true);
    {
        auto form = Open();
        EXPECT_TRUE(form->CDBurnCheck->Enabled());
        EXPECT_TRUE(form->CopyPicturesCheck->Enabled());
        EXPECT_FALSE(form->DeletePicturesCheck->Enabled()) << "nothing crossed";
        EXPECT_TRUE(form->DelAllCheck->Checked());

        form->CopyPicturesCheck->SetChecked(true);
        form->ShowPage("ChooseActionPage");
        form->NextBtnClick(nullptr);
        EXPECT_EQ(Page(), "CopyPicturesChooseDirPage");
        form->DirectoryListBox2->SetDirectory(root_.string());
        form->NextBtnClick(nullptr);
        EXPECT_EQ(Page(), "ConfirmCopyPicturesPage");
        EXPECT_EQ(form->ShowPicDirLabel->FileName(), root_.string());
        form->BackBtnClick(nullptr);
        form->BackBtnClick(nullptr);
        EXPECT_EQ(Page(), "ChooseActionPage");
    }
    show_.GetPicInfo(1)->ShowImage = false;
    auto form = Open();
    form->DeletePicturesCheck->SetChecked(true);
    form->ShowPage("ChooseActionPage");
    form->NextBtnClick(nullptr);
    EXPECT_EQ(Page(), "DelSoundPicPage");
    form->NextBtnClick(nullptr);
    EXPECT_EQ(Page(), "ConfirmDeletePicturesPage");
    EXPECT_FALSE(form->NextBtn->Enabled());
    form->BackBtnClick(nullptr);
    EXPECT_EQ(Page(), "DelSoundPicPage");
}

TEST_F(CDAssistentTest, WithoutPicturesOrShowsItSaysSoAndGoesNoFurther)
{
    auto form = Open();
    EXPECT_FALSE(form->NextBtn->Enabled());
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, CDAssistentTexts::NoPictures);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Buttons.size(), 2u) << "OK and Help";

    ui::ClearRecordedDialogs();
    TVisteloList empty;
    TCDAssistentDlg listForm(nullptr);
    listForm.Mode = 1;
    listForm.VisteloList = &empty;
    listForm.FormActivate(&listForm);
    EXPECT_EQ(listForm.PageControl->ActivePage(), listForm.VisteloListStartTabSheet);
    EXPECT_FALSE(listForm.NextBtn->Enabled());
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, CDAssistentTexts::NoShows);
}

TEST_F(CDAssistentTest, AShowListGoesFromItsOwnStartPageToTheFolder)
{
    TVisteloList list;
    auto item = std::make_unique<TVisteloListItem>();
    item->ShowFile = "Sommer.vsf";
    list.Items->AddItem(std::move(item));
    TCDAssistentDlg form(nullptr);
    form.Mode = 1;
    form.VisteloList = &list;
    form.FormActivate(&form);
    EXPECT_EQ(form.PageControl->ActivePage(), form.VisteloListStartTabSheet);
    EXPECT_FALSE(form.BackBtn->Enabled());
    form.NextBtnClick(nullptr);
    EXPECT_EQ(form.PageControl->ActivePage(), form.BurnCDChooseDirPage);
    form.CDDirListBox->SetDirectory(root_.string());
    form.NextBtnClick(nullptr);
    form.NextBtnClick(nullptr);
    EXPECT_EQ(form.PageControl->ActivePage(), form.ConfirmBurnVisteloListPage);
    EXPECT_EQ(form.BurnVisteloListDirectoryLabel->FileName(), root_.string());
    form.BackBtnClick(nullptr);
    form.BackBtnClick(nullptr);
    EXPECT_EQ(form.PageControl->ActivePage(), form.BurnCDChooseDirPage);
    form.BackBtnClick(nullptr);
    EXPECT_EQ(form.PageControl->ActivePage(), form.VisteloListStartTabSheet);
}

TEST_F(CDAssistentTest, TheFontChoicesOfThePageReachTheRun)
{
    AddPicture("a.jpg", true, "Liberation Serif", "Text");
    AddPicture("b.jpg", true, "Arial", "Text");
    auto form = Open();
    ASSERT_EQ(form->UsedFontsListBox->Items().Count(), 2);
    EXPECT_TRUE(form->UsedFontsListBox->GetChecked(0));
    EXPECT_FALSE(form->UsedFontsListBox->GetChecked(1));

    form->ShowPage("CopyFontsPage");
    EXPECT_FALSE(form->UsedFontsListBox->Enabled()) << "fonts are copied only when asked";
    form->CopyFontsCheck->SetChecked(true);
    form->CopyFontsCheckClick(nullptr);
    EXPECT_TRUE(form->UsedFontsListBox->Enabled());

    form->UsedFontsListBox->SetItemIndex(0);
    form->UsedFontsListBox->SetChecked(0, false);
    form->UsedFontsListBoxClick(nullptr);
    EXPECT_EQ(form->UsedFontsListBox->Items().Strings(0), "0Liberation Serif");
    form->NextBtnClick(nullptr);
    EXPECT_EQ(form->UsedFonts->Strings(0), "0Liberation Serif") << "taken along to the confirm page";

    // Without a chosen font there is nothing to add files to.
    form->UsedFontsListBox->SetItemIndex(-1);
    ui::ClearRecordedDialogs();
    form->MoreFontsBtnClick(nullptr);
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, CDAssistentTexts::NoFontChosen);

    // A file chosen in the font dialog joins the font's files, ticked.
    form->UsedFontsListBox->SetItemIndex(1);
    form->UsedFontsListBoxClick(nullptr);
    const int before = form->FontFileNamesListBox->Items().Count();
    ui::ClearRecordedDialogs();
    ui::ScriptAnswer(mrOk, "/irgendwo/Extra.ttf");
    form->MoreFontsBtnClick(nullptr);
    ASSERT_EQ(form->FontFileNamesListBox->Items().Count(), before + 1);
    EXPECT_TRUE(form->FontFileNamesListBox->GetChecked(before));
    const auto* files = dynamic_cast<TStringList*>(form->UsedFonts->Objects(1));
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->Strings(before), "1/irgendwo/Extra.ttf");
}

TEST_F(CDAssistentTest, TheStartButtonsRunAndClose)
{
    AddPicture("a.jpg", true);
    AddPicture("b.jpg", false);
    const fs::path home = root_ / "programm";
    fs::create_directories(home);
    for (const char* file : CDAssistentLogic::PlayerFiles)
        std::ofstream(home / file) << file;
    std::ofstream(home / CDAssistentLogic::StartProgram) << "start";
    const std::string savedHome = Setup::HomeDir;
    Setup::HomeDir = home.string() + "/";

    auto form = Open();
    fs::create_directories(root_ / "cd");
    form->CDDirListBox->SetDirectory((root_ / "cd").string());
    form->StartCreateVisteloClick(nullptr);
    EXPECT_TRUE(fs::exists(root_ / "cd" / "Autorun.inf"));
    EXPECT_TRUE(fs::exists(root_ / "cd" / "Pictures" / "a.jpg"));
    EXPECT_FALSE(fs::exists(root_ / "cd" / "Pictures" / "b.jpg")) << "only the ticked pictures by default";
    EXPECT_NE(ui::RecordedDialogs().back().Request.Text.find("wurde erfolgreich abgeschlossen"), std::string::npos);

    // Deleting the crossed picture takes it off the list.
    form = Open();
    ui::ClearRecordedDialogs();
    form->DeletePicturesBtnClick(nullptr);
    EXPECT_EQ(show_.Count, 1);
    EXPECT_FALSE(fs::exists(root_ / "bilder" / "b.jpg"));
    ASSERT_FALSE(ui::RecordedDialogs().empty());
    EXPECT_EQ(ui::RecordedDialogs().back().Request.Text, "Das Löschen wurde erfolgreich abgeschlossen.");
    Setup::HomeDir = savedHome;
}

// The main window's command opens the assistant over the window's own list:
// deleting a crossed picture takes its item out of the list.
class CDAssistentMainWindowTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        root_ = fs::temp_directory_path() / ("vistelo_cdmain_" + std::to_string(::getpid()));
        fs::create_directories(root_);
        savedHome_ = Setup::HomeDir;
        Setup::HomeDir = root_.string() + "/";
        Form = new TAAForm(nullptr);
        Form->StartTimerTimer(nullptr);
        std::vector<std::string> files;
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
            std::ofstream(root_ / name) << "picture";
            files.push_back((root_ / name).string());
        }
        Form->AddPictureFiles(files, false);
        ui::ClearRecordedDialogs();
    }
    void TearDown() override
    {
        delete Form;
        Setup::HomeDir = savedHome_;
        fs::remove_all(root_);
        UiTest::TearDown();
    }

    fs::path root_;
    std::string savedHome_;
    TAAForm* Form = nullptr;
};

TEST_F(CDAssistentMainWindowTest, TheMenuOpensItOverTheListAndDeletingTakesItemsOut)
{
    ASSERT_EQ(Form->PicCount(), 3);
    Form->GetPicInfoObject(1)->ShowImage = false;
    Form->PicListBox->SetChecked(1, false);
    LaterOnModalForm<TCDAssistentDlg>([](TCDAssistentDlg& assistant) {
        EXPECT_TRUE(assistant.DeletePicturesCheck->Enabled());
        assistant.DelPicsCheck->SetChecked(true);
        assistant.DeletePicturesBtnClick(nullptr);
    });
    Form->CDAssistantItem->Click();
    EXPECT_EQ(Form->PicCount(), 2);
    EXPECT_FALSE(fs::exists(root_ / "b.jpg"));
    EXPECT_TRUE(fs::exists(root_ / "a.jpg"));
    EXPECT_EQ(Form->PicListBox->Items().Strings(1), TAAForm::ListItemText(1, (root_ / "c.jpg").string()))
        << "the list is numbered again";
}

} // namespace

// For the run under Xvfb, which cannot include the window's headers beside
// Xlib's: the assistant makes the CD folder of Show (its pictures ticked)
// into Target with the player's files of Home; the texts it told.
std::vector<std::string> MakeCDFolderWithTheAssistant(TVistelo& Show, const std::string& ShowFile,
                                                      const std::string& Home, const std::string& Target)
{
    const std::string savedHome = Setup::HomeDir;
    const std::string savedShowFile = Setup::VisteloFilename;
    Setup::HomeDir = Home;
    Setup::VisteloFilename = ShowFile;
    PicInfoUnit::PicInfoAccessMethod = paVistelo;
    PicInfoUnit::AccessVistelo = &Show;
    ui::BeginDialogScript();
    {
        TCDAssistentDlg assistant(nullptr);
        assistant.FormActivate(&assistant);
        assistant.CDDirListBox->SetDirectory(Target);
        assistant.StartCreateVisteloClick(nullptr);
    }
    std::vector<std::string> told;
    for (const ui::TDialogRecord& record : ui::RecordedDialogs())
        told.push_back(record.Request.Text);
    ui::EndDialogScript();
    PicInfoUnit::PicInfoAccessMethod = paPicListBox;
    PicInfoUnit::AccessVistelo = nullptr;
    Setup::HomeDir = savedHome;
    Setup::VisteloFilename = savedShowFile;
    return told;
}

namespace {

TEST(DirectoryListBox, ShowsThePathDownAndTheFoldersBelow)
{
    const fs::path root = fs::temp_directory_path() / ("vistelo_dirlist_" + std::to_string(::getpid()));
    fs::create_directories(root / "b");
    fs::create_directories(root / "a");
    fs::create_directories(root / ".versteckt");
    std::ofstream(root / "datei.txt") << "x";
    TDirectoryListBox list(nullptr);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.SetDirectory(root.string());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list.Directory(), root.string());
    const int count = list.Items().Count();
    ASSERT_GE(count, 3);
    EXPECT_EQ(list.GetItemPath(0), "/");
    EXPECT_EQ(list.GetItemPath(list.ItemIndex()), root.string()) << "the current folder is the chosen item";
    EXPECT_EQ(list.GetItemPath(count - 2), (root / "a").string());
    EXPECT_EQ(list.GetItemPath(count - 1), (root / "b").string()) << "no files, no hidden folders";

    list.SetDirectory((root / "gibtsnicht" / "tiefer").string());
    EXPECT_EQ(list.Directory(), root.string()) << "the nearest folder that is there";
    fs::remove_all(root);
}

} // namespace

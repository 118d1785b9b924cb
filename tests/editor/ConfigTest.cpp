// The main window on the offscreen platform with scripted dialogs: the
// picture list, opening, saving, starting and sorting a show, and closing.

#include "editor/app/Config.h"
#include "core/Setup.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/ToolHooks.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/TestDriver.h"
#include "tests/editor/MainWindowFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ConfigTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        savedDoublePicsCheck_ = VisteloSetup::DoublePicsCheck;
        savedConfirmExit_ = VisteloSetup::ConfirmExit;
        MainWindowFixture::SetUp();
    }
    void BeforeStart() override
    {
        Form->PlayShow = [this](TVistelo& show, std::int32_t start) {
            Played.push_back({show.Count, start});
            PlayedFiles.clear();
            for (std::int32_t i = 0; i < show.Count; ++i)
                PlayedFiles.push_back(show.GetPicInfo(i)->FileName);
        };
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        VisteloSetup::DoublePicsCheck = savedDoublePicsCheck_;
        VisteloSetup::ConfirmExit = savedConfirmExit_;
    }

    // Pictures "/b/1.jpg" ... "/b/N.jpg".
    void AddNumbered(int count)
    {
        std::vector<std::string> files;
        for (int i = 1; i <= count; ++i)
            files.push_back("/b/" + std::to_string(i) + ".jpg");
        Form->AddPictureFiles(files, false);
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < Form->PicListBox->Items().Count(); ++i)
            texts.push_back(Form->PicListBox->Items().Strings(i));
        return texts;
    }
    void Select(std::initializer_list<int> indices)
    {
        for (int i : indices)
            Form->PicListBox->SetSelected(i, true);
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const ui::TDialogRecord& record : ui::RecordedDialogs())
            texts.push_back(record.Request.Text);
        return texts;
    }
    std::string WriteShow(const std::string& name, const std::vector<std::pair<std::string, bool>>& pictures)
    {
        TConfigVistelo show;
        for (const auto& [file, shown] : pictures) {
            TPicInfoObject entry;
            entry.FileName = file;
            entry.ShowImage = shown;
            show.AddDia(entry);
        }
        const std::string file = Scratch.Path(name);
        EXPECT_TRUE(show.SaveToFile(file));
        return file;
    }

    std::vector<std::pair<std::int32_t, std::int32_t>> Played;
    std::vector<std::string> PlayedFiles;

private:
    bool savedDoublePicsCheck_ = true;
    bool savedConfirmExit_ = false;
};

} // namespace

TEST_F(ConfigTest, ItemsAreNumberedWithTheFileNamePart)
{
    Form->AddPictureFiles({"/home/u/Urlaub/strand.jpg", "relativ/berg.png"}, false);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. strand.jpg", "2. berg.png"}));
    EXPECT_EQ(Form->GetPicInfoObject(0)->FileName, "/home/u/Urlaub/strand.jpg");
    EXPECT_TRUE(Form->GetPicInfoObject(1)->ShowImage);
    Form->AddPictureFiles({"/b/plan.WMF"}, false);
    EXPECT_EQ(Form->GetPicInfoObject(2)->BackgroundColor, TColor(0xFFFFFF));
}

TEST_F(ConfigTest, TheListsMarksFollowThePicturesAndTheUsersToggleReachesThePicture)
{
    Form->AddPictureFiles({"/b/1.jpg", "/b/2.jpg", "/b/3.jpg"}, false);
    const auto marks = [this] {
        std::vector<bool> checked;
        for (int i = 0; i < Form->PicCount(); ++i) {
            EXPECT_EQ(Form->PicListBox->GetChecked(i), Form->GetPicInfoObject(i)->ShowImage) << i;
            checked.push_back(Form->PicListBox->GetChecked(i));
        }
        return checked;
    };
    EXPECT_EQ(marks(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(Form->PicListBox->Images(), Form->PicListBoxSymbols);
    EXPECT_EQ(Form->PicListBoxSymbols->Count(), 2) << "tick and cross";

    Form->GetPicInfoObject(1)->ShowImage = false;
    Form->ReverseCheckMarkClick(nullptr);
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false}));

    // The user crosses item 3 while item 1 alone is selected: the panel keeps
    // showing item 1, and item 3's picture is skipped as its mark says.
    Form->PicListBox->SetItemIndex(0);
    Form->PicListBox->SetSelected(0, true);
    Form->PicListBoxClick(nullptr);
    ui::test::ClickListRowAt(Form->PicListBox, 2, 2, mbLeft);
    EXPECT_TRUE(Form->GetPicInfoObject(2)->ShowImage);
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, true}));

    // With one picture selected its own toggle shows in the panel at once.
    Form->PicListBox->SetItemIndex(1);
    for (int i = 0; i < 3; ++i)
        Form->PicListBox->SetSelected(i, i == 1);
    Form->PicListBoxClick(nullptr);
    EXPECT_TRUE(Form->ShowImageCheck->Checked());
    ui::test::ClickListRowAt(Form->PicListBox, 1, 2, mbLeft);
    EXPECT_FALSE(Form->GetPicInfoObject(1)->ShowImage);
    EXPECT_FALSE(Form->ShowImageCheck->Checked());
    EXPECT_FALSE(Form->ZoomImageCheck->Enabled()) << "a skipped picture's settings are off";
}

TEST_F(ConfigTest, AddingAsksThroughTheMessageDialog)
{
    VisteloSetup::DoublePicsCheck = true;
    AddNumbered(1);
    ui::ScriptAnswer(mrNo);
    Form->AddPictures({"/b/1.jpg", "/b/2.jpg"});
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. 1.jpg", "2. 2.jpg"}));
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    const ui::TDialogRecord& question = ui::RecordedDialogs()[0];
    EXPECT_EQ(question.Request.Kind, "MessageDlg");
    std::vector<int> results;
    for (const ui::TDialogButton& button : question.Request.Buttons)
        results.push_back(button.Result);
    EXPECT_EQ(results, (std::vector<int>{mrYes, mrNo, mrAbort, mrAll}));
}

TEST_F(ConfigTest, DeletingRenumbersAndKeepsTheHighestRemovedPlace)
{
    AddNumbered(8);
    Select({1, 4, 5});
    Form->DeletePictureClick(nullptr);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. 1.jpg", "2. 3.jpg", "3. 4.jpg", "4. 7.jpg", "5. 8.jpg"}));
    EXPECT_EQ(Form->PicListBox->ItemIndex(), 4);

    // The last item removed: the current place is clamped to the new end.
    Form->PicListBox->SetSelected(3, false);
    Select({4});
    Form->DeletePictureClick(nullptr);
    EXPECT_EQ(Form->PicListBox->Items().Count(), 4);
    EXPECT_EQ(Form->PicListBox->ItemIndex(), 3);

    // Nothing selected: nothing happens.
    for (int i = 0; i < Form->PicCount(); ++i)
        Form->PicListBox->SetSelected(i, false);
    Form->DeletePictureClick(nullptr);
    EXPECT_EQ(Form->PicListBox->Items().Count(), 4);
}

TEST_F(ConfigTest, ASingleSelectedPictureIsTheTargetNotTheFocusedOne)
{
    AddNumbered(3);
    // Item 1 selected; the focus sits on item 2, which is not selected (as
    // after a control click that deselected it).
    Select({0});
    Form->PicListBox->SetItemIndex(2);
    ASSERT_FALSE(Form->PicListBox->Selected(2));
    EXPECT_EQ(Form->PicItemIndex(), 0);
    Form->StartVisteloAtClick(nullptr);
    ASSERT_EQ(Played.size(), 1u);
    EXPECT_EQ(Played[0].second, 0);
    Form->PicListBox->SetItemIndex(2);
    Form->DeletePictureClick(nullptr);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. 2.jpg", "2. 3.jpg"}));
}

TEST_F(ConfigTest, TheAccessLayerReadsTheMainList)
{
    AddNumbered(3);
    Form->GetPicInfoObject(2)->ShowImage = false;
    Select({1});
    Form->PicListBox->SetItemIndex(0);
    PicInfoUnit::PicInfoAccessMethod = paPicListBox;
    EXPECT_EQ(PicInfoUnit::PicCount(), 3);
    EXPECT_EQ(PicInfoUnit::PicSelCount(), 1);
    EXPECT_EQ(PicInfoUnit::PicSelectedIndex(), 1);
    EXPECT_FALSE(PicInfoUnit::PicChecked(2));
    EXPECT_EQ(PicInfoUnit::GetPicInfoObject(1), Form->GetPicInfoObject(1));
    PicInfoUnit::SetPause(2500);
    EXPECT_EQ(Form->GetPicInfoObject(1)->Pause, 2500);
    EXPECT_EQ(Form->GetPicInfoObject(0)->Pause, -1);
}

TEST_F(ConfigTest, UncheckedPicturesAreRemovedAndTheRestRenumbered)
{
    AddNumbered(5);
    Form->GetPicInfoObject(0)->ShowImage = false;
    Form->GetPicInfoObject(3)->ShowImage = false;
    Form->DeleteUncheckedClick(nullptr);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. 2.jpg", "2. 3.jpg", "3. 5.jpg"}));
    Form->ReverseCheckMarkClick(nullptr);
    EXPECT_EQ(Form->CountPictures(nullptr, 2), 3);
    Form->DeleteUncheckedClick(nullptr);
    EXPECT_TRUE(Texts().empty());
}

TEST_F(ConfigTest, MarksAndCounts)
{
    AddNumbered(4);
    Form->GetPicInfoObject(1)->ShowImage = false;
    Form->MarkAllPicsClick(nullptr);
    EXPECT_EQ(Form->CountPictures(nullptr, 3), 4);
    Form->PicListBox->SetSelected(0, false);
    Form->ReversMarkClick(nullptr);
    EXPECT_EQ(Form->PicSelCount(), 1);
    EXPECT_TRUE(Form->PicSelected(0));
    EXPECT_EQ(Form->CountPictures(nullptr, 0), 4);
    EXPECT_EQ(Form->CountPictures(nullptr, 1), 3);
    EXPECT_EQ(Form->CountPictures(nullptr, 2), 1);
    TVistelo show;
    TPicInfoObject entry;
    show.AddDia(entry);
    EXPECT_EQ(Form->CountPictures(&show, 0), 1);
    EXPECT_EQ(Form->CountPictures(&show, 3), 0);
}

TEST_F(ConfigTest, NewHintsOnlyOnAnEmptyListAndEmptiesTheList)
{
    Form->NewVisteloClick(Form);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0],
              "Um eine Vistelo zu erstellen, müssen Sie über den Menüpunkt \"Bild, Hinzufügen\" "
              "Bilder auswählen und so in die Bilderliste aufnehmen.");
    ui::ClearRecordedDialogs();
    AddNumbered(2);
    Form->NewVisteloClick(Form);
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(Texts().empty());
    EXPECT_TRUE(Form->UntitledShow);
    EXPECT_EQ(Form->Caption(), "Vistelo [Unbenannt.vsf]");
}

TEST_F(ConfigTest, OpeningAShowFillsTheList)
{
    const std::string file = WriteShow("Urlaub.vsf", {{"/b/a.jpg", true}, {"b.png", false}});
    const std::string before = Setup::VisteloFilename;
    ui::ScriptAnswer(IDOK, file);
    Form->OpenVisteloClick(nullptr);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. a.jpg", "2. b.png"}));
    EXPECT_FALSE(Form->GetPicInfoObject(1)->ShowImage);
    EXPECT_EQ(Form->Caption(), "Vistelo [Urlaub.vsf]");
    EXPECT_FALSE(Form->UntitledShow);
    EXPECT_EQ(Setup::VisteloFilename, file);
    EXPECT_TRUE(Form->PicListBox->Selected(0));
    EXPECT_EQ(Form->Document->Count, 0);
    // The remembered folder is that of the show open before (kept as it always was).
    EXPECT_EQ(VisteloSetup::VisteloDir, rtl::ExtractFilePath(before));
}

TEST_F(ConfigTest, AShowThatCannotBeReadIsReportedAndLeavesTheList)
{
    AddNumbered(2);
    const std::string missing = Scratch.Path("fehlt.vsf");
    EXPECT_FALSE(Form->LoadShowIntoList(missing));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0],
              "Die Datei \"" + missing +
                  "\" kann nicht geladen werden. Die Datei ist entweder nicht vorhanden, beschädigt oder in einem "
                  "falschen Format.");
    EXPECT_EQ(Texts().size(), 2u);
}

TEST_F(ConfigTest, SavingAnUntitledShowAsksForAName)
{
    AddNumbered(2);
    ui::ScriptAnswer(IDCANCEL);
    Form->SaveVisteloClick(nullptr);
    EXPECT_TRUE(Form->UntitledShow);
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Kind, "SaveDialog");

    const std::string file = Scratch.Path("Neu");
    ui::ScriptAnswer(IDOK, file);
    Form->SaveVisteloClick(nullptr);
    EXPECT_FALSE(Form->UntitledShow);
    EXPECT_EQ(Form->Caption(), "Vistelo [Neu.vsf]");
    EXPECT_EQ(Form->Document->Count, 0);
    TVistelo saved;
    ASSERT_EQ(saved.LoadFromFile(file + ".vsf", false, false), dlrOK);
    ASSERT_EQ(saved.Count, 2);
    EXPECT_EQ(saved.GetPicInfo(1)->FileName, "/b/2.jpg");

    // Saved again under its name, even with an empty list.
    Form->ClearPictureList();
    ui::ClearRecordedDialogs();
    Form->SaveVisteloClick(nullptr);
    EXPECT_TRUE(ui::RecordedDialogs().empty());
    ASSERT_EQ(saved.LoadFromFile(file + ".vsf", false, false), dlrOK);
    EXPECT_EQ(saved.Count, 0);
}

TEST_F(ConfigTest, AFailedSaveSaysSoAndKeepsTheNewName)
{
    AddNumbered(1);
    const std::string file = Scratch.Path("kein/Ordner.vsf");
    ui::ScriptAnswer(IDOK, file);
    Form->SaveVisteloAsClick(nullptr);
    EXPECT_EQ(Messages().back(), "Fehler beim Speichern der Datei \"" + file + "\"");
    EXPECT_EQ(Form->Caption(), "Vistelo [Ordner.vsf]");
    EXPECT_EQ(Form->PicCount(), 1);
    EXPECT_EQ(Form->Document->Count, 0);
}

TEST_F(ConfigTest, StartingPlaysACopyOfTheList)
{
    Form->StartVisteloClick(nullptr);
    EXPECT_TRUE(Played.empty());
    EXPECT_EQ(Messages(),
              std::vector<std::string>{
                  "Sie müssen mindestens 1 Bild in der Liste haben, um eine Vistelo starten zu können."});

    AddNumbered(3);
    Form->GetPicInfoObject(1)->ShowImage = false;
    Form->StartVisteloClick(nullptr);
    ASSERT_EQ(Played.size(), 1u);
    EXPECT_EQ(Played[0], (std::pair<std::int32_t, std::int32_t>{3, -1}));
    EXPECT_EQ(PlayedFiles, (std::vector<std::string>{"/b/1.jpg", "/b/2.jpg", "/b/3.jpg"}));
    EXPECT_EQ(Form->Document->Count, 0);
    EXPECT_EQ(Texts().size(), 3u);

    ui::ClearRecordedDialogs();
    Select({0, 2});
    Form->StartVisteloAtClick(nullptr);
    EXPECT_EQ(Played.size(), 1u);
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Wählen Sie EIN Bild aus, ab dem die Vistelo gestartet werden soll."});
    Form->PicListBox->SetSelected(0, false);
    Form->StartVisteloAtClick(nullptr);
    ASSERT_EQ(Played.size(), 2u);
    EXPECT_EQ(Played[1].second, 2);
}

TEST_F(ConfigTest, SortingRebuildsTheList)
{
    Form->SortNameUpClick(nullptr);
    EXPECT_TRUE(Texts().empty());
    Form->AddPictureFiles({"/b/b.jpg", "/c/A.png", "/a/c.bmp"}, false);
    Select({1});
    Form->SortNameUpClick(nullptr);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. A.png", "2. b.jpg", "3. c.bmp"}));
    EXPECT_EQ(Form->PicSelCount(), 0);
    Form->SortNameDownClick(nullptr);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. c.bmp", "2. b.jpg", "3. A.png"}));
    Form->SortExtUpClick(nullptr);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. c.bmp", "2. b.jpg", "3. A.png"}));
    Form->SortExtDownClick(nullptr);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. A.png", "2. b.jpg", "3. c.bmp"}));
    EXPECT_EQ(Form->Document->Count, 0);
}

TEST_F(ConfigTest, ClosingAsksWhenConfirmExitIsOnAndWritesTheClasses)
{
    VisteloSetup::ConfirmExit = true;
    ui::ScriptAnswer(mrNo);
    EXPECT_FALSE(Form->CloseQuery());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Wollen Sie wirklich beenden?"});
    TRegistry classes(KEY_READ);
    classes.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_FALSE(classes.KeyExists("\\.vsf"));
    EXPECT_FALSE(std::filesystem::exists(Scratch.DataHome() + "applications/vistelo.desktop"));

    ui::ScriptAnswer(mrYes);
    EXPECT_TRUE(Form->CloseQuery());
    TCloseAction action = caHide;
    Form->FormClose(Form, action);
    TRegistry registry(KEY_READ);
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\.vsf"));
    EXPECT_EQ(registry.ReadString(""), "VisteloFile");
    EXPECT_TRUE(std::filesystem::exists(Scratch.DataHome() + "applications/vistelo.desktop"));
    TRegistry user(KEY_READ);
    ASSERT_TRUE(user.OpenKeyReadOnly(Config::PlacementKey));
    EXPECT_TRUE(user.ValueExists("ConfigWindowHSplitter"));
    EXPECT_TRUE(user.ValueExists("ConfigWindowVSplitter"));
}

TEST_F(ConfigTest, HelpSaysThereIsNoHelpFile)
{
    Form->HilfeClick(nullptr);
    EXPECT_EQ(Messages(), std::vector<std::string>{TAAForm::NoHelpMessage});
}

TEST_F(ConfigTest, PictureFilterHasItsThirtySixEntries)
{
    const std::string filter = TAAForm::PictureFilter();
    EXPECT_EQ(std::count(filter.begin(), filter.end(), '|'), 71);
    EXPECT_EQ(filter.rfind("|Alle Dateien|*.*"), filter.size() - std::string("|Alle Dateien|*.*").size());
}

TEST_F(ConfigTest, ToolCommandsNeedAPictureAndHandTheSelectedOneOver)
{
    Form->EditPictureClick(nullptr);
    Form->PrintPictureClick(nullptr);
    ASSERT_EQ(ui::RecordedDialogs().size(), 2u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Sie müssen EIN Bild markieren, um es bearbeiten zu können.");
    EXPECT_EQ(ui::RecordedDialogs()[1].Request.Text,
              "Sie müssen EIN Bild markieren, um diese Operation ausführen zu können.");

    AddNumbered(3);
    Select({1});
    const auto savedEdit = ToolHooks::EditPicture();
    std::string edited;
    ToolHooks::EditPicture() = [&](TPicInfoObject& entry) {
        edited = entry.FileName;
        entry.FileName = "/b/2.bmp";
        return true;
    };
    Form->EditPictureClick(nullptr);
    ToolHooks::EditPicture() = savedEdit;
    EXPECT_EQ(edited, "/b/2.jpg");
    EXPECT_EQ(Texts()[1], TAAForm::ListItemText(1, "/b/2.bmp")) << "the changed item is shown again";
}

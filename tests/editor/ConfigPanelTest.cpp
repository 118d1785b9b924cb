// The main window's picture panel, preview, commands and sort mode on the
// offscreen platform with scripted dialogs.

#include "editor/app/Config.h"

#include "core/Setup.h"
#include "editor/app/MissingWindows.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "tests/editor/EditorScratch.h"
#include "widgets/KSCtrls.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class ConfigPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        ui::BeginDialogScript();
        savedHomeDir_ = Setup::HomeDir;
        Setup::HomeDir = Scratch.Path("");
        Form = new TAAForm(nullptr);
        Form->StartTimerTimer(nullptr);
        std::vector<std::string> files;
        for (int i = 1; i <= 5; ++i)
            files.push_back(Scratch.Path(std::to_string(i) + ".jpg"));
        Form->AddPictureFiles(files, false);
        ui::ClearRecordedDialogs();
    }
    void TearDown() override
    {
        delete Form;
        Setup::HomeDir = savedHomeDir_;
        ui::EndDialogScript();
    }
    void Select(std::initializer_list<int> indices, int current)
    {
        for (int i = 0; i < Form->PicCount(); ++i)
            Form->PicListBox->SetSelected(i, false);
        for (int i : indices)
            Form->PicListBox->SetSelected(i, true);
        Form->PicListBox->SetItemIndex(current);
        for (int i : indices)
            Form->PicListBox->SetSelected(i, true);
        Form->PicListBoxClick(nullptr);
    }
    TPicInfoObject& Picture(int index) { return *Form->GetPicInfoObject(index); }
    std::string LastMessage() const
    {
        return ui::RecordedDialogs().empty() ? std::string() : ui::RecordedDialogs().back().Request.Text;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < Form->PicCount(); ++i)
            texts.push_back(Form->PicListBox->Items().Strings(i));
        return texts;
    }

    EditorScratch Scratch;
    TAAForm* Form = nullptr;

private:
    std::string savedHomeDir_;
};

TEST_F(ConfigPanelTest, OneSettingReachesEverySelectedPictureAndNoOther)
{
    Select({0, 2, 3}, 2);
    const struct {
        const char* what;
        std::function<void()> apply;
        std::function<bool(const TPicInfoObject&)> changed;
    } table[] = {
        {"stretch",
         [&] {
             Form->ZoomImageCheck->SetChecked(!Picture(2).Stretch);
             Form->ZoomImageCheckClick(nullptr);
         },
         [](const TPicInfoObject& p) { return p.Stretch != TPicInfoObject().Stretch; }},
        {"comment shown",
         [&] {
             Form->ShowCommentCheck->SetChecked(!Picture(2).ShowComments);
             Form->ShowCommentCheckClick(nullptr);
         },
         [](const TPicInfoObject& p) { return p.ShowComments != TPicInfoObject().ShowComments; }},
        {"alignment",
         [&] {
             Form->CommentAlignmentComboBox->SetItemIndex(caRight);
             Form->CommentAlignmentComboBoxChange(nullptr);
         },
         [](const TPicInfoObject& p) { return p.CommentAlignment == caRight; }},
        {"placement",
         [&] {
             Form->CommentPlacementComboBox->SetItemIndex(cpNavBar);
             Form->CommentPlacementComboBoxChange(nullptr);
         },
         [](const TPicInfoObject& p) { return p.CommentPlacement == cpNavBar; }},
        {"transition",
         [&] {
             Form->BlendingComboBox->SetItemIndex(4);
             Form->BlendingComboBoxChange(nullptr);
         },
         [](const TPicInfoObject& p) { return p.Blending == 4; }},
    };
    for (const auto& t : table) {
        t.apply();
        for (int i = 0; i < Form->PicCount(); ++i)
            EXPECT_EQ(t.changed(Picture(i)), i == 0 || i == 2 || i == 3) << t.what << ", picture " << i + 1;
    }
    EXPECT_EQ(Form->Hint, Form->BlendingComboBox->Items().Strings(4)) << "the transition's name shows as the hint";

    // Skipping them: the pictures and their marks in the list follow.
    Form->ShowImageCheck->SetChecked(false);
    Form->ShowImageCheckClick(nullptr);
    for (int i = 0; i < Form->PicCount(); ++i) {
        const bool selected = i == 0 || i == 2 || i == 3;
        EXPECT_EQ(Picture(i).ShowImage, !selected) << i;
        EXPECT_EQ(Form->PicListBox->GetChecked(i), !selected) << i;
    }
    EXPECT_FALSE(Form->ZoomImageCheck->Enabled()) << "a skipped picture's settings are off";
}

TEST_F(ConfigPanelTest, TwoSelectedShowTheCurrentSettingsButNoPreviewAndKeepTheirComments)
{
    Picture(0).Comments = "Erstes";
    Picture(1).Comments = "Zweites";
    Picture(1).Stretch = true;
    Picture(1).Pause = 3000;
    Select({0, 1}, 1);
    EXPECT_TRUE(Form->ZoomImageCheck->Checked()) << "the current item's settings";
    EXPECT_EQ(Form->CommentsMemo->Text(), "");
    EXPECT_EQ(Form->ImageSizeLabel->Caption(), "");
    EXPECT_EQ(Picture(0).Comments, "Erstes");
    EXPECT_EQ(Picture(1).Comments, "Zweites");

    // Typed text reaches both; a single selection shows its own text again.
    Form->CommentsMemo->SetText("Gemeinsam");
    EXPECT_EQ(Picture(0).Comments, "Gemeinsam");
    EXPECT_EQ(Picture(1).Comments, "Gemeinsam");
    EXPECT_EQ(Picture(2).Comments, "");
    Picture(2).Comments = "Drittes";
    Select({2}, 2);
    EXPECT_EQ(Form->CommentsMemo->Text(), "Drittes");
    EXPECT_EQ(Picture(2).Comments, "Drittes");
}

TEST_F(ConfigPanelTest, TheBackgroundColourDialogStartsWithTheCurrentColourAndColoursTheSelection)
{
    Picture(1).BackgroundColor = 0x00FF00;
    Select({1, 4}, 1);
    ui::ScriptAnswer(IDOK, "0000FF");
    Form->BackgroundColorClick(nullptr);
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Kind, "ColorDialog");
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Value, "00FF00");
    for (int i = 0; i < Form->PicCount(); ++i)
        EXPECT_EQ(Picture(i).BackgroundColor, i == 1 || i == 4 ? TColor(0xFF0000) : TPicInfoObject().BackgroundColor)
            << i;

    ui::ScriptAnswer(IDCANCEL);
    Form->BackgroundColorClick(nullptr);
    EXPECT_EQ(Picture(1).BackgroundColor, TColor(0xFF0000)) << "Cancel keeps the colour";
}

TEST_F(ConfigPanelTest, ThePreviewSaysWhyItShowsNothing)
{
    const auto centre = [&] {
        TBitmap& bitmap = Form->PreviewImage->Picture().Bitmap();
        int dark = 0;
        for (int x = 0; x < bitmap.Width(); ++x)
            dark += bitmap.Canvas().Pixels(x, bitmap.Height() / 2) != clWhite ? 1 : 0;
        return dark;
    };
    Select({0, 1}, 0);
    EXPECT_GT(centre(), 0) << "a text across the middle";
    const bool saved = VisteloSetup::ShowPreview;
    VisteloSetup::ShowPreview = false;
    Select({0}, 0);
    VisteloSetup::ShowPreview = saved;
    EXPECT_GT(centre(), 0);
    EXPECT_EQ(Form->ImageSizeLabel->Caption(), "");
}

TEST_F(ConfigPanelTest, ADragOutStartsAfterTenPixelsWithOneButton)
{
    Form->PreviewMouseDown = TPoint{50, 50};
    const struct {
        int x, y;
        TShiftState shift;
        bool starts;
    } table[] = {
        {59, 59, {ssLeft}, false}, {60, 50, {ssLeft}, true}, {50, 40, {ssRight}, true},
        {41, 41, {ssLeft}, false}, {70, 70, {}, false},      {70, 70, {ssLeft, ssRight}, false},
    };
    for (const auto& t : table)
        EXPECT_EQ(Form->PreviewDragStarts(t.shift, t.x, t.y), t.starts) << t.x << ", " << t.y;
}

TEST_F(ConfigPanelTest, CommandsWithoutTheirWindowSaySo)
{
    Select({0}, 0);
    const struct {
        const char* what;
        std::function<void()> command;
        MissingWindows::TMissingWindow window;
    } table[] = {
        {"rename", [&] { Form->RenamePictureClick(nullptr); }, MissingWindows::mwRename},
        {"sound button", [&] { Form->SoundBtn->Click(); }, MissingWindows::mwPictureOptions},
        {"transition preview", [&] { Form->PreviewBlendingBtn->Click(); }, MissingWindows::mwBlendingPreview},
        {"catalog", [&] { Form->CatalogItem->Click(); }, MissingWindows::mwCatalog},
        {"CD assistant", [&] { Form->CDAssistantItem->Click(); }, MissingWindows::mwCDAssistant},
    };
    for (const auto& t : table) {
        ui::ClearRecordedDialogs();
        t.command();
        EXPECT_EQ(LastMessage(), MissingWindows::NotAvailableText(t.window)) << t.what;
        EXPECT_NE(LastMessage().find("noch nicht verfügbar."), std::string::npos) << t.what;
    }
    // The toolbar reaches the same commands.
    ui::ClearRecordedDialogs();
    Form->ToolButtons[11]->Click();
    EXPECT_EQ(LastMessage(), MissingWindows::NotAvailableText(MissingWindows::mwCatalog));
}

TEST_F(ConfigPanelTest, CommandsOnOnePictureRefuseOtherSelections)
{
    Select({0, 1}, 0);
    const struct {
        std::function<void()> command;
        const char* message;
    } table[] = {
        {[&] { Form->RenamePictureClick(nullptr); }, "Sie müssen EIN Bild markieren, das Sie umbenennen möchten."},
        {[&] { Form->PreviewPictureClick(nullptr); },
         "Sie müssen EIN Bild markieren, um diese Operation ausführen zu können."},
    };
    for (const auto& t : table) {
        ui::ClearRecordedDialogs();
        t.command();
        EXPECT_EQ(LastMessage(), t.message);
    }
    Form->NewVisteloClick(nullptr);
    ui::ClearRecordedDialogs();
    Form->WallpaperBtnClick(nullptr);
    EXPECT_EQ(LastMessage(), "Sie müssen ein Bild markieren!");
    ui::ClearRecordedDialogs();
    Form->CurrentWallpaperClick(nullptr);
    EXPECT_TRUE(ui::RecordedDialogs().empty()) << "the menu entry does nothing without a picture";
}

TEST_F(ConfigPanelTest, MenusEnableTheirEntriesAsTheyOpen)
{
    Select({}, -1);
    Form->PictureMenuClick(nullptr);
    EXPECT_FALSE(Form->DeletePictureItem->Enabled);
    EXPECT_FALSE(Form->MarkAllPicsItem->Enabled);
    EXPECT_TRUE(Form->StartVisteloItem->Enabled);
    Form->AssistantsMenuClick(nullptr);
    EXPECT_TRUE(Form->CDAssistantItem->Enabled);
    Form->OptionsMenuClick(nullptr);
    EXPECT_FALSE(Form->PicPrefsMenu->Enabled);

    Select({3}, 3);
    Form->PictureMenuClick(nullptr);
    Form->OptionsMenuClick(nullptr);
    EXPECT_TRUE(Form->DeletePictureItem->Enabled);
    EXPECT_TRUE(Form->MarkAllPicsItem->Enabled);
    EXPECT_TRUE(Form->PicPrefsMenu->Enabled);
    Form->SortModeClick(nullptr);
    Form->PictureMenuClick(nullptr);
    EXPECT_FALSE(Form->MarkAllPicsItem->Enabled) << "no marking in sort mode";
    Form->PicListBoxPopUpMenuPopup(nullptr);
    EXPECT_TRUE(Form->PopupDeleteItem->Enabled);
    EXPECT_TRUE(Form->PopupPictureItems.front()->Enabled);

    Form->NewVisteloClick(nullptr);
    Form->PictureMenuClick(nullptr);
    Form->AssistantsMenuClick(nullptr);
    EXPECT_FALSE(Form->StartVisteloItem->Enabled);
    EXPECT_FALSE(Form->CDAssistantItem->Enabled);
}

TEST_F(ConfigPanelTest, SortModeMovesOnePictureBelowTheMarkedOne)
{
    Form->SortModeClick(nullptr);
    EXPECT_TRUE(Form->SortModeItem->Checked());
    EXPECT_TRUE(Form->SortModeBtn->Down());
    EXPECT_FALSE(Form->PicListBox->MultiSelect());
    TPicInfoObject* fifth = &Picture(4);
    Form->MoveItemBelow(4, 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. 1.jpg", "2. 2.jpg", "3. 5.jpg", "4. 3.jpg", "5. 4.jpg"}));
    EXPECT_EQ(&Picture(2), fifth) << "the picture goes with its item";
    EXPECT_EQ(Form->PicListBox->ItemIndex(), 2);
    Form->MoveItemBelow(0, 3);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. 2.jpg", "2. 5.jpg", "3. 3.jpg", "4. 1.jpg", "5. 4.jpg"}));

    // Dropping on the list: the target is the item under the mouse.
    Form->PicListBox->SetItemIndex(0);
    Form->PicListBoxStartDrag();
    const TRect fourth = Form->PicListBox->ItemRect(3);
    EXPECT_EQ(Form->PicListBoxDragOver(fourth.Left + 5, fourth.Top + 2), 3);
    const TRect first = Form->PicListBox->ItemRect(0);
    EXPECT_EQ(Form->PicListBoxDragOver(first.Left + 5, first.Top + 2), -1) << "not onto itself";
    Form->PicListBoxDragDrop(fourth.Left + 5, fourth.Top + 2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. 5.jpg", "2. 3.jpg", "3. 1.jpg", "4. 2.jpg", "5. 4.jpg"}));

    Form->SortModeClick(nullptr);
    EXPECT_FALSE(Form->SortModeItem->Checked());
    EXPECT_TRUE(Form->PicListBox->MultiSelect());
    EXPECT_EQ(Form->PicSelCount(), 1) << "the current item stays selected";
}

TEST_F(ConfigPanelTest, StatisticsNameTheShowAndCountItsPictures)
{
    Form->StatisticsClick(nullptr);
    EXPECT_EQ(LastMessage().rfind("Informationen über die aktuelle Vistelo \"Unbenannt.vsf\"\r\n\r\nAnzahl der\r\n"
                                  "   Bilder: 5, 5 Bild(er) deaktiviert, 5 Bild(er) nicht gefunden\r\n",
                                  0),
              0u)
        << LastMessage();
}

} // namespace

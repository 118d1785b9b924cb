// The main window's picture panel, preview, commands and sort mode on the
// offscreen platform with scripted dialogs.

#include "editor/app/Config.h"

#include "core/Setup.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/ColorPickerButton.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "platform/ui/TestDriver.h"
#include "tests/editor/MainWindowFixture.h"
#include "widgets/DropSource.h"
#include "widgets/KSCtrls.h"
#include "widgets/KSSplit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

namespace {

class ConfigPanelTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        std::vector<std::string> files;
        for (int i = 1; i <= 5; ++i)
            files.push_back(Scratch.Path(std::to_string(i) + ".jpg"));
        Form->AddPictureFiles(files, false);
        ui::ClearRecordedDialogs();
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
    Form->BgColorBarBtn->Click();
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Kind, "ColorDialog");
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Value, "00FF00");
    for (int i = 0; i < Form->PicCount(); ++i)
        EXPECT_EQ(Picture(i).BackgroundColor, i == 1 || i == 4 ? TColor(0xFF0000) : TPicInfoObject().BackgroundColor)
            << i;

    EXPECT_EQ(Form->BgColorBarBtn->SelectionColor(), TColor(0xFF0000)) << "the button shows the chosen colour";

    ui::ScriptAnswer(IDCANCEL);
    Form->BackgroundColorClick(nullptr);
    EXPECT_EQ(Picture(1).BackgroundColor, TColor(0xFF0000)) << "Cancel keeps the colour";
}

TEST_F(ConfigPanelTest, TheColourButtonShowsTheCurrentColourAndItsPopupColoursTheSelection)
{
    EXPECT_EQ(Form->BgColorBarBtn->CustomText(), "weitere Farben...");
    EXPECT_EQ(Form->BgColorBarBtn->Hint, "Hintergrundfarbe festlegen");
    Picture(1).BackgroundColor = 0x00FF00;
    Select({1, 4}, 1);
    EXPECT_EQ(Form->BgColorBarBtn->SelectionColor(), TColor(0x00FF00)) << "the current picture's colour";
    EXPECT_EQ(Picture(4).BackgroundColor, TPicInfoObject().BackgroundColor)
        << "showing the current colour colours no other picture";

    Form->BgColorBarBtn->SetDroppedDown(true);
    TColorPopup* popup = Form->BgColorBarBtn->Popup();
    const TRect cell = popup->CellRect(16); // the pure red of the named colours
    const LPARAM at = MAKELPARAM((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
    popup->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    popup->Perform(WM_LBUTTONUP, 0, at);
    EXPECT_FALSE(Form->BgColorBarBtn->DroppedDown());
    for (int i = 0; i < Form->PicCount(); ++i)
        EXPECT_EQ(Picture(i).BackgroundColor, i == 1 || i == 4 ? TColor(0x0000FF) : TPicInfoObject().BackgroundColor)
            << i;
    EXPECT_TRUE(ui::RecordedDialogs().empty()) << "the popup's choice needs no dialog";
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

TEST_F(ConfigPanelTest, ADragOutThatTheOtherProgramMovesTakesThePicturesOffTheList)
{
    const bool dragFilenames = Setup::DragFilenames;
    Setup::DragFilenames = true;
    const std::vector<std::string> all = Texts();
    struct Case {
        const char* name;
        bool dropped;
        DWORD effect;
        std::vector<std::string> texts;
    } cases[] = {
        {"copied", true, DROPEFFECT_COPY, all},
        {"refused", true, DROPEFFECT_NONE, all},
        {"cancelled", false, DROPEFFECT_NONE, all},
        {"moved", true, DROPEFFECT_MOVE, {"1. 1.jpg", "2. 3.jpg", "3. 5.jpg"}},
    };
    for (const Case& c : cases) {
        Select({1, 3}, 3);
        std::vector<std::string> carried;
        ui::SetDragDriver([&](ui::TDragLoop& loop) {
            for (int i = 0; i < Form->DropFileSource->Files().Count(); ++i)
                carried.push_back(Form->DropFileSource->Files().Strings(i));
            EXPECT_TRUE(Form->PreviewDragRunning) << c.name;
            if (c.dropped)
                loop.DroppedOutside(c.effect);
        });
        Form->PreviewImageMouseDown(nullptr, mbLeft, {}, 20, 20);
        Form->PreviewImageMouseMove(nullptr, {ssLeft}, 20, 31);
        ui::SetDragDriver(nullptr);
        EXPECT_EQ(carried, (std::vector<std::string>{Scratch.Path("2.jpg"), Scratch.Path("4.jpg")})) << c.name;
        EXPECT_EQ(Texts(), c.texts) << c.name;
        EXPECT_FALSE(Form->PreviewDragRunning) << c.name;
    }
    Setup::DragFilenames = dragFilenames;
}

TEST_F(ConfigPanelTest, TheToolbarShowsADifferentPictureOnEveryButtonWithItsHint)
{
    ASSERT_EQ(Form->ToolButtons.size(), 21u);
    std::set<std::vector<TColor>> glyphs;
    for (TKsSpeedButton* button : Form->ToolButtons) {
        EXPECT_EQ(button->Caption(), "") << button->Hint;
        TBitmap& glyph = button->Glyph();
        ASSERT_EQ(glyph.Width(), 16) << button->Hint;
        ASSERT_EQ(glyph.Height(), 16) << button->Hint;
        std::vector<TColor> pixels;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                pixels.push_back(glyph.Canvas().Pixels(x, y));
        EXPECT_GT(std::count_if(pixels.begin(), pixels.end(), [](TColor c) { return c != clOlive; }), 20)
            << button->Hint << ": a picture on the key colour";
        glyphs.insert(pixels);
    }
    EXPECT_EQ(glyphs.size(), Form->ToolButtons.size()) << "no two buttons look alike";
    EXPECT_EQ(Form->ToolButtons[0]->Hint, "Neue Vistelo erstellen");
    EXPECT_EQ(Form->SortModeBtn, Form->ToolButtons[7]);
    EXPECT_EQ(Form->SortModeBtn->Hint, "Sortiermodus ein/ausschalten");
    EXPECT_EQ(Form->ToolButtons[13]->Hint, "Vistelo ab dem markieten Bild starten");
    EXPECT_EQ(Form->VisteloManagerBtn, Form->ToolButtons[20]);
    EXPECT_EQ(Form->VisteloManagerBtn->Hint, "Vistelo-Manager zum Erstellen von Vistelo-Listen aufrufen");
}

TEST_F(ConfigPanelTest, ShrinkingTheWindowKeepsThePanesBeyondTheSplittersAtTheirLimits)
{
    Form->Show();
    Form->SetBounds(0, 0, 1100, 800);
    // The user pulled both splitters far towards the second panes.
    Form->PicListBoxPanel->SetWidth(500);
    Form->Panel3->SetHeight(420);
    const int listWidth = Form->PicListBoxPanel->Width();
    const int upperHeight = Form->Panel3->Height();
    Form->SetBounds(0, 0, 800, 600);
    EXPECT_GE(Form->Panel2->Width(), Form->HSplitter->BottomRightLimit);
    EXPECT_LT(Form->PicListBoxPanel->Width(), listWidth) << "the list gave up the width";
    EXPECT_GE(Form->VSplitter->ControlSecond()->Height(), Form->VSplitter->BottomRightLimit);
    EXPECT_LT(Form->Panel3->Height(), upperHeight) << "the upper panel gave up the height";
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

TEST_F(ConfigPanelTest, InSortModeTheMouseDragsAnItemBelowTheItemItIsDroppedOn)
{
    Form->Show();
    Application->ProcessMessages();
    const auto centre = [&](int index) {
        const TRect item = Form->PicListBox->ItemRect(index);
        return TPoint{item.Left + 20, (item.Top + item.Bottom) / 2};
    };
    const auto drag = [&](int from, int onto) {
        // A click marks the item, a press on it drags it.
        ui::test::ClickListRowAt(Form->PicListBox, from, 20, mbLeft);
        Application->ProcessMessages();
        ui::test::SendMouse(Form->PicListBox, ui::test::TMouseAction::Press, centre(from), mbLeft, {ssLeft});
        Application->ProcessMessages();
        for (int step = 1; step <= 4; ++step) {
            const TPoint a = centre(from), b = centre(onto);
            ui::test::MoveMouse(Form->PicListBox, {a.X + 2 * step, a.Y + (b.Y - a.Y) * step / 4}, {ssLeft});
            Application->ProcessMessages();
        }
        ui::test::SendMouse(Form->PicListBox, ui::test::TMouseAction::Release, centre(onto), mbLeft, {});
        Application->ProcessMessages();
    };
    // Outside sort mode pressing and moving only selects.
    drag(4, 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. 1.jpg", "2. 2.jpg", "3. 3.jpg", "4. 4.jpg", "5. 5.jpg"}));

    Form->SortModeClick(nullptr);
    // Items counted from 1: item 5 onto item 2 lands at index 2, directly below it ...
    drag(4, 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. 1.jpg", "2. 2.jpg", "3. 5.jpg", "4. 3.jpg", "5. 4.jpg"}));
    EXPECT_EQ(Form->PicListBox->ItemIndex(), 2) << "the moved item is current";
    // ... and item 2 onto item 5 at index 4, so no item reaches index 0 this way.
    drag(1, 4);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. 1.jpg", "2. 5.jpg", "3. 3.jpg", "4. 4.jpg", "5. 2.jpg"}));
    EXPECT_EQ(Form->PicListBox->ItemIndex(), 4);
    // Onto itself nothing moves, and the drag is over.
    drag(2, 2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1. 1.jpg", "2. 5.jpg", "3. 3.jpg", "4. 4.jpg", "5. 2.jpg"}));
    EXPECT_EQ(ui::DragSourceControl(), nullptr);
    EXPECT_EQ(Form->DragOverIndex, -1);
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

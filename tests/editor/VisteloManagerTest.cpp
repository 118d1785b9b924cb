// The show-list manager on the offscreen platform with scripted dialogs.

#include "editor/app/VisteloManager.h"

#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/Setup.h"
#include "editor/app/About.h"
#include "editor/app/Config.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/ToolHooks.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/rtl/Files.h"
#include "platform/ui/HiddenWindows.h"
#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"
#include "widgets/KSCtrls.h"

namespace {

class VisteloManagerTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        savedHomeDir_ = Setup::HomeDir;
        savedVisteloDir_ = VisteloSetup::VisteloDir;
        Setup::HomeDir = Scratch.Path("");
        VisteloSetup::VisteloDir = Scratch.Path("");
        Form = new TVisteloManagerForm(nullptr);
        Form->PlayList = [this](TVisteloList& list, std::int32_t start) {
            Played.push_back({list.Items->Count, start});
        };
        ui::ClearRecordedDialogs();
    }
    void TearDown() override
    {
        delete Form;
        UiTest::TearDown();
        Setup::HomeDir = savedHomeDir_;
        VisteloSetup::VisteloDir = savedVisteloDir_;
    }

    std::string MakeFile(const std::string& name)
    {
        const std::string path = Scratch.Path(name);
        std::ofstream(path) << "x";
        return path;
    }
    // Adds the shows through the dialog.
    void AddShows(const std::vector<std::string>& names)
    {
        std::string answer;
        for (const std::string& name : names)
            answer += MakeFile(name) + "\n";
        ui::ScriptAnswer(IDOK, answer);
        Form->AddVisteloClick(nullptr);
    }
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        for (int i = 0; i < Form->VisteloListBox->Items().Count(); ++i)
            lines.push_back(Form->VisteloListBox->Items().Strings(i));
        return lines;
    }
    std::vector<bool> Flags() const
    {
        std::vector<bool> flags;
        for (TListItem* node = Form->List().Items->Head; node; node = node->NextItem)
            flags.push_back(static_cast<TVisteloListItem*>(node)->Active);
        return flags;
    }
    const ui::TDialogRecord& LastDialog() const { return ui::RecordedDialogs().back(); }

    EditorScratch Scratch;
    TVisteloManagerForm* Form = nullptr;
    std::vector<std::pair<std::int32_t, std::int32_t>> Played;

private:
    std::string savedHomeDir_;
    std::string savedVisteloDir_;
};

TEST_F(VisteloManagerTest, AddedShowsAreCheckedLinesAndRemovingTakesTheSelectedOnes)
{
    AddShows({"a.vsf", "b.vsf", "c.vsf"});
    EXPECT_EQ(LastDialog().Request.Text, "Vistelo-Dateien (*.vsf)|*.vsf|Alle Dateien|*.*");
    EXPECT_EQ(Form->OpenVisteloDialog->InitialDir, Scratch.Path(""));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"1. a.vsf", "2. b.vsf", "3. c.vsf"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Form->VisteloListBox->GetChecked(i));
    EXPECT_EQ(Flags(), (std::vector<bool>{true, true, true}));

    ui::ScriptAnswer(IDCANCEL);
    Form->AddVisteloClick(nullptr);
    EXPECT_EQ(Lines().size(), 3u);

    Form->VisteloListBox->SetSelected(0, true);
    Form->VisteloListBox->SetSelected(2, true);
    Form->DelVisteloClick(nullptr);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"1. b.vsf"}));
    EXPECT_EQ(Form->List().Items->Count, 1);
    Form->DelVisteloClick(nullptr);
    EXPECT_EQ(Lines().size(), 1u) << "nothing selected, nothing removed";

    Form->NewListClick(nullptr);
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Form->List().Items->Count, 0);
}

TEST_F(VisteloManagerTest, ATickedOrCrossedLineGivesItsShowsFlag)
{
    // The line toggled is not selected yet when its mark changes.
    AddShows({"a.vsf", "b.vsf", "c.vsf"});
    Form->VisteloListBox->SetSelected(0, true);
    Form->Show();
    Turn();
    ui::test::ClickListRowAt(Form->VisteloListBox, 1, 2, mbLeft);
    Turn();
    EXPECT_FALSE(Form->VisteloListBox->GetChecked(1));
    EXPECT_EQ(Flags(), (std::vector<bool>{true, false, true}));
    ui::test::ClickListRowAt(Form->VisteloListBox, 1, 2, mbLeft);
    Turn();
    EXPECT_EQ(Flags(), (std::vector<bool>{true, true, true}));
}

TEST_F(VisteloManagerTest, ANewListIsSavedUnderANameAndReadsBackWithItsSettings)
{
    AddShows({"a.vsf", "b.vsf"});
    Form->VisteloListTitleEdit->SetText("Sommer");
    Form->ThumbSizeTrackbar->SetPosition(50);
    Form->ThumbSizeTrackbar->OnChange(Form->ThumbSizeTrackbar);
    EXPECT_EQ(Form->ThumbWidthLabel->Caption(), "Breite: 75");
    EXPECT_EQ(Form->ThumbHeightLabel->Caption(), "Höhe: 50");
    EXPECT_EQ(Form->ThumbPreview->Width(), 75);
    Form->AutoNextShowCheck->SetChecked(true);
    Form->PlayFirstVisteloCheck->SetChecked(true);
    static_cast<TVisteloListItem*>(Form->List().Items->Head)->Active = false;
    EXPECT_EQ(Form->Caption(), "Vistelo-Manager [Ohne Namen.vsl]");

    // A new list has no name yet: saving asks for one.
    const std::string file = Scratch.Path("listen/sommer.vsl");
    ASSERT_TRUE(rtl::ForceDirectories(Scratch.Path("listen")));
    ui::ScriptAnswer(IDOK, Scratch.Path("listen/sommer"));
    Form->SaveListClick(nullptr);
    EXPECT_EQ(LastDialog().Request.Kind, "SaveDialog");
    EXPECT_EQ(LastDialog().Request.Text, "Vistelo-Liste (*.vsl)|*.vsl");
    ASSERT_TRUE(rtl::FileExists(file));
    EXPECT_EQ(Form->Caption(), "Vistelo-Manager [sommer.vsl]");
    EXPECT_EQ(VisteloSetup::VisteloDir, Scratch.Path("listen/"));

    // Once named, saving asks nothing.
    const size_t asked = ui::RecordedDialogs().size();
    Form->VisteloListTitleEdit->SetText("Sommer 2");
    Form->SaveListClick(nullptr);
    EXPECT_EQ(ui::RecordedDialogs().size(), asked);

    Form->NewListClick(nullptr);
    EXPECT_EQ(Form->VisteloListTitleEdit->Text(), "");
    ui::ScriptAnswer(IDOK, file);
    Form->OpenListClick(nullptr);
    EXPECT_EQ(LastDialog().Request.Text, "Vistelo-Liste (*.vsl)|*.vsl|Alle Dateien|*.*");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"1. a.vsf", "2. b.vsf"}));
    EXPECT_EQ(Flags(), (std::vector<bool>{false, true}));
    EXPECT_FALSE(Form->VisteloListBox->GetChecked(0));
    EXPECT_EQ(Form->VisteloListTitleEdit->Text(), "Sommer 2");
    EXPECT_EQ(Form->ThumbSizeTrackbar->Position(), 50);
    EXPECT_EQ(Form->List().ThumbHeight, 50);
    EXPECT_TRUE(Form->AutoNextShowCheck->Checked());
    EXPECT_FALSE(Form->ChooseVisteloCheck->Checked());
    EXPECT_TRUE(Form->PlayFirstVisteloCheck->Checked());
    EXPECT_EQ(Form->Caption(), "Vistelo-Manager [sommer.vsl]");
}

TEST_F(VisteloManagerTest, ThumbnailSizesFollowTheTrackBar)
{
    const struct {
        int position;
        int width;
        int height;
    } sizes[] = {{50, 75, 50}, {100, 150, 100}, {10, 15, 10}, {33, 50, 33}};
    for (const auto& s : sizes) {
        EXPECT_EQ(VisteloManager::ThumbWidthOf(s.position), s.width) << s.position;
        EXPECT_EQ(VisteloManager::ThumbHeightOf(s.position), s.height) << s.position;
    }
    EXPECT_EQ(VisteloManager::PositionOfThumbWidth(75), 50);
    EXPECT_EQ(VisteloManager::PositionOfThumbWidth(150), 100);
}

TEST_F(VisteloManagerTest, ADraggedLineLandsInTheGapBelowTheLineUnderThePointer)
{
    const struct {
        int line;
        bool upperHalf;
        int target;
    } targets[] = {{-1, false, -1}, {0, true, 0}, {0, false, 1}, {2, true, 3}, {3, false, 4}};
    for (const auto& t : targets)
        EXPECT_EQ(VisteloManager::DropTarget(t.line, t.upperHalf), t.target) << t.line << " " << t.upperHalf;

    AddShows({"a.vsf", "b.vsf", "c.vsf", "d.vsf"});
    Form->SortModeClick(nullptr);
    EXPECT_TRUE(Form->SortMode());
    EXPECT_FALSE(Form->VisteloListBox->MultiSelect());
    EXPECT_TRUE(Form->SortModeItem->Checked());
    EXPECT_TRUE(Form->SortModeBtn->Down());

    const struct {
        int dragged;
        int target;
        std::vector<std::string> order;
        int current;
    } drops[] = {
        {1, 1, {"a", "b", "c", "d"}, -2}, // its own gaps: nothing moves
        {1, 2, {"a", "b", "c", "d"}, -2}, {1, 3, {"a", "c", "b", "d"}, 2},
        {2, 0, {"b", "a", "c", "d"}, 0},  {0, 4, {"a", "c", "d", "b"}, 3},
    };
    for (const auto& d : drops) {
        Form->DropLine(d.dragged, d.target);
        std::vector<std::string> order;
        for (TListItem* node = Form->List().Items->Head; node; node = node->NextItem)
            order.push_back(rtl::ExtractFileName(static_cast<TVisteloListItem*>(node)->ShowFile).substr(0, 1));
        EXPECT_EQ(order, d.order) << d.dragged << " to " << d.target;
        if (d.current != -2) {
            EXPECT_EQ(Form->VisteloListBox->ItemIndex(), d.current);
        }
    }
    EXPECT_EQ(Lines().front(), "1. a.vsf") << "the lines are numbered again";

    // With the mouse: the first line dragged onto the lower half of the third.
    Form->Show();
    Turn();
    TSymbolCheckListBox* list = Form->VisteloListBox;
    const TRect first = list->ItemRect(0);
    const TRect third = list->ItemRect(2);
    const TPoint from{first.Left + 40, first.Top + first.Height() / 2};
    const TPoint to{third.Left + 40, third.Bottom - 2};
    // A click marks the line, a press on it drags it.
    ui::test::ClickListRowAt(list, 0, 40, mbLeft);
    Turn();
    SendMouse(list, TMouseAction::Press, from, mbLeft, {ssLeft});
    Turn();
    ui::test::MoveMouse(list, to, {ssLeft});
    Turn();
    SendMouse(list, TMouseAction::Release, to, mbLeft, {});
    Turn();
    EXPECT_EQ(ui::DragSourceControl(), nullptr) << "the drag is over";
    EXPECT_EQ(Lines(), (std::vector<std::string>{"1. c.vsf", "2. d.vsf", "3. a.vsf", "4. b.vsf"}));

    Form->SortModeClick(nullptr);
    EXPECT_TRUE(Form->VisteloListBox->MultiSelect());
    EXPECT_FALSE(Form->SortModeBtn->Down());
}

TEST_F(VisteloManagerTest, TheSelectedShowsInfoIsShown)
{
    TConfigVistelo show;
    for (int i = 0; i < 3; ++i) {
        TPicInfoObject entry;
        entry.FileName = "/b/" + std::to_string(i) + ".jpg";
        show.AddDia(entry);
    }
    show.InfoTitle = "Urlaub";
    ASSERT_TRUE(show.SaveToFile(Scratch.Path("urlaub.vsf")));
    AddShows({"kaputt.vsf"});
    ui::ScriptAnswer(IDOK, Scratch.Path("urlaub.vsf"));
    Form->AddVisteloClick(nullptr);

    Form->VisteloListBox->SetSelected(1, true);
    Form->VisteloListBox->SetItemIndex(1);
    Form->ShowVisteloInfo();
    EXPECT_EQ(Form->InfoTitleEdit->Text(), "Urlaub");
    EXPECT_EQ(Form->InfoTextMemo->Text(), "keine Beschreibung");
    EXPECT_EQ(Form->PicCountLabel->Caption(), "3");

    // A file that is no show has no info.
    Form->VisteloListBox->SetSelected(1, false);
    Form->VisteloListBox->SetSelected(0, true);
    Form->ShowVisteloInfo();
    EXPECT_EQ(Form->InfoTitleEdit->Text(), "kein Titel");
    EXPECT_EQ(Form->InfoTextMemo->Text(), "keine Beschreibung");
    EXPECT_EQ(Form->PicCountLabel->Caption(), "k.A.");

    Form->VisteloListBox->SetSelected(1, true);
    Form->ShowVisteloInfo();
    EXPECT_EQ(Form->InfoTitleEdit->Text(), "mehrere Vistelos ausgewählt - keine Titelanzeige möglich");
    EXPECT_EQ(Form->InfoTextMemo->Text(), "mehrere Vistelos ausgewählt - keine Beschreibungsanzeige möglich");
}

TEST_F(VisteloManagerTest, PlayingStartsTheListFromTheBeginningOrTheMarkedShow)
{
    AddShows({"a.vsf", "b.vsf", "c.vsf"});
    Form->StartVisteloClick(nullptr);
    Form->VisteloListBox->SetItemIndex(2);
    Form->StartVisteloAtClick(nullptr);
    EXPECT_EQ(Played, (std::vector<std::pair<std::int32_t, std::int32_t>>{{3, -1}, {3, 2}}));
    EXPECT_TRUE(rtl::FileExists(Scratch.Path(VisteloSetup::PlayerIniName))) << "the player reads its options first";
}

TEST_F(VisteloManagerTest, TheToolButtonsShowPicturesAndTheAnimationFollowsThePreference)
{
    for (TKsSpeedButton* button :
         {Form->NewListBtn, Form->OpenListBtn, Form->SaveListBtn, Form->AddVisteloToolBtn, Form->DelVisteloToolBtn,
          Form->StartVisteloToolBtn, Form->StartVisteloAtToolBtn, Form->SortModeBtn, Form->CompilationBtn}) {
        EXPECT_EQ(button->Caption(), "") << button->Hint;
        EXPECT_EQ(button->Glyph().Width(), 16) << button->Hint;
        EXPECT_EQ(button->Glyph().Height(), 16) << button->Hint;
    }
    EXPECT_EQ(Form->Menu(), Form->MainMenu) << "the window's menu bar carries the commands without buttons";
    // The start options stand above the info panel, not behind it.
    Form->Show();
    Turn();
    const TPoint lastRadio = Form->PlayFirstVisteloCheck->ClientToScreen({0, Form->PlayFirstVisteloCheck->Height()});
    const TPoint infoPanel = Form->ThumbnailImage->Parent()->ClientToScreen({0, 0});
    EXPECT_LE(lastRadio.Y, infoPanel.Y);

    const bool animate = VisteloSetup::AnimateLogo;
    for (bool on : {true, false}) {
        VisteloSetup::AnimateLogo = on;
        auto* manager = new TVisteloManagerForm(nullptr);
        EXPECT_EQ(manager->LogoAnimate->Active(), on);
        delete manager;
    }
    VisteloSetup::AnimateLogo = animate;
}

TEST_F(VisteloManagerTest, TheCompilationAssistantGetsTheListAndInfoShowsTheAboutBox)
{
    AddShows({"a.vsf", "b.vsf"});
    const auto opener = ToolHooks::CDListAssistent();
    const TVisteloList* handed = nullptr;
    ToolHooks::CDListAssistent() = [&handed](TVisteloList& list) { handed = &list; };
    Form->CompilationBtn->Click();
    ToolHooks::CDListAssistent() = opener;
    EXPECT_EQ(handed, &Form->List()) << "the assistant in show-list mode, with this list";

    bool shown = false;
    LaterOnModalForm<TAboutForm>([&shown](TAboutForm& about) {
        shown = true;
        about.ModalResult = mrOk;
    });
    Form->InfoClick(nullptr);
    EXPECT_TRUE(shown) << "the About box, modally";
}

TEST_F(VisteloManagerTest, TheMainWindowsCommandOpensTheManager)
{
    const bool confirmExit = VisteloSetup::ConfirmExit;
    VisteloSetup::ConfirmExit = false;
    auto* main = new TAAForm(nullptr);
    std::string shown;
    std::function<void()> close = [&] {
        for (int i = 0; i < Application->ComponentCount(); ++i)
            if (auto* manager = dynamic_cast<TVisteloManagerForm*>(Application->Components(i)); manager) {
                shown = manager->Caption() + (manager->Modal() ? " modal" : "");
                manager->ModalResult = mrCancel;
            }
    };
    HWND helper = ui::AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_USER)
            close();
    });
    ASSERT_NE(main->VisteloManagerItem, nullptr);
    ASSERT_NE(main->VisteloManagerBtn, nullptr);
    // The menu entry and the toolbar button.
    for (const std::function<void()>& command : std::vector<std::function<void()>>{
             [&] { main->VisteloManagerItem->Click(); }, [&] { main->VisteloManagerBtn->Click(); }}) {
        shown.clear();
        ui::PostMessage(helper, WM_USER, 0, 0);
        command();
        EXPECT_EQ(shown, "Vistelo-Manager [Ohne Namen.vsl] modal");
        for (int i = 0; i < Application->ComponentCount(); ++i)
            EXPECT_EQ(dynamic_cast<TVisteloManagerForm*>(Application->Components(i)), nullptr) << "freed on closing";
    }
    ui::DeallocateHWnd(helper);
    delete main;
    VisteloSetup::ConfirmExit = confirmExit;
}

} // namespace

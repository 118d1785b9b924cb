#include "platform/ui/ComCtrls.h"
#include "platform/ui/AnimateClips.h"

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "tests/ui/UiFixture.h"

namespace {

class ComCtrlsTest : public UiTest {
protected:
    template <class C> C* Place(TForm* form)
    {
        auto* control = new C(form);
        control->SetParent(form);
        control->HandleNeeded();
        return control;
    }

    static void PressKey(TNativeControl* control, TKey key)
    {
        ui::test::SendWidgetKey(control, TKeyAction::Press, key);
        Turn(); // keys pass the control's window messages first
    }
};

TEST_F(ComCtrlsTest, TrackBarReportsTheUsersMovesButNotThoseFromCode)
{
    TForm* form = NewForm();
    auto* bar = Place<TTrackBar>(form);
    bar->SetMax(4);
    std::vector<int> seen;
    bar->OnChange = [&](TObject*) { seen.push_back(bar->Position()); };
    bar->SetPosition(3);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(ui::test::ShownWidget(bar).Value, 3);

    PressKey(bar, TKey::Right);
    PressKey(bar, TKey::Right); // at the end already
    PressKey(bar, TKey::Left);
    EXPECT_EQ(seen, (std::vector<int>{4, 3}));

    bar->SetMax(2); // the position follows the shrunk range
    EXPECT_EQ(bar->Position(), 2);
    bar->SetMin(5); // a minimum above the maximum raises it
    EXPECT_EQ(bar->Max(), 5);
    EXPECT_EQ(ui::test::ShownWidget(bar).Maximum, 5);
    EXPECT_FALSE(ui::test::ShownWidget(bar).Vertical);
    bar->SetOrientation(trVertical);
    EXPECT_TRUE(ui::test::ShownWidget(bar).Vertical);
}

TEST_F(ComCtrlsTest, ProgressBarStepsWithinItsRange)
{
    TForm* form = NewForm();
    auto* bar = Place<TProgressBar>(form);
    bar->SetMax(25);
    bar->StepIt();
    bar->StepIt();
    EXPECT_EQ(bar->Position(), 20);
    bar->StepIt();
    EXPECT_EQ(bar->Position(), 25);
    bar->StepBy(-100);
    EXPECT_EQ(bar->Position(), 0);
    bar->SetPosition(7);
    EXPECT_EQ(ui::test::ShownWidget(bar).Value, 7);
}

TEST_F(ComCtrlsTest, UpDownArrowsStepTheValueIntoItsAssociate)
{
    TForm* form = NewForm();
    auto* updown = Place<TUpDown>(form);
    auto* edit = Place<TEdit>(form);
    updown->SetMax(3);
    updown->SetAssociate(edit);
    EXPECT_EQ(edit->Text(), "0");
    std::vector<TUDBtnType> clicks;
    updown->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
    form->Show();
    Turn();

    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(ui::test::ClickUpDownArrow(updown, btNext));
    EXPECT_EQ(updown->Position(), 3);
    EXPECT_EQ(edit->Text(), "3");
    EXPECT_EQ(clicks.size(), 5u);

    updown->Wrap = true;
    updown->Step(btNext);
    EXPECT_EQ(updown->Position(), 0);
    updown->Step(btPrev);
    EXPECT_EQ(updown->Position(), 3);

    updown->OnChanging = [](TObject*, bool& allow) { allow = false; };
    updown->Step(btPrev);
    EXPECT_EQ(updown->Position(), 3);

    delete edit; // the associate goes away: stepping goes on without it
    updown->OnChanging = nullptr;
    updown->Step(btPrev);
    EXPECT_EQ(updown->Associate(), nullptr);
}

TEST_F(ComCtrlsTest, StatusBarShowsPanelsOrTheSimpleText)
{
    TForm* form = NewForm();
    auto* bar = Place<TStatusBar>(form);
    EXPECT_EQ(bar->Align(), alBottom);
    bar->AddPanel().Width = 80;
    bar->AddPanel();
    bar->Panels(0).Text = "12 Bilder";
    bar->Panels(1).Text = "bereit";
    bar->UpdatePanels();
    ui::test::TShownWidget shown = ui::test::ShownWidget(bar);
    ASSERT_EQ(shown.Items.size(), 2u);
    EXPECT_EQ(shown.Items[0], "12 Bilder");
    EXPECT_EQ(shown.ItemWidths[0], 80);
    EXPECT_THROW(bar->Panels(2), EListError);

    bar->SetSimpleText("Lade ...");
    bar->SetSimplePanel(true);
    EXPECT_EQ(ui::test::ShownWidget(bar).Items, std::vector<std::string>{"Lade ..."});
}

TEST_F(ComCtrlsTest, PageControlSwitchesPagesByTabAndCode)
{
    TForm* form = NewForm(300, 200);
    auto* pages = Place<TPageControl>(form);
    pages->SetBounds(0, 0, 300, 200);
    TTabSheet* sheets[3];
    const char* captions[] = {"Allgemein", "Übergänge", "Musik"};
    for (int i = 0; i < 3; ++i) {
        sheets[i] = new TTabSheet(form);
        sheets[i]->SetCaption(captions[i]);
        sheets[i]->SetPageControl(pages);
    }
    std::vector<int> changes;
    pages->OnChange = [&](TObject*) { changes.push_back(pages->ActivePageIndex()); };
    form->Show();
    Turn();

    EXPECT_EQ(pages->ActivePage(), sheets[0]); // the first page starts active
    EXPECT_TRUE(sheets[0]->Visible());
    EXPECT_FALSE(sheets[1]->Visible());
    EXPECT_EQ(sheets[1]->Top(), 24); // below the tab row
    ui::test::TShownWidget tabs = ui::test::ShownWidget(pages);
    ASSERT_EQ(tabs.Items.size(), 3u);
    EXPECT_EQ(tabs.Items[1], "Übergänge");

    ui::test::PickTabByUser(pages, 2);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    EXPECT_FALSE(sheets[0]->Visible());
    EXPECT_EQ(changes, std::vector<int>{2});

    pages->OnChanging = [](TObject*, bool& allow) { allow = false; };
    ui::test::PickTabByUser(pages, 0);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    EXPECT_EQ(ui::test::ShownWidget(pages).Current, 2);

    pages->SetActivePageIndex(1); // code fires nothing
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_EQ(pages->FindNextPage(sheets[2], true), sheets[0]);
    EXPECT_EQ(pages->FindNextPage(sheets[0], false), sheets[2]);

    delete sheets[1]; // the active page goes: the first one takes over
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), sheets[0]);
    EXPECT_EQ(sheets[2]->PageIndex(), 1);
}

TEST_F(ComCtrlsTest, WizardPagesWithoutTabsFillTheWholeControl)
{
    TForm* form = NewForm(300, 200);
    auto* pages = Place<TPageControl>(form);
    pages->SetBounds(0, 0, 300, 200);
    std::vector<TTabSheet*> sheets;
    for (int i = 0; i < 2; ++i) {
        sheets.push_back(new TTabSheet(form));
        sheets.back()->SetPageControl(pages);
        sheets.back()->SetTabVisible(false);
    }
    ui::test::TShownWidget tabs = ui::test::ShownWidget(pages);
    EXPECT_TRUE(tabs.Items.empty());
    EXPECT_FALSE(tabs.TabsShown);
    EXPECT_EQ(sheets[1]->BoundsRect(), Rect(0, 0, 300, 200));
    pages->SetActivePage(sheets[1]);
    EXPECT_TRUE(sheets[1]->Visible());
    EXPECT_EQ(pages->FindNextPage(sheets[0], true), nullptr);
    EXPECT_THROW(pages->Pages(2), EListError);
}

} // namespace

namespace {

// An up-down that answers the thumb-position notification itself, as a
// spin control with the range -1..1 does: the sign tells the arrow, and the
// position goes back to 0 for the next press.
class TSignUpDown : public TCustomUpDown {
public:
    explicit TSignUpDown(TComponent* AOwner) : TCustomUpDown(AOwner)
    {
        SetMin(-1);
        SetMax(1);
    }
    std::vector<TUDBtnType> Seen;

protected:
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == WM_VSCROLL && LOWORD(Message.WParam) == SB_THUMBPOSITION) {
            auto position = static_cast<std::int16_t>(HIWORD(Message.WParam));
            if (position != 0)
                Seen.push_back(position > 0 ? btNext : btPrev);
            Perform(UDM_SETPOS, 0, 0);
            return;
        }
        TCustomUpDown::Dispatch(Message);
    }
};

class UpDownTest : public ComCtrlsTest { };

TEST_F(UpDownTest, EveryArrowPressArrivesAsAThumbPositionNotification)
{
    TForm* form = NewForm();
    auto* updown = Place<TSignUpDown>(form);
    form->Show();
    Turn();
    for (TUDBtnType arrow : {btNext, btNext, btPrev, btNext, btPrev, btPrev})
        ASSERT_TRUE(ui::test::ClickUpDownArrow(updown, arrow));
    EXPECT_EQ(updown->Seen, (std::vector<TUDBtnType>{btNext, btNext, btPrev, btNext, btPrev, btPrev}));
    EXPECT_EQ(updown->Position(), 0);
}

TEST_F(UpDownTest, AHorizontalUpDownNotifiesSideways)
{
    TForm* form = NewForm();
    auto* updown = Place<TUpDown>(form);
    updown->SetOrientation(udHorizontal);
    UINT seen = 0;
    TWndMethod old = updown->WindowProc;
    updown->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL)
            seen = m.Msg;
        old(m);
    };
    std::vector<TUDBtnType> clicks;
    updown->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
    ASSERT_TRUE(ui::test::ClickUpDownArrow(updown, btPrev));
    EXPECT_EQ(seen, WM_HSCROLL);
    EXPECT_EQ(clicks, std::vector<TUDBtnType>{btPrev});
    updown->WindowProc = old;
}

TEST_F(ComCtrlsTest, AnimationPlaysItsFramesRoundByRoundAndStops)
{
    rtl::SetClockForTests(1000);
    TForm* form = NewForm();
    auto* animate = new TAnimate(form);
    animate->SetParent(form);
    // Four frames of 10 x 8, each filled with its own colour.
    const TColor colours[] = {clRed, clLime, clBlue, clYellow};
    animate->Frames().SetSize(40, 8);
    for (int i = 0; i < 4; ++i) {
        animate->Frames().Canvas().Brush.Color = colours[i];
        animate->Frames().Canvas().FillRect(Rect(i * 10, 0, i * 10 + 10, 8));
    }
    int opened = 0, started = 0, stopped = 0;
    animate->OnOpen = [&](TObject*) { ++opened; };
    animate->OnStart = [&](TObject*) { ++started; };
    animate->OnStop = [&](TObject*) { ++stopped; };
    animate->SetFrameCount(4);
    animate->Center = false;
    animate->SetBounds(0, 0, 10, 8);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(animate->FrameWidth(), 10);
    animate->SetInterval(50);
    form->Show();
    Turn();

    animate->Play(1, 3, 2);
    EXPECT_TRUE(animate->Active());
    EXPECT_EQ(started, 1);
    std::vector<int> frames{animate->CurrentFrame()};
    for (int tick = 0; tick < 7; ++tick) {
        rtl::AdvanceClockForTests(50);
        Turn();
        frames.push_back(animate->CurrentFrame());
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 1, 2, 3, 3, 3})) << "two rounds, then it stays on the last frame";
    EXPECT_FALSE(animate->Active());
    EXPECT_EQ(stopped, 1);

    animate->Seek(2);
    animate->Repaint();
    Turn();
    EXPECT_EQ(BackBufferPixel(animate, 5, 4), clBlue);
}

TEST_F(ComCtrlsTest, TheStockClipsShowASheetOnItsWay)
{
    TForm* form = NewForm();
    auto* animate = new TAnimate(form);
    animate->SetParent(form);
    for (TCommonAVI clip : {aviCopyFile, aviDeleteFile}) {
        ui::LoadCommonAVI(*animate, clip);
        ASSERT_GT(animate->FrameCount(), 2);
        const int w = animate->FrameWidth();
        const int h = animate->FrameHeight();
        EXPECT_GE(animate->Width(), w);
        // Frames differ: the sheet is somewhere else in each.
        auto frame = [&](int index) {
            std::vector<TColor> pixels;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    pixels.push_back(animate->Frames().Canvas().Pixels(index * w + x, y));
            return pixels;
        };
        EXPECT_NE(frame(0), frame(1));
        EXPECT_NE(frame(0), frame(animate->FrameCount() - 1));
    }
    // The two clips end differently: a folder, or the waste bin.
    ui::LoadCommonAVI(*animate, aviCopyFile);
    const int last = animate->FrameCount() - 1;
    const TColor copyEnd = animate->Frames().Canvas().Pixels(last * animate->FrameWidth() + animate->FrameWidth() - 20,
                                                             animate->FrameHeight() - 10);
    ui::LoadCommonAVI(*animate, aviDeleteFile);
    const TColor deleteEnd = animate->Frames().Canvas().Pixels(
        last * animate->FrameWidth() + animate->FrameWidth() - 20, animate->FrameHeight() - 10);
    EXPECT_NE(copyEnd, deleteEnd);

    ui::LoadCommonAVI(*animate, aviNone);
    EXPECT_TRUE(animate->Frames().Empty());
    EXPECT_EQ(animate->FrameCount(), 1);
}

} // namespace

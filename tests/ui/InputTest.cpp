// Window-system events become the messages the system's code handles: keys
// with virtual-key codes and repeat flags, characters, mouse positions and
// buttons, activation; and hooks on WindowProc see them first.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiFixture.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdLabel.h"

namespace {

class InputTest : public UiTest {
protected:
    void TearDown() override
    {
        form_->WindowProc = previous_;
        UiTest::TearDown();
    }

    void SetUp() override
    {
        UiTest::SetUp();
        form_ = NewForm();
        form_->Show();
        Turn();
        form_->OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) {
            log_.push_back("down " + std::to_string(key) + (shift.Contains(ssShift) ? " shift" : ""));
        };
        form_->OnKeyUp = [this](TObject*, WORD& key, TShiftState) { log_.push_back("up " + std::to_string(key)); };
        form_->OnKeyPress = [this](TObject*, char32_t& key) { log_.push_back("char " + std::to_string(key)); };
        // The raw messages as the window procedure gets them.
        previous_ = form_->WindowProc;
        form_->WindowProc = [this](TMessage& m) {
            if (m.Msg >= WM_KEYFIRST && m.Msg <= WM_KEYLAST)
                keyMessages_.push_back(m);
            previous_(m);
        };
    }

    TForm* form_ = nullptr;
    TWndMethod previous_;
    std::vector<std::string> log_;
    std::vector<TMessage> keyMessages_;
};

TEST_F(InputTest, KeysBecomeVirtualKeysAndCharacters)
{
    using ui::test::kmKeypad;
    struct Case {
        const char* name;
        TKey key;
        TKeyModifiers mods;
        std::string text;
        WORD vk;
    };
    const Case cases[] = {
        {"Escape", TKey::Escape, {}, "\x1b", VK_ESCAPE},
        {"Right", TKey::Right, {}, {}, VK_RIGHT},
        {"Space", TKey::Space, {}, " ", VK_SPACE},
        {"A", ui::test::Letter('A'), {}, "a", 'A'},
        {"5", ui::test::Digit(5), {}, "5", '5'},
        {"keypad 5", ui::test::Digit(5), {kmKeypad}, "5", VK_NUMPAD0 + 5},
        {"keypad +", TKey::Plus, {kmKeypad}, "+", VK_ADD},
        {"-", TKey::Minus, {}, "-", VK_OEM_MINUS},
        {"F5", ui::test::Function(5), {}, {}, VK_F1 + 4},
        {"PageDown", TKey::PageDown, {}, {}, VK_NEXT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        keyMessages_.clear();
        SendKey(form_, TKeyAction::Press, c.key, c.mods, c.text);
        SendKey(form_, TKeyAction::Release, c.key, c.mods, c.text);
        Turn();
        ASSERT_GE(keyMessages_.size(), 2u);
        EXPECT_EQ(keyMessages_.front().Msg, WM_KEYDOWN);
        EXPECT_EQ(keyMessages_.front().WParam, c.vk);
        EXPECT_EQ(keyMessages_.back().Msg, WM_KEYUP);
        EXPECT_EQ(keyMessages_.back().WParam, c.vk);
        EXPECT_TRUE(keyMessages_.back().LParam & (LPARAM{1} << 31)) << "transition bit of a key-up";
        bool hasChar = !c.text.empty();
        EXPECT_EQ(keyMessages_.size(), hasChar ? 3u : 2u);
        if (hasChar) {
            EXPECT_EQ(keyMessages_[1].Msg, WM_CHAR);
            EXPECT_EQ(keyMessages_[1].WParam, static_cast<WPARAM>(static_cast<unsigned char>(c.text.at(0))));
        }
    }
}

TEST_F(InputTest, HeldKeysRepeatAsKeyDownsOnly)
{
    SendKey(form_, TKeyAction::Press, TKey::Right);
    for (int i = 0; i < 3; ++i) {
        // What X11 sends for a held key: release and press, both auto-repeated.
        SendKey(form_, TKeyAction::Release, TKey::Right, {}, {}, true);
        SendKey(form_, TKeyAction::Press, TKey::Right, {}, {}, true);
    }
    SendKey(form_, TKeyAction::Release, TKey::Right);
    Turn();
    std::vector<std::string> expected(4, "down " + std::to_string(VK_RIGHT));
    expected.push_back("up " + std::to_string(VK_RIGHT));
    EXPECT_EQ(log_, expected);
    // Repeats carry the previous-state bit, the first press does not.
    ASSERT_EQ(keyMessages_.size(), 5u);
    EXPECT_FALSE(keyMessages_[0].LParam & (1 << 30));
    EXPECT_TRUE(keyMessages_[1].LParam & (1 << 30));
}

TEST_F(InputTest, AltKeysAreSystemKeysAndShiftIsReported)
{
    SendKey(form_, TKeyAction::Press, ui::test::Letter('X'), {ui::test::kmAlt}, "x");
    SendKey(form_, TKeyAction::Press, ui::test::Letter('B'), {ui::test::kmShift}, "B");
    Turn();
    ASSERT_GE(keyMessages_.size(), 2u);
    EXPECT_EQ(keyMessages_[0].Msg, WM_SYSKEYDOWN);
    EXPECT_TRUE(keyMessages_[0].LParam & (1 << 29));
    EXPECT_EQ(keyMessages_[1].Msg, WM_SYSCHAR);
    EXPECT_EQ(log_.at(1), "down 66 shift");
}

TEST_F(InputTest, HookReplacingWindowProcSwallowsAndPassesOn)
{
    TWndMethod inner = form_->WindowProc;
    int swallowed = 0;
    form_->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_KEYDOWN && m.WParam == VK_ESCAPE) {
            ++swallowed;
            return;
        }
        inner(m);
    };
    SendKey(form_, TKeyAction::Press, TKey::Escape);
    SendKey(form_, TKeyAction::Press, TKey::Left);
    Turn();
    EXPECT_EQ(swallowed, 1);
    EXPECT_EQ(log_, (std::vector<std::string>{"down " + std::to_string(VK_LEFT)}));
    // Perform goes through the hook as well.
    form_->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(swallowed, 2);
    form_->WindowProc = inner;
}

TEST_F(InputTest, OnMessageSeesQueuedInputFirst)
{
    std::vector<UINT> seen;
    Application->OnMessage = [&](TMsg& msg, bool& handled) {
        seen.push_back(msg.message);
        handled = msg.message == WM_KEYDOWN && msg.wParam == VK_SPACE;
    };
    SendKey(form_, TKeyAction::Press, TKey::Space, {}, " ");
    SendKey(form_, TKeyAction::Press, TKey::Up);
    Turn();
    // The handled key is neither dispatched nor translated.
    EXPECT_EQ(seen, (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN}));
    EXPECT_EQ(log_, (std::vector<std::string>{"down " + std::to_string(VK_UP)}));
}

TEST_F(InputTest, MouseMessagesCarryClientPositionsButtonsAndOrder)
{
    std::vector<std::string> events;
    form_->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        events.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y) +
                         (s.Contains(ssCtrl) ? " ctrl" : "") + (s.Contains(ssDouble) ? " double" : ""));
    };
    form_->OnMouseMove = [&](TObject*, TShiftState s, int x, int y) {
        events.push_back("move " + std::to_string(x) + "," + std::to_string(y) + (s.Contains(ssLeft) ? " left" : ""));
    };
    form_->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int x, int y) {
        events.push_back("up " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    form_->OnClick = [&](TObject*) { events.push_back("click"); };
    form_->OnDblClick = [&](TObject*) { events.push_back("dblclick"); };

    SendMouse(form_, TMouseAction::Press, {10, 20}, mbLeft, {ssLeft, ssCtrl});
    ui::test::MoveMouse(form_, {15, 25}, {ssLeft});
    SendMouse(form_, TMouseAction::Release, {15, 25}, mbLeft, {});
    SendMouse(form_, TMouseAction::DoubleClick, {15, 25}, mbLeft, {ssLeft});
    SendMouse(form_, TMouseAction::Release, {15, 25}, mbLeft, {});
    SendMouse(form_, TMouseAction::Press, {3, 4}, mbRight, {ssRight});
    Turn();
    EXPECT_EQ(events,
              (std::vector<std::string>{"down 0 10,20 ctrl", "move 15,25 left", "click", "up 0 15,25", "dblclick",
                                        "down 0 15,25 double", "up 0 15,25", "down 1 3,4"}));
}

TEST_F(InputTest, ActivationReachesTheFormAndTheScreen)
{
    TForm* second = NewForm();
    second->Show();
    Turn();
    std::vector<std::string> events;
    form_->OnActivate = [&](TObject*) { events.push_back("activate"); };
    form_->OnDeactivate = [&](TObject*) { events.push_back("deactivate"); };
    std::vector<UINT> raw;
    TWndMethod inner = form_->WindowProc;
    form_->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_ACTIVATE || m.Msg == WM_NCACTIVATE || m.Msg == WM_ACTIVATEAPP)
            raw.push_back(m.Msg);
        inner(m);
    };

    ui::test::ActivateWindow(form_);
    EXPECT_TRUE(form_->Active());
    EXPECT_EQ(Screen->ActiveForm(), form_);
    EXPECT_EQ(Screen->Forms(0), form_);
    EXPECT_TRUE(form_->Focused());
    ui::test::DeactivateWindow(form_);
    EXPECT_FALSE(form_->Active());
    EXPECT_EQ(events, (std::vector<std::string>{"activate", "deactivate"}));
    EXPECT_EQ(raw, (std::vector<UINT>{WM_ACTIVATE, WM_NCACTIVATE, WM_NCACTIVATE, WM_ACTIVATE}));

    // The application's activation goes to every form as WM_ACTIVATEAPP.
    raw.clear();
    bool wasActive = Application->Active();
    Application->ActivationChanged(!wasActive);
    Application->ActivationChanged(wasActive);
    EXPECT_EQ(raw, (std::vector<UINT>{WM_ACTIVATEAPP, WM_ACTIVATEAPP}));
    form_->WindowProc = inner;
}

TEST_F(InputTest, FocusMovesWithEnterAndExit)
{
    auto* a = new TPanel(form_);
    a->SetParent(form_);
    a->SetTabStop(true);
    auto* b = new TPanel(form_);
    b->SetParent(form_);
    std::vector<std::string> events;
    a->OnEnter = [&](TObject*) { events.push_back("enter a"); };
    a->OnExit = [&](TObject*) { events.push_back("exit a"); };
    b->OnEnter = [&](TObject*) { events.push_back("enter b"); };
    ui::test::ActivateWindow(form_);
    a->SetFocus();
    EXPECT_TRUE(a->Focused());
    EXPECT_EQ(form_->ActiveControl(), a);
    b->SetFocus();
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(events, (std::vector<std::string>{"enter a", "exit a", "enter b"}));
    b->SetVisible(false);
    EXPECT_THROW(b->SetFocus(), EInvalidOperation);
}

TEST_F(InputTest, WheelReportsDeltaAndScreenPosition)
{
    int delta = 0;
    TPoint where;
    form_->OnMouseWheel = [&](TObject*, TShiftState, int wheelDelta, TPoint pos, bool& handled) {
        delta = wheelDelta;
        where = pos;
        handled = true;
    };
    ui::test::TurnWheel(form_, {30, 40}, -120);
    Turn();
    EXPECT_EQ(delta, -120);
    EXPECT_EQ(where, form_->ClientToScreen({30, 40}));
}

TEST_F(InputTest, AltWithAnUnderlinedLetterFocusesTheLabelsControl)
{
    auto* edit = new TPanel(form_);
    edit->SetParent(form_);
    edit->SetBounds(100, 10, 50, 20);
    auto* label = new TLabel(form_);
    label->SetParent(form_);
    label->SetCaption("&Name:");
    label->SetFocusControl(edit);
    ui::test::ActivateWindow(form_);
    SendKey(form_, TKeyAction::Press, ui::test::Letter('X'), {ui::test::kmAlt}, "x");
    Turn();
    EXPECT_FALSE(edit->Focused());
    SendKey(form_, TKeyAction::Press, ui::test::Letter('N'), {ui::test::kmAlt}, "n");
    Turn();
    EXPECT_TRUE(edit->Focused());
    // A freed focus control is forgotten.
    delete edit;
    EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST_F(InputTest, CursorFollowsTheControlUnderTheMouse)
{
    auto* shape = new TShape(form_);
    shape->SetParent(form_);
    shape->SetBounds(0, 0, 50, 50);
    shape->SetCursor(crHandPoint);
    form_->SetCursor(crCross);
    EXPECT_EQ(ui::test::ShownWindow(form_).Cursor, crCross);
    ui::test::MoveMouse(form_, {10, 10});
    Turn();
    EXPECT_EQ(ui::test::ShownWindow(form_).Cursor, crHandPoint);
    ui::test::MoveMouse(form_, {100, 100});
    Turn();
    EXPECT_EQ(ui::test::ShownWindow(form_).Cursor, crCross);
}

TEST_F(InputTest, RecreatedWindowKeepsItsHookAndChildren)
{
    auto* panel = new TPanel(form_);
    panel->SetParent(form_);
    Turn();
    HWND oldHandle = form_->Handle();
    ASSERT_TRUE(panel->HandleAllocated());
    std::vector<UINT> seen;
    TWndMethod inner = form_->WindowProc;
    form_->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_DESTROY || m.Msg == WM_CREATE)
            seen.push_back(m.Msg);
        inner(m);
    };
    form_->RecreateWnd();
    form_->WindowProc = inner;
    EXPECT_NE(form_->Handle(), oldHandle);
    EXPECT_FALSE(ui::IsWindow(oldHandle));
    EXPECT_EQ(seen, (std::vector<UINT>{WM_DESTROY, WM_CREATE}));
    EXPECT_TRUE(form_->Showing());
    ASSERT_TRUE(panel->HandleAllocated());
    EXPECT_EQ(ui::test::ShownWindow(panel).Parent, form_);
}

TEST_F(InputTest, TabMovesTheFocusThroughTheTabStopsInOrder)
{
    auto make = [&](TWinControl* parent, bool tabStop) {
        auto* p = new TPanel(form_);
        p->SetParent(parent);
        p->SetTabStop(tabStop);
        return p;
    };
    TPanel* first = make(form_, true);
    TPanel* group = make(form_, false);
    TPanel* inner = make(group, true);
    TPanel* last = make(form_, true);
    last->SetTabOrder(0); // now the first stop
    ui::test::ActivateWindow(form_);
    form_->SetActiveControl(first);

    std::vector<TWinControl*> visited;
    for (int i = 0; i < 4; ++i) {
        SendKey(TWinControl::FindControl(ui::GetFocus()), TKeyAction::Press, TKey::Tab);
        Turn();
        visited.push_back(TWinControl::FindControl(ui::GetFocus()));
    }
    EXPECT_EQ(visited, (std::vector<TWinControl*>{inner, last, first, inner}));
    SendKey(inner, TKeyAction::Press, TKey::Backtab, {ui::test::kmShift});
    Turn();
    EXPECT_TRUE(first->Focused());

    // A control that wants Tab keeps it.
    first->WindowProc = [first](TMessage& m) {
        if (m.Msg == WM_GETDLGCODE)
            m.Result = DLGC_WANTTAB;
        else
            first->WndProc(m);
    };
    SendKey(first, TKeyAction::Press, TKey::Tab);
    Turn();
    EXPECT_TRUE(first->Focused());
}

} // namespace

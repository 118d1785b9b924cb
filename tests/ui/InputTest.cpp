// Window-system events become the messages the system's code handles: keys
// with virtual-key codes and repeat flags, characters, mouse positions and
// buttons, activation; and hooks on WindowProc see them first.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiFixture.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdLabel.h"

#include <QWheelEvent>

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
    struct Case {
        int qtKey;
        Qt::KeyboardModifiers mods;
        QString text;
        WORD vk;
    };
    const Case cases[] = {
        {Qt::Key_Escape, {}, QString("\x1b"), VK_ESCAPE},
        {Qt::Key_Right, {}, {}, VK_RIGHT},
        {Qt::Key_Space, {}, " ", VK_SPACE},
        {Qt::Key_A, {}, "a", 'A'},
        {Qt::Key_5, {}, "5", '5'},
        {Qt::Key_5, Qt::KeypadModifier, "5", VK_NUMPAD0 + 5},
        {Qt::Key_Plus, Qt::KeypadModifier, "+", VK_ADD},
        {Qt::Key_Minus, {}, "-", VK_OEM_MINUS},
        {Qt::Key_F5, {}, {}, VK_F1 + 4},
        {Qt::Key_PageDown, {}, {}, VK_NEXT},
    };
    for (const Case& c : cases) {
        keyMessages_.clear();
        SendKey(form_, QEvent::KeyPress, c.qtKey, c.mods, c.text);
        SendKey(form_, QEvent::KeyRelease, c.qtKey, c.mods, c.text);
        Turn();
        ASSERT_GE(keyMessages_.size(), 2u) << c.qtKey;
        EXPECT_EQ(keyMessages_.front().Msg, WM_KEYDOWN);
        EXPECT_EQ(keyMessages_.front().WParam, c.vk) << c.qtKey;
        EXPECT_EQ(keyMessages_.back().Msg, WM_KEYUP);
        EXPECT_EQ(keyMessages_.back().WParam, c.vk);
        EXPECT_TRUE(keyMessages_.back().LParam & (LPARAM{1} << 31)) << "transition bit of a key-up";
        bool hasChar = !c.text.isEmpty();
        EXPECT_EQ(keyMessages_.size(), hasChar ? 3u : 2u) << c.qtKey;
        if (hasChar) {
            EXPECT_EQ(keyMessages_[1].Msg, WM_CHAR);
            EXPECT_EQ(keyMessages_[1].WParam, static_cast<WPARAM>(c.text.at(0).unicode()));
        }
    }
}

TEST_F(InputTest, HeldKeysRepeatAsKeyDownsOnly)
{
    SendKey(form_, QEvent::KeyPress, Qt::Key_Right);
    for (int i = 0; i < 3; ++i) {
        // What X11 sends for a held key: release and press, both auto-repeated.
        SendKey(form_, QEvent::KeyRelease, Qt::Key_Right, {}, {}, true);
        SendKey(form_, QEvent::KeyPress, Qt::Key_Right, {}, {}, true);
    }
    SendKey(form_, QEvent::KeyRelease, Qt::Key_Right);
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
    SendKey(form_, QEvent::KeyPress, Qt::Key_X, Qt::AltModifier, "x");
    SendKey(form_, QEvent::KeyPress, Qt::Key_B, Qt::ShiftModifier, "B");
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
    SendKey(form_, QEvent::KeyPress, Qt::Key_Escape);
    SendKey(form_, QEvent::KeyPress, Qt::Key_Left);
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
    SendKey(form_, QEvent::KeyPress, Qt::Key_Space, {}, " ");
    SendKey(form_, QEvent::KeyPress, Qt::Key_Up);
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

    SendMouse(form_, QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    SendMouse(form_, QEvent::MouseMove, {15, 25}, Qt::NoButton, Qt::LeftButton);
    SendMouse(form_, QEvent::MouseButtonRelease, {15, 25}, Qt::LeftButton, Qt::NoButton);
    SendMouse(form_, QEvent::MouseButtonDblClick, {15, 25}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(form_, QEvent::MouseButtonRelease, {15, 25}, Qt::LeftButton, Qt::NoButton);
    SendMouse(form_, QEvent::MouseButtonPress, {3, 4}, Qt::RightButton, Qt::RightButton);
    Turn();
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 10,20 ctrl", "move 15,25 left", "click", "up 0 15,25",
                                                "dblclick", "down 0 15,25 double", "up 0 15,25",
                                                "down 1 3,4"}));
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

    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(ui::WidgetOf(form_), &activate);
    EXPECT_TRUE(form_->Active());
    EXPECT_EQ(Screen->ActiveForm(), form_);
    EXPECT_EQ(Screen->Forms(0), form_);
    EXPECT_TRUE(form_->Focused());
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(ui::WidgetOf(form_), &deactivate);
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
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(ui::WidgetOf(form_), &activate);
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
    QWidget* w = ui::WidgetOf(form_);
    QPoint global = w->mapToGlobal(QPoint(30, 40));
    QWheelEvent event(QPointF(30, 40), QPointF(global), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
    Turn();
    EXPECT_EQ(delta, -120);
    EXPECT_EQ(where, TPoint({global.x(), global.y()}));
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
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(ui::WidgetOf(form_), &activate);
    SendKey(form_, QEvent::KeyPress, Qt::Key_X, Qt::AltModifier, "x");
    Turn();
    EXPECT_FALSE(edit->Focused());
    SendKey(form_, QEvent::KeyPress, Qt::Key_N, Qt::AltModifier, "n");
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
    QWidget* w = ui::WidgetOf(form_);
    EXPECT_EQ(w->cursor().shape(), Qt::CrossCursor);
    SendMouse(form_, QEvent::MouseMove, {10, 10}, Qt::NoButton, Qt::NoButton);
    Turn();
    EXPECT_EQ(w->cursor().shape(), Qt::PointingHandCursor);
    SendMouse(form_, QEvent::MouseMove, {100, 100}, Qt::NoButton, Qt::NoButton);
    Turn();
    EXPECT_EQ(w->cursor().shape(), Qt::CrossCursor);
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
    EXPECT_EQ(ui::WidgetOf(panel)->parentWidget(), ui::WidgetOf(form_));
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
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(ui::WidgetOf(form_), &activate);
    form_->SetActiveControl(first);

    std::vector<TWinControl*> visited;
    for (int i = 0; i < 4; ++i) {
        SendKey(TWinControl::FindControl(ui::GetFocus()), QEvent::KeyPress, Qt::Key_Tab);
        Turn();
        visited.push_back(TWinControl::FindControl(ui::GetFocus()));
    }
    EXPECT_EQ(visited, (std::vector<TWinControl*>{inner, last, first, inner}));
    SendKey(inner, QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
    Turn();
    EXPECT_TRUE(first->Focused());

    // A control that wants Tab keeps it.
    first->WindowProc = [first](TMessage& m) {
        if (m.Msg == WM_GETDLGCODE)
            m.Result = DLGC_WANTTAB;
        else
            first->WndProc(m);
    };
    SendKey(first, QEvent::KeyPress, Qt::Key_Tab);
    Turn();
    EXPECT_TRUE(first->Focused());
}

} // namespace

#include "platform/rtl/StringList.h"
#include "platform/ui/StdCtrls.h"
#include "tests/ui/UiFixture.h"

namespace {

// Keys typed into the toolkit widgets of standard controls pass the
// control's window procedure first, so hooks see and may swallow them.
class NativeKeysTest : public UiTest {
protected:
    template <class C> C* PlaceFocused(TForm* form)
    {
        auto* control = new C(form);
        control->SetParent(form);
        form->Show();
        Turn();
        control->SetFocus();
        Turn();
        return control;
    }

    // Puts the control's previous window procedure back at the end of a
    // scope (the hook refers to the test's locals; the form outlives them).
    struct HookScope {
        TControl* control;
        TWndMethod previous;
        ~HookScope() { control->WindowProc = previous; }
    };

    static void Press(TNativeControl* control, TKey key, const std::string& text = {})
    {
        ui::test::SendWidgetKey(control, TKeyAction::Press, key, {}, text);
        ui::test::SendWidgetKey(control, TKeyAction::Release, key, {}, text);
        Turn();
    }
};

TEST_F(NativeKeysTest, HookOnAnEditSeesKeysAndCharactersAndMaySwallowThem)
{
    TForm* form = NewForm();
    auto* edit = PlaceFocused<TEdit>(form);
    std::vector<std::pair<UINT, WPARAM>> seen;
    TWndMethod previous = edit->WindowProc;
    HookScope restore{edit, previous};
    edit->WindowProc = [&](TMessage& message) {
        if (message.Msg == WM_KEYDOWN || message.Msg == WM_CHAR || message.Msg == WM_KEYUP)
            seen.emplace_back(message.Msg, message.WParam);
        if (message.Msg == WM_CHAR && message.WParam == 'x')
            return; // swallowed: the edit never gets it
        previous(message);
    };

    Press(edit, ui::test::Letter('A'), "a");
    Press(edit, ui::test::Letter('X'), "x");
    Press(edit, ui::test::Letter('B'), "b");
    EXPECT_EQ(edit->Text(), "ab");
    Press(edit, TKey::Backspace, "\b");
    EXPECT_EQ(edit->Text(), "a") << "a key without a printable character works through its key-down";

    const std::vector<std::pair<UINT, WPARAM>> firstKey{{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'}};
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(std::vector(seen.begin(), seen.begin() + 3), firstKey);
}

TEST_F(NativeKeysTest, KeyEventsOfTheControlChangeOrDropWhatTheWidgetGets)
{
    struct Key {
        TKey key;
        const char* text;
    };
    const std::vector<Key> abcBack{{ui::test::Letter('A'), "a"},
                                   {ui::test::Letter('B'), "b"},
                                   {ui::test::Letter('C'), "c"},
                                   {TKey::Backspace, "\b"}};
    struct Case {
        const char* name;
        std::function<void(TEdit*)> hook;
        const char* text;
    };
    const Case cases[] = {
        {"nothing hooked", [](TEdit*) {}, "ab"},
        {"OnKeyPress changes the character",
         [](TEdit* e) { e->OnKeyPress = [](TObject*, char32_t& key) { key = std::toupper(static_cast<int>(key)); }; },
         "AB"},
        {"OnKeyPress drops a character",
         [](TEdit* e) {
             e->OnKeyPress = [](TObject*, char32_t& key) {
                 if (key == 'b')
                     key = 0;
             };
         },
         "a"},
        // As on the platform: a key-down set to 0 keeps the key from the
        // edit, but its character still follows.
        {"OnKeyDown drops a key",
         [](TEdit* e) {
             e->OnKeyDown = [](TObject*, WORD& key, TShiftState) {
                 if (key == VK_BACK)
                     key = 0;
             };
         },
         "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TForm* form = NewForm();
        auto* edit = PlaceFocused<TEdit>(form);
        c.hook(edit);
        for (const Key& key : abcBack)
            Press(edit, key.key, key.text);
        EXPECT_EQ(edit->Text(), c.text);
    }
}

TEST_F(NativeKeysTest, TabLeavesAMemoWhileEnterStaysInIt)
{
    TForm* form = NewForm();
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    auto* next = new TEdit(form);
    next->SetParent(form);
    next->SetTop(100);
    form->Show();
    Turn();
    memo->SetFocus();
    Turn();
    Press(memo, ui::test::Letter('A'), "a");
    Press(memo, TKey::Return, "\r");
    Press(memo, ui::test::Letter('B'), "b");
    EXPECT_EQ(memo->Lines().Count(), 2);
    Press(memo, TKey::Tab, "\t");
    EXPECT_TRUE(next->Focused());
    EXPECT_EQ(memo->Text(), "a\r\nb");
}

TEST_F(NativeKeysTest, ListBoxArrowsPassTheHookAndMoveTheSelection)
{
    TForm* form = NewForm();
    auto* list = PlaceFocused<TListBox>(form);
    for (const char* s : {"a", "b", "c"})
        list->Items().Add(s);
    list->SetItemIndex(0);
    int downs = 0;
    TWndMethod previous = list->WindowProc;
    HookScope restore{list, previous};
    list->WindowProc = [&](TMessage& message) {
        if (message.Msg == WM_KEYDOWN && message.WParam == VK_DOWN && ++downs == 2)
            return; // the second one is swallowed
        previous(message);
    };
    Press(list, TKey::Down);
    EXPECT_EQ(list->ItemIndex(), 1) << "arrows belong to the list, not to the dialog";
    Press(list, TKey::Down);
    EXPECT_EQ(list->ItemIndex(), 1);
    Press(list, TKey::Down);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(downs, 3);
}

} // namespace

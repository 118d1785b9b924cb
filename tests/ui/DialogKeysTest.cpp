// The keyboard in modal forms: the first control in tab order has the focus
// when the form opens, Enter presses the default button (or the focused
// one), Escape the cancel button, list boxes take the arrow keys at once,
// and the release of the key that closed a dialog does not reach the window
// below it. Keys go where the window system sends them: to the focus.

#include "UiFixture.h"

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

namespace {

using ui::test::TKey;

// The dialogs of the table: what they hold and how they end.
struct TDialogParts {
    TForm* Form = nullptr;
    TWinControl* First = nullptr; // the first control in tab order
    TListBox* List = nullptr;
};

TButton* NewButton(TWinControl* parent, TForm* form, const std::string& caption, int left, int top)
{
    auto* button = new TButton(form);
    button->SetParent(parent);
    button->SetCaption(caption);
    button->SetBounds(left, top, 90, 25);
    return button;
}

// A label, a value field and OK / Abbrechen; onPanel puts the buttons on a panel.
TDialogParts ValueDialog(bool onPanel)
{
    TDialogParts parts;
    parts.Form = new TForm(nullptr);
    parts.Form->SetBounds(40, 40, 300, 140);
    auto* label = new TLabel(parts.Form);
    label->SetParent(parts.Form);
    label->SetCaption("Pause zwischen den Bildern:");
    auto* edit = new TEdit(parts.Form);
    edit->SetParent(parts.Form);
    edit->SetBounds(12, 32, 110, 22);
    edit->SetText("2500");
    TWinControl* buttons = parts.Form;
    if (onPanel) {
        auto* panel = new TPanel(parts.Form);
        panel->SetParent(parts.Form);
        panel->SetAlign(alBottom);
        panel->SetHeight(40);
        buttons = panel;
    }
    TButton* ok = NewButton(buttons, parts.Form, "&OK", 100, 8);
    ok->Default = true;
    ok->OnClick = [form = parts.Form](TObject*) { form->ModalResult = mrOk; };
    TButton* cancel = NewButton(buttons, parts.Form, "&Abbrechen", 196, 8);
    cancel->Cancel = true;
    cancel->ModalResult = mrCancel;
    parts.First = edit;
    return parts;
}

// A text and one button that both Enter and Escape press.
TDialogParts MessageDialog()
{
    TDialogParts parts;
    parts.Form = new TForm(nullptr);
    parts.Form->SetBounds(40, 40, 260, 110);
    auto* text = new TLabel(parts.Form);
    text->SetParent(parts.Form);
    text->SetCaption("Die Datei wurde nicht gefunden.");
    TButton* ok = NewButton(parts.Form, parts.Form, "OK", 85, 50);
    ok->Default = true;
    ok->Cancel = true;
    ok->ModalResult = mrOk;
    parts.First = ok;
    return parts;
}

// A list of three lines, the first selected, and Starten / Beenden.
TDialogParts ListChooser()
{
    TDialogParts parts;
    parts.Form = new TForm(nullptr);
    parts.Form->SetBounds(40, 40, 300, 220);
    parts.List = new TListBox(parts.Form);
    parts.List->SetParent(parts.Form);
    parts.List->SetBounds(8, 8, 280, 140);
    for (const char* line : {"Urlaub", "Garten", "Familie"})
        parts.List->Items().Add(line);
    parts.List->SetItemIndex(0);
    TButton* start = NewButton(parts.Form, parts.Form, "Vistelo starten", 8, 160);
    start->Default = true;
    start->ModalResult = mrOk;
    TButton* quit = NewButton(parts.Form, parts.Form, "Beenden", 198, 160);
    quit->Cancel = true;
    quit->ModalResult = mrCancel;
    parts.First = parts.List;
    return parts;
}

enum class TDialogKind { Value, ValueOnPanel, Message, List };

TDialogParts MakeDialog(TDialogKind kind)
{
    switch (kind) {
    case TDialogKind::Value: return ValueDialog(false);
    case TDialogKind::ValueOnPanel: return ValueDialog(true);
    case TDialogKind::Message: return MessageDialog();
    default: return ListChooser();
    }
}

// The character a key types, as the window system sends it along.
std::string TextOf(TKey key)
{
    switch (key) {
    case TKey::Return: return "\r";
    case TKey::Escape: return "\x1b";
    case TKey::Tab: return "\t";
    default: return {};
    }
}

class DialogKeys : public UiTest {
protected:
    // Presses and releases the keys one after the other, each once the one
    // before was handled, at the control that has the focus then; what had
    // the focus first is noted.
    void TypeLater(const std::vector<TKey>& keys, size_t next = 0)
    {
        Later([this, keys, next] {
            if (next == 0)
                focusedAtOpen_ = ui::test::FocusedControl();
            if (next == keys.size())
                return;
            const std::string text = TextOf(keys[next]);
            EXPECT_TRUE(ui::test::SendKeyToFocus(TKeyAction::Press, keys[next], {}, text)) << "no focus";
            ui::test::SendKeyToFocus(TKeyAction::Release, keys[next]);
            TypeLater(keys, next + 1);
        });
    }

    TWinControl* focusedAtOpen_ = nullptr;
};

TEST_F(DialogKeys, EnterEscapeTabAndArrowsWorkFromTheMomentADialogOpens)
{
    struct Case {
        const char* Name;
        TDialogKind Kind;
        std::vector<TKey> Keys;
        TModalResult Result;
        int ListIndex; // the list's line afterwards (-2: no list)
    };
    const Case cases[] = {
        {"value: Enter presses OK", TDialogKind::Value, {TKey::Return}, mrOk, -2},
        {"value: Escape presses Abbrechen", TDialogKind::Value, {TKey::Escape}, mrCancel, -2},
        {"value: Enter presses the button Tab moved to",
         TDialogKind::Value,
         {TKey::Tab, TKey::Tab, TKey::Return},
         mrCancel,
         -2},
        {"value, buttons on a panel: Enter", TDialogKind::ValueOnPanel, {TKey::Return}, mrOk, -2},
        {"value, buttons on a panel: Escape", TDialogKind::ValueOnPanel, {TKey::Escape}, mrCancel, -2},
        {"message: Enter", TDialogKind::Message, {TKey::Return}, mrOk, -2},
        {"message: Escape", TDialogKind::Message, {TKey::Escape}, mrOk, -2},
        {"list: arrows at once, then Enter",
         TDialogKind::List,
         {TKey::Down, TKey::Down, TKey::Up, TKey::Return},
         mrOk,
         1},
        {"list: Escape", TDialogKind::List, {TKey::Down, TKey::Escape}, mrCancel, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TDialogParts dialog = MakeDialog(c.Kind);
        focusedAtOpen_ = nullptr;
        TypeLater(c.Keys);
        // A dialog that does not take the keys must still end.
        auto* guard = new TTimer(dialog.Form);
        guard->SetInterval(3000);
        guard->OnTimer = [&](TObject*) { dialog.Form->ModalResult = mrAbort; };
        const TModalResult result = dialog.Form->ShowModal();
        EXPECT_EQ(focusedAtOpen_, dialog.First);
        EXPECT_EQ(result, c.Result);
        if (dialog.List) {
            EXPECT_EQ(dialog.List->ItemIndex(), c.ListIndex);
        }
        delete dialog.Form;
        Turn();
    }
}

TEST_F(DialogKeys, TheReleaseOfTheKeyThatClosedADialogStaysAwayFromTheWindowBelow)
{
    TForm* below = NewForm(300, 200);
    below->KeyPreview = true;
    std::vector<WORD> releases;
    below->OnKeyUp = [&](TObject*, WORD& key, TShiftState) { releases.push_back(key); };
    below->Show();
    Turn();

    TDialogParts dialog = MessageDialog();
    Later([&] { ui::test::SendKeyToFocus(TKeyAction::Press, TKey::Escape, {}, "\x1b"); });
    EXPECT_EQ(dialog.Form->ShowModal(), mrOk);
    delete dialog.Form;
    // The window system hands the release to the window that has the focus now.
    SendKey(below, TKeyAction::Release, TKey::Escape);
    Turn();
    EXPECT_TRUE(releases.empty()) << "the closing Escape's release reached the window below";

    // Its own keys still reach it, press and release.
    SendKey(below, TKeyAction::Press, TKey::Escape, {}, "\x1b");
    SendKey(below, TKeyAction::Release, TKey::Escape);
    Turn();
    EXPECT_EQ(releases, std::vector<WORD>{VK_ESCAPE});
}

} // namespace

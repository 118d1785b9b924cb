#include "platform/ui/StdCtrls.h"

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ExtCtrls.h"
#include "tests/ui/UiFixture.h"

namespace {

class StdCtrlsTest : public UiTest {
protected:
    // A control on a shown form, its window made.
    template <class C> C* Place(TForm* form, int left = 10, int top = 10)
    {
        auto* control = new C(form);
        control->SetParent(form);
        control->SetLeft(left);
        control->SetTop(top);
        control->HandleNeeded();
        return control;
    }

    static ui::test::TShownWidget Shown(TNativeControl* control)
    {
        ui::test::TShownWidget shown = ui::test::ShownWidget(control);
        EXPECT_TRUE(shown.Exists);
        return shown;
    }

    // A left click on the control's widget, near its left end where check
    // and radio boxes have their indicator.
    static void ClickWidget(TNativeControl* control) { ui::test::ClickWidget(control, {6, Shown(control).Height / 2}); }

    // Keys pass the control's window messages first: the loop turns.
    static void Type(TNativeControl* control, const std::string& text)
    {
        ui::test::TypeText(control, text);
        Turn();
    }
};

TEST_F(StdCtrlsTest, ButtonClickFiresOnClickAndSetsTheFormsModalResult)
{
    TForm* form = NewForm();
    auto* button = Place<TButton>(form);
    button->SetCaption("&Weiter");
    button->ModalResult = mrOk;
    int clicks = 0;
    button->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, button);
        ++clicks;
    };
    form->Show();
    Turn();

    ui::test::TShownWidget push = Shown(button);
    EXPECT_TRUE(push.Button);
    EXPECT_EQ(push.Text, "&Weiter");
    EXPECT_EQ(push.Width, button->Width());
    EXPECT_EQ(push.Height, button->Height());
    ClickWidget(button);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form->ModalResult, mrOk);

    // A disabled button takes no clicks.
    button->SetEnabled(false);
    ClickWidget(button);
    EXPECT_EQ(clicks, 1);
}

TEST_F(StdCtrlsTest, WidgetFollowsTheControlsSizeAndCaptionAndSurvivesARecreatedWindow)
{
    TForm* form = NewForm();
    auto* button = Place<TButton>(form);
    form->Show();
    button->SetBounds(5, 5, 120, 40);
    button->SetCaption("Abbrechen");
    Turn();
    for (bool recreated : {false, true}) {
        SCOPED_TRACE(recreated);
        if (recreated) {
            button->RecreateWnd();
            Turn();
        }
        ui::test::TShownWidget shown = Shown(button);
        EXPECT_EQ(shown.Text, "Abbrechen");
        EXPECT_EQ(shown.Width, 120);
        EXPECT_EQ(shown.Height, 40);
    }
}

TEST_F(StdCtrlsTest, CheckBoxCyclesItsStatesOnClicksAndReportsEachChange)
{
    struct Case {
        bool allowGrayed;
        std::vector<TCheckBoxState> afterClicks;
    };
    const Case cases[] = {
        {false, {cbChecked, cbUnchecked, cbChecked}},
        {true, {cbChecked, cbGrayed, cbUnchecked}},
    };
    for (const Case& c : cases) {
        TForm* form = NewForm();
        auto* box = Place<TCheckBox>(form);
        box->AllowGrayed = c.allowGrayed;
        int clicks = 0;
        box->OnClick = [&](TObject*) { ++clicks; };
        form->Show();
        Turn();
        for (size_t i = 0; i < c.afterClicks.size(); ++i) {
            ClickWidget(box);
            EXPECT_EQ(box->State(), c.afterClicks[i]) << "click " << i << " grayed " << c.allowGrayed;
            EXPECT_EQ(Shown(box).Check, box->State());
        }
        EXPECT_EQ(clicks, static_cast<int>(c.afterClicks.size()));
    }
}

TEST_F(StdCtrlsTest, CheckedSetFromCodeIsShownAndFiresOnClickOnlyWhenItChanges)
{
    TForm* form = NewForm();
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetChecked(true); // before the window exists
    EXPECT_EQ(clicks, 1);
    box->HandleNeeded();
    EXPECT_EQ(Shown(box).Check, cbChecked);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box->SetChecked(false);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(Shown(box).Check, cbUnchecked);
}

TEST_F(StdCtrlsTest, RadioButtonsOfOneParentExcludeEachOtherButNotThoseOfAnother)
{
    TForm* form = NewForm(300, 200);
    auto* a = Place<TRadioButton>(form, 10, 10);
    auto* b = Place<TRadioButton>(form, 10, 40);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(150, 10, 140, 100);
    auto* other = Place<TRadioButton>(form);
    other->SetParent(panel);
    other->SetChecked(true);
    int bClicks = 0;
    b->OnClick = [&](TObject*) { ++bClicks; };
    form->Show();
    Turn();

    a->SetChecked(true);
    ClickWidget(b);
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_EQ(Shown(a).Check, cbUnchecked);
    EXPECT_TRUE(other->Checked());
    EXPECT_EQ(bClicks, 1);

    // Clicking the checked one again keeps it checked and fires nothing.
    ClickWidget(b);
    EXPECT_TRUE(b->Checked());
    EXPECT_EQ(Shown(b).Check, cbChecked);
    EXPECT_EQ(bClicks, 1);
}

TEST_F(StdCtrlsTest, EditTypingAndCodeBothChangeTextAndFireOnChange)
{
    TForm* form = NewForm();
    auto* edit = Place<TEdit>(form);
    std::vector<std::string> changes;
    edit->OnChange = [&](TObject*) { changes.push_back(edit->Text()); };
    form->Show();
    Turn();

    ui::test::FocusWidget(edit);
    Type(edit, "Bild");
    EXPECT_EQ(edit->Text(), "Bild");
    EXPECT_TRUE(edit->Modified);
    EXPECT_EQ(changes, (std::vector<std::string>{"B", "Bi", "Bil", "Bild"}));

    changes.clear();
    edit->SetText("Größe");
    EXPECT_EQ(Shown(edit).Text, "Größe");
    EXPECT_EQ(changes, std::vector<std::string>{"Größe"});
    edit->SetText("Größe");
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(StdCtrlsTest, EditMaxLengthCutsTypedAndAssignedText)
{
    TForm* form = NewForm();
    auto* edit = Place<TEdit>(form);
    edit->SetText("abcdef");
    edit->SetMaxLength(4);
    EXPECT_EQ(edit->Text(), "abcd");
    edit->SetText("äöüßxyz");
    EXPECT_EQ(edit->Text(), "äöüß");
    ui::test::FocusWidget(edit);
    ui::test::MoveCaretToEnd(edit);
    Type(edit, "z");
    EXPECT_EQ(edit->Text(), "äöüß");
    edit->SetMaxLength(0);
    Type(edit, "z");
    EXPECT_EQ(edit->Text(), "äöüßz");
}

TEST_F(StdCtrlsTest, EditSelectionIsKeptBeforeTheWindowAndShownByIt)
{
    TForm* form = NewForm();
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetText("Diashow");
    edit->SetSelStart(3);
    edit->SetSelLength(99); // clipped to the text
    EXPECT_EQ(edit->SelText(), "show");
    edit->HandleNeeded();
    EXPECT_EQ(Shown(edit).SelectedText, "show");
    edit->SelectAll();
    EXPECT_EQ(edit->SelText(), "Diashow");
    edit->SetSelStart(2);
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_EQ(edit->SelStart(), 2);
}

TEST_F(StdCtrlsTest, ReadOnlyEditIgnoresTypingAndPasswordCharHidesText)
{
    TForm* form = NewForm();
    auto* edit = Place<TEdit>(form);
    edit->SetText("fest");
    edit->SetReadOnly(true);
    edit->SetPasswordChar('*');
    form->Show();
    Turn();
    ui::test::FocusWidget(edit);
    Type(edit, "x");
    EXPECT_EQ(edit->Text(), "fest");
    EXPECT_FALSE(edit->Modified);
    ui::test::TShownWidget line = Shown(edit);
    EXPECT_TRUE(line.Password);
    EXPECT_NE(line.DisplayText, "fest");
}

TEST_F(StdCtrlsTest, ClickingIntoAnEditMovesTheLayersFocusToIt)
{
    TForm* form = NewForm();
    auto* first = Place<TEdit>(form, 10, 10);
    auto* second = Place<TEdit>(form, 10, 40);
    int entered = 0;
    second->OnEnter = [&](TObject*) { ++entered; };
    form->Show();
    Turn();
    first->SetFocus();
    Turn();
    ui::test::FocusWidget(second, true);
    Turn();
    EXPECT_TRUE(second->Focused());
    EXPECT_EQ(entered, 1);
}

TEST_F(StdCtrlsTest, MemoLinesTextAndTypingStayOneText)
{
    TForm* form = NewForm();
    auto* memo = Place<TMemo>(form);
    int changes = 0;
    memo->OnChange = [&](TObject*) { ++changes; };
    memo->Lines().Add("eins");
    memo->Lines().Add("zwei");
    EXPECT_EQ(memo->Text(), "eins\r\nzwei");
    EXPECT_EQ(Shown(memo).Text, "eins\nzwei");
    EXPECT_EQ(changes, 2);

    memo->SetText("a\r\nb\r\nc");
    EXPECT_EQ(memo->Lines().Count(), 3);
    EXPECT_EQ(memo->Lines().Strings(2), "c");

    form->Show();
    Turn();
    ui::test::FocusWidget(memo);
    ui::test::MoveCaretToEnd(memo);
    ui::test::SendWidgetKey(memo, TKeyAction::Press, TKey::Return, {}, "\r");
    Turn();
    Type(memo, "d");
    EXPECT_EQ(memo->Lines().Count(), 4);
    EXPECT_EQ(memo->Lines().Strings(3), "d");
    EXPECT_TRUE(memo->Modified);

    memo->SetReadOnly(true);
    Type(memo, "x");
    EXPECT_EQ(memo->Lines().Strings(3), "d");
}

TEST_F(StdCtrlsTest, GroupBoxShowsItsCaptionUnderItsChildren)
{
    TForm* form = NewForm();
    auto* group = Place<TGroupBox>(form);
    group->SetCaption("Optionen");
    auto* inside = Place<TCheckBox>(form, 10, 20);
    inside->SetParent(group);
    inside->HandleNeeded();
    EXPECT_EQ(Shown(group).Text, "Optionen");
    // The frame widget must not cover the child window.
    EXPECT_TRUE(Shown(group).BelowChildWindows);
    EXPECT_EQ(ui::test::WindowAt(group, {inside->Left() + 5, inside->Top() + 5}), inside);
}

TEST_F(StdCtrlsTest, RadioGroupItemIndexFollowsClicksAndCode)
{
    TForm* form = NewForm(300, 200);
    auto* group = Place<TRadioGroup>(form);
    group->SetBounds(10, 10, 200, 120);
    group->Items().Add("Zufall");
    group->Items().Add("Reihenfolge");
    group->Items().Add("Rückwärts");
    group->SetColumns(2);
    std::vector<int> clicked;
    group->OnClick = [&](TObject*) { clicked.push_back(group->ItemIndex()); };
    form->Show();
    Turn();

    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(group->Buttons(2)->Caption(), "Rückwärts");
    EXPECT_GT(group->Buttons(2)->Left(), group->Buttons(0)->Left()); // second column
    ClickWidget(group->Buttons(1));
    EXPECT_EQ(group->ItemIndex(), 1);
    group->SetItemIndex(2);
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_FALSE(group->Buttons(1)->Checked());
    EXPECT_EQ(clicked, (std::vector<int>{1, 2}));

    group->SetItemIndex(-1);
    EXPECT_FALSE(group->Buttons(2)->Checked());
    group->SetItemIndex(7); // beyond the items: the last one
    EXPECT_EQ(group->ItemIndex(), 2);

    group->Items().Delete(2); // the checked item goes away
    EXPECT_EQ(group->ItemIndex(), -1);
}

TEST_F(StdCtrlsTest, ListBoxSingleSelectionByClickAndByCode)
{
    TForm* form = NewForm();
    auto* list = Place<TListBox>(form);
    for (const char* s : {"a.jpg", "b.bmp", "c.png"})
        list->Items().Add(s);
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Turn();
    EXPECT_EQ(Shown(list).Items.size(), 3u);

    ui::test::ClickListRow(list, 1);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_TRUE(list->Selected(1));
    EXPECT_GE(clicks, 1);

    clicks = 0;
    list->SetItemIndex(2);
    EXPECT_EQ(clicks, 0); // code does not click
    EXPECT_EQ(Shown(list).Selected, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(list->SelCount(), -1);
    list->SetItemIndex(5);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_THROW(list->Selected(3), EListError);

    list->SetItemIndex(2);
    list->Items().Delete(2);
    EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(StdCtrlsTest, ListBoxMultiSelectKeepsEachItemsSelection)
{
    TForm* form = NewForm();
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetMultiSelect(true);
    for (const char* s : {"1", "2", "3", "4"})
        list->Items().Add(s);
    list->SetSelected(0, true);
    list->SetSelected(3, true);
    EXPECT_EQ(list->SelCount(), 2);
    list->HandleNeeded();
    ui::test::TShownWidget shown = Shown(list);
    EXPECT_EQ(shown.Selection, ui::test::TSelectionMode::Extended);
    EXPECT_EQ(shown.Selected, (std::vector<bool>{true, false, false, true}));

    ui::test::SelectListRowByUser(list, 1); // as the user's control click does
    EXPECT_TRUE(list->Selected(1));
    EXPECT_EQ(list->SelCount(), 3);
    list->SetExtendedSelect(false);
    EXPECT_EQ(Shown(list).Selection, ui::test::TSelectionMode::Multi);
}

TEST_F(StdCtrlsTest, DropDownListPicksByKeyAndKeepsTextToItsItems)
{
    TForm* form = NewForm();
    auto* combo = Place<TComboBox>(form);
    combo->SetStyle(csDropDownList);
    for (const char* s : {"Klein", "Mittel", "Groß"})
        combo->Items().Add(s);
    std::vector<std::string> events;
    combo->OnClick = [&](TObject*) { events.push_back("click " + combo->Text()); };
    combo->OnChange = [&](TObject*) { events.push_back("change " + combo->Text()); };
    combo->SetItemIndex(0);
    EXPECT_EQ(combo->Text(), "Klein");
    EXPECT_TRUE(events.empty()); // code fires nothing
    form->Show();
    Turn();

    EXPECT_FALSE(Shown(combo).Editable);
    ui::test::FocusWidget(combo);
    ui::test::SendWidgetKey(combo, TKeyAction::Press, TKey::Down);
    Turn();
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"click Mittel", "change Mittel"}));

    combo->SetText("Groß");
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(Shown(combo).Current, 2);
    combo->SetText("Riesig"); // not an item: the list keeps its choice
    EXPECT_EQ(combo->Text(), "Groß");
    combo->Items().Delete(2);
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(StdCtrlsTest, DropDownComboTakesTypedTextAndFindsTheMatchingItem)
{
    TForm* form = NewForm();
    auto* combo = Place<TComboBox>(form);
    combo->Items().Add("100");
    combo->Items().Add("200");
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    Turn();
    ASSERT_TRUE(Shown(combo).Editable);
    ui::test::FocusWidget(combo);
    Type(combo, "20");
    EXPECT_EQ(combo->Text(), "20");
    EXPECT_EQ(combo->ItemIndex(), -1);
    Type(combo, "0");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(Shown(combo).Items.size(), 2u); // typing adds no item
}

TEST_F(StdCtrlsTest, BitBtnKindsSetCaptionAndResultAndCloseButtonClosesTheForm)
{
    struct Case {
        TBitBtnKind kind;
        const char* caption;
        TModalResult result;
    };
    const Case cases[] = {{bkOK, "OK", mrOk},
                          {bkCancel, "Abbrechen", mrCancel},
                          {bkYes, "&Ja", mrYes},
                          {bkNo, "&Nein", mrNo},
                          {bkAll, "&Alle", mrAll}};
    TForm* form = NewForm();
    auto* button = Place<TBitBtn>(form);
    for (const Case& c : cases) {
        button->SetKind(c.kind);
        EXPECT_EQ(button->Caption(), c.caption);
        EXPECT_EQ(button->ModalResult, c.result);
        EXPECT_EQ(Shown(button).Text, c.caption);
    }
    form->Show();
    Turn();
    button->SetKind(bkClose);
    ClickWidget(button);
    Turn();
    EXPECT_FALSE(form->Visible());
}

TEST_F(StdCtrlsTest, BitBtnShowsTheFirstGlyphOfTheStripWithItsKeyColourSeeThrough)
{
    TForm* form = NewForm();
    auto* button = Place<TBitBtn>(form);
    button->Glyph().SetPixelFormat(pf24bit);
    button->Glyph().SetSize(8, 4); // two glyphs of 4 x 4
    button->Glyph().Canvas().Brush.Color = clRed;
    button->Glyph().Canvas().FillRect(Rect(0, 0, 8, 4));
    button->Glyph().Canvas().SetPixels(1, 1, clBlue);
    button->Glyph().Canvas().SetPixels(0, 3, clLime); // the key colour of the glyph
    button->SetNumGlyphs(2);
    ASSERT_TRUE(Shown(button).HasIcon);
    ui::test::TShownImage shown = ui::test::WidgetIcon(button, 4);
    ASSERT_EQ(shown.Width, 4);
    ASSERT_EQ(shown.Height, 4);
    EXPECT_EQ(shown.Color(1, 1), clBlue);
    EXPECT_EQ(shown.Alpha(1, 1), 255);
    EXPECT_EQ(shown.Color(2, 2), clRed);
    EXPECT_EQ(shown.Alpha(0, 3), 0);
}

} // namespace

namespace {

class EditAreaTest : public StdCtrlsTest { };

TEST_F(EditAreaTest, TheTextAreaAndAlignmentReachTheWidget)
{
    TForm* form = NewForm();
    auto* edit = Place<TEdit>(form);
    edit->SetBounds(10, 10, 100, 24);
    edit->SetAlignment(taRightJustify);
    TRect area = Rect(0, 0, edit->ClientWidth() - 17, edit->ClientHeight() + 1);
    edit->Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&area));
    TRect read;
    edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&read));
    EXPECT_EQ(read, area);
    ui::test::TShownWidget shown = Shown(edit);
    EXPECT_EQ(shown.TextAlignment, taRightJustify);
    EXPECT_EQ(shown.TextArea.Right, shown.Width - 17) << "no text under the right 17 pixels";
    EXPECT_EQ(shown.TextArea.Left, 0);

    edit->RecreateWnd(); // a new widget gets the same
    EXPECT_EQ(Shown(edit).TextArea.Right, Shown(edit).Width - 17);
    EXPECT_EQ(Shown(edit).TextAlignment, taRightJustify);
    edit->SetTextArea(TRect{});
    EXPECT_EQ(edit->TextArea(), edit->ClientRect());
    EXPECT_EQ(Shown(edit).TextArea.Right, Shown(edit).Width);
}

TEST_F(EditAreaTest, PasteAndCutKeysPassTheControlWhichMayRefuseThem)
{
    TForm* form = NewForm();
    auto* edit = Place<TEdit>(form);
    form->Show();
    Turn();
    ui::test::FocusWidget(edit);
    Clipboard().SetAsText("42");
    std::vector<UINT> refused;
    bool refuse = true;
    TWndMethod old = edit->WindowProc;
    edit->WindowProc = [&](TMessage& m) {
        if (refuse && (m.Msg == WM_PASTE || m.Msg == WM_CUT))
            return refused.push_back(m.Msg);
        old(m);
    };
    edit->SetText("7");
    edit->SelectAll();
    const struct {
        TKey key;
        TKeyModifiers modifiers;
        UINT msg;
    } keys[] = {{ui::test::Letter('V'), {ui::test::kmCtrl}, WM_PASTE},
                {ui::test::Letter('X'), {ui::test::kmCtrl}, WM_CUT},
                {TKey::Delete, {ui::test::kmShift}, WM_CUT}};
    for (const auto& k : keys) {
        refused.clear();
        ui::test::SendWidgetKey(edit, TKeyAction::Press, k.key, k.modifiers);
        Turn();
        EXPECT_EQ(refused, std::vector<UINT>{k.msg});
        EXPECT_EQ(edit->Text(), "7");
    }
    refuse = false;
    edit->SelectAll();
    ui::test::SendWidgetKey(edit, TKeyAction::Press, ui::test::Letter('V'), {ui::test::kmCtrl});
    Turn();
    EXPECT_EQ(edit->Text(), "42");
    edit->SelectAll();
    ui::test::SendWidgetKey(edit, TKeyAction::Press, ui::test::Letter('X'), {ui::test::kmCtrl});
    Turn();
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(Clipboard().AsText(), "42");
    edit->WindowProc = old;
}

} // namespace

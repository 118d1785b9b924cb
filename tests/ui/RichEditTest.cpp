#include "platform/ui/RichEdit.h"

#include "platform/rtl/StringList.h"
#include "tests/ui/UiFixture.h"

namespace {

class RichEditTest : public UiTest {
protected:
    // A rich-text edit on a shown form, its window made.
    TRichEdit* PlaceEdit(int width = 160, int height = 80)
    {
        form_ = NewForm(240, 160);
        auto* edit = new TRichEdit(form_);
        edit->SetParent(form_);
        edit->SetBounds(10, 10, width, height);
        edit->HandleNeeded();
        form_->Show();
        Turn();
        return edit;
    }

    static ui::test::TShownWidget Shown(TRichEdit* edit)
    {
        ui::test::TShownWidget shown = ui::test::ShownWidget(edit);
        EXPECT_TRUE(shown.Exists);
        return shown;
    }

    TForm* form_ = nullptr;
};

TEST_F(RichEditTest, LinesTextAndTypingStayOneText)
{
    TRichEdit* edit = PlaceEdit();
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->Lines().Add("Größe");
    edit->Lines().Add("zwei");
    EXPECT_EQ(edit->Text(), "Größe\r\nzwei");
    EXPECT_EQ(Shown(edit).Text, "Größe\nzwei");
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(edit->Modified);

    ui::test::FocusWidget(edit);
    ui::test::MoveCaretToEnd(edit);
    ui::test::SendWidgetKey(edit, TKeyAction::Press, TKey::Return, {}, "\r");
    Turn();
    ui::test::TypeText(edit, "drei");
    Turn();
    ASSERT_EQ(edit->Lines().Count(), 3);
    EXPECT_EQ(edit->Lines().Strings(2), "drei");
    EXPECT_TRUE(edit->Modified);

    edit->SetReadOnly(true);
    ui::test::TypeText(edit, "x");
    Turn();
    EXPECT_EQ(edit->Lines().Strings(2), "drei");
    EXPECT_TRUE(Shown(edit).ReadOnly);
}

TEST_F(RichEditTest, PropertiesSetBeforeOrAfterTheWindowReachTheWidget)
{
    TForm* form = NewForm();
    auto* early = new TRichEdit(form);
    early->SetParent(form);
    early->SetReadOnly(true);
    early->SetCaretVisible(false);
    early->SetWordWrap(false);
    early->SetScrollBars(ssVertical);
    early->Font().SetName("Arial");
    early->Font().SetHeight(-16);
    early->Font().SetStyle({fsBold});
    early->Font().SetColor(clNavy);
    early->HandleNeeded();
    ui::test::TShownWidget shown = Shown(early);
    EXPECT_TRUE(shown.ReadOnly);
    EXPECT_FALSE(shown.CaretShown);
    EXPECT_FALSE(shown.WordWrap);
    EXPECT_EQ(shown.ScrollBarsAllowed, std::make_pair(false, true));
    EXPECT_EQ(shown.FontPixelSize, 16);
    EXPECT_TRUE(shown.Bold);
    EXPECT_EQ(shown.TextColor, ColorToRGB(clNavy));

    TRichEdit* late = PlaceEdit();
    EXPECT_TRUE(Shown(late).CaretShown);
    EXPECT_TRUE(Shown(late).WordWrap);
    EXPECT_EQ(Shown(late).ScrollBarsAllowed, std::make_pair(false, false));
    late->SetCaretVisible(false);
    late->SetWordWrap(false);
    late->SetScrollBars(ssBoth);
    late->Font().SetHeight(-20);
    shown = Shown(late);
    EXPECT_FALSE(shown.CaretShown);
    EXPECT_FALSE(shown.WordWrap);
    EXPECT_EQ(shown.ScrollBarsAllowed, std::make_pair(true, true));
    EXPECT_EQ(shown.FontPixelSize, 20);
}

// Positions count a line break as one character and a non-ASCII letter as
// one, so a status line can say where the caret stands.
TEST_F(RichEditTest, LinesOfCharactersAndTheirFirstCharacters)
{
    TRichEdit* edit = PlaceEdit();
    edit->SetText("abc\r\nÄü\r\n\r\nxyz");
    struct Case {
        int Char;
        int Line;
    };
    for (const Case& c : {Case{0, 0}, Case{3, 0}, Case{4, 1}, Case{6, 1}, Case{7, 2}, Case{8, 3}, Case{11, 3},
                          Case{50, 3}}) {
        EXPECT_EQ(edit->LineFromChar(c.Char), c.Line) << "character " << c.Char;
    }
    EXPECT_EQ(edit->LineIndex(0), 0);
    EXPECT_EQ(edit->LineIndex(1), 4);
    EXPECT_EQ(edit->LineIndex(2), 7);
    EXPECT_EQ(edit->LineIndex(3), 8);
    EXPECT_EQ(edit->LineIndex(4), -1);
    EXPECT_EQ(edit->LineIndex(-1), -1);

    ui::test::MoveCaretToEnd(edit);
    EXPECT_EQ(edit->SelStart(), 11);
    EXPECT_EQ(edit->LineFromChar(), 3);
    EXPECT_EQ(edit->SelStart() - edit->LineIndex(edit->LineFromChar()), 3);
}

TEST_F(RichEditTest, SelectionByCodeIsTheWidgetsAndIsReported)
{
    TRichEdit* edit = PlaceEdit();
    edit->SetText("eins\r\nzwei");
    int moves = 0;
    edit->OnSelectionChange = [&](TObject* sender) {
        EXPECT_EQ(sender, edit);
        ++moves;
    };
    edit->SetSelStart(2);
    edit->SetSelLength(5);
    EXPECT_GE(moves, 2);
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 5);
    EXPECT_EQ(edit->SelText(), "ns\r\nzw");
    EXPECT_EQ(Shown(edit).SelectedText, "ns\u2029zw");

    edit->SetSelLength(100);
    EXPECT_EQ(edit->SelLength(), 7);
    edit->SetSelStart(-4);
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(RichEditTest, ScrollsBackToItsBeginning)
{
    TRichEdit* edit = PlaceEdit(160, 60);
    edit->SetScrollBars(ssVertical);
    for (int i = 0; i < 40; ++i)
        edit->Lines().Add("Zeile " + std::to_string(i));
    Turn();
    edit->Perform(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_GT(ui::test::ScrollPosition(edit), 0);
    edit->Perform(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(ui::test::ScrollPosition(edit), 0);
}

} // namespace

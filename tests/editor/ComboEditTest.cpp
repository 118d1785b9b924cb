#include "editor/controls/ComboEdit.h"

#include <algorithm>
#include <string>
#include <vector>

#include "editor/controls/FilenameEdit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/Clipboard.h"
#include "tests/ui/UiFixture.h"

namespace {

class ComboEditTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        form_ = NewForm(300, 150);
        edit_ = new TComboEdit(form_);
        edit_->SetParent(form_);
        edit_->SetLeft(10);
        edit_->SetTop(10);
        edit_->OnButtonClick = [this](TObject*) {
            ++actions_;
            edit_->SetText("vom Knopf");
        };
    }

    void ShowAndFocus()
    {
        form_->Show();
        Turn();
        ui::test::FocusWidget(edit_);
        Turn();
    }

    void AltDown()
    {
        SendKey(edit_, TKeyAction::Press, TKey::Down, {ui::test::kmAlt});
        SendKey(edit_, TKeyAction::Release, TKey::Down, {ui::test::kmAlt});
        Turn();
    }

    void ClickButton()
    {
        Click(edit_->ButtonContainer(), {5, 5});
        Turn();
    }

    TForm* form_ = nullptr;
    TComboEdit* edit_ = nullptr;
    int actions_ = 0;
};

TEST_F(ComboEditTest, TheButtonFillsTheRightEndInsideTheFrameAndTheTextStaysLeftOfIt)
{
    EXPECT_EQ(edit_->Height(), 21);
    EXPECT_EQ(edit_->ButtonWidth(), 21);
    EXPECT_EQ(edit_->ButtonContainer()->BoundsRect(), Bounds(121 - 21 - 2, 2, 21, 17));
    EXPECT_EQ(edit_->Button()->BoundsRect(), Bounds(0, 0, 21, 17));
    EXPECT_EQ(edit_->TextArea().Right, 121 - 21 - 2);

    edit_->SetBounds(10, 10, 200, 30);
    EXPECT_EQ(edit_->ButtonContainer()->BoundsRect(), Bounds(200 - 21 - 2, 2, 21, 26));
    EXPECT_EQ(edit_->TextArea().Right, 200 - 21 - 2);
    form_->Show();
    Turn();
    ui::test::TShownWidget shown = ui::test::ShownWidget(edit_);
    EXPECT_EQ(shown.TextArea.Right, shown.Width - (edit_->ClientWidth() - edit_->TextArea().Right));

    edit_->SetButtonWidth(40);
    EXPECT_EQ(edit_->ButtonContainer()->BoundsRect(), Bounds(200 - 40 - 2, 2, 40, 26));
    EXPECT_EQ(edit_->TextArea().Right, 200 - 40 - 2);
    // A width as wide as the edit is not taken.
    edit_->SetButtonWidth(200);
    EXPECT_EQ(edit_->ButtonWidth(), 40);
    // The button shows only while wider than one pixel.
    const struct {
        int width;
        bool shown;
    } widths[] = {{1, false}, {0, false}, {2, true}, {21, true}};
    for (const auto& w : widths) {
        edit_->SetButtonWidth(w.width);
        EXPECT_EQ(edit_->ButtonContainer()->Visible(), w.shown) << w.width;
    }

    edit_->SetHeight(3);
    EXPECT_GT(edit_->MinHeight(), 3);
    EXPECT_EQ(edit_->Height(), edit_->MinHeight());
}

TEST_F(ComboEditTest, TheEllipsisDotsAreSpacedByTheButtonWidth)
{
    const struct {
        int buttonWidth;
        int glyphWidth;
        std::vector<int> dots; // left edges of the 2 x 2 squares
    } cases[] = {
        {21, 15, {1, 6, 11}},                      // gap limited to 3
        {16, 10, {0, 4, 8}},                       // gap 2
        {30, 24, {6, 11, 16}}, {13, 7, {0, 3, 6}}, // gap at least 1; the last square is cut
        {5, 1, {-3, 0, 3}},                        // one pixel wide: only the middle square shows
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttonWidth);
        auto glyph = ComboEdit::EllipsisGlyph(c.buttonWidth);
        ASSERT_EQ(glyph->Width(), c.glyphWidth);
        ASSERT_EQ(glyph->Height(), 4);
        std::vector<bool> black(static_cast<size_t>(c.glyphWidth), false);
        for (int dot : c.dots)
            for (int x = std::max(dot, 0); x < dot + 2 && x < c.glyphWidth; ++x)
                black[static_cast<size_t>(x)] = true;
        for (int x = 0; x < c.glyphWidth; ++x)
            for (int y = 0; y < 4; ++y) {
                const bool onDot = black[static_cast<size_t>(x)] && (y == 1 || y == 2);
                EXPECT_EQ(glyph->Canvas().Pixels(x, y), onDot ? clBlack : clWhite) << x << "," << y;
            }
    }
}

TEST_F(ComboEditTest, GlyphKindsSetTheGlyphTheCountAndTheWidth)
{
    EXPECT_EQ(edit_->GlyphKind(), gkCustom);
    EXPECT_TRUE(edit_->Glyph().Empty());

    edit_->SetGlyphKind(gkEllipsis);
    edit_->SetNumGlyphs(3);
    EXPECT_EQ(edit_->NumGlyphs(), 1);
    EXPECT_EQ(edit_->Glyph().Width(), 21 - 6);
    edit_->SetButtonWidth(25);
    EXPECT_EQ(edit_->Glyph().Width(), 25 - 6) << "rebuilt for the new width";

    edit_->SetGlyphKind(gkDropDown);
    EXPECT_EQ(edit_->ButtonWidth(), ComboEdit::ScrollBarWidth);
    edit_->SetButtonWidth(30);
    EXPECT_EQ(edit_->ButtonWidth(), ComboEdit::ScrollBarWidth) << "the arrow keeps its width";
    EXPECT_EQ(edit_->NumGlyphs(), 1);

    TBitmap own(24, 12);
    edit_->SetGlyph(own);
    EXPECT_EQ(edit_->GlyphKind(), gkCustom);
    edit_->SetNumGlyphs(2);
    EXPECT_EQ(edit_->NumGlyphs(), 2);
    edit_->SetGlyphKind(gkDefault);
    EXPECT_EQ(edit_->Glyph().Width(), 24) << "a plain combo edit has no default glyph";

    // The path edits show the shared folder glyph on a button of at least 21.
    auto* path = new TFilenameEdit(form_);
    EXPECT_EQ(path->GlyphKind(), gkDefault);
    EXPECT_EQ(path->Glyph().Width(), 14);
    EXPECT_EQ(path->Glyph().Height(), 12);
    EXPECT_EQ(path->ButtonWidth(), 21);
    path->SetGlyphKind(gkCustom);
    path->SetButtonWidth(10);
    path->SetGlyphKind(gkDefault);
    EXPECT_EQ(path->ButtonWidth(), 14 + 6) << "wide enough for the glyph";
}

TEST_F(ComboEditTest, AltDownAndTheButtonRunTheActionUnlessReadOnly)
{
    ShowAndFocus();
    AltDown();
    EXPECT_EQ(actions_, 1);
    EXPECT_EQ(edit_->Text(), "vom Knopf");
    SendKey(edit_, TKeyAction::Press, TKey::Down);
    Turn();
    EXPECT_EQ(actions_, 1) << "Down alone is no click key";
    ClickButton();
    EXPECT_EQ(actions_, 2);

    edit_->SetReadOnly(true);
    AltDown();
    ClickButton();
    EXPECT_EQ(actions_, 2);
    edit_->SetReadOnly(false);

    edit_->ClickKey = ShortCut(VK_F1 + 3, {});
    AltDown();
    EXPECT_EQ(actions_, 2);
    SendKey(edit_, TKeyAction::Press, ui::test::Function(4));
    Turn();
    EXPECT_EQ(actions_, 3);

    edit_->SetEnabled(false);
    EXPECT_FALSE(edit_->Button()->Enabled());
    edit_->SetEnabled(true);
    EXPECT_TRUE(edit_->Button()->Enabled());
}

TEST_F(ComboEditTest, WithoutDirectInputOnlyTheButtonChangesTheText)
{
    ShowAndFocus();
    Clipboard().SetAsText("eingefügt");
    auto typeAndPaste = [&] {
        edit_->SetText("alt");
        ui::test::TypeText(edit_, "x");
        Turn();
        edit_->SelectAll();
        ui::test::SendWidgetKey(edit_, TKeyAction::Press, ui::test::Letter('V'), {ui::test::kmCtrl});
        Turn();
        edit_->SelectAll();
        ui::test::SendWidgetKey(edit_, TKeyAction::Press, ui::test::Letter('X'), {ui::test::kmCtrl});
        Turn();
        return edit_->Text();
    };
    EXPECT_NE(typeAndPaste(), "alt") << "typing is open by default";

    edit_->SetDirectInput(false);
    EXPECT_EQ(typeAndPaste(), "alt");
    ClickButton();
    EXPECT_EQ(edit_->Text(), "vom Knopf");

    edit_->SetDirectInput(true);
    edit_->SetReadOnly(true);
    EXPECT_EQ(typeAndPaste(), "alt");
    edit_->SetReadOnly(false);
    EXPECT_FALSE(edit_->TCustomEdit::ReadOnly()) << "both switches off: the edit takes input again";
}

} // namespace

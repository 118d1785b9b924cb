#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/TestDriver.h"
#include "widgets/DrawUtils.h"
#include "widgets/Spin.h"

namespace {

class KsSpinEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        DrawUtils::SetBeepHandlerForTests([this] { ++beeps_; });
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(10, 10, 240, 150);
        edit_ = new TKsSpinEdit(form_.get());
        edit_->SetParent(form_.get());
        edit_->SetBounds(10, 10, 100, 24);
        edit_->OnChange = [this](TObject*) { ++changes_; };
        edit_->OnTopClick = [this](TObject*) { ++tops_; };
    }

    void TearDown() override
    {
        form_.reset();
        Application->ProcessMessages();
        DrawUtils::SetBeepHandlerForTests(nullptr);
        rtl::ResetClock();
    }

    void Char(char32_t Character) { edit_->Perform(WM_CHAR, Character, 0); }

    std::unique_ptr<TForm> form_;
    TKsSpinEdit* edit_ = nullptr;
    int beeps_ = 0;
    int changes_ = 0;
    int tops_ = 0;
};

TEST_F(KsSpinEditTest, ValuesAreClampedOnlyBetweenDifferentLimits)
{
    const struct {
        double min, max, set;
        const char* text;
    } cases[] = {{0, 0, -123456, "-123456"}, {0, 0, 9e6, "9000000"}, {1, 100, 0, "1"},
                 {1, 100, 101, "100"},       {1, 100, 42.5, "42"},   {1, 100, 43.5, "44"}};
    for (const auto& c : cases) {
        edit_->MinValue = c.min;
        edit_->MaxValue = c.max;
        edit_->SetValue(c.set);
        EXPECT_EQ(edit_->Text(), c.text) << c.min << ".." << c.max << " " << c.set;
    }
    edit_->MinValue = 5;
    edit_->MaxValue = 10;
    edit_->SetText("50");
    EXPECT_EQ(edit_->Text(), "50") << "new limits do not rewrite the text";
    edit_->Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(edit_->Text(), "10") << "leaving clamps";
}

TEST_F(KsSpinEditTest, TextThatIsNoNumberReadsAsTheMinimumAndStays)
{
    edit_->MinValue = 3.7;
    edit_->MaxValue = 9;
    const struct {
        TValueType type;
        const char* text;
        double value;
    } cases[] = {{vtInteger, "abc", 3}, {vtInteger, "", 3}, {vtInteger, "+7", 7}, {vtInteger, "9999999999", 3},
                 {vtHex, "ff", 255},    {vtHex, "FG", 3},   {vtFloat, "x", 3.7},  {vtFloat, "2e1", 20}};
    for (const auto& c : cases) {
        edit_->SetValueType(c.type);
        edit_->SetText(c.text);
        EXPECT_DOUBLE_EQ(edit_->Value(), c.value) << c.text;
    }
    edit_->SetValueType(vtInteger);
    edit_->MinValue = 3;
    edit_->SetText("abc");
    edit_->Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(edit_->Text(), "abc") << "leaving does not correct text that is no number";
}

TEST_F(KsSpinEditTest, ValueTypesWriteTheirFormAndTakeTheirCharacters)
{
    edit_->SetValueType(vtHex);
    edit_->SetValue(255);
    EXPECT_EQ(edit_->Text(), "FF");
    EXPECT_FALSE(edit_->IsValidChar('g'));
    EXPECT_TRUE(edit_->IsValidChar('c'));
    Char('g');
    EXPECT_EQ(beeps_, 1);

    const std::string sep = rtl::FormatSettings.DecimalSeparator;
    edit_->SetValueType(vtFloat);
    edit_->SetDecimal(2);
    edit_->Increment = 0.25;
    edit_->SetValue(1.5);
    EXPECT_EQ(edit_->Text(), "1" + sep + "50");
    EXPECT_FALSE(edit_->IsValidChar(static_cast<unsigned char>(sep[0]))) << "a second separator";
    edit_->SetText("1e5");
    EXPECT_FALSE(edit_->IsValidChar('E')) << "a second exponent letter";
    edit_->SetText("15");
    EXPECT_TRUE(edit_->IsValidChar(static_cast<unsigned char>(sep[0])));
    EXPECT_TRUE(edit_->IsValidChar('e'));

    edit_->SetValueType(vtInteger);
    EXPECT_EQ(edit_->Increment, 1) << "0.25 rounds to 0, which becomes 1";
    EXPECT_EQ(edit_->Text(), "15");

    edit_->EditorEnabled = false;
    EXPECT_FALSE(edit_->IsValidChar('5'));
    EXPECT_FALSE(edit_->IsValidChar(8)) << "backspace";
    EXPECT_TRUE(edit_->IsValidChar(3)) << "other control characters pass";
}

TEST_F(KsSpinEditTest, AStepAtTheLimitChangesNothingButStillReportsTheClick)
{
    edit_->MinValue = 1;
    edit_->MaxValue = 100;
    edit_->Increment = 10;
    edit_->SetValue(95);
    changes_ = 0;
    edit_->Modified = false;
    edit_->UpClick(edit_);
    EXPECT_EQ(edit_->Text(), "100");
    EXPECT_EQ(changes_, 1);
    EXPECT_TRUE(edit_->Modified);
    EXPECT_EQ(tops_, 1);
    edit_->UpClick(edit_);
    EXPECT_EQ(edit_->Text(), "100");
    EXPECT_EQ(changes_, 1) << "no change event";
    EXPECT_EQ(tops_, 2);

    edit_->Perform(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(edit_->Text(), "90");
    edit_->SetArrowKeys(false);
    edit_->Perform(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(edit_->Text(), "90");

    edit_->SetReadOnly(true);
    edit_->UpClick(edit_);
    EXPECT_EQ(edit_->Text(), "90");
    EXPECT_EQ(beeps_, 1);
}

TEST_F(KsSpinEditTest, TheDiagonalPartsTheButtonAndTheLineCountsAsUp)
{
    ASSERT_NE(edit_->SpinButton(), nullptr);
    auto* button = new TKsSpinButton(form_.get());
    button->SetBounds(0, 0, 20, 10);
    const struct {
        int x, y;
        TSpinPressState half;
    } points[] = {{0, 10, psTop},    {10, 5, psTop},    {20, 0, psTop},   {0, 0, psTop},
                  {19, 9, psBottom}, {10, 6, psBottom}, {3, 9, psBottom}, {2, 9, psTop}};
    for (const auto& p : points)
        EXPECT_EQ(button->HalfAt(p.x, p.y), p.half) << p.x << "," << p.y;
}

TEST_F(KsSpinEditTest, HoldingAHalfRepeatsAndLeavingReleasesIt)
{
    rtl::SetClockForTests(0);
    form_->Show();
    Application->ProcessMessages();
    TKsSpinButton* button = edit_->SpinButton();
    int ups = 0;
    button->OnTopClick = [&](TObject*) { ++ups; };
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(ups, 1) << "a step at once";
    EXPECT_EQ(button->PressState(), psTop);
    auto wait = [&](unsigned ms) {
        rtl::AdvanceClockForTests(ms);
        Application->ProcessMessages();
    };
    wait(399);
    EXPECT_EQ(ups, 1);
    wait(1);
    EXPECT_EQ(ups, 2);
    wait(100);
    EXPECT_EQ(ups, 3);
    button->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, 2));
    EXPECT_EQ(button->PressState(), psNone);
    wait(300);
    EXPECT_EQ(ups, 3) << "off the button: no steps";
    button->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(button->PressState(), psTop);
    wait(100);
    EXPECT_EQ(ups, 4) << "back on it: the steps go on";
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(button->PressState(), psNone);
    wait(500);
    EXPECT_EQ(ups, 4);
}

TEST_F(KsSpinEditTest, TheTextStaysLeftOfTheButtonAndTheHeightAboveTheMinimum)
{
    form_->Show();
    Application->ProcessMessages();
    ui::test::TShownWidget shown = ui::test::ShownWidget(edit_);
    EXPECT_EQ(edit_->TextArea().Right, edit_->ClientWidth() - edit_->SpinButton()->Width() - 2);
    EXPECT_EQ(shown.TextArea.Right, shown.Width - (edit_->ClientWidth() - edit_->TextArea().Right));
    edit_->SetButtonKind(bkStandard);
    ASSERT_NE(edit_->UpDown(), nullptr);
    EXPECT_EQ(edit_->SpinButton(), nullptr);
    EXPECT_EQ(edit_->UpDown()->Width(), SpinButtonDefaultWidth());
    EXPECT_EQ(edit_->TextArea().Right, edit_->ClientWidth() - SpinButtonDefaultWidth() - 2);
    edit_->SetValue(4);
    ASSERT_TRUE(ui::test::ClickUpDownArrow(edit_->UpDown(), btNext));
    ASSERT_TRUE(ui::test::ClickUpDownArrow(edit_->UpDown(), btNext));
    EXPECT_EQ(edit_->Text(), "6") << "every press steps";
    EXPECT_EQ(edit_->UpDown()->Position(), 0);
    ASSERT_TRUE(ui::test::ClickUpDownArrow(edit_->UpDown(), btPrev));
    EXPECT_EQ(edit_->Text(), "5");

    edit_->SetHeight(3);
    EXPECT_EQ(edit_->Height(), edit_->MinHeight());
    EXPECT_GT(edit_->MinHeight(), 3);
}

TEST_F(KsSpinEditTest, PasteAndCutAreRefusedWhileTypingIsOff)
{
    form_->Show();
    Application->ProcessMessages();
    ui::test::FocusWidget(edit_);
    Clipboard().SetAsText("77");
    edit_->SetValue(5);
    auto press = [&](char letter) {
        edit_->SelectAll();
        ui::test::SendWidgetKey(edit_, ui::test::TKeyAction::Press, ui::test::Letter(letter), {ui::test::kmCtrl});
        Application->ProcessMessages();
    };
    edit_->EditorEnabled = false;
    press('V');
    EXPECT_EQ(edit_->Text(), "5");
    press('X');
    EXPECT_EQ(edit_->Text(), "5");
    edit_->EditorEnabled = true;
    edit_->SetReadOnly(true);
    press('V');
    EXPECT_EQ(edit_->Text(), "5");
    edit_->SetReadOnly(false);
    press('V');
    EXPECT_EQ(edit_->Text(), "77");
}

} // namespace

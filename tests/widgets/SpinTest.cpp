#include "widgets/Spin.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/rtl/Clock.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "widgets/DrawUtils.h"

namespace {

class SpinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        DrawUtils::SetBeepHandlerForTests([this] { ++beeps_; });
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(10, 10, 200, 150);
        edit_ = new TSpinEdit(form_.get());
        edit_->SetParent(form_.get());
        edit_->SetBounds(10, 10, 100, 30);
    }

    void TearDown() override
    {
        form_.reset();
        Application->ProcessMessages();
        DrawUtils::SetBeepHandlerForTests(nullptr);
        rtl::ResetClock();
    }

    void Key(WORD VirtualKey) { edit_->Perform(WM_KEYDOWN, VirtualKey, 0); }
    void Char(char32_t Character) { edit_->Perform(WM_CHAR, Character, 0); }

    std::unique_ptr<TForm> form_;
    TSpinEdit* edit_ = nullptr;
    int beeps_ = 0;
};

TEST_F(SpinTest, ValueIsClampedUnlessTheLimitsAreEqual)
{
    struct Case {
        int min, max, set;
        std::string text;
    } cases[] = {
        {0, 0, 123456789, "123456789"},       {0, 0, -5, "-5"},          {1, 99999999, 0, "1"},
        {1, 99999999, 100000000, "99999999"}, {1, 99999999, 500, "500"},
    };
    for (const Case& c : cases) {
        edit_->MinValue = c.min;
        edit_->MaxValue = c.max;
        edit_->SetValue(c.set);
        EXPECT_EQ(edit_->Text(), c.text) << c.min << ".." << c.max << " " << c.set;
    }
}

TEST_F(SpinTest, TextThatIsNoNumberReadsAsMinimumAndIsFixedOnExit)
{
    edit_->MinValue = 1;
    edit_->MaxValue = 10;
    for (const char* text : {"abc", "", "12x", "99999999999999"}) {
        edit_->SetText(text);
        EXPECT_EQ(edit_->Value(), 1) << text;
        edit_->Perform(WM_KILLFOCUS, 0, 0);
        EXPECT_EQ(edit_->Text(), "1") << text;
    }
    edit_->SetText("+7");
    EXPECT_EQ(edit_->Value(), 7);
    edit_->SetText("42");
    edit_->Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(edit_->Text(), "10");
}

TEST_F(SpinTest, ArrowKeysStepByTheIncrement)
{
    edit_->Increment = 500;
    edit_->SetValue(5);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(edit_->Value(), 1005); // no limits: counts past any bound
    Key(VK_DOWN);
    EXPECT_EQ(edit_->Value(), 505);

    edit_->MinValue = 1;
    edit_->MaxValue = 600;
    Key(VK_UP);
    EXPECT_EQ(edit_->Value(), 600);
    edit_->MinValue = edit_->MaxValue = 0;
    edit_->SetValue(INT32_MAX - 1);
    Key(VK_UP);
    EXPECT_EQ(edit_->Value(), INT32_MAX);

    edit_->SetReadOnly(true);
    edit_->SetValue(3);
    Key(VK_UP);
    edit_->Button()->UpButton()->Click();
    EXPECT_EQ(edit_->Value(), 3);
    EXPECT_EQ(beeps_, 2);
}

TEST_F(SpinTest, TypedCharactersAreFiltered)
{
    struct Case {
        char32_t key;
        bool editorEnabled;
        bool valid;
    } cases[] = {
        {'7', true, true},   {'-', true, true}, {'+', true, true}, {',', true, true},
        {'a', true, false},  {13, true, false}, {8, true, true},   {27, true, true},
        {'7', false, false}, {8, false, false}, {27, false, true},
    };
    for (const Case& c : cases) {
        edit_->EditorEnabled = c.editorEnabled;
        EXPECT_EQ(edit_->IsValidChar(c.key), c.valid) << static_cast<int>(c.key) << " " << c.editorEnabled;
        const int before = beeps_;
        Char(c.key);
        EXPECT_EQ(beeps_ - before, c.valid ? 0 : 1) << static_cast<int>(c.key);
    }
    // With the editor off the arrows still count.
    edit_->EditorEnabled = false;
    edit_->SetValue(1);
    Key(VK_UP);
    EXPECT_EQ(edit_->Value(), 2);
}

TEST_F(SpinTest, SpinButtonLayout)
{
    TSpinButton spin(nullptr);
    EXPECT_EQ(spin.Width(), 20);
    EXPECT_EQ(spin.Height(), 25);
    spin.SetBounds(0, 0, 10, 25);
    EXPECT_EQ(spin.Width(), 15);
    EXPECT_EQ(spin.UpButton()->BoundsRect(), Rect(0, 0, 15, 12));
    EXPECT_EQ(spin.DownButton()->BoundsRect(), Rect(0, 11, 15, 25));
    EXPECT_EQ(spin.UpButton()->Glyph().Width(), 9);
    EXPECT_EQ(spin.UpButton()->Glyph().Height(), 6);
    // The spin edit keeps its height at least the font's.
    edit_->SetBounds(0, 0, 100, 3);
    EXPECT_EQ(edit_->Height(), edit_->MinHeight());
    EXPECT_GT(edit_->Height(), 3);
}

TEST_F(SpinTest, HeldArrowRepeatsAfter400ThenEvery100)
{
    rtl::SetClockForTests(0);
    int ups = 0, downs = 0;
    auto* spin = new TSpinButton(form_.get());
    spin->SetParent(form_.get());
    spin->SetBounds(150, 10, 20, 26);
    spin->OnUpClick = [&](TObject*) { ++ups; };
    spin->OnDownClick = [&](TObject*) { ++downs; };
    form_->Show();
    Application->ProcessMessages();

    spin->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    rtl::AdvanceClockForTests(399);
    Application->ProcessMessages();
    EXPECT_EQ(ups, 0);
    rtl::AdvanceClockForTests(1);
    Application->ProcessMessages();
    EXPECT_EQ(ups, 1);
    rtl::AdvanceClockForTests(100);
    Application->ProcessMessages();
    EXPECT_EQ(ups, 2);
    spin->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(ups, 3);
    rtl::AdvanceClockForTests(400);
    Application->ProcessMessages();
    EXPECT_EQ(ups, 3);

    spin->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 20));
    spin->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 20));
    EXPECT_EQ(downs, 1);
    // Keys on the spin button click the arrows.
    WORD key = VK_DOWN;
    spin->Perform(WM_KEYDOWN, key, 0);
    key = VK_UP;
    spin->Perform(WM_KEYDOWN, key, 0);
    spin->Perform(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(ups, 5);
}

} // namespace

// The transition preview: A and B frames by turns once a second on the
// fake clock, the main window's transition read at every step, and one
// window at a time.

#include "editor/app/BlendingPreviewUnit.h"

#include "editor/app/Config.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "tests/ui/UiFixture.h"

namespace {

class BlendingPreviewTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        rtl::SetClockForTests(1000);
    }
};

TEST_F(BlendingPreviewTest, FramesAreALetterOnItsGround)
{
    const auto a = TBlendingPreviewForm::Frame(true, 100, 80);
    const auto b = TBlendingPreviewForm::Frame(false, 100, 80);
    EXPECT_EQ(a->Canvas().Pixels(5, 5), clYellow);
    EXPECT_EQ(a->Canvas().Pixels(0, 40), clNavy) << "the outline";
    EXPECT_EQ(b->Canvas().Pixels(5, 5), clNavy);
    EXPECT_EQ(b->Canvas().Pixels(99, 79), clYellow);
    int ink = 0;
    for (int x = 20; x < 80; ++x)
        ink += a->Canvas().Pixels(x, 40) == clNavy;
    EXPECT_GT(ink, 0) << "the letter crosses the middle";
}

TEST_F(BlendingPreviewTest, ItStepsOnceASecondWithTheChosenTransitionAndStaysSingle)
{
    int effect = 0;
    int asked = 0;
    TForm* owner = NewForm();
    TBlendingPreviewForm* preview = TBlendingPreviewForm::Open(owner, [&] {
        ++asked;
        return effect;
    });
    Turn();
    EXPECT_EQ(preview->Caption(), "aktuelle Überblendung");
    EXPECT_TRUE(ui::test::ShownWindow(preview).StaysOnTop);
    EXPECT_EQ(asked, 1) << "the first step comes at once";
    EXPECT_TRUE(preview->Phase());
    ASSERT_NE(preview->OldBitmap(), nullptr);
    EXPECT_EQ(const_cast<TBitmap*>(preview->OldBitmap())->Canvas().Pixels(5, 5), clYellow);

    rtl::AdvanceClockForTests(999);
    Turn();
    EXPECT_EQ(asked, 1);
    effect = 5;
    rtl::AdvanceClockForTests(1);
    Turn();
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(preview->Phase()) << "B follows A";

    EXPECT_EQ(TBlendingPreviewForm::Open(owner, [] { return 0; }), preview) << "one preview at a time";
    EXPECT_EQ(TBlendingPreviewForm::Current(), preview);
    preview->Close();
    Turn();
    EXPECT_EQ(TBlendingPreviewForm::Current(), nullptr) << "closing frees it";
}

TEST_F(BlendingPreviewTest, TheMainWindowsButtonOpensIt)
{
    TAAForm form(nullptr);
    form.StartTimerTimer(nullptr);
    form.PreviewBlendingBtn->Click();
    Turn();
    ASSERT_NE(TBlendingPreviewForm::Current(), nullptr);
    EXPECT_EQ(TBlendingPreviewForm::Current()->Owner(), &form);
}

} // namespace

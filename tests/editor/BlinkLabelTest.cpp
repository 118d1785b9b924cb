// The blinking label on the fake clock: shown for Interval, hidden for a
// third of it, and stopping where it is.

#include "editor/controls/BlinkUnit.h"

#include "tests/ui/UiFixture.h"

namespace {

class BlinkLabelTest : public UiTest {
protected:
    TBlinkLabel* label = nullptr;

    void SetUp() override
    {
        UiTest::SetUp();
        rtl::SetClockForTests(1000);
        TForm* form = NewForm();
        label = new TBlinkLabel(form);
        label->SetParent(form);
        label->SetCaption("Achtung:");
        form->Show();
        Turn();
    }

    // The label's visibility after each further ms of the list.
    std::vector<bool> VisibleAfter(const std::vector<unsigned>& steps)
    {
        std::vector<bool> seen;
        for (unsigned ms : steps) {
            rtl::AdvanceClockForTests(ms);
            Turn();
            seen.push_back(label->Visible());
        }
        return seen;
    }
};

TEST_F(BlinkLabelTest, ShowsForTheIntervalAndHidesForAThirdOfIt)
{
    EXPECT_TRUE(label->Blink()) << "blinking starts with the label";
    EXPECT_EQ(label->Interval(), 1000);
    // 999 ms shown, hidden at 1000; 332 ms hidden, shown again at 333; and round again.
    EXPECT_EQ(VisibleAfter({999, 1, 332, 1, 999, 1}), (std::vector<bool>{true, false, false, true, true, false}));
}

TEST_F(BlinkLabelTest, StoppingKeepsTheLabelAsItIs)
{
    VisibleAfter({1000});
    ASSERT_FALSE(label->Visible());
    label->SetBlink(false);
    EXPECT_FALSE(label->Blink());
    EXPECT_EQ(VisibleAfter({1000, 5000}), (std::vector<bool>{false, false}));

    label->SetBlink(true);
    EXPECT_EQ(VisibleAfter({333}), std::vector<bool>{true}) << "blinking again goes on from the hidden state";
}

TEST_F(BlinkLabelTest, ANewIntervalWhileHiddenTakesEffectAtOnce)
{
    VisibleAfter({1000});
    ASSERT_FALSE(label->Visible());
    label->SetInterval(3000);
    // Hidden for 1000 ms now, then shown for 3000.
    EXPECT_EQ(VisibleAfter({999, 1, 2999, 1}), (std::vector<bool>{false, true, true, false}));
}

TEST_F(BlinkLabelTest, ATinyIntervalStillComesBackFromHidden)
{
    label->SetInterval(2);
    EXPECT_EQ(VisibleAfter({2, 1, 2, 1}), (std::vector<bool>{false, true, false, true}));
}

} // namespace

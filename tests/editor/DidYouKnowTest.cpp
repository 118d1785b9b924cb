#include "editor/controls/DYK.h"

#include <functional>
#include <string>
#include <vector>

#include "editor/controls/DYKForm.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "tests/ui/UiFixture.h"

namespace {

using Lines = std::vector<std::string>;

TEST(DidYouKnowRules, TipsSplitIntoLinesAtCarriageReturns)
{
    const struct {
        std::string Tip;
        Lines Expected;
    } table[] = {
        {"", {""}},
        {"Ein Tipp", {"Ein Tipp"}},
        {"eins\rzwei\rdrei", {"eins", "zwei", "drei"}},
        {"Ende\r", {"Ende", ""}},
        {"\r\r", {"", "", ""}},
        // Only the carriage return separates; a line feed stays in the text.
        {"a\r\nb", {"a", "\nb"}},
    };
    for (const auto& row : table)
        EXPECT_EQ(DYK::SplitTipLines(row.Tip), row.Expected) << row.Tip;
}

TEST(DidYouKnowRules, TitleNumbersAndTheNextTipWrap)
{
    EXPECT_EQ(DYK::TipTitle("Tipp des Tages", 2, 20, true), "Tipp des Tages (3 von 20)");
    EXPECT_EQ(DYK::TipTitle("Tipp des Tages", 2, 20, false), "Tipp des Tages");
    const struct {
        int Current, Count, Next;
    } table[] = {{0, 3, 1}, {1, 3, 2}, {2, 3, 0}, {-1, 3, 0}, {0, 1, 0}, {7, 3, 0}};
    for (const auto& row : table)
        EXPECT_EQ(DYK::NextTipIndex(row.Current, row.Count), row.Next) << row.Current << " of " << row.Count;
}

class DidYouKnowTest : public UiTest {
protected:
    DidYouKnowTest()
    {
        dyk_.RandomTips = false;
        for (int i = 1; i <= 20; ++i)
            dyk_.Tips().Add("Tipp " + std::to_string(i));
    }

    // Runs the component with `during` on its window; `during` closes it.
    void Run(const std::function<void(TDidYouKnowForm&)>& during)
    {
        LaterOnModalForm<TDidYouKnowForm>(during);
        EXPECT_TRUE(dyk_.Execute());
    }

    static std::string ShownText(TDidYouKnowForm& form) { return ui::test::ShownWidget(form.DidYouKnowEdit).Text; }

    TDidYouKnow dyk_{nullptr};
};

TEST_F(DidYouKnowTest, WithTipsOffNothingShowsUnlessForced)
{
    dyk_.ShowTip = false;
    bool shown = false;
    Later([&] {
        if (auto* form = ModalForm<TDidYouKnowForm>()) {
            shown = true;
            form->CloseBtn->Click();
        }
    });
    EXPECT_TRUE(dyk_.Execute());
    Turn();
    EXPECT_FALSE(shown);
    EXPECT_EQ(dyk_.StartTipNr, 0) << "a run that showed nothing leaves the next tip";

    dyk_.ForceShow = true;
    std::string caption;
    Run([&](TDidYouKnowForm& form) {
        caption = form.Caption();
        EXPECT_FALSE(form.ShowTipsCheck->Checked());
        form.CloseBtn->Click();
    });
    EXPECT_EQ(caption, "Tipp des Tages");
    EXPECT_FALSE(dyk_.ShowTip);
}

TEST_F(DidYouKnowTest, TheWindowShowsTheStartTipAndTheNextButtonWrapsToTheFirst)
{
    dyk_.ShowTipNr = true;
    dyk_.StartTipNr = 18;
    std::vector<std::string> captions;
    std::vector<std::string> texts;
    Run([&](TDidYouKnowForm& form) {
        EXPECT_EQ(form.DidYouKnowLabel->Caption(), "Wussten Sie schon...");
        EXPECT_EQ(form.ShowTipsCheck->Caption(), "Tipps zeigen");
        EXPECT_EQ(form.NextBtn->Caption(), "&Nächster Tipp");
        EXPECT_EQ(form.CloseBtn->Caption(), "&Schließen");
        for (int i = 0; i < 3; ++i) {
            captions.push_back(form.Caption());
            texts.push_back(ShownText(form));
            form.NextBtn->Click();
        }
        form.CloseBtn->Click();
    });
    EXPECT_EQ(captions,
              Lines({"Tipp des Tages (19 von 20)", "Tipp des Tages (20 von 20)", "Tipp des Tages (1 von 20)"}));
    EXPECT_EQ(texts, Lines({"Tipp 19", "Tipp 20", "Tipp 1"}));
    EXPECT_EQ(dyk_.StartTipNr, 2) << "the tip after the last shown comes next";
    EXPECT_TRUE(dyk_.ShowTip);
}

TEST_F(DidYouKnowTest, ClosingOnTheLastTipStartsTheNextRunAtTheFirst)
{
    dyk_.StartTipNr = 19;
    Run([](TDidYouKnowForm& form) { form.CloseBtn->Click(); });
    EXPECT_EQ(dyk_.StartTipNr, 20);
    std::string text;
    Run([&](TDidYouKnowForm& form) {
        text = ShownText(form);
        form.CloseBtn->Click();
    });
    EXPECT_EQ(text, "Tipp 1");
    EXPECT_EQ(dyk_.StartTipNr, 1);
}

TEST_F(DidYouKnowTest, ATipShowsItsLinesReadOnlyWithoutCaretInTheTipFont)
{
    dyk_.Tips().SetStrings(3, "erste Zeile\rzweite Zeile\rdritte Zeile");
    dyk_.StartTipNr = 3;
    dyk_.Font().SetName("Arial");
    dyk_.Font().SetHeight(-13);
    ui::test::TShownWidget shown;
    int lines = 0;
    Run([&](TDidYouKnowForm& form) {
        lines = form.DidYouKnowEdit->Lines().Count();
        ui::test::FocusWidget(form.DidYouKnowEdit, true);
        Turn();
        shown = ui::test::ShownWidget(form.DidYouKnowEdit);
        form.ShowTipsCheck->SetChecked(false);
        form.CloseBtn->Click();
    });
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(shown.Text, "erste Zeile\nzweite Zeile\ndritte Zeile");
    EXPECT_TRUE(shown.ReadOnly);
    EXPECT_FALSE(shown.CaretShown) << "entering the text hides its caret";
    EXPECT_EQ(shown.ScrollBarsAllowed, std::make_pair(false, true));
    EXPECT_EQ(shown.FontPixelSize, 13);
    EXPECT_FALSE(dyk_.ShowTip) << "the check box turns the tips off";
}

TEST_F(DidYouKnowTest, RandomTipsStartWithinTheListAndAnEmptyListShowsAnEmptyWindow)
{
    dyk_.RandomTips = true;
    for (int run = 0; run < 5; ++run) {
        int current = -2;
        Run([&](TDidYouKnowForm& form) {
            current = form.CurrentTip;
            form.CloseBtn->Click();
        });
        EXPECT_GE(current, 0);
        EXPECT_LT(current, 20);
        EXPECT_EQ(dyk_.StartTipNr, current + 1);
    }

    dyk_.Tips().Clear();
    dyk_.ShowTipNr = true;
    Run([](TDidYouKnowForm& form) {
        form.NextBtn->Click();
        EXPECT_EQ(form.CurrentTip, -1);
        EXPECT_EQ(form.Caption(), "Tipp des Tages (0 von 0)");
        form.CloseBtn->Click();
    });
    EXPECT_EQ(dyk_.StartTipNr, 0);
}

} // namespace

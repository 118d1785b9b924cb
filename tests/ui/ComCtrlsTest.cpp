#include "platform/ui/ComCtrls.h"

#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QToolButton>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/NativeWidget.h"
#include "tests/ui/UiFixture.h"

namespace {

class ComCtrlsTest : public UiTest {
protected:
    template <class C>
    C* Place(TForm* form)
    {
        auto* control = new C(form);
        control->SetParent(form);
        control->HandleNeeded();
        return control;
    }

    static void PressKey(QWidget* widget, int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, {});
        QApplication::sendEvent(widget, &press);
    }
};

TEST_F(ComCtrlsTest, TrackBarReportsTheUsersMovesButNotThoseFromCode)
{
    TForm* form = NewForm();
    auto* bar = Place<TTrackBar>(form);
    bar->SetMax(4);
    std::vector<int> seen;
    bar->OnChange = [&](TObject*) { seen.push_back(bar->Position()); };
    bar->SetPosition(3);
    EXPECT_TRUE(seen.empty());
    auto* slider = ui::NativeOf<QSlider>(bar);
    EXPECT_EQ(slider->value(), 3);

    PressKey(slider, Qt::Key_Right);
    PressKey(slider, Qt::Key_Right); // at the end already
    PressKey(slider, Qt::Key_Left);
    EXPECT_EQ(seen, (std::vector<int>{4, 3}));

    bar->SetMax(2); // the position follows the shrunk range
    EXPECT_EQ(bar->Position(), 2);
    bar->SetMin(5); // a minimum above the maximum raises it
    EXPECT_EQ(bar->Max(), 5);
    EXPECT_EQ(slider->maximum(), 5);
    bar->SetOrientation(trVertical);
    EXPECT_EQ(slider->orientation(), Qt::Vertical);
}

TEST_F(ComCtrlsTest, ProgressBarStepsWithinItsRange)
{
    TForm* form = NewForm();
    auto* bar = Place<TProgressBar>(form);
    bar->SetMax(25);
    bar->StepIt();
    bar->StepIt();
    EXPECT_EQ(bar->Position(), 20);
    bar->StepIt();
    EXPECT_EQ(bar->Position(), 25);
    bar->StepBy(-100);
    EXPECT_EQ(bar->Position(), 0);
    bar->SetPosition(7);
    EXPECT_EQ(ui::NativeOf<QProgressBar>(bar)->value(), 7);
}

TEST_F(ComCtrlsTest, UpDownArrowsStepTheValueIntoItsAssociate)
{
    TForm* form = NewForm();
    auto* updown = Place<TUpDown>(form);
    auto* edit = Place<TEdit>(form);
    updown->SetMax(3);
    updown->SetAssociate(edit);
    EXPECT_EQ(edit->Text(), "0");
    std::vector<TUDBtnType> clicks;
    updown->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
    form->Show();
    Turn();

    auto* up = updown->NativeWidget()->Widget()->findChild<QToolButton*>("next");
    ASSERT_NE(up, nullptr);
    for (int i = 0; i < 5; ++i)
        up->click();
    EXPECT_EQ(updown->Position(), 3);
    EXPECT_EQ(edit->Text(), "3");
    EXPECT_EQ(clicks.size(), 5u);

    updown->Wrap = true;
    updown->Step(btNext);
    EXPECT_EQ(updown->Position(), 0);
    updown->Step(btPrev);
    EXPECT_EQ(updown->Position(), 3);

    updown->OnChanging = [](TObject*, bool& allow) { allow = false; };
    updown->Step(btPrev);
    EXPECT_EQ(updown->Position(), 3);

    delete edit; // the associate goes away: stepping goes on without it
    updown->OnChanging = nullptr;
    updown->Step(btPrev);
    EXPECT_EQ(updown->Associate(), nullptr);
}

TEST_F(ComCtrlsTest, StatusBarShowsPanelsOrTheSimpleText)
{
    TForm* form = NewForm();
    auto* bar = Place<TStatusBar>(form);
    EXPECT_EQ(bar->Align(), alBottom);
    bar->AddPanel().Width = 80;
    bar->AddPanel();
    bar->Panels(0).Text = "12 Bilder";
    bar->Panels(1).Text = "bereit";
    bar->UpdatePanels();
    auto labels = [&] { return bar->NativeWidget()->Widget()->findChildren<QLabel*>(); };
    ASSERT_EQ(labels().size(), 2);
    EXPECT_EQ(labels()[0]->text(), "12 Bilder");
    EXPECT_EQ(labels()[0]->width(), 80);
    EXPECT_THROW(bar->Panels(2), EListError);

    bar->SetSimpleText("Lade ...");
    bar->SetSimplePanel(true);
    ASSERT_EQ(labels().size(), 1);
    EXPECT_EQ(labels()[0]->text(), "Lade ...");
}

} // namespace

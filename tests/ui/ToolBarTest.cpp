// The tool bar: its buttons' places, clicks and pictures.

#include "platform/ui/ComCtrls.h"

#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/ImgList.h"
#include "tests/ui/UiFixture.h"

namespace {

class ToolBarTest : public UiTest {
protected:
    TToolBar* NewBar(TForm* form)
    {
        auto* bar = new TToolBar(form);
        bar->SetParent(form);
        return bar;
    }

    static TToolButton* AddButton(TToolBar* bar, const std::string& caption, TToolButtonStyle style = tbsButton)
    {
        auto* button = new TToolButton(bar);
        button->SetCaption(caption);
        button->SetStyle(style);
        button->SetParent(bar);
        return button;
    }

    static ui::test::TShownWidget Widget(TToolButton* button) { return ui::test::ShownWidget(button); }

    // The colour in the middle of the button as the toolkit draws it.
    static TColor CentrePixel(TToolButton* button)
    {
        ui::test::TShownImage shot = ui::test::GrabWidget(button);
        return shot.Color(shot.Width / 2, shot.Height / 2);
    }
};

TEST_F(ToolBarTest, ButtonsLineUpInTheirOrderAndGapsKeepTheirWidth)
{
    TForm* form = NewForm(300, 200);
    TToolBar* bar = NewBar(form);
    TToolButton* zoomIn = AddButton(bar, "+");
    TToolButton* gap = AddButton(bar, "", tbsSeparator);
    TToolButton* zoomOut = AddButton(bar, "-");
    TToolButton* actual = AddButton(bar, "1:1");
    auto* edit = new TEdit(form);
    edit->SetParent(bar);
    edit->SetWidth(60);
    form->Show();
    Turn();

    EXPECT_EQ(bar->BoundsRect(), Rect(0, 0, 300, 29)) << "along the top of the form";
    struct Place {
        TControl* control;
        TRect bounds;
    };
    auto check = [](const std::vector<Place>& places) {
        for (const Place& p : places)
            EXPECT_EQ(p.control->BoundsRect(), p.bounds) << p.control->Caption();
    };
    check({{zoomIn, Rect(0, 0, 23, 22)},
           {gap, Rect(23, 0, 31, 22)},
           {zoomOut, Rect(31, 0, 54, 22)},
           {actual, Rect(54, 0, 77, 22)},
           {edit, Rect(77, 0, 137, edit->Height())}});

    zoomOut->SetVisible(false); // a hidden button leaves no hole
    bar->SetButtonWidth(30);
    bar->SetButtonHeight(26);
    check({{zoomIn, Rect(0, 0, 30, 26)}, {gap, Rect(30, 0, 38, 26)}, {actual, Rect(38, 0, 68, 26)}});
    EXPECT_EQ(edit->Left(), 68);

    zoomIn->SetWidth(100); // the bar decides the width of its buttons
    EXPECT_EQ(zoomIn->Width(), 30);
    EXPECT_EQ(bar->ButtonCount(), 4);
    EXPECT_EQ(bar->Buttons(3), actual);
    EXPECT_THROW(bar->Buttons(4), EListError);

    delete gap;
    check({{zoomIn, Rect(0, 0, 30, 26)}, {actual, Rect(30, 0, 60, 26)}});
}

TEST_F(ToolBarTest, OnlyAnEnabledButtonReportsTheUsersClick)
{
    TForm* form = NewForm(300, 200);
    TToolBar* bar = NewBar(form);
    std::vector<std::string> clicks;
    for (const char* caption : {"+", "-"}) {
        TToolButton* button = AddButton(bar, caption);
        button->OnClick = [&clicks, caption](TObject*) { clicks.emplace_back(caption); };
    }
    AddButton(bar, "", tbsSeparator);
    form->Show();
    Turn();

    auto click = [](TToolButton* button) {
        ui::test::TShownWidget widget = ui::test::ShownWidget(button);
        ui::test::ClickWidget(button, {(widget.Width - 1) / 2, (widget.Height - 1) / 2});
        Turn();
    };
    click(bar->Buttons(1));
    click(bar->Buttons(2)); // a gap is no button
    bar->Buttons(0)->SetEnabled(false);
    click(bar->Buttons(0));
    bar->Buttons(0)->SetEnabled(true);
    click(bar->Buttons(0));
    EXPECT_EQ(clicks, (std::vector<std::string>{"-", "+"}));
    EXPECT_FALSE(Widget(bar->Buttons(2)).Button);
}

TEST_F(ToolBarTest, ButtonsShowTheImagesOfTheBarOrElseTheirCaption)
{
    auto images = std::make_unique<TImageList>(16, 16);
    for (TColor colour : {clRed, clBlue}) {
        TBitmap picture(16, 16, pf24bit);
        picture.Canvas().Brush.Color = colour;
        picture.Canvas().FillRect(Rect(0, 0, 16, 16));
        images->AddMasked(picture, clNone);
    }
    TForm* form = NewForm(300, 200);
    TToolBar* bar = NewBar(form);
    TToolButton* red = AddButton(bar, "+");
    red->SetImageIndex(0);
    TToolButton* blue = AddButton(bar, "-");
    blue->SetImageIndex(1);
    TToolButton* beyond = AddButton(bar, "1:1");
    beyond->SetImageIndex(7);
    form->Show();
    Turn();
    EXPECT_TRUE(Widget(red).TextOnly) << "no images on the bar yet";

    bar->SetImages(images.get());
    EXPECT_FALSE(Widget(red).TextOnly);
    EXPECT_EQ(CentrePixel(red), clRed);
    EXPECT_EQ(CentrePixel(blue), clBlue);
    EXPECT_TRUE(Widget(beyond).TextOnly);
    EXPECT_EQ(Widget(beyond).Text, "1:1");
    blue->SetImageIndex(0);
    EXPECT_EQ(CentrePixel(blue), clRed);

    EXPECT_FALSE(Widget(red).AutoRaise);
    bar->SetFlat(true);
    TToolButton* late = AddButton(bar, "neu"); // takes the bar's look when it arrives
    late->SetImageIndex(1);
    Turn();
    EXPECT_TRUE(Widget(red).AutoRaise);
    EXPECT_TRUE(Widget(late).AutoRaise);
    EXPECT_EQ(CentrePixel(late), clBlue);

    images.reset(); // the bar forgets the freed list
    EXPECT_EQ(bar->Images(), nullptr);
    EXPECT_FALSE(Widget(red).HasIcon);
    EXPECT_EQ(Widget(red).Text, "+");
}

TEST_F(ToolBarTest, AButtonUnderTheMouseShowsItsShortHint)
{
    TForm* form = NewForm(300, 200);
    TToolBar* bar = NewBar(form);
    TToolButton* zoom = AddButton(bar, "+");
    zoom->Hint = "Vergrößern|Zeigt das Bild größer";
    zoom->SetShowHint(true);
    form->Show();
    Turn();

    ui::test::TShownWidget widget = Widget(zoom);
    ui::test::PauseOverWidget(zoom, {(widget.Width - 1) / 2, (widget.Height - 1) / 2});
    EXPECT_EQ(ui::test::ShownHint(), "Vergrößern");
    ui::test::HideHint();
}

} // namespace

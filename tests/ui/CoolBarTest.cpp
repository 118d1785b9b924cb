// The cool bar: bands side by side, the stretched band, the bar's height,
// and the grips it draws.

#include "platform/ui/ComCtrls.h"

#include "platform/rtl/Exceptions.h"
#include "platform/ui/ExtCtrls.h"
#include "tests/ui/UiFixture.h"

namespace {

class CoolBarTest : public UiTest {
protected:
    static TPanel* NewPanel(TForm* form, int width, int height)
    {
        auto* panel = new TPanel(form);
        panel->SetBounds(0, 0, width, height);
        return panel;
    }
};

// The editor's bar: the tool bar panel, and the logo in a fixed band of 48 x 32.
TEST_F(CoolBarTest, TheFixedBandKeepsItsSizeAndTheOtherTakesTheRest)
{
    TForm* form = NewForm(400, 200);
    auto* bar = new TCoolBar(form);
    bar->SetParent(form);
    TPanel* tools = NewPanel(form, 200, 26);
    TPanel* logo = NewPanel(form, 48, 32);
    bar->AddBand().SetControl(tools);
    TCoolBand& logoBand = bar->AddBand();
    logoBand.SetFixedSize(true);
    logoBand.SetControl(logo);
    auto* client = new TPanel(form);
    client->SetParent(form);
    client->SetAlign(alClient);
    form->Show();
    Turn();

    EXPECT_EQ(bar->BoundsRect(), Rect(0, 0, 400, 36)) << "as high as the highest band and its edges";
    EXPECT_EQ(client->Top(), 36);
    EXPECT_EQ(logo->BoundsRect(), Rect(350, 2, 398, 34));
    EXPECT_EQ(tools->BoundsRect(), Rect(12, 2, 350, 34)) << "behind its grip, up to the fixed band";
    EXPECT_EQ(bar->Bands(0).BandRect(), Rect(2, 2, 350, 34));

    form->SetWidth(300); // the stretched band follows the bar
    EXPECT_EQ(tools->BoundsRect(), Rect(12, 2, 250, 34));
    EXPECT_EQ(logo->Left(), 250);

    bar->Bands(0).SetMinWidth(280); // but never below its least width
    EXPECT_EQ(tools->Width(), 280);
    EXPECT_EQ(logo->Left(), 292);

    logoBand.SetVisible(false); // a hidden band takes no room and no height
    EXPECT_FALSE(logo->Visible());
    EXPECT_EQ(bar->Height(), 30);
    EXPECT_EQ(tools->BoundsRect(), Rect(12, 2, 298, 28));
    EXPECT_THROW(bar->Bands(2), EListError);
}

TEST_F(CoolBarTest, AFreedControlLeavesAnEmptyBand)
{
    TForm* form = NewForm(300, 200);
    auto* bar = new TCoolBar(form);
    bar->SetParent(form);
    TPanel* first = NewPanel(form, 100, 20);
    TPanel* second = NewPanel(form, 60, 20);
    bar->AddBand().SetControl(first);
    TCoolBand& band = bar->AddBand();
    band.SetControl(second);
    delete first;
    EXPECT_EQ(bar->Bands(0).Control(), nullptr);
    bar->Bands(0).SetWidth(150); // the empty band still lays out
    EXPECT_EQ(second->Left(), 2 + 150 + 10);
    band.SetControl(nullptr);
    delete second; // no longer watched, and nothing refers to it
    EXPECT_EQ(band.Control(), nullptr);
}

TEST_F(CoolBarTest, GripsAreDrawnOnlyOnBandsThatAreNotFixed)
{
    TForm* form = NewForm(300, 200);
    auto* bar = new TCoolBar(form);
    bar->SetParent(form);
    bar->AddBand().SetMinHeight(30); // empty bands show the bar's face
    TCoolBand& fixed = bar->AddBand();
    fixed.SetFixedSize(true);
    fixed.SetWidth(50);
    fixed.SetMinHeight(30);
    form->Show();
    bar->Repaint();
    Turn();

    const TRect grip = bar->Bands(0).BandRect();
    const TRect plain = bar->Bands(1).BandRect();
    const int y = grip.Top + grip.Height() / 2;
    struct Probe {
        int x;
        TColor want;
    };
    const Probe probes[] = {
        {grip.Left + 2, clBtnHighlight}, {grip.Left + 4, clBtnShadow}, {grip.Left + 5, clBtnHighlight},
        {grip.Left + 7, clBtnShadow},    {grip.Left + 9, clBtnFace},   {plain.Left + 2, clBtnFace},
        {plain.Left + 4, clBtnFace},     {plain.Left + 7, clBtnFace},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(BackBufferPixel(bar, p.x, y), ColorToRGB(p.want)) << "x " << p.x;
}

} // namespace

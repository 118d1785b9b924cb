#include "editor/controls/VexaPrgrBr.h"

#include <cmath>

#include "core/BitmapTools.h"
#include "platform/graphics/Bitmap.h"
#include "tests/ui/UiFixture.h"

namespace {

// Colour values as stored: red in the low byte.
constexpr TColor Blue = 0xFF0000;
constexpr TColor Cyan = 0xFFFF00;
constexpr TColor White = 0xFFFFFF;
constexpr TColor Marker = 0x123456; // what the control's background shows

class VexaPrgrBrTest : public UiTest {
protected:
    TVexaProgressBar* NewBar(int width, int height)
    {
        auto* bar = new TVexaProgressBar(form_);
        bar->SetParent(form_);
        bar->SetBounds(0, 0, width, height);
        return bar;
    }

    // The bar drawn onto a bitmap of its size filled with Marker.
    static std::unique_ptr<TBitmap> Drawn(TVexaProgressBar* bar)
    {
        auto bitmap = std::make_unique<TBitmap>(bar->Width(), bar->Height());
        bitmap->Canvas().Brush.Color = Marker;
        bitmap->Canvas().FillRect(Rect(0, 0, bar->Width(), bar->Height()));
        bar->DrawBar(bitmap->Canvas());
        return bitmap;
    }

    TForm* form_ = NewForm(400, 200);
};

TEST_F(VexaPrgrBrTest, FillLengthRoundsHalvesToEvenAndRunsDownwardsWhenVertical)
{
    struct Case {
        int width, height, border, position, max;
        TProgressBarDirection direction;
        int expected;
    } cases[] = {
        {297, 20, 1, 50, 100, pbdHorizontal, 148},                                      // 0.5 x 296
        {297, 20, 1, 100, 100, pbdHorizontal, 296},                                     // full: W - 2B + 1
        {297, 20, 1, 0, 100, pbdHorizontal, 0},     {4, 20, 1, 1, 2, pbdHorizontal, 2}, // 1.5 rounds up to the even 2
        {6, 20, 1, 1, 2, pbdHorizontal, 2},                                             // 2.5 rounds down to the even 2
        {20, 101, 1, 25, 100, pbdVertical, 75}, // the share still to go, from the top
        {20, 101, 3, 100, 100, pbdVertical, 0},
    };
    for (const Case& c : cases) {
        TVexaProgressBar* bar = NewBar(c.width, c.height);
        bar->SetBorder(c.border);
        bar->SetDirection(c.direction);
        bar->SetMax(c.max);
        bar->SetPosition(c.position);
        EXPECT_EQ(bar->FillLength(), c.expected) << c.width << "x" << c.height << " " << c.position << "/" << c.max;
    }
}

TEST_F(VexaPrgrBrTest, PositionAndMaxStayInRangeAndAnUnchangedPositionDoesNotRepaint)
{
    struct CountingBar : TVexaProgressBar {
        using TVexaProgressBar::TVexaProgressBar;
        void Invalidate() override
        {
            ++invalidations;
            TVexaProgressBar::Invalidate();
        }
        int invalidations = 0;
    };
    auto* bar = new CountingBar(form_);
    bar->SetPosition(-5);
    EXPECT_EQ(bar->Position(), 0);
    bar->SetMax(0);
    EXPECT_EQ(bar->Max(), 1);
    bar->SetPosition(7);
    EXPECT_EQ(bar->Position(), 1);
    bar->SetMax(100);
    bar->SetPosition(40);
    const int before = bar->invalidations;
    bar->SetPosition(40);
    EXPECT_EQ(bar->invalidations, before);
    bar->SetPosition(41);
    EXPECT_GT(bar->invalidations, before);
}

TEST_F(VexaPrgrBrTest, PlainColoursFillBothPartsInsideTheMargin)
{
    TVexaProgressBar* bar = NewBar(20, 10);
    bar->SetColorFirst(clRed);
    bar->SetColorSecond(clLime);
    bar->SetPosition(50); // L = Round(0.5 x 19) = 10
    for (bool fromLeftTop : {true, false}) {
        bar->SetFromLeftTop(fromLeftTop);
        const TColor done = fromLeftTop ? clRed : clLime;
        const TColor rest = fromLeftTop ? clLime : clRed;
        auto image = Drawn(bar);
        TCanvas& c = image->Canvas();
        EXPECT_EQ(c.Pixels(0, 0), Marker);
        EXPECT_EQ(c.Pixels(1, 1), done);
        EXPECT_EQ(c.Pixels(10, 7), done);
        EXPECT_EQ(c.Pixels(11, 1), rest);
        EXPECT_EQ(c.Pixels(17, 7), rest);
        // The far edges keep a margin of two borders.
        EXPECT_EQ(c.Pixels(18, 5), Marker);
        EXPECT_EQ(c.Pixels(5, 8), Marker);
    }
}

TEST_F(VexaPrgrBrTest, MeterRunsThroughThreeColoursWithEveryThirdLineDarker)
{
    TVexaProgressBar* bar = NewBar(375, 12);
    bar->SetColorFirst(Blue);
    bar->SetColorSecond(Cyan);
    bar->SetColorThird(White);
    bar->SetColorBackground(clBlack);
    bar->SetBitmapstyle(pbsVUMeter);
    TCanvas& first = bar->BitmapFirst().Canvas();
    for (int y : {0, 11})
        EXPECT_EQ(first.Pixels(100, y), clBlack);
    EXPECT_EQ(first.Pixels(0, 5), clBlack);
    EXPECT_EQ(first.Pixels(374, 5), clBlack);
    // 373 lines: blue at the first, cyan at line 186, white at the last.
    EXPECT_EQ(first.Pixels(1, 5), Blue);
    EXPECT_EQ(first.Pixels(1 + 186, 5), Cyan);
    EXPECT_EQ(first.Pixels(1 + 372, 5), White);
    // Line 2 is the darker one of its segment: blue stepped 2/186 towards cyan, less 100.
    const int green = static_cast<int>(std::nearbyint(255.0 * 2 / 186));
    EXPECT_EQ(first.Pixels(3, 5), BitmapTools::Darken(RGB(0, green, 255), 100));
    // The second bitmap is built from the colours darkened by 150.
    EXPECT_EQ(bar->BitmapSecond().Canvas().Pixels(1, 5), BitmapTools::Darken(Blue, 150));
    EXPECT_EQ(bar->BitmapSecond().Canvas().Pixels(1 + 372, 5), BitmapTools::Darken(White, 150));

    // Turned round, the gradient runs from the third colour to the first.
    bar->SetFromLeftTop(false);
    bar->SetBitmapstyle(pbsVUMeter);
    EXPECT_EQ(bar->BitmapFirst().Canvas().Pixels(1, 5), White);
    EXPECT_EQ(bar->BitmapFirst().Canvas().Pixels(1 + 372, 5), Blue);
}

TEST_F(VexaPrgrBrTest, MeterColoursPastTheLastSegmentStayWithinTheirBytes)
{
    // Four lines: the second segment reaches twice its step at the last
    // line, so each byte is held at 0 or 255 instead of spilling over.
    TVexaProgressBar* bar = NewBar(6, 5);
    bar->SetColorFirst(clBlack);
    bar->SetColorSecond(RGB(0, 128, 255));
    bar->SetColorThird(RGB(255, 128, 0));
    bar->SetBitmapstyle(pbsVUMeter);
    EXPECT_EQ(bar->BitmapFirst().Canvas().Pixels(1 + 1, 2), RGB(0, 128, 255));
    EXPECT_EQ(bar->BitmapFirst().Canvas().Pixels(1 + 3, 2), RGB(255, 128, 0));

    // A meter of one line shows the middle colour.
    TVexaProgressBar* tiny = NewBar(3, 5);
    tiny->SetColorSecond(clRed);
    tiny->SetBitmapstyle(pbsVUMeter);
    EXPECT_EQ(tiny->BitmapFirst().Canvas().Pixels(1, 2), clRed);
}

TEST_F(VexaPrgrBrTest, BitmapStylesCopyTheDonePartAndTheRestFromTheirBitmaps)
{
    TVexaProgressBar* bar = NewBar(21, 21);
    TBitmap red(21, 21);
    red.Canvas().Brush.Color = clRed;
    red.Canvas().FillRect(Rect(0, 0, 21, 21));
    TBitmap blue(21, 21);
    blue.Canvas().Brush.Color = clBlue;
    blue.Canvas().FillRect(Rect(0, 0, 21, 21));
    bar->SetBitmapFirst(red);
    EXPECT_EQ(bar->Bitmapstyle(), pbsBitmap);
    bar->SetBitmapSecond(blue);
    bar->SetPosition(25); // L = Round(0.25 x 20) = 5
    auto image = Drawn(bar);
    EXPECT_EQ(image->Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(image->Canvas().Pixels(4, 20), clRed);
    EXPECT_EQ(image->Canvas().Pixels(5, 0), clBlue);
    EXPECT_EQ(image->Canvas().Pixels(20, 20), clBlue);

    // Vertical: the rows still to go come from the first bitmap at the top.
    bar->SetDirection(pbdVertical); // L = Round(0.75 x 20) = 15
    image = Drawn(bar);
    EXPECT_EQ(image->Canvas().Pixels(3, 14), clRed);
    EXPECT_EQ(image->Canvas().Pixels(3, 15), clBlue);
}

TEST_F(VexaPrgrBrTest, ASizeChangeRebuildsTheMeterAtTheNextPaint)
{
    TVexaProgressBar* bar = NewBar(30, 8);
    bar->SetColorFirst(clRed);
    bar->SetBitmapstyle(pbsVUMeter);
    EXPECT_EQ(bar->BitmapFirst().Width(), 30);
    bar->SetWidth(50);
    Drawn(bar);
    EXPECT_EQ(bar->BitmapFirst().Width(), 50);
    bar->SetColorFirst(clBlue);
    Drawn(bar);
    EXPECT_EQ(bar->BitmapFirst().Canvas().Pixels(1, 3), clBlue);
}

} // namespace

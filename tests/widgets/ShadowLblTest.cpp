#include "widgets/ShadowLbl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/CanvasText.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

namespace {

constexpr TColor Paper = clWhite;
constexpr TColor Ink = clBlack;
constexpr TColor Shade = clRed;

void UseTestFont(TFont& Font)
{
    Font.SetName("Courier New");
    Font.SetHeight(-12);
    Font.SetColor(Ink);
}

// Where a text drawn alone lands: true for its ink pixels.
std::unique_ptr<TBitmap> DrawAlone(const std::string& Text, TRect R, unsigned Format, int Width, int Height)
{
    auto image = std::make_unique<TBitmap>(Width, Height);
    TCanvas& c = image->Canvas();
    c.Brush.Color = Paper;
    c.FillRect(Rect(0, 0, Width, Height));
    c.Brush.Style = bsClear;
    UseTestFont(c.Font);
    gfx::DrawText(c, Text, R, Format);
    return image;
}

TEST(DrawShadowTextTest, ShadowGoesTowardsItsPositionAndTheRectangleCoversBoth)
{
    struct Case {
        TShadowPosition position;
        int size;
        TPoint offset;
    } cases[] = {
        {spLeftTop, 2, {-2, -2}}, {spLeftBottom, 2, {-2, 2}}, {spRightBottom, 3, {3, 3}},
        {spRightTop, 1, {1, -1}}, {spRightBottom, 0, {0, 0}},
    };
    const TRect place = Rect(10, 10, 60, 30);
    auto alone = DrawAlone("HH", place, DT_LEFT, 80, 50);
    for (const Case& c : cases) {
        TBitmap image(80, 50);
        TCanvas& canvas = image.Canvas();
        canvas.Brush.Color = Paper;
        canvas.FillRect(Rect(0, 0, 80, 50));
        canvas.Brush.Style = bsClear;
        UseTestFont(canvas.Font);
        TRect r = place;
        const int height = KSCtrls::DrawShadowText(canvas, "HH", r, DT_LEFT, c.size, Shade, c.position);
        const TRect shadow = gfx::OffsetRect(place, c.offset.X, c.offset.Y);
        EXPECT_EQ(r, gfx::UnionRect(place, shadow)) << int(c.position);
        const int textHeight = canvas.TextHeight("HH");
        EXPECT_EQ(height, textHeight + c.size) << int(c.position);
        EXPECT_EQ(canvas.Font.Color(), Ink); // the text colour comes back
        int mismatches = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 80; ++x) {
                const bool ink = alone->Canvas().Pixels(x, y) == Ink;
                const int sx = x - c.offset.X, sy = y - c.offset.Y;
                const bool shade = !ink && sx >= 0 && sy >= 0 && sx < 80 && sy < 50 &&
                    alone->Canvas().Pixels(sx, sy) == Ink;
                const TColor expected = ink ? Ink : shade ? Shade : Paper;
                mismatches += image.Canvas().Pixels(x, y) != expected;
            }
        EXPECT_EQ(mismatches, 0) << int(c.position);
    }
}

class KsLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(0, 0, 300, 200);
        form_->SetColor(Paper);
        UseTestFont(form_->Font());
        label_ = new TKsLabel(form_.get());
        label_->SetParent(form_.get());
        label_->SetColor(Paper);
        label_->SetShadowColor(Shade);
    }

    std::unique_ptr<TBitmap> Paint()
    {
        TBitmap whole(form_->ClientWidth(), form_->ClientHeight());
        form_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&whole.Canvas()), 0);
        auto image = std::make_unique<TBitmap>(label_->Width(), label_->Height());
        image->Canvas().CopyRect(Rect(0, 0, label_->Width(), label_->Height()), whole.Canvas(), label_->BoundsRect());
        return image;
    }

    int LineHeight()
    {
        TBitmap scratch(1, 1);
        UseTestFont(scratch.Canvas().Font);
        return scratch.Canvas().TextHeight("W");
    }

    std::unique_ptr<TForm> form_;
    TKsLabel* label_ = nullptr;
};

TEST_F(KsLabelTest, AutoSizeMeasuresCaptionShadowAndMargins)
{
    TBitmap scratch(1, 1);
    UseTestFont(scratch.Canvas().Font);
    struct Case {
        std::string caption;
        int shadow, left, right;
        int width, height;
    } cases[] = {
        {"", 1, 0, 0, scratch.Canvas().TextWidth(" ") + 1 + 2, LineHeight() + 1}, // one line high
        {"&", 0, 0, 0, scratch.Canvas().TextWidth(" ") + 2, LineHeight()},
        {"Wort", 2, 3, 4, scratch.Canvas().TextWidth("Wort") + 2 + 2 + 3 + 4, LineHeight() + 2},
        {"Wort", 0, -5, -1, scratch.Canvas().TextWidth("Wort") + 2, LineHeight()}, // negative margins are 0
    };
    // A shadow to the right and below adds to the size.
    label_->SetShadowPos(spRightBottom);
    for (const Case& c : cases) {
        label_->SetShadowSize(static_cast<std::uint8_t>(c.shadow));
        label_->SetLeftMargin(c.left);
        label_->SetRightMargin(c.right);
        label_->SetCaption(c.caption);
        label_->SetAutoSize(false); // measures again even when nothing above changed
        label_->SetAutoSize(true);
        EXPECT_EQ(label_->LeftMargin(), std::max(c.left, 0));
        EXPECT_EQ(label_->RightMargin(), std::max(c.right, 0));
        EXPECT_EQ(label_->Width(), c.width) << c.caption << " " << c.shadow;
        EXPECT_EQ(label_->Height(), c.height) << c.caption << " " << c.shadow;
    }
}

TEST_F(KsLabelTest, DisabledLabelWithoutShadowIsEngraved)
{
    label_->SetShadowSize(0);
    label_->SetCaption("HH");
    label_->SetEnabled(false);
    auto image = Paint();
    const TColor grey = ColorToRGB(clGrayText), light = ColorToRGB(clBtnHighlight);
    int greys = 0, engraved = 0;
    for (int y = 0; y + 1 < image->Height(); ++y)
        for (int x = 0; x + 1 < image->Width(); ++x) {
            if (image->Canvas().Pixels(x, y) != grey)
                continue;
            ++greys;
            const TColor below = image->Canvas().Pixels(x + 1, y + 1);
            engraved += below == grey || below == light;
        }
    EXPECT_GT(greys, 0);
    EXPECT_EQ(engraved, greys);
    EXPECT_EQ(image->Canvas().Pixels(image->Width() - 1, 0), Paper);
}

TEST_F(KsLabelTest, LayoutMovesTheTextDown)
{
    label_->SetAutoSize(false);
    label_->SetShadowSize(0);
    label_->SetCaption("HH");
    label_->SetBounds(5, 5, 60, 41);
    const int free = 41 - LineHeight();
    auto top = Paint();
    struct Case {
        TTextLayout layout;
        int shift;
    } cases[] = {{tlCenter, free / 2}, {tlBottom, free}};
    for (const Case& c : cases) {
        label_->SetLayout(c.layout);
        auto moved = Paint();
        int mismatches = 0;
        for (int y = 0; y + c.shift < 41; ++y)
            for (int x = 0; x < 60; ++x)
                mismatches += top->Canvas().Pixels(x, y) != moved->Canvas().Pixels(x, y + c.shift);
        EXPECT_EQ(mismatches, 0) << int(c.layout);
    }
}

TEST_F(KsLabelTest, AcceleratorFocusesTheControlAndItsFocusIsShown)
{
    form_->Show();
    auto* edit = new TEdit(form_.get());
    edit->SetParent(form_.get());
    edit->SetBounds(100, 100, 80, 20);
    label_->SetCaption("&Name");
    label_->SetFocusControl(edit);
    label_->SetShowFocus(true);
    EXPECT_EQ(label_->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    EXPECT_FALSE(edit->Focused());
    EXPECT_EQ(label_->Perform(CM_DIALOGCHAR, 'n', 0), 1);
    Application->ProcessMessages();
    EXPECT_TRUE(edit->Focused());

    // The focus rectangle: dotted pixels along the bottom edge of the text
    // (its other edges lie outside, where the shadow went).
    auto focused = Paint();
    label_->SetShowFocus(false);
    auto plain = Paint();
    const int bottom = label_->Height() - 1;
    int differing = 0;
    for (int x = 0; x < label_->Width(); ++x)
        differing += focused->Canvas().Pixels(x, bottom) != plain->Canvas().Pixels(x, bottom);
    EXPECT_GT(differing, 0);

    delete edit; // the label forgets it
    EXPECT_EQ(label_->FocusControl(), nullptr);
}

TEST_F(KsLabelTest, RightToLeftReadingMirrorsTheAlignment)
{
    label_->SetAutoSize(false);
    label_->SetShadowSize(0);
    label_->SetCaption("HH");
    label_->SetBounds(5, 5, 80, 20);
    struct Case {
        TBiDiMode mode;
        TAlignment alignment;
        bool inkAtRight;
    } cases[] = {
        {bdLeftToRight, taLeftJustify, false},
        {bdRightToLeft, taLeftJustify, true},
        {bdRightToLeft, taRightJustify, false},
        {bdRightToLeftNoAlign, taLeftJustify, false}, // reading only, alignment kept
    };
    for (const Case& c : cases) {
        label_->BiDiMode = c.mode;
        label_->SetAlignment(c.alignment);
        auto image = Paint();
        int left = 0, right = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 80; ++x)
                if (image->Canvas().Pixels(x, y) == Ink)
                    ++(x < 40 ? left : right);
        EXPECT_EQ(right > 0 && left == 0, c.inkAtRight) << int(c.mode) << " " << int(c.alignment);
        EXPECT_EQ(left > 0 && right == 0, !c.inkAtRight) << int(c.mode) << " " << int(c.alignment);
    }

    // Auto size keeps the right edge where the mirrored alignment is right.
    label_->BiDiMode = bdRightToLeft;
    label_->SetAlignment(taLeftJustify);
    label_->SetAutoSize(true);
    const int right = label_->Left() + label_->Width();
    label_->SetCaption("HHHHHH");
    EXPECT_EQ(label_->Left() + label_->Width(), right);
}

} // namespace

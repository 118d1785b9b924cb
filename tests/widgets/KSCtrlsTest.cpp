#include "widgets/KSCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/graphics/CanvasText.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ImgList.h"

namespace {

// A strip of Cells cells of Size pixels: cell n filled with Colors[n], a key
// coloured (fuchsia) bottom row and a black pixel at (2, 2) of every cell.
std::unique_ptr<TBitmap> MakeStrip(int Cells, int Size, const std::vector<TColor>& Colors)
{
    auto strip = std::make_unique<TBitmap>(Cells * Size, Size);
    TCanvas& c = strip->Canvas();
    c.Brush.Style = bsSolid;
    for (int n = 0; n < Cells; ++n) {
        c.Brush.Color = Colors[static_cast<std::size_t>(n) % Colors.size()];
        c.FillRect(Bounds(n * Size, 0, Size, Size));
        c.Brush.Color = clFuchsia;
        c.FillRect(Bounds(n * Size, Size - 1, Size, 1));
        c.SetPixels(n * Size + 2, 2, clBlack);
    }
    return strip;
}

// Buttons on a form; the form is painted into a bitmap and fed mouse
// messages in its client coordinates.
class KsSpeedButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(10, 10, 200, 150);
        form_->SetColor(clRed);
    }

    void TearDown() override
    {
        form_.reset();
        Turn();
        rtl::ResetClock();
    }

    static void Turn() { Application->ProcessMessages(); }

    TKsSpeedButton* NewButton(int Left, int Top, int Group = 0)
    {
        auto* button = new TKsSpeedButton(form_.get());
        button->SetParent(form_.get());
        button->SetBounds(Left, Top, 25, 25);
        button->SetGroupIndex(Group);
        button->OnClick = [this, button](TObject*) { clicks_.push_back(button); };
        return button;
    }

    void ShowAndPaint()
    {
        form_->Show();
        Turn();
        image_ = std::make_unique<TBitmap>(form_->ClientWidth(), form_->ClientHeight());
        form_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&image_->Canvas()), 0);
    }

    TColor Pixel(int X, int Y) const { return image_->Canvas().Pixels(X, Y); }

    void Mouse(UINT Msg, WPARAM Keys, TPoint At) { form_->Perform(Msg, Keys, MAKELPARAM(At.X, At.Y)); }
    void Press(TPoint At) { Mouse(WM_LBUTTONDOWN, MK_LBUTTON, At); }
    void Move(TPoint At) { Mouse(WM_MOUSEMOVE, MK_LBUTTON, At); }
    void Release(TPoint At) { Mouse(WM_LBUTTONUP, 0, At); }
    void Click(TPoint At)
    {
        Press(At);
        Release(At);
    }

    std::unique_ptr<TForm> form_;
    std::unique_ptr<TBitmap> image_;
    std::vector<TKsSpeedButton*> clicks_;
};

TEST(KsButtonGlyphTest, StripWidthDecidesTheNumberOfGlyphs)
{
    struct Case {
        int width, height, before, expected;
    } cases[] = {
        {64, 16, 1, 4}, // four square cells
        {96, 16, 2, 1}, // six cells are more than a strip holds
        {40, 16, 2, 2}, // not a multiple: the number stays
        {16, 16, 3, 1},
    };
    for (const Case& c : cases) {
        TKsButtonGlyph glyph;
        glyph.SetNumGlyphs(c.before);
        TBitmap strip(c.width, c.height);
        glyph.SetGlyph(strip);
        EXPECT_EQ(glyph.NumGlyphs(), c.expected) << c.width << "x" << c.height;
    }
}

TEST(KsButtonGlyphTest, StateImagesComeFromTheirCellsOrAreMade)
{
    const TColor up = clGreen, disabled = clBlue, down = clYellow, exclusive = clAqua, inactive = clMaroon;
    TKsButtonGlyph one;
    one.SetGlyph(*MakeStrip(1, 8, {up}));
    // One glyph: the disabled image is embossed from the black pixels on
    // button face, the inactive one is the grey of the up cell.
    TBitmap* grey = one.StateImage(rbsDisabled);
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(grey->Canvas().Pixels(2, 2), ColorToRGB(clBtnShadow));
    EXPECT_EQ(grey->Canvas().Pixels(3, 3), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(grey->Canvas().Pixels(5, 5), ColorToRGB(clBtnFace));
    TBitmap* inactiveImage = one.StateImage(rbsInactive);
    EXPECT_EQ(inactiveImage->Canvas().Pixels(5, 5), one.MapColor(up));
    EXPECT_EQ(inactiveImage->Canvas().Pixels(5, 7), ColorToRGB(clFuchsia));
    EXPECT_EQ(one.StateImage(rbsDown), one.StateImage(rbsUp));

    TKsButtonGlyph two;
    two.SetGlyph(*MakeStrip(2, 8, {up, disabled}));
    EXPECT_EQ(two.StateImage(rbsDisabled)->Canvas().Pixels(5, 5), ColorToRGB(disabled));
    EXPECT_EQ(two.StateImage(rbsDown), two.StateImage(rbsUp));

    TKsButtonGlyph five;
    five.SetGlyph(*MakeStrip(5, 8, {up, disabled, down, exclusive, inactive}));
    EXPECT_EQ(five.StateImage(rbsDown)->Canvas().Pixels(5, 5), ColorToRGB(down));
    EXPECT_EQ(five.StateImage(rbsExclusive)->Canvas().Pixels(5, 5), ColorToRGB(exclusive));
    EXPECT_EQ(five.StateImage(rbsInactive)->Canvas().Pixels(5, 5), ColorToRGB(inactive));

    TKsButtonGlyph empty;
    EXPECT_EQ(empty.StateImage(rbsUp), nullptr);
}

TEST(KsButtonGlyphTest, MapColorGreysAllButKeyAndFace)
{
    TKsButtonGlyph glyph;
    EXPECT_EQ(glyph.MapColor(clFuchsia), clFuchsia);
    EXPECT_EQ(glyph.MapColor(clBtnFace), clBtnFace);
    EXPECT_EQ(glyph.MapColor(RGB(255, 0, 0)), RGB(76, 76, 76));
    EXPECT_EQ(glyph.MapColor(RGB(0, 0, 255)), RGB(28, 28, 28));
    EXPECT_EQ(glyph.MapColor(clWhite), RGB(255, 255, 255));
}

TEST(KsButtonGlyphTest, LayoutPlacesGlyphAndCaption)
{
    TBitmap surface(10, 10);
    TCanvas& canvas = surface.Canvas();
    canvas.Font.SetName("Liberation Sans");
    canvas.Font.SetHeight(-13);
    const TSize text = canvas.TextExtent("Ab");
    const TRect client = Rect(10, 20, 110, 60); // 100 x 40

    struct Case {
        TButtonLayout layout;
        int margin, spacing;
        std::string caption;
        bool mark;
        TPoint glyph;
        TPoint textAt;
    } cases[] = {
        // No caption: no spacing, the glyph centred by the margin rule.
        {blGlyphLeft, -1, 1, "", false, {10 + 42, 20 + 12}, {}},
        {blGlyphLeft, 4, 2, "Ab", false, {14, 32}, {10 + 22, 20 + 20 - text.cy / 2}},
        {blGlyphRight, 4, 2, "Ab", false, {10 + 80, 32}, {10 + 78 - text.cx, 20 + 20 - text.cy / 2}},
        {blGlyphTop, 0, 0, "Ab", false, {10 + 42, 20}, {10 + 50 - text.cx / 2, 20 + 16}},
        {blGlyphBottom, 0, 0, "Ab", false, {10 + 42, 20 + 24}, {10 + 50 - text.cx / 2, 20 + 24 - text.cy}},
        // Margin and spacing both computed: three equal gaps.
        {blGlyphLeft,
         -1,
         -1,
         "Ab",
         false,
         {10 + (100 - 16 - text.cx) / 3, 32},
         {10 + 2 * ((100 - 16 - text.cx) / 3) + 16, 20 + 20 - text.cy / 2}},
    };
    for (const Case& c : cases) {
        TKsButtonGlyph glyph;
        glyph.SetGlyph(*MakeStrip(1, 16, {clGreen}));
        std::string caption = c.caption;
        TPoint glyphPos;
        TRect textBounds;
        glyph.CalcButtonLayout(canvas, client, caption, c.layout, c.margin, c.spacing, c.mark, glyphPos, textBounds, 0);
        EXPECT_EQ(glyphPos.X, c.glyph.X) << c.layout << " " << c.margin << " " << c.spacing;
        EXPECT_EQ(glyphPos.Y, c.glyph.Y) << c.layout << " " << c.margin << " " << c.spacing;
        if (!c.caption.empty()) {
            EXPECT_EQ(textBounds.Left, c.textAt.X) << c.layout;
            EXPECT_EQ(textBounds.Top, c.textAt.Y) << c.layout;
            EXPECT_EQ(textBounds.Width(), text.cx);
        }
    }
}

TEST(KsButtonGlyphTest, LongCaptionIsShortenedToTheRoom)
{
    TBitmap surface(10, 10);
    TCanvas& canvas = surface.Canvas();
    canvas.Font.SetName("Liberation Sans");
    canvas.Font.SetHeight(-13);
    TKsButtonGlyph glyph;
    std::string caption = "Eine viel zu lange Beschriftung";
    TPoint glyphPos;
    TRect textBounds;
    glyph.CalcButtonLayout(canvas, Rect(0, 0, 60, 20), caption, blGlyphLeft, 0, 0, false, glyphPos, textBounds, 0);
    ASSERT_GE(caption.size(), 3u);
    EXPECT_EQ(caption.substr(caption.size() - 3), "...");
    EXPECT_LE(canvas.TextWidth(caption), 60);
    EXPECT_LE(textBounds.Width(), 60);
}

TEST(KsButtonGlyphTest, PopupMarkIsATriangle)
{
    TBitmap surface(20, 10);
    TCanvas& canvas = surface.Canvas();
    canvas.Brush.Color = clWhite;
    canvas.FillRect(Rect(0, 0, 20, 10));
    TKsButtonGlyph::DrawPopupMark(canvas, 5, 4, rbsUp);
    const TColor mark = ColorToRGB(clBtnText);
    struct Row {
        int y, from, to;
    } rows[] = {{3, 5, 11}, {4, 6, 10}, {5, 7, 9}, {6, 8, 8}};
    for (const Row& r : rows)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(canvas.Pixels(x, r.y) == mark, x >= r.from && x <= r.to) << x << "," << r.y;
    for (int x = 0; x < 20; ++x) {
        EXPECT_NE(canvas.Pixels(x, 2), mark);
        EXPECT_NE(canvas.Pixels(x, 7), mark);
    }
}

TEST_F(KsSpeedButtonTest, PropertySettersKeepTheirLimits)
{
    TKsSpeedButton* button = NewButton(0, 0);
    EXPECT_EQ(button->Width(), 25);
    EXPECT_EQ(button->Layout(), blGlyphTop);
    button->SetGlyph(*MakeStrip(5, 8, {clGreen}));
    button->SetNumGlyphs(9);
    EXPECT_EQ(button->NumGlyphs(), 5);
    button->SetMargin(-2);
    EXPECT_EQ(button->Margin(), -1);
    button->SetMargin(3);
    EXPECT_EQ(button->Margin(), 3);
    // Outside a group a button cannot stay down.
    button->SetDown(true);
    EXPECT_FALSE(button->Down());
}

TEST_F(KsSpeedButtonTest, FramesOfTheStates)
{
    NewButton(10, 10); // raised
    TKsSpeedButton* held = NewButton(50, 10, 1);
    held->SetDown(true);
    TKsSpeedButton* flat = NewButton(90, 10);
    flat->SetFlat(true);
    TKsSpeedButton* disabledFlat = NewButton(130, 10);
    disabledFlat->SetFlat(true);
    disabledFlat->SetEnabled(false);
    ShowAndPaint();

    const TColor face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow),
                 frame = ColorToRGB(clWindowFrame);
    // Raised: highlight / window frame outside, face / shadow inside.
    EXPECT_EQ(Pixel(10, 10), light);
    EXPECT_EQ(Pixel(34, 34), frame);
    EXPECT_EQ(Pixel(11, 11), face);
    EXPECT_EQ(Pixel(33, 33), shadow);
    // Held down in its group: window frame / highlight, shadow inside, and
    // the dithered face inside the frame.
    EXPECT_EQ(Pixel(50, 10), frame);
    EXPECT_EQ(Pixel(74, 34), light);
    EXPECT_EQ(Pixel(51, 11), shadow);
    EXPECT_NE(Pixel(60, 20), Pixel(61, 20));
    EXPECT_EQ(Pixel(60, 20), Pixel(61, 21));
    // Flat without the mouse over it: no frame at all.
    for (TKsSpeedButton* b : {flat, disabledFlat})
        for (int x = 0; x < 25; ++x) {
            EXPECT_EQ(Pixel(b->Left() + x, 10), face);
            EXPECT_EQ(Pixel(b->Left() + x, 34), face);
        }
    EXPECT_EQ(disabledFlat->State(), rbsDisabled);
}

TEST_F(KsSpeedButtonTest, FlatButtonShowsTheGreyGlyphUnlessToldOtherwise)
{
    TKsSpeedButton* greyed = NewButton(10, 10);
    TKsSpeedButton* coloured = NewButton(50, 10);
    for (TKsSpeedButton* b : {greyed, coloured}) {
        b->SetFlat(true);
        b->SetGlyph(*MakeStrip(1, 9, {RGB(255, 0, 0)}));
    }
    coloured->SetGrayedInactive(false);
    ShowAndPaint();
    // 25 - 2*2 = 21 inside; the 9-pixel glyph starts at 2 + 6 = 8.
    EXPECT_EQ(Pixel(10 + 8 + 4, 10 + 8 + 4), RGB(76, 76, 76));
    EXPECT_EQ(Pixel(50 + 8 + 4, 10 + 8 + 4), RGB(255, 0, 0));
    // The key colour is left out.
    EXPECT_EQ(Pixel(50 + 8 + 4, 10 + 8 + 8), ColorToRGB(clBtnFace));
}

TEST_F(KsSpeedButtonTest, TransparentButtonShowsItsParent)
{
    TKsSpeedButton* button = NewButton(10, 10);
    button->SetFlat(true);
    button->SetTransparent(true);
    ShowAndPaint();
    EXPECT_EQ(Pixel(12, 12), clRed);
    EXPECT_EQ(Pixel(22, 22), clRed);
}

TEST_F(KsSpeedButtonTest, ClickInsideClicksOnceAndOutsideNot)
{
    TKsSpeedButton* button = NewButton(10, 10);
    ShowAndPaint();
    Press({20, 20});
    Turn();
    EXPECT_EQ(button->State(), rbsDown);
    Release({20, 20});
    Turn();
    EXPECT_EQ(clicks_.size(), 1u);
    EXPECT_EQ(button->State(), rbsUp);

    Press({20, 20});
    Move({100, 100});
    EXPECT_EQ(button->State(), rbsUp);
    Move({20, 20});
    EXPECT_EQ(button->State(), rbsDown);
    Move({100, 100});
    Release({100, 100});
    Turn();
    EXPECT_EQ(clicks_.size(), 1u);
}

TEST_F(KsSpeedButtonTest, GroupKeepsOneButtonDown)
{
    TKsSpeedButton* a = NewButton(10, 10, 7);
    TKsSpeedButton* b = NewButton(40, 10, 7);
    TKsSpeedButton* c = NewButton(70, 10, 7);
    TKsSpeedButton* other = NewButton(100, 10, 8);
    other->SetDown(true);
    ShowAndPaint();

    Click({20, 20});
    Turn();
    EXPECT_TRUE(a->Down());
    // Pressing the down button again leaves it down and still clicks.
    Click({20, 20});
    Turn();
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(a->State(), rbsExclusive);
    // Pressing another moves the down state with one click.
    Click({50, 20});
    Turn();
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(c->Down());
    EXPECT_TRUE(other->Down());
    EXPECT_EQ(clicks_, (std::vector<TKsSpeedButton*>{a, a, b}));

    // A group button cannot be raised by setting Down unless all-up is allowed.
    b->SetDown(false);
    EXPECT_TRUE(b->Down());
    c->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp());
    Click({50, 20});
    Turn();
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(b->State(), rbsUp);
}

TEST_F(KsSpeedButtonTest, HeldButtonRepeatsOnTheClock)
{
    rtl::SetClockForTests(1000);
    TKsSpeedButton* button = NewButton(10, 10);
    button->SetAllowTimer(true);
    ShowAndPaint();
    Press({20, 20});
    rtl::AdvanceClockForTests(499);
    Turn();
    EXPECT_EQ(clicks_.size(), 0u);
    rtl::AdvanceClockForTests(1);
    Turn();
    EXPECT_EQ(clicks_.size(), 1u);
    rtl::AdvanceClockForTests(100);
    Turn();
    EXPECT_EQ(clicks_.size(), 2u);
    // Off the button the repeats stop until the pointer comes back.
    Move({150, 100});
    rtl::AdvanceClockForTests(100);
    Turn();
    rtl::AdvanceClockForTests(100);
    Turn();
    EXPECT_EQ(clicks_.size(), 2u);
    Move({20, 20});
    rtl::AdvanceClockForTests(100);
    Turn();
    EXPECT_EQ(clicks_.size(), 3u);
    // Releasing inside adds the ordinary click, and the repeats end.
    Release({20, 20});
    Turn();
    EXPECT_EQ(clicks_.size(), 4u);
    rtl::AdvanceClockForTests(500);
    Turn();
    EXPECT_EQ(clicks_.size(), 4u);
}

TEST_F(KsSpeedButtonTest, ProgrammaticPressClicksAndSetsModalResult)
{
    rtl::SetClockForTests(0);
    TKsSpeedButton* plain = NewButton(10, 10);
    plain->ModalResult = mrOk;
    TKsSpeedButton* grouped = NewButton(40, 10, 3);
    plain->ButtonClick();
    EXPECT_EQ(form_->ModalResult, mrOk);
    EXPECT_EQ(plain->State(), rbsUp);
    grouped->ButtonClick();
    EXPECT_TRUE(grouped->Down());
    EXPECT_EQ(clicks_, (std::vector<TKsSpeedButton*>{plain, grouped}));
    plain->SetEnabled(false);
    plain->ButtonClick();
    EXPECT_EQ(clicks_.size(), 2u);
}

} // namespace

namespace {

TEST(GlyphCacheTest, AGlyphListIsAnImageListOfSlotsWithSeeThroughMaskPixels)
{
    TGlyphList list(4, 4);
    TBitmap glyph(4, 4);
    glyph.Canvas().Brush.Color = clRed;
    glyph.Canvas().FillRect(Rect(0, 0, 4, 4));
    glyph.Canvas().SetPixels(0, 0, clFuchsia);
    EXPECT_EQ(list.AddMaskedGlyph(glyph, clFuchsia), 0);
    EXPECT_EQ(list.AddMaskedGlyph(glyph, clNone), 1);
    EXPECT_EQ(list.GlyphCount(), 2);
    EXPECT_FALSE(list.Opaque(0, 0, 0));
    EXPECT_TRUE(list.Opaque(0, 1, 1));
    EXPECT_TRUE(list.Opaque(1, 0, 0));
    TBitmap onto(4, 4);
    onto.Canvas().Brush.Color = clBlue;
    onto.Canvas().FillRect(Rect(0, 0, 4, 4));
    list.Draw(onto.Canvas(), 0, 0, 0);
    EXPECT_EQ(onto.Canvas().Pixels(0, 0), clBlue);
    EXPECT_EQ(onto.Canvas().Pixels(2, 2), clRed);

    // A freed slot is handed out first; with none free the list grows by one.
    list.FreeGlyphIndex(0);
    EXPECT_EQ(list.GlyphCount(), 1);
    EXPECT_EQ(list.AllocGlyphIndex(), 0);
    EXPECT_EQ(list.AddMaskedGlyph(glyph, clFuchsia), 0);
    EXPECT_EQ(list.AllocGlyphIndex(), 2);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GlyphCount(), 2);
}

TEST(GlyphCacheTest, GlyphsOfOneCellSizeShareAListAndReuseItsSlots)
{
    auto first = std::make_unique<TKsButtonGlyph>();
    auto second = std::make_unique<TKsButtonGlyph>();
    auto small = std::make_unique<TKsButtonGlyph>();
    first->SetGlyph(*MakeStrip(2, 16, {clGreen}));
    second->SetGlyph(*MakeStrip(1, 16, {clBlue}));
    small->SetGlyph(*MakeStrip(1, 8, {clRed}));
    ASSERT_NE(first->StateImage(rbsUp), nullptr);
    ASSERT_NE(first->StateImage(rbsDisabled), nullptr);
    ASSERT_NE(second->StateImage(rbsUp), nullptr);
    ASSERT_NE(small->StateImage(rbsUp), nullptr);

    TGlyphList* shared = first->GlyphList();
    EXPECT_EQ(second->GlyphList(), shared);
    EXPECT_NE(small->GlyphList(), shared);
    EXPECT_EQ(shared->GlyphCount(), 3);
    const int lists = KSCtrls::GlyphCache()->ListCount();

    // Given-back slots are taken again before the list grows.
    const int capacity = shared->Count();
    first->Invalidate();
    EXPECT_EQ(first->GlyphList(), nullptr);
    EXPECT_EQ(shared->GlyphCount(), 1);
    EXPECT_NE(first->StateImage(rbsUp), nullptr);
    EXPECT_EQ(shared->Count(), capacity);
    EXPECT_EQ(first->StateImage(rbsUp)->Canvas().Pixels(5, 5), clGreen);

    // The last glyph of a size frees its list; the last glyph the cache.
    small.reset();
    EXPECT_EQ(KSCtrls::GlyphCache()->ListCount(), lists - 1);
    first.reset();
    second.reset();
    EXPECT_EQ(KSCtrls::GlyphCache(), nullptr);
}

} // namespace

TEST_F(KsSpeedButtonTest, DropDownMenuOpensBesideTheButtonAndIsNoClick)
{
    TKsSpeedButton* button = NewButton(40, 30);
    auto* menu = new TPopupMenu(form_.get());
    menu->Items().Add(new TMenuItem(menu));
    button->SetDropDownMenu(menu);
    ShowAndPaint();

    struct Case {
        TPopupAlignment alignment;
        TKsDropDownMenuPos position;
        TPoint at;
    } cases[] = {
        {paLeft, dmpBottom, {-1, 25}}, {paRight, dmpBottom, {26, 25}}, {paCenter, dmpBottom, {12, 25}},
        {paLeft, dmpRight, {25, -1}},  {paRight, dmpRight, {-1, -1}},  {paCenter, dmpRight, {12, 25}},
    };
    for (const Case& c : cases) {
        menu->Alignment = c.alignment;
        button->MenuPosition = c.position;
        EXPECT_EQ(button->GetDropDownMenuPos(), c.at) << int(c.alignment) << " " << int(c.position);
    }

    // The click that closes the menu over the button does not press it again;
    // one elsewhere stays.
    const HWND window = form_->Handle();
    ui::PostMessage(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(45, 35));
    Click({50, 40});
    EXPECT_NE(menu->PopupWindow(), nullptr);
    EXPECT_EQ(menu->PopupComponent, button);
    EXPECT_TRUE(clicks_.empty());
    TMsg left;
    EXPECT_FALSE(ui::PeekMessage(left, window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));
    ui::PostMessage(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 100));
    Click({50, 40});
    EXPECT_TRUE(ui::PeekMessage(left, window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));

    // A programmatic press does nothing while the menu opens by itself.
    button->ButtonClick();
    EXPECT_TRUE(clicks_.empty());

    // A menu that does not open by itself leaves an ordinary button, which
    // can still drop it on request.
    menu->AutoPopup = false;
    Click({50, 40});
    EXPECT_EQ(clicks_.size(), 1u);
    EXPECT_TRUE(button->CheckBtnMenuDropDown());
    delete menu;
    EXPECT_EQ(button->DropDownMenu(), nullptr);
    EXPECT_FALSE(button->CheckBtnMenuDropDown());
}

TEST_F(KsSpeedButtonTest, DropDownMarkStandsThreePixelsRightOfTheCaption)
{
    TKsSpeedButton* button = NewButton(10, 10);
    button->SetBounds(10, 10, 80, 25);
    button->SetCaption("Ab");
    button->SetLayout(blGlyphLeft);
    auto* menu = new TPopupMenu(form_.get());
    button->SetDropDownMenu(menu);
    ShowAndPaint();
    // Find the mark's widest row: seven button-text pixels in a row.
    const TColor text = ColorToRGB(clBtnText);
    int markRow = -1, markLeft = -1;
    for (int y = 10; y < 35 && markRow < 0; ++y)
        for (int x = 10; x + 7 <= 90; ++x) {
            bool run = true;
            for (int i = 0; i < 7 && run; ++i)
                run = Pixel(x + i, y) == text;
            if (run && Pixel(x - 1, y) != text && Pixel(x + 7, y) != text && Pixel(x + 1, y + 1) == text &&
                Pixel(x, y + 1) != text) {
                markRow = y;
                markLeft = x;
                break;
            }
        }
    ASSERT_GE(markRow, 0);
    // The caption's last ink column (inside the frame), then the gap.
    int captionRight = -1;
    for (int x = 12; x < markLeft; ++x)
        for (int y = 12; y < 33; ++y)
            if (Pixel(x, y) == text)
                captionRight = x;
    ASSERT_GE(captionRight, 0);
    // The mark starts 3 pixels after the caption's box, whose last column
    // may be blank of ink.
    EXPECT_GE(markLeft - captionRight, 4);
    EXPECT_LE(markLeft - captionRight, 7);

    button->SetMarkDropDown(false);
    ShowAndPaint();
    int left = 0;
    for (int i = 0; i < 7; ++i)
        left += Pixel(markLeft + i, markRow) == text;
    EXPECT_LT(left, 7);
}

TEST(ButtonImageTest, FramedFaceAtThePointAndTheCanvasKeptAsItWas)
{
    TBitmap target(40, 40);
    TCanvas& canvas = target.Canvas();
    canvas.Brush.Color = clRed;
    canvas.FillRect(Rect(0, 0, 40, 40));
    canvas.Font.SetName("Courier New");
    canvas.Font.SetColor(clLime);
    TFont other;
    other.SetName("Times New Roman");
    other.SetColor(clBlue);

    TButtonImage image;
    image.SetGlyph(*MakeStrip(1, 8, {clGreen}));
    image.ButtonSize = {20, 18};
    image.DrawEx(canvas, 5, 6, -1, 4, blGlyphLeft, &other, nullptr, -1, 0);
    struct Spot {
        TPoint at;
        TColor color;
    } spots[] = {
        {{4, 6}, clRed},
        {{5, 6}, ColorToRGB(clBtnShadow)},
        {{24, 23}, ColorToRGB(clWindowFrame)},
        {{6, 7}, ColorToRGB(clBtnHighlight)},
        {{23, 22}, ColorToRGB(clBtnShadow)},
        {{25, 10}, clRed},
        {{8, 8}, ColorToRGB(clBtnFace)},
    };
    for (const Spot& s : spots)
        EXPECT_EQ(canvas.Pixels(s.at.X, s.at.Y), s.color) << s.at.X << "," << s.at.Y;
    // The glyph's cell sits centred on the face.
    int green = 0;
    for (int y = 6; y < 24; ++y)
        for (int x = 5; x < 25; ++x)
            green += canvas.Pixels(x, y) == clGreen;
    EXPECT_EQ(green, 8 * 7 - 1); // the cell less its key row and black dot
    EXPECT_EQ(canvas.Brush.Color, clRed);
    EXPECT_EQ(canvas.Font.Color(), clLime);
    EXPECT_EQ(canvas.Font.Name(), "Courier New");
}

TEST_F(KsSpeedButtonTest, ButtonFollowsItsActionAndRunsIt)
{
    TActionList list(nullptr);
    TAction action(nullptr);
    action.SetActionList(&list);
    action.SetCaption("&Weiter");
    action.SetEnabled(false);
    action.SetHint("Nächstes Bild");
    int executed = 0;
    action.OnExecute = [&executed](TObject*) { ++executed; };

    TKsSpeedButton* button = NewButton(10, 10);
    button->OnClick = nullptr;
    button->SetAction(&action);
    EXPECT_EQ(button->Caption(), "&Weiter");
    EXPECT_FALSE(button->Enabled());
    EXPECT_EQ(button->Hint, "Nächstes Bild");

    action.SetEnabled(true); // later changes follow
    action.SetCaption("Zurück");
    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(button->Caption(), "Zurück");

    button->Click();
    EXPECT_EQ(executed, 1);
    int ownClicks = 0;
    button->OnClick = [&ownClicks](TObject*) { ++ownClicks; };
    button->Click(); // an own handler takes the click
    EXPECT_EQ(executed, 1);
    EXPECT_EQ(ownClicks, 1);
}

TEST_F(KsSpeedButtonTest, CheckedActionHoldsAGroupButtonDown)
{
    TAction action(nullptr);
    TKsSpeedButton* plain = NewButton(10, 10);
    TKsSpeedButton* grouped = NewButton(40, 10, 1);
    grouped->SetAllowAllUp(true);
    plain->SetAction(&action);
    grouped->SetAction(&action);
    action.SetChecked(true);
    EXPECT_TRUE(grouped->Down());
    EXPECT_FALSE(plain->Down()); // outside a group nothing stays down
    action.SetChecked(false);
    EXPECT_FALSE(grouped->Down());
}

TEST_F(KsSpeedButtonTest, ActionImageBecomesTheGlyphOfAButtonWithout)
{
    TImageList images(8, 8);
    images.AddMasked(*MakeStrip(1, 8, {clBlue}), clFuchsia);
    TActionList list(nullptr);
    list.SetImages(&images);
    TAction action(nullptr);
    action.SetActionList(&list);
    action.SetImageIndex(0);

    TKsSpeedButton* fromAction = NewButton(10, 10);
    TKsSpeedButton* ownGlyph = NewButton(50, 10);
    ownGlyph->SetGlyph(*MakeStrip(1, 8, {clLime}));
    fromAction->SetAction(&action);
    ownGlyph->SetAction(&action);

    ASSERT_EQ(fromAction->Glyph().Width(), 8);
    EXPECT_EQ(fromAction->Glyph().Canvas().Pixels(4, 4), ColorToRGB(clBlue));
    // The see-through row of the image became the key colour.
    EXPECT_EQ(fromAction->Glyph().Canvas().Pixels(4, 7), ColorToRGB(clFuchsia));
    EXPECT_EQ(ownGlyph->Glyph().Canvas().Pixels(4, 4), ColorToRGB(clLime));

    action.SetImageIndex(5); // outside the list: the glyph stays
    TActionList empty(nullptr);
    TAction other(nullptr);
    other.SetActionList(&empty);
    other.SetImageIndex(0);
    TKsSpeedButton* noImages = NewButton(90, 10);
    noImages->SetAction(&other);
    EXPECT_TRUE(noImages->Glyph().Empty());
}

TEST_F(KsSpeedButtonTest, FreedActionLeavesTheButtonAlone)
{
    TKsSpeedButton* button = NewButton(10, 10);
    {
        TAction action(nullptr);
        button->SetAction(&action);
        EXPECT_EQ(button->Action(), &action);
    }
    EXPECT_EQ(button->Action(), nullptr);
    button->Click(); // no action to run: the button's own click
    ASSERT_EQ(clicks_.size(), 1u);
}

TEST_F(KsSpeedButtonTest, FlatButtonTracksTheMouseWhileTheProgramIsInFront)
{
    TKsSpeedButton* button = NewButton(10, 10);
    button->SetFlat(true);
    int entered = 0, left = 0;
    button->OnMouseEnter = [&entered](TObject*) { ++entered; };
    button->OnMouseLeave = [&left](TObject*) { ++left; };
    ShowAndPaint();
    const TColor face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);

    Application->ActivationChanged(false);
    button->Perform(CM_MOUSEENTER, 0, 0); // another program is in front
    EXPECT_FALSE(button->MouseInControl());
    EXPECT_EQ(entered, 0);

    Application->ActivationChanged(true);
    button->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(button->MouseInControl());
    EXPECT_EQ(entered, 1);
    ShowAndPaint();
    EXPECT_EQ(Pixel(10, 10), light); // the hot flat button shows its frame
    button->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(left, 1);
    ShowAndPaint();
    EXPECT_EQ(Pixel(10, 10), face);

    // A right click is followed by a look where the mouse really is.
    button->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_TRUE(ui::SetCursorPos(form_->ClientOrigin().X + 150, form_->ClientOrigin().Y + 100));
    Mouse(WM_RBUTTONUP, 0, {20, 20});
    EXPECT_FALSE(button->MouseInControl());
    EXPECT_EQ(left, 2);
    Application->ActivationChanged(false);
}

TEST(GlyphCacheTest, ChangedSystemColoursDropTheBuiltImages)
{
    ui::EnsurePlatform();
    TForm form(nullptr);
    auto* button = new TKsSpeedButton(&form);
    button->SetParent(&form);
    button->SetGlyph(*MakeStrip(1, 8, {clBlue}));
    button->SetEnabled(false); // builds the disabled image at once
    ASSERT_NE(KSCtrls::GlyphCache(), nullptr);
    ASSERT_EQ(KSCtrls::GlyphCache()->ListCount(), 1);
    button->Perform(CM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(KSCtrls::GlyphCache()->ListCount(), 0);
}

TEST(KsButtonGlyphTest, ImageListPictureTakesThePlaceOfTheStrip)
{
    ui::EnsurePlatform();
    TImageList images(8, 8);
    images.AddMasked(*MakeStrip(1, 8, {clBlue}), clFuchsia); // bottom row see-through
    const TColor lime = ColorToRGB(clLime);
    struct Case {
        TKsButtonState state;
        TColor opaque; // pixel (4, 4) of the picture
        TColor clear;  // pixel (4, 7), see-through
    } cases[] = {
        {rbsUp, ColorToRGB(clBlue), lime},
        {rbsDown, ColorToRGB(clBlue), lime},
        {rbsInactive, RGB(28, 28, 28), lime}, // the grey of blue
        // Shadow in place, highlight one pixel down and right.
        {rbsDisabled, ColorToRGB(clBtnShadow), ColorToRGB(clBtnHighlight)},
    };
    for (const Case& c : cases) {
        TKsButtonGlyph glyph;
        TBitmap image(40, 20);
        TCanvas& canvas = image.Canvas();
        canvas.Brush.Color = clLime;
        canvas.FillRect(Rect(0, 0, 40, 20));
        glyph.DrawEx(canvas, Rect(0, 0, 40, 20), "", blGlyphLeft, 2, 0, false, &images, 0, c.state, 0);
        // No caption: the glyph sits at the margin, centred vertically.
        EXPECT_EQ(canvas.Pixels(2 + 4, 6 + 4), c.opaque) << int(c.state);
        EXPECT_EQ(canvas.Pixels(2 + 4, 6 + 7), c.clear) << int(c.state);
    }

    // An index outside the list falls back to the strip (none here).
    TKsButtonGlyph glyph;
    TBitmap image(40, 20);
    image.Canvas().Brush.Color = clLime;
    image.Canvas().FillRect(Rect(0, 0, 40, 20));
    glyph.DrawEx(image.Canvas(), Rect(0, 0, 40, 20), "", blGlyphLeft, 2, 0, false, &images, 3, rbsUp, 0);
    EXPECT_EQ(image.Canvas().Pixels(6, 10), ColorToRGB(clLime));

    // The stand-alone painter passes the list on.
    TButtonImage painter;
    TBitmap face(30, 30);
    painter.DrawEx(face.Canvas(), 0, 0, 3, 0, blGlyphLeft, nullptr, &images, 0, 0);
    EXPECT_EQ(face.Canvas().Pixels(3 + 4, (23 - 8) / 2 + 4), ColorToRGB(clBlue));
}

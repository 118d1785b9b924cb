#include "widgets/DrawUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/HiddenWindows.h"
#include "platform/ui/ImgList.h"
#include "widgets/MaxMin.h"

namespace {

std::unique_ptr<TBitmap> Filled(int Width, int Height, TColor Color)
{
    auto image = std::make_unique<TBitmap>(Width, Height);
    image->Canvas().Brush.Color = Color;
    image->Canvas().FillRect(Rect(0, 0, Width, Height));
    return image;
}

TEST(GradientFillRectTest, BandsRunBetweenTheColoursAndTheRestTakesAnEnd)
{
    struct Case {
        TFillDirection direction;
        int colours, width, height;
        // Colour of each pixel row (vertical) or column (horizontal).
        std::vector<TColor> expected;
    } cases[] = {
        {fdTopToBottom, 3, 4, 10,
         {0x000000, 0x000000, 0x000000, 0x808080, 0x808080, 0x808080, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
        // Downwards from white: the half step rounds away from zero to 7F.
        {fdBottomToTop, 3, 4, 10,
         {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x7F7F7F, 0x7F7F7F, 0x7F7F7F, 0x000000, 0x000000, 0x000000, 0x000000}},
        {fdLeftToRight, 2, 5, 3, {0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
        {fdRightToLeft, 255, 3, 2, {0xFFFFFF, 0x7F7F7F, 0x000000}},
        {fdTopToBottom, 1, 2, 3, {0x000000, 0x000000, 0x000000}}, // one colour: the start colour
    };
    for (const Case& c : cases) {
        auto image = Filled(c.width, c.height, clRed);
        DrawUtils::GradientFillRect(image->Canvas(), Rect(0, 0, c.width, c.height), clBlack, clWhite, c.direction,
                                    c.colours);
        const bool vertical = c.direction == fdTopToBottom || c.direction == fdBottomToTop;
        for (int i = 0; i < static_cast<int>(c.expected.size()); ++i) {
            const TColor got = vertical ? image->Canvas().Pixels(c.width - 1, i) : image->Canvas().Pixels(i, 0);
            EXPECT_EQ(got, c.expected[static_cast<std::size_t>(i)]) << int(c.direction) << " band pixel " << i;
        }
    }
    // 255 colours on 100 pixels: one band per pixel, steps of the difference.
    auto tall = Filled(1, 100, clRed);
    DrawUtils::GradientFillRect(tall->Canvas(), Rect(0, 0, 1, 100), RGB(0, 0, 0), RGB(99, 0, 0), fdTopToBottom, 255);
    for (int y = 0; y < 100; ++y)
        EXPECT_EQ(GetRValue(tall->Canvas().Pixels(0, y)), y);
    // An empty rectangle paints nothing.
    auto untouched = Filled(2, 2, clRed);
    DrawUtils::GradientFillRect(untouched->Canvas(), Rect(1, 1, 1, 2), clBlack, clWhite, fdTopToBottom, 4);
    EXPECT_EQ(untouched->Canvas().Pixels(1, 1), clRed);
}

TEST(AssignBitmapCellTest, CellsAreCutRowByRow)
{
    // 4 x 2 cells of 3 x 2 pixels; cell n has the red value n.
    TBitmap strip(12, 4);
    for (int n = 0; n < 8; ++n) {
        strip.Canvas().Brush.Color = RGB(n, 0, 0);
        strip.Canvas().FillRect(Bounds((n % 4) * 3, (n / 4) * 2, 3, 2));
    }
    strip.SetTransparentColor(clLime);
    struct Case {
        int columns, rows, index, cell;
        int width, height;
    } cases[] = {
        {4, 2, 5, 5, 3, 2},   // row 1, column 1
        {4, 2, -3, 0, 3, 2},  // negative index: the first cell
        {0, 0, 0, 0, 12, 4},  // counts below 1 count as 1
        {4, 2, 7, 7, 3, 2},
    };
    for (const Case& c : cases) {
        TBitmap cell;
        DrawUtils::AssignBitmapCell(strip, cell, c.columns, c.rows, c.index);
        EXPECT_EQ(cell.Width(), c.width) << c.index;
        EXPECT_EQ(cell.Height(), c.height) << c.index;
        EXPECT_EQ(GetRValue(cell.Canvas().Pixels(0, 0)), c.cell) << c.index;
        EXPECT_EQ(cell.TransparentColor(), clLime);
    }
}

TEST(TransparentDrawTest, KeyColourRulesAndScaling)
{
    // A 2 x 2 picture: blue top row, green bottom-left, white bottom-right.
    TBitmap picture(2, 2);
    picture.Canvas().SetPixels(0, 0, clBlue);
    picture.Canvas().SetPixels(1, 0, clBlue);
    picture.Canvas().SetPixels(0, 1, clGreen);
    picture.Canvas().SetPixels(1, 1, clWhite);
    struct Case {
        TColor key;
        std::vector<TColor> expected; // the four pixels after drawing on red
    } cases[] = {
        {clBlue, {clRed, clRed, clGreen, clWhite}},
        {clNone, {clBlue, clBlue, clGreen, clWhite}},
        {clDefault, {clBlue, clBlue, clRed, clWhite}}, // bottom-left pixel
        {static_cast<TColor>(clWhite | 0x02000000), {clBlue, clBlue, clGreen, clRed}}, // palette flag ignored
    };
    for (const Case& c : cases) {
        auto target = Filled(2, 2, clRed);
        DrawUtils::DrawBitmapTransparent(target->Canvas(), 0, 0, picture, c.key);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(target->Canvas().Pixels(i % 2, i / 2), c.expected[static_cast<std::size_t>(i)])
                << std::hex << c.key << " pixel " << i;
    }
    // Scaled twice: every source pixel becomes 2 x 2.
    auto big = Filled(4, 4, clRed);
    DrawUtils::StretchBitmapRectTransparent(big->Canvas(), 0, 0, 4, 4, {}, picture, clBlue);
    EXPECT_EQ(big->Canvas().Pixels(1, 1), clRed);
    EXPECT_EQ(big->Canvas().Pixels(1, 3), clGreen);
    EXPECT_EQ(big->Canvas().Pixels(3, 3), clWhite);
}

TEST(DrawUtilsPatternTest, DisabledImageOfAListPaintsOnlyItsOpaquePixels)
{
    ui::EnsurePlatform();
    // A 4 x 4 image whose left half is opaque (fuchsia marks the rest).
    TBitmap picture(4, 4);
    picture.Canvas().Brush.Color = clFuchsia;
    picture.Canvas().FillRect(Rect(0, 0, 4, 4));
    picture.Canvas().Brush.Color = clBlue;
    picture.Canvas().FillRect(Rect(0, 0, 2, 4));
    TImageList images(4, 4);
    const int index = images.AddMasked(picture, clFuchsia);
    struct Case {
        bool highlight;
        // Row 1 of the 6 x 6 canvas after drawing at (1, 1) on red.
        std::vector<TColor> row2;
    } cases[] = {
        {true, {clRed, clGray, clGray, clWhite, clRed, clRed}},
        {false, {clRed, clGray, clGray, clRed, clRed, clRed}},
    };
    for (const Case& c : cases) {
        auto target = Filled(6, 6, clRed);
        DrawUtils::ImageListDrawDisabled(images, target->Canvas(), 1, 1, index, clWhite, clGray, c.highlight);
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(target->Canvas().Pixels(x, 2), c.row2[static_cast<std::size_t>(x)]) << x;
        EXPECT_EQ(target->Canvas().Pixels(0, 0), clRed);
    }
}

TEST(DrawUtilsPatternTest, CheckerboardHatchAndColourChange)
{
    auto pattern = DrawUtils::CreateTwoColorsBrushPattern(clRed, clBlue);
    ASSERT_EQ(pattern->Width(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pattern->Canvas().Pixels(x, y), (x % 2 == y % 2) ? clBlue : clRed);

    // Rows 11, 22, 44, 88 hex: one black pixel in four, moving right each row.
    auto shaded = Filled(8, 8, clWhite);
    DrawUtils::ShadeRect(shaded->Canvas(), Rect(0, 0, 8, 8));
    const unsigned rows[] = {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool set = (rows[y] >> (7 - x)) & 1;
            EXPECT_EQ(shaded->Canvas().Pixels(x, y), set ? clBlack : clWhite) << x << "," << y;
        }

    auto source = Filled(3, 1, clGreen);
    source->Canvas().SetPixels(1, 0, clBlue);
    auto changed = DrawUtils::ChangeBitmapColor(*source, clGreen, clYellow);
    EXPECT_EQ(changed->Canvas().Pixels(0, 0), clYellow);
    EXPECT_EQ(changed->Canvas().Pixels(1, 0), clBlue);
}

TEST(DrawUtilsTextTest, CommandLineAndNames)
{
    struct Split {
        std::string line, program, params;
    } splits[] = {
        {R"("C:\Program Files\Vistelo\Vistelo.exe" /S "Meine Bilder\a.vsf")", R"(C:\Program Files\Vistelo\Vistelo.exe)",
         R"(/S "Meine Bilder\a.vsf")"},
        {R"(  prog a"b c"d  "" e)", "prog", R"("ab cd" e)"}, // empty quotes in front of an argument vanish
        {R"(prog a "")", "prog", "a"},
        {R"(""prog x)", "prog", "x"},                     // an empty pair in front counts for nothing
        {"", "", ""},
        {"prog " + std::string(300, 'x'), "prog", std::string(300, 'x')}, // no length limit
    };
    for (const Split& s : splits) {
        std::string program = "old", params = "old";
        DrawUtils::SplitCommandLine(s.line, program, params);
        EXPECT_EQ(program, s.program) << s.line;
        EXPECT_EQ(params, s.params) << s.line;
    }

    struct Name {
        std::string in, upperFirst, dropped;
    } names[] = {
        {"TFORM", "Tform", "FORM"},
        {"tImage", "Timage", "Image"},
        {"T", "T", "T"},
        {"\xC3\xA4RGER", "\xC3\x84rger", "\xC3\xA4RGER"}, // "äRGER" -> "Ärger"
        {"", "", ""},
    };
    for (const Name& n : names) {
        EXPECT_EQ(DrawUtils::AnsiUpperFirstChar(n.in), n.upperFirst) << n.in;
        EXPECT_EQ(DrawUtils::DropT(n.in), n.dropped) << n.in;
    }

    const TRect r = Rect(10, 10, 20, 20);
    EXPECT_TRUE(DrawUtils::PointInRect({20, 20}, r)); // edges count
    EXPECT_TRUE(DrawUtils::PointInRect({10, 15}, r));
    EXPECT_FALSE(DrawUtils::PointInRect({21, 15}, r));
    EXPECT_EQ(DrawUtils::PaletteColor(clRed), static_cast<TColor>(0x020000FF));
}

TEST(DrawUtilsScreenTest, WaitCursorNestsAndCursorsGetFreeNumbers)
{
    ui::EnsurePlatform();
    Screen->SetCursor(crDefault);
    DrawUtils::StopWait(); // without StartWait: nothing
    EXPECT_EQ(Screen->Cursor(), crDefault);
    Screen->SetCursor(crCross);
    DrawUtils::StartWait();
    DrawUtils::StartWait();
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    DrawUtils::StopWait();
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    DrawUtils::StopWait();
    EXPECT_EQ(Screen->Cursor(), crCross);
    DrawUtils::StopWait();
    EXPECT_EQ(Screen->Cursor(), crCross);
    Screen->SetCursor(crDefault);

    TBitmap shape(16, 16);
    const std::int16_t first = DrawUtils::DefineCursor(ui::CreateCursorFromBitmap(shape, 0, 0));
    const std::int16_t second = DrawUtils::DefineCursor(ui::CreateCursorFromBitmap(shape, 1, 1));
    EXPECT_GE(first, 100);
    EXPECT_EQ(second, first + 1);
    EXPECT_NE(Screen->Cursors(first), Screen->Cursors(crDefault));
}

TEST(DrawUtilsScreenTest, KillMessageRemovesOneAndKeepsAQuit)
{
    ui::EnsurePlatform();
    HWND window = ui::AllocateHWnd([](TMessage&) {});
    ui::PostMessage(window, WM_USER + 1, 1, 0);
    ui::PostMessage(window, WM_USER + 1, 2, 0);
    DrawUtils::KillMessage(window, WM_USER + 1);
    TMsg left;
    ASSERT_TRUE(ui::PeekMessage(left, window, WM_USER + 1, WM_USER + 1, PM_REMOVE));
    EXPECT_EQ(left.wParam, 2u);
    EXPECT_FALSE(ui::PeekMessage(left, window, WM_USER + 1, WM_USER + 1, PM_REMOVE));

    ui::PostQuitMessage(7);
    DrawUtils::KillMessage(nullptr, WM_QUIT);
    TMsg quit;
    ASSERT_TRUE(ui::PeekMessage(quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
    ui::DeallocateHWnd(window);
}

TEST(MaxMinTest, ExtremesOfPairsAndArrays)
{
    const int ints[] = {3, -7, 12, 0};
    const std::int64_t bigs[] = {1LL << 40, -(1LL << 41)};
    const double floats[] = {0.5, -2.25, 8.0};
    EXPECT_EQ(MaxMin::MaxInteger(ints), 12);
    EXPECT_EQ(MaxMin::MinInteger(ints), -7);
    EXPECT_EQ(MaxMin::MaxInt64(bigs), 1LL << 40);
    EXPECT_EQ(MaxMin::MinInt64(bigs), -(1LL << 41));
    EXPECT_EQ(MaxMin::MaxFloat(floats), 8.0);
    EXPECT_EQ(MaxMin::MinDateTime(floats), -2.25);
    EXPECT_EQ(MaxMin::Max(-1, -2), -1);
    EXPECT_EQ(MaxMin::Min(-1, -2), -2);
    int a = 1, b = 2;
    MaxMin::SwapInt(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    EXPECT_THROW(MaxMin::MaxInteger({}), EListError);
}

} // namespace

namespace {

// The columns holding ink of Ink inside the bitmap.
std::pair<int, int> InkColumns(TBitmap& Image, TColor Ink)
{
    int first = -1, last = -1;
    for (int x = 0; x < Image.Width(); ++x)
        for (int y = 0; y < Image.Height(); ++y)
            if (Image.Canvas().Pixels(x, y) == Ink) {
                if (first < 0)
                    first = x;
                last = x;
            }
    return {first, last};
}

TEST(WriteTextTest, OneLineIsPlacedByAlignmentAndWrappedTextStaysInTheCell)
{
    auto reference = Filled(200, 20, clWhite);
    reference->Canvas().Font.SetName("Courier New");
    reference->Canvas().Font.SetHeight(-12);
    reference->Canvas().Brush.Style = bsClear;
    reference->Canvas().TextOut(0, 0, "Zelle");
    const auto [inkFrom, inkTo] = InkColumns(*reference, clBlack);
    const int width = reference->Canvas().TextWidth("Zelle");
    struct Case {
        TAlignment alignment;
        int textLeft;
    } cases[] = {
        {taLeftJustify, 20 + 2},
        {taRightJustify, 120 - width - 3},
        {taCenter, 20 + 50 - width / 2},
    };
    for (const Case& c : cases) {
        auto image = Filled(200, 20, clWhite);
        TCanvas& canvas = image->Canvas();
        canvas.Font.SetName("Courier New");
        canvas.Font.SetHeight(-12);
        canvas.Brush.Color = clWhite;
        DrawUtils::WriteText(canvas, Rect(20, 0, 120, 20), 2, 0, "Zelle", c.alignment, false);
        const auto [from, to] = InkColumns(*image, clBlack);
        EXPECT_EQ(from, c.textLeft + inkFrom) << int(c.alignment);
        EXPECT_EQ(to, c.textLeft + inkTo) << int(c.alignment);
    }

    // Wrapped: several lines, nothing outside the cell, the cell on the brush.
    auto image = Filled(200, 60, clRed);
    TCanvas& canvas = image->Canvas();
    canvas.Font.SetName("Courier New");
    canvas.Font.SetHeight(-12);
    canvas.Brush.Color = clYellow;
    DrawUtils::WriteText(canvas, Rect(10, 10, 60, 50), 2, 2, "eins zwei drei vier", taLeftJustify, true);
    int inkRows = 0, outside = 0;
    for (int y = 0; y < 60; ++y) {
        bool ink = false;
        for (int x = 0; x < 200; ++x) {
            const TColor p = image->Canvas().Pixels(x, y);
            const bool inCell = x >= 10 && x < 60 && y >= 10 && y < 50;
            outside += !inCell && p != clRed;
            ink = ink || p == clBlack;
        }
        inkRows += ink;
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inkRows, reference->Canvas().TextHeight("W")); // more than one line
    EXPECT_EQ(image->Canvas().Pixels(11, 11), clYellow);
}

TEST(WriteTextTest, RotatedFontAndDialogUnits)
{
    TFont font;
    font.SetName("Courier New");
    font.SetStyle({fsBold, fsUnderline});
    auto rotated = DrawUtils::CreateRotatedFont(font, 90);
    EXPECT_EQ(rotated->Orientation(), 900);
    EXPECT_EQ(rotated->Style(), font.Style());
    EXPECT_EQ(rotated->Name(), "Courier New");

    TBitmap scratch(1, 1);
    const TPoint base = DrawUtils::GetAveCharSize(scratch.Canvas());
    ASSERT_GT(base.X, 0);
    EXPECT_EQ(DrawUtils::DialogUnitsToPixelsX(8), 2 * base.X);
    EXPECT_EQ(DrawUtils::DialogUnitsToPixelsY(16), 2 * base.Y);
    EXPECT_EQ(DrawUtils::PixelsToDialogUnitsX(base.X), 4);
    EXPECT_EQ(DrawUtils::PixelsToDialogUnitsY(base.Y), 8);
}

} // namespace

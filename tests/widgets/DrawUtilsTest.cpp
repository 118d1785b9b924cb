#include "widgets/DrawUtils.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/graphics/CanvasText.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/HiddenWindows.h"
#include "platform/ui/ImgList.h"
#include "widgets/KSConst.h"
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
        {fdTopToBottom,
         3,
         4,
         10,
         {0x000000, 0x000000, 0x000000, 0x808080, 0x808080, 0x808080, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
        // Downwards from white: the half step rounds away from zero to 7F.
        {fdBottomToTop,
         3,
         4,
         10,
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
        {4, 2, 5, 5, 3, 2},  // row 1, column 1
        {4, 2, -3, 0, 3, 2}, // negative index: the first cell
        {0, 0, 0, 0, 12, 4}, // counts below 1 count as 1
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
        {clDefault, {clBlue, clBlue, clRed, clWhite}},                                 // bottom-left pixel
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
        {R"(""prog x)", "prog", "x"}, // an empty pair in front counts for nothing
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
        bool rightToLeft = false;
    } cases[] = {
        {taLeftJustify, 20 + 2},
        {taRightJustify, 120 - width - 3},
        {taCenter, 20 + 50 - width / 2},
        // Right-to-left reading mirrors the alignment.
        {taLeftJustify, 120 - width - 3, true},
        {taRightJustify, 20 + 2, true},
        {taCenter, 20 + 50 - width / 2, true},
    };
    for (const Case& c : cases) {
        auto image = Filled(200, 20, clWhite);
        TCanvas& canvas = image->Canvas();
        canvas.Font.SetName("Courier New");
        canvas.Font.SetHeight(-12);
        canvas.Brush.Color = clWhite;
        DrawUtils::WriteText(canvas, Rect(20, 0, 120, 20), 2, 0, "Zelle", c.alignment, false, c.rightToLeft);
        const auto [from, to] = InkColumns(*image, clBlack);
        EXPECT_EQ(from, c.textLeft + inkFrom) << int(c.alignment) << c.rightToLeft;
        EXPECT_EQ(to, c.textLeft + inkTo) << int(c.alignment) << c.rightToLeft;
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

TEST(DrawUtilsBiDiTest, ReadingOrderMirrorsOnlyWhereTheModeAsks)
{
    struct Case {
        TBiDiMode mode;
        unsigned in, out;
    } cases[] = {
        {bdLeftToRight, DT_LEFT | DT_VCENTER, DT_LEFT | DT_VCENTER},
        {bdRightToLeft, DT_LEFT | DT_VCENTER, DT_RIGHT | DT_VCENTER | DT_RTLREADING},
        {bdRightToLeft, DT_RIGHT, DT_LEFT | DT_RTLREADING},
        {bdRightToLeft, DT_CENTER, DT_CENTER | DT_RTLREADING},
        {bdRightToLeftNoAlign, DT_LEFT, DT_LEFT | DT_RTLREADING},
        {bdRightToLeftReadingOnly, DT_RIGHT, DT_RIGHT | DT_RTLREADING},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DrawUtils::DrawTextBiDiModeFlags(c.mode, c.in), c.out) << int(c.mode) << " " << c.in;
}

TEST(DrawUtilsIconTest, BitmapToIconAndBackKeepsPixelsAndSeeThroughParts)
{
    auto bitmap = Filled(8, 6, clFuchsia);
    bitmap->Canvas().Brush.Color = clBlue;
    bitmap->Canvas().FillRect(Rect(1, 2, 5, 6)); // reaches the bottom row
    bitmap->Canvas().SetPixels(7, 0, clLime);    // top right corner
    auto icon = DrawUtils::CreateIconFromBitmap(*bitmap, clFuchsia);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->Width(), 8);
    EXPECT_EQ(icon->Height(), 6);
    auto back = DrawUtils::CreateBitmapFromIcon(*icon, clYellow);
    EXPECT_EQ(back->TransparentColor() & 0xFFFFFF, ColorToRGB(clYellow));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            TColor expected = bitmap->Canvas().Pixels(x, y);
            if (expected == ColorToRGB(clFuchsia))
                expected = ColorToRGB(clYellow);
            ASSERT_EQ(back->Canvas().Pixels(x, y), expected) << x << "," << y;
        }
    // clDefault takes the bitmap's own key colour (its bottom-left pixel).
    auto keyed = Filled(4, 4, clGreen);
    keyed->Canvas().SetPixels(0, 0, clRed);
    auto own = DrawUtils::CreateIconFromBitmap(*keyed, clDefault);
    auto ownBack = DrawUtils::CreateBitmapFromIcon(*own, clWhite);
    EXPECT_EQ(ownBack->Canvas().Pixels(0, 0), ColorToRGB(clRed));
    EXPECT_EQ(ownBack->Canvas().Pixels(2, 2), ColorToRGB(clWhite));
}

TEST(DrawUtilsIconTest, ResourcesGiveBitmapsAndCursorsOrNothing)
{
    ui::EnsurePlatform();
    HMODULE self = rtl::HInstance();
    auto cells = DrawUtils::MakeModuleBitmap(self, "CELLS");
    ASSERT_TRUE(cells);
    EXPECT_EQ(cells->Width(), 4);
    EXPECT_EQ(cells->Canvas().Pixels(0, 0), ColorToRGB(clRed));
    EXPECT_EQ(cells->Canvas().Pixels(0, 1), ColorToRGB(clBlack));
    auto numbered = DrawUtils::MakeModuleBitmap(self, "#7");
    ASSERT_TRUE(numbered);
    EXPECT_EQ(numbered->Canvas().Pixels(1, 0), ColorToRGB(clLime));
    EXPECT_EQ(DrawUtils::MakeModuleBitmap(self, "NONE"), nullptr);
    EXPECT_EQ(DrawUtils::MakeModuleIcon(self, "NONE"), nullptr);
    EXPECT_EQ(DrawUtils::MakeModuleIcon(self, "CELLS"), nullptr); // not an icon resource

    const std::int16_t number = DrawUtils::DefineCursor(self, "SQUARE");
    EXPECT_GE(number, 100);
    EXPECT_NE(Screen->Cursors(number), Screen->Cursors(crDefault));
    EXPECT_THROW(DrawUtils::DefineCursor(self, "NONE"), EResNotFound);
    EXPECT_THROW(DrawUtils::ResourceNotFound(14000), EResNotFound);
}

TEST(DrawUtilsGeometryTest, PolygonInsideByWinding)
{
    // A five-pointed star drawn in one stroke: its centre is wound twice,
    // so it counts as inside (an even-odd rule would leave it out).
    const std::vector<TPoint> star = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
    struct Case {
        TPoint point;
        bool inside;
    } cases[] = {
        {{50, 50}, true},  // the centre
        {{50, 10}, true},  // the top point
        {{10, 80}, false}, // between two points
        {{0, 0}, false},   {{150, 50}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DrawUtils::PointInPolyRgn(c.point, star), c.inside) << c.point.X << "," << c.point.Y;
    EXPECT_FALSE(DrawUtils::PointInPolyRgn({0, 0}, {}));
}

TEST(DrawUtilsWindowTest, CentringKeepsTheWindowOnTheScreen)
{
    ui::EnsurePlatform();
    const int screenW = Screen->Width(), screenH = Screen->Height();
    struct Case {
        int width, height, left, top;
    } cases[] = {
        {200, 100, (screenW - 200) / 2, (screenH - 100) / 2},
        {screenW + 40, 100, 0, (screenH - 100) / 2}, // wider than the screen: at the left edge
        {100, screenH + 10, (screenW - 100) / 2, 0},
    };
    for (const Case& c : cases) {
        TForm form(nullptr);
        form.SetBounds(5, 5, c.width, c.height);
        DrawUtils::CenterWindow(&form);
        EXPECT_EQ(form.Left(), c.left) << c.width << "x" << c.height;
        EXPECT_EQ(form.Top(), c.top) << c.width << "x" << c.height;
        EXPECT_EQ(form.Width(), c.width);
    }
    const TRect area = DrawUtils::ScreenWorkArea();
    EXPECT_FALSE(area.IsEmpty());
    EXPECT_LE(area.Right, screenW);
}

TEST(DrawUtilsWindowTest, MergedFormBecomesABorderlessChild)
{
    ui::EnsurePlatform();
    TForm container(nullptr);
    container.SetBounds(0, 0, 300, 200);
    auto* child = new TForm(&container);
    child->SetBounds(10, 20, 100, 50);
    DrawUtils::MergeForm(&container, child, alClient, true);
    EXPECT_EQ(child->Parent(), &container);
    EXPECT_EQ(child->BorderStyle(), bsNone);
    EXPECT_TRUE(child->Visible());
    EXPECT_EQ(child->Width(), container.ClientWidth());
    EXPECT_EQ(DrawUtils::WindowClassName(container.Handle()), "TForm");
    EXPECT_EQ(DrawUtils::WindowClassName(nullptr), "");
}

TEST(DrawUtilsDialogTest, BoxesGoThroughTheScriptedLayer)
{
    ui::EnsurePlatform();
    ui::BeginDialogScript();
    ui::ClearRecordedDialogs();
    ui::ScriptAnswer(IDNO);
    EXPECT_EQ(DrawUtils::MsgBox("Titel", "Wirklich?", MB_YESNO), IDNO);
    ui::ScriptAnswer(mrCancel);
    EXPECT_EQ(DrawUtils::MsgDlg("Abbrechen?", mtConfirmation, mbOKCancel, 0), mrCancel);
    EXPECT_THROW(DrawUtils::NotImplemented(), EAbort);
    const auto& records = ui::RecordedDialogs();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Request.Caption, "Titel");
    EXPECT_EQ(records[0].Request.Text, "Wirklich?");
    EXPECT_EQ(records[1].Request.Text, "Abbrechen?");
    EXPECT_EQ(records[2].Request.Text, "Function not yet implemented");
    ui::EndDialogScript();
}

TEST(DrawUtilsSystemTest, EnvironmentLibrariesAndErrors)
{
    ::setenv("DRAWUTILS_LONG", std::string(3000, 'a').c_str(), 1);
    EXPECT_EQ(DrawUtils::GetEnvVar("DRAWUTILS_LONG").size(), 2048u);
    ::unsetenv("DRAWUTILS_UNSET");
    EXPECT_EQ(DrawUtils::GetEnvVar("DRAWUTILS_UNSET"), "");

    EXPECT_NO_THROW(DrawUtils::RaiseWin32Error(0));
    try {
        DrawUtils::RaiseWin32Error(ENOENT);
        FAIL() << "no error raised";
    } catch (const EWin32Error& e) {
        EXPECT_EQ(e.ErrorCode, ENOENT);
        EXPECT_NE(std::string(e.what()).find(std::strerror(ENOENT)), std::string::npos);
    }
    EXPECT_THROW(DrawUtils::LoadDLL("/nonexistent/libnothing.so"), EWin32Error);
    EXPECT_FALSE(DrawUtils::RegisterServer("libz.so.1")); // loads, but has no registration entry
}

TEST(KSConstTest, LibraryCursorsAreRegisteredOnceTheLoopRuns)
{
    ui::EnsurePlatform();
    Application->ProcessMessages(); // the library's start asked for the first turn
    const std::uintptr_t free = Screen->Cursors(crArrow);
    EXPECT_NE(Screen->Cursors(crHandCur), free);
    EXPECT_NE(Screen->Cursors(crDragCur), free);

    // The hot spots lie on the shapes, not on see-through pixels.
    struct Shape {
        std::unique_ptr<TBitmap> image;
        TPoint hot;
    } shapes[] = {{KSConst::HandCursorImage(), KSConst::HandHotSpot},
                  {KSConst::DragCursorImage(), KSConst::DragHotSpot}};
    for (const Shape& s : shapes) {
        EXPECT_EQ(s.image->Width(), 32);
        EXPECT_NE(s.image->Canvas().Pixels(s.hot.X, s.hot.Y), ColorToRGB(clFuchsia));
    }

    KSConst::UnregisterCursors();
    EXPECT_EQ(Screen->Cursors(crHandCur), free);
    KSConst::RegisterCursors();
    EXPECT_NE(Screen->Cursors(crHandCur), free);
}

TEST(ScreenCanvasTest, DrawingOnTheScreenReachesTheFormsUnderIt)
{
    ui::EnsurePlatform();
    TForm form(nullptr);
    form.SetBounds(30, 40, 120, 80);
    form.SetColor(clYellow);
    form.Show();
    Application->ProcessMessages();
    form.Repaint();
    const TPoint origin = form.ClientOrigin();
    TCanvas& window = *form.Canvas();
    ASSERT_EQ(window.Pixels(5, 5), ColorToRGB(clYellow));
    {
        TScreenCanvas screen;
        EXPECT_EQ(screen.Pixels(origin.X + 5, origin.Y + 5), ColorToRGB(clYellow)); // the form's picture
        screen.Brush.Color = clBlue;
        screen.FillRect(Rect(origin.X - 10, origin.Y - 10, origin.X + 10, origin.Y + 10)); // sticks out
        screen.SetOrigin(origin.X, origin.Y);
        screen.Brush.Color = clRed;
        screen.FillRect(Rect(50, 50, 52, 52)); // in client coordinates now
    }
    EXPECT_EQ(window.Pixels(0, 0), ColorToRGB(clBlue));
    EXPECT_EQ(window.Pixels(9, 9), ColorToRGB(clBlue));
    EXPECT_EQ(window.Pixels(10, 10), ColorToRGB(clYellow));
    EXPECT_EQ(window.Pixels(51, 51), ColorToRGB(clRed));

    // Inverting twice gives the picture back; a frame leaves its inside alone.
    DrawUtils::PaintInverseRect({origin.X + 60, origin.Y + 20}, {origin.X + 70, origin.Y + 30});
    EXPECT_EQ(window.Pixels(65, 25), ColorToRGB(clYellow) ^ 0xFFFFFF);
    EXPECT_EQ(window.Pixels(71, 25), ColorToRGB(clYellow));
    DrawUtils::PaintInverseRect({origin.X + 70, origin.Y + 30}, {origin.X + 60, origin.Y + 20});
    EXPECT_EQ(window.Pixels(65, 25), ColorToRGB(clYellow));
    DrawUtils::DrawInvertFrame(Bounds(origin.X + 20, origin.Y + 20, 20, 20), 2);
    EXPECT_NE(window.Pixels(20, 20), ColorToRGB(clYellow));
    EXPECT_EQ(window.Pixels(30, 30), ColorToRGB(clYellow));
}

TEST(DrawUtilsSystemTest, SystemNameAndMemoryComparison)
{
    EXPECT_EQ(DrawUtils::GetWindowsVersion().rfind("Linux ", 0), 0u);
    const char a[] = "abcd", b[] = "abXd";
    EXPECT_TRUE(DrawUtils::CompareMem(a, b, 2));
    EXPECT_FALSE(DrawUtils::CompareMem(a, b, 3));
}

TEST(DrawUtilsIconTest, AnimatedCursorShowsItsFirstFrame)
{
    ui::EnsurePlatform();
    HMODULE self = rtl::HInstance();
    EXPECT_NE(DrawUtils::LoadAniCursor(self, "TURNING"), 0u);
    EXPECT_EQ(DrawUtils::LoadAniCursor(self, "NONE"), 0u);
    EXPECT_EQ(DrawUtils::LoadAniCursor(self, "SQUARE"), 0u); // a plain cursor is no animated one
    // With no plain cursor of that name the animated one is defined.
    EXPECT_GE(DrawUtils::DefineCursor(self, "TURNING"), 100);

    const auto file = rtl::FindResource(self, "ANICURSOR", "TURNING");
    const auto plain = rtl::FindResource(self, RT_CURSOR, "SQUARE");
    ASSERT_TRUE(file && plain);
    const std::vector<std::uint8_t> whole(file->begin(), file->end());
    EXPECT_EQ(DrawUtils::FirstAniFrame(whole), std::vector<std::uint8_t>(plain->begin(), plain->end()));
    // Damaged files give no frame: cut anywhere, a chunk longer than the
    // file, another kind of file.
    for (std::size_t length = 0; length < whole.size(); length += 7) {
        std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_TRUE(DrawUtils::FirstAniFrame(cut).empty()) << length;
    }
    std::vector<std::uint8_t> oversized = whole;
    oversized[16] = 0xFF; // the size of the first chunk
    oversized[19] = 0x7F;
    EXPECT_TRUE(DrawUtils::FirstAniFrame(oversized).empty());
    std::vector<std::uint8_t> wave = whole;
    std::memcpy(wave.data() + 8, "WAVE", 4);
    EXPECT_TRUE(DrawUtils::FirstAniFrame(wave).empty());
}

TEST(DrawUtilsSystemTest, MemoBlocksKnowTheirSizeAndGrowZeroFilled)
{
    EXPECT_EQ(DrawUtils::AllocMemo(0), nullptr);
    EXPECT_EQ(DrawUtils::AllocMemo(-4), nullptr);
    void* block = DrawUtils::AllocMemo(6);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(DrawUtils::GetMemoSize(block), 6);
    const std::vector<char> zeros(64, 0);
    EXPECT_TRUE(DrawUtils::CompareMem(block, zeros.data(), 6));
    std::memcpy(block, "abcdef", 6);
    block = DrawUtils::ReallocMemo(block, 64);
    EXPECT_EQ(DrawUtils::GetMemoSize(block), 64);
    EXPECT_TRUE(DrawUtils::CompareMem(block, "abcdef", 6));
    EXPECT_TRUE(DrawUtils::CompareMem(static_cast<char*>(block) + 6, zeros.data(), 58)); // the new part is zero
    block = DrawUtils::ReallocMemo(block, 3);
    EXPECT_TRUE(DrawUtils::CompareMem(block, "abc", 3));
    DrawUtils::FreeMemo(block);
    EXPECT_EQ(block, nullptr);
    DrawUtils::FreeMemo(block); // again: nothing

    std::uint32_t items[] = {1, 2, 3, 4, 5};
    DrawUtils::HugeMove(items, 1, 0, 3); // overlapping: moved whole
    EXPECT_EQ(std::vector<std::uint32_t>(items, items + 5), (std::vector<std::uint32_t>{1, 1, 2, 3, 5}));
    EXPECT_STREQ(DrawUtils::StrPAlloc("Bild").get(), "Bild");
}

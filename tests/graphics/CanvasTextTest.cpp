#include "platform/graphics/CanvasText.h"

#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/ByteOrder.h"

namespace {

// A white 24-bit page with Liberation Sans at a 16-pixel em in black.
class CanvasTextTest : public ::testing::Test {
protected:
    CanvasTextTest() : page(240, 80, pf24bit), canvas(page.Canvas())
    {
        canvas.Brush.Color = clWhite;
        canvas.Brush.Style = bsSolid;
        canvas.FillRect({0, 0, 240, 80});
        canvas.Font.SetName("Liberation Sans");
        canvas.Font.SetHeight(-16);
        canvas.Font.SetColor(clBlack);
        canvas.Brush.Style = bsClear;
        lineHeight = gfx::GetTextMetrics(canvas).tmHeight;
    }

    int Width(const std::string& text) { return canvas.TextWidth(text); }

    // The rectangle DT_CALCRECT measures, from a box at the origin.
    TRect Measure(const std::string& text, int boxWidth, unsigned flags)
    {
        TRect r{0, 0, boxWidth, 1};
        const int height = gfx::DrawText(canvas, text, r, flags | DT_CALCRECT);
        EXPECT_EQ(height, r.Bottom);
        return r;
    }

    std::uint32_t PixelAt(int x, int y) { return rtl::GetLE24(page.ScanLine(y) + 3 * x); }

    // The box around every pixel that is no longer white; empty when none.
    TRect Ink()
    {
        TRect box{page.Width(), page.Height(), 0, 0};
        for (int y = 0; y < page.Height(); ++y)
            for (int x = 0; x < page.Width(); ++x)
                if (PixelAt(x, y) != 0xFFFFFF)
                    box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                           std::max(box.Bottom, y + 1)};
        return box.IsEmpty() ? TRect{} : box;
    }

    int InkCount()
    {
        int count = 0;
        for (int y = 0; y < page.Height(); ++y)
            for (int x = 0; x < page.Width(); ++x)
                count += PixelAt(x, y) != 0xFFFFFF;
        return count;
    }

    void Clear()
    {
        const TBrushStyle style = canvas.Brush.Style;
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = clWhite;
        canvas.FillRect({0, 0, page.Width(), page.Height()});
        canvas.Brush.Style = style;
    }

    TBitmap page;
    TCanvas& canvas;
    int lineHeight = 0;
};

TEST_F(CanvasTextTest, ExtentsAddUpGlyphAdvancesWithTheCellHeight)
{
    EXPECT_EQ(canvas.TextHeight("x"), lineHeight);
    EXPECT_EQ(canvas.TextExtent("").cx, 0);
    EXPECT_EQ(Width("Wg"), Width("W") + Width("g"));
    EXPECT_GT(Width("WWW"), Width("iii"));
    canvas.Font.SetHeight(-32);
    EXPECT_GT(canvas.TextHeight("x"), lineHeight);
}

TEST_F(CanvasTextTest, CalcRectCountsLinesAndMeasuresTheWidest)
{
    const std::string text = "Wort Wort Wort";
    struct Case {
        std::string text;
        int boxWidth;
        unsigned flags;
        int lines;
        int width;
    };
    const Case cases[] = {
        {text, 10, 0, 1, Width(text)},
        {text, Width("Wort Wort"), DT_WORDBREAK, 2, Width("Wort Wort")},
        {text, Width("Wort Wort") - 1, DT_WORDBREAK, 3, Width("Wort")}, // each word alone
        {text, 1, DT_WORDBREAK, 3, Width("Wort")},                      // words wider than the box stay whole
        {text, Width(text), DT_WORDBREAK | DT_SINGLELINE, 1, Width(text)},
        {"a\r\nbb\nccc\rd", 500, 0, 4, Width("ccc")},
        {"a\r\nbb\nccc\rd", 500, DT_SINGLELINE, 1, Width("abbcccd")},
        {"a\n", 500, 0, 1, Width("a")},
        {"\n", 500, 0, 1, 0},
        {"a\n\nb", 500, 0, 3, Width("a")},
        {"", 500, 0, 0, 0},
        {"Wort  \r\nWort Wort", Width("Wort"), DT_WORDBREAK, 3, Width("Wort")}, // blanks at a break drop
        {"&Datei", 500, 0, 1, Width("Datei")},
        {"A&&B", 500, 0, 1, Width("A&B")},
        {"&Datei", 500, DT_NOPREFIX, 1, Width("&Datei")},
        {"Ende&", 500, 0, 1, Width("Ende")},
    };
    for (const Case& c : cases) {
        const TRect r = Measure(c.text, c.boxWidth, c.flags);
        EXPECT_EQ(r.Bottom, c.lines * lineHeight) << c.text << " in " << c.boxWidth;
        EXPECT_EQ(r.Right, c.width) << c.text << " in " << c.boxWidth;
    }
}

TEST_F(CanvasTextTest, TabsExpandToMultiplesOfEightAverageCharacters)
{
    const int stop = 8 * gfx::GetTextMetrics(canvas).tmAveCharWidth;
    ASSERT_LT(Width("a"), stop);
    EXPECT_EQ(Measure("a\tb", 500, DT_EXPANDTABS).Right, stop + Width("b"));
    EXPECT_EQ(Measure("\t\tb", 500, DT_EXPANDTABS).Right, 2 * stop + Width("b"));
}

TEST_F(CanvasTextTest, EllipsesKeepTheLineInsideTheBox)
{
    const std::string path = "C:\\Bilder\\Urlaub\\2000\\bild.jpg";
    const int box = Width(path) / 2;
    const TRect end = Measure(path, box, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(end.Right, box);
    EXPECT_GT(end.Right, box - Width("W..."));
    const TRect middle = Measure(path, box, DT_SINGLELINE | DT_PATH_ELLIPSIS);
    EXPECT_LE(middle.Right, box);
    EXPECT_GE(middle.Right, Width("...\\bild.jpg"));
    EXPECT_EQ(Measure(path, 1000, DT_SINGLELINE | DT_END_ELLIPSIS).Right, Width(path));
    EXPECT_EQ(Measure("", -5, DT_SINGLELINE | DT_END_ELLIPSIS).Bottom, 0);
}

TEST_F(CanvasTextTest, LongTextsAreLaidOutInLinearTime)
{
    std::string words;
    for (int i = 0; i < 20000; ++i)
        words += "Wort ";
    std::string thousand;
    for (int i = 0; i < 1000; ++i)
        thousand += i ? " Wort" : "Wort";
    EXPECT_EQ(Measure(words, Width(thousand), DT_WORDBREAK).Bottom, 20 * lineHeight);
    const std::string line(200000, 'W');
    EXPECT_LE(Measure(line, 100, DT_SINGLELINE | DT_END_ELLIPSIS).Right, 100);
    EXPECT_LE(Measure(line + "\\x.jpg", 100, DT_SINGLELINE | DT_PATH_ELLIPSIS).Right, 100);
}

TEST_F(CanvasTextTest, TextIsClippedToTheRectangleUnlessNoClip)
{
    TRect box{10, 10, 60, 10 + lineHeight};
    gfx::DrawText(canvas, "WWWWWWWWWW", box, DT_SINGLELINE);
    const TRect clipped = Ink();
    EXPECT_GE(clipped.Left, box.Left);
    EXPECT_LE(clipped.Right, box.Right);
    EXPECT_GT(clipped.Right, box.Right - 4);
    Clear();
    gfx::DrawText(canvas, "WWWWWWWWWW", box, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(Ink().Right, box.Right + 20);
}

TEST_F(CanvasTextTest, LinesAreAlignedInsideTheRectangle)
{
    TRect box{20, 0, 220, 40};
    const int free = box.Width() - Width("Mitte");
    gfx::DrawText(canvas, "Mitte", box, DT_SINGLELINE | DT_LEFT);
    const TRect left = Ink();
    for (const auto& [flags, shift] : {std::pair{DT_CENTER, free / 2}, std::pair{DT_RIGHT, free}}) {
        Clear();
        gfx::DrawText(canvas, "Mitte", box, DT_SINGLELINE | flags);
        EXPECT_EQ(Ink(), gfx::OffsetRect(left, shift, 0)) << flags;
    }
}

TEST_F(CanvasTextTest, SingleLinesCentreOrSitAtTheBottom)
{
    TRect box{0, 0, 200, 60};
    Clear();
    EXPECT_EQ(gfx::DrawText(canvas, "Wy", box, DT_SINGLELINE), lineHeight);
    const TRect top = Ink();
    Clear();
    EXPECT_EQ(gfx::DrawText(canvas, "Wy", box, DT_SINGLELINE | DT_VCENTER), (60 - lineHeight) / 2 + lineHeight);
    EXPECT_EQ(Ink(), gfx::OffsetRect(top, 0, (60 - lineHeight) / 2));
    Clear();
    EXPECT_EQ(gfx::DrawText(canvas, "Wy", box, DT_SINGLELINE | DT_BOTTOM), 60);
    EXPECT_EQ(Ink(), gfx::OffsetRect(top, 0, 60 - lineHeight));
}

TEST_F(CanvasTextTest, AnOpaqueBrushFillsEachLineCell)
{
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clRed;
    TRect box{5, 5, 235, 75};
    gfx::DrawText(canvas, "ab\nabc", box, 0);
    EXPECT_EQ(PixelAt(5, 5), 0xFF0000u);
    EXPECT_EQ(PixelAt(5 + Width("abc") - 1, 5 + 2 * lineHeight - 1), 0xFF0000u);
    EXPECT_EQ(PixelAt(5 + Width("ab"), 5), 0xFFFFFFu); // beyond the first line's cell
    EXPECT_EQ(PixelAt(5, 5 + 2 * lineHeight), 0xFFFFFFu);

    Clear();
    canvas.Brush.Style = bsClear;
    gfx::DrawText(canvas, "ab\nabc", box, 0);
    EXPECT_EQ(PixelAt(5, 5), 0xFFFFFFu);
    EXPECT_GT(InkCount(), 0);
}

TEST_F(CanvasTextTest, APrefixUnderlinesItsCharacter)
{
    TRect box{10, 10, 200, 70};
    gfx::DrawText(canvas, "x", box, 0);
    const TRect plain = Ink();
    const int plainCount = InkCount();
    Clear();
    gfx::DrawText(canvas, "&x", box, 0);
    const TRect underlined = Ink();
    EXPECT_GT(underlined.Bottom, plain.Bottom);
    EXPECT_GE(InkCount(), plainCount + Width("x") - 1);
    Clear();
    gfx::DrawText(canvas, "&x", box, DT_NOPREFIX);
    EXPECT_GT(Ink().Width(), plain.Width()); // the "&" is drawn
}

TEST_F(CanvasTextTest, TextOutMovesThePenAndTextRectClips)
{
    canvas.TextOut(7, 3, "Wort");
    EXPECT_EQ(canvas.PenPos(), (TPoint{7 + Width("Wort"), 3}));
    const TRect ink = Ink();
    EXPECT_GE(ink.Top, 3);
    EXPECT_LE(ink.Bottom, 3 + lineHeight);

    Clear();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clBlue;
    canvas.TextRect({50, 20, 70, 40}, 45, 20, "WWWW");
    EXPECT_EQ(Ink(), (TRect{50, 20, 70, 40})); // filled and clipped to the rectangle
}

} // namespace

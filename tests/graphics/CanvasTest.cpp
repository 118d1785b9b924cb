// Canvas drawing with the desktop's pixel rules, clipping, origins, state.

#include "platform/graphics/Canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/graphics/Bitmap.h"

namespace {

// A white 24-bit bitmap; pictures show black as '#', white as '.', other
// colours as 'o'.
class CanvasTest : public ::testing::Test {
protected:
    void Reset(int w, int h)
    {
        bitmap_.SetSize(0, 0);
        bitmap_.SetPixelFormat(pf24bit);
        bitmap_.SetSize(w, h);
        TCanvas& c = bitmap_.Canvas();
        c.Brush.Color = clWhite;
        c.Brush.Style = bsSolid;
        c.FillRect({0, 0, w, h});
    }
    void SetUp() override { Reset(8, 6); }

    std::string Picture()
    {
        std::string s;
        for (int y = 0; y < bitmap_.Height(); ++y) {
            for (int x = 0; x < bitmap_.Width(); ++x) {
                const std::uint32_t v = gfx::ReadPixel(bitmap_.PixelBuffer(), x, y);
                s += v == 0 ? '#' : v == 0xFFFFFF ? '.' : 'o';
            }
            s += '\n';
        }
        return s;
    }
    TCanvas& C() { return bitmap_.Canvas(); }

    TBitmap bitmap_;
};

TEST_F(CanvasTest, FillRectAndRectangleLeaveOutRightAndBottomEdges)
{
    C().Brush.Color = clBlack;
    C().FillRect({1, 1, 4, 3});
    EXPECT_EQ(Picture(),
              "........\n"
              ".###....\n"
              ".###....\n"
              "........\n"
              "........\n"
              "........\n");
    Reset(8, 6);
    C().Brush.Color = clRed;
    C().Rectangle(1, 1, 6, 5);
    EXPECT_EQ(Picture(),
              "........\n"
              ".#####..\n"
              ".#ooo#..\n"
              ".#ooo#..\n"
              ".#####..\n"
              "........\n");
    // Without a pen the interior ends one pixel earlier on the right and bottom.
    Reset(8, 6);
    C().Pen.Style = psClear;
    C().Brush.Color = clBlack;
    C().Rectangle(1, 1, 6, 5);
    EXPECT_EQ(Picture(),
              "........\n"
              ".####...\n"
              ".####...\n"
              ".####...\n"
              "........\n"
              "........\n");
}

// Solid fills write whole rows in blocks: every span length and start must
// touch exactly its own pixels, and a 32-bit pixel keeps its fourth byte.
TEST(SolidFillTest, FillsExactlyTheSpanInEveryLengthAndStart)
{
    constexpr std::uint8_t Untouched = 0xAB;
    for (TPixelFormat format : {pf24bit, pf32bit}) {
        const int bytesPerPixel = format == pf24bit ? 3 : 4;
        for (int start : {0, 1, 2}) {
            for (int length : {1, 2, 3, 4, 5, 8, 17, 33, 100}) {
                TBitmap bitmap(start + length + 3, 1, format);
                std::uint8_t* row = bitmap.ScanLine(0);
                std::fill(row, row + bitmap.Width() * bytesPerPixel, Untouched);
                bitmap.Canvas().Brush.Color = static_cast<TColor>(0x123456); // red 0x56, green 0x34, blue 0x12
                bitmap.Canvas().FillRect({start, 0, start + length, 1});
                for (int x = 0; x < bitmap.Width(); ++x) {
                    const std::uint8_t* p = row + x * bytesPerPixel;
                    const bool inside = x >= start && x < start + length;
                    const std::vector<int> expected = inside ? std::vector<int>{0x12, 0x34, 0x56}
                                                             : std::vector<int>{Untouched, Untouched, Untouched};
                    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2]}), expected)
                        << bytesPerPixel * 8 << " bit, span " << start << "+" << length << ", pixel " << x;
                    if (bytesPerPixel == 4) {
                        EXPECT_EQ(p[3], Untouched) << "span " << start << "+" << length << ", pixel " << x;
                    }
                }
            }
        }
    }
}

TEST_F(CanvasTest, FrameRectAndClearBrush)
{
    C().Brush.Color = clBlack;
    C().FrameRect({1, 1, 5, 4});
    C().Brush.Style = bsClear;
    C().FillRect({0, 0, 8, 6});
    EXPECT_EQ(Picture(),
              "........\n"
              ".####...\n"
              ".#..#...\n"
              ".####...\n"
              "........\n"
              "........\n");
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPoint)
{
    C().MoveTo(0, 0);
    C().LineTo(4, 0);
    C().MoveTo(0, 2);
    C().LineTo(3, 5);
    C().MoveTo(7, 5);
    C().LineTo(7, 1);
    EXPECT_EQ(Picture(),
              "####....\n"
              "........\n"
              "#......#\n"
              ".#.....#\n"
              "..#....#\n"
              ".......#\n");
    EXPECT_EQ(C().PenPos(), (TPoint{7, 1}));
    // A polyline draws every corner, only the last point is left out.
    Reset(8, 6);
    C().Polyline({{0, 0}, {3, 0}, {3, 3}, {0, 3}});
    EXPECT_EQ(Picture(),
              "####....\n"
              "...#....\n"
              "...#....\n"
              ".###....\n"
              "........\n"
              "........\n");
}

TEST_F(CanvasTest, WidePensAndStyledPens)
{
    C().Pen.Width = 3;
    C().MoveTo(1, 2);
    C().LineTo(6, 2);
    // Three rows thick, centred on the line, end point included with its cap.
    for (int x = 1; x <= 6; ++x)
        for (int y = 1; y <= 3; ++y)
            EXPECT_EQ(C().Pixels(x, y), clBlack) << x << "," << y;
    EXPECT_EQ(C().Pixels(3, 0), clWhite);
    EXPECT_EQ(C().Pixels(3, 4), clWhite);

    Reset(30, 1);
    C().Pen.Width = 1; // styles apply to one-pixel pens
    C().Pen.Style = psDot;
    C().MoveTo(0, 0);
    C().LineTo(30, 0);
    EXPECT_EQ(Picture(), "###...###...###...###...###...\n");
}

TEST_F(CanvasTest, PenModesCombineWithTheDestination)
{
    C().Brush.Style = bsClear;
    C().Pen.Mode = pmXor;
    C().Pen.Color = clWhite;
    C().Rectangle(0, 0, 4, 4);
    const std::string once = Picture();
    EXPECT_EQ(once.substr(0, 9), "####....\n");
    C().Rectangle(0, 0, 4, 4);
    EXPECT_EQ(Picture().find('#'), std::string::npos);
    C().Pen.Mode = pmNot;
    C().MoveTo(0, 5);
    C().LineTo(2, 5);
    EXPECT_EQ(Picture().substr(45), "##......\n");
    C().Pen.Mode = pmNop;
    C().MoveTo(0, 0);
    C().LineTo(8, 0);
    EXPECT_EQ(Picture().substr(0, 9), "........\n");
}

TEST_F(CanvasTest, EllipseFillsInsideItsOutline)
{
    Reset(9, 7);
    C().Brush.Color = clRed;
    C().Ellipse(0, 0, 9, 7);
    const std::string p = Picture();
    EXPECT_EQ(p,
              "..#####..\n"
              ".#ooooo#.\n"
              "#ooooooo#\n"
              "#ooooooo#\n"
              "#ooooooo#\n"
              ".#ooooo#.\n"
              "..#####..\n");
}

TEST_F(CanvasTest, PolygonFillMeetsItsOutlineOnSlantedEdges)
{
    // Outline and fill both black on convex shapes: a white pixel between the
    // leftmost and rightmost black pixel of a row is a gap between the two.
    const std::vector<TPoint> shapes[] = {
        {{5, 2}, {5, 13}, {12, 8}},
        {{1, 14}, {14, 15}, {9, 3}},
        {{2, 2}, {13, 5}, {11, 13}, {3, 9}},
    };
    for (const auto& shape : shapes) {
        Reset(16, 16);
        C().Brush.Color = clBlack;
        C().Polygon(shape);
        const std::string picture = Picture();
        for (size_t row = 0; row < 16; ++row) {
            const std::string line = picture.substr(row * 17, 16);
            const size_t first = line.find('#'), last = line.rfind('#');
            if (first == std::string::npos)
                continue;
            EXPECT_EQ(line.substr(first, last - first + 1).find('.'), std::string::npos) << "row " << row << "\n"
                                                                                         << picture;
        }
    }
}

TEST_F(CanvasTest, PolygonAndPieAndRoundRect)
{
    C().Brush.Color = clRed;
    C().Polygon({{0, 0}, {5, 0}, {5, 4}, {0, 4}});
    EXPECT_EQ(Picture(),
              "######..\n"
              "#oooo#..\n"
              "#oooo#..\n"
              "#oooo#..\n"
              "######..\n"
              "........\n");
    // A quarter pie from 3 o'clock to 12 o'clock: only the top-right part.
    Reset(20, 20);
    C().Brush.Color = clRed;
    C().Pie(0, 0, 20, 20, 20, 10, 10, 0);
    EXPECT_EQ(C().Pixels(15, 5), clRed);
    EXPECT_EQ(C().Pixels(5, 5), clWhite);
    EXPECT_EQ(C().Pixels(5, 15), clWhite);
    EXPECT_EQ(C().Pixels(15, 15), clWhite);
    EXPECT_EQ(C().Pixels(10, 1), clBlack); // radius towards 12 o'clock
    // Arcs run counter-clockwise: from 3 o'clock to 9 o'clock is the top half.
    Reset(20, 20);
    C().Arc(0, 0, 20, 20, 20, 10, 0, 10);
    EXPECT_EQ(C().Pixels(10, 0), clBlack);
    EXPECT_EQ(C().Pixels(10, 19), clWhite);
    EXPECT_EQ(C().Pixels(10, 5), clWhite);
    Reset(20, 20);
    C().Brush.Color = clRed;
    C().Chord(0, 0, 20, 20, 20, 10, 0, 10);
    EXPECT_EQ(C().Pixels(10, 5), clRed);
    EXPECT_EQ(C().Pixels(10, 15), clWhite);
    EXPECT_EQ(C().Pixels(10, 10), clBlack); // the chord itself
    Reset(10, 10);
    C().RoundRect(0, 0, 10, 10, 6, 6);
    EXPECT_EQ(C().Pixels(0, 0), clWhite);
    EXPECT_EQ(C().Pixels(5, 0), clBlack);
    EXPECT_EQ(C().Pixels(5, 5), clWhite);
}

TEST_F(CanvasTest, FloodFillStopsAtTheBorderOrTheSurface)
{
    C().Brush.Style = bsClear;
    C().Rectangle(1, 1, 6, 5);
    C().Brush.Style = bsSolid;
    C().Brush.Color = clRed;
    C().FloodFill(3, 2, clWhite, fsSurface);
    EXPECT_EQ(Picture(),
              "........\n"
              ".#####..\n"
              ".#ooo#..\n"
              ".#ooo#..\n"
              ".#####..\n"
              "........\n");
    C().Brush.Color = clBlack;
    C().FloodFill(0, 0, clBlack, fsBorder);
    EXPECT_EQ(Picture(),
              "########\n"
              "########\n"
              "##ooo###\n"
              "##ooo###\n"
              "########\n"
              "########\n");
}

TEST_F(CanvasTest, FocusRectInvertsEveryOtherPixelAndUndoesItself)
{
    C().DrawFocusRect({0, 0, 5, 4});
    EXPECT_EQ(Picture(),
              "#.#.#...\n"
              "........\n"
              "#...#...\n"
              ".#.#....\n"
              "........\n"
              "........\n");
    C().DrawFocusRect({0, 0, 5, 4});
    EXPECT_EQ(Picture().find('#'), std::string::npos);
}

TEST_F(CanvasTest, PixelsReadAndWriteInsideTheClipOnly)
{
    C().SetPixels(2, 3, clRed);
    EXPECT_EQ(C().Pixels(2, 3), clRed);
    EXPECT_EQ(C().Pixels(8, 0), -1);
    C().IntersectClipRect({0, 0, 2, 2});
    C().SetPixels(3, 3, clRed);
    EXPECT_EQ(C().Pixels(3, 3), -1);
    C().SetClipRegion(nullptr);
    EXPECT_EQ(C().Pixels(3, 3), clWhite);
}

TEST_F(CanvasTest, ClipRegionsAndRectangles)
{
    const TRegion ellipse = TRegion::FromEllipse({0, 0, 8, 6});
    EXPECT_EQ(gfx::SelectClipRgn(C(), &ellipse), COMPLEXREGION);
    C().ExcludeClipRect({3, 0, 5, 6});
    C().Brush.Color = clBlack;
    C().FillRect({0, 0, 8, 6});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool painted = ellipse.Contains(x, y) && (x < 3 || x >= 5);
            EXPECT_EQ(gfx::ReadPixel(bitmap_.PixelBuffer(), x, y), painted ? 0u : 0xFFFFFFu) << x << "," << y;
        }
    EXPECT_EQ(C().ClipRect(), (TRect{0, 0, 8, 6}));
}

TEST_F(CanvasTest, WindowAndViewportOriginsMoveTheDrawing)
{
    C().SetWindowOrg({10, 10});
    C().SetViewportOrg({1, 0});
    C().Brush.Color = clBlack;
    C().FillRect({10, 10, 12, 12});
    EXPECT_EQ(Picture().substr(0, 18), ".##.....\n.##.....\n");
    EXPECT_EQ(C().Pixels(10, 10), clBlack);
    EXPECT_EQ(C().ClipRect(), (TRect{9, 10, 17, 16}));
}

TEST_F(CanvasTest, SaveAndRestoreStateBringBackPenBrushClipAndOrigins)
{
    C().Pen.Color = clRed;
    const int id = gfx::SaveDC(C());
    C().Pen.Color = clBlue;
    C().Brush.Style = bsClear;
    C().SetWindowOrg({3, 3});
    C().IntersectClipRect({0, 0, 1, 1});
    gfx::SaveDC(C());
    EXPECT_TRUE(gfx::RestoreDC(C(), id));
    EXPECT_EQ(C().Pen.Color, clRed);
    EXPECT_EQ(C().Brush.Style, bsSolid);
    EXPECT_EQ(C().WindowOrg(), (TPoint{0, 0}));
    EXPECT_FALSE(C().HasClipRegion());
    EXPECT_FALSE(gfx::RestoreDC(C(), id)); // already given back
    EXPECT_FALSE(gfx::RestoreDC(C(), -1));
}

TEST_F(CanvasTest, PathClipBecomesARegion)
{
    C().BeginPath();
    C().MoveTo(1, 1);
    C().LineTo(5, 1);
    C().LineTo(5, 4);
    C().LineTo(1, 4);
    C().LineTo(1, 1);
    C().EndPath();
    EXPECT_EQ(Picture().find('#'), std::string::npos); // paths draw nothing
    ASSERT_TRUE(C().SelectClipPath(RGN_COPY));
    C().Brush.Color = clBlack;
    C().FillRect({0, 0, 8, 6});
    EXPECT_EQ(Picture(),
              "........\n"
              ".####...\n"
              ".####...\n"
              ".####...\n"
              "........\n"
              "........\n");
}

TEST_F(CanvasTest, GlyphMasksAreClippedAndBlended)
{
    const std::uint8_t mask[2 * 3] = {255, 0, 255, 255, 128, 0};
    C().IntersectClipRect({0, 0, 8, 1});
    C().SetViewportOrg({1, 0});
    C().DrawGlyphMask(0, 0, mask, 3, 2, 3, clBlack);
    EXPECT_EQ(Picture().substr(0, 18), ".#.#....\n........\n");
    C().SetClipRegion(nullptr);
    C().DrawGlyphMask(0, 0, mask, 3, 2, 3, clBlack);
    EXPECT_EQ(gfx::ReadPixel(bitmap_.PixelBuffer(), 2, 1), 0x7F7F7Fu);
}

TEST_F(CanvasTest, CopyRectUsesCopyModeAndStretchDrawScales)
{
    TBitmap small(2, 2, pf24bit); // black when new
    small.Canvas().Brush.Color = clWhite;
    small.Canvas().FillRect({1, 0, 2, 2});
    C().CopyRect({0, 0, 4, 4}, small.Canvas(), {0, 0, 2, 2});
    EXPECT_EQ(Picture().substr(0, 9), "##......\n");
    C().CopyMode = cmDstInvert;
    C().CopyRect({0, 0, 4, 1}, small.Canvas(), {0, 0, 2, 2});
    EXPECT_EQ(Picture().substr(0, 9), "..##....\n");
    Reset(8, 6);
    C().CopyMode = cmSrcCopy;
    C().StretchDraw({0, 0, 8, 2}, small);
    EXPECT_EQ(Picture().substr(0, 18), "####....\n####....\n");
    C().Draw(6, 4, small);
    EXPECT_EQ(Picture().substr(36), "......#.\n......#.\n");
}

TEST_F(CanvasTest, BrushCopyReplacesTheKeyColourWithTheBrush)
{
    TBitmap glyph(2, 1, pf24bit);
    gfx::WritePixel(glyph.PixelBuffer(), 0, 0, 0xFF00FF);
    C().Brush.Color = clBlack;
    C().BrushCopy({0, 0, 2, 1}, glyph, {0, 0, 2, 1}, clFuchsia);
    EXPECT_EQ(Picture().substr(0, 9), "##......\n");
}

TEST_F(CanvasTest, LockSerialisesThreads)
{
    C().Lock();
    EXPECT_EQ(C().LockCount(), 1);
    bool other = true;
    std::thread t([&] { other = C().TryLock(); });
    t.join();
    EXPECT_FALSE(other);
    C().Unlock();
    std::thread t2([&] {
        other = C().TryLock();
        if (other)
            C().Unlock();
    });
    t2.join();
    EXPECT_TRUE(other);
}

TEST(CanvasSurfaceTest, DrawsIntoMemoryTheUiLayerOwns)
{
    std::uint32_t pixels[4 * 3] = {};
    TMemorySurface surface(reinterpret_cast<std::uint8_t*>(pixels), 3, 3, 16);
    struct Watch : TCanvas {
        using TCanvas::TCanvas;
        TRect Last;
        void Changed(const TRect& area) override { Last = area; }
    } canvas(&surface);
    canvas.Brush.Color = clRed;
    canvas.FillRect({1, 1, 5, 5});
    EXPECT_EQ(pixels[4 + 1], 0xFF0000u);
    EXPECT_EQ(pixels[4 * 2 + 2], 0xFF0000u);
    EXPECT_EQ(pixels[3], 0u); // the padding column beyond the width stays
    EXPECT_EQ(canvas.Last, (TRect{1, 1, 3, 3}));
}

TEST(BitmapCanvasTest, DeviceCapsDescribeTheSurface)
{
    TBitmap device(5, 4), wide(2, 2, pf32bit);
    EXPECT_EQ(gfx::GetDeviceCaps(device.Canvas(), BITSPIXEL), 24);
    EXPECT_EQ(gfx::GetDeviceCaps(wide.Canvas(), BITSPIXEL), 32);
    EXPECT_EQ(gfx::GetDeviceCaps(device.Canvas(), HORZRES), 5);
    EXPECT_EQ(gfx::GetDeviceCaps(device.Canvas(), LOGPIXELSY), 96);
}

TEST(BitmapCanvasTest, DrawingFiresTheBitmapsChange)
{
    TBitmap b(2, 2, pf24bit);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.Canvas().FillRect({0, 0, 1, 1});
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(b.Modified());
}

} // namespace

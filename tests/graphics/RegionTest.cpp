// Regions: shapes by pixel centres, combinations, box, point test, offset.

#include "platform/graphics/Region.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The region as rows of '#' and '.' over a w x h window.
std::string Picture(const TRegion& r, int w, int h)
{
    std::string s;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            s += r.Contains(x, y) ? '#' : '.';
        s += '\n';
    }
    return s;
}

TEST(RegionTest, RectangleLeavesOutItsRightAndBottomEdges)
{
    const TRegion r(TRect{1, 1, 4, 3});
    EXPECT_EQ(Picture(r, 5, 4),
              ".....\n"
              ".###.\n"
              ".###.\n"
              ".....\n");
    EXPECT_EQ(r.Kind(), SIMPLEREGION);
    EXPECT_EQ(TRegion(TRect{3, 3, 3, 8}).Kind(), NULLREGION);
    // Swapped corners describe the same rectangle.
    EXPECT_EQ(TRegion(TRect{4, 3, 1, 1}), r);
}

TEST(RegionTest, EllipseAndRoundRectHoldThePixelCentresInside)
{
    EXPECT_EQ(Picture(TRegion::FromEllipse({0, 0, 9, 5}), 9, 5),
              "..#####..\n"
              "#########\n"
              "#########\n"
              "#########\n"
              "..#####..\n");
    EXPECT_EQ(Picture(TRegion::FromRoundRect({0, 0, 7, 5}, 4, 4), 7, 5),
              ".#####.\n"
              "#######\n"
              "#######\n"
              "#######\n"
              ".#####.\n");
    EXPECT_EQ(TRegion::FromEllipse({0, 0, 1, 1}).Box(), (TRect{0, 0, 1, 1}));
}

TEST(RegionTest, PolygonFillModesDifferOnlyForSelfOverlap)
{
    const TPoint triangle[] = {{0, 0}, {6, 0}, {0, 6}};
    // Centres on the slanted edge count as outside, like the right edge.
    EXPECT_EQ(Picture(TRegion::FromPolygon(triangle, 3), 6, 6),
              "#####.\n"
              "####..\n"
              "###...\n"
              "##....\n"
              "#.....\n"
              "......\n");
    // A square traced twice round: alternate leaves it empty, winding fills it.
    const TPoint twice[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {4, 0}, {4, 4}, {0, 4}};
    EXPECT_TRUE(TRegion::FromPolygon(twice, 8, ALTERNATE).IsEmpty());
    EXPECT_EQ(TRegion::FromPolygon(twice, 8, WINDING), TRegion(TRect{0, 0, 4, 4}));
}

TEST(RegionTest, CombinesWithEveryMode)
{
    const TRegion a(TRect{0, 0, 4, 3}), b(TRect{2, 1, 6, 4});
    const struct {
        int Mode;
        const char* Expected;
        int Kind;
    } cases[] = {
        {RGN_AND, "......\n..##..\n..##..\n......\n", SIMPLEREGION},
        {RGN_OR, "####..\n######\n######\n..####\n", COMPLEXREGION},
        {RGN_XOR, "####..\n##..##\n##..##\n..####\n", COMPLEXREGION},
        {RGN_DIFF, "####..\n##....\n##....\n......\n", COMPLEXREGION},
        {RGN_COPY, "####..\n####..\n####..\n......\n", SIMPLEREGION},
    };
    for (const auto& c : cases) {
        TRegion out;
        EXPECT_EQ(gfx::CombineRgn(out, a, b, c.Mode), c.Kind) << c.Mode;
        EXPECT_EQ(Picture(out, 6, 4), c.Expected) << c.Mode;
    }
    TRegion out;
    EXPECT_EQ(gfx::CombineRgn(out, a, b, 99), RGN_ERROR);
    EXPECT_EQ(gfx::CombineRgn(out, a, a, RGN_DIFF), NULLREGION);
    // Pieces that touch merge back into one rectangle.
    EXPECT_EQ(TRegion::Combined(TRegion(TRect{0, 0, 2, 2}), TRegion(TRect{2, 0, 5, 2}), RGN_OR).Kind(), SIMPLEREGION);
    EXPECT_EQ(TRegion::Combined(TRegion(TRect{0, 0, 2, 2}), TRegion(TRect{0, 2, 2, 5}), RGN_OR).Kind(), SIMPLEREGION);
}

TEST(RegionTest, BoxPointTestAndOffset)
{
    TRegion r = TRegion::Combined(TRegion(TRect{0, 0, 2, 2}), TRegion(TRect{5, 4, 7, 9}), RGN_OR);
    TRect box;
    EXPECT_EQ(gfx::GetRgnBox(r, box), COMPLEXREGION);
    EXPECT_EQ(box, (TRect{0, 0, 7, 9}));
    EXPECT_TRUE(gfx::PtInRegion(r, 6, 8));
    EXPECT_FALSE(gfx::PtInRegion(r, 6, 9));
    EXPECT_FALSE(gfx::PtInRegion(r, 3, 3));
    gfx::OffsetRgn(r, -5, 10);
    EXPECT_EQ(r.Box(), (TRect{-5, 10, 2, 19}));
    EXPECT_TRUE(r.Contains(0, 14));
    EXPECT_EQ(TRegion().Box(), TRect{});
}

} // namespace

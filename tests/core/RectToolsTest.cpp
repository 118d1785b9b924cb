#include "core/RectTools.h"

#include <gtest/gtest.h>

namespace {

using namespace RectTools;

void ExpectRect(const TRect& actual, const TRect& expected)
{
    EXPECT_TRUE(CompareRect(actual, expected))
        << "(" << actual.Left << ", " << actual.Top << ", " << actual.Right << ", " << actual.Bottom << ")";
}

TEST(RectToolsTest, ProportionalScaleFitsInside)
{
    struct Case {
        TRect src, box;
        bool centre;
        TRect expected;
    } cases[] = {
        {Rect(0, 0, 1000, 10), Rect(0, 0, 80, 60), false, Rect(0, 0, 80, 1)}, // 0.8 truncates to 0, then 1
        {Rect(0, 0, 100, 50), Rect(10, 20, 410, 320), true, Rect(10, 70, 410, 270)},
        {Rect(0, 0, 50, 100), Rect(10, 20, 410, 320), true, Rect(135, 20, 285, 320)},
        {Rect(0, 0, 50, 100), Rect(10, 20, 410, 320), false, Rect(10, 20, 160, 320)},
        {Rect(0, 0, 100, 50), Rect(5, 5, 5, 60), false, Rect(5, 5, 6, 6)}, // no box width
        {Rect(0, 0, 0, 50), Rect(0, 0, 80, 60), false, Rect(0, 0, 1, 1)},  // empty source
        {Rect(0, 0, 100, 0), Rect(0, 0, 80, 60), true, Rect(39, 29, 40, 30)},
    };
    for (const Case& c : cases)
        ExpectRect(ProportionalScale(c.src, c.box, c.centre), c.expected);
}

TEST(RectToolsTest, ProportionalScaleMaxCovers)
{
    struct Case {
        TRect src, box;
        bool centre;
        TRect expected;
    } cases[] = {
        {Rect(0, 0, 100, 50), Rect(0, 0, 100, 100), true, Rect(-50, 0, 150, 100)},
        {Rect(0, 0, 100, 50), Rect(0, 0, 101, 100), true, Rect(-50, 0, 150, 100)}, // -99 / 2 floors to -50
        {Rect(0, 0, 100, 50), Rect(0, 0, 100, 100), false, Rect(0, 0, 200, 100)},
        {Rect(0, 0, 50, 100), Rect(0, 0, 100, 100), true, Rect(0, -50, 100, 150)},
        {Rect(0, 0, 100, 50), Rect(3, 3, 3, 3), false, Rect(3, 3, 4, 4)},    // zero box
        {Rect(0, 0, 100, 50), Rect(0, 0, 0, 10), false, Rect(0, 0, 20, 10)}, // no width: the height decides
        {Rect(0, 0, 0, 0), Rect(0, 0, 100, 100), false, Rect(0, 0, 1, 1)},   // zero source
    };
    for (const Case& c : cases)
        ExpectRect(ProportionalScaleMax(c.src, c.box, c.centre), c.expected);
}

TEST(RectToolsTest, PlacementRectsRoundTrip)
{
    const TRect ref = Rect(10, 20, 410, 320);
    const TPlacementRect p = RectToPlacementRect(Rect(110, 95, 310, 320), ref);
    EXPECT_DOUBLE_EQ(p.Left, 0.25);
    EXPECT_DOUBLE_EQ(p.Top, 0.25);
    EXPECT_DOUBLE_EQ(p.Right, 0.75);
    EXPECT_DOUBLE_EQ(p.Bottom, 1.0);
    ExpectRect(PlacementRectToRect(p, ref), Rect(110, 95, 310, 320));
    // Halves go to the even neighbour: 3 x 0.5 = 1.5 -> 2, 5 x 0.5 = 2.5 -> 2.
    ExpectRect(PlacementRectToRect(SetPlacementRect(0.5, 0.5, 0.5, 0.5), Rect(0, 0, 3, 5)), Rect(2, 2, 2, 2));
    const TPlacementRect none = RectToPlacementRect(Rect(1, 2, 3, 4), Rect(5, 5, 5, 9));
    EXPECT_EQ(none.Right, 0.0);
    const TPlacementRect moved = OffsetPlacementRect(p, 0.5, -0.25);
    EXPECT_DOUBLE_EQ(moved.Left, 0.75);
    EXPECT_DOUBLE_EQ(moved.Bottom, 0.75);
}

TEST(RectToolsTest, SmallOperations)
{
    ExpectRect(CorrectRect(Rect(5, 8, 1, 2)), Rect(1, 2, 5, 8));
    ExpectRect(AndRect(Rect(0, 0, 10, 10), Rect(20, 5, 30, 8)), Rect(20, 5, 10, 8)); // inverted, not normalised
    TRect r = Rect(1, 2, 4, 8);
    SetRectEdge(-3, 10, r);
    ExpectRect(r, Rect(-3, 10, 0, 16));
    EXPECT_FALSE(RectNotZero(Rect(1, 1, 1, 5)));
    EXPECT_TRUE(RectNotZero(Rect(5, 5, 1, 1)));
    EXPECT_EQ(RectWidth(Rect(5, 0, 1, 0)), -4);
    EXPECT_FALSE(CompareRect(Rect(0, 0, 1, 1), Rect(0, 0, 1, 2)));
}

} // namespace

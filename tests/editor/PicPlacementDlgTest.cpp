// The placement dialog: placements to control bounds over the miniature
// screen and back, OK reading the rectangle back and Cancel leaving the
// caller's placement alone; the monitor drawn around the screen.

#include "editor/app/PicPlacementUnit.h"

#include "editor/app/MonitorGfx.h"
#include "editor/app/SizeRect.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "tests/ui/UiFixture.h"

namespace {

using PicPlacementUnit::BoundsToPlacement;
using PicPlacementUnit::PlacementToBounds;

TEST(PicPlacementTest, FractionsBecomeBoundsAndBack)
{
    const struct {
        TPlacementRectExt placement;
        TRect bounds;
    } table[] = {
        {{0, 0, 1, 1}, Rect(0, 0, 320, 240)},
        {{0.25, 0.5, 0.75, 1}, Rect(80, 120, 240, 240)},
        {{0.1, 0.1, 0.6, 0.35}, Rect(32, 24, 192, 84)},
    };
    for (const auto& t : table) {
        EXPECT_EQ(PlacementToBounds(t.placement, 320, 240), t.bounds);
        const TPlacementRectExt back = BoundsToPlacement(t.bounds, 320, 240);
        EXPECT_DOUBLE_EQ(back.Left, t.placement.Left);
        EXPECT_DOUBLE_EQ(back.Top, t.placement.Top);
        EXPECT_DOUBLE_EQ(back.Right, t.placement.Right);
        EXPECT_DOUBLE_EQ(back.Bottom, t.placement.Bottom);
    }
    // Widths are rounded from the difference, halves to even.
    EXPECT_EQ(PlacementToBounds({0.5 / 320, 0, 2.5 / 320, 1}, 320, 240), Rect(0, 0, 2, 240));
}

TEST(PicPlacementTest, UnusablePlacementsStayWithinReach)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(PlacementToBounds({nan, nan, nan, nan}, 320, 240), Rect(0, 0, 320, 240));
    const TRect far = PlacementToBounds({-1e300, 0, 1e300, 1}, 320, 240);
    EXPECT_EQ(far.Left, -320000);
    EXPECT_EQ(far.Width(), 320000);
    const TPlacementRectExt whole = BoundsToPlacement(Rect(5, 5, 10, 10), 0, 0);
    EXPECT_EQ(whole, (TPlacementRectExt{0, 0, 1, 1}));
}

class PicPlacementDlgTest : public UiTest { };

TEST_F(PicPlacementDlgTest, OKReadsTheMovedRectangleBack)
{
    auto* dialog = new TPicPlacementDlg(nullptr);
    std::unique_ptr<TPicPlacementDlg> owner(dialog);
    dialog->Placement = {0.25, 0.25, 0.5, 0.5};
    dialog->UseDoubleBuffer = true;
    dialog->SizeRectDoubleBuffer->Picture().Bitmap().SetSize(4, 3);
    TRect seen{};
    Later([&] {
        ASSERT_EQ(dialog->SizeRect, nullptr) << "the other rectangle is gone";
        TSizeRectDoubleBuffer* rect = dialog->SizeRectDoubleBuffer;
        seen = rect->BoundsRect();
        EXPECT_TRUE(rect->AnimateBorder());
        // The user drags it by its middle 16 pixels right and 12 down.
        SendMouse(rect, TMouseAction::Press, Point(40, 30), mbLeft, {ssLeft});
        ui::test::MoveMouse(rect, Point(56, 42), {ssLeft});
        SendMouse(rect, TMouseAction::Release, Point(56, 42), mbLeft, {});
        Later([&] { dialog->OKBtn->Click(); });
    });
    ASSERT_TRUE(dialog->Execute());
    EXPECT_EQ(seen, Rect(80, 60, 160, 120));
    EXPECT_DOUBLE_EQ(dialog->Placement.Left, 0.3);
    EXPECT_DOUBLE_EQ(dialog->Placement.Top, 0.3);
    EXPECT_DOUBLE_EQ(dialog->Placement.Right, 0.55);
    EXPECT_DOUBLE_EQ(dialog->Placement.Bottom, 0.55);
}

TEST_F(PicPlacementDlgTest, CancelLeavesThePlacement)
{
    std::unique_ptr<TPicPlacementDlg> dialog(new TPicPlacementDlg(nullptr));
    dialog->Placement = {0, 0.5, 1, 1};
    Later([&] {
        ASSERT_EQ(dialog->SizeRectDoubleBuffer, nullptr);
        ASSERT_NE(dialog->SizeRect, nullptr);
        EXPECT_TRUE(dialog->SizeRect->Transparent());
        dialog->SizeRect->SetBounds(0, 0, 20, 20);
        dialog->CancelBtn->Click();
    });
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(dialog->Placement, (TPlacementRectExt{0, 0.5, 1, 1}));
}

TEST(MonitorGfxTest, TheMonitorFramesARecessedScreenAboveItsStand)
{
    TBitmap bitmap;
    bitmap.SetSize(200, 220);
    bitmap.Canvas().Brush.Color = clFuchsia;
    bitmap.Canvas().FillRect(Rect(0, 0, 200, 220));
    const TRect screen = Rect(20, 20, 180, 140);
    MonitorGfx::DrawMonitor(bitmap.Canvas(), 200, 220, screen);
    TCanvas& c = bitmap.Canvas();
    EXPECT_EQ(c.Pixels(1, 50), clWhite) << "light outer frame on the left";
    EXPECT_EQ(c.Pixels(198, 50), 0x808080) << "shadow outer frame on the right";
    EXPECT_EQ(c.Pixels(10, 80), MonitorGfx::MonitorColor) << "the bezel";
    EXPECT_EQ(c.Pixels(19, 80), 0x808080) << "the screen's recess: shadow on the left";
    EXPECT_EQ(c.Pixels(180, 80), clWhite) << "and light on the right";
    EXPECT_EQ(c.Pixels(100, 160), clBlack) << "the body's bottom edge";
    const int lampX = 3 * 200 / 4 - 200 / 9 - 45;
    EXPECT_EQ(c.Pixels(lampX + 2, 149), MonitorGfx::LampColor);
    EXPECT_EQ(c.Pixels(50, 162), 0x808080) << "the stand's left leg starts at a quarter of the width";
    EXPECT_EQ(c.Pixels(100, 210), MonitorGfx::MonitorColor) << "the base plate";
}

} // namespace

// The size rectangle: its grips, the drag maths (turning inside out, the
// limits at the parent's edges, proportions, a refusing handler) and the
// control driven by the mouse.

#include "editor/app/SizeRect.h"

#include "platform/ui/ExtCtrls.h"
#include "tests/ui/UiFixture.h"

namespace {

using namespace SizeRectDrag;

const TLimits Parent200x100{10, 10, 200, 100};

TEST(SizeRectDragTest, GripsAreHitInTheirOrderAndTheRestMoves)
{
    const struct {
        TPoint at;
        TZone zone;
    } table[] = {
        {{0, 0}, zTopLeft},       {{5, 5}, zTopLeft}, {{95, 0}, zTopRight}, {{0, 57}, zBottomLeft},
        {{99, 59}, zBottomRight}, {{48, 0}, zTop},    {{50, 59}, zBottom},  {{0, 28}, zLeft},
        {{99, 30}, zRight},       {{6, 6}, zMove},    {{50, 30}, zMove},
    };
    for (const auto& t : table)
        EXPECT_EQ(HitTest(100, 60, 5, t.at), t.zone) << t.at.X << "," << t.at.Y;
    // On a rectangle too small for all grips the corners win.
    EXPECT_EQ(HitTest(10, 10, 5, Point(5, 5)), zTopLeft);
}

TEST(SizeRectDragTest, CursorsFollowTheZone)
{
    EXPECT_EQ(ZoneCursor(zTopLeft, true), crSizeNWSE);
    EXPECT_EQ(ZoneCursor(zBottomLeft, true), crSizeNESW);
    EXPECT_EQ(ZoneCursor(zBottom, true), crSizeNS);
    EXPECT_EQ(ZoneCursor(zRight, true), crSizeWE);
    EXPECT_EQ(ZoneCursor(zMove, true), crSizeAll);
    EXPECT_EQ(ZoneCursor(zMove, false), crDefault);
}

TEST(SizeRectDragTest, AnInvertedRectangleMirrorsTheZone)
{
    const struct {
        TRect r;
        TZone zone, mirrored;
    } table[] = {
        {Rect(50, 10, 40, 30), zLeft, zRight},
        {Rect(50, 10, 40, 30), zTopLeft, zTopRight},
        {Rect(50, 10, 40, 30), zBottomRight, zBottomLeft},
        {Rect(10, 30, 40, 10), zTop, zBottom},
        {Rect(10, 30, 40, 10), zTopRight, zBottomRight},
        {Rect(50, 30, 40, 10), zTopLeft, zBottomRight},
        {Rect(50, 30, 40, 10), zTopRight, zBottomLeft},
        {Rect(10, 10, 40, 30), zLeft, zLeft},
    };
    for (const auto& t : table) {
        TRect r = t.r;
        EXPECT_EQ(Mirror(r, t.zone), t.mirrored);
        EXPECT_LE(r.Left, r.Right);
        EXPECT_LE(r.Top, r.Bottom);
    }
}

TEST(SizeRectDragTest, LimitKeepsTheMinimumSizeOnTheDraggedSide)
{
    TRect r = Rect(40, 20, 44, 80); // the left edge dragged to 4 pixels from the right
    Limit(r, zLeft, Parent200x100);
    EXPECT_EQ(r, Rect(34, 20, 44, 80));
    r = Rect(40, 20, 45, 24);
    Limit(r, zBottomRight, Parent200x100);
    EXPECT_EQ(r, Rect(40, 20, 50, 30));
    // Far enough past the other edge the rectangle is simply inverted.
    r = Rect(70, 20, 44, 80);
    Limit(r, zLeft, Parent200x100);
    EXPECT_EQ(r, Rect(70, 20, 44, 80));
}

TEST(SizeRectDragTest, LimitKeepsTheRectangleInsideAndAMovedOneKeepsItsSize)
{
    const struct {
        TRect r;
        TZone zone;
        TRect limited;
    } table[] = {
        {Rect(-5, 10, 50, 60), zLeft, Rect(0, 10, 50, 60)},
        {Rect(-5, -3, 50, 60), zMove, Rect(0, 0, 55, 63)},
        {Rect(160, 10, 210, 60), zMove, Rect(150, 10, 200, 60)},
        {Rect(160, 60, 210, 110), zMove, Rect(150, 50, 200, 100)},
        {Rect(160, 60, 210, 110), zBottomRight, Rect(160, 60, 200, 100)},
    };
    for (const auto& t : table) {
        TRect r = t.r;
        Limit(r, t.zone, Parent200x100);
        EXPECT_EQ(r, t.limited) << t.zone;
    }
}

TEST(SizeRectDragTest, ProportionKeepsTheStartRatioWhicheverGripIsUsed)
{
    const TRect start = Rect(0, 0, 40, 20); // 2:1
    const struct {
        TRect r;
        TZone zone;
        TRect kept;
    } table[] = {
        {Rect(0, 0, 60, 20), zBottomRight, Rect(0, 0, 60, 30)},
        {Rect(0, 0, 60, 20), zRight, Rect(0, 0, 60, 30)},
        {Rect(-20, 0, 40, 20), zTopLeft, Rect(-20, -10, 40, 20)},
        {Rect(0, 0, 40, 30), zBottom, Rect(0, 0, 60, 30)},
        {Rect(0, -10, 40, 20), zTop, Rect(0, -10, 60, 20)},
        {Rect(0, 0, 45, 20), zBottomLeft, Rect(0, 0, 45, 22)}, // 22.5 rounds to even
    };
    for (const auto& t : table) {
        TRect r = t.r;
        Proportion(r, t.zone, start);
        EXPECT_EQ(r, t.kept) << t.zone;
    }
    TRect flat = Rect(0, 0, 50, 50);
    Proportion(flat, zBottomRight, Rect(0, 0, 40, 0));
    EXPECT_EQ(flat, Rect(0, 0, 50, 50)) << "a start without height has no ratio";
}

TEST(SizeRectDragTest, GripPointsAreWhereTheMouseIsPut)
{
    const TRect r = Rect(10, 20, 50, 60);
    EXPECT_EQ(GripPoint(r, zTopLeft), Point(10, 20));
    EXPECT_EQ(GripPoint(r, zBottomRight), Point(50, 60));
    EXPECT_EQ(GripPoint(r, zTop), Point(30, 20));
    EXPECT_EQ(GripPoint(r, zRight), Point(50, 40));
    EXPECT_EQ(GripPoint(r, zMove), Point(30, 40));
}

class SizeRectTest : public UiTest {
protected:
    TForm* form = nullptr;
    TPanel* parent = nullptr;
    TSizeRectDoubleBuffer* rect = nullptr;

    void SetUp() override
    {
        UiTest::SetUp();
        form = NewForm(260, 180);
        parent = new TPanel(form);
        parent->SetParent(form);
        parent->SetBevelOuter(bvNone);
        parent->SetBounds(0, 0, 200, 100);
        rect = new TSizeRectDoubleBuffer(form);
        rect->SetParent(parent);
        rect->SetBounds(50, 20, 60, 40);
        form->Show();
        Turn();
    }

    // A drag from a point of the rectangle through further points, in the
    // parent's coordinates: the control turns them into its own.
    void Drag(TPoint from, std::initializer_list<TPoint> through)
    {
        SendMouse(rect, TMouseAction::Press, Point(from.X - rect->Left(), from.Y - rect->Top()), mbLeft, {ssLeft});
        for (TPoint p : through)
            ui::test::MoveMouse(rect, Point(p.X - rect->Left(), p.Y - rect->Top()), {ssLeft});
        const TPoint last = *(through.end() - 1);
        SendMouse(rect, TMouseAction::Release, Point(last.X - rect->Left(), last.Y - rect->Top()), mbLeft, {});
        Turn();
    }
};

TEST_F(SizeRectTest, DraggingTheLeftEdgePastTheRightOneDragsTheRightEdge)
{
    // Grab the left grip at (50, 40) and go 100 pixels right: the edge the
    // mouse holds is now the right one.
    Drag(Point(51, 40), {Point(151, 40)});
    EXPECT_EQ(rect->BoundsRect(), Rect(110, 20, 150, 60));
    EXPECT_FALSE(rect->DragRunning());
}

TEST_F(SizeRectTest, AMoveAgainstTheEdgeKeepsTheSize)
{
    Drag(Point(80, 40), {Point(300, 300)});
    EXPECT_EQ(rect->BoundsRect(), Rect(140, 60, 200, 100));
    rect->Clip = true;
    Drag(Point(170, 80), {Point(190, 90)});
    EXPECT_EQ(rect->BoundsRect(), Rect(160, 70, 220, 110)) << "with Clip the parent does not hold it";
}

TEST_F(SizeRectTest, ARefusingHandlerFreezesTheRectangleAndTheEndHandlerHasTheLastWord)
{
    int asked = 0;
    rect->OnResize = [&](TObject*, TRect&, bool& accept) {
        ++asked;
        accept = false;
    };
    Drag(Point(80, 40), {Point(90, 40), Point(120, 50)});
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(rect->BoundsRect(), Rect(50, 20, 110, 60));

    rect->OnResize = [](TObject*, TRect& r, bool&) { r.Right = r.Left + 30; };
    rect->OnEndResize = [](TObject*, TRect& r, bool&) {
        r.Left -= 100;
        r.Right -= 100;
    };
    Drag(Point(80, 40), {Point(90, 40)});
    EXPECT_EQ(rect->BoundsRect(), Rect(0, 20, 30, 60)) << "the end handler's change is limited again";
}

TEST_F(SizeRectTest, KeptProportionsHoldTheStartRatio)
{
    rect->KeepProportions = true; // 60 x 40
    Drag(Point(109, 59), {Point(139, 70)});
    EXPECT_EQ(rect->BoundsRect(), Rect(50, 20, 140, 80));
}

TEST_F(SizeRectTest, TheBorderMarchesOnItsTimer)
{
    rtl::SetClockForTests(1000);
    EXPECT_EQ(rect->DashPhase(), 0);
    EXPECT_TRUE(rect->DashBlack());
    rect->SetAnimateBorder(true);
    std::vector<TColor> topRow;
    for (int tick = 1; tick <= 8; ++tick) {
        rtl::AdvanceClockForTests(500);
        Turn();
        EXPECT_EQ(rect->DashPhase(), tick % 8);
        EXPECT_EQ(rect->DashBlack(), tick % 2 == 0);
        if (tick == 1) {
            rect->Repaint();
            Turn();
            for (int x : {0, 1, 4, 5, 9})
                topRow.push_back(BackBufferPixel(rect, x, 0) & 0xFFFFFF);
        }
    }
    // Phase 1, first dash white: one white pixel, then four black, four white.
    EXPECT_EQ(topRow, (std::vector<TColor>{clWhite, clBlack, clBlack, clWhite, clBlack}));
}

TEST_F(SizeRectTest, TheCursorShowsTheZoneUnderTheMouse)
{
    ui::test::MoveMouse(rect, Point(1, 1));
    Turn();
    EXPECT_EQ(rect->Cursor(), crSizeNWSE);
    ui::test::MoveMouse(rect, Point(30, 20));
    Turn();
    EXPECT_EQ(rect->Cursor(), crSizeAll);
    rect->AllowMove = false;
    ui::test::MoveMouse(rect, Point(31, 20));
    Turn();
    EXPECT_EQ(rect->Cursor(), crDefault);
}

} // namespace

namespace {

class TransparentSizeRectTest : public UiTest { };

TEST_F(TransparentSizeRectTest, TheGraphicRectangleIsDraggedThroughItsParentsWindow)
{
    TForm* form = NewForm(260, 180);
    auto* parent = new TPanel(form);
    parent->SetParent(form);
    parent->SetBevelOuter(bvNone);
    parent->SetBounds(0, 0, 200, 100);
    auto* rect = new TSizeRect(form);
    rect->SetParent(parent);
    rect->SetTransparent(true);
    rect->SetBounds(50, 20, 60, 40);
    form->Show();
    Turn();
    // The bottom-right grip pulled 20 pixels further.
    SendMouse(parent, TMouseAction::Press, Point(108, 58), mbLeft, {ssLeft});
    ui::test::MoveMouse(parent, Point(128, 78), {ssLeft});
    SendMouse(parent, TMouseAction::Release, Point(128, 78), mbLeft, {});
    Turn();
    EXPECT_EQ(rect->BoundsRect(), Rect(50, 20, 130, 80));
}

} // namespace

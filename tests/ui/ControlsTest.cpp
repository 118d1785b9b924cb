// Layout of controls: alignment in the platform's order, anchors, and the
// edge of panels.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "UiFixture.h"
#include "platform/ui/ExtCtrls.h"

namespace {

class AlignTest : public UiTest { };

struct AlignCase {
    const char* name;
    TAlign align;
    int width, height; // designed size
    TRect expected;
};

TEST_F(AlignTest, ChildrenTakeTheirEdgesInTheOrderTopBottomLeftRightClient)
{
    TForm* form = NewForm(200, 100);
    // Created in an order that differs from the order they are placed in.
    const AlignCase cases[] = {
        {"client", alClient, 5, 5, {30, 10, 160, 80}}, {"right", alRight, 40, 5, {160, 10, 200, 80}},
        {"left", alLeft, 30, 5, {0, 10, 30, 80}},      {"bottom", alBottom, 5, 20, {0, 80, 200, 100}},
        {"top", alTop, 5, 10, {0, 0, 200, 10}},
    };
    std::vector<TPanel*> panels;
    for (const AlignCase& c : cases) {
        auto* p = new TPanel(form);
        p->SetBounds(0, 0, c.width, c.height);
        p->SetParent(form);
        p->SetAlign(c.align);
        panels.push_back(p);
    }
    for (size_t i = 0; i < panels.size(); ++i)
        EXPECT_EQ(panels[i]->BoundsRect(), cases[i].expected) << cases[i].name;

    // A resized parent realigns; a hidden child gives its room away.
    form->SetBounds(form->Left(), form->Top(), 300, 200);
    EXPECT_EQ(panels[0]->BoundsRect(), Rect(30, 10, 260, 180));
    panels[3]->SetVisible(false);
    EXPECT_EQ(panels[0]->BoundsRect(), Rect(30, 10, 260, 200));
}

TEST_F(AlignTest, ControlsOfTheSameAlignmentKeepTheirDesignedOrder)
{
    TForm* form = NewForm(100, 100);
    auto make = [&](TAlign align, int top) {
        auto* p = new TPanel(form);
        p->SetBounds(0, top, 20, 20);
        p->SetParent(form);
        p->SetAlign(align);
        return p;
    };
    // As when a form is built: the controls are aligned together at the end.
    form->DisableAlign();
    TPanel* lower = make(alTop, 50);
    TPanel* upper = make(alTop, 5);
    TPanel* outer = make(alBottom, 90);
    TPanel* inner = make(alBottom, 60);
    form->EnableAlign();
    EXPECT_EQ(upper->Top(), 0);
    EXPECT_EQ(lower->Top(), 20);
    EXPECT_EQ(outer->Top(), 80);
    EXPECT_EQ(inner->Top(), 60);
}

TEST_F(AlignTest, AnchorsFollowTheParentsEdges)
{
    TForm* form = NewForm(200, 100);
    auto make = [&](TAnchors anchors) {
        auto* p = new TPanel(form);
        p->SetBounds(10, 10, 50, 30);
        p->SetParent(form);
        p->SetAnchors(anchors);
        return p;
    };
    TPanel* fixed = make({akLeft, akTop});
    TPanel* right = make({akRight, akBottom});
    TPanel* stretch = make({akLeft, akTop, akRight, akBottom});
    form->SetBounds(form->Left(), form->Top(), 260, 120);
    EXPECT_EQ(fixed->BoundsRect(), Bounds(10, 10, 50, 30));
    EXPECT_EQ(right->BoundsRect(), Bounds(70, 30, 50, 30));
    EXPECT_EQ(stretch->BoundsRect(), Bounds(10, 10, 110, 50));
}

TEST_F(AlignTest, PanelChildrenAlignInsideBorderAndBevels)
{
    TForm* form = NewForm(200, 100);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 100, 60);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    auto* child = new TPanel(form);
    child->SetParent(panel);
    child->SetAlign(alClient);
    EXPECT_EQ(child->BoundsRect(), Rect(7, 7, 93, 53));
}

TEST_F(AlignTest, DisabledAlignmentWaitsForEnableAlign)
{
    TForm* form = NewForm(200, 100);
    form->DisableAlign();
    auto* p = new TPanel(form);
    p->SetParent(form);
    p->SetAlign(alClient);
    EXPECT_NE(p->BoundsRect(), Rect(0, 0, 200, 100));
    form->EnableAlign();
    EXPECT_EQ(p->BoundsRect(), Rect(0, 0, 200, 100));
}

TEST_F(AlignTest, ParentFreesItsChildrenAndOwnerForgetsThem)
{
    TForm* form = NewForm();
    auto* outer = new TPanel(form);
    outer->SetParent(form);
    auto* inner = new TPanel(form);
    inner->SetParent(outer);
    inner->SetName("Inner");
    form->Show();
    Turn();
    delete outer;
    EXPECT_EQ(form->FindComponent("Inner"), nullptr);
    EXPECT_EQ(form->ControlCount(), 0);
}

} // namespace

namespace {

class ScrollBoxTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        form_ = NewForm(300, 300);
        box_ = new TScrollBox(form_);
        box_->SetParent(form_);
        box_->SetBounds(0, 0, 100, 100);
        item_ = new TPanel(form_);
        item_->SetParent(box_);
        item_->SetBounds(10, 150, 50, 50);
        form_->Show();
    }

    TForm* form_ = nullptr;
    TScrollBox* box_ = nullptr;
    TPanel* item_ = nullptr;
};

TEST_F(ScrollBoxTest, AutoScrollRangeFollowsTheChildren)
{
    EXPECT_EQ(box_->VertScrollBar().Range(), 200);
    EXPECT_TRUE(box_->VertScrollBar().IsScrollBarVisible());
    EXPECT_FALSE(box_->HorzScrollBar().IsScrollBarVisible());
    // The bar takes its room from the client area.
    EXPECT_EQ(box_->ClientWidth(), 100 - 16);

    item_->SetTop(20);
    EXPECT_FALSE(box_->VertScrollBar().IsScrollBarVisible());
    EXPECT_EQ(box_->ClientWidth(), 100);
}

TEST_F(ScrollBoxTest, ScrollRequestsMoveTheChildren)
{
    box_->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(box_->VertScrollBar().Position(), 8);
    EXPECT_EQ(item_->Top(), 142);
    box_->Perform(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(box_->VertScrollBar().Position(), 100);
    EXPECT_EQ(item_->Top(), 50);
    // The range is measured in unscrolled coordinates.
    EXPECT_EQ(box_->VertScrollBar().Range(), 200);

    // Dragging the thumb scrolls only with Tracking; letting it go always does.
    box_->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30), 0);
    EXPECT_EQ(box_->VertScrollBar().Position(), 100);
    box_->VertScrollBar().Tracking = true;
    box_->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30), 0);
    EXPECT_EQ(box_->VertScrollBar().Position(), 30);
    box_->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    EXPECT_EQ(item_->Top(), 150);

    box_->ScrollInView(item_);
    EXPECT_EQ(item_->BoundsRect().Bottom, box_->ClientHeight());
}

TEST_F(ScrollBoxTest, ChangesAreAnnouncedAndInheritedByChildren)
{
    std::vector<UINT> seen;
    TWndMethod inner = item_->WindowProc;
    item_->WindowProc = [&](TMessage& m) {
        if (m.Msg >= CM_BASE && m.Msg <= CM_BASE + 63)
            seen.push_back(m.Msg);
        inner(m);
    };
    struct Case {
        const char* what;
        std::function<void()> change;
        UINT expected;
    };
    const Case cases[] = {
        {"enabled", [&] { item_->SetEnabled(false); }, CM_ENABLEDCHANGED},
        {"text", [&] { item_->SetCaption("neu"); }, CM_TEXTCHANGED},
        {"colour", [&] { item_->SetColor(clRed); }, CM_COLORCHANGED},
        {"font", [&] { item_->Font().SetSize(14); }, CM_FONTCHANGED},
        {"visible", [&] { item_->SetVisible(false); }, CM_VISIBLECHANGED},
        {"cursor", [&] { item_->SetCursor(crHandPoint); }, CM_CURSORCHANGED},
    };
    for (const Case& c : cases) {
        seen.clear();
        c.change();
        EXPECT_NE(std::find(seen.begin(), seen.end(), c.expected), seen.end()) << c.what;
    }
    item_->WindowProc = inner;

    // A child with ParentFont/ParentColor follows its parent until it sets its own.
    auto* child = new TPanel(form_);
    child->SetParent(box_);
    child->SetParentColor(true);
    box_->Font().SetName("Courier New");
    box_->SetColor(clTeal);
    EXPECT_EQ(child->Font().Name(), "Courier New");
    EXPECT_EQ(child->Color(), clTeal);
    child->Font().SetName("Arial");
    box_->Font().SetName("Times New Roman");
    EXPECT_EQ(child->Font().Name(), "Arial");
    EXPECT_FALSE(child->ParentFont());
}

} // namespace

// Painting: windows paint into their back buffers, graphic controls are
// painted and hit-tested by their parent, and drawing outside a paint
// reaches the screen when flushed.

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdLabel.h"

namespace {

class PaintTest : public UiTest {
protected:
    // The colour of a pixel of what the window system shows for the form.
    static TColor ScreenPixel(TCustomForm* form, int x, int y) { return ui::test::GrabScreen(form).Color(x, y); }
};

TEST_F(PaintTest, GraphicControlIsPaintedOnItsParentsWindowAndClipped)
{
    TForm* form = NewForm(200, 150);
    form->SetColor(clWhite);
    auto* box = new TPaintBox(form);
    box->SetParent(form);
    box->SetBounds(20, 30, 40, 50);
    int paints = 0;
    box->OnPaint = [&](TObject*) {
        ++paints;
        TCanvas* c = box->Canvas();
        c->Brush.Color = clRed;
        // Larger than the box: the parent clips to the box's bounds.
        c->FillRect(Rect(-10, -10, 100, 100));
    };
    form->Show();
    form->Update();
    EXPECT_GE(paints, 1);
    EXPECT_EQ(BackBufferPixel(form, 20, 30), clRed);
    EXPECT_EQ(BackBufferPixel(form, 59, 79), clRed);
    EXPECT_EQ(BackBufferPixel(form, 60, 80), clWhite);
    EXPECT_EQ(BackBufferPixel(form, 19, 29), clWhite);

    // Invalidating the box repaints it through the parent.
    paints = 0;
    box->Invalidate();
    form->Update();
    EXPECT_EQ(paints, 1);
}

TEST_F(PaintTest, GraphicControlIsClickedThroughItsParent)
{
    TForm* form = NewForm(200, 150);
    auto* shape = new TShape(form);
    shape->SetParent(form);
    shape->SetBounds(50, 50, 40, 40);
    std::vector<std::string> events;
    shape->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    };
    shape->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    };
    shape->OnClick = [&](TObject*) { events.push_back("click"); };
    form->OnClick = [&](TObject*) { events.push_back("form click"); };
    form->Show();
    Turn();

    Click(form, {60, 70});
    Turn();
    EXPECT_EQ(events, (std::vector<std::string>{"down 10,20", "click", "up 10,20"}));

    // Pressed inside and released outside: the shape keeps the mouse (capture)
    // but there is no click.
    events.clear();
    SendMouse(form, TMouseAction::Press, {55, 55}, mbLeft, {ssLeft});
    SendMouse(form, TMouseAction::Release, {150, 120}, mbLeft, {});
    Turn();
    EXPECT_EQ(events, (std::vector<std::string>{"down 5,5", "up 100,70"}));

    // Outside the shape the form gets the click; a disabled shape is passed over.
    events.clear();
    Click(form, {10, 10});
    shape->SetEnabled(false);
    Click(form, {60, 70});
    Turn();
    EXPECT_EQ(events, (std::vector<std::string>{"form click", "form click"}));
}

TEST_F(PaintTest, MouseEnterAndLeaveOfGraphicControls)
{
    TForm* form = NewForm(200, 150);
    auto* a = new TShape(form);
    a->SetParent(form);
    a->SetBounds(0, 0, 50, 50);
    std::vector<std::string> events;
    TWndMethod inner = a->WindowProc;
    a->WindowProc = [&](TMessage& m) {
        if (m.Msg == CM_MOUSEENTER)
            events.push_back("enter");
        if (m.Msg == CM_MOUSELEAVE)
            events.push_back("leave");
        inner(m);
    };
    form->Show();
    ui::test::MoveMouse(form, {10, 10});
    ui::test::MoveMouse(form, {20, 10});
    ui::test::MoveMouse(form, {100, 100});
    Turn();
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
    a->WindowProc = inner;
}

TEST_F(PaintTest, CanvasDrawingOutsideAPaintReachesTheScreenWhenFlushed)
{
    TForm* form = NewForm(100, 80);
    form->SetColor(clWhite);
    form->Show();
    Turn();
    ASSERT_EQ(ScreenPixel(form, 5, 5), clWhite);

    TCanvas* canvas = form->Canvas();
    canvas->Brush.Color = clBlue;
    canvas->FillRect(Rect(0, 0, 10, 10));
    // In the back buffer at once, on the screen only after the flush.
    EXPECT_EQ(BackBufferPixel(form, 5, 5), clBlue);
    EXPECT_EQ(ScreenPixel(form, 5, 5), clWhite);
    ui::FlushCanvas(*canvas);
    EXPECT_EQ(ScreenPixel(form, 5, 5), clBlue);

    // The next turn of the loop shows later drawing too and does not paint
    // the window over it.
    canvas->Brush.Color = clLime;
    canvas->FillRect(Rect(20, 20, 30, 30));
    Turn();
    EXPECT_EQ(ScreenPixel(form, 25, 25), clLime);
    EXPECT_EQ(ScreenPixel(form, 5, 5), clBlue);
}

TEST_F(PaintTest, ChildWindowPaintsOverItsParent)
{
    TForm* form = NewForm(200, 150);
    form->SetColor(clWhite);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 80, 60);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clYellow);
    auto* label = new TLabel(form);
    label->SetParent(panel);
    label->SetCaption("Hallo");
    label->SetColor(clRed);
    form->Show();
    Turn();
    form->FlushCanvas();
    panel->Update();
    EXPECT_EQ(BackBufferPixel(panel, 70, 50), clYellow);
    EXPECT_EQ(ScreenPixel(form, 80, 60), clYellow);
    EXPECT_EQ(ScreenPixel(form, 150, 100), clWhite);
    // The label sized itself to its text and filled its box (not transparent).
    EXPECT_GT(label->Width(), 10);
    EXPECT_EQ(BackBufferPixel(panel, 0, label->Height() - 1), clRed);
}

TEST_F(PaintTest, ControlPaintsIntoAGivenCanvasWithItsGraphicChildren)
{
    // What a transparent control does to show its parent behind it: ask the
    // parent to paint into another canvas.
    TForm* form = NewForm(200, 150);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 40, 30);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clYellow);
    auto* shape = new TShape(form);
    shape->SetParent(panel);
    shape->SetBounds(10, 10, 10, 10);
    shape->Brush.Color = clBlue;
    TBitmap bitmap;
    bitmap.SetSize(40, 30);
    bitmap.Canvas().SetViewportOrg({0, 0});
    panel->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&bitmap.Canvas()), 0);
    EXPECT_EQ(bitmap.Canvas().Pixels(2, 2), clYellow);
    EXPECT_EQ(bitmap.Canvas().Pixels(15, 15), clBlue);
    EXPECT_EQ(bitmap.Canvas().Pixels(10, 10), clBlack) << "the shape's pen";
}

TEST_F(PaintTest, ImageDrawsItsPictureStretchedOrCentred)
{
    TForm* form = NewForm(200, 150);
    form->SetColor(clWhite);
    auto* image = new TImage(form);
    image->SetParent(form);
    image->SetBounds(0, 0, 20, 20);
    TBitmap picture;
    picture.SetSize(2, 2);
    picture.Canvas().SetPixels(0, 0, clRed);
    picture.Canvas().SetPixels(1, 0, clLime);
    picture.Canvas().SetPixels(0, 1, clBlue);
    picture.Canvas().SetPixels(1, 1, clYellow);
    image->Picture().SetGraphic(&picture);
    form->Show();

    struct Case {
        bool stretch, center;
        int x, y;
        TColor expected;
    };
    const Case cases[] = {
        {false, false, 1, 1, clYellow}, {false, false, 5, 5, clWhite},   {true, false, 15, 5, clLime},
        {true, false, 5, 15, clBlue},   {false, true, 10, 10, clYellow}, {false, true, 9, 9, clRed},
    };
    for (const Case& c : cases) {
        image->SetStretch(c.stretch);
        image->SetCenter(c.center);
        form->Invalidate();
        form->Update();
        EXPECT_EQ(BackBufferPixel(form, c.x, c.y), c.expected) << c.stretch << c.center << " " << c.x << "," << c.y;
    }
}

} // namespace

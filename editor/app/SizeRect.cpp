#include "editor/app/SizeRect.h"

#include "platform/graphics/Picture.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

using namespace SizeRectDrag;

namespace {

constexpr unsigned AnimationInterval = 500;
constexpr int DashLength = 4;
constexpr int PhaseCount = 8;

// One side of the border, pixel by pixel from From towards To (both
// included): a first dash up to the phase, then dashes of four pixels, black
// and white by turns.
void DrawDashedSide(TCanvas& Canvas, TPoint From, TPoint To, int Phase, bool FirstBlack)
{
    const int stepX = To.X > From.X ? 1 : (To.X < From.X ? -1 : 0);
    const int stepY = To.Y > From.Y ? 1 : (To.Y < From.Y ? -1 : 0);
    const int length = std::max(std::abs(To.X - From.X), std::abs(To.Y - From.Y)) + 1;
    for (int i = 0; i < length; ++i) {
        const int dash = i < Phase ? 0 : 1 + (i - Phase) / DashLength;
        const bool black = (dash % 2 == 0) == FirstBlack;
        Canvas.SetPixels(From.X + i * stepX, From.Y + i * stepY, black ? clBlack : clWhite);
    }
}

} // namespace

template <class TBase> TSizeRectControl<TBase>::TSizeRectControl(TComponent* AOwner) : TBase(AOwner)
{
    picture_ = std::make_unique<TPicture>();
    picture_->OnChange = [this](TObject*) { this->Invalidate(); };
    timer_ = new TTimer(this);
    timer_->SetInterval(AnimationInterval);
    timer_->SetEnabled(false);
    timer_->OnTimer = [this](TObject*) { AnimationTimer(); };
    MinWidth = 2 * gripSize_;
    MinHeight = 2 * gripSize_;
    this->SetBounds(this->Left(), this->Top(), 100, 100);
}

template <class TBase> TSizeRectControl<TBase>::~TSizeRectControl() = default;

template <class TBase> void TSizeRectControl<TBase>::SetAnimateBorder(bool Value)
{
    animateBorder_ = Value;
    timer_->SetEnabled(Value);
}

template <class TBase> void TSizeRectControl<TBase>::SetGripSize(int Value)
{
    gripSize_ = std::max(1, Value);
    this->Invalidate();
}

template <class TBase> void TSizeRectControl<TBase>::SetPicture(const TPicture* Value) { picture_->Assign(Value); }

template <class TBase> void TSizeRectControl<TBase>::SetStretchPicture(bool Value)
{
    stretchPicture_ = Value;
    this->Invalidate();
}

template <class TBase> void TSizeRectControl<TBase>::Paint()
{
    TCanvas& canvas = *this->Canvas();
    const int width = this->Width();
    const int height = this->Height();
    if (PaintsBackground()) {
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = this->Color();
        canvas.FillRect(Rect(0, 0, width, height));
    }
    if (TGraphic* graphic = picture_->Graphic(); graphic && !graphic->Empty()) {
        if (stretchPicture_)
            canvas.StretchDraw(Rect(0, 0, width, height), *graphic);
        else
            canvas.Draw(width / 2 - picture_->Width() / 2, height / 2 - picture_->Height() / 2, *graphic);
    }
    canvas.Pen.Color = clWhite;
    canvas.Pen.Style = psSolid;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clBlack;
    for (int zone = zTopLeft; zone <= zRight; ++zone)
        canvas.Rectangle(GripRect(width, height, gripSize_, static_cast<TZone>(zone)));
    DrawBorder(canvas);
}

template <class TBase> void TSizeRectControl<TBase>::DrawBorder(TCanvas& Canvas)
{
    const int right = this->Width() - 1;
    const int bottom = this->Height() - 1;
    if (right < 0 || bottom < 0)
        return;
    DrawDashedSide(Canvas, Point(0, 0), Point(right, 0), dashPhase_, dashBlack_);
    DrawDashedSide(Canvas, Point(0, 0), Point(0, bottom), dashPhase_, dashBlack_);
    DrawDashedSide(Canvas, Point(0, bottom), Point(right, bottom), dashPhase_, dashBlack_);
    DrawDashedSide(Canvas, Point(right, bottom), Point(right, 0), dashPhase_, dashBlack_);
}

template <class TBase> void TSizeRectControl<TBase>::AnimationTimer()
{
    dashPhase_ = (dashPhase_ + 1) % PhaseCount;
    dashBlack_ = !dashBlack_;
    this->Invalidate();
}

template <class TBase> SizeRectDrag::TLimits TSizeRectControl<TBase>::Limits() const
{
    TLimits limits;
    limits.MinWidth = MinWidth;
    limits.MinHeight = MinHeight;
    if (TWinControl* parent = this->Parent()) {
        limits.ParentWidth = parent->ClientWidth();
        limits.ParentHeight = parent->ClientHeight();
    }
    return limits;
}

template <class TBase> void TSizeRectControl<TBase>::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TBase::MouseDown(Button, Shift, X, Y);
    if (dragging_)
        return;
    zone_ = HitTest(this->Width(), this->Height(), gripSize_, Point(X, Y));
    dragging_ = true;
    startRect_ = this->BoundsRect();
    dragRect_ = startRect_;
    last_ = ToParent(X, Y);
    this->SetMouseCapture(true);
}

template <class TBase> void TSizeRectControl<TBase>::MouseMove(TShiftState Shift, int X, int Y)
{
    TBase::MouseMove(Shift, X, Y);
    if (dragging_)
        DragTo(ToParent(X, Y));
    else
        this->SetCursor(ZoneCursor(HitTest(this->Width(), this->Height(), gripSize_, Point(X, Y)), AllowMove));
}

template <class TBase> void TSizeRectControl<TBase>::DragTo(TPoint At)
{
    if (At == last_)
        return;
    TRect r = dragRect_;
    zone_ = Mirror(r, zone_);
    MoveEdges(r, zone_, At.X - last_.X, At.Y - last_.Y);
    if (!Clip)
        Limit(r, zone_, Limits());
    if (KeepProportions)
        Proportion(r, zone_, startRect_);
    bool accept = true;
    if (OnResize)
        OnResize(this, r, accept);
    if (!accept)
        return;
    if (KeepProportions)
        Proportion(r, zone_, startRect_);
    if (!Clip)
        Limit(r, zone_, Limits());
    dragRect_ = r;
    TRect shown = r;
    Mirror(shown, zone_);
    this->SetBoundsRect(shown);
    // The mouse stays on the grip it drags, also where the rectangle stopped
    // at an edge or kept its proportions.
    last_ = GripPoint(r, zone_);
    if (TWinControl* parent = this->Parent()) {
        const TPoint screen = parent->ClientToScreen(last_);
        ui::SetCursorPos(screen.X, screen.Y);
    }
    this->Repaint();
}

template <class TBase> void TSizeRectControl<TBase>::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TBase::MouseUp(Button, Shift, X, Y);
    if (dragging_)
        EndDragging();
}

template <class TBase> void TSizeRectControl<TBase>::EndDragging()
{
    dragging_ = false;
    this->SetMouseCapture(false);
    TRect r = this->BoundsRect();
    bool accept = true;
    if (OnEndResize)
        OnEndResize(this, r, accept);
    if (!accept)
        return;
    if (!Clip)
        Limit(r, zone_, Limits());
    if (KeepProportions)
        Proportion(r, zone_, startRect_);
    Mirror(r, zone_);
    this->SetBoundsRect(r);
}

template class TSizeRectControl<TGraphicControl>;
template class TSizeRectControl<TCustomControl>;

IMPLEMENT_CLASS(TSizeRect)
IMPLEMENT_CLASS(TSizeRectDoubleBuffer)

TSizeRect::TSizeRect(TComponent* AOwner) : TSizeRectControl<TGraphicControl>(AOwner) { }

void TSizeRect::SetTransparent(bool Value)
{
    if (transparent_ == Value)
        return;
    transparent_ = Value;
    Invalidate();
}

TSizeRectDoubleBuffer::TSizeRectDoubleBuffer(TComponent* AOwner) : TSizeRectControl<TCustomControl>(AOwner) { }

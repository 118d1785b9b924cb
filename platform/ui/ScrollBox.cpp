#include "platform/ui/ScrollBox.h"

#include <algorithm>

#include "platform/rtl/Setters.h"

IMPLEMENT_CLASS(TScrollingWinControl)
IMPLEMENT_CLASS(TScrollBox)

int TControlScrollBar::ControlSize() const
{
    return kind_ == sbHorizontal ? control_->ClientWidth() : control_->ClientHeight();
}

int TControlScrollBar::MaxPosition() const { return std::max(0, range_ - ControlSize()); }

void TControlScrollBar::SetPosition(int Value)
{
    Value = std::clamp(Value, 0, MaxPosition());
    if (Value == position_)
        return;
    int delta = position_ - Value;
    position_ = Value;
    if (kind_ == sbHorizontal)
        control_->ScrollBy(delta, 0);
    else
        control_->ScrollBy(0, delta);
    UpdateNative();
}

void TControlScrollBar::SetRange(int Value)
{
    range_ = std::max(Value, 0);
    control_->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool Value)
{
    visible_ = Value;
    control_->UpdateScrollBars();
}

void TControlScrollBar::ScrollMessage(WPARAM request, int thumbPos)
{
    int page = std::max(ControlSize() * 9 / 10, 1);
    switch (request) {
    case SB_LINEUP: SetPosition(position_ - Increment); break;
    case SB_LINEDOWN: SetPosition(position_ + Increment); break;
    case SB_PAGEUP: SetPosition(position_ - page); break;
    case SB_PAGEDOWN: SetPosition(position_ + page); break;
    case SB_THUMBPOSITION: SetPosition(thumbPos); break;
    case SB_THUMBTRACK:
        if (Tracking)
            SetPosition(thumbPos);
        break;
    case SB_TOP: SetPosition(0); break;
    case SB_BOTTOM: SetPosition(MaxPosition()); break;
    default: break;
    }
}

void TControlScrollBar::Update()
{
    if (position_ > MaxPosition())
        SetPosition(MaxPosition());
    UpdateNative();
}

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner), horz_(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      vert_(std::make_unique<TControlScrollBar>(this, sbVertical))
{ }

TScrollingWinControl::~TScrollingWinControl() { Destroying(); }

void TScrollingWinControl::SetAutoScroll(bool Value)
{
    autoScroll_ = Value;
    if (Value)
        Realign();
    else
        UpdateScrollBars();
}

TRect TScrollingWinControl::ClientRect() const
{
    return {0, 0, std::max(Width() - (vert_->shown_ ? ScrollBarSize : 0), 0),
            std::max(Height() - (horz_->shown_ ? ScrollBarSize : 0), 0)};
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY)
{
    if (DeltaX == 0 && DeltaY == 0)
        return;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        SetChildBounds(c, c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
    }
    Invalidate();
}

void TScrollingWinControl::ScrollInView(TControl* AControl)
{
    if (!AControl || AControl->Parent() != this)
        return;
    TRect r = AControl->BoundsRect();
    TRect client = ClientRect();
    if (r.Left < 0)
        horz_->SetPosition(horz_->Position() + r.Left);
    else if (r.Right > client.Right)
        horz_->SetPosition(horz_->Position() + std::min(r.Right - client.Right, r.Left));
    if (r.Top < 0)
        vert_->SetPosition(vert_->Position() + r.Top);
    else if (r.Bottom > client.Bottom)
        vert_->SetPosition(vert_->Position() + std::min(r.Bottom - client.Bottom, r.Top));
}

void TScrollingWinControl::CalcAutoRange()
{
    int right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible() || c->Align() == alClient)
            continue;
        if (c->Align() != alTop && c->Align() != alBottom)
            right = std::max(right, c->Left() + c->Width() + horz_->position_);
        if (c->Align() != alLeft && c->Align() != alRight)
            bottom = std::max(bottom, c->Top() + c->Height() + vert_->position_);
    }
    horz_->range_ = right;
    vert_->range_ = bottom;
}

void TScrollingWinControl::UpdateScrollBars()
{
    if (updatingBars_)
        return;
    updatingBars_ = true;
    // Each bar takes room from the other's direction, so decide both at once.
    bool needH = horz_->visible_ && horz_->range_ > Width();
    bool needV = vert_->visible_ && vert_->range_ > Height() - (needH ? ScrollBarSize : 0);
    if (needV && !needH)
        needH = horz_->visible_ && horz_->range_ > Width() - ScrollBarSize;
    bool changed = needH != horz_->shown_ || needV != vert_->shown_;
    horz_->shown_ = needH;
    vert_->shown_ = needV;
    horz_->Update();
    vert_->Update();
    updatingBars_ = false;
    if (changed)
        Realign();
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    TWinControl::AlignControls(AControl, Rect);
    if (autoScroll_)
        CalcAutoRange();
    UpdateScrollBars();
}

void TScrollingWinControl::CreateWindowHandle(const TCreateParams& Params)
{
    TWinControl::CreateWindowHandle(Params);
    horz_->UpdateNative();
    vert_->UpdateNative();
}

void TScrollingWinControl::ControlChanged(TControl* Child)
{
    TWinControl::ControlChanged(Child);
    if (Child->Align() == alNone && autoScroll_ && !(ComponentState() & csDestroying)) {
        CalcAutoRange();
        UpdateScrollBars();
    }
}

void TScrollingWinControl::BoundsChanged(const TRect& oldBounds)
{
    TWinControl::BoundsChanged(oldBounds);
    UpdateScrollBars();
}

bool TScrollingWinControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TWinControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    TControlScrollBar& bar = vert_->shown_ ? *vert_ : *horz_;
    if (!bar.shown_)
        return false;
    bar.SetPosition(bar.Position() - WheelDelta / 120 * 3 * bar.Increment);
    return true;
}

void TScrollingWinControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_HSCROLL: horz_->ScrollMessage(LOWORD(Message.WParam), HIWORD(Message.WParam)); return;
    case WM_VSCROLL: vert_->ScrollMessage(LOWORD(Message.WParam), HIWORD(Message.WParam)); return;
    default: TWinControl::Dispatch(Message);
    }
}

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetBorderStyle(TBorderStyle Value)
{
    if (rtl::AssignIfChanged(borderStyle_, Value))
        Invalidate();
}

void TScrollBox::PaintWindow(TCanvas& DC)
{
    if (borderStyle_ != bsSingle)
        return;
    DC.Brush.Color = clBtnShadow;
    DC.FrameRect(ClientRect());
}

#include "platform/ui/ComCtrls.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Setters.h"

IMPLEMENT_CLASS(TRangeControl)
IMPLEMENT_CLASS(TTrackBar)
IMPLEMENT_CLASS(TProgressBar)
IMPLEMENT_CLASS(TCustomUpDown)
IMPLEMENT_CLASS(TUpDown)
IMPLEMENT_CLASS(TStatusBar)
IMPLEMENT_CLASS(TTabSheet)
IMPLEMENT_CLASS(TPageControl)
IMPLEMENT_CLASS(TToolButton)
IMPLEMENT_CLASS(TToolBar)
IMPLEMENT_CLASS(TCoolBar)

void TRangeValue::SetRange(int AMin, int AMax)
{
    Min = AMin;
    Max = std::max(AMin, AMax);
    Position = std::clamp(Position, Min, Max);
}

bool TRangeValue::SetPosition(int Value)
{
    int clamped = std::clamp(Value, Min, Max);
    if (clamped == Position)
        return false;
    Position = clamped;
    return true;
}

// --- range controls ---

TRangeControl::TRangeControl(TComponent* AOwner, int AMax) : TNativeControl(AOwner) { range_.SetRange(0, AMax); }

void TRangeControl::SetMin(int Value)
{
    range_.SetRange(Value, Max());
    RangeChanged();
}

void TRangeControl::SetMax(int Value)
{
    range_.SetRange(std::min(Min(), Value), Value);
    RangeChanged();
}

void TRangeControl::SetPosition(int Value)
{
    if (range_.SetPosition(Value))
        RangeChanged();
}

// --- track bar ---

TTrackBar::TTrackBar(TComponent* AOwner) : TRangeControl(AOwner, 10)
{
    SetTabStop(true);
    SetBounds(0, 0, 150, 45);
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value)
{
    orientation_ = Value;
    NativeWidgetCreated();
}

void TTrackBar::Changed()
{
    if (OnChange)
        OnChange(this);
}

// --- progress bar ---

TProgressBar::TProgressBar(TComponent* AOwner) : TRangeControl(AOwner, 100) { SetBounds(0, 0, 150, 16); }

// --- up-down ---

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TRangeControl(AOwner, 100) { SetBounds(0, 0, 17, 25); }

void TCustomUpDown::SetAssociate(TWinControl* Value)
{
    if (associate_)
        RemoveFreeNotification(associate_);
    associate_ = Value;
    if (associate_)
        FreeNotification(associate_);
    ShowInAssociate();
}

void TCustomUpDown::SetOrientation(TUDOrientation Value)
{
    if (rtl::AssignIfChanged(orientation_, Value))
        NativeWidgetCreated();
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation)
{
    TRangeControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == associate_)
        associate_ = nullptr;
}

void TCustomUpDown::ShowInAssociate()
{
    if (associate_)
        associate_->SetText(std::to_string(Position()));
}

void TCustomUpDown::Step(TUDBtnType Button)
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (!allow)
        return;
    long next = static_cast<long>(Position()) + (Button == btNext ? Increment : -Increment);
    if (Wrap && next > Max())
        next = Min();
    else if (Wrap && next < Min())
        next = Max();
    if (MovePosition(static_cast<int>(std::clamp<long>(next, Min(), Max()))))
        ShowInAssociate();
    pressed_ = Button;
    const UINT scroll = orientation_ == udVertical ? WM_VSCROLL : WM_HSCROLL;
    Perform(scroll, MAKEWPARAM(static_cast<int>(SB_THUMBPOSITION), static_cast<std::uint16_t>(Position())), 0);
}

void TCustomUpDown::Click(TUDBtnType Button)
{
    if (OnClick)
        OnClick(this, Button);
}

void TCustomUpDown::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBPOSITION)
            Click(pressed_);
        return;
    case UDM_SETPOS: MovePosition(static_cast<int>(Message.LParam)); return;
    default: TRangeControl::Dispatch(Message);
    }
}

// --- status bar ---

TStatusBar::TStatusBar(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

void TStatusBar::SetSimplePanel(bool Value)
{
    simplePanel_ = Value;
    UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& Value)
{
    simpleText_ = Value;
    UpdatePanels();
}

TStatusPanel& TStatusBar::AddPanel()
{
    panels_.push_back(std::make_unique<TStatusPanel>());
    UpdatePanels();
    return *panels_.back();
}

TStatusPanel& TStatusBar::Panels(int Index)
{
    if (Index < 0 || Index >= PanelCount())
        throw EListError("Status panel index out of bounds (" + std::to_string(Index) + ")");
    return *panels_[static_cast<size_t>(Index)];
}

// The tool bar and its buttons: their order, places and look.

#include "platform/ui/ComCtrls.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Setters.h"
#include "platform/ui/ImgList.h"

namespace {
constexpr int SeparatorWidth = 8;
}

TToolButton::TToolButton(TComponent* AOwner) : TNativeControl(AOwner) { SetBounds(0, 0, 23, 22); }

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    if (!rtl::AssignIfChanged(style_, Value))
        return;
    if (Value == tbsSeparator)
        SetWidth(SeparatorWidth);
    RecreateWnd(); // a gap has no button
}

void TToolButton::SetImageIndex(int Value)
{
    imageIndex_ = Value;
    NativeWidgetCreated();
}

void TToolButton::Dispatch(TMessage& Message)
{
    TNativeControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED)
        NativeWidgetCreated();
}

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    SetColor(clBtnFace);
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

void TToolBar::SetButtonWidth(int Value)
{
    buttonWidth_ = std::max(Value, 0);
    Realign();
}

void TToolBar::SetButtonHeight(int Value)
{
    buttonHeight_ = std::max(Value, 0);
    Realign();
}

void TToolBar::SetFlat(bool Value)
{
    flat_ = Value;
    UpdateButtons();
}

void TToolBar::SetImages(TImageList* Value)
{
    if (images_)
        images_->RemoveFreeNotification(this);
    images_ = Value;
    if (images_)
        images_->FreeNotification(this);
    UpdateButtons();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) {
        images_ = nullptr;
        if (!(ComponentState() & csDestroying))
            UpdateButtons();
    }
}

std::vector<TToolButton*> TToolBar::ToolButtons() const
{
    std::vector<TToolButton*> buttons;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* button = dynamic_cast<TToolButton*>(Controls(i)))
            buttons.push_back(button);
    return buttons;
}

int TToolBar::ButtonCount() const { return static_cast<int>(ToolButtons().size()); }

TToolButton* TToolBar::Buttons(int Index) const
{
    std::vector<TToolButton*> buttons = ToolButtons();
    if (Index < 0 || Index >= static_cast<int>(buttons.size()))
        throw EListError("Tool button index out of bounds (" + std::to_string(Index) + ")");
    return buttons[static_cast<size_t>(Index)];
}

void TToolBar::UpdateButtons()
{
    for (TToolButton* button : ToolButtons())
        button->NativeWidgetCreated();
}

// Any change of a child moves the ones after it.
void TToolBar::ControlChanged(TControl* Child)
{
    TCustomControl::ControlChanged(Child);
    if (auto* button = dynamic_cast<TToolButton*>(Child); button && button->Parent() == this)
        button->NativeWidgetCreated(); // the bar's images and look
    Realign();
}

void TToolBar::AlignControls(TControl*, TRect& Rect)
{
    int x = Rect.Left;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible())
            continue;
        auto* button = dynamic_cast<TToolButton*>(c);
        int width = button && button->Style() == tbsButton ? buttonWidth_ : c->Width();
        int height = button ? buttonHeight_ : c->Height();
        SetChildBounds(c, x, Rect.Top, width, height);
        x += width;
    }
}

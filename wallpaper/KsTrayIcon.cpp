#include "wallpaper/KsTrayIcon.h"

#include <algorithm>

#include "platform/graphics/Icon.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "wallpaper/IconList.h"

IMPLEMENT_CLASS(TKsTrayIcon)

TKsTrayIcon::TKsTrayIcon(TComponent* AOwner)
    : TComponent(AOwner), icon_(std::make_unique<TIcon>()), icons_(std::make_unique<TIconList>()),
      tray_(std::make_unique<ui::TTrayIcon>())
{
    icon_->OnChange = [this](TObject*) { IconChanged(); };
    icons_->OnChange = [this](TObject*) { IconChanged(); };
    tray_->OnClick = [this](TObject*) { Activated(TTrayActivation::Click); };
    tray_->OnDblClick = [this](TObject*) { Activated(TTrayActivation::DoubleClick); };
    tray_->OnMiddleClick = [this](TObject*) { Activated(TTrayActivation::MiddleClick); };
    tray_->OnContextMenu = [this](TObject*) { Activated(TTrayActivation::ContextMenu); };
    timer_ = new TTimer(this);
    timer_->SetEnabled(false);
    timer_->SetInterval(interval_);
    timer_->OnTimer = [this](TObject*) { AnimationStep(); };
}

TKsTrayIcon::~TKsTrayIcon()
{
    destroying_ = true;
    Enabled = false;
    icon_->OnChange = nullptr;
    icons_->OnChange = nullptr;
    timer_->SetEnabled(false);
    HideIcon();
}

void TKsTrayIcon::SetIcon(const TIcon* Value)
{
    if (Value)
        icon_->Assign(Value);
    else
        icon_->Assign(std::make_unique<TIcon>().get());
}

void TKsTrayIcon::SetIcons(const TIconList* Value) { icons_->Assign(Value); }

void TKsTrayIcon::SetHint(const std::string& Value)
{
    if (Value == hint_)
        return;
    hint_ = Value;
    IconChanged();
}

std::string TKsTrayIcon::Tip() const
{
    std::string tip = hint_.substr(0, hint_.find('|'));
    if (tip.size() > MaxTipLength)
        tip.resize(MaxTipLength);
    return tip;
}

const TIcon* TKsTrayIcon::ActiveIcon() const
{
    if (animated_ && icons_->Count() > 0) {
        const int index = std::clamp(iconIndex_, 0, icons_->Count() - 1);
        return icons_->Icons(index);
    }
    return icon_.get();
}

void TKsTrayIcon::ShowIcon()
{
    HideIcon();
    const TIcon* icon = ActiveIcon();
    if (!icon || icon->Empty())
        return;
    tray_->SetIcon(icon);
    tray_->SetTip(Tip());
    added_ = tray_->Show();
    if (added_ && animated_)
        timer_->SetEnabled(true);
}

void TKsTrayIcon::HideIcon()
{
    tray_->Hide();
    added_ = false;
    timer_->SetEnabled(false);
}

void TKsTrayIcon::IconChanged()
{
    if (icons_->Count() == 0) {
        animated_ = false;
        timer_->SetEnabled(false);
    }
    if (!added_) {
        if (active_)
            ShowIcon();
        return;
    }
    const TIcon* icon = ActiveIcon();
    if (!icon || icon->Empty()) {
        HideIcon();
        return;
    }
    tray_->SetIcon(icon);
    tray_->SetTip(Tip());
}

void TKsTrayIcon::SetActive(bool Value)
{
    if (Value == active_)
        return;
    active_ = Value;
    if (active_)
        ShowIcon();
    else
        HideIcon();
}

void TKsTrayIcon::SetAnimated(bool Value)
{
    const bool value = Value && icons_->Count() > 0;
    if (value == animated_)
        return;
    animated_ = value;
    timer_->SetEnabled(animated_ && added_);
    iconIndex_ = 0;
    IconChanged();
}

void TKsTrayIcon::SetInterval(unsigned Value)
{
    interval_ = Value;
    timer_->SetInterval(Value);
}

void TKsTrayIcon::AnimationStep()
{
    if (destroying_ || !animated_)
        return;
    if (++iconIndex_ >= icons_->Count())
        iconIndex_ = 0;
    IconChanged();
}

bool TKsTrayIcon::PopupMenuShown()
{
    if (!active_ || !PopupMenu || !PopupMenu->AutoPopup)
        return false;
    PopupMenu->PopupComponent = this;
    TPoint cursor{};
    ui::GetCursorPos(cursor);
    PopupMenu->Popup(cursor.X, cursor.Y);
    return true;
}

void TKsTrayIcon::Activated(TTrayActivation Reason)
{
    if (!Enabled)
        return;
    switch (Reason) {
    case TTrayActivation::ContextMenu:
        if (PopupMenuShown())
            return;
        [[fallthrough]];
    case TTrayActivation::Click:
        if (OnClick)
            OnClick(this);
        return;
    case TTrayActivation::DoubleClick:
        if (PopupMenu)
            for (int i = 0; i < PopupMenu->Items().Count(); ++i) {
                TMenuItem* item = PopupMenu->Items().Items(i);
                if (item->Default && item->Enabled) {
                    item->Click();
                    return;
                }
            }
        if (OnDblClick)
            OnDblClick(this);
        return;
    case TTrayActivation::MiddleClick:
        return;
    }
}

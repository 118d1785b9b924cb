// TWinControl: its window (made when first needed, made again, destroyed
// with its children's), its children and their showing.

#include "platform/ui/Controls.h"

#include <algorithm>
#include <unordered_map>

#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/WindowSurface.h"

namespace {

// The controls by their windows.
std::unordered_map<HWND, TWinControl*>& ControlsByHandle()
{
    static auto* map = new std::unordered_map<HWND, TWinControl*>;
    return *map;
}

} // namespace

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) { }

TWinControl::~TWinControl()
{
    Destroying();
    // A parent frees the controls on it, the topmost first.
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        RemoveControl(child);
        delete child;
    }
    DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND Wnd)
{
    auto& map = ControlsByHandle();
    auto it = map.find(Wnd);
    return it == map.end() ? nullptr : it->second;
}

HWND TWinControl::Handle()
{
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded()
{
    if (handle_)
        return;
    if (parent_)
        parent_->HandleNeeded();
    CreateHandle();
}

void TWinControl::CreateHandle()
{
    if (handle_)
        return;
    CreateWnd();
}

void TWinControl::DestroyHandle()
{
    if (!handle_)
        return;
    DestroyWnd();
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params.Caption = Text();
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    Params.Style = parent_ ? WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS : WS_POPUP;
    if (tabStop_)
        Params.Style |= WS_TABSTOP;
    if (!Enabled())
        Params.Style |= WS_DISABLED;
    Params.WndParent = parent_ ? parent_->handle_ : nullptr;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd()
{
    ui::EnsurePlatform();
    TCreateParams params;
    CreateParams(params);
    CreateWindowHandle(params);
    ui::SendMessage(handle_, WM_CREATE, 0, 0);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params)
{
    mainWndProc_ = ui::MakeWindowProc([this](HWND, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        TMessage message{msg, w, l, 0};
        try {
            WindowProc(message);
        } catch (...) {
            ui::HandleException(this);
        }
        return message.Result;
    });
    handle_ = ui::CreateRawWindow(mainWndProc_);
    ControlsByHandle()[handle_] = this;
    surface_ = std::make_unique<ui::TWindowSurface>(this, handle_, parent_ ? parent_->surface_.get() : nullptr);
    surface_->SetGeometry(Bounds(Params.X, Params.Y, Params.Width, Params.Height));
    surface_->SetEnabled(Enabled());
    if (Cursor() != crDefault)
        surface_->ShowCursorShape(Cursor());
}

void TWinControl::DestroyWnd()
{
    DestroyChildHandles();
    ControlState.Include(csDestroyingHandle);
    HWND wnd = handle_;
    if (ui::GetFocus() == wnd)
        ui::ChangeFocus(nullptr);
    ui::DestroyRawWindow(wnd);
    ControlsByHandle().erase(wnd);
    handle_ = nullptr;
    surface_.reset();
    mainWndProc_.reset();
    ControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyChildHandles()
{
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->DestroyHandle();
}

void TWinControl::RecreateWnd()
{
    if (!handle_)
        return;
    DestroyHandle();
    HandleNeeded();
    UpdateShowing();
}

TControl* TWinControl::Controls(int Index) const
{
    if (Index < 0 || Index >= ControlCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return controls_[static_cast<size_t>(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const
{
    while (Control && Control != this)
        Control = Control->Parent();
    return Control == this;
}

void TWinControl::InsertControl(TControl* AControl)
{
    controls_.push_back(AControl);
    AControl->parent_ = this;
    AControl->ParentFontChanged();
    AControl->ParentColorChanged();
    if (AControl->parentShowHint_)
        AControl->showHint_ = ShowHint();
    if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
        if (handle_)
            win->UpdateShowing();
    } else {
        AControl->Invalidate();
    }
    ControlChanged(AControl);
}

void TWinControl::RemoveControl(TControl* AControl)
{
    if (mouseOver_ == AControl)
        mouseOver_ = nullptr;
    if (ui::GetCaptureControl() == AControl)
        ui::SetCaptureControl(nullptr);
    if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
        // The form must not keep a control that leaves it as its active one.
        TCustomForm* form = ComponentState() & csDestroying ? nullptr : ParentForm();
        if (TWinControl* active = form ? form->ActiveControl() : nullptr;
            active && (active == win || win->ContainsControl(active)))
            form->SetActiveControl(nullptr);
        win->DestroyHandle();
    } else
        AControl->Invalidate();
    std::erase(controls_, AControl);
    AControl->parent_ = nullptr;
    if (!(ComponentState() & csDestroying))
        ControlChanged(AControl);
}

void TWinControl::ControlChanged(TControl* Child)
{
    if (Child->Align() != alNone)
        Realign();
}

void TWinControl::Broadcast(TMessage& Message)
{
    for (size_t i = 0; i < controls_.size(); ++i) {
        controls_[i]->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) const
{
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!AllowWinControls && dynamic_cast<TWinControl*>(c))
            continue;
        if (c->Visible() && (AllowDisabled || c->Enabled()) && c->BoundsRect().Contains(Pos.X, Pos.Y))
            return c;
    }
    return nullptr;
}

void TWinControl::SetVisible(bool Value)
{
    if (Visible() == Value)
        return;
    TControl::SetVisible(Value);
    UpdateShowing();
}

void TWinControl::SetEnabled(bool Value)
{
    TControl::SetEnabled(Value);
    if (surface_)
        surface_->SetEnabled(Value);
}

bool TWinControl::Showing() const
{
    if (parent_)
        return Visible() && parent_->Showing();
    return Visible() && surface_ && surface_->IsShown();
}

void TWinControl::UpdateShowing()
{
    if (!parent_)
        return; // top-level windows are shown by their form
    bool show = Visible() && parent_->Showing();
    if (show) {
        HandleNeeded();
        surface_->SetShown(true);
        for (TControl* c : controls_)
            if (auto* w = dynamic_cast<TWinControl*>(c))
                w->UpdateShowing();
    } else if (surface_) {
        surface_->SetShown(false);
    }
}

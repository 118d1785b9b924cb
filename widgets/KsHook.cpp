#include "widgets/KsHook.h"

#include "platform/ui/Forms.h"
#include "platform/ui/HiddenWindows.h"

#include <algorithm>

IMPLEMENT_CLASS(TKsWindowHook)

namespace {

THookList*& TheHookList()
{
    // Lives until the process ends: controls may be freed by static
    // destructors that run after any finalisation of this unit.
    static THookList* list = nullptr;
    return list;
}

} // namespace

// Our link in a control's WindowProc chain. It holds the procedure it was put
// in front of, so that it always passes messages on, also when its control
// hook is gone or has been replaced by a newer link.
struct THookProc {
    std::weak_ptr<TControlHook> Hook;
    uint64_t Installation = 0;
    TWndMethod Previous;

    void operator()(TMessage& Message) const
    {
        std::shared_ptr<TControlHook> hook = Hook.lock();
        if (hook && hook->installation_ == Installation && hook->prevWndProc_)
            hook->ControlHookWndProc(Message, Previous);
        else if (Previous)
            Previous(Message);
    }
};

// ---------------------------------------------------------------------------
// TControlHook

TControlHook::TControlHook() = default;

TControlHook::~TControlHook()
{
    destroying_ = true;
    while (!hooks_.empty())
        RemoveHookFromList(hooks_.back());
    control_ = nullptr;
}

bool TControlHook::ControlDestroying() const { return control_ && (control_->ComponentState() & csDestroying); }

void TControlHook::AddHookToList(TKsWindowHook* Hook)
{
    if (std::find(hooks_.begin(), hooks_.end(), Hook) == hooks_.end()) {
        hooks_.push_back(Hook);
        Hook->controlHook_ = this;
        SetHookControl(Hook->control_);
    }
    HookWindowProc();
}

void TControlHook::RemoveHookFromList(TKsWindowHook* Hook)
{
    Hook->controlHook_ = nullptr;
    std::erase(hooks_, Hook);
    if (hooks_.empty()) {
        UnhookWindowProc();
        // A control on its way out is forgotten, so that a new control at
        // the same address never finds this control hook.
        if (ControlDestroying())
            control_ = nullptr;
    }
}

void TControlHook::SetHookControl(TWinControl* Value)
{
    if (Value == control_)
        return;
    UnhookWindowProc();
    control_ = Value;
    if (!hooks_.empty())
        HookWindowProc();
}

void TControlHook::HookWindowProc()
{
    if (!control_ || destroying_ || ControlDestroying())
        return;
    TControl* control = control_;
    if (control->ComponentState() & csDesigning)
        return;
    if (const THookProc* current = control->WindowProc.target<THookProc>())
        if (current->Hook.lock().get() == this && current->Installation == installation_ && prevWndProc_)
            return;
    ++installation_;
    prevWndProc_ = control->WindowProc;
    if (!prevWndProc_) // nothing installed: the control's own handling
        prevWndProc_ = [control](TMessage& m) { control->WndProc(m); };
    control->WindowProc = THookProc{self_, installation_, prevWndProc_};
}

void TControlHook::UnhookWindowProc()
{
    if (!control_ || !prevWndProc_)
        return;
    // A control being freed has lost its chain already.
    if (!ControlDestroying()) {
        TControl* control = control_;
        const THookProc* current = control->WindowProc.target<THookProc>();
        if (current && current->Hook.lock().get() == this && current->Installation == installation_)
            control->WindowProc = prevWndProc_;
    }
    // Our link, if someone else's procedure was put in front of it, stays
    // in the chain and from now on only passes messages on.
    prevWndProc_ = nullptr;
    ++installation_;
}

void TControlHook::ControlHookWndProc(TMessage& Message, const TWndMethod& Previous)
{
    if (!control_)
        return;
    bool handled = false;
    if (Message.Msg != WM_QUIT)
        NotifyHooks(TPhase::Before, Message, handled);
    // WM_DESTROY always reaches the control, whatever the hooks said.
    if (handled && Message.Msg != WM_DESTROY)
        return;
    try {
        Previous(Message);
    } catch (...) {
        NotifyHooks(TPhase::After, Message, handled);
        throw;
    }
    NotifyHooks(TPhase::After, Message, handled);
}

void TControlHook::NotifyHooks(TPhase Phase, TMessage& Message, bool& Handled)
{
    if (hooks_.empty() || !control_ || destroying_ || ControlDestroying())
        return;
    // Handlers may attach or detach hooks: walk a copy, skipping the gone.
    const std::vector<TKsWindowHook*> hooks = hooks_;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        if (std::find(hooks_.begin(), hooks_.end(), *it) == hooks_.end())
            continue;
        try {
            if (Phase == TPhase::Before)
                (*it)->DoBeforeMessage(Message, Handled);
            else
                (*it)->DoAfterMessage(Message, Handled);
        } catch (...) {
            ui::HandleException(*it);
        }
        if (Handled)
            break;
    }
}

// ---------------------------------------------------------------------------
// THookList

THookList& THookList::Instance()
{
    THookList*& list = TheHookList();
    if (!list)
        list = new THookList;
    return *list;
}

THookList* THookList::Existing() { return TheHookList(); }

THookList::THookList()
{
    handle_ = ui::AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
}

TControlHook* THookList::GetControlHook(TWinControl* Control)
{
    for (const auto& hook : hooks_)
        if (hook->control_ == Control && !hook->destroying_)
            return hook.get();
    auto hook = std::make_shared<TControlHook>();
    hook->self_ = hook;
    hooks_.push_back(hook);
    hook->SetHookControl(Control);
    return hook.get();
}

bool THookList::Contains(const TControlHook* Hook) const
{
    return std::any_of(hooks_.begin(), hooks_.end(), [Hook](const auto& h) { return h.get() == Hook; });
}

void THookList::PostRelease(TControlHook* Hook)
{
    ui::PostMessage(handle_, CM_RELEASEHOOK, 0, reinterpret_cast<LPARAM>(Hook));
}

void THookList::Release(TControlHook* Hook)
{
    auto it = std::find_if(hooks_.begin(), hooks_.end(), [Hook](const auto& h) { return h.get() == Hook; });
    if (it == hooks_.end() || !(*it)->hooks_.empty())
        return;
    std::shared_ptr<TControlHook> released = std::move(*it);
    hooks_.erase(it);
    (void)released; // freed here, or when the last message it handles ends
}

void THookList::WndProc(TMessage& Message)
{
    try {
        if (Message.Msg == CM_RELEASEHOOK)
            Release(reinterpret_cast<TControlHook*>(Message.LParam));
        else
            Message.Result = ui::DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
    } catch (...) {
        ui::HandleException(nullptr);
    }
}

// ---------------------------------------------------------------------------
// TKsWindowHook

TKsWindowHook::TKsWindowHook(TComponent* AOwner) : TComponent(AOwner) { }

TKsWindowHook::~TKsWindowHook()
{
    Destroying();
    BeforeMessage = nullptr;
    AfterMessage = nullptr;
    SetActive(false);
    SetWinControl(nullptr);
}

void TKsWindowHook::SetActive(bool Value)
{
    if (Value == active_)
        return;
    if (Value)
        HookControl();
    else
        UnhookControl();
}

TWinControl* TKsWindowHook::WinControl() const
{
    return controlHook_ && controlHook_->Control() ? controlHook_->Control() : control_;
}

void TKsWindowHook::SetWinControl(TWinControl* Value)
{
    if (Value == control_)
        return;
    bool wasActive = active_;
    TControlHook* former = DoUnhookControl();
    if (control_)
        RemoveFreeNotification(control_);
    control_ = Value;
    if (Value)
        FreeNotification(Value);
    if (former && former->Hooks().empty())
        if (THookList* list = THookList::Existing())
            list->PostRelease(former);
    if (wasActive)
        HookControl();
}

void TKsWindowHook::HookControl()
{
    if (control_ && !(ComponentState() & csDestroying))
        THookList::Instance().GetControlHook(control_)->AddHookToList(this);
    active_ = true;
}

void TKsWindowHook::UnhookControl()
{
    DoUnhookControl();
    active_ = false;
}

TControlHook* TKsWindowHook::DoUnhookControl()
{
    TControlHook* hook = controlHook_;
    if (hook)
        hook->RemoveHookFromList(this);
    active_ = false;
    return hook;
}

HWND TKsWindowHook::GetHookHandle() const
{
    THookList* list = THookList::Existing();
    return list ? list->Handle() : nullptr;
}

bool TKsWindowHook::IsForm() const { return control_ && control_ == Owner() && dynamic_cast<TCustomForm*>(Owner()); }

void TKsWindowHook::SetIsForm(bool Value)
{
    if (Value)
        if (auto* form = dynamic_cast<TCustomForm*>(Owner()))
            SetWinControl(form);
}

void TKsWindowHook::DoBeforeMessage(TMessage& Msg, bool& Handled)
{
    if (BeforeMessage)
        BeforeMessage(this, Msg, Handled);
}

void TKsWindowHook::DoAfterMessage(TMessage& Msg, bool& Handled)
{
    if (AfterMessage)
        AfterMessage(this, Msg, Handled);
}

void TKsWindowHook::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == control_ || AComponent == Owner() || !Owner())
        SetWinControl(nullptr);
}

#pragma once
// Message hooks on a windowed control: a hook component sees every message of
// its control before and after the control's own message handling and may
// swallow it. The hooks of one control share one control hook, which links
// itself into the control's WindowProc chain; the most recently attached hook
// sees a message first.

#include "platform/rtl/Classes.h"
#include "platform/ui/Messages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TWinControl;
class TKsWindowHook;

using THookMessageEvent = std::function<void(TObject* Sender, TMessage& Msg, bool& Handled)>;

// Messages of the hook list's hidden window.
constexpr UINT CM_RELEASEHOOK = 0xB053;

// One per hooked control, shared by the hook components attached to it.
class TControlHook {
public:
    TControlHook();
    ~TControlHook();
    TControlHook(const TControlHook&) = delete;
    TControlHook& operator=(const TControlHook&) = delete;

    TWinControl* Control() const { return control_; }
    const std::vector<TKsWindowHook*>& Hooks() const { return hooks_; }
    // True while our procedure is linked into the control's chain.
    bool Hooked() const { return static_cast<bool>(prevWndProc_); }

    void AddHookToList(TKsWindowHook* Hook);
    void RemoveHookFromList(TKsWindowHook* Hook);
    void SetHookControl(TWinControl* Value);
    void HookWindowProc();
    void UnhookWindowProc();

private:
    friend struct THookProc;
    void ControlHookWndProc(TMessage& Message, const TWndMethod& Previous);
    enum class TPhase { Before, After };
    void NotifyHooks(TPhase Phase, TMessage& Message, bool& Handled);
    bool ControlDestroying() const;

    TWinControl* control_ = nullptr;
    TWndMethod prevWndProc_;
    uint64_t installation_ = 0; // which of our links in the chain is live
    std::vector<TKsWindowHook*> hooks_;
    bool destroying_ = false;
    std::weak_ptr<TControlHook> self_;
    friend class THookList;
};

// The process-wide list of control hooks and the hidden window that frees a
// control hook later, never while its own procedure runs.
class THookList {
public:
    static THookList& Instance();
    // The existing list, or nullptr before the first hook.
    static THookList* Existing();

    TControlHook* GetControlHook(TWinControl* Control);
    bool Contains(const TControlHook* Hook) const;
    void PostRelease(TControlHook* Hook);
    HWND Handle() const { return handle_; }
    int Count() const { return static_cast<int>(hooks_.size()); }

private:
    THookList();
    void WndProc(TMessage& Message);
    void Release(TControlHook* Hook);

    std::vector<std::shared_ptr<TControlHook>> hooks_;
    HWND handle_ = nullptr;
};

class TKsWindowHook : public TComponent {
    DECLARE_CLASS(TKsWindowHook, TComponent)
public:
    explicit TKsWindowHook(TComponent* AOwner);
    ~TKsWindowHook() override;

    bool Active() const { return active_; }
    void SetActive(bool Value);
    TWinControl* WinControl() const;
    void SetWinControl(TWinControl* Value);
    TControlHook* ControlHook() const { return controlHook_; }

    THookMessageEvent BeforeMessage;
    THookMessageEvent AfterMessage;

    void HookControl();
    void UnhookControl();
    // The hook list's window, nullptr before any hook exists.
    HWND GetHookHandle() const;

    // Stored with the form: the hook watches its owner form. WinControl is
    // stored by name only when it is not that form.
    bool IsForm() const;
    void SetIsForm(bool Value);
    bool NotIsForm() const { return control_ && !IsForm(); }

protected:
    virtual void DoBeforeMessage(TMessage& Msg, bool& Handled);
    virtual void DoAfterMessage(TMessage& Msg, bool& Handled);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TControlHook;
    TControlHook* DoUnhookControl();

    bool active_ = true;
    TWinControl* control_ = nullptr;
    TControlHook* controlHook_ = nullptr;
};

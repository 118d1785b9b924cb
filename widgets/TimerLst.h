#pragma once
// A list of periodic events served by one system timer: the list works out a
// tick period that divides every event's interval and, on each tick, fires
// the events whose time has come. Everything runs on the main thread through
// the messages of a hidden window of the list's own.

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Messages.h"

#include <cstdint>
#include <functional>
#include <vector>

// The system refused a timer.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

// The run-time library's text for a refused timer.
inline constexpr const char* SNoTimers = "Not enough timers available";

class TKsTimerList;

// Called after every firing of any event of a list, with that event's handle.
using TAllTimersEvent = std::function<void(TObject* Sender, int32_t Handle)>;

class TKsTimerEvent : public TComponent {
    DECLARE_CLASS(TKsTimerEvent, TComponent)
public:
    explicit TKsTimerEvent(TComponent* AOwner);
    // Leaves its list first, so the list never keeps a freed event.
    ~TKsTimerEvent() override;

    bool Cycled = true;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    int32_t Interval() const { return interval_; }
    // Negative intervals are taken as 0.
    void SetInterval(int32_t Value);
    int32_t RepeatCount() const { return repeatCount_; }
    void SetRepeatCount(int32_t Value);
    int32_t AsSeconds() const { return interval_ / 1000; }
    void SetAsSeconds(int32_t Value) { SetInterval(Value * 1000); }

    int32_t ExecCount() const { return execCount_; }
    int32_t Handle() const { return handle_; }
    uint32_t LastTick() const { return lastTick_; }
    TKsTimerList* ParentList() const { return parentList_; }

    TNotifyEvent OnTimer;

    // The event is stored as a child of its list.
    bool HasParent() const { return true; }
    TComponent* GetParentComponent() const;
    void SetParentComponent(TComponent* Value);

private:
    friend class TKsTimerList;
    void Fired(uint32_t now);

    bool enabled_ = true;
    int32_t execCount_ = 0;
    int32_t handle_ = -1;
    int32_t interval_ = 1000;
    uint32_t lastTick_ = 0;
    TKsTimerList* parentList_ = nullptr;
    int32_t repeatCount_ = 0;
};

class TKsTimerList : public TComponent {
    DECLARE_CLASS(TKsTimerList, TComponent)
public:
    explicit TKsTimerList(TComponent* AOwner);
    // Calls no OnFinish.
    ~TKsTimerList() override;

    bool Active() const { return active_; }
    void SetActive(bool Value);
    void Activate() { SetActive(true); }
    // Does nothing while the list is being loaded.
    void Deactivate();

    const std::vector<TKsTimerEvent*>& Events() const { return events_; }
    // The hidden window while active, nullptr otherwise.
    HWND WindowHandle() const { return windowHandle_; }
    // The tick period in use; 0 = no timer.
    int32_t Period() const { return period_; }

    TNotifyEvent OnFinish;
    TAllTimersEvent OnTimers;

    // Creates an event owned by the list's owner and returns its handle.
    virtual int32_t Add(TNotifyEvent AOnTimer, int32_t AInterval, bool ACycled);
    // Unknown handles are ignored.
    virtual void Delete(int32_t AHandle);
    int32_t AddItem(TKsTimerEvent* AEvent);
    void RemoveItem(TKsTimerEvent* AEvent);
    void Clear();

    int ItemIndexByHandle(int32_t AHandle) const;
    TKsTimerEvent* ItemByHandle(int32_t AHandle) const;
    int Count() const { return static_cast<int>(events_.size()); }
    int EnabledCount() const;

    // The events are the list's children in a stored form.
    void GetChildren(const std::function<void(TComponent*)>& Proc) const;

protected:
    // Handles start at 1 and are never given out twice by one list.
    virtual int32_t NextHandle() { return ++sequence_; }
    virtual TKsTimerEvent* CreateNewEvent();
    virtual void DoTimer(TKsTimerEvent* Event);

    void SetEvents(uint32_t now);
    void Sort();
    void CalculateInterval(uint32_t now);
    void UpdateTimer();
    // True when an event stopped during this pass.
    bool ProcessEvents();
    void TimerWndProc(TMessage& Message);

private:
    friend class TKsTimerEvent;
    bool Designing() const { return (ComponentState() & csDesigning) != 0; }
    void EventChanged();
    void AfterTick(bool anEventStopped);
    void FreeRemovedEvent(TKsTimerEvent* AEvent);

    std::vector<TKsTimerEvent*> events_;
    HWND windowHandle_ = nullptr;
    bool active_ = false;
    int32_t period_ = 0;
    int32_t sequence_ = 0;
    bool eventStopped_ = false; // of the pass running now
};

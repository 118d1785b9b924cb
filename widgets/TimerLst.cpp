#include "widgets/TimerLst.h"

#include "platform/rtl/Clock.h"
#include "platform/ui/Controls.h"
#include "platform/ui/HiddenWindows.h"

#include <algorithm>
#include <climits>

IMPLEMENT_CLASS(TKsTimerEvent)
IMPLEMENT_CLASS(TKsTimerList)

namespace {

constexpr std::uintptr_t TimerId = 1;
constexpr int32_t MinimumPeriod = 100;
// An event fires up to this much before its interval is complete, so that
// a tick that comes a little early does not delay it by a whole period.
constexpr int64_t EarlyFiring = 50;

int64_t Elapsed(uint32_t now, uint32_t since) { return static_cast<uint32_t>(now - since); }

} // namespace

// ---------------------------------------------------------------------------
// TKsTimerEvent

TKsTimerEvent::TKsTimerEvent(TComponent* AOwner) : TComponent(AOwner), lastTick_(rtl::GetTickCount()) { }

TKsTimerEvent::~TKsTimerEvent()
{
    OnTimer = nullptr;
    if (parentList_)
        parentList_->RemoveItem(this);
}

void TKsTimerEvent::SetEnabled(bool Value)
{
    if (Value == enabled_)
        return;
    enabled_ = Value;
    if (!Value)
        return;
    execCount_ = 0;
    lastTick_ = rtl::GetTickCount();
    if (parentList_)
        parentList_->EventChanged();
}

void TKsTimerEvent::SetInterval(int32_t Value)
{
    // A negative interval would make the period search run without end.
    Value = std::max(Value, 0);
    if (Value == interval_)
        return;
    interval_ = Value;
    if (parentList_)
        parentList_->EventChanged();
}

void TKsTimerEvent::SetRepeatCount(int32_t Value)
{
    Value = std::max(Value, Cycled ? 0 : 1);
    if (Value == repeatCount_)
        return;
    if (!(ComponentState() & csDesigning) && enabled_ && Value <= execCount_)
        SetEnabled(false);
    repeatCount_ = Value;
}

TComponent* TKsTimerEvent::GetParentComponent() const { return parentList_; }

void TKsTimerEvent::SetParentComponent(TComponent* Value)
{
    if (parentList_)
        parentList_->RemoveItem(this);
    if (auto* list = dynamic_cast<TKsTimerList*>(Value))
        list->AddItem(this);
}

void TKsTimerEvent::Fired(uint32_t now)
{
    lastTick_ = now;
    ++execCount_;
    SetEnabled(Cycled || execCount_ < repeatCount_);
}

// ---------------------------------------------------------------------------
// TKsTimerList

TKsTimerList::TKsTimerList(TComponent* AOwner) : TComponent(AOwner)
{
    rtl::RegisterClass(TKsTimerEvent::StaticClass());
}

TKsTimerList::~TKsTimerList()
{
    OnFinish = nullptr;
    OnTimers = nullptr;
    SetActive(false);
    Clear();
}

void TKsTimerList::SetActive(bool Value)
{
    if (Value == active_ || Designing())
        return;
    if (Value) {
        windowHandle_ = ui::AllocateHWnd([this](TMessage& Message) { TimerWndProc(Message); });
        uint32_t now = rtl::GetTickCount();
        SetEvents(now);
        CalculateInterval(now);
        Sort();
        try {
            UpdateTimer();
        } catch (...) {
            ui::DeallocateHWnd(windowHandle_);
            windowHandle_ = nullptr;
            throw;
        }
        // Marked only now: an activation without enabled events keeps the
        // window without a timer, and enabling an event later arms it.
        active_ = true;
        return;
    }
    ui::KillTimer(windowHandle_, TimerId);
    ui::DeallocateHWnd(windowHandle_);
    windowHandle_ = nullptr;
    active_ = false;
    if (OnFinish)
        OnFinish(this);
}

void TKsTimerList::Deactivate()
{
    if (!(ComponentState() & csLoading))
        SetActive(false);
}

TKsTimerEvent* TKsTimerList::CreateNewEvent()
{
    // Events belong to the list's owner; a list without owner keeps them.
    return new TKsTimerEvent(Owner() ? Owner() : this);
}

int32_t TKsTimerList::Add(TNotifyEvent AOnTimer, int32_t AInterval, bool ACycled)
{
    TKsTimerEvent* event = CreateNewEvent();
    try {
        events_.push_back(event);
    } catch (...) {
        delete event;
        return -1;
    }
    event->OnTimer = std::move(AOnTimer);
    event->parentList_ = this;
    event->handle_ = NextHandle();
    event->SetInterval(AInterval);
    event->Cycled = ACycled;
    uint32_t now = rtl::GetTickCount();
    CalculateInterval(now);
    Sort();
    UpdateTimer();
    return event->handle_;
}

int32_t TKsTimerList::AddItem(TKsTimerEvent* AEvent)
{
    if (!AEvent)
        return -1;
    if (AEvent->parentList_ == this)
        return AEvent->handle_;
    if (AEvent->parentList_)
        AEvent->parentList_->RemoveItem(AEvent);
    try {
        events_.push_back(AEvent);
    } catch (...) {
        return -1;
    }
    AEvent->handle_ = NextHandle();
    AEvent->parentList_ = this;
    uint32_t now = rtl::GetTickCount();
    CalculateInterval(now);
    Sort();
    UpdateTimer();
    return AEvent->handle_;
}

void TKsTimerList::Delete(int32_t AHandle)
{
    TKsTimerEvent* event = ItemByHandle(AHandle);
    if (!event)
        return;
    RemoveItem(event);
    FreeRemovedEvent(event);
    if (active_) {
        CalculateInterval(rtl::GetTickCount());
        UpdateTimer();
    }
}

void TKsTimerList::RemoveItem(TKsTimerEvent* AEvent)
{
    std::erase(events_, AEvent);
    if (AEvent && AEvent->parentList_ == this)
        AEvent->parentList_ = nullptr;
}

void TKsTimerList::Clear()
{
    while (!events_.empty()) {
        TKsTimerEvent* event = events_.back();
        RemoveItem(event);
        FreeRemovedEvent(event);
    }
}

void TKsTimerList::FreeRemovedEvent(TKsTimerEvent* AEvent)
{
    if (!(AEvent->ComponentState() & csDestroying))
        delete AEvent;
}

int TKsTimerList::ItemIndexByHandle(int32_t AHandle) const
{
    for (int i = 0; i < Count(); ++i)
        if (events_[i]->handle_ == AHandle)
            return i;
    return -1;
}

TKsTimerEvent* TKsTimerList::ItemByHandle(int32_t AHandle) const
{
    int index = ItemIndexByHandle(AHandle);
    return index < 0 ? nullptr : events_[index];
}

int TKsTimerList::EnabledCount() const
{
    return static_cast<int>(std::count_if(events_.begin(), events_.end(), [](auto* e) { return e->enabled_; }));
}

void TKsTimerList::GetChildren(const std::function<void(TComponent*)>& Proc) const
{
    for (TKsTimerEvent* event : events_)
        Proc(event);
}

void TKsTimerList::EventChanged()
{
    CalculateInterval(rtl::GetTickCount());
    UpdateTimer();
}

void TKsTimerList::SetEvents(uint32_t now)
{
    for (TKsTimerEvent* event : events_)
        if (event->enabled_)
            event->lastTick_ = now;
}

void TKsTimerList::Sort()
{
    if (Designing())
        return;
    // Bubble sort keeps events of equal interval in their order.
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (size_t i = 1; i < events_.size(); ++i)
            if (events_[i - 1]->interval_ > events_[i]->interval_) {
                std::swap(events_[i - 1], events_[i]);
                exchanged = true;
            }
    }
}

void TKsTimerList::CalculateInterval(uint32_t now)
{
    if (Designing())
        return;
    if (events_.empty()) {
        period_ = 0;
        return;
    }
    int64_t t = INT32_MAX;
    for (const TKsTimerEvent* event : events_) {
        if (!event->enabled_ || event->interval_ <= 0)
            continue;
        t = std::min<int64_t>(t, event->interval_);
        t = std::min<int64_t>(t, event->interval_ - Elapsed(now, event->lastTick_));
    }
    t = std::max<int64_t>(t, MinimumPeriod);
    if (t == INT32_MAX) {
        period_ = 0;
        return;
    }
    // The largest period above the minimum that divides every interval.
    bool lowered = true;
    while (lowered && t > MinimumPeriod) {
        lowered = false;
        for (const TKsTimerEvent* event : events_) {
            int64_t remainder = event->interval_ % t;
            if (remainder != 0) {
                t -= remainder;
                lowered = true;
                break;
            }
        }
    }
    period_ = static_cast<int32_t>(std::max<int64_t>(t, MinimumPeriod));
}

void TKsTimerList::UpdateTimer()
{
    if (!windowHandle_ || Designing())
        return;
    ui::KillTimer(windowHandle_, TimerId);
    if (EnabledCount() == 0) {
        Deactivate();
    } else if (period_ > 0 && !ui::SetTimer(windowHandle_, TimerId, static_cast<UINT>(period_))) {
        Deactivate();
        throw EOutOfResources(SNoTimers);
    }
}

bool TKsTimerList::ProcessEvents()
{
    if (Designing())
        return false;
    uint32_t now = rtl::GetTickCount();
    bool anEventStopped = false;
    for (int i = Count() - 1; i >= 0; --i) {
        if (i >= Count())
            continue; // a handler removed events
        TKsTimerEvent* event = events_[i];
        if (!event->enabled_ || Elapsed(now, event->lastTick_) < int64_t(event->interval_) - EarlyFiring)
            continue;
        event->Fired(now);
        if (!event->enabled_) {
            anEventStopped = true;
            eventStopped_ = true;
        }
        DoTimer(event);
    }
    return anEventStopped;
}

void TKsTimerList::DoTimer(TKsTimerEvent* Event)
{
    int32_t handle = Event->handle_;
    // Copies: a handler may free its own event.
    if (TNotifyEvent handler = Event->OnTimer)
        handler(Event);
    if (TAllTimersEvent all = OnTimers)
        all(this, handle);
}

void TKsTimerList::TimerWndProc(TMessage& Message)
{
    if (Message.Msg != WM_TIMER) {
        Message.Result = ui::DefWindowProc(windowHandle_, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    if (Designing())
        return;
    try {
        if (!active_) {
            UpdateTimer();
            return;
        }
        eventStopped_ = false;
        bool anEventStopped = false;
        try {
            anEventStopped = ProcessEvents();
        } catch (...) {
            // The rest of the pass is skipped, but an event that stopped
            // before the handler raised still stops the list when it was the
            // last one.
            ui::HandleException(this);
            anEventStopped = eventStopped_;
        }
        AfterTick(anEventStopped);
    } catch (...) {
        ui::HandleException(this);
    }
}

void TKsTimerList::AfterTick(bool anEventStopped)
{
    if (!anEventStopped || !active_)
        return;
    if (EnabledCount() > 0) {
        CalculateInterval(rtl::GetTickCount());
        UpdateTimer();
    } else {
        Deactivate();
    }
}

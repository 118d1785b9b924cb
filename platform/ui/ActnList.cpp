#include "platform/ui/ActnList.h"

#include <algorithm>

#include "platform/rtl/Setters.h"
#include "platform/ui/ImgList.h"

IMPLEMENT_CLASS(TBasicAction)
IMPLEMENT_CLASS(TCustomAction)
IMPLEMENT_CLASS(TAction)
IMPLEMENT_CLASS(TCustomActionList)
IMPLEMENT_CLASS(TActionList)

// ---------------------------------------------------------------------------
// TBasicActionLink

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* Value)
{
    if (Value == action_)
        return;
    if (action_)
        std::erase(action_->clients_, this);
    action_ = Value;
    if (action_)
        action_->clients_.push_back(this);
}

bool TBasicActionLink::Execute() { return action_ && action_->Execute(); }

void TBasicActionLink::Changed()
{
    if (OnChange)
        OnChange(action_);
}

// ---------------------------------------------------------------------------
// TBasicAction

TBasicAction::~TBasicAction()
{
    // The links outlive the action in their clients; they must not point here.
    for (TBasicActionLink* link : clients_)
        link->action_ = nullptr;
    clients_.clear();
}

bool TBasicAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

void TBasicAction::Change()
{
    // A client may drop its link while it is told.
    const std::vector<TBasicActionLink*> clients = clients_;
    for (TBasicActionLink* link : clients)
        if (std::find(clients_.begin(), clients_.end(), link) != clients_.end())
            link->Changed();
}

// ---------------------------------------------------------------------------
// TCustomAction

TCustomAction::~TCustomAction() { SetActionList(nullptr); }

void TCustomAction::SetActionList(TCustomActionList* Value)
{
    if (Value == actionList_)
        return;
    if (actionList_)
        actionList_->RemoveAction(this);
    actionList_ = Value;
    if (actionList_)
        actionList_->AddAction(this);
    Change();
}

template <class T> void TCustomAction::ChangeValue(T& Field, const T& Value)
{
    if (rtl::AssignIfChanged(Field, Value))
        Change();
}

void TCustomAction::SetCaption(const std::string& Value) { ChangeValue(caption_, Value); }
void TCustomAction::SetChecked(bool Value) { ChangeValue(checked_, Value); }
void TCustomAction::SetEnabled(bool Value) { ChangeValue(enabled_, Value); }
void TCustomAction::SetHint(const std::string& Value) { ChangeValue(hint_, Value); }
void TCustomAction::SetImageIndex(int Value) { ChangeValue(imageIndex_, Value); }
void TCustomAction::SetVisible(bool Value) { ChangeValue(visible_, Value); }

// ---------------------------------------------------------------------------
// TCustomActionList

TCustomActionList::~TCustomActionList()
{
    Destroying();
    while (!actions_.empty())
        actions_.back()->SetActionList(nullptr);
    SetImages(nullptr);
}

void TCustomActionList::SetImages(TImageList* Value)
{
    if (Value == images_)
        return;
    if (images_)
        images_->RemoveFreeNotification(this);
    images_ = Value;
    if (images_)
        images_->FreeNotification(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_)
        images_ = nullptr;
}

void TCustomActionList::AddAction(TCustomAction* Action) { actions_.push_back(Action); }

void TCustomActionList::RemoveAction(TCustomAction* Action) { std::erase(actions_, Action); }

#pragma once

// Actions: one command (caption, enabled and checked state, image) shared by
// the controls that show it. A control follows its action through a link;
// every change of the action is passed on to the linked controls, and a
// click of such a control executes the action.

#include <string>
#include <vector>

#include "platform/rtl/Classes.h"

class TImageList;
class TBasicAction;
class TCustomActionList;

// The connection of one client to one action. The action tells the link
// about its changes; the client learns of them through OnChange.
class TBasicActionLink {
public:
    TBasicActionLink() = default;
    virtual ~TBasicActionLink();
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TBasicAction* Action() const { return action_; }
    void SetAction(TBasicAction* Value);
    // Runs the action; false without one.
    virtual bool Execute();

    // The action changed (Sender: the action).
    TNotifyEvent OnChange;

private:
    friend class TBasicAction;
    void Changed();
    TBasicAction* action_ = nullptr;
};

class TBasicAction : public TComponent {
    DECLARE_CLASS(TBasicAction, TComponent)
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) { }
    ~TBasicAction() override;

    // Fires OnExecute; false when there is no handler.
    virtual bool Execute();
    TNotifyEvent OnExecute;

protected:
    // Tells every linked client.
    void Change();

private:
    friend class TBasicActionLink;
    std::vector<TBasicActionLink*> clients_;
};

class TCustomAction : public TBasicAction {
    DECLARE_CLASS(TCustomAction, TBasicAction)
public:
    explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) { }
    ~TCustomAction() override;

    // The list the action belongs to (its images serve ImageIndex).
    TCustomActionList* ActionList() const { return actionList_; }
    void SetActionList(TCustomActionList* Value);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return checked_; }
    void SetChecked(bool Value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& Value);
    // -1: no image.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);

private:
    template <class T> void ChangeValue(T& Field, const T& Value);

    TCustomActionList* actionList_ = nullptr;
    std::string caption_;
    bool checked_ = false;
    bool enabled_ = true;
    std::string hint_;
    int imageIndex_ = -1;
    bool visible_ = true;
};

class TAction : public TCustomAction {
    DECLARE_CLASS(TAction, TCustomAction)
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) { }
};

class TCustomActionList : public TComponent {
    DECLARE_CLASS(TCustomActionList, TComponent)
public:
    explicit TCustomActionList(TComponent* AOwner) : TComponent(AOwner) { }
    ~TCustomActionList() override;

    int ActionCount() const { return static_cast<int>(actions_.size()); }
    TCustomAction* Actions(int Index) const { return actions_.at(static_cast<std::size_t>(Index)); }

    // The pictures of the actions' ImageIndex; free-notified.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomAction;
    void AddAction(TCustomAction* Action);
    void RemoveAction(TCustomAction* Action);

    std::vector<TCustomAction*> actions_;
    TImageList* images_ = nullptr;
};

class TActionList : public TCustomActionList {
    DECLARE_CLASS(TActionList, TCustomActionList)
public:
    explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) { }
};

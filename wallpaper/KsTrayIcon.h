#pragma once
// The program's icon in the notification area: a static icon, or an
// animation through an icon list stepped by a timer on the main thread (never
// a thread of its own, so the icon is only touched where it lives). A click
// asked for the context menu opens the popup menu; a double click picks the
// menu's default item.
//
// The desktop reports clicks, double clicks and the request for the context
// menu, not raw mouse buttons or moves over the icon, so there are no
// mouse-button or mouse-move events.

#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/ui/TrayIcon.h"

class TIcon;
class TIconList;
class TPopupMenu;
class TTimer;

class TKsTrayIcon : public TComponent {
    DECLARE_CLASS(TKsTrayIcon, TComponent)

public:
    // The longest tip the notification area takes.
    static constexpr size_t MaxTipLength = 63;

    explicit TKsTrayIcon(TComponent* AOwner);
    ~TKsTrayIcon() override;

    // Setting either copies the object given.
    TIcon& Icon() { return *icon_; }
    void SetIcon(const TIcon* Value);
    TIconList& Icons() { return *icons_; }
    void SetIcons(const TIconList* Value);

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& Value);
    // The tip shown: the hint before any "|", cut to MaxTipLength.
    std::string Tip() const;

    bool Active() const { return active_; }
    void SetActive(bool Value);
    // Stays off while Icons is empty.
    bool Animated() const { return animated_; }
    void SetAnimated(bool Value);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned Value);
    bool Enabled = true;

    // Whether the icon is in the notification area now.
    bool Added() const { return added_; }
    // The icon shown: Icons[index] while animated, else Icon.
    const TIcon* ActiveIcon() const;
    int IconIndex() const { return iconIndex_; }
    // The next animation picture; the timer calls it.
    void AnimationStep();

    TPopupMenu* PopupMenu = nullptr;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

    // The notification-area icon underneath.
    ui::TTrayIcon& Tray() { return *tray_; }

    // What the desktop reported about the icon.
    void Activated(TTrayActivation Reason);

private:
    void IconChanged();
    void ShowIcon();
    void HideIcon();
    bool PopupMenuShown();

    std::unique_ptr<TIcon> icon_;
    std::unique_ptr<TIconList> icons_;
    std::unique_ptr<ui::TTrayIcon> tray_;
    TTimer* timer_ = nullptr; // owned as a component
    std::string hint_;
    int iconIndex_ = -1;
    unsigned interval_ = 150;
    bool active_ = true;
    bool animated_ = false;
    bool added_ = false;
    bool destroying_ = false;
};

#pragma once

// The icon in the desktop's notification area (status notifier or system
// tray), and the shell call that programs use to add, change and remove
// theirs. Clicks on the icon come back as events, or, through the shell
// call, as mouse messages posted to the program's window.
//
// The desktop reports clicks, double clicks, middle clicks and the request
// for the context menu, not raw mouse buttons: a click becomes a left
// button down and up, a double click the double-click message and up, the
// context menu request a right button down and up, a middle click the
// middle button down and up. Where the desktop has no notification area
// yet, the icon is kept and shows as soon as one appears.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/ui/Messages.h"

class TIcon;
class TPopupMenu;

enum class TTrayActivation : std::uint8_t { Click, DoubleClick, MiddleClick, ContextMenu };

namespace ui {

class TTrayIcon {
public:
    TTrayIcon();
    ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    // Whether the desktop shows notification-area icons now.
    static bool Available();

    // A copy of the icon is shown; an empty icon shows nothing.
    void SetIcon(const TIcon* Icon);
    bool HasIcon() const;
    const std::string& Tip() const { return tip_; }
    void SetTip(const std::string& Tip);

    // Puts the icon into the notification area (false without an icon) and
    // takes it out again.
    bool Show();
    void Hide();
    bool Visible() const { return visible_; }

    // Opened at the cursor when the context menu is asked for and no
    // OnContextMenu handler is set; not owned.
    TPopupMenu* PopupMenu = nullptr;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMiddleClick;
    TNotifyEvent OnContextMenu;

    // What the desktop reported; the toolkit's icon calls it.
    void Activated(TTrayActivation Reason);

private:
    void UpdateNative();

    struct Native; // the toolkit's icon, made when first shown
    std::unique_ptr<Native> native_;
    std::unique_ptr<TIcon> icon_;
    std::string tip_;
    bool visible_ = false;
};

} // namespace ui

// The shell call for notification-area icons.
constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 1;
constexpr UINT NIF_ICON = 2;
constexpr UINT NIF_TIP = 4;

struct NOTIFYICONDATA {
    DWORD cbSize = 88;
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    const TIcon* hIcon = nullptr; // not owned; the shell keeps a copy
    std::string szTip;
};

namespace ui {

// Adds, changes or removes the icon of (hWnd, uID). Only the members named
// in uFlags are taken. Mouse input is posted to hWnd as uCallbackMessage
// with uID in WParam and the mouse message in LParam. NIM_ADD fails for an
// icon that exists or has no image; NIM_MODIFY and NIM_DELETE for one that
// does not exist.
bool Shell_NotifyIcon(DWORD Message, const NOTIFYICONDATA& Data);
// The icon behind (Wnd, ID), nullptr when there is none.
TTrayIcon* NotifyIconOf(HWND Wnd, UINT ID);

} // namespace ui

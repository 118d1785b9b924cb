#include "platform/ui/TrayIcon.h"

#include <map>
#include <utility>

#include "platform/graphics/Icon.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"

namespace ui {

void TTrayIcon::SetIcon(const TIcon* Icon)
{
    if (Icon && !Icon->Empty()) {
        if (!icon_)
            icon_ = std::make_unique<TIcon>();
        icon_->Assign(Icon);
    } else {
        icon_.reset();
    }
    if (visible_ && !HasIcon())
        Hide();
    UpdateNative();
}

bool TTrayIcon::HasIcon() const { return icon_ && !icon_->Empty(); }

void TTrayIcon::SetTip(const std::string& Tip)
{
    tip_ = Tip;
    UpdateNative();
}

void TTrayIcon::Activated(TTrayActivation Reason)
{
    switch (Reason) {
    case TTrayActivation::Click:
        if (OnClick)
            OnClick(nullptr);
        break;
    case TTrayActivation::DoubleClick:
        if (OnDblClick)
            OnDblClick(nullptr);
        break;
    case TTrayActivation::MiddleClick:
        if (OnMiddleClick)
            OnMiddleClick(nullptr);
        break;
    case TTrayActivation::ContextMenu:
        if (OnContextMenu) {
            OnContextMenu(nullptr);
        } else if (PopupMenu) {
            TPoint at;
            GetCursorPos(at);
            PopupMenu->Popup(at.X, at.Y);
        }
        break;
    }
}

// --- the shell call ---

namespace {

struct NotifyIcon {
    std::unique_ptr<TTrayIcon> icon = std::make_unique<TTrayIcon>();
    UINT callbackMessage = 0;
};

std::map<std::pair<HWND, UINT>, NotifyIcon>& NotifyIcons()
{
    static std::map<std::pair<HWND, UINT>, NotifyIcon> icons;
    return icons;
}

// What a desktop report looks like to a program that expects mouse buttons.
void PostMouse(HWND wnd, UINT id, UINT message, TTrayActivation reason)
{
    auto post = [&](UINT mouse) { PostMessage(wnd, message, id, static_cast<LPARAM>(mouse)); };
    switch (reason) {
    case TTrayActivation::Click:
        post(WM_LBUTTONDOWN);
        post(WM_LBUTTONUP);
        break;
    case TTrayActivation::DoubleClick:
        post(WM_LBUTTONDBLCLK);
        post(WM_LBUTTONUP);
        break;
    case TTrayActivation::MiddleClick:
        post(WM_MBUTTONDOWN);
        post(WM_MBUTTONUP);
        break;
    case TTrayActivation::ContextMenu:
        post(WM_RBUTTONDOWN);
        post(WM_RBUTTONUP);
        break;
    }
}

void Apply(NotifyIcon& entry, HWND wnd, UINT id, const NOTIFYICONDATA& data)
{
    if (data.uFlags & NIF_MESSAGE)
        entry.callbackMessage = data.uCallbackMessage;
    if (data.uFlags & NIF_ICON)
        entry.icon->SetIcon(data.hIcon);
    if (data.uFlags & NIF_TIP)
        entry.icon->SetTip(data.szTip);
    NotifyIcon* target = &entry;
    auto forward = [target, wnd, id](TTrayActivation reason) {
        if (target->callbackMessage != 0)
            PostMouse(wnd, id, target->callbackMessage, reason);
    };
    entry.icon->OnClick = [forward](TObject*) { forward(TTrayActivation::Click); };
    entry.icon->OnDblClick = [forward](TObject*) { forward(TTrayActivation::DoubleClick); };
    entry.icon->OnMiddleClick = [forward](TObject*) { forward(TTrayActivation::MiddleClick); };
    entry.icon->OnContextMenu = [forward](TObject*) { forward(TTrayActivation::ContextMenu); };
}

} // namespace

bool Shell_NotifyIcon(DWORD Message, const NOTIFYICONDATA& Data)
{
    auto& icons = NotifyIcons();
    const auto key = std::make_pair(Data.hWnd, Data.uID);
    auto found = icons.find(key);
    switch (Message) {
    case NIM_ADD: {
        if (found != icons.end() || !(Data.uFlags & NIF_ICON) || !Data.hIcon || Data.hIcon->Empty())
            return false;
        NotifyIcon& entry = icons[key];
        Apply(entry, Data.hWnd, Data.uID, Data);
        return entry.icon->Show();
    }
    case NIM_MODIFY:
        if (found == icons.end())
            return false;
        Apply(found->second, Data.hWnd, Data.uID, Data);
        // An icon that lost its image is out of sight until it gets one again.
        if (found->second.icon->HasIcon() && !found->second.icon->Visible())
            found->second.icon->Show();
        return true;
    case NIM_DELETE:
        if (found == icons.end())
            return false;
        icons.erase(found);
        return true;
    default: return false;
    }
}

TTrayIcon* NotifyIconOf(HWND Wnd, UINT ID)
{
    auto found = NotifyIcons().find(std::make_pair(Wnd, ID));
    return found == NotifyIcons().end() ? nullptr : found->second.icon.get();
}

} // namespace ui

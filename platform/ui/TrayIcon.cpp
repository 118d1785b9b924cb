#include "platform/ui/TrayIcon.h"

#include <map>
#include <utility>

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Surface.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Menus.h"

namespace ui {

namespace {

// The icon's image with its mask as transparency (white mask pixels are
// background).
QImage ImageOfIcon(const TIcon& icon)
{
    // Reading the pixels changes nothing, but the buffer call is not const.
    auto* image = const_cast<TBitmap*>(icon.Image());
    auto* mask = const_cast<TBitmap*>(icon.Mask());
    if (!image)
        return {};
    const TPixelBuffer pixels = image->PixelBuffer();
    const TPixelBuffer maskPixels = mask ? mask->PixelBuffer() : TPixelBuffer{};
    QImage result(std::max(pixels.Width, 1), std::max(pixels.Height, 1), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = 0; x < pixels.Width; ++x) {
            const bool background = !maskPixels.Empty() && x < maskPixels.Width && y < maskPixels.Height &&
                                    (gfx::ReadPixel(maskPixels, x, y) & 0xFFFFFF) == 0xFFFFFF;
            if (!background)
                result.setPixel(x, y, 0xFF000000u | gfx::ReadPixel(pixels, x, y));
        }
    return result;
}

} // namespace

TTrayIcon::TTrayIcon() = default;

TTrayIcon::~TTrayIcon() { Hide(); }

bool TTrayIcon::Available()
{
    EnsurePlatform();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

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

bool TTrayIcon::Show()
{
    if (!HasIcon())
        return false;
    EnsurePlatform();
    if (!native_) {
        native_ = std::make_unique<QSystemTrayIcon>();
        QObject::connect(native_.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             switch (reason) {
                             case QSystemTrayIcon::Trigger: Activated(TTrayActivation::Click); break;
                             case QSystemTrayIcon::DoubleClick: Activated(TTrayActivation::DoubleClick); break;
                             case QSystemTrayIcon::MiddleClick: Activated(TTrayActivation::MiddleClick); break;
                             case QSystemTrayIcon::Context: Activated(TTrayActivation::ContextMenu); break;
                             default: break;
                             }
                         });
    }
    visible_ = true;
    UpdateNative();
    native_->show();
    return true;
}

void TTrayIcon::Hide()
{
    visible_ = false;
    if (native_)
        native_->hide();
}

void TTrayIcon::UpdateNative()
{
    if (!native_)
        return;
    if (HasIcon())
        native_->setIcon(QIcon(QPixmap::fromImage(ImageOfIcon(*icon_))));
    native_->setToolTip(QString::fromStdString(tip_));
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
            const QPoint at = QCursor::pos();
            PopupMenu->Popup(at.x(), at.y());
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

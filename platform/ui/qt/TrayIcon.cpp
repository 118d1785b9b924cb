// The toolkit's notification-area icon behind TTrayIcon.

#include "platform/ui/TrayIcon.h"

#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "platform/graphics/Icon.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/qt/Pictures.h"

namespace ui {

struct TTrayIcon::Native {
    QSystemTrayIcon Icon;
};

TTrayIcon::TTrayIcon() = default;

TTrayIcon::~TTrayIcon() { Hide(); }

bool TTrayIcon::Available()
{
    EnsurePlatform();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TTrayIcon::Show()
{
    if (!HasIcon())
        return false;
    EnsurePlatform();
    if (!native_) {
        native_ = std::make_unique<Native>();
        QObject::connect(&native_->Icon, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
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
    native_->Icon.show();
    return true;
}

void TTrayIcon::Hide()
{
    visible_ = false;
    if (native_)
        native_->Icon.hide();
}

void TTrayIcon::UpdateNative()
{
    if (!native_)
        return;
    if (HasIcon())
        native_->Icon.setIcon(QIcon(QPixmap::fromImage(ImageOfIcon(*icon_))));
    native_->Icon.setToolTip(QString::fromStdString(tip_));
}

} // namespace ui

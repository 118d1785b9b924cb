// The screen as the toolkit reports it.

#include <QGuiApplication>
#include <QScreen>

#include "platform/ui/Backend.h"
#include "platform/ui/EventLoop.h"

namespace ui::backend {

TRect ScreenRect(bool workArea)
{
    EnsurePlatform();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return Bounds(0, 0, 800, 600);
    QRect r = workArea ? screen->availableGeometry() : screen->geometry();
    return Bounds(r.x(), r.y(), r.width(), r.height());
}

} // namespace ui::backend

// Foreign windows on X11, asked through the toolkit's own connection to the
// X server.

#include "platform/ui/ForeignWindow.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>

#include "platform/ui/Controls.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/qt/WindowWidget.h"

#include <xcb/xcb.h>

namespace ui {

namespace {

xcb_connection_t* XConnection()
{
    EnsurePlatform();
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

std::optional<TRect> ForeignWindowRect(std::uintptr_t WindowId)
{
    xcb_connection_t* connection = XConnection();
    if (!connection || WindowId == 0 || WindowId > 0xFFFFFFFFu)
        return std::nullopt;
    xcb_generic_error_t* error = nullptr;
    xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(
        connection, xcb_get_geometry(connection, static_cast<xcb_window_t>(WindowId)), &error);
    std::free(error);
    if (!reply)
        return std::nullopt;
    const TRect rect{0, 0, reply->width, reply->height};
    std::free(reply);
    return rect;
}

bool EmbedInForeignWindow(TWinControl* Control, std::uintptr_t WindowId)
{
    if (!ForeignWindowRect(WindowId))
        return false;
    QWidget* widget = WidgetOf(Control);
    if (!widget)
        return false;
    widget->winId();
    QWindow* window = widget->windowHandle();
    QWindow* parent = QWindow::fromWinId(static_cast<WId>(WindowId));
    if (!window || !parent)
        return false;
    window->setParent(parent);
    return true;
}

} // namespace ui

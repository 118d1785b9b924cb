#pragma once

// The toolkit's side of the windows (see WindowSurface.h): each window is a
// widget that shows the back buffer. For the backend only.

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "platform/ui/WindowSurface.h"

namespace ui {

struct TWindowSurface::Native {
    QPointer<QWidget> Widget; // gone with its parent widget
    QImage BackBuffer;
};

// The window of a control (made on demand).
QWidget* WidgetOf(TWinControl* control);
// The widget of a window; nullptr for none or once it is gone.
QWidget* WidgetOf(const TWindowSurface* surface);
// The control whose window the widget is (nullptr for other widgets).
TWinControl* ControlOfWidget(const QWidget* widget);

} // namespace ui

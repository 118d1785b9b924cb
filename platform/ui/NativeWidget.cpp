#include "platform/ui/NativeWidget.h"

#include <QEvent>

#include "platform/ui/Controls.h"

namespace ui {

TNativeWidget::TNativeWidget(QWidget* widget, HWND window) : widget_(widget), window_(window)
{
    QWidget* host = widget->parentWidget();
    widget->setGeometry(host->rect());
    host->setFocusProxy(widget);
    host->installEventFilter(this);
    widget->installEventFilter(this);
    widget->lower(); // under the windows of child controls (group boxes hold some)
    widget->show();
}

TNativeWidget::~TNativeWidget()
{
    if (widget_) {
        if (QWidget* host = widget_->parentWidget())
            host->removeEventFilter(this);
        delete widget_.data();
    }
}

bool TNativeWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (!widget_)
        return false;
    if (watched == widget_->parentWidget() && event->type() == QEvent::Resize)
        widget_->setGeometry(widget_->parentWidget()->rect());
    else if (watched == widget_ && event->type() == QEvent::FocusIn && ui::GetFocus() != window_)
        ui::ChangeFocus(window_);
    return false;
}

} // namespace ui

#include "platform/ui/qt/NativeWidget.h"

#include <QApplication>
#include <QChildEvent>
#include <QEvent>
#include <QKeyEvent>

#include "platform/ui/Controls.h"
#include "platform/ui/qt/Keys.h"

namespace ui {

namespace {

bool IsKeyEvent(const QEvent* event)
{
    return event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
}

} // namespace

TNativeWidget::TNativeWidget(QWidget* widget, HWND window) : widget_(widget), window_(window)
{
    QWidget* host = widget->parentWidget();
    widget->setGeometry(host->rect());
    host->setFocusProxy(widget);
    host->installEventFilter(this);
    WatchKeysOf(widget);
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

// The widget and every part made inside it now or later (a combo box makes
// its edit field when it becomes editable).
void TNativeWidget::WatchKeysOf(QWidget* widget)
{
    widget->installEventFilter(this);
    for (QWidget* part : widget->findChildren<QWidget*>())
        part->installEventFilter(this);
}

bool TNativeWidget::IsKeyForWidget(QObject* watched, QEvent* event) const
{
    if (!IsKeyEvent(event) || !watched->isWidgetType())
        return false;
    auto* target = static_cast<QWidget*>(watched);
    // Pop-up parts (a combo box's open list) keep their keys.
    return target->window() == widget_->window() && (target == widget_ || widget_->isAncestorOf(target));
}

QWidget* TNativeWidget::KeyTarget() const
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == widget_ || widget_->isAncestorOf(focus)))
        return focus;
    if (QWidget* proxy = widget_->focusProxy())
        return proxy;
    return widget_;
}

bool TNativeWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (!widget_)
        return false;
    QWidget* host = widget_->parentWidget();
    if (event->type() == QEvent::ChildAdded) {
        auto* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType() && watched != host)
            static_cast<QWidget*>(child)->installEventFilter(this);
        return false;
    }
    if (watched == host) {
        if (event->type() == QEvent::Resize)
            widget_->setGeometry(host->rect());
        // A key handed back that the widget did not want must not come round
        // again as a new key of the window.
        return delivering_ && IsKeyEvent(event);
    }
    if (watched == widget_ && event->type() == QEvent::FocusIn && ui::GetFocus() != window_)
        ui::ChangeFocus(window_);
    if (!delivering_ && IsKeyForWidget(watched, event)) {
        // The window turns the key into messages; the control hands back
        // what it does not swallow (DeliverKey).
        auto* key = static_cast<QKeyEvent*>(event);
        QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->nativeScanCode(), key->nativeVirtualKey(),
                       key->nativeModifiers(), key->text(), key->isAutoRepeat(), static_cast<quint16>(key->count()));
        QApplication::sendEvent(host, &copy);
        return true;
    }
    return false;
}

void TNativeWidget::DeliverKey(const TMessage& Message)
{
    if (!widget_)
        return;
    Qt::KeyboardModifiers mods = ModifiersOf(KeyDataToShiftState(Message.LParam));
    bool repeat = (Message.LParam & (LPARAM{1} << 30)) != 0;
    QEvent::Type type = QEvent::KeyPress;
    int key = 0;
    QString text;
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: key = QtKeyOf(static_cast<WORD>(Message.WParam)); break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        type = QEvent::KeyRelease;
        key = QtKeyOf(static_cast<WORD>(Message.WParam));
        repeat = false;
        break;
    case WM_CHAR: {
        auto ch = static_cast<char32_t>(Message.WParam);
        text = QString::fromUcs4(&ch, 1);
    }
        repeat = false;
        break;
    default: return;
    }
    if (key == 0 && text.isEmpty())
        return;
    QPointer<QWidget> target = KeyTarget();
    QKeyEvent event(type, key, mods, text, repeat);
    delivering_ = true;
    QApplication::sendEvent(target.data(), &event);
    delivering_ = false;
}

} // namespace ui

#pragma once

// The toolkit widget inside a standard control's window. It fills the window,
// follows its size and tells the layer when it takes the focus. Keys meant
// for the widget first become window messages of the control's window and
// pass its WindowProc; only what reaches the control's default handling is
// handed back to the widget. For the backend only.

#include <QPointer>
#include <QWidget>

#include "platform/ui/Controls.h"
#include "platform/ui/Messages.h"
#include "platform/ui/qt/WindowWidget.h"

#include <memory>

namespace ui {

class TNativeWidget : public QObject {
public:
    // Takes the widget, already made as a child of the window widget.
    TNativeWidget(QWidget* widget, HWND window);
    ~TNativeWidget() override;
    TNativeWidget(const TNativeWidget&) = delete;
    TNativeWidget& operator=(const TNativeWidget&) = delete;

    // nullptr once the window (and with it the widget) is gone.
    QWidget* Widget() const { return widget_; }
    template <class W> W* As() const { return qobject_cast<W*>(widget_.data()); }

    // Hands a key message that passed the control on to the widget (to its
    // part with the focus): key-downs and key-ups as keys, characters as text.
    void DeliverKey(const TMessage& Message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WatchKeysOf(QWidget* widget);
    // A key to the widget or one of its parts inside the control's window.
    bool IsKeyForWidget(QObject* watched, QEvent* event) const;
    QWidget* KeyTarget() const;

    QPointer<QWidget> widget_;
    HWND window_;
    bool delivering_ = false;
};

// A widget of type W made inside the control's window.
template <class W> std::unique_ptr<TNativeWidget> MakeNativeWidget(TWinControl* control)
{
    auto* widget = new W(WidgetOf(control));
    return std::make_unique<TNativeWidget>(widget, control->Handle());
}

// The control's widget as a W (nullptr before the window or for another type).
template <class W, class Control> W* NativeOf(const Control* control)
{
    return control->NativeWidget() ? control->NativeWidget()->template As<W>() : nullptr;
}

} // namespace ui

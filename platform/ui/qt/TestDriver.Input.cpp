// The test driver's input: keys, mouse, focus and windows as the window
// system delivers them.

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include "platform/ui/qt/NativeWidget.h"
#include "platform/ui/qt/TestDriver.h"
#include "platform/ui/qt/WindowWidget.h"

namespace ui::test {
namespace {

int QtKey(TKey key)
{
    const int code = static_cast<int>(key);
    if (code >= static_cast<int>(TKey::A) && code < static_cast<int>(TKey::A) + 26)
        return Qt::Key_A + (code - static_cast<int>(TKey::A));
    if (code >= static_cast<int>(TKey::Digit0) && code < static_cast<int>(TKey::Digit0) + 10)
        return Qt::Key_0 + (code - static_cast<int>(TKey::Digit0));
    if (code >= static_cast<int>(TKey::F1) && code < static_cast<int>(TKey::F1) + 24)
        return Qt::Key_F1 + (code - static_cast<int>(TKey::F1));
    switch (key) {
    case TKey::Escape: return Qt::Key_Escape;
    case TKey::Tab: return Qt::Key_Tab;
    case TKey::Backtab: return Qt::Key_Backtab;
    case TKey::Backspace: return Qt::Key_Backspace;
    case TKey::Return: return Qt::Key_Return;
    case TKey::Space: return Qt::Key_Space;
    case TKey::Left: return Qt::Key_Left;
    case TKey::Up: return Qt::Key_Up;
    case TKey::Right: return Qt::Key_Right;
    case TKey::Down: return Qt::Key_Down;
    case TKey::PageUp: return Qt::Key_PageUp;
    case TKey::PageDown: return Qt::Key_PageDown;
    case TKey::Home: return Qt::Key_Home;
    case TKey::End: return Qt::Key_End;
    case TKey::Delete: return Qt::Key_Delete;
    case TKey::Plus: return Qt::Key_Plus;
    case TKey::Minus: return Qt::Key_Minus;
    default: return 0;
    }
}

Qt::KeyboardModifiers QtModifiers(TKeyModifiers modifiers)
{
    Qt::KeyboardModifiers mods;
    if (modifiers.Contains(kmShift))
        mods |= Qt::ShiftModifier;
    if (modifiers.Contains(kmCtrl))
        mods |= Qt::ControlModifier;
    if (modifiers.Contains(kmAlt))
        mods |= Qt::AltModifier;
    if (modifiers.Contains(kmKeypad))
        mods |= Qt::KeypadModifier;
    return mods;
}

Qt::KeyboardModifiers ModifiersOf(TShiftState state)
{
    Qt::KeyboardModifiers mods;
    if (state.Contains(ssShift))
        mods |= Qt::ShiftModifier;
    if (state.Contains(ssCtrl))
        mods |= Qt::ControlModifier;
    if (state.Contains(ssAlt))
        mods |= Qt::AltModifier;
    return mods;
}

Qt::MouseButtons ButtonsOf(TShiftState state)
{
    Qt::MouseButtons buttons;
    if (state.Contains(ssLeft))
        buttons |= Qt::LeftButton;
    if (state.Contains(ssRight))
        buttons |= Qt::RightButton;
    if (state.Contains(ssMiddle))
        buttons |= Qt::MiddleButton;
    return buttons;
}

Qt::MouseButton ButtonOf(TMouseButton button)
{
    switch (button) {
    case mbRight: return Qt::RightButton;
    case mbMiddle: return Qt::MiddleButton;
    default: return Qt::LeftButton;
    }
}

void SendKeyTo(QWidget* widget, TKeyAction action, TKey key, TKeyModifiers modifiers, const std::string& text,
               bool autoRepeat)
{
    QKeyEvent event(action == TKeyAction::Press ? QEvent::KeyPress : QEvent::KeyRelease, QtKey(key),
                    QtModifiers(modifiers), QString::fromStdString(text), autoRepeat);
    Deliver(widget, event);
}

void SendMouseTo(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons,
                 Qt::KeyboardModifiers modifiers)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, modifiers);
    Deliver(widget, event);
}

void LeftClick(QWidget* widget, QPointF at, Qt::KeyboardModifiers modifiers = {})
{
    SendMouseTo(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, modifiers);
    SendMouseTo(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, modifiers);
}

} // namespace

QWidget* NativeWidgetOf(TNativeControl* control)
{
    control->HandleNeeded();
    return control->NativeWidget() ? control->NativeWidget()->Widget() : nullptr;
}

void Deliver(QWidget* target, QEvent& event) { QApplication::sendEvent(target, &event); }

void SendKey(TWinControl* control, TKeyAction action, TKey key, TKeyModifiers modifiers, const std::string& text,
             bool autoRepeat)
{
    SendKeyTo(WidgetOf(control), action, key, modifiers, text, autoRepeat);
}

namespace {

QWidget* KeyboardFocusWidget()
{
    if (QWidget* focus = QApplication::focusWidget())
        return focus;
    return QApplication::activeWindow();
}

} // namespace

bool SendKeyToFocus(TKeyAction action, TKey key, TKeyModifiers modifiers, const std::string& text)
{
    QWidget* focus = KeyboardFocusWidget();
    if (!focus)
        return false;
    SendKeyTo(focus, action, key, modifiers, text, false);
    return true;
}

TWinControl* FocusedControl()
{
    for (QWidget* w = KeyboardFocusWidget(); w; w = w->parentWidget())
        if (TWinControl* control = ControlOfWidget(w))
            return control;
    return nullptr;
}

void SendWidgetKey(TNativeControl* control, TKeyAction action, TKey key, TKeyModifiers modifiers,
                   const std::string& text)
{
    SendKeyTo(NativeWidgetOf(control), action, key, modifiers, text, false);
}

void TypeText(TNativeControl* control, const std::string& text)
{
    QWidget* widget = NativeWidgetOf(control);
    for (QChar c : QString::fromStdString(text)) {
        QKeyEvent key(QEvent::KeyPress, 0, {}, QString(c));
        Deliver(widget, key);
    }
}

void SendMouse(TWinControl* control, TMouseAction action, TPoint at, TMouseButton button, TShiftState state)
{
    QEvent::Type type = action == TMouseAction::Press ? QEvent::MouseButtonPress
        : action == TMouseAction::Release             ? QEvent::MouseButtonRelease
                                                      : QEvent::MouseButtonDblClick;
    SendMouseTo(WidgetOf(control), type, QPointF(at.X, at.Y), ButtonOf(button), ButtonsOf(state), ModifiersOf(state));
}

void MoveMouse(TWinControl* control, TPoint at, TShiftState state)
{
    SendMouseTo(WidgetOf(control), QEvent::MouseMove, QPointF(at.X, at.Y), Qt::NoButton, ButtonsOf(state),
                ModifiersOf(state));
}

void TurnWheel(TWinControl* control, TPoint at, int delta)
{
    QWidget* widget = WidgetOf(control);
    QPoint global = widget->mapToGlobal(QPoint(at.X, at.Y));
    QWheelEvent event(QPointF(at.X, at.Y), QPointF(global), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    Deliver(widget, event);
}

void ClickWidget(TNativeControl* control, TPoint at) { LeftClick(NativeWidgetOf(control), QPointF(at.X, at.Y)); }

void ClickListRow(TCustomListBox* list, int row, TShiftState modifiers)
{
    auto* widget = static_cast<QListView*>(NativeWidgetOf(list));
    QPointF at = widget->visualRect(widget->model()->index(row, 0)).center();
    LeftClick(widget->viewport(), at, ModifiersOf(modifiers));
}

void ClickListRowAt(TCustomListBox* list, int row, int x, TMouseButton button)
{
    auto* widget = static_cast<QListView*>(NativeWidgetOf(list));
    QRect rect = widget->visualRect(widget->model()->index(row, 0));
    QPointF at(rect.left() + x, rect.center().y());
    Qt::MouseButton qtButton = button == mbLeft ? Qt::LeftButton
        : button == mbRight                     ? Qt::RightButton
                                                : Qt::MiddleButton;
    SendMouseTo(widget->viewport(), QEvent::MouseButtonPress, at, qtButton, qtButton, {});
    SendMouseTo(widget->viewport(), QEvent::MouseButtonRelease, at, qtButton, Qt::NoButton, {});
}

bool ClickUpDownArrow(TCustomUpDown* updown, TUDBtnType arrow)
{
    auto* button = NativeWidgetOf(updown)->findChild<QToolButton*>(arrow == btNext ? "next" : "prev");
    if (!button)
        return false;
    button->click();
    return true;
}

void SelectListRowByUser(TCustomListBox* list, int row)
{
    auto* widget = static_cast<QListView*>(NativeWidgetOf(list));
    widget->selectionModel()->select(widget->model()->index(row, 0), QItemSelectionModel::Select);
}

void ScrollListByUser(TCustomListBox* list, int topRow)
{
    static_cast<QListView*>(NativeWidgetOf(list))->verticalScrollBar()->setValue(topRow);
}

void PickTabByUser(TPageControl* pages, int tab)
{
    NativeWidgetOf(pages)->findChild<QTabBar*>("tabs")->setCurrentIndex(tab);
}

void FocusWidget(TNativeControl* control, bool byMouse)
{
    NativeWidgetOf(control)->setFocus(byMouse ? Qt::MouseFocusReason : Qt::OtherFocusReason);
}

void MoveCaretToEnd(TNativeControl* control)
{
    QWidget* widget = NativeWidgetOf(control);
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->end(false);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
        text->moveCursor(QTextCursor::End);
    else if (auto* rich = qobject_cast<QTextEdit*>(widget))
        rich->moveCursor(QTextCursor::End);
}

void ActivateWindow(TWinControl* form)
{
    QEvent event(QEvent::WindowActivate);
    Deliver(WidgetOf(form), event);
}

void DeactivateWindow(TWinControl* form)
{
    QEvent event(QEvent::WindowDeactivate);
    Deliver(WidgetOf(form), event);
}

void CloseWindowByUser(TWinControl* form) { WidgetOf(form)->close(); }

void ResizeWindowByUser(TWinControl* form, int width, int height) { WidgetOf(form)->resize(width, height); }

void PauseOverWidget(TNativeControl* control, TPoint at)
{
    QWidget* widget = NativeWidgetOf(control);
    QHelpEvent help(QEvent::ToolTip, QPoint(at.X, at.Y), widget->mapToGlobal(QPoint(at.X, at.Y)));
    Deliver(widget, help);
}

std::string ShownHint() { return QToolTip::text().toStdString(); }

void HideHint() { QToolTip::hideText(); }

} // namespace ui::test

#include "platform/ui/qt/WindowWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindowStateChangeEvent>

#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Controls.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/qt/Cursors.h"
#include "platform/ui/qt/KeyPresses.h"
#include "platform/ui/qt/Keys.h"
#include "platform/ui/qt/Pictures.h"

namespace ui {
namespace {

std::uint8_t ShiftBits(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
{
    TShiftState s;
    if (mods & Qt::ShiftModifier)
        s.Include(ssShift);
    if (mods & Qt::AltModifier)
        s.Include(ssAlt);
    if (mods & Qt::ControlModifier)
        s.Include(ssCtrl);
    if (buttons & Qt::LeftButton)
        s.Include(ssLeft);
    if (buttons & Qt::RightButton)
        s.Include(ssRight);
    if (buttons & Qt::MiddleButton)
        s.Include(ssMiddle);
    return static_cast<std::uint8_t>(s.Bits());
}

WPARAM MouseKeys(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
{
    WPARAM keys = 0;
    if (buttons & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        keys |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (mods & Qt::ControlModifier)
        keys |= MK_CONTROL;
    return keys;
}

UINT MouseButtonMessage(QEvent::Type type, Qt::MouseButton button)
{
    int base;
    switch (button) {
    case Qt::LeftButton: base = WM_LBUTTONDOWN; break;
    case Qt::RightButton: base = WM_RBUTTONDOWN; break;
    case Qt::MiddleButton: base = WM_MBUTTONDOWN; break;
    default: return 0;
    }
    switch (type) {
    case QEvent::MouseButtonPress: return base;
    case QEvent::MouseButtonRelease: return base + 1;
    case QEvent::MouseButtonDblClick: return base + 2;
    default: return 0;
    }
}

// The widget that shows a window and hands its events on as messages.
class SurfaceWidget final : public QWidget {
public:
    SurfaceWidget(TWindowSurface* owner, QWidget* parent) : QWidget(parent), owner_(owner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setMouseTracking(true);
        setFocusPolicy(Qt::ClickFocus);
    }

    TWindowSurface* Owner() const { return owner_; }
    bool applyingGeometry = false;

protected:
    bool event(QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::WindowActivate:
            Send(WM_ACTIVATE, WA_ACTIVE, 0);
            Send(WM_NCACTIVATE, 1, 0);
            return true;
        case QEvent::WindowDeactivate:
            Send(WM_NCACTIVATE, 0, 0);
            Send(WM_ACTIVATE, WA_INACTIVE, 0);
            return true;
        case QEvent::Enter: Send(CM_MOUSEENTER, 0, 0); return true;
        case QEvent::Leave: Send(CM_MOUSELEAVE, 0, 0); return true;
        case QEvent::FocusIn: FocusFromWindowSystem(); return true;
        case QEvent::FocusOut: return true;
        case QEvent::ToolTip: ShowHint(static_cast<QHelpEvent*>(e)); return true;
        case QEvent::WindowStateChange: {
            Qt::WindowStates s = windowState();
            WPARAM kind = (s & Qt::WindowMinimized) ? SIZE_MINIMIZED
                : (s & Qt::WindowMaximized)         ? SIZE_MAXIMIZED
                                                    : SIZE_RESTORED;
            Send(WM_SIZE, kind, MAKELPARAM(width(), height()));
            return QWidget::event(e);
        }
        default: return QWidget::event(e);
        }
    }

    bool focusNextPrevChild(bool) override { return false; } // Tab is a key like the others

    void paintEvent(QPaintEvent* e) override
    {
        owner_->PaintInvalidArea();
        QPainter painter(this);
        painter.drawImage(e->rect(), owner_->Toolkit().BackBuffer, e->rect());
        owner_->Presented();
    }

    void resizeEvent(QResizeEvent*) override
    {
        owner_->Resized(width(), height());
        if (!applyingGeometry && isWindow())
            owner_->SyncControlBounds();
        Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(width(), height()));
    }

    void moveEvent(QMoveEvent*) override
    {
        if (!isWindow())
            return;
        if (!applyingGeometry)
            owner_->SyncControlBounds();
        Send(WM_MOVE, 0, MAKELPARAM(x(), y()));
    }

    void closeEvent(QCloseEvent* e) override
    {
        // The control decides: a form may refuse or only hide.
        e->ignore();
        Send(WM_CLOSE, 0, 0);
    }

    void mousePressEvent(QMouseEvent* e) override { PostMouse(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { PostMouse(e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { PostMouse(e); }
    void mouseMoveEvent(QMouseEvent* e) override { PostMouse(e); }

    void wheelEvent(QWheelEvent* e) override
    {
        QPoint global = e->globalPosition().toPoint();
        int delta = e->angleDelta().y();
        WPARAM keys = MouseKeys(e->modifiers(), e->buttons());
        Post(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(keys), delta), MAKELPARAM(global.x(), global.y()), global,
             ShiftBits(e->modifiers(), e->buttons()));
    }

    void keyPressEvent(QKeyEvent* e) override { PostKey(e, true); }
    void keyReleaseEvent(QKeyEvent* e) override { PostKey(e, false); }

private:
    void Send(UINT msg, WPARAM w, LPARAM l) { SendMessage(owner_->Handle(), msg, w, l); }

    // A form's window that the window system focuses (when it activates it,
    // or on a click on the form) hands the focus on to the form's active
    // control, where the keys belong.
    void FocusFromWindowSystem()
    {
        auto* form = isWindow() ? dynamic_cast<TCustomForm*>(owner_->Control()) : nullptr;
        TWinControl* active = form ? form->ActiveControl() : nullptr;
        if (!active || !active->CanFocus()) {
            ChangeFocus(owner_->Handle());
            return;
        }
        if (GetFocus() != active->Handle())
            ChangeFocus(active->Handle());
        else if (active->WindowSurface())
            active->WindowSurface()->TakeFocus();
    }

    // The hint of the control under the mouse, up to a "|" (the rest is the
    // long hint for status lines).
    void ShowHint(QHelpEvent* e)
    {
        TWinControl* control = owner_->Control();
        TControl* target = control->ControlAtPos({e->pos().x(), e->pos().y()}, false);
        if (!target)
            target = control;
        std::string hint = target->Hint.substr(0, target->Hint.find('|'));
        if (Application->ShowHint && target->ShowHint() && !hint.empty())
            QToolTip::showText(e->globalPos(), QString::fromStdString(hint), this);
        else
            QToolTip::hideText();
    }

    void Post(UINT msg, WPARAM w, LPARAM l, QPoint global, std::uint8_t shift, char32_t ch = 0)
    {
        TMsg m{owner_->Handle(), msg, w, l, rtl::GetTickCount(), {global.x(), global.y()}, ch, shift};
        PostInputMessage(m);
    }

    void PostMouse(QMouseEvent* e)
    {
        QPoint local = e->position().toPoint();
        QPoint global = e->globalPosition().toPoint();
        UINT msg = e->type() == QEvent::MouseMove ? WM_MOUSEMOVE : MouseButtonMessage(e->type(), e->button());
        if (msg == 0)
            return;
        Post(msg, MouseKeys(e->modifiers(), e->buttons()), MAKELPARAM(local.x(), local.y()), global,
             ShiftBits(e->modifiers(), e->buttons()));
    }

    void PostKey(QKeyEvent* e, bool down)
    {
        // Held keys repeat as key-downs only, as the system's code expects.
        if (!down && e->isAutoRepeat())
            return;
        if (!down && !ReleaseBelongsTo(this, e->key()))
            return;
        WORD vk = VirtualKeyOf(e->key(), e->modifiers());
        bool alt = (e->modifiers() & Qt::AltModifier) != 0;
        std::uint8_t shift = ShiftBits(e->modifiers(), QGuiApplication::mouseButtons());
        std::u32string text = e->text().toStdU32String();
        char32_t ch = text.empty() ? 0 : text.front();
        if (vk == 0) {
            if (down && ch != 0)
                Post(alt ? WM_SYSCHAR : WM_CHAR, ch, 1, QCursor::pos(), shift);
            return;
        }
        LPARAM data = 1 | (static_cast<LPARAM>(e->nativeScanCode() & 0xFF) << 16);
        if (alt)
            data |= LPARAM{1} << 29;
        if (down && e->isAutoRepeat())
            data |= LPARAM{1} << 30;
        if (!down)
            data |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
        bool system = alt || vk == VK_F1 + 9 || vk == VK_MENU;
        UINT msg = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
        Post(msg, vk, data, QCursor::pos(), shift, down ? ch : 0);
    }

    TWindowSurface* owner_;
};

} // namespace

static_assert(UnlimitedWindowSize == QWIDGETSIZE_MAX);

TWindowSurface::TWindowSurface(TWinControl* control, HWND handle, TWindowSurface* parent)
    : control_(control), handle_(handle), native_(std::make_unique<Native>())
{
    native_->Widget = new SurfaceWidget(this, WidgetOf(parent));
    canvas_.SetSurface(this);
}

TWindowSurface::~TWindowSurface()
{
    canvas_.SetSurface(nullptr);
    delete native_->Widget.data();
}

TPixelBuffer TWindowSurface::PixelBuffer()
{
    QImage& image = native_->BackBuffer;
    if (image.isNull())
        return {};
    return {image.bits(), image.bytesPerLine(), image.width(), image.height(), 32, nullptr, 0};
}

void TWindowSurface::PixelsChanged(const TRect& area)
{
    if (QWidget* widget = native_->Widget)
        widget->update(area.Left, area.Top, area.Width(), area.Height());
}

void TWindowSurface::Invalidate(const TRect* area)
{
    TRect all{0, 0, native_->BackBuffer.width(), native_->BackBuffer.height()};
    TRect r = area ? gfx::IntersectRect(*area, all) : all;
    if (r.IsEmpty())
        return;
    invalid_ = gfx::UnionRect(invalid_, r);
    if (QWidget* widget = native_->Widget)
        widget->update(r.Left, r.Top, r.Width(), r.Height());
}

void TWindowSurface::PaintInvalidArea()
{
    if (invalid_.IsEmpty() || native_->BackBuffer.isNull())
        return;
    TRect area = invalid_;
    invalid_ = {};
    TRegion clip(area);
    TCanvasStateScope state(canvas_);
    canvas_.SetWindowOrg({0, 0});
    canvas_.SetViewportOrg({0, 0});
    canvas_.SetClipRegion(&clip);
    SendMessage(handle_, WM_PAINT, 0, 0);
}

void TWindowSurface::Flush()
{
    PaintInvalidArea();
    if (QWidget* widget = native_->Widget; widget && widget->isVisible())
        widget->repaint();
}

void TWindowSurface::SetGeometry(const TRect& bounds)
{
    auto* w = static_cast<SurfaceWidget*>(native_->Widget.data());
    if (!w)
        return;
    w->applyingGeometry = true;
    if (w->isWindow()) {
        w->move(bounds.Left, bounds.Top);
        w->resize(std::max(bounds.Width(), 1), std::max(bounds.Height(), 1));
    } else {
        w->setGeometry(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    }
    w->applyingGeometry = false;
    Resized(bounds.Width(), bounds.Height());
}

void TWindowSurface::SetShown(bool shown)
{
    if (QWidget* widget = native_->Widget)
        widget->setVisible(shown);
}

bool TWindowSurface::IsShown() const
{
    QWidget* widget = native_->Widget;
    return widget && widget->isVisible();
}

void TWindowSurface::SetEnabled(bool enabled)
{
    if (QWidget* widget = native_->Widget)
        widget->setEnabled(enabled);
}

void TWindowSurface::ShowCursorShape(std::int16_t cursor)
{
    if (QWidget* widget = native_->Widget)
        widget->setCursor(CursorOf(cursor));
}

void TWindowSurface::TakeFocus()
{
    if (QWidget* widget = native_->Widget)
        widget->setFocus(Qt::OtherFocusReason);
}

std::optional<TPoint> TWindowSurface::ScreenOrigin() const
{
    QWidget* widget = native_->Widget;
    if (!widget)
        return std::nullopt;
    QPoint p = widget->mapToGlobal(QPoint(0, 0));
    return TPoint{p.x(), p.y()};
}

std::optional<TPoint> TWindowSurface::FrameOrigin() const
{
    QWidget* widget = native_->Widget;
    if (!widget)
        return std::nullopt;
    QPoint p = widget->isWindow() ? widget->frameGeometry().topLeft() : widget->mapToGlobal(QPoint(0, 0));
    return TPoint{p.x(), p.y()};
}

void TWindowSurface::Raise()
{
    if (QWidget* widget = native_->Widget)
        widget->raise();
}

void TWindowSurface::Lower()
{
    if (QWidget* widget = native_->Widget)
        widget->lower();
}

void TWindowSurface::SetTitle(const std::string& title)
{
    if (QWidget* widget = native_->Widget)
        widget->setWindowTitle(QString::fromStdString(title));
}

void TWindowSurface::SetIcon(TBitmap* picture, TColor key)
{
    QWidget* widget = native_->Widget;
    if (!widget)
        return;
    widget->setWindowIcon(picture ? QIcon(QPixmap::fromImage(ImageOfBitmap(*picture, true, key))) : QIcon());
}

void TWindowSurface::SetSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight)
{
    QWidget* widget = native_->Widget;
    if (!widget)
        return;
    widget->setMinimumSize(minWidth, minHeight);
    widget->setMaximumSize(maxWidth, maxHeight);
}

bool TWindowSurface::Reframe(const TWindowFrame& frame)
{
    QWidget* widget = native_->Widget;
    if (!widget)
        return false;
    Qt::WindowFlags flags = Qt::Window;
    switch (frame.Kind) {
    case TWindowFrame::TKind::Frameless: flags |= Qt::FramelessWindowHint; break;
    case TWindowFrame::TKind::Dialog: flags = Qt::Dialog; break;
    case TWindowFrame::TKind::Tool: flags = Qt::Tool; break;
    default: break;
    }
    if (frame.TitleBar)
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (frame.SystemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (frame.MinimizeButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if (frame.MaximizeButton)
        flags |= Qt::WindowMaximizeButtonHint;
    if (frame.StayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    if (widget->windowFlags() == flags)
        return false;
    bool wasVisible = widget->isVisible();
    widget->setWindowFlags(flags);
    return wasVisible;
}

void TWindowSurface::ShowInState(TShowState state)
{
    QWidget* widget = native_->Widget;
    if (!widget)
        return;
    switch (state) {
    case TShowState::Minimized: widget->showMinimized(); break;
    case TShowState::Maximized: widget->showMaximized(); break;
    case TShowState::FullScreen: widget->showFullScreen(); break;
    default: widget->showNormal(); break;
    }
}

bool TWindowSurface::IsFullScreen() const
{
    QWidget* widget = native_->Widget;
    return widget && widget->isFullScreen();
}

void TWindowSurface::Activate()
{
    if (QWidget* widget = native_->Widget) {
        widget->raise();
        widget->activateWindow();
        // A window shown again can keep the window system's focus while
        // hiding it cleared the active widget: no focus change arrives then,
        // and without this the keyboard would reach no control of the window.
        if (widget->windowHandle() && widget->windowHandle() == QGuiApplication::focusWindow() &&
            QApplication::activeWindow() != widget)
            QApplication::setActiveWindow(widget);
    }
}

bool TWindowSurface::ApplicationModal() const
{
    QWidget* widget = native_->Widget;
    return widget && widget->windowModality() == Qt::ApplicationModal;
}

void TWindowSurface::SetApplicationModal(bool modal)
{
    if (QWidget* widget = native_->Widget)
        widget->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
}

void TWindowSurface::Resized(int width, int height)
{
    QImage& image = native_->BackBuffer;
    if (image.width() == width && image.height() == height)
        return;
    image = QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image.fill(Qt::white);
    Invalidate(nullptr);
}

void TWindowSurface::SyncControlBounds()
{
    QWidget* widget = native_->Widget;
    if (!widget)
        return;
    QRect g = widget->geometry();
    control_->SetBounds(g.x(), g.y(), g.width(), g.height());
}

QWidget* WidgetOf(TWinControl* control)
{
    control->HandleNeeded();
    return WidgetOf(control->WindowSurface());
}

QWidget* WidgetOf(const TWindowSurface* surface) { return surface ? surface->Toolkit().Widget.data() : nullptr; }

TWinControl* ControlOfWidget(const QWidget* widget)
{
    auto* w = dynamic_cast<const SurfaceWidget*>(widget);
    return w ? w->Owner()->Control() : nullptr;
}

} // namespace ui

#include "platform/ui/Surface.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindowStateChangeEvent>

#include "platform/rtl/Clock.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/Controls.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"

namespace ui {
namespace {

std::uint8_t ShiftBits(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
{
    TShiftState s;
    if (mods & Qt::ShiftModifier) s.Include(ssShift);
    if (mods & Qt::AltModifier) s.Include(ssAlt);
    if (mods & Qt::ControlModifier) s.Include(ssCtrl);
    if (buttons & Qt::LeftButton) s.Include(ssLeft);
    if (buttons & Qt::RightButton) s.Include(ssRight);
    if (buttons & Qt::MiddleButton) s.Include(ssMiddle);
    return static_cast<std::uint8_t>(s.Bits());
}

WPARAM MouseKeys(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
{
    WPARAM keys = 0;
    if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton) keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) keys |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier) keys |= MK_SHIFT;
    if (mods & Qt::ControlModifier) keys |= MK_CONTROL;
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
        case QEvent::Enter:
            Send(CM_MOUSEENTER, 0, 0);
            return true;
        case QEvent::Leave:
            Send(CM_MOUSELEAVE, 0, 0);
            return true;
        case QEvent::FocusIn:
            ChangeFocus(owner_->Handle());
            return true;
        case QEvent::FocusOut:
            return true;
        case QEvent::ToolTip:
            ShowHint(static_cast<QHelpEvent*>(e));
            return true;
        case QEvent::WindowStateChange: {
            Qt::WindowStates s = windowState();
            WPARAM kind = (s & Qt::WindowMinimized) ? SIZE_MINIMIZED
                          : (s & Qt::WindowMaximized) ? SIZE_MAXIMIZED
                                                      : SIZE_RESTORED;
            Send(WM_SIZE, kind, MAKELPARAM(width(), height()));
            return QWidget::event(e);
        }
        default:
            return QWidget::event(e);
        }
    }

    bool focusNextPrevChild(bool) override { return false; } // Tab is a key like the others

    void paintEvent(QPaintEvent* e) override
    {
        owner_->PaintInvalidArea();
        QPainter painter(this);
        painter.drawImage(e->rect(), owner_->BackBuffer(), e->rect());
        owner_->Presented();
    }

    void resizeEvent(QResizeEvent*) override
    {
        owner_->WidgetResized(width(), height());
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

namespace {

Qt::CursorShape ShapeOf(std::intptr_t cursor)
{
    switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: case crSQLWait: return Qt::WaitCursor;
    case crAppStart: return Qt::BusyCursor;
    case crDrag: case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop: case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

// Cursors made from pictures; a handle is the index plus one.
std::vector<QCursor>& CustomCursors()
{
    static auto* list = new std::vector<QCursor>;
    return *list;
}

} // namespace

QCursor CursorOf(std::int16_t cursor)
{
    std::uintptr_t handle = Screen ? Screen->Cursors(cursor) : 0;
    const auto& custom = CustomCursors();
    if (handle >= 1 && handle <= custom.size())
        return custom[handle - 1];
    return QCursor(ShapeOf(static_cast<std::intptr_t>(handle)));
}

QImage ImageOfBitmap(TBitmap& Image, bool Transparent, TColor TransparentColor)
{
    TPixelBuffer pixels = Image.PixelBuffer();
    QImage image(std::max(pixels.Width, 1), std::max(pixels.Height, 1), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    auto key = static_cast<std::uint32_t>(ColorToRGB(TransparentColor));
    std::uint32_t keyRgb = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = 0; x < pixels.Width; ++x) {
            std::uint32_t rgb = gfx::ReadPixel(pixels, x, y);
            if (!Transparent || rgb != keyRgb)
                image.setPixel(x, y, 0xFF000000u | rgb);
        }
    return image;
}

std::uintptr_t CreateCursorFromBitmap(TBitmap& Image, int HotX, int HotY)
{
    EnsurePlatform();
    QImage image = ImageOfBitmap(Image, Image.Transparent(), Image.TransparentColor());
    CustomCursors().emplace_back(QPixmap::fromImage(image), HotX, HotY);
    return CustomCursors().size();
}

WORD VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers)
{
    bool keypad = (modifiers & Qt::KeypadModifier) != 0;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<WORD>('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<WORD>(keypad ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : '0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<WORD>(VK_F1 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Meta: return VK_LWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : 0;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    default: return 0;
    }
}

TWindowSurface::TWindowSurface(TWinControl* control, HWND handle, QWidget* parentWidget)
    : control_(control), handle_(handle), widget_(new SurfaceWidget(this, parentWidget))
{
    canvas_.SetSurface(this);
}

TWindowSurface::~TWindowSurface()
{
    canvas_.SetSurface(nullptr);
    delete widget_.data();
}

TPixelBuffer TWindowSurface::PixelBuffer()
{
    if (image_.isNull())
        return {};
    return {image_.bits(), image_.bytesPerLine(), image_.width(), image_.height(), 32, nullptr, 0};
}

void TWindowSurface::PixelsChanged(const TRect& area)
{
    if (widget_)
        widget_->update(area.Left, area.Top, area.Width(), area.Height());
}

void TWindowSurface::Invalidate(const TRect* area)
{
    TRect all{0, 0, image_.width(), image_.height()};
    TRect r = area ? gfx::IntersectRect(*area, all) : all;
    if (r.IsEmpty())
        return;
    invalid_ = gfx::UnionRect(invalid_, r);
    if (widget_)
        widget_->update(r.Left, r.Top, r.Width(), r.Height());
}

void TWindowSurface::PaintInvalidArea()
{
    if (invalid_.IsEmpty() || image_.isNull())
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
    if (widget_ && widget_->isVisible())
        widget_->repaint();
}

void TWindowSurface::SetGeometry(const TRect& bounds)
{
    auto* w = static_cast<SurfaceWidget*>(widget_.data());
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
    WidgetResized(bounds.Width(), bounds.Height());
}

void TWindowSurface::SetShown(bool shown)
{
    if (widget_)
        widget_->setVisible(shown);
}

void TWindowSurface::ShowCursorShape(std::int16_t cursor)
{
    if (widget_)
        widget_->setCursor(CursorOf(cursor));
}

void TWindowSurface::WidgetResized(int width, int height)
{
    if (image_.width() == width && image_.height() == height)
        return;
    image_ = QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image_.fill(Qt::white);
    Invalidate(nullptr);
}

void TWindowSurface::SyncControlBounds()
{
    if (!widget_)
        return;
    QRect g = widget_->geometry();
    control_->SetBounds(g.x(), g.y(), g.width(), g.height());
}

QWidget* WidgetOf(TWinControl* control)
{
    control->HandleNeeded();
    return control->WindowSurface()->Widget();
}

TWinControl* ControlOfWidget(const QWidget* widget)
{
    auto* w = dynamic_cast<const SurfaceWidget*>(widget);
    return w ? w->Owner()->Control() : nullptr;
}

} // namespace ui

// The messages of controls: the window procedure and dispatch, the mouse
// (graphic children get it from their parent's window), keys with the
// dialog's keys and shortcuts, focus and wheel events.

#include "platform/ui/Controls.h"

#include "platform/ui/Forms.h"
#include "platform/ui/WindowSurface.h"

void TControl::WndProc(TMessage& Message) { Dispatch(Message); }

void TControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE: HandleMouseMessage(Message); break;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED: Invalidate(); break;
    case CM_PARENTCOLORCHANGED: ParentColorChanged(); break;
    case CM_PARENTFONTCHANGED: ParentFontChanged(); break;
    case WM_CANCELMODE: SetMouseCapture(false); break;
    case WM_CONTEXTMENU:
        // The control's popup menu, else the parent's.
        if (popupMenu_ && ui::PopupMenuHandler()) {
            ui::PopupMenuHandler()(popupMenu_, this, {GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
            Message.Result = 1;
        } else if (parent_) {
            Message.Result = parent_->Perform(Message.Msg, Message.WParam, Message.LParam);
        }
        break;
    default: DefaultHandler(Message);
    }
}

void TControl::DefaultHandler(TMessage&) { }

void TControl::HandleMouseMessage(TMessage& Message)
{
    int x = GET_X_LPARAM(Message.LParam);
    int y = GET_Y_LPARAM(Message.LParam);
    TShiftState shift = ui::KeysToShiftState(static_cast<WORD>(Message.WParam));
    if (ui::DragSourceControl() == this && TakenByDrag(Message.Msg, ClientToScreen({x, y})))
        return;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // Without csDoubleClicks a double click is a second press.
        bool dbl = Message.Msg == WM_LBUTTONDBLCLK && ControlStyle.Contains(csDoubleClicks);
        if (ControlStyle.Contains(csCaptureMouse))
            SetMouseCapture(true);
        if (dbl) {
            shift.Include(ssDouble);
            if (ControlStyle.Contains(csClickEvents))
                DblClick();
        } else if (ControlStyle.Contains(csClickEvents)) {
            ControlState.Include(csClicked);
        }
        ui::NoteDragPress(ClientToScreen({x, y}));
        MouseDown(mbLeft, shift, x, y);
        if (!dbl && DragMode == dmAutomatic && !ui::DragSourceControl())
            BeginAutoDrag();
        break;
    }
    case WM_LBUTTONUP: {
        if (ControlStyle.Contains(csCaptureMouse))
            SetMouseCapture(false);
        // The click comes before the mouse-up event, and only when the
        // button is released over the control.
        if (ControlState.Contains(csClicked)) {
            ControlState.Exclude(csClicked);
            if (ClientRect().Contains(x, y))
                Click();
        }
        MouseUp(mbLeft, shift, x, y);
        break;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        if (Message.Msg == WM_RBUTTONDBLCLK && ControlStyle.Contains(csDoubleClicks))
            shift.Include(ssDouble);
        MouseDown(mbRight, shift, x, y);
        break;
    case WM_RBUTTONUP: {
        MouseUp(mbRight, shift, x, y);
        TPoint screen = ClientToScreen({x, y});
        Perform(WM_CONTEXTMENU, 0, MAKELPARAM(screen.X, screen.Y));
        break;
    }
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: MouseDown(mbMiddle, shift, x, y); break;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); break;
    case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
    default: break;
    }
}

// While this control is dragged its moves and the release steer the drag.
bool TControl::TakenByDrag(UINT Msg, TPoint ScreenPos)
{
    if (Msg == WM_MOUSEMOVE)
        return ui::DragMouseMove(ScreenPos);
    if (Msg != WM_LBUTTONUP || !ui::DragMouseUp(ScreenPos))
        return false;
    ControlState.Exclude(csClicked);
    if (ControlStyle.Contains(csCaptureMouse))
        SetMouseCapture(false);
    return true;
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::SendCancelMode() { Perform(WM_CANCELMODE, 0, 0); }

void TWinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        if (!Enabled())
            return;
        RouteMouseToGraphicChild(Message);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = LOWORD(Message.WParam);
        if (key == VK_ESCAPE && ui::DragSourceControl()) {
            ui::CancelControlDrag();
            return;
        }
        if (ui::MenuKeyHandler() && ui::MenuKeyHandler()(this, key, ui::KeyDataToShiftState(Message.LParam)))
            return;
        if (DoKeyDown(key, ui::KeyDataToShiftState(Message.LParam)))
            return;
        Message.WParam = key;
        if (Message.Msg == WM_KEYDOWN && HandleDialogKey(Message))
            return;
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = LOWORD(Message.WParam);
        if (DoKeyUp(key, ui::KeyDataToShiftState(Message.LParam)))
            return;
        Message.WParam = key;
        break;
    }
    case WM_CHAR: {
        auto key = static_cast<char32_t>(Message.WParam);
        if (DoKeyPress(key))
            return;
        Message.WParam = key;
        break;
    }
    case WM_SYSCHAR:
        // Alt plus a letter goes to the control whose caption underlines it.
        if (TCustomForm* form = ParentForm(); form && SendDialogChar(form, Message)) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_SETFOCUS: DoEnter(); break;
    case WM_KILLFOCUS: DoExit(); break;
    case CM_MOUSELEAVE: TrackMouseOver(nullptr); break;
    default: break;
    }
    TControl::WndProc(Message);
}

bool TWinControl::HandleDialogKey(TMessage& Message)
{
    // Tab, arrows, Enter and Escape belong to the dialog unless the control
    // asks for them itself.
    LRESULT mask = 0;
    switch (Message.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: return false;
    }
    // Each key is asked for by its own flag: a memo wanting Enter and Escape
    // (DLGC_WANTALLKEYS) still leaves Tab to the dialog.
    if (Perform(WM_GETDLGCODE, 0, 0) & mask)
        return false;
    TCustomForm* form = ParentForm();
    if (!form || form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) == 0)
        return false;
    DropDialogKeyChar(static_cast<WORD>(Message.WParam));
    return true;
}

// A key the dialog took is not typed: the character the message loop
// already queued for it (Tab, Enter, Escape) goes with it.
void TWinControl::DropDialogKeyChar(WORD Key)
{
    WPARAM expected = Key == VK_TAB ? '\t' : Key == VK_RETURN ? '\r' : Key == VK_ESCAPE ? 0x1B : 0;
    TMsg pending;
    if (expected != 0 && ui::PeekMessage(pending, handle_, WM_CHAR, WM_CHAR, PM_NOREMOVE) && pending.wParam == expected)
        ui::PeekMessage(pending, handle_, WM_CHAR, WM_CHAR, PM_REMOVE);
}

bool TWinControl::SendDialogChar(TWinControl* Container, const TMessage& Message)
{
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* c = Container->Controls(i);
        if (!c->Visible() || !c->Enabled())
            continue;
        if (c->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
            return true;
        if (auto* w = dynamic_cast<TWinControl*>(c); w && SendDialogChar(w, Message))
            return true;
    }
    return false;
}

void TWinControl::RouteMouseToGraphicChild(TMessage& Message)
{
    TPoint pos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    TControl* capture = ui::GetCaptureControl();
    TControl* target = nullptr;
    if (capture && capture != this && capture->Parent() == this && !dynamic_cast<TWinControl*>(capture))
        target = capture;
    else if (!capture || capture == this || !ContainsControl(capture))
        target = ControlAtPos(pos, false);
    if (capture == this)
        target = nullptr;
    if (Message.Msg == WM_MOUSEMOVE)
        TrackMouseOver(target ? target : nullptr);
    if (!target) {
        TControl::WndProc(Message);
        return;
    }
    UINT msg = Message.Msg;
    // A control that does not take double clicks gets a second press.
    if (!target->ControlStyle.Contains(csDoubleClicks)) {
        if (msg == WM_LBUTTONDBLCLK)
            msg = WM_LBUTTONDOWN;
        if (msg == WM_RBUTTONDBLCLK)
            msg = WM_RBUTTONDOWN;
        if (msg == WM_MBUTTONDBLCLK)
            msg = WM_MBUTTONDOWN;
    }
    Message.Result = target->Perform(msg, Message.WParam, MAKELPARAM(pos.X - target->Left(), pos.Y - target->Top()));
}

void TWinControl::TrackMouseOver(TControl* Control)
{
    if (Control == mouseOver_)
        return;
    TControl* old = mouseOver_;
    mouseOver_ = Control;
    if (surface_)
        surface_->ShowCursorShape(Control ? Control->Cursor() : Cursor());
    if (old)
        old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
    if (Control)
        Control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Control));
}

void TWinControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT: {
        if (Message.WParam) {
            PaintHandler(*reinterpret_cast<TCanvas*>(Message.WParam));
        } else if (surface_) {
            TCanvas& canvas = surface_->Canvas();
            PaintHandler(canvas);
        }
        break;
    }
    case WM_ERASEBKGND:
        if (Message.WParam)
            EraseBackground(*reinterpret_cast<TCanvas*>(Message.WParam));
        Message.Result = 1;
        break;
    case WM_MOUSEWHEEL: {
        TPoint pos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        if (DoMouseWheel(ui::KeysToShiftState(LOWORD(Message.WParam)), GET_WHEEL_DELTA_WPARAM(Message.WParam), pos))
            Message.Result = 1;
        else if (parent_)
            Message.Result = parent_->Perform(Message.Msg, Message.WParam, Message.LParam);
        break;
    }
    case CM_CURSORCHANGED:
        if (surface_)
            surface_->ShowCursorShape(Cursor());
        break;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED: {
        Invalidate();
        UINT notify = Message.Msg == CM_COLORCHANGED ? CM_PARENTCOLORCHANGED : CM_PARENTFONTCHANGED;
        for (size_t i = 0; i < controls_.size(); ++i)
            controls_[i]->Perform(notify, 0, 0);
        break;
    }
    default: TControl::Dispatch(Message);
    }
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (!handle_)
        return;
    switch (Message.Msg) {
    case WM_CLOSE: return; // a plain control's window is not closed by the user
    case WM_SYSCOMMAND: {
        if (!surface_)
            return;
        switch (Message.WParam & 0xFFF0) {
        case SC_MINIMIZE: surface_->ShowInState(ui::TShowState::Minimized); break;
        case SC_MAXIMIZE: surface_->ShowInState(ui::TShowState::Maximized); break;
        case SC_RESTORE: surface_->ShowInState(ui::TShowState::Normal); break;
        case SC_CLOSE: ui::SendMessage(handle_, WM_CLOSE, 0, 0); break;
        default: break;
        }
        return;
    }
    default: Message.Result = ui::DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
    }
}

bool TWinControl::DoKeyDown(WORD& Key, TShiftState Shift)
{
    TCustomForm* form = ParentForm();
    if (form && form != this && form->KeyPreview && static_cast<TWinControl*>(form)->DoKeyDown(Key, Shift))
        return true;
    KeyDown(Key, Shift);
    return Key == 0;
}

bool TWinControl::DoKeyUp(WORD& Key, TShiftState Shift)
{
    TCustomForm* form = ParentForm();
    if (form && form != this && form->KeyPreview && static_cast<TWinControl*>(form)->DoKeyUp(Key, Shift))
        return true;
    KeyUp(Key, Shift);
    return Key == 0;
}

bool TWinControl::DoKeyPress(char32_t& Key)
{
    TCustomForm* form = ParentForm();
    if (form && form != this && form->KeyPreview && static_cast<TWinControl*>(form)->DoKeyPress(Key))
        return true;
    KeyPress(Key);
    return Key == 0;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

bool TWinControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    return handled;
}

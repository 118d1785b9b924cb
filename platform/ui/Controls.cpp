#include "platform/ui/Controls.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/WindowSurface.h"

IMPLEMENT_CLASS(TControl)
IMPLEMENT_CLASS(TWinControl)
IMPLEMENT_CLASS(TGraphicControl)
IMPLEMENT_CLASS(TCustomControl)

namespace ui {
namespace {

TControl* captureControl = nullptr;
HWND focusWnd = nullptr;
std::function<void(TObject*)> exceptionHandler;

std::unordered_map<HWND, TWinControl*>& ControlsByHandle()
{
    static auto* map = new std::unordered_map<HWND, TWinControl*>;
    return *map;
}

} // namespace

TControl* GetCaptureControl() { return captureControl; }
void SetCaptureControl(TControl* Control) { captureControl = Control; }

HWND GetFocus() { return focusWnd; }

void ChangeFocus(HWND Wnd)
{
    if (Wnd == focusWnd)
        return;
    HWND old = focusWnd;
    focusWnd = Wnd;
    if (old && IsWindow(old))
        SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(Wnd), 0);
    if (Wnd) {
        SendMessage(Wnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
        TWinControl* control = TWinControl::FindControl(Wnd);
        if (control && control->WindowSurface())
            control->WindowSurface()->TakeFocus();
    }
}

void SetExceptionHandler(std::function<void(TObject* Sender)> handler) { exceptionHandler = std::move(handler); }

void HandleException(TObject* Sender)
{
    if (!exceptionHandler)
        throw;
    exceptionHandler(Sender);
}

void FlushCanvas(TCanvas& Canvas)
{
    if (auto* surface = dynamic_cast<TWindowSurface*>(Canvas.Surface()))
        surface->Flush();
}

TShiftState KeysToShiftState(WORD Keys)
{
    TShiftState s = TShiftState::FromBits(GetMessageShiftState()) - TShiftState{ssShift, ssCtrl, ssLeft, ssRight, ssMiddle};
    if (Keys & MK_SHIFT)
        s.Include(ssShift);
    if (Keys & MK_CONTROL)
        s.Include(ssCtrl);
    if (Keys & MK_LBUTTON)
        s.Include(ssLeft);
    if (Keys & MK_RBUTTON)
        s.Include(ssRight);
    if (Keys & MK_MBUTTON)
        s.Include(ssMiddle);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData)
{
    TShiftState s = TShiftState::FromBits(GetMessageShiftState()) - TShiftState{ssAlt};
    if (KeyData & (1 << 29))
        s.Include(ssAlt);
    return s;
}

std::function<void(TPopupMenu*, TControl*, TPoint)>& PopupMenuHandler()
{
    static auto* handler = new std::function<void(TPopupMenu*, TControl*, TPoint)>;
    return *handler;
}

std::function<bool(TWinControl*, WORD, TShiftState)>& MenuKeyHandler()
{
    static auto* handler = new std::function<bool(TWinControl*, WORD, TShiftState)>;
    return *handler;
}

TShiftState GetShiftState() { return TShiftState::FromBits(GetMessageShiftState()); }

} // namespace ui

// ---------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::SetMinWidth(int Value)
{
    minWidth_ = std::max(Value, 0);
    if (maxWidth_ > 0 && minWidth_ > maxWidth_)
        maxWidth_ = minWidth_;
    Change();
}

void TSizeConstraints::SetMinHeight(int Value)
{
    minHeight_ = std::max(Value, 0);
    if (maxHeight_ > 0 && minHeight_ > maxHeight_)
        maxHeight_ = minHeight_;
    Change();
}

void TSizeConstraints::SetMaxWidth(int Value)
{
    maxWidth_ = std::max(Value, 0);
    if (maxWidth_ > 0 && minWidth_ > maxWidth_)
        minWidth_ = maxWidth_;
    Change();
}

void TSizeConstraints::SetMaxHeight(int Value)
{
    maxHeight_ = std::max(Value, 0);
    if (maxHeight_ > 0 && minHeight_ > maxHeight_)
        minHeight_ = maxHeight_;
    Change();
}

void TSizeConstraints::Constrain(int& Width, int& Height) const
{
    if (maxWidth_ > 0)
        Width = std::min(Width, maxWidth_);
    if (maxHeight_ > 0)
        Height = std::min(Height, maxHeight_);
    Width = std::max(Width, minWidth_);
    Height = std::max(Height, minHeight_);
}

void TSizeConstraints::Change()
{
    if (OnChange)
        OnChange(nullptr);
}

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), ControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks},
      font_(std::make_unique<TFont>())
{
    font_->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
    constraints_.OnChange = [this](TObject*) { ConstraintsChanged(); };
    WindowProc = [this](TMessage& Message) { WndProc(Message); };
}

TControl::~TControl()
{
    Destroying();
    if (ui::GetCaptureControl() == this)
        ui::SetCaptureControl(nullptr);
    SetParent(nullptr);
}

void TControl::SetParent(TWinControl* AParent)
{
    if (parent_ == AParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_)
        parent_->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    constraints_.Constrain(AWidth, AHeight);
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_)
        return;
    TRect old = BoundsRect();
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    BoundsChanged(old);
}

void TControl::SetBoundsQuietly(int ALeft, int ATop, int AWidth, int AHeight)
{
    realigning_ = true;
    try {
        SetBounds(ALeft, ATop, AWidth, AHeight);
    } catch (...) {
        realigning_ = false;
        throw;
    }
    realigning_ = false;
}

void TControl::BoundsChanged(const TRect& oldBounds)
{
    if (parent_ && !(ComponentState() & csDestroying)) {
        if (!dynamic_cast<TWinControl*>(this)) {
            TRect both = gfx::UnionRect(oldBounds, BoundsRect());
            parent_->InvalidateRect(&both);
        }
        if (!realigning_)
            parent_->ControlChanged(this);
    }
    if (oldBounds.Width() != width_ || oldBounds.Height() != height_)
        Resize();
}

void TControl::ConstraintsChanged() { SetBounds(left_, top_, width_, height_); }

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

TRect TControl::ClientRect() const { return {0, 0, width_, height_}; }

void TControl::SetClientWidth(int Value) { SetWidth(width_ - ClientWidth() + Value); }
void TControl::SetClientHeight(int Value) { SetHeight(height_ - ClientHeight() + Value); }

TPoint TControl::ClientOrigin() const
{
    if (!parent_) {
        auto* self = dynamic_cast<const TWinControl*>(this);
        if (self && self->WindowSurface())
            if (std::optional<TPoint> origin = self->WindowSurface()->ScreenOrigin())
                return *origin;
        return {left_, top_};
    }
    TPoint origin = parent_->ClientOrigin();
    return {origin.X + left_, origin.Y + top_};
}

TPoint TControl::ClientToScreen(const TPoint& Point) const
{
    TPoint origin = ClientOrigin();
    return {Point.X + origin.X, Point.Y + origin.Y};
}

TPoint TControl::ScreenToClient(const TPoint& Point) const
{
    TPoint origin = ClientOrigin();
    return {Point.X - origin.X, Point.Y - origin.Y};
}

void TControl::SetAlign(TAlign Value)
{
    if (align_ == Value)
        return;
    align_ = Value;
    if (Value != alNone)
        anchors_ = TAnchors{akLeft, akTop};
    if (parent_)
        parent_->Realign();
}

void TControl::SetAnchors(TAnchors Value) { anchors_ = Value; }

void TControl::SetVisible(bool Value)
{
    if (visible_ == Value)
        return;
    visible_ = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
    if (parent_) {
        TRect r = BoundsRect();
        parent_->InvalidateRect(&r);
        parent_->ControlChanged(this);
    }
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool Value)
{
    if (enabled_ == Value)
        return;
    enabled_ = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value)
{
    parentColor_ = false;
    if (color_ == Value)
        return;
    color_ = Value;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value)
{
    parentColor_ = Value;
    if (Value)
        ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (!parentColor_ || !parent_ || color_ == parent_->Color())
        return;
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value)
{
    parentFont_ = Value;
    if (Value)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!parentFont_ || !parent_)
        return;
    applyingParentFont_ = true;
    font_->Assign(parent_->Font());
    applyingParentFont_ = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*)
{
    if (applyingParentFont_)
        return;
    parentFont_ = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetText(const std::string& Value)
{
    if (text_ == Value)
        return;
    text_ = Value;
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value)
{
    showHint_ = Value;
    parentShowHint_ = false;
}

void TControl::SetParentShowHint(bool Value)
{
    parentShowHint_ = Value;
    if (Value && parent_)
        showHint_ = parent_->ShowHint();
}

void TControl::SetCursor(TCursor Value)
{
    if (cursor_ == Value)
        return;
    cursor_ = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetPopupMenuComponent(TPopupMenu* Menu, TComponent* Component)
{
    if (popupMenuComponent_ && popupMenuComponent_ != Component)
        RemoveFreeNotification(popupMenuComponent_);
    popupMenu_ = Menu;
    popupMenuComponent_ = Component;
    if (Component)
        FreeNotification(Component);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupMenuComponent_) {
        popupMenu_ = nullptr;
        popupMenuComponent_ = nullptr;
    }
}

void TControl::Invalidate()
{
    if (parent_ && visible_) {
        TRect r = BoundsRect();
        parent_->InvalidateRect(&r);
    }
}

void TControl::Update()
{
    if (parent_)
        parent_->Update();
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::BringToFront()
{
    if (!parent_)
        return;
    auto& list = parent_->controls_;
    std::erase(list, this);
    list.push_back(this);
    if (auto* self = dynamic_cast<TWinControl*>(this); self && self->WindowSurface())
        self->WindowSurface()->Raise();
    Invalidate();
}

void TControl::SendToBack()
{
    if (!parent_)
        return;
    auto& list = parent_->controls_;
    std::erase(list, this);
    list.insert(list.begin(), this);
    if (auto* self = dynamic_cast<TWinControl*>(this); self && self->WindowSurface())
        self->WindowSurface()->Lower();
    Invalidate();
}

bool TControl::MouseCapture() const { return ui::GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value)
{
    if (Value)
        ui::SetCaptureControl(this);
    else if (MouseCapture())
        ui::SetCaptureControl(nullptr);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    WindowProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& Message) { Dispatch(Message); }

void TControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
        HandleMouseMessage(Message);
        break;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
        Invalidate();
        break;
    case CM_PARENTCOLORCHANGED:
        ParentColorChanged();
        break;
    case CM_PARENTFONTCHANGED:
        ParentFontChanged();
        break;
    case WM_CANCELMODE:
        SetMouseCapture(false);
        break;
    case WM_CONTEXTMENU:
        // The control's popup menu, else the parent's.
        if (popupMenu_ && ui::PopupMenuHandler()) {
            ui::PopupMenuHandler()(popupMenu_, this, {GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
            Message.Result = 1;
        } else if (parent_) {
            Message.Result = parent_->Perform(Message.Msg, Message.WParam, Message.LParam);
        }
        break;
    default:
        DefaultHandler(Message);
    }
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::HandleMouseMessage(TMessage& Message)
{
    int x = GET_X_LPARAM(Message.LParam);
    int y = GET_Y_LPARAM(Message.LParam);
    TShiftState shift = ui::KeysToShiftState(static_cast<WORD>(Message.WParam));
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
        MouseDown(mbLeft, shift, x, y);
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
    case WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, shift, x, y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift, x, y);
        break;
    case WM_MOUSEMOVE:
        MouseMove(shift, x, y);
        break;
    default:
        break;
    }
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

TCustomForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c->parent_)
        c = c->parent_;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

// ---------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    Destroying();
    // A parent frees the controls on it, the topmost first.
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        RemoveControl(child);
        delete child;
    }
    DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND Wnd)
{
    auto& map = ui::ControlsByHandle();
    auto it = map.find(Wnd);
    return it == map.end() ? nullptr : it->second;
}

HWND TWinControl::Handle()
{
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded()
{
    if (handle_)
        return;
    if (parent_)
        parent_->HandleNeeded();
    CreateHandle();
}

void TWinControl::CreateHandle()
{
    if (handle_)
        return;
    CreateWnd();
}

void TWinControl::DestroyHandle()
{
    if (!handle_)
        return;
    DestroyWnd();
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params.Caption = Text();
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    Params.Style = parent_ ? WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS : WS_POPUP;
    if (tabStop_)
        Params.Style |= WS_TABSTOP;
    if (!Enabled())
        Params.Style |= WS_DISABLED;
    Params.WndParent = parent_ ? parent_->handle_ : nullptr;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd()
{
    ui::EnsurePlatform();
    TCreateParams params;
    CreateParams(params);
    CreateWindowHandle(params);
    ui::SendMessage(handle_, WM_CREATE, 0, 0);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params)
{
    mainWndProc_ = ui::MakeWindowProc([this](HWND, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        TMessage message{msg, w, l, 0};
        try {
            WindowProc(message);
        } catch (...) {
            ui::HandleException(this);
        }
        return message.Result;
    });
    handle_ = ui::CreateRawWindow(mainWndProc_);
    ui::ControlsByHandle()[handle_] = this;
    surface_ = std::make_unique<ui::TWindowSurface>(this, handle_, parent_ ? parent_->surface_.get() : nullptr);
    surface_->SetGeometry(Bounds(Params.X, Params.Y, Params.Width, Params.Height));
    surface_->SetEnabled(Enabled());
    if (Cursor() != crDefault)
        surface_->ShowCursorShape(Cursor());
}

void TWinControl::DestroyWnd()
{
    DestroyChildHandles();
    ControlState.Include(csDestroyingHandle);
    HWND wnd = handle_;
    if (ui::GetFocus() == wnd)
        ui::ChangeFocus(nullptr);
    ui::DestroyRawWindow(wnd);
    ui::ControlsByHandle().erase(wnd);
    handle_ = nullptr;
    surface_.reset();
    mainWndProc_.reset();
    ControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyChildHandles()
{
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->DestroyHandle();
}

void TWinControl::RecreateWnd()
{
    if (!handle_)
        return;
    DestroyHandle();
    HandleNeeded();
    UpdateShowing();
}

TControl* TWinControl::Controls(int Index) const
{
    if (Index < 0 || Index >= ControlCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return controls_[static_cast<size_t>(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const
{
    while (Control && Control != this)
        Control = Control->Parent();
    return Control == this;
}

void TWinControl::InsertControl(TControl* AControl)
{
    controls_.push_back(AControl);
    AControl->parent_ = this;
    AControl->ParentFontChanged();
    AControl->ParentColorChanged();
    if (AControl->parentShowHint_)
        AControl->showHint_ = ShowHint();
    if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
        if (handle_)
            win->UpdateShowing();
    } else {
        AControl->Invalidate();
    }
    ControlChanged(AControl);
}

void TWinControl::RemoveControl(TControl* AControl)
{
    if (mouseOver_ == AControl)
        mouseOver_ = nullptr;
    if (ui::GetCaptureControl() == AControl)
        ui::SetCaptureControl(nullptr);
    if (auto* win = dynamic_cast<TWinControl*>(AControl))
        win->DestroyHandle();
    else
        AControl->Invalidate();
    std::erase(controls_, AControl);
    AControl->parent_ = nullptr;
    if (!(ComponentState() & csDestroying))
        ControlChanged(AControl);
}

void TWinControl::ControlChanged(TControl* Child)
{
    if (Child->Align() != alNone)
        Realign();
}

void TWinControl::Broadcast(TMessage& Message)
{
    for (size_t i = 0; i < controls_.size(); ++i) {
        controls_[i]->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) const
{
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!AllowWinControls && dynamic_cast<TWinControl*>(c))
            continue;
        if (c->Visible() && (AllowDisabled || c->Enabled()) && c->BoundsRect().Contains(Pos.X, Pos.Y))
            return c;
    }
    return nullptr;
}

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign()
{
    if (alignLevel_ > 0 && --alignLevel_ == 0 && alignPending_)
        Realign();
}

void TWinControl::Realign()
{
    if (alignLevel_ > 0 || (ComponentState() & csDestroying)) {
        alignPending_ = true;
        return;
    }
    alignPending_ = false;
    TRect rect = AlignRect();
    AlignControls(nullptr, rect);
}

namespace {

// The edge a control keeps when aligned: controls nearer to the side they
// align to are placed first.
int AlignOrderKey(const TControl* c, TAlign align)
{
    switch (align) {
    case alTop: return c->Top();
    case alBottom: return -(c->Top() + c->Height());
    case alLeft: return c->Left();
    case alRight: return -(c->Left() + c->Width());
    default: return 0;
    }
}

} // namespace

void TWinControl::AlignControls(TControl*, TRect& Rect)
{
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Visible() && c->Align() == align)
                list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [align](const TControl* a, const TControl* b) {
            return AlignOrderKey(a, align) < AlignOrderKey(b, align);
        });
        for (TControl* c : list) {
            int w = std::max(Rect.Width(), 0);
            int h = std::max(Rect.Height(), 0);
            switch (align) {
            case alTop:
                c->SetBoundsQuietly(Rect.Left, Rect.Top, w, c->Height());
                Rect.Top += c->Height();
                break;
            case alBottom:
                c->SetBoundsQuietly(Rect.Left, Rect.Bottom - c->Height(), w, c->Height());
                Rect.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBoundsQuietly(Rect.Left, Rect.Top, c->Width(), h);
                Rect.Left += c->Width();
                break;
            case alRight:
                c->SetBoundsQuietly(Rect.Right - c->Width(), Rect.Top, c->Width(), h);
                Rect.Right -= c->Width();
                break;
            default:
                c->SetBoundsQuietly(Rect.Left, Rect.Top, w, h);
                break;
            }
        }
    }
}

void TWinControl::ApplyAnchors(int oldWidth, int oldHeight)
{
    int dx = ClientWidth() - oldWidth;
    int dy = ClientHeight() - oldHeight;
    if (dx == 0 && dy == 0)
        return;
    for (TControl* c : controls_) {
        if (c->Align() != alNone)
            continue;
        TAnchors a = c->Anchors();
        int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft))
                w += dx;
            else
                l += dx;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop))
                h += dy;
            else
                t += dy;
        }
        c->SetBoundsQuietly(l, t, w, h);
    }
}

void TWinControl::BoundsChanged(const TRect& oldBounds)
{
    int oldClientW = oldBounds.Width() - (Width() - ClientWidth());
    int oldClientH = oldBounds.Height() - (Height() - ClientHeight());
    if (surface_)
        surface_->SetGeometry(BoundsRect());
    if (oldBounds.Width() != Width() || oldBounds.Height() != Height()) {
        ApplyAnchors(oldClientW, oldClientH);
        Realign();
    }
    TControl::BoundsChanged(oldBounds);
}

void TWinControl::SetVisible(bool Value)
{
    if (Visible() == Value)
        return;
    TControl::SetVisible(Value);
    UpdateShowing();
}

void TWinControl::SetEnabled(bool Value)
{
    TControl::SetEnabled(Value);
    if (surface_)
        surface_->SetEnabled(Value);
}

bool TWinControl::Showing() const
{
    if (parent_)
        return Visible() && parent_->Showing();
    return Visible() && surface_ && surface_->IsShown();
}

void TWinControl::UpdateShowing()
{
    if (!parent_)
        return; // top-level windows are shown by their form
    bool show = Visible() && parent_->Showing();
    if (show) {
        HandleNeeded();
        surface_->SetShown(true);
        for (TControl* c : controls_)
            if (auto* w = dynamic_cast<TWinControl*>(c))
                w->UpdateShowing();
    } else if (surface_) {
        surface_->SetShown(false);
    }
}

int TWinControl::TabOrder() const
{
    if (!parent_)
        return -1;
    int order = 0;
    for (TControl* c : parent_->controls_) {
        if (c == this)
            return order;
        if (dynamic_cast<TWinControl*>(c))
            ++order;
    }
    return -1;
}

void TWinControl::SetTabOrder(int Value)
{
    if (!parent_)
        return;
    auto& list = parent_->controls_;
    std::erase(list, static_cast<TControl*>(this));
    int order = 0;
    auto it = list.begin();
    for (; it != list.end() && order < Value; ++it)
        if (dynamic_cast<TWinControl*>(*it))
            ++order;
    list.insert(it, this);
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return ParentForm() != nullptr;
}

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (TCustomForm* form = ParentForm(); form && form != this)
        form->SetActiveControl(this);
    else
        ui::ChangeFocus(Handle());
}

std::vector<TWinControl*> TWinControl::TabOrderList() const
{
    std::vector<TWinControl*> list;
    for (TControl* c : controls_) {
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            list.push_back(w);
            std::vector<TWinControl*> inner = w->TabOrderList();
            list.insert(list.end(), inner.begin(), inner.end());
        }
    }
    return list;
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const
{
    std::vector<TWinControl*> list = TabOrderList();
    if (list.empty())
        return nullptr;
    auto n = static_cast<std::ptrdiff_t>(list.size());
    auto it = std::find(list.begin(), list.end(), CurControl);
    std::ptrdiff_t start = it == list.end() ? (GoForward ? -1 : n) : it - list.begin();
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        std::ptrdiff_t i = ((start + (GoForward ? step : -step)) % n + n) % n;
        TWinControl* candidate = list[static_cast<size_t>(i)];
        if (candidate != CurControl && candidate->CanFocus() && (!CheckTabStop || candidate->TabStop()))
            return candidate;
    }
    return nullptr;
}

bool TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop);
    if (!next)
        return false;
    next->SetFocus();
    return true;
}

bool TWinControl::Focused() const { return handle_ && ui::GetFocus() == handle_; }

void TWinControl::Invalidate()
{
    if (surface_)
        surface_->Invalidate(nullptr);
}

void TWinControl::InvalidateRect(const TRect* R)
{
    if (surface_ && !(ComponentState() & csDestroying))
        surface_->Invalidate(R);
}

void TWinControl::Update()
{
    if (surface_)
        surface_->PaintInvalidArea();
}

void TWinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
        if (!Enabled())
            return;
        RouteMouseToGraphicChild(Message);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = LOWORD(Message.WParam);
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
    case WM_SETFOCUS:
        DoEnter();
        break;
    case WM_KILLFOCUS:
        DoExit();
        break;
    case CM_MOUSELEAVE:
        TrackMouseOver(nullptr);
        break;
    default:
        break;
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
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
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
    if (expected != 0 && ui::PeekMessage(pending, handle_, WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
        pending.wParam == expected)
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
        if (msg == WM_LBUTTONDBLCLK) msg = WM_LBUTTONDOWN;
        if (msg == WM_RBUTTONDBLCLK) msg = WM_RBUTTONDOWN;
        if (msg == WM_MBUTTONDBLCLK) msg = WM_MBUTTONDOWN;
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
    default:
        TControl::Dispatch(Message);
    }
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (!handle_)
        return;
    switch (Message.Msg) {
    case WM_CLOSE:
        return; // a plain control's window is not closed by the user
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
    default:
        Message.Result = ui::DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
    }
}

void TWinControl::PaintHandler(TCanvas& DC)
{
    if (!ControlStyle.Contains(csOpaque))
        Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&DC), 0);
    PaintWindow(DC);
    PaintControls(DC, nullptr);
}

void TWinControl::PaintWindow(TCanvas&) {}

void TWinControl::EraseBackground(TCanvas& DC)
{
    DC.Brush.Color = Color();
    DC.Brush.Style = bsSolid;
    DC.FillRect(ClientRect());
}

void TWinControl::PaintControls(TCanvas& DC, TControl* First)
{
    auto it = First ? std::find(controls_.begin(), controls_.end(), First) : controls_.begin();
    for (; it != controls_.end(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c) || !c->Visible())
            continue;
        TRect bounds = c->BoundsRect();
        if (gfx::IntersectRect(bounds, DC.ClipRect()).IsEmpty())
            continue;
        TCanvasStateScope state(DC);
        DC.IntersectClipRect(bounds);
        TPoint vp = DC.ViewportOrg();
        DC.SetViewportOrg({vp.X + bounds.Left, vp.Y + bounds.Top});
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&DC), 0);
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

// ---------------------------------------------------------------------------
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

TGraphicControl::~TGraphicControl()
{
    Destroying();
    SetParent(nullptr);
}

void TGraphicControl::PrepareCanvas()
{
    TWinControl* p = Parent();
    if (!p || !p->WindowSurface()) {
        canvas_.SetSurface(nullptr);
        return;
    }
    canvas_.SetSurface(p->WindowSurface());
    canvas_.SetClipRegion(nullptr);
    canvas_.SetWindowOrg({0, 0});
    canvas_.SetViewportOrg({Left(), Top()});
    canvas_.IntersectClipRect(ClientRect());
}

TCanvas* TGraphicControl::Canvas()
{
    if (paintCanvas_)
        return paintCanvas_;
    PrepareCanvas();
    return &canvas_;
}

void TGraphicControl::PaintInto(TCanvas* DC)
{
    TPaintCanvasScope scope(paintCanvas_, DC);
    Paint();
}

void TGraphicControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_PAINT) {
        if (Message.WParam) {
            PaintInto(reinterpret_cast<TCanvas*>(Message.WParam));
        } else {
            PrepareCanvas();
            if (canvas_.HandleAllocated())
                PaintInto(&canvas_);
        }
        return;
    }
    TControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::Canvas()
{
    if (paintCanvas_)
        return paintCanvas_;
    HandleNeeded();
    return &WindowSurface()->Canvas();
}

void TCustomControl::PaintWindow(TCanvas& DC)
{
    TPaintCanvasScope scope(paintCanvas_, &DC);
    Paint();
}

#pragma once

// Controls: the visual component tree. TControl has bounds, alignment and
// the message entry (WindowProc, replaceable for hooks); TWinControl owns a
// window with a back buffer and the child list; TGraphicControl is drawn and
// hit-tested by its parent on the parent's window; TCustomControl paints its
// own window through Canvas.
//
// Every message a control gets, whether sent to its window or performed,
// passes through WindowProc, which is WndProc until someone replaces it.
// WndProc handles what every control does with mouse, keys and focus and
// then calls Dispatch, whose message handlers end in DefaultHandler.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Font.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/EnumSet.h"
#include "platform/ui/Messages.h"

class TControl;
class TControlDragger;
class TWinControl;
class TPopupMenu;
class TCustomForm;
namespace ui {
class TWindowSurface;
}

using HDC = TCanvas*;

// Points a control's paint canvas at the canvas of the paint going on, for
// the time of one paint (also when the paint throws).
class TPaintCanvasScope {
public:
    TPaintCanvasScope(TCanvas*& slot, TCanvas* canvas) : slot_(slot), previous_(slot) { slot_ = canvas; }
    ~TPaintCanvasScope() { slot_ = previous_; }
    TPaintCanvasScope(const TPaintCanvasScope&) = delete;
    TPaintCanvasScope& operator=(const TPaintCanvasScope&) = delete;

private:
    TCanvas*& slot_;
    TCanvas* previous_;
};

// Keeps a canvas's pen, brush, clip and origins for the time of a scope.
class TCanvasStateScope {
public:
    explicit TCanvasStateScope(TCanvas& canvas) : canvas_(canvas), id_(canvas.SaveState()) { }
    ~TCanvasStateScope() { canvas_.RestoreState(id_); }
    TCanvasStateScope(const TCanvasStateScope&) = delete;
    TCanvasStateScope& operator=(const TCanvasStateScope&) = delete;

private:
    TCanvas& canvas_;
    int id_;
};

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind : std::uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = TEnumSet<TAnchorKind>;

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TEnumSet<TShiftStateItem>;

enum TControlStyleItem : std::uint8_t {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
};
using TControlStyle = TEnumSet<TControlStyleItem>;

enum TControlStateItem : std::uint8_t {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking,
};
using TControlState = TEnumSet<TControlStateItem>;

// How an owner-drawn entry of a list or menu is to look.
enum TOwnerDrawStateItem : std::uint8_t {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit,
};
using TOwnerDrawState = TEnumSet<TOwnerDrawStateItem>;

using TCursor = std::int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;

// Dragging a control onto controls of this program. With dmAutomatic a left
// press starts a drag once the mouse has moved DragThreshold pixels; with
// dmManual only BeginDrag does.
enum TDragMode : std::uint8_t { dmManual, dmAutomatic };
enum TDragState : std::uint8_t { dsDragEnter, dsDragLeave, dsDragMove };
constexpr int DragThreshold = 5;
// Over a target: Source is the dragged control, X and Y are in the target's
// client coordinates; Accept starts true and says whether a drop is taken.
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
// The drag ended: Target is the control that took the drop (nullptr when
// none took it), X and Y in its client coordinates.
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// The window styles a control asks for when its window is made.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    std::string WinClassName;
};

// Window styles honoured by the window system behind the controls.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

// Limits of a control's size; 0 leaves a limit open. A minimum above the
// maximum of the same side lifts the maximum, a maximum below the minimum
// lowers the minimum, so the latest setting always holds.
class TSizeConstraints {
public:
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int Value);
    int MinHeight() const { return minHeight_; }
    void SetMinHeight(int Value);
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int Value);
    int MaxHeight() const { return maxHeight_; }
    void SetMaxHeight(int Value);

    // The size brought within the limits.
    void Constrain(int& Width, int& Height) const;

    // Any limit changed (the control re-applies its size).
    TNotifyEvent OnChange;

private:
    void Change();

    int minWidth_ = 0;
    int minHeight_ = 0;
    int maxWidth_ = 0;
    int maxHeight_ = 0;
};

class TControl : public TComponent {
    DECLARE_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int Value) { SetBounds(Value, top_, width_, height_); }
    void SetTop(int Value) { SetBounds(left_, Value, width_, height_); }
    void SetWidth(int Value) { SetBounds(left_, top_, Value, height_); }
    void SetHeight(int Value) { SetBounds(left_, top_, width_, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }

    // The area children and painting use, in the control's own coordinates.
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    TPoint ClientOrigin() const; // screen position of the client's top-left
    TPoint ClientToScreen(const TPoint& Point) const;
    TPoint ScreenToClient(const TPoint& Point) const;

    // Every size change passes them: code, alignment and the user's resizing.
    TSizeConstraints& Constraints() { return constraints_; }
    const TSizeConstraints& Constraints() const { return constraints_; }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors Value);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible and every parent up to a window that is on screen.
    virtual bool Showing() const;

    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool Value);

    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool Value);

    TFont& Font() { return *font_; }
    const TFont& Font() const { return *font_; }
    void SetFont(const TFont& Value) { font_->Assign(Value); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool Value);

    const std::string& Caption() const { return text_; }
    void SetCaption(const std::string& Value) { SetText(Value); }
    const std::string& Text() const { return text_; }
    void SetText(const std::string& Value);

    std::string Hint;
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool Value);

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor Value);

    // The menu shown on a right click (WM_CONTEXTMENU). The menu class
    // comes with the menus unit; the setter is a template so this header
    // needs only its name.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    template <class Menu> void SetPopupMenu(Menu* Value) { SetPopupMenuComponent(Value, Value); }
    void SetPopupMenu(std::nullptr_t) { SetPopupMenuComponent(nullptr, nullptr); }

    TControlStyle ControlStyle;
    TControlState ControlState;

    // Painting: Invalidate marks the control for the next paint, Update paints
    // what is marked now, Repaint does both.
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // Z-order among the parent's children.
    void BringToFront();
    void SendToBack();

    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // Sends the message straight to WindowProc.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);

    // The message entry; replace it to hook the control, keep the old value
    // to pass messages on.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    // Calls the handler of the message; unknown ones go to DefaultHandler.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // The form the control is on (nullptr when none).
    TCustomForm* ParentForm() const;

    // Dragging onto controls of this program (DragDrop.h carries data to
    // other programs).
    TDragMode DragMode = dmManual;
    TCursor DragCursor = crDrag;
    // Starts a drag of this control at the last press: at once, or once the
    // mouse has moved Threshold pixels (-1: DragThreshold) from it. Nothing
    // while another drag runs.
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends this control's drag, dropping on the control under the mouse
    // when Drop and that control accepts.
    void EndDrag(bool Drop);
    bool Dragging() const;
    // A dragged control is dropped here (OnDragDrop).
    virtual void DragDrop(TObject* Source, int X, int Y);

    TNotifyEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;

    virtual void Click();
    virtual void DblClick();

protected:
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Resize();
    // The drag of this control starts and ends; a drag is over this control
    // (Accept comes in false without OnDragOver, true with it).
    virtual void DoStartDrag();
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    // A left press with dmAutomatic: a drag once the mouse moves far enough.
    virtual void BeginAutoDrag() { BeginDrag(false); }
    // The size limits changed: the control takes a size within them.
    virtual void ConstraintsChanged();
    // Tells the parent to realign and repaint after a bounds change.
    virtual void BoundsChanged(const TRect& oldBounds);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // A colour or font inherited from the parent changed.
    virtual void ParentColorChanged();
    virtual void ParentFontChanged();
    // Mouse messages in client coordinates.
    virtual void HandleMouseMessage(TMessage& Message);
    bool TakenByDrag(UINT Msg, TPoint ScreenPos);
    void SendCancelMode();

    // For the alignment pass: moves without asking the parent to realign.
    void SetBoundsQuietly(int ALeft, int ATop, int AWidth, int AHeight);
    // Sets the flag alone (a form starts hidden without telling anyone).
    void SetVisibleFlag(bool Value) { visible_ = Value; }

    friend class TWinControl;
    friend class TControlDragger;

private:
    void SetPopupMenuComponent(TPopupMenu* Menu, TComponent* Component);
    void FontChanged(TObject* Sender);

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TAlign align_ = alNone;
    TAnchors anchors_{akLeft, akTop};
    TSizeConstraints constraints_;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    bool applyingParentFont_ = false;
    std::string text_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TCursor cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
    TComponent* popupMenuComponent_ = nullptr;
    bool realigning_ = false;
};

class TWinControl : public TControl {
    DECLARE_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window, made when first asked for.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded();
    // Destroys and makes the window again (with its children's windows).
    void RecreateWnd();

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int Index) const;
    bool ContainsControl(const TControl* Control) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    // Sends the message to every child.
    void Broadcast(TMessage& Message);
    // The topmost visible child at the point (client coordinates).
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false) const;

    void DisableAlign();
    void EnableAlign();
    void Realign();

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool Value) { tabStop_ = Value; }
    int TabOrder() const;
    void SetTabOrder(int Value);
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    // The windowed controls inside, depth first, each level in tab order.
    std::vector<TWinControl*> TabOrderList() const;
    // The next (or previous) control after CurControl that can take the
    // focus (and is a tab stop, if asked), wrapping around; nullptr if none.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const;
    // Moves the focus there; false when no control qualifies.
    bool SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    void SetVisible(bool Value) override;
    void SetEnabled(bool Value) override;
    bool Showing() const override;
    void Invalidate() override;
    void Update() override;
    // Marks a part of the client area (nullptr: all) for the next paint.
    void InvalidateRect(const TRect* R);

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TMouseWheelEvent OnMouseWheel;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    // Shows or hides the window as Visible and the parent's showing say.
    virtual void UpdateShowing();

    // The window behind the control (nullptr before the handle exists).
    ui::TWindowSurface* WindowSurface() const { return surface_.get(); }
    // The window of a handle (nullptr for hidden or foreign windows).
    static TWinControl* FindControl(HWND Wnd);

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    void CreateHandle();
    void DestroyHandle();
    // Called once the window exists.
    virtual void CreateWindowHandle(const TCreateParams& Params);

    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // Moves a child without asking for another alignment pass.
    static void SetChildBounds(TControl* Child, int ALeft, int ATop, int AWidth, int AHeight)
    {
        Child->SetBoundsQuietly(ALeft, ATop, AWidth, AHeight);
    }
    // A child was added, removed, moved, sized, shown or hidden.
    virtual void ControlChanged(TControl* Child);
    // The rectangle alignment fills (the client rectangle by default).
    virtual TRect AlignRect() const { return ClientRect(); }

    // Painting of the window: background, the window's own paint and the
    // graphic children on top.
    virtual void PaintWindow(TCanvas& DC);
    void PaintHandler(TCanvas& DC);
    void PaintControls(TCanvas& DC, TControl* First);
    virtual void EraseBackground(TCanvas& DC);

    virtual bool DoKeyDown(WORD& Key, TShiftState Shift);
    virtual bool DoKeyUp(WORD& Key, TShiftState Shift);
    virtual bool DoKeyPress(char32_t& Key);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char32_t& Key);
    virtual void DoEnter();
    virtual void DoExit();
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);

    void BoundsChanged(const TRect& oldBounds) override;

    friend class TControl;
    friend class ui::TWindowSurface;

private:
    void RouteMouseToGraphicChild(TMessage& Message);
    static bool SendDialogChar(TWinControl* Container, const TMessage& Message);
    bool HandleDialogKey(TMessage& Message);
    void DropDialogKeyChar(WORD Key);
    void TrackMouseOver(TControl* Control);
    void ApplyAnchors(int oldWidth, int oldHeight);
    void DestroyChildHandles();

    HWND handle_ = nullptr;
    WNDPROC mainWndProc_;
    std::unique_ptr<ui::TWindowSurface> surface_;
    std::vector<TControl*> controls_; // z-order: first is bottom
    int alignLevel_ = 0;
    bool alignPending_ = false;
    bool tabStop_ = false;
    TControl* mouseOver_ = nullptr;
};

// A control without a window, drawn by its parent on the parent's window.
class TGraphicControl : public TControl {
    DECLARE_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;

    // The parent's window, offset to and clipped by this control.
    TCanvas* Canvas();

protected:
    virtual void Paint() { }
    void Dispatch(TMessage& Message) override;

private:
    void PaintInto(TCanvas* DC);
    void PrepareCanvas();

    TCanvas canvas_;
    TCanvas* paintCanvas_ = nullptr;
};

// A windowed control that paints itself.
class TCustomControl : public TWinControl {
    DECLARE_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;

    TCanvas* Canvas();

protected:
    virtual void Paint() { }
    void PaintWindow(TCanvas& DC) override;

private:
    TCanvas* paintCanvas_ = nullptr;
};

namespace ui {

// The control with the mouse capture, or nullptr.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);

// Where exceptions of message handlers go (the application installs its
// handler); without one they propagate.
void SetExceptionHandler(std::function<void(TObject* Sender)> handler);
// Calls the installed handler for the exception being handled.
void HandleException(TObject* Sender);

// Shows a control's popup menu at a screen point; installed by the menus
// unit (until then right clicks show nothing).
std::function<void(TPopupMenu* Menu, TControl* Control, TPoint ScreenPos)>& PopupMenuHandler();

// Offers a key-down to the menus first (the popup menus of the control and
// its parents, then the form's main menu); true when a menu item took it.
// Installed by the menus unit.
std::function<bool(TWinControl* Control, WORD Key, TShiftState Shift)>& MenuKeyHandler();

// The drag of a control: the control being dragged (nullptr: none, also
// while a started drag still waits for the mouse to move far enough), and
// the mouse's steps in screen coordinates; the dragged control's mouse
// messages bring them. A step the drag took (true) goes no further.
TControl* DragSourceControl();
bool DragMouseMove(TPoint ScreenPos);
bool DragMouseUp(TPoint ScreenPos);
// Escape: the drag ends without a drop.
void CancelControlDrag();
// The innermost showing control of this program's forms at a screen point.
TControl* FindDragTarget(TPoint ScreenPos);
// The control is going: a drag from or over it ends.
void ForgetDragControl(TControl* Control);
// Where the last left press was (drags start there); the layer notes it.
void NoteDragPress(TPoint ScreenPos);

// The window with the keyboard focus; ChangeFocus tells the old one
// (WM_KILLFOCUS) and the new one (WM_SETFOCUS).
HWND GetFocus();
void ChangeFocus(HWND Wnd);

// The canvas of a window: everything drawn on it outside a paint reaches the
// screen here (and at the next turn of the event loop).
void FlushCanvas(TCanvas& Canvas);

// Key state while a message is handled.
TShiftState KeysToShiftState(WORD Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
// The state of the keyboard modifiers now.
TShiftState GetShiftState();

} // namespace ui

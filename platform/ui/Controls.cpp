// Controls: what the layer keeps for all of them (mouse capture, keyboard
// focus, the handler of exceptions, key states) and their size limits. The
// classes' topics are in Controls.*.cpp.

#include "platform/ui/Controls.h"

#include <algorithm>

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
    TShiftState s = TShiftState::FromBits(GetMessageShiftState()) -
        TShiftState{ssShift, ssCtrl, ssLeft, ssRight, ssMiddle};
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

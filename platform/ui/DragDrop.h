#pragma once

// Drag and drop between windows: windows register a drop target; DoDragDrop
// runs the drag of a data object, asking its drop source whether to go on and
// telling it the effect the window under the mouse offers.
//
// On the desktop the window system's drag carries the data (MIME types, see
// qt/MimeFormats.h), so drops reach other programs and drops from them reach the
// registered windows, whose targets then read a data object over the foreign
// MIME data. Within this program every target reads the source's own data
// object. The loop itself (TDragLoop) is fed the user's input step by step;
// SetDragDriver replaces the window system as the feeder, so tests drive a
// whole drag with synthetic input.

#include <functional>

#include "platform/graphics/Types.h"
#include "platform/ui/Ole.h"

namespace ui {

// Registers the window's drop target (which is kept referenced until the
// window is revoked). DRAGDROP_E_INVALIDHWND for handles that are no control
// window, DRAGDROP_E_ALREADYREGISTERED for a second target.
HRESULT RegisterDragDrop(HWND wnd, IDropTarget* target);
// DRAGDROP_E_NOTREGISTERED when the window has no target.
HRESULT RevokeDragDrop(HWND wnd);
IDropTarget* RegisteredDropTarget(HWND wnd);

// The innermost showing registered window at a screen point, or nullptr.
HWND DropWindowAt(TPoint screenPos);

// One step of the user's drag: the mouse position, buttons and modifier
// keys held (MK_* bits, MK_ALT) and whether Escape was pressed.
struct TDragInput {
    TPoint ScreenPos;
    DWORD KeyState = MK_LBUTTON;
    bool Escape = false;
};

class TDragLoop {
public:
    TDragLoop(IDataObject* dataObject, IDropSource* source, DWORD okEffects);
    ~TDragLoop();
    TDragLoop(const TDragLoop&) = delete;
    TDragLoop& operator=(const TDragLoop&) = delete;

    // Feeds one step of input over the window found at its point; false once
    // the drag is over.
    bool Step(const TDragInput& input);
    // The same over a window the window system found.
    bool StepOver(HWND wnd, const TDragInput& input);
    // The mouse left the registered windows.
    void Leave();
    // Ends the drag without a drop.
    void Cancel();
    // Another program took the drop with that effect; the source is told
    // as for a drop on one of our windows. DROPEFFECT_NONE: it refused.
    void DroppedOutside(DWORD effect);

    bool Finished() const { return finished_; }
    // DRAGDROP_S_DROP, DRAGDROP_S_CANCEL or the source's error.
    HRESULT Result() const { return result_; }
    // The effect of the drop as the target answered it.
    DWORD Effect() const { return effect_; }
    // The effect offered at the last step.
    DWORD LastEffect() const { return lastEffect_; }
    IDataObject* DataObject() const { return dataObject_; }
    IDropSource* Source() const { return source_; }
    DWORD OkEffects() const { return okEffects_; }

private:
    void MoveTo(HWND wnd, const TDragInput& input);
    void DropOnTarget(const TDragInput& input);
    void LeaveTarget();
    void Finish(HRESULT result, DWORD effect);

    IDataObject* dataObject_;
    IDropSource* source_;
    DWORD okEffects_;
    HWND targetWnd_ = nullptr;
    IDropTarget* target_ = nullptr;
    DWORD lastEffect_ = DROPEFFECT_NONE;
    bool finished_ = false;
    HRESULT result_ = DRAGDROP_S_CANCEL;
    DWORD effect_ = DROPEFFECT_NONE;
};

// Runs the drag until the source answers drop or cancel (or fails). Answers
// DRAGDROP_S_DROP with the effect the target chose, DRAGDROP_S_CANCEL, or
// the source's error; E_UNEXPECTED while another drag runs.
HRESULT DoDragDrop(IDataObject* dataObject, IDropSource* source, DWORD okEffects, DWORD& effect);

// The drag DoDragDrop runs now (nullptr while none runs).
TDragLoop* ActiveDragLoop();

// Feeds the loop of DoDragDrop instead of the window system; a drag the
// driver leaves unfinished ends cancelled. An empty driver gives the loop
// back to the window system.
using TDragDriver = std::function<void(TDragLoop& loop)>;
void SetDragDriver(TDragDriver driver);

// The scroll bars the control's window shows now, as WS_HSCROLL and
// WS_VSCROLL bits.
DWORD WindowScrollStyle(HWND wnd);

} // namespace ui

// Dragging a control onto the controls of this program: one drag at a time,
// fed by the mouse messages of the dragged control (which holds the mouse
// while the button is down) and by the window system's mouse steps.

#include <cstdlib>

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

namespace {

struct TControlDrag {
    TControl* Source = nullptr;
    bool Started = false;
    TPoint StartPos;
    int Threshold = DragThreshold;
    TControl* Target = nullptr;
    bool Accepted = false;
    TPoint LastPos;
    TCursor SavedCursor = crDefault;
};

TControlDrag drag;
TPoint lastPress;

TControl* InnermostAt(TCustomForm* form, TPoint screenPos)
{
    TWinControl* parent = form;
    TPoint p = form->ScreenToClient(screenPos);
    if (!form->ClientRect().Contains(p.X, p.Y))
        return nullptr;
    for (;;) {
        TControl* child = parent->ControlAtPos(p, false, true);
        if (!child)
            return parent;
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (!windowed)
            return child;
        parent = windowed;
        p = parent->ScreenToClient(screenPos);
    }
}

} // namespace

// The layer's side of a drag: it calls the controls' drag handlers.
class TControlDragger {
public:
    static void Start()
    {
        drag.Started = true;
        drag.SavedCursor = Screen ? Screen->Cursor() : crDefault;
        drag.Source->DoStartDrag();
    }

    // The mouse is at a screen point: the control there is asked whether it
    // takes the drop, the one left behind is told.
    static void MoveTo(TPoint screenPos)
    {
        drag.LastPos = screenPos;
        TControl* target = ui::FindDragTarget(screenPos);
        bool accept = false;
        if (target != drag.Target) {
            if (drag.Target)
                Ask(drag.Target, dsDragLeave);
            drag.Target = target;
            if (target)
                accept = Ask(target, dsDragEnter);
        } else if (target) {
            accept = Ask(target, dsDragMove);
        }
        // A handler may have ended the drag or freed the target.
        if (!drag.Source)
            return;
        drag.Accepted = drag.Target && accept;
        if (Screen)
            Screen->SetCursor(drag.Accepted ? drag.Source->DragCursor : crNoDrop);
    }

    static void Finish(bool drop)
    {
        const TControlDrag done = drag;
        drag = {};
        if (Screen)
            Screen->SetCursor(done.SavedCursor);
        TControl* target = drop && done.Accepted ? done.Target : nullptr;
        TPoint at{};
        if (done.Target) {
            at = done.Target->ScreenToClient(done.LastPos);
            if (!target) {
                bool ignored = false;
                done.Target->DragOver(done.Source, at.X, at.Y, dsDragLeave, ignored);
            }
        }
        if (target)
            target->DragDrop(done.Source, at.X, at.Y);
        if (!target)
            at = {};
        done.Source->DoEndDrag(target, at.X, at.Y);
    }

private:
    static bool Ask(TControl* target, TDragState state)
    {
        const TPoint at = target->ScreenToClient(drag.LastPos);
        bool accept = false;
        target->DragOver(drag.Source, at.X, at.Y, state, accept);
        return accept;
    }
};

void TControl::BeginDrag(bool Immediate, int Threshold)
{
    if (drag.Source)
        return;
    drag.Source = this;
    drag.StartPos = lastPress;
    drag.Threshold = Threshold < 0 ? DragThreshold : Threshold;
    if (Immediate) {
        TControlDragger::Start();
        if (drag.Source == this)
            TControlDragger::MoveTo(drag.StartPos);
    }
}

void TControl::EndDrag(bool Drop)
{
    if (drag.Source != this)
        return;
    if (drag.Started)
        TControlDragger::Finish(Drop);
    else
        drag = {};
}

bool TControl::Dragging() const { return drag.Source == this; }

void TControl::DragDrop(TObject* Source, int X, int Y)
{
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

void TControl::DoStartDrag()
{
    if (OnStartDrag)
        OnStartDrag(this);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y)
{
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    if (!OnDragOver)
        return;
    Accept = true;
    OnDragOver(this, Source, X, Y, State, Accept);
}

namespace ui {

TControl* DragSourceControl() { return drag.Source; }

void NoteDragPress(TPoint ScreenPos) { lastPress = ScreenPos; }

bool DragMouseMove(TPoint ScreenPos)
{
    if (!drag.Source)
        return false;
    if (!drag.Started) {
        if (std::abs(ScreenPos.X - drag.StartPos.X) < drag.Threshold &&
            std::abs(ScreenPos.Y - drag.StartPos.Y) < drag.Threshold)
            return false;
        TControlDragger::Start();
        if (!drag.Source)
            return true;
    }
    TControlDragger::MoveTo(ScreenPos);
    return true;
}

bool DragMouseUp(TPoint ScreenPos)
{
    if (!drag.Source)
        return false;
    if (!drag.Started) {
        drag = {}; // released before it moved far enough: a plain click
        return false;
    }
    if (ScreenPos.X != drag.LastPos.X || ScreenPos.Y != drag.LastPos.Y)
        TControlDragger::MoveTo(ScreenPos);
    if (drag.Source)
        TControlDragger::Finish(true);
    return true;
}

void CancelControlDrag()
{
    if (drag.Source)
        drag.Source->EndDrag(false);
}

TControl* FindDragTarget(TPoint ScreenPos)
{
    if (!Screen)
        return nullptr;
    // The active form lies above the others.
    if (TCustomForm* active = Screen->ActiveForm(); active && active->Showing())
        if (TControl* found = InnermostAt(active, ScreenPos))
            return found;
    for (int i = Screen->FormCount() - 1; i >= 0; --i) {
        TCustomForm* form = Screen->Forms(i);
        if (form == Screen->ActiveForm() || !form->Showing())
            continue;
        if (TControl* found = InnermostAt(form, ScreenPos))
            return found;
    }
    return nullptr;
}

void ForgetDragControl(TControl* Control)
{
    if (drag.Source == Control) {
        if (drag.Started && Screen)
            Screen->SetCursor(drag.SavedCursor);
        drag = {};
    } else if (drag.Target == Control) {
        drag.Target = nullptr;
        drag.Accepted = false;
    }
}

} // namespace ui

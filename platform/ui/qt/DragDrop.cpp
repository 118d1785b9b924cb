// Drop targets on the toolkit's windows, and the window system's drag that
// carries this program's data to others as MIME data.

#include "platform/ui/DragDrop.h"

#include <map>
#include <memory>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>

#include "platform/ui/Backend.h"
#include "platform/ui/Controls.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/qt/MimeFormats.h"
#include "platform/ui/qt/WindowWidget.h"

namespace ui {
namespace {

// The MIME data the window system's drag of DoDragDrop carries now.
const QMimeData* activeMime = nullptr;

DWORD EffectsOfActions(Qt::DropActions actions)
{
    DWORD effects = DROPEFFECT_NONE;
    if (actions & Qt::CopyAction)
        effects |= DROPEFFECT_COPY;
    if (actions & Qt::MoveAction)
        effects |= DROPEFFECT_MOVE;
    if (actions & Qt::LinkAction)
        effects |= DROPEFFECT_LINK;
    return effects;
}

Qt::DropActions ActionsOfEffects(DWORD effects)
{
    Qt::DropActions actions = Qt::IgnoreAction;
    if (effects & DROPEFFECT_COPY)
        actions |= Qt::CopyAction;
    if (effects & DROPEFFECT_MOVE)
        actions |= Qt::MoveAction;
    if (effects & DROPEFFECT_LINK)
        actions |= Qt::LinkAction;
    return actions;
}

// The one action a drop takes, copy first as the key choice does.
Qt::DropAction ActionOfEffect(DWORD effect)
{
    if (effect & DROPEFFECT_COPY)
        return Qt::CopyAction;
    if (effect & DROPEFFECT_MOVE)
        return Qt::MoveAction;
    if (effect & DROPEFFECT_LINK)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

DWORD KeyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)
{
    DWORD keys = 0;
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
    if (mods & Qt::AltModifier)
        keys |= MK_ALT;
    return keys;
}

// A registered window: its target, and the data object of a drag from
// another program while one is over the window.
class TDropSite final : public QObject {
public:
    TDropSite(HWND wnd, TWinControl* control, IDropTarget* target)
        : wnd_(wnd), control_(control), widget_(WidgetOf(control)), target_(target)
    {
        target_->AddRef();
        widget_->setAcceptDrops(true);
        widget_->installEventFilter(this);
    }

    ~TDropSite() override
    {
        ReleaseForeign();
        if (widget_) {
            widget_->removeEventFilter(this);
            widget_->setAcceptDrops(false);
        }
        target_->Release();
    }

    IDropTarget* Target() const { return target_; }
    TWinControl* Control() const { return control_; }
    bool Alive() const { return !widget_.isNull(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != widget_)
            return false;
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (ActiveDragLoop() && drop->mimeData() == activeMime)
                OwnDrag(drop);
            else
                ForeignDrag(drop);
            return true;
        }
        case QEvent::DragLeave:
            if (ActiveDragLoop() && !foreign_)
                ActiveDragLoop()->Leave();
            else if (foreign_) {
                target_->DragLeave();
                ReleaseForeign();
            }
            return true;
        default: return false;
        }
    }

private:
    TDragInput InputOf(const QDropEvent* event) const
    {
        TDragInput input;
        input.ScreenPos = control_->ClientToScreen(
            TPoint{event->position().toPoint().x(), event->position().toPoint().y()});
        Qt::MouseButtons buttons = event->type() == QEvent::Drop ? Qt::NoButton : event->buttons();
        input.KeyState = KeyStateOf(buttons, event->modifiers());
        return input;
    }

    static void Answer(QDropEvent* event, DWORD effect)
    {
        Qt::DropAction action = ActionOfEffect(effect);
        if (event->type() == QEvent::DragEnter)
            event->accept(); // keep receiving moves: the effect may change with the keys
        if (action == Qt::IgnoreAction) {
            if (event->type() != QEvent::DragEnter)
                event->ignore();
            return;
        }
        event->setDropAction(action);
        event->accept();
    }

    void OwnDrag(QDropEvent* event)
    {
        ActiveDragLoop()->StepOver(wnd_, InputOf(event));
        Answer(event, event->type() == QEvent::Drop ? ActiveDragLoop()->Effect() : ActiveDragLoop()->LastEffect());
    }

    void ForeignDrag(QDropEvent* event)
    {
        const TDragInput input = InputOf(event);
        DWORD effect = EffectsOfActions(event->possibleActions());
        if (event->type() == QEvent::DragEnter) {
            ReleaseForeign();
            foreign_ = CreateMimeDataObject(event->mimeData());
            target_->DragEnter(foreign_, input.KeyState, input.ScreenPos, effect);
        } else if (!foreign_) {
            effect = DROPEFFECT_NONE;
        } else if (event->type() == QEvent::DragMove) {
            target_->DragOver(input.KeyState, input.ScreenPos, effect);
        } else {
            target_->Drop(foreign_, input.KeyState, input.ScreenPos, effect);
            ReleaseForeign();
        }
        Answer(event, effect);
    }

    void ReleaseForeign()
    {
        if (foreign_)
            foreign_->Release();
        foreign_ = nullptr;
    }

    HWND wnd_;
    TWinControl* control_;
    QPointer<QWidget> widget_;
    IDropTarget* target_;
    IDataObject* foreign_ = nullptr;
};

std::map<HWND, std::unique_ptr<TDropSite>>& Sites()
{
    static auto* sites = new std::map<HWND, std::unique_ptr<TDropSite>>;
    return *sites;
}

TDropSite* SiteOf(HWND wnd)
{
    auto it = Sites().find(wnd);
    if (it == Sites().end())
        return nullptr;
    if (!it->second->Alive() || TWinControl::FindControl(wnd) != it->second->Control()) {
        Sites().erase(it); // the window went without being revoked
        return nullptr;
    }
    return it->second.get();
}

bool Contains(TWinControl* outer, TWinControl* inner)
{
    for (TWinControl* c = inner; c; c = c->Parent())
        if (c == outer)
            return true;
    return false;
}

} // namespace

HRESULT RegisterDragDrop(HWND wnd, IDropTarget* target)
{
    TWinControl* control = TWinControl::FindControl(wnd);
    if (!control || !target)
        return DRAGDROP_E_INVALIDHWND;
    if (SiteOf(wnd))
        return DRAGDROP_E_ALREADYREGISTERED;
    Sites()[wnd] = std::make_unique<TDropSite>(wnd, control, target);
    return S_OK;
}

HRESULT RevokeDragDrop(HWND wnd)
{
    if (!SiteOf(wnd))
        return DRAGDROP_E_NOTREGISTERED;
    Sites().erase(wnd);
    return S_OK;
}

IDropTarget* RegisteredDropTarget(HWND wnd)
{
    TDropSite* site = SiteOf(wnd);
    return site ? site->Target() : nullptr;
}

HWND DropWindowAt(TPoint screenPos)
{
    HWND best = nullptr;
    TWinControl* bestControl = nullptr;
    for (auto it = Sites().begin(); it != Sites().end();) {
        HWND wnd = it->first;
        ++it; // SiteOf may drop a dead entry
        TDropSite* site = SiteOf(wnd);
        TWinControl* control = site ? site->Control() : nullptr;
        if (!control || !control->Showing())
            continue;
        TPoint p = control->ScreenToClient(screenPos);
        if (p.X < 0 || p.Y < 0 || p.X >= control->Width() || p.Y >= control->Height())
            continue;
        if (!bestControl || Contains(bestControl, control)) {
            best = wnd;
            bestControl = control;
        }
    }
    return best;
}

// The window system's own drag: the data goes out as MIME data; over our
// registered windows their drag events step the loop.
void backend::RunWindowSystemDrag(TDragLoop& loop)
{
    EnsurePlatform();
    QMimeData* mime = MimeDataOfObject(loop.DataObject());
    activeMime = mime;
    struct Forget {
        ~Forget() { activeMime = nullptr; }
    } forget; // also when a handler throws
    // On the heap: another program fetches the data only after the drop,
    // when exec has returned, and the window system's drag deletes the
    // object once that program has finished with it.
    QPointer<QDrag> drag = new QDrag(qApp);
    drag->setMimeData(mime);
    const QMetaObject::Connection feedback = QObject::connect(
        drag, &QDrag::actionChanged, [&loop](Qt::DropAction action) {
            if (!DropWindowAt(TPoint{QCursor::pos().x(), QCursor::pos().y()}))
                loop.Source()->GiveFeedback(EffectsOfActions(action));
        });
    const Qt::DropActions allowed = ActionsOfEffects(loop.OkEffects());
    Qt::DropAction action = drag->exec(allowed, ActionOfEffect(loop.OkEffects()));
    if (drag) {
        QObject::disconnect(feedback); // the loop goes with this call
        if (action == Qt::IgnoreAction)
            delete drag; // nothing dropped, nobody fetches
    }
    if (loop.Finished())
        return;
    if (action == Qt::IgnoreAction)
        loop.Cancel();
    else
        loop.DroppedOutside(EffectsOfActions(action));
}

DWORD WindowScrollStyle(HWND wnd)
{
    TWinControl* control = TWinControl::FindControl(wnd);
    if (!control)
        return 0;
    DWORD style = 0;
    if (auto* scrolling = dynamic_cast<TScrollingWinControl*>(control)) {
        if (scrolling->HorzScrollBar().IsScrollBarVisible())
            style |= WS_HSCROLL;
        if (scrolling->VertScrollBar().IsScrollBarVisible())
            style |= WS_VSCROLL;
        return style;
    }
    QWidget* widget = WidgetOf(control);
    auto* area = widget ? widget->findChild<QAbstractScrollArea*>() : nullptr;
    if (!area)
        return 0;
    auto shows = [](const QScrollBar* bar, Qt::ScrollBarPolicy policy) {
        return policy != Qt::ScrollBarAlwaysOff && (policy == Qt::ScrollBarAlwaysOn || bar->maximum() > bar->minimum());
    };
    if (shows(area->horizontalScrollBar(), area->horizontalScrollBarPolicy()))
        style |= WS_HSCROLL;
    if (shows(area->verticalScrollBar(), area->verticalScrollBarPolicy()))
        style |= WS_VSCROLL;
    return style;
}

} // namespace ui

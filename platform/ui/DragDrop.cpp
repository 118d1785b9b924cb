#include "platform/ui/DragDrop.h"

#include "platform/ui/Backend.h"

namespace ui {
namespace {

constexpr DWORD EffectBits = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

// The drag DoDragDrop runs now.
TDragLoop* activeLoop = nullptr;

TDragDriver& Driver()
{
    static auto* driver = new TDragDriver;
    return *driver;
}

} // namespace

TDragLoop* ActiveDragLoop() { return activeLoop; }

TDragLoop::TDragLoop(IDataObject* dataObject, IDropSource* source, DWORD okEffects)
    : dataObject_(dataObject), source_(source), okEffects_(okEffects)
{
    dataObject_->AddRef();
    source_->AddRef();
}

TDragLoop::~TDragLoop()
{
    LeaveTarget();
    source_->Release();
    dataObject_->Release();
}

bool TDragLoop::Step(const TDragInput& input) { return StepOver(DropWindowAt(input.ScreenPos), input); }

bool TDragLoop::StepOver(HWND wnd, const TDragInput& input)
{
    if (finished_)
        return false;
    const HRESULT answer = source_->QueryContinueDrag(input.Escape, input.KeyState);
    if (answer == S_OK) {
        MoveTo(wnd, input);
        return true;
    }
    if (answer == DRAGDROP_S_DROP) {
        DropOnTarget(input);
    } else {
        LeaveTarget();
        Finish(answer, DROPEFFECT_NONE);
    }
    return false;
}

void TDragLoop::MoveTo(HWND wnd, const TDragInput& input)
{
    DWORD effect = okEffects_;
    if (wnd != targetWnd_) {
        LeaveTarget();
        if (IDropTarget* target = RegisteredDropTarget(wnd)) {
            targetWnd_ = wnd;
            target_ = target;
            target_->AddRef();
            target_->DragEnter(dataObject_, input.KeyState, input.ScreenPos, effect);
        }
    } else if (target_) {
        target_->DragOver(input.KeyState, input.ScreenPos, effect);
    }
    lastEffect_ = target_ ? effect : DROPEFFECT_NONE;
    source_->GiveFeedback(lastEffect_);
}

void TDragLoop::DropOnTarget(const TDragInput& input)
{
    if (!target_ || (lastEffect_ & EffectBits) == DROPEFFECT_NONE) {
        LeaveTarget();
        Finish(DRAGDROP_S_CANCEL, DROPEFFECT_NONE);
        return;
    }
    DWORD effect = okEffects_;
    IDropTarget* target = target_;
    target_ = nullptr;
    targetWnd_ = nullptr;
    target->Drop(dataObject_, input.KeyState, input.ScreenPos, effect);
    target->Release();
    Finish(DRAGDROP_S_DROP, effect & ~DROPEFFECT_SCROLL);
}

void TDragLoop::Leave()
{
    LeaveTarget();
    lastEffect_ = DROPEFFECT_NONE;
}

void TDragLoop::LeaveTarget()
{
    if (!target_)
        return;
    IDropTarget* target = target_;
    target_ = nullptr;
    targetWnd_ = nullptr;
    target->DragLeave();
    target->Release();
}

void TDragLoop::Cancel()
{
    if (finished_)
        return;
    LeaveTarget();
    Finish(DRAGDROP_S_CANCEL, DROPEFFECT_NONE);
}

void TDragLoop::DroppedOutside(DWORD effect)
{
    if (finished_)
        return;
    LeaveTarget();
    effect &= EffectBits;
    if (effect == DROPEFFECT_NONE) {
        Finish(DRAGDROP_S_CANCEL, DROPEFFECT_NONE);
        return;
    }
    // The source learns the other program's answer as it learns that of a
    // window of ours: the effect, then the buttons released. The drop has
    // already happened, so its answer cannot take it back.
    lastEffect_ = effect;
    source_->GiveFeedback(effect);
    source_->QueryContinueDrag(false, 0);
    Finish(DRAGDROP_S_DROP, effect);
}

void TDragLoop::Finish(HRESULT result, DWORD effect)
{
    finished_ = true;
    result_ = result;
    effect_ = effect;
}

HRESULT DoDragDrop(IDataObject* dataObject, IDropSource* source, DWORD okEffects, DWORD& effect)
{
    effect = DROPEFFECT_NONE;
    if (!dataObject || !source)
        return E_INVALIDARG;
    if (activeLoop)
        return E_UNEXPECTED;
    TDragLoop loop(dataObject, source, okEffects);
    activeLoop = &loop;
    try {
        if (Driver())
            Driver()(loop);
        else
            backend::RunWindowSystemDrag(loop);
    } catch (...) {
        activeLoop = nullptr;
        throw;
    }
    activeLoop = nullptr;
    loop.Cancel();
    effect = loop.Effect();
    return loop.Result();
}

void SetDragDriver(TDragDriver driver) { Driver() = std::move(driver); }

} // namespace ui

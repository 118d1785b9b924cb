#include "core/ShowStepper.h"

#include "core/VisteloNPics.h"
#include "platform/rtl/Clock.h"

namespace {

// Clears a flag when the scope ends, also by an exception.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace

void TShowStepper::SetTimerEnabled(bool Enabled)
{
    if (timerEnabled_ == Enabled)
        return;
    timerEnabled_ = Enabled;
    if (OnTimerChange)
        OnTimerChange();
}

void TShowStepper::SetTimerInterval(unsigned Interval)
{
    if (timerInterval_ == Interval)
        return;
    timerInterval_ = Interval;
    if (OnTimerChange)
        OnTimerChange();
}

void TShowStepper::SetPaused(bool Paused)
{
    paused_ = Paused;
    if (OnRunningChange)
        OnRunningChange();
}

void TShowStepper::TakeOver(TVistelo* AShow, bool Running)
{
    SetTimerEnabled(false);
    halted_ = false;
    Show = AShow;
    Show->CurrentIndex = -1;
    // The first tick shows the first slide at once.
    SetTimerInterval(1);
    StepStart = 0;
    SetTimerEnabled(Running);
    SetPaused(!Running);
}

// ---------------------------------------------------------------------------
// Timing

std::int32_t TShowStepper::SlidePause(const TPicInfoObject& Pic) const
{
    return Pic.Pause == -1 ? Show->Pause : Pic.Pause;
}

bool TShowStepper::SlideWaits() const
{
    const TPicInfoObject* pic = Show ? Show->Dia() : nullptr;
    bool due = true;
    if (pic && StepStart != 0)
        due = static_cast<std::int64_t>(GetTickCount() - StepStart) >= SlidePause(*pic);
    if (!due)
        return true;
    if (!pic)
        return false;
    const bool soundHolds = !SoundWaitReleased && pic->SynchronizeWithSound != ssNoSync && SlideSoundPlaying &&
        SlideSoundPlaying();
    return soundHolds || paused_;
}

void TShowStepper::StepCheck()
{
    if (SlideWaits()) {
        SetDiaTimerInterval();
        if (OnWait)
            OnWait();
        return;
    }
    SoundWaitReleased = false;
    SetTimerEnabled(false);
    StepStart = GetTickCount();
    NextDia(true);
}

void TShowStepper::DiaTimerTimer()
{
    if (halted_)
        return;
    // The wait pumps messages, and a sound's end may ask for a check from
    // inside it: such a nested request runs once the check in progress is done.
    if (inStepCheck_) {
        stepCheckAgain_ = true;
        return;
    }
    TFlagScope running(inStepCheck_);
    do {
        stepCheckAgain_ = false;
        StepCheck();
    } while (stepCheckAgain_ && !ExitRequested);
}

void TShowStepper::NextStepAtOnce()
{
    SetTimerInterval(1);
    StepStart = 0;
}

void TShowStepper::ContinueStepping()
{
    halted_ = false;
    SetDiaTimerInterval();
    SetTimerEnabled(true);
    StepStart = GetTickCount();
}

void TShowStepper::Halt()
{
    halted_ = true;
    SetTimerEnabled(false);
}

void TShowStepper::Pause()
{
    SetTimerEnabled(false);
    SetPaused(true);
}

void TShowStepper::Start()
{
    halted_ = false;
    SetPaused(false);
    StepStart = GetTickCount();
    SetTimerEnabled(true);
}

// ---------------------------------------------------------------------------
// Steps

void TShowStepper::NextDia(bool Draw) { StepDia(true, Draw); }

void TShowStepper::PrevDia() { StepDia(false, true); }

void TShowStepper::StepNow()
{
    StepStart = GetTickCount();
    NextDia(true);
}

void TShowStepper::StepDia(bool Forward, bool Draw)
{
    SetTimerEnabled(false);
    if (ExitRequested || !Show)
        return;
    bool found = true;
    if (!PositionSet) {
        if (Forward)
            FindNextPic(found, true);
        else
            FindPrevPic(found);
        if (!found)
            found = OnShowEnd && OnShowEnd(Forward);
    }
    if (found) {
        // The end of the show, or a position set from outside, may leave the
        // position on a hidden slide: the step goes on to the next one shown.
        if (!SkipHiddenSlides(Forward)) {
            // Nothing in the show may be shown: waiting would loop for ever.
            if (OnNothingToShow)
                OnNothingToShow();
            return;
        }
        const TPicInfoObject* pic = Show->Dia();
        PositionSet = false;
        if (Draw && OnShowSlide)
            OnShowSlide();
        if (!paused_ && !halted_)
            SetTimerEnabled(true);
        SoundWaitReleased = pic->Sound.empty();
        if (FirstStepMarker == -1) {
            if (!Show->StartImmediately)
                Pause();
            FirstStepMarker = 0;
        }
    }
    SetDiaTimerInterval();
}

void TShowStepper::SetVisteloPos(std::int32_t Pos, bool Step)
{
    if (Pos == -1 || !Show)
        return;
    if (Show->RandomOrder) {
        for (std::int32_t position = 0; position < Show->Count; ++position) {
            if (Show->GetOrder(position) == Pos) {
                Pos = position;
                break;
            }
        }
    }
    if (OnPositionJump)
        OnPositionJump();
    Show->CurrentIndex = Pos;
    PositionSet = true;
    if (Step)
        StepNow();
}

// ---------------------------------------------------------------------------
// Play order

bool TShowStepper::SkipHiddenSlides(bool Forward)
{
    for (int round = 0; round < Show->Count; ++round) {
        const TPicInfoObject* pic = Show->Dia();
        if (!pic || pic->ShowImage)
            break;
        if (Forward)
            Show->Next();
        else
            Show->Prev();
    }
    const TPicInfoObject* pic = Show->Dia();
    return pic && pic->ShowImage;
}

void TShowStepper::FindNextPic(bool& Found, bool Advance)
{
    Found = Advance ? Show->Next() : true;
    // One step per round while the slide is hidden, stopping at the wrap.
    for (int round = 0; round < Show->Count && Found; ++round) {
        const TPicInfoObject* pic = Show->Dia();
        if (!pic || pic->ShowImage)
            break;
        Found = Show->Next();
    }
}

void TShowStepper::FindPrevPic(bool& Found)
{
    Found = Show->Prev();
    for (int round = 0; round < Show->Count && Found; ++round) {
        const TPicInfoObject* pic = Show->Dia();
        if (!pic || pic->ShowImage)
            break;
        Found = Show->Prev();
    }
}

std::int32_t TShowStepper::FindNextPicNr() const
{
    if (!Show)
        return -1;
    std::int32_t position = Show->NextNr(Show->CurrentIndex);
    for (int round = 0; round < Show->Count; ++round) {
        const TPicInfoObject* pic = Show->GetPicInfo(Show->GetOrder(position));
        if (!pic || pic->ShowImage)
            break;
        position = Show->NextNr(position);
    }
    return Show->GetOrder(position);
}

std::int32_t TShowStepper::PictureOnScreen() const { return Show ? Show->GetOrder(Show->CurrentIndex) : -1; }

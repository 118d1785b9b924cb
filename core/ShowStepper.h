#pragma once

// The step engine of a playback window, which draws nothing: the show being
// played and its play position (hidden slides skipped, a shuffled show in its
// order), whether the show runs or is paused, and when the next slide is due:
// after the slide's pause, never while paused, and for a slide synchronised
// with its sound not before the sound let it go. The window drives it from
// its step timer, keeps that timer as the stepper says, and answers through
// the events what a step shows, what the end of the show does and whether
// the slide's sound still plays. The player's window and the screen saver's
// share it; the time comes from the run-time clock, so tests step it on the
// fake clock without a window.

#include <cstdint>
#include <functional>

class TVistelo;
class TPicInfoObject;

class TShowStepper {
public:
    // Milliseconds between step checks while a slide waits.
    static constexpr unsigned StepInterval = 10;

    TShowStepper() = default;
    TShowStepper(const TShowStepper&) = delete;
    TShowStepper& operator=(const TShowStepper&) = delete;

    TVistelo* Show = nullptr;          // the show played; owned by whoever started the playback
    bool PositionSet = false;          // the next step shows the position set without advancing
    bool SoundWaitReleased = false;    // the step may advance although the slide sound plays
    bool ExitRequested = false;        // the window closes: no further drawing or stepping
    std::int32_t FirstStepMarker = -1; // -1 until the first step after a show was taken over
    std::uint32_t StepStart = 0;       // tick at which the slide's pause began; 0: due at once

    // --- events ---
    // The step timer is to run (or stop) as TimerEnabled() and
    // TimerInterval() now say.
    std::function<void()> OnTimerChange;
    // The show was paused or started (Paused() tells which).
    std::function<void()> OnRunningChange;
    // A step came to the slide at the position and it is to be drawn.
    std::function<void()> OnShowSlide;
    // The play position wrapped past the end (Forward) or the start of the
    // show; true when the slide at the position is to be shown. Without a
    // handler the show stops there.
    std::function<bool(bool Forward)> OnShowEnd;
    // A step found nothing the show may show.
    std::function<void()> OnNothingToShow;
    // The play position is about to be set from outside.
    std::function<void()> OnPositionJump;
    // A step check found the slide still waiting (the window pumps its
    // messages meanwhile).
    std::function<void()> OnWait;
    // Whether the slide's sound still plays.
    std::function<bool()> SlideSoundPlaying;

    // Takes a show over from its start: no position yet, the first step due
    // at the next tick, running or paused.
    void TakeOver(TVistelo* AShow, bool Running);

    // The step timer's tick: shows the next slide when the one on screen is
    // due. A check asked for while one runs (the wait pumps messages) runs
    // once that one is done.
    void DiaTimerTimer();
    // One slide on (drawn when Draw) or back, through the end of the show at
    // the wrap; a position set from outside is shown without advancing.
    void NextDia(bool Draw);
    void PrevDia();
    // Shows the picture with index Pos (a shuffled show finds it through its
    // order) by the next step, or at once when Step. -1 keeps the position.
    void SetVisteloPos(std::int32_t Pos, bool Step);
    // The next slide comes now and gets its whole pause.
    void StepNow();

    void Pause();
    void Start(); // the slide on screen gets its whole pause again
    bool Paused() const { return paused_; }

    // Whether the slide on screen still waits: its pause has not passed, its
    // sound holds it, or the show is paused.
    bool SlideWaits() const;
    // The step after a slide that could not be shown follows at once.
    void NextStepAtOnce();
    // After an end of show that did not close the window the step timer runs
    // on, and the slide on screen gets its whole pause.
    void ContinueStepping();
    // No further step until stepping continues, the show starts again or
    // another show is taken over: the step timer stays off, also after the
    // step that asked for it.
    void Halt();
    bool Halted() const { return halted_; }

    // Moves to the next (Advance) or previous slide the show may show; Found
    // is false when the position wrapped, where the search stops.
    void FindNextPic(bool& Found, bool Advance);
    void FindPrevPic(bool& Found);
    // The picture index of the next slide the show may show, without moving.
    std::int32_t FindNextPicNr() const;
    // The picture index at the play position, or -1.
    std::int32_t PictureOnScreen() const;

    bool TimerEnabled() const { return timerEnabled_; }
    unsigned TimerInterval() const { return timerInterval_; }
    void StopTimer() { SetTimerEnabled(false); }
    void SetDiaTimerInterval() { SetTimerInterval(StepInterval); }

private:
    std::int32_t SlidePause(const TPicInfoObject& Pic) const;
    void StepCheck();
    void StepDia(bool Forward, bool Draw);
    void SetTimerEnabled(bool Enabled);
    void SetTimerInterval(unsigned Interval);
    void SetPaused(bool Paused);
    // Moves on in the step's direction while the slide at the position is
    // hidden, past the wrap; false when the show has no slide to show.
    bool SkipHiddenSlides(bool Forward);

    bool paused_ = false;
    bool halted_ = false;
    bool timerEnabled_ = false;
    unsigned timerInterval_ = StepInterval;
    bool inStepCheck_ = false;    // DiaTimerTimer runs
    bool stepCheckAgain_ = false; // a step check was asked for meanwhile
};

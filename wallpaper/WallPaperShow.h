#pragma once

// The wallpaper change itself: the show, the change timer and the pause.
// Each tick sets the picture at the show's position and moves on, so the
// stored position always names the picture the next tick sets, and the
// first picture is set one full interval after the start.

#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"

class TPicInfoObject;
class TTimer;
class TVistelo;

class TWallPaperShow {
public:
    explicit TWallPaperShow(TComponent* Owner);
    ~TWallPaperShow();
    TWallPaperShow(const TWallPaperShow&) = delete;
    TWallPaperShow& operator=(const TWallPaperShow&) = delete;

    // Loads the settings' show and starts the timer; with no show file
    // nothing happens, a show that cannot be loaded is reported and leaves
    // the timer as it was.
    void StartShow();
    // One change; FromTimer is false for the menu's "next picture", which
    // also works while paused.
    void WallPaperTimerTimer(bool FromTimer);
    // The timer's interval from the settings or the show's pause; its
    // enabled state stays.
    void SetTimerInterval();

    bool Paused() const { return paused_; }
    // The timer runs exactly when not paused.
    void SetPaused(bool Value);
    bool HasPictures() const;

    TVistelo& Show() { return *show_; }
    TTimer* WallPaperTimer = nullptr;
    // Makes the picture the wallpaper (by default the desktop's setter).
    std::function<bool(TPicInfoObject* Pic)> SetAsWinBackground;
    // Told once per run when the desktop refuses a picture: no setter works
    // there. A picture that cannot be read is skipped without a word.
    std::function<void()> OnDesktopRefused;

private:
    std::unique_ptr<TVistelo> show_;
    bool paused_ = false;
    bool refusalTold_ = false;
};

namespace WallPaperShow {
inline constexpr const char* LoadFailed = "Vistelo \"%s\" konnte nicht geladen werden!";
inline constexpr const char* DesktopRefused = "Das Hintergrundbild kann auf diesem Desktop nicht gewechselt werden.";
} // namespace WallPaperShow

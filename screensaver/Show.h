#pragma once

// The screen saver's playback window: one show in an endless loop, full
// screen and on top of everything, until the user touches a key, a button
// or the mouse. The stepping, the drawing of the slides and their sounds are
// the playback window's own units, shared; this window adds what makes it a
// screen saver: the show's settings forced to an endless silent or sounding
// loop without navigation, a placeholder show when the configured one does
// not load, and the input that ends it.

#include "core/ShowStartAhead.h"
#include "core/ShowStepper.h"
#include "core/SoundPlayerUnit.h"
#include "platform/media/MediaPlayer.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/StdLabel.h"
#include "player/ShowSounds.h"
#include "player/SlideDisplay.h"
#include "screensaver/ScreenSaverInput.h"
#include "widgets/FileLbl.h"
#include "widgets/KSCtrls.h"

#include <cstdint>
#include <memory>
#include <optional>

class TVistelo;

class TShowForm : public TForm {
    DECLARE_CLASS(TShowForm, TForm)
public:
    explicit TShowForm(TComponent* AOwner, bool Preview);
    ~TShowForm() override;

    TScrollBox* DiaScrollBox = nullptr;
    TPaintBox* DiaImage = nullptr;
    TPanel* NavigationBarPanel = nullptr; // hidden: nothing to navigate in a screen saver
    TKsSpeedButton* EnableMusicButton = nullptr;
    TKsSpeedButton* EnableSoundButton = nullptr;
    TFileLabel* FilenameLabel = nullptr;
    TLabel* MessageLabel = nullptr;
    TMediaPlayer* MusicMediaPlayer = nullptr;
    TMediaPlayer* SoundMediaPlayer = nullptr;
    TTimer* DiaTimer = nullptr;
    TSoundPlayerTimer* MusicPlayerTimer = nullptr;
    TSoundPlayerTimer* SoundPlayerTimer = nullptr;
    TTimer* ParentWatchTimer = nullptr; // the preview's host window still there?

    TShowStepper Stepper;
    std::unique_ptr<TSlideDisplay> Display;
    std::unique_ptr<TShowSounds> Sounds;
    TScreenSaverInput Input;

    // Takes the show over from its start, running.
    void InitVistelo(TVistelo* AShow);
    // The preview: the window becomes a child of the host's window, filling
    // it, and ends when that window goes. False when there is no such window.
    bool EmbedInHostWindow(std::uintptr_t Window);
    // Ends the saver once the password check lets it.
    void TryCloseScreenSaver();
    // The application's message hook: the input of every control of the
    // window goes through the input rules.
    void ShowMessageHandler(TMsg& Msg, bool& Handled);

private:
    void CreateComponents();
    void BindEvents();
    void ScreenSaverWindowProc(TMessage& Message);
    void ParentWatchTimerTimer();
    unsigned StepTimerInterval() const;

    bool preview_;
    std::uintptr_t hostWindow_ = 0;
    TWndMethod savedWindowProc_;
    TMessageEvent savedOnMessage_;
};

namespace Show {

// The pictures played when the configured show does not load: ten slides of
// random colour, each saying in red that the settings want a look.
void FillPlaceholderShow(TVistelo& Vistelo);
// The show's settings as a screen saver plays it.
void ForceScreenSaverSettings(TVistelo& Vistelo, bool Mute);
// The configured show read as the saver plays it, and for a run on a
// screen of Screen's size its first picture decoding: done before the
// toolkit starts, which takes about as long as decoding a photo. Show stays
// empty when the file does not load.
std::unique_ptr<TShowStartAhead> PrepareScreenSaverRun(std::optional<TSize> Screen);
// Plays the configured show (or what PrepareScreenSaverRun made of it)
// until the input rules end it.
void RunScreenSaver(std::unique_ptr<TShowStartAhead> Prepared = nullptr);

} // namespace Show

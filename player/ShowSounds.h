#pragma once

// The playback window's music and slide sounds: the show's music list played
// in turn over one sound player, each slide's sound over another (a sound
// marked to go on plays into following slides without one), the two mute
// buttons, and a slide sound's end that lets a synchronised slide go on.

#include "core/SoundPlayerUnit.h"

#include <cstdint>
#include <memory>
#include <string>

class TKsSpeedButton;
class TMediaPlayer;
class TPicInfoObject;
class TShowStepper;

class TShowSounds {
public:
    // Both sound players share one decoder player; the devices, timers and
    // buttons are the window's.
    TShowSounds(TShowStepper& Stepper, TMediaPlayer& MusicDevice, TSoundPlayerTimer& MusicTimer,
                TKsSpeedButton& MusicButton, TMediaPlayer& SoundDevice, TSoundPlayerTimer& SoundTimer,
                TKsSpeedButton& SoundButton);
    ~TShowSounds();
    TShowSounds(const TShowSounds&) = delete;
    TShowSounds& operator=(const TShowSounds&) = delete;

    std::unique_ptr<TmyElPlayer> DecoderPlayer; // none when the decoder module is missing
    std::unique_ptr<TSoundPlayer> MusicPlayer;
    std::unique_ptr<TSoundPlayer> SoundPlayer;
    std::int32_t MusicIndex = -1; // -1 not started, -2 list finished
    bool KeepSound = false;       // the slide sound playing was marked to go on

    // Listens to the ends of music and slide sounds from now on.
    void BindFinishedEvents();

    // --- music ---
    // The next line of the music list in Name; false once the list is finished.
    bool NextMusicFilename(std::string& Name);
    // Loads the next music file that loads and plays it (the first one only
    // when the show starts its music itself).
    void StartMusic();
    void MusicPlayerFinished(bool& Repeat);
    void EnableMusicButtonClick();

    // --- slide sounds ---
    // Before a new slide's transition: its sound stops when the show asks so.
    void StopBeforeTransition(const TPicInfoObject& Pic);
    // The sound of the slide at the play position.
    void StartSound();
    void SoundPlayerFinished(bool& Repeat);
    void EnableSoundButtonClick();

private:
    TShowStepper& stepper_;
    TKsSpeedButton& musicButton_;
    TKsSpeedButton& soundButton_;
};

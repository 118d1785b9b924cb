#pragma once

// The devices and clocks of a playback window, made the same way by the
// player's window and the screen saver's: a media player each for the music
// and the slide sounds, the step timer, and a timer each that notices when
// the music or a slide sound has ended. All belong to the window and start
// at rest.

class TComponent;
class TMediaPlayer;
class TSoundPlayerTimer;
class TTimer;

namespace ShowDevices {

// Creates them, owned by Owner, into the window's fields of those names.
void CreateShowDevices(TComponent* Owner, TMediaPlayer*& MusicMediaPlayer, TMediaPlayer*& SoundMediaPlayer,
                       TTimer*& DiaTimer, TSoundPlayerTimer*& MusicPlayerTimer, TSoundPlayerTimer*& SoundPlayerTimer);

} // namespace ShowDevices

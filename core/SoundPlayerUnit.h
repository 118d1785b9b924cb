#pragma once

// Plays one sound file at a time through the media player component, or
// through the MPEG decoder player for MPEG audio; polls for the end, reports
// it through OnFinished and can repeat the sound. Two sound players may
// share one decoder player: the one that holds a file in it marks it in use.

#include <cstdint>
#include <functional>
#include <string>

#include "core/ElSounds.h"
#include "platform/media/MediaPlayer.h"
#include "platform/ui/ExtCtrls.h"

enum TSoundPlayerDevice : uint8_t { spdNone, spdMediaPlayer, spdMPEGPlayer };

// The handler may clear RepeatSound to keep the sound from starting again.
using TSoundFinishedNotifyEvent = std::function<void(TObject* Sender, bool& RepeatSound)>;

class TSoundPlayer;

// The polling timer of a sound player, with a reference back to it that
// either side clears when it goes away.
class TSoundPlayerTimer : public TTimer {
    DECLARE_CLASS(TSoundPlayerTimer, TTimer)
public:
    explicit TSoundPlayerTimer(TComponent* AOwner);
    ~TSoundPlayerTimer() override;
    TSoundPlayer* SoundPlayer = nullptr;
};

class TmyElPlayer : public TElPlayer {
    DECLARE_CLASS(TmyElPlayer, TElPlayer)
public:
    explicit TmyElPlayer(TElPlayers* Collection = nullptr);

    // Loads the module, then asks for 8 buffers of 16384 bytes.
    void Init() override;
    bool Play() override;
    bool Pause() override;
    bool Resume() override;
    // Marks the stop as the user's, so the end of output it causes is not
    // reported as the end of the sound.
    bool Stop() override;

    bool StoppedByUser = false;
    // A sound player holds a file in this decoder.
    bool InUse = false;
    TNotifyEvent OnEndOfOutput;
    TNotifyEvent OnOutputInitialized;
};

class TSoundPlayer : public TObject {
    DECLARE_CLASS(TSoundPlayer, TObject)
public:
    TSoundPlayer(TMediaPlayer* AMediaPlayer, TmyElPlayer* ADecoderPlayer, TSoundPlayerTimer* ATimer);
    ~TSoundPlayer() override;
    TSoundPlayer(const TSoundPlayer&) = delete;
    TSoundPlayer& operator=(const TSoundPlayer&) = delete;

    bool Muted = false;
    TSoundFinishedNotifyEvent OnFinished;
    TSoundPlayerDevice Device = spdNone;
    TMediaPlayer* MediaPlayer = nullptr;  // not owned
    TmyElPlayer* DecoderPlayer = nullptr; // not owned, may be shared
    bool RepeatSound = false;
    TSoundPlayerTimer* Timer = nullptr; // not owned

    // The media player first, unless ForceDecoder sends an MPEG file
    // straight to the decoder; the decoder only for MPEG files and only when
    // no other sound player holds it. False when neither device took it.
    bool LoadFromFile(const std::string& FileName, bool Repeat, bool ForceDecoder);
    void Play();
    void Pause();
    void Stop();
    void ClearSound();
    bool Playing();
    // Starts the 100 ms end polling when a device holds a sound.
    void SetNotify();
    // The sound has ended: OnFinished, then the repeat. Sender is the media
    // player when it reports a finished command, nullptr from the polling.
    void PlayerNotify(TObject* Sender);

protected:
    virtual void OnSoundTimer(TObject* Sender);

private:
    bool LoadIntoMediaPlayer(const std::string& FileName);
    bool LoadIntoDecoder(const std::string& FileName);
    bool Ended();
};

namespace SoundPlayerUnit {
// Suppresses every automatic restart while set.
extern bool DontRestartMusic;
// "MP3", "MP2", "MP1", "MPEG3", "MPEG2", "MPEG1", letter case and leading
// dots ignored.
bool IsMPEGExtension(const std::string& Ext);
} // namespace SoundPlayerUnit

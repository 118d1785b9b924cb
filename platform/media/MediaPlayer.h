#pragma once

// TMediaPlayer: the media control component without its buttons. It opens a
// sound file on a device chosen by the file's content (WAV, MIDI, MPEG
// audio), plays it through the process's audio output and reports finished
// commands through OnNotify on the main thread.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"

namespace media {
class OutputChannel;
}

// A command the device cannot carry out (file missing or of an unknown
// kind, device not open).
class EMCIDeviceError : public Exception {
public:
    using Exception::Exception;
};

enum TMPDeviceTypes : uint8_t {
    dtAutoSelect,
    dtAVIVideo,
    dtCDAudio,
    dtDAT,
    dtDigitalVideo,
    dtMMMovie,
    dtOther,
    dtOverlay,
    dtScanner,
    dtSequencer,
    dtVCR,
    dtVideodisc,
    dtWaveAudio
};

enum TMPModes : uint8_t { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };

enum TMPNotifyValues : uint8_t { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

class TMediaPlayer : public TComponent {
    DECLARE_CLASS(TMediaPlayer, TComponent)
public:
    explicit TMediaPlayer(TComponent* AOwner);
    ~TMediaPlayer() override;

    std::string FileName;
    // dtAutoSelect takes what the file holds; dtWaveAudio, dtSequencer and
    // dtDigitalVideo accept only WAV, MIDI and MPEG audio respectively.
    TMPDeviceTypes DeviceType = dtAutoSelect;
    // Kept for the component's buttons, which this stand-in does not draw.
    bool AutoEnable = true;
    // Several players may open the same file; accepted and kept.
    bool Shareable = false;
    // When set, the next command reports its completion through OnNotify
    // (Play: when the medium ends or another command supersedes it). Each
    // command clears it.
    bool Notify = false;
    // When set, the next Play returns only when the medium has ended. Each
    // command clears it.
    bool Wait = false;
    TMPNotifyValues NotifyValue = nvSuccessful;
    TNotifyEvent OnNotify;

    // Opens FileName (a player already open is closed first).
    // EMCIDeviceError when the file is missing or no device plays it.
    void Open();
    void Close();
    // Plays from the current position; at the end of the medium it starts
    // again from the beginning.
    void Play();
    void Pause();
    void Stop();
    // Back to the start; playback stops.
    void Rewind();

    TMPModes Mode() const;
    int64_t Position() const; // ms
    int64_t Length() const;   // ms

protected:
    virtual void DoNotify();

private:
    void RequireOpen() const;
    // Starts a command: supersedes the pending Play notification and takes
    // the one-shot flags.
    bool BeginCommand();
    void PostNotify(TMPNotifyValues Value);
    void ChannelEnded();
    void WaitForEnd();

    std::unique_ptr<media::OutputChannel> channel_;
    bool paused_ = false;
    bool playNotifyPending_ = false;
    bool waitTaken_ = false;
    std::shared_ptr<TMediaPlayer*> self_; // queued notifications reach the player only while it lives
};

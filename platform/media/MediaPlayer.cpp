#include "platform/media/MediaPlayer.h"

#include <chrono>
#include <thread>

#include "platform/media/AudioOutput.h"
#include "platform/media/MidiSource.h"
#include "platform/media/Mp3Source.h"
#include "platform/media/WavReader.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Threads.h"

IMPLEMENT_CLASS(TMediaPlayer)

namespace {

bool DeviceAccepts(TMPDeviceTypes type, const media::AudioSource& source)
{
    switch (type) {
    case dtAutoSelect: return true;
    case dtWaveAudio: return dynamic_cast<const media::WavSource*>(&source) != nullptr;
    case dtSequencer: return dynamic_cast<const media::MidiSource*>(&source) != nullptr;
    case dtDigitalVideo: return dynamic_cast<const media::Mp3Source*>(&source) != nullptr;
    default: return false;
    }
}

} // namespace

TMediaPlayer::TMediaPlayer(TComponent* AOwner) : TComponent(AOwner), self_(std::make_shared<TMediaPlayer*>(this)) { }

TMediaPlayer::~TMediaPlayer()
{
    self_.reset();
    channel_.reset();
}

void TMediaPlayer::Open()
{
    const bool notify = BeginCommand();
    channel_.reset();
    paused_ = false;
    if (!FileExists(FileName))
        throw EMCIDeviceError("Die Datei wurde nicht gefunden: " + FileName);
    std::unique_ptr<media::AudioSource> source;
    try {
        source = media::OpenAudioFile(FileName);
    } catch (const Exception& e) {
        throw EMCIDeviceError("Kein Gerät kann die Datei abspielen: " + e.Message);
    }
    if (!DeviceAccepts(DeviceType, *source))
        throw EMCIDeviceError("Der gewählte Gerätetyp spielt die Datei nicht ab: " + FileName);
    try {
        channel_ = std::make_unique<media::OutputChannel>(std::move(source));
    } catch (const EMediaError& e) {
        throw EMCIDeviceError(e.Message);
    }
    channel_->OnEnded = [this] { ChannelEnded(); };
    paused_ = false;
    if (notify)
        PostNotify(nvSuccessful);
}

void TMediaPlayer::Close()
{
    if (!channel_)
        return;
    const bool notify = BeginCommand();
    channel_.reset();
    paused_ = false;
    if (notify)
        PostNotify(nvSuccessful);
}

void TMediaPlayer::Play()
{
    RequireOpen();
    const bool notify = BeginCommand();
    if (channel_->Ended())
        channel_->Rewind();
    paused_ = false;
    channel_->Start();
    playNotifyPending_ = notify;
    if (waitTaken_)
        WaitForEnd();
}

void TMediaPlayer::Pause()
{
    RequireOpen();
    const bool notify = BeginCommand();
    if (channel_->Running()) {
        channel_->Pause();
        paused_ = true;
    }
    if (notify)
        PostNotify(nvSuccessful);
}

void TMediaPlayer::Stop()
{
    RequireOpen();
    const bool notify = BeginCommand();
    channel_->Pause();
    paused_ = false;
    if (notify)
        PostNotify(nvSuccessful);
}

void TMediaPlayer::Rewind()
{
    RequireOpen();
    const bool notify = BeginCommand();
    channel_->Pause();
    channel_->Rewind();
    paused_ = false;
    if (notify)
        PostNotify(nvSuccessful);
}

TMPModes TMediaPlayer::Mode() const
{
    if (!channel_)
        return mpNotReady;
    if (channel_->Running())
        return mpPlaying;
    return paused_ ? mpPaused : mpStopped;
}

int64_t TMediaPlayer::Position() const { return channel_ ? channel_->PositionMs() : 0; }

int64_t TMediaPlayer::Length() const { return channel_ ? std::max<int64_t>(channel_->LengthMs(), 0) : 0; }

void TMediaPlayer::DoNotify()
{
    if (OnNotify)
        OnNotify(this);
}

void TMediaPlayer::RequireOpen() const
{
    if (!channel_)
        throw EMCIDeviceError("Das Gerät ist nicht geöffnet");
}

bool TMediaPlayer::BeginCommand()
{
    if (playNotifyPending_) {
        playNotifyPending_ = false;
        PostNotify(nvSuperseded);
    }
    const bool notify = Notify;
    waitTaken_ = Wait;
    Notify = false;
    Wait = false;
    return notify;
}

void TMediaPlayer::PostNotify(TMPNotifyValues Value)
{
    std::weak_ptr<TMediaPlayer*> weak = self_;
    TThread::Queue(nullptr, [weak, Value] {
        if (const auto self = weak.lock()) {
            (*self)->NotifyValue = Value;
            (*self)->DoNotify();
        }
    });
}

void TMediaPlayer::ChannelEnded()
{
    if (playNotifyPending_) {
        playNotifyPending_ = false;
        NotifyValue = nvSuccessful;
        DoNotify();
    }
}

void TMediaPlayer::WaitForEnd()
{
    // The end is counted in frames the device took, so this waits for the
    // device, not for a clock.
    while (channel_->Running())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

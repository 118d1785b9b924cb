#include "core/SoundPlayerUnit.h"

#include <algorithm>
#include <cctype>

#include "platform/rtl/Files.h"

IMPLEMENT_CLASS(TSoundPlayerTimer)
IMPLEMENT_CLASS(TmyElPlayer)
IMPLEMENT_CLASS(TSoundPlayer)

namespace SoundPlayerUnit {

bool DontRestartMusic = false;

bool IsMPEGExtension(const std::string& Ext)
{
    std::string name = Ext.substr(std::min(Ext.find_first_not_of('.'), Ext.size()));
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const char* const extensions[] = {"MP3", "MP2", "MP1", "MPEG3", "MPEG2", "MPEG1"};
    return std::any_of(std::begin(extensions), std::end(extensions), [&](const char* e) { return name == e; });
}

} // namespace SoundPlayerUnit

TSoundPlayerTimer::TSoundPlayerTimer(TComponent* AOwner) : TTimer(AOwner) { }

TSoundPlayerTimer::~TSoundPlayerTimer()
{
    if (SoundPlayer)
        SoundPlayer->Timer = nullptr;
}

TmyElPlayer::TmyElPlayer(TElPlayers* ACollection) : TElPlayer(ACollection)
{
    OnOutputInit = [this](TObject*, bool& Success) {
        Success = true;
        if (OnOutputInitialized)
            OnOutputInitialized(this);
    };
    OnOutputDone = [this](TObject*, bool& Success) {
        Success = true;
        if (!StoppedByUser && OnEndOfOutput)
            OnEndOfOutput(this);
        StoppedByUser = false;
    };
    OnOutput = [](TObject*, const void*, int, int, int, int, bool& Success) { Success = true; };
    SetBuffersCount(16);
    SetBufferSize(65535);
}

void TmyElPlayer::Init()
{
    TElPlayer::Init();
    SetBuffersCount(8);
    SetBufferSize(16384);
}

bool TmyElPlayer::Play()
{
    StoppedByUser = false;
    return TElPlayer::Play();
}

bool TmyElPlayer::Pause()
{
    StoppedByUser = false;
    return TElPlayer::Pause();
}

bool TmyElPlayer::Resume()
{
    StoppedByUser = false;
    return TElPlayer::Resume();
}

bool TmyElPlayer::Stop()
{
    StoppedByUser = true;
    return TElPlayer::Stop();
}

TSoundPlayer::TSoundPlayer(TMediaPlayer* AMediaPlayer, TmyElPlayer* ADecoderPlayer, TSoundPlayerTimer* ATimer)
    : MediaPlayer(AMediaPlayer), DecoderPlayer(ADecoderPlayer), Timer(ATimer)
{
    if (Timer) {
        Timer->SetEnabled(false);
        Timer->SoundPlayer = this;
    }
    if (MediaPlayer)
        MediaPlayer->Notify = true;
}

TSoundPlayer::~TSoundPlayer()
{
    Stop();
    try {
        if (Device == spdMediaPlayer)
            MediaPlayer->Close();
        if (Device == spdMPEGPlayer) {
            DecoderPlayer->Close();
            DecoderPlayer->InputName.clear();
        }
    } catch (const Exception&) {
    }
    // A player that goes away no longer holds the shared decoder.
    if (Device == spdMPEGPlayer)
        DecoderPlayer->InUse = false;
    if (Timer) {
        Timer->SetEnabled(false);
        Timer->OnTimer = nullptr;
        Timer->SoundPlayer = nullptr;
    }
}

bool TSoundPlayer::LoadIntoMediaPlayer(const std::string& FileName)
{
    if (!MediaPlayer)
        return false;
    try {
        MediaPlayer->AutoEnable = true;
        MediaPlayer->DeviceType = dtAutoSelect;
        MediaPlayer->FileName = FileName;
        MediaPlayer->Open();
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool TSoundPlayer::LoadIntoDecoder(const std::string& FileName)
{
    if (!DecoderPlayer || DecoderPlayer->InUse)
        return false;
    try {
        DecoderPlayer->InputName = FileName;
        if (DecoderPlayer->GetPlayerMode() != pmClosed)
            DecoderPlayer->Close();
        if (!DecoderPlayer->Open() || !DecoderPlayer->InitStream())
            return false;
        DecoderPlayer->InUse = true;
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool TSoundPlayer::LoadFromFile(const std::string& FileName, bool Repeat, bool ForceDecoder)
{
    ClearSound();
    RepeatSound = Repeat;
    if (!FileExists(FileName))
        return false;
    const bool mpeg = SoundPlayerUnit::IsMPEGExtension(ExtractFileExt(FileName));
    if (!(ForceDecoder && mpeg) && LoadIntoMediaPlayer(FileName))
        Device = spdMediaPlayer;
    else if (mpeg && LoadIntoDecoder(FileName))
        Device = spdMPEGPlayer;
    return Device != spdNone;
}

void TSoundPlayer::Play()
{
    if (Muted)
        return;
    try {
        if (Device == spdMediaPlayer) {
            MediaPlayer->Play();
        } else if (Device == spdMPEGPlayer) {
            const TElSPlayerMode mode = DecoderPlayer->GetPlayerMode();
            if (mode == pmPaused) {
                DecoderPlayer->Resume();
            } else {
                if (mode == pmOpened)
                    DecoderPlayer->InitStream();
                DecoderPlayer->Play();
            }
        }
        SetNotify();
    } catch (const Exception&) {
    }
}

void TSoundPlayer::Pause()
{
    try {
        if (Device == spdMediaPlayer)
            MediaPlayer->Pause();
        else if (Device == spdMPEGPlayer)
            DecoderPlayer->Pause();
    } catch (const Exception&) {
    }
}

void TSoundPlayer::Stop()
{
    try {
        if (Device == spdMediaPlayer)
            MediaPlayer->Stop();
        else if (Device == spdMPEGPlayer)
            DecoderPlayer->Stop();
    } catch (const Exception&) {
    }
}

void TSoundPlayer::ClearSound()
{
    RepeatSound = false;
    Stop();
    if (Device == spdMediaPlayer) {
        try {
            MediaPlayer->Close();
        } catch (const Exception&) {
        }
        MediaPlayer->FileName.clear();
    } else if (Device == spdMPEGPlayer) {
        try {
            DecoderPlayer->Close();
        } catch (const Exception&) {
        }
        DecoderPlayer->InputName.clear();
        DecoderPlayer->InUse = false;
    }
    Device = spdNone;
}

bool TSoundPlayer::Playing()
{
    try {
        if (Device == spdMediaPlayer)
            return MediaPlayer->Mode() == mpPlaying;
        if (Device == spdMPEGPlayer)
            return DecoderPlayer->GetPlayerMode() == pmPlaying;
    } catch (const Exception&) {
    }
    return false;
}

void TSoundPlayer::SetNotify()
{
    if (Device == spdNone || !Timer)
        return;
    Timer->OnTimer = [this](TObject* Sender) { OnSoundTimer(Sender); };
    Timer->SetInterval(100);
    Timer->SetEnabled(true);
}

// Only the device that holds the sound is asked: the decoder may be playing
// the other player's sound, and a closed media player is no ended sound.
bool TSoundPlayer::Ended()
{
    try {
        if (Device == spdMPEGPlayer)
            return DecoderPlayer->GetPlayerMode() == pmStopped;
        if (Device == spdMediaPlayer) {
            const TMPModes mode = MediaPlayer->Mode();
            return mode != mpPlaying && mode != mpPaused;
        }
    } catch (const Exception&) {
    }
    return false;
}

void TSoundPlayer::OnSoundTimer(TObject*)
{
    if (Ended())
        PlayerNotify(nullptr);
}

void TSoundPlayer::PlayerNotify(TObject* Sender)
{
    if (Device == spdMediaPlayer && Sender) {
        const TMPModes mode = MediaPlayer->Mode();
        if (mode == mpPlaying || mode == mpPaused)
            return;
    }
    bool repeat = RepeatSound && !SoundPlayerUnit::DontRestartMusic;
    if (Device == spdMPEGPlayer && Timer)
        Timer->SetEnabled(false);
    if (OnFinished)
        OnFinished(this, repeat);
    if (repeat) {
        try {
            if (Device == spdMPEGPlayer)
                DecoderPlayer->SetPosition(0);
        } catch (const Exception&) {
        }
        Play();
    }
    if (Device == spdMediaPlayer)
        MediaPlayer->Notify = true;
}

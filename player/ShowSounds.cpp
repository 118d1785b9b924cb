#include "player/ShowSounds.h"

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/ShowStepper.h"
#include "core/Tools.h"
#include "core/VisteloNPics.h"
#include "widgets/KSCtrls.h"

using PictureLoading::RelFileName;

TShowSounds::TShowSounds(TShowStepper& Stepper, TMediaPlayer& MusicDevice, TSoundPlayerTimer& MusicTimer,
                         TKsSpeedButton& MusicButton, TMediaPlayer& SoundDevice, TSoundPlayerTimer& SoundTimer,
                         TKsSpeedButton& SoundButton)
    : stepper_(Stepper), musicButton_(MusicButton), soundButton_(SoundButton)
{
    DecoderPlayer = std::make_unique<TmyElPlayer>();
    DecoderPlayer->InUse = false;
    DecoderPlayer->PathToDLL = Setup::HomeDir + "elamp.esp";
    try {
        DecoderPlayer->Init();
        DecoderPlayer->SetPriority(15);
    } catch (const Exception&) {
        // Without the decoder module MPEG sounds go to the media player alone;
        // the show plays on.
        DecoderPlayer.reset();
    }
    MusicPlayer = std::make_unique<TSoundPlayer>(&MusicDevice, DecoderPlayer.get(), &MusicTimer);
    SoundPlayer = std::make_unique<TSoundPlayer>(&SoundDevice, DecoderPlayer.get(), &SoundTimer);
}

TShowSounds::~TShowSounds()
{
    SoundPlayer.reset();
    MusicPlayer.reset();
    if (DecoderPlayer) {
        try {
            DecoderPlayer->Deinit();
        } catch (const Exception&) {
        }
        DecoderPlayer.reset();
    }
}

void TShowSounds::BindFinishedEvents()
{
    MusicPlayer->OnFinished = [this](TObject*, bool& Repeat) { MusicPlayerFinished(Repeat); };
    SoundPlayer->OnFinished = [this](TObject*, bool& Repeat) { SoundPlayerFinished(Repeat); };
}

// ---------------------------------------------------------------------------
// Music

bool TShowSounds::NextMusicFilename(std::string& Name)
{
    if (MusicIndex == -2) {
        Name.clear();
        return false;
    }
    const TVistelo& show = *stepper_.Show;
    const int lines = Tools::CountStrNr(show.MusicFileNames);
    if (MusicIndex == -1)
        MusicIndex = 0;
    else if (++MusicIndex >= lines)
        MusicIndex = show.AutoRewind ? 0 : -2;
    Name = MusicIndex == -2 ? std::string() : Tools::GetStrNr(show.MusicFileNames, MusicIndex);
    return true;
}

void TShowSounds::StartMusic()
{
    const TVistelo& show = *stepper_.Show;
    musicButton_.SetEnabled(false);
    MusicPlayer->ClearSound();
    bool firstStart = false;
    const int lines = Tools::CountStrNr(show.MusicFileNames);
    if (show.PlayMusic && lines > 0) {
        firstStart = MusicIndex == -1;
        bool loaded = false;
        for (int attempt = 0; attempt < lines && !loaded; ++attempt) {
            std::string name;
            if (!NextMusicFilename(name))
                break;
            const std::string file = RelFileName(name, Setup::VisteloFilename);
            loaded = !file.empty() && MusicPlayer->LoadFromFile(file, false, Setup::ForceUseInternalMP3Player);
        }
        if (loaded) {
            if (!firstStart || show.AutoStartMusic)
                MusicPlayer->Play();
            musicButton_.SetEnabled(true);
        }
    }
    musicButton_.SetDown(!MusicPlayer->Muted && musicButton_.Enabled() && (show.AutoStartMusic || !firstStart));
}

void TShowSounds::MusicPlayerFinished(bool& Repeat)
{
    const TVistelo& show = *stepper_.Show;
    if (SoundPlayerUnit::DontRestartMusic) {
        Repeat = false;
    } else if (Tools::CountStrNr(show.MusicFileNames) != 1 || MusicIndex == -1) {
        Repeat = false;
        StartMusic();
    } else {
        Repeat = show.AutoRewind;
    }
}

void TShowSounds::EnableMusicButtonClick()
{
    if (MusicPlayer->Playing()) {
        SoundPlayerUnit::DontRestartMusic = true;
        MusicPlayer->Pause();
        musicButton_.SetDown(false);
    } else {
        SoundPlayerUnit::DontRestartMusic = false;
        MusicPlayer->Play();
        musicButton_.SetDown(true);
    }
}

// ---------------------------------------------------------------------------
// Slide sounds

void TShowSounds::StopBeforeTransition(const TPicInfoObject& Pic)
{
    if (stepper_.Show->StopSoundBeforeBlending && !KeepSound && !Pic.Sound.empty())
        SoundPlayer->Stop();
}

void TShowSounds::StartSound()
{
    soundButton_.SetEnabled(false);
    const TPicInfoObject* pic = stepper_.Show->Dia();
    const bool hasSound = !pic->Sound.empty();
    // A sound marked to go on keeps playing into slides without one.
    if (hasSound || !KeepSound)
        SoundPlayer->ClearSound();
    if (hasSound && stepper_.Show->AutoStartSound) {
        const std::string file = RelFileName(pic->Sound, Setup::VisteloFilename);
        if (!file.empty() && SoundPlayer->LoadFromFile(file, pic->RepeatSound, Setup::ForceUseInternalMP3Player)) {
            KeepSound = pic->DontStopSound;
            SoundPlayer->Play();
            soundButton_.SetEnabled(true);
        }
    }
    soundButton_.SetDown(!SoundPlayer->Muted && soundButton_.Enabled());
}

void TShowSounds::SoundPlayerFinished(bool& Repeat)
{
    const TPicInfoObject* pic = stepper_.Show ? stepper_.Show->Dia() : nullptr;
    if (!pic)
        return;
    switch (pic->SynchronizeWithSound) {
    case ssSyncExact:
        stepper_.SoundWaitReleased = true;
        Repeat = false;
        stepper_.DiaTimerTimer();
        break;
    case ssSync: stepper_.SoundWaitReleased = true; break;
    default: break;
    }
}

void TShowSounds::EnableSoundButtonClick()
{
    if (SoundPlayer->Muted) {
        SoundPlayer->Muted = false;
        SoundPlayer->Play();
        soundButton_.SetDown(true);
    } else {
        SoundPlayer->Muted = true;
        SoundPlayer->Pause();
        soundButton_.SetDown(false);
    }
}

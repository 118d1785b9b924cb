#include "player/ShowDevices.h"

#include "core/SoundPlayerUnit.h"
#include "platform/media/MediaPlayer.h"
#include "platform/ui/ExtCtrls.h"

namespace ShowDevices {

void CreateShowDevices(TComponent* Owner, TMediaPlayer*& MusicMediaPlayer, TMediaPlayer*& SoundMediaPlayer,
                       TTimer*& DiaTimer, TSoundPlayerTimer*& MusicPlayerTimer, TSoundPlayerTimer*& SoundPlayerTimer)
{
    // The music and a slide sound may open the same file.
    MusicMediaPlayer = new TMediaPlayer(Owner);
    MusicMediaPlayer->Shareable = true;
    SoundMediaPlayer = new TMediaPlayer(Owner);
    SoundMediaPlayer->Shareable = true;
    DiaTimer = new TTimer(Owner);
    DiaTimer->SetEnabled(false);
    MusicPlayerTimer = new TSoundPlayerTimer(Owner);
    SoundPlayerTimer = new TSoundPlayerTimer(Owner);
    for (TSoundPlayerTimer* timer : {MusicPlayerTimer, SoundPlayerTimer}) {
        timer->Tag = 1;
        timer->SetEnabled(false);
        timer->SetInterval(1);
    }
}

} // namespace ShowDevices

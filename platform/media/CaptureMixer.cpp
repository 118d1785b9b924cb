#include "platform/media/CaptureMixer.h"

#include <algorithm>
#include <cmath>

#include "platform/media/SoundLibraries.h"

namespace media {
namespace {

snd_mixer_elem_t* Elem(void* element) { return static_cast<snd_mixer_elem_t*>(element); }

// ALSA reports its errors on stderr unless told otherwise; a machine
// without a card is no error here.
void Quiet(const char*, int, const char*, int, const char*, ...) { }

} // namespace

CaptureMixer::CaptureMixer(const std::string& Card)
{
    // Without the sound library there is no card to control either.
    if (!Alsa().Loaded)
        return;
    Alsa().snd_lib_error_set_handler(&Quiet);
    snd_mixer_t* mixer = nullptr;
    const bool opened = Alsa().snd_mixer_open(&mixer, 0) >= 0;
    const bool loaded = opened && Alsa().snd_mixer_attach(mixer, Card.c_str()) >= 0 &&
        Alsa().snd_mixer_selem_register(mixer, nullptr, nullptr) >= 0 && Alsa().snd_mixer_load(mixer) >= 0;
    Alsa().snd_lib_error_set_handler(nullptr);
    if (!loaded) {
        if (opened)
            Alsa().snd_mixer_close(mixer);
        return;
    }
    mixer_ = mixer;
    for (snd_mixer_elem_t* e = Alsa().snd_mixer_first_elem(mixer); e; e = Alsa().snd_mixer_elem_next(e))
        if (Alsa().snd_mixer_selem_is_active(e) && Alsa().snd_mixer_selem_has_capture_volume(e))
            controls_.push_back({Alsa().snd_mixer_selem_get_name(e), e});
}

CaptureMixer::~CaptureMixer()
{
    if (mixer_)
        Alsa().snd_mixer_close(static_cast<snd_mixer_t*>(mixer_));
}

const std::string& CaptureMixer::Name(int Index) const { return controls_.at(static_cast<size_t>(Index)).Name; }

std::uint16_t CaptureMixer::ToVolume(long Raw, long Min, long Max)
{
    if (Max <= Min)
        return 0;
    const double share = static_cast<double>(std::clamp(Raw, Min, Max) - Min) / static_cast<double>(Max - Min);
    return static_cast<std::uint16_t>(std::lround(share * 65535.0));
}

long CaptureMixer::FromVolume(std::uint16_t Volume, long Min, long Max)
{
    if (Max <= Min)
        return Min;
    return Min + std::lround(static_cast<double>(Volume) / 65535.0 * static_cast<double>(Max - Min));
}

bool CaptureMixer::GetVolume(int Index, std::uint32_t& Volume) const
{
    if (Index < 0 || Index >= Count())
        return false;
    snd_mixer_elem_t* e = Elem(controls_[static_cast<size_t>(Index)].Element);
    long min = 0, max = 0, left = 0, right = 0;
    if (Alsa().snd_mixer_selem_get_capture_volume_range(e, &min, &max) < 0 ||
        Alsa().snd_mixer_selem_get_capture_volume(e, SND_MIXER_SCHN_FRONT_LEFT, &left) < 0)
        return false;
    right = left;
    if (!Alsa().snd_mixer_selem_is_capture_mono(e))
        Alsa().snd_mixer_selem_get_capture_volume(e, SND_MIXER_SCHN_FRONT_RIGHT, &right);
    Volume = static_cast<std::uint32_t>(ToVolume(right, min, max)) << 16 | ToVolume(left, min, max);
    return true;
}

bool CaptureMixer::SetVolume(int Index, std::uint32_t Volume)
{
    if (Index < 0 || Index >= Count())
        return false;
    snd_mixer_elem_t* e = Elem(controls_[static_cast<size_t>(Index)].Element);
    long min = 0, max = 0;
    if (Alsa().snd_mixer_selem_get_capture_volume_range(e, &min, &max) < 0)
        return false;
    const long left = FromVolume(static_cast<std::uint16_t>(Volume & 0xFFFF), min, max);
    const long right = FromVolume(static_cast<std::uint16_t>(Volume >> 16), min, max);
    if (Alsa().snd_mixer_selem_is_capture_mono(e))
        return Alsa().snd_mixer_selem_set_capture_volume_all(e, (left + right) / 2) >= 0;
    return Alsa().snd_mixer_selem_set_capture_volume(e, SND_MIXER_SCHN_FRONT_LEFT, left) >= 0 &&
        Alsa().snd_mixer_selem_set_capture_volume(e, SND_MIXER_SCHN_FRONT_RIGHT, right) >= 0;
}

} // namespace media

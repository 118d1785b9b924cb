#pragma once

// The sound libraries are opened the first time sound is used, not when a
// program starts: most shows start silent, and mapping these libraries with
// everything they pull in would cost every start of every program several
// milliseconds. Each library is a table of the functions this layer calls,
// typed from the library's own header and found by name when the library is
// opened. A library is opened once and stays for the life of the process.
//
// A table whose library or one of whose functions could not be found is not
// Loaded; Missing then says what is missing, for the caller's error message.
// Its function pointers are only called once Loaded has been checked.

#include <SDL2/SDL.h>
#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <mpg123.h>

#include <string>

namespace media {

#define VISTELO_SDL_FUNCTIONS(X)                                                                                       \
    X(SDL_InitSubSystem)                                                                                               \
    X(SDL_QuitSubSystem)                                                                                               \
    X(SDL_GetError)                                                                                                    \
    X(SDL_GetNumAudioDevices)                                                                                          \
    X(SDL_GetAudioDeviceName)                                                                                          \
    X(SDL_OpenAudioDevice)                                                                                             \
    X(SDL_CloseAudioDevice)                                                                                            \
    X(SDL_PauseAudioDevice)                                                                                            \
    X(SDL_LockAudioDevice)                                                                                             \
    X(SDL_UnlockAudioDevice)                                                                                           \
    X(SDL_NewAudioStream)                                                                                              \
    X(SDL_FreeAudioStream)                                                                                             \
    X(SDL_AudioStreamPut)                                                                                              \
    X(SDL_AudioStreamGet)                                                                                              \
    X(SDL_AudioStreamAvailable)                                                                                        \
    X(SDL_AudioStreamFlush)                                                                                            \
    X(SDL_AudioStreamClear)

// Some of these names are macros of the header that choose the variant of
// the function matching this build (mpg123_open is mpg123_open_64 where
// files have 64-bit offsets); the table follows them.
#define VISTELO_MPG123_FUNCTIONS(X)                                                                                    \
    X(mpg123_init)                                                                                                     \
    X(mpg123_new)                                                                                                      \
    X(mpg123_delete)                                                                                                   \
    X(mpg123_param)                                                                                                    \
    X(mpg123_rates)                                                                                                    \
    X(mpg123_format_none)                                                                                              \
    X(mpg123_format)                                                                                                   \
    X(mpg123_open)                                                                                                     \
    X(mpg123_close)                                                                                                    \
    X(mpg123_getformat)                                                                                                \
    X(mpg123_scan)                                                                                                     \
    X(mpg123_length)                                                                                                   \
    X(mpg123_seek)                                                                                                     \
    X(mpg123_read)

#define VISTELO_FLUIDSYNTH_FUNCTIONS(X)                                                                                \
    X(new_fluid_settings)                                                                                              \
    X(delete_fluid_settings)                                                                                           \
    X(fluid_settings_setnum)                                                                                           \
    X(fluid_settings_setint)                                                                                           \
    X(fluid_settings_setstr)                                                                                           \
    X(new_fluid_synth)                                                                                                 \
    X(delete_fluid_synth)                                                                                              \
    X(fluid_synth_sfload)                                                                                              \
    X(fluid_synth_write_float)                                                                                         \
    X(fluid_synth_system_reset)                                                                                        \
    X(new_fluid_player)                                                                                                \
    X(delete_fluid_player)                                                                                             \
    X(fluid_player_add_mem)                                                                                            \
    X(fluid_player_play)                                                                                               \
    X(fluid_player_stop)

#define VISTELO_ALSA_FUNCTIONS(X)                                                                                      \
    X(snd_lib_error_set_handler)                                                                                       \
    X(snd_mixer_open)                                                                                                  \
    X(snd_mixer_close)                                                                                                 \
    X(snd_mixer_attach)                                                                                                \
    X(snd_mixer_load)                                                                                                  \
    X(snd_mixer_first_elem)                                                                                            \
    X(snd_mixer_elem_next)                                                                                             \
    X(snd_mixer_selem_register)                                                                                        \
    X(snd_mixer_selem_get_name)                                                                                        \
    X(snd_mixer_selem_is_active)                                                                                       \
    X(snd_mixer_selem_is_capture_mono)                                                                                 \
    X(snd_mixer_selem_has_capture_volume)                                                                              \
    X(snd_mixer_selem_get_capture_volume_range)                                                                        \
    X(snd_mixer_selem_get_capture_volume)                                                                              \
    X(snd_mixer_selem_set_capture_volume)                                                                              \
    X(snd_mixer_selem_set_capture_volume_all)

#define VISTELO_SOUND_FUNCTION_POINTER(name) decltype(&::name) name = nullptr;

struct SoundLibrary {
    bool Loaded = false;
    std::string Missing; // the loader's own words: the file or the function not found
};

struct SdlLibrary : SoundLibrary {
    VISTELO_SDL_FUNCTIONS(VISTELO_SOUND_FUNCTION_POINTER)
};

struct Mpg123Library : SoundLibrary {
    VISTELO_MPG123_FUNCTIONS(VISTELO_SOUND_FUNCTION_POINTER)
};

struct FluidSynthLibrary : SoundLibrary {
    VISTELO_FLUIDSYNTH_FUNCTIONS(VISTELO_SOUND_FUNCTION_POINTER)
};

struct AlsaLibrary : SoundLibrary {
    VISTELO_ALSA_FUNCTIONS(VISTELO_SOUND_FUNCTION_POINTER)
};

#undef VISTELO_SOUND_FUNCTION_POINTER

// Each opens its library on the first call, from any thread.
const SdlLibrary& Sdl();
const Mpg123Library& Mpg123();
const FluidSynthLibrary& FluidSynth();
const AlsaLibrary& Alsa();

} // namespace media

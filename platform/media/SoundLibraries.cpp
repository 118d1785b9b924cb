#include "platform/media/SoundLibraries.h"

#include <dlfcn.h>

#include <cstring>
#include <mutex>

namespace media {
namespace {

// Collects a library's functions by name; the first that is missing (or the
// library itself) is what the table reports.
class Resolver {
public:
    Resolver(const char* file, SoundLibrary& library) : library_(library)
    {
        // Never closed: the tables and the libraries' own threads and
        // callbacks may be in use until the process ends.
        handle_ = dlopen(file, RTLD_NOW | RTLD_LOCAL);
        if (!handle_)
            Fail(file);
    }

    template <typename Function> void operator()(const char* name, Function& slot)
    {
        if (!handle_ || !library_.Missing.empty())
            return;
        dlerror();
        void* address = dlsym(handle_, name);
        if (!address) {
            Fail(name);
            return;
        }
        static_assert(sizeof(slot) == sizeof(address));
        std::memcpy(&slot, &address, sizeof(slot));
    }

    void Finish() { library_.Loaded = handle_ && library_.Missing.empty(); }

private:
    void Fail(const char* what)
    {
        const char* reason = dlerror();
        library_.Missing = reason ? reason : std::string(what) + " nicht gefunden";
    }

    SoundLibrary& library_;
    void* handle_ = nullptr;
};

template <typename Library, typename Fill> const Library& LoadOnce(const char* file, Fill fill)
{
    static Library library;
    static std::once_flag once;
    std::call_once(once, [&] {
        Resolver resolve(file, library);
        fill(resolve, library);
        resolve.Finish();
    });
    return library;
}

// The name is expanded before it is quoted, so a function the header
// renames is looked up under the name this build calls.
#define VISTELO_QUOTE(name) #name
#define VISTELO_EXPANDED_NAME(name) VISTELO_QUOTE(name)
#define VISTELO_RESOLVE(name) resolve(VISTELO_EXPANDED_NAME(name), library.name);

} // namespace

const SdlLibrary& Sdl()
{
    return LoadOnce<SdlLibrary>(VISTELO_SDL2_SONAME,
                                [](Resolver& resolve, SdlLibrary& library) { VISTELO_SDL_FUNCTIONS(VISTELO_RESOLVE) });
}

const Mpg123Library& Mpg123()
{
    return LoadOnce<Mpg123Library>(VISTELO_MPG123_SONAME, [](Resolver& resolve, Mpg123Library& library) {
        VISTELO_MPG123_FUNCTIONS(VISTELO_RESOLVE)
    });
}

const FluidSynthLibrary& FluidSynth()
{
    return LoadOnce<FluidSynthLibrary>(VISTELO_FLUIDSYNTH_SONAME, [](Resolver& resolve, FluidSynthLibrary& library) {
        VISTELO_FLUIDSYNTH_FUNCTIONS(VISTELO_RESOLVE)
    });
}

const AlsaLibrary& Alsa()
{
    return LoadOnce<AlsaLibrary>(
        VISTELO_ALSA_SONAME, [](Resolver& resolve, AlsaLibrary& library) { VISTELO_ALSA_FUNCTIONS(VISTELO_RESOLVE) });
}

} // namespace media

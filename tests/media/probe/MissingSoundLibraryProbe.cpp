// Uses each kind of sound in a process where the sound libraries cannot be
// opened, as on a machine without them, and reports what each use gave:
//   media_missing_sound_library_probe <folder for its sound files>
// prints lines "<use>: <error text or result>". It must not crash.
//
// The process's own dlopen stands in front of the system's: it sends the
// sound libraries' names to a folder that does not exist, so the loader
// fails with the system's own words.

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <string>

#include "media/TestSounds.h"
#include "platform/media/AudioOutput.h"
#include "platform/media/CaptureMixer.h"
#include "platform/media/WaveInput.h"

extern "C" void* dlopen(const char* file, int mode) noexcept
{
    using Open = void* (*)(const char*, int);
    static const Open next = [] {
        Open found = nullptr;
        void* address = dlsym(RTLD_NEXT, "dlopen");
        std::memcpy(&found, &address, sizeof(found));
        return found;
    }();
    for (const char* refused : {"libSDL2", "libmpg123", "libfluidsynth", "libasound"})
        if (file && std::strncmp(file, refused, std::strlen(refused)) == 0)
            return next((std::string("/nonexistent-folder/") + file).c_str(), mode);
    return next(file, mode);
}

namespace {

void Report(const char* use, const std::function<std::string()>& run)
{
    std::string result;
    try {
        result = run();
    } catch (const std::exception& error) {
        result = error.what();
    }
    std::printf("%s: %s\n", use, result.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string folder = std::string(argv[1]) + "/";
    testsounds::UseDummyAudioUnlessChosen();
    const std::string wav = testsounds::SineWav(folder, "tone.wav", 100);
    const std::string midi = folder + "notes.mid";
    testsounds::WriteFile(midi, testsounds::TwoNoteMidi());

    Report("sound output", [&] {
        media::OutputChannel channel(media::OpenAudioFile(wav));
        return std::string("opened");
    });
    Report("mpeg audio", [] {
        media::OpenAudioFile(testsounds::FixtureDir() + "tone.mp3");
        return std::string("opened");
    });
    Report("midi", [&] {
        media::OpenAudioFile(midi);
        return std::string("opened");
    });
    Report("recording", [] {
        media::WaveInput input;
        return input.Open(-1, media::WaveInFormat{}) ? std::string("opened") : input.ErrorText;
    });
    Report("recording devices", [] { return std::to_string(media::WaveInput::DeviceNames().size()); });
    Report("capture mixer controls", [] { return std::to_string(media::CaptureMixer().Count()); });
    return 0;
}

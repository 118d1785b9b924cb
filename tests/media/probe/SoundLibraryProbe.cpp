// Uses each kind of sound once, one after the other, and reports after each
// step which of the sound libraries (and the sound servers' client
// libraries) are mapped into the process. A program of its own, so nothing
// has used sound before it looks.
//
//   media_sound_library_probe <folder for its sound files>
// prints lines "<step>:" followed by the names mapped, e.g.
//   mpeg audio opened: libmpg123

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "media/TestSounds.h"
#include "platform/media/AudioOutput.h"
#include "platform/media/CaptureMixer.h"

namespace {

constexpr const char* kWatched[] = {"libSDL2", "libmpg123", "libfluidsynth", "libasound", "libpulse", "libjack"};

void Report(const char* step)
{
    std::set<std::string> mapped;
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        const size_t slash = line.rfind('/');
        if (slash == std::string::npos)
            continue;
        for (const char* name : kWatched)
            if (line.compare(slash + 1, std::char_traits<char>::length(name), name) == 0)
                mapped.insert(name);
    }
    std::printf("%s:", step);
    for (const std::string& name : mapped)
        std::printf(" %s", name.c_str());
    std::printf("\n");
    std::fflush(stdout);
}

// Plays the sound to its end on the output device.
bool Play(const std::string& file)
{
    media::OutputChannel channel(media::OpenAudioFile(file));
    channel.Start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!channel.Ended()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string folder = std::string(argv[1]) + "/";
    testsounds::UseDummyAudioUnlessChosen();
    try {
        Report("start");
        media::OpenAudioFile(testsounds::FixtureDir() + "tone.mp3");
        Report("mpeg audio opened");
        media::CaptureMixer mixer;
        Report("capture mixer opened");
        if (!Play(testsounds::SineWav(folder, "tone.wav", 100)))
            return 1;
        Report("sound played");
        const std::string midi = folder + "notes.mid";
        testsounds::WriteFile(midi, testsounds::TwoNoteMidi());
        media::OpenAudioFile(midi);
        Report("midi opened");
    } catch (const std::exception& error) {
        std::printf("failed: %s\n", error.what());
        return 1;
    }
    return 0;
}

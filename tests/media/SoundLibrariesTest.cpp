#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "media/TestSounds.h"

namespace {

using namespace testsounds;

// Runs a probe program in a folder of its own and gathers its report: one
// line "<step>: <text>" per step. A probe that crashes, leaks or fails
// fails the test that ran it.
class ProbeRun {
public:
    explicit ProbeRun(const char* program)
    {
        const std::string folder = TempFolder();
        std::FILE* probe = popen((std::string(program) + " '" + folder + "'").c_str(), "r");
        if (probe) {
            char buffer[512];
            while (std::fgets(buffer, sizeof buffer, probe))
                Output += buffer;
            const int status = pclose(probe);
            Succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        RemoveFolder(folder);
        std::istringstream lines(Output);
        for (std::string line; std::getline(lines, line);) {
            const size_t colon = line.find(':');
            if (colon != std::string::npos)
                Steps[line.substr(0, colon)] = line.substr(std::min(colon + 2, line.size()));
        }
    }

    bool Succeeded = false;
    std::string Output;
    std::map<std::string, std::string> Steps;
};

// A program pays for the sound libraries only once it uses sound, and each
// kind of sound opens only the library it needs. The steps run in this
// order in one process; the sound servers' client libraries come with the
// output library, so later steps do not speak of them.
TEST(SoundLibrariesTest, ALibraryIsMappedOnlyOnceItsKindOfSoundIsUsed)
{
    struct Step {
        const char* Name;
        std::vector<std::string> Mapped;
        std::vector<std::string> NotMapped;
    };
    const Step steps[] = {
        {"start", {}, {"libSDL2", "libmpg123", "libfluidsynth", "libasound", "libpulse", "libjack"}},
        {"mpeg audio opened", {"libmpg123"}, {"libSDL2", "libfluidsynth", "libasound", "libpulse", "libjack"}},
        {"capture mixer opened", {"libmpg123", "libasound"}, {"libSDL2", "libfluidsynth"}},
        {"sound played", {"libmpg123", "libasound", "libSDL2"}, {"libfluidsynth"}},
        {"midi opened", {"libmpg123", "libasound", "libSDL2", "libfluidsynth"}, {}},
    };
    const ProbeRun run(VISTELO_SOUND_LIBRARY_PROBE);
    ASSERT_TRUE(run.Succeeded) << run.Output;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Name);
        const auto found = run.Steps.find(step.Name);
        ASSERT_NE(found, run.Steps.end()) << run.Output;
        std::istringstream names(found->second);
        const std::set<std::string> mapped{std::istream_iterator<std::string>(names), {}};
        for (const std::string& name : step.Mapped)
            EXPECT_TRUE(mapped.count(name)) << name << " is not mapped\n" << run.Output;
        for (const std::string& name : step.NotMapped)
            EXPECT_FALSE(mapped.count(name)) << name << " is mapped\n" << run.Output;
    }
}

// Without the sound libraries each use fails as it does without a sound
// device, naming the file that is missing; nothing crashes.
TEST(SoundLibrariesTest, WithoutTheLibrariesEachUseFailsNamingWhatIsMissing)
{
    struct Use {
        const char* Name;
        std::vector<std::string> Words; // all in the report of the use
        bool Whole = false;             // the report is the one word
    };
    const Use uses[] = {
        {"sound output", {"Keine Audioausgabe: ", "libSDL2"}},
        {"mpeg audio", {"MPEG-Decoder nicht verfügbar: ", "libmpg123"}},
        {"midi", {"Der MIDI-Synthesizer fehlt: ", "libfluidsynth"}},
        {"recording", {"Keine Audioaufnahme: ", "libSDL2"}},
        {"recording devices", {"0"}, true},
        {"capture mixer controls", {"0"}, true},
    };
    const ProbeRun run(VISTELO_MISSING_SOUND_LIBRARY_PROBE);
    ASSERT_TRUE(run.Succeeded) << run.Output;
    for (const Use& use : uses) {
        SCOPED_TRACE(use.Name);
        const auto found = run.Steps.find(use.Name);
        ASSERT_NE(found, run.Steps.end()) << run.Output;
        for (const std::string& word : use.Words) {
            if (use.Whole)
                EXPECT_EQ(found->second, word);
            else
                EXPECT_NE(found->second.find(word), std::string::npos) << found->second;
        }
    }
}

} // namespace

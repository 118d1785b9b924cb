#pragma once

// The figures of the open show that the command "Vistelo-Statistik" reports:
// pictures, sounds and songs counted and their files' sizes summed, and the
// show's running time.

#include <cstdint>
#include <string>

namespace ShowStatistics {

struct TStatistics {
    int Pictures = 0;
    int Shown = 0;    // found and shown pictures
    int NotFound = 0; // pictures whose file is missing
    int Sounds = 0;   // pictures with a sound, found or not
    int MissingSounds = 0;
    int Songs = 0; // background songs found
    int MissingSongs = 0;
    std::int64_t PictureBytes = 0;
    std::int64_t SoundBytes = 0;
    std::int64_t MusicBytes = 0;
    std::int64_t RunningMs = 0; // the pauses of the shown pictures
};

// Walks the current pictures of the access layer and the show's music list
// (lines ending with CR LF); files are looked up against ShowFile. A missing
// picture is not shown, so it counts as deactivated too.
TStatistics Collect(std::int32_t DefaultPause, const std::string& MusicFileNames, const std::string& ShowFile);
// "h Std. m Min. s Sek. ": hours only from an hour on, minutes from a minute on.
std::string TimeText(std::int64_t Seconds);
// The message the command shows.
std::string MessageText(const std::string& ShowFile, const TStatistics& Figures);

} // namespace ShowStatistics

#pragma once

// The screen saver's three settings, kept in the registry under the current
// user. Each value is read and written by itself, so one missing or mistyped
// value neither stops the others nor reaches the user.

#include <string>

namespace ScreenSaverSetup {

extern const char* const SettingsKey;

extern bool Mute;                    // no music and no picture sounds
extern std::string Filename;         // the show to play
extern bool IgnoreOtherApplications; // another application coming up does not end the saver

// Reads the values that are there and of the right type; without the key
// nothing changes.
void ReadScreenSaverSettings();
// Writes the three settings and "Path", the home folder, for programs that
// look for the saver's files.
void WriteScreenSaverSettings();

} // namespace ScreenSaverSetup

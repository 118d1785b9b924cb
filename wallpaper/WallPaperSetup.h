#pragma once

// The wallpaper program's settings and their file "Wallpaper.ini" in the
// user's config folder: one section, six keys, the quit password stored
// with its letters rotated by 13 places (files written so rely on it).

#include <cstdint>
#include <string>

namespace WallPaperSetup {

inline constexpr const char* IniName = "Wallpaper.ini";
inline constexpr const char* Section = "Wallpaper-Vistelo";

// Use UserInterval instead of the show's own pause.
extern bool UseUserInterval;
// The change interval in milliseconds.
extern std::int32_t UserInterval;
extern bool UseQuitPassword;
// In clear text here; rotated in the file.
extern std::string QuitPassword;
// The show whose pictures become the wallpaper.
extern std::string ShowFilename;
// The play position of the next picture to set.
extern std::int32_t ShowPos;

// The ini file's full name.
std::string IniFileName();

// Reads every key, each with the variable's value as its default, so a
// missing file or key keeps what was there.
void LoadSettings();
// Writes every key in the order above; raises when the file cannot be written.
void SaveSettings();
// The settings of a first start.
void DefaultSettings();

} // namespace WallPaperSetup

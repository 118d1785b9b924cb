#pragma once

// What the editor program does with its command line before any window
// exists: "/S" hands the show on to the stand-alone player, "/B<show>" sets a
// random picture of the show as wallpaper, anything else opens the editor
// (with the first file name as the show to open).

#include <string>
#include <vector>

namespace EditorStart {

enum TStartKind { skEditor, skPlayer, skWallpaper };

// Which way the command line of the own parameter parser goes.
TStartKind StartKind();

// The player's program name in the editor's folder.
inline constexpr const char* PlayerProgramName = "Rollavin";

// The player's argument vector for "/S": the player program of the given
// folder, then only the command line's file names. Neither the editor's own
// path nor the switch is passed on: the player plays its first argument.
std::vector<std::string> PlayerArguments(const std::string& ProgramFolder, const std::string& ProgramName);

// Starts ProgramName from the editor's own folder with PlayerArguments, in
// the home folder, without a shell. Reports nothing when it cannot start.
void RunPlayerProgram(const std::string& ProgramName);

// "/B": a random shown picture of the show becomes the wallpaper.
void SetRandomWallpaperFromShow(const std::string& FileName);

} // namespace EditorStart

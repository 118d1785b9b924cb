#pragma once

// What the CD start program does: read the OPEN line of the autorun file that
// stands beside it and start the program it names. It links nothing of the
// system, so the little ini reading it needs is its own.

#include <functional>
#include <string>
#include <vector>

namespace AutorunCommand {

// A program to start, already mapped onto the native file system.
struct TStartCommand {
    std::string Program;           // the file to execute
    std::vector<std::string> Args; // without the program name
    std::string WorkDir;           // the folder to start it in
};

using TStartFunction = std::function<void(const TStartCommand&)>;

// The value of Key in Section of an ini text, both names without regard to
// letter case; empty when either is missing. Blanks around the value and one
// pair of quotes enclosing all of it are dropped, as profile readers do.
std::string ReadIniValue(const std::string& IniText, const std::string& Section, const std::string& Key);

// Splits a parameter text the way a started program splits its command line:
// blanks separate, double quotes group, backslashes escape only quotes.
std::vector<std::string> SplitParameters(const std::string& Text);

// The file a path in Windows form (backslashes, any letter case) names below
// Folder (with a trailing "/"): the existing entry of each component, matched
// exactly first, then without regard to case; a name that matches nothing is
// kept as written.
std::string MapWindowsPath(const std::string& Folder, const std::string& WindowsPath);

// The command an OPEN value stands for: the text before the first blank is the
// program below StartFolder, the rest its parameters. Parameters that name an
// existing file below StartFolder are handed over as native paths.
TStartCommand CommandFromOpenValue(const std::string& StartFolder, const std::string& OpenValue);

// Reads "autorun.inf" (any letter case) in StartFolder and starts its OPEN
// command through Start. Returns false, starting nothing, when there is no
// file, no value or the start fails; nothing is ever raised or shown.
bool RunAutorunCommand(const std::string& StartFolder, const TStartFunction& Start);

// Starts the program directly (no shell) in its working folder and does not
// wait for it; raises std::runtime_error when it cannot be started.
void SpawnCommand(const TStartCommand& Command);

// The folder of the running program, with a trailing "/".
std::string StartFolderOf(const std::string& ProgramPath);

} // namespace AutorunCommand

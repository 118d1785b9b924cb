#pragma once

// Programs started with the user's session: a desktop entry in the
// autostart folder of the user's config folder ($XDG_CONFIG_HOME/autostart,
// by default ~/.config/autostart), which session managers read at log-in.

#include <string>
#include <vector>

namespace ui {

struct TAutostartEntry {
    std::string Name;              // shown in the session's start-up list
    std::string Comment;           // the description
    std::vector<std::string> Args; // the program (an absolute path) and its arguments
};

// The autostart folder with a trailing "/"; "" when there is no home folder.
std::string AutostartFolder();

// One argument of an Exec line: kept as it is when plain, else in double
// quotes with ", `, $ and \ escaped; "%" doubled either way.
std::string ExecArgument(const std::string& Arg);

// The desktop entry's text (line ends LF; the backslashes of the Exec line
// escaped once more, as every string value of the file).
std::string AutostartEntryText(const TAutostartEntry& Entry);

// Writes the entry as FileName in the autostart folder (made when missing),
// replacing the file atomically; false when it could not be written.
bool CreateAutostartEntry(const std::string& FileName, const TAutostartEntry& Entry);

} // namespace ui

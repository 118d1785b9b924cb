#pragma once

// The folders the system reads from and writes to. Every folder is returned
// with a trailing "/".

#include <string>

namespace rtl {

std::string ProgramFile(); // the running program's own file
std::string ProgramDir();  // its folder

std::string ConfigDir(); // $XDG_CONFIG_HOME/vistelo/ (default ~/.config/vistelo/)
std::string DataDir();   // $XDG_DATA_HOME/vistelo/ (default ~/.local/share/vistelo/)
std::string TempDir();   // $TMPDIR, else /tmp/

// The stand-in for the Windows folder, where the system keeps files shared by
// its programs: the program folder when it is writable, else DataDir() +
// "windows/" (created when missing).
std::string WindowsDir();

// True when dir is an existing folder the process may create files in.
bool IsWritableDir(const std::string& dir);

} // namespace rtl

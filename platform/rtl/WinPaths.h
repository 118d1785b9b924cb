#pragma once

// Finding files named by paths that were stored on Windows.
//
// Shows and lists made on Windows store names such as "D:\Bilder\Urlaub.JPG"
// or "..\Bilder\urlaub.jpg". On Linux there are no drives, "\" is an ordinary
// character and names differ by letter case, so such a name is mapped onto the
// native file system before it is opened.

#include <string>

namespace rtl {

// The existing native path that a stored name refers to, or "" when none
// exists. Separators "\" become "/"; a drive ("D:") or network drive
// ("\\server\share") stands for the root "/". Candidates, in order:
//   - relative names: baseDir + name (the name as given when baseDir is "");
//   - names with a drive: "/" + the rest, then baseDir + the rest;
//   - rooted names ("/x", "\x"): the name, then baseDir + the rest.
// Each candidate is looked up with ResolveFileCase.
std::string ResolveStoredPath(const std::string& stored, const std::string& baseDir = "");

// The existing native path that matches path, trying the exact name first and
// then, component by component, a name that differs only in letter case (the
// first in byte order when several do). "" when there is no such file or folder.
std::string ResolveFileCase(const std::string& path);

} // namespace rtl

#pragma once

// Folders and addresses of the HTML export on this system: the folder names
// the user types (perhaps in the form of the system the settings came from,
// "c:\html-vistelo"), and links and file addresses that a browser follows
// whatever characters the file names hold.

#include <string>

namespace HTMLLinks {

// Blanks taken off both ends, then one leading and one trailing backslash.
std::string TrimFolderName(const std::string& Text);

// The export's main folder for a stored text: "\" separates; a drive letter
// ("c:\html-vistelo"), "~/" or a relative name means a folder under the home
// folder; an absolute path stays. No trailing "/".
std::string ResolveMainDir(const std::string& Text, const std::string& HomeDir);

// A sub-folder name as a relative path with "/" ("" when nothing is left).
std::string SubFolder(const std::string& Text);

// The path or name with every byte outside the characters an address may
// hold as they are written as "%XX"; "/" stays.
std::string PercentEncode(const std::string& Path);

// The text of an encoded path ("%XX" back to its byte).
std::string PercentDecode(const std::string& Path);

// "file://" and the encoded absolute path.
std::string FileURI(const std::string& AbsolutePath);

// The user's home folder.
std::string HomeDir();

} // namespace HTMLLinks

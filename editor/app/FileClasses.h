#pragma once

// The shell file classes of show files (".vsf"), show lists (".vsl") and HTML
// presets: written on every orderly close of the editor into the registry's
// HKEY_CLASSES_ROOT, and, for the desktop, as MIME types and desktop entries
// in the user's own data folder (the editor edits a show; the player opens
// and plays shows and show lists). Nothing outside the user's folders is
// touched.

#include <string>
#include <vector>

namespace FileClasses {

// One default value of a class key.
struct TClassKey {
    std::string Key;
    std::string Value;
};

// The keys and default values, in the order they are written. EditorPath is
// the editor's program file, HomeDir the program folder with its trailing "/".
std::vector<TClassKey> ClassKeys(const std::string& EditorPath, const std::string& HomeDir);

// Writes ClassKeys under HKEY_CLASSES_ROOT; the first write that fails ends
// the registration silently.
void RegisterRegistryClasses(const std::string& EditorPath, const std::string& HomeDir);

// The MIME types of shows and show lists.
inline constexpr const char* ShowMimeType = "application/x-vistelo-show";
inline constexpr const char* ShowListMimeType = "application/x-vistelo-list";

// The user's data folder of the desktop ($XDG_DATA_HOME, else
// ~/.local/share), with a trailing "/".
std::string UserDataHome();

// The files written into DataHome: the MIME package, the editor's desktop
// entry and the player's.
std::string MimePackageFile(const std::string& DataHome);
std::string EditorDesktopFile(const std::string& DataHome);
std::string PlayerDesktopFile(const std::string& DataHome);

// Writes the MIME package and the two desktop entries into DataHome and runs
// update-mime-database and update-desktop-database where they are installed.
// Failures are silent, like those of the registry classes.
void RegisterDesktopClasses(const std::string& EditorPath, const std::string& HomeDir, const std::string& DataHome);

// Both: the registry classes and the desktop's.
void RegisterFileClasses(const std::string& EditorPath, const std::string& HomeDir);

// A desktop entry's Exec argument: quoted, with the characters the format
// reserves escaped.
std::string QuoteExecArgument(const std::string& Argument);

} // namespace FileClasses

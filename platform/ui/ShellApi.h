#pragma once

// The desktop shell's services: opening documents, folders and web addresses
// with the desktop's handler, starting programs with an argument list (never
// through a command interpreter), the user's special folders, shell links as
// desktop entries, the trash, and copying, moving, renaming and deleting
// files with progress and confirmations through the scriptable dialog layer.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Messages.h"

// Results of ShellExecute: above 32 means started.
constexpr intptr_t SE_ERR_FNF = 2;
constexpr intptr_t SE_ERR_PNF = 3;
constexpr intptr_t SE_ERR_ACCESSDENIED = 5;
constexpr intptr_t SE_ERR_NOASSOC = 31;
constexpr intptr_t SE_STARTED = 42;

// Special folders by their numbers.
constexpr int CSIDL_DESKTOP = 0x0000;
constexpr int CSIDL_PROGRAMS = 0x0002;
constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_STARTUP = 0x0007;
constexpr int CSIDL_STARTMENU = 0x000b;
constexpr int CSIDL_MYMUSIC = 0x000d;
constexpr int CSIDL_MYVIDEO = 0x000e;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
constexpr int CSIDL_DRIVES = 0x0011;
constexpr int CSIDL_NETWORK = 0x0012;
constexpr int CSIDL_FONTS = 0x0014;
constexpr int CSIDL_APPDATA = 0x001a;
constexpr int CSIDL_LOCAL_APPDATA = 0x001c;
constexpr int CSIDL_MYPICTURES = 0x0027;
constexpr int CSIDL_PROFILE = 0x0028;

// File operations and their flags.
constexpr UINT FO_MOVE = 1;
constexpr UINT FO_COPY = 2;
constexpr UINT FO_DELETE = 3;
constexpr UINT FO_RENAME = 4;
constexpr UINT FOF_MULTIDESTFILES = 0x0001;
constexpr UINT FOF_CONFIRMMOUSE = 0x0002;
constexpr UINT FOF_SILENT = 0x0004;
constexpr UINT FOF_RENAMEONCOLLISION = 0x0008;
constexpr UINT FOF_NOCONFIRMATION = 0x0010;
constexpr UINT FOF_ALLOWUNDO = 0x0040;
constexpr UINT FOF_FILESONLY = 0x0080;
constexpr UINT FOF_SIMPLEPROGRESS = 0x0100;
constexpr UINT FOF_NOCONFIRMMKDIR = 0x0200;
constexpr UINT FOF_NOERRORUI = 0x0400;

// Results of SHFileOperation besides 0 (done).
constexpr int ERROR_FILE_NOT_FOUND = 2;
constexpr int ERROR_ACCESS_DENIED = 5;
constexpr int ERROR_INVALID_PARAMETER = 87;
constexpr int ERROR_ALREADY_EXISTS = 183;
constexpr int ERROR_CANCELLED = 1223;

namespace ui {

// A program start: the program (looked up in PATH when it has no folder)
// and its arguments, in Arguments[0] and after.
struct TLaunch {
    std::vector<std::string> Arguments;
    std::string WorkingDir;
};
// Starts the program detached from this one; false when it cannot start.
using TLauncher = std::function<bool(const TLaunch&)>;
bool Launch(const TLaunch& Launch);
// Tests see program starts instead of running them; nullptr restores.
void SetLauncherForTests(TLauncher Launcher);

// Splits a parameter text into arguments: blanks separate, double quotes
// group (and are removed); nothing else is interpreted.
std::vector<std::string> SplitParameters(const std::string& Parameters);

// Opens File with Operation "open" (or empty) or "explore": a web address
// or a document through the desktop's handler, a program by starting it
// with Parameters as its arguments in Directory. A relative File is looked
// for in Directory. Returns SE_STARTED, or a result of 32 or less.
intptr_t ShellExecute(HWND Wnd, const std::string& Operation, const std::string& File, const std::string& Parameters,
                      const std::string& Directory, int ShowCmd);

// The folder behind a special folder number, without a trailing "/"; made
// when Create is set. False for numbers without a folder here (the network
// and the computer's drives have none).
bool SHGetSpecialFolderPath(HWND Wnd, std::string& Path, int Folder, bool Create);

// A link to a program or document, written as a desktop entry.
struct TShellLink {
    std::string Target;
    std::string Arguments; // as on a command line; double quotes group
    std::string Description;
    std::string WorkingDir;
    std::string IconFile;
};
// The desktop entry that stands for a link file: ".lnk" becomes ".desktop".
std::string DesktopEntryFileName(const std::string& LinkFile);
// Writes the link's desktop entry (a program is started with its arguments,
// anything else is opened with the desktop's handler). False when the file
// cannot be written.
bool CreateShellLink(const TShellLink& Link, const std::string& LinkFile);

// Moves a file or folder into the user's trash, where the desktop can put
// it back. False when that is not possible; the item then stays in place.
bool MoveToTrash(const std::string& Path, std::string* TrashedAs = nullptr);

// Progress of a file operation; the callback answers false to abort.
struct TFileOpProgress {
    std::string Title;
    std::string Current; // the file being worked on
    int64_t Done = 0;    // bytes
    int64_t Total = 0;
};
using TFileOpProgressEvent = std::function<bool(const TFileOpProgress&)>;

struct SHFILEOPSTRUCT {
    HWND Wnd = nullptr;
    UINT Func = FO_COPY;
    // Names of files or folders; the last part of a source may hold the
    // wildcards "*" and "?".
    std::vector<std::string> From;
    // One destination folder or name, or one per source with
    // FOF_MULTIDESTFILES.
    std::vector<std::string> To;
    UINT Flags = 0;
    std::string ProgressTitle;
    // Where progress goes; without one, a progress window shows unless
    // FOF_SILENT is set or dialogs are scripted.
    TFileOpProgressEvent OnProgress;
    bool AnyOperationsAborted = false; // set by the operation
};

// Runs the operation. Returns 0 when every item was done or the user
// declined single items (AnyOperationsAborted then tells), ERROR_CANCELLED
// when the user stopped it, else an error code, shown in a message box
// unless FOF_NOERRORUI is set.
// Existing files are replaced only after confirmation unless
// FOF_NOCONFIRMATION is set; a move never removes a source before its copy
// is complete, and a copy that fails removes its partial file.
int SHFileOperation(SHFILEOPSTRUCT& Op);

} // namespace ui

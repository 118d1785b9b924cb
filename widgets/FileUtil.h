#pragma once
// File and folder functions: copying with progress, moving, deleting by mask,
// clearing a folder tree, file dates and attributes, byte-range locks, long
// and short names; the folder browser, the desktop's file operations (copy,
// move, rename, delete to the trash, with progress and confirmations) and
// links in the user's special folders, kept as desktop entries.
//
// NormalDir, RemoveBackSlash and ValidFileName work on Windows-style names
// ("C:\Bilder\") as pure string functions; every function that touches the
// file system takes native paths and goes through the run-time layer.

#include "platform/rtl/Classes.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/Controls.h"

#include <cstdint>
#include <string>
#include <vector>

class TStrings;

enum TBrowseKind : std::uint8_t { bfFolders, bfComputers };
enum TDialogPosition : std::uint8_t { dpDefault, dpScreenCenter };

// The folder browser. Computers cannot be browsed on this desktop: with
// bfComputers, Execute answers false.
class TBrowseFolderDlg : public TComponent {
    DECLARE_CLASS(TBrowseFolderDlg, TComponent)
public:
    explicit TBrowseFolderDlg(TComponent* AOwner);

    TBrowseKind BrowseKind = bfFolders;
    bool DesktopRoot = true;
    std::string DialogText;
    // The start folder and, after OK, the chosen one (no trailing "/").
    std::string FolderName;
    int HelpContext = 0;
    TDialogPosition Position = dpScreenCenter;
    // Fired as the dialog opens, and when a folder was chosen.
    TNotifyEvent OnInitialized;
    TNotifyEvent OnSelChanged;
    // The name of the last choice.
    const std::string& SelectedName() const { return selectedName_; }

    virtual bool Execute();

private:
    std::string selectedName_;
};

enum TFileOperation : std::uint8_t { foCopy, foDelete, foMove, foRename };
enum TFileOperFlag : std::uint8_t {
    flAllowUndo,
    flConfirmMouse,
    flFilesOnly,
    flMultiDest,
    flNoConfirmation,
    flNoConfirmMkDir,
    flRenameOnCollision,
    flSilent,
    flSimpleProgress,
    flNoErrorUI
};
using TFileOperFlags = TEnumSet<TFileOperFlag>;

// One file operation of the desktop; deleting with flAllowUndo moves to the
// trash.
class TKsFileOperator : public TComponent {
    DECLARE_CLASS(TKsFileOperator, TComponent)
public:
    explicit TKsFileOperator(TComponent* AOwner);

    // Names separated by ";" or "|". A name that itself holds one of them
    // goes through ExecuteOn instead.
    std::string Source;
    std::string Destination;
    TFileOperation Operation = foCopy;
    TFileOperFlags Options{flAllowUndo, flNoConfirmMkDir};
    std::string ProgressTitle;
    bool Aborted() const { return aborted_; }

    // True when the operation succeeded; Aborted tells whether the user
    // stopped any of it.
    virtual bool Execute();
    // The same on lists of names, taken as they are.
    bool ExecuteOn(const std::vector<std::string>& Sources, const std::vector<std::string>& Destinations);

private:
    bool aborted_ = false;
};

// What a copy reports its progress to (a progress bar or gauge); positions
// are byte counts.
class TCopyProgress {
public:
    virtual ~TCopyProgress() = default;
    virtual void SetProgressMax(int64_t value) = 0;
    virtual void SetProgressMin(int64_t value) = 0;
    virtual void SetProgressValue(int64_t value) = 0;
};

namespace FileUtil {

constexpr int CopyBufferSize = 8192;

std::string NormalDir(const std::string& dirName);
std::string RemoveBackSlash(const std::string& dirName);
bool ValidFileName(const std::string& fileName);

bool DirExists(const std::string& name);
void ForceDirectories(const std::string& dir);
// Copies source to destination (into it when it is a folder). Raises
// EFOpenError, EFCreateError, EReadError or EWriteError naming the file; a
// file is never copied onto itself.
void CopyFile(const std::string& fileName, const std::string& destName, TCopyProgress* progress = nullptr);
// With shellDialog the desktop's file operation copies (ShellCopyMove, asking
// before replacing unless read-only files may be overwritten).
void CopyFileEx(const std::string& fileName, const std::string& destName, bool overwriteReadOnly, bool shellDialog,
                TCopyProgress* progress = nullptr);
// True when the file is at its new name and gone from the old one.
bool MoveFile(const std::string& fileName, const std::string& destName);
// With shellDialog the desktop's file operation moves, without asking.
bool MoveFileEx(const std::string& fileName, const std::string& destName, bool shellDialog);
int64_t GetFileSize(const std::string& fileName); // -1 for a folder or a missing file
TDateTime FileDateTime(const std::string& fileName);
bool HasAttr(const std::string& fileName, int attr);
bool DeleteFiles(const std::string& fileMask);
bool DeleteFilesEx(const TStrings& fileMasks);
// Deletes everything below path (and path itself on request). The root
// folder is never touched; a mount point or drive name is never removed.
bool ClearDir(const std::string& path, bool deleteDir);
std::string GetTempDir();
std::string GetWindowsDir();
std::string GetSystemDir();
// Byte-range locks on an open file handle: 0 on success, else errno.
int FileLock(int handle, int64_t offset, int64_t lockSize);
int FileUnlock(int handle, int64_t offset, int64_t lockSize);
// Linux file systems keep one name per file: the "short" and "long" forms
// are the name itself; empty when the file is not found.
std::string ShortToLongFileName(const std::string& shortName);
std::string LongToShortFileName(const std::string& longName);
std::string ShortToLongPath(const std::string& shortName);
std::string LongToShortPath(const std::string& longName);

// Copies or moves (renames within one folder) through the desktop's file
// operation; raises EAbort when it failed or the user stopped it.
void ShellCopyMove(const std::string& fileName, const std::string& destName, bool confirmation, bool move,
                   bool allowUndo);
// The folder browser on folder, which an OK replaces.
bool BrowseDirectory(std::string& folderName, const std::string& dlgText, int helpContext);
bool BrowseComputer(std::string& computerName, const std::string& dlgText, int helpContext);
// A link named displayName in a special folder (CSIDL_STARTUP, ...) that
// opens or starts fileName: a desktop entry "displayName.desktop", which is
// what menus, the desktop and autostart read. Raises Exception when the
// folder or the entry cannot be made.
void CreateFileLink(const std::string& fileName, const std::string& displayName, int folder);
void DeleteFileLink(const std::string& displayName, int folder);

} // namespace FileUtil

#pragma once

// File and path routines of the run-time layer.
//
// Two kinds live here. The file-system routines (FileExists, FindFirst,
// ForceDirectories, ...) work on native paths with "/" as the separator.
// The path-string routines (ExtractFilePath, ChangeFileExt, ...) are pure
// string functions that understand both the native form and names stored by
// Windows: "\" and "/" both separate, "X:" is a drive and "\\server\share" a
// network drive.
//
// The routines live in namespace rtl and are also reachable by their plain
// names, the way the system's code calls them.

#include <cstdint>
#include <memory>
#include <string>

// File attributes as FindFirst reports and filters them.
constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;   // names beginning with "."
constexpr int faSysFile = 0x04;  // devices, sockets, pipes
constexpr int faVolumeID = 0x08; // never reported
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20; // every regular file
constexpr int faAnyFile = 0x3F;

namespace rtl {
struct FindState; // the listing behind a running search
}

struct TSearchRec {
    int32_t Time = 0; // packed DOS local date-time of the last change
    int64_t Size = 0;
    int Attr = 0;
    std::string Name; // file name without folder
    int ExcludeAttr = 0;
    std::shared_ptr<rtl::FindState> FindHandle;
};

namespace rtl {

bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& dirName);

// Packed DOS local date-time of the file's last change (seconds rounded down
// to an even number), -1 when the file is missing or is a folder. Times
// outside 1980-2107 are clamped into that range.
int32_t FileAge(const std::string& fileName);

// Size in bytes, -1 when the file is missing or is a folder.
int64_t FileSizeOf(const std::string& fileName);

// Lists the entries of a folder matching a mask ("folder/*.jpg"). Entries come
// in byte order of their names; a mask without wildcards gives the name spelled
// exactly so first, then its case twins. "." and ".." are never listed, nor a
// link that leads back into a folder of the searched path. Files are always
// listed; hidden, system and folder entries only when their attribute is asked
// for. Returns 0 and fills rec on a match, else an errno value (ENOENT when
// nothing matched). FindNext continues; FindClose frees the listing.
int FindFirst(const std::string& path, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

// Wildcard match of a file name: "*" any run of characters, "?" one
// character, letters compared without case. A mask ending in ".*" also takes
// names without an extension, so "*.*" matches every name.
bool MatchesMask(const std::string& fileName, const std::string& mask);

// Compares two file names without letter case (the letters of Windows-1252).
bool SameFileName(const std::string& a, const std::string& b);

bool DeleteFile(const std::string& fileName);
// Fails when newName exists already: a rename never replaces another file.
bool RenameFile(const std::string& oldName, const std::string& newName);
bool CreateDir(const std::string& dir);
bool RemoveDir(const std::string& dir);
// Creates the folder with all missing parents; true when it exists afterwards.
bool ForceDirectories(const std::string& dir);

// Path strings ("\" and "/" separate; "X:" and "\\server\share" are drives).
std::string ExtractFilePath(const std::string& fileName); // with trailing separator
std::string ExtractFileDir(const std::string& fileName);  // without, except at a root
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFileExt(const std::string& fileName);   // with the dot, "" when none
std::string ExtractFileDrive(const std::string& fileName); // "C:", "\\server\share" or ""
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
// destName relative to the folder of baseName ("C:\a\b\x.txt", "C:\a\c\y.txt"
// gives "..\c\y.txt"); destName itself when the drives differ.
std::string ExtractRelativePath(const std::string& baseName, const std::string& destName);
// Empty stays empty; otherwise a "/" is added when no separator ends the name.
std::string IncludeTrailingPathDelimiter(const std::string& path);
// Removes one trailing separator; a root ("/", "C:\") keeps its own.
std::string ExcludeTrailingPathDelimiter(const std::string& path);

// Native: the absolute form of a name relative to the current folder, with
// "." and ".." folded away (links are not resolved).
std::string ExpandFileName(const std::string& fileName);

} // namespace rtl

using rtl::ChangeFileExt;
using rtl::CreateDir;
using rtl::DeleteFile;
using rtl::DirectoryExists;
using rtl::ExcludeTrailingPathDelimiter;
using rtl::ExpandFileName;
using rtl::ExtractFileDir;
using rtl::ExtractFileDrive;
using rtl::ExtractFileExt;
using rtl::ExtractFileName;
using rtl::ExtractFilePath;
using rtl::ExtractRelativePath;
using rtl::FileAge;
using rtl::FileExists;
using rtl::FindClose;
using rtl::FindFirst;
using rtl::FindNext;
using rtl::ForceDirectories;
using rtl::IncludeTrailingPathDelimiter;
using rtl::RemoveDir;
using rtl::RenameFile;

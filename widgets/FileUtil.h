#pragma once
// File and folder functions: copying with progress, moving, deleting by mask,
// clearing a folder tree, file dates and attributes, byte-range locks, long
// and short names.
//
// NormalDir, RemoveBackSlash and ValidFileName work on Windows-style names
// ("C:\Bilder\") as pure string functions; every function that touches the
// file system takes native paths and goes through the run-time layer.

#include "platform/rtl/DateTime.h"

#include <cstdint>
#include <string>

class TStrings;

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
void CopyFileEx(const std::string& fileName, const std::string& destName, bool overwriteReadOnly, bool shellDialog,
                TCopyProgress* progress = nullptr);
// True when the file is at its new name and gone from the old one.
bool MoveFile(const std::string& fileName, const std::string& destName);
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

} // namespace FileUtil

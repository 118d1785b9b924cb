#include "platform/rtl/Files.h"

namespace rtl {
bool FileExists(const std::string& /*fileName*/) { return false; }
bool DirectoryExists(const std::string& /*dirName*/) { return false; }
int32_t FileAge(const std::string& /*fileName*/) { return 0; }
int64_t FileSizeOf(const std::string& /*fileName*/) { return 0; }
int FindFirst(const std::string& /*path*/, int /*attr*/, TSearchRec& /*rec*/) { return 0; }
int FindNext(TSearchRec& /*rec*/) { return 0; }
void FindClose(TSearchRec& /*rec*/) {  }
bool MatchesMask(const std::string& /*fileName*/, const std::string& /*mask*/) { return false; }
bool SameFileName(const std::string& /*a*/, const std::string& /*b*/) { return false; }
bool DeleteFile(const std::string& /*fileName*/) { return false; }
bool RenameFile(const std::string& /*oldName*/, const std::string& /*newName*/) { return false; }
bool CreateDir(const std::string& /*dir*/) { return false; }
bool RemoveDir(const std::string& /*dir*/) { return false; }
bool ForceDirectories(const std::string& /*dir*/) { return false; }
std::string ExtractFilePath(const std::string& /*fileName*/) { return {}; }
std::string ExtractFileDir(const std::string& /*fileName*/) { return {}; }
std::string ExtractFileName(const std::string& /*fileName*/) { return {}; }
std::string ExtractFileExt(const std::string& /*fileName*/) { return {}; }
std::string ExtractFileDrive(const std::string& /*fileName*/) { return {}; }
std::string ChangeFileExt(const std::string& /*fileName*/, const std::string& /*extension*/) { return {}; }
std::string ExtractRelativePath(const std::string& /*baseName*/, const std::string& /*destName*/) { return {}; }
std::string IncludeTrailingPathDelimiter(const std::string& /*path*/) { return {}; }
std::string ExcludeTrailingPathDelimiter(const std::string& /*path*/) { return {}; }
std::string ExpandFileName(const std::string& /*fileName*/) { return {}; }
}

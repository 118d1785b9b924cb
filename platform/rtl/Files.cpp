#include "platform/rtl/Files.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateTime.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rtl {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Length of the drive at the start of a path string: 2 for "X:", the length
// of "\\server\share" for a network name, else 0. A colon elsewhere is an
// ordinary character of a native name.
size_t DriveLength(const std::string& path)
{
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':')
        return 2;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        size_t i = 2;
        int separatorsSeen = 0;
        for (; i < path.size(); ++i) {
            if (IsSeparator(path[i]) && ++separatorsSeen == 2)
                break;
        }
        return i;
    }
    return 0;
}

// Index of the last character that ends the folder part (a separator or the
// drive's colon), npos when there is none.
size_t LastDelimiter(const std::string& path)
{
    const size_t drive = DriveLength(path);
    for (size_t i = path.size(); i > drive; --i) {
        if (IsSeparator(path[i - 1]))
            return i - 1;
    }
    if (drive == 2)
        return 1;
    return drive == 0 ? std::string::npos : drive - 1;
}

bool IsRoot(const std::string& path)
{
    if (path.size() == 1)
        return IsSeparator(path[0]);
    const size_t drive = DriveLength(path);
    return drive == 2 && path.size() == 3 && IsSeparator(path[2]);
}

// Length of the UTF-8 sequence a lead byte starts, 0 for a byte that starts none.
size_t SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead >> 5) == 0x6)
        return 2;
    if ((lead >> 4) == 0xE)
        return 3;
    if ((lead >> 3) == 0x1E)
        return 4;
    return 0;
}

// Decodes UTF-8 into code points; a byte that starts no valid sequence stands
// for itself, so any byte string can be matched.
std::u32string DecodeUtf8(const std::string& text)
{
    std::u32string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = SequenceLength(lead);
        bool valid = length != 0 && i + length <= text.size();
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (valid) {
            result.push_back(code);
            i += length;
        } else {
            result.push_back(0xDC00 + lead); // a lone surrogate: never a real character
            ++i;
        }
    }
    return result;
}

// Classic wildcard match with one point of return for the last "*": linear in
// practice, never exponential.
bool WildcardMatch(const std::u32string& name, const std::u32string& mask)
{
    size_t n = 0, m = 0;
    size_t starMask = std::u32string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == U'*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == U'?' || mask[m] == name[n])) {
            ++n;
            ++m;
        } else if (starMask != std::u32string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == U'*')
        ++m;
    return m == mask.size();
}

struct FileInfo {
    bool exists = false;
    bool isDirectory = false;
    bool isRegular = false;
    bool isSymlink = false;
    int64_t size = 0;
    time_t modified = 0;
    mode_t mode = 0;
};

// What the name leads to; a dangling link is described by the link itself.
FileInfo Inspect(const std::string& path)
{
    FileInfo info;
    struct stat linkStat { };
    if (::lstat(path.c_str(), &linkStat) != 0)
        return info;
    struct stat targetStat = linkStat;
    info.isSymlink = S_ISLNK(linkStat.st_mode);
    if (info.isSymlink && ::stat(path.c_str(), &targetStat) != 0)
        targetStat = linkStat;
    info.exists = true;
    info.isDirectory = S_ISDIR(targetStat.st_mode);
    info.isRegular = S_ISREG(targetStat.st_mode);
    info.size = targetStat.st_size;
    info.modified = targetStat.st_mtim.tv_sec;
    info.mode = targetStat.st_mode;
    return info;
}

bool StatFollowing(const std::string& path, struct stat& st) { return !path.empty() && ::stat(path.c_str(), &st) == 0; }

int32_t PackedLocalTime(time_t seconds)
{
    struct tm local { };
    if (::localtime_r(&seconds, &local) == nullptr)
        return -1;
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107) // beyond the packing: DateTimeToFileDate clamps
        return DateTimeToFileDate(EncodeDate(year < 1980 ? 1979 : 2108, 1, 1));
    // Leap seconds (tm_sec 60) cannot be encoded; they belong to the minute.
    const TDateTime when = EncodeDate(year, local.tm_mon + 1, local.tm_mday) +
        EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), 0);
    return DateTimeToFileDate(when);
}

int AttributesOf(const std::string& name, const FileInfo& info)
{
    int attr = 0;
    if (info.isDirectory)
        attr |= faDirectory;
    else if (info.isRegular || info.isSymlink)
        attr |= faArchive;
    else
        attr |= faSysFile;
    if (!name.empty() && name[0] == '.')
        attr |= faHidden;
    if ((info.mode & S_IWUSR) == 0)
        attr |= faReadOnly;
    return attr;
}

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

} // namespace

// The names of one folder that match a mask, handed out one by one.
struct FindState {
    std::string folder; // with trailing "/", or "" for the current folder
    std::vector<std::string> names;
    size_t next = 0;
    std::vector<std::string> pathFolders; // real paths of the searched folder and its parents

    // A link to a folder that the searched path already passes through would
    // lead a recursive scan round in circles.
    bool LeadsBack(const std::string& linkPath)
    {
        if (pathFolders.empty())
            CollectPathFolders();
        const std::string target = RealPath(linkPath);
        return !target.empty() && std::find(pathFolders.begin(), pathFolders.end(), target) != pathFolders.end();
    }

private:
    void CollectPathFolders()
    {
        std::string path = ExpandFileName(folder.empty() ? "." : folder);
        for (;;) {
            if (std::string real = RealPath(path); !real.empty())
                pathFolders.push_back(real);
            const std::string parent = ExcludeTrailingPathDelimiter(
                ExtractFilePath(ExcludeTrailingPathDelimiter(path)));
            if (parent.empty() || parent == path)
                break;
            path = parent;
        }
    }
};

bool FileExists(const std::string& fileName)
{
    struct stat st { };
    return StatFollowing(fileName, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& dirName)
{
    struct stat st { };
    return StatFollowing(dirName, st) && S_ISDIR(st.st_mode);
}

int32_t FileAge(const std::string& fileName)
{
    struct stat st { };
    if (!StatFollowing(fileName, st) || S_ISDIR(st.st_mode))
        return -1;
    return PackedLocalTime(st.st_mtim.tv_sec);
}

int64_t FileSizeOf(const std::string& fileName)
{
    struct stat st { };
    if (!StatFollowing(fileName, st) || S_ISDIR(st.st_mode))
        return -1;
    return st.st_size;
}

bool SameFileName(const std::string& a, const std::string& b) { return a == b || AnsiUpperCase(a) == AnsiUpperCase(b); }

bool MatchesMask(const std::string& fileName, const std::string& mask)
{
    const std::u32string name = DecodeUtf8(AnsiUpperCase(fileName));
    const std::u32string pattern = DecodeUtf8(AnsiUpperCase(mask));
    if (WildcardMatch(name, pattern))
        return true;
    // A mask ending in ".*" also takes names without an extension, so "*.*"
    // matches every name.
    const size_t n = pattern.size();
    return n >= 2 && pattern[n - 2] == U'.' && pattern[n - 1] == U'*' && WildcardMatch(name, pattern.substr(0, n - 2));
}

int FindFirst(const std::string& path, int attr, TSearchRec& rec)
{
    FindClose(rec);
    const size_t slash = path.rfind('/');
    auto state = std::make_shared<FindState>();
    state->folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string mask = slash == std::string::npos ? path : path.substr(slash + 1);

    DIR* dir = ::opendir(state->folder.empty() ? "." : state->folder.c_str());
    if (dir == nullptr)
        return errno != 0 ? errno : ENOENT;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && MatchesMask(name, mask))
            state->names.push_back(name);
    }
    ::closedir(dir);
    std::sort(state->names.begin(), state->names.end());
    // A plain name matches its case twins too; the exact one comes first.
    if (mask.find_first_of("*?") == std::string::npos) {
        const auto exact = std::find(state->names.begin(), state->names.end(), mask);
        if (exact != state->names.end())
            std::rotate(state->names.begin(), exact, exact + 1);
    }

    rec.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    rec.FindHandle = std::move(state);
    return FindNext(rec);
}

int FindNext(TSearchRec& rec)
{
    FindState* state = rec.FindHandle.get();
    if (state == nullptr)
        return EBADF;
    while (state->next < state->names.size()) {
        const std::string& name = state->names[state->next++];
        const std::string fullName = state->folder + name;
        const FileInfo info = Inspect(fullName);
        if (!info.exists)
            continue; // removed since the folder was read
        const int entryAttr = AttributesOf(name, info);
        if ((entryAttr & rec.ExcludeAttr) != 0)
            continue;
        if (info.isSymlink && info.isDirectory && state->LeadsBack(fullName))
            continue;
        rec.Name = name;
        rec.Attr = entryAttr;
        rec.Size = info.isDirectory ? 0 : info.size;
        rec.Time = PackedLocalTime(info.modified);
        return 0;
    }
    return ENOENT;
}

void FindClose(TSearchRec& rec) { rec.FindHandle.reset(); }

bool DeleteFile(const std::string& fileName) { return !fileName.empty() && ::unlink(fileName.c_str()) == 0; }

bool RenameFile(const std::string& oldName, const std::string& newName)
{
    if (oldName.empty() || newName.empty())
        return false;
    if (::renameat2(AT_FDCWD, oldName.c_str(), AT_FDCWD, newName.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // The file system cannot refuse to replace by itself; check first.
    struct stat st { };
    if (::lstat(newName.c_str(), &st) == 0)
        return false;
    return std::rename(oldName.c_str(), newName.c_str()) == 0;
}

bool CreateDir(const std::string& dir) { return !dir.empty() && ::mkdir(dir.c_str(), 0777) == 0; }

bool RemoveDir(const std::string& dir) { return !dir.empty() && ::rmdir(dir.c_str()) == 0; }

bool ForceDirectories(const std::string& dir)
{
    const std::string target = ExcludeTrailingPathDelimiter(dir);
    if (target.empty())
        return false;
    // Parents first, from the outermost; each may already exist.
    for (size_t slash = target.find('/', 1); slash != std::string::npos; slash = target.find('/', slash + 1)) {
        const std::string parent = target.substr(0, slash);
        if (!DirectoryExists(parent))
            ::mkdir(parent.c_str(), 0777);
    }
    if (!DirectoryExists(target))
        ::mkdir(target.c_str(), 0777);
    return DirectoryExists(target);
}

std::string ExtractFilePath(const std::string& fileName)
{
    const size_t last = LastDelimiter(fileName);
    return last == std::string::npos ? std::string() : fileName.substr(0, last + 1);
}

std::string ExtractFileDir(const std::string& fileName)
{
    const std::string path = ExtractFilePath(fileName);
    if (path.empty() || !IsSeparator(path.back()) || IsRoot(path))
        return path;
    const std::string withoutSeparator = path.substr(0, path.size() - 1);
    // "\\" of a network name and a run of separators stay whole.
    if (withoutSeparator.empty() || IsSeparator(withoutSeparator.back()))
        return path;
    return withoutSeparator;
}

std::string ExtractFileName(const std::string& fileName)
{
    const size_t last = LastDelimiter(fileName);
    return last == std::string::npos ? fileName : fileName.substr(last + 1);
}

std::string ExtractFileExt(const std::string& fileName)
{
    const std::string name = ExtractFileName(fileName);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ExtractFileDrive(const std::string& fileName) { return fileName.substr(0, DriveLength(fileName)); }

std::string ChangeFileExt(const std::string& fileName, const std::string& extension)
{
    const std::string oldExtension = ExtractFileExt(fileName);
    return fileName.substr(0, fileName.size() - oldExtension.size()) + extension;
}

namespace {

std::vector<std::string> FolderComponents(const std::string& folderPath)
{
    std::vector<std::string> parts;
    std::string current;
    for (size_t i = DriveLength(folderPath); i < folderPath.size(); ++i) {
        if (IsSeparator(folderPath[i])) {
            if (!current.empty())
                parts.push_back(std::move(current));
            current.clear();
        } else {
            current += folderPath[i];
        }
    }
    if (!current.empty())
        parts.push_back(std::move(current));
    return parts;
}

// The separator a path string is written with: Windows names keep "\".
char SeparatorOf(const std::string& preferred, const std::string& fallback)
{
    for (const std::string* text : {&preferred, &fallback}) {
        const size_t at = text->find_first_of("/\\");
        if (at != std::string::npos)
            return (*text)[at];
    }
    return '/';
}

} // namespace

std::string ExtractRelativePath(const std::string& baseName, const std::string& destName)
{
    const std::string basePath = ExtractFilePath(baseName);
    const std::string destPath = ExtractFilePath(destName);
    if (!SameFileName(ExtractFileDrive(basePath), ExtractFileDrive(destPath)))
        return destName;
    const std::vector<std::string> baseParts = FolderComponents(basePath);
    const std::vector<std::string> destParts = FolderComponents(destPath);
    size_t common = 0;
    while (common < baseParts.size() && common < destParts.size() && SameFileName(baseParts[common], destParts[common]))
        ++common;

    const char separator = SeparatorOf(destName, baseName);
    std::string result;
    for (size_t i = common; i < baseParts.size(); ++i)
        result += std::string("..") + separator;
    for (size_t i = common; i < destParts.size(); ++i)
        result += destParts[i] + separator;
    return result + ExtractFileName(destName);
}

std::string IncludeTrailingPathDelimiter(const std::string& path)
{
    if (path.empty() || IsSeparator(path.back()))
        return path;
    return path + '/';
}

std::string ExcludeTrailingPathDelimiter(const std::string& path)
{
    if (path.empty() || !IsSeparator(path.back()) || IsRoot(path))
        return path;
    return path.substr(0, path.size() - 1);
}

std::string ExpandFileName(const std::string& fileName)
{
    if (fileName.empty())
        return fileName;
    std::string path = fileName;
    if (path[0] != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) == nullptr)
            return fileName;
        path = IncludeTrailingPathDelimiter(cwd) + path;
    }
    std::vector<std::string> parts;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += '/' + part;
    // A trailing separator says "folder" and stays; the root is always "/".
    if (result.empty() || path.back() == '/')
        result += '/';
    return result;
}

} // namespace rtl

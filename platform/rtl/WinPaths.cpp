#include "platform/rtl/WinPaths.h"

#include "platform/rtl/Files.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace rtl {

namespace {

bool Exists(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0;
}

// The entry of folder whose name equals wanted up to letter case; the first
// in byte order when several do, "" when none.
std::string FindNameNoCase(const std::string& folder, const std::string& wanted)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return {};
    std::vector<std::string> matches;
    while (const dirent* entry = ::readdir(dir)) {
        if (SameFileName(entry->d_name, wanted))
            matches.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    if (matches.empty())
        return {};
    return *std::min_element(matches.begin(), matches.end());
}

std::string WithSlashes(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string WithoutLeadingSlashes(const std::string& path)
{
    const size_t first = path.find_first_not_of('/');
    return first == std::string::npos ? std::string() : path.substr(first);
}

// The native names to try for a stored name, most literal first.
std::vector<std::string> Candidates(const std::string& stored, const std::string& baseDir)
{
    const std::string base = baseDir.empty() ? std::string() : IncludeTrailingPathDelimiter(baseDir);
    const std::string drive = ExtractFileDrive(stored);
    const std::string path = WithSlashes(stored.substr(drive.size()));
    const std::string rest = WithoutLeadingSlashes(path);

    std::vector<std::string> candidates;
    if (!drive.empty()) {
        candidates.push_back("/" + rest);
    } else if (!path.empty() && path[0] == '/') {
        candidates.push_back(path);
    } else {
        candidates.push_back(base + path);
        return candidates;
    }
    if (!base.empty())
        candidates.push_back(base + rest);
    return candidates;
}

} // namespace

std::string ResolveFileCase(const std::string& path)
{
    if (path.empty())
        return {};
    if (Exists(path))
        return path;

    std::string resolved = path[0] == '/' ? "/" : "";
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty())
            continue;
        std::string next = resolved + part;
        if (!Exists(next)) {
            const std::string match = FindNameNoCase(resolved, part);
            if (match.empty())
                return {};
            next = resolved + match;
        }
        resolved = next + "/";
    }
    // The trailing "/" stays only where the caller wrote one.
    if (path.back() != '/' && resolved.size() > 1)
        resolved.pop_back();
    return resolved;
}

std::string ResolveStoredPath(const std::string& stored, const std::string& baseDir)
{
    if (stored.empty())
        return {};
    for (const std::string& candidate : Candidates(stored, baseDir)) {
        if (std::string found = ResolveFileCase(candidate); !found.empty())
            return found;
    }
    return {};
}

} // namespace rtl

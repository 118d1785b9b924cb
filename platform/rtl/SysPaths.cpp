#include "platform/rtl/SysPaths.h"

#include "platform/rtl/Files.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace rtl {

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string HomeDir()
{
    std::string home = Environment("HOME");
    if (home.empty()) {
        if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
            home = user->pw_dir;
    }
    return IncludeTrailingPathDelimiter(home.empty() ? "/tmp" : home);
}

// An XDG base folder: the variable when it holds an absolute path (relative
// ones are invalid by the standard), else the default below the home folder.
std::string XdgDir(const char* variable, const char* defaultBelowHome)
{
    const std::string value = Environment(variable);
    if (!value.empty() && value[0] == '/')
        return IncludeTrailingPathDelimiter(value);
    return HomeDir() + defaultBelowHome;
}

} // namespace

std::string ProgramFile()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

std::string ProgramDir() { return ExtractFilePath(ProgramFile()); }

std::string ConfigDir() { return XdgDir("XDG_CONFIG_HOME", ".config/") + "vistelo/"; }

std::string DataDir() { return XdgDir("XDG_DATA_HOME", ".local/share/") + "vistelo/"; }

std::string TempDir()
{
    const std::string temp = Environment("TMPDIR");
    return IncludeTrailingPathDelimiter(!temp.empty() && temp[0] == '/' ? temp : "/tmp");
}

std::string WindowsDir()
{
    const std::string programDir = ProgramDir();
    if (IsWritableDir(programDir))
        return programDir;
    const std::string fallback = DataDir() + "windows/";
    ForceDirectories(fallback);
    return fallback;
}

bool IsWritableDir(const std::string& dir)
{
    return !dir.empty() && DirectoryExists(dir) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

} // namespace rtl

#include "platform/rtl/AtomicFile.h"

#include "platform/rtl/Exceptions.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace rtl {

namespace {

// The file a link points at, so saving through a link keeps the link.
std::string FollowLinks(const std::string& path)
{
    struct stat info { };
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    // A dangling link: write the file it names.
    char target[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0)
        return path;
    const std::string link(target, static_cast<size_t>(length));
    if (link.front() == '/')
        return link;
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ErrorText(const std::string& what, const std::string& path, int error)
{
    return what + " \"" + path + "\": " + std::strerror(error);
}

// A new file beside the target, named after it; its name is returned in
// tempPath. It is created with the bits 0666 less the process's umask.
int CreateTempBeside(const std::string& target, std::string& tempPath)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0;; ++attempt) {
        tempPath = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        const int error = errno;
        if (error != EEXIST || attempt == 100)
            throw EFCreateError(ErrorText("Cannot create file", target, error), error);
    }
}

// 0 when every byte was written, else the errno of the failure.
int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return 0;
}

// The new file gets the permission bits of the one it replaces. Returns 0
// or an errno value.
int TakeOverMode(int fd, const std::string& target)
{
    struct stat info { };
    if (stat(target.c_str(), &info) != 0)
        return 0;
    return fchmod(fd, info.st_mode & 07777) == 0 ? 0 : errno;
}

// Fills the open temporary file and closes it; 0 or the errno of the failure.
int FillAndClose(int fd, const std::string& target, std::string_view bytes)
{
    int error = TakeOverMode(fd, target);
    if (error == 0)
        error = WriteAll(fd, bytes);
    if (error == 0 && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

void SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return; // the rename is done; only its durability across a crash is weaker
    fsync(fd);
    close(fd);
}

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    const std::string target = FollowLinks(path);
    std::string tempPath;
    const int fd = CreateTempBeside(target, tempPath);
    if (const int error = FillAndClose(fd, target, bytes); error != 0) {
        unlink(tempPath.c_str());
        throw EWriteError(ErrorText("Cannot write file", target, error), error);
    }
    if (rename(tempPath.c_str(), target.c_str()) != 0) {
        const int error = errno;
        unlink(tempPath.c_str());
        throw EWriteError(ErrorText("Cannot replace file", target, error), error);
    }
    SyncFolder(FolderOf(target));
}

} // namespace rtl

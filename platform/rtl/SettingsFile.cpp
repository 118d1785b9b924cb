#include "platform/rtl/SettingsFile.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exceptions.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rtl {

namespace {

long long Nanoseconds(const timespec& time)
{
    return static_cast<long long>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

std::string ErrorText(const std::string& what, const std::string& path, int error)
{
    return what + " \"" + path + "\": " + std::strerror(error);
}

} // namespace

WatchedFile::WatchedFile(std::string path, size_t maxBytes) : path_(std::move(path)), maxBytes_(maxBytes) { }

WatchedFile::~WatchedFile() { Forget(); }

void WatchedFile::Forget()
{
    if (heldFd_ >= 0)
        close(heldFd_);
    heldFd_ = -1;
    stamp_.reset();
    known_ = false;
}

WatchedFile::Stamp WatchedFile::StampOf(const struct stat& info)
{
    return Stamp{static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino),
                 static_cast<long long>(info.st_size), Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim)};
}

std::optional<WatchedFile::Stamp> WatchedFile::StampOfPath(const std::string& path)
{
    struct stat info { };
    if (stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return StampOf(info);
}

bool WatchedFile::Changed() const { return !known_ || StampOfPath(path_) != stamp_; }

std::optional<std::string> WatchedFile::Read()
{
    Forget();
    const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) {
            known_ = true;
            return std::nullopt;
        }
        throw EFOpenError(ErrorText("Cannot open file", path_, error), error);
    }
    heldFd_ = fd;
    struct stat info { };
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISREG(info.st_mode) ? errno : EISDIR;
        Forget();
        throw EReadError(ErrorText("Cannot read file", path_, error), error);
    }
    if (static_cast<unsigned long long>(info.st_size) > maxBytes_) {
        Forget();
        throw EReadError("File \"" + path_ + "\" is too large to be a settings file", EFBIG);
    }
    std::string bytes(static_cast<size_t>(info.st_size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) { // the file shrank while being read, or an error
            const int error = got < 0 ? errno : EIO;
            Forget();
            throw EReadError(ErrorText("Cannot read file", path_, error), error);
        }
        done += static_cast<size_t>(got);
    }
    stamp_ = StampOf(info);
    known_ = true;
    return bytes;
}

void WatchedFile::Write(std::string_view bytes)
{
    Forget();
    WriteFileAtomically(path_, bytes);
    // Hold the new version so its inode stays ours, and remember its stamp.
    heldFd_ = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info { };
    if (heldFd_ < 0 || fstat(heldFd_, &info) != 0) {
        Forget(); // unknown: the next use reads the file again
        return;
    }
    stamp_ = StampOf(info);
    known_ = true;
}

std::vector<std::string_view> SplitSettingsLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace rtl

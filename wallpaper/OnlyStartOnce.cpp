#include "wallpaper/OnlyStartOnce.h"

#include "platform/rtl/SysPaths.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace OnlyStartOnce {

std::string LockFileName()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/')
        return std::string(runtime) + "/" + InstanceName + ".lock";
    return rtl::TempDir() + InstanceName + "-" + std::to_string(::getuid()) + ".lock";
}

TInstanceLock::TInstanceLock(const std::string& FileName)
{
    const int fd = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        otherRuns_ = errno == EWOULDBLOCK;
        ::close(fd);
        return;
    }
    fd_ = fd;
}

TInstanceLock::~TInstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace OnlyStartOnce

#pragma once

// One running wallpaper program per user: a lock on a file named after the
// program's instance name in the user's runtime folder. The system drops
// the lock with the process, so a killed instance never blocks the next.

#include <string>

namespace OnlyStartOnce {

inline constexpr const char* InstanceName = "Quendrix 3.5";

// The lock file: $XDG_RUNTIME_DIR, else the temporary folder, then the
// instance name with ".lock" (and the user's id outside the runtime folder,
// which is the user's own).
std::string LockFileName();

// Holds the lock while it lives.
class TInstanceLock {
public:
    explicit TInstanceLock(const std::string& FileName);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    bool Held() const { return fd_ >= 0; }
    // True when another instance holds the lock. A lock file that cannot be
    // made blocks nothing: the program then runs without the guard.
    bool OtherInstanceRuns() const { return otherRuns_; }

private:
    int fd_ = -1;
    bool otherRuns_ = false;
};

} // namespace OnlyStartOnce

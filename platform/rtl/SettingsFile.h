#pragma once

// What the settings files (ini files, the registry file) share: the file
// itself, watched for changes by other programs, and the rules of its text.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct stat;

namespace rtl {

// A settings file that several programs read and write: it is read whole,
// and a cheap check tells whether it changed on the disk since. The file
// version last read is kept open, so its inode cannot be reused by a later
// save and a replaced file is always noticed.
class WatchedFile {
public:
    WatchedFile(std::string path, size_t maxBytes);
    ~WatchedFile();

    WatchedFile(const WatchedFile&) = delete;
    WatchedFile& operator=(const WatchedFile&) = delete;

    const std::string& Path() const { return path_; }

    // True when the file differs from the version last read or written (or
    // nothing was read yet).
    bool Changed() const;

    // The whole file, or nullopt when it does not exist. Raises EFOpenError
    // when it cannot be opened and EReadError when it cannot be read or is
    // larger than maxBytes.
    std::optional<std::string> Read();

    // Saves the bytes atomically (rtl::WriteFileAtomically) and takes the new
    // file as the version last seen.
    void Write(std::string_view bytes);

private:
    struct Stamp {
        unsigned long long device = 0, inode = 0;
        long long size = -1, modifiedNs = 0, changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp StampOf(const struct stat& info);
    static std::optional<Stamp> StampOfPath(const std::string& path);
    void Forget();

    std::string path_;
    size_t maxBytes_;
    int heldFd_ = -1;            // the version last read, kept open
    std::optional<Stamp> stamp_; // its stamp; nullopt: missing when last seen
    bool known_ = false;         // false until the file was first read
};

// The lines of a text, split at CR LF, LF or a lone CR; a final line break
// ends the last line rather than starting an empty one.
std::vector<std::string_view> SplitSettingsLines(std::string_view text);

// The text without the blanks (spaces, tabs) around it.
std::string_view TrimBlanks(std::string_view text);

} // namespace rtl

#include "platform/rtl/Streams.h"

#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void CheckOrigin(uint16_t origin)
{
    if (origin != soFromBeginning && origin != soFromCurrent && origin != soFromEnd)
        throw EInOutError("Invalid seek origin " + std::to_string(origin));
}

// New position for a seek over a stream of `size` bytes now at `current`.
int64_t SeekTarget(int64_t offset, uint16_t origin, int64_t current, int64_t size)
{
    CheckOrigin(origin);
    const int64_t base = origin == soFromCurrent ? current : origin == soFromEnd ? size : 0;
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0)
        throw EInOutError("Invalid stream position " + std::to_string(target));
    return target;
}

// Repeats a partial read or write, transfer(offset, count), until `count`
// bytes have moved or the file ends. Returns the bytes moved, -1 with errno
// set when the system fails.
template <typename Transfer> int64_t TransferAll(int64_t count, Transfer transfer)
{
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = transfer(done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

} // namespace

// ----------------------------------------------------------------- TStream

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError("Stream write error");
}

int64_t TStream::Position() { return Seek(0, soFromCurrent); }

void TStream::SetPosition(int64_t position) { Seek(position, soFromBeginning); }

int64_t TStream::Size()
{
    const int64_t position = Seek(0, soFromCurrent);
    const int64_t size = Seek(0, soFromEnd);
    Seek(position, soFromBeginning);
    return size;
}

void TStream::SetSize(int64_t) { throw EInOutError("Stream size cannot be changed"); }

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::array<uint8_t, 64 * 1024> buffer;
    for (int64_t left = count; left > 0;) {
        const int64_t chunk = std::min<int64_t>(left, buffer.size());
        source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        left -= chunk;
    }
    return count;
}

// ------------------------------------------------------------- TFileStream

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName)
{
    const bool create = mode == fmCreate;
    int flags = O_CLOEXEC;
    if (create)
        flags |= O_RDWR | O_CREAT | O_TRUNC;
    else if ((mode & 0x3) == fmOpenWrite)
        flags |= O_WRONLY;
    else if ((mode & 0x3) == fmOpenReadWrite)
        flags |= O_RDWR;
    else
        flags |= O_RDONLY;

    handle_ = ::open(fileName.c_str(), flags, 0666);
    int error = errno;
    struct stat info { };
    if (handle_ >= 0 && ::fstat(handle_, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(handle_);
        handle_ = -1;
        error = EISDIR;
    }
    if (handle_ < 0) {
        if (create)
            throw EFCreateError(Failure("Cannot create file", error), error);
        throw EFOpenError(Failure("Cannot open file", error), error);
    }
}

TFileStream::~TFileStream()
{
    if (handle_ >= 0)
        ::close(handle_);
}

std::string TFileStream::Failure(const char* what, int error) const
{
    return std::string(what) + " \"" + fileName_ + "\". " + std::strerror(error);
}

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    char* bytes = static_cast<char*>(buffer);
    const int64_t done = TransferAll(count, [&](int64_t at, size_t n) { return ::read(handle_, bytes + at, n); });
    if (done < 0) {
        const int error = errno;
        throw EReadError(Failure("Cannot read file", error), error);
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    const char* bytes = static_cast<const char*>(buffer);
    const int64_t done = TransferAll(count, [&](int64_t at, size_t n) { return ::write(handle_, bytes + at, n); });
    if (done < 0) {
        const int error = errno;
        throw EWriteError(Failure("Cannot write file", error), error);
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, uint16_t origin)
{
    CheckOrigin(origin);
    const int whence = origin == soFromCurrent ? SEEK_CUR : origin == soFromEnd ? SEEK_END : SEEK_SET;
    const off_t position = ::lseek(handle_, static_cast<off_t>(offset), whence);
    if (position < 0) {
        const int error = errno;
        throw EInOutError(Failure("Cannot seek in file", error), error);
    }
    return position;
}

void TFileStream::SetSize(int64_t newSize)
{
    if (newSize < 0)
        throw EInOutError("Invalid stream size " + std::to_string(newSize));
    if (::ftruncate(handle_, static_cast<off_t>(newSize)) != 0) {
        const int error = errno;
        throw EWriteError(Failure("Cannot set the size of file", error), error);
    }
    if (Position() > newSize)
        SetPosition(newSize);
}

// ----------------------------------------------------- TCustomMemoryStream

void TCustomMemoryStream::SetPointer(const uint8_t* memory, int64_t size)
{
    memory_ = memory;
    size_ = size;
}

int64_t TCustomMemoryStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || position_ >= size_)
        return 0;
    const int64_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, memory_ + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, uint16_t origin)
{
    position_ = SeekTarget(offset, origin, position_, size_);
    return position_;
}

void TCustomMemoryStream::SaveToStream(TStream& stream) const { stream.WriteBuffer(memory_, size_); }

void TCustomMemoryStream::SaveToFile(const std::string& fileName) const
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

// ----------------------------------------------------------- TMemoryStream

void TMemoryStream::SetSize(int64_t newSize)
{
    if (newSize < 0)
        throw EInOutError("Invalid stream size " + std::to_string(newSize));
    if (newSize > kMaxSize)
        throw EOutOfMemory("Out of memory");
    try {
        buffer_.resize(static_cast<std::size_t>(newSize));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    } catch (const std::length_error&) {
        throw EOutOfMemory("Out of memory");
    }
    SetPointer(buffer_.data(), newSize);
    if (CurrentPosition() > newSize)
        MoveTo(newSize);
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const int64_t position = CurrentPosition();
    int64_t end = 0;
    if (__builtin_add_overflow(position, count, &end) || end > kMaxSize)
        throw EOutOfMemory("Out of memory");
    if (end > MemorySize())
        SetSize(end);
    std::memcpy(buffer_.data() + position, buffer, static_cast<size_t>(count));
    MoveTo(end);
    return count;
}

void TMemoryStream::Clear()
{
    buffer_.clear();
    buffer_.shrink_to_fit();
    SetPointer(nullptr, 0);
    MoveTo(0);
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    const int64_t size = stream.Size();
    SetSize(size);
    stream.ReadBuffer(buffer_.data(), size);
    MoveTo(0);
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

// ----------------------------------------------------------- TStringStream

TStringStream::TStringStream(std::string_view data)
{
    WriteString(data);
    SetPosition(0);
}

std::string TStringStream::DataString() const
{
    return std::string(reinterpret_cast<const char*>(Memory()), static_cast<std::size_t>(MemorySize()));
}

std::string TStringStream::ReadString(int64_t count)
{
    const int64_t available = std::max<int64_t>(0, MemorySize() - CurrentPosition());
    std::string out(static_cast<std::size_t>(std::clamp<int64_t>(count, 0, available)), '\0');
    Read(out.data(), static_cast<int64_t>(out.size()));
    return out;
}

void TStringStream::WriteString(std::string_view text) { WriteBuffer(text.data(), static_cast<int64_t>(text.size())); }

// --------------------------------------------------------- TResourceStream

TResourceStream::TResourceStream(HMODULE instance, std::string_view name, std::string_view type)
{
    const auto resource = rtl::FindResource(instance, type, name);
    if (!resource)
        throw EResNotFound("Resource " + std::string(name) + " not found");
    SetPointer(resource->data(), static_cast<int64_t>(resource->size()));
}

int64_t TResourceStream::Write(const void*, int64_t)
{
    throw EWriteError("Can't write to a read-only resource stream");
}

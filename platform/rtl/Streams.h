#pragma once

// Byte streams: the abstract TStream with its buffer and copy helpers, and the
// file, memory, string and resource streams built on it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Resources.h"

// Seek origins.
inline constexpr uint16_t soFromBeginning = 0;
inline constexpr uint16_t soFromCurrent = 1;
inline constexpr uint16_t soFromEnd = 2;

// TFileStream modes: one access mode, optionally or-ed with a share flag.
// fmCreate has every bit set, so a share flag added to it changes nothing.
inline constexpr uint16_t fmCreate = 0xFFFF;
inline constexpr uint16_t fmOpenRead = 0x0000;
inline constexpr uint16_t fmOpenWrite = 0x0001;
inline constexpr uint16_t fmOpenReadWrite = 0x0002;
// Share flags are accepted for compatibility; POSIX files are not locked by them.
inline constexpr uint16_t fmShareCompat = 0x0000;
inline constexpr uint16_t fmShareExclusive = 0x0010;
inline constexpr uint16_t fmShareDenyWrite = 0x0020;
inline constexpr uint16_t fmShareDenyRead = 0x0030;
inline constexpr uint16_t fmShareDenyNone = 0x0040;

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    // Read and Write transfer up to count bytes and return how many they did.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Returns the new position. A position before the start raises
    // EInOutError; one past the end is allowed (a later write fills the gap
    // with zeros).
    virtual int64_t Seek(int64_t offset, uint16_t origin) = 0;

    // Transfer exactly count bytes or raise EReadError / EWriteError.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);

    int64_t Position();
    void SetPosition(int64_t position);
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize);

    // Copies count bytes from the source's position; count 0 copies the whole
    // source from its start. Returns the number of bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

class TFileStream : public TStream {
public:
    // Raises EFCreateError (fmCreate) or EFOpenError with the file name and
    // the system's reason.
    TFileStream(const std::string& fileName, uint16_t mode);
    ~TFileStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, uint16_t origin) override;
    void SetSize(int64_t newSize) override;

    const std::string& FileName() const { return fileName_; }
    int Handle() const { return handle_; }

private:
    std::string Failure(const char* what, int error) const;

    std::string fileName_;
    int handle_ = -1;
};

// A stream over a block of memory it does not own; the base of the memory and
// resource streams.
class TCustomMemoryStream : public TStream {
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, uint16_t origin) override;
    int64_t Size() override { return size_; }

    const uint8_t* Memory() const { return memory_; }

    void SaveToStream(TStream& stream) const;
    void SaveToFile(const std::string& fileName) const;

protected:
    void SetPointer(const uint8_t* memory, int64_t size);
    int64_t CurrentPosition() const { return position_; }
    int64_t MemorySize() const { return size_; }
    void MoveTo(int64_t position) { position_ = position; }

private:
    const uint8_t* memory_ = nullptr;
    int64_t size_ = 0;
    int64_t position_ = 0;
};

// A growing stream in memory. Memory() stays valid until the next change of
// size. Like the platform's memory streams it holds less than 2 GiB; larger
// sizes raise EOutOfMemory before anything is allocated.
class TMemoryStream : public TCustomMemoryStream {
public:
    static constexpr int64_t kMaxSize = 0x7FFFFFFF;

    using TCustomMemoryStream::Memory;
    uint8_t* Memory() { return buffer_.data(); }

    int64_t Write(const void* buffer, int64_t count) override;
    // Raises EOutOfMemory when the memory cannot be had.
    void SetSize(int64_t newSize) override;
    void Clear();

    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);

private:
    std::vector<uint8_t> buffer_;
};

// A memory stream whose bytes read back as a string.
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(std::string_view data = {});

    std::string DataString() const;
    // Up to count bytes from the position on.
    std::string ReadString(int64_t count);
    void WriteString(std::string_view text);
};

// A read-only stream over a resource compiled into a module (see Resources.h).
class TResourceStream : public TCustomMemoryStream {
public:
    // Raises EResNotFound when the module holds no such resource.
    TResourceStream(HMODULE instance, std::string_view name, std::string_view type);

    // Raises EWriteError: resources cannot be changed.
    int64_t Write(const void* buffer, int64_t count) override;
};

#pragma once

// The chunk container behind every file the system writes for itself: a
// 32-byte header ("ZOSF") followed by chunks, each opened by a 12-byte header
// ("CHNK", id, length including those 12 bytes). Readers walk the chunks by
// the count in the header and step over every id they do not know, so files
// with newer chunks stay readable.
//
// Nothing read from a file is trusted: every count and length is checked
// against the bytes the file still holds before anything is allocated, and a
// damaged file raises EZOFileError (-8 for a short or impossible read).

#include "platform/rtl/Exceptions.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Open modes of the container.
constexpr std::int32_t zoClosed = 0; // closed, or failed to open
constexpr std::int32_t zoCreate = 1; // create or truncate, then write
constexpr std::int32_t zoRead = 2;   // open an existing file read-only
constexpr std::int32_t zoUpdate = 3; // open an existing file for reading and writing

// Error codes; error_message() gives their German texts.
constexpr std::int32_t zoErrNone = 0;
constexpr std::int32_t zoErrUnknownMode = -1;
constexpr std::int32_t zoErrCannotOpen = -2;
constexpr std::int32_t zoErrNotFound = -3;
constexpr std::int32_t zoErrNoZOSF = -4;
constexpr std::int32_t zoErrBadChunkHeader = -5;
constexpr std::int32_t zoErrWrongFormat = -6;
constexpr std::int32_t zoErrCannotCreate = -7;
constexpr std::int32_t zoErrRead = -8;
constexpr std::int32_t zoErrWrite = -9;

// Header value the container puts at offset 8 of a header it creates.
constexpr std::int32_t zoDefaultHeaderValue = 65537;
// Id of the container's own copyright chunk.
constexpr std::int32_t zoCopyrightChunkId = 1;
// Size of the file header and of a chunk header on disk.
constexpr std::int32_t zoFileHeaderSize = 32;
constexpr std::int32_t zoChunkHeaderSize = 12;

// The 32-byte file header, in file order.
struct s_zofile_header {
    std::array<char, 4> magic{'Z', 'O', 'S', 'F'};
    std::int32_t unused = 0;
    std::int32_t headervalue = zoDefaultHeaderValue; // each file kind puts its own version here
    std::int32_t format = 0;                         // the file kind (1281 show, 1282 show list, ...)
    std::int32_t chunkcount = 0;
    std::int32_t fileformatversion = 0; // layout version of the file kind; readers branch on it
    std::array<std::int32_t, 2> reserved{};
};

// The 12-byte chunk header; length counts the header itself.
struct s_chunk_header {
    std::array<char, 4> magic{'C', 'H', 'N', 'K'};
    std::int32_t id = 0;
    std::int32_t length = 0;
};

// The three texts of the container's copyright chunk (id 1).
struct s_copyright_information {
    std::string title;
    std::string author;
    std::string copyright;
};

// A failure while working on a container file; the message names the file.
class EZOFileError : public Exception {
public:
    EZOFileError(std::string fileName, const std::string& text);

    std::string FileName;
};

class c_zofile {
public:
    // Opens or creates fileName in one of the modes above. Failure raises
    // EZOFileError (-1 unknown mode, -2/-3 open, -4/-8 header, -7 create).
    c_zofile(std::string fileName, std::int32_t openMode);
    // Never throws: a failure to write is swallowed here.
    virtual ~c_zofile();

    c_zofile(const c_zofile&) = delete;
    c_zofile& operator=(const c_zofile&) = delete;

    // Rewrites the header when chunks were written (mode 3), writes out what
    // is still buffered and closes the file. Writes are buffered, so a writer
    // learns of a failed write (-9) only here or earlier: call close() before
    // reporting success. The file is closed either way; calling it again
    // does nothing.
    void close();

    void set_format(std::int32_t id);
    void set_fileformatversion(std::int32_t version);

    void write_header();
    void read_header();

    // Byte offset in the file; -1 when closed.
    std::int64_t get_file_position() const;
    void set_file_position(std::int64_t position);
    void Skip(std::int64_t count);
    // Size of the file in bytes; -1 when closed.
    std::int64_t get_file_size() const;
    // Bytes from the current position to the end of the file (0 when closed or past the end).
    std::int64_t bytes_left() const;

    void read_chunk_header(s_chunk_header& chunkHeader);
    void write_chunk_header(std::int32_t id, std::int32_t length);
    // Writes a placeholder chunk header and returns where it starts.
    std::int64_t write_dummy_chunk_header();
    // Length of the chunk that started at start, up to the current position.
    std::int32_t get_length(std::int64_t start) const;
    // Counts one completed chunk.
    void write_chunk();

    void write_int(std::int32_t value);
    std::int32_t read_int();
    void write_bool(bool value);
    bool read_bool();
    void write_data(const void* buffer, std::int32_t count);
    void read_data(void* buffer, std::int32_t count);
    // Reads count raw bytes, checked against the bytes the file holds before
    // the buffer is allocated.
    std::vector<std::uint8_t> read_bytes(std::int32_t count);
    // Text is UTF-8 inside; on disk Windows-1252 where it fits, otherwise the
    // UTF-8 byte-order mark and UTF-8 (rtl::EncodeFileText).
    void write_string(const std::string& text);
    std::string read_string();
    // Text is UTF-8 inside; on disk a count of UTF-16 units and the units.
    void write_widestring(const std::string& text);
    std::string read_widestring();

    void write_copyright_chunk(const s_copyright_information& info);
    void read_copyright_chunk(s_copyright_information& info);

    [[noreturn]] void error(std::int32_t code) const;
    [[noreturn]] void user_error(std::int32_t code) const;
    static std::string error_message(std::int32_t code);

    std::int32_t mode = zoClosed;
    std::string filename;
    std::int32_t chunkcount = 0;
    s_zofile_header header;

private:
    class BufferedFile;

    void open_existing(std::int32_t openMode);
    void create_new();
    void write_raw(const void* buffer, std::int64_t count);
    void read_raw(void* buffer, std::int64_t count);
    std::int32_t read_count(std::int64_t unitSize);

    std::unique_ptr<BufferedFile> file;
    std::int64_t copyright_chunk_start = 0;
};

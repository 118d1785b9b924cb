#include "core/ZOFile.h"

#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

constexpr std::array<char, 4> chunkMagic{'C', 'H', 'N', 'K'};

std::array<std::uint8_t, zoFileHeaderSize> EncodeHeader(const s_zofile_header& header)
{
    std::array<std::uint8_t, zoFileHeaderSize> bytes{};
    std::memcpy(bytes.data(), header.magic.data(), 4);
    rtl::PutLE32(&bytes[4], header.unused);
    rtl::PutLE32(&bytes[8], header.headervalue);
    rtl::PutLE32(&bytes[12], header.format);
    rtl::PutLE32(&bytes[16], header.chunkcount);
    rtl::PutLE32(&bytes[20], header.fileformatversion);
    rtl::PutLE32(&bytes[24], header.reserved[0]);
    rtl::PutLE32(&bytes[28], header.reserved[1]);
    return bytes;
}

s_zofile_header DecodeHeader(const std::array<std::uint8_t, zoFileHeaderSize>& bytes)
{
    s_zofile_header header;
    std::memcpy(header.magic.data(), bytes.data(), 4);
    header.unused = rtl::GetLE32s(&bytes[4]);
    header.headervalue = rtl::GetLE32s(&bytes[8]);
    header.format = rtl::GetLE32s(&bytes[12]);
    header.chunkcount = rtl::GetLE32s(&bytes[16]);
    header.fileformatversion = rtl::GetLE32s(&bytes[20]);
    header.reserved = {rtl::GetLE32s(&bytes[24]), rtl::GetLE32s(&bytes[28])};
    return header;
}

// Recodes text between two encodings of iconv; a sequence the source
// encoding does not allow becomes U+FFFD (given in the target encoding), one
// source unit at a time.
std::string Recode(std::string_view text, const char* from, const char* to, std::size_t sourceUnit,
                   std::string_view replacement)
{
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        throw Exception(std::string("No conversion from ") + from + " to " + to);
    std::string result;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
        result.append(buffer, static_cast<std::size_t>(out - buffer));
        if (converted == static_cast<std::size_t>(-1) && errno != E2BIG) {
            const std::size_t skip = std::min(sourceUnit, inLeft);
            in += skip;
            inLeft -= skip;
            result += replacement;
        }
    }
    iconv_close(converter);
    return result;
}

} // namespace

// The file behind a container, with a read-ahead cache and a write-behind
// buffer: containers are read and written in many small fields, and one
// system call per field would dominate the time of a large show.
class c_zofile::BufferedFile {
public:
    explicit BufferedFile(std::unique_ptr<TFileStream> stream) : stream_(std::move(stream)), size_(stream_->Size()) { }

    std::int64_t Position() const { return position_; }
    void Seek(std::int64_t position) { position_ = position; }
    std::int64_t Size() const { return pending_.empty() ? size_ : std::max(size_, pendingStart_ + Length(pending_)); }

    // False when the file cannot give all count bytes.
    bool Read(void* buffer, std::int64_t count)
    {
        if (!Flush())
            return false;
        if (count <= 0)
            return count == 0;
        if (position_ > size_ || count > size_ - position_)
            return false;
        auto* target = static_cast<std::uint8_t*>(buffer);
        if (!Cached(position_, count)) {
            if (count >= cacheSize)
                return ReadDirect(target, count);
            if (!FillCache())
                return false;
        }
        std::memcpy(target, cache_.data() + (position_ - cacheStart_), static_cast<std::size_t>(count));
        position_ += count;
        return true;
    }

    bool Write(const void* buffer, std::int64_t count)
    {
        if (count <= 0)
            return count == 0;
        cache_.clear();
        if (!pending_.empty() && position_ != pendingStart_ + Length(pending_) && !Flush())
            return false;
        if (pending_.empty())
            pendingStart_ = position_;
        const auto* source = static_cast<const std::uint8_t*>(buffer);
        pending_.insert(pending_.end(), source, source + count);
        position_ += count;
        return Length(pending_) < flushSize || Flush();
    }

    // Writes out what is buffered; false when that fails (the bytes are dropped).
    bool Flush()
    {
        if (pending_.empty())
            return true;
        std::vector<std::uint8_t> bytes;
        bytes.swap(pending_);
        try {
            stream_->Seek(pendingStart_, soFromBeginning);
            stream_->WriteBuffer(bytes.data(), Length(bytes));
        } catch (const Exception&) {
            return false;
        }
        size_ = std::max(size_, pendingStart_ + Length(bytes));
        return true;
    }

private:
    static constexpr std::int64_t cacheSize = 64 * 1024;
    static constexpr std::int64_t flushSize = 64 * 1024;

    static std::int64_t Length(const std::vector<std::uint8_t>& bytes)
    {
        return static_cast<std::int64_t>(bytes.size());
    }

    bool Cached(std::int64_t from, std::int64_t count) const
    {
        return !cache_.empty() && from >= cacheStart_ && from + count <= cacheStart_ + Length(cache_);
    }

    bool ReadDirect(std::uint8_t* target, std::int64_t count)
    {
        try {
            stream_->Seek(position_, soFromBeginning);
            stream_->ReadBuffer(target, count);
        } catch (const Exception&) {
            return false;
        }
        position_ += count;
        return true;
    }

    bool FillCache()
    {
        cache_.resize(static_cast<std::size_t>(std::min(cacheSize, size_ - position_)));
        try {
            stream_->Seek(position_, soFromBeginning);
            stream_->ReadBuffer(cache_.data(), Length(cache_));
        } catch (const Exception&) {
            cache_.clear();
            return false;
        }
        cacheStart_ = position_;
        return true;
    }

    std::unique_ptr<TFileStream> stream_;
    std::int64_t size_ = 0; // size of the file on disk, as far as this object knows
    std::int64_t position_ = 0;
    std::vector<std::uint8_t> cache_;
    std::int64_t cacheStart_ = 0;
    std::vector<std::uint8_t> pending_;
    std::int64_t pendingStart_ = 0;
};

EZOFileError::EZOFileError(std::string fileName, const std::string& text)
    : Exception("\nBei der Arbeit mit der Datei \"" + fileName + "\" trat folgender Fehler auf:\n\n" + text),
      FileName(std::move(fileName))
{ }

c_zofile::c_zofile(std::string fileName, std::int32_t openMode) : filename(std::move(fileName))
{
    switch (openMode) {
    case zoCreate: create_new(); break;
    case zoRead:
    case zoUpdate: open_existing(openMode); break;
    default: error(zoErrUnknownMode);
    }
}

c_zofile::~c_zofile()
{
    try {
        close();
    } catch (...) {
        // A destructor must not throw; close() reports this failure to callers that ask.
    }
}

void c_zofile::create_new()
{
    try {
        file = std::make_unique<BufferedFile>(std::make_unique<TFileStream>(filename, fmCreate));
    } catch (const Exception&) {
        error(zoErrCannotCreate);
    }
    mode = zoUpdate;
    // Written at once, so that a file always starts with a complete header.
    write_header();
}

void c_zofile::open_existing(std::int32_t openMode)
{
    if (!rtl::FileExists(filename))
        error(zoErrNotFound);
    try {
        const std::uint16_t access = openMode == zoRead ? fmOpenRead : fmOpenReadWrite;
        file = std::make_unique<BufferedFile>(std::make_unique<TFileStream>(filename, access | fmShareDenyNone));
    } catch (const Exception&) {
        error(zoErrCannotOpen);
    }
    mode = openMode;
    read_header();
}

void c_zofile::close()
{
    if (mode == zoClosed)
        return;
    // The file is released whatever happens below.
    struct ReleaseFile {
        c_zofile& container;
        ~ReleaseFile()
        {
            container.file.reset();
            container.mode = zoClosed;
        }
    } releaseFile{*this};
    if (mode == zoUpdate && chunkcount > 0)
        write_header();
    if (!file->Flush())
        error(zoErrWrite);
}

void c_zofile::set_format(std::int32_t id) { header.format = id; }

void c_zofile::set_fileformatversion(std::int32_t version) { header.fileformatversion = version; }

void c_zofile::write_header()
{
    const std::int64_t remembered = get_file_position();
    header.chunkcount = chunkcount;
    const auto bytes = EncodeHeader(header);
    set_file_position(0);
    write_raw(bytes.data(), zoFileHeaderSize);
    if (remembered != 0)
        set_file_position(remembered);
}

void c_zofile::read_header()
{
    std::array<std::uint8_t, zoFileHeaderSize> bytes{};
    read_raw(bytes.data(), zoFileHeaderSize);
    const s_zofile_header read = DecodeHeader(bytes);
    if (read.magic != s_zofile_header{}.magic)
        error(zoErrNoZOSF);
    header = read;
    chunkcount = header.chunkcount;
}

std::int64_t c_zofile::get_file_position() const { return mode == zoClosed ? -1 : file->Position(); }

void c_zofile::set_file_position(std::int64_t position)
{
    if (mode == zoClosed)
        return;
    if (position < 0)
        error(zoErrRead);
    file->Seek(position);
}

void c_zofile::Skip(std::int64_t count)
{
    if (mode == zoClosed)
        return;
    set_file_position(file->Position() + count);
}

std::int64_t c_zofile::get_file_size() const { return mode == zoClosed ? -1 : file->Size(); }

std::int64_t c_zofile::bytes_left() const
{
    if (mode == zoClosed)
        return 0;
    return std::max<std::int64_t>(0, file->Size() - file->Position());
}

void c_zofile::read_chunk_header(s_chunk_header& chunkHeader)
{
    std::array<std::uint8_t, zoChunkHeaderSize> bytes{};
    read_raw(bytes.data(), zoChunkHeaderSize);
    std::memcpy(chunkHeader.magic.data(), bytes.data(), 4);
    chunkHeader.id = rtl::GetLE32s(&bytes[4]);
    chunkHeader.length = rtl::GetLE32s(&bytes[8]);
    // A length below the header's own size would send the reader back onto
    // this chunk (or before it) instead of on to the next.
    if (chunkHeader.magic != chunkMagic || chunkHeader.length < zoChunkHeaderSize)
        error(zoErrBadChunkHeader);
}

void c_zofile::write_chunk_header(std::int32_t id, std::int32_t length)
{
    std::array<std::uint8_t, zoChunkHeaderSize> bytes{};
    std::memcpy(bytes.data(), chunkMagic.data(), 4);
    rtl::PutLE32(&bytes[4], id);
    rtl::PutLE32(&bytes[8], length);
    write_raw(bytes.data(), zoChunkHeaderSize);
}

std::int64_t c_zofile::write_dummy_chunk_header()
{
    const std::int64_t start = get_file_position();
    write_chunk_header(0, 0);
    return start;
}

std::int32_t c_zofile::get_length(std::int64_t start) const
{
    const std::int64_t length = get_file_position() - start;
    if (length < 0 || length > std::numeric_limits<std::int32_t>::max())
        error(zoErrWrite); // a chunk this size cannot be described by its header
    return static_cast<std::int32_t>(length);
}

void c_zofile::write_chunk() { ++chunkcount; }

void c_zofile::write_int(std::int32_t value)
{
    std::uint8_t bytes[4];
    rtl::PutLE32(bytes, value);
    write_raw(bytes, 4);
}

std::int32_t c_zofile::read_int()
{
    std::uint8_t bytes[4];
    read_raw(bytes, 4);
    return rtl::GetLE32s(bytes);
}

void c_zofile::write_bool(bool value)
{
    const std::uint8_t byte = value ? 1 : 0;
    write_raw(&byte, 1);
}

bool c_zofile::read_bool()
{
    std::uint8_t byte = 0;
    read_raw(&byte, 1);
    return byte != 0;
}

void c_zofile::write_data(const void* buffer, std::int32_t count)
{
    if (count < 0)
        error(zoErrWrite);
    write_raw(buffer, count);
}

void c_zofile::read_data(void* buffer, std::int32_t count)
{
    if (count < 0)
        error(zoErrRead);
    read_raw(buffer, count);
}

std::vector<std::uint8_t> c_zofile::read_bytes(std::int32_t count)
{
    if (count < 0 || count > bytes_left())
        error(zoErrRead);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    read_raw(bytes.data(), count);
    return bytes;
}

void c_zofile::write_string(const std::string& text)
{
    const std::string stored = rtl::EncodeFileText(text);
    if (stored.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        error(zoErrWrite);
    write_int(static_cast<std::int32_t>(stored.size()));
    write_raw(stored.data(), static_cast<std::int64_t>(stored.size()));
}

std::string c_zofile::read_string()
{
    const std::int32_t count = read_count(1);
    std::string stored(static_cast<std::size_t>(count), '\0');
    read_raw(stored.data(), count);
    // The text ends at its first zero byte, as a zero-terminated buffer would.
    stored.resize(std::strlen(stored.c_str()));
    return rtl::DecodeFileText(stored);
}

void c_zofile::write_widestring(const std::string& text)
{
    const std::string units = Recode(text, "UTF-8", "UTF-16LE", 1, "\xFD\xFF");
    if (units.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        error(zoErrWrite);
    write_int(static_cast<std::int32_t>(units.size() / 2));
    write_raw(units.data(), static_cast<std::int64_t>(units.size()));
}

std::string c_zofile::read_widestring()
{
    const std::int32_t count = read_count(2);
    std::string units(static_cast<std::size_t>(count) * 2, '\0');
    read_raw(units.data(), static_cast<std::int64_t>(units.size()));
    // The text ends at its first zero unit.
    for (std::size_t i = 0; i < units.size(); i += 2)
        if (units[i] == 0 && units[i + 1] == 0) {
            units.resize(i);
            break;
        }
    return Recode(units, "UTF-16LE", "UTF-8", 2, "\xEF\xBF\xBD");
}

void c_zofile::write_copyright_chunk(const s_copyright_information& info)
{
    const std::int64_t start = write_dummy_chunk_header();
    write_string(info.title);
    write_string(info.author);
    write_string(info.copyright);
    const std::int64_t end = get_file_position();
    const std::int32_t length = get_length(start);
    copyright_chunk_start = start;
    set_file_position(start);
    write_chunk_header(zoCopyrightChunkId, length);
    write_chunk();
    set_file_position(end);
}

void c_zofile::read_copyright_chunk(s_copyright_information& info)
{
    info.title = read_string();
    info.author = read_string();
    info.copyright = read_string();
}

void c_zofile::error(std::int32_t code) const { throw EZOFileError(filename, error_message(code)); }

void c_zofile::user_error(std::int32_t code) const { error(code); }

std::string c_zofile::error_message(std::int32_t code)
{
    switch (code) {
    case zoErrNone: return "kein Fehler";
    case zoErrUnknownMode: return "Unbekannter Dateimodus!";
    case zoErrCannotOpen: return "Datei kann nicht geöffnet werden!";
    case zoErrNotFound: return "Datei kann nicht gefunden werden!";
    case zoErrNoZOSF: return "Keine ZOSF-Datei!";
    case zoErrBadChunkHeader: return "Falscher Chunkheader!";
    case zoErrWrongFormat: return "Falsches Dateiformat!";
    case zoErrCannotCreate: return "Datei konnte nicht erstellt werden!";
    case zoErrRead: return "Fehler beim Lesen der Datei!";
    case zoErrWrite: return "Fehler beim Schreiben der Datei!";
    default: return "Unbekannter Fehler!";
    }
}

void c_zofile::write_raw(const void* buffer, std::int64_t count)
{
    if (mode == zoClosed || !file->Write(buffer, count))
        error(zoErrWrite);
}

void c_zofile::read_raw(void* buffer, std::int64_t count)
{
    if (mode == zoClosed || !file->Read(buffer, count))
        error(zoErrRead);
}

// A count read from the file, of items unitSize bytes long: negative counts
// and counts the rest of the file cannot hold are damage, not a reason to allocate.
std::int32_t c_zofile::read_count(std::int64_t unitSize)
{
    const std::int32_t count = read_int();
    if (count < 0 || count * unitSize > bytes_left())
        error(zoErrRead);
    return count;
}

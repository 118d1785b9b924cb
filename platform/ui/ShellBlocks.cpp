#include "platform/ui/ShellBlocks.h"

#include <cstring>
#include <limits>

#include <QString>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpCodec.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Streams.h"

namespace ui {
namespace {

std::uint32_t ReadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t ReadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

void PutU32(TBytes& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void AppendU32(TBytes& bytes, std::uint32_t v)
{
    bytes.resize(bytes.size() + 4);
    PutU32(bytes, bytes.size() - 4, v);
}

std::u16string Utf16Of(const std::string& utf8)
{
    QString text = QString::fromStdString(utf8);
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Length of the name at `at` in units of `unit` bytes, or npos when its
// terminator is not inside the block.
std::size_t NameLength(const std::uint8_t* data, std::size_t size, std::size_t at, std::size_t unit)
{
    for (std::size_t n = 0; at + (n + 1) * unit <= size; ++n) {
        const std::uint8_t* c = data + at + n * unit;
        if (c[0] == 0 && (unit == 1 || c[1] == 0))
            return n;
    }
    return std::string::npos;
}

} // namespace

std::string TextOfWide(const std::uint8_t* data, std::size_t chars)
{
    std::u16string units(chars, u'\0');
    for (std::size_t i = 0; i < chars; ++i)
        units[i] = static_cast<char16_t>(ReadU16(data + 2 * i));
    return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())).toStdString();
}

std::string TextOfNarrow(const std::uint8_t* data, std::size_t bytes)
{
    return rtl::DecodeStoredText(std::string_view(reinterpret_cast<const char*>(data), bytes));
}

TBytes BuildNameList(const std::vector<std::string>& names)
{
    TBytes bytes;
    for (const std::string& name : names) {
        bytes.insert(bytes.end(), name.begin(), name.end());
        bytes.push_back(0);
    }
    bytes.push_back(0);
    return bytes;
}

TBytes BuildNameListW(const std::vector<std::string>& names)
{
    TBytes bytes;
    auto put = [&bytes](char16_t c) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    };
    for (const std::string& name : names) {
        for (char16_t c : Utf16Of(name))
            put(c);
        put(0);
    }
    put(0);
    return bytes;
}

bool ParseNameList(const std::uint8_t* data, std::size_t size, std::size_t offset, bool wide,
                   std::vector<std::string>& names)
{
    names.clear();
    const std::size_t unit = wide ? 2 : 1;
    std::size_t at = offset;
    while (true) {
        std::size_t length = NameLength(data, size, at, unit);
        if (length == std::string::npos) {
            names.clear();
            return false;
        }
        if (length == 0)
            return true;
        names.push_back(wide ? TextOfWide(data + at, length) : TextOfNarrow(data + at, length));
        at += (length + 1) * unit;
    }
}

TBytes BuildDropFiles(const std::vector<std::string>& names)
{
    TBytes bytes(DropFilesHeaderSize, 0);
    PutU32(bytes, 0, DropFilesHeaderSize);
    TBytes list = BuildNameList(names);
    bytes.insert(bytes.end(), list.begin(), list.end());
    return bytes;
}

bool ParseDropFiles(const std::uint8_t* data, std::size_t size, std::vector<std::string>& names)
{
    names.clear();
    if (!data || size < DropFilesHeaderSize)
        return false;
    const std::size_t offset = ReadU32(data);
    const bool wide = ReadU32(data + 16) != 0;
    if (offset < DropFilesHeaderSize || offset > size)
        return false;
    return ParseNameList(data, size, offset, wide, names) && !names.empty();
}

std::size_t ItemIdListSize(const std::uint8_t* data, std::size_t size)
{
    if (!data)
        return 0;
    std::size_t at = 0;
    while (at + 2 <= size) {
        std::uint16_t cb = ReadU16(data + at);
        if (cb == 0)
            return at + 2;
        if (cb < 2)
            return 0;
        at += cb;
    }
    return 0;
}

TBytes BuildCida(const std::vector<std::string>& lists)
{
    TBytes bytes;
    if (lists.empty())
        return bytes;
    AppendU32(bytes, static_cast<std::uint32_t>(lists.size() - 1));
    std::size_t offset = 4 * (lists.size() + 1);
    for (const std::string& list : lists) {
        AppendU32(bytes, static_cast<std::uint32_t>(offset));
        offset += list.size();
    }
    for (const std::string& list : lists)
        bytes.insert(bytes.end(), list.begin(), list.end());
    return bytes;
}

bool ParseCida(const std::uint8_t* data, std::size_t size, std::vector<std::string>& lists)
{
    lists.clear();
    if (!data || size < 4)
        return false;
    const std::uint64_t count = ReadU32(data);
    if ((count + 2) * 4 > size)
        return false;
    for (std::uint64_t i = 0; i <= count; ++i) {
        const std::size_t offset = ReadU32(data + 4 + 4 * i);
        const std::size_t length = offset < size ? ItemIdListSize(data + offset, size - offset) : 0;
        if (length == 0) {
            lists.clear();
            return false;
        }
        lists.emplace_back(reinterpret_cast<const char*>(data + offset), length);
    }
    return true;
}

TBytes BuildFileGroupDescriptor(const std::string& fileName, std::uint32_t flags)
{
    TBytes bytes(FileGroupDescriptorSize, 0);
    PutU32(bytes, 0, 1);
    PutU32(bytes, 4, flags);
    const std::size_t nameAt = 4 + FileDescriptorSize - 260;
    std::memcpy(bytes.data() + nameAt, fileName.data(), std::min<std::size_t>(fileName.size(), 259));
    return bytes;
}

bool ParseFileGroupDescriptor(const std::uint8_t* data, std::size_t size, std::vector<std::string>& names)
{
    names.clear();
    if (!data || size < 4)
        return false;
    const std::uint64_t count = ReadU32(data);
    if (count * FileDescriptorSize > size - 4)
        return false;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::size_t nameAt = 4 + i * FileDescriptorSize + FileDescriptorSize - 260;
        std::size_t length = NameLength(data, nameAt + 260, nameAt, 1);
        if (length == std::string::npos) {
            names.clear();
            return false;
        }
        names.push_back(TextOfNarrow(data + nameAt, length));
    }
    return true;
}

TBytes DibOfBitmap(const TBitmap& bitmap)
{
    TMemoryStream stream;
    gfx::WriteBmp(stream, bitmap);
    const std::uint8_t* file = stream.Memory();
    const auto size = static_cast<std::size_t>(stream.Size());
    if (size <= 14)
        return {};
    return {file + 14, file + size};
}

std::size_t DibBitsOffset(const std::uint8_t* dib, std::size_t size)
{
    if (!dib || size < 12)
        return 0;
    const std::uint32_t headerSize = ReadU32(dib);
    if (headerSize < 12 || headerSize > size || (headerSize > 12 && headerSize < 40))
        return 0;
    std::uint32_t bits;
    std::uint32_t compression = 0;
    std::uint32_t used = 0;
    std::size_t entrySize = 4;
    if (headerSize == 12) { // the old core header keeps 3-byte colours
        bits = ReadU16(dib + 10);
        entrySize = 3;
    } else {
        bits = ReadU16(dib + 14);
        compression = ReadU32(dib + 16);
        used = ReadU32(dib + 32);
    }
    std::uint64_t colours = used;
    if (bits <= 8 && (used == 0 || used > (1u << bits)))
        colours = std::uint64_t{1} << bits;
    std::uint64_t masks = 0;
    constexpr std::uint32_t BI_BITFIELDS = 3;
    constexpr std::uint32_t BI_ALPHABITFIELDS = 6;
    if (headerSize == 40 && compression == BI_BITFIELDS)
        masks = 12;
    else if (headerSize == 40 && compression == BI_ALPHABITFIELDS)
        masks = 16;
    const std::uint64_t offset = 14 + std::uint64_t{headerSize} + colours * entrySize + masks;
    return offset <= 14 + std::uint64_t{size} ? static_cast<std::size_t>(offset) : 0;
}

TBytes BmpFileOfDib(const std::uint8_t* dib, std::size_t size)
{
    const std::size_t offset = DibBitsOffset(dib, size);
    if (offset == 0 || size > std::numeric_limits<std::uint32_t>::max() - 14)
        return {};
    TBytes file(14, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutU32(file, 2, static_cast<std::uint32_t>(size + 14));
    PutU32(file, 10, static_cast<std::uint32_t>(offset));
    file.insert(file.end(), dib, dib + size);
    return file;
}

} // namespace ui

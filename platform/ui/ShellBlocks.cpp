#include "platform/ui/ShellBlocks.h"

#include <cstring>
#include <limits>
#include <utility>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpCodec.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Streams.h"

namespace ui {
namespace {

void AppendU32(TBytes& bytes, std::uint32_t v)
{
    bytes.resize(bytes.size() + 4);
    rtl::PutLE32(bytes.data() + bytes.size() - 4, v);
}

// UTF-8 as UTF-16 units. A leading byte-order mark is dropped; a byte that
// starts no valid sequence (overlong, surrogate, beyond U+10FFFF, cut short)
// becomes U+FFFD and decoding goes on after it.
std::u16string Utf16Of(const std::string& utf8)
{
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    std::u16string units;
    std::size_t i = n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF ? 3 : 0;
    while (i < n) {
        const unsigned char lead = s[i];
        if (lead < 0x80) {
            units.push_back(lead);
            ++i;
            continue;
        }
        std::size_t follow = 0;
        char32_t c = 0;
        char32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1, c = lead & 0x1F, least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2, c = lead & 0x0F, least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3, c = lead & 0x07, least = 0x10000;
        }
        bool valid = follow > 0;
        for (std::size_t k = 1; valid && k <= follow; ++k) {
            valid = i + k < n && (s[i + k] & 0xC0) == 0x80;
            c = c << 6 | (s[i + k] & 0x3F);
        }
        if (!valid || c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            units.push_back(0xFFFD);
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
        i += follow + 1;
    }
    return units;
}

void AppendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
        return;
    }
    const int follow = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    static constexpr unsigned char leads[] = {0, 0xC0, 0xE0, 0xF0};
    text += static_cast<char>(leads[follow] | c >> (6 * follow));
    for (int k = follow - 1; k >= 0; --k)
        text += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
}

// UTF-16 units as UTF-8. A leading byte-order mark is dropped, and a
// swapped one says the units that follow are in the other byte order; a
// surrogate without its partner becomes "?".
std::string TextOfUnits(std::u16string units)
{
    if (!units.empty() && (units[0] == 0xFEFF || units[0] == 0xFFFE)) {
        const bool swapped = units[0] == 0xFFFE;
        units.erase(0, 1);
        if (swapped)
            for (char16_t& unit : units)
                unit = static_cast<char16_t>(unit << 8 | unit >> 8);
    }
    std::string text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            AppendUtf8(text, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            text += '?';
        } else {
            AppendUtf8(text, unit);
        }
    }
    return text;
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
        units[i] = static_cast<char16_t>(rtl::GetLE16(data + 2 * i));
    return TextOfUnits(std::move(units));
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
        bytes.resize(bytes.size() + 2);
        rtl::PutLE16(bytes.data() + bytes.size() - 2, c);
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
    rtl::PutLE32(bytes.data(), DropFilesHeaderSize);
    TBytes list = BuildNameList(names);
    bytes.insert(bytes.end(), list.begin(), list.end());
    return bytes;
}

bool ParseDropFiles(const std::uint8_t* data, std::size_t size, std::vector<std::string>& names)
{
    names.clear();
    if (!data || size < DropFilesHeaderSize)
        return false;
    const std::size_t offset = rtl::GetLE32(data);
    const bool wide = rtl::GetLE32(data + 16) != 0;
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
        std::uint16_t cb = rtl::GetLE16(data + at);
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
    const std::uint64_t count = rtl::GetLE32(data);
    if ((count + 2) * 4 > size)
        return false;
    for (std::uint64_t i = 0; i <= count; ++i) {
        const std::size_t offset = rtl::GetLE32(data + 4 + 4 * i);
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
    rtl::PutLE32(bytes.data(), 1);
    rtl::PutLE32(bytes.data() + 4, flags);
    const std::size_t nameAt = 4 + FileDescriptorSize - 260;
    std::memcpy(bytes.data() + nameAt, fileName.data(), std::min<std::size_t>(fileName.size(), 259));
    return bytes;
}

bool ParseFileGroupDescriptor(const std::uint8_t* data, std::size_t size, std::vector<std::string>& names)
{
    names.clear();
    if (!data || size < 4)
        return false;
    const std::uint64_t count = rtl::GetLE32(data);
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
    const std::uint32_t headerSize = rtl::GetLE32(dib);
    if (headerSize < 12 || headerSize > size || (headerSize > 12 && headerSize < 40))
        return 0;
    std::uint32_t bits;
    std::uint32_t compression = 0;
    std::uint32_t used = 0;
    std::size_t entrySize = 4;
    if (headerSize == 12) { // the old core header keeps 3-byte colours
        bits = rtl::GetLE16(dib + 10);
        entrySize = 3;
    } else {
        bits = rtl::GetLE16(dib + 14);
        compression = rtl::GetLE32(dib + 16);
        used = rtl::GetLE32(dib + 32);
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
    rtl::PutLE32(file.data() + 2, static_cast<std::uint32_t>(size + 14));
    rtl::PutLE32(file.data() + 10, static_cast<std::uint32_t>(offset));
    file.insert(file.end(), dib, dib + size);
    return file;
}

} // namespace ui

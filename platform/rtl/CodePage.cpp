#include "platform/rtl/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace rtl {
namespace {

// Windows-1252 bytes 0x80..0x9F. The undefined bytes 0x81, 0x8D, 0x8F, 0x90
// and 0x9D keep their own value as C1 controls, as Windows itself maps them.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t AnsiByteToCodePoint(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControlRange[byte - 0x80];
    return byte;
}

std::optional<unsigned char> CodePointToAnsiByte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<unsigned char>(cp);
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i)
        if (kHighControlRange[i] == cp)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one strict UTF-8 sequence at `pos` (no overlong forms, no
// surrogates, nothing above U+10FFFF) and advances `pos`; nullopt leaves `pos`
// unchanged.
std::optional<char32_t> DecodeUtf8(std::string_view s, std::size_t& pos)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byteAt(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length;
    char32_t cp;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (s.size() - pos < length)
        return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byteAt(pos + i);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    pos += length;
    return cp;
}

// Calls fn(codePoint, rawBytes) for each character; an invalid byte is passed
// alone with nullopt so callers decide how to treat it.
template <typename Fn> void ForEachChar(std::string_view s, Fn&& fn)
{
    std::size_t pos = 0;
    while (pos < s.size()) {
        const std::size_t start = pos;
        const std::optional<char32_t> cp = DecodeUtf8(s, pos);
        if (!cp)
            ++pos;
        fn(cp, s.substr(start, pos - start));
    }
}

char32_t UpperOf(char32_t cp)
{
    if ((cp >= 'a' && cp <= 'z') || (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7))
        return cp - 0x20;
    switch (cp) {
    case 0xFF: return 0x178;  // ÿ
    case 0x161: return 0x160; // š
    case 0x153: return 0x152; // œ
    case 0x17E: return 0x17D; // ž
    default: return cp;
    }
}

char32_t LowerOf(char32_t cp)
{
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7))
        return cp + 0x20;
    switch (cp) {
    case 0x178: return 0xFF;
    case 0x160: return 0x161;
    case 0x152: return 0x153;
    case 0x17D: return 0x17E;
    default: return cp;
    }
}

template <typename Map> std::string MapCase(std::string_view utf8, Map map)
{
    std::string out;
    out.reserve(utf8.size());
    ForEachChar(utf8, [&](std::optional<char32_t> cp, std::string_view raw) {
        if (cp)
            AppendUtf8(out, map(*cp));
        else
            out += raw;
    });
    return out;
}

// The letter an accented upper-case Latin-1 letter sorts with, so that
// "Äpfel" comes between "Apfel" and "Birne" as a German reader expects.
char32_t BaseLetterOf(char32_t upper)
{
    static constexpr char kLatin1Base[] = "AAAAAAACEEEEIIIIDNOOOOO*OUUUUYTS";
    if (upper >= 0xC0 && upper <= 0xDF && upper != 0xD7)
        return static_cast<unsigned char>(kLatin1Base[upper - 0xC0]);
    switch (upper) {
    case 0x160: return 'S';
    case 0x17D: return 'Z';
    case 0x178: return 'Y';
    default: return upper;
    }
}

struct CollationKey {
    std::u32string base;   // letters without accent or case; ß and Œ expanded
    std::u32string folded; // letters without case
    std::u32string exact;  // the characters themselves
};

CollationKey MakeCollationKey(std::string_view utf8)
{
    CollationKey key;
    ForEachChar(utf8, [&](std::optional<char32_t> cp, std::string_view raw) {
        // An invalid byte sorts as its Windows-1252 character.
        const char32_t c = cp ? *cp : AnsiByteToCodePoint(static_cast<unsigned char>(raw[0]));
        const char32_t upper = UpperOf(c);
        key.exact += c;
        key.folded += upper;
        if (upper == 0xDF)
            key.base += U"SS";
        else if (upper == 0x152)
            key.base += U"OE";
        else if (upper == 0xC6)
            key.base += U"AE";
        else
            key.base += BaseLetterOf(upper);
    });
    return key;
}

int Sign(int value) { return (value > 0) - (value < 0); }

bool IsAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The same order as the full collation for text without accented letters,
// without building keys: there base letters and folded letters agree.
int CollateAscii(std::string_view a, std::string_view b, bool caseSensitive)
{
    const auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c; };
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i)
        if (const int c = upper(a[i]) - upper(b[i]))
            return Sign(c);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return caseSensitive ? Sign(a.compare(b)) : 0;
}

int Collate(std::string_view a, std::string_view b, bool caseSensitive)
{
    if (IsAscii(a) && IsAscii(b))
        return CollateAscii(a, b, caseSensitive);
    const CollationKey ka = MakeCollationKey(a);
    const CollationKey kb = MakeCollationKey(b);
    if (const int c = ka.base.compare(kb.base))
        return Sign(c);
    if (const int c = ka.folded.compare(kb.folded))
        return Sign(c);
    return caseSensitive ? Sign(ka.exact.compare(kb.exact)) : 0;
}

} // namespace

std::string AnsiToUtf8(std::string_view ansi)
{
    std::string out;
    out.reserve(ansi.size());
    for (const char ch : ansi)
        AppendUtf8(out, AnsiByteToCodePoint(static_cast<unsigned char>(ch)));
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8)
{
    // Plain ASCII reads the same in both encodings; most names and texts are.
    if (IsAscii(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    ForEachChar(utf8, [&](std::optional<char32_t> cp, std::string_view) {
        const std::optional<unsigned char> byte = cp ? CodePointToAnsiByte(*cp) : std::nullopt;
        out += byte ? static_cast<char>(*byte) : '?';
    });
    return out;
}

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t pos = 0;
    while (pos < bytes.size())
        if (!DecodeUtf8(bytes, pos))
            return false;
    return true;
}

bool FitsAnsi(std::string_view utf8)
{
    if (IsAscii(utf8))
        return true;
    bool fits = true;
    ForEachChar(utf8,
                [&](std::optional<char32_t> cp, std::string_view) { fits = fits && cp && CodePointToAnsiByte(*cp); });
    return fits;
}

std::string DecodeFileText(std::string_view bytes)
{
    if (!bytes.starts_with(Utf8Mark))
        return AnsiToUtf8(bytes);
    bytes.remove_prefix(Utf8Mark.size());
    std::string out;
    out.reserve(bytes.size());
    ForEachChar(bytes, [&](std::optional<char32_t> cp, std::string_view raw) {
        if (cp)
            out += raw;
        else
            AppendUtf8(out, AnsiByteToCodePoint(static_cast<unsigned char>(raw[0])));
    });
    return out;
}

std::string EncodeFileText(std::string_view utf8)
{
    if (FitsAnsi(utf8)) {
        std::string ansi = Utf8ToAnsi(utf8);
        // "ï»¿" in Windows-1252 are the bytes of the mark.
        if (!ansi.starts_with(Utf8Mark))
            return ansi;
    }
    std::string marked(Utf8Mark);
    marked += utf8;
    return marked;
}

std::string DecodeStoredText(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return AnsiToUtf8(bytes);
}

std::string AnsiUpperCase(std::string_view utf8) { return MapCase(utf8, UpperOf); }

std::string AnsiLowerCase(std::string_view utf8) { return MapCase(utf8, LowerOf); }

int AnsiCompareStr(std::string_view a, std::string_view b) { return Collate(a, b, true); }

int AnsiCompareText(std::string_view a, std::string_view b) { return Collate(a, b, false); }

bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

} // namespace rtl

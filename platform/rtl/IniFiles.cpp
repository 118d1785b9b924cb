#include "platform/rtl/IniFiles.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/SettingsFile.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysPaths.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

IMPLEMENT_CLASS(TCustomIniFile)
IMPLEMENT_CLASS(TIniFile)

namespace {

using rtl::TrimBlanks;

// Settings files are small; anything beyond this is not one.
constexpr size_t MaxIniFileBytes = 64u << 20;

bool IsAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Section and key names compare without letter case (Windows-1252 letters).
// Plain ASCII names, by far the most common, take a path without copies.
struct SameName {
    bool operator()(std::string_view a, std::string_view b) const
    {
        if (IsAscii(a) && IsAscii(b))
            return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                       return AsciiUpper(x) == AsciiUpper(y);
                   });
        return rtl::AnsiSameText(a, b);
    }
};

// Hashes the upper-case form, so names SameName calls equal hash alike.
struct NameHash {
    size_t operator()(std::string_view name) const
    {
        if (!IsAscii(name))
            return Fnv(rtl::AnsiUpperCase(name), [](char c) { return c; });
        return Fnv(name, AsciiUpper);
    }

    template <class Map> static size_t Fnv(std::string_view text, Map map)
    {
        size_t hash = 14695981039346656037ull;
        for (const char c : text)
            hash = (hash ^ static_cast<unsigned char>(map(c))) * 1099511628211ull;
        return hash;
    }
};

template <class T> using NameMap = std::unordered_map<std::string_view, T, NameHash, SameName>;

std::string_view StripQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Removes the marked lines; false when none was marked.
bool RemoveMarked(std::vector<std::string>& lines, const std::vector<bool>& marked)
{
    size_t kept = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (marked[i])
            continue;
        if (kept != i)
            lines[kept] = std::move(lines[i]);
        ++kept;
    }
    const bool changed = kept != lines.size();
    lines.resize(kept);
    return changed;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

void CheckSectionName(const std::string& section)
{
    if (HasLineBreak(section) || section.find(']') != std::string::npos)
        throw EIniFileException("Invalid section name \"" + section + "\"");
}

void CheckKeyName(const std::string& ident)
{
    const std::string_view key = TrimBlanks(ident);
    if (key.empty() || HasLineBreak(key) || key.find('=') != std::string_view::npos || key.front() == '[' ||
        key.front() == ';')
        throw EIniFileException("Invalid key name \"" + ident + "\"");
}

void CheckValue(const std::string& ident, const std::string& value)
{
    if (HasLineBreak(value))
        throw EIniFileException("The value of \"" + ident + "\" holds a line break");
}

std::string ResolveIniFileName(const std::string& fileName)
{
    if (fileName.find('/') != std::string::npos)
        return fileName;
    return rtl::WindowsDir() + fileName;
}

} // namespace

std::optional<int32_t> rtl::ParseIniInteger(std::string_view text)
{
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with("$")) {
        base = 16;
        text.remove_prefix(1);
    }
    uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (base == 16) {
        if (magnitude > std::numeric_limits<uint32_t>::max())
            return std::nullopt;
        const auto bits = static_cast<uint32_t>(negative ? 0u - static_cast<uint32_t>(magnitude) : magnitude);
        return static_cast<int32_t>(bits);
    }
    const int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (magnitude > (uint64_t{1} << 32) || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

// ---------------------------------------------------------------------------
// TCustomIniFile

TCustomIniFile::TCustomIniFile(std::string fileName) : fileName_(std::move(fileName)) { }

TCustomIniFile::~TCustomIniFile() = default;

int32_t TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int32_t defaultValue)
{
    return rtl::ParseIniInteger(ReadString(section, ident, "")).value_or(defaultValue);
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int32_t value)
{
    WriteString(section, ident, std::to_string(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue)
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value)
{
    WriteString(section, ident, value ? "1" : "0");
}

void TCustomIniFile::UpdateFile() { }

// ---------------------------------------------------------------------------
// TIniFile

// The file's text, its lines, and an index of its sections and keys. The
// lines are what is written back, so comments and lines this reader ignores
// survive. Names and values are views into the text.
struct TIniFile::Content {
    struct Entry {
        std::string_view key;   // as written in the file
        std::string_view value; // blanks around it removed, quotes kept
        size_t line = 0;
    };
    struct Section {
        std::string_view name;
        size_t header = 0; // line of "[name]"
        size_t end = 0;    // line after the section's last line
        std::vector<Entry> entries;
        NameMap<size_t> firstEntry; // key -> its first entry
    };

    Content() = default;
    Content(const Content&) = delete; // the views would point into the other's text
    Content& operator=(const Content&) = delete;
    Content& operator=(Content&&) = default;

    std::string text;
    std::vector<std::string_view> lines;
    std::vector<Section> sections; // in file order
    NameMap<size_t> firstSection;  // name -> its first section
    bool readable = true;

    void Load(std::string_view bytes) { SetText(rtl::DecodeFileText(bytes)); }

    std::vector<std::string> EditableLines() const { return {lines.begin(), lines.end()}; }

    // Takes edited lines as the new content, each ended by CR LF.
    void SetLines(const std::vector<std::string>& edited)
    {
        std::string joined;
        for (const auto& line : edited) {
            joined += line;
            joined += "\r\n";
        }
        SetText(std::move(joined));
    }

    const Section* Find(std::string_view section) const
    {
        const auto found = firstSection.find(TrimBlanks(section));
        return found == firstSection.end() ? nullptr : &sections[found->second];
    }

    const Entry* Find(std::string_view section, std::string_view ident) const
    {
        const Section* found = Find(section);
        if (found == nullptr)
            return nullptr;
        const auto entry = found->firstEntry.find(TrimBlanks(ident));
        return entry == found->firstEntry.end() ? nullptr : &found->entries[entry->second];
    }

    // The lines of every section of that name; with ident, only its key lines.
    std::vector<bool> LinesOf(std::string_view section, const std::string_view* ident = nullptr) const
    {
        std::vector<bool> marked(lines.size(), false);
        for (const auto& found : sections) {
            if (!SameName()(found.name, TrimBlanks(section)))
                continue;
            if (ident == nullptr)
                std::fill(marked.begin() + static_cast<std::ptrdiff_t>(found.header),
                          marked.begin() + static_cast<std::ptrdiff_t>(found.end), true);
            else
                for (const auto& entry : found.entries)
                    marked[entry.line] = marked[entry.line] || SameName()(entry.key, TrimBlanks(*ident));
        }
        return marked;
    }

private:
    void SetText(std::string newText)
    {
        text = std::move(newText);
        lines = rtl::SplitSettingsLines(text);
        sections.clear();
        firstSection.clear();
        for (size_t i = 0; i < lines.size(); ++i)
            IndexLine(i);
        if (!sections.empty())
            sections.back().end = lines.size();
    }

    void IndexLine(size_t i)
    {
        const std::string_view line = TrimBlanks(lines[i]);
        if (line.starts_with('[')) {
            if (!sections.empty())
                sections.back().end = i;
            const auto close = line.find(']');
            Section section;
            section.name = TrimBlanks(line.substr(1, close == std::string_view::npos ? close : close - 1));
            section.header = i;
            firstSection.try_emplace(section.name, sections.size());
            sections.push_back(std::move(section));
            return;
        }
        const auto equals = line.find('=');
        if (sections.empty() || line.starts_with(';') || equals == std::string_view::npos)
            return;
        const std::string_view key = TrimBlanks(line.substr(0, equals));
        if (key.empty())
            return;
        Section& section = sections.back();
        section.firstEntry.try_emplace(key, section.entries.size());
        section.entries.push_back({key, TrimBlanks(line.substr(equals + 1)), i});
    }
};

TIniFile::TIniFile(const std::string& fileName)
    : TCustomIniFile(ResolveIniFileName(fileName)), content_(std::make_unique<Content>()),
      file_(std::make_unique<rtl::WatchedFile>(FileName(), MaxIniFileBytes))
{ }

TIniFile::~TIniFile() = default;

const TIniFile::Content& TIniFile::Current(Use use)
{
    if (file_->Changed()) {
        *content_ = Content();
        try {
            if (const auto bytes = file_->Read())
                content_->Load(*bytes);
        } catch (const EInOutError&) {
            content_->readable = false;
        }
    }
    if (use == Use::Changing && !content_->readable)
        throw EFOpenError("Cannot read file \"" + FileName() + "\"; it is left unchanged");
    return *content_;
}

void TIniFile::Change(const std::function<bool(const Content&, std::vector<std::string>&)>& edit)
{
    const Content& current = Current(Use::Changing);
    std::vector<std::string> lines = current.EditableLines();
    if (!edit(current, lines))
        return;
    content_->SetLines(lines);
    // After a failed save the file counts as changed, so the next use reads
    // the old content back.
    file_->Write(rtl::EncodeFileText(content_->text));
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& defaultValue)
{
    const Content::Entry* entry = Current(Use::Reading).Find(section, ident);
    return entry == nullptr ? defaultValue : std::string(StripQuotes(entry->value));
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value)
{
    CheckSectionName(section);
    CheckKeyName(ident);
    CheckValue(ident, value);
    const std::string line = std::string(TrimBlanks(ident)) + "=" + value;
    Change([&](const Content& content, std::vector<std::string>& lines) {
        if (const Content::Entry* entry = content.Find(section, ident)) {
            lines[entry->line] = line;
        } else if (const Content::Section* found = content.Find(section)) {
            size_t last = found->header; // new keys go after the section's last line
            for (size_t i = found->header + 1; i < found->end; ++i)
                if (!TrimBlanks(lines[i]).empty())
                    last = i;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1), line);
        } else {
            if (!lines.empty() && !TrimBlanks(lines.back()).empty())
                lines.emplace_back();
            lines.push_back("[" + std::string(TrimBlanks(section)) + "]");
            lines.push_back(line);
        }
        return true;
    });
}

bool TIniFile::SectionExists(const std::string& section) { return Current(Use::Reading).Find(section) != nullptr; }

bool TIniFile::ValueExists(const std::string& section, const std::string& ident)
{
    return Current(Use::Reading).Find(section, ident) != nullptr;
}

void TIniFile::ReadSection(const std::string& section, TStrings& strings)
{
    strings.Clear();
    const Content::Section* found = Current(Use::Reading).Find(section);
    if (found == nullptr)
        return;
    for (size_t i = 0; i < found->entries.size(); ++i)
        if (found->firstEntry.at(found->entries[i].key) == i)
            strings.Add(std::string(found->entries[i].key));
}

void TIniFile::ReadSections(TStrings& strings)
{
    strings.Clear();
    const Content& content = Current(Use::Reading);
    for (size_t i = 0; i < content.sections.size(); ++i)
        if (content.firstSection.at(content.sections[i].name) == i)
            strings.Add(std::string(content.sections[i].name));
}

void TIniFile::ReadSectionValues(const std::string& section, TStrings& strings)
{
    strings.Clear();
    const Content::Section* found = Current(Use::Reading).Find(section);
    if (found == nullptr)
        return;
    for (size_t i = 0; i < found->entries.size(); ++i) {
        const Content::Entry& entry = found->entries[i];
        if (found->firstEntry.at(entry.key) == i)
            strings.Add(std::string(entry.key) + "=" + std::string(StripQuotes(entry.value)));
    }
}

void TIniFile::EraseSection(const std::string& section)
{
    Change([&](const Content& content, std::vector<std::string>& lines) {
        return RemoveMarked(lines, content.LinesOf(section));
    });
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident)
{
    const std::string_view key = ident;
    Change([&](const Content& content, std::vector<std::string>& lines) {
        return RemoveMarked(lines, content.LinesOf(section, &key));
    });
}

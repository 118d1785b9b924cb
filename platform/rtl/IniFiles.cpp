#include "platform/rtl/IniFiles.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysPaths.h"
#include "platform/rtl/WatchedFile.h"

#include <charconv>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

IMPLEMENT_CLASS(TCustomIniFile)
IMPLEMENT_CLASS(TIniFile)

namespace {

// Settings files are small; anything beyond this is not one.
constexpr size_t MaxIniFileBytes = 64u << 20;

constexpr std::string_view Blanks = " \t";

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// Names compare without letter case; this is the form they are looked up by.
std::string Folded(std::string_view name)
{
    name = Trim(name);
    for (const char c : name)
        if (static_cast<unsigned char>(c) >= 0x80)
            return rtl::AnsiUpperCase(name);
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return folded;
}

std::string_view StripQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

void CheckSectionName(const std::string& section)
{
    if (HasLineBreak(section) || section.find(']') != std::string::npos)
        throw EIniFileException("Invalid section name \"" + section + "\"");
}

void CheckKeyName(const std::string& ident)
{
    const std::string_view key = Trim(ident);
    if (key.empty() || HasLineBreak(key) || key.find('=') != std::string_view::npos || key.front() == '['
        || key.front() == ';')
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
    text = Trim(text);
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
    if (magnitude > (uint64_t{1} << 32) || value < std::numeric_limits<int32_t>::min()
        || value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

// ---------------------------------------------------------------------------
// TCustomIniFile

TCustomIniFile::TCustomIniFile(std::string fileName)
    : fileName_(std::move(fileName))
{
}

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

void TCustomIniFile::UpdateFile()
{
}

// ---------------------------------------------------------------------------
// TIniFile

// The file as lines, and an index of its sections and keys. The lines are
// what is written back, so comments and lines this reader ignores survive.
struct TIniFile::Content {
    struct Entry {
        std::string key;   // as written in the file
        std::string value; // blanks around it removed, quotes kept
        size_t line = 0;
    };
    struct Section {
        std::string name;
        size_t header = 0; // line of "[name]"
        size_t end = 0;    // line after the section's last line
        std::vector<Entry> entries;
        std::unordered_map<std::string, size_t> firstEntry; // folded key -> entry
    };

    std::vector<std::string> lines;
    std::vector<Section> sections;                         // in file order
    std::unordered_map<std::string, size_t> firstSection; // folded name -> section
    bool readable = true;

    void Load(std::string_view bytes)
    {
        lines = SplitLines(rtl::DecodeStoredText(bytes));
        Index();
    }

    std::string Text() const
    {
        std::string text;
        for (const auto& line : lines) {
            text += line;
            text += "\r\n";
        }
        return rtl::EncodeSettingsText(text);
    }

    void Index()
    {
        sections.clear();
        firstSection.clear();
        for (size_t i = 0; i < lines.size(); ++i)
            IndexLine(i);
        if (!sections.empty())
            sections.back().end = lines.size();
    }

    const Section* Find(const std::string& section) const
    {
        const auto found = firstSection.find(Folded(section));
        return found == firstSection.end() ? nullptr : &sections[found->second];
    }

    const Entry* Find(const std::string& section, const std::string& ident) const
    {
        const Section* found = Find(section);
        if (found == nullptr)
            return nullptr;
        const auto entry = found->firstEntry.find(Folded(ident));
        return entry == found->firstEntry.end() ? nullptr : &found->entries[entry->second];
    }

    // Removes the lines of which remove says so, then indexes again.
    template <class Predicate>
    bool RemoveLines(Predicate remove)
    {
        std::vector<std::string> kept;
        for (size_t i = 0; i < lines.size(); ++i)
            if (!remove(i))
                kept.push_back(std::move(lines[i]));
        const bool changed = kept.size() != lines.size();
        lines = std::move(kept);
        Index();
        return changed;
    }

private:
    void IndexLine(size_t i)
    {
        const std::string_view line = Trim(lines[i]);
        if (line.starts_with('[')) {
            if (!sections.empty())
                sections.back().end = i;
            const auto close = line.find(']');
            Section section;
            section.name = std::string(Trim(line.substr(1, close == std::string_view::npos ? close : close - 1)));
            section.header = i;
            firstSection.try_emplace(Folded(section.name), sections.size());
            sections.push_back(std::move(section));
            return;
        }
        const auto equals = line.find('=');
        if (sections.empty() || line.starts_with(';') || equals == std::string_view::npos)
            return;
        const std::string_view key = Trim(line.substr(0, equals));
        if (key.empty())
            return;
        Section& section = sections.back();
        section.firstEntry.try_emplace(Folded(key), section.entries.size());
        section.entries.push_back({std::string(key), std::string(Trim(line.substr(equals + 1))), i});
    }
};

TIniFile::TIniFile(const std::string& fileName)
    : TCustomIniFile(ResolveIniFileName(fileName))
    , content_(std::make_unique<Content>())
    , file_(std::make_unique<rtl::WatchedFile>(FileName(), MaxIniFileBytes))
{
}

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

void TIniFile::Change(const std::function<bool(Content&)>& edit)
{
    Current(Use::Changing);
    if (!edit(*content_))
        return;
    // After a failed save the file counts as changed, so the next use reads
    // the old content back.
    file_->Write(content_->Text());
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
    const std::string line = std::string(Trim(ident)) + "=" + value;
    Change([&](Content& content) {
        if (const Content::Entry* entry = content.Find(section, ident)) {
            content.lines[entry->line] = line;
        } else if (const Content::Section* found = content.Find(section)) {
            size_t last = found->header;
            for (size_t i = found->header + 1; i < found->end; ++i)
                if (!Trim(content.lines[i]).empty())
                    last = i;
            content.lines.insert(content.lines.begin() + static_cast<std::ptrdiff_t>(last + 1), line);
        } else {
            if (!content.lines.empty() && !Trim(content.lines.back()).empty())
                content.lines.emplace_back();
            content.lines.push_back("[" + std::string(Trim(section)) + "]");
            content.lines.push_back(line);
        }
        content.Index();
        return true;
    });
}

bool TIniFile::SectionExists(const std::string& section)
{
    return Current(Use::Reading).Find(section) != nullptr;
}

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
        if (found->firstEntry.at(Folded(found->entries[i].key)) == i)
            strings.Add(found->entries[i].key);
}

void TIniFile::ReadSections(TStrings& strings)
{
    strings.Clear();
    const Content& content = Current(Use::Reading);
    for (size_t i = 0; i < content.sections.size(); ++i)
        if (content.firstSection.at(Folded(content.sections[i].name)) == i)
            strings.Add(content.sections[i].name);
}

void TIniFile::ReadSectionValues(const std::string& section, TStrings& strings)
{
    strings.Clear();
    const Content::Section* found = Current(Use::Reading).Find(section);
    if (found == nullptr)
        return;
    for (size_t i = 0; i < found->entries.size(); ++i) {
        const Content::Entry& entry = found->entries[i];
        if (found->firstEntry.at(Folded(entry.key)) == i)
            strings.Add(entry.key + "=" + std::string(StripQuotes(entry.value)));
    }
}

void TIniFile::EraseSection(const std::string& section)
{
    const std::string name = Folded(section);
    Change([&](Content& content) {
        std::vector<bool> erase(content.lines.size(), false);
        for (const auto& found : content.sections)
            if (Folded(found.name) == name)
                std::fill(erase.begin() + static_cast<std::ptrdiff_t>(found.header),
                    erase.begin() + static_cast<std::ptrdiff_t>(found.end), true);
        return content.RemoveLines([&](size_t line) { return erase[line]; });
    });
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident)
{
    const std::string name = Folded(section);
    const std::string key = Folded(ident);
    Change([&](Content& content) {
        std::vector<bool> erase(content.lines.size(), false);
        for (const auto& found : content.sections)
            if (Folded(found.name) == name)
                for (const auto& entry : found.entries)
                    if (Folded(entry.key) == key)
                        erase[entry.line] = true;
        return content.RemoveLines([&](size_t line) { return erase[line]; });
    });
}

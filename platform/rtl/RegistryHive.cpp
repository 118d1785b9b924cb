#include "platform/rtl/RegistryHive.h"

#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SettingsFile.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

namespace rtl {

namespace {

struct RootName {
    HKEY key;
    const char* name;
};

// In the order the file lists them.
constexpr RootName RootNames[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},     {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},   {HKEY_USERS, "HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"}, {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
};

constexpr std::string_view Header = "REGEDIT4";

bool LessWithoutCase(const std::unique_ptr<RegKey>& key, std::string_view name)
{
    return AnsiCompareText(key->Name, name) < 0;
}

// ---------------------------------------------------------------------------
// Reading

// A quoted string at the start of text with \\ and \" escapes; text is
// advanced past the closing quote. nullopt when it is not closed.
std::optional<std::string> TakeQuoted(std::string_view& text)
{
    if (text.empty() || text.front() != '"')
        return std::nullopt;
    std::string result;
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return result;
        }
        if (c == '\\' && i + 1 < text.size())
            ++i;
        result += text[i];
    }
    return std::nullopt;
}

std::optional<uint32_t> ParseHex32(std::string_view digits)
{
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.empty() || digits.size() > 8 || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

// "01,ff, 2a" (the joined continuation lines) to bytes.
std::optional<std::string> ParseHexBytes(std::string_view list)
{
    std::string bytes;
    list = TrimBlanks(list);
    if (list.empty())
        return bytes;
    size_t start = 0;
    while (true) {
        const auto comma = list.find(',', start);
        const std::string_view item = TrimBlanks(
            list.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        const auto value = ParseHex32(item);
        if (!value || item.size() > 2)
            return std::nullopt;
        bytes += static_cast<char>(*value);
        if (comma == std::string_view::npos)
            return bytes;
        start = comma + 1;
    }
}

// The bytes of a string value end with one closing zero; zeros before it
// belong to the text.
std::string BytesToText(std::string_view bytes)
{
    if (!bytes.empty() && bytes.back() == '\0')
        bytes.remove_suffix(1);
    return DecodeFileText(bytes);
}

// The data after "=": a string, dword:, hex: or hex(type):.
std::optional<RegValue> ParseData(std::string_view data)
{
    data = TrimBlanks(data);
    if (data.starts_with('"')) {
        auto text = TakeQuoted(data);
        if (!text || !TrimBlanks(data).empty())
            return std::nullopt;
        return RegValue{{}, REG_SZ, std::move(*text)};
    }
    if (data.starts_with("dword:")) {
        const auto value = ParseHex32(TrimBlanks(data.substr(6)));
        if (!value)
            return std::nullopt;
        std::string bytes(4, '\0');
        PutLE32(reinterpret_cast<uint8_t*>(bytes.data()), *value);
        return RegValue{{}, REG_DWORD, std::move(bytes)};
    }
    uint32_t type = REG_BINARY;
    if (data.starts_with("hex(")) {
        const auto close = data.find(')');
        const auto number = close == std::string_view::npos ? std::nullopt : ParseHex32(data.substr(4, close - 4));
        if (!number)
            return std::nullopt;
        type = *number;
        data.remove_prefix(close + 1);
    } else if (data.starts_with("hex")) {
        data.remove_prefix(3);
    } else {
        return std::nullopt;
    }
    if (!data.starts_with(':'))
        return std::nullopt;
    auto bytes = ParseHexBytes(data.substr(1));
    if (!bytes)
        return std::nullopt;
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        return RegValue{{}, type, BytesToText(*bytes)};
    return RegValue{{}, type, std::move(*bytes)};
}

// "name"=data or @=data.
std::optional<RegValue> ParseValueLine(std::string_view line)
{
    std::string name;
    if (line.starts_with('@')) {
        line.remove_prefix(1);
    } else {
        auto quoted = TakeQuoted(line);
        if (!quoted)
            return std::nullopt;
        name = std::move(*quoted);
    }
    line = TrimBlanks(line);
    if (!line.starts_with('='))
        return std::nullopt;
    auto value = ParseData(line.substr(1));
    if (value)
        value->Name = std::move(name);
    return value;
}

// A hex list may go on over lines that end in "\".
std::string JoinContinuations(const std::vector<std::string_view>& lines, size_t& i)
{
    std::string joined(TrimBlanks(lines[i]));
    if (joined.find("=hex") == std::string::npos)
        return joined;
    while (!joined.empty() && joined.back() == '\\' && i + 1 < lines.size()) {
        joined.pop_back();
        joined += TrimBlanks(lines[++i]);
    }
    return joined;
}

// ---------------------------------------------------------------------------
// Writing

char HexDigit(unsigned value) { return "0123456789abcdef"[value & 15]; }

std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string HexBytes(std::string_view bytes)
{
    std::string list;
    for (const char c : bytes) {
        if (!list.empty())
            list += ',';
        list += HexDigit(static_cast<unsigned char>(c) >> 4);
        list += HexDigit(static_cast<unsigned char>(c));
    }
    return list;
}

std::string HexType(uint32_t type)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), HexDigit(type));
        type >>= 4;
    } while (type != 0);
    return digits;
}

bool HasControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string FormatData(const RegValue& value)
{
    switch (value.Type) {
    case REG_SZ:
        if (!HasControlCharacter(value.Data))
            return Quoted(value.Data);
        return "hex(1):" + HexBytes(EncodeFileText(value.Data) + '\0');
    case REG_EXPAND_SZ: return "hex(2):" + HexBytes(EncodeFileText(value.Data) + '\0');
    case REG_DWORD: {
        // Data shorter than four bytes reads as if the missing high bytes were 0.
        uint8_t bytes[4] = {};
        std::memcpy(bytes, value.Data.data(), std::min<size_t>(value.Data.size(), 4));
        uint32_t number = GetLE32(bytes);
        std::string digits(8, '0');
        for (int i = 7; i >= 0; --i, number >>= 4)
            digits[i] = HexDigit(number);
        return "dword:" + digits;
    }
    case REG_BINARY: return "hex:" + HexBytes(value.Data);
    default: return "hex(" + HexType(value.Type) + "):" + HexBytes(value.Data);
    }
}

void WriteKey(std::string& text, const std::string& path, const RegKey& key, bool isRoot)
{
    if (!isRoot || !key.Values.empty()) {
        text += "\r\n[" + path + "]\r\n";
        for (const auto& value : key.Values)
            text += (value.Name.empty() ? std::string("@") : Quoted(value.Name)) + "=" + FormatData(value) + "\r\n";
    }
    for (const auto& sub : key.SubKeys)
        WriteKey(text, path + "\\" + sub->Name, *sub, false);
}

} // namespace

// ---------------------------------------------------------------------------
// RegKey

RegKey* RegKey::SubKey(std::string_view name) const
{
    const auto found = std::lower_bound(SubKeys.begin(), SubKeys.end(), name, LessWithoutCase);
    return found != SubKeys.end() && AnsiSameText((*found)->Name, name) ? found->get() : nullptr;
}

RegKey& RegKey::EnsureSubKey(std::string_view name)
{
    const auto found = std::lower_bound(SubKeys.begin(), SubKeys.end(), name, LessWithoutCase);
    if (found != SubKeys.end() && AnsiSameText((*found)->Name, name))
        return **found;
    return **SubKeys.insert(found, std::make_unique<RegKey>(std::string(name)));
}

bool RegKey::RemoveSubKey(std::string_view name)
{
    const auto found = std::lower_bound(SubKeys.begin(), SubKeys.end(), name, LessWithoutCase);
    if (found == SubKeys.end() || !AnsiSameText((*found)->Name, name))
        return false;
    SubKeys.erase(found);
    return true;
}

const RegValue* RegKey::Value(std::string_view name) const
{
    for (const auto& value : Values)
        if (AnsiSameText(value.Name, name))
            return &value;
    return nullptr;
}

bool RegKey::SetValue(std::string_view name, uint32_t type, std::string data)
{
    for (auto& value : Values) {
        if (!AnsiSameText(value.Name, name))
            continue;
        if (value.Type == type && value.Data == data)
            return false;
        value.Type = type;
        value.Data = std::move(data);
        return true;
    }
    Values.push_back({std::string(name), type, std::move(data)});
    return true;
}

bool RegKey::RemoveValue(std::string_view name)
{
    const auto found = std::find_if(Values.begin(), Values.end(),
                                    [&](const RegValue& value) { return AnsiSameText(value.Name, name); });
    if (found == Values.end())
        return false;
    Values.erase(found);
    return true;
}

// ---------------------------------------------------------------------------
// Paths

RegPath SplitKeyPath(std::string_view path)
{
    RegPath parts;
    size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string JoinKeyPath(const RegPath& path)
{
    std::string joined;
    for (const auto& part : path) {
        if (!joined.empty())
            joined += '\\';
        joined += part;
    }
    return joined;
}

bool IsValidKeyName(std::string_view name)
{
    return !name.empty() && name.size() <= MaxKeyNameLength && name.find('\\') == std::string_view::npos &&
        !HasControlCharacter(name);
}

bool IsValidKeyPath(const RegPath& path)
{
    return path.size() <= MaxKeyDepth &&
        std::all_of(path.begin(), path.end(), [](const std::string& name) { return IsValidKeyName(name); });
}

bool IsValidValueName(std::string_view name) { return name.find_first_of("\r\n") == std::string_view::npos; }

// ---------------------------------------------------------------------------
// RegHive

RegHive::RegHive()
{
    for (const auto& root : RootNames)
        roots_.emplace_back(root.key, std::make_unique<RegKey>(root.name));
}

RegKey* RegHive::Root(HKEY root) const
{
    for (const auto& [key, node] : roots_)
        if (key == root)
            return node.get();
    return nullptr;
}

RegKey* RegHive::Find(HKEY root, const RegPath& path) const
{
    RegKey* key = Root(root);
    for (size_t i = 0; key != nullptr && i < path.size(); ++i)
        key = key->SubKey(path[i]);
    return key;
}

RegKey* RegHive::Ensure(HKEY root, const RegPath& path)
{
    if (!IsValidKeyPath(path))
        return nullptr;
    RegKey* key = Root(root);
    for (size_t i = 0; key != nullptr && i < path.size(); ++i)
        key = &key->EnsureSubKey(path[i]);
    return key;
}

bool RegHive::Remove(HKEY root, const RegPath& path)
{
    if (path.empty())
        return false;
    RegKey* parent = Find(root, RegPath(path.begin(), path.end() - 1));
    return parent != nullptr && parent->RemoveSubKey(path.back());
}

RegHive RegHive::Parse(std::string_view bytes)
{
    RegHive hive;
    const std::string text = DecodeFileText(bytes);
    const auto lines = SplitSettingsLines(text);
    RegKey* current = nullptr; // values before a usable key header are skipped
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string line = JoinContinuations(lines, i);
        if (line.starts_with('[')) {
            current = nullptr;
            const auto close = line.rfind(']');
            if (close == std::string::npos || line.starts_with("[-"))
                continue;
            RegPath path = SplitKeyPath(std::string_view(line).substr(1, close - 1));
            if (path.empty())
                continue;
            const auto root = std::find_if(std::begin(RootNames), std::end(RootNames),
                                           [&](const RootName& name) { return AnsiSameText(name.name, path.front()); });
            if (root == std::end(RootNames))
                continue;
            path.erase(path.begin());
            current = hive.Ensure(root->key, path);
        } else if (current != nullptr) {
            if (auto value = ParseValueLine(line))
                current->SetValue(value->Name, value->Type, std::move(value->Data));
        }
    }
    return hive;
}

std::string RegHive::Serialize() const
{
    std::string text(Header);
    text += "\r\n";
    for (const auto& [key, node] : roots_)
        WriteKey(text, node->Name, *node, true);
    return EncodeFileText(text);
}

} // namespace rtl

#include "platform/ui/Clipboard.h"

#include <map>

namespace {

// Program formats count up from here, above the platform's fixed ones.
constexpr UINT FirstRegisteredFormat = 0xC000;

struct FormatTable {
    std::map<std::string, UINT> numbers;
    std::map<UINT, std::string> names;
};

FormatTable& Formats()
{
    static auto* table = new FormatTable;
    return *table;
}

} // namespace

namespace ui {

UINT RegisterClipboardFormat(const std::string& Name)
{
    if (Name.empty())
        return 0;
    FormatTable& table = Formats();
    auto [it, added] = table.numbers.emplace(Name, FirstRegisteredFormat + static_cast<UINT>(table.numbers.size()));
    if (added)
        table.names.emplace(it->second, Name);
    return it->second;
}

std::string ClipboardFormatMimeType(UINT Format)
{
    auto it = Formats().names.find(Format);
    if (it == Formats().names.end())
        return {};
    return "application/x-vistelo-" + it->second;
}

} // namespace ui

TClipboard& Clipboard()
{
    static TClipboard clipboard;
    return clipboard;
}

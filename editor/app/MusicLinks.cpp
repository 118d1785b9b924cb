#include "editor/app/MusicLinks.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/rtl/CodePage.h"

namespace MusicLinks {

std::string RemoveLineBreaks(std::string_view text)
{
    std::string joined;
    joined.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n')
            joined += c;
    return joined;
}

std::vector<TLink> Parse(std::string_view text)
{
    std::vector<std::string> fields;
    if (!text.empty()) {
        std::string_view::size_type start = 0;
        for (;;) {
            const auto bar = text.find('|', start);
            if (bar == std::string_view::npos) {
                // The last field needs no closing bar; after one there is no field.
                if (start < text.size())
                    fields.emplace_back(text.substr(start));
                break;
            }
            fields.emplace_back(text.substr(start, bar - start));
            start = bar + 1;
        }
    }
    std::vector<TLink> links;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2)
        links.push_back({fields[i], fields[i + 1]});
    return links;
}

namespace {

bool ReadFileBytes(const std::string& fileName, std::string& bytes)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error))
        return false;
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    if (error || size > MaxFileSize)
        return false;
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad() && bytes.size() <= MaxFileSize;
}

} // namespace

std::string ReadText(const std::string& fileName)
{
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes))
        return "Datei \"" + fileName + "\" wurde nicht gefunden|" + DefaultAddress;
    return RemoveLineBreaks(rtl::AnsiToUtf8(bytes));
}

} // namespace MusicLinks

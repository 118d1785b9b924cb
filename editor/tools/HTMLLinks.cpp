#include "editor/tools/HTMLLinks.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace HTMLLinks {

namespace {

std::string Slashes(std::string text)
{
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

std::string WithoutEndSlashes(std::string text)
{
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

bool HasDriveLetter(const std::string& text)
{
    return text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':';
}

} // namespace

std::string TrimFolderName(const std::string& Text)
{
    const std::size_t first = Text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    std::string result = Text.substr(first, Text.find_last_not_of(' ') - first + 1);
    if (!result.empty() && result.front() == '\\')
        result.erase(0, 1);
    if (!result.empty() && result.back() == '\\')
        result.pop_back();
    return result;
}

std::string ResolveMainDir(const std::string& Text, const std::string& HomeDir)
{
    std::string path = Slashes(TrimFolderName(Text));
    if (HasDriveLetter(path))
        path.erase(0, 2);
    else if (path == "~" || path.rfind("~/", 0) == 0)
        path.erase(0, 1);
    else if (!path.empty() && path.front() == '/')
        return WithoutEndSlashes(path);
    path = SubFolder(path);
    const std::string home = WithoutEndSlashes(HomeDir);
    return path.empty() ? home : home + "/" + path;
}

std::string SubFolder(const std::string& Text)
{
    std::string path = Slashes(TrimFolderName(Text));
    path.erase(0, path.find_first_not_of('/') == std::string::npos ? path.size() : path.find_first_not_of('/'));
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

std::string PercentEncode(const std::string& Path)
{
    static const std::string kept = "-._~/!$'()*+,;=:@";
    std::string out;
    for (char ch : Path) {
        const auto byte = static_cast<unsigned char>(ch);
        if (std::isalnum(byte) && byte < 0x80) {
            out += ch;
        } else if (kept.find(ch) != std::string::npos) {
            out += ch;
        } else {
            static const char digits[] = "0123456789ABCDEF";
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0xF];
        }
    }
    return out;
}

std::string PercentDecode(const std::string& Path)
{
    std::string out;
    for (std::size_t i = 0; i < Path.size(); ++i) {
        if (Path[i] == '%' && i + 2 < Path.size() && std::isxdigit(static_cast<unsigned char>(Path[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(Path[i + 2]))) {
            out += static_cast<char>(std::stoi(Path.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += Path[i];
        }
    }
    return out;
}

std::string FileURI(const std::string& AbsolutePath) { return "file://" + PercentEncode(AbsolutePath); }

std::string HomeDir()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

} // namespace HTMLLinks

// File names as show files and lists bring them, stored on Windows or Linux:
// the path-string routines, mask matching and the mapping onto the native
// file system. Input: a name, a NUL, and a second name (a base or a mask).
// The outcome gives the parts the name was split into.
#include "fuzz/FuzzOutcome.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/WinPaths.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The text with bytes outside printable ASCII as \xNN, for the outcome.
std::string Printable(const std::string& text)
{
    static const char* const digits = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string name = input.substr(0, nul);
    const std::string other = nul == std::string::npos ? std::string() : input.substr(nul + 1);

    // The parts of a name put together give the name again.
    const std::string path = ExtractFilePath(name);
    Check(path + ExtractFileName(name) == name);
    Check(ExtractFileDrive(name).size() <= path.size() || path.empty());
    const std::string extension = ExtractFileExt(name);
    Check(ChangeFileExt(name, extension) == name);
    Check(ExtractFileName(name).ends_with(extension));
    Check(ExtractFileDir(name).size() <= path.size());
    Check(ExcludeTrailingPathDelimiter(IncludeTrailingPathDelimiter(name)).size() <= name.size() + 1);

    Check(rtl::MatchesMask(name, "*"));
    Check(rtl::MatchesMask(name, name.find_first_of("*?") == std::string::npos ? name : "*"));
    rtl::MatchesMask(name, other);
    ExtractRelativePath(other, name);
    rtl::ResolveStoredPath(name, other);
    ReportFuzzOutcome("path \"" + Printable(path) + "\" name \"" + Printable(ExtractFileName(name)) +
                      "\" extension \"" + Printable(extension) + "\"");
    return 0;
}

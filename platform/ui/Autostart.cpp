#include "platform/ui/Autostart.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"

#include <cstdlib>
#include <string_view>

namespace ui {

namespace {

std::string EscapedValue(const std::string& Text)
{
    std::string escaped;
    for (char c : Text) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else if (c == '\r')
            escaped += "\\r";
        else if (c == '\t')
            escaped += "\\t";
        else
            escaped += c;
    }
    return escaped;
}

bool IsPlain(const std::string& Arg)
{
    static constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`=%";
    return !Arg.empty() && Arg.find_first_of(reserved) == std::string::npos;
}

} // namespace

std::string AutostartFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return std::string(config) + "/autostart/";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.config/autostart/";
    return {};
}

std::string ExecArgument(const std::string& Arg)
{
    std::string percent;
    for (char c : Arg) {
        percent += c;
        if (c == '%')
            percent += '%';
    }
    if (IsPlain(Arg))
        return percent;
    std::string quoted = "\"";
    for (char c : percent) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string AutostartEntryText(const TAutostartEntry& Entry)
{
    std::string exec;
    for (const std::string& arg : Entry.Args)
        exec += (exec.empty() ? "" : " ") + ExecArgument(arg);
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
        EscapedValue(Entry.Name) +
        "\n"
        "Comment=" +
        EscapedValue(Entry.Comment) +
        "\n"
        "Exec=" +
        EscapedValue(exec) + "\n";
}

bool CreateAutostartEntry(const std::string& FileName, const TAutostartEntry& Entry)
{
    const std::string folder = AutostartFolder();
    if (folder.empty() || Entry.Args.empty() || !rtl::ForceDirectories(folder))
        return false;
    try {
        rtl::WriteFileAtomically(folder + FileName, AutostartEntryText(Entry));
    } catch (const Exception&) {
        return false;
    }
    return true;
}

} // namespace ui

#include "screensaver/launcher/DaemonArguments.h"

#include <cctype>
#include <cstdint>

namespace DaemonArguments {

std::optional<unsigned long> ParseWindowId(const std::string& Text)
{
    std::size_t at = 0;
    unsigned base = 10;
    if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
        at = 2;
        base = 16;
    }
    if (at >= Text.size())
        return std::nullopt;
    std::uint64_t value = 0;
    for (; at < Text.size(); ++at) {
        const auto c = static_cast<unsigned char>(Text[at]);
        unsigned digit = 0;
        if (std::isdigit(c))
            digit = c - '0';
        else if (base == 16 && std::isxdigit(c))
            digit = static_cast<unsigned>(std::tolower(c) - 'a' + 10);
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<unsigned long>(value);
}

namespace {

std::vector<std::string> Preview(const std::string& Id, std::string& Error)
{
    const auto window = ParseWindowId(Id);
    if (!window) {
        Error = "not a window id: '" + Id + "'";
        return {};
    }
    return {"/p", std::to_string(*window)};
}

} // namespace

std::vector<std::string> Translate(const std::vector<std::string>& Args, const char* EnvWindow, std::string& Error)
{
    Error.clear();
    for (std::size_t i = 0; i < Args.size(); ++i) {
        if (Args[i] == "-window-id" || Args[i] == "--window-id") {
            if (i + 1 == Args.size()) {
                Error = "-window-id needs a window id";
                return {};
            }
            return Preview(Args[i + 1], Error);
        }
    }
    for (const std::string& arg : Args)
        if (arg == "-root" || arg == "--root")
            return {"/s"};
    if (Args.empty() && EnvWindow && *EnvWindow)
        return Preview(EnvWindow, Error);
    return Args;
}

} // namespace DaemonArguments

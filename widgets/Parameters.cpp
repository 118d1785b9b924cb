#include "widgets/Parameters.h"

#include "platform/rtl/Exceptions.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace Parameters {

std::set<char> ParameterBegin{'-', '/'};

namespace {

std::optional<std::vector<std::string>> platformArguments;
bool ownParser = false;
std::string joinedLine;
std::vector<std::string> ownList;

std::vector<std::string> ReadProcessCommandLine()
{
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::string> arguments;
    std::string current;
    for (char c : all) {
        if (c == '\0') {
            arguments.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        arguments.push_back(current);
    return arguments;
}

const std::vector<std::string>& PlatformArguments()
{
    if (!platformArguments)
        platformArguments = ReadProcessCommandLine();
    return *platformArguments;
}

std::string QuoteBlankArgument(const std::string& argument)
{
    if (argument.find(' ') == std::string::npos)
        return argument;
    return '"' + argument + '"';
}

std::string JoinPlatformArguments()
{
    std::string line;
    for (int i = 0; i <= ParamCount(); ++i)
        line += QuoteBlankArgument(ParamStr(i)) + ' ';
    return line;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// At most two quote characters go: a closing one at the end, then an opening
// one at the start or else the first one inside.
std::string RemoveQuotes(std::string argument)
{
    if (!argument.empty() && IsQuote(argument.back()))
        argument.pop_back();
    if (!argument.empty() && IsQuote(argument.front())) {
        argument.erase(0, 1);
    } else if (auto dq = argument.find('"'); dq != std::string::npos) {
        argument.erase(dq, 1);
    } else if (auto sq = argument.find('\''); sq != std::string::npos) {
        argument.erase(sq, 1);
    }
    return argument;
}

// A blank ends an argument outside quotes, and always as the line's last
// character; text after the last ending blank is dropped.
std::vector<std::string> SplitOwnParameters(const std::string& line)
{
    std::vector<std::string> arguments;
    bool inDouble = false;
    bool inSingle = false;
    size_t start = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"')
            inDouble = !inDouble;
        else if (c == '\'')
            inSingle = !inSingle;
        else if (c == ' ' && ((!inDouble && !inSingle) || i + 1 == line.size())) {
            arguments.push_back(RemoveQuotes(line.substr(start, i - start)));
            start = i + 1;
        }
    }
    return arguments;
}

int ParamCountOwn() { return ownParser ? static_cast<int>(ownList.size()) - 1 : ParamCount(); }

// On this system "/" also begins every absolute path: an argument that
// begins with it and names an existing file is a file name, so "/S" stays a
// switch and "/home/u/show.vsf" is a file name when that show exists.
bool IsAbsolutePath(const std::string& argument)
{
    std::error_code ignored;
    return argument.size() > 1 && argument[0] == '/' && std::filesystem::exists(argument, ignored);
}

bool IsSwitch(const std::string& argument)
{
    return !argument.empty() && ParameterBegin.count(argument[0]) != 0 && !IsAbsolutePath(argument);
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

} // namespace

void SetPlatformArguments(std::vector<std::string> arguments) { platformArguments = std::move(arguments); }

int ParamCount()
{
    const auto& arguments = PlatformArguments();
    return arguments.empty() ? 0 : static_cast<int>(arguments.size()) - 1;
}

std::string ParamStr(int index)
{
    const auto& arguments = PlatformArguments();
    if (index < 0 || index >= static_cast<int>(arguments.size()))
        return {};
    return arguments[static_cast<size_t>(index)];
}

void UseOwnParameterParser(bool on)
{
    if (on == ownParser)
        return;
    ownParser = on;
    if (on) {
        joinedLine = JoinPlatformArguments();
        ownList = SplitOwnParameters(joinedLine);
        if (ownList.empty())
            ownList.emplace_back();
    } else {
        FreeParameters();
    }
}

void FreeParameters()
{
    ownList.clear();
    joinedLine.clear();
}

std::string AllParameters()
{
    if (!ownParser)
        throw Exception("AllParameters geht nur, wenn UseOwnParser = True!");
    return joinedLine;
}

std::string PParamStr(int index)
{
    if (!ownParser)
        return ParamStr(index);
    if (index < 0 || index >= static_cast<int>(ownList.size()))
        return {};
    return ownList[static_cast<size_t>(index)];
}

bool Params() { return ParamCountOwn() != 0; }

std::string GetParam(char letter)
{
    for (int i = 1; i <= ParamCountOwn(); ++i) {
        const std::string argument = PParamStr(i);
        if (argument.size() > 1 && IsSwitch(argument) && Upper(argument[1]) == Upper(letter))
            return argument;
    }
    return {};
}

bool Param(char letter) { return !GetParam(letter).empty(); }

std::string GetParamFileName(char letter)
{
    const std::string argument = GetParam(letter);
    return argument.empty() ? std::string() : argument.substr(2);
}

int FileNameCount()
{
    int count = 0;
    for (int i = 1; i <= ParamCountOwn(); ++i)
        if (!IsSwitch(PParamStr(i)))
            ++count;
    return count;
}

std::string GetFileName(int n)
{
    for (int i = 1; i <= ParamCountOwn(); ++i) {
        const std::string argument = PParamStr(i);
        if (!IsSwitch(argument) && --n == 0)
            return argument;
    }
    return {};
}

} // namespace Parameters

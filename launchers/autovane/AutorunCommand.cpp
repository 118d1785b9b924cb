#include "launchers/autovane/AutorunCommand.h"

#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>

extern char** environ;

namespace AutorunCommand {

namespace {

// An autorun file is a few lines; anything much larger is not one.
constexpr std::streamsize MaxAutorunFileSize = 64 * 1024;

std::string Trim(const std::string& Text)
{
    const char* blanks = " \t\r\n";
    const auto first = Text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return Text.substr(first, Text.find_last_not_of(blanks) - first + 1);
}

bool SameText(const std::string& A, const std::string& B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string DropEnclosingQuotes(const std::string& Value)
{
    if (Value.size() < 2 || Value.front() != Value.back() || (Value.front() != '"' && Value.front() != '\''))
        return Value;
    // "a" "b" is two quoted parts, not one quoted value.
    const std::string inner = Value.substr(1, Value.size() - 2);
    return inner.find(Value.front()) == std::string::npos ? inner : Value;
}

bool PathExists(const std::string& Path)
{
    struct stat info { };
    return ::stat(Path.c_str(), &info) == 0;
}

// The entry of Folder named Name: exactly, else the first without regard to
// case, else Name itself.
std::string FindEntry(const std::string& Folder, const std::string& Name)
{
    if (PathExists(Folder + Name))
        return Name;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(Folder.empty() ? "." : Folder.c_str()), ::closedir);
    if (!dir)
        return Name;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (SameText(entry->d_name, Name))
            return entry->d_name;
    }
    return Name;
}

std::string ReadSmallFile(const std::string& Path)
{
    std::ifstream file(Path, std::ios::binary);
    if (!file)
        return {};
    std::string text(static_cast<size_t>(MaxAutorunFileSize) + 1, '\0');
    file.read(text.data(), MaxAutorunFileSize + 1);
    if (file.gcount() > MaxAutorunFileSize)
        return {};
    text.resize(static_cast<size_t>(file.gcount()));
    return text;
}

// The program as the start folder holds it; a Windows program name may stand
// for the same program without its ".exe".
std::string ResolveProgram(const std::string& StartFolder, const std::string& WindowsPath)
{
    const std::string mapped = MapWindowsPath(StartFolder, WindowsPath);
    const std::string exe = ".exe";
    if (PathExists(mapped) || WindowsPath.size() <= exe.size() ||
        !SameText(WindowsPath.substr(WindowsPath.size() - exe.size()), exe))
        return mapped;
    const std::string bare = MapWindowsPath(StartFolder, WindowsPath.substr(0, WindowsPath.size() - exe.size()));
    return PathExists(bare) ? bare : mapped;
}

} // namespace

std::string ReadIniValue(const std::string& IniText, const std::string& Section, const std::string& Key)
{
    bool inSection = false;
    size_t lineStart = 0;
    while (lineStart < IniText.size()) {
        size_t lineEnd = IniText.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = IniText.size();
        const std::string line = Trim(IniText.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (!line.empty() && line.front() == '[') {
            const auto close = line.find(']');
            inSection = close != std::string::npos && SameText(Trim(line.substr(1, close - 1)), Section);
            continue;
        }
        const auto equals = line.find('=');
        if (inSection && equals != std::string::npos && SameText(Trim(line.substr(0, equals)), Key))
            return DropEnclosingQuotes(Trim(line.substr(equals + 1)));
    }
    return {};
}

std::vector<std::string> SplitParameters(const std::string& Text)
{
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c == '\\') {
            size_t slashes = 0;
            while (i < Text.size() && Text[i] == '\\') {
                ++slashes;
                ++i;
            }
            inArgument = true;
            if (i < Text.size() && Text[i] == '"') {
                // 2n backslashes before a quote are n backslashes and the quote
                // acts; 2n+1 make the quote a plain character.
                current.append(slashes / 2, '\\');
                if (slashes % 2 == 1)
                    current += '"';
                else
                    --i; // the quote is handled on the next turn
            } else {
                current.append(slashes, '\\');
                --i;
            }
        } else if (c == '"') {
            inArgument = true;
            if (quoted && i + 1 < Text.size() && Text[i + 1] == '"') {
                current += '"'; // a doubled quote inside quotes is one quote
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inArgument)
                args.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        args.push_back(current);
    return args;
}

std::string MapWindowsPath(const std::string& Folder, const std::string& WindowsPath)
{
    std::string path = Folder;
    size_t start = 0;
    while (start <= WindowsPath.size()) {
        size_t end = WindowsPath.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = WindowsPath.size();
        const std::string component = WindowsPath.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".")
            continue;
        path += component == ".." ? component : FindEntry(path, component);
        if (end < WindowsPath.size())
            path += '/';
    }
    return path;
}

TStartCommand CommandFromOpenValue(const std::string& StartFolder, const std::string& OpenValue)
{
    const auto blank = OpenValue.find(' ');
    const std::string program = OpenValue.substr(0, blank);
    TStartCommand command;
    command.Program = ResolveProgram(StartFolder, program);
    command.WorkDir = StartFolder;
    if (blank != std::string::npos) {
        for (const std::string& arg : SplitParameters(OpenValue.substr(blank + 1))) {
            const std::string mapped = MapWindowsPath(StartFolder, arg);
            command.Args.push_back(!arg.empty() && PathExists(mapped) ? mapped : arg);
        }
    }
    return command;
}

bool RunAutorunCommand(const std::string& StartFolder, const TStartFunction& Start)
{
    try {
        const std::string iniText = ReadSmallFile(StartFolder + FindEntry(StartFolder, "autorun.inf"));
        const std::string open = ReadIniValue(iniText, "autorun", "OPEN");
        if (open.empty())
            return false;
        Start(CommandFromOpenValue(StartFolder, open));
        return true;
    } catch (...) {
        // A CD start program has no one to tell: it ends quietly.
        return false;
    }
}

void SpawnCommand(const TStartCommand& Command)
{
    std::vector<std::string> argv{Command.Program};
    argv.insert(argv.end(), Command.Args.begin(), Command.Args.end());
    std::vector<char*> argvPointers;
    for (std::string& arg : argv)
        argvPointers.push_back(arg.data());
    argvPointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        throw std::runtime_error("cannot prepare the start");
    std::unique_ptr<posix_spawn_file_actions_t, int (*)(posix_spawn_file_actions_t*)> guard(
        &actions, posix_spawn_file_actions_destroy);
    if (!Command.WorkDir.empty() && posix_spawn_file_actions_addchdir_np(&actions, Command.WorkDir.c_str()) != 0)
        throw std::runtime_error("cannot prepare the start");
    pid_t child = 0;
    const int error = posix_spawn(&child, Command.Program.c_str(), &actions, nullptr, argvPointers.data(), environ);
    if (error != 0)
        throw std::runtime_error(std::string("cannot start ") + Command.Program + ": " + std::strerror(error));
}

std::string StartFolderOf(const std::string& ProgramPath)
{
    const auto slash = ProgramPath.rfind('/');
    return slash == std::string::npos ? std::string("./") : ProgramPath.substr(0, slash + 1);
}

} // namespace AutorunCommand

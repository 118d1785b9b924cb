#include "launchers/autovane/AutorunCommand.h"

#include <unistd.h>

#include <climits>
#include <string>

namespace {

// The program's own file: argv[0] need not name it when started by a desktop.
std::string ProgramPath(const char* Argv0)
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0)
        return std::string(buffer, static_cast<size_t>(length));
    return Argv0 ? Argv0 : "";
}

} // namespace

int main(int, char** argv)
{
    const std::string startFolder = AutorunCommand::StartFolderOf(ProgramPath(argv[0]));
    AutorunCommand::RunAutorunCommand(startFolder, AutorunCommand::SpawnCommand);
    return 0;
}

// Starts the screen saver the way a screen-saver host does: loads the module
// beside this program, tells it the home folder and lets it read the command
// line. A daemon's command line is first put in the module's terms (and this
// program started again with it, so that the module reads what it knows).

#include "screensaver/launcher/DaemonArguments.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return "./";
    std::string folder(path, static_cast<std::size_t>(n));
    return folder.substr(0, folder.rfind('/') + 1);
}

int RestartWith(const char* program, const std::vector<std::string>& args)
{
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv("/proc/self/exe", argv.data());
    std::perror("slumbrix-launcher: restart");
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const std::vector<std::string> own = DaemonArguments::Translate(args, std::getenv("XSCREENSAVER_WINDOW"), error);
    if (!error.empty()) {
        std::fprintf(stderr, "slumbrix-launcher: %s\n", error.c_str());
        return 2;
    }
    if (own != args)
        return RestartWith(argv[0], own);

    const std::string home = ProgramFolder();
    void* module = ::dlopen((home + "Slumbrix.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "slumbrix-launcher: %s\n", ::dlerror());
        return 1;
    }
    using TSetHomeDir = void (*)(const char*);
    using TStart = void (*)();
    auto setHomeDir = reinterpret_cast<TSetHomeDir>(::dlsym(module, "SetHomeDir"));
    auto start = reinterpret_cast<TStart>(::dlsym(module, "StartScreenSaverPackage"));
    if (!setHomeDir || !start) {
        std::fprintf(stderr, "slumbrix-launcher: Slumbrix.so lacks its entries\n");
        return 1;
    }
    setHomeDir(home.c_str());
    start();
    // The module is left loaded: its toolkit's exit handlers run at the end.
    return 0;
}

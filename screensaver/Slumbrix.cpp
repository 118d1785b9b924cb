// The two entries the launcher calls. Nothing thrown inside may leave them:
// an exception crossing into the launcher would end it without a word.

#include "core/Setup.h"
#include "screensaver/SSaverInterface.h"

#include <cstdio>
#include <exception>

#define SLUMBRIX_EXPORT extern "C" __attribute__((visibility("default")))

SLUMBRIX_EXPORT void SetHomeDir(const char* Folder)
{
    try {
        Setup::HomeDir = Folder ? Folder : "";
    } catch (...) {
        std::fputs("Slumbrix: the home folder could not be taken\n", stderr);
    }
}

SLUMBRIX_EXPORT void StartScreenSaverPackage()
{
    try {
        SSaverInterface::StartScreenSaverPackage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Slumbrix: %s\n", e.what());
    } catch (...) {
        std::fputs("Slumbrix: the screen saver ended on an unknown error\n", stderr);
    }
}

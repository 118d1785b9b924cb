#include "launchers/rollavin/PlayFromCommandLine.h"

#include "platform/rtl/SysPaths.h"
#include "platform/ui/Forms.h"

#include <malloc.h>

#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Every slide loads and frees pictures of many megabytes. Served from
    // mappings of their own they go back to the system when freed, instead of
    // leaving the heap a little larger after each slide.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const PlayFromCommandLine::TShowPreparedEarly prepared(args);
    Application->Title = "Vistelo-Player";
    Application->Initialize();
    try {
        return PlayFromCommandLine::PlayFromCommandLine(args, rtl::ProgramDir(), PlayFromCommandLine::PackageStarts());
    } catch (const std::exception& e) {
        // Nothing below the top knows better what to do with it: report and end.
        Application->ShowException(e);
        return 1;
    }
}

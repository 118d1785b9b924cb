// Every test program runs headless and finds its fixtures, also when started
// by hand rather than through CTest: defaults for the environment that the
// caller did not set.
#include <cstdlib>

namespace {

struct TestEnvironment {
    TestEnvironment()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("VISTELO_TEST_DATA", VISTELO_TEST_DATA_DIR, 0);
    }
} testEnvironment;

} // namespace

// Leaks inside system libraries that keep process-wide caches on purpose
// (fontconfig's default configuration, D-Bus), also for programs started
// without the suppression file.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }

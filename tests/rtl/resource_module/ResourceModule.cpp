// A module whose only content is the resource ResourcesTest.cmake embeds in
// it; the test finds it through the module's handle.
#include "platform/rtl/Resources.h"

extern "C" HMODULE RtlResourceModuleInstance() { return rtl::HInstance(); }

// A package for the module tests: registers a class and a property at load,
// keeps a counter that must start from zero at every load, and reports the
// order of its init and fini functions.

#include "platform/rtl/Classes.h"
#include "platform/rtl/Modules.h"
#include "platform/rtl/Properties.h"

#include <string>

class TPackagedThing : public TPersistent {
    DECLARE_CLASS(TPackagedThing, TPersistent)
public:
    int Size = 7;
};
IMPLEMENT_CLASS(TPackagedThing)

namespace {

int counter = 0;
std::string initLog;
void (*finiObserver)(const char*) = nullptr;

void InitClasses()
{
    initLog += "classes;";
    rtl::RegisterClass(TPackagedThing::StaticClass());
    rtl::RegisterPublishedProperty<TPackagedThing>(
        "Size", tkInteger, [](const TPackagedThing& t) { return TPropValue(int64_t(t.Size)); },
        [](TPackagedThing& t, const TPropValue& v) { t.Size = static_cast<int>(std::get<int64_t>(v)); });
}

void FiniClasses()
{
    if (finiObserver)
        finiObserver("classes");
}

void InitCounter() { initLog += "counter;"; }

void FiniCounter()
{
    if (finiObserver)
        finiObserver("counter");
}

const bool registered = (rtl::RegisterModuleInit(InitClasses, FiniClasses),
                         rtl::RegisterModuleInit(InitCounter, FiniCounter), true);

} // namespace

extern "C" int BumpCounter() { return ++counter; }

extern "C" const char* InitLog() { return initLog.c_str(); }

extern "C" void SetFiniObserver(void (*observer)(const char*)) { finiObserver = observer; }

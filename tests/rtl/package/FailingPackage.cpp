// A package whose second init function fails: the load must undo the first
// one and the class it registered.

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Modules.h"

class TDoomedThing : public TPersistent {
    DECLARE_CLASS(TDoomedThing, TPersistent)
};
IMPLEMENT_CLASS(TDoomedThing)

namespace {

void Register() { rtl::RegisterClass(TDoomedThing::StaticClass()); }

void Fail() { throw EInOutError("settings unreadable"); }

const bool registered = (rtl::RegisterModuleInit(Register, nullptr), rtl::RegisterModuleInit(Fail, nullptr), true);

} // namespace

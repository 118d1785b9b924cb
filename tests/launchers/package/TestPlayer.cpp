// A player package that records what its host asks of it.

#include "core/PlayerPackageInterface.h"
#include "platform/rtl/Modules.h"
#include "tests/launchers/package/TestPlayerLog.h"

#include <dlfcn.h>

#include <stdexcept>

namespace {

TTestPlayerLog& Log()
{
    using TLogFunction = TTestPlayerLog* (*)();
    auto find = reinterpret_cast<TLogFunction>(::dlsym(RTLD_DEFAULT, "LaunchersTestPlayerLog"));
    if (!find)
        throw std::logic_error("the test program exports no player log");
    return *find();
}

} // namespace

class TMainPlayer : public TPlayerPackageInterface {
    DECLARE_CLASS(TMainPlayer, TPlayerPackageInterface)
public:
    TMainPlayer() { ++Log().Created; }
    ~TMainPlayer() override { ++Log().Destroyed; }

    bool VisteloStartFilename(const std::string& FileName, std::int32_t StartIndex) override
    {
        Record("VisteloStartFilename", FileName, StartIndex, -2, nullptr);
        return Log().Loads;
    }
    void VisteloStart(TVistelo& Show, std::int32_t StartIndex) override
    {
        Record("VisteloStart", {}, StartIndex, -2, &Show);
    }
    bool VisteloListStartFilename(const std::string& FileName, std::int32_t StartEntry,
                                  std::int32_t& ListIndex) override
    {
        Record("VisteloListStartFilename", FileName, StartEntry, ListIndex, nullptr);
        ListIndex = 7;
        return Log().Loads;
    }
    bool VisteloListStart(TVisteloList& List, std::int32_t StartEntry, std::int32_t& ListIndex) override
    {
        Record("VisteloListStart", {}, StartEntry, ListIndex, &List);
        ListIndex = 7;
        return Log().Loads;
    }

private:
    static void Record(const char* Call, const std::string& FileName, std::int32_t Start, std::int32_t ListIndex,
                       const void* Object)
    {
        TTestPlayerLog& log = Log();
        log.Calls.push_back(Call);
        log.FileName = FileName;
        log.Start = Start;
        log.ListIndexIn = ListIndex;
        log.Object = Object;
        if (log.ThrowInCall)
            throw EInOutError("playback failed");
    }
};

IMPLEMENT_CLASS(TMainPlayer)

namespace {

const bool registered = (rtl::RegisterModuleInit([] { rtl::RegisterClass(TMainPlayer::StaticClass()); },
                                                 [] { rtl::UnRegisterClass(TMainPlayer::StaticClass()); }),
                         true);

} // namespace

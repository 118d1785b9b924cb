// The CD start program's reading of an autorun file and of the parameter text
// of its OPEN line. The program links nothing of the system, so its unit is
// compiled in here.

#include "launchers/autovane/AutorunCommand.cpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string text(reinterpret_cast<const char*>(Data), Size);
    const std::string open = AutorunCommand::ReadIniValue(text, "autorun", "OPEN");
    AutorunCommand::SplitParameters(open);
    AutorunCommand::SplitParameters(text);
    return 0;
}

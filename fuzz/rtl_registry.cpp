// Feeds arbitrary bytes to the REGEDIT4 reader of the registry file and checks
// that what it read is written and read again without change. The outcome is
// the size of what was written.
#include "fuzz/FuzzOutcome.h"
#include "platform/rtl/RegistryHive.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const rtl::RegHive hive = rtl::RegHive::Parse(bytes);
    const std::string text = hive.Serialize();
    if (rtl::RegHive::Parse(text).Serialize() != text)
        std::abort();
    ReportFuzzOutcome("wrote " + std::to_string(text.size()) + " bytes");
    return 0;
}

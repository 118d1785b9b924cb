// Feeds arbitrary bytes to the ini file reader as a settings file, reads every
// section and key back, and checks that a write afterwards keeps the file
// readable and holds what was written.
#include "platform/rtl/IniFiles.h"

#include "platform/rtl/StringList.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string ScratchFile()
{
    const char* shm = "/dev/shm";
    const std::string folder = access(shm, W_OK) == 0 ? shm : "/tmp";
    return folder + "/vistelo-fuzz-ini-" + std::to_string(getpid()) + ".ini";
}

void ReadEverything(TIniFile& ini)
{
    TStringList sections;
    TStringList keys;
    TStringList values;
    ini.ReadSections(sections);
    for (int s = 0; s < sections.Count(); ++s) {
        const std::string section = sections.Strings(s);
        ini.ReadSection(section, keys);
        ini.ReadSectionValues(section, values);
        for (int k = 0; k < keys.Count(); ++k) {
            ini.ReadString(section, keys.Strings(k), "");
            ini.ReadBool(section, keys.Strings(k), false);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = ScratchFile();
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
    try {
        TIniFile ini(path);
        ReadEverything(ini);
        ini.WriteString("Fuzz Section", "Key", "\"quoted value\"");
        if (ini.ReadString("fuzz section", "KEY", "") != "quoted value")
            std::abort();
        ini.WriteInteger("Fuzz Section", "Number", -123);
        if (ini.ReadInteger("Fuzz Section", "Number", 0) != -123)
            std::abort();
        ini.EraseSection("Fuzz Section");
        if (ini.SectionExists("Fuzz Section"))
            std::abort();
        ReadEverything(ini);
    } catch (const Exception&) {
        // A clean refusal (an oversized or unreadable file) is fine.
    }
    std::remove(path.c_str());
    return 0;
}

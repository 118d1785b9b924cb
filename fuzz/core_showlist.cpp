// Loads arbitrary bytes as a show-list file and copies the result. Damage
// must end in a false result, never in a crash, a hang or a huge allocation.
#include "core/VisteloList.h"
#include "platform/ui/Dialogs.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string ScratchFile()
{
    const char* shm = "/dev/shm";
    const std::string folder = access(shm, W_OK) == 0 ? shm : "/tmp";
    return folder + "/vistelo-fuzz-showlist-" + std::to_string(getpid()) + ".vsl";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string fileName = ScratchFile();
    // Message boxes are answered at once and not kept.
    if (!ui::DialogScriptActive())
        ui::BeginDialogScript();
    ui::ClearRecordedDialogs();
    {
        std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    TVisteloList list;
    list.LoadFromFile(fileName);
    std::int32_t walked = 0;
    for (const TListItem* node = list.Items->Head; node != nullptr; node = node->NextItem)
        ++walked;
    if (walked != list.Items->Count)
        __builtin_trap();
    TVisteloList copy;
    copy.Assign(&list);
    if (copy.Items->Count != list.Items->Count)
        __builtin_trap();
    std::remove(fileName.c_str());
    return 0;
}

// Loads arbitrary bytes as a show file (and, when they are no container, as
// an old "KWTB" show) in every mode of the reader, then copies the result.
// Damage must end in dlrNoVSF, never in a crash, a hang or a huge allocation.
// The outcome gives each mode's result and entry count.
#include "core/VisteloNPics.h"
#include "fuzz/FuzzOutcome.h"

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
    return folder + "/vistelo-fuzz-show-" + std::to_string(getpid()) + ".vsf";
}

// Touches every entry the reader produced, so a half-made one shows.
void Walk(TVistelo& show)
{
    for (std::int32_t position = 0; position < show.Count; ++position) {
        TPicInfoObject* entry = show.GetPicInfo(show.GetOrder(position));
        if (entry == nullptr)
            __builtin_trap(); // the order must be a permutation of the entries
        if (entry->CommentFont)
            entry->CommentFont->Name();
    }
    TVistelo copy;
    copy.Assign(&show);
    if (copy.Count != show.Count)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string fileName = ScratchFile();
    {
        std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    TVistelo show;
    std::string outcome;
    for (const auto& [onlyInfo, noThumbnails] : {std::pair{false, false}, {false, true}, {true, false}}) {
        const TVisteloLoadResult result = show.LoadFromFile(fileName, onlyInfo, noThumbnails);
        if (result != dlrOK && show.Count != 0)
            __builtin_trap(); // a failed load leaves no entries
        Walk(show);
        outcome += "result " + std::to_string(static_cast<int>(result)) + ": " + std::to_string(show.Count) +
            " entries, ";
    }
    show.LoadFromFileOld(fileName);
    Walk(show);
    ReportFuzzOutcome(outcome + "old format: " + std::to_string(show.Count) + " entries");
    std::remove(fileName.c_str());
    return 0;
}

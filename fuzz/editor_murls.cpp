// The music links data file: bytes of any kind are read as the collection
// the links dialog lists.
#include <cstdint>
#include <string>

#include "editor/app/MusicLinks.h"
#include "fuzz/BytesInFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    MusicLinks::Parse(bytes);

    WithBytesInFile(data, size, "vistelo_murls",
                    [](const std::string& name) { MusicLinks::Parse(MusicLinks::ReadText(name)); });
    return 0;
}

// The music links data file: bytes of any kind are read as the collection
// the links dialog lists.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "editor/app/MusicLinks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    MusicLinks::Parse(bytes);

    char name[] = "/tmp/vistelo_murls_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        return 0;
    if (std::FILE* file = fdopen(fd, "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
        MusicLinks::Parse(MusicLinks::ReadText(name));
    } else {
        close(fd);
    }
    std::remove(name);
    return 0;
}

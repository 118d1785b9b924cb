// Opens arbitrary bytes as a chunk container, walks every chunk the header
// counts and reads fields of every kind from each, the way the system's
// readers do. Damage must end in EZOFileError, never in a crash, a hang or a
// huge allocation. The outcome counts the chunks walked and the fields that
// ran past their chunk, or names the refusal.
#include "core/ZOFileWinTypes.h"

#include "fuzz/FuzzOutcome.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Jpeg.h"

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
    return folder + "/vistelo-fuzz-container-" + std::to_string(getpid()) + ".zo";
}

// The chunk id picks which mix of fields is read, so every kind meets every
// kind of damage.
void ReadFields(c_zofilewintypes& zo, std::int32_t id)
{
    switch (static_cast<std::uint32_t>(id) % 5) {
    case 0: {
        zo.read_int();
        zo.read_bool();
        zo.read_string();
        zo.read_widestring();
        break;
    }
    case 1: {
        std::unique_ptr<TFont> font;
        zo.read_TFont(font);
        TColor color = 0;
        zo.read_TColor(color);
        break;
    }
    case 2: {
        std::unique_ptr<TJPEGImage> jpeg;
        zo.read_JPEG(jpeg);
        break;
    }
    case 3: {
        std::uint8_t rect[40];
        zo.read_data(rect, sizeof rect);
        zo.read_bytes(zo.read_int());
        break;
    }
    default: {
        s_copyright_information info;
        zo.read_copyright_chunk(info);
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string name = ScratchFile();
    {
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    int chunks = 0, fieldErrors = 0;
    try {
        c_zofilewintypes zo(name, zoRead);
        for (std::int32_t i = 0; i < zo.chunkcount; ++i) {
            const std::int64_t start = zo.get_file_position();
            s_chunk_header chunk;
            zo.read_chunk_header(chunk);
            try {
                ReadFields(zo, chunk.id);
            } catch (const EZOFileError&) {
                // A field past the chunk's bytes; the walk goes on by the length.
                ++fieldErrors;
            }
            zo.set_file_position(start + chunk.length);
            ++chunks;
        }
        ReportFuzzOutcome(std::to_string(chunks) + " chunks, " + std::to_string(fieldErrors) + " field errors");
    } catch (const EZOFileError&) {
        ReportFuzzOutcome("refused after " + std::to_string(chunks) + " chunks");
    }
    std::remove(name.c_str());
    return 0;
}

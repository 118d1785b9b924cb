// Feeds arbitrary bytes to the WAV header reader of the recordings: it must
// read a header or raise its "Keine WAV-Datei" error, never crash or hang,
// and what it reports must lie inside the bytes it was given.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/media/WAVTools.h"
#include "platform/rtl/Streams.h"

namespace {

class TBytesStream : public TCustomMemoryStream {
public:
    TBytesStream(const uint8_t* data, size_t size) { SetPointer(data, static_cast<int64_t>(size)); }
    int64_t Write(const void*, int64_t) override { return 0; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TBytesStream stream(data, size);
    TWAVInfo info;
    try {
        WAVTools::ReadWAVHeader(stream, "fuzz.wav", info);
    } catch (const EWAVError&) {
        return 0;
    }
    if (info.FileLength != static_cast<int64_t>(size) || info.DataLength < -1 || info.DataLength > 0xFFFFFFFFll)
        __builtin_trap();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        __builtin_trap();
    return 0;
}

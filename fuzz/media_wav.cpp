// Feeds arbitrary bytes to the WAV reader: it must decode them or raise the
// media error, never crash, hang or claim memory beyond the input.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/media/WavReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        media::WavSource source(std::vector<uint8_t>(data, data + size));
        std::vector<float> buffer(257 * static_cast<size_t>(source.Format().Channels));
        int64_t frames = 0;
        while (size_t got = source.Read(buffer.data(), 257))
            frames += static_cast<int64_t>(got);
        if (frames != source.LengthFrames())
            __builtin_trap();
        source.Rewind();
        source.Read(buffer.data(), 1);
    } catch (const EMediaError&) {
    }
    return 0;
}

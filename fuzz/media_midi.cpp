// Feeds arbitrary bytes to the MIDI file scan that measures a file's playing
// time: it must give a time or raise the media error, never crash or hang.
#include <cstddef>
#include <cstdint>

#include "platform/media/MidiSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        if (media::MidiFileDurationMs(data, size) < 0)
            __builtin_trap();
    } catch (const EMediaError&) {
    }
    return 0;
}

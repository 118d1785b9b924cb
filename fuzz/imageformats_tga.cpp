// Feeds arbitrary bytes to the Truevision reader: it must load them or raise
// the picture error, never crash, hang or claim huge memory. What it loads is
// written back compressed and read again.
#include <cstddef>
#include <cstdint>

#include "imageformats/TargaGraphic.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
    TTargaGraphic::CanLoad(stream);
    TTargaGraphic tga;
    try {
        tga.LoadFromStream(stream);
    } catch (const EInvalidGraphic&) {
        return 0;
    } catch (const EOutOfMemory&) {
        return 0;
    }
    TMemoryStream saved;
    tga.SaveToStream(saved, true);
    saved.SetPosition(0);
    TTargaGraphic back;
    back.LoadFromStream(saved);
    if (back.Width() != tga.Width() || back.Height() != tga.Height())
        __builtin_trap();
    return 0;
}

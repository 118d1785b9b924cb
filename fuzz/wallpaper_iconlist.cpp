// The stored icon list of the notification-area icon: counts, sizes and the
// icon files inside.
#include <cstdint>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "wallpaper/IconList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
    TIconList list;
    try {
        list.ReadData(stream);
        TMemoryStream out;
        list.WriteData(out);
    } catch (const Exception&) {
    }
    return 0;
}

// Icon reading: the directory, the chosen image and its mask, and drawing it.
#include <cstdint>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Icon.h"
#include "platform/rtl/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
    TIcon icon;
    try {
        icon.LoadFromStream(stream);
        TBitmap page(24, 24, pf24bit);
        page.Canvas().StretchDraw({0, 0, 24, 24}, icon);
        icon.SetSize(16, 16);
        page.Canvas().Draw(0, 0, icon);
    } catch (const Exception&) {
    }
    return 0;
}

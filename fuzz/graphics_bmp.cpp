// Feeds arbitrary bytes to the BMP reader: it must load them or raise the
// picture error, never crash, hang or claim huge memory.
#include <cstddef>
#include <cstdint>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
    TBitmap bitmap;
    try {
        bitmap.LoadFromStream(stream);
        // Drawing and converting touch every pixel of what was read.
        TBitmap copy(bitmap.Width() % 64, bitmap.Height() % 64, pf24bit);
        copy.Canvas().StretchDraw({0, 0, copy.Width(), copy.Height()}, bitmap);
    } catch (const EInvalidGraphic&) {
    } catch (const EOutOfMemory&) {
    }
    return 0;
}

// JPEG reading: the header alone (size, progressive flag), then decodes at
// a scale that keeps the work small.
#include <cstdint>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromStream(stream);
        jpeg.ProgressiveDisplay();
        for (TJPEGScale scale : {jsFullSize, jsHalf, jsQuarter, jsEighth}) {
            jpeg.SetScale(scale);
            if (static_cast<int64_t>(jpeg.Width()) * jpeg.Height() <= 1 << 20) {
                // Straight into a bitmap first (nothing cached yet), then into the cache.
                TBitmap bitmap;
                bitmap.Assign(&jpeg);
                jpeg.DIBNeeded();
                break;
            }
        }
    } catch (const Exception&) {
    }
    return 0;
}

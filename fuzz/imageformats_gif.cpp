// Feeds arbitrary bytes to the GIF reader (see ImageReaderFuzz.h).
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/GIFGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageReader<TGIFGraphic>(data, size);
}

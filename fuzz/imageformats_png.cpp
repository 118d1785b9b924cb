// Feeds arbitrary bytes to the PNG reader (see ImageReaderFuzz.h).
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/PNGGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageReader<TPNGGraphic>(data, size);
}

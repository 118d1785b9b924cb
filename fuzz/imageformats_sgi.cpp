// Feeds arbitrary bytes to the SGI reader.
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/SGIGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageReader<TSGIGraphic>(data, size);
}

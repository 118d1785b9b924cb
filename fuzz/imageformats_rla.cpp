// Feeds arbitrary bytes to the Wavefront reader.
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/RLAGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageReader<TRLAGraphic>(data, size);
}

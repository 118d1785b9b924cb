// Feeds arbitrary bytes to the portable map reader.
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/PPMGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageReader<TPPMGraphic>(data, size);
}

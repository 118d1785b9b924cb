// Feeds arbitrary bytes to the Dr. Halo reader.
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/CUTGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageReader<TCUTGraphic>(data, size);
}

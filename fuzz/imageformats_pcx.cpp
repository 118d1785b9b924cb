// Feeds arbitrary bytes to the Paintbrush reader.
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/PCXGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageReader<TPCXGraphic>(data, size);
}

// Feeds arbitrary bytes to the Photoshop reader.
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/PSDGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageReader<TPSDGraphic>(data, size);
}

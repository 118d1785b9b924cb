// Feeds arbitrary bytes to the Paintshop Pro reader.
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/PSPGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageReader<TPSPGraphic>(data, size);
}

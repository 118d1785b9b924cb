// Feeds arbitrary bytes to the Autodesk reader.
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/AutodeskGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageReader<TAutodeskGraphic>(data, size);
}

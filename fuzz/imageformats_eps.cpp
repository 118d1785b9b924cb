// Feeds arbitrary bytes to the EPS reader (see ImageReaderFuzz.h).
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/TIFFGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageReader<TEPSGraphic>(data, size);
}

// Feeds arbitrary bytes to the Photo-CD reader.
#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/PCDGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzImageReader<TPCDGraphic>(data, size);
}

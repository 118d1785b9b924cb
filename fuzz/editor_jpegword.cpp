// The test whether stored thumbnail bytes were compressed with a settings
// word: it walks the JPEG header of bytes read from show files.
#include <cstdint>
#include <initializer_list>

#include "editor/controls/JPEGCompressionWord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (TJPEGCompressionWord word : {0x1E00, 0x4601, 0x5A00})
        JPEGCompressionWord::IsCompressedWith(data, size, word);
    return 0;
}

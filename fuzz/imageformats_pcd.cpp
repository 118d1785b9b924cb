// Feeds arbitrary bytes to the Photo-CD reader: as they are and, for about
// one short input in sixteen, completed with zeros to the size of the
// largest picture pack. A pack is 600 KB or more of plain samples, while
// what varies between files (pack kind, orientation, version) lies in its
// first sectors: the seeds are those sectors alone, so the fuzzer mutates a
// few kilobytes. The inputs whose byte sum is a multiple of 16 (the seeds')
// go on to the decoding, which takes far longer than the header checks; as
// almost any mutation changes the sum, most runs stay short.
#include <algorithm>
#include <numeric>
#include <vector>

#include "fuzz/ImageReaderFuzz.h"
#include "imageformats/PCDGraphic.h"

namespace {

// An image pack: 96 sectors of 2048 bytes before the base image of
// 768 x 512 luma samples and two quarter-size chroma planes.
constexpr size_t kLargestPackBytes = 96 * 2048 + 768 * 512 * 3 / 2;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzImageReader<TPCDGraphic>(data, size);
    if (size >= kLargestPackBytes || std::accumulate(data, data + size, 0u) % 16 != 0)
        return 0;
    std::vector<uint8_t> completed(kLargestPackBytes, 0);
    std::copy(data, data + size, completed.begin());
    return FuzzImageReader<TPCDGraphic>(completed.data(), completed.size());
}

// Animated cursors: chunk sizes, list types and the frame inside all come
// from the file.
#include "platform/graphics/Icon.h"
#include "platform/rtl/Streams.h"
#include "widgets/DrawUtils.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> frame = DrawUtils::FirstAniFrame(std::span<const std::uint8_t>(data, size));
    if (frame.empty())
        return 0;
    TMemoryStream stream;
    stream.WriteBuffer(frame.data(), static_cast<std::int64_t>(frame.size()));
    stream.Seek(0, soFromBeginning);
    TIcon icon;
    try {
        icon.LoadFromStream(stream);
    } catch (const Exception&) {
    }
    return 0;
}

// A check list's items and states read from form file data: every tag,
// length and state comes from the file.
#include "platform/rtl/Streams.h"
#include "platform/ui/EventLoop.h"
#include "widgets/KsListBox.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    ui::EnsurePlatform();
    // The first byte picks the file version: before states, with states
    // after the flags, or the current layout.
    const int versions[] = {0, 1, TKsCheckListBox::InternalVersion};
    const int version = versions[data[0] % 3];
    TMemoryStream stream;
    stream.WriteBuffer(data + 1, static_cast<std::int64_t>(size - 1));
    stream.Seek(0, soFromBeginning);
    TKsCheckListBox list(nullptr);
    list.SetCheckKind(data[0] & 0x80 ? ckRadioButtons : ckCheckBoxes);
    try {
        list.ReadStrings(stream, version);
    } catch (const EReadError&) {
    }
    TMemoryStream copy;
    list.WriteStrings(copy);
    return 0;
}

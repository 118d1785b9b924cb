// The icon cut down to the image that suits the screen: it reads the icon
// file's directory and the chosen image of any icon handed over.
#include <cstdint>
#include <vector>

#include "editor/controls/ClipIcon.h"
#include "platform/graphics/Icon.h"
#include "platform/rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    for (int screenColors : {0, 16, 256}) {
        try {
            const std::unique_ptr<TIcon> icon = ClipIcon::ReadIconOfRealSize(bytes, screenColors);
            int width = 0, height = 0;
            ClipIcon::MeasureIcon(icon.get(), width, height);
        } catch (const Exception&) {
        }
    }
    return 0;
}

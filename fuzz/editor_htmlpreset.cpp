// The HTML export's preset file: bytes of any kind are loaded as a preset;
// a damaged file raises the container's error and nothing else.
#include <cstdint>
#include <string>

#include "core/ZOFile.h"
#include "editor/tools/HTMLPreset.h"
#include "editor/tools/HTMLTemplate.h"
#include "fuzz/BytesInFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WithBytesInFile(data, size, "vistelo_htmlpreset", [](const std::string& name) {
        TMyHTMLPreset preset;
        try {
            preset.LoadFromFile(name);
        } catch (const EZOFileError&) {
        }
        // Whatever was read must be usable by the export.
        if (preset.TabCols < 1 || preset.ThumbWidth < 1 || preset.ThumbHeight < 1)
            __builtin_trap();
        for (const std::string* link : {&preset.NavPrevLink, &preset.NavNextLink, &preset.NavBackLink})
            if (!HTMLTemplate::IsValidTemplate(*link))
                __builtin_trap();
    });
    return 0;
}

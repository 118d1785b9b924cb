#include "imageformats/GraphicStrings.h"

namespace GraphicStrings {

std::string Format(const char* text, const std::string& first, const std::string& second)
{
    std::string result;
    const std::string* next = &first;
    for (const char* p = text; *p; ++p) {
        if (p[0] == '%' && p[1] == 's' && next) {
            result += *next;
            next = next == &first ? &second : nullptr;
            ++p;
        } else {
            result += *p;
        }
    }
    return result;
}

} // namespace GraphicStrings

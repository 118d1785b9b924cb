#include "editor/tools/HTMLTemplate.h"

#include "platform/rtl/Exceptions.h"

namespace HTMLTemplate {

namespace {

// Walks the template once; calls Text for literal runs and Slot for "%s".
// Returns false at the first "%" that is neither "%%" nor "%s", or when the
// number of slots is not one.
template <typename TText, typename TSlot> bool Walk(const std::string& Template, TText Text, TSlot Slot)
{
    int slots = 0;
    for (std::size_t i = 0; i < Template.size(); ++i) {
        if (Template[i] != '%') {
            Text(Template[i]);
            continue;
        }
        if (i + 1 >= Template.size())
            return false;
        const char next = Template[++i];
        if (next == '%')
            Text('%');
        else if (next == 's') {
            ++slots;
            Slot();
        } else
            return false;
    }
    return slots == 1;
}

} // namespace

bool IsValidTemplate(const std::string& Template)
{
    return Walk(
        Template, [](char) {}, [] {});
}

std::string FillTemplate(const std::string& Template, const std::string& Value)
{
    std::string result;
    result.reserve(Template.size() + Value.size());
    const bool valid = Walk(
        Template, [&](char c) { result += c; }, [&] { result += Value; });
    if (!valid)
        throw EConvertError("Ungültige Vorlage: " + Template);
    return result;
}

} // namespace HTMLTemplate

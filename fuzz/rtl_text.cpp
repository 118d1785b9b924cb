// Bytes as text files and stored fields bring them: file-text decoding,
// line lists, comma lists and 80-bit extended floats. Every parse must
// survive a round trip through its writer.
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/StringList.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool SameStrings(const TStrings& a, const TStrings& b)
{
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i)
        if (a.Strings(i) != b.Strings(i))
            return false;
    return true;
}

void CheckExtended(const uint8_t* data, size_t size)
{
    if (size < 10)
        return;
    const double value = rtl::ExtendedToDouble(data);
    uint8_t bytes[10];
    rtl::DoubleToExtended(value, bytes);
    const double back = rtl::ExtendedToDouble(bytes);
    Check(std::isnan(value) ? std::isnan(back) : std::bit_cast<uint64_t>(back) == std::bit_cast<uint64_t>(value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Check(rtl::Utf8ToAnsi(rtl::AnsiToUtf8(bytes)) == bytes);

    Check(rtl::IsValidUtf8(rtl::DecodeStoredText(bytes)));
    const std::string text = rtl::DecodeFileText(bytes);
    Check(rtl::IsValidUtf8(text));
    Check(rtl::DecodeFileText(rtl::EncodeFileText(text)) == text);
    Check(rtl::AnsiCompareText(rtl::AnsiUpperCase(text), rtl::AnsiLowerCase(text)) == 0);
    const std::string_view first = std::string_view(text).substr(0, text.size() / 2);
    const std::string_view second = std::string_view(text).substr(text.size() / 2);
    Check(rtl::AnsiCompareStr(first, second) == -rtl::AnsiCompareStr(second, first));
    Check(rtl::AnsiCompareText(first, second) == -rtl::AnsiCompareText(second, first));

    TStringList lines;
    lines.SetText(text);
    TStringList linesBack;
    linesBack.SetText(lines.Text());
    Check(SameStrings(lines, linesBack));

    TStringList fields;
    fields.SetCommaText(text);
    TStringList fieldsBack;
    fieldsBack.SetCommaText(fields.CommaText());
    Check(SameStrings(fields, fieldsBack));

    CheckExtended(data, size);
    return 0;
}

#include "widgets/Strutils.h"

#include "platform/rtl/CodePage.h"
#include "widgets/Parameters.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace Strutils {

namespace {

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool InSet(const TCharSet& set, char c) { return set.test(Byte(c)); }

int Sign(int value) { return (value > 0) - (value < 0); }

// Start index (0-based) and length of every word, in order.
template <class Visit> void ForEachWord(const std::string& text, const TCharSet& delims, Visit visit)
{
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && InSet(delims, text[i]))
            ++i;
        const size_t start = i;
        while (i < text.size() && !InSet(delims, text[i]))
            ++i;
        if (i > start && !visit(start, i - start))
            return;
    }
}

// Index of the n-th word (1-based n), npos when there are fewer.
size_t NthWord(int n, const std::string& text, const TCharSet& delims, size_t& length)
{
    size_t found = std::string::npos;
    int count = 0;
    ForEachWord(text, delims, [&](size_t start, size_t len) {
        if (++count != n)
            return true;
        found = start;
        length = len;
        return false;
    });
    return found;
}

bool WildCharEqual(char pattern, char text) { return pattern == '?' || pattern == text; }

// Length in bytes of the UTF-8 character that starts with lead.
size_t Utf8Length(char lead)
{
    const unsigned char b = Byte(lead);
    if (b >= 0xF0)
        return 4;
    if (b >= 0xE0)
        return 3;
    if (b >= 0xC0)
        return 2;
    return 1;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char upper = static_cast<char>(std::toupper(Byte(c)));
    if (upper >= 'A' && upper <= 'F')
        return upper - 'A' + 10;
    return -1;
}

// The segment after the last "*" must end the text; a segment longer than
// the text cannot.
bool MatchesTextEnd(const std::string& segment, const std::string& text)
{
    if (segment.size() > text.size())
        return false;
    const size_t offset = text.size() - segment.size();
    for (size_t i = segment.size(); i-- > 0;)
        if (!WildCharEqual(segment[i], text[offset + i]))
            return false;
    return true;
}

} // namespace

TCharSet CharSet(std::string_view chars)
{
    TCharSet set;
    for (char c : chars)
        set.set(Byte(c));
    return set;
}

// Linux has no OEM code page of its own: console and files share the text's
// encoding, so both conversions keep the text as it is.
std::string StrToOem(const std::string& text) { return text; }
std::string OemToAnsiStr(const std::string& text) { return text; }

bool IsEmptyStr(const std::string& text, const TCharSet& emptyChars)
{
    return std::all_of(text.begin(), text.end(), [&](char c) { return InSet(emptyChars, c); });
}

std::string ReplaceStr(const std::string& text, const std::string& search, const std::string& replace)
{
    if (search.empty())
        return text;
    std::string result;
    size_t from = 0;
    for (size_t at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
        result.append(text, from, at - from).append(replace);
        from = at + search.size();
    }
    return result.append(text, from, std::string::npos);
}

std::string DelChars(const std::string& text, char chr)
{
    std::string result = text;
    result.erase(std::remove(result.begin(), result.end(), chr), result.end());
    return result;
}

std::string DelSpace(const std::string& text) { return DelChars(text, ' '); }

std::string DelBSpace(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string DelESpace(const std::string& text)
{
    const size_t last = text.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string DelRSpace(const std::string& text) { return DelBSpace(DelESpace(text)); }

std::string DelSpace1(const std::string& text)
{
    std::string result;
    for (char c : text)
        if (c != ' ' || result.empty() || result.back() != ' ')
            result += c;
    return result;
}

std::string Tab2Space(const std::string& text, int count) { return ReplaceStr(text, "\t", MakeStr(' ', count)); }

std::string MakeStr(char chr, int count)
{
    return count > 0 ? std::string(static_cast<size_t>(count), chr) : std::string();
}

std::string MS(char chr, int count) { return MakeStr(chr, count); }

int NPos(const std::string& search, const std::string& text, int n)
{
    if (search.empty() || n < 1)
        return 0;
    size_t at = text.find(search);
    while (at != std::string::npos && --n > 0)
        at = text.find(search, at + 1);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string AddChar(char chr, const std::string& text, int length)
{
    return MakeStr(chr, length - static_cast<int>(text.size())) + text;
}

std::string AddCharR(char chr, const std::string& text, int length)
{
    return text + MakeStr(chr, length - static_cast<int>(text.size()));
}

std::string LeftStr(const std::string& text, int length) { return AddCharR(' ', text, length); }

std::string RightStr(const std::string& text, int length) { return AddChar(' ', text, length); }

std::string CenterStr(const std::string& text, int length)
{
    const int textLength = static_cast<int>(text.size());
    if (textLength >= length)
        return text;
    return AddCharR(' ', MakeStr(' ', length / 2 - textLength / 2) + text, length);
}

int CompStr(const std::string& a, const std::string& b) { return Sign(rtl::AnsiCompareStr(a, b)); }

int CompText(const std::string& a, const std::string& b) { return Sign(rtl::AnsiCompareText(a, b)); }

std::string Copy2Symb(const std::string& text, char symb) { return text.substr(0, text.find(symb)); }

std::string Copy2SymbDel(std::string& text, char symb)
{
    std::string head = Copy2Symb(text, symb);
    text = DelBSpace(text.substr(head.size()));
    return head;
}

std::string Copy2Space(const std::string& text) { return Copy2Symb(text, ' '); }

std::string Copy2SpaceDel(std::string& text) { return Copy2SymbDel(text, ' '); }

std::string AnsiProperCase(const std::string& text, const TCharSet& wordDelims)
{
    const std::string lower = rtl::AnsiLowerCase(text);
    std::string result;
    bool wordStart = true;
    for (size_t i = 0; i < lower.size();) {
        const size_t length = std::min(Utf8Length(lower[i]), lower.size() - i);
        const std::string character = lower.substr(i, length);
        const bool delimiter = length == 1 && InSet(wordDelims, lower[i]);
        result += wordStart && !delimiter ? rtl::AnsiUpperCase(character) : character;
        wordStart = delimiter;
        i += length;
    }
    return result;
}

int WordCount(const std::string& text, const TCharSet& wordDelims)
{
    int count = 0;
    ForEachWord(text, wordDelims, [&](size_t, size_t) { return ++count, true; });
    return count;
}

int WordPosition(int n, const std::string& text, const TCharSet& wordDelims)
{
    size_t length = 0;
    const size_t at = NthWord(n, text, wordDelims, length);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string ExtractWord(int n, const std::string& text, const TCharSet& wordDelims)
{
    int pos = 0;
    return ExtractWordPos(n, text, wordDelims, pos);
}

std::string ExtractWordPos(int n, const std::string& text, const TCharSet& wordDelims, int& pos)
{
    size_t length = 0;
    const size_t at = NthWord(n, text, wordDelims, length);
    pos = at == std::string::npos ? 0 : static_cast<int>(at) + 1;
    return at == std::string::npos ? std::string() : text.substr(at, length);
}

std::string ExtractDelimited(int n, const std::string& text, const TCharSet& delims)
{
    int field = 1;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !InSet(delims, text[i]))
            continue;
        if (field == n)
            return text.substr(start, i - start);
        ++field;
        start = i + 1;
    }
    return {};
}

std::string ExtractSubstr(const std::string& text, int& pos, const TCharSet& delims)
{
    const size_t start = pos > 0 ? static_cast<size_t>(pos - 1) : 0;
    if (start >= text.size()) {
        pos = static_cast<int>(text.size()) + 1;
        return {};
    }
    size_t end = start;
    while (end < text.size() && !InSet(delims, text[end]))
        ++end;
    pos = static_cast<int>(std::min(end + 1, text.size())) + 1;
    return text.substr(start, end - start);
}

bool IsWordPresent(const std::string& word, const std::string& text, const TCharSet& wordDelims)
{
    bool present = false;
    ForEachWord(text, wordDelims, [&](size_t start, size_t length) {
        present = text.compare(start, length, word) == 0;
        return !present;
    });
    return present;
}

std::string QuotedString(const std::string& text, char quote)
{
    std::string result(1, quote);
    for (char c : text) {
        result += c;
        if (c == quote)
            result += c;
    }
    return result + quote;
}

std::string ExtractQuotedString(const std::string& text, char quote)
{
    if (text.empty() || text[0] != quote)
        return text;
    std::string result;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] != quote) {
            result += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == quote) {
            result += quote;
            ++i;
        } else {
            break;
        }
    }
    return result;
}

std::string Numb2USA(const std::string& digits)
{
    std::string result;
    const size_t count = digits.size();
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            result += ',';
        result += digits[i];
    }
    return result;
}

std::string Dec2Hex(int64_t n, int digits)
{
    // Negative 32-bit numbers show as their 32-bit pattern, as the platform's
    // hexadecimal formatting of an integer does.
    const bool fits32 = n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<uint32_t>::max();
    const uint64_t value = fits32 ? static_cast<uint32_t>(n) : static_cast<uint64_t>(n);
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string result;
    uint64_t rest = value;
    do {
        result.insert(result.begin(), hexDigits[rest % 16]);
        rest /= 16;
    } while (rest != 0);
    return AddChar('0', result, digits);
}

std::string D2H(int64_t n, int digits) { return Dec2Hex(n, digits); }

int64_t Hex2Dec(const std::string& hex)
{
    std::string digits = hex;
    if (!digits.empty() && digits[0] == '$')
        digits.erase(0, 1);
    if (digits.empty() || digits.size() > 16)
        return 0;
    uint64_t value = 0;
    for (char c : digits) {
        const int digit = HexValue(c);
        if (digit < 0)
            return 0;
        value = value * 16 + static_cast<uint64_t>(digit);
    }
    return static_cast<int64_t>(value);
}

int64_t H2D(const std::string& hex) { return Hex2Dec(hex); }

std::string Dec2Numb(int64_t n, int digits, int base)
{
    if (base < 2 || base > 36)
        return {};
    static const char numberDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    uint32_t rest = static_cast<uint32_t>(n);
    std::string result;
    do {
        result.insert(result.begin(), numberDigits[rest % static_cast<uint32_t>(base)]);
        rest /= static_cast<uint32_t>(base);
    } while (rest != 0);
    return AddChar('0', result, digits);
}

int64_t Numb2Dec(const std::string& text, int base)
{
    // Unsigned arithmetic: unchecked input wraps instead of overflowing.
    uint64_t value = 0;
    uint64_t weight = 1;
    for (size_t i = text.size(); i-- > 0;) {
        const unsigned char c = static_cast<unsigned char>(std::toupper(Byte(text[i])));
        const uint64_t digit = c < 'A' ? c - 48u : c - 55u;
        value += digit * weight;
        weight *= static_cast<uint64_t>(base);
    }
    return static_cast<int64_t>(value);
}

int RomanToInt(const std::string& text)
{
    auto digitValue = [](char c) {
        switch (std::toupper(Byte(c))) {
        case 'I': return 1;
        case 'V': return 5;
        case 'X': return 10;
        case 'L': return 50;
        case 'C': return 100;
        case 'D': return 500;
        case 'M': return 1000;
        default: return 0;
        }
    };
    const bool negative = !text.empty() && text[0] == '-';
    int64_t result = 0;
    for (size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        const int current = digitValue(text[i]);
        if (current == 0)
            return 0;
        const int next = i + 1 < text.size() ? digitValue(text[i + 1]) : 0;
        if (next > current) {
            result += next - current;
            ++i;
        } else {
            result += current;
        }
        if (result > std::numeric_limits<int>::max())
            return 0;
    }
    return static_cast<int>(negative ? -result : result);
}

std::string IntToRoman(int value)
{
    static const struct {
        int value;
        const char* numeral;
    } table[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
                 {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"}};
    std::string result;
    for (const auto& entry : table)
        for (; value >= entry.value; value -= entry.value)
            result += entry.numeral;
    return result;
}

std::string IntToBin(int64_t value, int digits, int group)
{
    digits = std::clamp(digits, 0, 32);
    std::string result;
    for (int remaining = digits; remaining >= 1; --remaining) {
        if (group >= 1 && remaining % group == 0)
            result += ' ';
        result += (static_cast<uint64_t>(value) >> (remaining - 1)) & 1 ? '1' : '0';
    }
    return result;
}

int FindPart(const std::string& helpWilds, const std::string& inputStr)
{
    if (helpWilds.empty() || helpWilds.size() > inputStr.size())
        return 0;
    for (size_t start = 0; start + helpWilds.size() <= inputStr.size(); ++start) {
        size_t i = 0;
        while (i < helpWilds.size() && WildCharEqual(helpWilds[i], inputStr[start + i]))
            ++i;
        if (i == helpWilds.size())
            return static_cast<int>(start) + 1;
    }
    return 0;
}

bool IsWild(const std::string& inputStr, const std::string& wilds, bool ignoreCase)
{
    if (inputStr == wilds)
        return true;
    std::string pattern = wilds;
    for (size_t at = pattern.find("**"); at != std::string::npos; at = pattern.find("**"))
        pattern.erase(at, 1);
    if (pattern == "*")
        return true;
    std::string text = inputStr;
    if (ignoreCase) {
        pattern = rtl::AnsiUpperCase(pattern);
        text = rtl::AnsiUpperCase(text);
    }
    if (pattern.empty() || text.empty())
        return false;
    size_t p = 0;
    size_t t = 0;
    while (t < text.size() && p < pattern.size()) {
        if (pattern[p] == '*') {
            const size_t nextStar = pattern.find('*', p + 1);
            const std::string segment = pattern.substr(
                p + 1, nextStar == std::string::npos ? std::string::npos : nextStar - p - 1);
            if (nextStar == std::string::npos)
                return segment.empty() || MatchesTextEnd(segment, text);
            const int found = FindPart(segment, text.substr(t));
            if (found == 0)
                return false;
            t += static_cast<size_t>(found) - 1 + segment.size();
            p = nextStar;
        } else if (WildCharEqual(pattern[p], text[t])) {
            ++p;
            ++t;
        } else {
            return false;
        }
    }
    if (t < text.size())
        return false;
    return p >= pattern.size() || pattern.back() == '*';
}

std::string XorString(const std::string& key, const std::string& text)
{
    if (key.empty())
        return text;
    std::string result = text;
    for (size_t i = 0; i < result.size(); ++i)
        result[i] = static_cast<char>(result[i] ^ key[i % key.size()]);
    return result;
}

std::string XorEncode(const std::string& key, const std::string& text)
{
    static const char hexDigits[] = "0123456789abcdef";
    std::string result;
    result.reserve(text.size() * 2);
    for (unsigned char c : XorString(key, text)) {
        result += hexDigits[c >> 4];
        result += hexDigits[c & 15];
    }
    return result;
}

std::string XorDecode(const std::string& key, const std::string& text)
{
    std::string result;
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        const int high = HexValue(text[i]);
        const int low = HexValue(text[i + 1]);
        result += high < 0 || low < 0 ? ' ' : static_cast<char>(high * 16 + low);
    }
    return XorString(key, result);
}

std::string GetCmdLineArg(const std::string& switchName, const TCharSet& switchChars)
{
    const int count = Parameters::ParamCount();
    for (int i = 1; i <= count; ++i) {
        const std::string argument = Parameters::ParamStr(i);
        if (argument.empty() || (switchChars.any() && !InSet(switchChars, argument[0])))
            continue;
        if (rtl::AnsiSameText(argument.substr(1), switchName))
            return i < count ? Parameters::ParamStr(i + 1) : std::string();
    }
    return {};
}

} // namespace Strutils

// Number formatting and parsing of the run-time layer: FormatFloat with its
// section patterns, FloatToStr(F), StrToFloat, all under a TFormatSettings.

#include "platform/rtl/DateTime.h"

#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace rtl {

namespace {

// A non-negative decimal number 0.d1d2d3... x 10^exponent; no digits means zero.
struct Decimal {
    std::string digits;
    int exponent = 0;

    bool IsZero() const { return digits.empty(); }

    void TrimTrailingZeros()
    {
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
        if (digits.empty())
            exponent = 0;
    }

    // Keeps the first count digits, rounding half away from zero.
    void KeepDigits(int count)
    {
        if (count < 0 || IsZero()) {
            digits.clear();
            exponent = 0;
            return;
        }
        if (static_cast<size_t>(count) >= digits.size())
            return;
        const bool roundUp = digits[count] >= '5';
        digits.resize(count);
        if (roundUp) {
            int i = count - 1;
            while (i >= 0 && digits[i] == '9')
                digits[i--] = '0';
            if (i >= 0) {
                ++digits[i];
            } else {
                digits.insert(digits.begin(), '1');
                ++exponent;
            }
        }
        TrimTrailingZeros();
    }

    void RoundToDecimals(int decimals) { KeepDigits(exponent + decimals); }

    std::string IntegerDigits() const
    {
        if (exponent <= 0)
            return {};
        std::string text = digits.substr(0, std::min<size_t>(digits.size(), exponent));
        text.append(exponent - text.size(), '0');
        return text;
    }

    std::string FractionDigits() const
    {
        if (IsZero())
            return {};
        if (exponent >= 0)
            return static_cast<size_t>(exponent) < digits.size() ? digits.substr(exponent) : std::string();
        return std::string(-exponent, '0') + digits;
    }
};

// |value| rounded to significant decimal digits, half away from zero. The
// double is read to 15 digits first, the digits it holds for certain, so a
// number rounds as its reader sees it (2.675 is 2.68, although the nearest
// double lies just below).
Decimal ToDecimal(double value, int significant)
{
    Decimal d;
    value = std::fabs(value);
    if (value == 0)
        return d;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 16);
    const std::string text(buffer, result.ptr);
    const size_t e = text.find('e');
    for (size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            d.digits += text[i];
    }
    d.exponent = std::stoi(text.substr(e + 1)) + 1;
    significant = std::clamp(significant, 1, 17);
    if (significant <= 15)
        d.KeepDigits(15);
    d.KeepDigits(significant);
    d.TrimTrailingZeros();
    return d;
}

std::string Grouped(const std::string& integerDigits, const std::string& separator)
{
    std::string out;
    for (size_t i = 0; i < integerDigits.size(); ++i) {
        out += integerDigits[i];
        const size_t left = integerDigits.size() - 1 - i;
        if (left > 0 && left % 3 == 0)
            out += separator;
    }
    return out;
}

std::string ExponentText(int exponent, bool alwaysSign, size_t minDigits)
{
    std::string text = exponent < 0 ? "-" : (alwaysSign ? "+" : "");
    std::string digits = std::to_string(std::abs(exponent));
    if (digits.size() < minDigits)
        digits.insert(0, minDigits - digits.size(), '0');
    return text + digits;
}

std::string SpecialValue(double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// Scientific form with a mantissa of one integer digit: "1,5E+20" (the
// general form writes a positive exponent without its sign: "1,5E20").
std::string ScientificText(Decimal d, int mantissaDigits, bool padMantissa, bool alwaysSign, int exponentDigits,
                           const TFormatSettings& settings)
{
    d.KeepDigits(mantissaDigits);
    const int exponent = d.IsZero() ? 0 : d.exponent - 1;
    std::string digits = d.IsZero() ? "0" : d.digits;
    if (padMantissa && digits.size() < static_cast<size_t>(mantissaDigits))
        digits.append(mantissaDigits - digits.size(), '0');
    std::string text(1, digits[0]);
    if (digits.size() > 1)
        text += settings.DecimalSeparator + digits.substr(1);
    return text + "E" + ExponentText(exponent, alwaysSign, exponentDigits);
}

// One section of a FormatFloat format, read once before the number is written.
struct FloatPattern {
    std::string text;
    int integerPlaceholders = 0;
    int integerPadWidth = 0; // placeholders from the first "0" on
    int minDecimals = 0;
    int maxDecimals = 0;
    bool thousands = false;
    bool scientific = false;
    size_t exponentAt = std::string::npos; // index of the "E"
    int exponentDigits = 0;

    explicit FloatPattern(std::string section) : text(std::move(section))
    {
        bool inFraction = false;
        bool seenZero = false;
        for (size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '"' || c == '\'') {
                const size_t close = text.find(c, i + 1);
                i = close == std::string::npos ? text.size() : close;
            } else if ((c == 'E' || c == 'e') && i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-')) {
                scientific = true;
                exponentAt = i;
                for (i += 2; i < text.size() && text[i] == '0'; ++i)
                    ++exponentDigits;
                break;
            } else if (c == '.' && !inFraction) {
                inFraction = true;
            } else if (c == ',' && !inFraction) {
                thousands = true;
            } else if (c == '0' || c == '#') {
                if (inFraction) {
                    ++maxDecimals;
                    if (c == '0')
                        minDecimals = maxDecimals;
                } else {
                    ++integerPlaceholders;
                    seenZero = seenZero || c == '0';
                    if (seenZero)
                        ++integerPadWidth;
                }
            }
        }
    }

    bool HasPlaceholders() const { return integerPlaceholders + maxDecimals > 0; }
};

std::vector<std::string> SplitSections(const std::string& format)
{
    std::vector<std::string> sections(1);
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const size_t close = format.find(c, i + 1);
            const size_t end = close == std::string::npos ? format.size() - 1 : close;
            sections.back().append(format, i, end - i + 1);
            i = end;
        } else if (c == ';') {
            sections.emplace_back();
        } else {
            sections.back() += c;
        }
    }
    return sections;
}

class FloatFormatter {
public:
    FloatFormatter(const FloatPattern& pattern, const TFormatSettings& settings)
        : pattern_(pattern), settings_(settings)
    { }

    // Writes |value|; tells through isZero whether the digits came out all zero.
    std::string Format(double value, bool& isZero)
    {
        Decimal d = ToDecimal(value, 15);
        int exponent = 0;
        if (pattern_.scientific) {
            const int integerDigits = std::max(1, pattern_.integerPlaceholders);
            d.KeepDigits(integerDigits + pattern_.maxDecimals);
            exponent = d.IsZero() ? 0 : d.exponent - integerDigits;
            d.exponent = d.IsZero() ? 0 : integerDigits;
        } else {
            d.RoundToDecimals(pattern_.maxDecimals);
        }
        isZero = d.IsZero();

        integer_ = d.IntegerDigits();
        if (static_cast<int>(integer_.size()) < pattern_.integerPadWidth)
            integer_.insert(0, pattern_.integerPadWidth - integer_.size(), '0');
        fraction_ = d.FractionDigits().substr(0, pattern_.maxDecimals);
        if (static_cast<int>(fraction_.size()) < pattern_.minDecimals)
            fraction_.append(pattern_.minDecimals - fraction_.size(), '0');
        return Emit(exponent);
    }

private:
    std::string Emit(int exponent)
    {
        const std::string& text = pattern_.text;
        std::string out;
        bool inFraction = false;
        bool afterExponent = false;
        int integerIndex = 0;
        size_t fractionIndex = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '"' || c == '\'') {
                const size_t close = text.find(c, i + 1);
                const size_t end = close == std::string::npos ? text.size() : close;
                out.append(text, i + 1, end - i - 1);
                i = end;
            } else if (afterExponent) {
                out += c; // the pattern ends with the exponent; the rest is text
            } else if (i == pattern_.exponentAt) {
                afterExponent = true;
                out += c;
                out += ExponentText(exponent, text[i + 1] == '+', pattern_.exponentDigits);
                i += 1 + pattern_.exponentDigits;
            } else if (c == '.' && !inFraction) {
                inFraction = true;
                if (!fraction_.empty())
                    out += settings_.DecimalSeparator;
            } else if (c == ',' && !inFraction) {
                // grouping was noted when the pattern was read
            } else if ((c == '0' || c == '#') && !inFraction) {
                WriteIntegerPlaceholder(out, integerIndex++);
            } else if (c == '0' || c == '#') {
                if (fractionIndex < fraction_.size())
                    out += fraction_[fractionIndex++];
            } else {
                out += c;
            }
        }
        return out;
    }

    // The leftmost placeholder takes every digit the pattern has no place for.
    void WriteIntegerPlaceholder(std::string& out, int index)
    {
        const int length = static_cast<int>(integer_.size());
        const int surplus = length - pattern_.integerPlaceholders;
        if (index == 0) {
            for (int pos = 0; pos < surplus; ++pos)
                WriteIntegerDigit(out, pos);
        }
        const int pos = surplus + index;
        if (pos >= 0)
            WriteIntegerDigit(out, pos);
    }

    void WriteIntegerDigit(std::string& out, int pos)
    {
        out += integer_[pos];
        const int left = static_cast<int>(integer_.size()) - 1 - pos;
        if (pattern_.thousands && !pattern_.scientific && left > 0 && left % 3 == 0)
            out += settings_.ThousandSeparator;
    }

    const FloatPattern& pattern_;
    const TFormatSettings& settings_;
    std::string integer_;
    std::string fraction_;
};

} // namespace

std::string FormatFloat(const std::string& format, double value) { return FormatFloat(format, value, FormatSettings); }

std::string FormatFloat(const std::string& format, double value, const TFormatSettings& settings)
{
    if (!std::isfinite(value))
        return SpecialValue(value);
    const std::vector<std::string> sections = SplitSections(format);
    const FloatPattern positive(sections[0]);
    if (!positive.HasPlaceholders() && sections.size() == 1 && positive.text.empty())
        return FloatToStrF(value, ffGeneral, 15, 0, settings);

    const bool hasNegative = sections.size() >= 2 && !sections[1].empty();
    const bool hasZero = sections.size() >= 3 && !sections[2].empty();
    bool isZero = false;
    const FloatPattern chosen(value < 0 && hasNegative ? sections[1] : sections[0]);
    const std::string text = FloatFormatter(chosen, settings).Format(value, isZero);
    if (isZero && hasZero)
        return FloatFormatter(FloatPattern(sections[2]), settings).Format(0, isZero);
    // A negative number without a section of its own is marked; one that
    // rounds to zero is not ("-0" would be wrong).
    return value < 0 && !hasNegative && !isZero ? "-" + text : text;
}

std::string FloatToStr(double value) { return FloatToStrF(value, ffGeneral, 15, 0); }

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    return FloatToStrF(value, format, precision, digits, FormatSettings);
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings)
{
    if (!std::isfinite(value))
        return SpecialValue(value);
    precision = std::clamp(precision, 1, 17);
    Decimal d = ToDecimal(value, precision);
    std::string text;
    switch (format) {
    case ffGeneral:
        if (!d.IsZero() && (d.exponent > precision || d.exponent < -4)) {
            text = ScientificText(d, precision, false, false, std::clamp(digits, 0, 4), settings);
        } else {
            const std::string integer = d.IntegerDigits();
            const std::string fraction = d.FractionDigits();
            text = (integer.empty() ? "0" : integer) + (fraction.empty() ? "" : settings.DecimalSeparator + fraction);
        }
        break;
    case ffExponent: text = ScientificText(d, precision, true, true, std::clamp(digits, 0, 4), settings); break;
    case ffFixed:
    case ffNumber: {
        if (d.exponent > precision) {
            text = ScientificText(d, precision, false, false, 0, settings);
            break;
        }
        digits = std::clamp(digits, 0, 18);
        d.RoundToDecimals(digits);
        std::string integer = d.IntegerDigits();
        if (integer.empty())
            integer = "0";
        std::string fraction = d.FractionDigits();
        fraction.append(digits - fraction.size(), '0');
        text = format == ffNumber ? Grouped(integer, settings.ThousandSeparator) : integer;
        if (digits > 0)
            text += settings.DecimalSeparator + fraction;
        break;
    }
    }
    return value < 0 && !d.IsZero() ? "-" + text : text;
}

bool TryStrToFloat(const std::string& text, double& value) { return TryStrToFloat(text, value, FormatSettings); }

bool TryStrToFloat(const std::string& text, double& value, const TFormatSettings& settings)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return false;
    const size_t last = text.find_last_not_of(' ');
    const std::string trimmed = text.substr(first, last - first + 1);

    // Rewritten with "." so the parse does not depend on the C locale.
    std::string plain;
    size_t i = 0;
    if (trimmed[i] == '+' || trimmed[i] == '-')
        plain += trimmed[i++] == '-' ? "-" : "";
    auto takeDigits = [&] {
        const size_t start = i;
        while (i < trimmed.size() && trimmed[i] >= '0' && trimmed[i] <= '9')
            plain += trimmed[i++];
        return i - start;
    };
    size_t mantissaDigits = takeDigits();
    if (!settings.DecimalSeparator.empty() &&
        trimmed.compare(i, settings.DecimalSeparator.size(), settings.DecimalSeparator) == 0) {
        i += settings.DecimalSeparator.size();
        plain += '.';
        mantissaDigits += takeDigits();
    }
    if (mantissaDigits == 0)
        return false;
    if (i < trimmed.size() && (trimmed[i] == 'e' || trimmed[i] == 'E')) {
        plain += trimmed[i++];
        if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-'))
            plain += trimmed[i++];
        if (takeDigits() == 0)
            return false;
    }
    if (i != trimmed.size())
        return false;
    double parsed = 0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), parsed);
    if (result.ec != std::errc() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

double StrToFloat(const std::string& text)
{
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError("'" + text + "' is not a valid floating point value");
    return value;
}

} // namespace rtl

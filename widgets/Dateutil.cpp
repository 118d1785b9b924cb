#include "widgets/Dateutil.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <vector>

namespace Dateutil {

namespace {

std::optional<TDateTime> fixedToday;

std::string Upper(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

TDateTime Today() { return fixedToday ? std::trunc(*fixedToday) : rtl::Date(); }

struct Ymd {
    int year = 0;
    int month = 0;
    int day = 0;
};

Ymd Decode(TDateTime date)
{
    Ymd parts;
    rtl::DecodeDate(date, parts.year, parts.month, parts.day);
    return parts;
}

bool IsValidYmd(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysPerMonth(year, month);
}

// The time of day of a date value, whatever the sign of its day count.
double TimeOfDay(TDateTime date) { return std::fabs(date - std::trunc(date)); }

int WholeDays(TDateTime date) { return static_cast<int>(std::trunc(date)); }

char DateSeparator()
{
    const std::string& separator = rtl::FormatSettings.DateSeparator;
    return separator.empty() ? '/' : separator[0];
}

// The reading position within a free-form date text.
struct DateScanner {
    const std::string& text;
    size_t pos = 0;

    void SkipBlanks()
    {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
    }
    // Digits up to the value 1000: a longer run is left for the caller to
    // find unused.
    bool ReadNumber(int& value)
    {
        SkipBlanks();
        const size_t start = pos;
        value = 0;
        while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) && value < 1000)
            value = value * 10 + (text[pos++] - '0');
        return pos > start;
    }
    bool ReadSeparator()
    {
        SkipBlanks();
        if (pos < text.size() && text[pos] == DateSeparator()) {
            ++pos;
            return true;
        }
        return false;
    }
    void SkipToDigit()
    {
        while (pos < text.size() && !std::isdigit(static_cast<unsigned char>(text[pos])))
            ++pos;
    }
    bool AtEnd() const { return pos >= text.size(); }
};

bool ParseFreeDate(const std::string& text, const std::string& dateFormat, Ymd& parts)
{
    DateScanner scan{text};
    const TDateOrder order = GetDateOrder(dateFormat);
    const std::string& shortFormat = rtl::FormatSettings.ShortDateFormat;
    if (!shortFormat.empty() && (shortFormat[0] == 'g' || shortFormat[0] == 'G'))
        scan.SkipToDigit();
    int n1 = 0, n2 = 0, n3 = 0;
    if (!scan.ReadNumber(n1) || !scan.ReadSeparator() || !scan.ReadNumber(n2))
        return false;
    if (scan.ReadSeparator()) {
        if (!scan.ReadNumber(n3))
            return false;
        switch (order) {
        case doMDY: parts = {ExpandTwoDigitYear(n3), n1, n2}; break;
        case doDMY: parts = {ExpandTwoDigitYear(n3), n2, n1}; break;
        case doYMD: parts = {ExpandTwoDigitYear(n1), n2, n3}; break;
        }
    } else {
        parts.year = CurrentYear();
        parts.month = order == doDMY ? n2 : n1;
        parts.day = order == doDMY ? n1 : n2;
    }
    scan.ReadSeparator();
    scan.SkipBlanks();
    return IsValidYmd(parts.year, parts.month, parts.day) && scan.AtEnd();
}

// The characters of a UTF-8 text, one string each: masked fields count
// characters, and month names such as "März" hold more bytes than letters.
std::vector<std::string> Characters(const std::string& text)
{
    std::vector<std::string> characters;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        characters.push_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

// One positional field of a masked date: the text below the first run of
// count copies of letter in the format. Month names (count > 1) are looked up.
int ReadMaskedField(const std::string& dateFormat, const std::vector<std::string>& text, char letter, int count,
                    int defaultValue, int blankValue)
{
    const std::vector<std::string> format = Characters(Upper(dateFormat));
    if (text.size() > format.size())
        return defaultValue;
    const auto isLetter = [&](size_t i) { return format[i] == std::string(1, letter); };
    size_t start = 0;
    while (start < format.size()) {
        size_t run = 0;
        while (start + run < format.size() && run < static_cast<size_t>(count) && isLetter(start + run))
            ++run;
        if (run == static_cast<size_t>(count))
            break;
        ++start;
    }
    if (start >= format.size())
        return defaultValue;
    std::string collected;
    size_t collectedCount = 0;
    for (size_t i = start; i < format.size() && isLetter(i) && i < text.size() && collectedCount < 20; ++i) {
        if (text[i] != " ") {
            collected += text[i];
            ++collectedCount;
        }
    }
    if (collected.empty())
        return blankValue;
    if (count > 1) {
        const int month = MonthFromName(collected, static_cast<int>(collected.size()));
        return month == 0 ? -1 : month;
    }
    for (char c : collected)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return -1;
    return collected.size() > 9 ? -1 : std::stoi(collected);
}

bool ParseMaskedDate(const std::string& dateFormat, const std::string& text, Ymd& parts)
{
    const std::vector<std::string> characters = Characters(text);
    if (characters.size() > Characters(dateFormat).size())
        return false;
    const bool monthByName = Upper(dateFormat).find("MMM") != std::string::npos;
    parts.month = ReadMaskedField(dateFormat, characters, 'M', monthByName ? 3 : 1, -1, -1);
    parts.day = ReadMaskedField(dateFormat, characters, 'D', 1, 1, -1);
    parts.year = ReadMaskedField(dateFormat, characters, 'Y', 1, CurrentYear(), -1);
    if (parts.year >= 0)
        parts.year = ExpandTwoDigitYear(parts.year);
    return IsValidYmd(parts.year, parts.month, parts.day);
}

bool InitialFourDigitYear() { return Upper(rtl::FormatSettings.ShortDateFormat).find("YYYY") != std::string::npos; }

} // namespace

TDateTime NullDate = 0;
uint8_t CenturyOffset = 60;
bool FourDigitYear = InitialFourDigitYear();

void SetTodayForTests(TDateTime today) { fixedToday = today; }
void ResetToday() { fixedToday.reset(); }

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysPerMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

TDateTime FirstDayOfNextMonth()
{
    const Ymd today = Decode(Today());
    return today.month == 12 ? rtl::EncodeDate(today.year + 1, 1, 1) : rtl::EncodeDate(today.year, today.month + 1, 1);
}

TDateTime FirstDayOfPrevMonth()
{
    const Ymd today = Decode(Today());
    return today.month == 1 ? rtl::EncodeDate(today.year - 1, 12, 1) : rtl::EncodeDate(today.year, today.month - 1, 1);
}

TDateTime LastDayOfPrevMonth()
{
    const Ymd today = Decode(Today());
    return rtl::EncodeDate(today.year, today.month, 1) - 1;
}

int ExtractDay(TDateTime date) { return Decode(date).day; }
int ExtractMonth(TDateTime date) { return Decode(date).month; }
int ExtractYear(TDateTime date) { return Decode(date).year; }

TDateTime IncDate(TDateTime date, int days, int months, int years)
{
    Ymd parts = Decode(date);
    parts.year += years + months / 12;
    parts.month += months % 12;
    if (parts.month < 1) {
        parts.month += 12;
        --parts.year;
    } else if (parts.month > 12) {
        parts.month -= 12;
        ++parts.year;
    }
    parts.day = std::min(parts.day, DaysPerMonth(parts.year, parts.month));
    return rtl::EncodeDate(parts.year, parts.month, parts.day) + days + TimeOfDay(date);
}

TDateTime IncDay(TDateTime date, int delta) { return IncDate(date, delta, 0, 0); }
TDateTime IncMonth(TDateTime date, int delta) { return IncDate(date, 0, delta, 0); }
TDateTime IncYear(TDateTime date, int delta) { return IncDate(date, 0, 0, delta); }

TDateTime IncTime(TDateTime date, int hours, int minutes, int seconds, int mSecs)
{
    const double milliseconds = (hours % 24) * 3600000.0 + minutes * 60000.0 + seconds * 1000.0 +
        static_cast<double>(mSecs);
    TDateTime result = date + hours / 24 + milliseconds / 86400000.0;
    if (result < 0)
        result += 1;
    return result;
}

TDateTime IncHour(TDateTime date, int delta) { return IncTime(date, delta, 0, 0, 0); }
TDateTime IncMinute(TDateTime date, int delta) { return IncTime(date, 0, delta, 0, 0); }
TDateTime IncSecond(TDateTime date, int delta) { return IncTime(date, 0, 0, delta, 0); }
TDateTime IncMSec(TDateTime date, int delta) { return IncTime(date, 0, 0, 0, delta); }

void DateDiff(TDateTime date1, TDateTime date2, uint16_t& days, uint16_t& months, uint16_t& years)
{
    if (date1 > date2)
        std::swap(date1, date2);
    const Ymd earlier = Decode(date1);
    const Ymd later = Decode(date2);
    int y = later.year - earlier.year;
    int m = 0;
    int d = 0;
    if (later.month < earlier.month) {
        m = 12;
        --y;
    }
    m += later.month - earlier.month;
    if (later.day < earlier.day) {
        d = DaysPerMonth(earlier.year, earlier.month);
        if (m == 0) {
            --y;
            m = 11;
        } else {
            --m;
        }
    }
    d += later.day - earlier.day;
    days = static_cast<uint16_t>(d);
    months = static_cast<uint16_t>(m);
    years = static_cast<uint16_t>(y);
}

double MonthsBetween(TDateTime date1, TDateTime date2)
{
    uint16_t days = 0, months = 0, years = 0;
    DateDiff(date1, date2, days, months, years);
    double result = 12.0 * years + months;
    if (days >= 21)
        result += 1;
    else if (days >= 15)
        result += 0.75;
    else if (days >= 7)
        result += 0.5;
    else if (days >= 2)
        result += 0.25;
    return result;
}

bool ValidDate(TDateTime date)
{
    // Outside years 1..9999 (or not a number) there is nothing to decode.
    if (!std::isfinite(date) || date < -693593.0 || date >= 2958466.0)
        return false;
    const Ymd parts = Decode(date);
    return IsValidYmd(parts.year, parts.month, parts.day);
}

int DaysInPeriod(TDateTime date1, TDateTime date2)
{
    if (!ValidDate(date1) || !ValidDate(date2))
        return 0;
    return std::abs(WholeDays(date2) - WholeDays(date1)) + 1;
}

int DaysBetween(TDateTime date1, TDateTime date2) { return std::max(0, WholeDays(date2) - WholeDays(date1) + 1); }

TDateTime CutTime(TDateTime date) { return std::trunc(date); }

int CurrentYear() { return Decode(Today()).year; }

TDateOrder GetDateOrder(const std::string& dateFormat)
{
    for (char c : Upper(dateFormat)) {
        switch (c) {
        case 'D': return doDMY;
        case 'M': return doMDY;
        case 'E':
        case 'Y': return doYMD;
        default: break;
        }
    }
    return doDMY;
}

int MonthFromName(const std::string& text, int length)
{
    if (text.empty() || length <= 0)
        return 0;
    const std::string wanted = text.substr(0, static_cast<size_t>(length));
    for (int month = 1; month <= 12; ++month) {
        const std::string& name = rtl::FormatSettings.LongMonthNames[static_cast<size_t>(month - 1)];
        if (rtl::AnsiSameText(name.substr(0, static_cast<size_t>(length)), wanted))
            return month;
    }
    return 0;
}

int ExpandTwoDigitYear(int year)
{
    if (year >= 100)
        return year;
    const int windowStart = CurrentYear() - CenturyOffset;
    year += (windowStart / 100) * 100;
    if (CenturyOffset > 0 && year < windowStart)
        year += 100;
    return year;
}

bool ParseDateInFormat(const std::string& dateFormat, const std::string& text, TDateTime& date)
{
    if (text.empty()) {
        date = NullDate;
        return true;
    }
    Ymd parts;
    if (!ParseMaskedDate(dateFormat, text, parts) && !ParseFreeDate(text, dateFormat, parts))
        return false;
    return rtl::TryEncodeDate(parts.year, parts.month, parts.day, date);
}

TDateTime StrToDateFmt(const std::string& dateFormat, const std::string& text)
{
    TDateTime date = 0;
    if (!ParseDateInFormat(dateFormat, text, date))
        throw EConvertError("'" + text + "' is not a valid date");
    return date;
}

TDateTime StrToDateDef(const std::string& text, TDateTime defDate)
{
    return StrToDateFmtDef(rtl::FormatSettings.ShortDateFormat, text, defDate);
}

TDateTime StrToDateFmtDef(const std::string& dateFormat, const std::string& text, TDateTime defDate)
{
    TDateTime date = 0;
    return ParseDateInFormat(dateFormat, text, date) ? date : std::trunc(defDate);
}

std::string DefDateFormat(bool fourDigitYear)
{
    switch (GetDateOrder(rtl::FormatSettings.ShortDateFormat)) {
    case doMDY: return fourDigitYear ? "MM/DD/YYYY" : "MM/DD/YY";
    case doDMY: return fourDigitYear ? "DD/MM/YYYY" : "DD/MM/YY";
    case doYMD: return fourDigitYear ? "YYYY/MM/DD" : "YY/MM/DD";
    }
    return {};
}

std::string DefDateMask(char blanksChar, bool fourDigitYear)
{
    std::string mask = "!99/99/99;1;";
    if (fourDigitYear)
        mask = GetDateOrder(rtl::FormatSettings.ShortDateFormat) == doYMD ? "!9999/99/99;1;" : "!99/99/9999;1;";
    return mask + blanksChar;
}

std::string FormatLongDate(TDateTime value)
{
    std::string text = rtl::FormatDateTime(rtl::FormatSettings.LongDateFormat, value);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string FormatLongDateTime(TDateTime value)
{
    if (value == NullDate)
        return {};
    return FormatLongDate(value) + rtl::FormatDateTime(" t", value);
}

} // namespace Dateutil

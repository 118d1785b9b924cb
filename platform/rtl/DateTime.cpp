#include "platform/rtl/DateTime.h"

#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <vector>

TFormatSettings rtl::FormatSettings;

namespace rtl {

namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kUnixEpochDay = 25569; // 1970-01-01 as a TDateTime
constexpr int64_t kFirstDay = -693593;   // 0001-01-01
constexpr int64_t kLastDay = 2958465;    // 9999-12-31

// Days since 1970-01-01 of a proleptic Gregorian date, and back: the era-based
// algorithm that is exact over the whole range without tables.
int64_t DaysFromCivil(int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// A date-time as its day number and the milliseconds into that day. The
// fraction is the time of day also for days before 1899-12-30 (negative
// values), and a time that rounds to midnight belongs to the next day.
struct DayAndTime {
    int64_t day;
    int64_t ms;
};

DayAndTime Split(TDateTime value)
{
    if (!std::isfinite(value) || value <= static_cast<double>(kFirstDay - 1) ||
        value >= static_cast<double>(kLastDay + 1))
        throw EConvertError("Invalid date/time value");
    DayAndTime parts{static_cast<int64_t>(std::trunc(value)), 0};
    parts.ms = std::llround(std::fabs(value - std::trunc(value)) * kMsPerDay);
    if (parts.ms >= kMsPerDay) {
        parts.ms -= kMsPerDay;
        ++parts.day;
    }
    if (parts.day < kFirstDay || parts.day > kLastDay)
        throw EConvertError("Invalid date/time value");
    return parts;
}

TDateTime LocalNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    struct tm local { };
    ::localtime_r(&now.tv_sec, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
        EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(now.tv_nsec / 1000000));
}

std::string Padded(int64_t value, size_t width)
{
    std::string text = std::to_string(value);
    if (text.size() < width)
        text.insert(0, width - text.size(), '0');
    return text;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix)
{
    for (size_t k = 0; prefix[k] != '\0'; ++k) {
        if (at + k >= text.size() || Lower(text[at + k]) != prefix[k])
            return false;
    }
    return true;
}

// Writes one date-time by format strings; the formats a specifier refers to
// (c, ddddd, t, ...) are expanded once, so a format naming itself cannot recurse.
class DateFormatter {
public:
    DateFormatter(const TFormatSettings& settings, TDateTime value) : settings_(settings)
    {
        const DayAndTime parts = Split(value);
        CivilFromDays(parts.day - kUnixEpochDay, year_, month_, day_);
        msOfDay_ = parts.ms;
        dayOfWeek_ = static_cast<int>(((parts.day % 7) + 7 + 6) % 7); // 0 = Sunday
    }

    std::string Format(const std::string& format, int depth = 0)
    {
        std::string out;
        const bool twelveHour = UsesTwelveHourClock(format);
        bool afterHour = false;
        size_t i = 0;
        while (i < format.size()) {
            const char c = format[i];
            const char letter = Lower(c);
            const size_t run = RunLength(format, i);
            if (c == '"' || c == '\'') {
                const size_t close = format.find(c, i + 1);
                const size_t end = close == std::string::npos ? format.size() : close;
                out.append(format, i + 1, end - i - 1);
                i = end + 1;
                continue;
            }
            switch (letter) {
            case 'c':
                out += Expand(settings_.ShortDateFormat, depth);
                if (msOfDay_ != 0)
                    out += ' ' + Expand(settings_.LongTimeFormat, depth);
                i += 1;
                break;
            case 'd': i += WriteDay(out, std::min<size_t>(run, 6), depth); break;
            case 'm':
                if (afterHour && run <= 2) {
                    out += run == 1 ? std::to_string(Minute()) : Padded(Minute(), 2);
                    i += run;
                } else {
                    i += WriteMonth(out, std::min<size_t>(run, 4));
                }
                break;
            case 'y':
                out += run <= 2 ? Padded(year_ % 100, 2) : Padded(year_, 4);
                i += run;
                break;
            case 'h': {
                int hour = Hour();
                if (twelveHour)
                    hour = hour % 12 == 0 ? 12 : hour % 12;
                out += run == 1 ? std::to_string(hour) : Padded(hour, 2);
                i += std::min<size_t>(run, 2);
                break;
            }
            case 'n':
                out += run == 1 ? std::to_string(Minute()) : Padded(Minute(), 2);
                i += std::min<size_t>(run, 2);
                break;
            case 's':
                out += run == 1 ? std::to_string(Second()) : Padded(Second(), 2);
                i += std::min<size_t>(run, 2);
                break;
            case 'z':
                out += run >= 3 ? Padded(msOfDay_ % 1000, 3) : std::to_string(msOfDay_ % 1000);
                i += std::min<size_t>(run, 3);
                break;
            case 't':
                out += Expand(run == 1 ? settings_.ShortTimeFormat : settings_.LongTimeFormat, depth);
                i += std::min<size_t>(run, 2);
                break;
            case 'a': i += WriteDayHalf(out, format, i); break;
            case '/':
                out += settings_.DateSeparator;
                i += 1;
                break;
            case ':':
                out += settings_.TimeSeparator;
                i += 1;
                break;
            default:
                out += c;
                i += 1;
                break;
            }
            // An "m" right after an hour means minutes; literals in between
            // (":", blanks) do not break that bond.
            if (letter == 'h')
                afterHour = true;
            else if (std::string_view("cdmynszta").find(letter) != std::string_view::npos)
                afterHour = false;
        }
        return out;
    }

private:
    int Hour() const { return static_cast<int>(msOfDay_ / 3600000); }
    int Minute() const { return static_cast<int>(msOfDay_ / 60000 % 60); }
    int Second() const { return static_cast<int>(msOfDay_ / 1000 % 60); }

    std::string Expand(const std::string& format, int depth)
    {
        return depth == 0 ? Format(format, depth + 1) : std::string();
    }

    static size_t RunLength(const std::string& format, size_t at)
    {
        size_t end = at + 1;
        while (end < format.size() && Lower(format[end]) == Lower(format[at]))
            ++end;
        return end - at;
    }

    static bool UsesTwelveHourClock(const std::string& format)
    {
        for (size_t i = 0; i < format.size(); ++i) {
            if (StartsWithNoCase(format, i, "am/pm") || StartsWithNoCase(format, i, "a/p") ||
                StartsWithNoCase(format, i, "ampm"))
                return true;
        }
        return false;
    }

    size_t WriteDay(std::string& out, size_t count, int depth)
    {
        switch (count) {
        case 1: out += std::to_string(day_); break;
        case 2: out += Padded(day_, 2); break;
        case 3: out += settings_.ShortDayNames[dayOfWeek_]; break;
        case 4: out += settings_.LongDayNames[dayOfWeek_]; break;
        case 5: out += Expand(settings_.ShortDateFormat, depth); break;
        default: out += Expand(settings_.LongDateFormat, depth); break;
        }
        return count;
    }

    size_t WriteMonth(std::string& out, size_t count)
    {
        switch (count) {
        case 1: out += std::to_string(month_); break;
        case 2: out += Padded(month_, 2); break;
        case 3: out += settings_.ShortMonthNames[month_ - 1]; break;
        default: out += settings_.LongMonthNames[month_ - 1]; break;
        }
        return count;
    }

    // "am/pm" and "a/p" write the letters of the format itself, "ampm" the
    // locale's texts; any other "a" is an ordinary letter.
    size_t WriteDayHalf(std::string& out, const std::string& format, size_t at)
    {
        const bool morning = Hour() < 12;
        if (StartsWithNoCase(format, at, "am/pm")) {
            out += format.substr(morning ? at : at + 3, 2);
            return 5;
        }
        if (StartsWithNoCase(format, at, "a/p")) {
            out += format[morning ? at : at + 2];
            return 3;
        }
        if (StartsWithNoCase(format, at, "ampm")) {
            out += morning ? settings_.TimeAMString : settings_.TimePMString;
            return 4;
        }
        out += format[at];
        return 1;
    }

    const TFormatSettings& settings_;
    int year_ = 0, month_ = 0, day_ = 0, dayOfWeek_ = 0;
    int64_t msOfDay_ = 0;
};

} // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInAMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

TDateTime Now() { return LocalNow(); }

TDateTime Date() { return std::trunc(LocalNow()); }

TDateTime Time()
{
    const TDateTime now = LocalNow();
    return now - std::trunc(now);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
        return false;
    date = static_cast<TDateTime>(DaysFromCivil(year, month, day) + kUnixEpochDay);
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        return false;
    time = static_cast<double>(hour * 3600000 + min * 60000 + sec * 1000 + msec) / kMsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date))
        throw EConvertError("Invalid argument to date encode");
    return date;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime time = 0;
    if (!TryEncodeTime(hour, min, sec, msec, time))
        throw EConvertError("Invalid argument to time encode");
    return time;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day)
{
    CivilFromDays(Split(date).day - kUnixEpochDay, year, month, day);
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec)
{
    // Only the time of day matters, so any day number will do.
    const int64_t ms = Split(time - std::trunc(time)).ms;
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime date)
{
    const int64_t day = Split(date).day;
    return static_cast<int>(((day % 7) + 7 + 6) % 7) + 1;
}

TDateTime FileDateToDateTime(int32_t fileDate)
{
    const auto packed = static_cast<uint32_t>(fileDate);
    TDateTime date = 0;
    TDateTime time = 0;
    if (!TryEncodeDate(static_cast<int>(packed >> 25) + 1980, (packed >> 21) & 0x0F, (packed >> 16) & 0x1F, date) ||
        !TryEncodeTime((packed >> 11) & 0x1F, (packed >> 5) & 0x3F, (packed & 0x1F) * 2, 0, time))
        throw EConvertError("Invalid file date " + std::to_string(fileDate));
    return date + time;
}

int32_t DateTimeToFileDate(TDateTime dateTime)
{
    if (std::isnan(dateTime))
        throw EConvertError("Invalid date/time value");
    int year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0;
    if (dateTime < EncodeDate(1980, 1, 1)) {
        year = 1980, month = 1, day = 1;
    } else if (dateTime >= EncodeDate(2108, 1, 1)) {
        year = 2107, month = 12, day = 31, hour = 23, min = 59, sec = 59;
    } else {
        DecodeDate(dateTime, year, month, day);
        DecodeTime(dateTime, hour, min, sec, msec);
    }
    const uint32_t packed = static_cast<uint32_t>(year - 1980) << 25 | static_cast<uint32_t>(month) << 21 |
        static_cast<uint32_t>(day) << 16 | static_cast<uint32_t>(hour) << 11 | static_cast<uint32_t>(min) << 5 |
        static_cast<uint32_t>(sec / 2);
    return static_cast<int32_t>(packed);
}

std::string FormatDateTime(const std::string& format, TDateTime dateTime)
{
    return FormatDateTime(format, dateTime, FormatSettings);
}

std::string FormatDateTime(const std::string& format, TDateTime dateTime, const TFormatSettings& settings)
{
    DateFormatter formatter(settings, dateTime);
    return formatter.Format(format.empty() ? "c" : format);
}

std::string DateToStr(TDateTime date) { return FormatDateTime("ddddd", date); }

std::string TimeToStr(TDateTime time) { return FormatDateTime("tt", time); }

std::string DateTimeToStr(TDateTime dateTime) { return FormatDateTime("c", dateTime); }

} // namespace rtl

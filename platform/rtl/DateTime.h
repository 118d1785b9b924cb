#pragma once

// Dates, times and the locale's way of writing them and numbers.
//
// A TDateTime counts days since 30 December 1899 (the whole part) plus the
// fraction of the day, in the proleptic Gregorian calendar, years 1 to 9999.
// Texts follow rtl::FormatSettings, which starts with German conventions and
// may be changed (tests do so).

#include <array>
#include <cstdint>
#include <string>

using TDateTime = double;

// The locale's conventions for dates, times and numbers (UTF-8 texts).
struct TFormatSettings {
    std::string DateSeparator = ".";
    std::string TimeSeparator = ":";
    std::string ShortDateFormat = "dd.mm.yyyy";
    std::string LongDateFormat = "dddd, d. mmmm yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString;
    std::string TimePMString;
    std::string ThousandSeparator = ".";
    std::string DecimalSeparator = ",";
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                                "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
    std::array<std::string, 12> LongMonthNames{"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                               "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
    std::array<std::string, 7> ShortDayNames{"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"}; // Sunday first
    std::array<std::string, 7> LongDayNames{"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                            "Donnerstag", "Freitag", "Samstag"};
};

// The float formats of FloatToStrF.
enum TFloatFormat : uint8_t { ffGeneral, ffExponent, ffFixed, ffNumber };

namespace rtl {

// The process's locale conventions; German until changed.
extern TFormatSettings FormatSettings;

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);

TDateTime Now();  // local date and time
TDateTime Date(); // today, time 0:00
TDateTime Time(); // the time of day now, date part 0

// Encoding raises EConvertError for parts out of range; the Try forms return
// false instead.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
// Decoding raises EConvertError for values outside years 1 to 9999.
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
int DayOfWeek(TDateTime date); // 1 = Sunday ... 7 = Saturday

// Packed DOS date-time (bits 25-31 year - 1980, 21-24 month, 16-20 day,
// 11-15 hour, 5-10 minute, 0-4 seconds / 2) to date-time; an invalid packing
// raises EConvertError.
TDateTime FileDateToDateTime(int32_t fileDate);
// Seconds are rounded down to an even number; dates outside 1980-2107 are
// clamped into that range.
int32_t DateTimeToFileDate(TDateTime dateTime);

// Date and time by a format string: d dd ddd dddd ddddd dddddd, m mm mmm mmmm,
// yy yyyy, h hh, n nn, s ss, z zzz, t tt, c, am/pm a/p ampm, "/" and ":" (the
// separators), quoted text '...' "...". An "m" right after "h" or "hh" means
// minutes. Letters are case-insensitive.
std::string FormatDateTime(const std::string& format, TDateTime dateTime);
std::string FormatDateTime(const std::string& format, TDateTime dateTime, const TFormatSettings& settings);
std::string DateToStr(TDateTime date); // short date format
std::string TimeToStr(TDateTime time); // long time format
std::string DateTimeToStr(TDateTime dateTime);

// Numbers by a format string: "0" digit, "#" optional digit, "." decimal
// separator, "," thousands separators, "E+0"/"E-0" exponent, '...' "..."
// literal, ";" separating the sections for positive, negative and zero.
std::string FormatFloat(const std::string& format, double value);
std::string FormatFloat(const std::string& format, double value, const TFormatSettings& settings);
// The shortest general form with up to 15 significant digits.
std::string FloatToStr(double value);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings);
// Text with the locale's decimal separator to a number; surrounding blanks
// are allowed, thousands separators are not.
bool TryStrToFloat(const std::string& text, double& value);
bool TryStrToFloat(const std::string& text, double& value, const TFormatSettings& settings);
double StrToFloat(const std::string& text); // raises EConvertError

} // namespace rtl

using rtl::Date;
using rtl::DateTimeToFileDate;
using rtl::DateTimeToStr;
using rtl::DateToStr;
using rtl::DayOfWeek;
using rtl::DecodeDate;
using rtl::DecodeTime;
using rtl::EncodeDate;
using rtl::EncodeTime;
using rtl::FileDateToDateTime;
using rtl::FormatDateTime;
using rtl::Now;
using rtl::TimeToStr;

#pragma once
// Calendar arithmetic on date-time values (days since 30 December 1899 plus
// the fraction of the day), date parsing that accepts two-digit years and
// month names, and default date formats and edit masks for the user's short
// date order. Locale data come from rtl::FormatSettings.

#include "platform/rtl/DateTime.h"

#include <cstdint>
#include <string>

enum TDateOrder : uint8_t { doMDY, doDMY, doYMD };
enum TDayOfWeekName : uint8_t { Sun, Mon, Tue, Wed, Thu, Fri, Sat };
using TDaysOfWeek = uint8_t; // bit (1 << TDayOfWeekName) per day

namespace Dateutil {

extern TDateTime NullDate;
extern uint8_t CenturyOffset;
extern bool FourDigitYear; // the short date format holds "YYYY"

// Fixes "today" for tests (and the current year with it); ResetToday goes
// back to the local clock.
void SetTodayForTests(TDateTime today);
void ResetToday();

bool IsLeapYear(int year);
int DaysPerMonth(int year, int month);
TDateTime FirstDayOfNextMonth();
TDateTime FirstDayOfPrevMonth();
TDateTime LastDayOfPrevMonth();
int ExtractDay(TDateTime date);
int ExtractMonth(TDateTime date);
int ExtractYear(TDateTime date);
TDateTime IncDate(TDateTime date, int days, int months, int years);
TDateTime IncDay(TDateTime date, int delta);
TDateTime IncMonth(TDateTime date, int delta);
TDateTime IncYear(TDateTime date, int delta);
TDateTime IncTime(TDateTime date, int hours, int minutes, int seconds, int mSecs);
TDateTime IncHour(TDateTime date, int delta);
TDateTime IncMinute(TDateTime date, int delta);
TDateTime IncSecond(TDateTime date, int delta);
TDateTime IncMSec(TDateTime date, int delta);
void DateDiff(TDateTime date1, TDateTime date2, uint16_t& days, uint16_t& months, uint16_t& years);
double MonthsBetween(TDateTime date1, TDateTime date2);
bool ValidDate(TDateTime date);
int DaysInPeriod(TDateTime date1, TDateTime date2);
int DaysBetween(TDateTime date1, TDateTime date2);
TDateTime CutTime(TDateTime date);
int CurrentYear();
TDateOrder GetDateOrder(const std::string& dateFormat);
int MonthFromName(const std::string& text, int length);
int ExpandTwoDigitYear(int year);
// Parses text by the format: masked fields first, then free form. An empty
// text gives NullDate.
bool ParseDateInFormat(const std::string& dateFormat, const std::string& text, TDateTime& date);
TDateTime StrToDateFmt(const std::string& dateFormat, const std::string& text); // raises EConvertError
TDateTime StrToDateDef(const std::string& text, TDateTime defDate);
TDateTime StrToDateFmtDef(const std::string& dateFormat, const std::string& text, TDateTime defDate);
std::string DefDateFormat(bool fourDigitYear);
std::string DefDateMask(char blanksChar, bool fourDigitYear);
std::string FormatLongDate(TDateTime value);
std::string FormatLongDateTime(TDateTime value);

} // namespace Dateutil

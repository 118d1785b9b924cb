#include "widgets/Dateutil.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Dateutil;

namespace {

// Today is 15 June 2026 in a German locale.
class DateutilTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = rtl::FormatSettings;
        rtl::FormatSettings = TFormatSettings();
        SetTodayForTests(rtl::EncodeDate(2026, 6, 15) + 0.5);
    }
    void TearDown() override
    {
        ResetToday();
        rtl::FormatSettings = saved_;
    }
    TFormatSettings saved_;
};

TDateTime D(int y, int m, int d) { return rtl::EncodeDate(y, m, d); }

TEST_F(DateutilTest, ParsesDatesWithTwoDigitYears)
{
    const struct {
        const char* format;
        const char* text;
        TDateTime expected; // 0 means failure
    } cases[] = {
        {"dd.mm.yyyy", "1.2.26", D(2026, 2, 1)},
        {"dd.mm.yyyy", "1.2.66", D(1966, 2, 1)},
        {"dd.mm.yyyy", "1.2.65", D(2065, 2, 1)},
        {"dd.mm.yyyy", "1.2.2", D(2002, 2, 1)},
        {"dd.mm.yyyy", "1.2.", 0}, // a separator promises a year
        {"dd.mm.yyyy", "1.2", D(2026, 2, 1)},
        {"dd.mm.yyyy", "01.02.2026", D(2026, 2, 1)},
        {"dd.mm.yyyy", " 1 . 2 . 1999 ", D(1999, 2, 1)},
        {"dd.mm.yyyy", "31.02.2026", 0},
        {"dd.mm.yyyy", "29.02.2024", D(2024, 2, 29)},
        {"dd.mm.yyyy", "29.02.2026", 0},
        {"dd.mm.yyyy", "1.2.20261", 0}, // a fifth digit is left over
        {"dd.mm.yyyy", "1.2.2026x", 0},
        {"dd.mm.yyyy", "1", 0},
        {"dd.mm.yyyy", "a.b.c", 0},
        {"mm/dd/yyyy", "2.1.26", D(2026, 2, 1)},
        {"yyyy/mm/dd", "26.2.1", D(2026, 2, 1)},
        {"DD MMM YYYY", "01 Feb 2026", D(2026, 2, 1)},
        {"DD MMM YYYY", "01 okt 2026", D(2026, 10, 1)},
        {"DD MMM YYYY", "01 MÄR 2026", D(2026, 3, 1)}, // month names count letters, not bytes
        {"DD MMM YYYY", "01 Xyz 2026", 0},
    };
    for (const auto& c : cases) {
        TDateTime date = -1;
        const bool ok = ParseDateInFormat(c.format, c.text, date);
        EXPECT_EQ(ok, c.expected != 0) << c.format << " / " << c.text;
        if (ok && c.expected != 0) {
            EXPECT_EQ(date, c.expected) << c.format << " / " << c.text;
        }
    }
}

TEST_F(DateutilTest, EmptyTextIsTheNullDateAndFailuresRaiseOrDefault)
{
    TDateTime date = -1;
    EXPECT_TRUE(ParseDateInFormat("dd.mm.yyyy", "", date));
    EXPECT_EQ(date, NullDate);
    EXPECT_THROW(StrToDateFmt("dd.mm.yyyy", "31.02.2026"), EConvertError);
    EXPECT_EQ(StrToDateFmt("dd.mm.yyyy", "3.4.2026"), D(2026, 4, 3));
    EXPECT_EQ(StrToDateDef("kein Datum", D(2020, 1, 1) + 0.75), D(2020, 1, 1));
    EXPECT_EQ(StrToDateDef("3.4", 0), D(2026, 4, 3));
}

TEST_F(DateutilTest, TwoDigitYearWindow)
{
    EXPECT_EQ(ExpandTwoDigitYear(66), 1966);
    EXPECT_EQ(ExpandTwoDigitYear(65), 2065);
    EXPECT_EQ(ExpandTwoDigitYear(0), 2000);
    EXPECT_EQ(ExpandTwoDigitYear(100), 100);
    CenturyOffset = 0;
    EXPECT_EQ(ExpandTwoDigitYear(99), 2099);
    CenturyOffset = 60;
}

TEST_F(DateutilTest, CalendarArithmetic)
{
    EXPECT_EQ(IncMonth(D(2026, 1, 31), 1), D(2026, 2, 28));
    EXPECT_EQ(IncMonth(D(2024, 1, 31), 1), D(2024, 2, 29));
    EXPECT_EQ(IncMonth(D(2026, 1, 31), -1), D(2025, 12, 31));
    EXPECT_EQ(IncMonth(D(2026, 3, 15), -14), D(2025, 1, 15));
    EXPECT_EQ(IncMonth(D(2026, 11, 15), 3), D(2027, 2, 15));
    EXPECT_EQ(IncYear(D(2024, 2, 29), 1), D(2025, 2, 28));
    EXPECT_DOUBLE_EQ(IncDate(D(2026, 1, 1) + 0.25, 10, 1, 1), D(2027, 2, 11) + 0.25);
    EXPECT_DOUBLE_EQ(IncHour(D(2026, 1, 1), 30), D(2026, 1, 2) + 0.25);
    EXPECT_DOUBLE_EQ(IncMinute(D(2026, 1, 1), 90), D(2026, 1, 1) + 1.5 / 24);
    EXPECT_EQ(DaysPerMonth(2024, 2), 29);
    EXPECT_EQ(DaysPerMonth(1900, 2), 28);
    EXPECT_EQ(DaysPerMonth(2000, 2), 29);
}

TEST_F(DateutilTest, DifferencesBetweenDates)
{
    uint16_t days = 0, months = 0, years = 0;
    DateDiff(D(2026, 1, 31), D(2026, 3, 1), days, months, years);
    EXPECT_EQ(days, 1);
    EXPECT_EQ(months, 1);
    EXPECT_EQ(years, 0);
    DateDiff(D(2026, 3, 1), D(2024, 12, 31), days, months, years); // swapped
    EXPECT_EQ(days, 1);
    EXPECT_EQ(months, 2);
    EXPECT_EQ(years, 1);
    DateDiff(D(2025, 5, 20), D(2026, 5, 3), days, months, years);
    EXPECT_EQ(days, 14);
    EXPECT_EQ(months, 11);
    EXPECT_EQ(years, 0);
    EXPECT_DOUBLE_EQ(MonthsBetween(D(2026, 1, 1), D(2026, 2, 11)), 1.5);
    EXPECT_DOUBLE_EQ(MonthsBetween(D(2026, 1, 1), D(2026, 1, 2)), 0);
    EXPECT_DOUBLE_EQ(MonthsBetween(D(2026, 1, 1), D(2026, 1, 3)), 0.25);
    EXPECT_DOUBLE_EQ(MonthsBetween(D(2026, 1, 1), D(2026, 1, 17)), 0.75);
    EXPECT_DOUBLE_EQ(MonthsBetween(D(2024, 1, 1), D(2026, 1, 22)), 25);
    EXPECT_EQ(DaysBetween(D(2026, 1, 1), D(2026, 1, 1) + 0.9), 1);
    EXPECT_EQ(DaysBetween(D(2026, 1, 5), D(2026, 1, 1)), 0);
    EXPECT_EQ(DaysInPeriod(D(2026, 1, 5), D(2026, 1, 1)), 5);
    EXPECT_EQ(DaysInPeriod(D(2026, 1, 5), 1e9), 0);
}

TEST_F(DateutilTest, ValidDateRejectsWhatCannotBeDecoded)
{
    EXPECT_TRUE(ValidDate(D(2026, 6, 15)));
    EXPECT_TRUE(ValidDate(D(1, 1, 1)));
    EXPECT_TRUE(ValidDate(D(9999, 12, 31) + 0.99));
    EXPECT_FALSE(ValidDate(D(1, 1, 1) - 1));
    EXPECT_FALSE(ValidDate(D(9999, 12, 31) + 1));
    EXPECT_FALSE(ValidDate(std::numeric_limits<double>::quiet_NaN()));
}

TEST_F(DateutilTest, RelativeToToday)
{
    EXPECT_EQ(CurrentYear(), 2026);
    EXPECT_EQ(FirstDayOfNextMonth(), D(2026, 7, 1));
    EXPECT_EQ(FirstDayOfPrevMonth(), D(2026, 5, 1));
    EXPECT_EQ(LastDayOfPrevMonth(), D(2026, 5, 31));
    SetTodayForTests(D(2026, 1, 10));
    EXPECT_EQ(FirstDayOfPrevMonth(), D(2025, 12, 1));
    SetTodayForTests(D(2026, 12, 10));
    EXPECT_EQ(FirstDayOfNextMonth(), D(2027, 1, 1));
}

TEST_F(DateutilTest, OrdersFormatsAndMasks)
{
    const struct {
        const char* format;
        TDateOrder order;
    } orders[] = {{"dd.mm.yyyy", doDMY}, {"M/d/yy", doMDY}, {"yyyy-MM-dd", doYMD}, {"ee/mm/dd", doYMD}, {"", doDMY}};
    for (const auto& c : orders)
        EXPECT_EQ(GetDateOrder(c.format), c.order) << c.format;
    EXPECT_EQ(DefDateFormat(true), "DD/MM/YYYY");
    EXPECT_EQ(DefDateMask('_', true), "!99/99/9999;1;_");
    rtl::FormatSettings.ShortDateFormat = "yyyy-mm-dd";
    EXPECT_EQ(DefDateFormat(false), "YY/MM/DD");
    EXPECT_EQ(DefDateMask(' ', true), "!9999/99/99;1; ");
    EXPECT_EQ(DefDateMask(' ', false), "!99/99/99;1; ");
    EXPECT_EQ(MonthFromName("mär", 3), 3);
    EXPECT_EQ(MonthFromName("Ju", 2), 6);
    EXPECT_EQ(MonthFromName("", 3), 0);
}

TEST_F(DateutilTest, LongDates)
{
    EXPECT_EQ(FormatLongDateTime(NullDate), "");
    EXPECT_EQ(FormatLongDate(D(2026, 6, 15)), "Montag, 15. Juni 2026");
    EXPECT_EQ(FormatLongDateTime(D(2026, 6, 15) + 0.5), "Montag, 15. Juni 2026 12:00");
}

} // namespace

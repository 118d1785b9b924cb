#include "platform/rtl/DateTime.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct YMD {
    int year, month, day;
};

TEST(DateTime, KnownDayNumbers)
{
    const std::pair<YMD, double> cases[] = {
        {{1899, 12, 30}, 0},   {{1899, 12, 29}, -1}, {{1900, 3, 1}, 61},        {{2000, 1, 1}, 36526},
        {{2026, 3, 5}, 46086}, {{1, 1, 1}, -693593}, {{9999, 12, 31}, 2958465},
    };
    for (const auto& [date, days] : cases)
        EXPECT_EQ(EncodeDate(date.year, date.month, date.day), days) << date.year << "-" << date.month;
}

TEST(DateTime, EveryDateSurvivesEncodeAndDecode)
{
    for (double day = -693593; day <= 2958465; day += 97) {
        int y = 0, m = 0, d = 0;
        DecodeDate(day, y, m, d);
        ASSERT_EQ(EncodeDate(y, m, d), day) << y << "-" << m << "-" << d;
    }
    for (int ms = 0; ms < 86400000; ms += 86399 * 7 + 13) {
        int h = 0, n = 0, s = 0, z = 0;
        DecodeTime(EncodeTime(ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000) + 46086, h, n, s, z);
        ASSERT_EQ(((h * 60 + n) * 60 + s) * 1000 + z, ms);
    }
}

TEST(DateTime, InvalidPartsAreRefused)
{
    TDateTime value = 0;
    EXPECT_FALSE(rtl::TryEncodeDate(2023, 2, 29, value));
    EXPECT_TRUE(rtl::TryEncodeDate(2024, 2, 29, value));
    EXPECT_FALSE(rtl::TryEncodeDate(1900, 2, 29, value)); // not a leap year
    EXPECT_TRUE(rtl::TryEncodeDate(2000, 2, 29, value));
    EXPECT_FALSE(rtl::TryEncodeDate(0, 1, 1, value));
    EXPECT_FALSE(rtl::TryEncodeDate(2024, 13, 1, value));
    EXPECT_FALSE(rtl::TryEncodeTime(24, 0, 0, 0, value));
    EXPECT_FALSE(rtl::TryEncodeTime(0, 0, 60, 0, value));
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    int y = 0, m = 0, d = 0;
    EXPECT_THROW(DecodeDate(3e6, y, m, d), EConvertError);
    EXPECT_THROW(DecodeDate(NAN, y, m, d), EConvertError);
}

TEST(DateTime, FractionIsTheTimeOfDayAlsoBeforeTheEpochAndRoundsIntoTheNextDay)
{
    int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, z = 0;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, z);
    EXPECT_EQ((std::array{y, m, d, h}), (std::array{1899, 12, 29, 6}));

    const TDateTime almostMidnight = EncodeDate(2026, 12, 31) + 0.9999999999;
    DecodeDate(almostMidnight, y, m, d);
    DecodeTime(almostMidnight, h, n, s, z);
    EXPECT_EQ((std::array{y, m, d, h, n, s, z}), (std::array{2027, 1, 1, 0, 0, 0, 0}));
}

TEST(DateTime, DayOfWeekStartsOnSunday)
{
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7); // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 3, 5)), 5);   // Thursday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1); // Sunday before the epoch
}

TEST(FileDate, PacksLocalTimeWithTwoSecondSteps)
{
    const TDateTime when = EncodeDate(2021, 3, 14) + EncodeTime(15, 9, 27, 900);
    const int32_t packed = 41 << 25 | 3 << 21 | 14 << 16 | 15 << 11 | 9 << 5 | 13;
    EXPECT_EQ(DateTimeToFileDate(when), packed);
    EXPECT_EQ(FileDateToDateTime(packed), EncodeDate(2021, 3, 14) + EncodeTime(15, 9, 26, 0));

    // Years from 2044 on set the sign bit of the 32-bit value.
    const TDateTime late = EncodeDate(2100, 6, 30) + EncodeTime(23, 59, 58, 0);
    EXPECT_LT(DateTimeToFileDate(late), 0);
    EXPECT_EQ(FileDateToDateTime(DateTimeToFileDate(late)), late);
}

TEST(FileDate, OutOfRangeDatesClampAndBadPackingsAreRefused)
{
    EXPECT_EQ(DateTimeToFileDate(EncodeDate(1970, 1, 1)), 1 << 21 | 1 << 16);
    EXPECT_EQ(FileDateToDateTime(DateTimeToFileDate(EncodeDate(2200, 1, 1))),
              EncodeDate(2107, 12, 31) + EncodeTime(23, 59, 58, 0));
    EXPECT_THROW(FileDateToDateTime(0), EConvertError);                      // month 0, day 0
    EXPECT_THROW(FileDateToDateTime(-1), EConvertError);                     // what FileAge gives for a missing file
    EXPECT_THROW(FileDateToDateTime(1 << 21 | 1 << 16 | 30), EConvertError); // 60 seconds
}

TEST(FormatDateTime, GermanTable)
{
    const TDateTime when = EncodeDate(2026, 3, 5) + EncodeTime(14, 7, 9, 45);
    const std::pair<const char*, const char*> cases[] = {
        {"dd.mm.yyyy", "05.03.2026"},
        {"d.m.yy", "5.3.26"},
        {"hh:nn:ss", "14:07:09"},
        {"hh:mm", "14:07"}, // "m" after an hour is minutes
        {"h:m:s.zzz", "14:7:9.045"},
        {"dddd, d. mmmm yyyy", "Donnerstag, 5. März 2026"},
        {"ddd mmm", "Do Mär"},
        {"c", "05.03.2026 14:07:09"},
        {"ddddd", "05.03.2026"},
        {"t", "14:07"},
        {"tt", "14:07:09"},
        {"yyyy/mm/dd", "2026.03.05"}, // "/" is the date separator
        {"hh:nn am/pm", "02:07 pm"},
        {"h A/P", "2 P"},
        {"'Datum:' dd", "Datum: 05"},
        {"\"mm\" mm", "mm 03"},
        {"DD.MM.YYYY HH:NN", "05.03.2026 14:07"},
    };
    for (const auto& [format, text] : cases)
        EXPECT_EQ(FormatDateTime(format, when), text) << format;
    EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 3, 5)), "05.03.2026"); // no time at midnight
    EXPECT_EQ(DateToStr(when), "05.03.2026");
    EXPECT_EQ(TimeToStr(when), "14:07:09");
}

TEST(FormatDateTime, FollowsOverriddenSettingsAndSurvivesSelfReference)
{
    TFormatSettings us;
    us.DateSeparator = "/";
    us.ShortDateFormat = "mm/dd/yyyy";
    us.LongMonthNames[2] = "March";
    const TDateTime when = EncodeDate(2026, 3, 5);
    EXPECT_EQ(rtl::FormatDateTime("ddddd", when, us), "03/05/2026");
    EXPECT_EQ(rtl::FormatDateTime("mmmm", when, us), "March");

    TFormatSettings looping;
    looping.ShortDateFormat = "c"; // refers to itself
    EXPECT_EQ(rtl::FormatDateTime("c", when, looping), "");
}

TEST(FormatFloat, GermanTable)
{
    struct Case {
        const char* format;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {"#,##0.00", 1234567.891, "1.234.567,89"},
        {"0.00", 0.125, "0,13"},  // half away from zero
        {"0.00", 2.675, "2,68"},  // as the user reads the number, not its binary neighbour
        {"0.00", -0.004, "0,00"}, // no "-0"
        {"#.##", 0.5, ",5"},
        {"0.###", 1.5, "1,5"},
        {"0", 2.5, "3"},
        {"000", 7, "007"},
        {"#,##0", -1234, "-1.234"},
        {"0.0;(0.0);'null'", -2.25, "(2,3)"},
        {"0.0;(0.0);'null'", 0, "null"},
        {"0.0;(0.0);'null'", 0.01, "null"}, // rounds to zero
        {"0.00E+00", 12345, "1,23E+04"},
        {"0.00E-00", 0.00012345, "1,23E-04"},
        {"0.0E+0 0", 1234, "1,2E+3 0"}, // after the exponent everything is text
        {"'Preis: '0.00' €'", 3, "Preis: 3,00 €"},
        {"000-000", 123456, "123-456"},
        {"", 1.5, "1,5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rtl::FormatFloat(c.format, c.value), c.text) << c.format << " " << c.value;
}

TEST(FloatToStr, GeneralFixedAndNumberForms)
{
    const std::pair<double, const char*> general[] = {
        {1.5, "1,5"},   {0.1, "0,1"},         {-42, "-42"},       {0, "0"},
        {1e20, "1E20"}, {0.00001, "0,00001"}, {0.000001, "1E-6"}, {123456789012345678.0, "1,23456789012346E17"},
    };
    for (const auto& [value, text] : general)
        EXPECT_EQ(rtl::FloatToStr(value), text) << value;
    EXPECT_EQ(rtl::FloatToStrF(1234.5, ffNumber, 15, 2), "1.234,50");
    EXPECT_EQ(rtl::FloatToStrF(1234.5, ffFixed, 15, 2), "1234,50");
    EXPECT_EQ(rtl::FloatToStrF(1234.5, ffExponent, 4, 2), "1,235E+03");
    EXPECT_EQ(rtl::FloatToStrF(-0.001, ffFixed, 15, 2), "0,00");
    EXPECT_EQ(rtl::FloatToStr(NAN), "NAN");
}

TEST(StrToFloat, AcceptsOnlyTheLocaleDecimalSeparator)
{
    const std::pair<const char*, double> good[] = {{"1,5", 1.5}, {" -2,25 ", -2.25}, {"+3", 3},
                                                   {",5", 0.5},  {"1,5e3", 1500},    {"2E-2", 0.02}};
    for (const auto& [text, value] : good) {
        double parsed = 0;
        EXPECT_TRUE(rtl::TryStrToFloat(text, parsed)) << text;
        EXPECT_DOUBLE_EQ(parsed, value) << text;
    }
    for (const char* bad : {"1.5", "", " ", "abc", "1,5x", ",", "1e", "1,2,3", "1e999"}) {
        double parsed = 7;
        EXPECT_FALSE(rtl::TryStrToFloat(bad, parsed)) << bad;
        EXPECT_EQ(parsed, 7) << bad;
    }
    EXPECT_THROW(rtl::StrToFloat("1.5"), EConvertError);
}

} // namespace

#include "platform/rtl/Math.h"

#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

using Bytes = std::array<uint8_t, 10>;

TEST(Math, RoundTakesHalvesToTheEvenNeighbour)
{
    struct Case {
        double value;
        int64_t rounded;
    };
    const Case cases[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {3.5, 4},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {-3.5, -4},
        {2.4999999999999996, 2},
        {2.5000000000000004, 3},
        {-2.6, -3},
        {-0.4, 0},
        {0.0, 0},
        {4503599627370497.0, 4503599627370497}, // 2^52 + 1 has no fraction
        {1e15 + 0.5, 1000000000000000},
        {-9223372036854775808.0, std::numeric_limits<int64_t>::min()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rtl::Round(c.value), c.rounded) << c.value;
}

TEST(Math, TruncCutsTowardZero)
{
    EXPECT_EQ(rtl::Trunc(2.9), 2);
    EXPECT_EQ(rtl::Trunc(-2.9), -2);
    EXPECT_EQ(rtl::Trunc(-0.5), 0);
    EXPECT_EQ(rtl::Trunc(9223372036854774784.0), 9223372036854774784);
}

TEST(Math, ValuesWithoutAnIntegerRaiseInvalidOp)
{
    for (const double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, 9223372036854775808.0, -9223372036854777856.0}) {
        EXPECT_THROW(rtl::Round(bad), EInvalidOp) << bad;
        EXPECT_THROW(rtl::Trunc(bad), EInvalidOp) << bad;
    }
}

Bytes ToExtended(double value)
{
    Bytes bytes{};
    rtl::DoubleToExtended(value, bytes.data());
    return bytes;
}

Bytes Extended(uint64_t mantissa, int exponentField, bool negative = false)
{
    Bytes bytes{};
    rtl::PutLE64(bytes.data(), mantissa);
    rtl::PutLE16(bytes.data() + 8, static_cast<uint16_t>(exponentField | (negative ? 0x8000 : 0)));
    return bytes;
}

uint64_t BitsOf(double d) { return std::bit_cast<uint64_t>(d); }

TEST(Math, ExtendedBytesOfKnownValues)
{
    struct Case {
        double value;
        Bytes bytes;
    };
    const Case cases[] = {
        {1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
        {0.5, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}},
        {0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {-0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}},
        {-2.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
        {3.0, {0, 0, 0, 0, 0, 0, 0, 0xC0, 0x00, 0x40}},
        {HUGE_VAL, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
        {-HUGE_VAL, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}},
        // The smallest double denormal, 2^-1074, is a normal extended.
        {4.9406564584124654e-324, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xCD, 0x3B}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ToExtended(c.value), c.bytes);
        EXPECT_EQ(BitsOf(rtl::ExtendedToDouble(c.bytes.data())), BitsOf(c.value));
    }
}

TEST(Math, EveryDoubleSurvivesTheExtendedRoundTrip)
{
    const double values[] = {DBL_MAX, -DBL_MAX,    DBL_MIN, DBL_MIN / 3, DBL_TRUE_MIN * 7,
                             1.0 / 3, -123456.789, 1e300,   1e-300,      M_PI};
    for (const double value : values)
        EXPECT_EQ(BitsOf(rtl::ExtendedToDouble(ToExtended(value).data())), BitsOf(value)) << value;

    const Bytes nan = ToExtended(std::nan(""));
    EXPECT_EQ(nan[9] & 0x7F, 0x7F);
    EXPECT_EQ(nan[8], 0xFF);
    EXPECT_TRUE(std::isnan(rtl::ExtendedToDouble(nan.data())));
}

TEST(Math, ExtendedValuesBeyondDoubleAreRoundedAndClamped)
{
    constexpr uint64_t one = uint64_t{1} << 63;
    struct Case {
        const char* what;
        Bytes bytes;
        double value;
    };
    const Case cases[] = {
        {"tie below rounds to even", Extended(one | (uint64_t{1} << 10), 0x3FFF), 1.0},
        {"above the tie rounds up", Extended(one | (uint64_t{1} << 10) | 1, 0x3FFF), 1.0 + DBL_EPSILON},
        {"tie above rounds to even", Extended(one | (uint64_t{3} << 10), 0x3FFF), 1.0 + 2 * DBL_EPSILON},
        {"carry into the exponent", Extended(~uint64_t{0}, 0x3FFF), 2.0},
        {"too large", Extended(one, 0x7FFE), HUGE_VAL},
        {"rounds up past DBL_MAX", Extended(~uint64_t{0}, 0x3FFF + 1023), HUGE_VAL},
        {"negative too large", Extended(one, 0x7FFE, true), -HUGE_VAL},
        {"too small", Extended(one, 1), 0.0},
        {"extended denormal", Extended(1, 0), 0.0},
        {"half the smallest denormal is a tie to zero", Extended(one, 0x3FFF - 1075), 0.0},
        {"just above it rounds up", Extended(one | 1, 0x3FFF - 1075), DBL_TRUE_MIN},
        {"denormal rounds up to DBL_MIN", Extended(~uint64_t{0}, 0x3FFF - 1023), DBL_MIN},
        {"unnormal reads as its value", Extended(one >> 1, 0x3FFF), 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(BitsOf(rtl::ExtendedToDouble(c.bytes.data())), BitsOf(c.value));
    }
    EXPECT_EQ(BitsOf(rtl::ExtendedToDouble(Extended(one, 1, true).data())), BitsOf(-0.0));
    EXPECT_TRUE(std::isnan(rtl::ExtendedToDouble(Extended(one | 1, 0x7FFF).data())));
}

#if defined(__x86_64__) && LDBL_MANT_DIG == 64
// The x87 unit converts in round-to-nearest-even, so its results check ours
// on random bit patterns across the whole exponent range.
TEST(Math, ExtendedConversionAgreesWithTheFloatingPointUnit)
{
    std::mt19937_64 random(20261210);
    for (int i = 0; i < 200000; ++i) {
        const uint64_t mantissa = random() | (uint64_t{1} << 63);
        const int exponentField = static_cast<int>(random() % 0x7FFF);
        const Bytes bytes = Extended(mantissa >> (random() % 4 == 0 ? random() % 64 : 0), exponentField, random() & 1);
        if (exponentField != 0 && !(bytes[7] & 0x80))
            continue; // unnormals are invalid operands for the unit
        long double hardware = 0;
        std::memcpy(&hardware, bytes.data(), bytes.size());
        ASSERT_EQ(BitsOf(rtl::ExtendedToDouble(bytes.data())), BitsOf(static_cast<double>(hardware)))
            << std::hex << mantissa << " exp " << exponentField;

        const double d = std::bit_cast<double>(random());
        if (std::isnan(d))
            continue;
        const long double wide = d;
        Bytes expected{};
        std::memcpy(expected.data(), &wide, expected.size());
        ASSERT_EQ(ToExtended(d), expected) << d;
    }
}
#endif

} // namespace

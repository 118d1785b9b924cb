#include "platform/rtl/Math.h"

#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Exceptions.h"

#include <bit>
#include <cmath>

namespace rtl {
namespace {

constexpr int kExtendedBias = 16383;
constexpr int kDoubleBias = 1023;
constexpr uint64_t kIntegerBit = uint64_t{1} << 63;
constexpr uint64_t kDoubleFractionMask = (uint64_t{1} << 52) - 1;

int64_t ToInt64(double integral)
{
    // 2^63 is exact as a double; every double below it fits int64.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(integral >= -kLimit && integral < kLimit))
        throw EInvalidOp("Invalid floating point operation");
    return static_cast<int64_t>(integral);
}

// value / 2^shift rounded to the nearest integer, halves to even.
uint64_t ShiftRightRoundingToEven(uint64_t value, unsigned shift)
{
    if (shift == 0)
        return value;
    if (shift > 64)
        return 0;
    if (shift == 64)
        return value > kIntegerBit ? 1 : 0;
    const uint64_t kept = value >> shift;
    const uint64_t rest = value & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    return kept + ((rest > half || (rest == half && (kept & 1))) ? 1 : 0);
}

double FromBits(bool negative, uint64_t magnitudeBits)
{
    return std::bit_cast<double>(magnitudeBits | (negative ? kIntegerBit : 0));
}

double Infinity(bool negative) { return FromBits(negative, uint64_t{0x7FF} << 52); }

// 80-bit extended: the 64-bit mantissa, then the 15-bit exponent with the
// sign as bit 15, both little-endian.
constexpr uint16_t kExtendedSignBit = 0x8000;

void StoreExtended(bool negative, int exponentField, uint64_t mantissa, uint8_t bytes[10])
{
    PutLE64(bytes, mantissa);
    PutLE16(bytes + 8, static_cast<uint16_t>((exponentField & 0x7FFF) | (negative ? kExtendedSignBit : 0)));
}

} // namespace

int64_t Round(double value)
{
    if (!std::isfinite(value))
        throw EInvalidOp("Invalid floating point operation");
    const double below = std::floor(value);
    const double fraction = value - below; // exact for every double
    double nearest = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        nearest = below + 1.0;
    return ToInt64(nearest);
}

int64_t Trunc(double value)
{
    if (!std::isfinite(value))
        throw EInvalidOp("Invalid floating point operation");
    return ToInt64(std::trunc(value));
}

double ExtendedToDouble(const uint8_t bytes[10])
{
    uint64_t mantissa = GetLE64(bytes);
    const uint16_t signAndExponent = GetLE16(bytes + 8);
    const bool negative = (signAndExponent & kExtendedSignBit) != 0;
    const int exponentField = signAndExponent & 0x7FFF;

    if (exponentField == 0x7FFF) {
        if ((mantissa & ~kIntegerBit) == 0)
            return Infinity(negative);
        return FromBits(negative,
                        (uint64_t{0x7FF} << 52) | (uint64_t{1} << 51) | ((mantissa >> 11) & kDoubleFractionMask));
    }
    if (mantissa == 0)
        return FromBits(negative, 0);

    // Normalise, so that denormals and unnormals (integer bit clear) read as
    // the value their bits describe.
    const int leadingZeros = std::countl_zero(mantissa);
    mantissa <<= leadingZeros;
    int exponent = (exponentField == 0 ? 1 : exponentField) - kExtendedBias - leadingZeros;

    if (exponent >= 1 - kDoubleBias) {
        uint64_t significand = ShiftRightRoundingToEven(mantissa, 11);
        if (significand == (uint64_t{1} << 53)) {
            significand >>= 1;
            ++exponent;
        }
        if (exponent > kDoubleBias)
            return Infinity(negative);
        const uint64_t biased = static_cast<uint64_t>(exponent + kDoubleBias);
        return FromBits(negative, (biased << 52) | (significand & kDoubleFractionMask));
    }
    // Below the normal range: a double denormal counts units of 2^-1074. A
    // carry into bit 52 yields the smallest normal number, which is correct.
    const unsigned denormalShift = static_cast<unsigned>(-1011 - exponent);
    return FromBits(negative, ShiftRightRoundingToEven(mantissa, denormalShift));
}

void DoubleToExtended(double value, uint8_t bytes[10])
{
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const bool negative = (bits & kIntegerBit) != 0;
    const int exponentField = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & kDoubleFractionMask;

    if (exponentField == 0x7FF) {
        StoreExtended(negative, 0x7FFF, kIntegerBit | (fraction << 11), bytes);
    } else if (exponentField == 0 && fraction == 0) {
        StoreExtended(negative, 0, 0, bytes);
    } else if (exponentField == 0) {
        // Denormal double: normal in the wider exponent range of extended.
        const int leadingZeros = std::countl_zero(fraction);
        const int exponent = -1011 - leadingZeros;
        StoreExtended(negative, exponent + kExtendedBias, fraction << leadingZeros, bytes);
    } else {
        StoreExtended(negative, exponentField - kDoubleBias + kExtendedBias, kIntegerBit | (fraction << 11), bytes);
    }
}

} // namespace rtl

#pragma once

// Rounding as the Windows run-time does it, and the 80-bit extended floats of
// stored files converted by hand (no reliance on long double).

#include <cstdint>

namespace rtl {

// Nearest integer, halves to the even neighbour (2.5 -> 2, -2.5 -> -2).
// Raises EInvalidOp for NaN, infinities and values outside int64.
int64_t Round(double value);

// Integer part toward zero; raises EInvalidOp like Round.
int64_t Trunc(double value);

// Bytes of an x87 extended float (little-endian: 64-bit mantissa with an
// explicit integer bit, 15-bit exponent with bias 16383, sign in the top bit).
// Values beyond double's range become infinities or zero, NaNs stay NaN, and
// the 64-bit mantissa is rounded half to even to 53 bits.
double ExtendedToDouble(const uint8_t bytes[10]);
void DoubleToExtended(double value, uint8_t bytes[10]);

} // namespace rtl

#pragma once

// Smallest and largest of two values or of every element of an array, and
// exchanging two values.

#include <cstdint>
#include <span>

namespace MaxMin {

void SwapInt(int& A, int& B);
void SwapLong(std::int32_t& A, std::int32_t& B);
void SwapInt64(std::int64_t& A, std::int64_t& B);
int Max(int A, int B);
int Min(int A, int B);
// The arrays must not be empty.
int MaxInteger(std::span<const int> Values);
int MinInteger(std::span<const int> Values);
std::int64_t MaxInt64(std::span<const std::int64_t> Values);
std::int64_t MinInt64(std::span<const std::int64_t> Values);
double MaxFloat(std::span<const double> Values);
double MinFloat(std::span<const double> Values);
// Date-times are days as floating-point numbers.
double MaxDateTime(std::span<const double> Values);
double MinDateTime(std::span<const double> Values);

} // namespace MaxMin

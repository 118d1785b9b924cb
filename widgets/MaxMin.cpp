#include "widgets/MaxMin.h"

#include <algorithm>
#include <utility>

#include "platform/rtl/Exceptions.h"

namespace MaxMin {

namespace {

template <class T> std::span<const T> NotEmpty(std::span<const T> Values)
{
    if (Values.empty())
        throw EListError("An empty array has no smallest or largest element");
    return Values;
}

} // namespace

void SwapInt(int& A, int& B) { std::swap(A, B); }
void SwapLong(std::int32_t& A, std::int32_t& B) { std::swap(A, B); }
void SwapInt64(std::int64_t& A, std::int64_t& B) { std::swap(A, B); }
int Max(int A, int B) { return std::max(A, B); }
int Min(int A, int B) { return std::min(A, B); }
int MaxInteger(std::span<const int> Values) { return std::ranges::max(NotEmpty(Values)); }
int MinInteger(std::span<const int> Values) { return std::ranges::min(NotEmpty(Values)); }
std::int64_t MaxInt64(std::span<const std::int64_t> Values) { return std::ranges::max(NotEmpty(Values)); }
std::int64_t MinInt64(std::span<const std::int64_t> Values) { return std::ranges::min(NotEmpty(Values)); }
double MaxFloat(std::span<const double> Values) { return std::ranges::max(NotEmpty(Values)); }
double MinFloat(std::span<const double> Values) { return std::ranges::min(NotEmpty(Values)); }
double MaxDateTime(std::span<const double> Values) { return MaxFloat(Values); }
double MinDateTime(std::span<const double> Values) { return MinFloat(Values); }

} // namespace MaxMin

#pragma once

// Time and chance for the whole process: the millisecond tick counter, the
// sleep that paces animations, and the pseudo-random generator.
//
// Tests replace the clock by a fake one in which Sleep advances the tick count
// at once, so timed loops run without real waiting, and seed the generator so
// that random choices repeat.

#include <cstdint>
#include <functional>

namespace rtl {

// Milliseconds since an arbitrary start, as a 32-bit counter that wraps after
// about 49.7 days. Measure intervals as the unsigned difference of two counts.
uint32_t GetTickCount();

// Suspends the calling thread for ms milliseconds; Sleep(0) yields.
void Sleep(uint32_t ms);

// Uniform integer in [0, range); 0 when range <= 0.
int32_t Random(int32_t range);
// Uniform double in [0, 1).
double Random();
// Seeds the generator from the clock.
void Randomize();
// Seeds the generator with a fixed value: the same seed gives the same sequence.
void SetRandomSeed(uint32_t seed);

// Replaces the real clock by a fake one starting at startTicks: GetTickCount
// returns fake time and Sleep(ms) advances it by ms without waiting. onSleep,
// when set, is told of every Sleep after the time has advanced.
void SetClockForTests(uint32_t startTicks, std::function<void(uint32_t ms)> onSleep = {});
// Moves the fake clock forward (work that takes time in a test).
void AdvanceClockForTests(uint32_t ms);
// Back to the real clock.
void ResetClock();

} // namespace rtl

using rtl::GetTickCount;
using rtl::Random;
using rtl::Randomize;
using rtl::Sleep;

#include "platform/rtl/Clock.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <thread>
#include <time.h>

namespace rtl {

namespace {

struct FakeClock {
    std::atomic<bool> active{false};
    std::atomic<uint32_t> ticks{0};
    std::mutex mutex; // guards onSleep
    std::function<void(uint32_t)> onSleep;
};

FakeClock& TheFakeClock()
{
    static FakeClock clock;
    return clock;
}

struct RandomSource {
    std::mutex mutex;
    std::mt19937 generator{0};

    uint32_t Next()
    {
        std::lock_guard lock(mutex);
        return static_cast<uint32_t>(generator());
    }
};

RandomSource& TheRandomSource()
{
    static RandomSource source;
    return source;
}

uint32_t RealTicks()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms); // wraps like the 32-bit counter it stands for
}

} // namespace

uint32_t GetTickCount()
{
    FakeClock& fake = TheFakeClock();
    return fake.active ? fake.ticks.load() : RealTicks();
}

void Sleep(uint32_t ms)
{
    FakeClock& fake = TheFakeClock();
    if (fake.active) {
        fake.ticks += ms;
        std::function<void(uint32_t)> observer;
        {
            std::lock_guard lock(fake.mutex);
            observer = fake.onSleep;
        }
        if (observer)
            observer(ms);
        return;
    }
    if (ms == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int32_t Random(int32_t range)
{
    if (range <= 0)
        return 0;
    // Scaling the 32-bit draw keeps every result equally likely to within
    // range / 2^32, without the bias of a remainder.
    return static_cast<int32_t>((static_cast<uint64_t>(TheRandomSource().Next()) * static_cast<uint64_t>(range)) >> 32);
}

double Random()
{
    // 53 random bits: every double the interval [0, 1) can hold at that step.
    const uint64_t high = TheRandomSource().Next() >> 5;
    const uint64_t low = TheRandomSource().Next() >> 6;
    return static_cast<double>((high << 26) | low) / 9007199254740992.0;
}

void Randomize()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::random_device entropy;
    const uint32_t seed = static_cast<uint32_t>(now.tv_nsec) ^ static_cast<uint32_t>(now.tv_sec) ^ entropy();
    SetRandomSeed(seed);
}

void SetRandomSeed(uint32_t seed)
{
    RandomSource& source = TheRandomSource();
    std::lock_guard lock(source.mutex);
    source.generator.seed(seed);
}

void SetClockForTests(uint32_t startTicks, std::function<void(uint32_t ms)> onSleep)
{
    FakeClock& fake = TheFakeClock();
    {
        std::lock_guard lock(fake.mutex);
        fake.onSleep = std::move(onSleep);
    }
    fake.ticks = startTicks;
    fake.active = true;
}

void AdvanceClockForTests(uint32_t ms) { TheFakeClock().ticks += ms; }

void ResetClock()
{
    FakeClock& fake = TheFakeClock();
    fake.active = false;
    std::lock_guard lock(fake.mutex);
    fake.onSleep = nullptr;
}

} // namespace rtl

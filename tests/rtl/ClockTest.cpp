#include "platform/rtl/Clock.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <vector>

namespace {

class FakeClock : public ::testing::Test {
protected:
    void TearDown() override { rtl::ResetClock(); }
};

TEST_F(FakeClock, IntervalsAcrossTheWrapStayRight)
{
    rtl::SetClockForTests(0xFFFFFFF0u);
    const uint32_t start = GetTickCount();
    Sleep(40);
    const uint32_t now = GetTickCount();
    EXPECT_LT(now, start);       // the counter wrapped ...
    EXPECT_EQ(now - start, 40u); // ... and the unsigned difference did not notice
}

TEST_F(FakeClock, SleepAdvancesAtOnceAndIsReported)
{
    std::vector<uint32_t> sleeps;
    rtl::SetClockForTests(1000, [&](uint32_t ms) { sleeps.push_back(ms); });
    // A paced step: sleep 10 ms, then 1 ms at a time until 25 ms have passed,
    // with 7 ms of drawing in between.
    const uint32_t start = GetTickCount();
    rtl::AdvanceClockForTests(7);
    Sleep(10);
    do
        Sleep(1);
    while (GetTickCount() - start < 25);
    EXPECT_EQ(GetTickCount(), 1025u);
    EXPECT_EQ(sleeps, (std::vector<uint32_t>{10, 1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST_F(FakeClock, ResetBringsBackTheRealClock)
{
    rtl::SetClockForTests(5);
    rtl::ResetClock();
    const uint32_t start = GetTickCount();
    Sleep(20);
    const uint32_t elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 20u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(Random, StaysInRangeAndHitsEveryValueEvenly)
{
    rtl::SetRandomSeed(1234);
    std::array<int, 7> counts{};
    for (int i = 0; i < 70000; ++i) {
        const int32_t value = Random(7);
        ASSERT_GE(value, 0);
        ASSERT_LT(value, 7);
        ++counts[value];
    }
    for (int count : counts) {
        EXPECT_GT(count, 9500);
        EXPECT_LT(count, 10500);
    }
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    EXPECT_EQ(Random(1), 0);
    for (int i = 0; i < 1000; ++i)
        ASSERT_LT(Random(INT32_MAX), INT32_MAX);
}

TEST(Random, FractionsCoverTheUnitInterval)
{
    rtl::SetRandomSeed(99);
    double low = 1, high = 0;
    for (int i = 0; i < 10000; ++i) {
        const double value = Random();
        ASSERT_GE(value, 0.0);
        ASSERT_LT(value, 1.0);
        low = std::min(low, value);
        high = std::max(high, value);
    }
    EXPECT_LT(low, 0.01);
    EXPECT_GT(high, 0.99);
}

TEST(Random, TheSameSeedRepeatsTheSequence)
{
    auto draw = [](uint32_t seed) {
        rtl::SetRandomSeed(seed);
        std::vector<int32_t> values;
        for (int i = 0; i < 20; ++i)
            values.push_back(Random(1000));
        return values;
    };
    const std::vector<int32_t> seeded = draw(42);
    EXPECT_EQ(draw(42), seeded);
    EXPECT_NE(draw(43), seeded);
    Randomize();
    std::vector<int32_t> randomized;
    for (int i = 0; i < 20; ++i)
        randomized.push_back(Random(1000));
    EXPECT_NE(randomized, seeded);
}

} // namespace

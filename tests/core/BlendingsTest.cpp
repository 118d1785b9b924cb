#include "core/Blendings.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <vector>

namespace {

using namespace Blendings;

// A fake clock that counts the steps (each step's wait begins with one
// 10-ms sleep; every other sleep of the engine is 1 ms).
class BlendingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedRandom_ = RandomBlendings;
        rtl::SetRandomSeed(7);
        rtl::SetClockForTests(1000, [this](uint32_t ms) {
            if (ms == 10)
                ++steps;
        });
    }
    void TearDown() override
    {
        rtl::ResetClock();
        RandomBlendings = savedRandom_;
    }

    int steps = 0;

private:
    std::array<bool, 32> savedRandom_{};
};

void FillRandom(TBitmap& bitmap, uint32_t seed)
{
    std::mt19937 gen(seed);
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width() * 3; ++x)
            row[x] = static_cast<uint8_t>(gen());
    }
}

void Fill(TBitmap& bitmap, uint8_t value)
{
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memset(bitmap.ScanLine(y), value, static_cast<size_t>(bitmap.Width()) * 3);
}

bool SamePixels(TBitmap& a, TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), static_cast<size_t>(a.Width()) * 3) != 0)
            return false;
    return true;
}

bool RowEquals(TBitmap& a, TBitmap& b, int y)
{
    return std::memcmp(a.ScanLine(y), b.ScanLine(y), static_cast<size_t>(a.Width()) * 3) == 0;
}

// Old picture on the screen (the target) and the new one to show.
struct Pair {
    Pair(int width, int height, uint32_t seed)
        : newBitmap(width, height), oldBitmap(width, height), screen(width, height)
    {
        FillRandom(newBitmap, seed);
        FillRandom(oldBitmap, seed + 1);
        screen.Assign(&oldBitmap);
    }
    TBitmap newBitmap;
    TBitmap oldBitmap;
    TBitmap screen;
};

TEST_F(BlendingsTest, EveryEffectEndsWithTheNewPicture)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {3, 2}, {2, 3}, {45, 37}, {640, 480}, {1000, 300}, {300, 1005}};
    for (int n = 0; n < 32; ++n)
        for (const auto& [w, h] : sizes) {
            Pair p(w, h, static_cast<uint32_t>(n * 100 + w));
            BlendNr(p.newBitmap, &p.oldBitmap, p.screen.Canvas(), n);
            EXPECT_TRUE(SamePixels(p.screen, p.newBitmap)) << "effect " << n << " at " << w << "x" << h;
        }
}

TEST_F(BlendingsTest, EffectsOnAThirtyTwoBitScreen)
{
    // A window's back buffer holds 32-bit pixels; pictures are 24-bit.
    for (int n = 0; n < 32; ++n) {
        Pair p(45, 37, static_cast<uint32_t>(n));
        TBitmap screen(45, 37, pf32bit);
        BlendNr(p.newBitmap, &p.oldBitmap, screen.Canvas(), n);
        int wrong = 0;
        for (int y = 0; y < 37; ++y)
            for (int x = 0; x < 45; ++x) {
                const uint8_t* want = p.newBitmap.ScanLine(y) + 3 * x;
                const uint8_t* got = screen.ScanLine(y) + 4 * x;
                wrong += std::memcmp(want, got, 3) != 0;
            }
        EXPECT_EQ(wrong, 0) << "effect " << n;
    }
}

// What the screen shows after each step of effect n (blue, green, red per
// pixel whatever the screen's depth).
std::vector<std::vector<uint8_t>> StepFrames(int n, Pair& p, TBitmap& screen)
{
    std::vector<std::vector<uint8_t>> frames;
    const int bytes = screen.BitsPerPixel() / 8;
    rtl::SetRandomSeed(7);
    rtl::SetClockForTests(0, [&](uint32_t ms) {
        if (ms != 10)
            return;
        std::vector<uint8_t>& frame = frames.emplace_back();
        for (int y = 0; y < screen.Height(); ++y)
            for (int x = 0; x < screen.Width(); ++x)
                frame.insert(frame.end(), screen.ScanLine(y) + bytes * x, screen.ScanLine(y) + bytes * x + 3);
    });
    BlendNr(p.newBitmap, &p.oldBitmap, screen.Canvas(), n);
    return frames;
}

TEST_F(BlendingsTest, EveryStepLooksTheSameOnEveryKindOfScreen)
{
    // Pixels go straight from memory to memory where they can, also on a
    // screen clipped to one rectangle; a screen with another clip takes them
    // through the canvas's block copy instead, and a 32-bit screen converts
    // them. Each pair must show the same picture after every step.
    const TRect inner = Rect(3, 2, 50, 40);
    const TRegion innerAndOutside = TRegion::Combined(TRegion(inner), TRegion(Rect(100, 100, 110, 110)),
                                                      RGN_OR); // same pixels, two pieces
    for (int n = 2; n < 32; ++n) {
        Pair p(61, 47, static_cast<uint32_t>(n));
        TBitmap deep, clipped, clippedInPieces;
        deep.Assign(&p.oldBitmap);
        deep.SetPixelFormat(pf32bit);
        clipped.Assign(&p.oldBitmap);
        clippedInPieces.Assign(&p.oldBitmap);
        const TRegion innerRegion(inner);
        clipped.Canvas().SetClipRegion(&innerRegion);
        clippedInPieces.Canvas().SetClipRegion(&innerAndOutside);
        const auto frames = StepFrames(n, p, p.screen);
        ASSERT_FALSE(frames.empty()) << "effect " << n;
        EXPECT_TRUE(StepFrames(n, p, deep) == frames) << "effect " << n;
        const auto clippedFrames = StepFrames(n, p, clipped);
        EXPECT_TRUE(clippedFrames != frames) << "effect " << n;
        EXPECT_TRUE(StepFrames(n, p, clippedInPieces) == clippedFrames) << "effect " << n;
    }
}

TEST_F(BlendingsTest, RandomChoiceTakesOnlyEnabledEffects)
{
    RandomBlendings.fill(false);
    RandomBlendings[1] = true; // 0 and 1 are never consulted
    EXPECT_EQ(GetRandomBlending(), 0);
    EXPECT_EQ(GetBlending(1), 0);
    RandomBlendings[17] = true;
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(GetBlending(1), 17);
    RandomBlendings[17] = false;
    RandomBlendings[2] = RandomBlendings[31] = true;
    std::set<int> seen;
    for (int i = 0; i < 200; ++i)
        seen.insert(GetRandomBlending());
    EXPECT_EQ(seen, (std::set<int>{2, 31}));
    RandomAll();
    for (int i = 0; i < 2000; ++i)
        seen.insert(GetRandomBlending());
    EXPECT_EQ(seen.size(), 30u);
    EXPECT_EQ(*seen.begin(), 2);
    EXPECT_EQ(*seen.rbegin(), 31);
}

TEST_F(BlendingsTest, NumbersToPlay)
{
    const std::pair<int, int> cases[] = {{0, 0}, {2, 2}, {31, 31}, {32, 0}, {-1, 0}, {255, 0}};
    for (const auto& [stored, played] : cases)
        EXPECT_EQ(GetBlending(stored), played) << stored;
    EXPECT_FALSE(NeedOldBitmap(29));
    EXPECT_TRUE(NeedOldBitmap(30));
    EXPECT_TRUE(NeedOldBitmap(31));
    EXPECT_FALSE(NeedOldBitmap(1));
    const auto names = BlendingNames();
    ASSERT_EQ(names->Count(), 32);
    EXPECT_EQ(names->Strings(1), "Zufällig");
    EXPECT_EQ(names->Strings(13), "Kästchen (gleichmäßig)");
    EXPECT_EQ(names->Strings(31), "Alphablending (weicher)");
}

TEST_F(BlendingsTest, AlphaBlendsWithoutAFittingOldPictureCopyOnce)
{
    for (int n : {30, 31}) {
        Pair p(20, 10, 3);
        TBitmap narrower(19, 10);
        TBitmap otherFormat(20, 10, pf32bit);
        for (TBitmap* old : {static_cast<TBitmap*>(nullptr), &narrower, &otherFormat}) {
            steps = 0;
            p.screen.Assign(&p.oldBitmap);
            BlendNr(p.newBitmap, old, p.screen.Canvas(), n);
            EXPECT_TRUE(SamePixels(p.screen, p.newBitmap)) << n;
            EXPECT_EQ(steps, 0) << n;
        }
    }
}

TEST_F(BlendingsTest, NumbersOutsideTheTableDrawNothing)
{
    for (int n : {-1, 32, 1000}) {
        Pair p(8, 6, 5);
        BlendNr(p.newBitmap, &p.oldBitmap, p.screen.Canvas(), n);
        EXPECT_TRUE(SamePixels(p.screen, p.oldBitmap)) << n;
        EXPECT_EQ(steps, 0);
    }
}

TEST_F(BlendingsTest, StepCounts)
{
    struct Case {
        int n, width, height, steps;
    } cases[] = {
        {0, 50, 50, 0},    {2, 50, 45, 20},     {7, 50, 45, 20},   {8, 40, 768, 31}, // 25 rows per step
        {8, 40, 60, 60},                                                             // one row per step
        {11, 30, 10, 30},  {13, 1000, 300, 53},                    // 10 x 3 cells of 101; the last step draws nothing
        {30, 20, 20, 16},  {31, 20, 20, 32},    {4, 10, 100, 100}, // bands of one row: 50 down, 50 back up
        {12, 10, 100, 51},
    };
    for (const Case& c : cases) {
        Pair p(c.width, c.height, 9);
        steps = 0;
        BlendNr(p.newBitmap, &p.oldBitmap, p.screen.Canvas(), c.n);
        EXPECT_EQ(steps, c.steps) << "effect " << c.n;
    }
}

TEST_F(BlendingsTest, AStepSleepsTenThenPollsUntilItsLengthFromItsStart)
{
    // The drawing time counts toward the step's length, but the 10-ms sleep
    // and one 1-ms sleep always follow it.
    struct Case {
        uint32_t drawing, length, lasts;
    } cases[] = {{0, 10, 11}, {0, 30, 30}, {5, 30, 30}, {50, 20, 61}, {19, 20, 30}, {10, 10, 21}, {4, 10, 15}};
    for (const Case& c : cases) {
        const uint32_t start = rtl::GetTickCount();
        StartFrameClock();
        rtl::AdvanceClockForTests(c.drawing);
        WaitFrameClock(static_cast<int>(c.length));
        EXPECT_EQ(rtl::GetTickCount() - start, c.lasts) << c.drawing << " " << c.length;
    }
}

TEST_F(BlendingsTest, ALateStepIsNotMadeUpByTheNextOnes)
{
    // Blinds: 20 steps of 11 ms; the alpha blend: 16 steps of 20 ms, whose
    // polling absorbs a short delay.
    struct Case {
        int n;
        uint32_t late, lasts;
    } cases[] = {{2, 0, 220}, {2, 3, 223}, {2, 30, 250}, {30, 5, 16 * 20}};
    for (const Case& c : cases) {
        Pair p(50, 45, 3);
        bool overslept = false;
        // The first 1-ms sleep wakes up `late` ms too late.
        rtl::SetClockForTests(1000, [&](uint32_t ms) {
            if (ms == 1 && !overslept) {
                overslept = true;
                rtl::AdvanceClockForTests(c.late);
            }
        });
        BlendNr(p.newBitmap, &p.oldBitmap, p.screen.Canvas(), c.n);
        EXPECT_EQ(rtl::GetTickCount() - 1000, c.lasts) << c.n << " late " << c.late;
    }
}

TEST_F(BlendingsTest, FlushAfterEveryStepAndAtTheEnd)
{
    Pair p(50, 45, 1);
    TCanvas* flushed = nullptr;
    int flushes = 0;
    BlendNr(p.newBitmap, &p.oldBitmap, p.screen.Canvas(), 2, [&](TCanvas& canvas) {
        flushed = &canvas;
        ++flushes;
    });
    EXPECT_EQ(flushed, &p.screen.Canvas());
    EXPECT_EQ(flushes, 21);
    flushes = 0;
    BlendNr(p.newBitmap, &p.oldBitmap, p.screen.Canvas(), 0, [&](TCanvas&) { ++flushes; });
    EXPECT_EQ(flushes, 1);
}

// Which rows of the screen show the new picture after each step.
std::vector<std::vector<int>> NewRowsPerStep(int n, int width, int height)
{
    Pair p(width, height, 11);
    std::vector<std::vector<int>> perStep;
    BlendNr(p.newBitmap, &p.oldBitmap, p.screen.Canvas(), n, [&](TCanvas&) {
        std::vector<int> rows;
        for (int y = 0; y < height; ++y)
            if (RowEquals(p.screen, p.newBitmap, y))
                rows.push_back(y);
        perStep.push_back(rows);
    });
    perStep.pop_back(); // the flush after the final copy
    return perStep;
}

TEST_F(BlendingsTest, BlindsCopyOneRowPerSlatAndStep)
{
    const auto down = NewRowsPerStep(2, 30, 45);
    ASSERT_EQ(down.size(), 20u);
    EXPECT_EQ(down[0], (std::vector<int>{0, 20, 40}));
    EXPECT_EQ(down[4], (std::vector<int>{0, 1, 2, 3, 4, 20, 21, 22, 23, 24, 40, 41, 42, 43, 44}));
    EXPECT_EQ(down[19].size(), 45u);
    const auto up = NewRowsPerStep(3, 30, 45);
    ASSERT_EQ(up.size(), 20u);
    EXPECT_EQ(up[0], (std::vector<int>{19, 39}));
    EXPECT_EQ(up[14].size(), 30u); // rows 5-19 and 25-39; 40-44 follow in the last five steps
}

TEST_F(BlendingsTest, BandsBothWaysCoverThePictureWithoutAFinalCopy)
{
    // 169 rows: bands of 1 row; even ones from the top, odd ones from the
    // bottom (the first of these lies below the picture).
    const auto perStep = NewRowsPerStep(12, 4, 169);
    ASSERT_EQ(perStep.size(), 85u);
    EXPECT_EQ(perStep[0], (std::vector<int>{0}));
    EXPECT_EQ(perStep[1], (std::vector<int>{0, 2, 167}));
    EXPECT_EQ(perStep[84].size(), 169u);
}

std::vector<int> Runs(std::initializer_list<std::pair<int, int>> runs)
{
    std::vector<int> levels;
    for (const auto& [level, count] : runs)
        levels.insert(levels.end(), static_cast<size_t>(count), level);
    return levels;
}

TEST_F(BlendingsTest, AlphaBlendFramesAreExact)
{
    struct Case {
        int n;
        uint8_t from, to;
        std::vector<int> levels;
    } cases[] = {
        {30, 0, 255, {15, 31, 47, 63, 79, 95, 111, 127, 143, 159, 175, 191, 207, 223, 239, 255}},
        {30, 255, 0, {239, 223, 207, 191, 175, 159, 143, 127, 111, 95, 79, 63, 47, 31, 15, 0}},
        // (3 i) >> 5 rounds down, also for the negative differences.
        {31, 100, 103, Runs({{100, 10}, {101, 11}, {102, 10}, {103, 1}})},
        {31, 103, 100, Runs({{102, 10}, {101, 11}, {100, 11}})},
    };
    for (const Case& c : cases) {
        TBitmap from(7, 3), to(7, 3), screen(7, 3);
        Fill(from, c.from);
        Fill(to, c.to);
        screen.Assign(&from);
        std::vector<int> levels;
        bool uniform = true;
        BlendNr(to, &from, screen.Canvas(), c.n, [&](TCanvas&) {
            const uint8_t first = screen.ScanLine(0)[0];
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 21; ++x)
                    uniform = uniform && screen.ScanLine(y)[x] == first;
            levels.push_back(first);
        });
        levels.pop_back();
        EXPECT_EQ(levels, c.levels) << c.n << " " << int(c.from);
        EXPECT_TRUE(uniform);
    }
}

TEST_F(BlendingsTest, SlideFromTopLeavesTheRightColumnUnscrolledUntilTheEnd)
{
    Pair p(10, 60, 4);
    int step = 0;
    bool seamSeen = false;
    BlendNr(p.newBitmap, &p.oldBitmap, p.screen.Canvas(), 8, [&](TCanvas& canvas) {
        if (++step != 3)
            return;
        // After three steps rows 0-2 show new rows 57-59, except in the last
        // column, where row 0 was copied as a strip only in the third step.
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(canvas.Pixels(x, y), p.newBitmap.Canvas().Pixels(x, 57 + y)) << x << "," << y;
        seamSeen = canvas.Pixels(9, 2) != p.newBitmap.Canvas().Pixels(9, 59);
    });
    EXPECT_TRUE(seamSeen);
    EXPECT_TRUE(SamePixels(p.screen, p.newBitmap));
}

TEST_F(BlendingsTest, CellGrid)
{
    struct Case {
        int width, height, cols, rows; // cols/rows asked for
        int side, gridCols, gridRows;
    } cases[] = {
        {1000, 300, 0, 0, 100, 10, 3},   {300, 1005, 0, 0, 101, 3, 10},  {1, 1, 0, 0, 1, 1, 1},
        {99, 50, 0, 0, 9, 11, 6},        {100, 100, 0, 0, 10, 10, 10},   {1000, 300, 130, 130, 7, 143, 43},
        {300, 1000, 50, 50, 20, 15, 50}, {300, 1000, 50, 0, 100, 3, 10}, // no rows on a portrait picture: the default grid
        {5, 3, 130, 130, 1, 5, 3},
    };
    for (const Case& c : cases) {
        TBitmap bitmap(c.width, c.height);
        int cols = c.cols, rows = c.rows;
        const std::vector<TCell> cells = BuildCellGrid(bitmap, cols, rows);
        EXPECT_EQ(cols, c.gridCols) << c.width << "x" << c.height;
        EXPECT_EQ(rows, c.gridRows) << c.width << "x" << c.height;
        ASSERT_EQ(cells.size(), static_cast<size_t>(cols * rows));
        const TCell& last = cells.back();
        EXPECT_EQ(last.Left, (cols - 1) * c.side);
        EXPECT_EQ(last.Top, (rows - 1) * c.side);
        EXPECT_EQ(last.Right - last.Left, c.side + 1);
        EXPECT_EQ(last.Bottom - last.Top, c.side + 1);
        EXPECT_EQ(last.VisibleWidth, 0);
    }
}

TEST_F(BlendingsTest, CellsOpenFromTheirCentreByTwoPixelsPerStep)
{
    TBitmap newBitmap(10, 10), screen(10, 10);
    Fill(newBitmap, 200);
    std::vector<TCell> cells(1);
    cells[0] = {0, 0, 9, 9, -2, -2}; // a 9 x 9 cell, delayed by one step
    std::vector<int> visible;
    auto countLit = [&] {
        int lit = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                lit += screen.ScanLine(y)[3 * x] == 200;
        return lit;
    };
    rtl::SetClockForTests(0, [&](uint32_t ms) {
        if (ms == 10)
            visible.push_back(countLit());
    });
    AnimateCellGrid(newBitmap, screen.Canvas(), cells);
    // Visible size -2 (nothing), 0 (nothing), 2, 4, 6, 8, 9, then finished.
    EXPECT_EQ(visible, (std::vector<int>{0, 0, 4, 16, 36, 64, 81, 81}));
    EXPECT_EQ(countLit(), 100);
}

TEST_F(BlendingsTest, CellStartValues)
{
    EXPECT_EQ(CellGridSize(13), 0);
    EXPECT_EQ(CellGridSize(19), 50);
    EXPECT_EQ(CellGridSize(25), 80);
    EXPECT_EQ(CellGridSize(26), 90);
    EXPECT_EQ(CellGridSize(29), 130);
    const int rows = 9, cols = 13; // centre cell (4, 6)
    // Circles: closing starts at the corner and ends in the centre.
    EXPECT_EQ(CellStartValue(22, 0, 0, rows, cols), -1);
    EXPECT_EQ(CellStartValue(21, 4, 6, rows, cols), 0);
    int most = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            most = std::min(most, CellStartValue(22, r, c, rows, cols));
    EXPECT_EQ(CellStartValue(22, 4, 6, rows, cols), most);
    EXPECT_EQ(most, -(7 + 1)); // N(sqrt(4 * 4 + 6 * 6)) = 7
    // Waves.
    EXPECT_EQ(CellStartValue(14, 2, 3, rows, cols), -50);
    EXPECT_EQ(CellStartValue(15, 2, 3, rows, cols), -10 * (9 + 2));
    EXPECT_EQ(CellStartValue(16, 2, 3, rows, cols), -10 * (6 + 9));
    EXPECT_EQ(CellStartValue(17, 2, 3, rows, cols), -10 * (6 + 3));
    // Rings: -|N(40 sin(5 / 10))| for a cell 5 rows from the centre.
    EXPECT_EQ(CellStartValue(23, 0, 6, 10, cols), -19);
    // Radar: just right of twelve o'clock starts first, the sweep goes clockwise.
    EXPECT_EQ(CellStartValue(26, 0, 7, rows, cols), -2);
    EXPECT_EQ(CellStartValue(26, 4, 12, rows, cols), -30);
    EXPECT_EQ(CellStartValue(26, 8, 7, rows, cols), -60);
    EXPECT_EQ(CellStartValue(26, 4, 0, rows, cols), -96);
    // Quarter radar: each quadrant sweeps on its own.
    EXPECT_EQ(CellStartValue(28, 0, 7, rows, cols), -2);
    EXPECT_EQ(CellStartValue(28, 4, 0, rows, cols), -2);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            EXPECT_LE(CellStartValue(26, r, c, rows, cols), 0);
            EXPECT_GE(CellStartValue(26, r, c, rows, cols), -126); // -N(20 * 2 pi)
        }
}

} // namespace

// Resampling: each kernel on an impulse (weights worked out by hand from the
// kernel formulas), identity and flat pictures, reduction, the edges of thin
// pictures, and the empty cases.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "imageformats/Resample.h"
#include "platform/graphics/Bitmap.h"

namespace {

// A one-row grey picture from values (all three channels equal).
std::unique_ptr<TBitmap> Row(const std::vector<int>& values)
{
    auto bitmap = std::make_unique<TBitmap>(static_cast<int>(values.size()), 1, pf24bit);
    for (std::size_t x = 0; x < values.size(); ++x)
        for (int c = 0; c < 3; ++c)
            bitmap->ScanLine(0)[3 * x + c] = static_cast<std::uint8_t>(values[x]);
    return bitmap;
}

std::vector<int> Values(const TBitmap& bitmap, int y = 0)
{
    std::vector<int> values;
    for (int x = 0; x < bitmap.Width(); ++x) {
        const std::uint8_t* p = bitmap.ScanLine(y) + 3 * x;
        EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
        values.push_back(p[0]);
    }
    return values;
}

TEST(Resample, ImpulseAtTheSameSizeShowsEachKernelsWeights)
{
    struct Case {
        TResamplingFilter Filter;
        std::vector<int> Expected;
    };
    const Case cases[] = {
        {sfBox, {0, 0, 255, 0, 0}},
        {sfTriangle, {0, 0, 255, 0, 0}},
        {sfHermite, {0, 0, 255, 0, 0}},
        {sfLanczos3, {0, 0, 255, 0, 0}},
        // Bell: weights 192 and 32 of 256.
        {sfBell, {0, 31, 191, 31, 0}},
        // Spline: weights 171 and 43, total 257.
        {sfSpline, {0, 42, 169, 42, 0}},
        // Mitchell: weights 228 and 14 of 256.
        {sfMitchell, {0, 13, 227, 13, 0}},
    };
    for (const Case& c : cases) {
        auto source = Row({0, 0, 255, 0, 0});
        TBitmap target;
        Resample::Stretch(5, 1, c.Filter, 0, *source, target);
        EXPECT_EQ(Values(target), c.Expected) << int{c.Filter};
    }
}

TEST(Resample, FlatPictureStaysFlatWithEveryKernel)
{
    for (TResamplingFilter filter : {sfBox, sfTriangle, sfHermite, sfBell, sfSpline, sfLanczos3, sfMitchell})
        for (auto [w, h] : {std::pair{9, 7}, std::pair{3, 2}, std::pair{31, 17}}) {
            TBitmap source(5, 4, pf24bit);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 15; ++x)
                    source.ScanLine(y)[x] = 100;
            TBitmap target;
            Resample::Stretch(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), filter, 0, source, target);
            ASSERT_EQ(target.Width(), w);
            for (int y = 0; y < h; ++y)
                for (int v : Values(target, y))
                    ASSERT_NEAR(v, 100, 1) << int{filter} << " " << w << "x" << h;
        }
}

TEST(Resample, ReducingAveragesWithReflectedEdges)
{
    // Box at 4 -> 2: scale 1/3, each target pixel weighs three source pixels
    // by 85, the outer one reflected: (90 + 0 + 90) / 3 and (180 + 255 + 255) / 3.
    auto source = Row({0, 90, 180, 255});
    TBitmap target;
    Resample::Stretch(2, 1, sfBox, 0, *source, target);
    EXPECT_EQ(Values(target), (std::vector<int>{60, 230}));
}

TEST(Resample, EnlargingMapsCornersOntoCorners)
{
    TBitmap source(2, 2, pf24bit);
    const int corners[2][2] = {{10, 60}, {120, 250}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            for (int c = 0; c < 3; ++c)
                source.ScanLine(y)[3 * x + c] = static_cast<std::uint8_t>(corners[y][x]);
    TBitmap target;
    Resample::Stretch(4, 4, sfTriangle, 0, source, target);
    EXPECT_EQ(Values(target, 0).front(), 10);
    EXPECT_EQ(Values(target, 0).back(), 60);
    EXPECT_EQ(Values(target, 3).front(), 120);
    EXPECT_EQ(Values(target, 3).back(), 250);
    // Between the corners: a third of the way from 10 to 60.
    EXPECT_EQ(Values(target, 0)[1], 26);
}

TEST(Resample, ThinPicturesNeverReadPastTheirEdges)
{
    // One and two pixels are narrower than the reach of the wide kernels; the
    // reflected indices must stay inside (sanitizers check the reads).
    for (TResamplingFilter filter : {sfBell, sfSpline, sfLanczos3, sfMitchell})
        for (int side : {1, 2}) {
            TBitmap source(side, side, pf24bit);
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < 3 * side; ++x)
                    source.ScanLine(y)[x] = 200;
            TBitmap target;
            Resample::Stretch(7, 5, filter, 0, source, target);
            for (int y = 0; y < 5; ++y)
                for (int v : Values(target, y))
                    ASSERT_NEAR(v, 200, 1);
        }
}

TEST(Resample, EmptySidesAndInPlaceScaling)
{
    auto source = Row({1, 2, 3});
    TBitmap target;
    Resample::Stretch(0, 4, sfBox, 0, *source, target);
    EXPECT_EQ(target.Width(), 0);
    EXPECT_EQ(target.Height(), 4);
    TBitmap empty;
    Resample::Stretch(3, 3, sfBox, 0, empty, target);
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(Values(target, 1), (std::vector<int>{0, 0, 0}));

    auto eightBit = Row({10, 20, 30});
    eightBit->SetPixelFormat(pf8bit);
    Resample::Stretch(3, 2, sfBox, 0, *eightBit);
    EXPECT_EQ(eightBit->PixelFormat(), pf24bit);
    EXPECT_EQ(eightBit->Height(), 2);
    // A huge radius adds only zero weights.
    auto wide = Row({0, 0, 255, 0, 0});
    Resample::Stretch(5, 1, sfTriangle, 1e9f, *wide);
    EXPECT_EQ(Values(*wide), (std::vector<int>{0, 0, 255, 0, 0}));
}

} // namespace

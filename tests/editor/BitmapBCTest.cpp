#include "editor/tools/BitmapBC.h"

#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"

using BitmapBC::BuildBrightnessContrastTable;
using BitmapBC::TBCTable;

namespace {

TBCTable Table(int brightness, int contrast)
{
    TBCTable table{};
    BuildBrightnessContrastTable(table, brightness, contrast);
    return table;
}

} // namespace

TEST(BitmapBCTest, TableEntriesFollowTheIntegerFormula)
{
    const struct {
        int brightness, contrast, index, value;
    } cases[] = {
        {0, 0, 0, 0},         {0, 0, 77, 77},       {0, 0, 255, 255},   // identity
        {100, 0, 0, 255},     {-100, 0, 255, 0},    {50, 0, 10, 137},   // offset 50 * 255 / 100 = 127
        {-1, 0, 200, 198},                                              // -255 / 100 truncates to -2
        {0, -100, 0, 128},    {0, -100, 255, 128},  {0, -50, 0, 64},    // flattened towards 128
        {0, -50, 1, 65},                                                // -63.5 truncates towards zero
        {0, 50, 0, 0},        {0, 50, 64, 0},       {0, 50, 192, 255},  // steepened and clamped
        {0, 50, 100, 72},     {0, 100, 127, 0},     {0, 100, 128, 255}, // threshold at 100
        {0, 250, 127, 0},     {0, 250, 128, 255},   {20, 100, 127, 51}, // beyond 100 no division
        {1000, -300, 0, 255}, {-100000, 0, 255, 0},                     // absorbed by the clamp
    };
    for (const auto& c : cases)
        EXPECT_EQ(Table(c.brightness, c.contrast)[static_cast<std::size_t>(c.index)], c.value)
            << "brightness " << c.brightness << ", contrast " << c.contrast << ", index " << c.index;
}

TEST(BitmapBCTest, EveryColourByteOfA24BitBitmapGoesThroughTheTable)
{
    TBitmap bitmap(3, 2); // rows of 9 bytes and 3 of padding
    for (int y = 0; y < 2; ++y)
        for (int i = 0; i < 9; ++i)
            bitmap.ScanLine(y)[i] = static_cast<std::uint8_t>(20 * (y * 9 + i));
    BitmapBC::ApplyBrightnessContrast(bitmap, 10, 50);
    const TBCTable table = Table(10, 50);
    for (int y = 0; y < 2; ++y)
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(bitmap.ScanLine(y)[i], table[static_cast<std::size_t>(20 * (y * 9 + i) % 256)]);

    TBitmap indexed(2, 2, pf8bit);
    indexed.ScanLine(0)[0] = 7;
    BitmapBC::ApplyBrightnessContrast(indexed, 100, 0);
    EXPECT_EQ(indexed.ScanLine(0)[0], 7) << "palette indices are no colours";
}

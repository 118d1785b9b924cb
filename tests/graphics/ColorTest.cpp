// Colours: the system-colour table and the channel helpers.

#include "platform/graphics/Color.h"

#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"

namespace {

TEST(ColorTest, SystemColoursResolveThroughTheTable)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clHighlight), clNavy);
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clSystemColor | 200), clBlack);
    EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
    EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
    // Flag bits never reach a pixel.
    EXPECT_EQ(gfx::ColorToPixel(clRed | kPaletteRelative), 0xFF0000u);
}

} // namespace

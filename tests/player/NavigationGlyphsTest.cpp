// The navigation buttons' pictures: each strip must work as a two-glyph strip
// (transparent key colour at the bottom-left pixel), show something in both
// cells, keep colour out of the greyed cell and differ from the others.

#include "player/NavigationGlyphs.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

constexpr TNavigationGlyph AllGlyphs[] = {
    TNavigationGlyph::Previous, TNavigationGlyph::Play,     TNavigationGlyph::Pause, TNavigationGlyph::Next,
    TNavigationGlyph::Catalog,  TNavigationGlyph::Comments, TNavigationGlyph::Delay, TNavigationGlyph::Music,
    TNavigationGlyph::Sound,    TNavigationGlyph::Exit,     TNavigationGlyph::Info,
};

std::vector<TColor> Cell(TBitmap& Strip, int Index)
{
    std::vector<TColor> pixels;
    const int left = Index * NavigationGlyphs::CellSize;
    for (int y = 0; y < NavigationGlyphs::CellSize; ++y)
        for (int x = 0; x < NavigationGlyphs::CellSize; ++x)
            pixels.push_back(Strip.Canvas().Pixels(left + x, y));
    return pixels;
}

bool IsGrey(TColor Colour)
{
    const int red = Colour & 0xFF;
    return red == ((Colour >> 8) & 0xFF) && red == ((Colour >> 16) & 0xFF);
}

TEST(NavigationGlyphs, EveryStripIsATwoCellStripWithAKeyedBackgroundAndAGreyedSecondCell)
{
    std::set<std::vector<TColor>> distinctPictures;
    for (const TNavigationGlyph kind : AllGlyphs) {
        SCOPED_TRACE(static_cast<int>(kind));
        TBitmap strip;
        NavigationGlyphs::Paint(strip, kind);
        ASSERT_EQ(strip.Width(), 2 * NavigationGlyphs::CellSize);
        ASSERT_EQ(strip.Height(), NavigationGlyphs::CellSize);
        const TColor key = strip.Canvas().Pixels(0, strip.Height() - 1);
        EXPECT_EQ(key, clOlive);

        const std::vector<TColor> normal = Cell(strip, 0);
        const std::vector<TColor> greyed = Cell(strip, 1);
        int drawnNormal = 0;
        int drawnGreyed = 0;
        for (const TColor pixel : normal)
            drawnNormal += pixel != key;
        for (const TColor pixel : greyed) {
            if (pixel == key)
                continue;
            ++drawnGreyed;
            EXPECT_TRUE(IsGrey(pixel)) << std::hex << pixel;
        }
        EXPECT_GT(drawnNormal, 10);
        EXPECT_GT(drawnGreyed, 10);
        EXPECT_NE(normal, greyed);
        distinctPictures.insert(normal);
    }
    EXPECT_EQ(distinctPictures.size(), std::size(AllGlyphs));
}

} // namespace

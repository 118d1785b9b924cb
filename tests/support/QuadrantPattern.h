#pragma once

// The first slide the tests of the real programs look for on screen: four
// quadrants of known colours, the points where a screenshot shows them, and
// the show that puts one such picture on the screen and keeps it there.
// Header-only, beside XvfbSession.h, which must still come last.

#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <array>
#include <string>

namespace pattern {

struct TQuadrant {
    int X, Y; // where to look on a screen of the pattern's size
    TColor Color;
    std::array<int, 3> Rgb;
};

// The lower points stay above the navigation bar's 40 pixels.
inline std::array<TQuadrant, 4> Quadrants(int width, int height)
{
    return {{
        {width / 4, height / 4, RGB(255, 0, 0), {255, 0, 0}},
        {3 * width / 4, height / 4, RGB(0, 255, 0), {0, 255, 0}},
        {width / 4, 3 * height / 4 - 40, RGB(0, 0, 255), {0, 0, 255}},
        {3 * width / 4, 3 * height / 4 - 40, RGB(255, 255, 255), {255, 255, 255}},
    }};
}

inline void WriteQuadrantPicture(const std::string& file, int width, int height)
{
    TBitmap picture(width, height, pf24bit);
    const auto quadrants = Quadrants(width, height);
    for (int q = 0; q < 4; ++q) {
        picture.Canvas().Brush.Color = quadrants[q].Color;
        const int left = (q % 2) * width / 2;
        const int top = (q / 2) * height / 2;
        picture.Canvas().FillRect(Rect(left, top, left + width / 2, top + height / 2));
    }
    picture.SaveToFile(file);
}

// Makes show a show of the one slide `picture` (a file name beside the show
// file): filling the window in its own proportions, without comment or
// transition, standing ten minutes, repeating, without a logo and started at
// once, so that a screenshot taken any time after the start finds it.
inline void MakeOneSlideShow(TConfigVistelo& show, const std::string& picture)
{
    show.Pause = 600000;
    show.Logo = lNoLogo;
    show.LogoPause = 0;
    show.StartImmediately = true;
    show.EndAction = deAutoRepeat;
    TPicInfoObject entry;
    entry.FileName = picture;
    entry.ShowImage = true;
    entry.ShowComments = false;
    entry.Stretch = true;
    entry.Proportions = true;
    entry.Center = true;
    entry.Blending = 0;
    show.AddDia(entry);
}

} // namespace pattern

#pragma once

// The editor's small pictures, drawn here instead of read from files: the
// tick and cross of the picture list, the red and green glyphs of the picture
// panel's buttons (red: the picture keeps the default, green: it has a
// setting of its own) and the frames of the logo animation.

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/Types.h"

class TBitmap;
class TCanvas;
class TImageList;

namespace EditorGlyphs {

constexpr int GlyphSize = 16;

// Makes Bitmap the 16x16 glyph of that name on the olive key colour (its
// bottom-left pixel): "Haken", "Kreuz", "SpeakerRed", "SpeakerGreen",
// "SpeakerGreenS", "ARed", "AGreen", "SleepRed", "SleepGreen",
// "LandScapeRed", "LandScapeGreen", "Pipette". False (and Bitmap untouched) for any
// other name.
bool Paint(TBitmap& Bitmap, const std::string& Name);

// Makes Bitmap a 16x16 glyph on the olive key colour drawn by Painter.
void PaintOnKey(TBitmap& Bitmap, const std::function<void(TCanvas&)>& Painter);
// Drawing steps the painters share: a line through the points of that pen
// width, a filled polygon.
void Line(TCanvas& Canvas, TColor Colour, int Width, std::initializer_list<TPoint> Points);
void Solid(TCanvas& Canvas, TColor Colour, std::vector<TPoint> Points);

// Fills the picture list's symbol list: image 0 the tick (shown), image 1
// the cross (skipped).
void FillSymbols(TImageList& Images);

// The logo animation: LogoFrameCount frames of LogoFrameWidth x
// LogoFrameHeight side by side in one strip.
constexpr int LogoFrameWidth = 48;
constexpr int LogoFrameHeight = 32;
constexpr int LogoFrameCount = 96;
void PaintLogoFrames(TBitmap& Strip);

} // namespace EditorGlyphs

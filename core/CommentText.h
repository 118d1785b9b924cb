#pragma once

// Texts drawn over pictures with an outline or a shadow so that they stay
// readable on any background: the text is drawn several times at small
// offsets in effect colours, then once in its own colour.

#include "core/VisteloNPics.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Types.h"

#include <string>

class TCanvas;
class TFont;

// Note that 1 and 2 are in the opposite order from TCommentEffects.
enum TTextEffect { teNone, teShadow, teBorder, teBorder3D };

namespace CommentText {

// The height of a comment font of `height` on a slide of clientWidth x
// clientHeight: where the show scales fonts to the screen and knows the
// client size it was made for, the height grows or shrinks by the larger of
// the two ratios, rounded to the nearest integer with halves to the even
// neighbour; otherwise it stays.
int ScaledFontHeight(const TVistelo& show, int height, int clientWidth, int clientHeight);

// A comment in the canvas's current font. height -1 keeps the font's height;
// any other value sets a pixel height of |height|. flags are DrawText flags;
// with DT_CALCRECT nothing is drawn and rect receives the last pass's
// measured rectangle.
void DrawCommentText(TCanvas& canvas, TRect& rect, int height, const std::string& text, unsigned flags,
                     TCommentEffects effect, TColor textColour, TColor effectColour1, TColor effectColour2);

// The same in a copy of font (whose colour is the text colour).
void CustomDrawTextWithEffects(TCanvas& canvas, const TFont& font, TRect& rect, int height, const std::string& text,
                               unsigned flags, TTextEffect effect, TColor colour1, TColor colour2);
// As above; the caller's rectangle stays as it is.
void DrawTextWithEffects(TCanvas& canvas, const TFont& font, const TRect& rect, int height, const std::string& text,
                         unsigned flags, TTextEffect effect, TColor colour1, TColor colour2);

} // namespace CommentText

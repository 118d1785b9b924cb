#pragma once

// Drawing and window helpers shared by the controls: text shortening, the
// greyed form of a glyph, painting what lies behind a windowless control,
// and whether the program is the one the user works with.

#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"

class TControl;

namespace DrawUtils {

// The text when it fits MaxWidth; else its head followed by "..." (at worst
// "..." alone).
std::string MinimizeText(const std::string& Text, TCanvas& Canvas, int MaxWidth);

// The greyed-out form of a glyph: the pixels of OutlineColor become an
// embossed shape (HighlightColor one pixel down-right when DrawHighlight,
// ShadowColor in place) on BackColor. The caller owns the result.
std::unique_ptr<TBitmap> CreateDisabledBitmapEx(TBitmap& FOriginal, TColor OutlineColor, TColor BackColor,
                                                TColor HighlightColor, TColor ShadowColor, bool DrawHighlight);
// The same on button face with the button highlight and shadow colours.
std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap& FOriginal, TColor OutlineColor);

// Paints into Dest (origin at the control's top-left) what lies behind the
// control: the parent's background and own painting, then the windowless
// siblings before it that overlap it.
void CopyParentImage(TControl* Control, TCanvas& Dest);

// The default beep of refused input. Tests hand in their own sound
// (nullptr puts the default back).
void Beep();
void SetBeepHandlerForTests(std::function<void()> Handler);

// True when the active window belongs to this program's user-interface thread.
bool IsForegroundTask();

} // namespace DrawUtils

#pragma once

// What OK of the picture options dialog carries over to the selected
// pictures: every setting in which the dialog's working copy (or one of its
// controls) differs from the picture it was taken from, each through its
// setter of the access layer, so that settings the user left alone stay
// different between the selected pictures.

#include <cstdint>

#include "platform/graphics/Color.h"

class TFont;
class TPicInfoObject;

namespace ExtPicPrefsApply {

// The dialog's controls that are compared themselves rather than the copy.
struct TControlValues {
    bool UserDelay = false;
    std::int32_t Delay = 0;
    TColor EffectColor1 = 0;
    TColor EffectColor2 = 0;
    const TFont* Font = nullptr; // the font dialog's font: face, size and style
    TColor FontColor = 0;
    bool PixelHeight = false;
    std::int32_t PixelHeightValue = 0;
};

// Applies the differences in their fixed order. True when the main window
// must show the pictures again: something changed other than a pixel height
// that was switched off.
bool ApplyChanges(const TPicInfoObject& Entry, const TPicInfoObject& Copy, const TControlValues& Controls);

} // namespace ExtPicPrefsApply

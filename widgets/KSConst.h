#pragma once

// The library's own screen cursors: a pointing hand and a dragging arrow,
// registered once the user interface runs and withdrawn when the library
// goes.

#include <cstdint>
#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Controls.h"

constexpr TCursor crHandCur = 14000; // "KS_HANDCUR"
constexpr TCursor crDragCur = 14001; // "KS_DRAGCUR"

namespace KSConst {

// The 32 x 32 pictures of the two cursors, see-through in fuchsia, and
// their hot spots.
std::unique_ptr<TBitmap> HandCursorImage();
std::unique_ptr<TBitmap> DragCursorImage();
inline constexpr TPoint HandHotSpot{9, 0};
inline constexpr TPoint DragHotSpot{0, 0};

// Puts both cursors into the screen's table (once; later calls do nothing
// while they are there) and takes them out again.
void RegisterCursors();
void UnregisterCursors();

} // namespace KSConst

#pragma once

// Windows of other programs, named by their window-system id: a screen
// saver's preview draws inside the window its host gives it. Where the window
// system has no ids to share (the offscreen platform) there are no foreign
// windows.

#include "platform/graphics/Types.h"

#include <cstdint>
#include <optional>

class TWinControl;

namespace ui {

// The client area of the window (at 0, 0); nothing when there is no such
// window, also once it was destroyed.
std::optional<TRect> ForeignWindowRect(std::uintptr_t WindowId);

// Makes the top-level window of the control a child of the foreign window,
// at its top left corner. False when the window does not exist. The child
// goes with its parent: a window system's complaints about it after that are
// not errors of the program.
bool EmbedInForeignWindow(TWinControl* Control, std::uintptr_t WindowId);

} // namespace ui

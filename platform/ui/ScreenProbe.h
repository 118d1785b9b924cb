#pragma once

// The screen's size told before the toolkit starts: a program that knows
// early how large its full-screen window will be can begin work for it (a
// picture to decode) while the toolkit is still starting.

#include "platform/graphics/Types.h"

#include <optional>

namespace ui {

// The size of the screen a full-screen window covers (the primary monitor,
// else the first one in use, else the whole display), asked of the display
// server directly; nothing when there is no display to ask.
std::optional<TSize> PrimaryScreenSizeBeforeStart();

} // namespace ui

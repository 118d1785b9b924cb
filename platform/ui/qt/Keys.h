#pragma once

// Keys between the toolkit and the layer: the toolkit's key codes and
// modifiers as virtual keys and shift states, and back.

#include <Qt>

#include "platform/ui/Controls.h"

namespace ui {

// The virtual key of a toolkit key (0 when it has none); the keypad
// modifier picks the keypad's keys.
WORD VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);
// The toolkit key of a virtual key (0 when it has none).
int QtKeyOf(WORD vk);
Qt::KeyboardModifiers ModifiersOf(TShiftState shift);

} // namespace ui

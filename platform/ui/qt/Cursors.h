#pragma once

// Mouse cursors: the toolkit's cursor of a cursor number (through
// Screen->Cursors), built-in shapes and those made from pictures.

#include <cstdint>

#include <QCursor>

namespace ui {

QCursor CursorOf(std::int16_t cursor);

} // namespace ui

#pragma once

// Which window got each key's press. A dialog closes on a key's press (Enter,
// Escape), and the release then reaches the window below it, which may act on
// key releases (the playback window ends the show on Escape's): a release
// belongs only to the window that got the press.

class QWidget;

namespace ui {

// Watches the key presses of every window of the program, the toolkit's own
// dialogs included (once; the platform's start calls it).
void WatchKeyPresses();
// Whether the release of the key may reach the window: not when its press
// went to another window (one that may be gone by now). Forgets the press.
bool ReleaseBelongsTo(const QWidget* window, int qtKey);

} // namespace ui

#pragma once

// The clipboard as data exchange uses it: opened, emptied, given blocks of
// global memory format by format, closed. What was set between opening and
// closing replaces the clipboard's contents at once when it is closed, in the
// MIME types of every format (qt/MimeFormats.h), so other programs can paste it.

#include "platform/ui/GlobalMemory.h"
#include "platform/ui/Messages.h"

namespace ui {

// False when the clipboard is open already.
bool OpenClipboard();
// Drops the clipboard's contents (they go when it is closed); needs it open.
bool EmptyClipboard();
// Keeps the block for the format (the clipboard frees it); false, with the
// block freed, when the clipboard is not open.
bool SetClipboardData(UINT format, HGLOBAL block);
// Publishes what was set; false when the clipboard was not open.
bool CloseClipboard();

bool IsClipboardFormatAvailable(UINT format);
// A block the clipboard owns until it is closed; nullptr when it is not open
// or holds nothing of the format.
HGLOBAL GetClipboardData(UINT format);

} // namespace ui

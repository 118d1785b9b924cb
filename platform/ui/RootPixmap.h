#pragma once

// The wallpaper of an X session without a desktop of its own: the picture
// becomes the root window's background pixmap, announced in the root
// window's _XROOTPMAP_ID and ESETROOT_PMAP_ID properties so that other
// programs (terminals with see-through backgrounds, compositors) find it.
// The pixmap outlives the program: its connection is closed with the
// resources kept, and the next change frees the one it replaces.

#include <string>

namespace ui {

struct TWallpaperRequest;

// Sets the picture on the root window of Display (the DISPLAY variable when
// empty); false when there is no X server or the picture cannot be read.
bool SetRootPixmap(const TWallpaperRequest& Request, const std::string& Display = {});

} // namespace ui

#pragma once

// Setting the desktop wallpaper: the desktop's own setter is found at run
// time (from XDG_CURRENT_DESKTOP) and started with an argument list, never
// through a shell. Tests put a recording setter in its place.

#include <functional>
#include <string>
#include <vector>

namespace ui {

// How the picture covers the desktop.
enum class TWallpaperStyle { Stretched, Centered, Scaled };

// One request: the picture file, its style, and whether the choice is kept
// beyond this session (desktops that always keep it ignore this).
struct TWallpaperRequest {
    std::string FileName;
    TWallpaperStyle Style = TWallpaperStyle::Stretched;
    bool Persist = true;
};

// The desktops with a setter of their own; PlainX puts the picture on the
// root window with a tool of the X server's.
enum class TDesktopKind { Gnome, Plasma, Xfce, PlainX };

// The desktop named by an XDG_CURRENT_DESKTOP value (a colon-separated list,
// any letter case); PlainX for anything unknown.
TDesktopKind DesktopKindFrom(const std::string& CurrentDesktop);

// The commands (program and arguments) that set the wallpaper on a desktop,
// run one after another; empty when the desktop has no way to do it.
std::vector<std::vector<std::string>> WallpaperCommands(TDesktopKind Desktop, const TWallpaperRequest& Request);

// Sets the wallpaper; true when the desktop accepted it.
using TWallpaperSetter = std::function<bool(const TWallpaperRequest& Request)>;

// Sets the wallpaper through the current setter (by default the desktop's).
bool SetDesktopWallpaper(const TWallpaperRequest& Request);

// Replaces the setter (tests record requests); an empty one restores the
// desktop's. Returns the previous one.
TWallpaperSetter SetWallpaperSetter(TWallpaperSetter Setter);

} // namespace ui

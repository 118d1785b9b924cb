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
enum class TDesktopKind { Gnome, Cinnamon, Plasma, Xfce, PlainX };

// The desktop named by an XDG_CURRENT_DESKTOP value (a colon-separated list,
// any letter case); PlainX for anything unknown.
TDesktopKind DesktopKindFrom(const std::string& CurrentDesktop);

// One program to start; an optional one may fail (a settings key that older
// desktop versions lack) without failing the request.
struct TWallpaperCommand {
    std::vector<std::string> Args;
    bool Optional = false;
};

// The commands that set the wallpaper on a desktop, run in order; empty when
// there is no way. XfceProperties are the desktop's backdrop settings as
// listed by its settings tool (one per monitor and workspace); HasProgram
// tells which root-window tools are installed.
std::vector<TWallpaperCommand> WallpaperCommands(TDesktopKind Desktop, const TWallpaperRequest& Request,
                                                 const std::vector<std::string>& XfceProperties,
                                                 const std::function<bool(const std::string&)>& HasProgram);

// A file name as a file:// URI (characters outside the unreserved set and
// "/" percent-encoded).
std::string FileUri(const std::string& FileName);

// Sets the wallpaper; true when the desktop accepted it.
using TWallpaperSetter = std::function<bool(const TWallpaperRequest& Request)>;

// Sets the wallpaper through the current setter (by default the desktop's).
bool SetDesktopWallpaper(const TWallpaperRequest& Request);

// Replaces the setter (tests record requests); an empty one restores the
// desktop's. Returns the previous one.
TWallpaperSetter SetWallpaperSetter(TWallpaperSetter Setter);

} // namespace ui

#pragma once

// Setting the desktop wallpaper: the desktop's own setter is found at run
// time (from XDG_CURRENT_DESKTOP) and started with an argument list, never
// through a shell. Tests put a recording setter in its place.
//
// What each desktop needs: GNOME, Budgie, Cinnamon and MATE the `gsettings`
// tool (their settings are always kept); Plasma `dbus-send` and its shell on
// the session bus; Xfce `xfconf-query`; any other X session nothing but the
// X server (the root window's pixmap, for this session only), or else one of
// the root-window tools listed below.

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
// root window itself, or with a root-window tool.
enum class TDesktopKind { Gnome, Cinnamon, Mate, Plasma, Xfce, PlainX };

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

// The file a new wallpaper picture called Name is written to in Folder: of
// Name and the same name with " 2" before the extension, the one missing or
// else the older, so that the file name changes with every picture and
// desktops that keep a picture by its name show the new one.
std::string NextWallpaperFile(const std::string& Folder, const std::string& Name);

// Sets the wallpaper; true when the desktop accepted it.
using TWallpaperSetter = std::function<bool(const TWallpaperRequest& Request)>;

// Sets the wallpaper through the current setter (by default the desktop's).
bool SetDesktopWallpaper(const TWallpaperRequest& Request);

// Whether the last SetDesktopWallpaper was refused (no setter works on this
// desktop, or it did not take the picture).
bool LastWallpaperRefused();

// Replaces the setter (tests record requests); an empty one restores the
// desktop's. Returns the previous one.
TWallpaperSetter SetWallpaperSetter(TWallpaperSetter Setter);

} // namespace ui

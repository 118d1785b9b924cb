#pragma once

// The editor's wallpaper functions: a picture entry as the desktop
// wallpaper (every failure, out of memory included, gives false and no
// message: the callers decide), and "/B", a random shown picture of a show
// file as the wallpaper.

#include <functional>
#include <string>

class TPicInfoObject;

namespace EditorWallpaper {

// True when the wallpaper was set.
bool SetAsWinBackground(TPicInfoObject* Pic);

// Loads the editor's preferences, then the show, and tries its shown
// pictures in a shuffled order until one becomes the wallpaper. A missing
// or unreadable show file is reported.
void SetRandomWallpaperFromShow(const std::string& FileName);

// Replaces the setter the random choice uses (tests record the tries); an
// empty one restores SetAsWinBackground. Returns the previous one.
using TSetter = std::function<bool(TPicInfoObject* Pic)>;
TSetter SetSetter(TSetter Setter);

inline constexpr const char* ShowNotFound =
    "Die Datei \"%s\" wurde nicht gefunden!\r\rDas Hintergrundbild kann deshalb nicht gewechselt werden.";
inline constexpr const char* ShowNotLoaded = "Die Datei \"%s\" konnte nicht geladen werden!";

} // namespace EditorWallpaper

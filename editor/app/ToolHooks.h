#pragma once

// The main window's way to the editor's tools (the picture editor, printing,
// the scanner import), which are built on the application and so cannot be
// called from it directly. The tools fill these in when they are linked; a
// hook left empty means the tool is not part of this build.

#include <functional>
#include <string>

class TAAForm;
class TPicInfoObject;
class TVisteloList;
class TPicture;

namespace ToolHooks {

// Each a function-local value, so that the tools may fill it in while the
// program starts, whatever the order of its units.

// Edits the entry's picture; true when it was changed.
std::function<bool(TPicInfoObject& entry)>& EditPicture();
// Edits picture number `index` (from 0) of the open show, counted as the
// current access method counts them (the main window's list, the
// catalog); true when it was changed. False, and no editor, when the show
// has no such picture or this build has no picture editor.
bool EditShowPicture(int index);
// Prints the entry's picture.
std::function<void(TPicInfoObject& entry)>& PrintPicture();
// Prints a picture already loaded.
std::function<void(TPicture& picture)>& PrintLoadedPicture();
// Plays a sound or music file (a stored name) in the music preview window.
std::function<void(const std::string& fileName)>& PreviewMusic();
// Runs the scanner import; scanned pictures go to the window's show.
std::function<void(TAAForm& form)>& ScannerImport();
// The HTML export, the conversion and the sound assistant over the window's
// pictures.
std::function<void(TAAForm& form)>& HTMLAssistent();
std::function<void(TAAForm& form)>& ConvertAssistent();
std::function<void(TAAForm& form)>& SoundAssistent();
// The compilation assistant over the window's pictures, and over a show list.
std::function<void(TAAForm& form)>& CDAssistent();
std::function<void(TVisteloList& list)>& CDListAssistent();

} // namespace ToolHooks

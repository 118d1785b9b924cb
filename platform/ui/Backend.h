#pragma once

// What the UI layer asks of the toolkit behind it, besides its windows
// (WindowSurface.h) and the widgets of the standard controls: the screen,
// the application's cursor, the dialog windows, the system clipboard, the
// desktop's folders and programs. The layer decides; these calls only carry
// its decisions to the window system. Implemented in platform/ui/qt/;
// internal to the UI layer.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Types.h"
#include "platform/ui/Messages.h"

class TBitmap;
class TFont;
class TStrings;
class TImageList;
class TMainMenu;
class TWinControl;

namespace ui {
struct TDialogRequest;
struct TDialogAnswer;
class TDragLoop;
} // namespace ui

namespace ui::backend {

// --- screen and cursor ---

// The primary screen's rectangle, or the part of it windows may use.
TRect ScreenRect(bool workArea);
// The cursor of the whole application: hidden, or the shape of a cursor
// number (crDefault: each window's own).
void ShowApplicationCursor(bool hidden, std::int16_t cursor);

// --- dialog windows ---

enum class TMessageIcon : std::uint8_t { None, Critical, Question, Warning, Information };

// A message box with the request's caption, text and buttons; the answer
// is the pressed button's result (CancelResult when closed).
TDialogAnswer ShowMessageWindow(const TDialogRequest& request, TMessageIcon icon);
// An input box: the prompt is the request's Text, the offered text its
// Value; answers mrOk with the edited text or mrCancel with the Value.
TDialogAnswer ShowInputWindow(const TDialogRequest& request);
// The desktop's alert sound.
void Beep();

// The common dialogs' windows, all answering IDOK (with the choice) or
// IDCANCEL. Files: Filter in the "Name|*.a;*.b" form, FilterIndex from 1
// (set to the chosen filter's), one chosen file per line; with a preview
// the window shows the picture under the cursor.
struct TFileWindow {
    std::string Caption;
    std::string InitialDir;
    std::string FileName;
    std::string Filter;
    bool Saving = false;
    bool MultiSelect = false;
    bool Preview = false;
};
TDialogAnswer ShowFileWindow(const TFileWindow& window, int& FilterIndex);
// Colours as "RRGGBB"; the user's own colours go in and come back as
// "ColorA=RRGGBB" ... "ColorP=RRGGBB".
TDialogAnswer ShowColorWindow(const TDialogRequest& request, TStrings& customColors);
// The font as "Name;Size;Styles;RRGGBB" (the colour stays the font's).
TDialogAnswer ShowFontWindow(const TDialogRequest& request, const TFont& font);
// Without allowCreate the window offers no way to make a new folder.
TDialogAnswer ShowFolderWindow(const std::string& caption, const std::string& start, bool allowCreate = true);

// --- the desktop's folders and programs ---

// Starts a program (arguments[0]) detached in the folder; false when it
// cannot be started.
bool StartProgram(const std::vector<std::string>& arguments, const std::string& workingDir);
// The user's folders as the desktop names them (empty when it knows none).
enum class TUserFolder : std::uint8_t { Desktop, Applications, Config, Documents, Music, Movies, Pictures, Data, Home };
std::string UserFolder(TUserFolder folder);
// Moves a file or folder into the desktop's trash; trashedAs gets where it
// went.
bool MoveToTrash(const std::string& path, std::string& trashedAs);

// The progress window of a long file operation: it shows after half a
// second, with a cancel button.
class TProgressWindow {
public:
    explicit TProgressWindow(const std::string& title);
    ~TProgressWindow();
    TProgressWindow(const TProgressWindow&) = delete;
    TProgressWindow& operator=(const TProgressWindow&) = delete;

    // Shows what is being done and how far (in thousandths) and lets the
    // window system turn; false once the user cancelled.
    bool Show(const std::string& current, int permille);

private:
    struct Native;
    std::unique_ptr<Native> native_;
};

// --- menus ---

// A shortcut's text as the desktop writes it beside a menu entry.
std::string ShortCutText(WORD shortCut);
// The bar that shows a main menu on its form.
TWinControl* NewMenuBar(TMainMenu& menu);

// --- the system clipboard ---

// Replaces the clipboard's contents with the blocks of these formats, in
// the MIME types other programs read (blocks that do not parse are left
// out).
void PublishClipboard(const std::map<UINT, std::vector<std::uint8_t>>& blocks);
// Whether the clipboard holds something the format can be made from, and
// that block (false when it holds nothing of the format).
bool ClipboardOffers(UINT format);
bool ClipboardBlock(UINT format, std::vector<std::uint8_t>& block);

// --- drag and drop ---

// Runs the loop as the window system's drag: the object's data goes out as
// MIME data; over registered windows their drag events step the loop; a
// drop elsewhere ends it as another program took it.
void RunWindowSystemDrag(TDragLoop& loop);

// --- the drag image of image lists ---

// Shows the list's first image, the cursor list's first image on top of it
// at cursorOffset from the hot spot, with the hot spot at the screen point.
void ShowDragImage(TImageList& image, TPoint hotSpot, TImageList* cursor, TPoint cursorOffset, TPoint screenPos);
void HideDragImage();
// Frees the image's window (at the end of a drag).
void DestroyDragImage();
bool DragImageShown();
TRect DragImageRect();

} // namespace ui::backend

#pragma once

// The test side of the UI layer's toolkit: input as the window system
// delivers it (keys, mouse, focus, activation, drags and the clipboard of
// other programs) and a view of what the toolkit shows for the controls
// (the widgets of standard controls, windows, menus, the screen). Tests of
// the layer and of everything built on it drive the toolkit only through
// these calls, so no test names a toolkit type. Input is delivered at once;
// what it posts is handled when the test lets the loop turn.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/EnumSet.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Ole.h"
#include "platform/ui/StdCtrls.h"

class TCustomForm;
class TMainMenu;
class TPopupMenu;

namespace ui::test {

// --- pictures ---

// A picture as the toolkit shows it: 0xAARRGGBB pixels, row by row.
struct TShownImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

    bool Empty() const { return Width <= 0 || Height <= 0; }
    // The colour of a pixel as TColor, and its opacity (0: see-through).
    TColor Color(int x, int y) const;
    int Alpha(int x, int y) const;
};

// --- keys ---

// A key of the keyboard as the window system names it. These are no virtual
// keys: turning the window system's keys into virtual keys is what the
// layer does and what tests check.
enum class TKey : std::uint16_t {
    None,
    Escape,
    Tab,
    Backtab,
    Backspace,
    Return,
    Space,
    Left,
    Up,
    Right,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
    Delete,
    Plus,
    Minus,
    A = 0x100,      // to Z: Letter()
    Digit0 = 0x200, // to 9: Digit()
    F1 = 0x300,     // to F24: Function()
};
constexpr TKey Letter(char upper) { return static_cast<TKey>(static_cast<int>(TKey::A) + (upper - 'A')); }
constexpr TKey Digit(int digit) { return static_cast<TKey>(static_cast<int>(TKey::Digit0) + digit); }
constexpr TKey Function(int number) { return static_cast<TKey>(static_cast<int>(TKey::F1) + number - 1); }

enum TKeyModifier : std::uint8_t { kmShift, kmCtrl, kmAlt, kmKeypad };
using TKeyModifiers = TEnumSet<TKeyModifier>;

enum class TKeyAction : std::uint8_t { Press, Release };

// A key to the control's window; text is what the key types (UTF-8),
// autoRepeat marks a held key's repeats.
void SendKey(TWinControl* control, TKeyAction action, TKey key, TKeyModifiers modifiers = {},
             const std::string& text = {}, bool autoRepeat = false);
// A key where the window system delivers it: to the widget that has the
// keyboard focus (false when no window of the program has it).
bool SendKeyToFocus(TKeyAction action, TKey key, TKeyModifiers modifiers = {}, const std::string& text = {});
// The control whose window (or widget) has the keyboard focus as the window
// system sees it; nullptr when none has.
TWinControl* FocusedControl();
// A key to the widget of a standard control (to its part that has the
// focus), where the user's typing lands.
void SendWidgetKey(TNativeControl* control, TKeyAction action, TKey key, TKeyModifiers modifiers = {},
                   const std::string& text = {});
// Types each character of the text into the widget: a key press that
// carries only the character, as input methods deliver it.
void TypeText(TNativeControl* control, const std::string& text);

// --- mouse ---

enum class TMouseAction : std::uint8_t { Press, Release, DoubleClick };

// A button of the mouse at a client point of the control's window. State
// holds the buttons down after the event (ssLeft, ssRight, ssMiddle) and the
// modifier keys (ssShift, ssCtrl, ssAlt).
void SendMouse(TWinControl* control, TMouseAction action, TPoint at, TMouseButton button, TShiftState state);
void MoveMouse(TWinControl* control, TPoint at, TShiftState state = {});
// The wheel turned over a client point (120 is one notch, negative is
// towards the user).
void TurnWheel(TWinControl* control, TPoint at, int delta);

// A left click on the widget of a standard control at a point of it.
void ClickWidget(TNativeControl* control, TPoint at);
// A left click in the middle of a row of the list, with modifier keys.
void ClickListRow(TCustomListBox* list, int row, TShiftState modifiers = {});
// A click of a mouse button into a row of the list, x pixels from the row's
// left edge.
void ClickListRowAt(TCustomListBox* list, int row, int x, TMouseButton button);
// A click on an arrow of the up-down control; false when it has none.
bool ClickUpDownArrow(TCustomUpDown* updown, TUDBtnType arrow);
// The user selects a row of the list (as a control click adds it).
void SelectListRowByUser(TCustomListBox* list, int row);
// The user scrolls the list so that the row is at the top.
void ScrollListByUser(TCustomListBox* list, int topRow);
// The user picks a tab of the page control.
void PickTabByUser(TPageControl* pages, int tab);

// --- focus, windows, hints ---

// The window system gives the widget of a standard control the keyboard
// focus (by a click into it, or otherwise).
void FocusWidget(TNativeControl* control, bool byMouse = false);
// Puts the caret of an edit or memo after its text.
void MoveCaretToEnd(TNativeControl* control);
// The window system activates or deactivates the form's window.
void ActivateWindow(TWinControl* form);
void DeactivateWindow(TWinControl* form);
// The user closes the window with its close button, or drags its frame to
// a size.
void CloseWindowByUser(TWinControl* form);
void ResizeWindowByUser(TWinControl* form, int width, int height);
// The mouse rests over a point of a standard control's widget until the
// hint shows; the hint shown now (empty: none), and taking it off.
void PauseOverWidget(TNativeControl* control, TPoint at);
std::string ShownHint();
void HideHint();

// --- what the toolkit shows ---

// A window as the window system has it.
struct TShownWindow {
    bool Visible = false;
    bool StaysOnTop = false;
    int Width = 0;
    int Height = 0;
    // The sizes the user's resizing may reach.
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;
    int MaxHeight = 0;
    // The screen position of the frame's top left corner.
    TPoint FrameOrigin;
    // The built-in cursor shape shown over it, as the first cursor number
    // of that shape.
    TCursor Cursor = crDefault;
    // The control of the window it lies in (nullptr: a top-level window).
    TWinControl* Parent = nullptr;
    bool HasIcon = false;
};
TShownWindow ShownWindow(TWinControl* control);
// The window's icon at a size.
TShownImage WindowIcon(TWinControl* control, int size);
// The control of the window that holds what the window system finds at a
// client point of the control's window.
TWinControl* WindowAt(TWinControl* control, TPoint at);
// The window as the screen shows it, and what its widget paints now (the
// rows of a list box: its list's rows only).
TShownImage GrabScreen(TWinControl* control);
TShownImage GrabWidget(TNativeControl* control);
TShownImage GrabListRows(TCustomListBox* list);

enum class TSelectionMode : std::uint8_t { Single, Extended, Multi };

// The widget of a standard control. Which fields tell something depends
// on the control.
struct TShownWidget {
    bool Exists = false;
    int Width = 0;
    int Height = 0;
    // Below the windows of the control's children.
    bool BelowChildWindows = false;
    // A button of any kind (push, check, radio or tool button).
    bool Button = false;
    // Button, tool button and menu bar caption; group box title; the text
    // of an edit, memo (lines joined by "\n") or combo box.
    std::string Text;
    // What an edit shows (masked, hidden), its selection, and whether it
    // hides the text as a password.
    std::string DisplayText;
    std::string SelectedText;
    bool Password = false;
    // An edit's text: where it is shown (the widget's rectangle less the
    // margins of the text) and its alignment.
    TRect TextArea;
    TAlignment TextAlignment = taLeftJustify;
    // Check and radio boxes.
    TCheckBoxState Check = cbUnchecked;
    // Lists and combo boxes: the rows, the current one, which are
    // selected, how; whether a combo box takes typing, and the height its
    // open list gives each row.
    std::vector<std::string> Items;
    int Current = -1;
    std::vector<bool> Selected;
    TSelectionMode Selection = TSelectionMode::Single;
    bool Editable = false;
    std::vector<int> RowHeights;
    // Track and progress bars.
    int Value = 0;
    int Maximum = 0;
    bool Vertical = false;
    // The status bar's panels and their widths; the page control's tabs
    // (Items, Current) and whether the tab row shows.
    std::vector<int> ItemWidths;
    bool TabsShown = false;
    // Tool buttons: only the caption (no picture), and flat.
    bool TextOnly = false;
    bool AutoRaise = false;
    bool HasIcon = false;
    // Rich-text edits: read-only, whether the caret shows, whether long
    // lines wrap, which scroll bars may show (horizontal, vertical), and the
    // text's font and colour.
    bool ReadOnly = false;
    bool CaretShown = false;
    bool WordWrap = false;
    std::pair<bool, bool> ScrollBarsAllowed{false, false};
    std::string FontFamily;
    int FontPixelSize = 0;
    bool Bold = false;
    TColor TextColor = clBlack;
};
TShownWidget ShownWidget(TNativeControl* control);
// Where the scroll bar of a list or memo stands (its first row or line
// shown); -1 for widgets that do not scroll.
int ScrollPosition(TNativeControl* control, bool vertical = true);
// The picture of a button or tool button at a size.
TShownImage WidgetIcon(TNativeControl* control, int size);

// --- menus ---

// An entry of a menu as the toolkit shows it.
struct TShownEntry {
    std::string Text;
    bool Separator = false;
    bool Enabled = true;
    bool Checked = false;
    bool HasIcon = false;
    // It opens a sub-menu (a drop-down on the menu bar).
    bool SubMenu = false;
    // The shortcut as the desktop writes it ("Ctrl+S").
    std::string ShortCut;
    // Where the entry lies in its menu window.
    TRect Area;
};

// The popup menu's window shown now: whether it is on screen, its entries,
// a click on one, the one under the mouse, its picture.
bool PopupShown(const TPopupMenu& menu);
std::vector<TShownEntry> PopupEntries(const TPopupMenu& menu);
void ClickPopupEntry(TPopupMenu& menu, int entry);
void HighlightPopupEntry(TPopupMenu& menu, int entry);
TShownImage GrabPopup(TPopupMenu& menu);
TShownImage PopupEntryIcon(TPopupMenu& menu, int entry, int size);

// The main menu's bar on its form: its entries; opening the drop-down of
// an entry (as a click on the bar does), its entries and a click on one;
// an entry without a drop-down picked.
std::vector<TShownEntry> MenuBarEntries(TMainMenu& menu);
void OpenMenuBarEntry(TMainMenu& menu, int entry);
std::vector<TShownEntry> MenuBarDropDown(TMainMenu& menu, int entry);
void ClickMenuBarDropDownEntry(TMainMenu& menu, int entry, int dropDownEntry);
void PickMenuBarEntry(TMainMenu& menu, int entry);

// --- the system clipboard and other programs ---

// What the system clipboard holds: nothing, MIME types, text, the files of
// its URI list, and a picture made from the data of a type.
void ClearClipboard();
std::vector<std::string> ClipboardTypes();
std::string ClipboardText();
std::vector<std::string> ClipboardFiles();
TShownImage ClipboardPicture(const std::string& type);
// Another program puts a picture on the clipboard.
void PutForeignPicture(const TBitmap& picture);

// Data another program drags: files (as a URI list) and text.
struct TForeignData {
    std::vector<std::string> Files;
    std::string Text;
};

// How the window answered a step of a drag: whether it accepts it, with
// the effect of the drop action it chose.
struct TDropAnswer {
    bool Accepted = false;
    DWORD Effect = DROPEFFECT_NONE;
};

// A drag of another program over a window: it enters, moves and drops at
// client points, offering effects with modifier keys (and the left button
// down until the drop).
class TForeignDrag {
public:
    TForeignDrag(TWinControl* over, const TForeignData& data);
    ~TForeignDrag();
    TForeignDrag(const TForeignDrag&) = delete;
    TForeignDrag& operator=(const TForeignDrag&) = delete;

    TDropAnswer Enter(TPoint at, DWORD offered, TShiftState modifiers = {});
    TDropAnswer Move(TPoint at, DWORD offered, TShiftState modifiers = {});
    TDropAnswer Drop(TPoint at, DWORD offered, TShiftState modifiers = {});

private:
    struct Native;
    std::unique_ptr<Native> native_;
};

// A data object's data as the window system carries it to another program
// and back: the MIME types it travels as, and a data object over them as
// the receiving side reads it.
class TCarriedData {
public:
    explicit TCarriedData(IDataObject* source);
    ~TCarriedData();
    TCarriedData(const TCarriedData&) = delete;
    TCarriedData& operator=(const TCarriedData&) = delete;

    bool HasType(const std::string& type) const;
    // A new reference the caller releases.
    IDataObject* Object() const;

private:
    struct Native;
    std::unique_ptr<Native> native_;
};

// --- the picture dialogs' file window ---

// The toolkit's file window as the picture dialogs set it up, not shown.
class TPreviewedFileWindow {
public:
    TPreviewedFileWindow();
    ~TPreviewedFileWindow();
    TPreviewedFileWindow(const TPreviewedFileWindow&) = delete;
    TPreviewedFileWindow& operator=(const TPreviewedFileWindow&) = delete;

    // One preview was added, and the window is the toolkit's own (which
    // takes extra parts).
    bool HasOnePreview() const;
    bool IsToolkitsOwn() const;
    // The cursor moves to the file: the preview's picture then (empty: none).
    TShownImage PointAt(const std::string& file);

private:
    struct Native;
    std::unique_ptr<Native> native_;
};

} // namespace ui::test

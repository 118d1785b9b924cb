#pragma once

// The rules of the main window's picture panel and list that need no window:
// which glyph each settings button shows, which menu entries are enabled,
// where a picture dragged in sort mode lands, and how the list scrolls while
// the mouse rests at its edge.

#include <string>

class TPicInfoObject;

namespace PicturePanel {

// The glyphs of the four settings buttons for a picture: red when the
// picture keeps the default, green when it has a setting of its own.
struct TPanelGlyphs {
    std::string Sound;
    std::string Font;
    std::string Sleep;
    std::string SpecPlacement;
};
TPanelGlyphs PanelGlyphs(const TPicInfoObject& Picture);
// The comment is drawn as every new picture's is: Arial 14 white without
// style, its own size unset, not placed by hand, bordered in black.
bool CommentFormatIsDefault(const TPicInfoObject& Picture);
// Stretching can be switched only for a shown picture without a size
// percentage or the fill placement.
bool StretchSwitchable(const TPicInfoObject& Picture);

// What the menus see when they open.
struct TListState {
    int Selected = 0;       // PicSelCount
    int Count = 0;          // PicCount
    bool SortMode = false;  // sort mode is on
    bool HasTarget = false; // a selected item, or a single-selection list's current one
};
struct TMenuEnabling {
    bool PictureCommands = false; // the "&Bild" entries that act on the selection
    bool MarkCommands = false;    // mark all, invert marks
    bool ListCommands = false;    // start, remove crossed, sort
    bool PopupCommands = false;   // the list popup's picture entries
    bool Assistants = false;      // the four assistants that work on the show
    bool PictureOptions = false;  // "Bild-Einstellungen..."
};
TMenuEnabling MenuEnabling(const TListState& State);

// The list index a picture dragged from Source onto the item Target ends
// at: directly below the target (so never at index 0).
int SortDropIndex(int Source, int Target);

// One tick of the list's edge-scroll timer with the mouse at (X, Y) in list
// client coordinates: the top index moves by Scroll (-1, 0, +1), and the
// next interval and tag are Interval and Tag.
struct TScrollStep {
    int Scroll = 0;
    unsigned Interval = 1000;
    int Tag = 0;
};
constexpr unsigned ScrollRestInterval = 1000;
TScrollStep ScrollTick(int X, int Y, int ClientWidth, int ClientHeight, int ItemHeight, unsigned Interval);

// The first pane's size after the window was resized: when the second pane
// has become smaller than the splitter's limit for it, the first one gives
// up the difference (never below 0).
int FirstPaneAfterResize(int FirstSize, int SecondSize, int SecondLimit);

} // namespace PicturePanel

#pragma once

// The catalog's rules without a window: where each thumbnail cell lies and
// which cell a point hits, where the arrow and page keys go, how clicks,
// Shift and Ctrl select, and how a drop reorders the selected pictures.
// The catalog window keeps one TCatalogGeometry and one TCatalogSelection
// and draws what they say.

#include "platform/graphics/Types.h"

#include <cstdint>
#include <functional>

namespace CatalogGrid {

// Bits of a picture entry's Flags that the catalog owns while it is open.
constexpr std::uint32_t pfDirty = 1;      // redraw the cell at the next partial redraw
constexpr std::uint32_t pfThumbTried = 2; // a thumbnail was attempted
constexpr std::uint32_t pfSelected = 4;
constexpr std::uint32_t pfMoved = 8;       // already moved by the running drop
constexpr std::uint32_t pfDropTarget = 16; // the cell carries the drop mark
constexpr std::uint32_t pfDropAfter = 32;  // the mark stands at the right edge

// Cell sizes, columns and rows of the grid for one thumbnail size and one
// visible client area.
class TCatalogGeometry {
public:
    int ThumbWidth = 80;
    int ThumbHeight = 60;
    int FilenameHeight = 0; // 0 without file names
    int CellWidth = 1;
    int CellHeight = 1;
    int Columns = 0;
    int PageRows = 0;
    int PaintBoxWidth = 0;
    int PaintBoxHeight = 0;

    // Takes the cell size from the thumbnail size and file-name height.
    void InitCells(int ThumbW, int ThumbH, int FileNameHeight);
    // Columns, page rows and the paint box's size for a client area and a
    // number of pictures; true when the grid is wider than the client area
    // (the horizontal scroll bar is needed).
    bool Measure(int ClientWidth, int ClientHeight, int PicCount);

    // Left over space split on both sides of the grid.
    int Margin() const;
    // The cell's rectangle, CellWidth x CellHeight (right and bottom
    // exclusive, as every TRect).
    TRect CalcRect(int Col, int Row) const;
    TRect CalcRectIndex(int Index) const;
    // The picture index under a paint-box point, which may lie past the last
    // picture; negative coordinates count as 0.
    int GetItemIndexWithOutCheck(int X, int Y) const;
    // As above, but -1 past the last picture and outside the grid.
    int GetItemIndex(int X, int Y, int PicCount) const;

    // The rows a paint at this scroll position draws: from FirstRow up to,
    // not including, RowLimit.
    int FirstRow(int ScrollY) const;
    int RowLimit(int ScrollY, int ClientHeight) const;
    // The vertical scroll position that shows the picture, given the one now.
    int ScrollPositionFor(int Index, int ScrollY, int ClientHeight) const;
};

enum TCatalogKey : std::uint8_t { ckLeft, ckRight, ckUp, ckDown, ckHome, ckEnd, ckPageUp, ckPageDown };

// The picture a navigation key moves to from Current (-1 counts as 0) in a
// grid of Count pictures; -1 when there are none.
int NavigateKey(TCatalogKey Key, int Current, int Count, int Columns, int PageRows);

// Whether a mouse move from the press point starts a drag: at least 5
// pixels on one axis.
bool DragThresholdPassed(TPoint Press, TPoint At);

// The flag words of the pictures, by index.
class TCatalogFlags {
public:
    virtual ~TCatalogFlags() = default;
    virtual int Count() const = 0;
    virtual std::uint32_t& Flags(int Index) = 0;
};

// The selection, the current picture and the anchors of Shift and Ctrl
// gestures. Each change marks the cells to redraw with pfDirty.
class TCatalogSelection {
public:
    explicit TCatalogSelection(TCatalogFlags& Pictures) : pictures_(Pictures) { }

    int SelCount = 0;
    int ItemIndex = -1;
    int ShiftAnchor = -1;
    int CtrlSelectMode = -1;   // -1 undecided; 1 a Ctrl gesture selects; 0 it deselects
    int DragSelectAnchor = -2; // -2 none; -1 armed by a left press; else where it began

    bool IsSelected(int Index) const;
    // Sets or clears one picture's selection; true when it changed.
    bool SelectItem(int Index, bool Selected, bool MarkDirty);
    // Exactly this picture selected (-1: none).
    bool Select(int Index);
    // Exactly the pictures from ShiftAnchor to Index.
    bool ShiftSelect(int Index);
    // Selects or deselects Index as the gesture's first picture decided.
    bool CtrlSelect(int Index);
    // A click, key or drag reaching Index with these keys down: the anchor,
    // the selection and the current picture follow. True when anything
    // changed; CurrentChanged tells whether ItemIndex moved.
    bool DoSelect(int Index, bool Shift, bool Ctrl, bool& CurrentChanged);
    // Recounts SelCount; a current picture past the last one gives way to
    // the last, selected alone.
    void ValidateSelection();
    // The picture the commands on "the current picture" act on. The current
    // picture may have been deselected by Ctrl: then the one selected
    // picture counts, and with none or several nothing does.
    int CommandIndex() const;
    // Selects (or deselects) every picture; true when any changed.
    bool SelectAll(bool Selected);
    void InvertSelection();

private:
    TCatalogFlags& pictures_;
};

// The picture list a drop reorders.
class TCatalogDropList : public TCatalogFlags {
public:
    // Moves the item at From so that it ends at To.
    virtual void Move(int From, int To) = 0;
};

struct TDropResult {
    bool Moved = false;
    int Low = -1;  // first changed item
    int High = -1; // last changed item
    int NewItemIndex = -1;
};

// Moves the selected pictures, keeping their order, to the drop position
// Target (an index from the hit test; at or past the end means after the
// last). The moved cells are marked dirty.
TDropResult ProcessDrop(TCatalogDropList& List, int Target);

} // namespace CatalogGrid

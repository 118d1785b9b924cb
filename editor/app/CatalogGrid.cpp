#include "editor/app/CatalogGrid.h"

#include <algorithm>
#include <cstdlib>

namespace CatalogGrid {

// ---------------------------------------------------------------------------
// Geometry

void TCatalogGeometry::InitCells(int ThumbW, int ThumbH, int FileNameHeight)
{
    ThumbWidth = ThumbW;
    ThumbHeight = ThumbH;
    FilenameHeight = FileNameHeight;
    CellWidth = ThumbWidth + 10;
    CellHeight = ThumbHeight + 10 + FilenameHeight;
}

bool TCatalogGeometry::Measure(int ClientWidth, int ClientHeight, int PicCount)
{
    PageRows = ClientHeight < CellHeight ? 1 : ClientHeight / CellHeight;
    Columns = ClientWidth < CellWidth ? 1 : ClientWidth / CellWidth;
    const int rows = PicCount / Columns + (PicCount % Columns != 0 ? 1 : 0);
    PaintBoxHeight = rows * CellHeight;
    PaintBoxWidth = std::max(ClientWidth, CellWidth);
    return ClientWidth < PaintBoxWidth;
}

int TCatalogGeometry::Margin() const { return (PaintBoxWidth - Columns * CellWidth) / 2; }

TRect TCatalogGeometry::CalcRect(int Col, int Row) const
{
    const int left = Margin() + Col * CellWidth;
    const int top = Row * CellHeight;
    return Rect(left, top, left + CellWidth, top + CellHeight);
}

TRect TCatalogGeometry::CalcRectIndex(int Index) const
{
    if (Columns <= 0)
        return CalcRect(0, 0);
    return CalcRect(Index % Columns, Index / Columns);
}

int TCatalogGeometry::GetItemIndexWithOutCheck(int X, int Y) const
{
    X = std::max(X, 0);
    Y = std::max(Y, 0);
    // Left of the grid's margin counts as its first column.
    const int col = std::max(X - Margin(), 0) / CellWidth;
    const int row = Y / CellHeight;
    return row * Columns + col;
}

int TCatalogGeometry::GetItemIndex(int X, int Y, int PicCount) const
{
    if (Columns <= 0 || X < Margin() || Y < 0)
        return -1;
    const int col = (X - Margin()) / CellWidth;
    if (col >= Columns)
        return -1;
    const int index = (Y / CellHeight) * Columns + col;
    return index < PicCount ? index : -1;
}

int TCatalogGeometry::FirstRow(int ScrollY) const { return std::max(ScrollY, 0) / CellHeight; }

int TCatalogGeometry::RowLimit(int ScrollY, int ClientHeight) const
{
    return (ClientHeight + std::max(ScrollY, 0)) / CellHeight + 1;
}

int TCatalogGeometry::ScrollPositionFor(int Index, int ScrollY, int ClientHeight) const
{
    if (Index < 0 || Columns <= 0)
        return ScrollY;
    const int top = (Index / Columns) * CellHeight;
    if (top < ScrollY)
        return top;
    if (top + CellHeight > ScrollY + ClientHeight)
        return std::max(top + CellHeight - ClientHeight, 0);
    return ScrollY;
}

// ---------------------------------------------------------------------------
// Keys and the drag threshold

int NavigateKey(TCatalogKey Key, int Current, int Count, int Columns, int PageRows)
{
    if (Count <= 0)
        return -1;
    const int last = Count - 1;
    const int c = std::clamp(Current, 0, last);
    const int cols = std::max(Columns, 1);
    const int page = std::max(PageRows, 1) * cols;
    switch (Key) {
    case ckLeft: return c > 0 ? c - 1 : c;
    case ckRight: return c < last ? c + 1 : c;
    case ckUp: return std::max(c - cols, 0);
    case ckDown: return std::min(c + cols, last);
    case ckHome: return 0;
    case ckEnd: return last;
    case ckPageUp: return c - page >= 0 ? c - page : c % cols;
    case ckPageDown:
        if (c + page <= last)
            return c + page;
        if (c == last)
            return c;
        // The last row may be shorter: its cell in c's column when it has
        // one, else the last picture.
        if (last % cols >= c % cols)
            return last - last % cols + c % cols;
        return last;
    }
    return c;
}

bool DragThresholdPassed(TPoint Press, TPoint At)
{
    return std::abs(At.X - Press.X) >= 5 || std::abs(At.Y - Press.Y) >= 5;
}

// ---------------------------------------------------------------------------
// Selection

bool TCatalogSelection::IsSelected(int Index) const
{
    return Index >= 0 && Index < pictures_.Count() && (pictures_.Flags(Index) & pfSelected) != 0;
}

bool TCatalogSelection::SelectItem(int Index, bool Selected, bool MarkDirty)
{
    if (Index < 0 || Index >= pictures_.Count())
        return false;
    std::uint32_t& flags = pictures_.Flags(Index);
    if (((flags & pfSelected) != 0) == Selected)
        return false;
    if (Selected) {
        flags |= pfSelected;
        ++SelCount;
    } else {
        flags &= ~pfSelected;
        --SelCount;
    }
    if (MarkDirty)
        flags |= pfDirty;
    return true;
}

bool TCatalogSelection::Select(int Index)
{
    bool changed = false;
    const int count = pictures_.Count();
    for (int j = 0; j < count; ++j)
        changed = SelectItem(j, j == Index, true) || changed;
    return changed;
}

bool TCatalogSelection::ShiftSelect(int Index)
{
    const int anchor = ShiftAnchor < 0 ? Index : ShiftAnchor;
    const int low = std::min(anchor, Index);
    const int high = std::max(anchor, Index);
    bool changed = false;
    const int count = pictures_.Count();
    for (int j = 0; j < count; ++j)
        changed = SelectItem(j, j >= low && j <= high, true) || changed;
    return changed;
}

bool TCatalogSelection::CtrlSelect(int Index)
{
    if (CtrlSelectMode == -1)
        CtrlSelectMode = IsSelected(Index) ? 0 : 1;
    return SelectItem(Index, CtrlSelectMode == 1, true);
}

bool TCatalogSelection::DoSelect(int Index, bool Shift, bool Ctrl, bool& CurrentChanged)
{
    CurrentChanged = false;
    if (Index < 0 || Index >= pictures_.Count())
        return false;
    if (ShiftAnchor == -1 || !Shift)
        ShiftAnchor = Index;
    bool changed = false;
    if (Index != ItemIndex) {
        pictures_.Flags(Index) |= pfDirty;
        if (ItemIndex >= 0 && ItemIndex < pictures_.Count())
            pictures_.Flags(ItemIndex) |= pfDirty;
        changed = true;
    }
    if (Shift)
        changed = ShiftSelect(Index) || changed;
    else if (Ctrl)
        changed = CtrlSelect(Index) || changed;
    else if (!IsSelected(Index))
        changed = Select(Index) || changed;
    if (Index != ItemIndex) {
        ItemIndex = Index;
        CurrentChanged = true;
    }
    return changed;
}

void TCatalogSelection::ValidateSelection()
{
    const int count = pictures_.Count();
    if (ItemIndex >= count) {
        ItemIndex = count - 1;
        Select(ItemIndex);
    }
    SelCount = 0;
    for (int j = 0; j < count; ++j)
        if ((pictures_.Flags(j) & pfSelected) != 0)
            ++SelCount;
}

int TCatalogSelection::CommandIndex() const
{
    if (IsSelected(ItemIndex))
        return ItemIndex;
    if (SelCount != 1)
        return -1;
    const int count = pictures_.Count();
    for (int j = 0; j < count; ++j)
        if (IsSelected(j))
            return j;
    return -1;
}

bool TCatalogSelection::SelectAll(bool Selected)
{
    bool changed = false;
    const int count = pictures_.Count();
    for (int j = 0; j < count; ++j)
        changed = SelectItem(j, Selected, true) || changed;
    return changed;
}

void TCatalogSelection::InvertSelection()
{
    const int count = pictures_.Count();
    for (int j = 0; j < count; ++j)
        SelectItem(j, !IsSelected(j), true);
}

// ---------------------------------------------------------------------------
// Dropping

TDropResult ProcessDrop(TCatalogDropList& List, int Target)
{
    TDropResult result;
    if (Target < 0)
        return result;
    const int n = List.Count();
    int t = std::min(Target, n);
    int low = t;
    int high = -1;
    const int before = std::max(t - 1, 0);
    // A picture moved to t < i shifts the ones between down by one, so the
    // same i is looked at again; a moved picture is marked not to move twice.
    for (int i = 0; i < n;) {
        std::uint32_t& flags = List.Flags(i);
        if ((flags & pfSelected) == 0 || (flags & pfMoved) != 0) {
            ++i;
            continue;
        }
        const int remembered = t;
        if (i < t && t > 0)
            --t;
        flags |= pfMoved;
        List.Move(i, t);
        low = std::min({low, i, t});
        high = std::max({high, i, t});
        // The next picture goes behind this one. A picture that moved
        // forward left a gap, so that is the remembered place; one that moved
        // back or stayed put (dropped onto itself) is now at it.
        t = i < remembered ? remembered : remembered + 1;
    }
    result.Moved = high >= 0;
    result.Low = low;
    result.High = high;
    result.NewItemIndex = before < low ? low : high;
    if (low >= 0 && low < n && high >= low)
        for (int j = low; j <= std::min(high, n - 1); ++j) {
            List.Flags(j) &= ~pfMoved;
            List.Flags(j) |= pfDirty;
        }
    return result;
}

} // namespace CatalogGrid

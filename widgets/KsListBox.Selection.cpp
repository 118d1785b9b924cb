#include "widgets/KsListBox.h"

#include <algorithm>

#include "platform/rtl/CodePage.h"
#include "widgets/DrawUtils.h"

// Selection and geometry

void TKsCustomListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= static_cast<int>(list_.size()))
        Value = -1;
    if (Value == itemIndex_)
        return;
    itemIndex_ = Value;
    if (!multiSelect_)
        for (std::size_t i = 0; i < list_.size(); ++i)
            list_[i].Selected = static_cast<int>(i) == Value;
    // Keep the item in view.
    const int rows = std::max(RowsPerColumn(), 1) * std::max(columns_, 1);
    if (Value >= 0 && Value < topIndex_)
        topIndex_ = Value;
    else if (Value >= topIndex_ + rows)
        topIndex_ = Value - rows + 1;
    Invalidate();
}

void TKsCustomListBox::SetTopIndex(int Value)
{
    Value = std::clamp(Value, 0, std::max(static_cast<int>(list_.size()) - 1, 0));
    if (Value == topIndex_)
        return;
    topIndex_ = Value;
    Invalidate();
}

int TKsCustomListBox::SelCount() const
{
    if (!multiSelect_)
        return -1;
    return static_cast<int>(std::ranges::count_if(list_, [](const Item& I) { return I.Selected; }));
}

bool TKsCustomListBox::Selected(int Index) const
{
    CheckIndex(Index);
    return list_[static_cast<std::size_t>(Index)].Selected;
}

void TKsCustomListBox::SetSelected(int Index, bool Value)
{
    CheckIndex(Index);
    if (multiSelect_) {
        list_[static_cast<std::size_t>(Index)].Selected = Value;
        Invalidate();
    } else if (Value) {
        SetItemIndex(Index);
    } else if (itemIndex_ == Index) {
        SetItemIndex(-1);
    }
}

void TKsCustomListBox::SetMultiSelect(bool Value)
{
    if (Value == multiSelect_)
        return;
    multiSelect_ = Value;
    for (std::size_t i = 0; i < list_.size(); ++i)
        list_[i].Selected = !Value && static_cast<int>(i) == itemIndex_;
    Invalidate();
}

void TKsCustomListBox::SetSorted(bool Value)
{
    if (Value == sorted_)
        return;
    sorted_ = Value;
    if (!Value)
        return;
    // Order[to] = from; the items keep their data (and a check list its
    // states) as they move.
    std::vector<int> order(list_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::ranges::stable_sort(order, [this](int A, int B) {
        return rtl::AnsiCompareText(list_[static_cast<std::size_t>(A)].Text, list_[static_cast<std::size_t>(B)].Text) <
            0;
    });
    std::vector<Item> sortedItems;
    sortedItems.reserve(list_.size());
    for (int from : order)
        sortedItems.push_back(std::move(list_[static_cast<std::size_t>(from)]));
    list_ = std::move(sortedItems);
    if (itemIndex_ >= 0)
        itemIndex_ = static_cast<int>(std::ranges::find(order, itemIndex_) - order.begin());
    ItemsReordered(order);
    Invalidate();
}

void TKsCustomListBox::SetStyle(TListBoxStyle Value)
{
    if (Value == style_)
        return;
    style_ = Value;
    MeasureAllItems();
    RecalcExtent();
    Invalidate();
}

void TKsCustomListBox::SetItemHeight(int Value)
{
    if (Value <= 0 || Value == itemHeight_)
        return;
    itemHeight_ = Value;
    MeasureAllItems();
    Invalidate();
}

void TKsCustomListBox::SetTabWidth(int Value)
{
    Value = std::max(Value, 0);
    if (Value == tabWidth_)
        return;
    tabWidth_ = Value;
    RecalcExtent();
    Invalidate();
}

void TKsCustomListBox::SetColumns(int Value)
{
    Value = std::max(Value, 0);
    if (Value == columns_)
        return;
    columns_ = Value;
    RecalcExtent();
    Invalidate();
}

int TKsCustomListBox::ColumnWidth() const { return columns_ > 0 ? (Width() + columns_ - 3) / columns_ : ClientWidth(); }

void TKsCustomListBox::SetGraySelection(bool Value)
{
    if (Value == graySelection_)
        return;
    graySelection_ = Value;
    if (!Focused())
        Invalidate();
}

int TKsCustomListBox::GetItemHeight() const { return itemHeight_; }

void TKsCustomListBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

void TKsCustomListBox::MeasureItemAt(int Index)
{
    // Only items of variable height are asked; they are asked once, when
    // they join the list (or the style or item height changes).
    int height = GetItemHeight();
    if (style_ == lbOwnerDrawVariable)
        MeasureItem(Index, height);
    list_[static_cast<std::size_t>(Index)].Height = height;
}

void TKsCustomListBox::MeasureAllItems()
{
    for (int i = 0; i < static_cast<int>(list_.size()); ++i)
        MeasureItemAt(i);
}

int TKsCustomListBox::RowHeight(int Index) const
{
    return style_ == lbOwnerDrawVariable ? list_[static_cast<std::size_t>(Index)].Height : GetItemHeight();
}

int TKsCustomListBox::ItemTop(int Index) const
{
    int top = 0;
    for (int i = topIndex_; i < Index; ++i)
        top += RowHeight(i);
    for (int i = Index; i < topIndex_; ++i)
        top -= RowHeight(i);
    return top;
}

int TKsCustomListBox::RowsPerColumn() const { return std::max(ClientHeight() / std::max(GetItemHeight(), 1), 1); }

TRect TKsCustomListBox::ItemRect(int Index) const
{
    const int count = static_cast<int>(list_.size());
    if (Index < 0 || Index > count || (Index == count && count == 0))
        return {};
    const int height = GetItemHeight();
    if (Index == count) {
        TRect last = ItemRect(count - 1);
        return gfx::OffsetRect(last, 0, last.Height());
    }
    const int offset = Index - topIndex_;
    if (columns_ > 0) {
        const int rows = RowsPerColumn();
        const int column = offset >= 0 ? offset / rows : -1 - (-offset - 1) / rows;
        const int row = offset - column * rows;
        return Bounds(column * ColumnWidth(), row * height, ColumnWidth(), height);
    }
    return Bounds(-horizontalOffset_, ItemTop(Index), std::max(ClientWidth(), horizontalExtent_), RowHeight(Index));
}

int TKsCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) const
{
    if (!DrawUtils::PointInRect(Pos, ClientRect()) || Pos.X == ClientWidth() || Pos.Y == ClientHeight())
        return -1;
    const int count = static_cast<int>(list_.size());
    for (int i = topIndex_; i < count; ++i) {
        const TRect r = ItemRect(i);
        if (Pos.X >= r.Left && Pos.X < r.Right && Pos.Y >= r.Top && Pos.Y < r.Bottom)
            return i;
        if (r.Top >= ClientHeight() && columns_ == 0)
            break;
    }
    return Existing ? -1 : count;
}

#include "widgets/KsListBox.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/CanvasText.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exceptions.h"
#include "widgets/Apputils.h"
#include "widgets/DrawUtils.h"

IMPLEMENT_CLASS(TKsCustomListBox)
IMPLEMENT_CLASS(TTextListBox)
IMPLEMENT_CLASS(TKsCheckListBox)

namespace {

constexpr int CheckCellWidth = 16;
constexpr int CheckCellHeight = 13;
constexpr int CheckColumns = 6;
constexpr int CheckRows = 3;
constexpr TColor CheckKey = clFuchsia;
constexpr std::uint32_t PaletteRelativeFlag = 0x02000000;

[[noreturn]] void RaiseListIndex(int Index)
{
    throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

// One cell of the check pictures.
void DrawCheckCell(TCanvas& C, int Column, int Row)
{
    const int x = Column * CheckCellWidth, y = Row * CheckCellHeight;
    const bool disabled = Column >= 3;
    const TCheckBoxState state = static_cast<TCheckBoxState>(Column % 3);
    const TColor ink = disabled ? clGray : clBlack;
    const TColor face = disabled ? clSilver : clWhite;
    C.Pen.Width = 1;
    C.Pen.Color = disabled ? clGray : clBlack;
    switch (Row) {
    case 0: // check box
        C.Brush.Color = state == cbGrayed ? clSilver : face;
        C.Rectangle(x + 1, y, x + 14, y + 13);
        break;
    case 1: // radio button
        C.Brush.Color = face;
        C.Ellipse(x + 1, y, x + 14, y + 13);
        break;
    default: // check mark only
        break;
    }
    if (state == cbUnchecked)
        return;
    const TColor mark = state == cbGrayed ? clGray : ink;
    if (Row == 1) {
        C.Brush.Color = mark;
        C.Pen.Color = mark;
        C.Ellipse(x + 5, y + 4, x + 10, y + 9);
        return;
    }
    // A tick of three pixels' thickness.
    for (int i = 0; i < 3; ++i) {
        for (int d = 0; d < 3; ++d)
            C.SetPixels(x + 4 + d, y + 5 + d + i, mark);
        for (int d = 0; d < 4; ++d)
            C.SetPixels(x + 7 + d, y + 6 - d + i, mark);
    }
}

std::unique_ptr<TBitmap> MakeCheckBitmap()
{
    auto bitmap = std::make_unique<TBitmap>(CheckColumns * CheckCellWidth, CheckRows * CheckCellHeight);
    TCanvas& c = bitmap->Canvas();
    c.Brush.Color = CheckKey;
    c.FillRect(Rect(0, 0, bitmap->Width(), bitmap->Height()));
    for (int row = 0; row < CheckRows; ++row)
        for (int column = 0; column < CheckColumns; ++column)
            DrawCheckCell(c, column, row);
    bitmap->SetTransparentColor(CheckKey);
    return bitmap;
}

} // namespace

TBitmap& KSCtrls::CheckBitmap()
{
    static const std::unique_ptr<TBitmap> bitmap = MakeCheckBitmap();
    return *bitmap;
}

// ---------------------------------------------------------------------------
// TKsListBoxStrings

int TKsListBoxStrings::Count() const { return static_cast<int>(listBox_->list_.size()); }

std::string TKsListBoxStrings::Get(int Index) const
{
    listBox_->CheckIndex(Index);
    return listBox_->list_[static_cast<std::size_t>(Index)].Text;
}

void TKsListBoxStrings::Put(int Index, const std::string& S)
{
    listBox_->CheckIndex(Index);
    // Replacing keeps the item's place, object, data and check state.
    listBox_->list_[static_cast<std::size_t>(Index)].Text = S;
    listBox_->RecalcExtent();
    listBox_->Invalidate();
}

TObject* TKsListBoxStrings::GetObject(int Index) const
{
    listBox_->CheckIndex(Index);
    return listBox_->list_[static_cast<std::size_t>(Index)].Object;
}

void TKsListBoxStrings::PutObject(int Index, TObject* Object)
{
    listBox_->CheckIndex(Index);
    listBox_->list_[static_cast<std::size_t>(Index)].Object = Object;
}

int TKsListBoxStrings::Add(const std::string& S) { return listBox_->InsertItem(-1, S); }

void TKsListBoxStrings::Insert(int Index, const std::string& S)
{
    if (Index < 0 || Index > Count())
        RaiseListIndex(Index);
    listBox_->InsertItem(Index, S);
}

void TKsListBoxStrings::Delete(int Index) { listBox_->DeleteItem(Index); }

void TKsListBoxStrings::Clear() { listBox_->ClearItems(); }

void TKsListBoxStrings::Exchange(int Index1, int Index2)
{
    listBox_->CheckIndex(Index1);
    listBox_->CheckIndex(Index2);
    std::swap(listBox_->list_[static_cast<std::size_t>(Index1)], listBox_->list_[static_cast<std::size_t>(Index2)]);
    listBox_->ItemsExchanged(Index1, Index2);
    listBox_->Invalidate();
}

void TKsListBoxStrings::Move(int CurrentIndex, int NewIndex)
{
    listBox_->CheckIndex(CurrentIndex);
    listBox_->CheckIndex(NewIndex);
    if (CurrentIndex == NewIndex)
        return;
    auto& list = listBox_->list_;
    auto item = std::move(list[static_cast<std::size_t>(CurrentIndex)]);
    list.erase(list.begin() + CurrentIndex);
    list.insert(list.begin() + NewIndex, std::move(item));
    listBox_->ItemMoved(CurrentIndex, NewIndex);
    listBox_->Invalidate();
}

void TKsListBoxStrings::SetUpdateState(bool Updating)
{
    listBox_->updating_ += Updating ? 1 : -1;
    if (!Updating)
        listBox_->Invalidate();
}

// ---------------------------------------------------------------------------
// TKsCustomListBox: items

TKsCustomListBox::TKsCustomListBox(TComponent* AOwner)
    : TCustomControl(AOwner), items_(std::make_unique<TKsListBoxStrings>(this)),
      measure_(std::make_unique<TBitmap>(1, 1))
{
    // The list reports its clicks itself, when the selection changes.
    ControlStyle.Exclude(csClickEvents);
    SetBounds(Left(), Top(), 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

TKsCustomListBox::~TKsCustomListBox() = default;

TCanvas& TKsCustomListBox::MeasureCanvas()
{
    measure_->Canvas().Font.Assign(Font());
    return measure_->Canvas();
}

void TKsCustomListBox::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(list_.size()))
        RaiseListIndex(Index);
}

int TKsCustomListBox::InsertItem(int Index, const std::string& Text)
{
    if (Index < 0) {
        Index = static_cast<int>(list_.size());
        if (sorted_) {
            auto at = std::ranges::upper_bound(list_, Text, [](const std::string& A, const std::string& B) {
                return rtl::AnsiCompareText(A, B) < 0;
            }, &Item::Text);
            Index = static_cast<int>(at - list_.begin());
        }
    }
    list_.insert(list_.begin() + Index, Item{Text});
    if (itemIndex_ >= Index)
        ++itemIndex_;
    ItemInserted(Index);
    MeasureItemAt(Index);
    ItemAdded(Index);
    Invalidate();
    return Index;
}

void TKsCustomListBox::DeleteItem(int Index)
{
    CheckIndex(Index);
    WidestMayShrink(Index);
    list_.erase(list_.begin() + Index);
    if (itemIndex_ == Index)
        itemIndex_ = -1;
    else if (itemIndex_ > Index)
        --itemIndex_;
    topIndex_ = std::clamp(topIndex_, 0, std::max(static_cast<int>(list_.size()) - 1, 0));
    ItemDeleted(Index);
    if (widest_ < 0)
        RecalcExtent();
    Invalidate();
}

void TKsCustomListBox::ClearItems()
{
    widest_ = 0;
    horizontalExtent_ = 0;
    horizontalOffset_ = 0;
    list_.clear();
    itemIndex_ = -1;
    topIndex_ = 0;
    ItemsCleared();
    Invalidate();
}

void TKsCustomListBox::ItemInserted(int) {}
void TKsCustomListBox::ItemDeleted(int) {}
void TKsCustomListBox::ItemsCleared() {}
void TKsCustomListBox::ItemsExchanged(int, int) {}
void TKsCustomListBox::ItemMoved(int, int) {}
void TKsCustomListBox::ItemsReordered(const std::vector<int>&) {}

std::intptr_t TKsCustomListBox::GetItemData(int Index) const
{
    CheckIndex(Index);
    return list_[static_cast<std::size_t>(Index)].Data;
}

void TKsCustomListBox::SetItemData(int Index, std::intptr_t Data)
{
    CheckIndex(Index);
    list_[static_cast<std::size_t>(Index)].Data = Data;
}

// ---------------------------------------------------------------------------
// Horizontal extent

int TKsCustomListBox::GetItemWidth(int Index)
{
    if (OwnerDrawn() && onGetItemWidth_ && onDrawItem_) {
        int width = 0;
        onGetItemWidth_(this, Index, width);
        return width;
    }
    return TabbedTextWidth(MeasureCanvas(), list_[static_cast<std::size_t>(Index)].Text + "x");
}

int TKsCustomListBox::TabbedTextWidth(TCanvas& Canvas, const std::string& Text) const
{
    if (tabWidth_ <= 0)
        return Canvas.TextWidth(Text);
    // One tab stop of a quarter of TabWidth digit widths.
    const int stop = static_cast<int>(std::lround(tabWidth_ * Canvas.TextWidth("0") * 0.25));
    int width = 0;
    for (char c : Text) {
        if (c != '\t')
            width += Canvas.TextWidth(std::string(1, c));
        else if (stop > 0)
            width = (width / stop + 1) * stop;
    }
    return width;
}

int TKsCustomListBox::ItemWidth(int Index) { return autoScroll_ && columns_ == 0 ? GetItemWidth(Index) : 0; }

void TKsCustomListBox::ItemAdded(int Index)
{
    if (!autoScroll_ || columns_ != 0)
        return;
    widest_ = std::max(widest_, ItemWidth(Index));
    horizontalExtent_ = widest_;
}

void TKsCustomListBox::WidestMayShrink(int Index)
{
    if (!autoScroll_ || columns_ != 0)
        return;
    if (ItemWidth(Index) >= widest_) {
        horizontalOffset_ = 0;
        widest_ = -1; // recomputed once the item is gone
    }
}

void TKsCustomListBox::RecalcExtent()
{
    widest_ = 0;
    if (autoScroll_ && columns_ == 0)
        for (int i = 0; i < static_cast<int>(list_.size()); ++i)
            widest_ = std::max(widest_, GetItemWidth(i));
    horizontalExtent_ = widest_;
    horizontalOffset_ = std::min(horizontalOffset_, horizontalExtent_);
}

void TKsCustomListBox::SetAutoScroll(bool Value)
{
    if (Value == autoScroll_)
        return;
    autoScroll_ = Value;
    horizontalOffset_ = 0;
    RecalcExtent();
    Invalidate();
}

void TKsCustomListBox::SetHorizontalOffset(int Value)
{
    horizontalOffset_ = std::clamp(Value, 0, std::max(horizontalExtent_ - ClientWidth(), 0));
    Invalidate();
}

void TKsCustomListBox::SetOnDrawItem(TDrawItemEvent Value)
{
    onDrawItem_ = std::move(Value);
    horizontalOffset_ = 0;
    RecalcExtent();
}

void TKsCustomListBox::SetOnGetItemWidth(TGetItemWidthEvent Value)
{
    onGetItemWidth_ = std::move(Value);
    horizontalOffset_ = 0;
    RecalcExtent();
}

// ---------------------------------------------------------------------------
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

int TKsCustomListBox::ColumnWidth() const
{
    return columns_ > 0 ? (Width() + columns_ - 3) / columns_ : ClientWidth();
}

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

// ---------------------------------------------------------------------------
// Drawing

void TKsCustomListBox::DefaultDrawText(int X, int Y, const std::string& Text)
{
    TCanvas& canvas = *Canvas();
    if (tabWidth_ == 0) {
        canvas.TextOut(X, Y, Text);
        return;
    }
    const int stop = static_cast<int>(std::lround(tabWidth_ * canvas.TextWidth("0") * 0.25));
    int x = X;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = Text.find('\t', start);
        const std::string piece = Text.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
        canvas.TextOut(x, Y, piece);
        x += canvas.TextWidth(piece);
        if (tab == std::string::npos)
            break;
        if (stop > 0)
            x = X + ((x - X) / stop + 1) * stop;
        start = tab + 1;
    }
}

void TKsCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (OwnerDrawn() && onDrawItem_) {
        onDrawItem_(this, Index, Rect, State);
        return;
    }
    TCanvas& canvas = *Canvas();
    canvas.FillRect(Rect);
    const int y = std::max(Rect.Top, Rect.Top + (Rect.Height() - canvas.TextHeight("Wy")) / 2);
    canvas.Brush.Style = bsClear;
    const std::string& text = list_[static_cast<std::size_t>(Index)].Text;
    // 2 pixels in from the edge the reading starts at.
    const int x = DrawUtils::UseRightToLeftReading(BiDiMode) ? Rect.Right - 2 - TabbedTextWidth(canvas, text)
                                                              : Rect.Left + 2;
    DefaultDrawText(x, y, text);
    canvas.Brush.Style = bsSolid;
}

void TKsCustomListBox::DrawState(TCanvas& Canvas, int Index, const TRect& Rect)
{
    TOwnerDrawState state;
    const bool selected = list_[static_cast<std::size_t>(Index)].Selected;
    Canvas.Font.Assign(Font());
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = Color();
    if (selected) {
        state.Include(odSelected);
        if (graySelection_ && !Focused() && !(ComponentState() & csDesigning)) {
            Canvas.Brush.Color = clBtnFace;
            if (ColorToRGB(Canvas.Font.Color()) == ColorToRGB(clBtnFace))
                Canvas.Font.SetColor(clBtnText);
        } else {
            Canvas.Brush.Color = clHighlight;
            Canvas.Font.SetColor(clHighlightText);
        }
    }
    const bool focused = Index == itemIndex_ && Focused();
    if (focused)
        state.Include(odFocused);
    DrawItem(Index, Rect, state);
    if (focused)
        Canvas.DrawFocusRect(Rect);
}

void TKsCustomListBox::Paint()
{
    TCanvas& canvas = *Canvas();
    canvas.Brush.Color = Color();
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(ClientRect());
    const int count = static_cast<int>(list_.size());
    for (int i = topIndex_; i < count; ++i) {
        const TRect r = ItemRect(i);
        if (r.Top >= ClientHeight() || r.Left >= ClientWidth())
            break;
        TCanvasStateScope state(canvas);
        canvas.IntersectClipRect(r);
        DrawState(canvas, i, r);
    }
}

// ---------------------------------------------------------------------------
// Input

void TKsCustomListBox::SelectionChanged()
{
    Click();
}

void TKsCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (CanFocus())
            SetFocus();
        const int index = ItemAtPos({X, Y}, true);
        const bool extending = Shift.Contains(ssShift) && !Shift.Contains(ssCtrl);
        if (DragMode == dmAutomatic && multiSelect_ && index >= 0 &&
            list_[static_cast<std::size_t>(index)].Selected && !extending) {
            // Pressing the selection drags all of it, the selection as it is.
            TCustomControl::MouseDown(Button, Shift, X, Y);
            BeginDrag();
            return;
        }
        if (index >= 0) {
            if (multiSelect_ && (Shift.Contains(ssCtrl) || !ExtendedSelect)) {
                auto& item = list_[static_cast<std::size_t>(index)];
                item.Selected = !item.Selected;
                itemIndex_ = index;
                Invalidate();
                SelectionChanged();
            } else if (multiSelect_ && Shift.Contains(ssShift) && itemIndex_ >= 0) {
                // Shift selects the run from the current item to the pressed one.
                const int from = std::min(itemIndex_, index), to = std::max(itemIndex_, index);
                for (int i = 0; i < static_cast<int>(list_.size()); ++i)
                    list_[static_cast<std::size_t>(i)].Selected = i >= from && i <= to;
                itemIndex_ = index;
                Invalidate();
                SelectionChanged();
            } else if (multiSelect_) {
                for (std::size_t i = 0; i < list_.size(); ++i)
                    list_[i].Selected = static_cast<int>(i) == index;
                itemIndex_ = index;
                Invalidate();
                SelectionChanged();
            } else if (index != itemIndex_) {
                SetItemIndex(index);
                SelectionChanged();
            }
        }
        TCustomControl::MouseDown(Button, Shift, X, Y);
        // Ctrl and Shift extend a multiple selection instead of dragging.
        if (DragMode == dmAutomatic && !(multiSelect_ && (Shift.Contains(ssCtrl) || Shift.Contains(ssShift))))
            BeginDrag();
        return;
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TKsCustomListBox::BeginDrag()
{
    if (OnStartDrag)
        OnStartDrag(this);
}

void TKsCustomListBox::KeyDown(WORD& Key, TShiftState Shift)
{
    const int count = static_cast<int>(list_.size());
    int target = itemIndex_;
    switch (Key) {
    case VK_UP: target = std::max(itemIndex_ - 1, 0); break;
    case VK_DOWN: target = std::min(itemIndex_ + 1, count - 1); break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    default: TCustomControl::KeyDown(Key, Shift); return;
    }
    if (count > 0 && target != itemIndex_) {
        if (multiSelect_)
            for (std::size_t i = 0; i < list_.size(); ++i)
                list_[i].Selected = static_cast<int>(i) == target;
        SetItemIndex(target);
        SelectionChanged();
    }
    Key = 0;
}

void TKsCustomListBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        RecalcExtent();
        Invalidate();
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        break;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TKsCustomListBox::Resize()
{
    TCustomControl::Resize();
    Invalidate();
}

// ---------------------------------------------------------------------------
// TTextListBox

TTextListBox::TTextListBox(TComponent* AOwner) : TKsCustomListBox(AOwner) { SetAutoScroll(true); }

// ---------------------------------------------------------------------------
// TKsCheckListBox

TKsCheckListBox::TKsCheckListBox(TComponent* AOwner)
    : TKsCustomListBox(AOwner), iniLink_(std::make_unique<TIniLink>())
{
    SetStyle(lbOwnerDrawFixed);
    SetAutoScroll(true);
    iniLink_->OnSave = [this](TObject* Sender) { IniSave(Sender); };
    iniLink_->OnLoad = [this](TObject* Sender) { IniLoad(Sender); };
}

TKsCheckListBox::~TKsCheckListBox() { iniLink_->SetStorage(nullptr); }

int TKsCheckListBox::CheckWidth() const { return CheckCellWidth + 2; }

void TKsCheckListBox::ItemInserted(int Index)
{
    states_.insert(states_.begin() + Index, TCheckListBoxItem{});
}

void TKsCheckListBox::ItemDeleted(int Index) { states_.erase(states_.begin() + Index); }

void TKsCheckListBox::ItemsCleared() { states_.clear(); }

void TKsCheckListBox::ItemsExchanged(int Index1, int Index2)
{
    std::swap(states_[static_cast<std::size_t>(Index1)], states_[static_cast<std::size_t>(Index2)]);
}

void TKsCheckListBox::ItemsReordered(const std::vector<int>& Order)
{
    std::vector<TCheckListBoxItem> reordered;
    reordered.reserve(states_.size());
    for (int from : Order)
        reordered.push_back(states_[static_cast<std::size_t>(from)]);
    states_ = std::move(reordered);
}

void TKsCheckListBox::ItemMoved(int CurrentIndex, int NewIndex)
{
    TCheckListBoxItem item = states_[static_cast<std::size_t>(CurrentIndex)];
    states_.erase(states_.begin() + CurrentIndex);
    states_.insert(states_.begin() + NewIndex, item);
}

std::intptr_t TKsCheckListBox::GetItemData(int Index) const
{
    TKsCustomListBox::GetItemData(Index); // index check
    return states_[static_cast<std::size_t>(Index)].Data;
}

void TKsCheckListBox::SetItemData(int Index, std::intptr_t Data)
{
    TKsCustomListBox::SetItemData(Index, Data);
    states_[static_cast<std::size_t>(Index)].Data = Data;
}

TCheckBoxState TKsCheckListBox::GetState(int Index) const
{
    TKsCustomListBox::GetItemData(Index);
    const TCheckBoxState state = states_[static_cast<std::size_t>(Index)].State;
    return checkKind_ == ckRadioButtons && state == cbGrayed ? cbUnchecked : state;
}

void TKsCheckListBox::SetState(int Index, TCheckBoxState Value)
{
    TKsCustomListBox::GetItemData(Index);
    if (checkKind_ == ckRadioButtons && Value == cbGrayed)
        Value = cbUnchecked;
    if (Value == GetState(Index) && !inUpdate_)
        return;
    if (checkKind_ == ckRadioButtons) {
        // A radio list keeps one item checked.
        if (Value == cbUnchecked && GetState(Index) == cbChecked)
            return;
    }
    states_[static_cast<std::size_t>(Index)].State = Value;
    if (checkKind_ == ckRadioButtons && Value == cbChecked)
        for (int i = 0; i < Items().Count(); ++i)
            if (i != Index && states_[static_cast<std::size_t>(i)].State == cbChecked) {
                states_[static_cast<std::size_t>(i)].State = cbUnchecked;
                InvalidateCheck(i);
            }
    InvalidateCheck(Index);
    if (!(ComponentState() & csReading))
        ChangeItemState(Index);
}

bool TKsCheckListBox::GetItemEnabled(int Index) const
{
    TKsCustomListBox::GetItemData(Index);
    return states_[static_cast<std::size_t>(Index)].Enabled;
}

void TKsCheckListBox::SetItemEnabled(int Index, bool Value)
{
    TKsCustomListBox::GetItemData(Index);
    states_[static_cast<std::size_t>(Index)].Enabled = Value;
    Invalidate();
}

void TKsCheckListBox::SetCheckKind(TCheckKind Value)
{
    if (Value == checkKind_)
        return;
    checkKind_ = Value;
    UpdateCheckStates();
    Invalidate();
}

int TKsCheckListBox::CheckedIndex() const
{
    if (checkKind_ != ckRadioButtons)
        return -1;
    for (int i = 0; i < Items().Count(); ++i)
        if (GetState(i) == cbChecked)
            return i;
    return -1;
}

void TKsCheckListBox::SetCheckedIndex(int Value)
{
    if (checkKind_ == ckRadioButtons && Items().Count() > 0)
        SetState(std::min(std::max(Value, 0), Items().Count() - 1), cbChecked);
}

void TKsCheckListBox::UpdateCheckStates()
{
    if (checkKind_ != ckRadioButtons || Items().Count() == 0)
        return;
    inUpdate_ = true;
    try {
        SetState(std::max(CheckedIndex(), 0), cbChecked);
    } catch (...) {
        inUpdate_ = false;
        throw;
    }
    inUpdate_ = false;
}

void TKsCheckListBox::Loaded()
{
    TKsCustomListBox::Loaded();
    UpdateCheckStates();
}

void TKsCheckListBox::ApplyState(TCheckBoxState AState, bool EnabledOnly)
{
    if (checkKind_ == ckRadioButtons)
        return;
    for (int i = 0; i < Items().Count(); ++i)
        if (!EnabledOnly || GetItemEnabled(i))
            SetState(i, AState);
}

void TKsCheckListBox::ToggleItem(int Index)
{
    if (Index < 0 || Index >= Items().Count() || !GetItemEnabled(Index))
        return;
    switch (GetState(Index)) {
    case cbUnchecked: SetState(Index, GrayedAllowed() ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(Index, cbUnchecked); break;
    case cbGrayed: SetState(Index, cbChecked); break;
    }
    ClickCheck();
}

void TKsCheckListBox::ClickCheck()
{
    if (OnClickCheck)
        OnClickCheck(this);
}

void TKsCheckListBox::ChangeItemState(int Index)
{
    if (OnStateChange)
        OnStateChange(this, Index);
}

void TKsCheckListBox::InvalidateCheck(int Index)
{
    if (HandleAllocated()) {
        const TRect r = ItemRect(Index);
        const TRect check = Rect(r.Left, r.Top, r.Left + CheckWidth(), r.Bottom);
        InvalidateRect(&check);
    }
}

int TKsCheckListBox::GetItemHeight() const
{
    if (Style() == lbOwnerDrawVariable || (Style() == lbOwnerDrawFixed && OnDrawItem()))
        return TKsCustomListBox::GetItemHeight();
    TBitmap scratch(1, 1);
    scratch.Canvas().Font.Assign(Font());
    int height = std::max(scratch.Canvas().TextHeight("Wg"), CheckCellHeight);
    if (Style() == lbOwnerDrawFixed)
        height = std::max(height, TKsCustomListBox::GetItemHeight());
    return height;
}

int TKsCheckListBox::GetItemWidth(int Index) { return TKsCustomListBox::GetItemWidth(Index) + CheckWidth(); }

void TKsCheckListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    TCanvas& canvas = *Canvas();
    const TRect checkArea = CheckArea(Rect);
    if (DrawUtils::UseRightToLeftReading(BiDiMode))
        Rect.Right = checkArea.Left;
    else
        Rect.Left = checkArea.Right;
    // The check picture on the list's colour.
    const bool enabled = GetItemEnabled(Index) && Enabled();
    const int cell = static_cast<int>(checkKind_) * CheckColumns + static_cast<int>(GetState(Index)) +
                     (enabled ? 0 : 3);
    TBitmap picture;
    DrawUtils::AssignBitmapCell(KSCtrls::CheckBitmap(), picture, CheckColumns, CheckRows, cell);
    const TColor back = canvas.Brush.Color;
    canvas.Brush.Color = Color();
    canvas.FillRect(checkArea);
    canvas.Brush.Color = back;
    const TColor key =
        static_cast<TColor>(static_cast<std::uint32_t>(picture.TransparentColor()) & ~PaletteRelativeFlag);
    DrawUtils::DrawBitmapTransparent(canvas, checkArea.Left + (checkArea.Width() - picture.Width()) / 2,
                                     checkArea.Top + (checkArea.Height() - picture.Height()) / 2, picture, key);
    if (!GetItemEnabled(Index))
        canvas.Font.SetColor(State.Contains(odSelected) ? clInactiveCaptionText : clGrayText);
    TKsCustomListBox::DrawItem(Index, Rect, State);
}

void TKsCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TKsCustomListBox::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const int index = ItemAtPos({X, Y}, true);
    if (index < 0)
        return;
    const TRect area = CheckArea(ItemRect(index));
    if (X >= area.Left && X < area.Right)
        ToggleItem(index);
}

TRect TKsCheckListBox::CheckArea(const TRect& Item) const
{
    // At the edge the reading starts at.
    if (DrawUtils::UseRightToLeftReading(BiDiMode))
        return ::Rect(Item.Right - CheckWidth(), Item.Top, Item.Right, Item.Bottom);
    return ::Rect(Item.Left, Item.Top, Item.Left + CheckWidth(), Item.Bottom);
}

void TKsCheckListBox::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_SPACE) {
        ToggleItem(ItemIndex());
        Key = 0;
        return;
    }
    TKsCustomListBox::KeyDown(Key, Shift);
}

void TKsCheckListBox::KeyPress(char32_t& Key)
{
    if (Key == '+' || Key == '-') {
        ApplyState(Key == '+' ? cbChecked : cbUnchecked, true);
        ClickCheck();
        Key = 0;
        return;
    }
    if (Key == ' ') {
        Key = 0; // handled with the key-down
        return;
    }
    TKsCustomListBox::KeyPress(Key);
}

void TKsCheckListBox::SaveTo(TObject* IniObject, const std::string& Section)
{
    Apputils::IniEraseSection(IniObject, Section);
    Apputils::IniWriteInteger(IniObject, Section, "Count", Items().Count());
    for (int i = 0; i < Items().Count(); ++i)
        Apputils::IniWriteInteger(IniObject, Section, "Item" + std::to_string(i), static_cast<int>(GetState(i)));
}

void TKsCheckListBox::RestoreFrom(TObject* IniObject, const std::string& Section)
{
    const int count = std::min(Apputils::IniReadInteger(IniObject, Section, "Count", 0), Items().Count());
    for (int i = 0; i < count; ++i) {
        const int value = Apputils::IniReadInteger(IniObject, Section, "Item" + std::to_string(i), 0);
        // A file may hold anything: only the three states count.
        const TCheckBoxState state = value >= cbUnchecked && value <= cbGrayed ? static_cast<TCheckBoxState>(value)
                                                                               : cbUnchecked;
        SetState(i, state);
        // A radio list takes the first item the file checks.
        if (checkKind_ == ckRadioButtons && state == cbChecked)
            break;
    }
}

void TKsCheckListBox::SaveStates(TCustomIniFile& IniFile) { SaveTo(&IniFile, Apputils::GetDefaultSection(this)); }
void TKsCheckListBox::RestoreStates(TCustomIniFile& IniFile)
{
    RestoreFrom(&IniFile, Apputils::GetDefaultSection(this));
}
void TKsCheckListBox::SaveStatesReg(TRegIniFile& IniFile) { SaveTo(&IniFile, Apputils::GetDefaultSection(this)); }
void TKsCheckListBox::RestoreStatesReg(TRegIniFile& IniFile)
{
    RestoreFrom(&IniFile, Apputils::GetDefaultSection(this));
}

TFormPlacement* TKsCheckListBox::IniStorage() const { return iniLink_->Storage(); }

void TKsCheckListBox::SetIniStorage(TFormPlacement* Value) { iniLink_->SetStorage(Value); }

void TKsCheckListBox::IniSave(TObject*)
{
    TObject* ini = iniLink_->IniObject();
    if (!Name().empty() && ini)
        SaveTo(ini, iniLink_->RootSection() + Apputils::GetDefaultSection(this));
}

void TKsCheckListBox::IniLoad(TObject*)
{
    TObject* ini = iniLink_->IniObject();
    if (!Name().empty() && ini)
        RestoreFrom(ini, iniLink_->RootSection() + Apputils::GetDefaultSection(this));
}

// ---------------------------------------------------------------------------
// Form file data

namespace {

// Value tags of the form file's binary encoding.
enum TValueType : std::uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaString = 6,
    vaFalse = 8,
    vaTrue = 9,
    vaLString = 12,
    vaUTF8String = 20,
};

struct StreamedItem {
    std::string Text;
    TCheckBoxState State = cbUnchecked;
    bool Enabled = true;
};

class ValueWriter {
public:
    explicit ValueWriter(TStream& Stream) : stream_(Stream) {}

    void Tag(TValueType Type) { Byte(Type); }
    void String(const std::string& Text)
    {
        if (Text.size() <= 255) {
            Tag(vaString);
            Byte(static_cast<std::uint8_t>(Text.size()));
        } else {
            Tag(vaLString);
            Int32(static_cast<std::int32_t>(Text.size()));
        }
        stream_.WriteBuffer(Text.data(), static_cast<std::int64_t>(Text.size()));
    }
    void Integer(int Value)
    {
        if (Value >= -128 && Value <= 127) {
            Tag(vaInt8);
            Byte(static_cast<std::uint8_t>(Value));
        } else {
            Tag(vaInt32);
            Int32(Value);
        }
    }
    void Boolean(bool Value) { Tag(Value ? vaTrue : vaFalse); }

private:
    void Byte(std::uint8_t Value) { stream_.WriteBuffer(&Value, 1); }
    void Int32(std::int32_t Value)
    {
        std::uint8_t bytes[4];
        rtl::PutLE32(bytes, static_cast<std::uint32_t>(Value));
        stream_.WriteBuffer(bytes, 4);
    }

    TStream& stream_;
};

// Reads values, never more than the stream holds.
class ValueReader {
public:
    explicit ValueReader(TStream& Stream) : stream_(Stream) {}

    TValueType NextTag() { return static_cast<TValueType>(Bytes(1)[0]); }
    // The tag of the next value without taking it.
    TValueType PeekTag()
    {
        const TValueType tag = NextTag();
        stream_.Seek(-1, soFromCurrent);
        return tag;
    }
    void Expect(TValueType Type)
    {
        if (NextTag() != Type)
            Damaged();
    }
    std::string String()
    {
        std::int64_t length;
        switch (NextTag()) {
        case vaString: length = Bytes(1)[0]; break;
        case vaLString:
        case vaUTF8String: length = rtl::GetLE32(Bytes(4).data()); break;
        default: Damaged();
        }
        if (length > stream_.Size() - stream_.Position())
            Damaged();
        const std::vector<std::uint8_t> bytes = Bytes(static_cast<std::size_t>(length));
        return std::string(bytes.begin(), bytes.end());
    }
    int Integer()
    {
        switch (NextTag()) {
        case vaInt8: return static_cast<std::int8_t>(Bytes(1)[0]);
        case vaInt16: return rtl::GetLE16s(Bytes(2).data());
        case vaInt32: return rtl::GetLE32s(Bytes(4).data());
        default: Damaged();
        }
    }
    bool Boolean()
    {
        switch (NextTag()) {
        case vaFalse: return false;
        case vaTrue: return true;
        default: Damaged();
        }
    }

    [[noreturn]] static void Damaged() { throw EReadError("Invalid property value"); }

private:
    std::vector<std::uint8_t> Bytes(std::size_t Count)
    {
        std::vector<std::uint8_t> bytes(Count);
        if (Count > 0 && stream_.Read(bytes.data(), static_cast<std::int64_t>(Count)) !=
                             static_cast<std::int64_t>(Count))
            Damaged();
        return bytes;
    }

    TStream& stream_;
};

TCheckBoxState StateOf(int Value)
{
    if (Value < cbUnchecked || Value > cbGrayed)
        ValueReader::Damaged();
    return static_cast<TCheckBoxState>(Value);
}

std::vector<StreamedItem> ReadItems(TStream& Stream, int Version)
{
    ValueReader reader(Stream);
    reader.Expect(vaList);
    std::vector<StreamedItem> items;
    while (reader.PeekTag() != vaNull) {
        StreamedItem item;
        item.Text = reader.String();
        if (Version >= TKsCheckListBox::InternalVersion) {
            item.State = StateOf(reader.Integer());
            item.Enabled = reader.Boolean();
        } else {
            item.State = reader.Boolean() ? cbChecked : cbUnchecked;
            item.Enabled = reader.Boolean();
            if (Version > 0)
                item.State = StateOf(reader.Integer());
        }
        items.push_back(std::move(item));
    }
    reader.Expect(vaNull);
    return items;
}

} // namespace

void TKsCheckListBox::WriteStrings(TStream& Stream) const
{
    ValueWriter writer(Stream);
    writer.Tag(vaList);
    for (int i = 0; i < Items().Count(); ++i) {
        writer.String(Items().Strings(i));
        writer.Integer(static_cast<int>(GetState(i)));
        writer.Boolean(GetItemEnabled(i));
    }
    writer.Tag(vaNull);
}

void TKsCheckListBox::ReadStrings(TStream& Stream, int Version)
{
    const std::vector<StreamedItem> items = ReadItems(Stream, Version);
    Items().BeginUpdate();
    try {
        Items().Clear();
        for (const StreamedItem& item : items) {
            const int index = Items().Add(item.Text);
            TCheckListBoxItem& record = states_[static_cast<std::size_t>(index)];
            record.State = item.State;
            record.Enabled = item.Enabled;
        }
    } catch (...) {
        Items().EndUpdate();
        throw;
    }
    Items().EndUpdate();
    UpdateCheckStates();
}

bool TKsCheckListBox::StringsStored(const TKsCheckListBox* Ancestor) const
{
    if (!Ancestor)
        return Items().Count() > 0;
    if (Ancestor->Items().Count() != Items().Count())
        return true;
    for (int i = 0; i < Items().Count(); ++i)
        if (rtl::AnsiCompareText(Items().Strings(i), Ancestor->Items().Strings(i)) != 0 ||
            GetState(i) != Ancestor->GetState(i) || GetItemEnabled(i) != Ancestor->GetItemEnabled(i))
            return true;
    return false;
}

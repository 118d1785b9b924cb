#include "widgets/KsListBox.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/CanvasText.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exceptions.h"

IMPLEMENT_CLASS(TKsCustomListBox)
IMPLEMENT_CLASS(TTextListBox)
IMPLEMENT_CLASS(TKsCheckListBox)

namespace {

[[noreturn]] void RaiseListIndex(int Index)
{
    throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

} // namespace

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
            auto at = std::ranges::upper_bound(
                list_, Text, [](const std::string& A, const std::string& B) { return rtl::AnsiCompareText(A, B) < 0; },
                &Item::Text);
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

void TKsCustomListBox::ItemInserted(int) { }
void TKsCustomListBox::ItemDeleted(int) { }
void TKsCustomListBox::ItemsCleared() { }
void TKsCustomListBox::ItemsExchanged(int, int) { }
void TKsCustomListBox::ItemMoved(int, int) { }
void TKsCustomListBox::ItemsReordered(const std::vector<int>&) { }

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
// TTextListBox

TTextListBox::TTextListBox(TComponent* AOwner) : TKsCustomListBox(AOwner) { SetAutoScroll(true); }

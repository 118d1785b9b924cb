// The list box's items, selection and owner drawing.

#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"

TListBox::TListBox(TComponent* AOwner) : TNativeControl(AOwner), items_(std::make_unique<TStringList>())
{
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

TListBox::~TListBox() { items_->OnChange = nullptr; }

TStrings& TListBox::Items() { return *items_; }

void TListBox::Clear() { items_->Clear(); }

void TListBox::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= items_->Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= items_->Count())
        Value = -1;
    itemIndex_ = Value;
    if (!multiSelect_)
        for (size_t i = 0; i < selected_.size(); ++i)
            selected_[i] = static_cast<int>(i) == Value;
    ApplySelection();
}

void TListBox::SetMultiSelect(bool Value)
{
    multiSelect_ = Value;
    ApplySelectionMode();
}

void TListBox::SetExtendedSelect(bool Value)
{
    extendedSelect_ = Value;
    ApplySelectionMode();
}

bool TListBox::Selected(int Index) const
{
    CheckIndex(Index);
    return selected_[static_cast<size_t>(Index)];
}

void TListBox::SetSelected(int Index, bool Value)
{
    CheckIndex(Index);
    if (!multiSelect_)
        return SetItemIndex(Value ? Index : (itemIndex_ == Index ? -1 : itemIndex_));
    selected_[static_cast<size_t>(Index)] = Value;
    ApplySelection();
}

int TListBox::SelCount() const
{
    if (!multiSelect_)
        return -1; // as the platform's list box answers in single selection
    return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TListBox::ItemsChanged()
{
    selected_.assign(static_cast<size_t>(items_->Count()), false);
    drawn_.Forget(items_->Count());
    if (itemIndex_ >= items_->Count())
        itemIndex_ = -1;
    if (itemIndex_ >= 0 && !multiSelect_)
        selected_[static_cast<size_t>(itemIndex_)] = true;
    topIndex_ = std::clamp(topIndex_, 0, std::max(0, items_->Count() - 1));
    NativeWidgetCreated();
}

void TListBox::SetStyle(TListBoxStyle Value)
{
    style_ = Value;
    drawn_.Forget();
    ApplyStyle();
}

void TListBox::SetItemHeight(int Value)
{
    if (Value <= 0)
        return;
    drawn_.ItemHeight = Value;
    drawn_.Forget();
    ApplyStyle();
}

int TListBox::HeightOf(int Index)
{
    return drawn_.HeightOf(Index, style_ == lbOwnerDrawVariable,
                           [this](int i, int& height) { MeasureItem(i, height); });
}

void TListBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

TCanvas* TListBox::Canvas()
{
    drawn_.Canvas.Font.Assign(Font());
    return &drawn_.Canvas;
}

void TListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem)
        return OnDrawItem(this, Index, Rect, State);
    drawn_.Canvas.FillRect(Rect);
    drawn_.Canvas.TextOut(Rect.Left + 2, Rect.Top, items_->Strings(Index));
}

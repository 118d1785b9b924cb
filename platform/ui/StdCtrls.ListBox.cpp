// The list box's items with their data, its selection and owner drawing.

#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Setters.h"
#include "platform/rtl/StringList.h"

// --- the items as strings ---

int TListBoxStrings::Count() const { return static_cast<int>(listBox_->items_.size()); }

std::string TListBoxStrings::Get(int Index) const
{
    listBox_->CheckIndex(Index);
    return listBox_->items_[static_cast<size_t>(Index)].Text;
}

void TListBoxStrings::Put(int Index, const std::string& S) { listBox_->ReplaceText(Index, S); }

TObject* TListBoxStrings::GetObject(int Index) const
{
    return reinterpret_cast<TObject*>(listBox_->GetItemData(Index));
}

void TListBoxStrings::PutObject(int Index, TObject* Object)
{
    listBox_->SetItemData(Index, reinterpret_cast<std::intptr_t>(Object));
}

int TListBoxStrings::Add(const std::string& S) { return listBox_->AddString(S); }

void TListBoxStrings::Insert(int Index, const std::string& S) { listBox_->InsertString(Index, S); }

void TListBoxStrings::Delete(int Index) { listBox_->DeleteString(Index); }

void TListBoxStrings::Clear() { listBox_->ResetContent(); }

void TListBoxStrings::Exchange(int Index1, int Index2) { listBox_->ExchangeItems(Index1, Index2); }

void TListBoxStrings::Move(int CurrentIndex, int NewIndex) { listBox_->MoveItem(CurrentIndex, NewIndex); }

void TListBoxStrings::SetUpdateState(bool Updating) { listBox_->SetUpdating(Updating); }

// --- the list box ---

TCustomListBox::TCustomListBox(TComponent* AOwner) : TNativeControl(AOwner), strings_(this)
{
    // The list selects and clicks by itself; presses reach MouseDown only.
    ControlStyle.Exclude(csCaptureMouse);
    ControlStyle.Exclude(csClickEvents);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() = default;

TStrings& TCustomListBox::Items() { return strings_; }

void TCustomListBox::Clear() { ResetContent(); }

void TCustomListBox::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(items_.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

std::intptr_t TCustomListBox::GetItemData(int Index) const
{
    CheckIndex(Index);
    return items_[static_cast<size_t>(Index)].Data;
}

void TCustomListBox::SetItemData(int Index, std::intptr_t AData)
{
    CheckIndex(Index);
    items_[static_cast<size_t>(Index)].Data = AData;
}

int TCustomListBox::SortedPlace(const std::string& S) const
{
    auto place = std::upper_bound(items_.begin(), items_.end(), S, [](const std::string& s, const Item& item) {
        return rtl::AnsiCompareText(s, item.Text) < 0;
    });
    return static_cast<int>(place - items_.begin());
}

int TCustomListBox::AddString(const std::string& S)
{
    int index = sorted_ ? SortedPlace(S) : static_cast<int>(items_.size());
    InsertString(index, S);
    return index;
}

void TCustomListBox::InsertString(int Index, const std::string& S)
{
    if (Index < 0 || Index > static_cast<int>(items_.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    items_.insert(items_.begin() + Index, Item{S, 0, false});
    if (itemIndex_ >= Index)
        ++itemIndex_;
    ItemsChanged();
}

void TCustomListBox::DeleteString(int Index)
{
    CheckIndex(Index);
    items_.erase(items_.begin() + Index);
    if (itemIndex_ == Index)
        itemIndex_ = -1;
    else if (itemIndex_ > Index)
        --itemIndex_;
    ItemsChanged();
}

void TCustomListBox::ResetContent()
{
    items_.clear();
    itemIndex_ = -1;
    ItemsChanged();
}

void TCustomListBox::ReplaceText(int Index, const std::string& S)
{
    CheckIndex(Index);
    items_[static_cast<size_t>(Index)].Text = S;
    ItemsChanged();
}

void TCustomListBox::MoveItem(int CurrentIndex, int NewIndex)
{
    if (CurrentIndex == NewIndex)
        return;
    CheckIndex(CurrentIndex);
    CheckIndex(NewIndex);
    const bool wasCurrent = itemIndex_ == CurrentIndex;
    Item item = std::move(items_[static_cast<size_t>(CurrentIndex)]);
    items_.erase(items_.begin() + CurrentIndex);
    items_.insert(items_.begin() + NewIndex, std::move(item));
    if (wasCurrent)
        itemIndex_ = NewIndex;
    else if (itemIndex_ > CurrentIndex && itemIndex_ <= NewIndex)
        --itemIndex_;
    else if (itemIndex_ < CurrentIndex && itemIndex_ >= NewIndex)
        ++itemIndex_;
    ItemsChanged();
}

void TCustomListBox::ExchangeItems(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
    if (itemIndex_ == Index1)
        itemIndex_ = Index2;
    else if (itemIndex_ == Index2)
        itemIndex_ = Index1;
    ItemsChanged();
}

void TCustomListBox::SetUpdating(bool Updating)
{
    updating_ += Updating ? 1 : -1;
    if (updating_ == 0)
        ItemsChanged();
}

void TCustomListBox::ItemsChanged()
{
    if (updating_ > 0)
        return;
    drawn_.Forget(static_cast<int>(items_.size()));
    topIndex_ = std::clamp(topIndex_, 0, std::max(0, static_cast<int>(items_.size()) - 1));
    ItemsShownChanged();
}

void TCustomListBox::SetSorted(bool Value)
{
    if (!rtl::AssignIfChanged(sorted_, Value) || !Value)
        return;
    std::vector<size_t> order(items_.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return rtl::AnsiCompareText(items_[a].Text, items_[b].Text) < 0; });
    std::vector<Item> sortedItems;
    sortedItems.reserve(items_.size());
    int current = -1;
    for (size_t place = 0; place < order.size(); ++place) {
        if (static_cast<int>(order[place]) == itemIndex_)
            current = static_cast<int>(place);
        sortedItems.push_back(std::move(items_[order[place]]));
    }
    items_ = std::move(sortedItems);
    itemIndex_ = current;
    ItemsChanged();
}

void TCustomListBox::SetColumns(int Value)
{
    if (rtl::AssignIfChanged(columns_, std::max(0, Value)))
        ApplyStyle();
}

void TCustomListBox::SetTabWidth(int Value)
{
    if (rtl::AssignIfChanged(tabWidth_, std::max(0, Value)))
        ApplyStyle();
}

void TCustomListBox::SetIntegralHeight(bool Value)
{
    if (rtl::AssignIfChanged(integralHeight_, Value))
        SetBounds(Left(), Top(), Width(), Height());
}

void TCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (integralHeight_ && style_ != lbOwnerDrawVariable) {
        const int frame = 2 * 2; // the list's border, above and below
        const int row = std::max(1, HeightForIntegral());
        AHeight = std::max(row, (AHeight - frame) / row * row) + frame;
    }
    TNativeControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (columns_ > 0)
        ApplyStyle(); // the column width follows the width
}

void TCustomListBox::CreateParams(TCreateParams& Params)
{
    TNativeControl::CreateParams(Params);
    Params.Style |= WS_VSCROLL | WS_BORDER;
    if (style_ == lbOwnerDrawFixed)
        Params.Style |= LBS_OWNERDRAWFIXED;
    else if (style_ == lbOwnerDrawVariable)
        Params.Style |= LBS_OWNERDRAWVARIABLE;
    if (sorted_)
        Params.Style |= LBS_SORT;
    if (tabWidth_ > 0)
        Params.Style |= LBS_USETABSTOPS;
    if (columns_ > 0)
        Params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
    if (!integralHeight_)
        Params.Style |= LBS_NOINTEGRALHEIGHT;
    if (multiSelect_)
        Params.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
}

DWORD TCustomListBox::ListStyle() const
{
    TCreateParams params;
    const_cast<TCustomListBox*>(this)->CreateParams(params); // asks the styles only
    return params.Style;
}

void TCustomListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= static_cast<int>(items_.size()))
        Value = -1;
    itemIndex_ = Value;
    if (!multiSelect_)
        for (size_t i = 0; i < items_.size(); ++i)
            items_[i].Selected = static_cast<int>(i) == Value;
    ApplySelection();
}

void TCustomListBox::SetMultiSelect(bool Value)
{
    multiSelect_ = Value;
    ApplySelectionMode();
}

void TCustomListBox::SetExtendedSelect(bool Value)
{
    extendedSelect_ = Value;
    ApplySelectionMode();
}

bool TCustomListBox::Selected(int Index) const
{
    CheckIndex(Index);
    if (!multiSelect_)
        return Index == itemIndex_;
    return items_[static_cast<size_t>(Index)].Selected;
}

void TCustomListBox::SetSelected(int Index, bool Value)
{
    CheckIndex(Index);
    if (!multiSelect_)
        return SetItemIndex(Value ? Index : (itemIndex_ == Index ? -1 : itemIndex_));
    items_[static_cast<size_t>(Index)].Selected = Value;
    ApplySelection();
}

int TCustomListBox::SelCount() const
{
    if (!multiSelect_)
        return -1; // as the platform's list box answers in single selection
    return static_cast<int>(
        std::count_if(items_.begin(), items_.end(), [](const Item& item) { return item.Selected; }));
}

void TCustomListBox::SetStyle(TListBoxStyle Value)
{
    style_ = Value;
    drawn_.Forget();
    ApplyStyle();
}

void TCustomListBox::SetItemHeight(int Value)
{
    if (Value <= 0)
        return;
    drawn_.ItemHeight = Value;
    drawn_.Forget();
    ApplyStyle();
    if (integralHeight_)
        SetBounds(Left(), Top(), Width(), Height());
}

int TCustomListBox::HeightOf(int Index)
{
    return drawn_.HeightOf(Index, style_ == lbOwnerDrawVariable,
                           [this](int i, int& height) { MeasureItem(i, height); });
}

void TCustomListBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

TCanvas* TCustomListBox::Canvas()
{
    if (!drawn_.Drawing()) // while an item is drawn the font has its state's colour
        drawn_.Canvas.Font.Assign(Font());
    return &drawn_.Canvas;
}

void TCustomListBox::DrawItemRequest(int Index, TRect Rect, TOwnerDrawState State) { DrawItem(Index, Rect, State); }

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem)
        return OnDrawItem(this, Index, Rect, State);
    drawn_.Canvas.FillRect(Rect);
    DrawItemText(Index, Rect);
}

void TCustomListBox::DrawItemText(int Index, const TRect& Rect)
{
    TCanvas& canvas = drawn_.Canvas;
    const std::string& text = items_.at(static_cast<size_t>(Index)).Text;
    if (tabWidth_ <= 0 || text.find('\t') == std::string::npos)
        return canvas.TextOut(Rect.Left + 2, Rect.Top, text);
    // Dialog units: a quarter of the average width of the letters.
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const int averageWidth = (canvas.TextWidth(letters) / 26 + 1) / 2;
    const int stop = std::max(1, tabWidth_ * averageWidth / 4);
    int x = 0;
    size_t from = 0;
    for (;;) {
        size_t tab = text.find('\t', from);
        std::string part = text.substr(from, tab == std::string::npos ? std::string::npos : tab - from);
        canvas.TextOut(Rect.Left + 2 + x, Rect.Top, part);
        if (tab == std::string::npos)
            break;
        x = (x + canvas.TextWidth(part)) / stop * stop + stop;
        from = tab + 1;
    }
}

#include "editor/controls/SymbolChkList.h"

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Setters.h"
#include "widgets/KsListBox.h"

IMPLEMENT_CLASS(TCheckListBoxDataWrapper)
IMPLEMENT_CLASS(TSymbolCheckListBox)

namespace {

// The check-box pictures stand in for the system's: 13 x 13 each, in the
// first row of the check bitmap, one 16-pixel cell per state.
constexpr int CheckSymbolSize = 13;
constexpr int CheckCellWidth = 16;

} // namespace

TSymbolCheckListBox::TSymbolCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner) { }

TSymbolCheckListBox::~TSymbolCheckListBox()
{
    TSymbolCheckListBox::ResetContent();
    SetImages(nullptr);
}

void TSymbolCheckListBox::SetImages(TImageList* Value)
{
    if (images_)
        images_->RemoveFreeNotification(this);
    images_ = Value;
    if (images_) {
        images_->FreeNotification(this);
        images_->DrawingStyle = dsTransparent;
    }
    UpdateSymbolSize();
    Invalidate();
}

void TSymbolCheckListBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomListBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_)
        images_ = nullptr;
}

void TSymbolCheckListBox::SetFlat(bool Value)
{
    if (rtl::AssignIfChanged(flat_, Value))
        Invalidate();
}

void TSymbolCheckListBox::UpdateSymbolSize()
{
    if (images_) {
        symbolWidth_ = images_->Width();
        symbolHeight_ = images_->Height();
    } else {
        symbolWidth_ = CheckSymbolSize;
        symbolHeight_ = CheckSymbolSize;
    }
}

// Standard style: a row is as high as the font's text.
void TSymbolCheckListBox::UpdateItemHeight()
{
    if (!HandleAllocated() || Style() != lbStandard)
        return;
    TCanvas* canvas = Canvas();
    itemTextHeight_ = canvas->TextHeight("Wg");
    SetItemHeight(itemTextHeight_);
}

void TSymbolCheckListBox::CreateParams(TCreateParams& Params)
{
    TCustomListBox::CreateParams(Params);
    if ((Params.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) == 0)
        Params.Style |= LBS_OWNERDRAWFIXED;
}

void TSymbolCheckListBox::CreateWnd()
{
    TCustomListBox::CreateWnd();
    UpdateItemHeight();
    UpdateSymbolSize();
}

void TSymbolCheckListBox::Dispatch(TMessage& Message)
{
    TCustomListBox::Dispatch(Message);
    if (Message.Msg == CM_FONTCHANGED)
        UpdateItemHeight();
}

// --- records ---

TCheckListBoxDataWrapper* TSymbolCheckListBox::FindItemState(int Index) const
{
    // The slot holds nothing but records (or 0); a bad index raises EListError.
    auto* object = reinterpret_cast<TObject*>(TCustomListBox::GetItemData(Index));
    return static_cast<TCheckListBoxDataWrapper*>(object);
}

TCheckListBoxDataWrapper* TSymbolCheckListBox::ItemState(int Index)
{
    TCheckListBoxDataWrapper* record = FindItemState(Index);
    if (!record) {
        record = new TCheckListBoxDataWrapper;
        TCustomListBox::SetItemData(Index, reinterpret_cast<std::intptr_t>(static_cast<TObject*>(record)));
    }
    return record;
}

bool TSymbolCheckListBox::HasItemState(int Index) const { return FindItemState(Index) != nullptr; }

std::intptr_t TSymbolCheckListBox::GetItemData(int Index) const
{
    const TCheckListBoxDataWrapper* record = FindItemState(Index);
    return record ? record->Data : 0;
}

void TSymbolCheckListBox::SetItemData(int Index, std::intptr_t AData) { ItemState(Index)->Data = AData; }

void TSymbolCheckListBox::DeleteString(int Index)
{
    delete FindItemState(Index);
    TCustomListBox::SetItemData(Index, 0);
    TCustomListBox::DeleteString(Index);
}

void TSymbolCheckListBox::ResetContent()
{
    for (int i = 0; i < Items().Count(); ++i) {
        delete FindItemState(i);
        TCustomListBox::SetItemData(i, 0);
    }
    TCustomListBox::ResetContent();
}

// --- states ---

TCheckBoxState TSymbolCheckListBox::ItemStateByte(int Index) const
{
    const TCheckListBoxDataWrapper* record = FindItemState(Index);
    return record ? record->State : cbUnchecked;
}

void TSymbolCheckListBox::SetItemStateByte(int Index, TCheckBoxState Value)
{
    if (ItemStateByte(Index) == Value)
        return;
    ItemState(Index)->State = Value;
    InvalidateCheckArea(Index);
}

bool TSymbolCheckListBox::GetChecked(int Index) const { return ItemStateByte(Index) == cbChecked; }

void TSymbolCheckListBox::SetChecked(int Index, bool Value)
{
    if (Value != GetChecked(Index))
        SetItemStateByte(Index, Value ? cbChecked : cbUnchecked);
}

void TSymbolCheckListBox::ToggleItemState(int Index)
{
    if (Index < 0 || Index >= Items().Count())
        return;
    TCheckBoxState next = cbChecked;
    switch (ItemStateByte(Index)) {
    case cbUnchecked: next = AllowGrayed ? cbGrayed : cbChecked; break;
    case cbChecked: next = cbUnchecked; break;
    case cbGrayed: next = cbChecked; break;
    }
    SetItemStateByte(Index, next);
    DoClickCheck();
}

void TSymbolCheckListBox::DoClickCheck()
{
    if (OnClickCheck)
        OnClickCheck(this);
}

// The rows are drawn again at the next paint. Neither measuring the row
// (which lays out every row) nor painting at once: a list filled with
// thousands of states would do both once per item.
void TSymbolCheckListBox::InvalidateCheckArea(int) { Invalidate(); }

// --- input ---

void TSymbolCheckListBox::KeyPress(char32_t& Key)
{
    TCustomListBox::KeyPress(Key);
    if (Key == U' ')
        ToggleItemState(ItemIndex());
}

void TSymbolCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    int index = ItemAtPos({X, Y}, true);
    if (index >= 0 && X - ItemRect(index).Left < CheckBoxWidth())
        ToggleItemState(index);
    TCustomListBox::MouseDown(Button, Shift, X, Y);
}

// --- drawing ---

void TSymbolCheckListBox::MeasureItem(int Index, int& Height)
{
    TCustomListBox::MeasureItem(Index, Height);
    if (images_ && Height < symbolHeight_ + 2)
        Height = symbolHeight_ + 2;
}

// The text and any OnDrawItem start right of the check area.
void TSymbolCheckListBox::DrawItemRequest(int Index, TRect Rect, TOwnerDrawState State)
{
    Rect.Left += CheckBoxWidth();
    TCustomListBox::DrawItemRequest(Index, Rect, State);
}

void TSymbolCheckListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (Index < Items().Count())
        DrawSymbol(::Rect(Rect.Left - CheckBoxWidth(), Rect.Top, Rect.Left, Rect.Bottom), ItemStateByte(Index));
    if (Style() != lbStandard || !OnDrawItem)
        return TCustomListBox::DrawItem(Index, Rect, State);
    // A standard list draws plain text, whatever OnDrawItem would do.
    TDrawItemEvent handler = std::move(OnDrawItem);
    OnDrawItem = nullptr;
    struct Restore {
        TDrawItemEvent& slot;
        TDrawItemEvent& handler;
        ~Restore() { slot = std::move(handler); }
    } restore{OnDrawItem, handler};
    TCustomListBox::DrawItem(Index, Rect, State);
}

void TSymbolCheckListBox::DrawSymbol(const TRect& R, TCheckBoxState State)
{
    const int left = R.Left + (R.Width() - symbolWidth_) / 2;
    const int top = R.Top + (R.Height() - symbolHeight_) / 2;
    TCanvas& canvas = *Canvas();
    if (images_) {
        static constexpr int imageOfState[] = {1, 0, 2}; // unchecked, checked, grayed
        images_->Draw(canvas, left, top, imageOfState[State], true);
        return;
    }
    const int column = static_cast<int>(State);
    canvas.CopyRect(Bounds(left, top, symbolWidth_, symbolHeight_), KSCtrls::CheckBitmap().Canvas(),
                    Bounds(column * CheckCellWidth + 1, 0, CheckSymbolSize, CheckSymbolSize));
}

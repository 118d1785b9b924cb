// The combo box's items, the user's choice and typing, and owner drawing.

#include "platform/ui/StdCtrls.h"

#include "platform/rtl/StringList.h"

TComboBox::TComboBox(TComponent* AOwner) : TNativeControl(AOwner), items_(std::make_unique<TStringList>())
{
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
    SetTabStop(true);
    SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox() { items_->OnChange = nullptr; }

TStrings& TComboBox::Items() { return *items_; }

void TComboBox::SetStyle(TComboBoxStyle Value)
{
    style_ = Value;
    NativeWidgetCreated();
}

void TComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TComboBox::ItemsChanged()
{
    if (itemIndex_ >= items_->Count())
        itemIndex_ = -1;
    drawn_.Forget(items_->Count());
    NativeWidgetCreated();
}

void TComboBox::SetItemHeight(int Value)
{
    if (Value <= 0)
        return;
    drawn_.ItemHeight = Value;
    drawn_.Forget();
    ApplyOwnerDraw();
}

TCanvas* TComboBox::Canvas()
{
    if (!drawn_.Drawing()) // while an item is drawn the font has its state's colour
        drawn_.Canvas.Font.Assign(Font());
    return &drawn_.Canvas;
}

int TComboBox::HeightOf(int Index)
{
    return drawn_.HeightOf(Index, style_ == csOwnerDrawVariable,
                           [this](int i, int& height) { MeasureItem(i, height); });
}

void TComboBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

void TComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem)
        return OnDrawItem(this, Index, Rect, State);
    (void)State;
    drawn_.Canvas.FillRect(Rect);
    if (Index >= 0)
        drawn_.Canvas.TextOut(Rect.Left + 2, Rect.Top, items_->Strings(Index));
}

void TComboBox::UserPicked(int Index)
{
    itemIndex_ = Index;
    pushing_ = true;
    SetText(items_->Strings(Index));
    pushing_ = false;
    Click();
    Change();
}

void TComboBox::UserTyped(const std::string& Text)
{
    if (Text == this->Text())
        return;
    itemIndex_ = items_->IndexOf(Text);
    pushing_ = true;
    SetText(Text);
    pushing_ = false;
    Change();
}

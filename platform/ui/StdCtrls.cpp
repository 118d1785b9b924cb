#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Setters.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Forms.h"

IMPLEMENT_CLASS(TNativeControl)
IMPLEMENT_CLASS(TButtonControl)
IMPLEMENT_CLASS(TButton)
IMPLEMENT_CLASS(TCheckBox)
IMPLEMENT_CLASS(TRadioButton)
IMPLEMENT_CLASS(TCustomEdit)
IMPLEMENT_CLASS(TEdit)
IMPLEMENT_CLASS(TMemo)
IMPLEMENT_CLASS(TGroupBox)
IMPLEMENT_CLASS(TRadioGroup)
IMPLEMENT_CLASS(TCustomListBox)
IMPLEMENT_CLASS(TListBox)
IMPLEMENT_CLASS(TComboBox)
IMPLEMENT_CLASS(TBitBtn)

// --- TNativeControl ---

void TNativeControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DialogCode();
        return;
    }
    if (Message.Msg == CM_TEXTCHANGED)
        ShowCaption();
    TWinControl::Dispatch(Message);
}

// --- buttons ---

TButtonControl::TButtonControl(TComponent* AOwner) : TNativeControl(AOwner) { SetTabStop(true); }

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 75, 25); }

void TButton::Click()
{
    if (ModalResult != mrNone)
        if (TCustomForm* form = ParentForm())
            form->ModalResult = ModalResult;
    TButtonControl::Click();
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::SetState(TCheckBoxState Value)
{
    if (!rtl::AssignIfChanged(state_, Value))
        return;
    NativeWidgetCreated();
    Click();
}

void TCheckBox::Toggle()
{
    switch (state_) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(AllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::SetChecked(bool Value)
{
    if (!rtl::AssignIfChanged(checked_, Value))
        return;
    NativeWidgetCreated();
    if (!Value)
        return;
    if (TWinControl* parent = Parent())
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
                other->SetChecked(false);
    Click();
}

// --- edits ---

TCustomEdit::TCustomEdit(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

TRect TCustomEdit::TextArea() const { return textArea_.IsEmpty() ? ClientRect() : textArea_; }

UINT TCustomEdit::ClipboardMessageOfKey(WORD Key, TShiftState Shift)
{
    const bool ctrl = Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
    const bool shiftOnly = Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
    if ((ctrl && !Shift.Contains(ssShift) && Key == 'V') || (shiftOnly && Key == VK_INSERT))
        return WM_PASTE;
    if ((ctrl && !Shift.Contains(ssShift) && Key == 'X') || (shiftOnly && Key == VK_DELETE))
        return WM_CUT;
    if (ctrl && !Shift.Contains(ssShift) && (Key == 'C' || Key == VK_INSERT))
        return WM_COPY;
    return 0;
}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) { }

namespace {

// The lines of a list joined by CR LF, without a break after the last one.
std::string JoinLines(const TStrings& lines)
{
    std::string text = lines.Text();
    if (text.size() >= 2)
        text.resize(text.size() - 2);
    return text;
}

} // namespace

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner), lines_(std::make_unique<TStringList>())
{
    lines_->OnChange = [this](TObject*) { LinesChanged(); };
    SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() { lines_->OnChange = nullptr; }

TStrings& TMemo::Lines() { return *lines_; }

void TMemo::LinesChanged()
{
    if (syncing_)
        return;
    syncing_ = true;
    SetText(JoinLines(*lines_));
    syncing_ = false;
}

// --- group boxes ---

TGroupBox::TGroupBox(TComponent* AOwner) : TNativeControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    SetBounds(0, 0, 185, 105);
}

TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner), items_(std::make_unique<TStringList>())
{
    ControlStyle.Exclude(csAcceptsControls);
    items_->OnChange = [this](TObject*) { RebuildButtons(); };
}

TRadioGroup::~TRadioGroup() { items_->OnChange = nullptr; }

TStrings& TRadioGroup::Items() { return *items_; }

void TRadioGroup::SetItemIndex(int Value)
{
    Value = std::clamp(Value, -1, static_cast<int>(buttons_.size()) - 1);
    if (Value == itemIndex_)
        return;
    if (Value < 0) {
        updating_ = true;
        buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(false);
        updating_ = false;
        itemIndex_ = -1;
        return;
    }
    buttons_[static_cast<size_t>(Value)]->SetChecked(true); // reports through ButtonClicked
}

void TRadioGroup::SetColumns(int Value)
{
    columns_ = std::clamp(Value, 1, 16);
    ArrangeButtons();
}

void TRadioGroup::ButtonClicked(int Index)
{
    if (updating_ || !buttons_[static_cast<size_t>(Index)]->Checked())
        return;
    itemIndex_ = Index;
    Click();
}

void TRadioGroup::RebuildButtons()
{
    updating_ = true;
    for (TRadioButton* button : buttons_)
        delete button;
    buttons_.clear();
    for (int i = 0; i < items_->Count(); ++i) {
        auto* button = new TRadioButton(this);
        button->SetCaption(items_->Strings(i));
        button->SetParent(this);
        button->OnClick = [this, i](TObject*) { ButtonClicked(i); };
        buttons_.push_back(button);
    }
    if (itemIndex_ >= static_cast<int>(buttons_.size()))
        itemIndex_ = -1;
    if (itemIndex_ >= 0)
        buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(true);
    updating_ = false;
    ArrangeButtons();
}

// The buttons fill the box below its caption, column by column.
void TRadioGroup::ArrangeButtons()
{
    if (buttons_.empty())
        return;
    int count = static_cast<int>(buttons_.size());
    int rows = (count + columns_ - 1) / columns_;
    const int left = 8, top = 16, bottom = 6;
    int columnWidth = std::max(1, (Width() - 2 * left) / columns_);
    int rowHeight = std::max(1, (Height() - top - bottom) / rows);
    for (int i = 0; i < count; ++i)
        buttons_[static_cast<size_t>(i)]->SetBounds(left + (i / rows) * columnWidth, top + (i % rows) * rowHeight,
                                                    columnWidth, std::min(rowHeight, 24));
}

void TRadioGroup::BoundsChanged(const TRect& oldBounds)
{
    TGroupBox::BoundsChanged(oldBounds);
    ArrangeButtons();
}

// --- bitmap button ---

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), glyph_(std::make_unique<TBitmap>()) { }

TBitBtn::~TBitBtn() = default;

void TBitBtn::SetNumGlyphs(int Value)
{
    numGlyphs_ = std::clamp(Value, 1, 4);
    GlyphChanged();
}

void TBitBtn::SetKind(TBitBtnKind Value)
{
    struct KindInfo {
        const char* caption;
        TModalResult result;
    };
    static const KindInfo kinds[] = {
        {"", mrNone},
        {"OK", mrOk},
        {"Abbrechen", mrCancel},
        {"&Hilfe", mrNone},
        {"&Ja", mrYes},
        {"&Nein", mrNo},
        {"&Schließen", mrNone},
        {"Abbrechen", mrAbort},
        {"&Wiederholen", mrRetry},
        {"&Ignorieren", mrIgnore},
        {"&Alle", mrAll},
    };
    kind_ = Value;
    if (Value == bkCustom)
        return;
    SetCaption(kinds[Value].caption);
    ModalResult = kinds[Value].result;
    Default = Value == bkOK || Value == bkYes;
    Cancel = Value == bkCancel || Value == bkNo;
}

void TBitBtn::Click()
{
    // A close button closes its form.
    if (kind_ == bkClose)
        if (TCustomForm* form = ParentForm()) {
            form->Close();
            return;
        }
    TButton::Click();
}

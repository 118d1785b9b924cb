// The combo edit: its button and the button's place, glyph and action, the
// text area beside it, the click key and the input switches.

#include "editor/controls/ComboEdit.h"

#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Forms.h"

IMPLEMENT_CLASS(TEditButton)
IMPLEMENT_CLASS(TCustomComboEdit)
IMPLEMENT_CLASS(TComboEdit)

namespace ComboEdit {

std::unique_ptr<TBitmap> EllipsisGlyph(int ButtonWidth)
{
    const int width = std::max(1, ButtonWidth - 6);
    auto glyph = std::make_unique<TBitmap>(width, 4);
    TCanvas& c = glyph->Canvas();
    c.Brush.Color = clWhite;
    c.FillRect(Rect(0, 0, width, 4));
    const int gap = std::clamp((width - 6) / 2, 1, 3);
    int x = (width - 6 - 2 * gap) / 2;
    c.Brush.Color = clBlack;
    for (int dot = 0; dot < 3; ++dot, x += 2 + gap)
        c.FillRect(Rect(x, 1, x + 2, 3));
    glyph->SetMonochrome(true);
    glyph->SetTransparentColor(clWhite);
    return glyph;
}

// A black arrow pointing down, 7 wide and 4 high, on a see-through ground.
std::unique_ptr<TBitmap> DropDownGlyph()
{
    constexpr int width = 11;
    constexpr int height = 6;
    auto glyph = std::make_unique<TBitmap>(width, height);
    TCanvas& c = glyph->Canvas();
    c.Brush.Color = clWhite;
    c.FillRect(Rect(0, 0, width, height));
    c.Brush.Color = clBlack;
    for (int row = 0; row < 4; ++row)
        c.FillRect(Rect(2 + row, 1 + row, width - 2 - row, 2 + row));
    glyph->SetMonochrome(true);
    glyph->SetTransparentColor(clWhite);
    return glyph;
}

} // namespace ComboEdit

// ---------------------------------------------------------------------------
// TEditButton

TEditButton::TEditButton(TComponent* AOwner, TCustomComboEdit* Edit) : TKsSpeedButton(AOwner), edit_(Edit)
{
    SetParentShowHint(true);
}

// A separating line left of the raised face, and its highlight.
void TEditButton::Paint()
{
    TKsSpeedButton::Paint();
    if (State() == rbsDown)
        return;
    TCanvas& c = *Canvas();
    c.Pen.Color = clBtnFace;
    c.MoveTo(0, 0);
    c.LineTo(0, Height() - 1);
    c.Pen.Color = clBtnHighlight;
    c.MoveTo(1, 1);
    c.LineTo(1, Height() - 2);
}

void TEditButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && edit_->TabStop() && edit_->CanFocus() && !edit_->Focused())
        edit_->SetFocus();
    TKsSpeedButton::MouseDown(Button, Shift, X, Y);
}

// ---------------------------------------------------------------------------
// TCustomComboEdit

TCustomComboEdit::TCustomComboEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    container_ = new TWinControl(this);
    container_->SetParent(this);
    container_->SetBounds(0, 0, ComboEdit::DefaultButtonWidth, 17);
    button_ = new TEditButton(container_, this);
    button_->SetParent(container_);
    button_->SetBounds(0, 0, ComboEdit::DefaultButtonWidth, 17);
    button_->OnClick = [this](TObject*) { RunButtonAction(); };
    SetBounds(Left(), Top(), Width(), 21);
}

TCustomComboEdit::~TCustomComboEdit()
{
    button_->OnClick = nullptr;
    delete container_; // with the button in it
}

TComboEdit::TComboEdit(TComponent* AOwner) : TCustomComboEdit(AOwner) { }

void TCustomComboEdit::SetButtonWidth(int Value)
{
    if (Value == buttonWidth_)
        return;
    container_->SetVisible(Value > 1);
    if (Value >= ClientWidth())
        return;
    buttonWidth_ = Value;
    RecreateGlyph();
    PlaceEditButton();
}

void TCustomComboEdit::SetDirectInput(bool Value)
{
    directInput_ = Value;
    TCustomMaskEdit::SetReadOnly(readOnly_ || !directInput_);
}

void TCustomComboEdit::SetReadOnly(bool Value)
{
    readOnly_ = Value;
    TCustomMaskEdit::SetReadOnly(readOnly_ || !directInput_);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind Value)
{
    if (Value == glyphKind_)
        return;
    glyphKind_ = Value;
    RecreateGlyph();
    if (Value == gkDefault && DefaultGlyph()) {
        const int glyphWidth = DefaultGlyph()->Width() / std::max(1, DefaultNumGlyphs());
        SetButtonWidth(std::max(glyphWidth + 6, buttonWidth_));
    }
}

void TCustomComboEdit::SetGlyph(const TBitmap& Value)
{
    button_->SetGlyph(Value);
    glyphKind_ = gkCustom;
}

void TCustomComboEdit::SetNumGlyphs(int Value)
{
    switch (glyphKind_) {
    case gkDropDown:
    case gkEllipsis: button_->SetNumGlyphs(1); break;
    case gkDefault: button_->SetNumGlyphs(DefaultNumGlyphs()); break;
    default: button_->SetNumGlyphs(Value); break;
    }
}

void TCustomComboEdit::RecreateGlyph()
{
    switch (glyphKind_) {
    case gkDefault:
        if (const TBitmap* glyph = DefaultGlyph()) {
            button_->SetGlyph(*glyph);
            button_->SetNumGlyphs(DefaultNumGlyphs());
        }
        break;
    case gkDropDown:
        button_->SetGlyph(*ComboEdit::DropDownGlyph());
        button_->SetNumGlyphs(1);
        // The arrow button keeps the width of a scroll bar.
        if (buttonWidth_ != ComboEdit::ScrollBarWidth) {
            buttonWidth_ = ComboEdit::ScrollBarWidth;
            PlaceEditButton();
        }
        break;
    case gkEllipsis:
        button_->SetGlyph(*ComboEdit::EllipsisGlyph(buttonWidth_));
        button_->SetNumGlyphs(1);
        break;
    default: break;
    }
}

void TCustomComboEdit::RunButtonAction()
{
    if (!readOnly_)
        ButtonAction();
}

void TCustomComboEdit::ButtonAction()
{
    if (OnButtonClick)
        OnButtonClick(this);
}

// ---------------------------------------------------------------------------
// Size and place

int TCustomComboEdit::MinHeight() const
{
    TBitmap scratch(1, 1);
    TCanvas& canvas = scratch.Canvas();
    const int systemHeight = canvas.TextHeight("0");
    canvas.Font.Assign(&Font());
    constexpr int borderHeight = 1;
    return std::min(systemHeight, canvas.TextHeight("0")) + 4 * borderHeight + 1;
}

void TCustomComboEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomMaskEdit::SetBounds(ALeft, ATop, AWidth, std::max(AHeight, MinHeight()));
    PlaceEditButton();
}

// The button fills the right end of the area inside the frame.
void TCustomComboEdit::PlaceEditButton()
{
    if (!container_)
        return; // still being made
    const int frame = ComboEdit::FrameWidth;
    const int height = std::max(0, Height() - 2 * frame);
    container_->SetBounds(Width() - buttonWidth_ - frame, frame, buttonWidth_, height);
    button_->SetBounds(0, 0, buttonWidth_, height);
    UpdateEditArea();
}

void TCustomComboEdit::UpdateEditArea()
{
    SetTextArea(Rect(0, 0, ClientWidth() - container_->Width() - 2, ClientHeight() + 1));
}

// ---------------------------------------------------------------------------
// Keys, focus, messages

void TCustomComboEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomMaskEdit::KeyDown(Key, Shift);
    if (Key == 0 || buttonWidth_ <= 0 || ShortCut(Key, Shift) != ClickKey)
        return;
    Key = 0;
    RunButtonAction();
}

// Enter, which the dialog did not take as its key, puts nothing into the edit.
void TCustomComboEdit::KeyPress(char32_t& Key)
{
    if (Key == VK_RETURN) {
        Key = 0;
        return;
    }
    TCustomMaskEdit::KeyPress(Key);
}

void TCustomComboEdit::DoEnter()
{
    if (AutoSelect && directInput_ && !ui::GetShiftState().Contains(ssLeft))
        SelectAll();
    TCustomMaskEdit::DoEnter();
}

void TCustomComboEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PASTE:
    case WM_CUT:
        if (!directInput_ || readOnly_)
            return;
        break;
    case CM_ENABLEDCHANGED: button_->SetEnabled(Enabled()); break;
    case CM_FONTCHANGED: UpdateEditArea(); break;
    default: break;
    }
    TCustomMaskEdit::Dispatch(Message);
}

// The colour picker button: its colour and texts, the press on the main
// part or the arrow part, the group of buttons it is down in, and opening
// and closing its popup.

#include "editor/controls/ColorPickerButton.h"

#include "platform/rtl/Setters.h"

IMPLEMENT_CLASS(TColorPickerButton)

TColorPickerButton::TColorPickerButton(TComponent* AOwner)
    : TGraphicControl(AOwner), glyph_(std::make_unique<TKsButtonGlyph>())
{
    // The button clicks itself (only for the main part).
    ControlStyle = {csCaptureMouse, csDoubleClicks};
    SetBounds(0, 0, 45, 22);
    SetColor(clBtnFace);
    SetParentFont(true);
    glyph_->OnChange = [this](TObject*) { Invalidate(); };
    popup_ = new TColorPopup(this);
}

TColorPickerButton::~TColorPickerButton() = default;

void TColorPickerButton::SetSelectionColor(TColor Value)
{
    if (Value == selectionColor_)
        return;
    selectionColor_ = Value;
    Invalidate();
    if (droppedDown_)
        popup_->SelectColorCell(Value);
    if (OnChange)
        OnChange(this);
}

namespace {

// A text or switch of the popup changed: an open popup shows it at once.
template <class Apply> void ChangePopup(TColorPopup& Popup, bool Open, Apply apply)
{
    apply();
    if (Open)
        Popup.PlacePopup();
}

} // namespace

void TColorPickerButton::SetCustomText(const std::string& Value)
{
    ChangePopup(*popup_, droppedDown_, [&] { popup_->SetCustomText(Value); });
}

void TColorPickerButton::SetDefaultText(const std::string& Value)
{
    ChangePopup(*popup_, droppedDown_, [&] { popup_->SetDefaultText(Value); });
}

void TColorPickerButton::SetShowSystemColors(bool Value)
{
    ChangePopup(*popup_, droppedDown_, [&] { popup_->SetShowSystemColors(Value); });
}

void TColorPickerButton::SetIndicatorBorder(TIndicatorBorder Value)
{
    if (rtl::AssignIfChanged(indicatorBorder_, Value))
        Invalidate();
}

void TColorPickerButton::SetFlat(bool Value)
{
    if (rtl::AssignIfChanged(flat_, Value))
        Invalidate();
}

void TColorPickerButton::SetTransparent(bool Value)
{
    if (!rtl::AssignIfChanged(transparent_, Value))
        return;
    if (Value)
        ControlStyle.Exclude(csOpaque);
    else
        ControlStyle.Include(csOpaque);
    Invalidate();
}

void TColorPickerButton::SetGlyph(const TBitmap& Value)
{
    glyph_->SetGlyph(Value);
    // The strip's own count rule allows five images; this button holds four.
    const int w = Value.Width();
    const int h = Value.Height();
    if (h > 0 && w % h == 0)
        glyph_->SetNumGlyphs(w / h <= 4 && w / h > 0 ? w / h : 1);
    Invalidate();
}

void TColorPickerButton::SetNumGlyphs(int Value)
{
    if (Value >= 1 && Value <= 4)
        glyph_->SetNumGlyphs(Value);
    Invalidate();
}

void TColorPickerButton::SetLayout(TButtonLayout Value)
{
    if (rtl::AssignIfChanged(layout_, Value))
        Invalidate();
}

void TColorPickerButton::SetMargin(int Value)
{
    if (rtl::AssignIfChanged(margin_, Value))
        Invalidate();
}

void TColorPickerButton::SetSpacing(int Value)
{
    if (rtl::AssignIfChanged(spacing_, Value))
        Invalidate();
}

void TColorPickerButton::SetDown(bool Value)
{
    if (GroupIndex == 0)
        Value = false;
    if (Value == down_)
        return;
    if (down_ && !Value && !AllowAllUp)
        return;
    down_ = Value;
    state_ = Value ? rbsExclusive : rbsUp;
    Invalidate();
    if (!Value || !Parent())
        return;
    // The other buttons of the group go up and share AllowAllUp.
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        auto* other = dynamic_cast<TColorPickerButton*>(Parent()->Controls(i));
        if (!other || other == this || other->GroupIndex != GroupIndex)
            continue;
        if (other->down_) {
            other->down_ = false;
            other->state_ = rbsUp;
            other->Invalidate();
        }
        other->AllowAllUp = AllowAllUp;
    }
}

void TColorPickerButton::SetDroppedDown(bool Value)
{
    if (Value == droppedDown_)
        return;
    bool allowed = true;
    if (OnDropChanging)
        OnDropChanging(this, allowed);
    if (!allowed)
        return;
    droppedDown_ = Value;
    if (Value) {
        state_ = rbsDown;
        popup_->SelectColorCell(selectionColor_);
        popup_->PlacePopup();
        popup_->SetMouseCapture(true);
    } else {
        state_ = down_ ? rbsExclusive : rbsUp;
        popup_->SetMouseCapture(false);
        popup_->SetVisible(false);
    }
    if (OnDropChanged)
        OnDropChanged(this);
    Invalidate();
}

void TColorPickerButton::DoDefaultSelect()
{
    if (OnDefaultSelect)
        OnDefaultSelect(this);
}

void TColorPickerButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    arrowPressed_ = X > Width() - DropDownWidth;
    if (arrowPressed_) {
        if (!droppedDown_)
            SetDroppedDown(true);
        return;
    }
    if (!down_) {
        state_ = rbsDown;
        Invalidate();
    }
    dragging_ = true;
}

void TColorPickerButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!dragging_)
        return;
    const TKsButtonState pressed = down_ ? rbsExclusive : rbsDown;
    const TKsButtonState released = down_ ? rbsExclusive : rbsUp;
    const TKsButtonState next = Inside(X, Y) ? pressed : released;
    if (next != state_) {
        state_ = next;
        Invalidate();
    }
}

void TColorPickerButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !dragging_)
        return;
    dragging_ = false;
    const bool inside = Inside(X, Y);
    if (inside && GroupIndex != 0)
        SetDown(!down_ || !AllowAllUp ? true : false);
    state_ = down_ ? rbsExclusive : rbsUp;
    Invalidate();
    if (inside)
        Click();
}

void TColorPickerButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        mouseInControl_ = Message.Msg == CM_MOUSEENTER;
        if (flat_)
            Invalidate();
        break;
    case CM_ENABLEDCHANGED:
        state_ = Enabled() ? (down_ ? rbsExclusive : rbsUp) : rbsDisabled;
        Invalidate();
        break;
    case CM_TEXTCHANGED: Invalidate(); break;
    case CM_SYSCOLORCHANGE: glyph_->Invalidate(); break;
    case CM_DIALOGCHAR: {
        char32_t key = static_cast<char32_t>(Message.WParam);
        if (key >= 'a' && key <= 'z')
            key = key - 'a' + 'A';
        const char32_t accel = DrawUtils::AcceleratorOf(Caption());
        if (accel != 0 && accel == key && Enabled() && Visible() && Parent() && Parent()->Showing()) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    }
    default: break;
    }
    TGraphicControl::Dispatch(Message);
}

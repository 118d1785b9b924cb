#include "widgets/KSCtrls.h"

#include <algorithm>

#include "platform/graphics/CanvasText.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Setters.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ImgList.h"
#include "widgets/DrawUtils.h"

namespace {

void ShadeDither(TCanvas& Canvas, const TRect& R)
{
    const TColor face = ColorToRGB(clBtnFace);
    const TColor light = ColorToRGB(clBtnHighlight);
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            Canvas.SetPixels(x, y, ((x + y) & 1) ? light : face);
}

} // namespace

IMPLEMENT_CLASS(TKsSpeedButton)

TKsSpeedButton::TKsSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), glyph_(std::make_unique<TKsButtonGlyph>()), drawImage_(std::make_unique<TBitmap>())
{
    SetBounds(0, 0, 25, 25);
    ControlStyle = {csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable};
    SetParentFont(true);
    SetParentShowHint(false);
    SetShowHint(true);
    glyph_->OnChange = [this](TObject*) { Invalidate(); };
}

TKsSpeedButton::~TKsSpeedButton() = default;

void TKsSpeedButton::SetFlat(bool Value)
{
    if (rtl::AssignIfChanged(flat_, Value))
        Invalidate();
}

void TKsSpeedButton::SetTransparent(bool Value)
{
    if (rtl::AssignIfChanged(transparent_, Value))
        Invalidate();
}

void TKsSpeedButton::SetGrayedInactive(bool Value)
{
    if (rtl::AssignIfChanged(grayedInactive_, Value))
        Invalidate();
}

void TKsSpeedButton::SetWordWrap(bool Value)
{
    if (rtl::AssignIfChanged(glyph_->WordWrap, Value))
        Invalidate();
}

void TKsSpeedButton::SetLayout(TButtonLayout Value)
{
    if (rtl::AssignIfChanged(layout_, Value))
        Invalidate();
}

void TKsSpeedButton::SetSpacing(int Value)
{
    if (rtl::AssignIfChanged(spacing_, Value))
        Invalidate();
}

void TKsSpeedButton::SetMargin(int Value)
{
    if (Value >= -1 && rtl::AssignIfChanged(margin_, Value))
        Invalidate();
}

void TKsSpeedButton::SetStyle(TButtonStyle Value)
{
    if (rtl::AssignIfChanged(style_, Value))
        Invalidate();
}

void TKsSpeedButton::SetAlignment(TAlignment Value)
{
    if (rtl::AssignIfChanged(glyph_->Alignment, Value))
        Invalidate();
}

void TKsSpeedButton::SetGlyph(const TBitmap& Value)
{
    glyph_->SetGlyph(Value);
    Invalidate();
}

void TKsSpeedButton::SetNumGlyphs(int Value)
{
    glyph_->SetNumGlyphs(std::min(Value, 5));
    Invalidate();
}

void TKsSpeedButton::SetGroupIndex(int Value)
{
    groupIndex_ = Value;
    UpdateExclusive();
}

void TKsSpeedButton::SetAllowAllUp(bool Value)
{
    allowAllUp_ = Value;
    UpdateExclusive();
}

void TKsSpeedButton::SetAllowTimer(bool Value)
{
    allowTimer_ = Value;
    if (!Value)
        repeatTimer_.reset();
}

void TKsSpeedButton::SetDown(bool Value)
{
    if (groupIndex_ == 0)
        Value = false;
    if (Value == down_ || (down_ && !allowAllUp_))
        return;
    down_ = Value;
    if (Value) {
        if (state_ == rbsUp)
            Invalidate();
        state_ = rbsExclusive;
    } else {
        state_ = rbsUp;
    }
    Repaint();
    if (Value)
        UpdateExclusive();
    Invalidate();
}

void TKsSpeedButton::UpdateExclusive()
{
    if (groupIndex_ == 0 || !Parent())
        return;
    TMessage message{};
    message.Msg = CM_BUTTONPRESSED;
    message.WParam = static_cast<WPARAM>(groupIndex_);
    message.LParam = reinterpret_cast<LPARAM>(this);
    Parent()->Broadcast(message);
}

void TKsSpeedButton::ButtonPressed(int Group, TKsSpeedButton* Sender)
{
    if (Group != groupIndex_ || Sender == this || !Sender)
        return;
    if (Sender->down_ && down_) {
        down_ = false;
        state_ = rbsUp;
        Repaint();
    }
    allowAllUp_ = Sender->allowAllUp_;
}

void TKsSpeedButton::Click()
{
    if (TCustomForm* form = ParentForm())
        form->ModalResult = ModalResult;
    if (!OnClick && actionLink_ && actionLink_->Execute())
        return;
    TGraphicControl::Click();
}

void TKsSpeedButton::SetAction(TBasicAction* Value)
{
    if (!Value) {
        actionLink_.reset();
        return;
    }
    if (!actionLink_) {
        actionLink_ = std::make_unique<TBasicActionLink>();
        actionLink_->OnChange = [this](TObject* Sender) { ActionChange(Sender, false); };
    }
    actionLink_->SetAction(Value);
    ActionChange(Value, ComponentState() & csLoading);
}

void TKsSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action)
        return;
    if (!CheckDefaults || Caption().empty())
        SetCaption(action->Caption());
    if (!CheckDefaults || Enabled())
        SetEnabled(action->Enabled());
    if (!CheckDefaults || Hint.empty())
        Hint = action->Hint();
    if (!CheckDefaults || Visible())
        SetVisible(action->Visible());
    if (groupIndex_ != 0 && (!CheckDefaults || !down_))
        SetDown(action->Checked());
    TImageList* images = action->ActionList() ? action->ActionList()->Images() : nullptr;
    const int index = action->ImageIndex();
    if (glyph_->Glyph().Empty() && images && index >= 0 && index < images->Count()) {
        TBitmap image(images->Width(), images->Height());
        image.Canvas().Brush.Color = clFuchsia;
        image.Canvas().Brush.Style = bsSolid;
        image.Canvas().FillRect(Rect(0, 0, image.Width(), image.Height()));
        images->Draw(image.Canvas(), 0, 0, index, true);
        image.SetTransparentColor(clFuchsia);
        SetGlyph(image);
    }
}

void TKsSpeedButton::DblClick()
{
    // A double click counts only on a held-down group button.
    if (down_)
        TGraphicControl::DblClick();
}

void TKsSpeedButton::SetDropDownMenu(TPopupMenu* Value)
{
    if (Value == dropDownMenu_)
        return;
    if (dropDownMenu_)
        dropDownMenu_->RemoveFreeNotification(this);
    dropDownMenu_ = Value;
    if (Value)
        Value->FreeNotification(this);
    if (markDropDown_)
        Invalidate();
}

void TKsSpeedButton::SetMarkDropDown(bool Value)
{
    if (rtl::AssignIfChanged(markDropDown_, Value))
        Invalidate();
}

void TKsSpeedButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == dropDownMenu_)
        dropDownMenu_ = nullptr;
}

TPoint TKsSpeedButton::GetDropDownMenuPos() const
{
    if (!dropDownMenu_)
        return {0, 0};
    switch (dropDownMenu_->Alignment) {
    case paLeft: return MenuPosition == dmpBottom ? TPoint{-1, Height()} : TPoint{Width(), -1};
    case paRight: return MenuPosition == dmpBottom ? TPoint{Width() + 1, Height()} : TPoint{-1, -1};
    case paCenter: break;
    }
    return {Width() / 2, Height()};
}

bool TKsSpeedButton::CheckMenuDropDown(const TPoint& Pos, bool Manual)
{
    if ((ComponentState() & csDesigning) || !dropDownMenu_ || !(dropDownMenu_->AutoPopup || Manual))
        return false;
    if (TCustomForm* form = ParentForm())
        form->Perform(WM_CANCELMODE, 0, 0);
    dropDownMenu_->PopupComponent = this;
    const TPoint at = ClientToScreen(Pos);
    dropDownMenu_->Popup(at.X, at.Y);
    return true;
}

bool TKsSpeedButton::CheckBtnMenuDropDown() { return CheckMenuDropDown(GetDropDownMenuPos(), true); }

void TKsSpeedButton::DropClosingPress()
{
    if (!Parent() || !Parent()->HandleAllocated())
        return;
    TMsg next;
    const HWND window = Parent()->Handle();
    if (!ui::PeekMessage(next, window, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_NOREMOVE))
        return;
    if (next.message != WM_LBUTTONDOWN && next.message != WM_LBUTTONDBLCLK)
        return;
    const int x = GET_X_LPARAM(next.lParam) - Left();
    const int y = GET_Y_LPARAM(next.lParam) - Top();
    if (Inside(x, y))
        DrawUtils::KillMessage(window, next.message);
}

void TKsSpeedButton::ButtonClick()
{
    if (menuTracking_ || !Enabled() || (dropDownMenu_ && dropDownMenu_->AutoPopup))
        return;
    if (!down_) {
        state_ = rbsDown;
        Repaint();
    }
    // Long enough for the down look to show.
    Sleep(20);
    if (groupIndex_ == 0) {
        try {
            Click();
        } catch (...) {
            state_ = rbsUp;
            Repaint();
            throw;
        }
        state_ = rbsUp;
        Repaint();
        return;
    }
    state_ = rbsUp;
    SetDown(!down_);
    Click();
}

void TKsSpeedButton::Paint()
{
    if (!Enabled()) {
        state_ = rbsDisabled;
        dragging_ = false;
    } else if (state_ == rbsDisabled) {
        state_ = down_ && groupIndex_ != 0 ? rbsExclusive : rbsUp;
    }
    TKsButtonState paintState = state_;
    if (flat_ && !mouseInControl_ && !(ComponentState() & csDesigning))
        paintState = rbsInactive;

    drawImage_->SetSize(Width(), Height());
    TCanvas& image = drawImage_->Canvas();
    image.Font.Assign(&Font());
    image.Brush.Style = bsSolid;
    image.Brush.Color = clBtnFace;
    TRect paintRect = Rect(0, 0, Width(), Height());
    image.FillRect(paintRect);
    if (transparent_)
        DrawUtils::CopyParentImage(this, image);

    if (paintState != rbsInactive || state_ == rbsExclusive)
        DrawButtonFrame(image, paintRect, state_ == rbsDown || state_ == rbsExclusive, flat_, style_);
    else if (flat_)
        paintRect = gfx::InflateRect(paintRect, -2, -2);

    if (state_ == rbsExclusive && !transparent_ && (!flat_ || paintState == rbsInactive)) {
        TRect shade = paintRect;
        shade = gfx::InflateRect(shade, 1, 1);
        ShadeDither(image, shade);
    }
    if (state_ == rbsDown || state_ == rbsExclusive)
        paintRect = gfx::OffsetRect(paintRect, 1, 1);

    const TKsButtonState glyphState = Enabled() && grayedInactive_ ? paintState : state_;
    PaintGlyph(image, paintRect, glyphState, markDropDown_ && dropDownMenu_);
    Canvas()->Draw(0, 0, *drawImage_);
}

void TKsSpeedButton::PaintGlyph(TCanvas& Canvas, const TRect& ARect, TKsButtonState AState, bool DrawMark)
{
    // Right-to-left reading mirrors the caption's alignment for this drawing.
    const TAlignment own = glyph_->Alignment;
    glyph_->Alignment = DrawUtils::MirroredAlignment(own, BiDiMode);
    const unsigned flags = DrawUtils::UseRightToLeftReading(BiDiMode) ? DT_RTLREADING : 0u;
    try {
        glyph_->Draw(Canvas, ARect, Caption(), layout_, margin_, spacing_, DrawMark, AState, flags);
    } catch (...) {
        glyph_->Alignment = own;
        throw;
    }
    glyph_->Alignment = own;
}

bool TKsSpeedButton::Inside(int X, int Y) const { return X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight(); }

void TKsSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (menuTracking_)
        return;
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Enabled() && !mouseInControl_) {
        mouseInControl_ = true;
        Repaint();
    }
    if (Button != mbLeft || !Enabled())
        return;
    if (!down_) {
        state_ = rbsDown;
        Repaint();
    }
    dragging_ = true;
    menuTracking_ = true;
    try {
        if (CheckMenuDropDown(GetDropDownMenuPos(), false))
            DoMouseUp(Button, X, Y);
        DropClosingPress();
    } catch (...) {
        menuTracking_ = false;
        throw;
    }
    menuTracking_ = false;
    if (allowTimer_) {
        if (!repeatTimer_)
            repeatTimer_ = std::make_unique<TTimer>(nullptr);
        repeatTimer_->SetEnabled(false);
        repeatTimer_->SetInterval(InitPause);
        repeatTimer_->OnTimer = [this](TObject* sender) { TimerExpired(sender); };
        repeatTimer_->SetEnabled(true);
    }
}

void TKsSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!dragging_)
        return;
    TKsButtonState newState = down_ ? rbsExclusive : Inside(X, Y) ? rbsDown : rbsUp;
    if (newState != state_) {
        state_ = newState;
        Repaint();
    }
}

void TKsSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    DoMouseUp(Button, X, Y);
    if (repeatTimer_)
        repeatTimer_->SetEnabled(false);
}

void TKsSpeedButton::DoMouseUp(TMouseButton Button, int X, int Y)
{
    if (Button == mbLeft && dragging_) {
        dragging_ = false;
        const bool inside = Inside(X, Y);
        if (groupIndex_ == 0) {
            state_ = rbsUp;
            mouseInControl_ = false;
            if (inside)
                Repaint();
            else
                Invalidate();
        } else if (inside) {
            SetDown(!down_);
            if (down_)
                Repaint();
        } else {
            if (down_)
                state_ = rbsExclusive;
            Repaint();
        }
        if (inside && !menuTracking_)
            Click();
    }
    UpdateTracking();
}

void TKsSpeedButton::TimerExpired(TObject*)
{
    repeatTimer_->SetInterval(RepeatInterval);
    if (state_ == rbsDown && MouseCapture()) {
        try {
            Click();
        } catch (...) {
            repeatTimer_->SetEnabled(false);
            throw;
        }
    }
}

void TKsSpeedButton::SetHot(bool Value)
{
    if (mouseInControl_ == Value)
        return;
    mouseInControl_ = Value;
    if (flat_) {
        if (Value)
            Repaint();
        else
            Invalidate();
    }
    TNotifyEvent& event = Value ? OnMouseEnter : OnMouseLeave;
    if (event)
        event(this);
}

void TKsSpeedButton::Loaded()
{
    TGraphicControl::Loaded();
    BuildNextStateImage();
}

void TKsSpeedButton::BuildNextStateImage()
{
    // Built now, so the first paint in the new state does not wait for it.
    glyph_->StateImage(!Enabled() ? rbsDisabled : flat_ ? rbsInactive : rbsUp);
}

void TKsSpeedButton::UpdateTracking()
{
    bool hot = false;
    TPoint cursor;
    if (Enabled() && Parent() && ui::GetCursorPos(cursor) && DrawUtils::IsForegroundTask()) {
        TPoint local = Parent()->ScreenToClient(cursor);
        hot = Parent()->ControlAtPos(local, false, true) == this;
    }
    SetHot(hot);
}

void TKsSpeedButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_BUTTONPRESSED:
        ButtonPressed(static_cast<int>(Message.WParam),
                      dynamic_cast<TKsSpeedButton*>(reinterpret_cast<TObject*>(Message.LParam)));
        return;
    case CM_MOUSEENTER:
        TGraphicControl::Dispatch(Message);
        if (Enabled() && !mouseInControl_ && DrawUtils::IsForegroundTask())
            SetHot(true);
        return;
    case CM_MOUSELEAVE:
        TGraphicControl::Dispatch(Message);
        if (Enabled() && mouseInControl_ && !dragging_)
            SetHot(false);
        return;
    case CM_ENABLEDCHANGED:
        TGraphicControl::Dispatch(Message);
        BuildNextStateImage();
        UpdateTracking();
        Repaint();
        return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        TGraphicControl::Dispatch(Message);
        UpdateTracking();
        return;
    case CM_SYSCOLORCHANGE:
        // Generated images carry the old face and shadow colours.
        glyph_->Invalidate();
        Invalidate();
        break;
    case CM_VISIBLECHANGED:
        TGraphicControl::Dispatch(Message);
        if (Visible())
            UpdateTracking();
        return;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
        TGraphicControl::Dispatch(Message);
        Invalidate();
        return;
    case CM_DIALOGCHAR: {
        char32_t accel = DrawUtils::AcceleratorOf(Caption());
        char32_t key = static_cast<char32_t>(Message.WParam);
        if (key >= 'a' && key <= 'z')
            key = key - 'a' + 'A';
        if (Enabled() && accel != 0 && accel == key) {
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

#include "widgets/ShadowLbl.h"

#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/CanvasText.h"
#include "platform/rtl/Setters.h"
#include "platform/ui/Forms.h"
#include "widgets/DrawUtils.h"

IMPLEMENT_CLASS(TKsCustomLabel)
IMPLEMENT_CLASS(TKsLabel)

namespace {

const std::string BlankAppended = " ";

TPoint ShadowOffset(TShadowPosition Position, int Size)
{
    switch (Position) {
    case spLeftTop: return {-Size, -Size};
    case spLeftBottom: return {-Size, Size};
    case spRightBottom: return {Size, Size};
    case spRightTop: break;
    }
    return {Size, -Size};
}

unsigned AlignmentFlag(TAlignment Alignment)
{
    switch (Alignment) {
    case taLeftJustify: return DT_LEFT;
    case taRightJustify: return DT_RIGHT;
    case taCenter: break;
    }
    return DT_CENTER;
}

} // namespace

namespace KSCtrls {

int DrawShadowText(TCanvas& DC, const std::string& Text, TRect& Rect, unsigned Format, int ShadowSize,
                   TColor ShadowColor, TShadowPosition ShadowPos)
{
    const TPoint offset = ShadowOffset(ShadowPos, ShadowSize);
    TRect shadow = gfx::OffsetRect(Rect, offset.X, offset.Y);
    const TColor textColor = DC.Font.Color();
    DC.Font.SetColor(ShadowColor);
    const int height = gfx::DrawText(DC, Text, shadow, Format);
    DC.Font.SetColor(textColor);
    gfx::DrawText(DC, Text, Rect, Format);
    Rect = gfx::UnionRect(Rect, shadow);
    return ShadowSize > 0 ? height + ShadowSize : height;
}

} // namespace KSCtrls

TKsCustomLabel::TKsCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle.Include(csOpaque).Include(csReplicatable);
    SetBounds(0, 0, 65, 17);
}

void TKsCustomLabel::ResizeAndRepaint()
{
    AdjustBounds();
    Invalidate();
}

void TKsCustomLabel::SetFocusControl(TWinControl* Value)
{
    if (focusControl_ == Value)
        return;
    if (focusControl_)
        focusControl_->RemoveFreeNotification(this);
    focusControl_ = Value;
    if (Value)
        Value->FreeNotification(this);
    if (showFocus_)
        Invalidate();
}

void TKsCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == focusControl_)
        focusControl_ = nullptr;
}

void TKsCustomLabel::SetAlignment(TAlignment Value)
{
    if (rtl::AssignIfChanged(alignment_, Value))
        Invalidate();
}

void TKsCustomLabel::SetAutoSize(bool Value)
{
    if (rtl::AssignIfChanged(autoSize_, Value))
        AdjustBounds();
}

void TKsCustomLabel::SetLayout(TTextLayout Value)
{
    if (rtl::AssignIfChanged(layout_, Value))
        Invalidate();
}

void TKsCustomLabel::SetShadowColor(TColor Value)
{
    if (rtl::AssignIfChanged(shadowColor_, Value))
        Invalidate();
}

void TKsCustomLabel::SetShadowSize(std::uint8_t Value)
{
    if (rtl::AssignIfChanged(shadowSize_, Value))
        ResizeAndRepaint();
}

void TKsCustomLabel::SetShadowPos(TShadowPosition Value)
{
    if (rtl::AssignIfChanged(shadowPos_, Value))
        Invalidate();
}

void TKsCustomLabel::SetWordWrap(bool Value)
{
    if (rtl::AssignIfChanged(wordWrap_, Value))
        AdjustBounds();
}

void TKsCustomLabel::SetShowAccelChar(bool Value)
{
    if (rtl::AssignIfChanged(showAccelChar_, Value))
        Invalidate();
}

void TKsCustomLabel::SetShowFocus(bool Value)
{
    if (rtl::AssignIfChanged(showFocus_, Value))
        Invalidate();
}

void TKsCustomLabel::SetTransparent(bool Value)
{
    if (Value == Transparent())
        return;
    if (Value)
        ControlStyle.Exclude(csOpaque);
    else
        ControlStyle.Include(csOpaque);
    Invalidate();
}

void TKsCustomLabel::SetLeftMargin(int Value)
{
    if (rtl::AssignIfChanged(leftMargin_, std::max(Value, 0)))
        ResizeAndRepaint();
}

void TKsCustomLabel::SetRightMargin(int Value)
{
    if (rtl::AssignIfChanged(rightMargin_, std::max(Value, 0)))
        ResizeAndRepaint();
}

void TKsCustomLabel::DrawCaption(TCanvas& Canvas, TRect& Rect, unsigned Flags)
{
    std::string caption = GetLabelCaption();
    if ((Flags & DT_CALCRECT) && (caption.empty() || (showAccelChar_ && caption == "&")))
        caption += BlankAppended; // measures one line
    if (!showAccelChar_)
        Flags |= DT_NOPREFIX;
    Flags = DrawUtils::DrawTextBiDiModeFlags(BiDiMode, Flags);
    Canvas.Font.Assign(Font());
    Canvas.Font.SetColor(GetDefaultFontColor());
    TShadowPosition position = shadowPos_;
    int size = shadowSize_;
    TColor shadow = shadowColor_;
    if (!Enabled()) {
        Canvas.Font.SetColor(clGrayText);
        shadow = clBtnHighlight;
        if (size == 0) {
            // The engraved look of disabled text.
            position = spRightBottom;
            size = 1;
        }
    }
    KSCtrls::DrawShadowText(Canvas, caption, Rect, Flags, size, ColorToRGB(shadow), position);
}

void TKsCustomLabel::DoDrawText(TRect& Rect, unsigned Flags) { DrawCaption(*Canvas(), Rect, Flags); }

bool TKsCustomLabel::FocusShown() const
{
    return showFocus_ && focusControl_ && focusControl_->Focused() && !(ComponentState() & csDesigning);
}

void TKsCustomLabel::Paint()
{
    if (!Enabled() && !(ComponentState() & csDesigning))
        dragging_ = false;
    TCanvas& canvas = *Canvas();
    if (!Transparent()) {
        canvas.Brush.Color = Color();
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(ClientRect());
    }
    canvas.Brush.Style = bsClear;
    TRect text = ClientRect();
    text.Left += leftMargin_ + 1;
    text.Right -= rightMargin_ + 1;
    const unsigned flags = (wordWrap_ ? DT_WORDBREAK : 0u) | DT_EXPANDTABS | AlignmentFlag(alignment_);
    if (layout_ != tlTop) {
        TRect measured = text;
        DoDrawText(measured, flags | DT_CALCRECT);
        const int free = Height() - measured.Bottom;
        text = gfx::OffsetRect(text, 0, layout_ == tlBottom ? free : free / 2);
    }
    DoDrawText(text, flags);
    if (FocusShown()) {
        text = gfx::InflateRect(text, 1, 0);
        canvas.Brush.Color = Color();
        canvas.Brush.Style = bsSolid;
        canvas.DrawFocusRect(text);
    }
}

void TKsCustomLabel::AdjustBounds()
{
    if (!autoSize_ || (ComponentState() & csLoading))
        return;
    // Measured on a canvas of its own: the label may not be on a window yet.
    TBitmap screen(1, 1);
    TRect r = ClientRect();
    r.Left += leftMargin_ + 1;
    r.Right -= rightMargin_ + 1;
    if (!wordWrap_)
        r.Right = r.Left + 0x7FFF;
    DrawCaption(screen.Canvas(), r, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0u));
    r.Right += rightMargin_ + 1;
    int x = Left();
    if (DrawUtils::MirroredAlignment(alignment_, BiDiMode) == taRightJustify)
        x += Width() - r.Right;
    SetBounds(x, Top(), r.Right, r.Bottom);
}

void TKsCustomLabel::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED: ResizeAndRepaint(); break;
    case CM_DIALOGCHAR:
        if (focusControl_ && Enabled() && showAccelChar_) {
            const char32_t accel = DrawUtils::AcceleratorOf(GetLabelCaption());
            if (accel != 0 && accel == DrawUtils::UpperAscii(static_cast<char32_t>(Message.WParam))) {
                if (focusControl_->CanFocus())
                    focusControl_->SetFocus();
                Message.Result = 1;
                return;
            }
        }
        break;
    case CM_MOUSEENTER:
        if (Enabled() && !mouseInControl_ && DrawUtils::IsForegroundTask())
            SetHot(true);
        break;
    case CM_MOUSELEAVE:
        if (mouseInControl_ && Enabled() && !dragging_)
            SetHot(false);
        break;
    case CM_ENABLEDCHANGED:
        TGraphicControl::Dispatch(Message);
        UpdateTracking();
        return;
    case CM_VISIBLECHANGED:
        TGraphicControl::Dispatch(Message);
        if (Visible())
            UpdateTracking();
        return;
    default: break;
    }
    TGraphicControl::Dispatch(Message);
}

void TKsCustomLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Enabled())
        dragging_ = true;
    else if (Button == mbRight)
        UpdateTracking();
}

void TKsCustomLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    dragging_ = false;
    UpdateTracking();
}

void TKsCustomLabel::SetHot(bool Value)
{
    mouseInControl_ = Value;
    const TNotifyEvent& handler = Value ? OnMouseEnter : OnMouseLeave;
    if (handler)
        handler(this);
}

void TKsCustomLabel::UpdateTracking()
{
    bool hot = false;
    TPoint cursor;
    if (Enabled() && Parent() && ui::GetCursorPos(cursor) && DrawUtils::IsForegroundTask())
        hot = Parent()->ControlAtPos(Parent()->ScreenToClient(cursor), false, true) == this;
    if (hot != mouseInControl_)
        SetHot(hot);
}

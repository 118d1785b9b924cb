#include "platform/ui/StdLabel.h"

#include "platform/graphics/CanvasText.h"

#include <cctype>

IMPLEMENT_CLASS(TCustomLabel)
IMPLEMENT_CLASS(TLabel)

namespace {

const std::string BlankLine = " ";

// The letter after the first single "&" of a caption, upper-cased (0: none).
char32_t AcceleratorOf(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return static_cast<char32_t>(std::toupper(static_cast<unsigned char>(text[i + 1])));
        ++i;
    }
    return 0;
}

char32_t UpperAscii(char32_t c) { return c < 128 ? static_cast<char32_t>(std::toupper(static_cast<int>(c))) : c; }

} // namespace

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle = ControlStyle + TControlStyle{csOpaque, csReplicatable};
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment Value)
{
    alignment_ = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value)
{
    layout_ = Value;
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value)
{
    if (Value)
        ControlStyle.Exclude(csOpaque);
    else
        ControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value)
{
    wordWrap_ = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value)
{
    autoSize_ = Value;
    AdjustBounds();
}

void TCustomLabel::SetShowAccelChar(bool Value)
{
    showAccelChar_ = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value)
{
    focusControl_ = Value;
    if (Value)
        FreeNotification(Value);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == focusControl_)
        focusControl_ = nullptr;
}

void TCustomLabel::DoDrawText(TRect& Rect, unsigned Flags)
{
    const std::string caption = LabelText();
    // An empty label still measures one line high.
    bool blank = caption.empty() || (showAccelChar_ && caption == "&");
    const std::string& text = (Flags & DT_CALCRECT) && blank ? BlankLine : caption;
    if (!showAccelChar_)
        Flags |= DT_NOPREFIX;
    TCanvas& c = *Canvas();
    c.Font.Assign(Font());
    if (!Enabled() && !(Flags & DT_CALCRECT)) {
        // Disabled text: a highlight copy one pixel down-right under a shadow copy.
        TRect shifted = gfx::OffsetRect(Rect, 1, 1);
        c.Font.SetColor(clBtnHighlight);
        gfx::DrawText(c, text, shifted, Flags);
        c.Font.SetColor(clBtnShadow);
    }
    gfx::DrawText(c, text, Rect, Flags);
}

void TCustomLabel::Paint()
{
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    if (!Transparent()) {
        c.Brush.Color = Color();
        c.Brush.Style = bsSolid;
        c.FillRect(r);
    }
    c.Brush.Style = bsClear;
    unsigned flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) |
        (alignment_ == taCenter             ? DT_CENTER
             : alignment_ == taRightJustify ? DT_RIGHT
                                            : DT_LEFT);
    if (layout_ != tlTop) {
        // Vertical placement from the measured text height.
        TRect measured = r;
        DoDrawText(measured, flags | DT_CALCRECT);
        int offset = r.Height() - measured.Height();
        r.Top += layout_ == tlCenter ? offset / 2 : offset;
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds()
{
    if (!autoSize_ || (ComponentState() & csLoading))
        return;
    TRect r = ClientRect();
    if (!wordWrap_)
        r.Right = r.Left + 0x7FFF;
    unsigned flags = DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0);
    DoDrawText(r, flags);
    int x = Left();
    // A right-aligned label keeps its right edge, a centred one its centre.
    if (alignment_ == taRightJustify)
        x += Width() - r.Width();
    else if (alignment_ == taCenter)
        x += (Width() - r.Width()) / 2;
    SetBounds(x, Top(), r.Width(), r.Height());
}

void TCustomLabel::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        Invalidate();
        break;
    case CM_DIALOGCHAR:
        if (focusControl_ && Enabled() && showAccelChar_ && focusControl_->CanFocus()) {
            // Alt plus the underlined letter moves the focus to FocusControl.
            char32_t accel = AcceleratorOf(Caption());
            if (accel != 0 && accel == UpperAscii(static_cast<char32_t>(Message.WParam))) {
                focusControl_->SetFocus();
                Message.Result = 1;
            }
        }
        return;
    default: break;
    }
    TGraphicControl::Dispatch(Message);
}

TLabel::TLabel(TComponent* AOwner) : TCustomLabel(AOwner) { }

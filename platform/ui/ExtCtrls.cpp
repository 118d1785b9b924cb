#include "platform/ui/ExtCtrls.h"

#include <algorithm>

#include "platform/graphics/CanvasText.h"
#include "platform/graphics/Graphic.h"
#include "platform/rtl/Setters.h"
#include "platform/ui/HiddenWindows.h"

IMPLEMENT_CLASS(TCustomPanel)
IMPLEMENT_CLASS(TPanel)
IMPLEMENT_CLASS(TBevel)
IMPLEMENT_CLASS(TPaintBox)
IMPLEMENT_CLASS(TImage)
IMPLEMENT_CLASS(TShape)
IMPLEMENT_CLASS(TTimer)

namespace ExtCtrls {

void Frame3D(TCanvas& Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    Canvas.Pen.Width = 1;
    Canvas.Pen.Style = psSolid;
    Canvas.Pen.Mode = pmCopy;
    for (int i = 0; i < Width && !Rect.IsEmpty(); ++i) {
        int right = Rect.Right - 1, bottom = Rect.Bottom - 1;
        Canvas.Pen.Color = TopColor;
        Canvas.Polyline({{Rect.Left, bottom}, {Rect.Left, Rect.Top}, {right, Rect.Top}});
        Canvas.Pen.Color = BottomColor;
        Canvas.Polyline({{right, Rect.Top}, {right, bottom}, {Rect.Left - 1, bottom}});
        Rect = gfx::InflateRect(Rect, -1, -1);
    }
}

} // namespace ExtCtrls

namespace {

int BevelDepth(TPanelBevel bevel, int width) { return bevel == bvNone ? 0 : width; }

} // namespace

// ---------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                 csOpaque,          csDoubleClicks, csReplicatable};
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

int TCustomPanel::EdgeWidth() const
{
    return (borderStyle_ == bsSingle ? 1 : 0) + BevelDepth(bevelOuter_, bevelWidth_) + borderWidth_ +
        BevelDepth(bevelInner_, bevelWidth_);
}

TRect TCustomPanel::AlignRect() const { return gfx::InflateRect(ClientRect(), -EdgeWidth(), -EdgeWidth()); }

void TCustomPanel::Changed()
{
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value)
{
    bevelInner_ = Value;
    Changed();
}
void TCustomPanel::SetBevelOuter(TPanelBevel Value)
{
    bevelOuter_ = Value;
    Changed();
}
void TCustomPanel::SetBevelWidth(int Value)
{
    bevelWidth_ = std::max(Value, 1);
    Changed();
}
void TCustomPanel::SetBorderWidth(int Value)
{
    borderWidth_ = std::max(Value, 0);
    Changed();
}
void TCustomPanel::SetBorderStyle(TBorderStyle Value)
{
    borderStyle_ = Value;
    Changed();
}
void TCustomPanel::SetAlignment(TAlignment Value)
{
    alignment_ = Value;
    Invalidate();
}

void TCustomPanel::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED)
        Invalidate();
    TCustomControl::Dispatch(Message);
}

void TCustomPanel::Paint()
{
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    if (borderStyle_ == bsSingle)
        ExtCtrls::Frame3D(c, r, clWindowFrame, clWindowFrame, 1);
    auto bevel = [&](TPanelBevel b) {
        if (b == bvNone)
            return;
        bool lowered = b == bvLowered;
        TColor top = b == bvSpace ? Color() : (lowered ? clBtnShadow : clBtnHighlight);
        TColor bottom = b == bvSpace ? Color() : (lowered ? clBtnHighlight : clBtnShadow);
        ExtCtrls::Frame3D(c, r, top, bottom, bevelWidth_);
    };
    bevel(bevelOuter_);
    ExtCtrls::Frame3D(c, r, Color(), Color(), borderWidth_);
    bevel(bevelInner_);
    c.Brush.Color = Color();
    c.Brush.Style = bsSolid;
    c.FillRect(r);
    if (!ShowCaption || Caption().empty())
        return;
    c.Brush.Style = bsClear;
    c.Font.Assign(Font());
    unsigned flags = DT_VCENTER | DT_SINGLELINE |
        (alignment_ == taCenter             ? DT_CENTER
             : alignment_ == taRightJustify ? DT_RIGHT
                                            : DT_LEFT);
    gfx::DrawText(c, Caption(), r, flags);
}

TPanel::TPanel(TComponent* AOwner) : TCustomPanel(AOwner) { }

// ---------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value)
{
    shape_ = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value)
{
    style_ = Value;
    Invalidate();
}

void TBevel::Paint()
{
    TCanvas& c = *Canvas();
    TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
    int w = Width(), h = Height();
    auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
        c.Pen.Color = color;
        c.Pen.Width = 1;
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
    };
    TRect r = ClientRect();
    switch (shape_) {
    case bsBox: ExtCtrls::Frame3D(c, r, first, second, 1); break;
    case bsFrame: {
        TRect outer = r;
        ExtCtrls::Frame3D(c, outer, first, second, 1);
        TRect inner = gfx::InflateRect(r, -1, -1);
        ExtCtrls::Frame3D(c, inner, second, first, 1);
        break;
    }
    case bsTopLine:
        line(first, 0, 0, w, 0);
        line(second, 0, 1, w, 1);
        break;
    case bsBottomLine:
        line(first, 0, h - 2, w, h - 2);
        line(second, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        line(first, 0, 0, 0, h);
        line(second, 1, 0, 1, h);
        break;
    case bsRightLine:
        line(first, w - 2, 0, w - 2, h);
        line(second, w - 1, 0, w - 1, h);
        break;
    case bsSpacer: break;
    }
}

// ---------------------------------------------------------------------------
// TPaintBox

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

// ---------------------------------------------------------------------------
// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>())
{
    ControlStyle.Include(csReplicatable);
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::SetStretch(bool Value)
{
    stretch_ = Value;
    Invalidate();
}
void TImage::SetCenter(bool Value)
{
    center_ = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value)
{
    transparent_ = Value;
    if (TGraphic* g = picture_->Graphic())
        g->SetTransparent(Value);
    Invalidate();
}

void TImage::SetAutoSize(bool Value)
{
    autoSize_ = Value;
    PictureChanged();
}

void TImage::PictureChanged()
{
    TGraphic* g = picture_->Graphic();
    if (g && transparent_ && !g->Transparent())
        g->SetTransparent(true);
    if (autoSize_ && g && !g->Empty())
        SetBounds(Left(), Top(), g->Width(), g->Height());
    Invalidate();
}

TRect TImage::DestRect() const
{
    const TGraphic* g = picture_->Graphic();
    int w = g ? g->Width() : 0, h = g ? g->Height() : 0;
    if (stretch_)
        return ClientRect();
    if (center_)
        return Bounds((Width() - w) / 2, (Height() - h) / 2, w, h);
    return Bounds(0, 0, w, h);
}

void TImage::Paint()
{
    TGraphic* g = picture_->Graphic();
    if (!g || g->Empty())
        return;
    TCanvas& c = *Canvas();
    g->Draw(c, DestRect());
}

// ---------------------------------------------------------------------------
// TShape

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 65, 65);
}

void TShape::SetShape(TShapeType Value)
{
    shape_ = Value;
    Invalidate();
}

void TShape::SetPen(const TPen& Value)
{
    Pen = Value;
    Invalidate();
}

void TShape::SetBrush(const TBrush& Value)
{
    Brush = Value;
    Invalidate();
}

void TShape::Paint()
{
    TCanvas& c = *Canvas();
    c.Pen = Pen;
    c.Brush = Brush;
    int half = Pen.Width / 2;
    int x = half, y = half;
    int w = Width() - Pen.Width + 1, h = Height() - Pen.Width + 1;
    if (Pen.Width == 0) {
        --w;
        --h;
    }
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        int side = std::min(w, h);
        x += (w - side) / 2;
        y += (h - side) / 2;
        w = h = side;
    }
    switch (shape_) {
    case stRectangle:
    case stSquare: c.Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: c.RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4); break;
    case stEllipse:
    case stCircle: c.Ellipse(x, y, x + w, y + h); break;
    }
}

// ---------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    window_ = ui::AllocateHWnd([this](TMessage& m) { WndProc(m); });
    UpdateTimer();
}

TTimer::~TTimer()
{
    Destroying();
    ui::DeallocateHWnd(window_);
}

void TTimer::WndProc(TMessage& Message)
{
    if (Message.Msg != WM_TIMER) {
        Message.Result = ui::DefWindowProc(window_, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    try {
        Timer();
    } catch (...) {
        ui::HandleException(this);
    }
}

void TTimer::UpdateTimer()
{
    ui::KillTimer(window_, 1);
    if (enabled_ && interval_ != 0)
        ui::SetTimer(window_, 1, interval_);
}

void TTimer::SetEnabled(bool Value)
{
    if (rtl::AssignIfChanged(enabled_, Value))
        UpdateTimer();
}

void TTimer::SetInterval(unsigned Value)
{
    if (rtl::AssignIfChanged(interval_, Value))
        UpdateTimer();
}

void TTimer::Timer()
{
    if (OnTimer)
        OnTimer(this);
}

// The diagonal spin button: its two halves, the three faces it draws once,
// and the press with auto-repeat.

#include <cmath>

#include "platform/graphics/Bitmap.h"
#include "widgets/DrawUtils.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(TKsSpinButton)

namespace {

constexpr int GlyphSize = 6;
constexpr unsigned FirstRepeat = 400;
constexpr unsigned NextRepeats = 100;

// The default arrows: a black triangle on white, 6 by 6, white see-through.
std::unique_ptr<TBitmap> DefaultGlyph(bool Up)
{
    auto glyph = std::make_unique<TBitmap>(GlyphSize, GlyphSize);
    TCanvas& c = glyph->Canvas();
    c.Brush.Color = clWhite;
    c.FillRect(Rect(0, 0, GlyphSize, GlyphSize));
    c.Brush.Color = clBlack;
    for (int row = 0; row < 3; ++row) {
        int half = Up ? row : 2 - row;
        c.FillRect(Rect(2 - half, 1 + row, 4 + half, 2 + row));
    }
    glyph->SetMonochrome(true);
    glyph->SetTransparentColor(clWhite);
    return glyph;
}

int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

void Line(TCanvas& c, TColor colour, std::initializer_list<TPoint> points)
{
    c.Pen.Color = colour;
    c.Polyline(std::vector<TPoint>(points));
}

} // namespace

TKsSpinButton::TKsSpinButton(TComponent* AOwner)
    : TGraphicControl(AOwner), upGlyph_(DefaultGlyph(true)), downGlyph_(DefaultGlyph(false))
{
    for (auto& face : faces_)
        face = std::make_unique<TBitmap>();
    SetBounds(0, 0, 20, 20);
}

TKsSpinButton::~TKsSpinButton()
{
    if (repeatTimer_)
        repeatTimer_->OnTimer = nullptr;
    SetFocusControl(nullptr);
}

void TKsSpinButton::SetUpGlyph(const TBitmap& Value)
{
    upGlyph_ = Value.Empty() ? DefaultGlyph(true) : std::make_unique<TBitmap>();
    if (!Value.Empty())
        upGlyph_->Assign(&Value);
    glyphChanged_ = true;
    Invalidate();
}

void TKsSpinButton::SetDownGlyph(const TBitmap& Value)
{
    downGlyph_ = Value.Empty() ? DefaultGlyph(false) : std::make_unique<TBitmap>();
    if (!Value.Empty())
        downGlyph_->Assign(&Value);
    glyphChanged_ = true;
    Invalidate();
}

void TKsSpinButton::SetFocusControl(TWinControl* Value)
{
    if (focusControl_)
        focusControl_->RemoveFreeNotification(this);
    focusControl_ = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TKsSpinButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == focusControl_)
        focusControl_ = nullptr;
}

// The line from (0, Height) to (Width, 0) parts the halves; on it is up.
TSpinPressState TKsSpinButton::HalfAt(int X, int Y) const
{
    const double h = Height(), w = Width();
    return Y > h - (h / std::max(1.0, w)) * X ? psBottom : psTop;
}

// --- faces ---

void TKsSpinButton::DrawFace(TBitmap& Face, TSpinPressState State)
{
    const int W = Width(), H = Height();
    Face.SetSize(W, H);
    TCanvas& c = Face.Canvas();
    c.Pen.Width = 1;
    c.Brush.Style = bsSolid;
    c.Brush.Color = clBtnFace;
    c.FillRect(Rect(0, 0, W, H));
    c.Pen.Color = clWindowFrame;
    c.Brush.Style = bsClear;
    c.Rectangle(0, 0, W, H);
    Line(c, clWindowFrame, {{-1, H}, {W, -1}});
    const bool top = State == psTop, bottom = State == psBottom;
    Line(c, top ? clBtnShadow : clBtnHighlight, {{1, H - 4}, {1, 1}, {W - 3, 1}});
    if (!top)
        Line(c, clBtnShadow, {{1, H - 3}, {W - 2, 0}});
    Line(c, bottom ? clBtnHighlight : clBtnShadow, {{2, H - 2}, {W - 2, H - 2}, {W - 2, 1}});
    Line(c, bottom ? clBtnShadow : clBtnHighlight, {{2, H - 2}, {W - 1, 1}});
    const int d = top ? 2 : 1;
    DrawUtils::DrawBitmapTransparent(c, RoundHalfEven(W / 4.0 - upGlyph_->Width() / 2.0) + d,
                                     RoundHalfEven(H / 4.0 - upGlyph_->Height() / 2.0) + d, *upGlyph_, clWhite);
    DrawUtils::DrawBitmapTransparent(c, RoundHalfEven(3.0 * W / 4.0 - downGlyph_->Width() / 2.0) - 1,
                                     RoundHalfEven(3.0 * H / 4.0 - downGlyph_->Height() / 2.0) - 1, *downGlyph_,
                                     clWhite);
    if (bottom)
        Line(c, clBtnShadow, {{3, H - 2}, {W - 1, 2}});
}

void TKsSpinButton::Paint()
{
    if (!Enabled())
        dragging_ = false;
    if (faces_[0]->Width() != Width() || faces_[0]->Height() != Height() || glyphChanged_) {
        DrawFace(*faces_[psNone], psNone);
        DrawFace(*faces_[psTop], psTop);
        DrawFace(*faces_[psBottom], psBottom);
        glyphChanged_ = false;
    }
    Canvas()->Draw(0, 0, *faces_[pressState_]);
}

void TKsSpinButton::Dispatch(TMessage& Message)
{
    TGraphicControl::Dispatch(Message);
    if (Message.Msg == CM_ENABLEDCHANGED)
        Invalidate();
}

void TKsSpinButton::ShowPressed(TSpinPressState State)
{
    if (State == pressState_)
        return;
    pressState_ = State;
    Invalidate();
}

// --- press and repeat ---

void TKsSpinButton::ClickHalf(TSpinPressState Half)
{
    TNotifyEvent& event = Half == psBottom ? OnBottomClick : OnTopClick;
    if (event)
        event(this);
    if (!buttonDown_)
        pressState_ = psNone;
}

void TKsSpinButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    buttonDown_ = true;
    if (focusControl_ && focusControl_->TabStop() && focusControl_->CanFocus() && !focusControl_->Focused())
        focusControl_->SetFocus();
    if (pressState_ != psNone)
        return;
    lastPressed_ = psNone;
    pressState_ = HalfAt(X, Y);
    ClickHalf(pressState_);
    if (pressState_ != psNone) {
        lastPressed_ = pressState_;
        Invalidate();
    }
    if (!repeatTimer_) {
        repeatTimer_ = std::make_unique<TTimer>(nullptr);
        repeatTimer_->OnTimer = [this](TObject*) { TimerExpired(); };
    }
    repeatTimer_->SetInterval(FirstRepeat);
    repeatTimer_->SetEnabled(true);
    dragging_ = true;
}

void TKsSpinButton::TimerExpired()
{
    repeatTimer_->SetInterval(NextRepeats);
    if (pressState_ == psNone || !MouseCapture())
        return;
    try {
        ClickHalf(pressState_ == psBottom ? psBottom : psTop);
    } catch (...) {
        repeatTimer_->SetEnabled(false);
        throw;
    }
}

void TKsSpinButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!dragging_)
        return;
    if (X < 0 || Y < 0 || X > Width() || Y > Height())
        return ShowPressed(psNone);
    const TSpinPressState half = HalfAt(X, Y);
    if (half != pressState_)
        ShowPressed(half == lastPressed_ ? half : psNone);
}

void TKsSpinButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft)
        buttonDown_ = false;
    if (!dragging_)
        return;
    dragging_ = false;
    if (X >= 0 && Y >= 0 && X <= Width() && Y <= Height()) {
        lastPressed_ = psNone;
        ShowPressed(psNone);
    }
}

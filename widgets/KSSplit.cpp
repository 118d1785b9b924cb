#include "widgets/KSSplit.h"

#include <algorithm>

#include "platform/ui/Forms.h"

IMPLEMENT_CLASS(TKsSplitter)

namespace {

constexpr int DefaultThickness = 3;
constexpr int MinLineWidth = 2;

bool IsSideAlign(TAlign Align) { return Align == alTop || Align == alBottom || Align == alLeft || Align == alRight; }

} // namespace

// The sizing line: a checkered bar over the parent, visible on any
// background.
class TSizingLine : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override
    {
        TCanvas& canvas = *Canvas();
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                canvas.SetPixels(x, y, ((x + y) & 1) ? clWhite : clBlack);
    }
};

TKsSplitter::TKsSplitter(TComponent* AOwner) : TCustomPanel(AOwner)
{
    ControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    ShowCaption = false;
    SetBevelInner(bvNone);
    SetBevelOuter(bvRaised);
    SetBevelWidth(1);
    SetColor(clBtnFace);
    SetBounds(Left(), Top(), 185, DefaultThickness);
}

TKsSplitter::~TKsSplitter()
{
    if (sizing_)
        StopSizing(0, 0, false);
}

void TKsSplitter::ReadLimitOffset(int Value)
{
    TopLeftLimit = Value;
    BottomRightLimit = Value;
}

// ---------------------------------------------------------------------------
// Controls, style and alignment

void TKsSplitter::SetControlFirst(TControl* Value)
{
    if (Value == this || dynamic_cast<TCustomForm*>(Value))
        Value = nullptr;
    if (controlFirst_ == Value)
        return;
    if (controlFirst_ && controlFirst_ != controlSecond_)
        controlFirst_->RemoveFreeNotification(this);
    controlFirst_ = Value;
    if (Value)
        Value->FreeNotification(this);
    UpdateCursor();
}

void TKsSplitter::SetControlSecond(TControl* Value)
{
    if (Value == this || dynamic_cast<TCustomForm*>(Value))
        Value = nullptr;
    if (controlSecond_ == Value)
        return;
    if (controlSecond_ && controlSecond_ != controlFirst_)
        controlSecond_->RemoveFreeNotification(this);
    controlSecond_ = Value;
    if (Value)
        Value->FreeNotification(this);
    UpdateCursor();
}

void TKsSplitter::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == controlFirst_)
        controlFirst_ = nullptr;
    if (AComponent == controlSecond_)
        controlSecond_ = nullptr;
    if (AComponent == keyOwner_)
        keyOwner_ = nullptr;
    if (AComponent == line_)
        line_ = nullptr;
}

TSplitterStyle TKsSplitter::GetStyle() const
{
    if (!controlFirst_)
        return spUnknown;
    const TAlign first = controlFirst_->Align();
    const TAlign second = controlSecond_ ? controlSecond_->Align() : alNone;
    TSplitterStyle style = spUnknown;
    if (first == alTop || first == alBottom)
        style = spHorizontalFirst;
    else if (first == alClient && (second == alBottom || second == alTop))
        style = spHorizontalSecond;
    else if (first == alLeft || first == alRight)
        style = spVerticalFirst;
    else if (first == alClient && (second == alRight || second == alLeft))
        style = spVerticalSecond;
    // The bar must lie on the side of the control it sizes.
    if ((style == spHorizontalFirst || style == spVerticalFirst) && Align() != first)
        return spUnknown;
    if ((style == spHorizontalSecond || style == spVerticalSecond) && Align() != second)
        return spUnknown;
    return style;
}

void TKsSplitter::UpdateCursor()
{
    switch (GetStyle()) {
    case spHorizontalFirst:
    case spHorizontalSecond: SetCursor(crVSplit); break;
    case spVerticalFirst:
    case spVerticalSecond: SetCursor(crHSplit); break;
    case spUnknown: SetCursor(crDefault); break;
    }
}

void TKsSplitter::Loaded()
{
    TCustomPanel::Loaded();
    UpdateCursor();
}

void TKsSplitter::SetAlign(TAlign Value)
{
    const TAlign old = Align();
    if (!IsSideAlign(old) && !(ComponentState() & csReading)) {
        if (Value == alTop || Value == alBottom)
            SetHeight(DefaultThickness);
        else if (Value == alLeft || Value == alRight)
            SetWidth(DefaultThickness);
    }
    TCustomPanel::SetAlign(Value);
    if (!controlFirst_ && !controlSecond_)
        PickControlFirst(); // the control the bar was dropped beside
    UpdateCursor();
}

void TKsSplitter::PickControlFirst()
{
    if (!Parent())
        return;
    TPoint outside;
    switch (Align()) {
    case alTop: outside = {Left(), Top() - 1}; break;
    case alBottom: outside = {Left(), Top() + Height()}; break;
    case alLeft: outside = {Left() - 1, Top()}; break;
    case alRight: outside = {Left() + Width(), Top()}; break;
    default: return;
    }
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* child = Parent()->Controls(i);
        const TRect r = child->BoundsRect();
        if (child != this && outside.X >= r.Left && outside.X < r.Right && outside.Y >= r.Top && outside.Y < r.Bottom) {
            SetControlFirst(child);
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Dragging

void TKsSplitter::Changing(int X, int Y, bool& AllowChange)
{
    if (OnPosChanging)
        OnPosChanging(this, X, Y, AllowChange);
}

void TKsSplitter::Changed()
{
    if (OnPosChanged)
        OnPosChanged(this);
}

void TKsSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || (ComponentState() & csDesigning) || !Parent())
        return;
    style_ = GetStyle();
    if (style_ == spUnknown)
        return;
    sizing_ = true;
    if (Application) {
        savedShowHint_ = Application->ShowHint;
        Application->ShowHint = false;
    }
    SetMouseCapture(true);
    BorrowKeys();
    pressOffset_ = {X, Y};
    StartInverseRect();
}

void TKsSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseMove(Shift, X, Y);
    if (!sizing_ || !MouseCapture())
        return;
    bool allow = true;
    Changing(X, Y, allow);
    if (!allow) {
        SetCursor(crNoDrop);
        return;
    }
    const bool clamped = Clamp(X, Y);
    if (clamped)
        SetCursor(crNoDrop);
    else
        UpdateCursor();
    ShowInverseRect(X + Width() / 2 - pressOffset_.X, Y + Height() / 2 - pressOffset_.Y, imMove);
}

void TKsSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseUp(Button, Shift, X, Y);
    if (sizing_ && Button == mbLeft)
        StopSizing(X, Y, true);
}

bool TKsSplitter::Clamp(int& X, int& Y) const
{
    const int oldX = X, oldY = Y;
    X = std::max(X, limitRect_.Left + pressOffset_.X);
    X = std::min(X, limitRect_.Right - Width() + pressOffset_.X);
    Y = std::max(Y, limitRect_.Top + pressOffset_.Y);
    Y = std::min(Y, limitRect_.Bottom - Height() + pressOffset_.Y);
    return Horizontal() ? Y != oldY : X != oldX;
}

void TKsSplitter::StartInverseRect()
{
    TRect client = Parent()->ClientRect();
    limitRect_ = Rect(client.Left + TopLeftLimit - Left(), client.Top + TopLeftLimit - Top(),
                      client.Right - BottomRightLimit - Left(), client.Bottom - BottomRightLimit - Top());
    line_ = new TSizingLine(nullptr);
    line_->FreeNotification(this);
    line_->SetVisible(false);
    line_->SetParent(Parent());
    ShowInverseRect(Width() / 2, Height() / 2, imNew);
}

void TKsSplitter::FreeLine()
{
    if (!line_)
        return;
    TSizingLine* line = line_;
    line_ = nullptr;
    line->RemoveFreeNotification(this);
    delete line;
}

TRect TKsSplitter::SizingLine() const
{
    if (!line_ || !line_->Visible())
        return {};
    return line_->BoundsRect();
}

void TKsSplitter::ShowInverseRect(int X, int Y, TInverseMode Mode)
{
    if (!line_ || !Parent())
        return;
    const TRect client = Parent()->ClientRect();
    const int along = Horizontal() ? std::clamp(Y + Top(), client.Top, client.Bottom)
                                   : std::clamp(X + Left(), client.Left, client.Right);
    if (Mode == imMove && along == lineAt_ && line_->Visible())
        return;
    if (Mode == imClear) {
        line_->Hide();
        return;
    }
    const int width = std::max((Horizontal() ? Height() : Width()) - 2, MinLineWidth);
    lineAt_ = along;
    if (Horizontal())
        line_->SetBounds(Left(), along - width / 2, Width(), width);
    else
        line_->SetBounds(along - width / 2, Top(), width, Height());
    line_->BringToFront();
    line_->Show();
}

void TKsSplitter::EndInverseRect(int X, int Y, bool AllowChange, bool Apply)
{
    ShowInverseRect(0, 0, imClear);
    if (!AllowChange) {
        // The last line drawn is the place to go.
        const int centre = lineAt_ - (Horizontal() ? Top() : Left());
        if (Horizontal())
            Y = centre + pressOffset_.Y - Height() / 2;
        else
            X = centre + pressOffset_.X - Width() / 2;
    }
    FreeLine();
    if (Apply)
        ApplySize(X, Y);
}

void TKsSplitter::ApplySize(int X, int Y)
{
    TWinControl* parent = Parent();
    TControl* target = (style_ == spHorizontalFirst || style_ == spVerticalFirst) ? controlFirst_ : controlSecond_;
    if (!parent || !target) // removed while dragging
        return;
    Clamp(X, Y);
    TPoint offset = pressOffset_;
    auto aligned = [this](TAlign Align) {
        return (controlFirst_ && controlFirst_->Align() == Align) ||
            (controlSecond_ && controlSecond_->Align() == Align);
    };
    if (aligned(alRight)) {
        X = -X;
        offset.X = -offset.X;
    }
    if (aligned(alBottom)) {
        Y = -Y;
        offset.Y = -offset.Y;
    }
    const bool horizontal = Horizontal();
    const int extent = horizontal ? parent->ClientHeight() : parent->ClientWidth();
    const int thickness = horizontal ? Height() : Width();
    int size = (horizontal ? target->Height() : target->Width()) + (horizontal ? Y - offset.Y : X - offset.X);
    if (size <= 0)
        size = 1;
    if (size >= extent - thickness)
        size = extent - 3;
    parent->DisableAlign();
    if (horizontal)
        target->SetHeight(size);
    else
        target->SetWidth(size);
    parent->EnableAlign();
}

void TKsSplitter::StopSizing(int X, int Y, bool Apply)
{
    SetMouseCapture(false);
    bool allow = true;
    if (Apply)
        Changing(X, Y, allow);
    EndInverseRect(X, Y, allow, Apply);
    sizing_ = false;
    if (Application)
        Application->ShowHint = savedShowHint_;
    ReturnKeys();
    UpdateCursor();
    if (Apply)
        Changed();
}

void TKsSplitter::BorrowKeys()
{
    TCustomForm* form = ParentForm();
    if (!form)
        return;
    keyOwner_ = form->ActiveControl() ? form->ActiveControl() : form;
    keyOwner_->FreeNotification(this);
    borrowedKeyDown_ = keyOwner_->OnKeyDown;
    keyOwner_->OnKeyDown = [this](TObject* Sender, WORD& Key, TShiftState Shift) {
        SplitterKeyDown(Sender, Key, Shift);
    };
}

void TKsSplitter::ReturnKeys()
{
    if (!keyOwner_)
        return;
    keyOwner_->OnKeyDown = borrowedKeyDown_;
    keyOwner_->RemoveFreeNotification(this);
    keyOwner_ = nullptr;
    borrowedKeyDown_ = nullptr;
}

void TKsSplitter::SplitterKeyDown(TObject* Sender, WORD& Key, TShiftState Shift)
{
    if (Key == VK_ESCAPE) {
        // Gives the handler back, which frees the function running now;
        // nothing of it is touched afterwards.
        StopSizing(0, 0, false);
        return;
    }
    if (borrowedKeyDown_)
        borrowedKeyDown_(Sender, Key, Shift);
}

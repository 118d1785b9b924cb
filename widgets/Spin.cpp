#include "widgets/Spin.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <optional>
#include <string>

#include "platform/rtl/DateTime.h"
#include "widgets/DrawUtils.h"

namespace {

constexpr int MinSpinWidth = 15;
constexpr int ArrowWidth = 9;
constexpr int ArrowHeight = 6;

// The default arrows: a black triangle on the fuchsia key, 9 by 6.
std::unique_ptr<TBitmap> DefaultArrow(bool Up)
{
    auto arrow = std::make_unique<TBitmap>(ArrowWidth, ArrowHeight);
    TCanvas& c = arrow->Canvas();
    c.Brush.Style = bsSolid;
    c.Brush.Color = clFuchsia;
    c.FillRect(Rect(0, 0, ArrowWidth, ArrowHeight));
    c.Brush.Color = clBlack;
    for (int row = 0; row < 4; ++row) {
        int half = Up ? row : 3 - row;
        c.FillRect(Rect(4 - half, 1 + row, 5 + half, 2 + row));
    }
    return arrow;
}

std::optional<int> ParseInteger(const std::string& Text)
{
    const char* first = Text.data();
    const char* last = first + Text.size();
    if (first != last && *first == '+')
        ++first;
    int value = 0;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        return std::nullopt;
    return value;
}

} // namespace

// ---------------------------------------------------------------------------
// TTimerSpeedButton

IMPLEMENT_CLASS(TTimerSpeedButton)

TTimerSpeedButton::TTimerSpeedButton(TComponent* AOwner) : TKsSpeedButton(AOwner)
{
    InitPause = 400;
    RepeatInterval = 100;
    SetLayout(blGlyphLeft);
}

void TTimerSpeedButton::SetTimeBtnState(TTimeBtnStates Value)
{
    timeBtnState_ = Value;
    SetAllowTimer(Value.Contains(tbAllowTimer));
    Invalidate();
}

void TTimerSpeedButton::Paint()
{
    TKsSpeedButton::Paint();
    if (!timeBtnState_.Contains(tbFocusRect))
        return;
    TRect focus = gfx::InflateRect(Rect(0, 0, Width(), Height()), -3, -3);
    if (State() == rbsDown)
        focus = gfx::OffsetRect(focus, 1, 1);
    Canvas()->DrawFocusRect(focus);
}

// ---------------------------------------------------------------------------
// TSpinButton

IMPLEMENT_CLASS(TSpinButton)

TSpinButton::TSpinButton(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle.Include(csOpaque);
    upButton_ = CreateArrow(true);
    downButton_ = CreateArrow(false);
    focusedButton_ = upButton_;
    SetBounds(0, 0, 20, 25);
}

TTimerSpeedButton* TSpinButton::CreateArrow(bool Up)
{
    auto* arrow = new TTimerSpeedButton(this);
    arrow->SetParent(this);
    arrow->SetGlyph(*DefaultArrow(Up));
    arrow->SetNumGlyphs(1);
    arrow->SetTimeBtnState({tbAllowTimer});
    arrow->OnMouseDown = [this, arrow](TObject*, TMouseButton Button, TShiftState, int, int) {
        if (Button == mbLeft)
            ArrowPressed(arrow);
    };
    arrow->OnClick = [this, arrow](TObject*) { ArrowClicked(arrow); };
    return arrow;
}

void TSpinButton::SetUpGlyph(const TBitmap& Value)
{
    upButton_->SetGlyph(Value.Empty() ? *DefaultArrow(true) : Value);
    if (Value.Empty())
        upButton_->SetNumGlyphs(1);
}

void TSpinButton::SetDownGlyph(const TBitmap& Value)
{
    downButton_->SetGlyph(Value.Empty() ? *DefaultArrow(false) : Value);
    if (Value.Empty())
        downButton_->SetNumGlyphs(1);
}

void TSpinButton::SetFocusControl(TWinControl* Value)
{
    if (focusControl_)
        focusControl_->RemoveFreeNotification(this);
    focusControl_ = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TSpinButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == focusControl_)
        focusControl_ = nullptr;
}

void TSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, MinSpinWidth);
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!(ComponentState() & csLoading))
        AdjustArrows(AWidth, AHeight);
}

void TSpinButton::AdjustArrows(int Width, int Height)
{
    if (!upButton_ || !downButton_)
        return;
    const int upHeight = Height / 2;
    // The arrows share one pixel row.
    upButton_->SetBounds(0, 0, Width, upHeight);
    downButton_->SetBounds(0, upHeight - 1, Width, Height - upHeight + 1);
}

void TSpinButton::SetFocusBtn(TTimerSpeedButton* Arrow)
{
    if (!TabStop() || !CanFocus() || Arrow == focusedButton_)
        return;
    TTimeBtnStates old = focusedButton_->TimeBtnState();
    focusedButton_->SetTimeBtnState(old.Exclude(tbFocusRect));
    focusedButton_ = Arrow;
    if (Focused()) {
        TTimeBtnStates now = focusedButton_->TimeBtnState();
        focusedButton_->SetTimeBtnState(now.Include(tbFocusRect));
    }
}

void TSpinButton::ArrowPressed(TTimerSpeedButton* Arrow)
{
    SetFocusBtn(Arrow);
    if (focusControl_ && focusControl_->TabStop() && focusControl_->CanFocus() && !focusControl_->Focused())
        focusControl_->SetFocus();
    else if (TabStop() && CanFocus() && !Focused())
        SetFocus();
}

void TSpinButton::ArrowClicked(TTimerSpeedButton* Arrow)
{
    TNotifyEvent& event = Arrow == upButton_ ? OnUpClick : OnDownClick;
    if (event)
        event(this);
}

void TSpinButton::KeyDown(WORD& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_SPACE: focusedButton_->Click(); break;
    case VK_UP:
        SetFocusBtn(upButton_);
        upButton_->Click();
        break;
    case VK_DOWN:
        SetFocusBtn(downButton_);
        downButton_->Click();
        break;
    default: break;
    }
    TWinControl::KeyDown(Key, Shift);
}

void TSpinButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        TTimeBtnStates states = focusedButton_->TimeBtnState();
        if (Message.Msg == WM_SETFOCUS)
            states.Include(tbFocusRect);
        else
            states.Exclude(tbFocusRect);
        focusedButton_->SetTimeBtnState(states);
        break;
    }
    default: break;
    }
    TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TSpinEdit

IMPLEMENT_CLASS(TSpinEdit)

TSpinEdit::TSpinEdit(TComponent* AOwner) : TKsSpinEdit(AOwner)
{
    RebuildButton();
    SetBounds(Left(), Top(), Width(), Height());
}

void TSpinEdit::MakeButton()
{
    delete button_;
    button_ = new TSpinButton(this);
    button_->SetBounds(0, 0, 15, 17);
    button_->SetParent(this);
    button_->SetFocusControl(this);
    button_->OnUpClick = [this](TObject* sender) { UpClick(sender); };
    button_->OnDownClick = [this](TObject* sender) { DownClick(sender); };
}

int TSpinEdit::ButtonWidth() const { return button_ ? button_->Width() : TKsSpinEdit::ButtonWidth(); }

void TSpinEdit::PlaceButton()
{
    if (!button_)
        return TKsSpinEdit::PlaceButton();
    button_->SetBounds(Width() - button_->Width() - 5, 0, button_->Width(), Height() - 5);
    UpdateEditArea();
}

int TSpinEdit::Value() const { return ParseInteger(Text()).value_or(static_cast<int>(MinValue)); }

bool TSpinEdit::IsValidChar(char32_t Key) const
{
    const std::string& separator = rtl::FormatSettings.DecimalSeparator;
    const bool isSeparator = separator.size() == 1 && Key == static_cast<unsigned char>(separator[0]);
    bool valid = Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || isSeparator || (Key < 32 && Key != 13);
    if (!EditorEnabled && valid && (Key >= 32 || Key == 8))
        valid = false;
    return valid;
}

// Leaving writes the clamped number back, also over text that is none.
void TSpinEdit::DoExit()
{
    TCustomEdit::DoExit();
    std::optional<int> typed = ParseInteger(Text());
    if (!typed || CheckValue(*typed) != *typed)
        SetValue(Value());
}

int TSpinEdit::MinHeight() const
{
    TBitmap scratch(1, 1);
    TCanvas& canvas = scratch.Canvas();
    canvas.Font.Assign(&Font());
    const int fontHeight = canvas.TextHeight("0");
    TFont systemFont;
    canvas.Font.Assign(&systemFont);
    const int systemHeight = canvas.TextHeight("0");
    constexpr int borderHeight = 1;
    return fontHeight + std::min(systemHeight, fontHeight) / 4 + 4 * borderHeight + 2;
}

// The spin edit: its number in three text forms, its steps and keys, and
// the button it carries; and the narrow up-down it may carry instead of the
// diagonal button.

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/Forms.h"
#include "widgets/DrawUtils.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(TKsUpDown)
IMPLEMENT_CLASS(TKsSpinEdit)

namespace {

constexpr int VerticalScrollBarWidth = 16;

const std::string& DecimalSeparator() { return rtl::FormatSettings.DecimalSeparator; }

// The whole text as a number of the type, or nothing.
std::optional<long long> ParseWhole(const std::string& text, int base)
{
    const char* first = text.data();
    const char* last = first + text.size();
    if (base == 10 && first != last && *first == '+')
        ++first;
    long long value = 0;
    auto [end, error] = std::from_chars(first, last, value, base);
    if (error != std::errc() || end != last || first == last || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return value;
}

std::optional<double> ParseFloat(std::string text)
{
    const std::string& separator = DecimalSeparator();
    if (size_t at = text.find(separator); !separator.empty() && separator != "." && at != std::string::npos)
        text.replace(at, separator.size(), ".");
    else if (text.find('.') != std::string::npos && separator != ".")
        return std::nullopt;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        return std::nullopt;
    return value;
}

// Rounded half to even, and within the 32-bit range (counting past it stops
// at its end).
long long RoundToInt(double value)
{
    return static_cast<long long>(std::clamp(std::nearbyint(value), double(INT_MIN), double(INT_MAX)));
}

} // namespace

int SpinButtonDefaultWidth() { return std::min(VerticalScrollBarWidth, 15); }

// ---------------------------------------------------------------------------
// TKsUpDown

TKsUpDown::TKsUpDown(TComponent* AOwner) : TCustomUpDown(AOwner)
{
    SetOrientation(udVertical);
    SetMin(-1);
    SetMax(1);
    SetPosition(0);
    SetBounds(0, 0, SpinButtonDefaultWidth(), 25);
}

TKsUpDown::~TKsUpDown() { OnClick = nullptr; }

void TKsUpDown::SetBounds(int ALeft, int ATop, int, int AHeight)
{
    TCustomUpDown::SetBounds(ALeft, ATop, SpinButtonDefaultWidth(), AHeight);
}

// The sign of the thumb position tells the arrow; the position goes back
// to 0 so the next press moves it again.
void TKsUpDown::Dispatch(TMessage& Message)
{
    if ((Message.Msg != WM_VSCROLL && Message.Msg != WM_HSCROLL) || LOWORD(Message.WParam) != SB_THUMBPOSITION)
        return TCustomUpDown::Dispatch(Message);
    if (scrolling_)
        return;
    scrolling_ = true;
    auto position = static_cast<std::int16_t>(HIWORD(Message.WParam));
    try {
        if (position > 0)
            Click(btNext);
        else if (position < 0)
            Click(btPrev);
    } catch (...) {
        scrolling_ = false;
        throw;
    }
    if (HandleAllocated())
        Perform(UDM_SETPOS, 0, 0);
    scrolling_ = false;
}

// ---------------------------------------------------------------------------
// TKsSpinEdit: the number

TKsSpinEdit::TKsSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner)
{
    SetText("0");
    RebuildButton();
}

TKsSpinEdit::~TKsSpinEdit()
{
    changing_ = true; // no change events from the teardown
    FreeButton();
}

double TKsSpinEdit::ClampValue(double NewValue) const
{
    if (MaxValue == MinValue)
        return NewValue;
    if (NewValue < MinValue)
        return MinValue;
    if (NewValue > MaxValue)
        return MaxValue;
    return NewValue;
}

double TKsSpinEdit::Value() const
{
    switch (valueType_) {
    case vtFloat: return ParseFloat(Text()).value_or(MinValue);
    case vtHex: {
        auto value = ParseWhole(Text(), 16);
        return value ? double(*value) : std::trunc(MinValue);
    }
    default: {
        auto value = ParseWhole(Text(), 10);
        return value ? double(*value) : std::trunc(MinValue);
    }
    }
}

int TKsSpinEdit::GetIntValue() const
{
    return static_cast<int>(std::clamp(std::trunc(Value()), double(INT_MIN), double(INT_MAX)));
}

std::string TKsSpinEdit::TextOfValue(double NewValue) const
{
    switch (valueType_) {
    case vtFloat: {
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimal_, NewValue);
        std::string text = buffer;
        if (size_t dot = text.find('.'); dot != std::string::npos)
            text.replace(dot, 1, DecimalSeparator());
        return text;
    }
    case vtHex: {
        char buffer[20];
        std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(static_cast<int>(RoundToInt(NewValue))));
        return buffer;
    }
    default: return std::to_string(RoundToInt(NewValue));
    }
}

void TKsSpinEdit::SetValue(double NewValue) { SetText(TextOfValue(ClampValue(NewValue))); }

void TKsSpinEdit::SetValueType(TValueType Value)
{
    if (Value == valueType_)
        return;
    const double current = this->Value();
    valueType_ = Value;
    SetValue(current);
    if (Value != vtFloat) {
        Increment = std::nearbyint(Increment);
        if (Increment == 0)
            Increment = 1;
    }
}

void TKsSpinEdit::SetDecimal(int Value)
{
    Value = std::clamp(Value, 0, 255);
    if (Value == decimal_)
        return;
    const double current = this->Value();
    decimal_ = Value;
    SetValue(current);
}

// ---------------------------------------------------------------------------
// TKsSpinEdit: steps, keys, focus

void TKsSpinEdit::Change()
{
    if (!changing_)
        TCustomEdit::Change();
}

void TKsSpinEdit::Step(bool Up)
{
    if (ReadOnly()) {
        DrawUtils::Beep();
        return;
    }
    const std::string before = Text();
    changing_ = true;
    try {
        SetValue(Value() + (Up ? Increment : -Increment));
    } catch (...) {
        changing_ = false;
        throw;
    }
    changing_ = false;
    if (!rtl::AnsiSameText(Text(), before)) {
        Modified = true;
        Change();
    }
    TNotifyEvent& event = Up ? OnTopClick : OnBottomClick;
    if (event)
        event(this);
}

void TKsSpinEdit::UpClick(TObject*) { Step(true); }

void TKsSpinEdit::DownClick(TObject*) { Step(false); }

bool TKsSpinEdit::IsValidChar(char32_t Key) const
{
    if (Key < 32)
        return EditorEnabled || Key != 8;
    if (!EditorEnabled)
        return false;
    if (Key == '+' || Key == '-' || (Key >= '0' && Key <= '9'))
        return true;
    const std::string& text = Text();
    if (valueType_ == vtFloat) {
        const std::string& separator = DecimalSeparator();
        if (separator.size() == 1 && Key == static_cast<unsigned char>(separator[0]))
            return text.find(separator) == std::string::npos;
        if (Key == 'e' || Key == 'E')
            return text.find_first_of("eE") == std::string::npos;
    }
    if (valueType_ == vtHex)
        return (Key >= 'A' && Key <= 'F') || (Key >= 'a' && Key <= 'f');
    return false;
}

void TKsSpinEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomEdit::KeyDown(Key, Shift);
    if (!arrowKeys_ || (Key != VK_UP && Key != VK_DOWN))
        return;
    Step(Key == VK_UP);
    Key = 0;
}

// Enter and Escape work the dialog's default and cancel buttons; Enter
// puts no line break into the edit.
void TKsSpinEdit::KeyPress(char32_t& Key)
{
    if (!IsValidChar(Key)) {
        Key = 0;
        DrawUtils::Beep();
    }
    if (Key == 0)
        return;
    if (Key == VK_RETURN || Key == VK_ESCAPE) {
        if (TCustomForm* form = ParentForm())
            form->Perform(CM_DIALOGKEY, Key, 0);
        if (Key == VK_RETURN)
            Key = 0;
    }
    if (Key != 0)
        TCustomEdit::KeyPress(Key);
}

void TKsSpinEdit::DoEnter()
{
    if (AutoSelect && !ui::GetShiftState().Contains(ssLeft))
        SelectAll();
    TCustomEdit::DoEnter();
}

void TKsSpinEdit::DoExit()
{
    TCustomEdit::DoExit();
    const double current = Value();
    if (ClampValue(current) != current)
        SetValue(current);
}

void TKsSpinEdit::SetArrowKeys(bool Value)
{
    arrowKeys_ = Value;
    PlaceButton();
}

void TKsSpinEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PASTE:
    case WM_CUT:
        // The user may only paste or cut while typing is allowed.
        if (!EditorEnabled || ReadOnly())
            return;
        break;
    case CM_ENABLEDCHANGED:
        if (upDown_) {
            upDown_->SetEnabled(Enabled());
            PlaceButton();
        }
        if (spinButton_)
            spinButton_->SetEnabled(Enabled());
        break;
    case CM_FONTCHANGED: PlaceButton(); break;
    default: break;
    }
    TCustomEdit::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TKsSpinEdit: the button

void TKsSpinEdit::SetButtonKind(TSpinButtonKind Value)
{
    if (Value == buttonKind_)
        return;
    buttonKind_ = Value;
    RebuildButton();
}

void TKsSpinEdit::FreeButton()
{
    if (upDown_)
        upDown_->OnClick = nullptr;
    delete upDown_;
    delete container_; // with the spin button in it
    upDown_ = nullptr;
    container_ = nullptr;
    spinButton_ = nullptr;
}

void TKsSpinEdit::RebuildButton()
{
    FreeButton();
    MakeButton();
    PlaceButton();
}

void TKsSpinEdit::MakeButton()
{
    if (buttonKind_ == bkStandard) {
        upDown_ = new TKsUpDown(this);
        upDown_->SetParent(this);
        upDown_->OnClick = [this](TObject*, TUDBtnType Button) {
            if (TabStop() && CanFocus() && !Focused())
                SetFocus();
            Button == btNext ? UpClick(this) : DownClick(this);
        };
        return;
    }
    container_ = new TWinControl(this);
    container_->SetParent(this);
    container_->SetBounds(0, 0, Height(), Height());
    spinButton_ = new TKsSpinButton(container_);
    spinButton_->SetParent(container_);
    spinButton_->SetFocusControl(this);
    spinButton_->SetAlign(alClient);
    spinButton_->OnTopClick = [this](TObject* sender) { UpClick(sender); };
    spinButton_->OnBottomClick = [this](TObject* sender) { DownClick(sender); };
}

int TKsSpinEdit::ButtonWidth() const
{
    if (upDown_)
        return upDown_->Width();
    if (spinButton_)
        return spinButton_->Width();
    return SpinButtonDefaultWidth();
}

void TKsSpinEdit::PlaceButton()
{
    if (upDown_) {
        upDown_->SetBounds(Width() - SpinButtonDefaultWidth(), 0, SpinButtonDefaultWidth(), Height());
    } else if (container_) {
        // Inside the sunken single border.
        const int side = std::max(1, Height() - 3);
        container_->SetBounds(Width() - Height() - 1, -1, side, side);
    }
    UpdateEditArea();
}

// The text stays left of the button.
void TKsSpinEdit::UpdateEditArea() { SetTextArea(Rect(0, 0, ClientWidth() - ButtonWidth() - 2, ClientHeight() + 1)); }

int TKsSpinEdit::MinHeight() const
{
    TBitmap scratch(1, 1);
    TCanvas& canvas = scratch.Canvas();
    canvas.Font.Assign(&Font());
    constexpr int borderHeight = 1;
    return canvas.TextHeight("0") + 4 * borderHeight + 1;
}

void TKsSpinEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomEdit::SetBounds(ALeft, ATop, AWidth, std::max(AHeight, MinHeight()));
    PlaceButton();
}

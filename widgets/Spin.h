#pragma once

// Numeric entry fields. The spin edit TKsSpinEdit keeps its text a number
// (integer, fixed-point or hexadecimal) within its limits and carries a
// button at its right edge: the diagonal spin button (TKsSpinButton, split
// by its diagonal into an up and a down half) or a narrow up-down control
// (TKsUpDown). TSpinEdit is the same edit as an integer field with two
// stacked arrow buttons (TSpinButton) that repeat while held.
//
// Sources: Spin.cpp (the stacked arrows and TSpinEdit), Spin.Diagonal.cpp
// (the diagonal spin button), Spin.Edit.cpp (the spin edit and the up-down).

#include <cstdint>
#include <memory>

#include "platform/ui/ComCtrls.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/KSCtrls.h"

enum TTimeBtnState : std::uint8_t { tbFocusRect, tbAllowTimer };
using TTimeBtnStates = TEnumSet<TTimeBtnState>;

// A speed button that repeats its click while held (400 ms, then every
// 100 ms) and can show a focus rectangle.
class TTimerSpeedButton : public TKsSpeedButton {
    DECLARE_CLASS(TTimerSpeedButton, TKsSpeedButton)
public:
    explicit TTimerSpeedButton(TComponent* AOwner);

    TTimeBtnStates TimeBtnState() const { return timeBtnState_; }
    void SetTimeBtnState(TTimeBtnStates Value);

protected:
    void Paint() override;

private:
    TTimeBtnStates timeBtnState_;
};

class TSpinButton : public TWinControl {
    DECLARE_CLASS(TSpinButton, TWinControl)
public:
    explicit TSpinButton(TComponent* AOwner);

    TTimerSpeedButton* UpButton() const { return upButton_; }
    TTimerSpeedButton* DownButton() const { return downButton_; }
    TTimerSpeedButton* FocusedButton() const { return focusedButton_; }
    // Setting an empty glyph puts the default arrow back.
    void SetUpGlyph(const TBitmap& Value);
    void SetDownGlyph(const TBitmap& Value);
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* Value);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TTimerSpeedButton* CreateArrow(bool Up);
    void AdjustArrows(int Width, int Height);
    void ArrowPressed(TTimerSpeedButton* Arrow);
    void ArrowClicked(TTimerSpeedButton* Arrow);
    void SetFocusBtn(TTimerSpeedButton* Arrow);

    TTimerSpeedButton* upButton_ = nullptr;
    TTimerSpeedButton* downButton_ = nullptr;
    TTimerSpeedButton* focusedButton_ = nullptr;
    TWinControl* focusControl_ = nullptr;
};

enum TValueType : std::uint8_t { vtInteger, vtFloat, vtHex };
enum TSpinButtonKind : std::uint8_t { bkStandard, bkDiagonal };
enum TSpinPressState : std::uint8_t { psNone, psTop, psBottom };

// A square button split by the diagonal from its bottom-left to its
// top-right corner: the upper-left half steps up, the lower-right half down
// (a point on the line is up). Held with the left button it clicks at once,
// after 400 ms and then every 100 ms; moving off releases the half, moving
// back onto the half first pressed resumes.
class TKsSpinButton : public TGraphicControl {
    DECLARE_CLASS(TKsSpinButton, TGraphicControl)
public:
    explicit TKsSpinButton(TComponent* AOwner);
    ~TKsSpinButton() override;

    // Setting an empty bitmap puts the default arrow back.
    TBitmap& UpGlyph() { return *upGlyph_; }
    void SetUpGlyph(const TBitmap& Value);
    TBitmap& DownGlyph() { return *downGlyph_; }
    void SetDownGlyph(const TBitmap& Value);
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* Value);
    TSpinPressState PressState() const { return pressState_; }
    // Which half a point of the button lies in.
    TSpinPressState HalfAt(int X, int Y) const;

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;

private:
    void DrawFace(TBitmap& Face, TSpinPressState State);
    void ClickHalf(TSpinPressState Half);
    void TimerExpired();
    void ShowPressed(TSpinPressState State);

    std::unique_ptr<TBitmap> upGlyph_;
    std::unique_ptr<TBitmap> downGlyph_;
    std::unique_ptr<TBitmap> faces_[3]; // not pressed, upper, lower
    std::unique_ptr<TTimer> repeatTimer_;
    TWinControl* focusControl_ = nullptr;
    TSpinPressState pressState_ = psNone;
    TSpinPressState lastPressed_ = psNone;
    bool dragging_ = false;
    bool buttonDown_ = false;
    bool glyphChanged_ = true;
};

// The narrow vertical up-down of the spin edit: range -1..1 at 0, every
// press is one click of its arrow and puts the position back to 0.
class TKsUpDown : public TCustomUpDown {
    DECLARE_CLASS(TKsUpDown, TCustomUpDown)
public:
    explicit TKsUpDown(TComponent* AOwner);
    ~TKsUpDown() override;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Dispatch(TMessage& Message) override;

private:
    bool scrolling_ = false;
};

// The width of the up-down and the spin edit's default button width: the
// vertical scroll bar's width, at most 15.
int SpinButtonDefaultWidth();

class TKsSpinEdit : public TCustomEdit {
    DECLARE_CLASS(TKsSpinEdit, TCustomEdit)
public:
    explicit TKsSpinEdit(TComponent* AOwner);
    ~TKsSpinEdit() override;

    // Setting the limits or the increment neither clamps nor rewrites the
    // text. Equal limits mean no limits at all.
    double MinValue = 0;
    double MaxValue = 0;
    double Increment = 1;
    bool EditorEnabled = true;
    bool AutoSelect = true;

    // The text as a number; text that does not convert reads as MinValue
    // (truncated for the integer and hexadecimal types).
    double Value() const;
    // Clamped, then written in the text form of the value type.
    void SetValue(double NewValue);
    int GetIntValue() const;
    void SetIntValue(int NewValue) { SetValue(NewValue); }
    double ClampValue(double NewValue) const;

    TValueType ValueType() const { return valueType_; }
    void SetValueType(TValueType Value);
    // Digits after the decimal separator for vtFloat.
    int Decimal() const { return decimal_; }
    void SetDecimal(int Value);
    bool ArrowKeys() const { return arrowKeys_; }
    void SetArrowKeys(bool Value);
    TSpinButtonKind ButtonKind() const { return buttonKind_; }
    void SetButtonKind(TSpinButtonKind Value);
    // The diagonal button, or the up-down (nullptr for the other kind).
    TKsSpinButton* SpinButton() const { return spinButton_; }
    TKsUpDown* UpDown() const { return upDown_; }

    // One step up or down: a read-only edit only beeps; a changed text
    // marks the edit modified and fires OnChange once; OnTopClick or
    // OnBottomClick follows in every case.
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);
    virtual bool IsValidChar(char32_t Key) const;

    // The least height that shows the font's text.
    virtual int MinHeight() const;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

protected:
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void Dispatch(TMessage& Message) override;
    // Makes the button the edit carries (the old one is gone).
    virtual void MakeButton();
    // Puts the button at the right edge and keeps the text left of it.
    virtual void PlaceButton();
    virtual int ButtonWidth() const;
    void RebuildButton();
    void FreeButton();
    void UpdateEditArea();
    void Step(bool Up);
    // The text of a value in the current value type (no clamping).
    std::string TextOfValue(double NewValue) const;

private:
    TWinControl* container_ = nullptr;
    TKsSpinButton* spinButton_ = nullptr;
    TKsUpDown* upDown_ = nullptr;
    TValueType valueType_ = vtInteger;
    int decimal_ = 2;
    bool arrowKeys_ = true;
    TSpinButtonKind buttonKind_ = bkDiagonal;
    bool changing_ = false;
};

// The integer spin edit with two stacked arrows: a read-only edit beeps on
// the arrows, letters read as MinValue and leaving the edit writes the
// clamped number back.
class TSpinEdit : public TKsSpinEdit {
    DECLARE_CLASS(TSpinEdit, TKsSpinEdit)
public:
    explicit TSpinEdit(TComponent* AOwner);

    TSpinButton* Button() const { return button_; }

    int Value() const;
    void SetValue(int NewValue) { TKsSpinEdit::SetValue(NewValue); }
    // The value within the limits; equal limits mean none.
    int CheckValue(int NewValue) const { return static_cast<int>(ClampValue(NewValue)); }
    bool IsValidChar(char32_t Key) const override;
    int MinHeight() const override;

protected:
    void DoExit() override;
    void MakeButton() override;
    void PlaceButton() override;
    int ButtonWidth() const override;

private:
    TSpinButton* button_ = nullptr;
};

#pragma once

// An integer entry field with up and down arrows: the spin button (two
// stacked arrows that repeat while held) and the spin edit that keeps its
// text a number within its limits.

#include <cstdint>
#include <memory>

#include "platform/ui/Controls.h"
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

class TSpinEdit : public TCustomEdit {
    DECLARE_CLASS(TSpinEdit, TCustomEdit)
public:
    explicit TSpinEdit(TComponent* AOwner);

    int MinValue = 0;
    int MaxValue = 0;
    int Increment = 1;
    bool EditorEnabled = true;
    bool AutoSelect = true;
    TSpinButton* Button() const { return button_; }

    // The text as a number; text that is no number reads as MinValue.
    int Value() const;
    void SetValue(int NewValue);
    // The value within the limits; equal limits mean none.
    int CheckValue(int NewValue) const;
    virtual bool IsValidChar(char32_t Key) const;
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The least height that shows the font's digits.
    int MinHeight() const;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void Dispatch(TMessage& Message) override;

private:
    void Step(long long Delta);

    TSpinButton* button_ = nullptr;
};

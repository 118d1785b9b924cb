#pragma once

// The standard controls: buttons, check and radio boxes, edits. Each is a
// real toolkit widget that fills the control's window; the control keeps its
// properties itself, so they can be set before the window exists and are
// handed to the widget when it is made.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/Controls.h"

namespace ui {
class TNativeWidget;
}

// A windowed control whose window holds a toolkit widget.
class TNativeControl : public TWinControl {
    DECLARE_CLASS(TNativeControl, TWinControl)
public:
    explicit TNativeControl(TComponent* AOwner);
    ~TNativeControl() override;

    // The widget inside the window (made with the window); for the UI layer
    // and its tests.
    ui::TNativeWidget* NativeWidget() const { return native_.get(); }

protected:
    void CreateWindowHandle(const TCreateParams& Params) override;
    void DestroyWnd() override;
    void Dispatch(TMessage& Message) override;
    // Makes the widget of this control inside the window widget.
    virtual std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() = 0;
    // Hands the control's properties to a freshly made widget.
    virtual void NativeWidgetCreated() {}

private:
    std::unique_ptr<ui::TNativeWidget> native_;
};

class TButtonControl : public TNativeControl {
    DECLARE_CLASS(TButtonControl, TNativeControl)
public:
    explicit TButtonControl(TComponent* AOwner);
};

class TButton : public TButtonControl {
    DECLARE_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);

    // The form's ModalResult becomes this when the button is clicked.
    TModalResult ModalResult = mrNone;
    bool Default = false;
    bool Cancel = false;

    void Click() override;

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
};

enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TButtonControl {
    DECLARE_CLASS(TCheckBox, TButtonControl)
public:
    explicit TCheckBox(TComponent* AOwner);

    // Changing the state from code fires OnClick as a user's click does.
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState Value);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    bool AllowGrayed = false;

    // The user's click: unchecked -> checked (-> grayed when allowed) -> unchecked.
    void Toggle();

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;

private:
    TCheckBoxState state_ = cbUnchecked;
};

class TRadioButton : public TButtonControl {
    DECLARE_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);

    // Checking a radio button unchecks the other radio buttons of its parent
    // and fires OnClick.
    bool Checked() const { return checked_; }
    void SetChecked(bool Value);

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;

private:
    bool checked_ = false;
};

class TCustomEdit : public TNativeControl {
    DECLARE_CLASS(TCustomEdit, TNativeControl)
public:
    explicit TCustomEdit(TComponent* AOwner);

    // 0: no limit. Text longer than the limit is cut when the limit is set.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int Value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value);
    // 0: the text is shown; else each character shows as this one.
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char Value);
    bool Modified = false;

    // Selection in characters.
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    void SelectAll();
    void Clear() { SetText({}); }

    // The text changed, by the user or by code.
    TNotifyEvent OnChange;

protected:
    virtual void Change();
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;
    void Dispatch(TMessage& Message) override;

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    int selStart_ = 0;
    int selLength_ = 0;
};

class TEdit : public TCustomEdit {
    DECLARE_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner);
};

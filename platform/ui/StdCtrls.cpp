#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "platform/ui/Forms.h"
#include "platform/ui/NativeWidget.h"
#include "platform/ui/Surface.h"

IMPLEMENT_CLASS(TNativeControl)
IMPLEMENT_CLASS(TButtonControl)
IMPLEMENT_CLASS(TButton)
IMPLEMENT_CLASS(TCheckBox)
IMPLEMENT_CLASS(TRadioButton)
IMPLEMENT_CLASS(TCustomEdit)
IMPLEMENT_CLASS(TEdit)

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Captions keep their "&" accelerator marks; the toolkit reads them the same way.
template <class W>
std::unique_ptr<ui::TNativeWidget> MakeWidget(TWinControl* control)
{
    auto* widget = new W(ui::WidgetOf(control));
    return std::make_unique<ui::TNativeWidget>(widget, control->Handle());
}

// The first `limit` characters of a text (all of it for limit 0).
std::string ClipText(const std::string& text, int limit)
{
    if (limit <= 0)
        return text;
    QString q = Q(text);
    return q.size() > limit ? q.left(limit).toStdString() : text;
}

} // namespace

// --- TNativeControl ---

TNativeControl::TNativeControl(TComponent* AOwner) : TWinControl(AOwner) {}

TNativeControl::~TNativeControl() = default;

void TNativeControl::CreateWindowHandle(const TCreateParams& Params)
{
    TWinControl::CreateWindowHandle(Params);
    native_ = MakeNativeWidget();
    if (auto* button = native_->As<QAbstractButton>())
        button->setText(Q(Caption()));
    NativeWidgetCreated();
}

void TNativeControl::DestroyWnd()
{
    native_.reset();
    TWinControl::DestroyWnd();
}

void TNativeControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED && native_)
        if (auto* button = native_->As<QAbstractButton>())
            button->setText(Q(Caption()));
    TWinControl::Dispatch(Message);
}

// --- buttons ---

TButtonControl::TButtonControl(TComponent* AOwner) : TNativeControl(AOwner) { SetTabStop(true); }

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 75, 25); }

void TButton::Click()
{
    if (ModalResult != mrNone)
        if (TCustomForm* form = ParentForm())
            form->ModalResult = ModalResult;
    TButtonControl::Click();
}

std::unique_ptr<ui::TNativeWidget> TButton::MakeNativeWidget()
{
    auto native = MakeWidget<QPushButton>(this);
    QObject::connect(native->As<QPushButton>(), &QAbstractButton::clicked, native.get(), [this] { Click(); });
    return native;
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::SetState(TCheckBoxState Value)
{
    if (state_ == Value)
        return;
    state_ = Value;
    NativeWidgetCreated();
    Click();
}

void TCheckBox::Toggle()
{
    switch (state_) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(AllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
}

std::unique_ptr<ui::TNativeWidget> TCheckBox::MakeNativeWidget()
{
    auto native = MakeWidget<QCheckBox>(this);
    // The toolkit cycles through the states in another order; the control
    // decides the next state and shows it.
    QObject::connect(native->As<QCheckBox>(), &QAbstractButton::clicked, native.get(), [this] {
        NativeWidgetCreated();
        Toggle();
    });
    return native;
}

void TCheckBox::NativeWidgetCreated()
{
    auto* box = NativeWidget() ? NativeWidget()->As<QCheckBox>() : nullptr;
    if (!box)
        return;
    QSignalBlocker quiet(box);
    box->setTristate(true);
    box->setCheckState(state_ == cbChecked   ? Qt::Checked
                       : state_ == cbGrayed ? Qt::PartiallyChecked
                                            : Qt::Unchecked);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::SetChecked(bool Value)
{
    if (checked_ == Value)
        return;
    checked_ = Value;
    NativeWidgetCreated();
    if (!Value)
        return;
    if (TWinControl* parent = Parent())
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
                other->SetChecked(false);
    Click();
}

std::unique_ptr<ui::TNativeWidget> TRadioButton::MakeNativeWidget()
{
    auto native = MakeWidget<QRadioButton>(this);
    auto* radio = native->As<QRadioButton>();
    radio->setAutoExclusive(false); // siblings live in other windows; the control unchecks them
    QObject::connect(radio, &QAbstractButton::clicked, native.get(), [this] {
        NativeWidgetCreated(); // a click on a checked radio button leaves it checked
        SetChecked(true);
    });
    return native;
}

void TRadioButton::NativeWidgetCreated()
{
    if (auto* radio = NativeWidget() ? NativeWidget()->As<QRadioButton>() : nullptr) {
        QSignalBlocker quiet(radio);
        radio->setChecked(checked_);
    }
}

// --- edits ---

TCustomEdit::TCustomEdit(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

namespace {
QLineEdit* LineEditOf(const TNativeControl* control)
{
    return control->NativeWidget() ? control->NativeWidget()->As<QLineEdit>() : nullptr;
}
} // namespace

void TCustomEdit::SetMaxLength(int Value)
{
    maxLength_ = Value < 0 ? 0 : Value;
    if (QLineEdit* edit = LineEditOf(this)) {
        QSignalBlocker quiet(edit);
        edit->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
    }
    SetText(ClipText(Text(), maxLength_));
}

void TCustomEdit::SetReadOnly(bool Value)
{
    readOnly_ = Value;
    if (QLineEdit* edit = LineEditOf(this))
        edit->setReadOnly(Value);
}

void TCustomEdit::SetPasswordChar(char Value)
{
    passwordChar_ = Value;
    if (QLineEdit* edit = LineEditOf(this))
        edit->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
}

int TCustomEdit::SelStart() const
{
    if (QLineEdit* edit = LineEditOf(this))
        return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    return selStart_;
}

void TCustomEdit::SetSelStart(int Value)
{
    int length = static_cast<int>(Q(Text()).size());
    selStart_ = std::clamp(Value, 0, length);
    selLength_ = 0;
    if (QLineEdit* edit = LineEditOf(this))
        edit->setCursorPosition(selStart_);
}

int TCustomEdit::SelLength() const
{
    if (QLineEdit* edit = LineEditOf(this))
        return edit->hasSelectedText() ? static_cast<int>(edit->selectedText().size()) : 0;
    return selLength_;
}

void TCustomEdit::SetSelLength(int Value)
{
    int start = SelStart();
    int length = static_cast<int>(Q(Text()).size());
    selStart_ = start;
    selLength_ = std::clamp(Value, 0, length - start);
    if (QLineEdit* edit = LineEditOf(this))
        edit->setSelection(selStart_, selLength_);
}

std::string TCustomEdit::SelText() const
{
    return Q(Text()).mid(SelStart(), SelLength()).toStdString();
}

void TCustomEdit::SelectAll()
{
    SetSelStart(0);
    SetSelLength(static_cast<int>(Q(Text()).size()));
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

std::unique_ptr<ui::TNativeWidget> TCustomEdit::MakeNativeWidget()
{
    auto native = MakeWidget<QLineEdit>(this);
    auto* edit = native->As<QLineEdit>();
    QObject::connect(edit, &QLineEdit::textEdited, native.get(), [this] { Modified = true; });
    QObject::connect(edit, &QLineEdit::textChanged, native.get(),
                     [this](const QString& text) { SetText(text.toStdString()); });
    return native;
}

void TCustomEdit::NativeWidgetCreated()
{
    QLineEdit* edit = LineEditOf(this);
    QSignalBlocker quiet(edit);
    edit->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
    edit->setReadOnly(readOnly_);
    edit->setEchoMode(passwordChar_ ? QLineEdit::Password : QLineEdit::Normal);
    edit->setText(Q(Text()));
    edit->setSelection(selStart_, selLength_);
}

void TCustomEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg != CM_TEXTCHANGED)
        return TNativeControl::Dispatch(Message);
    std::string clipped = ClipText(Text(), maxLength_);
    if (clipped != Text())
        return SetText(clipped); // the nested change reports it
    if (QLineEdit* edit = LineEditOf(this); edit && edit->text().toStdString() != Text()) {
        QSignalBlocker quiet(edit);
        edit->setText(Q(Text()));
    }
    selStart_ = selLength_ = 0;
    TNativeControl::Dispatch(Message);
    Change();
}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

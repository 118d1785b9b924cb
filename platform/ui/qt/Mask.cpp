// The toolkit's line edit behind a masked edit: the mask in the toolkit's
// notation, and the text the control keeps of what the widget shows.

#include "platform/ui/Mask.h"

#include <QLineEdit>
#include <QSignalBlocker>

#include "platform/ui/qt/NativeWidget.h"

void TCustomMaskEdit::ApplyMask()
{
    auto* edit = ui::NativeOf<QLineEdit>(this);
    if (!edit)
        return;
    edit->setInputMask(QString::fromStdString(mask_.Mask));
    // The text takes the mask's form (and loses what does not fit).
    std::string text = TextOfWidget();
    if (text != Text()) {
        fromWidget_ = true;
        SetText(text);
        fromWidget_ = false;
    }
}

std::string TCustomMaskEdit::TextOfWidget() const
{
    auto* edit = ui::NativeOf<QLineEdit>(this);
    if (!IsMasked())
        return edit->text().toStdString();
    if (mask_.SaveLiterals)
        return edit->text().toStdString();
    QString shown = edit->displayText();
    QString kept;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        bool literal = static_cast<size_t>(i) < mask_.IsLiteral.size() && mask_.IsLiteral[static_cast<size_t>(i)];
        if (!literal && shown[i] != QChar(mask_.Blank))
            kept += shown[i];
    }
    return kept.toStdString();
}

std::unique_ptr<ui::TNativeWidget> TCustomMaskEdit::MakeNativeWidget()
{
    auto native = TCustomEdit::MakeNativeWidget();
    auto* edit = native->As<QLineEdit>();
    // The text the control keeps depends on the mask.
    QObject::disconnect(edit, &QLineEdit::textChanged, native.get(), nullptr);
    QObject::connect(edit, &QLineEdit::textChanged, native.get(), [this] {
        std::string text = TextOfWidget();
        if (text == Text())
            return;
        fromWidget_ = true;
        SetText(text);
        fromWidget_ = false;
    });
    return native;
}

void TCustomMaskEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg != CM_TEXTCHANGED || !IsMasked())
        return TCustomEdit::Dispatch(Message);
    // A text from code goes through the mask first and is kept in the
    // mask's form (reported once, by the nested change). A text the widget
    // already shows is not handed back to it: that would move the caret
    // while the user types.
    auto* edit = ui::NativeOf<QLineEdit>(this);
    if (!fromWidget_ && edit) {
        {
            QSignalBlocker quiet(edit);
            edit->setText(QString::fromStdString(Text()));
        }
        std::string masked = TextOfWidget();
        if (masked != Text()) {
            fromWidget_ = true;
            SetText(masked);
            fromWidget_ = false;
            return;
        }
    }
    TNativeControl::Dispatch(Message);
    Change();
}

void TCustomMaskEdit::NativeWidgetCreated()
{
    TCustomEdit::NativeWidgetCreated();
    ApplyMask();
}

std::string TCustomMaskEdit::EditText() const
{
    if (auto* edit = ui::NativeOf<QLineEdit>(this))
        return edit->displayText().toStdString();
    return Text();
}

void TCustomMaskEdit::ValidateEdit()
{
    auto* edit = ui::NativeOf<QLineEdit>(this);
    if (!IsMasked() || !edit || edit->hasAcceptableInput())
        return;
    if (CanFocus())
        SetFocus();
    throw EDBEditError("Ungültiger Eingabewert: " + EditText());
}

#include "platform/ui/Mask.h"

#include <QLineEdit>
#include <QSignalBlocker>

#include "platform/ui/Messages.h"
#include "platform/ui/NativeWidget.h"

IMPLEMENT_CLASS(TCustomMaskEdit)
IMPLEMENT_CLASS(TMaskEdit)

namespace Mask {

namespace {

// Characters the toolkit reads as mask characters; as literals they need a
// backslash.
bool IsToolkitMaskChar(char c)
{
    static const std::string special = "AaNnXx90DdHhBb#><!;\\[]{}";
    return special.find(c) != std::string::npos;
}

char ToolkitPosition(char c)
{
    switch (c) {
    case 'L': return 'A';
    case 'l': return 'a';
    case 'A': return 'N';
    case 'a': return 'n';
    case 'C': return 'X';
    case 'c': return 'x';
    case '0': return '9';
    case '9': return '0';
    case '#': return '#';
    default: return 0;
    }
}

} // namespace

TToolkitMask ToolkitMask(const std::string& EditMask)
{
    TToolkitMask result;
    if (EditMask.empty())
        return result;
    // The fields after the positions: save-literals flag, then the blank.
    std::string positions = EditMask;
    char blank = '_';
    for (size_t i = positions.size(); i-- > 0;) {
        if (positions[i] != ';' || (i > 0 && positions[i - 1] == '\\'))
            continue;
        std::string field = positions.substr(i + 1);
        positions.resize(i);
        if (field.size() == 1 && (field[0] == '0' || field[0] == '1') && positions.find(';') == std::string::npos)
            result.SaveLiterals = field[0] == '1';
        else if (!field.empty())
            blank = field[0];
        if (positions.find(';') == std::string::npos)
            break;
    }
    for (size_t i = 0; i < positions.size(); ++i) {
        char c = positions[i];
        if (c == '!')
            continue; // leading or trailing blanks: the toolkit keeps positions as they are
        if (c == '<' && i + 1 < positions.size() && positions[i + 1] == '>') {
            result.Mask += '!';
            ++i;
        } else if (c == '>' || c == '<') {
            result.Mask += c;
        } else if (char position = ToolkitPosition(c)) {
            result.Mask += position;
            result.IsLiteral.push_back(false);
        } else {
            if (c == '\\' && i + 1 < positions.size())
                c = positions[++i];
            if (IsToolkitMaskChar(c))
                result.Mask += '\\';
            result.Mask += c;
            result.IsLiteral.push_back(true);
        }
    }
    result.Mask += ';';
    result.Mask += blank;
    result.Blank = blank;
    return result;
}

} // namespace Mask

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TCustomMaskEdit::SetEditMask(const std::string& Value)
{
    editMask_ = Value;
    mask_ = Mask::ToolkitMask(Value);
    ApplyMask();
}

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

void TCustomMaskEdit::DoExit()
{
    ValidateEdit();
    TCustomEdit::DoExit();
}

TMaskEdit::TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}

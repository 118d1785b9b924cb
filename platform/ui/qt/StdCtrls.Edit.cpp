// The toolkit widgets of edits and memos: text, selection, limits.

#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextEdit>

#include "platform/rtl/StringList.h"
#include "platform/ui/qt/NativeWidget.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The first `limit` characters of a text (all of it for limit 0).
std::string ClipText(const std::string& text, int limit)
{
    if (limit <= 0)
        return text;
    QString q = Q(text);
    return q.size() > limit ? q.left(limit).toStdString() : text;
}

QLineEdit* LineEditOf(const TNativeControl* control) { return ui::NativeOf<QLineEdit>(control); }

QPlainTextEdit* PlainEditOf(const TNativeControl* control) { return ui::NativeOf<QPlainTextEdit>(control); }

// A rich-text edit keeps its selection in the widget, counted as the widget
// counts (a line break is one character).
QTextEdit* RichEditOf(const TNativeControl* control) { return ui::NativeOf<QTextEdit>(control); }

int RichLength(const QTextEdit* edit) { return std::max(0, edit->document()->characterCount() - 1); }

QString ToWidgetText(const std::string& text) { return Q(text).replace("\r\n", "\n"); }

std::string FromWidgetText(const QString& text) { return QString(text).replace("\n", "\r\n").toStdString(); }

// The menu's paste and cut go to the control as WM_PASTE and WM_CUT, so a
// control can refuse them as it refuses the keys.
void RouteClipboardActions(QMenu& menu, TCustomEdit* control)
{
    for (QAction* action : menu.actions()) {
        UINT msg = action->objectName() == "edit-paste" ? WM_PASTE : action->objectName() == "edit-cut" ? WM_CUT : 0;
        if (msg == 0)
            continue;
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QObject::connect(action, &QAction::triggered, &menu, [control, msg] { control->Perform(msg, 0, 0); });
    }
}

class TLineEditWidget : public QLineEdit {
public:
    TLineEditWidget(QWidget* parent, TCustomEdit* control) : QLineEdit(parent), control_(control) { }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        std::unique_ptr<QMenu> menu(createStandardContextMenu());
        RouteClipboardActions(*menu, control_);
        menu->exec(event->globalPos());
    }

private:
    TCustomEdit* control_;
};

class TPlainEditWidget : public QPlainTextEdit {
public:
    TPlainEditWidget(QWidget* parent, TCustomEdit* control) : QPlainTextEdit(parent), control_(control) { }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
        RouteClipboardActions(*menu, control_);
        menu->exec(event->globalPos());
    }

private:
    TCustomEdit* control_;
};

Qt::Alignment AlignmentOf(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case taCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
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
    else if (QPlainTextEdit* memo = PlainEditOf(this))
        memo->setReadOnly(Value);
    else if (QTextEdit* rich = RichEditOf(this))
        rich->setReadOnly(Value);
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
    if (QTextEdit* rich = RichEditOf(this))
        return rich->textCursor().selectionStart();
    return selStart_;
}

void TCustomEdit::SetSelStart(int Value)
{
    if (QTextEdit* rich = RichEditOf(this)) {
        QTextCursor cursor = rich->textCursor();
        cursor.setPosition(std::clamp(Value, 0, RichLength(rich)));
        rich->setTextCursor(cursor);
        return;
    }
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
    if (QTextEdit* rich = RichEditOf(this))
        return rich->textCursor().selectionEnd() - rich->textCursor().selectionStart();
    return selLength_;
}

void TCustomEdit::SetSelLength(int Value)
{
    if (QTextEdit* rich = RichEditOf(this)) {
        QTextCursor cursor = rich->textCursor();
        const int start = cursor.selectionStart();
        cursor.setPosition(start);
        cursor.setPosition(std::clamp(start + Value, start, RichLength(rich)), QTextCursor::KeepAnchor);
        rich->setTextCursor(cursor);
        return;
    }
    int start = SelStart();
    int length = static_cast<int>(Q(Text()).size());
    selStart_ = start;
    selLength_ = std::clamp(Value, 0, length - start);
    if (QLineEdit* edit = LineEditOf(this))
        edit->setSelection(selStart_, selLength_);
}

std::string TCustomEdit::SelText() const
{
    if (QTextEdit* rich = RichEditOf(this))
        return rich->textCursor().selectedText().replace(QChar::ParagraphSeparator, "\r\n").toStdString();
    return Q(Text()).mid(SelStart(), SelLength()).toStdString();
}

void TCustomEdit::SelectAll()
{
    SetSelStart(0);
    SetSelLength(static_cast<int>(Q(Text()).size()));
}

void TCustomEdit::SetAlignment(TAlignment Value)
{
    alignment_ = Value;
    if (QLineEdit* edit = LineEditOf(this))
        edit->setAlignment(AlignmentOf(Value));
}

// The text area as margins of the widget's text.
void TCustomEdit::ApplyTextArea()
{
    QLineEdit* edit = LineEditOf(this);
    if (!edit)
        return;
    if (textArea_.IsEmpty())
        return edit->setTextMargins(0, 0, 0, 0);
    const TRect client = ClientRect();
    edit->setTextMargins(std::max(0, textArea_.Left), std::max(0, textArea_.Top),
                         std::max(0, client.Right - textArea_.Right), std::max(0, client.Bottom - textArea_.Bottom));
}

void TCustomEdit::BoundsChanged(const TRect& oldBounds)
{
    TNativeControl::BoundsChanged(oldBounds);
    ApplyTextArea();
}

void TCustomEdit::DefaultHandler(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN:
        if (UINT msg = ClipboardMessageOfKey(static_cast<WORD>(Message.WParam),
                                             ui::KeyDataToShiftState(Message.LParam))) {
            Perform(msg, 0, 0);
            return;
        }
        break;
    case WM_PASTE:
    case WM_CUT:
    case WM_COPY:
        if (QLineEdit* edit = LineEditOf(this))
            Message.Msg == WM_PASTE ? edit->paste() : Message.Msg == WM_CUT ? edit->cut() : edit->copy();
        else if (QPlainTextEdit* memo = PlainEditOf(this))
            Message.Msg == WM_PASTE ? memo->paste() : Message.Msg == WM_CUT ? memo->cut() : memo->copy();
        else if (QTextEdit* rich = RichEditOf(this))
            Message.Msg == WM_PASTE ? rich->paste() : Message.Msg == WM_CUT ? rich->cut() : rich->copy();
        return;
    default: break;
    }
    TNativeControl::DefaultHandler(Message);
}

std::unique_ptr<ui::TNativeWidget> TCustomEdit::MakeNativeWidget()
{
    auto* widget = new TLineEditWidget(ui::WidgetOf(this), this);
    auto native = std::make_unique<ui::TNativeWidget>(widget, Handle());
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
    edit->setAlignment(AlignmentOf(alignment_));
    ApplyTextArea();
}

void TCustomEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg == EM_SETRECT || Message.Msg == EM_SETRECTNP) {
        const auto* area = reinterpret_cast<const TRect*>(Message.LParam);
        textArea_ = area ? *area : TRect{};
        return ApplyTextArea();
    }
    if (Message.Msg == EM_GETRECT) {
        if (auto* area = reinterpret_cast<TRect*>(Message.LParam))
            *area = TextArea();
        return;
    }
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

std::unique_ptr<ui::TNativeWidget> TMemo::MakeNativeWidget()
{
    auto* widget = new TPlainEditWidget(ui::WidgetOf(this), this);
    auto native = std::make_unique<ui::TNativeWidget>(widget, Handle());
    auto* edit = native->As<QPlainTextEdit>();
    QObject::connect(edit, &QPlainTextEdit::textChanged, native.get(), [this, edit] {
        Modified = true;
        SetText(FromWidgetText(edit->toPlainText()));
    });
    return native;
}

void TMemo::NativeWidgetCreated()
{
    QPlainTextEdit* edit = PlainEditOf(this);
    QSignalBlocker quiet(edit);
    edit->setReadOnly(ReadOnly());
    edit->setPlainText(ToWidgetText(Text()));
}

void TMemo::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED) {
        if (!syncing_) {
            syncing_ = true;
            lines_->SetText(Text());
            syncing_ = false;
        }
        if (QPlainTextEdit* edit = PlainEditOf(this); edit && FromWidgetText(edit->toPlainText()) != Text()) {
            QSignalBlocker quiet(edit);
            edit->setPlainText(ToWidgetText(Text()));
        }
    }
    TCustomEdit::Dispatch(Message);
}

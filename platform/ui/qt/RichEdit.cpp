// The toolkit side of the rich-text edit: its widget, the font, wrapping,
// scroll bars, the caret and the lines as the widget counts characters.

#include "platform/ui/RichEdit.h"

#include <algorithm>

#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextEdit>

#include "platform/ui/qt/NativeWidget.h"

namespace {

QString ToWidgetText(const std::string& text) { return QString::fromStdString(text).replace("\r\n", "\n"); }

std::string FromWidgetText(const QString& text) { return QString(text).replace("\n", "\r\n").toStdString(); }

QTextEdit* RichOf(const TRichEdit* control) { return ui::NativeOf<QTextEdit>(control); }

Qt::ScrollBarPolicy Policy(bool allowed) { return allowed ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff; }

QFont QtFontOf(const TFont& font)
{
    QFont qfont(QString::fromStdString(font.Name()));
    // A positive height is the cell height; taking it as the em height
    // differs by the font's internal leading, a pixel or two.
    qfont.setPixelSize(std::max(1, std::abs(font.Height())));
    qfont.setBold(font.Style().Contains(fsBold));
    qfont.setItalic(font.Style().Contains(fsItalic));
    qfont.setUnderline(font.Style().Contains(fsUnderline));
    qfont.setStrikeOut(font.Style().Contains(fsStrikeOut));
    return qfont;
}

} // namespace

void TRichEdit::SetScrollBars(TScrollStyle Value)
{
    scrollBars_ = Value;
    if (QTextEdit* edit = RichOf(this)) {
        edit->setHorizontalScrollBarPolicy(Policy(Value == ssHorizontal || Value == ssBoth));
        edit->setVerticalScrollBarPolicy(Policy(Value == ssVertical || Value == ssBoth));
    }
}

void TRichEdit::SetWordWrap(bool Value)
{
    wordWrap_ = Value;
    if (QTextEdit* edit = RichOf(this))
        edit->setLineWrapMode(Value ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void TRichEdit::SetCaretVisible(bool Value)
{
    caretVisible_ = Value;
    if (QTextEdit* edit = RichOf(this))
        edit->setCursorWidth(Value ? 1 : 0);
}

int TRichEdit::LineFromChar(int CharIndex) const
{
    if (CharIndex < 0)
        CharIndex = SelStart();
    const TStrings& lines = const_cast<TRichEdit*>(this)->Lines();
    int start = 0;
    for (int line = 0; line < lines.Count(); ++line) {
        start += static_cast<int>(QString::fromStdString(lines.Strings(line)).size()) + 1;
        if (CharIndex < start)
            return line;
    }
    return std::max(0, lines.Count() - 1);
}

int TRichEdit::LineIndex(int Line) const
{
    const TStrings& lines = const_cast<TRichEdit*>(this)->Lines();
    if (Line < 0 || Line > std::max(0, lines.Count() - 1))
        return -1;
    int start = 0;
    for (int line = 0; line < Line; ++line)
        start += static_cast<int>(QString::fromStdString(lines.Strings(line)).size()) + 1;
    return start;
}

void TRichEdit::ApplyFont()
{
    QTextEdit* edit = RichOf(this);
    if (!edit)
        return;
    edit->setFont(QtFontOf(Font()));
    QPalette palette = edit->palette();
    const TColor color = ColorToRGB(Font().Color());
    palette.setColor(QPalette::Text, QColor(GetRValue(color), GetGValue(color), GetBValue(color)));
    edit->setPalette(palette);
}

std::unique_ptr<ui::TNativeWidget> TRichEdit::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QTextEdit>(this);
    auto* edit = native->As<QTextEdit>();
    // Formatting pasted in would live only in the widget, not in the text.
    edit->setAcceptRichText(false);
    QObject::connect(edit, &QTextEdit::textChanged, native.get(), [this, edit] {
        Modified = true;
        SetText(FromWidgetText(edit->toPlainText()));
    });
    QObject::connect(edit, &QTextEdit::cursorPositionChanged, native.get(), [this] { SelectionChange(); });
    QObject::connect(edit, &QTextEdit::selectionChanged, native.get(), [this] { SelectionChange(); });
    return native;
}

void TRichEdit::NativeWidgetCreated()
{
    QTextEdit* edit = RichOf(this);
    QSignalBlocker quiet(edit);
    edit->setReadOnly(ReadOnly());
    edit->setPlainText(ToWidgetText(Text()));
    SetScrollBars(scrollBars_);
    SetWordWrap(wordWrap_);
    SetCaretVisible(caretVisible_);
    ApplyFont();
}

void TRichEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED) {
        if (QTextEdit* edit = RichOf(this); edit && FromWidgetText(edit->toPlainText()) != Text()) {
            QSignalBlocker quiet(edit);
            edit->setPlainText(ToWidgetText(Text()));
        }
    } else if (Message.Msg == CM_FONTCHANGED) {
        ApplyFont();
    }
    TMemo::Dispatch(Message);
}

// The test driver's view of what the toolkit shows: windows, the widgets of
// standard controls and their pictures.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTextEdit>
#include <QToolButton>

#include "platform/ui/qt/Cursors.h"
#include "platform/ui/qt/NativeWidget.h"
#include "platform/ui/qt/TestDriver.h"
#include "platform/ui/qt/WindowWidget.h"

namespace ui::test {
namespace {

// The first cursor number whose built-in cursor has the shape.
TCursor CursorNumberOf(Qt::CursorShape shape)
{
    for (TCursor number = crDefault; number >= crSizeAll; --number)
        if (CursorOf(number).shape() == shape)
            return number;
    return crDefault;
}

std::vector<std::string> TextsOf(const QList<QLabel*>& labels)
{
    std::vector<std::string> texts;
    for (const QLabel* label : labels)
        texts.push_back(label->text().toStdString());
    return texts;
}

void ShowList(const QListView* list, TShownWidget& shown)
{
    const QAbstractItemModel* rows = list->model();
    for (int i = 0; i < rows->rowCount(); ++i) {
        shown.Items.push_back(rows->index(i, 0).data().toString().toStdString());
        shown.Selected.push_back(list->selectionModel()->isRowSelected(i, QModelIndex()));
    }
    shown.Current = list->currentIndex().row();
    shown.Selection = list->selectionMode() == QAbstractItemView::ExtendedSelection ? TSelectionMode::Extended
        : list->selectionMode() == QAbstractItemView::MultiSelection                ? TSelectionMode::Multi
                                                                                    : TSelectionMode::Single;
}

void ShowCombo(const QComboBox* combo, TShownWidget& shown)
{
    QAbstractItemView* rows = combo->view();
    for (int i = 0; i < combo->count(); ++i) {
        shown.Items.push_back(combo->itemText(i).toStdString());
        shown.RowHeights.push_back(rows->sizeHintForIndex(rows->model()->index(i, 0)).height());
    }
    shown.Current = combo->currentIndex();
    shown.Editable = combo->isEditable();
    shown.Text = combo->currentText().toStdString();
}

} // namespace

TColor TShownImage::Color(int x, int y) const
{
    std::uint32_t argb = Pixels.at(static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x));
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

int TShownImage::Alpha(int x, int y) const
{
    return static_cast<int>(Pixels.at(static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)) >>
                            24);
}

TShownImage ShownImageOf(const QImage& image)
{
    TShownImage shown;
    if (image.isNull())
        return shown;
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    shown.Width = argb.width();
    shown.Height = argb.height();
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            shown.Pixels.push_back(argb.pixel(x, y));
    return shown;
}

TShownWindow ShownWindow(TWinControl* control)
{
    QWidget* widget = WidgetOf(control);
    TShownWindow shown;
    shown.Visible = widget->isVisible();
    shown.StaysOnTop = (widget->windowFlags() & Qt::WindowStaysOnTopHint) != 0;
    shown.Width = widget->width();
    shown.Height = widget->height();
    shown.MinWidth = widget->minimumWidth();
    shown.MinHeight = widget->minimumHeight();
    shown.MaxWidth = widget->maximumWidth();
    shown.MaxHeight = widget->maximumHeight();
    QPoint frame = widget->frameGeometry().topLeft();
    shown.FrameOrigin = {frame.x(), frame.y()};
    shown.Cursor = CursorNumberOf(widget->cursor().shape());
    shown.Parent = widget->parentWidget() ? ControlOfWidget(widget->parentWidget()) : nullptr;
    shown.HasIcon = !widget->windowIcon().isNull();
    return shown;
}

TShownImage WindowIcon(TWinControl* control, int size)
{
    return ShownImageOf(WidgetOf(control)->windowIcon().pixmap(size, size).toImage());
}

TWinControl* WindowAt(TWinControl* control, TPoint at)
{
    for (QWidget* widget = WidgetOf(control)->childAt(at.X, at.Y); widget; widget = widget->parentWidget())
        if (TWinControl* owner = ControlOfWidget(widget))
            return owner;
    return nullptr;
}

TShownImage GrabScreen(TWinControl* control)
{
    QWidget* widget = WidgetOf(control);
    return ShownImageOf(widget->screen()->grabWindow(widget->winId()).toImage());
}

TShownImage GrabWidget(TNativeControl* control) { return ShownImageOf(NativeWidgetOf(control)->grab().toImage()); }

TShownImage GrabListRows(TCustomListBox* list)
{
    auto* widget = static_cast<QListView*>(NativeWidgetOf(list));
    return ShownImageOf(widget->viewport()->grab().toImage());
}

int ScrollPosition(TNativeControl* control, bool vertical)
{
    QWidget* widget = NativeWidgetOf(control);
    auto* area = qobject_cast<QAbstractScrollArea*>(widget);
    if (!area && widget)
        area = widget->findChild<QAbstractScrollArea*>();
    if (!area)
        return -1;
    return (vertical ? area->verticalScrollBar() : area->horizontalScrollBar())->value();
}

TShownWidget ShownWidget(TNativeControl* control)
{
    TShownWidget shown;
    QWidget* widget = NativeWidgetOf(control);
    if (!widget)
        return shown;
    shown.Exists = true;
    shown.Width = widget->width();
    shown.Height = widget->height();
    if (QWidget* host = widget->parentWidget())
        shown.BelowChildWindows = host->children().indexOf(widget) == 0;
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        shown.Check = box->checkState() == Qt::Checked  ? cbChecked
            : box->checkState() == Qt::PartiallyChecked ? cbGrayed
                                                        : cbUnchecked;
    else if (auto* radio = qobject_cast<QRadioButton*>(widget))
        shown.Check = radio->isChecked() ? cbChecked : cbUnchecked;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        shown.Button = true;
        shown.Text = button->text().toStdString();
        shown.HasIcon = !button->icon().isNull();
    }
    if (auto* tool = qobject_cast<QToolButton*>(widget)) {
        shown.TextOnly = tool->toolButtonStyle() == Qt::ToolButtonTextOnly;
        shown.AutoRaise = tool->autoRaise();
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        shown.Text = group->title().toStdString();
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        shown.Text = line->text().toStdString();
        shown.DisplayText = line->displayText().toStdString();
        shown.SelectedText = line->selectedText().toStdString();
        shown.Password = line->echoMode() == QLineEdit::Password;
        QMargins margins = line->textMargins();
        shown.TextArea = Rect(margins.left(), margins.top(), line->width() - margins.right(),
                              line->height() - margins.bottom());
        Qt::Alignment alignment = line->alignment() & Qt::AlignHorizontal_Mask;
        shown.TextAlignment = alignment == Qt::AlignRight ? taRightJustify
            : alignment == Qt::AlignHCenter               ? taCenter
                                                          : taLeftJustify;
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
        shown.Text = text->toPlainText().toStdString();
    } else if (auto* rich = qobject_cast<QTextEdit*>(widget)) {
        shown.Text = rich->toPlainText().toStdString();
        shown.SelectedText = rich->textCursor().selectedText().toStdString();
        shown.ReadOnly = rich->isReadOnly();
        shown.CaretShown = rich->cursorWidth() > 0;
        shown.WordWrap = rich->lineWrapMode() != QTextEdit::NoWrap;
        shown.ScrollBarsAllowed = {rich->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff,
                                   rich->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff};
        shown.FontFamily = rich->font().family().toStdString();
        shown.FontPixelSize = rich->font().pixelSize();
        shown.Bold = rich->font().bold();
        const QColor color = rich->palette().color(QPalette::Text);
        shown.TextColor = RGB(color.red(), color.green(), color.blue());
    } else if (auto* list = qobject_cast<QListView*>(widget)) {
        ShowList(list, shown);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        ShowCombo(combo, shown);
    } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
        shown.Value = slider->value();
        shown.Maximum = slider->maximum();
        shown.Vertical = slider->orientation() == Qt::Vertical;
    } else if (auto* progress = qobject_cast<QProgressBar*>(widget)) {
        shown.Value = progress->value();
        shown.Maximum = progress->maximum();
    } else if (auto* bar = qobject_cast<QMenuBar*>(widget)) {
        for (const QAction* action : bar->actions())
            shown.Items.push_back(action->text().toStdString());
    } else if (auto* tabs = widget->findChild<QTabBar*>("tabs")) {
        for (int i = 0; i < tabs->count(); ++i)
            shown.Items.push_back(tabs->tabText(i).toStdString());
        shown.Current = tabs->currentIndex();
        shown.TabsShown = !tabs->isHidden();
    } else if (QList<QLabel*> labels = widget->findChildren<QLabel*>(); !labels.isEmpty()) {
        shown.Items = TextsOf(labels);
        for (const QLabel* label : labels)
            shown.ItemWidths.push_back(label->width());
    }
    return shown;
}

TShownImage WidgetIcon(TNativeControl* control, int size)
{
    auto* button = qobject_cast<QAbstractButton*>(NativeWidgetOf(control));
    if (!button)
        return {};
    return ShownImageOf(button->icon().pixmap(QSize(size, size)).toImage());
}

} // namespace ui::test

// The toolkit's list behind a list box: rows, selection, scrolling, columns
// and the rows' owner drawing; presses on the rows reach the control as
// mouse messages before the list selects; while the list is dragged its
// moves do too.

#include "platform/ui/StdCtrls.h"

#include <algorithm>
#include <functional>

#include <QAbstractListModel>
#include <QItemSelection>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>

#include "platform/ui/qt/NativeWidget.h"
#include "platform/ui/qt/OwnerDraw.h"

namespace {

UINT ButtonMessage(QEvent::Type type, Qt::MouseButton button)
{
    UINT base = button == Qt::LeftButton ? WM_LBUTTONDOWN
        : button == Qt::RightButton      ? WM_RBUTTONDOWN
        : button == Qt::MiddleButton     ? WM_MBUTTONDOWN
                                         : 0;
    if (base == 0)
        return 0;
    return type == QEvent::MouseButtonPress ? base : type == QEvent::MouseButtonRelease ? base + 1 : base + 2;
}

WPARAM KeysOf(const QMouseEvent& event)
{
    WPARAM keys = 0;
    if (event.buttons() & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (event.buttons() & Qt::RightButton)
        keys |= MK_RBUTTON;
    if (event.buttons() & Qt::MiddleButton)
        keys |= MK_MBUTTON;
    if (event.modifiers() & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (event.modifiers() & Qt::ControlModifier)
        keys |= MK_CONTROL;
    return keys;
}

// Hands the presses and releases on the rows to the control as messages in
// the rows' coordinates, before the list handles them.
class TRowMouseFilter : public QObject {
public:
    TRowMouseFilter(TCustomListBox* control, QObject* parent) : QObject(parent), control_(control) { }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        auto type = event->type();
        if (type == QEvent::MouseMove && ui::DragSourceControl() == control_) {
            // The dragged list's moves steer the drag and select nothing.
            QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            control_->Perform(WM_MOUSEMOVE, KeysOf(*static_cast<QMouseEvent*>(event)), MAKELPARAM(at.x(), at.y()));
            return true;
        }
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
            type != QEvent::MouseButtonDblClick)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (UINT msg = ButtonMessage(type, mouse->button())) {
            QPoint at = mouse->position().toPoint();
            control_->Perform(msg, KeysOf(*mouse), MAKELPARAM(at.x(), at.y()));
        }
        return false;
    }

private:
    TCustomListBox* control_;
};

// The rows as the view sees them: the control's own items, read when a row
// is shown. A list of thousands of pictures thus opens without making a
// toolkit item per row. The row count is the one of the last reset, so the
// view never sees items the control changes inside an update.
class TRowModel : public QAbstractListModel {
public:
    TRowModel(std::function<int()> count, std::function<const std::string*(int)> text, QObject* parent)
        : QAbstractListModel(parent), count_(std::move(count)), text_(std::move(text))
    { }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        const std::string* text = text_(index.row());
        return text ? QString::fromStdString(*text) : QString();
    }

    void Reset()
    {
        beginResetModel();
        rows_ = count_();
        endResetModel();
    }

private:
    std::function<int()> count_;
    std::function<const std::string*(int)> text_;
    int rows_ = 0;
};

TRowModel* RowsOf(QListView* list) { return static_cast<TRowModel*>(list->model()); }

int RowCount(const QListView* list) { return list->model()->rowCount(); }

} // namespace

std::unique_ptr<ui::TNativeWidget> TCustomListBox::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QListView>(this);
    auto* list = native->As<QListView>();
    list->setModel(new TRowModel([this] { return static_cast<int>(items_.size()); },
                                 [this](int row) {
                                     return row >= 0 && row < static_cast<int>(items_.size())
                                         ? &items_[static_cast<size_t>(row)].Text
                                         : nullptr;
                                 },
                                 list));
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setItemDelegate(new ui::TOwnerDrawDelegate(list));
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->viewport()->installEventFilter(new TRowMouseFilter(this, list));
    QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, native.get(),
                     [this] { TakeUserSelection(); });
    QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged, native.get(), [this](int top) {
        if (!pushing_ && columns_ == 0)
            topIndex_ = top;
    });
    return native;
}

void TCustomListBox::NativeWidgetCreated()
{
    ApplyStyle();
    ItemsShownChanged();
}

void TCustomListBox::ItemsShownChanged()
{
    auto* list = ui::NativeOf<QListView>(this);
    if (!list)
        return;
    pushing_ = true;
    RowsOf(list)->Reset();
    pushing_ = false;
    ApplySelectionMode();
    ApplySelection();
    if (list->isVisible() || topIndex_ != 0 || columns_ != 0) {
        ApplyStyle();
        SetTopIndex(topIndex_);
    } else {
        // A hidden view lays its rows out when it is shown: a long list
        // filled before that is laid out once, not once per fill.
        pushing_ = true;
        list->verticalScrollBar()->setValue(0);
        pushing_ = false;
    }
}

void TCustomListBox::ApplyStyle()
{
    auto* list = ui::NativeOf<QListView>(this);
    if (!list)
        return;
    auto* delegate = static_cast<ui::TOwnerDrawDelegate*>(list->itemDelegate());
    const DWORD listStyle = ListStyle();
    const bool ownerDrawn = (listStyle & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
    if (!ownerDrawn && (listStyle & LBS_USETABSTOPS) == 0) {
        delegate->RowHeight = nullptr;
        delegate->PaintRow = nullptr;
    } else {
        // Rows of lists with tab stops alone keep the toolkit's height.
        delegate->RowHeight = [this, ownerDrawn](int row) { return ownerDrawn ? HeightOf(row) : 0; };
        delegate->PaintRow = [this, list](QPainter& painter, int row, const QRect& area, const QStyleOptionViewItem&) {
            if (row < 0 || row >= static_cast<int>(items_.size()))
                return;
            TOwnerDrawState state;
            if (Selected(row))
                state.Include(odSelected);
            if (list->hasFocus() && row == itemIndex_)
                state.Include(odFocused);
            ui::PaintOwnerDrawnItem(
                painter, area, *this, drawn_, state,
                [this, row](const TRect& rect, TOwnerDrawState s) { DrawItemRequest(row, rect, s); });
        };
    }
    // Columns: the rows flow down and on into the next column.
    list->setFlow(QListView::TopToBottom);
    list->setWrapping(columns_ > 0);
    list->setResizeMode(columns_ > 0 ? QListView::Adjust : QListView::Fixed);
    if (columns_ > 0) {
        const int columnWidth = std::max(1, (Width() + columns_ - 3) / columns_);
        delegate->ColumnWidth = columnWidth;
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else {
        delegate->ColumnWidth = 0;
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    list->setUniformItemSizes(style_ != lbOwnerDrawVariable);
    list->doItemsLayout();
    list->viewport()->update();
}

int TCustomListBox::HeightForIntegral() const
{
    if (style_ != lbStandard)
        return drawn_.ItemHeight;
    if (auto* list = ui::NativeOf<QListView>(this); list && RowCount(list) > 0)
        return list->sizeHintForRow(0);
    return QFontMetrics(QFont()).height();
}

void TCustomListBox::Invalidate()
{
    TNativeControl::Invalidate();
    if (auto* list = ui::NativeOf<QListView>(this))
        list->viewport()->update();
}

int TCustomListBox::TopIndex() const
{
    if (auto* list = ui::NativeOf<QListView>(this); list && columns_ == 0)
        return list->verticalScrollBar()->value();
    return topIndex_;
}

void TCustomListBox::SetTopIndex(int Value)
{
    topIndex_ = std::clamp(Value, 0, std::max(0, static_cast<int>(items_.size()) - 1));
    if (auto* list = ui::NativeOf<QListView>(this); list && columns_ == 0) {
        pushing_ = true;
        list->doItemsLayout();
        list->verticalScrollBar()->setValue(topIndex_);
        pushing_ = false;
    }
}

TRect TCustomListBox::ItemRect(int Index) const
{
    int count = static_cast<int>(items_.size());
    if (Index < 0 || Index > count || count == 0)
        return {};
    if (Index == count) { // the place for one more item, under the last
        TRect last = ItemRect(count - 1);
        return Bounds(last.Left, last.Bottom, last.Width(), last.Height());
    }
    if (auto* list = ui::NativeOf<QListView>(this)) {
        list->doItemsLayout();
        QRect r = list->visualRect(list->model()->index(Index, 0));
        return Bounds(r.x(), r.y(), r.width(), r.height());
    }
    // Without the widget: stacked from the top item down.
    auto* self = const_cast<TCustomListBox*>(this); // measuring caches heights
    int top = 0;
    int first = TopIndex();
    for (int i = first; i < Index; ++i)
        top += self->HeightOf(i);
    for (int i = Index; i < first; ++i)
        top -= self->HeightOf(i);
    return Bounds(0, top, ClientWidth(), self->HeightOf(Index));
}

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) const
{
    int count = static_cast<int>(items_.size());
    if (auto* list = ui::NativeOf<QListView>(this)) {
        if (!list->viewport()->rect().contains(Pos.X, Pos.Y))
            return -1;
        list->doItemsLayout();
        if (QModelIndex row = list->indexAt(QPoint(Pos.X, Pos.Y)); row.isValid())
            return row.row();
        return Existing ? -1 : count;
    }
    if (!ClientRect().Contains(Pos.X, Pos.Y))
        return -1;
    auto* self = const_cast<TCustomListBox*>(this);
    int top = 0;
    for (int i = TopIndex(); i < count && top <= Pos.Y; ++i) {
        int bottom = top + self->HeightOf(i);
        if (Pos.Y >= top && Pos.Y < bottom)
            return i;
        top = bottom;
    }
    return Existing ? -1 : count;
}

void TCustomListBox::ApplySelectionMode()
{
    if (auto* list = ui::NativeOf<QListView>(this))
        list->setSelectionMode(!multiSelect_         ? QAbstractItemView::SingleSelection
                                   : extendedSelect_ ? QAbstractItemView::ExtendedSelection
                                                     : QAbstractItemView::MultiSelection);
}

void TCustomListBox::ApplySelection()
{
    auto* list = ui::NativeOf<QListView>(this);
    // Inside an update the selection is shown once, when the update ends.
    if (!list || updating_ > 0 || RowCount(list) != static_cast<int>(items_.size()))
        return;
    pushing_ = true;
    // One selection of the selected runs, set at once: item by item each
    // change merges into the whole selection, quadratic in a long list.
    QItemSelection selection;
    const int count = RowCount(list);
    for (int first = 0; first < count; ++first) {
        if (!Selected(first))
            continue;
        int last = first;
        while (last + 1 < count && Selected(last + 1))
            ++last;
        selection.select(list->model()->index(first, 0), list->model()->index(last, 0));
        first = last;
    }
    list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    list->selectionModel()->setCurrentIndex(list->model()->index(itemIndex_, 0), QItemSelectionModel::NoUpdate);
    pushing_ = false;
}

void TCustomListBox::TakeUserSelection()
{
    auto* list = NativeWidget()->As<QListView>();
    if (pushing_ || !list || RowCount(list) != static_cast<int>(items_.size()))
        return;
    const QItemSelectionModel* selection = list->selectionModel();
    for (int i = 0; i < RowCount(list); ++i)
        items_[static_cast<size_t>(i)].Selected = selection->isRowSelected(i, QModelIndex());
    itemIndex_ = list->currentIndex().row();
    Click();
}

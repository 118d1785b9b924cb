// The toolkit's list behind a list box: rows, selection, scrolling and the
// rows' owner drawing.

#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include <QItemSelection>
#include <QListWidget>
#include <QScrollBar>

#include "platform/rtl/StringList.h"
#include "platform/ui/qt/NativeWidget.h"
#include "platform/ui/qt/OwnerDraw.h"

std::unique_ptr<ui::TNativeWidget> TListBox::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QListWidget>(this);
    auto* list = native->As<QListWidget>();
    list->setItemDelegate(new ui::TOwnerDrawDelegate(list));
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QObject::connect(list, &QListWidget::itemSelectionChanged, native.get(), [this] { TakeUserSelection(); });
    QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged, native.get(), [this](int top) {
        if (!pushing_)
            topIndex_ = top;
    });
    return native;
}

void TListBox::NativeWidgetCreated()
{
    auto* list = ui::NativeOf<QListWidget>(this);
    if (!list)
        return;
    pushing_ = true;
    list->clear();
    // All rows at once: row by row a long list takes quadratic time.
    QStringList rows;
    rows.reserve(items_->Count());
    for (int i = 0; i < items_->Count(); ++i)
        rows.append(QString::fromStdString(items_->Strings(i)));
    list->addItems(rows);
    pushing_ = false;
    ApplyStyle();
    ApplySelectionMode();
    ApplySelection();
    SetTopIndex(topIndex_);
}

void TListBox::ApplyStyle()
{
    auto* list = ui::NativeOf<QListWidget>(this);
    if (!list)
        return;
    auto* delegate = static_cast<ui::TOwnerDrawDelegate*>(list->itemDelegate());
    if (style_ == lbStandard) {
        delegate->RowHeight = nullptr;
        delegate->PaintRow = nullptr;
    } else {
        delegate->RowHeight = [this](int row) { return HeightOf(row); };
        delegate->PaintRow = [this, list](QPainter& painter, int row, const QRect& area, const QStyleOptionViewItem&) {
            if (row < 0 || row >= items_->Count())
                return;
            TOwnerDrawState state;
            if (selected_[static_cast<size_t>(row)])
                state.Include(odSelected);
            if (list->hasFocus() && row == itemIndex_)
                state.Include(odFocused);
            ui::PaintOwnerDrawnItem(painter, area, *this, drawn_, state,
                                    [this, row](const TRect& rect, TOwnerDrawState s) { DrawItem(row, rect, s); });
        };
    }
    list->setUniformItemSizes(style_ != lbOwnerDrawVariable);
    list->doItemsLayout();
    list->viewport()->update();
}

void TListBox::Invalidate()
{
    TNativeControl::Invalidate();
    if (auto* list = ui::NativeOf<QListWidget>(this))
        list->viewport()->update();
}

int TListBox::TopIndex() const
{
    if (auto* list = ui::NativeOf<QListWidget>(this))
        return list->verticalScrollBar()->value();
    return topIndex_;
}

void TListBox::SetTopIndex(int Value)
{
    topIndex_ = std::clamp(Value, 0, std::max(0, items_->Count() - 1));
    if (auto* list = ui::NativeOf<QListWidget>(this)) {
        pushing_ = true;
        list->doItemsLayout();
        list->verticalScrollBar()->setValue(topIndex_);
        pushing_ = false;
    }
}

TRect TListBox::ItemRect(int Index) const
{
    int count = items_->Count();
    if (Index < 0 || Index > count || count == 0)
        return {};
    if (Index == count) { // the place for one more item, under the last
        TRect last = ItemRect(count - 1);
        return Bounds(last.Left, last.Bottom, last.Width(), last.Height());
    }
    if (auto* list = ui::NativeOf<QListWidget>(this)) {
        list->doItemsLayout();
        QRect r = list->visualItemRect(list->item(Index));
        return Bounds(r.x(), r.y(), r.width(), r.height());
    }
    // Without the widget: stacked from the top item down.
    auto* self = const_cast<TListBox*>(this); // measuring caches heights
    int top = 0;
    int first = TopIndex();
    for (int i = first; i < Index; ++i)
        top += self->HeightOf(i);
    for (int i = Index; i < first; ++i)
        top -= self->HeightOf(i);
    return Bounds(0, top, ClientWidth(), self->HeightOf(Index));
}

int TListBox::ItemAtPos(const TPoint& Pos, bool Existing) const
{
    int count = items_->Count();
    if (auto* list = ui::NativeOf<QListWidget>(this)) {
        if (!list->viewport()->rect().contains(Pos.X, Pos.Y))
            return -1;
        list->doItemsLayout();
        if (QListWidgetItem* item = list->itemAt(Pos.X, Pos.Y))
            return list->row(item);
        return Existing ? -1 : count;
    }
    if (!ClientRect().Contains(Pos.X, Pos.Y))
        return -1;
    auto* self = const_cast<TListBox*>(this);
    int top = 0;
    for (int i = TopIndex(); i < count && top <= Pos.Y; ++i) {
        int bottom = top + self->HeightOf(i);
        if (Pos.Y >= top && Pos.Y < bottom)
            return i;
        top = bottom;
    }
    return Existing ? -1 : count;
}

void TListBox::ApplySelectionMode()
{
    if (auto* list = ui::NativeOf<QListWidget>(this))
        list->setSelectionMode(!multiSelect_         ? QAbstractItemView::SingleSelection
                                   : extendedSelect_ ? QAbstractItemView::ExtendedSelection
                                                     : QAbstractItemView::MultiSelection);
}

void TListBox::ApplySelection()
{
    auto* list = ui::NativeOf<QListWidget>(this);
    if (!list)
        return;
    pushing_ = true;
    // One selection of the selected runs, set at once: item by item each
    // change merges into the whole selection, quadratic in a long list.
    QItemSelection selection;
    const int count = list->count();
    for (int first = 0; first < count; ++first) {
        if (!selected_[static_cast<size_t>(first)])
            continue;
        int last = first;
        while (last + 1 < count && selected_[static_cast<size_t>(last + 1)])
            ++last;
        selection.select(list->model()->index(first, 0), list->model()->index(last, 0));
        first = last;
    }
    list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    list->setCurrentRow(itemIndex_, QItemSelectionModel::NoUpdate);
    pushing_ = false;
}

void TListBox::TakeUserSelection()
{
    auto* list = NativeWidget()->As<QListWidget>();
    if (pushing_ || !list)
        return;
    for (int i = 0; i < list->count(); ++i)
        selected_[static_cast<size_t>(i)] = list->item(i)->isSelected();
    itemIndex_ = list->currentRow();
    Click();
}

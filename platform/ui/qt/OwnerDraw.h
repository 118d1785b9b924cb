#pragma once

// Owner drawing of toolkit lists: the rows of a list widget are measured and
// painted by the control, which draws them with a TCanvas. For the backend
// only.

#include <functional>

#include <QStyledItemDelegate>

#include "platform/graphics/Canvas.h"
#include "platform/ui/OwnerDrawnItems.h"

class QPainter;

namespace ui {

// Runs a drawing on a canvas whose logical coordinates are those of `area`'s
// coordinate system (so a row's rectangle reads as the control expects); the
// result is painted onto the painter at `area`.
void PaintWithCanvas(QPainter& painter, const QRect& area, TCanvas& canvas, const std::function<void()>& draw);

// Paints one item of an owner-drawn list or combo box at `area` as the
// items draw it (TOwnerDrawnItems::Draw); `draw` draws the item.
void PaintOwnerDrawnItem(QPainter& painter, const QRect& area, const TControl& control, TOwnerDrawnItems& items,
                         TOwnerDrawState state,
                         const std::function<void(const TRect& Rect, TOwnerDrawState State)>& draw);

// A row delegate that asks the control for each row's height and painting.
class TOwnerDrawDelegate : public QStyledItemDelegate {
public:
    // The row's height; 0 or less lets the toolkit decide.
    std::function<int(int Row)> RowHeight;
    // The width of every row (the column width of a list of columns); 0
    // lets the toolkit decide.
    int ColumnWidth = 0;
    // Paints a row into `area` (viewport coordinates).
    std::function<void(QPainter& Painter, int Row, const QRect& Area, const QStyleOptionViewItem& Option)> PaintRow;

    explicit TOwnerDrawDelegate(QObject* parent) : QStyledItemDelegate(parent) { }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace ui

#include "platform/ui/qt/OwnerDraw.h"

#include <QImage>
#include <QListView>
#include <QPainter>

#include "platform/graphics/Surface.h"

namespace ui {

void PaintWithCanvas(QPainter& painter, const QRect& area, TCanvas& canvas, const std::function<void()>& draw)
{
    if (area.isEmpty())
        return;
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    TMemorySurface surface(image.bits(), image.width(), image.height(), image.bytesPerLine());
    TPixelSurface* previous = canvas.Surface();
    TPoint previousOrigin = canvas.ViewportOrg();
    canvas.SetSurface(&surface);
    canvas.SetViewportOrg({-area.left(), -area.top()});
    struct Restore {
        TCanvas& canvas;
        TPixelSurface* surface;
        TPoint origin;
        ~Restore()
        {
            canvas.SetSurface(surface);
            canvas.SetViewportOrg(origin);
        }
    } restore{canvas, previous, previousOrigin};
    draw();
    painter.drawImage(area.topLeft(), image);
}

void PaintOwnerDrawnItem(QPainter& painter, const QRect& area, const TControl& control, TOwnerDrawnItems& items,
                         TOwnerDrawState state,
                         const std::function<void(const TRect& Rect, TOwnerDrawState State)>& draw)
{
    const TRect rect = Bounds(area.x(), area.y(), area.width(), area.height());
    PaintWithCanvas(painter, area, items.Canvas, [&] { items.Draw(control, rect, state, draw); });
}

void TOwnerDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (PaintRow)
        PaintRow(*painter, index.row(), option.rect, option);
    else
        QStyledItemDelegate::paint(painter, option, index);
}

QSize TOwnerDrawDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    bool programDrawn = false;
    if (RowHeight)
        if (int height = RowHeight(index.row()); height > 0) {
            size.setHeight(height);
            programDrawn = true;
        }
    if (ColumnWidth > 0)
        size.setWidth(ColumnWidth);
    else if (auto* view = qobject_cast<QListView*>(parent()); view && programDrawn)
        // A row the program draws is as wide as the list, however long its
        // text: the drawing shortens or clips the text to that width.
        size.setWidth(view->viewport()->width());
    return size;
}

} // namespace ui

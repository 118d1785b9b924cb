// The drag image's window: a see-through window above all others that
// ignores the mouse.

#include <QLabel>
#include <QPixmap>
#include <QPointer>

#include "platform/ui/Backend.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/qt/Pictures.h"

namespace ui::backend {
namespace {

QPointer<QLabel>& Window()
{
    static QPointer<QLabel> window;
    return window;
}

// The image with the cursor image on top, and where its hot spot lies then.
QImage DragPicture(TImageList& image, TPoint hotSpotAt, TImageList* cursorList, TPoint cursorOffset, QPoint& hotSpot)
{
    QImage picture = PictureOfImage(image, 0);
    hotSpot = QPoint(hotSpotAt.X, hotSpotAt.Y);
    if (!cursorList || cursorList->Count() == 0)
        return picture;
    QImage cursor = PictureOfImage(*cursorList, 0);
    QPoint at = hotSpot + QPoint(cursorOffset.X, cursorOffset.Y);
    QRect all = picture.rect().united(QRect(at, cursor.size()));
    QImage both(all.size(), QImage::Format_ARGB32);
    both.fill(Qt::transparent);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            both.setPixel(x - all.left(), y - all.top(), picture.pixel(x, y));
    for (int y = 0; y < cursor.height(); ++y)
        for (int x = 0; x < cursor.width(); ++x)
            if (qAlpha(cursor.pixel(x, y)) != 0)
                both.setPixel(at.x() + x - all.left(), at.y() + y - all.top(), cursor.pixel(x, y));
    hotSpot -= all.topLeft();
    return both;
}

} // namespace

void ShowDragImage(TImageList& image, TPoint hotSpot, TImageList* cursor, TPoint cursorOffset, TPoint screenPos)
{
    QPointer<QLabel>& window = Window();
    if (!window) {
        window = new QLabel;
        window->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                               Qt::WindowStaysOnTopHint);
        window->setAttribute(Qt::WA_TranslucentBackground);
        window->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    QPoint spot;
    QImage picture = DragPicture(image, hotSpot, cursor, cursorOffset, spot);
    window->setPixmap(QPixmap::fromImage(picture));
    window->resize(picture.size());
    window->move(QPoint(screenPos.X, screenPos.Y) - spot);
    window->show();
}

void HideDragImage()
{
    if (Window())
        Window()->hide();
}

void DestroyDragImage()
{
    if (Window())
        delete Window().data();
}

bool DragImageShown() { return Window() && Window()->isVisible(); }

TRect DragImageRect()
{
    if (!Window())
        return {};
    QRect r = Window()->geometry();
    return Bounds(r.x(), r.y(), r.width(), r.height());
}

} // namespace ui::backend

#include "platform/ui/qt/Cursors.h"

#include <QApplication>
#include <QPixmap>

#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Backend.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/qt/Pictures.h"

namespace ui {
namespace {

Qt::CursorShape ShapeOf(std::intptr_t cursor)
{
    switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crAppStart: return Qt::BusyCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

// Cursors made from pictures; a handle is the index plus one.
std::vector<QCursor>& CustomCursors()
{
    static auto* list = new std::vector<QCursor>;
    return *list;
}

} // namespace

QCursor CursorOf(std::int16_t cursor)
{
    std::uintptr_t handle = Screen ? Screen->Cursors(cursor) : 0;
    const auto& custom = CustomCursors();
    if (handle >= 1 && handle <= custom.size())
        return custom[handle - 1];
    return QCursor(ShapeOf(static_cast<std::intptr_t>(handle)));
}

std::uintptr_t CreateCursorFromBitmap(TBitmap& Image, int HotX, int HotY)
{
    EnsurePlatform();
    QImage image = ImageOfBitmap(Image, Image.Transparent(), Image.TransparentColor());
    CustomCursors().emplace_back(QPixmap::fromImage(image), HotX, HotY);
    return CustomCursors().size();
}

bool GetCursorPos(TPoint& Point)
{
    EnsurePlatform();
    QPoint p = QCursor::pos();
    Point = {p.x(), p.y()};
    return true;
}

bool SetCursorPos(int X, int Y)
{
    EnsurePlatform();
    QCursor::setPos(X, Y);
    return true;
}

namespace backend {

void ShowApplicationCursor(bool hidden, std::int16_t cursor)
{
    if (!QCoreApplication::instance())
        return;
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (hidden)
        QApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    else if (cursor != crDefault)
        QApplication::setOverrideCursor(CursorOf(cursor));
}

} // namespace backend

} // namespace ui

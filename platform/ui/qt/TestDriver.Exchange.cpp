// The test driver's data exchange with other programs: the system
// clipboard, their drags, data carried as MIME data, and the picture
// dialogs' file window.

#include <QClipboard>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/qt/CommonDialogs.h"
#include "platform/ui/qt/MimeFormats.h"
#include "platform/ui/qt/Pictures.h"
#include "platform/ui/qt/TestDriver.h"
#include "platform/ui/qt/WindowWidget.h"

namespace ui::test {
namespace {

QClipboard* SystemClipboard()
{
    EnsurePlatform();
    return QGuiApplication::clipboard();
}

Qt::DropActions ActionsOf(DWORD effects)
{
    Qt::DropActions actions = Qt::IgnoreAction;
    if (effects & DROPEFFECT_COPY)
        actions |= Qt::CopyAction;
    if (effects & DROPEFFECT_MOVE)
        actions |= Qt::MoveAction;
    if (effects & DROPEFFECT_LINK)
        actions |= Qt::LinkAction;
    return actions;
}

DWORD EffectOf(Qt::DropAction action)
{
    switch (action) {
    case Qt::CopyAction: return DROPEFFECT_COPY;
    case Qt::MoveAction: return DROPEFFECT_MOVE;
    case Qt::LinkAction: return DROPEFFECT_LINK;
    default: return DROPEFFECT_NONE;
    }
}

Qt::KeyboardModifiers ModifiersOf(TShiftState state)
{
    Qt::KeyboardModifiers mods;
    if (state.Contains(ssShift))
        mods |= Qt::ShiftModifier;
    if (state.Contains(ssCtrl))
        mods |= Qt::ControlModifier;
    if (state.Contains(ssAlt))
        mods |= Qt::AltModifier;
    return mods;
}

} // namespace

// --- clipboard ---

void ClearClipboard() { SystemClipboard()->clear(); }

std::vector<std::string> ClipboardTypes()
{
    std::vector<std::string> types;
    if (const QMimeData* mime = SystemClipboard()->mimeData())
        for (const QString& type : mime->formats())
            types.push_back(type.toStdString());
    return types;
}

std::string ClipboardText() { return SystemClipboard()->text().toStdString(); }

std::vector<std::string> ClipboardFiles()
{
    std::vector<std::string> files;
    if (const QMimeData* mime = SystemClipboard()->mimeData())
        for (const QUrl& url : mime->urls())
            files.push_back(url.toLocalFile().toStdString());
    return files;
}

TShownImage ClipboardPicture(const std::string& type)
{
    const QMimeData* mime = SystemClipboard()->mimeData();
    if (!mime)
        return {};
    return ShownImageOf(QImage::fromData(mime->data(QString::fromStdString(type))));
}

void PutForeignPicture(const TBitmap& picture)
{
    auto* mime = new QMimeData;
    mime->setImageData(ImageOfBitmap(const_cast<TBitmap&>(picture), false, clNone));
    SystemClipboard()->setMimeData(mime);
}

// --- drags of other programs ---

struct TForeignDrag::Native {
    QWidget* Widget = nullptr;
    QMimeData Data;
};

TForeignDrag::TForeignDrag(TWinControl* over, const TForeignData& data) : native_(std::make_unique<Native>())
{
    native_->Widget = WidgetOf(over);
    QList<QUrl> urls;
    for (const std::string& file : data.Files)
        urls.append(QUrl::fromLocalFile(QString::fromStdString(file)));
    if (!urls.isEmpty())
        native_->Data.setUrls(urls);
    if (!data.Text.empty())
        native_->Data.setText(QString::fromStdString(data.Text));
}

TForeignDrag::~TForeignDrag() = default;

TDropAnswer TForeignDrag::Enter(TPoint at, DWORD offered, TShiftState modifiers)
{
    QDragEnterEvent event(QPoint(at.X, at.Y), ActionsOf(offered), &native_->Data, Qt::LeftButton,
                          ModifiersOf(modifiers));
    Deliver(native_->Widget, event);
    return {event.isAccepted(), EffectOf(event.dropAction())};
}

TDropAnswer TForeignDrag::Move(TPoint at, DWORD offered, TShiftState modifiers)
{
    QDragMoveEvent event(QPoint(at.X, at.Y), ActionsOf(offered), &native_->Data, Qt::LeftButton,
                         ModifiersOf(modifiers));
    Deliver(native_->Widget, event);
    return {event.isAccepted(), EffectOf(event.dropAction())};
}

TDropAnswer TForeignDrag::Drop(TPoint at, DWORD offered, TShiftState modifiers)
{
    QDropEvent event(QPointF(at.X, at.Y), ActionsOf(offered), &native_->Data, Qt::NoButton, ModifiersOf(modifiers));
    Deliver(native_->Widget, event);
    return {event.isAccepted(), EffectOf(event.dropAction())};
}

// --- data carried as MIME data ---

struct TCarriedData::Native {
    std::unique_ptr<QMimeData> Mime;
};

TCarriedData::TCarriedData(IDataObject* source) : native_(std::make_unique<Native>())
{
    native_->Mime.reset(MimeDataOfObject(source));
}

TCarriedData::~TCarriedData() = default;

bool TCarriedData::HasType(const std::string& type) const
{
    return native_->Mime->hasFormat(QString::fromStdString(type));
}

IDataObject* TCarriedData::Object() const { return CreateMimeDataObject(native_->Mime.get()); }

// --- the picture dialogs' file window ---

struct TPreviewedFileWindow::Native {
    QFileDialog Dialog;
    qsizetype LabelsBefore = 0;
    QLabel* Preview = nullptr;
};

TPreviewedFileWindow::TPreviewedFileWindow()
{
    EnsurePlatform();
    native_ = std::make_unique<Native>();
    native_->LabelsBefore = native_->Dialog.findChildren<QLabel*>().size();
    AddPicturePreview(native_->Dialog);
    QList<QLabel*> labels = native_->Dialog.findChildren<QLabel*>();
    if (!labels.isEmpty())
        native_->Preview = labels.back();
}

TPreviewedFileWindow::~TPreviewedFileWindow() = default;

bool TPreviewedFileWindow::HasOnePreview() const
{
    return native_->Dialog.findChildren<QLabel*>().size() == native_->LabelsBefore + 1;
}

bool TPreviewedFileWindow::IsToolkitsOwn() const
{
    return native_->Dialog.testOption(QFileDialog::DontUseNativeDialog);
}

TShownImage TPreviewedFileWindow::PointAt(const std::string& file)
{
    emit native_->Dialog.currentChanged(QString::fromStdString(file));
    return native_->Preview ? ShownImageOf(native_->Preview->pixmap().toImage()) : TShownImage{};
}

} // namespace ui::test

// The clipboard of the system as the toolkit gives it.

#include "platform/ui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/qt/Pictures.h"

namespace {

// The MIME type of a registered format; empty for unknown numbers.
QString MimeOf(UINT format) { return QString::fromStdString(ui::ClipboardFormatMimeType(format)); }

QClipboard* SystemClipboard()
{
    ui::EnsurePlatform();
    return QGuiApplication::clipboard();
}

} // namespace

std::string TClipboard::AsText() const { return SystemClipboard()->text().toStdString(); }

void TClipboard::SetAsText(const std::string& Value) { SystemClipboard()->setText(QString::fromStdString(Value)); }

bool TClipboard::HasFormat(UINT Format) const
{
    const QMimeData* data = SystemClipboard()->mimeData();
    if (!data)
        return false;
    switch (Format) {
    case CF_TEXT: return data->hasText();
    case CF_BITMAP:
    case CF_DIB: return data->hasImage();
    case CF_HDROP: return data->hasUrls();
    default: {
        QString mime = MimeOf(Format);
        return !mime.isEmpty() && data->hasFormat(mime);
    }
    }
}

void TClipboard::Assign(TBitmap& Bitmap) { SystemClipboard()->setImage(ui::ImageOfBitmap(Bitmap, false, clNone)); }

bool TClipboard::GetBitmap(TBitmap& Bitmap) const { return ui::BitmapOfImage(SystemClipboard()->image(), Bitmap); }

void TClipboard::SetData(UINT Format, const std::vector<std::uint8_t>& Data)
{
    QString mime = MimeOf(Format);
    if (mime.isEmpty())
        throw EInvalidOperation("Clipboard format " + std::to_string(Format) + " is not registered");
    auto* data = new QMimeData;
    data->setData(mime, QByteArray(reinterpret_cast<const char*>(Data.data()), static_cast<qsizetype>(Data.size())));
    SystemClipboard()->setMimeData(data);
}

std::vector<std::uint8_t> TClipboard::GetData(UINT Format) const
{
    QString mime = MimeOf(Format);
    const QMimeData* data = SystemClipboard()->mimeData();
    if (mime.isEmpty() || !data || !data->hasFormat(mime))
        return {};
    QByteArray bytes = data->data(mime);
    return {bytes.begin(), bytes.end()};
}

void TClipboard::Clear() { SystemClipboard()->clear(); }

#include "platform/ui/Clipboard.h"

#include <map>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Surface.h"

namespace {

// Program formats count up from here, above the platform's fixed ones.
constexpr UINT FirstRegisteredFormat = 0xC000;

struct FormatTable {
    std::map<std::string, UINT> numbers;
    std::map<UINT, std::string> names;
};

FormatTable& Formats()
{
    static auto* table = new FormatTable;
    return *table;
}

// The MIME type of a registered format; empty for unknown numbers.
QString MimeOf(UINT format)
{
    auto it = Formats().names.find(format);
    if (it == Formats().names.end())
        return {};
    return "application/x-vistelo-" + QString::fromStdString(it->second);
}

QClipboard* SystemClipboard()
{
    ui::EnsurePlatform();
    return QGuiApplication::clipboard();
}

} // namespace

namespace ui {

UINT RegisterClipboardFormat(const std::string& Name)
{
    if (Name.empty())
        return 0;
    FormatTable& table = Formats();
    auto [it, added] = table.numbers.emplace(Name, FirstRegisteredFormat + static_cast<UINT>(table.numbers.size()));
    if (added)
        table.names.emplace(it->second, Name);
    return it->second;
}

std::string ClipboardFormatMimeType(UINT Format) { return MimeOf(Format).toStdString(); }

} // namespace ui

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

bool TClipboard::GetBitmap(TBitmap& Bitmap) const
{
    QImage image = SystemClipboard()->image();
    if (image.isNull())
        return false;
    image = image.convertToFormat(QImage::Format_RGB888);
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* from = image.constScanLine(y);
        std::uint8_t* to = Bitmap.ScanLine(y);
        for (int x = 0; x < image.width(); ++x) { // R,G,B to B,G,R
            to[3 * x] = from[3 * x + 2];
            to[3 * x + 1] = from[3 * x + 1];
            to[3 * x + 2] = from[3 * x];
        }
    }
    return true;
}

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

TClipboard& Clipboard()
{
    static TClipboard clipboard;
    return clipboard;
}

// Data-exchange blocks on the system clipboard, as MIME data.

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/ui/Backend.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/qt/MimeFormats.h"

namespace ui::backend {
namespace {

const QMimeData* Contents()
{
    EnsurePlatform();
    return QGuiApplication::clipboard()->mimeData();
}

} // namespace

void PublishClipboard(const std::map<UINT, std::vector<std::uint8_t>>& blocks)
{
    auto* mime = new QMimeData;
    for (const auto& [format, block] : blocks)
        PutFormat(*mime, format, block);
    EnsurePlatform();
    QGuiApplication::clipboard()->setMimeData(mime);
}

bool ClipboardOffers(UINT format)
{
    const QMimeData* mime = Contents();
    return mime && HasFormat(*mime, format);
}

bool ClipboardBlock(UINT format, std::vector<std::uint8_t>& block)
{
    const QMimeData* mime = Contents();
    return mime && GetFormat(*mime, format, block);
}

} // namespace ui::backend

#include "platform/ui/qt/MimeFormats.h"

#include <atomic>
#include <cstring>
#include <set>

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QPointer>
#include <QUrl>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ShellBlocks.h"
#include "platform/ui/ShellItems.h"
#include "platform/ui/qt/Pictures.h"

namespace ui {
namespace {

using TBytes = std::vector<std::uint8_t>;

const QString BmpType = QStringLiteral("image/bmp");
const QString PngType = QStringLiteral("image/png");

UINT IdListFormat() { return RegisterClipboardFormat("Shell IDList Array"); }

QByteArray ByteArrayOf(const TBytes& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

TBytes BytesOf(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

std::vector<std::string> LocalFiles(const QMimeData& mime)
{
    std::vector<std::string> files;
    for (const QUrl& url : mime.urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files.push_back(url.toLocalFile().toStdString());
    return files;
}

void PutFiles(QMimeData& mime, const std::vector<std::string>& files)
{
    QList<QUrl> urls;
    for (const std::string& file : files)
        urls.append(QUrl::fromLocalFile(QString::fromStdString(file)));
    mime.setUrls(urls);
}

// The paths of an item-list array: each item joined with the folder.
std::vector<std::string> PathsOfCida(const TBytes& block)
{
    std::vector<std::string> lists;
    std::vector<std::string> paths;
    if (!ParseCida(block.data(), block.size(), lists))
        return paths;
    std::string folder;
    if (!SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(lists[0].data()), folder))
        return paths;
    for (std::size_t i = 1; i < lists.size(); ++i) {
        std::string joined = lists[0].substr(0, lists[0].size() - 2) + lists[i];
        std::string path;
        if (SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(joined.data()), path))
            paths.push_back(path);
    }
    return paths;
}

bool DibOfImage(const QImage& image, TBytes& block)
{
    TBitmap bitmap;
    if (!BitmapOfImage(image, bitmap))
        return false;
    block = DibOfBitmap(bitmap);
    return !block.empty();
}

bool GetDib(const QMimeData& mime, TBytes& block)
{
    if (mime.hasFormat(BmpType)) {
        QByteArray file = mime.data(BmpType);
        if (file.size() > 14 && file.startsWith("BM")) {
            block.assign(file.begin() + 14, file.end());
            return true;
        }
    }
    if (mime.hasFormat(PngType) && DibOfImage(QImage::fromData(mime.data(PngType), "PNG"), block))
        return true;
    return mime.hasImage() && DibOfImage(qvariant_cast<QImage>(mime.imageData()), block);
}

void PutDib(QMimeData& mime, const TBytes& block)
{
    TBytes file = BmpFileOfDib(block.data(), block.size());
    if (file.empty())
        return;
    QImage image = QImage::fromData(ByteArrayOf(file), "BMP");
    mime.setData(BmpType, ByteArrayOf(file));
    if (!image.isNull()) {
        mime.setImageData(image);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        mime.setData(PngType, png);
    }
}

// IDataObject over MIME data; formats it can make are listed in this order.
class TMimeDataObject final : public IDataObject {
public:
    explicit TMimeDataObject(const QMimeData* mime) : mime_(const_cast<QMimeData*>(mime)) { }

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        *object = riid == IID_IUnknown || riid == IID_IDataObject ? static_cast<IDataObject*>(this) : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override
    {
        ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) override
    {
        medium = STGMEDIUM{};
        HRESULT fits = QueryGetData(format);
        if (fits != S_OK)
            return fits;
        TBytes block;
        if (!GetFormat(*mime_, format.cfFormat, block))
            return DV_E_FORMATETC;
        medium.hGlobal = GlobalAllocBytes(block);
        if (!medium.hGlobal)
            return E_OUTOFMEMORY;
        medium.tymed = TYMED_HGLOBAL;
        return S_OK;
    }
    HRESULT GetDataHere(const FORMATETC&, STGMEDIUM&) override { return E_NOTIMPL; }
    HRESULT QueryGetData(const FORMATETC& format) override
    {
        if (format.dwAspect != DVASPECT_CONTENT || !(format.tymed & TYMED_HGLOBAL))
            return DV_E_FORMATETC;
        return mime_ && HasFormat(*mime_, format.cfFormat) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT GetCanonicalFormatEtc(const FORMATETC&, FORMATETC& out) override
    {
        out.ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT SetData(const FORMATETC&, STGMEDIUM&, bool) override { return E_NOTIMPL; }
    HRESULT EnumFormatEtc(DWORD, IEnumFORMATETC** enumerator) override
    {
        *enumerator = nullptr;
        return E_NOTIMPL;
    }
    HRESULT DAdvise(const FORMATETC&, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT EnumDAdvise(IEnumSTATDATA** enumerator) override
    {
        *enumerator = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    ~TMimeDataObject() = default;

    QPointer<QMimeData> mime_;
    std::atomic<ULONG> refs_{1};
};

} // namespace

void PutFormat(QMimeData& mime, UINT format, const TBytes& block)
{
    std::vector<std::string> files;
    switch (format) {
    case CF_TEXT: {
        std::string text(block.begin(), block.end());
        mime.setText(QString::fromStdString(text.substr(0, text.find('\0'))));
        return;
    }
    case CF_HDROP:
        if (ParseDropFiles(block.data(), block.size(), files))
            PutFiles(mime, files);
        return;
    case CF_DIB: PutDib(mime, block); return;
    default: break;
    }
    const std::string type = ClipboardFormatMimeType(format);
    if (type.empty())
        return;
    mime.setData(QString::fromStdString(type), ByteArrayOf(block));
    if (format == IdListFormat() && !mime.hasUrls()) {
        files = PathsOfCida(block);
        if (!files.empty())
            PutFiles(mime, files);
    }
}

bool GetFormat(const QMimeData& mime, UINT format, TBytes& block)
{
    block.clear();
    switch (format) {
    case CF_TEXT: {
        if (!mime.hasText())
            return false;
        std::string text = mime.text().toStdString();
        block.assign(text.begin(), text.end());
        block.push_back(0);
        return true;
    }
    case CF_HDROP: {
        std::vector<std::string> files = LocalFiles(mime);
        if (files.empty())
            return false;
        block = BuildDropFiles(files);
        return true;
    }
    case CF_DIB: return GetDib(mime, block);
    default: break;
    }
    const QString type = QString::fromStdString(ClipboardFormatMimeType(format));
    if (!type.isEmpty() && mime.hasFormat(type)) {
        block = BytesOf(mime.data(type));
        return true;
    }
    return format == IdListFormat() && BuildFileCida(LocalFiles(mime), block);
}

bool HasFormat(const QMimeData& mime, UINT format)
{
    switch (format) {
    case CF_TEXT: return mime.hasText();
    case CF_HDROP: return !LocalFiles(mime).empty();
    case CF_DIB: return mime.hasFormat(BmpType) || mime.hasFormat(PngType) || mime.hasImage();
    default: break;
    }
    TBytes block;
    return GetFormat(mime, format, block);
}

IDataObject* CreateMimeDataObject(const QMimeData* mime) { return new TMimeDataObject(mime); }

QMimeData* MimeDataOfObject(IDataObject* object)
{
    auto* mime = new QMimeData;
    IEnumFORMATETC* formats = nullptr;
    if (!object || FAILED(object->EnumFormatEtc(DATADIR_GET, &formats)) || !formats)
        return mime;
    FORMATETC format;
    std::set<UINT> seen;
    while (formats->Next(1, &format, nullptr) == S_OK) {
        if (!(format.tymed & TYMED_HGLOBAL) || !seen.insert(format.cfFormat).second)
            continue;
        FORMATETC request = format;
        request.tymed = TYMED_HGLOBAL;
        STGMEDIUM medium;
        if (object->GetData(request, medium) == S_OK)
            PutFormat(*mime, format.cfFormat, MediumBytes(medium));
        ReleaseStgMedium(medium);
    }
    formats->Release();
    return mime;
}

} // namespace ui

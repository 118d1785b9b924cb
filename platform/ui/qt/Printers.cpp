#include "platform/ui/Printers.h"

#include <cmath>
#include <cstdio>

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/graphics/Surface.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/EventLoop.h"

IMPLEMENT_CLASS(TPrinter)

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

struct TPrinter::Impl {
    QPrinter& Device()
    {
        if (!device) {
            ui::EnsurePlatform();
            device = std::make_unique<QPrinter>(QPrinter::HighResolution);
            device->setFullPage(false);
        }
        return *device;
    }

    std::unique_ptr<QPrinter> device;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPageSize pageSize{QPageSize::A4};
    int copies = 1;
    QPainter painter;
    QImage page;
    TMemorySurface surface;
    std::unique_ptr<TCanvas> canvas;
};

// The print windows work on the toolkit's printer behind a TPrinter.
struct TPrinterAccess {
    static QPrinter& Configured(TPrinter& printer)
    {
        printer.ApplyPrinter();
        return printer.impl_->Device();
    }
    static void TakeChoice(TPrinter& printer, QPrinter& device)
    {
        TPrinter::Impl& impl = *printer.impl_;
        if (device.outputFormat() == QPrinter::PdfFormat && !device.outputFileName().isEmpty()) {
            printer.OutputFileName = device.outputFileName().toStdString();
        } else {
            printer.OutputFileName.clear();
            printer.SetPrinterIndex(printer.Printers().IndexOf(device.printerName().toStdString()));
        }
        impl.orientation = device.pageLayout().orientation();
        impl.pageSize = device.pageLayout().pageSize();
    }
};

TPrinter::TPrinter() : impl_(std::make_unique<Impl>()), printers_(std::make_unique<TStringList>()) { Refresh(); }

TPrinter::~TPrinter()
{
    // A document still open is dropped rather than left half written.
    if (printing_)
        Abort();
}

TStrings& TPrinter::Printers() { return *printers_; }

void TPrinter::Refresh()
{
    ui::EnsurePlatform();
    const std::string current = PrinterName();
    printers_->Clear();
    const QString defaultName = QPrinterInfo::defaultPrinterName();
    if (!defaultName.isEmpty())
        printers_->Add(defaultName.toStdString());
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        if (name != defaultName)
            printers_->Add(name.toStdString());
    const int index = printers_->IndexOf(current);
    printerIndex_ = index >= 0 ? index : (printers_->Count() > 0 ? 0 : -1);
}

void TPrinter::SetPrinterIndex(int Value)
{
    CheckPrinting(false, "Der Drucker kann während des Druckens nicht gewechselt werden.");
    if (Value < -1 || Value >= printers_->Count())
        throw EPrinter("Der gewählte Drucker ist nicht vorhanden.");
    printerIndex_ = Value;
    if (Value >= 0) {
        QPageSize size = QPrinterInfo::printerInfo(Q(PrinterName())).defaultPageSize();
        if (size.isValid())
            impl_->pageSize = size;
    }
}

std::string TPrinter::PrinterName() const
{
    return printerIndex_ >= 0 && printerIndex_ < printers_->Count() ? printers_->Strings(printerIndex_) : std::string();
}

bool TPrinter::CanPrint() const { return !OutputFileName.empty() || printerIndex_ >= 0; }

TPrinterOrientation TPrinter::Orientation() const
{
    return impl_->orientation == QPageLayout::Landscape ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation Value)
{
    CheckPrinting(false, "Die Ausrichtung kann während des Druckens nicht geändert werden.");
    impl_->orientation = Value == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

std::string TPrinter::PaperName() const { return impl_->pageSize.key().toStdString(); }

bool TPrinter::SetPaperName(const std::string& Name)
{
    CheckPrinting(false, "Das Papierformat kann während des Druckens nicht geändert werden.");
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto sizeId = static_cast<QPageSize::PageSizeId>(id);
        if (QPageSize::key(sizeId).compare(Q(Name), Qt::CaseInsensitive) == 0 ||
            QPageSize::name(sizeId).compare(Q(Name), Qt::CaseInsensitive) == 0) {
            impl_->pageSize = QPageSize(sizeId);
            return true;
        }
    }
    return false;
}

int TPrinter::Copies() const { return impl_->copies; }

void TPrinter::SetCopies(int Value)
{
    CheckPrinting(false, "Die Anzahl der Kopien kann während des Druckens nicht geändert werden.");
    impl_->copies = std::max(1, Value);
}

void TPrinter::CheckPrinting(bool Expected, const char* What) const
{
    if (printing_ != Expected)
        throw EPrinter(What);
}

// Brings the toolkit's printer in line with the chosen destination and page.
void TPrinter::ApplyPrinter()
{
    QPrinter& device = impl_->Device();
    if (!OutputFileName.empty()) {
        device.setOutputFormat(QPrinter::PdfFormat);
        device.setOutputFileName(Q(OutputFileName));
    } else if (printerIndex_ >= 0) {
        device.setOutputFileName({});
        device.setOutputFormat(QPrinter::NativeFormat);
        if (device.printerName() != Q(PrinterName()))
            device.setPrinterName(Q(PrinterName()));
    }
    device.setResolution(Resolution);
    device.setPageSize(impl_->pageSize);
    device.setPageOrientation(impl_->orientation);
    device.setCopyCount(impl_->copies);
}

int TPrinter::PageWidth() const { return GetDeviceCaps(HORZRES); }

int TPrinter::PageHeight() const { return GetDeviceCaps(VERTRES); }

int TPrinter::GetDeviceCaps(int Index) const
{
    // The page cannot change under a document being printed.
    if (!printing_)
        const_cast<TPrinter*>(this)->ApplyPrinter();
    const QPageLayout layout = impl_->Device().pageLayout();
    const QRect full = layout.fullRectPixels(Resolution);
    const QRect paint = layout.paintRectPixels(Resolution);
    const QRectF paintMm = layout.paintRect(QPageLayout::Millimeter);
    switch (Index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return Resolution;
    case HORZRES: return paint.width();
    case VERTRES: return paint.height();
    case HORZSIZE: return static_cast<int>(std::lround(paintMm.width()));
    case VERTSIZE: return static_cast<int>(std::lround(paintMm.height()));
    case PHYSICALWIDTH: return full.width();
    case PHYSICALHEIGHT: return full.height();
    case PHYSICALOFFSETX: return paint.left() - full.left();
    case PHYSICALOFFSETY: return paint.top() - full.top();
    default: return 0;
    }
}

void TPrinter::BeginDoc()
{
    CheckPrinting(false, "Es wird bereits gedruckt.");
    if (!CanPrint())
        throw EPrinter("Es ist kein Drucker installiert.");
    ApplyPrinter();
    QPrinter& device = impl_->Device();
    device.setDocName(Q(Title));
    if (!impl_->painter.begin(&device))
        throw EPrinter("Der Druckauftrag kann nicht begonnen werden.");
    printing_ = true;
    aborted_ = false;
    pageNumber_ = 1;
    try {
        StartPage();
    } catch (...) {
        Abort();
        aborted_ = false;
        throw;
    }
}

void TPrinter::StartPage()
{
    const int width = PageWidth();
    const int height = PageHeight();
    if (impl_->page.width() != width || impl_->page.height() != height) {
        impl_->page = QImage(width, height, QImage::Format_RGB32);
        if (impl_->page.isNull())
            throw EPrinter("Die Seite ist zu groß für den Speicher.");
        impl_->surface.Reset(impl_->page.bits(), width, height, impl_->page.bytesPerLine(), 32);
    }
    impl_->page.fill(Qt::white);
    if (!impl_->canvas)
        impl_->canvas = std::make_unique<TCanvas>(&impl_->surface);
}

void TPrinter::FinishPage() { impl_->painter.drawImage(QPoint(0, 0), impl_->page); }

TCanvas* TPrinter::Canvas()
{
    CheckPrinting(true, "Es wird nicht gedruckt.");
    return impl_->canvas.get();
}

void TPrinter::NewPage()
{
    CheckPrinting(true, "Es wird nicht gedruckt.");
    FinishPage();
    impl_->Device().newPage();
    ++pageNumber_;
    StartPage();
}

void TPrinter::EndDoc()
{
    CheckPrinting(true, "Es wird nicht gedruckt.");
    FinishPage();
    const bool done = impl_->painter.end();
    Reset();
    if (!done)
        throw EPrinter("Der Druckauftrag konnte nicht abgeschlossen werden.");
}

void TPrinter::Abort()
{
    if (!printing_)
        return;
    QPrinter& device = impl_->Device();
    if (device.outputFormat() == QPrinter::NativeFormat)
        device.abort();
    impl_->painter.end();
    if (device.outputFormat() == QPrinter::PdfFormat)
        std::remove(OutputFileName.c_str());
    aborted_ = true;
    Reset();
}

void TPrinter::Reset()
{
    printing_ = false;
    pageNumber_ = 0;
    impl_->canvas.reset();
    impl_->surface.Reset(nullptr, 0, 0, 0, 32);
    impl_->page = QImage();
}

namespace {

std::unique_ptr<TPrinter>& ThePrinter()
{
    static std::unique_ptr<TPrinter> printer;
    return printer;
}

} // namespace

TPrinter* Printer()
{
    if (!ThePrinter())
        ThePrinter() = std::make_unique<TPrinter>();
    return ThePrinter().get();
}

TPrinter* SetPrinter(TPrinter* NewPrinter)
{
    TPrinter* previous = ThePrinter().release();
    ThePrinter().reset(NewPrinter);
    return previous;
}

namespace ui {

bool ShowNativePrintDialog(TPrinter& Printer, int& Copies)
{
    QPrinter& device = TPrinterAccess::Configured(Printer);
    QPrintDialog dialog(&device);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    TPrinterAccess::TakeChoice(Printer, device);
    Copies = std::max(1, device.copyCount());
    return true;
}

bool ShowNativePrinterSetupDialog(TPrinter& Printer)
{
    QPrinter& device = TPrinterAccess::Configured(Printer);
    QPageSetupDialog dialog(&device);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    TPrinterAccess::TakeChoice(Printer, device);
    return true;
}

} // namespace ui

#include "editor/tools/PrinterTools.h"

#include <cstring>

#include "core/SmoothBitmap.h"
#include "editor/tools/Units.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Printers.h"

IMPLEMENT_CLASS(TPrinterTool)

TPrinterTool::TPrinterTool() { ReadPrinterMetrics(); }

void TPrinterTool::ReadPrinterMetrics()
{
    if (!PrinterTools::PrinterInstalled())
        throw ENoPrinterException();
    TPrinter& printer = *Printer();
    PrinterName = printer.OutputFileName.empty() ? printer.PrinterName() : printer.OutputFileName;
    DpiX = printer.GetDeviceCaps(LOGPIXELSX);
    DpiY = printer.GetDeviceCaps(LOGPIXELSY);
    Units::SetDeviceResolution(DpiX, DpiY);
    PaperWidth = Units::PixelToMmX(printer.GetDeviceCaps(PHYSICALWIDTH));
    PaperHeight = Units::PixelToMmY(printer.GetDeviceCaps(PHYSICALHEIGHT));
    PrintableWidth = printer.GetDeviceCaps(HORZSIZE);
    PrintableHeight = printer.GetDeviceCaps(VERTSIZE);
    LeftOffset = Units::PixelToMmX(printer.GetDeviceCaps(PHYSICALOFFSETX));
    TopOffset = Units::PixelToMmY(printer.GetDeviceCaps(PHYSICALOFFSETY));
    RightOffset = PaperWidth - (PrintableWidth + LeftOffset);
    BottomOffset = PaperHeight - (PrintableHeight + TopOffset);
}

void TPrinterTool::SetupPrinter()
{
    TPrinterSetupDialog dialog(nullptr);
    if (dialog.Execute())
        ReadPrinterMetrics();
}

namespace PrinterTools {

bool PrinterInstalled()
{
    TPrinter& printer = *Printer();
    if (!printer.OutputFileName.empty())
        return true;
    printer.Refresh();
    if (printer.Printers().Count() == 0)
        return false;
    if (printer.PrinterIndex() < 0)
        printer.SetPrinterIndex(0);
    return printer.CanPrint();
}

std::unique_ptr<TSmoothBitmap> MakeTrueColorBitmap(TGraphic& graphic)
{
    auto bitmap = std::make_unique<TSmoothBitmap>(graphic.Width(), graphic.Height(), pf24bit);
    bitmap->Canvas().Draw(0, 0, graphic);
    return bitmap;
}

void StretchDIBToCanvas(int x, int y, int width, int height, TCanvas& canvas, TBitmap& bitmap, int sourceHeight,
                        int sourceWidth, int sourceX, int sourceY)
{
    gfx::SetStretchBltMode(canvas, COLORONCOLOR);
    canvas.CopyRect(TRect{x, y, x + width, y + height}, bitmap.Canvas(),
                    TRect{sourceX, sourceY, sourceX + sourceWidth, sourceY + sourceHeight});
}

namespace {

constexpr int BandRows = 10;

// The band being filled; the row callback of the smooth bitmap has no
// context of its own.
struct TBand {
    TCanvas* Canvas = nullptr;
    TBitmap* Rows = nullptr;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Filled = 0;  // rows in the band
    int Printed = 0; // picture rows drawn before the band
};

TBand* band = nullptr;

void FlushBand(TBand& b)
{
    if (b.Filled == 0)
        return;
    StretchDIBToCanvas(b.Left, b.Top + b.Printed, b.Width, b.Filled, *b.Canvas, *b.Rows, b.Filled, b.Width, 0, 0);
    b.Printed += b.Filled;
    b.Filled = 0;
}

void TakeRow(TSmoothBitmap*, int, TBitmap* row)
{
    TBand& b = *band;
    const std::uint8_t* from = row->ScanLine(0);
    std::uint8_t* to = b.Rows->ScanLine(b.Filled);
    const int fromBytes = row->BitsPerPixel() / 8;
    for (int x = 0; x < b.Width; ++x, from += fromBytes, to += 3)
        std::memcpy(to, from, 3);
    b.Rows->PixelsChanged(TRect{0, b.Filled, b.Width, b.Filled + 1});
    if (++b.Filled == BandRows)
        FlushBand(b);
}

} // namespace

void DrawGraphicInBands(TGraphic* graphic, int left, int top, TCanvas& canvas, int height, int width)
{
    if (!graphic || graphic->Empty())
        return;
    std::unique_ptr<TSmoothBitmap> converted;
    auto* smooth = dynamic_cast<TSmoothBitmap*>(graphic);
    if (!smooth) {
        converted = MakeTrueColorBitmap(*graphic);
        smooth = converted.get();
    }
    const TRect target{left, top, left + width, top + height};
    if (smooth->Width() == width && smooth->Height() == height) {
        canvas.StretchDraw(target, *smooth);
        return;
    }
    TBitmap rows(width, BandRows, pf24bit);
    TBand state{&canvas, &rows, left, top, width, 0, 0};
    const bool smoothWas = smooth->Smooth;
    const bool rowModeWas = smooth->RowMode;
    const TSmoothRowCallback callbackWas = smooth->RowCallback;
    smooth->Smooth = true;
    smooth->RowMode = true;
    smooth->RowCallback = TakeRow;
    band = &state;
    try {
        canvas.StretchDraw(target, *smooth);
        FlushBand(state);
    } catch (...) {
        band = nullptr;
        smooth->Smooth = smoothWas;
        smooth->RowMode = rowModeWas;
        smooth->RowCallback = callbackWas;
        throw;
    }
    band = nullptr;
    smooth->Smooth = smoothWas;
    smooth->RowMode = rowModeWas;
    smooth->RowCallback = callbackWas;
}

} // namespace PrinterTools

#pragma once

// The current printer's page metrics, and drawing a picture onto a printer's
// canvas in bands of ten rows, so that no bitmap of the full printed size is
// ever needed.

#include <memory>
#include <string>

#include "editor/tools/PrintLayout.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"

class TBitmap;
class TCanvas;
class TGraphic;
class TSmoothBitmap;

class ENoPrinterException : public Exception {
public:
    ENoPrinterException() : Exception("Kein Drucker installiert!") { }
};

class TPrinterTool : public TObject, public TPageMetrics {
    DECLARE_CLASS(TPrinterTool, TObject)
public:
    // Reads the metrics; ENoPrinterException without a printer.
    TPrinterTool();

    std::string PrinterName;

    // Leaves the Units factors at the printer's resolution.
    void ReadPrinterMetrics();
    // The printer set-up dialog; on OK the metrics are read again.
    void SetupPrinter();
};

namespace PrinterTools {

// True when there is something to print to: a print queue or a PDF file.
bool PrinterInstalled();

// A new 24-bit bitmap of the graphic's size with the graphic drawn on it.
std::unique_ptr<TSmoothBitmap> MakeTrueColorBitmap(TGraphic& graphic);

// The bitmap's rows drawn 1:1 at (x, y).
void StretchDIBToCanvas(int x, int y, int width, int height, TCanvas& canvas, TBitmap& bitmap, int sourceHeight,
                        int sourceWidth, int sourceX, int sourceY);

// The graphic stretched smoothly into (left, top, width, height); the
// scaled rows reach the canvas in bands of ten. Nothing without a graphic.
void DrawGraphicInBands(TGraphic* graphic, int left, int top, TCanvas& canvas, int height, int width);

} // namespace PrinterTools

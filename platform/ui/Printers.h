#pragma once

// The printer: the desktop's print queues, or a PDF file. A document is a
// run of pages; each page is drawn with a TCanvas into a page-sized pixel
// surface at a fixed resolution, which goes to the printer whole when the
// page is done. Coordinates start at the corner of the printable area, and
// the device capabilities give the page in printer pixels and millimetres.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/Canvas.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"

class TStrings;
class TStringList;

// Printer errors (no printer, a document already or not yet started).
class EPrinter : public Exception {
public:
    using Exception::Exception;
};

enum TPrinterOrientation : std::uint8_t { poPortrait, poLandscape };

// Device capabilities beyond those of every canvas.
constexpr int HORZSIZE = 4; // printable width, mm
constexpr int VERTSIZE = 6; // printable height, mm
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;

class TPrinter : public TObject {
    DECLARE_CLASS(TPrinter, TObject)
public:
    // Pages are rendered at this many dots per inch on both axes.
    static constexpr int Resolution = 300;

    TPrinter();
    ~TPrinter() override;

    // The names of the print queues, the default first; read again by Refresh.
    TStrings& Printers();
    void Refresh();
    // The chosen queue; -1 when there is none.
    int PrinterIndex() const { return printerIndex_; }
    void SetPrinterIndex(int Value);
    std::string PrinterName() const;
    // When set, documents go into this PDF file instead of a queue; so a
    // document can be made where no printer is installed.
    std::string OutputFileName;
    // True when a document can be printed: a queue is chosen or a file named.
    bool CanPrint() const;

    std::string Title;
    TPrinterOrientation Orientation() const;
    void SetOrientation(TPrinterOrientation Value);
    // The paper by its short name ("A4", "Letter", any letter case; the
    // toolkit's long names are taken too); false for an unknown one.
    std::string PaperName() const;
    bool SetPaperName(const std::string& Name);
    // Copies the queue makes of the document (a PDF file holds one).
    int Copies() const;
    void SetCopies(int Value);

    // A document: pages are drawn on Canvas between BeginDoc and EndDoc,
    // NewPage starts the next one. Abort drops the document (a PDF file is
    // not left behind) and ends printing.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return pageNumber_; }
    // The page being drawn; raises EPrinter outside a document.
    TCanvas* Canvas();

    // The printable area in printer pixels.
    int PageWidth() const;
    int PageHeight() const;
    // LOGPIXELSX/Y, HORZRES/VERTRES, HORZSIZE/VERTSIZE, PHYSICALWIDTH/HEIGHT,
    // PHYSICALOFFSETX/Y; 0 for anything else.
    int GetDeviceCaps(int Index) const;

private:
    friend struct TPrinterAccess;
    struct Impl;
    void CheckPrinting(bool Expected, const char* What) const;
    void ApplyPrinter();
    void StartPage();
    void FinishPage();
    void Reset();

    std::unique_ptr<Impl> impl_;
    std::unique_ptr<TStringList> printers_;
    int printerIndex_ = -1;
    bool printing_ = false;
    bool aborted_ = false;
    int pageNumber_ = 0;
};

// The program's printer, made on first use.
TPrinter* Printer();
// Puts another printer in its place (nullptr: a new one on next use);
// returns the previous one, which the caller then owns.
TPrinter* SetPrinter(TPrinter* NewPrinter);

namespace ui {

// The desktop's print and page set-up windows on a printer (not scripted:
// the print dialog classes take them through ui::RunDialog). Copies gets
// the number of copies chosen.
bool ShowNativePrintDialog(TPrinter& Printer, int& Copies);
bool ShowNativePrinterSetupDialog(TPrinter& Printer);

} // namespace ui

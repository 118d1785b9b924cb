// The preview and the printing of the print window.

#include <cmath>
#include <memory>

#include "editor/tools/IAmPrinting.h"
#include "editor/tools/PrinterTools.h"
#include "editor/tools/Units.h"
#include "editor/tools/VexaPrintForm.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Printers.h"

namespace {

int Round(double value) { return static_cast<int>(std::nearbyint(value)); }

// Centred along an axis where the box is smaller than the client area.
int CentredStart(int client, int size) { return size < client ? (client - size) / 2 : 0; }

} // namespace

void TVexaPrintForm::DrawPreview()
{
    try {
        const int boxWidth = Round(PreviewScroll->ClientWidth() * zoomTenths_ / 10.0);
        const int boxHeight = Round(PreviewScroll->ClientHeight() * zoomTenths_ / 10.0);
        TPrinter& printer = *Printer();
        const int pageWidth = printer.PageWidth();
        const int pageHeight = printer.PageHeight();
        if (pageWidth == 0 && pageHeight == 0)
            throw Exception("Seitengröße 0!");
        int width = boxWidth;
        int height = boxHeight;
        if (pageWidth >= pageHeight)
            height = Round(static_cast<double>(boxWidth) * pageHeight / pageWidth);
        else
            width = Round(static_cast<double>(boxHeight) * pageWidth / pageHeight);
        auto page = std::make_unique<TBitmap>(width, height, pf24bit);
        TCanvas& canvas = page->Canvas();
        canvas.Brush.Color = clWhite;
        canvas.FillRect(TRect{0, 0, width, height});
        Units::ResetScreenResolution();
        DrawPage(canvas, width, true, height);
        canvas.Brush.Style = bsClear;
        canvas.Pen.Color = clBlack;
        canvas.Rectangle(0, 0, width, height);
        preview_ = std::move(page);
        PreviewBox->SetBounds(CentredStart(PreviewScroll->ClientWidth(), width),
                              CentredStart(PreviewScroll->ClientHeight(), height), width, height);
        PreviewBox->Invalidate();
    } catch (...) {
        ui::MessageDlg(VexaPrintTexts::PreviewFailed, mtError, {mbOK}, 0);
    }
}

void TVexaPrintForm::PaintPreview()
{
    if (!preview_->Empty())
        PreviewBox->Canvas()->Draw(0, 0, *preview_);
}

void TVexaPrintForm::DrawPage(TCanvas& Canvas, int Width, bool Preview, int Height)
{
    const TPrinterTool& page = *tool_;
    if (Preview) {
        Canvas.Pen.Color = static_cast<TColor>(0xC0C0C0);
        Canvas.Brush.Style = bsClear;
        Canvas.Rectangle(PrintLayout::PrintableFrame(page, Width, Height));
    }
    const TRect target = PrintLayout::PictureRect(page, margins_, Width, Height, Preview);
    PrinterTools::DrawGraphicInBands(Picture ? Picture->Graphic() : nullptr, target.Left, target.Top, Canvas,
                                     target.Height(), target.Width());
}

void TVexaPrintForm::Print()
{
    TPrintDialog dialog(this);
    if (!dialog.Execute())
        return;
    UpdatePageInfo();
    Units::SetDeviceResolution(tool_->DpiX, tool_->DpiY);
    TPrinter& printer = *Printer();
    auto printing = std::make_unique<TPrintingForm>(this);
    printing->Show();
    printer.Title = VexaPrintTexts::DocumentTitle;
    const int copies = dialog.Copies;
    try {
        printer.BeginDoc();
        for (int copy = 1; copy <= copies; ++copy) {
            printing->ShowPage(copy, copies);
            Application->ProcessMessages();
            DrawPage(*printer.Canvas(), printer.PageWidth(), false, printer.PageHeight());
            if (copy < copies)
                printer.NewPage();
        }
        printer.EndDoc();
    } catch (...) {
        // A failed page ends the job: no further copies, and the document
        // is dropped rather than ended.
        if (printer.Printing())
            printer.Abort();
        ui::MessageDlg(VexaPrintTexts::PrintFailed, mtError, {mbOK}, 0);
    }
    printing->Close();
    printing.reset();
    Units::ResetScreenResolution();
}

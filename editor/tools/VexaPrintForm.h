#pragma once

// The page set-up, preview and print window of one picture: margins typed
// or fitted to the page, a zoomable preview of the page, and printing the
// picture once per copy, one page each.

#include <memory>
#include <string>

#include "editor/tools/PrintLayout.h"
#include "platform/ui/Forms.h"

class TBitmap;
class TButton;
class TCanvas;
class TCheckBox;
class TEdit;
class TLabel;
class TPaintBox;
class TPicture;
class TPrinterTool;
class TScrollBox;
class TSpinButton;
class TTimer;

namespace VexaPrintTexts {

inline constexpr const char* MarginWarning =
    "Achtung, die eingestellten Seitenränder unterschreiten den bedruckbaren Bereich!\r\rKlicken Sie auf Abbrechen, "
    "um die alten Werte wiederherzustellen oder Ignorieren, um die neuen Eingaben zu verwenden und evtl. "
    "abgeschnittene Kanten in Kauf zu nehmen.";
inline constexpr const char* PreviewFailed = "Fehler bei der Anzeige der Vorschau!";
inline constexpr const char* PrintFailed = "Fehler beim Drucken!";
inline constexpr const char* DocumentTitle = "VexaPrint-Dokument";

} // namespace VexaPrintTexts

class TVexaPrintForm : public TForm {
    DECLARE_CLASS(TVexaPrintForm, TForm)
public:
    // Reads the printer's metrics: ENoPrinterException without a printer.
    explicit TVexaPrintForm(TComponent* AOwner);
    ~TVexaPrintForm() override;

    // The picture to print (the caller's).
    TPicture* Picture = nullptr;

    TButton* ZoomInButton = nullptr;
    TButton* ZoomOutButton = nullptr;
    TButton* ZoomFitButton = nullptr;
    TScrollBox* PreviewScroll = nullptr;
    TPaintBox* PreviewBox = nullptr;
    TLabel* PaperSizeLabel = nullptr;
    TEdit* MarginEdits[4] = {}; // by TMarginSide
    TSpinButton* MarginSpins[4] = {};
    TCheckBox* ProportionsCheck = nullptr;
    TCheckBox* FitCheck = nullptr;
    TCheckBox* CenterCheck = nullptr;
    TCheckBox* EqualCheck = nullptr;
    TButton* PrintButton = nullptr;
    TButton* SetupButton = nullptr;
    TEdit* PrinterEdit = nullptr;
    TButton* CloseButton = nullptr;
    TTimer* PreviewTimer = nullptr;

    void UpdatePageInfo();
    void DrawPreview();
    // The picture on a canvas of width x height: the whole paper in preview
    // mode, the printable area otherwise.
    void DrawPage(TCanvas& Canvas, int Width, bool Preview, int Height);
    void Print();

    const TPageMargins& Margins() const { return margins_; }
    const TPrinterTool& Tool() const { return *tool_; }
    // The preview's size factor in tenths.
    int ZoomTenths() const { return zoomTenths_; }
    const TBitmap& PreviewBitmap() const { return *preview_; }

private:
    void BuildPreviewGroup();
    void BuildMarginGroup();
    void BuildFormatGroup();
    void BuildButtons();
    void CheckClicked();
    void UpdateChecks();
    void ShowMargins();
    void MarginChanged(TMarginSide Side);
    void StepMargin(TMarginSide Side, double Step);
    void SetZoom(int Tenths);
    void PaintPreview();
    double& MarginOf(TMarginSide Side);

    std::unique_ptr<TPrinterTool> tool_;
    std::unique_ptr<TBitmap> preview_;
    TPageMargins margins_;
    int zoomTenths_ = 10;
    bool showingMargins_ = false;
};

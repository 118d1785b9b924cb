#include "editor/tools/VexaPrintForm.h"

#include <cmath>

#include "editor/tools/PrinterTools.h"
#include "editor/tools/Units.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(TVexaPrintForm)

namespace {

template <class Control> Control* Add(TWinControl* Parent, int Left, int Top, int Width, int Height)
{
    auto* control = new Control(Parent->Owner() ? Parent->Owner() : Parent);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

TGroupBox* AddGroup(TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width, int Height)
{
    auto* group = Add<TGroupBox>(Parent, Left, Top, Width, Height);
    group->SetCaption(Caption);
    return group;
}

TLabel* AddLabel(TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width)
{
    auto* label = Add<TLabel>(Parent, Left, Top, Width, 16);
    label->SetCaption(Caption);
    return label;
}

TCheckBox* AddCheck(TWinControl* Parent, const std::string& Caption, int Top)
{
    auto* check = Add<TCheckBox>(Parent, 10, Top, 200, 20);
    check->SetCaption(Caption);
    return check;
}

TButton* AddButton(TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width = 110)
{
    auto* button = Add<TButton>(Parent, Left, Top, Width, 25);
    button->SetCaption(Caption);
    return button;
}

std::string MarginText(double cm) { return rtl::FloatToStrF(cm, ffFixed, 15, 2); }

constexpr const char* MarginCaptions[4] = {"&Links:", "&Oben:", "&Rechts:", "&Unten:"};

} // namespace

TVexaPrintForm::TVexaPrintForm(TComponent* AOwner)
    : TForm(AOwner), tool_(std::make_unique<TPrinterTool>()), preview_(std::make_unique<TBitmap>())
{
    SetCaption("VexaPrint");
    SetPosition(poScreenCenter);
    SetClientWidth(640);
    SetClientHeight(440);
    BuildPreviewGroup();
    BuildMarginGroup();
    BuildFormatGroup();
    BuildButtons();
    PreviewTimer = new TTimer(this);
    PreviewTimer->SetEnabled(false);
    PreviewTimer->SetInterval(400);
    PreviewTimer->OnTimer = [this](TObject*) {
        PreviewTimer->SetEnabled(false);
        DrawPreview();
    };
    OnActivate = [this](TObject*) { UpdatePageInfo(); };
    UpdateChecks();
    UpdatePageInfo();
}

TVexaPrintForm::~TVexaPrintForm() = default;

void TVexaPrintForm::BuildPreviewGroup()
{
    auto* group = AddGroup(this, " Vorschau: ", 8, 8, 370, 424);
    ZoomInButton = AddButton(group, "+", 10, 20, 30);
    ZoomInButton->Hint = "Hineinzoomen";
    ZoomInButton->OnClick = [this](TObject*) { SetZoom(PrintLayout::ZoomInTenths(zoomTenths_)); };
    ZoomOutButton = AddButton(group, "-", 44, 20, 30);
    ZoomOutButton->Hint = "Hinauszoomen";
    ZoomOutButton->OnClick = [this](TObject*) { SetZoom(PrintLayout::ZoomOutTenths(zoomTenths_)); };
    ZoomFitButton = AddButton(group, "1:1", 78, 20, 30);
    ZoomFitButton->Hint = "Zoom so einstellen, dass das Bild komplett sichtbar wird.";
    ZoomFitButton->OnClick = [this](TObject*) { SetZoom(10); };
    for (TButton* button : {ZoomInButton, ZoomOutButton, ZoomFitButton})
        button->SetShowHint(true);
    PreviewScroll = Add<TScrollBox>(group, 10, 50, 350, 364);
    PreviewBox = Add<TPaintBox>(PreviewScroll, 0, 0, 10, 10);
    PreviewBox->OnPaint = [this](TObject*) { PaintPreview(); };
}

void TVexaPrintForm::BuildMarginGroup()
{
    auto* group = AddGroup(this, " Seitenränder: ", 386, 8, 246, 150);
    PaperSizeLabel = AddLabel(group, "Papiergröße:", 10, 20, 226);
    for (int i = 0; i < 4; ++i) {
        const auto side = static_cast<TMarginSide>(i);
        const int left = i < 2 ? 10 : 128;
        const int top = 48 + (i % 2) * 48;
        AddLabel(group, MarginCaptions[i], left, top, 60);
        MarginEdits[i] = Add<TEdit>(group, left, top + 18, 64, 22);
        MarginEdits[i]->OnChange = [this, side](TObject*) { MarginChanged(side); };
        AddLabel(group, "cm", left + 68, top + 21, 20);
        MarginSpins[i] = Add<TSpinButton>(group, left + 90, top + 17, 16, 24);
        MarginSpins[i]->OnUpClick = [this, side](TObject*) { StepMargin(side, 0.1); };
        MarginSpins[i]->OnDownClick = [this, side](TObject*) { StepMargin(side, -0.1); };
    }
}

void TVexaPrintForm::BuildFormatGroup()
{
    auto* group = AddGroup(this, " Formatieren: ", 386, 164, 246, 124);
    ProportionsCheck = AddCheck(group, "Proportionen &beibehalten", 20);
    FitCheck = AddCheck(group, "Auf Blattgröße an&passen", 44);
    CenterCheck = AddCheck(group, "&Zentrieren", 68);
    EqualCheck = AddCheck(group, "&gleiche Seitenränder", 92);
    EqualCheck->SetChecked(true);
    for (TCheckBox* check : {ProportionsCheck, FitCheck, CenterCheck, EqualCheck})
        check->OnClick = [this](TObject*) { CheckClicked(); };
}

void TVexaPrintForm::BuildButtons()
{
    PrintButton = AddButton(this, "&Drucken", 386, 300);
    PrintButton->OnClick = [this](TObject*) { Print(); };
    SetupButton = AddButton(this, "Drucker &einrichten", 386, 332);
    SetupButton->OnClick = [this](TObject*) {
        tool_->SetupPrinter();
        UpdatePageInfo();
    };
    PrinterEdit = Add<TEdit>(this, 386, 364, 246, 22);
    PrinterEdit->SetReadOnly(true);
    CloseButton = AddButton(this, "&Schließen", 522, 406);
    CloseButton->ModalResult = mrCancel;
    CloseButton->Cancel = true;
}

double& TVexaPrintForm::MarginOf(TMarginSide Side)
{
    switch (Side) {
    case msLeft: return margins_.Left;
    case msTop: return margins_.Top;
    case msRight: return margins_.Right;
    case msBottom: break;
    }
    return margins_.Bottom;
}

void TVexaPrintForm::CheckClicked()
{
    UpdateChecks();
    UpdatePageInfo();
}

void TVexaPrintForm::UpdateChecks()
{
    const bool fit = FitCheck->Checked();
    ProportionsCheck->SetEnabled(fit);
    EqualCheck->SetEnabled(fit);
    CenterCheck->SetEnabled(fit && ProportionsCheck->Checked());
    for (TEdit* edit : MarginEdits)
        edit->SetEnabled(!fit);
}

void TVexaPrintForm::UpdatePageInfo()
{
    tool_->ReadPrinterMetrics();
    PrinterEdit->SetText(tool_->PrinterName);
    PaperSizeLabel->SetCaption(PrintLayout::PaperSizeText(*tool_));
    const TFitOptions options{FitCheck->Checked(), ProportionsCheck->Checked(), CenterCheck->Checked(),
                              EqualCheck->Checked()};
    const TGraphic* graphic = Picture ? Picture->Graphic() : nullptr;
    PrintLayout::FitMargins(*tool_, graphic ? graphic->Width() : 0, graphic ? graphic->Height() : 0, options, margins_);
    ShowMargins();
    DrawPreview();
}

void TVexaPrintForm::ShowMargins()
{
    showingMargins_ = true;
    for (int i = 0; i < 4; ++i)
        MarginEdits[i]->SetText(MarginText(MarginOf(static_cast<TMarginSide>(i))));
    showingMargins_ = false;
}

void TVexaPrintForm::MarginChanged(TMarginSide Side)
{
    if (showingMargins_)
        return;
    double value = -1;
    const bool isNumber = rtl::TryStrToFloat(MarginEdits[Side]->Text(), value);
    bool accept = false;
    switch (PrintLayout::CheckMargin(*tool_, margins_, Side, isNumber ? value : -1, isNumber)) {
    case mcAccepted: accept = true; break;
    case mcNoNumber: break;
    case mcOutsidePrintable:
        accept = ui::MessageDlg(VexaPrintTexts::MarginWarning, mtConfirmation, {mbAbort, mbIgnore}, 0) == mrIgnore;
        break;
    }
    if (accept) {
        MarginOf(Side) = value;
        PreviewTimer->SetEnabled(false);
        PreviewTimer->SetEnabled(true);
        return;
    }
    showingMargins_ = true;
    MarginEdits[Side]->SetText(MarginText(MarginOf(Side)));
    showingMargins_ = false;
    ui::MessageBeep(0);
}

void TVexaPrintForm::StepMargin(TMarginSide Side, double Step)
{
    double value = MarginOf(Side);
    rtl::TryStrToFloat(MarginEdits[Side]->Text(), value);
    MarginEdits[Side]->SetText(MarginText(std::max(0.0, value + Step)));
}

void TVexaPrintForm::SetZoom(int Tenths)
{
    zoomTenths_ = Tenths;
    DrawPreview();
}

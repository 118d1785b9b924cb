#include "editor/app/OptionsDlg.h"

#include <cmath>
#include <memory>

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "editor/app/OptionsDialogParts.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/JPEGCompressionDlg.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(TOptionsDlg)

namespace {

constexpr int RowHeight = 22;

using OptionsDialogParts::NewLabel;
using OptionsDialogParts::NewSheet;
using OptionsDialogParts::NewSpinEdit;

template <class C>
C* NewControl(TWinControl* Parent, TComponent* Owner, const std::string& Caption, int Left, int Top, int Width = 360)
{
    return OptionsDialogParts::NewControl<C>(Parent, Owner, Caption, Left, Top, Width);
}

} // namespace

TOptionsDlg::TOptionsDlg(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Einstellungen");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(420);
    SetClientHeight(330);

    PageControl = new TPageControl(this);
    PageControl->SetParent(this);
    PageControl->SetBounds(8, 8, 404, 276);
    CreateProgramSheet();
    CreateDragDropSheet();
    CreateCatalogSheet();
    CreateDefaultsSheet();
    CreateButtons();
    PageControl->SetActivePageIndex(opProgram);

    JPEGCompressionDlg = new TJPEGCompressionDlg(this);
    OnActivate = [this](TObject*) { FormActivate(); };
}

TOptionsDlg::~TOptionsDlg() = default;

void TOptionsDlg::CreateProgramSheet()
{
    ProgramSheet = NewSheet(PageControl, this, "Programmeinstellungen");
    int top = 10;
    const auto check = [&](const std::string& caption) {
        auto* box = NewControl<TCheckBox>(ProgramSheet, this, caption, 12, top);
        top += RowHeight;
        return box;
    };
    ShowPreviewCheck = check("&Vorschau anzeigen");
    ShowPreviewCheck->OnClick = [this](TObject*) { ShowPreviewCheckClick(); };
    // Kept and stored, but not offered: the preview always keeps the proportions.
    KeepPreviewProportionsCheck = NewControl<TCheckBox>(ProgramSheet, this,
                                                        "Seitenverhältnisse der Vorschau beibehalten", 28, top);
    KeepPreviewProportionsCheck->SetVisible(false);
    SmoothScaleCheck = check("Bilder beim Verkleinern &glätten");
    ConfirmExitCheck = check("&Beenden bestätigen");
    DoublePicsCheckBtn = check("&Doppelte Bilder beim Hinzufügen melden");
    AnimateLogoCheck = check("&Logo animieren");
    HideMouseCursorCheck = check("&Mauszeiger in der Vistelo verstecken");
    ShowErrorInShowCheck = check("&Fehler beim Laden in der Vistelo anzeigen");
    ForceUseInternalMP3PlayerCheck = check("&Internen MP3-Player verwenden");
}

void TOptionsDlg::CreateDragDropSheet()
{
    DragDropSheet = NewSheet(PageControl, this, "Drag&&Drop");
    NewLabel(DragDropSheet, this, "Beim Ziehen aus der Bilderliste in andere Programme:", 12, 10);
    DragFilenamesCheck = NewControl<TRadioButton>(DragDropSheet, this, "Datei&namen übergeben", 12, 32);
    DragPicturesCheck = NewControl<TRadioButton>(DragDropSheet, this, "&Bilder übergeben", 12, 54);
    DragManyPicsUseFilenamesCheck = NewControl<TCheckBox>(
        DragDropSheet, this, "bei &mehreren Bildern trotzdem Dateinamen übergeben", 28, 76, 340);
    DragFilenamesCheck->OnClick = [this](TObject*) { DragRadioClick(); };
    DragPicturesCheck->OnClick = [this](TObject*) { DragRadioClick(); };
}

void TOptionsDlg::CreateCatalogSheet()
{
    CatalogSheet = NewSheet(PageControl, this, "Katalog");
    NewLabel(CatalogSheet, this, "Thumbnail-&Breite (Pixel):", 12, 14);
    ThumbWidthEdit = NewSpinEdit(CatalogSheet, this, 200, 10, 10, 1000, 1);
    NewLabel(CatalogSheet, this, "Thumbnail-&Höhe (Pixel):", 12, 40);
    ThumbHeightEdit = NewSpinEdit(CatalogSheet, this, 200, 36, 10, 1000, 1);
    SaveThumbNailsCheck = NewControl<TCheckBox>(CatalogSheet, this, "Thumbnails in der Vistelo &speichern", 12, 68,
                                                260);
    ThumbnailCompressionBtn = new TButton(this);
    ThumbnailCompressionBtn->SetParent(CatalogSheet);
    ThumbnailCompressionBtn->SetCaption("Komprimierung");
    ThumbnailCompressionBtn->SetBounds(280, 64, 100, 25);
    ThumbnailCompressionBtn->OnClick = [this](TObject*) { ThumbnailCompressionBtnClick(); };
    ShowThumbFilenamesCheck = NewControl<TCheckBox>(CatalogSheet, this, "&Dateinamen anzeigen", 12, 96);
    MarkDropTargetCheck = NewControl<TCheckBox>(CatalogSheet, this, "&Ablegeziel markieren", 12, 118);
    CatalogMarkDontShowCheck = NewControl<TCheckBox>(CatalogSheet, this, "&Nicht gezeigte Bilder markieren", 12, 140);
}

void TOptionsDlg::CreateDefaultsSheet()
{
    DefaultsSheet = NewSheet(PageControl, this, "Standardeinstellung");
    NewLabel(DefaultsSheet, this, "Standard-&Verweildauer (ms):", 12, 14);
    StdPauseSpinEdit = NewSpinEdit(DefaultsSheet, this, 200, 10, 1, 999999999, 500);
    int top = 42;
    const auto check = [&](const std::string& caption) {
        auto* box = NewControl<TCheckBox>(DefaultsSheet, this, caption, 12, top);
        top += RowHeight;
        return box;
    };
    StdRandomOrderCheck = check("&Zufällige Reihenfolge");
    StdShowNoDescriptionCheck = check("&Keine Beschreibung anzeigen");
    StdStartFullScreenCheck = check("Im &Vollbildmodus starten");
    StdShowNavigationBarCheck = check("&Navigationsleiste anzeigen");
    StdShowCommentsBoxCheck = check("&Kommentarfeld anzeigen");
    StdShowFilenameInNavigationBarCheck = check("&Dateinamen in der Navigationsleiste anzeigen");
}

void TOptionsDlg::CreateButtons()
{
    const auto button = [this](const std::string& caption, int left) {
        auto* b = new TButton(this);
        b->SetParent(this);
        b->SetCaption(caption);
        b->SetBounds(left, 296, 90, 25);
        return b;
    };
    OKBtn = button("OK", 126);
    OKBtn->Default = true;
    OKBtn->OnClick = [this](TObject*) { OKBtnClick(); };
    CancelBtn = button("Abbrechen", 222);
    CancelBtn->Cancel = true;
    CancelBtn->ModalResult = mrCancel;
    HelpBtn = button("&Hilfe", 318);
    HelpBtn->OnClick = [](TObject*) { ui::ShowMessage(TAAForm::NoHelpMessage); };
}

bool TOptionsDlg::Execute(TComponent* AOwner, TOptionsPage Page)
{
    std::unique_ptr<TOptionsDlg> dialog(new TOptionsDlg(AOwner));
    dialog->PageControl->SetActivePageIndex(Page);
    return dialog->ShowModal() == mrOk;
}

void TOptionsDlg::FormActivate()
{
    ShowPreviewCheck->SetChecked(VisteloSetup::ShowPreview);
    KeepPreviewProportionsCheck->SetChecked(VisteloSetup::KeepPreviewProportions);
    SmoothScaleCheck->SetChecked(Setup::SmoothScale);
    ConfirmExitCheck->SetChecked(VisteloSetup::ConfirmExit);
    DoublePicsCheckBtn->SetChecked(VisteloSetup::DoublePicsCheck);
    AnimateLogoCheck->SetChecked(VisteloSetup::AnimateLogo);
    HideMouseCursorCheck->SetChecked(Setup::HideMouseCursor);
    ShowErrorInShowCheck->SetChecked(Setup::ShowErrorInShow);
    ForceUseInternalMP3PlayerCheck->SetChecked(Setup::ForceUseInternalMP3Player);
    DragFilenamesCheck->SetChecked(Setup::DragFilenames);
    DragPicturesCheck->SetChecked(!Setup::DragFilenames);
    DragManyPicsUseFilenamesCheck->SetChecked(Setup::DragManyPicsUseFilenames);
    ThumbWidthEdit->SetValue(Setup::CatalogThumbWidth);
    ThumbHeightEdit->SetValue(Setup::CatalogThumbHeight);
    SaveThumbNailsCheck->SetChecked(VisteloSetup::CatalogSaveThumbNailsInVistelo);
    ShowThumbFilenamesCheck->SetChecked(Setup::CatalogShowFilename);
    MarkDropTargetCheck->SetChecked(Setup::CatalogMarkDropTarget);
    CatalogMarkDontShowCheck->SetChecked(Setup::CatalogMarkDontShow);
    StdPauseSpinEdit->SetValue(Setup::stdPause);
    StdRandomOrderCheck->SetChecked(Setup::stdRandomOrder);
    StdShowNoDescriptionCheck->SetChecked(Setup::stdShowNoDescription);
    StdStartFullScreenCheck->SetChecked(Setup::stdStartFullScreen);
    StdShowNavigationBarCheck->SetChecked(Setup::stdShowNavigationBar);
    StdShowCommentsBoxCheck->SetChecked(Setup::stdShowCommentsBox);
    StdShowFilenameInNavigationBarCheck->SetChecked(Setup::stdShowFilenameInNavigationBar);
    DragRadioClick();
    ShowPreviewCheckClick();
}

void TOptionsDlg::OKBtnClick()
{
    VisteloSetup::ShowPreview = ShowPreviewCheck->Checked();
    VisteloSetup::KeepPreviewProportions = KeepPreviewProportionsCheck->Checked();
    Setup::SmoothScale = SmoothScaleCheck->Checked();
    VisteloSetup::ConfirmExit = ConfirmExitCheck->Checked();
    VisteloSetup::DoublePicsCheck = DoublePicsCheckBtn->Checked();
    VisteloSetup::AnimateLogo = AnimateLogoCheck->Checked();
    Setup::HideMouseCursor = HideMouseCursorCheck->Checked();
    Setup::ShowErrorInShow = ShowErrorInShowCheck->Checked();
    Setup::ForceUseInternalMP3Player = ForceUseInternalMP3PlayerCheck->Checked();
    Setup::DragFilenames = DragFilenamesCheck->Checked();
    Setup::DragManyPicsUseFilenames = DragManyPicsUseFilenamesCheck->Checked();
    Setup::CatalogThumbWidth = static_cast<std::int32_t>(std::lround(ThumbWidthEdit->Value()));
    Setup::CatalogThumbHeight = static_cast<std::int32_t>(std::lround(ThumbHeightEdit->Value()));
    VisteloSetup::CatalogSaveThumbNailsInVistelo = SaveThumbNailsCheck->Checked();
    Setup::CatalogShowFilename = ShowThumbFilenamesCheck->Checked();
    Setup::CatalogMarkDropTarget = MarkDropTargetCheck->Checked();
    Setup::CatalogMarkDontShow = CatalogMarkDontShowCheck->Checked();
    Setup::stdPause = StdPauseSpinEdit->GetIntValue();
    Setup::stdRandomOrder = StdRandomOrderCheck->Checked();
    Setup::stdShowNoDescription = StdShowNoDescriptionCheck->Checked();
    Setup::stdStartFullScreen = StdStartFullScreenCheck->Checked();
    Setup::stdShowNavigationBar = StdShowNavigationBarCheck->Checked();
    Setup::stdShowCommentsBox = StdShowCommentsBoxCheck->Checked();
    Setup::stdShowFilenameInNavigationBar = StdShowFilenameInNavigationBarCheck->Checked();
    // The main window's logo follows at once, wherever the dialog was opened.
    auto* main = dynamic_cast<TAAForm*>(Owner());
    if (!main && Application)
        main = dynamic_cast<TAAForm*>(Application->MainForm());
    if (main)
        main->SetLogoAnimation(VisteloSetup::AnimateLogo);
    ModalResult = mrOk;
}

void TOptionsDlg::DragRadioClick() { DragManyPicsUseFilenamesCheck->SetEnabled(DragPicturesCheck->Checked()); }

void TOptionsDlg::ShowPreviewCheckClick() { KeepPreviewProportionsCheck->SetEnabled(ShowPreviewCheck->Checked()); }

void TOptionsDlg::ThumbnailCompressionBtnClick()
{
    JPEGCompressionDlg->CompressionWord = VisteloSetup::CatalogThumbnailJPEGCompression;
    if (JPEGCompressionDlg->Execute())
        VisteloSetup::CatalogThumbnailJPEGCompression = JPEGCompressionDlg->CompressionWord;
}

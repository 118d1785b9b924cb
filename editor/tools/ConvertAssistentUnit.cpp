#include "editor/tools/ConvertAssistentUnit.h"

#include <string>

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/TargaCompressionForm.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/DirectoryEdit.h"
#include "editor/controls/JPEGCompressionDlg.h"
#include "editor/controls/VexaPrgrBr.h"
#include "editor/tools/FormPlacing.h"
#include "editor/tools/ToolResources.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(TConvertAssistentForm)

using namespace ConvertAssistentLogic;

namespace {

constexpr int HelpContext = 411;

using FormPlacing::Captioned;
using FormPlacing::Place;

int EditNumber(const TKsSpinEdit* Edit) { return Edit->GetIntValue(); }

TKsSpinEdit* SizeEdit(TWinControl* Parent, int Top)
{
    auto* edit = Place<TKsSpinEdit>(Parent, 280, Top, 80, 22);
    edit->MinValue = 1;
    edit->MaxValue = 99999;
    return edit;
}

} // namespace

TConvertAssistentForm::TConvertAssistentForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Konvertierungs-Assistent");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(520 + ToolResources::PagePictureRoom);
    SetClientHeight(360);

    PageControl = Place<TPageControl>(this, 0, 0, ClientWidth(), 316);
    CreateWhichPage();
    CreateFormatPage();
    CreateResizePage();
    CreateOldFilesPage();
    CreateReadyPage();
    ToolResources::AddPagePicture(WhichPicsTabSheet, "CONVERTASSIST");
    ToolResources::AddPagePicture(ChooseFileFormatTabSheet, "CONVERTFORMAT");
    ToolResources::AddPagePicture(TabSheet3, "CONVERTRESIZE");
    ToolResources::AddPagePicture(TabSheet2, "CONVERTOLDFILES");
    ToolResources::AddPagePicture(ReadyTabSheet, "CONVERTASSIST");
    for (int i = 0; i < PageControl->PageCount(); ++i)
        PageControl->Pages(i)->SetTabVisible(false);
    PageControl->OnChange = [this](TObject* Sender) { PageControlChange(Sender); };
    CreateButtons();
    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    KeyPreview = true;
    OnKeyDown = [](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_F1) {
            Key = 0;
            ui::ShowMessage(TAAForm::NoHelpMessage); // the editor's help, as its own command gives it
        }
    };
}

void TConvertAssistentForm::CreateWhichPage()
{
    WhichPicsTabSheet = Place<TTabSheet>(PageControl, 0, 0, 520, 316);
    WhichPicsTabSheet->SetPageControl(PageControl);
    Captioned<TLabel>(WhichPicsTabSheet, "Welche Bilder aus der Liste sollen konvertiert werden?", 16, 16, 480);
    AllPicsCheck = Captioned<TRadioButton>(WhichPicsTabSheet, "Alle Bilder", 24, 48, 460);
    AllPicsCheck->SetChecked(true);
    OnlyGreenMarkedCheck = Captioned<TRadioButton>(WhichPicsTabSheet, "nur die mit einem grünen Häkchen markiert sind",
                                                   24, 72, 460);
    OnlyMarkedCheck = Captioned<TRadioButton>(WhichPicsTabSheet, "nur die in der Bilderliste markiert sind", 24, 96,
                                              460);
}

void TConvertAssistentForm::CreateFormatPage()
{
    ChooseFileFormatTabSheet = Place<TTabSheet>(PageControl, 0, 0, 520, 316);
    ChooseFileFormatTabSheet->SetPageControl(PageControl);
    FormatRadioGroup = Place<TRadioGroup>(ChooseFileFormatTabSheet, 16, 12, 480, 100);
    FormatRadioGroup->SetCaption(" Bildformat: ");
    FormatRadioGroup->Items().Add("BMP (große Dateien, verlustfrei)");
    FormatRadioGroup->Items().Add("JPEG (Ideal für Photos)");
    FormatRadioGroup->Items().Add("TGA (mittel bis große Dateien, verlustfrei)");
    FormatRadioGroup->SetItemIndex(cfBMP);
    FormatRadioGroup->OnClick = [this](TObject*) { UpdateFormatControls(); };
    JPEGPrefsBtn = Captioned<TButton>(ChooseFileFormatTabSheet, "Komprimierung", 380, 120, 116);
    JPEGPrefsBtn->OnClick = [this](TObject* Sender) { JPEGPrefsBtnClick(Sender); };

    auto* dirGroup = Place<TGroupBox>(ChooseFileFormatTabSheet, 16, 156, 480, 110);
    dirGroup->SetCaption(" Zielverzeichnis: ");
    UserDirCheck = Captioned<TCheckBox>(dirGroup, "Zielverzeichnis verwenden (sonst wird das Verzeichnis", 12, 22, 456);
    Captioned<TLabel>(dirGroup, "verwendet, in dem das jeweilige Originalbild liegt.)", 30, 44, 438);
    UserDirCheck->OnClick = [this](TObject*) { UpdateFormatControls(); };
    UserDirEdit = Place<TDirectoryEdit>(dirGroup, 30, 70, 438, 22);
    UserDirEdit->SetText(VisteloSetup::PicDir);
}

void TConvertAssistentForm::CreateResizePage()
{
    TabSheet3 = Place<TTabSheet>(PageControl, 0, 0, 520, 316);
    TabSheet3->SetPageControl(PageControl);
    ResizePicturesCheck = Captioned<TCheckBox>(TabSheet3, "Größe der Bilder verändern", 16, 12, 300);
    ResizePicturesCheck->OnClick = [this](TObject*) { UpdateResizeControls(); };
    ResizePrefsPanel = Place<TPanel>(TabSheet3, 16, 40, 480, 250);
    SizesRadioGroup = Place<TRadioGroup>(ResizePrefsPanel, 0, 0, 200, 248);
    SizesRadioGroup->SetCaption(" Größe: ");
    for (const TSizeItem& size : Sizes)
        SizesRadioGroup->Items().Add(std::to_string(size.Width) + " x " + std::to_string(size.Height));
    SizesRadioGroup->Items().Add("Benutzerdefiniert");
    SizesRadioGroup->OnClick = [this](TObject* Sender) { SizesRadioGroupClick(Sender); };

    Captioned<TLabel>(ResizePrefsPanel, "Breite:", 216, 8, 60);
    WidthEdit = SizeEdit(ResizePrefsPanel, 6);
    Captioned<TLabel>(ResizePrefsPanel, "Pixel", 368, 8, 40);
    Captioned<TLabel>(ResizePrefsPanel, "Höhe:", 216, 38, 60);
    HeightEdit = SizeEdit(ResizePrefsPanel, 36);
    Captioned<TLabel>(ResizePrefsPanel, "Pixel", 368, 38, 40);
    WidthEdit->OnChange = [this](TObject* Sender) { SizeEditChange(Sender); };
    HeightEdit->OnChange = [this](TObject* Sender) { SizeEditChange(Sender); };
    KeepProportionsCheck = Captioned<TCheckBox>(ResizePrefsPanel, "Seitenverhältnisse beibehalten", 216, 80, 260);
    KeepProportionsCheck->SetChecked(true);
    OnlySmallerPicsCheck = Captioned<TCheckBox>(ResizePrefsPanel, "nur wenn Bild kleiner", 216, 108, 260);
    OnlyBiggerPicsCheck = Captioned<TCheckBox>(ResizePrefsPanel, "nur wenn Bild größer", 216, 132, 260);
    // Checking one of the two unchecks the other.
    OnlySmallerPicsCheck->OnClick = [this](TObject*) {
        if (OnlySmallerPicsCheck->Checked())
            OnlyBiggerPicsCheck->SetChecked(false);
    };
    OnlyBiggerPicsCheck->OnClick = [this](TObject*) {
        if (OnlyBiggerPicsCheck->Checked())
            OnlySmallerPicsCheck->SetChecked(false);
    };
    SizesRadioGroup->SetItemIndex(StartSizeItem);
    SizesRadioGroupClick(SizesRadioGroup);
    UpdateResizeControls();
}

void TConvertAssistentForm::CreateOldFilesPage()
{
    TabSheet2 = Place<TTabSheet>(PageControl, 0, 0, 520, 316);
    TabSheet2->SetPageControl(PageControl);
    Captioned<TLabel>(TabSheet2, "Was soll mit den alten Dateien geschehen?", 16, 16, 480);
    DontDeleteCheck = Captioned<TRadioButton>(TabSheet2, "auf dem Datenträger belassen (neue Dateien in der Liste)", 24,
                                              48, 470);
    DontDeleteCheck->SetChecked(true);
    DeleteCheck = Captioned<TRadioButton>(TabSheet2, "Löschen (Achtung: Die Dateien werden unwiderrufllich gelöscht!)",
                                          24, 72, 470);
    DontUseNewCheck = Captioned<TRadioButton>(TabSheet2, "in der Liste belassen.", 24, 96, 470);
}

void TConvertAssistentForm::CreateReadyPage()
{
    ReadyTabSheet = Place<TTabSheet>(PageControl, 0, 0, 520, 316);
    ReadyTabSheet->SetPageControl(PageControl);
    WhatToDoMemo = Place<TMemo>(ReadyTabSheet, 16, 12, 480, 190);
    WhatToDoMemo->SetReadOnly(true);
    FilenameLabel = Captioned<TLabel>(ReadyTabSheet, "", 16, 212, 480);
    // A meter from blue through cyan to white on black.
    ProgressBar = Place<TVexaProgressBar>(ReadyTabSheet, 16, 236, 480, 18);
    ProgressBar->SetColorFirst(clBlue);
    ProgressBar->SetColorSecond(clAqua);
    ProgressBar->SetColorThird(clWhite);
    ProgressBar->SetColorBackground(clBlack);
    ProgressBar->SetBitmapstyle(pbsVUMeter);
    DoConvertBtn = Captioned<TButton>(ReadyTabSheet, "Konvertierung starten...", 316, 262, 180);
    DoConvertBtn->SetHeight(25);
    DoConvertBtn->OnClick = [this](TObject* Sender) { DoConvertBtnClick(Sender); };
}

void TConvertAssistentForm::CreateButtons()
{
    auto button = [this](const std::string& Caption, int Left, void (TConvertAssistentForm::*Handler)(TObject*)) {
        auto* b = Place<TButton>(this, Left + ToolResources::PagePictureRoom, 326, 96, 25);
        b->SetCaption(Caption);
        if (Handler)
            b->OnClick = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
        return b;
    };
    FinishBtn = button("&Fertigstellen", 8, &TConvertAssistentForm::FinishBtnClick);
    BackBtn = button("&Zurück", 208, &TConvertAssistentForm::BackBtnClick);
    NextBtn = button("&Weiter", 308, &TConvertAssistentForm::NextBtnClick);
    CancelBtn = button("&Abbrechen", 416, nullptr);
    CancelBtn->OnClick = [this](TObject*) { Close(); };
    CancelBtn->Cancel = true;
}

TConvertSettings TConvertAssistentForm::Settings() const
{
    TConvertSettings s;
    s.Which = OnlyGreenMarkedCheck->Checked() ? cwGreenMarked : OnlyMarkedCheck->Checked() ? cwMarked : cwAll;
    s.Format = static_cast<TConvertFormat>(std::max(0, FormatRadioGroup->ItemIndex()));
    s.JPEGSettings = JPEGSettings;
    s.TargaCompressed = TargaCompressed;
    s.UseUserDir = UserDirCheck->Checked();
    s.UserDir = UserDirEdit->Text();
    s.Resize = ResizePicturesCheck->Checked();
    s.Width = EditNumber(WidthEdit);
    s.Height = EditNumber(HeightEdit);
    s.KeepProportions = KeepProportionsCheck->Checked();
    s.OnlySmaller = OnlySmallerPicsCheck->Checked();
    s.OnlyBigger = OnlyBiggerPicsCheck->Checked();
    s.OldFiles = DeleteCheck->Checked() ? coDelete : DontUseNewCheck->Checked() ? coDontUseNew : coDontDelete;
    return s;
}

void TConvertAssistentForm::FormActivate(TObject*)
{
    GoToPage(0);
    OnlyGreenMarkedCheck->SetEnabled(ChosenCount(cwGreenMarked) > 0);
    OnlyMarkedCheck->SetEnabled(PicInfoUnit::PicSelCount() > 0);
    if (PicInfoUnit::PicCount() > 0)
        return;
    for (TControl* control :
         {static_cast<TControl*>(NextBtn), static_cast<TControl*>(FinishBtn), static_cast<TControl*>(AllPicsCheck),
          static_cast<TControl*>(OnlyGreenMarkedCheck), static_cast<TControl*>(OnlyMarkedCheck)})
        control->SetEnabled(false);
    ui::MessageDlg(NoPicturesMessage, mtInformation, {mbOK, mbHelp}, HelpContext);
}

void TConvertAssistentForm::GoToPage(int Index)
{
    PageControl->SetActivePageIndex(Index);
    PageControlChange(PageControl);
}

void TConvertAssistentForm::PageControlChange(TObject*)
{
    const int page = PageControl->ActivePageIndex();
    BackBtn->SetEnabled(page > 0);
    NextBtn->SetEnabled(page < PageControl->PageCount() - 1);
    if (PageControl->ActivePage() == ChooseFileFormatTabSheet)
        UpdateFormatControls();
    if (PageControl->ActivePage() == ReadyTabSheet)
        WhatToDoMemo->SetText(SummaryText(Settings()));
}

void TConvertAssistentForm::NextBtnClick(TObject*)
{
    if (PageControl->ActivePageIndex() < PageControl->PageCount() - 1)
        GoToPage(PageControl->ActivePageIndex() + 1);
}

void TConvertAssistentForm::BackBtnClick(TObject*)
{
    if (PageControl->ActivePageIndex() > 0)
        GoToPage(PageControl->ActivePageIndex() - 1);
}

void TConvertAssistentForm::FinishBtnClick(TObject*) { GoToPage(PageControl->PageCount() - 1); }

void TConvertAssistentForm::UpdateFormatControls()
{
    const int format = FormatRadioGroup->ItemIndex();
    JPEGPrefsBtn->SetEnabled(format == cfJPEG || format == cfTGA);
    UserDirEdit->SetEnabled(UserDirCheck->Checked());
}

void TConvertAssistentForm::UpdateResizeControls()
{
    const bool on = ResizePicturesCheck->Checked();
    ResizePrefsPanel->SetEnabled(on);
    for (TControl* control :
         {static_cast<TControl*>(SizesRadioGroup), static_cast<TControl*>(WidthEdit),
          static_cast<TControl*>(HeightEdit), static_cast<TControl*>(KeepProportionsCheck),
          static_cast<TControl*>(OnlySmallerPicsCheck), static_cast<TControl*>(OnlyBiggerPicsCheck)})
        control->SetEnabled(on);
}

void TConvertAssistentForm::SizesRadioGroupClick(TObject*)
{
    const int item = SizesRadioGroup->ItemIndex();
    if (item < 0 || item >= SizeCount)
        return;
    settingSize_ = true;
    WidthEdit->SetText(std::to_string(Sizes[item].Width));
    HeightEdit->SetText(std::to_string(Sizes[item].Height));
    settingSize_ = false;
}

void TConvertAssistentForm::SizeEditChange(TObject*)
{
    if (settingSize_)
        return;
    settingSize_ = true;
    SizesRadioGroup->SetItemIndex(SizeItemFor(EditNumber(WidthEdit), EditNumber(HeightEdit)));
    settingSize_ = false;
}

void TConvertAssistentForm::JPEGPrefsBtnClick(TObject*)
{
    if (FormatRadioGroup->ItemIndex() == cfJPEG) {
        TJPEGCompressionDlg dialog(nullptr);
        dialog.CompressionWord = JPEGSettings;
        if (dialog.Execute())
            JPEGSettings = dialog.CompressionWord;
    } else if (FormatRadioGroup->ItemIndex() == cfTGA) {
        TTargaCompressionForm form(nullptr);
        form.CompressionCheck->SetChecked(TargaCompressed);
        if (form.ShowModal() == mrOk)
            TargaCompressed = form.CompressionCheck->Checked();
    }
}

void TConvertAssistentForm::SetNavigationEnabled(bool Enabled)
{
    BackBtn->SetEnabled(Enabled);
    CancelBtn->SetEnabled(Enabled);
    FinishBtn->SetEnabled(Enabled);
}

void TConvertAssistentForm::DoConvertBtnClick(TObject*)
{
    const TConvertSettings settings = Settings();
    DoConvertBtn->SetVisible(false);
    SetNavigationEnabled(false);
    ProgressBar->SetMax(std::max(1, ChosenCount(settings.Which)));
    ProgressBar->SetPosition(0);
    const TConvertCounts counts = ConvertPictures(settings, Setup::VisteloFilename,
                                                  [this](const std::string& FileName) {
                                                      FilenameLabel->SetCaption(FileName);
                                                      ProgressBar->SetPosition(ProgressBar->Position() + 1);
                                                      Application->ProcessMessages();
                                                  });
    ui::ShowMessage(FinalMessage(counts));
    SetNavigationEnabled(true);
    DoConvertBtn->SetVisible(true);
    ProgressBar->SetPosition(0);
    Close();
}

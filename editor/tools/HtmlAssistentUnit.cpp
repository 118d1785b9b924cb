#include "editor/tools/HtmlAssistentUnit.h"

#include "editor/controls/ComboEdit.h"
#include "editor/controls/DirectoryEdit.h"
#include "editor/controls/FilenameEdit.h"
#include "editor/controls/JPEGCompressionDlg.h"
#include "editor/controls/VexaPrgrBr.h"
#include "editor/tools/FormPlacing.h"
#include "editor/tools/SmallEditor.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(THTMLAssistent)

namespace {

constexpr int PageWidth = 520;
constexpr int PageHeight = 330;

using FormPlacing::Captioned;
using FormPlacing::Place;
using FormPlacing::SpinEdit;

TTabSheet* NewPage(TPageControl* Pages, const std::string& Caption)
{
    auto* page = Place<TTabSheet>(Pages, 0, 0, Pages->Width(), Pages->Height());
    page->SetPageControl(Pages);
    page->SetCaption(Caption);
    return page;
}

TPanel* PlainPanel(TWinControl* Parent, int Left, int Top, int Width, int Height)
{
    auto* panel = Place<TPanel>(Parent, Left, Top, Width, Height);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption("");
    return panel;
}

} // namespace

namespace HtmlAssistent {

std::string JoinExtensions(const TStrings& Entries)
{
    std::string text;
    for (int i = 0; i < Entries.Count(); ++i)
        text += Entries.Strings(i) + ";";
    return text;
}

} // namespace HtmlAssistent

THTMLAssistent::THTMLAssistent(TComponent* AOwner) : TForm(AOwner), Preset(std::make_unique<TMyHTMLPreset>())
{
    SetCaption("HTML-Assistent");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(PageWidth);
    SetClientHeight(PageHeight + 44);

    ColorDialog = new TColorDialog(this);
    SmallEditor = new TSmallEditor(this);
    SmallEditor->Caption = "Editor";
    SmallEditor->ShowStatusBar = true;
    OpenPresetDialog = new TOpenDialog(this);
    OpenPresetDialog->Title = "HTML-Einstellungungen laden";
    SavePresetDialog = new TSaveDialog(this);
    SavePresetDialog->Title = "HTML-Einstellungen speichern";
    for (TOpenDialog* dialog : {OpenPresetDialog, static_cast<TOpenDialog*>(SavePresetDialog)}) {
        dialog->InitialDir = rtl::ProgramDir();
        dialog->DefaultExt = "HTMLPreset";
        dialog->Filter = HtmlAssistent::PresetFilter;
    }
    JPEGCompressionDlg = new TJPEGCompressionDlg(this);
    JPEGCompressionDlg->AutoPreview = true;
    ExLinkTimer = new TTimer(this);
    ExLinkTimer->SetEnabled(false);
    ExLinkTimer->SetInterval(HtmlAssistent::ExampleLinkMilliseconds);
    ExLinkTimer->OnTimer = [this](TObject* Sender) { ExLinkTimerTimer(Sender); };

    PageControl = Place<TPageControl>(this, 0, 0, PageWidth, PageHeight);
    CreateStartPage();
    CreateSettingsPage();
    CreateConvertPage();
    CreateFilePage();
    CreateReadyPage();
    for (int i = 0; i < PageControl->PageCount(); ++i)
        PageControl->Pages(i)->SetTabVisible(false);
    PageControl->OnChange = [this](TObject* Sender) { PageControlChange(Sender); };
    CreateButtons();
    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnCloseQuery = [this](TObject*, bool& CanClose) { CanClose = !Busy; };
}

THTMLAssistent::~THTMLAssistent() = default;

void THTMLAssistent::CreateStartPage()
{
    StartPage = NewPage(PageControl, "");
    auto* text = Place<TLabel>(StartPage, 16, 16, 480, 120);
    text->SetWordWrap(true);
    text->SetCaption("Mit diesem Assistenten erstellen Sie aus den Bildern der Bilderliste, die mit einem grünen "
                     "Häkchen markiert sind, Webseiten: eine Übersicht mit Thumbnails und für jedes Bild eine "
                     "eigene Seite.");
    LoadPresetBtn = Captioned<TButton>(StartPage, "HTML-Einstellungen &laden", 16, 150, 200);
    LoadPresetBtn->SetHeight(25);
    LoadPresetBtn->OnClick = [this](TObject* Sender) { LoadPresetBtnClick(Sender); };
    BackToPicListBtn = Captioned<TButton>(StartPage, "&Zurück", 16, 186, 200);
    BackToPicListBtn->SetHeight(25);
    BackToPicListBtn->OnClick = [this](TObject*) {
        if (!Busy)
            Close();
    };
}

void THTMLAssistent::CreateSettingsPage()
{
    TabSheet1 = NewPage(PageControl, "");
    auto* caption = Captioned<TLabel>(TabSheet1, "HTML-Einstellungen (Aussehen der Webseite)", 8, 4, 480);
    caption->SetHeight(18);
    HTMLPageControl = Place<TPageControl>(TabSheet1, 4, 24, PageWidth - 12, PageHeight - 32);
    CreateKindTab();
    CreateColorTab();
    CreateIndexTab();
    CreatePictureTab();
}

void THTMLAssistent::CreateKindTab()
{
    TabSheet5 = NewPage(HTMLPageControl, "Art der Seite(n)");
    TabIndexCheck = Captioned<TCheckBox>(TabSheet5, "&Tabellarische Übersicht mit Thumbnails (Minivorschau) generieren",
                                         16, 20, 470);
    PicturePageCheck = Captioned<TCheckBox>(TabSheet5, "Für jedes &Bild eine eigene Webseite erstellen", 16, 50, 470);
    TabIndexCheck->OnClick = [this](TObject* Sender) { TabIndexCheckClick(Sender); };
    PicturePageCheck->OnClick = [this](TObject* Sender) { PicturePageCheckClick(Sender); };
}

void THTMLAssistent::CreateColorTab()
{
    ColorTabSheet = NewPage(HTMLPageControl, "Farben");
    auto colorEdit = [this](const std::string& Caption, int Top) {
        Captioned<TLabel>(ColorTabSheet, Caption, 12, Top + 2, 130);
        auto* edit = Place<TComboEdit>(ColorTabSheet, 146, Top, 100, 22);
        edit->OnButtonClick = [this](TObject* Sender) { OpenColorPicker(Sender); };
        edit->OnExit = [this](TObject* Sender) { CheckHTMLColorInput(Sender); };
        edit->OnKeyDown = [this](TObject* Sender, WORD& Key, TShiftState) {
            if (Key == VK_RETURN)
                CheckHTMLColorInput(Sender);
        };
        return edit;
    };
    BGColorEdit = colorEdit("Hintergrund:", 10);
    TextColorEdit = colorEdit("Text:", 38);
    LinkColorEdit = colorEdit("Link:", 66);
    ALinkColorEdit = colorEdit("Aktiver Link:", 94);
    VLinkColorEdit = colorEdit("Besuchter Link:", 122);
    Captioned<TLabel>(ColorTabSheet, "Hintergrundbild:", 12, 154, 130);
    BGPicEdit = Place<TFilenameEdit>(ColorTabSheet, 146, 152, 340, 22);
    BGPicEdit->SetFilter(HtmlAssistent::BackgroundFilter);
    BGPicEdit->OnChange = [this](TObject*) {
        if (!refreshing_)
            Preset->BGPicture = BGPicEdit->FileName();
    };

    ExBgPanel = Place<TPanel>(ColorTabSheet, 270, 10, 216, 130);
    ExBgPanel->SetCaption("");
    ExTextLabel = Captioned<TLabel>(ExBgPanel, "Besuchen Sie mal", 12, 40, 190);
    ExTextLabel->SetTransparent(true);
    ExLinkLabel = Captioned<TLabel>(ExBgPanel, "die Vistelo-Homepage", 12, 62, 190);
    ExLinkLabel->SetTransparent(true);
    ExLinkLabel->Font().SetStyle({fsUnderline});
    ExLinkLabel->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ExLinkLabelMouseDown(); };
    ExLinkLabel->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { ExLinkLabelMouseUp(); };
}

void THTMLAssistent::CreateIndexTab()
{
    TabIndexPage = NewPage(HTMLPageControl, "Tabellarische Übersicht");
    auto textEdit = [this](const std::string& Caption, int Top, std::string TMyHTMLPreset::*Field) {
        Captioned<TLabel>(TabIndexPage, Caption, 12, Top + 2, 130);
        auto* edit = Place<TComboEdit>(TabIndexPage, 146, Top, 340, 22);
        edit->OnButtonClick = [this, edit](TObject*) { ComboEditor(edit); };
        edit->OnChange = [this, edit, Field](TObject*) {
            if (!refreshing_)
                (*Preset).*Field = edit->Text();
        };
        return edit;
    };
    TabHeadLineEdit = textEdit("Überschrift:", 10, &TMyHTMLPreset::TabHeadLine);
    TabUserText1Edit = textEdit("Text oben:", 38, &TMyHTMLPreset::TabUserText1);
    TabUserText2Edit = textEdit("Text unten:", 66, &TMyHTMLPreset::TabUserText2);
    Captioned<TLabel>(TabIndexPage, "Spalten:", 12, 98, 130);
    TabColsEdit = SpinEdit(TabIndexPage, 146, 96, 1, HTMLPreset::MaxTabCols);
    TabColsEdit->OnChange = [this](TObject*) {
        if (!refreshing_)
            Preset->TabCols = TabColsEdit->CheckValue(TabColsEdit->Value());
    };
    Captioned<TLabel>(TabIndexPage, "Rahmenbreite:", 250, 98, 100);
    TabBorderWidthEdit = SpinEdit(TabIndexPage, 356, 96, 0, HTMLPreset::MaxWidthSetting);
    TabBorderWidthEdit->OnChange = [this](TObject*) {
        if (!refreshing_)
            Preset->TabBorderWidth = TabBorderWidthEdit->CheckValue(TabBorderWidthEdit->Value());
    };
    ShowThumbNailsCheck = Captioned<TCheckBox>(TabIndexPage, "&Thumbnails erstellen und anzeigen", 12, 130, 260);
    ThumbNailOptionsBtn = Captioned<TButton>(TabIndexPage, "&Einstellungen...", 280, 128, 110);
    ShowPicNamesCheck = Captioned<TCheckBox>(TabIndexPage, "Bild&dateinamen anzeigen", 12, 158, 300);
    ShowDescriptionCheck = Captioned<TCheckBox>(TabIndexPage, "Bildbeschreibunge&n anzeigen", 12, 184, 300);
    TabDeviderCheck = Captioned<TCheckBox>(TabIndexPage, "Trennstriche &zwischen jedem Seitenteil einfügen", 12, 210,
                                           400);
    ShowThumbNailsCheck->OnClick = [this](TObject* Sender) { ShowThumbNailsCheckClick(Sender); };
    ThumbNailOptionsBtn->OnClick = [this](TObject* Sender) { ThumbNailOptionsBtnClick(Sender); };
    ShowPicNamesCheck->OnClick = [this](TObject* Sender) { ShowPicNamesCheckClick(Sender); };
    ShowDescriptionCheck->OnClick = [this](TObject*) {
        if (!refreshing_)
            Preset->ShowDescription = ShowDescriptionCheck->Checked();
    };
    TabDeviderCheck->OnClick = [this](TObject*) {
        if (!refreshing_)
            Preset->TabDivider = TabDeviderCheck->Checked();
    };
}

void THTMLAssistent::CreatePictureTab()
{
    PicturePage = NewPage(HTMLPageControl, "Bilderseiten");
    auto textEdit = [this](const std::string& Caption, int Top, std::string TMyHTMLPreset::*Field) {
        Captioned<TLabel>(PicturePage, Caption, 12, Top + 2, 130);
        auto* edit = Place<TComboEdit>(PicturePage, 146, Top, 340, 22);
        edit->OnButtonClick = [this, edit](TObject*) { ComboEditor(edit); };
        edit->OnChange = [this, edit, Field](TObject*) {
            if (!refreshing_)
                (*Preset).*Field = edit->Text();
        };
        return edit;
    };
    PicHeadLineEdit = textEdit("Überschrift:", 10, &TMyHTMLPreset::PicHeadLine);
    PicUserText1Edit = textEdit("Text oben:", 38, &TMyHTMLPreset::PicUserText1);
    PicUserText2Edit = textEdit("Text unten:", 66, &TMyHTMLPreset::PicUserText2);
    PicShowBorderCheck = Captioned<TCheckBox>(PicturePage, "Bild ein&rahmen", 12, 100, 200);
    PicBorderWidthLabel = Captioned<TLabel>(PicturePage, "Rahmenbreite:", 220, 102, 100);
    PicBorderWidthEdit = SpinEdit(PicturePage, 326, 98, 1, HTMLPreset::MaxWidthSetting);
    PicBorderWidthEdit->OnChange = [this](TObject*) {
        if (!refreshing_)
            Preset->PicBorderWidth = PicBorderWidthEdit->CheckValue(PicBorderWidthEdit->Value());
    };
    PicShowDescriptionCheck = Captioned<TCheckBox>(PicturePage, "Bildbeschreibung anzeigen", 12, 130, 300);
    PicDeviderCheck = Captioned<TCheckBox>(PicturePage, "Trennstriche zwischen jedem Seitenteil einfügen", 12, 156,
                                           400);
    CreateNavigationCheck = Captioned<TCheckBox>(PicturePage, "Na&vigationslinks einfügen", 12, 182, 260);
    NavigationLinkPrefsBtn = Captioned<TButton>(PicturePage, "Einstellungen", 280, 180, 110);
    PicShowBorderCheck->OnClick = [this](TObject* Sender) { PicShowBorderCheckClick(Sender); };
    PicShowDescriptionCheck->OnClick = [this](TObject*) {
        if (!refreshing_)
            Preset->PicShowDescription = PicShowDescriptionCheck->Checked();
    };
    PicDeviderCheck->OnClick = [this](TObject*) {
        if (!refreshing_)
            Preset->PicDivider = PicDeviderCheck->Checked();
    };
    CreateNavigationCheck->OnClick = [this](TObject* Sender) { CreateNavigationCheckClick(Sender); };
    NavigationLinkPrefsBtn->OnClick = [this](TObject* Sender) { NavigationLinkPrefsBtnClick(Sender); };
}

void THTMLAssistent::CreateConvertPage()
{
    ConvertTabSheet = NewPage(PageControl, "");
    ConvertCheck = Place<TRadioButton>(ConvertTabSheet, 12, 12, 20, 20);
    ConvertLabel = Captioned<TLabel>(
        ConvertTabSheet, "&Folgende Bildformate sollen automatisch in das JPEG-Format konvertiert werden:", 34, 14,
        470);
    ConvertListPanel = PlainPanel(ConvertTabSheet, 30, 36, 470, 170);
    Captioned<TLabel>(ConvertListPanel, "&nur kopieren", 0, 0, 180);
    CopyExtListBox = Place<TListBox>(ConvertListPanel, 0, 20, 180, 150);
    Captioned<TLabel>(ConvertListPanel, "&konvertieren", 290, 0, 180);
    ConvertExtListBox = Place<TListBox>(ConvertListPanel, 290, 20, 180, 150);
    for (TListBox* list : {CopyExtListBox, ConvertExtListBox}) {
        list->SetSorted(true);
        list->SetMultiSelect(true);
    }
    AddConvertExtBtn = Captioned<TButton>(ConvertListPanel, ">>", 195, 24, 80);
    AddCopyExtBtn = Captioned<TButton>(ConvertListPanel, "<<", 195, 54, 80);
    AddAllConvertExtBtn = Captioned<TButton>(ConvertListPanel, "A&lle", 195, 94, 80);
    DelAllConvertExtBtn = Captioned<TButton>(ConvertListPanel, "&Keine", 195, 124, 80);
    AddConvertExtBtn->OnClick = [this](TObject* Sender) { AddConvertExitClick(Sender); };
    AddCopyExtBtn->OnClick = [this](TObject* Sender) { AddCopyExtClick(Sender); };
    AddAllConvertExtBtn->OnClick = [this](TObject* Sender) { AddAllConvertExtBtnClick(Sender); };
    DelAllConvertExtBtn->OnClick = [this](TObject* Sender) { DelAllConvertExtBtnClick(Sender); };

    GenerateShadowCheck = Captioned<TRadioButton>(ConvertTabSheet, "&Schatten erstellen", 12, 216, 300);
    ShadowPanel = PlainPanel(ConvertTabSheet, 30, 240, 300, 26);
    Captioned<TLabel>(ShadowPanel, "Schattenbreite:", 0, 4, 100);
    ShadowWidthEdit = SpinEdit(ShadowPanel, 110, 2, 1, HTMLPreset::MaxWidthSetting);
    ShadowWidthEdit->OnChange = [this](TObject*) {
        if (!refreshing_)
            Preset->ShadowWidth = ShadowWidthEdit->CheckValue(ShadowWidthEdit->Value());
    };
    SetupJPEGBtn = Captioned<TButton>(ConvertTabSheet, "&JPEG-Kompression einstellen", 290, 280, 210);
    SetupJPEGBtn->SetHeight(25);
    ConvertCheck->OnClick = [this](TObject* Sender) { ConvertCheckClick(Sender); };
    ConvertLabel->OnClick = [this](TObject* Sender) { ConvertLabelClick(Sender); };
    GenerateShadowCheck->OnClick = [this](TObject* Sender) { GenerateShadowCheckClick(Sender); };
    SetupJPEGBtn->OnClick = [this](TObject* Sender) { SetupJPEGBtnClick(Sender); };
}

void THTMLAssistent::CreateFilePage()
{
    FilePage = NewPage(PageControl, "");
    LocalCheck = Captioned<TRadioButton>(FilePage, "Zum Anschauen auf der lokalen &Festplatte", 12, 12, 400);
    InternetCheck = Captioned<TRadioButton>(FilePage, "Zum Veröffentlichen im &Internet/Intranet", 12, 36, 400);
    LocalCheck->OnClick = [this](TObject* Sender) { InternetLocalCheck(Sender); };
    InternetCheck->OnClick = LocalCheck->OnClick;
    Captioned<TLabel>(FilePage, "Hauptverzeichnis:", 12, 72, 130);
    MainDirEdit = Place<TDirectoryEdit>(FilePage, 146, 70, 350, 22);
    MainDirEdit->DialogText = "Hauptverzeichnis für die Webseite(n) auswählen";
    MainDirEdit->OnBeforeDialog = [this](TObject*, std::string& Name, bool&) { Name = MainDirEdit->Text(); };
    MainDirEdit->OnChange = [this](TObject*) {
        if (!refreshing_)
            Preset->MainDir = MainDirEdit->Text();
    };
    UseSubDirsCheck = Captioned<TCheckBox>(FilePage, "&Unterverzeichnisse benutzen", 12, 104, 300);
    UseSubDirsCheck->OnClick = [this](TObject* Sender) { UseSubDirsCheckClick(Sender); };
    SubDirPanel = PlainPanel(FilePage, 30, 128, 470, 60);
    Captioned<TLabel>(SubDirPanel, "Bilder:", 0, 4, 110);
    PicDirEdit = Place<TComboEdit>(SubDirPanel, 116, 2, 200, 22);
    Captioned<TLabel>(SubDirPanel, "Webseiten:", 0, 34, 110);
    HTMLDirEdit = Place<TComboEdit>(SubDirPanel, 116, 32, 200, 22);
    PicDirEdit->OnChange = [this](TObject*) {
        if (!refreshing_)
            Preset->PicDir = PicDirEdit->Text();
    };
    HTMLDirEdit->OnChange = [this](TObject*) {
        if (!refreshing_)
            Preset->HTMLDir = HTMLDirEdit->Text();
    };
    MainFilePanel = PlainPanel(FilePage, 12, 200, 480, 26);
    Captioned<TLabel>(MainFilePanel, "&Dateiname der Hauptseite:", 0, 4, 170);
    MainFilenameEdit = Place<TComboEdit>(MainFilePanel, 176, 2, 200, 22);
    MainFilenameEdit->OnChange = [this](TObject*) {
        if (!refreshing_)
            Preset->MainFilename = MainFilenameEdit->Text();
    };
}

void THTMLAssistent::CreateReadyPage()
{
    ReadyTabSheet = NewPage(PageControl, "");
    auto* text = Place<TLabel>(ReadyTabSheet, 16, 16, 480, 60);
    text->SetWordWrap(true);
    text->SetCaption("Alle Einstellungen sind vorgenommen. Klicken Sie auf \"Webseiten erstellen\", um die "
                     "Webseiten zu erstellen.");
    CreateWebPageBtn = Captioned<TButton>(ReadyTabSheet, " Webseiten erstellen", 16, 90, 200);
    CreateWebPageBtn->SetHeight(25);
    CreateWebPageBtn->OnClick = [this](TObject* Sender) { CreateWebPageBtnClick(Sender); };
    SavePresetBtn = Captioned<TButton>(ReadyTabSheet, "HTML-Einstellungen &speichern", 240, 90, 220);
    SavePresetBtn->SetHeight(25);
    SavePresetBtn->OnClick = [this](TObject* Sender) { SavePresetBtnClick(Sender); };
    StatusPanel = PlainPanel(ReadyTabSheet, 16, 140, 480, 120);
    StatusPanel->SetVisible(false);
    FilenameLabel = Captioned<TLabel>(StatusPanel, "", 0, 0, 400);
    ProgressLabel = Captioned<TLabel>(StatusPanel, "", 410, 0, 70);
    WholeProgressBar = Place<TVexaProgressBar>(StatusPanel, 0, 30, 480, 18);
    FileProgressbar = Place<TVexaProgressBar>(StatusPanel, 0, 60, 480, 18);
}

void THTMLAssistent::CreateButtons()
{
    auto button = [this](const std::string& Caption, int Left) {
        auto* b = Place<TButton>(this, Left, PageHeight + 10, 96, 25);
        b->SetCaption(Caption);
        return b;
    };
    GotoCreateWebPageBtn = button("&Fertigstellen", 8);
    BackBtn = button("&Zurück", 208);
    NextBtn = button("&Weiter", 308);
    CancelBtn = button("&Abbrechen", 416);
    CancelBtn->Cancel = true;
    GotoCreateWebPageBtn->OnClick = [this](TObject* Sender) { GotoCreateWebPageBtnClick(Sender); };
    BackBtn->OnClick = [this](TObject* Sender) { BackBtnClick(Sender); };
    NextBtn->OnClick = [this](TObject* Sender) { NextBtnClick(Sender); };
    CancelBtn->OnClick = [this](TObject*) {
        if (!Busy)
            Close();
    };
}

// The compilation assistant's window: its fourteen pages with hidden tabs
// and their controls.

#include "editor/tools/CDAssistentUnit.h"

#include "core/Tools.h"
#include "editor/controls/BlinkUnit.h"
#include "editor/controls/DirectoryListBox.h"
#include "editor/controls/SymbolChkList.h"
#include "editor/controls/VexaPrgrBr.h"
#include "editor/tools/CDAssistentTexts.h"
#include "editor/tools/ToolResources.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/AnimateClips.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/FileLbl.h"

IMPLEMENT_CLASS(TCDAssistentDlg)

namespace {

// The controls are laid out for a page of 520 pixels; the page picture
// then moves them right.
constexpr int PageWidth = 520 + ToolResources::PagePictureRoom;
constexpr int PageHeight = 330;
constexpr int TextLeft = 16;
constexpr int TextWidth = 520 - 2 * TextLeft;

template <class T> T* Place(TWinControl* Parent, int Left, int Top, int Width, int Height)
{
    auto* control = new T(Parent->Owner() ? Parent->Owner() : Parent);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

template <class T> T* Captioned(TWinControl* Parent, const std::string& Caption, int Top, int Height = 20)
{
    T* control = Place<T>(Parent, TextLeft, Top, TextWidth, Height);
    control->SetCaption(Caption);
    return control;
}

TLabel* Paragraph(TWinControl* Parent, const std::string& Caption, int Top, int Height)
{
    // Wrapping first: a label sized to its text takes the width it is given.
    TLabel* label = Place<TLabel>(Parent, TextLeft, Top, TextWidth, Height);
    label->SetWordWrap(true);
    label->SetBounds(TextLeft, Top, TextWidth, Height);
    label->SetCaption(Caption);
    return label;
}

// Done in blue, to go in light grey.
void ColourBar(TVexaProgressBar* Bar)
{
    Bar->SetColorFirst(0xB06020);
    Bar->SetColorSecond(0xE0E0E0);
}

} // namespace

TCDAssistentDlg::TCDAssistentDlg(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption(CDAssistentTexts::Caption);
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(PageWidth);
    SetClientHeight(PageHeight + 44);

    PageControl = Place<TPageControl>(this, 0, 0, PageWidth, PageHeight);
    CreateStartPages();
    CreateChoicePages();
    CreateFontsPage();
    CreateConfirmPages();
    CreateWorkingPages();
    // The order of the pages decides what "the next page" is.
    for (TTabSheet* page : {StartPage, ChooseActionPage, BurnCDChooseDirPage, CopyPicturesChooseDirPage, CopyFontsPage,
                            ConfirmCreateVisteloPage, ConfirmCopyPicturesPage, ConfirmDeletePicturesPage,
                            CreateVisteloWorkingPage, CopyingFilesWorkingPage, DeleteFilesWorkingPage, DelSoundPicPage,
                            VisteloListStartTabSheet, ConfirmBurnVisteloListPage}) {
        page->SetPageControl(PageControl);
        page->SetTabVisible(false);
    }
    AddPagePictures();
    PageControl->OnChange = [this](TObject* Sender) { PageControlChange(Sender); };
    CreateButtons();

    FontOpenDialog = new TOpenDialog(this);
    FontOpenDialog->Title = CDAssistentTexts::FontDialogTitle;
    FontOpenDialog->Filter = CDAssistentTexts::FontDialogFilter;
    FontOpenDialog->InitialDir = Tools::DirName(Tools::GetWinDir()) + "Fonts";
    CDBurnCheck->SetChecked(true);
    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnShow = [this](TObject*) { activated_ = false; };
}

TCDAssistentDlg::~TCDAssistentDlg()
{
    // The list boxes point into UsedFonts' file lists: they go first.
    UsedFontsListBox->Items().Clear();
    FontFileNamesListBox->Items().Clear();
}

TTabSheet* TCDAssistentDlg::NewPage(const std::string& Name)
{
    auto* page = new TTabSheet(this);
    page->SetName(Name);
    page->SetBounds(0, 0, PageWidth, PageHeight);
    return page;
}

void TCDAssistentDlg::AddPagePictures()
{
    const std::pair<TTabSheet*, const char*> pictures[] = {
        {StartPage, "CDASSIST"},
        {VisteloListStartTabSheet, "CDASSIST"},
        {ConfirmCreateVisteloPage, "CDCREATE"},
        {ConfirmBurnVisteloListPage, "CDCREATE"},
        {ChooseActionPage, "CHOOSEACTION"},
        {BurnCDChooseDirPage, "CHOOSEDIR"},
        {CopyPicturesChooseDirPage, "CHOOSEDIR"},
        {ConfirmCopyPicturesPage, "COPYPICS"},
        {CopyingFilesWorkingPage, "COPYPICS"},
        {CreateVisteloWorkingPage, "CDCREATE"},
        {ConfirmDeletePicturesPage, "DELPICS"},
        {DeleteFilesWorkingPage, "DELPICS"},
        {CopyFontsPage, "COPYFONTS"},
        {DelSoundPicPage, "DELPICSOUND"},
    };
    for (const auto& [page, name] : pictures)
        ToolResources::AddPagePicture(page, name);
}

void TCDAssistentDlg::CreateStartPages()
{
    StartPage = NewPage("StartPage");
    Paragraph(StartPage, "Willkommen beim Zusammenstellungs-Assistenten!", 16, 20);
    Paragraph(StartPage,
              "Der Assistent bereitet ein Verzeichnis vor, das Sie auf CD brennen können: Die CD startet die Vistelo "
              "dann von selbst. Außerdem kann er die Bilder mit grünem Häkchen in ein Verzeichnis kopieren oder die "
              "Dateien der Bilder mit rotem Kreuz löschen.",
              48, 100);

    VisteloListStartTabSheet = NewPage("VisteloListStartTabSheet");
    Paragraph(VisteloListStartTabSheet, "Willkommen beim Zusammenstellungs-Assistenten!", 16, 20);
    Paragraph(VisteloListStartTabSheet,
              "Der Assistent bereitet ein Verzeichnis vor, das alle Vistelos der Liste mit einem Player enthält. Auf "
              "CD gebrannt, startet die Liste von selbst.",
              48, 100);
}

void TCDAssistentDlg::CreateChoicePages()
{
    ChooseActionPage = NewPage("ChooseActionPage");
    Paragraph(ChooseActionPage, "Was möchten Sie tun?", 16, 20);
    CDBurnCheck = Captioned<TRadioButton>(ChooseActionPage, "auf &CD brennen", 52);
    CopyPicturesCheck = Captioned<TRadioButton>(ChooseActionPage, "nur die Bilder &kopieren", 80);
    DeletePicturesCheck = Captioned<TRadioButton>(ChooseActionPage,
                                                  "Bilder, die mit rotem Kreuz markiert sind &löschen", 108);

    auto folderPage = [this](const std::string& Name, TDirectoryListBox*& List, TButton*& CreateBtn) {
        TTabSheet* page = NewPage(Name);
        Paragraph(page, "In welches Verzeichnis sollen die Dateien kopiert werden?", 16, 20);
        List = Place<TDirectoryListBox>(page, TextLeft, 44, TextWidth, 220);
        CreateBtn = Place<TButton>(page, TextLeft + TextWidth - 140, 274, 140, 25);
        CreateBtn->SetCaption("&neues Verzeichnis");
        CreateBtn->OnClick = [this](TObject* Sender) { CDBurnCreateDirBtnClick(Sender); };
        return page;
    };
    BurnCDChooseDirPage = folderPage("BurnCDChooseDirPage", CDDirListBox, CDBurnCreateDirBtn);
    CopyPicturesChooseDirPage = folderPage("CopyPicturesChooseDirPage", DirectoryListBox2, CopyPicturesCreateDirBtn);

    DelSoundPicPage = NewPage("DelSoundPicPage");
    Paragraph(DelSoundPicPage, "Was soll gelöscht werden?", 16, 20);
    DelAllCheck = Captioned<TRadioButton>(DelSoundPicPage, "Bilder und die Sounds", 52);
    DelSoundsCheck = Captioned<TRadioButton>(DelSoundPicPage, "nur die Sounds", 80);
    DelPicsCheck = Captioned<TRadioButton>(DelSoundPicPage, "nur die Bilder", 108);
}

void TCDAssistentDlg::CreateFontsPage()
{
    CopyFontsPage = NewPage("CopyFontsPage");
    CopyFontsCheck = Captioned<TCheckBox>(CopyFontsPage, "Zeichensätze kopieren", 12);
    CopyFontsCheck->OnClick = [this](TObject* Sender) { CopyFontsCheckClick(Sender); };
    FontPanel = Place<TPanel>(CopyFontsPage, TextLeft, 40, TextWidth, 280);
    FontPanel->SetBevelOuter(bvNone);
    FontPanel->SetCaption("");
    const int half = TextWidth / 2 - 4;
    Place<TLabel>(FontPanel, 0, 0, half, 18)->SetCaption("Verwendete Fonts");
    Place<TLabel>(FontPanel, half + 8, 0, half, 18)->SetCaption("Dateien");
    auto fontList = [this](int Left, int Width) {
        auto* list = Place<TSymbolCheckListBox>(FontPanel, Left, 20, Width, 220);
        list->SetStyle(lbOwnerDrawFixed);
        list->OnDrawItem = [this](TWinControl* Control, int Index, TRect R, TOwnerDrawState State) {
            FontFileNamesListBoxDrawItem(Control, Index, R, State);
        };
        return list;
    };
    UsedFontsListBox = fontList(0, half);
    UsedFontsListBox->OnClick = [this](TObject* Sender) { UsedFontsListBoxClick(Sender); };
    UsedFontsListBox->OnClickCheck = [this](TObject* Sender) { UsedFontsListBoxClick(Sender); };
    FontFileNamesListBox = fontList(half + 8, half);
    FontFileNamesListBox->OnClick = [this](TObject* Sender) { FontFileNamesListBoxClick(Sender); };
    FontFileNamesListBox->OnClickCheck = [this](TObject* Sender) { FontFileNamesListBoxClick(Sender); };
    MoreFontsBtn = Place<TButton>(FontPanel, TextWidth - 140, 248, 140, 25);
    MoreFontsBtn->SetCaption("Weitere Dateien...");
    MoreFontsBtn->OnClick = [this](TObject* Sender) { MoreFontsBtnClick(Sender); };
}

void TCDAssistentDlg::CreateConfirmPages()
{
    auto startButton = [](TTabSheet* Page, const std::string& Caption, std::function<void(TObject*)> Handler) {
        auto* button = Place<TButton>(Page, TextLeft + TextWidth - 180, 286, 180, 25);
        button->SetCaption(Caption);
        button->OnClick = std::move(Handler);
        return button;
    };
    auto folderLabel = [](TTabSheet* Page, int Top) {
        auto* label = Place<TFileLabel>(Page, TextLeft, Top, TextWidth, 20);
        label->SetSeparator("/");
        return label;
    };

    ConfirmCreateVisteloPage = NewPage("ConfirmCreateVisteloPage");
    Paragraph(ConfirmCreateVisteloPage, "Die Dateien für die CD werden in folgendes Verzeichnis kopiert:", 16, 36);
    ShowDirLabel = folderLabel(ConfirmCreateVisteloPage, 56);
    CopyGreenPicturesCheck = Captioned<TRadioButton>(ConfirmCreateVisteloPage, "Bilder mit &grünem Häkchen kopieren",
                                                     96);
    CopyGreenPicturesCheck->SetChecked(true);
    CopyAllPicturesCheck = Captioned<TRadioButton>(ConfirmCreateVisteloPage, "Alle Bilder &kopieren", 122);
    VisteloCDCopySoundsCheck = Captioned<TCheckBox>(ConfirmCreateVisteloPage, "Auch die Sounds kopieren", 156);
    VisteloCDCopySoundsCheck->SetChecked(true);
    StartCreateVisteloBtn = startButton(ConfirmCreateVisteloPage, "&Start",
                                        [this](TObject* Sender) { StartCreateVisteloClick(Sender); });

    ConfirmCopyPicturesPage = NewPage("ConfirmCopyPicturesPage");
    Paragraph(ConfirmCopyPicturesPage, "Die Bilder mit grünem Häkchen werden in folgendes Verzeichnis kopiert:", 16,
              36);
    ShowPicDirLabel = folderLabel(ConfirmCopyPicturesPage, 56);
    CopyPicturesCopySoundsCheck = Captioned<TCheckBox>(ConfirmCopyPicturesPage, "Auch die Sounds kopieren", 96);
    CopyPicturesCopySoundsCheck->SetChecked(true);
    CreateVisteloCheck = Captioned<TCheckBox>(ConfirmCopyPicturesPage, "Vistelo im Ziel erstellen", 122);
    StartCopyPicturesBtn = startButton(ConfirmCopyPicturesPage, "&Start",
                                       [this](TObject* Sender) { StartCopyPicturesBtnClick(Sender); });

    ConfirmDeletePicturesPage = NewPage("ConfirmDeletePicturesPage");
    DeleteWarningLabel = Place<TBlinkLabel>(ConfirmDeletePicturesPage, TextLeft, 16, TextWidth, 20);
    DeleteWarningLabel->SetCaption("Achtung:");
    DeleteWarningLabel->Font().SetColor(clRed);
    Paragraph(ConfirmDeletePicturesPage,
              "Die Dateien der Bilder mit rotem Kreuz werden unwiderruflich vom Datenträger gelöscht!", 44, 40);
    DeletePicturesBtn = startButton(ConfirmDeletePicturesPage, "&Löschen",
                                    [this](TObject* Sender) { DeletePicturesBtnClick(Sender); });

    ConfirmBurnVisteloListPage = NewPage("ConfirmBurnVisteloListPage");
    Paragraph(ConfirmBurnVisteloListPage, "Die Dateien für die CD werden in folgendes Verzeichnis kopiert:", 16, 36);
    BurnVisteloListDirectoryLabel = folderLabel(ConfirmBurnVisteloListPage, 56);
    StartCreateVisteloListBtn = startButton(ConfirmBurnVisteloListPage, "&Start",
                                            [this](TObject* Sender) { StartCreateVisteloListBtnClick(Sender); });
}

void TCDAssistentDlg::CreateWorkingPages()
{
    auto workingPage = [this](const std::string& Name, TCommonAVI Clip, TAnimate*& Animate, TVexaProgressBar*& Overall,
                              TVexaProgressBar** File) {
        TTabSheet* page = NewPage(Name);
        Animate = Place<TAnimate>(page, TextLeft, 24, TextWidth, 70);
        ui::LoadCommonAVI(*Animate, Clip);
        Paragraph(page, "Bitte warten...", 110, 20);
        Overall = Place<TVexaProgressBar>(page, TextLeft, 140, TextWidth, 20);
        ColourBar(Overall);
        if (File) {
            *File = Place<TVexaProgressBar>(page, TextLeft, 172, TextWidth, 12);
            ColourBar(*File);
        }
        return page;
    };
    CreateVisteloWorkingPage = workingPage("CreateVisteloWorkingPage", aviCopyFile, CreateVisteloAnimate,
                                           VisteloCreateVexaProgressBar, &VisteloCreateCopyFileProgressBar);
    CopyingFilesWorkingPage = workingPage("CopyingFilesWorkingPage", aviCopyFile, CopyFilesAnimate,
                                          CopyPicturesProgressBar, &CopyPicturesFileProgressBar);
    DeleteFilesWorkingPage = workingPage("DeleteFilesWorkingPage", aviDeleteFile, DeleteFilesAnimate,
                                         DeleteFilesProgressBar, nullptr);
}

void TCDAssistentDlg::CreateButtons()
{
    auto button = [this](const std::string& Caption, int Left, std::function<void(TObject*)> Handler) {
        auto* b = Place<TButton>(this, Left + ToolResources::PagePictureRoom, PageHeight + 10, 96, 25);
        b->SetCaption(Caption);
        b->OnClick = std::move(Handler);
        return b;
    };
    BackBtn = button("&Zurück", 208, [this](TObject* Sender) { BackBtnClick(Sender); });
    NextBtn = button("&Weiter", 308, [this](TObject* Sender) { NextBtnClick(Sender); });
    CancelBtn = button("&Abbrechen", 416, [this](TObject* Sender) { BackToPicListBtnClick(Sender); });
    CancelBtn->Cancel = true;
}

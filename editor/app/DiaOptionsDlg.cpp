// The show options dialog: its tabs and controls.

#include "editor/app/DiaOptionsDlg.h"

#include "core/Blendings.h"
#include "core/VisteloNPics.h"
#include "editor/app/Config.h"
#include "editor/app/LinkDlg.h"
#include "editor/app/MarkListBox.h"
#include "editor/app/OptionsDialogParts.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/FilenameEdit.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(TDiaOptionsDlg)

namespace {

constexpr int RowHeight = 21;

using OptionsDialogParts::NewLabel;
using OptionsDialogParts::NewSheet;
using OptionsDialogParts::NewSpinEdit;

template <class C>
C* NewControl(TWinControl* Parent, TComponent* Owner, const std::string& Caption, int Left, int Top, int Width = 300)
{
    return OptionsDialogParts::NewControl<C>(Parent, Owner, Caption, Left, Top, Width);
}

TButton* NewButton(TWinControl* Parent, TComponent* Owner, const std::string& Caption, int Left, int Top,
                   int Width = 90)
{
    auto* button = new TButton(Owner);
    button->SetParent(Parent);
    button->SetCaption(Caption);
    button->SetBounds(Left, Top, Width, 25);
    return button;
}

TPanel* NewPanel(TWinControl* Parent, TComponent* Owner, int Left, int Top, int Width, int Height)
{
    auto* panel = new TPanel(Owner);
    panel->SetParent(Parent);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption("");
    panel->SetBounds(Left, Top, Width, Height);
    return panel;
}

TMenuItem* NewMenuItem(TPopupMenu* Menu, const std::string& Caption, std::function<void()> Action)
{
    auto* item = new TMenuItem(Menu);
    item->Caption = Caption;
    item->OnClick = [Action = std::move(Action)](TObject*) { Action(); };
    Menu->Items().Add(item);
    return item;
}

} // namespace

TDiaOptionsDlg::TDiaOptionsDlg(TComponent* AOwner, TVistelo& Document, const std::string& ShowFile)
    : TForm(AOwner), document_(Document), showFile_(ShowFile)
{
    SetCaption("Vistelo-Einstellungen");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(500);
    SetClientHeight(420);
    KeyPreview = true;

    PageControl = new TPageControl(this);
    PageControl->SetParent(this);
    PageControl->SetBounds(8, 8, 484, 366);
    CreateVisteloSheet();
    CreatePlayerSheet();
    CreateEndSheet();
    CreateBlendingsSheet();
    CreateDescriptionSheets();
    CreateButtons();
    PageControl->SetActivePageIndex(0);

    OnActivate = [this](TObject*) { FormActivate(); };
    OnKeyDown = [this](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_F1)
            HelpBtn->Click();
    };
}

TDiaOptionsDlg::~TDiaOptionsDlg() = default;

bool TDiaOptionsDlg::Execute(TComponent* AOwner, TVistelo& Document, const std::string& ShowFile)
{
    std::unique_ptr<TDiaOptionsDlg> dialog(new TDiaOptionsDlg(AOwner, Document, ShowFile));
    return dialog->ShowModal() == mrOk;
}

void TDiaOptionsDlg::CreateVisteloSheet()
{
    VisteloSheet = NewSheet(PageControl, this, "&Vistelo");
    NewLabel(VisteloSheet, this, "&Verweildauer pro Bild (in Millisekunden):", 12, 14);
    PauseSpinEdit = NewSpinEdit(VisteloSheet, this, 260, 10, 0, 999999999, 500);
    RandomOrderCheck = NewControl<TCheckBox>(VisteloSheet, this, "&Zufällige Reihenfolge", 12, 40);
    ShowNoDescriptionCheck = NewControl<TCheckBox>(VisteloSheet, this, "&Keine Beschreibung anzeigen", 12, 61);
    PlayMusicCheck = NewControl<TCheckBox>(VisteloSheet, this, "&Hintergrundmusik abspielen", 12, 88);
    PlayMusicCheck->OnClick = [this](TObject*) { EnableControls(); };
    CreateMusicPanel();
}

void TDiaOptionsDlg::CreateMusicPanel()
{
    MusicPanel = NewPanel(VisteloSheet, this, 12, 108, 456, 226);
    MusicFileNamesListBox = new TMarkListBox(this);
    MusicFileNamesListBox->SetParent(MusicPanel);
    MusicFileNamesListBox->SetBounds(0, 0, 340, 140);
    MusicFileNamesListBox->SetMultiSelect(true);
    MusicFileNamesListBox->Ellipsis = tePath;
    MusicFileNamesListBox->SetShowHint(true);
    MusicFileNamesListBox->OnClick = [this](TObject*) { MusicFileNamesListBoxClick(); };
    MusicFileNamesListBox->OnDblClick = [this](TObject*) { PreviewMusicClick(); };
    MusicFileNamesListBox->OnEnter = [this](TObject*) { MusicFileNamesListBoxClick(); };
    MusicFileNamesListBox->OnExit = [this](TObject*) { MusicFileNamesListBoxClick(); };
    MusicFileNamesListBox->OnMouseMove = [this](TObject*, TShiftState, int X, int Y) { MusicListMouseMove(X, Y); };

    AddMusicBtn = NewButton(MusicPanel, this, "+", 350, 0, 28);
    AddMusicBtn->Hint = "Lied(er) hinzufügen";
    AddMusicBtn->OnClick = [this](TObject*) { AddMusicClick(); };
    DeleteMusicBtn = NewButton(MusicPanel, this, "-", 382, 0, 28);
    DeleteMusicBtn->Hint = "Lied(er) löschen";
    DeleteMusicBtn->OnClick = [this](TObject*) { DeleteMusicClick(); };
    MusicUpBtn = NewButton(MusicPanel, this, "höher", 350, 30, 60);
    MusicUpBtn->OnClick = [this](TObject*) { MusicUpClick(); };
    MusicDownBtn = NewButton(MusicPanel, this, "tiefer", 350, 60, 60);
    MusicDownBtn->OnClick = [this](TObject*) { MusicDownClick(); };
    PreviewMusicBtn = NewButton(MusicPanel, this, "&Anhören", 350, 90, 90);
    PreviewMusicBtn->OnClick = [this](TObject*) { PreviewMusicClick(); };
    LinksBtn = NewButton(MusicPanel, this, "Links", 350, 120, 90);
    LinksBtn->OnClick = [this](TObject*) { TLinkForm::Execute(this); };

    MusicFilenameLabel = NewLabel(MusicPanel, this, "nichts ausgewählt", 0, 146);
    MusicFilenameLabel->SetEnabled(false);
    AutoRewindCheck = NewControl<TCheckBox>(MusicPanel, this, "Musik am Ende &wiederholen", 0, 168);
    AutoStartMusicCheck = NewControl<TCheckBox>(MusicPanel, this, "Musik automatisch &starten", 0, 189);

    MusicPopupMenu = new TPopupMenu(this);
    MusicPopupMenu->OnPopup = [this](TObject*) { MusicPopupMenuPopup(); };
    AddMusicItem = NewMenuItem(MusicPopupMenu, "Lied(er) hinzufügen", [this] { AddMusicClick(); });
    DeleteMusicItem = NewMenuItem(MusicPopupMenu, "Lied(er) löschen", [this] { DeleteMusicClick(); });
    MusicUpItem = NewMenuItem(MusicPopupMenu, "Lied(er) höher rücken", [this] { MusicUpClick(); });
    MusicDownItem = NewMenuItem(MusicPopupMenu, "Lied(er) tiefer rücken", [this] { MusicDownClick(); });
    MusicFileNamesListBox->SetPopupMenu(MusicPopupMenu);

    MusicOpenDialog = new TOpenDialog(this);
    MusicOpenDialog->Title = "Hintergrundmusik hinzufügen";
    MusicOpenDialog->Filter = SoundFilter;
    MusicOpenDialog->Options.Include(ofAllowMultiSelect);
}

void TDiaOptionsDlg::CreatePlayerSheet()
{
    PlayerSheet = NewSheet(PageControl, this, "Vistelo-&Player");
    int top = 10;
    const auto check = [&](const std::string& caption) {
        auto* box = NewControl<TCheckBox>(PlayerSheet, this, caption, 12, top, 440);
        top += RowHeight;
        return box;
    };
    AutoStartSoundCheck = check("Bildsounds automatisch &abspielen");
    StopSoundBeforeBlendingCheck = check("Sound s&chon vor der Überblendung abbrechen");
    ShowCommentsBoxCheck = check("&Kommentarfeld anzeigen");
    StartFullScreenCheck = check("Im &Vollbildmodus starten");
    StartFullScreenCheck->OnClick = [this](TObject*) { WindowSizeCheckClick(); };
    ShowNavigationBarCheck = check("&Navigationsleiste anzeigen");
    ShowNavigationBarCheck->OnClick = [this](TObject*) { WindowSizeCheckClick(); };
    ShowFilenameInNavigationBarCheck = check("&Dateinamen in der Navigationsleiste anzeigen");
    StartVisteloImmediatelyCheck = check("Vistelo beim Sta&rt stoppen");
    ScaleFontToScreenCheck = check("&Schriftgrößen an die Bildschirmgröße anpassen");
    ScaleFontToScreenCheck->OnClick = [this](TObject*) { ScaleFontToScreenCheckClick(); };
    ShowPleaseWaitCheck = check("\"&Bitte warten\" anzeigen");

    top += 6;
    NoLogoCheck = NewControl<TRadioButton>(PlayerSheet, this, "&Kein Logo", 12, top);
    StdLogoCheck = NewControl<TRadioButton>(PlayerSheet, this, "&Standard-Logo", 12, top + RowHeight);
    UserLogoCheck = NewControl<TRadioButton>(PlayerSheet, this, "&Eigenes Logo:", 12, top + 2 * RowHeight, 110);
    for (TRadioButton* radio : {NoLogoCheck, StdLogoCheck, UserLogoCheck})
        radio->OnClick = [this](TObject*) { EnableControls(); };
    LogoFilenamePanel = NewPanel(PlayerSheet, this, 126, top + 2 * RowHeight - 2, 330, 23);
    LogoFilenameEdit = new TFilenameEdit(this);
    LogoFilenameEdit->SetParent(LogoFilenamePanel);
    LogoFilenameEdit->SetBounds(0, 0, 330, 21);
    LogoFilenameEdit->SetDialogKind(dkOpenPicture);
    LogoFilenameEdit->SetFilter(TAAForm::PictureFilter());
    LogoPausePanel = NewPanel(PlayerSheet, this, 12, top + 3 * RowHeight + 4, 440, 25);
    NewLabel(LogoPausePanel, this, "&Anzeigedauer des Logos (in Millisekunden):", 0, 4);
    LogoPauseEdit = NewSpinEdit(LogoPausePanel, this, 260, 0, 0, 999999999, 500);
}

void TDiaOptionsDlg::CreateEndSheet()
{
    EndSheet = NewSheet(PageControl, this, "Vistelo-&Ende");
    NewLabel(EndSheet, this, "Am Ende der Vistelo:", 12, 10);
    int top = 32;
    const auto radio = [&](const std::string& caption) {
        auto* button = NewControl<TRadioButton>(EndSheet, this, caption, 12, top, 440);
        button->OnClick = [this](TObject*) { EnableControls(); };
        top += RowHeight;
        return button;
    };
    AutoRepeatCheck = radio("Automatisch &wiederholen");
    AutoLoadNextVisteloCheck = radio("Automatisch die &nächste Vistelo des Verzeichnisses laden");
    ExitImmediatelyCheck = radio("Sofort &beenden");
    RepeatVisteloCheck = radio("Fragen: wiederholen oder be&enden");
    RepeatOrLoadVisteloCheck = radio("Fragen: wiederholen oder eine andere Vistelo &laden");
    RepeatOrNextVisteloCheck = radio("Fragen: wiederholen oder die nächste Vistelo &starten");
    top += 8;
    ManualExitTooCheck = NewControl<TCheckBox>(EndSheet, this, "Auch beim &manuellen Beenden fragen", 12, top, 440);
    DontBreakMusicCheck = NewControl<TCheckBox>(EndSheet, this, "Hintergrundmusik &nicht unterbrechen", 12,
                                                top + RowHeight, 440);
}

void TDiaOptionsDlg::CreateBlendingsSheet()
{
    BlendingsSheet = NewSheet(PageControl, this, "Ü&berblendungen");
    UseBlendingsCheck = NewControl<TCheckBox>(BlendingsSheet, this, "&Überblendungen verwenden", 12, 10);
    UseBlendingsCheck->OnClick = [this](TObject*) { EnableControls(); };
    RandomblendingsPanel = NewPanel(BlendingsSheet, this, 12, 34, 456, 296);
    NewLabel(RandomblendingsPanel, this, "Zufällig gewählt werden diese Überblendungen:", 0, 0);
    RandomBlendingsListBox = new TSymbolCheckListBox(this);
    RandomBlendingsListBox->SetParent(RandomblendingsPanel);
    RandomBlendingsListBox->SetBounds(0, 18, 340, 276);
    const std::unique_ptr<TStringList> names = Blendings::BlendingNames();
    // Effects 0 and 1 (none and the random choice itself) are not offered.
    for (int effect = 2; effect < names->Count(); ++effect)
        RandomBlendingsListBox->Items().Add(names->Strings(effect));
    AllBlendingsBtn = NewButton(RandomblendingsPanel, this, "A&lle", 350, 18);
    AllBlendingsBtn->OnClick = [this](TObject*) {
        for (int i = 0; i < RandomBlendingsListBox->Items().Count(); ++i)
            RandomBlendingsListBox->SetChecked(i, true);
    };
    InvertBlendingsBtn = NewButton(RandomblendingsPanel, this, "&Umkehren", 350, 48);
    InvertBlendingsBtn->OnClick = [this](TObject*) {
        for (int i = 0; i < RandomBlendingsListBox->Items().Count(); ++i)
            RandomBlendingsListBox->SetChecked(i, !RandomBlendingsListBox->GetChecked(i));
    };
    UndoBlendingsBtn = NewButton(RandomblendingsPanel, this, "&Rückgängig", 350, 78);
    UndoBlendingsBtn->OnClick = [this](TObject*) { FillRandomBlendings(); };
}

void TDiaOptionsDlg::CreateDescriptionSheets()
{
    DescriptionSheet = NewSheet(PageControl, this, "Vistelo-Beschreibung");
    NewLabel(DescriptionSheet, this, "&Titel:", 12, 12);
    VisteloInfoTitleEdit = new TEdit(this);
    VisteloInfoTitleEdit->SetParent(DescriptionSheet);
    VisteloInfoTitleEdit->SetBounds(60, 8, 400, 21);
    NewLabel(DescriptionSheet, this, "&Beschreibung:", 12, 38);
    VisteloInfoMemo = new TMemo(this);
    VisteloInfoMemo->SetParent(DescriptionSheet);
    VisteloInfoMemo->SetBounds(12, 56, 280, 270);
    DiaInfoThumbnailPaintBox = new TPaintBox(this);
    DiaInfoThumbnailPaintBox->SetParent(DescriptionSheet);
    DiaInfoThumbnailPaintBox->SetBounds(304, 56, InfoPictureWidth + 4, InfoPictureHeight + 4);
    DiaInfoThumbnailPaintBox->OnPaint = [this](TObject*) { PaintInfoPicture(); };
    DiaInfoThumbnailPaintBox->OnClick = [this](TObject*) { ChooseInfoPictureClick(); };
    DiaInfoThumbnailLabel = NewLabel(DescriptionSheet, this, "Hier klicken, um ein Bild auszuwählen", 308, 96);
    DiaInfoThumbnailLabel->OnClick = [this](TObject*) { ChooseInfoPictureClick(); };
    DeleteInfoPictureBtn = NewButton(DescriptionSheet, this, " Bild &entfernen", 304, 168, 154);
    DeleteInfoPictureBtn->OnClick = [this](TObject*) { DeleteInfoPictureClick(); };
    InfoPictureOpenDialog = new TOpenDialog(this);
    InfoPictureOpenDialog->Title = "Bild auswählen";
    InfoPictureOpenDialog->Filter = TAAForm::PictureFilter();
    InfoPictureOpenDialog->InitialDir = VisteloSetup::PicDir;

    InfoSheet = NewSheet(PageControl, this, "Info");
    NewLabel(InfoSheet, this, "&Über diese Vistelo:", 12, 12);
    AboutVisteloMemo = new TMemo(this);
    AboutVisteloMemo->SetParent(InfoSheet);
    AboutVisteloMemo->SetBounds(12, 32, 456, 294);
}

void TDiaOptionsDlg::CreateButtons()
{
    OKBtn = NewButton(this, this, "OK", 206, 386);
    OKBtn->Default = true;
    OKBtn->OnClick = [this](TObject*) { OKBtnClick(); };
    CancelBtn = NewButton(this, this, "Abbrechen", 304, 386);
    CancelBtn->Cancel = true;
    CancelBtn->ModalResult = mrCancel;
    HelpBtn = NewButton(this, this, "&Hilfe", 402, 386);
    HelpBtn->OnClick = [](TObject*) { ui::ShowMessage(TAAForm::NoHelpMessage); };
}

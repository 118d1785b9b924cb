// The main window: its components, its creation, the one-shot start step,
// and the closing sequence that writes the settings.

#include "editor/app/Config.h"

#include "core/Blendings.h"
#include "core/PlayerPackageInterface.h"
#include "core/Setup.h"
#include "editor/app/About.h"
#include "editor/app/EditorGlyphs.h"
#include "editor/app/FileClasses.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloSetup.h"
#include "editor/app/WinBackground.h"
#include "editor/app/WinBackgroundDlgUnit.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/DropTarget.h"
#include "widgets/KSSplit.h"
#include "widgets/Placemnt.h"

#include <exception>

IMPLEMENT_CLASS(TAAForm)

namespace {

// The layout's designed sizes, from which the splitters take their limits.
constexpr int DesignListWidth = 230;
constexpr int DesignPanel2Width = 400;
constexpr int DesignPanel3Height = 230;
constexpr int DesignCommentsHeight = 120;
constexpr int GroupMargin = 6;

TPanel* NewPanel(TWinControl* Parent, TAlign Align)
{
    auto* panel = new TPanel(Parent->Owner());
    panel->SetParent(Parent);
    panel->SetAlign(Align);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption("");
    return panel;
}

TGroupBox* NewGroupBox(TWinControl* Parent, const std::string& Caption)
{
    auto* group = new TGroupBox(Parent->Owner());
    group->SetParent(Parent);
    group->SetAlign(alClient);
    group->SetCaption(Caption);
    return group;
}

TCheckBox* NewCheckBox(TWinControl* Parent, const std::string& Caption, int Top)
{
    auto* check = new TCheckBox(Parent->Owner());
    check->SetParent(Parent);
    check->SetBounds(10, Top, 260, 20);
    check->SetCaption(Caption);
    return check;
}

} // namespace

TAAForm::TAAForm(TComponent* AOwner) : TForm(AOwner)
{
    SetPosition(poScreenCenter);
    SetBounds(0, 0, 760, 540);
    Constraints().SetMinWidth(630);
    Constraints().SetMinHeight(430);
    KeyPreview = true;
    QuestionAsker = AddPictures::AskWithMessageDialog;
    PlayShow = [](TVistelo& Show, std::int32_t StartIndex) { PlayerPackageInterface::VisteloStart(Show, StartIndex); };

    CreateMenu();
    CreateCoolBar();
    StatusBar = new TStatusBar(this);
    StatusBar->SetParent(this);
    StatusBar->SetAlign(alBottom);
    StatusBar->SetSimplePanel(true);
    CreateListPanel();
    CreateSettingsPanel();
    CreateDialogs();

    StartTimer = new TTimer(this);
    StartTimer->SetEnabled(false);
    StartTimer->SetInterval(1);
    StartTimer->OnTimer = [this](TObject* Sender) { StartTimerTimer(Sender); };
    DropDummy = new TDropDummy(this);
    DropFileTarget = new TDropFileTarget(this);
    DropFileTarget->OnDrop = [this](TObject* Sender, TShiftState Shift, TPoint Point, DWORD& Effect) {
        DropFileTargetDrop(Sender, Shift, Point, Effect);
    };

    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnKeyUp = [this](TObject* Sender, WORD& Key, TShiftState Shift) { FormKeyUp(Sender, Key, Shift); };
    // The window's position and size are kept in the registry.
    FormPlacement = new TFormPlacement(this);
    FormPlacement->UseRegistry = true;
    FormPlacement->IniSection = Config::PlacementKey;
    FormPlacement->SetEvents();
    RegisterListAccess();
    FormCreate();
}

TAAForm::~TAAForm()
{
    UnregisterListAccess();
    ClearPictureList();
    DropDummy->Unregister();
    DropFileTarget->Unregister();
}

TMenuItem* TAAForm::AddMenuItem(TMenuItem* Parent, const std::string& Caption, WORD Key,
                                void (TAAForm::*Handler)(TObject*))
{
    auto* item = new TMenuItem(this);
    item->Caption = Caption;
    item->ShortCut = Key;
    if (Handler)
        item->OnClick = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
    Parent->Add(item);
    return item;
}

void TAAForm::CreateMenu()
{
    MainMenu = new TMainMenu(this);
    TMenuItem* fileMenu = AddMenuItem(&MainMenu->Items(), "&Datei", scNone, nullptr);
    NewVisteloItem = AddMenuItem(fileMenu, "&Neue Vistelo", ShortCut('N', {ssCtrl}), &TAAForm::NewVisteloClick);
    OpenVisteloItem = AddMenuItem(fileMenu, "Vistelo &öffnen...", ShortCut('O', {ssCtrl}), &TAAForm::OpenVisteloClick);
    SaveVisteloItem = AddMenuItem(fileMenu, "Vistelo &speichern", ShortCut('S', {ssCtrl}), &TAAForm::SaveVisteloClick);
    SaveVisteloAsItem = AddMenuItem(fileMenu, "Vistelo speichern &unter...", ShortCut(VK_F1 + 11, {}),
                                    &TAAForm::SaveVisteloAsClick);
    VisteloManagerItem = AddMenuItem(fileMenu, "Vistelo-Manager", scNone, &TAAForm::VisteloManager1Click);
    AddMenuItem(fileMenu, "-", scNone, nullptr);
    QuitVisteloItem = AddMenuItem(fileMenu, "&Beenden", ShortCut(VK_F1 + 3, {ssAlt}), &TAAForm::QuitVisteloClick);

    PictureMenu = AddMenuItem(&MainMenu->Items(), "&Bild", scNone, nullptr);
    AddPictureItem = AddMenuItem(PictureMenu, "&Hinzufügen...", ShortCut('I', {ssCtrl}), &TAAForm::AddPictureClick);
    AddMenuItem(PictureMenu, "Import-Assistent für Scanner und Digitalkameras...", scNone,
                &TAAForm::ScannerImportClick);
    AddMenuItem(PictureMenu, "Bild &drucken...", ShortCut('P', {ssCtrl}), &TAAForm::PrintPictureClick);
    AddMenuItem(PictureMenu, "Bild &bearbeiten", ShortCut('B', {ssCtrl}), &TAAForm::EditPictureClick);
    DeletePictureItem = AddMenuItem(PictureMenu, "&Entfernen...", ShortCut('D', {ssCtrl}),
                                    &TAAForm::DeletePictureClick);
    DeleteUncheckedItem = AddMenuItem(PictureMenu, "Bilder mit &Kreuz aus der Liste entfernen", scNone,
                                      &TAAForm::DeleteUncheckedClick);
    ReverseCheckMarkItem = AddMenuItem(PictureMenu, "&Häkchenmarkierung umkehren", scNone,
                                       &TAAForm::ReverseCheckMarkClick);
    AddMenuItem(PictureMenu, "-", scNone, nullptr);
    MarkAllPicsItem = AddMenuItem(PictureMenu, "&Alle Bilder Markieren", ShortCut('A', {ssCtrl}),
                                  &TAAForm::MarkAllPicsClick);
    ReversMarkItem = AddMenuItem(PictureMenu, "Markierung &umkehren", ShortCut('U', {ssCtrl}),
                                 &TAAForm::ReversMarkClick);
    AddMenuItem(PictureMenu, "-", scNone, nullptr);
    StartVisteloItem = AddMenuItem(PictureMenu, "Vistelo starten...", ShortCut('W', {ssCtrl}),
                                   &TAAForm::StartVisteloClick);
    StartVisteloAtItem = AddMenuItem(PictureMenu, "Vistelo ab dem markierten Bild starten", ShortCut('Q', {ssCtrl}),
                                     &TAAForm::StartVisteloAtClick);
    AddMenuItem(PictureMenu, "-", scNone, nullptr);
    SortMenu = AddMenuItem(PictureMenu, "&Sortieren", scNone, nullptr);
    TMenuItem* alphabetical = AddMenuItem(SortMenu, "&Alphabetisch s&ortieren", scNone, nullptr);
    AddMenuItem(alphabetical, "nach Datei&namen (aufsteigend)", scNone, &TAAForm::SortNameUpClick);
    AddMenuItem(alphabetical, "nach Datei&erweiterung  (aufsteigend)", scNone, &TAAForm::SortExtUpClick);
    AddMenuItem(alphabetical, "nach Dateinamen (&absteigend)", scNone, &TAAForm::SortNameDownClick);
    AddMenuItem(alphabetical, "nach Dateier&weiterung (absteigend)", scNone, &TAAForm::SortExtDownClick);
    // The desktop wallpaper: the current picture, and the settings.
    TMenuItem* wallpaperMenu = AddMenuItem(PictureMenu, "Windows &Hintergrundbild", scNone, nullptr);
    AddMenuItem(wallpaperMenu, "A&ktuelles Bild", ShortCut('H', {ssCtrl}), nullptr)->OnClick = [this](TObject*) {
        EditorWallpaper::SetAsWinBackground(GetPicInfoObject(PicItemIndex()));
    };
    AddMenuItem(wallpaperMenu, "&Einstellungen...", scNone, nullptr)->OnClick = [this](TObject*) {
        WinBackgroundDlg::ShowWinBackgroundSetup(Application, [this] { return GetPicInfoObject(PicItemIndex()); });
    };

    AssistantsMenu = AddMenuItem(&MainMenu->Items(), "&Assistenten", scNone, nullptr);
    ConvertAssistentItem = AddMenuItem(AssistantsMenu, "&Konvertierungs-Assistent...", scNone,
                                       &TAAForm::ConvertAssistentClick);
    SoundAssistentItem = AddMenuItem(AssistantsMenu, "&Sound-Assistent...", scNone, &TAAForm::SoundAssistentClick);
    TMenuItem* helpMenu = AddMenuItem(&MainMenu->Items(), "&?", scNone, nullptr);
    HilfeItem = AddMenuItem(helpMenu, "&Hilfe...", ShortCut(VK_F1, {}), &TAAForm::HilfeClick);
    AddMenuItem(helpMenu, "&Info über...", scNone, &TAAForm::Info1Click);
    SetMenu(MainMenu);
}

void TAAForm::CreateCoolBar()
{
    CoolBar = new TCoolBar(this);
    CoolBar->SetParent(this);
    CoolBar->SetAlign(alTop);
    ToolbarPanel = NewPanel(CoolBar, alNone);
    ToolbarPanel->SetHeight(32);
    CoolBar->AddBand().SetControl(ToolbarPanel);

    LogoAnimate = new TAnimate(this);
    LogoAnimate->SetParent(CoolBar);
    LogoAnimate->Hint = "Vistelo";
    LogoAnimate->SetShowHint(true);
    EditorGlyphs::PaintLogoFrames(LogoAnimate->Frames());
    LogoAnimate->SetFrameCount(EditorGlyphs::LogoFrameCount);
    LogoAnimate->StopFrame = 95;
    LogoAnimate->SetBounds(0, 0, EditorGlyphs::LogoFrameWidth, EditorGlyphs::LogoFrameHeight);
    TCoolBand& logoBand = CoolBar->AddBand();
    logoBand.SetControl(LogoAnimate);
    logoBand.SetFixedSize(true);
    logoBand.SetMinWidth(EditorGlyphs::LogoFrameWidth);
    logoBand.SetMinHeight(EditorGlyphs::LogoFrameHeight);
}

void TAAForm::CreateListPanel()
{
    PicListBoxPanel = NewPanel(this, alLeft);
    PicListBoxPanel->SetWidth(DesignListWidth);
    PicListBoxPanel->SetBorderWidth(GroupMargin);
    PicListGroupBox = NewGroupBox(PicListBoxPanel, " Bilderliste ");
    PicListBoxSymbols = new TImageList(this);
    EditorGlyphs::FillSymbols(*PicListBoxSymbols);
    PicListBox = new TSymbolCheckListBox(this);
    PicListBox->SetParent(PicListGroupBox);
    PicListBox->SetImages(PicListBoxSymbols);
    PicListBox->OnClickCheck = [this](TObject* Sender) { PicListBoxClickCheck(Sender); };
    PicListBox->SetAlign(alClient);
    PicListBox->SetMultiSelect(true);
    PicListBox->SetExtendedSelect(true);
    PicListBox->SetStyle(lbOwnerDrawFixed);
    PicListBox->SetItemHeight(13);
    PicListBox->OnClick = [this](TObject* Sender) { PicListBoxClick(Sender); };
    PicListBox->OnKeyDown = [this](TObject* Sender, WORD& Key, TShiftState Shift) {
        PicListBoxKeyDown(Sender, Key, Shift);
    };

    HSplitter = new TKsSplitter(this);
    HSplitter->SetParent(this);
    HSplitter->SetAlign(alLeft);
    HSplitter->SetLeft(DesignListWidth);
}

void TAAForm::CreateSettingsPanel()
{
    Panel2 = NewPanel(this, alClient);
    HSplitter->SetControlFirst(PicListBoxPanel);
    HSplitter->SetControlSecond(Panel2);

    Panel3 = NewPanel(Panel2, alTop);
    Panel3->SetHeight(DesignPanel3Height);
    Panel3->SetBorderWidth(GroupMargin);
    PicSettingsGroupBox = NewGroupBox(Panel3, " Bildeinstellungen ");
    ZoomImageCheck = NewCheckBox(PicSettingsGroupBox, "Bild (auf &Vollbild) strecken", 22);
    KeepProportionsCheck = NewCheckBox(PicSettingsGroupBox, "&Seitenverhältnisse beibehalten", 46);
    ShowCommentCheck = NewCheckBox(PicSettingsGroupBox, "&Kommentar zum Bild anzeigen", 70);
    ShowImageCheck = NewCheckBox(PicSettingsGroupBox, "Bild &anzeigen", 94);
    BlendingComboBox = new TComboBox(this);
    BlendingComboBox->SetParent(PicSettingsGroupBox);
    BlendingComboBox->SetStyle(csDropDownList);
    BlendingComboBox->SetBounds(10, 124, 260, 22);

    VSplitter = new TKsSplitter(this);
    VSplitter->SetParent(Panel2);
    VSplitter->SetAlign(alTop);
    VSplitter->SetTop(DesignPanel3Height);
    TPanel* commentPanel = NewPanel(Panel2, alClient);
    commentPanel->SetBorderWidth(GroupMargin);
    VSplitter->SetControlFirst(Panel3);
    VSplitter->SetControlSecond(commentPanel);
    CommentGroupBox = NewGroupBox(commentPanel, " Kommentar zum Bild/Bildbeschreibung ");
    CommentsMemo = new TMemo(this);
    CommentsMemo->SetParent(CommentGroupBox);
    CommentsMemo->SetAlign(alClient);
}

void TAAForm::CreateDialogs()
{
    OpenPictureDialog = new TOpenDialog(this);
    OpenPictureDialog->Title = "Bilder zur Bilderliste hinzufügen";
    OpenPictureDialog->Options.Include(ofAllowMultiSelect);
    OpenVisteloDialog = new TOpenDialog(this);
    OpenVisteloDialog->Title = "Vistelo laden";
    OpenVisteloDialog->DefaultExt = "vsf";
    OpenVisteloDialog->Options.Include(ofFileMustExist);
    SaveVisteloDialog = new TSaveDialog(this);
    SaveVisteloDialog->Title = "Vistelo speichern";
    SaveVisteloDialog->DefaultExt = "vsf";
    SaveVisteloDialog->Filter = "Vistelo-Dateien (*.vsf)|*.vsf|Alle Dateien|*.*";
    SaveVisteloDialog->Options.Include(ofOverwritePrompt);
}

void TAAForm::FormCreate()
{
    FirstActivation = true;
    VisteloSetup::LoadPreferences();
    UpdatingControls = false;
    ZoomImageCheck->SetChecked(Setup::stdStretch);
    KeepProportionsCheck->SetChecked(Setup::stdProportions);
    ShowCommentCheck->SetChecked(Setup::stdShowComments);
    ShowImageCheck->SetChecked(Setup::stdShowImage);
    OpenPictureDialog->Filter = PictureFilter();
    OpenVisteloDialog->Filter = "Vistelo-Dateien (*.vsf)|*.vsf|Alle Dateien|*.*";
    Document = std::make_unique<TConfigVistelo>();
    UpdateControlsEnabled();
    SetShowFileName("Unbenannt.vsf");
    UntitledShow = true;
    const std::unique_ptr<TStringList> names = Blendings::BlendingNames();
    BlendingComboBox->Items().Assign(names.get());
    PicListBoxClick(nullptr);
    LogoAnimate->SetActive(VisteloSetup::AnimateLogo);
    CommandLineShow.clear();
    VSplitter->TopLeftLimit = DesignPanel3Height;
    VSplitter->BottomRightLimit = DesignCommentsHeight;
    HSplitter->TopLeftLimit = DesignListWidth / 2;
    HSplitter->BottomRightLimit = DesignPanel2Width;
    DropDummy->Register(this);
    DropFileTarget->Register(PicListBox);
    NewVisteloClick(nullptr);
    StartTimer->SetEnabled(true);
}

void TAAForm::StartTimerTimer(TObject*)
{
    NewVisteloClick(nullptr);
    StartTimer->SetEnabled(false);
    if (!CommandLineShow.empty())
        LoadShowIntoList(CommandLineShow);
    CommandLineShow.clear();
    // The logo shows only when there is one: a missing picture would show
    // the load-error placeholder at every start.
    const std::string logo = Setup::HomeDir + "Vistelo.jpg";
    if (Document->LogoPause > 0 && rtl::FileExists(logo) && ShowLogo)
        ShowLogo(logo, Document->LogoPause);
}

void TAAForm::FormActivate(TObject*)
{
    if (!FirstActivation)
        return;
    LoadSplitterPositions();
    FirstActivation = false;
}

void TAAForm::LoadSplitterPositions()
{
    TRegistry registry;
    try {
        if (!registry.OpenKey(std::string(Config::PlacementKey), false))
            return;
        if (registry.ValueExists("ConfigWindowVSplitter"))
            Panel3->SetHeight(registry.ReadInteger("ConfigWindowVSplitter"));
        if (registry.ValueExists("ConfigWindowHSplitter"))
            PicListBoxPanel->SetWidth(registry.ReadInteger("ConfigWindowHSplitter"));
    } catch (const std::exception&) {
        // A value of the wrong kind leaves the designed layout.
    }
}

void TAAForm::SaveSplitterPositions()
{
    TRegistry registry;
    try {
        if (!registry.OpenKey(std::string(Config::PlacementKey), true))
            return;
        registry.WriteInteger("ConfigWindowVSplitter", Panel3->Height());
        registry.WriteInteger("ConfigWindowHSplitter", PicListBoxPanel->Width());
    } catch (const std::exception&) {
        // The layout is not worth an error at closing.
    }
}

void TAAForm::SaveAllSettings()
{
    VisteloSetup::SavePreferences();
    FileClasses::RegisterFileClasses(rtl::ProgramFile(), Setup::HomeDir);
    VisteloSetup::WritePlayerIni(Setup::HomeDir + VisteloSetup::PlayerIniName);
}

void TAAForm::FormCloseQuery(TObject*, bool& CanClose)
{
    CanClose = true;
    if (VisteloSetup::ConfirmExit)
        CanClose = ui::MessageDlg("Wollen Sie wirklich beenden?", mtConfirmation, {mbYes, mbNo}, 0) == mrYes;
}

void TAAForm::FormClose(TObject*, TCloseAction&)
{
    SaveSplitterPositions();
    SaveAllSettings();
}

void TAAForm::QuitVisteloClick(TObject*) { Close(); }

void TAAForm::HilfeClick(TObject*) { ui::ShowMessage(NoHelpMessage); }

void TAAForm::Info1Click(TObject*) { About::ShowAboutBox(this); }

void TAAForm::FormKeyUp(TObject*, WORD& Key, TShiftState)
{
    if (!PicListBox->Focused())
        return;
    if (Key == VK_INSERT)
        AddPictureClick(this);
    else if (Key == VK_DELETE)
        DeletePictureClick(this);
}

void TAAForm::PicListBoxKeyDown(TObject*, WORD&, TShiftState) { }

void TAAForm::DropFileTargetDrop(TObject*, TShiftState, TPoint, DWORD&)
{
    std::vector<std::string> files;
    for (int i = 0; i < DropFileTarget->Files().Count(); ++i)
        files.push_back(DropFileTarget->Files().Strings(i));
    AddPictures(files);
}

std::string TAAForm::PictureFilter()
{
    static const char* const entries[][2] = {
        {"Alle unterstützten Bildformate",
         "*.BMP;*.JPG;*.JPEG;*.PNG;*.PCX;*.TGA;*.TIF;*.TIFF;*.WMF;*.EMF;*.ICO;*.WIN;*.VST;*.VGA;*.ICB;*.SGI;*.RPF;*."
         "RLE;*.RLA;*.RGBA;*.RGB;*.PSP;*.PSD;*.PDD;*.PPM;*.PGM;*.PBM;*.PIC;*.PCD;*.GIF;*.DIB;*.CUT;*.CEL;*.BW;*.FAX;"
         "*.PCC"},
        {"Jpeg (*.JPG)", "*.JPG;*.JPEG"},
        {"Windows Bitmap (*.BMP)", "*.BMP"},
        {"Windows Bitmap (*.DIB)", "*.DIB"},
        {"RLE-Windows Bitmap (*.RLE)", "*.RLE"},
        {"Portable Networks Graphics (*.PNG)", "*.PNG"},
        {"zSoft PaintBrush (*.PCX)", "*.PCX"},
        {"Tagged Image File Format (*.TIF)", "*.TIF;*.TIFF"},
        {"Windows Meta Datei (*.WMF)", "*.WMF"},
        {"Erweiterte Meta Datei (*.EMF)", "*.EMF"},
        {"Icons (*.ICO)", "*.ICO"},
        {"Truevision Images (*.TGA)", "*.TGA"},
        {"Truevision Images (*.WIN)", "*.WIN"},
        {"Truevision Images (*.VST)", "*.VST"},
        {"Truevision Images (*.VDA", "*.VGA"},
        {"Truevision Images (*.ICB)", "*.ICB"},
        {"SGI True Color Images (*.SGI)", "*.SGI"},
        {"SGI Wavefront Images (*.RPF)", "*.RPF"},
        {"SGI Wavefront Images (*.RLA)", "*.RLA"},
        {"SGI True Color Images (*.RGBA)", "*.RGBA"},
        {"SGI True Color Images (*.RGB)", "*.RGB"},
        {"Paint Shop Pro Images (*.PSP)", "*.PSP"},
        {"Photoshop Images (*.PSD)", "*.PSD"},
        {"Photoshop Images (*.PDD)", "*.PDD"},
        {"Portable Pixel Map Images (*.PPM)", "*.PPM"},
        {"Portable Grayscale Images (*.PGM)", "*.PGM"},
        {"Portable B&W Images (*.PBM)", "*.PBM"},
        {"Autodesk Images (*.PIC)", "*.PIC"},
        {"Kodak Photo-CD Images (*.PCD)", "*.PCD"},
        {"ZSoft PCC Images (*.PCC)", "*.PCC"},
        {"CompuServe Images (*.GIF)", "*.GIF"},
        {"Dr. Halo Images (*.CUT)", "*.CUT"},
        {"Autodesk Images (*.CEL)", "*.CEL"},
        {"SGI Black/White Images (*.BW)", "*.BW"},
        {"GFI Fax Images (*.FAX)", "*.FAX"},
        {"Alle Dateien", "*.*"},
    };
    std::string filter;
    for (const auto& entry : entries)
        filter += (filter.empty() ? "" : "|") + std::string(entry[0]) + "|" + entry[1];
    return filter;
}

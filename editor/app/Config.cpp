// The main window: its components, its creation, the one-shot start step,
// and the closing sequence that writes the settings.

#include "editor/app/Config.h"

#include "core/Blendings.h"
#include "core/PlayerPackageInterface.h"
#include "core/Setup.h"
#include "editor/app/About.h"
#include "editor/app/DiaOptionsDlg.h"
#include "editor/app/EditorGlyphs.h"
#include "editor/app/EditorTips.h"
#include "editor/app/FileClasses.h"
#include "editor/app/FormBuilding.h"
#include "editor/app/OptionsDlg.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/PicturePanel.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/DYK.h"
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

using namespace FormBuilding;

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
    CreatePopupMenu();
    CreateCoolBar();
    CreateToolbar();
    StatusBar = new TStatusBar(this);
    StatusBar->SetParent(this);
    StatusBar->SetAlign(alBottom);
    StatusBar->SetSimplePanel(true);
    CreateListPanel();
    CreateSettingsPanel();
    CreateDialogs();
    CreateDragSources();

    DidYouKnow = new TDidYouKnow(this);
    // The tips follow one another from run to run ("TipNr" is the next).
    DidYouKnow->RandomTips = false;
    EditorTips::FillTips(DidYouKnow->Tips());
    StartTimer = new TTimer(this);
    StartTimer->SetEnabled(false);
    StartTimer->SetInterval(1);
    StartTimer->OnTimer = [this](TObject* Sender) { StartTimerTimer(Sender); };
    ScrollPicListBoxTimer = new TTimer(this);
    ScrollPicListBoxTimer->SetInterval(50);
    ScrollPicListBoxTimer->OnTimer = [this](TObject* Sender) { ScrollPicListBoxTimerTimer(Sender); };
    DropDummy = new TDropDummy(this);
    DropFileTarget = new TDropFileTarget(this);
    // Dropped files are only referred to: the other program keeps them.
    DropFileTarget->Dragtypes = TDragTypes{dtCopy};
    DropFileTarget->OnDrop = [this](TObject* Sender, TShiftState Shift, TPoint Point, DWORD& Effect) {
        DropFileTargetDrop(Sender, Shift, Point, Effect);
    };

    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnResize = [this](TObject* Sender) { FormResize(Sender); };
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
    DropFileTarget1->Unregister();
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
    PicListBox->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        PicListBoxMouseDown(Sender, Button, Shift, X, Y);
    };
    PicListBox->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        PicListBoxMouseMove(Sender, Shift, X, Y);
    };
    PicListBox->OnDblClick = [this](TObject* Sender) { OpenInApplicationClick(Sender); };
    // Sort mode moves items with the platform's own drag of controls.
    PicListBox->OnStartDrag = [this](TObject*) { PicListBoxStartDrag(); };
    PicListBox->OnDragOver = [this](TObject*, TObject* Source, int X, int Y, TDragState, bool& Accept) {
        Accept = Source == PicListBox && PicListBoxDragOver(X, Y) >= 0;
    };
    PicListBox->OnDragDrop = [this](TObject*, TObject* Source, int X, int Y) {
        if (Source == PicListBox)
            PicListBoxDragDrop(X, Y);
    };
    PicListBox->OnEndDrag = [this](TObject*, TObject*, int, int) { PicListBoxEndDrag(); };
    PicListBox->SetShowHint(true);

    HSplitter = new TKsSplitter(this);
    HSplitter->SetParent(this);
    HSplitter->SetAlign(alLeft);
    HSplitter->SetLeft(DesignListWidth);
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
    LoadTipAndSettings();
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
    DropFileTarget1->Register(PreviewImagePanel);
    PreviewDragRunning = false;
    NewVisteloClick(nullptr);
    StartTimer->SetEnabled(true);
    PowerPointImportAssistentMenuItem->Visible = false;
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
    // The tip belongs over the main window: a window that is not on the
    // screen (one made only to work on a show) gets none.
    if (Showing())
        DidYouKnow->Execute();
}

void TAAForm::LoadTipAndSettings()
{
    DidYouKnow->ShowTip = true;
    DidYouKnow->StartTipNr = 0;
    TRegistry registry;
    try {
        if (registry.OpenKey(std::string(Config::EditorKey), true)) {
            // Each value on its own: a broken one keeps its default, not the other.
            try {
                if (registry.ValueExists("ShowTips"))
                    DidYouKnow->ShowTip = registry.ReadBool("ShowTips");
            } catch (const std::exception&) {
            }
            try {
                if (registry.ValueExists("TipNr"))
                    DidYouKnow->StartTipNr = registry.ReadInteger("TipNr");
            } catch (const std::exception&) {
            }
        }
    } catch (const std::exception&) {
        // An unreadable registry keeps the defaults.
    }
    registry.CloseKey();
    VisteloSetup::LoadPreferences();
}

void TAAForm::FormActivate(TObject*)
{
    if (!FirstActivation)
        return;
    LoadSplitterPositions();
    FirstActivation = false;
}

void TAAForm::FormResize(TObject*)
{
    if (!VSplitter || !HSplitter)
        return; // a resize while the window is being built
    Panel3->SetHeight(PicturePanel::FirstPaneAfterResize(Panel3->Height(), VSplitter->ControlSecond()->Height(),
                                                         VSplitter->BottomRightLimit));
    PicListBoxPanel->SetWidth(PicturePanel::FirstPaneAfterResize(
        PicListBoxPanel->Width(), HSplitter->ControlSecond()->Width(), HSplitter->BottomRightLimit));
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
    TRegistry registry;
    try {
        if (registry.OpenKey(std::string(Config::EditorKey), true)) {
            registry.WriteBool("ShowTips", DidYouKnow->ShowTip);
            registry.WriteInteger("TipNr", DidYouKnow->StartTipNr);
        }
    } catch (const std::exception&) {
        // The preferences below are still worth writing.
    }
    registry.CloseKey();
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

void TAAForm::ProgramOptionsClick(int Page) { TOptionsDlg::Execute(this, static_cast<TOptionsPage>(Page)); }

void TAAForm::SetLogoAnimation(bool Active) { LogoAnimate->SetActive(Active); }

void TAAForm::DiaOptionsClick(TObject*) { TDiaOptionsDlg::Execute(this, *Document, ShowFileName); }

void TAAForm::TipOfTheDayClick(TObject*)
{
    DidYouKnow->ForceShow = true;
    DidYouKnow->Execute();
    DidYouKnow->ForceShow = false;
}

void TAAForm::FormKeyUp(TObject*, WORD& Key, TShiftState)
{
    if (!PicListBox->Focused())
        return;
    if (Key == VK_INSERT)
        AddPictureClick(this);
    else if (Key == VK_DELETE)
        DeletePictureClick(this);
}

void TAAForm::PicListBoxKeyDown(TObject* Sender, WORD& Key, TShiftState)
{
    if (Key != VK_RETURN)
        return;
    OpenInApplicationClick(Sender);
    Key = 0;
}

void TAAForm::DropFileTargetDrop(TObject* Sender, TShiftState, TPoint, DWORD&)
{
    auto* target = dynamic_cast<TDropFileTarget*>(Sender);
    if (!target)
        target = DropFileTarget;
    std::vector<std::string> files;
    for (int i = 0; i < target->Files().Count(); ++i)
        files.push_back(target->Files().Strings(i));
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

#pragma once

// The HTML export assistant "HTML-Assistent": pages of settings that write
// every change into the window's preset at once, loading and saving presets,
// and the page that makes the web pages (HTMLExport) with its progress.

#include "editor/tools/HTMLPreset.h"
#include "platform/ui/Forms.h"

#include <memory>
#include <string>

class TButton;
class TCheckBox;
class TColorDialog;
class TComboEdit;
class TDirectoryEdit;
class TFilenameEdit;
class TJPEGCompressionDlg;
class TLabel;
class TListBox;
class TOpenDialog;
class TPageControl;
class TPanel;
class TRadioButton;
class TSaveDialog;
class TSmallEditor;
class TSpinEdit;
class TStrings;
class TTabSheet;
class TTimer;
class TVexaProgressBar;

namespace HtmlAssistent {

inline constexpr const char* NoPicturesText =
    "Sie können den Assistenten erst benutzen, wenn Sie mindestens ein Bild in der Liste haben.";
inline constexpr const char* BadColorInputText =
    "Ungültige Eingabe!!! Eine Farbe muss folgendes Format haben: #RRGGBB, wobei für RR (Rot), GG (Grün), BB "
    "(Blau) Rot-Grün-Blau-Werte in Hexadezimaldarstellung steht. z.B. #FF00FF (Magenta)";
inline constexpr const char* PresetFilter = "HTML-Einstellungen|*.HTMLPreset";
inline constexpr const char* BackgroundFilter =
    "Jpeg (*.JPG)|*.JPEG;*.JPG|GIF (*.GIF)|*.GIF|Portable Networks Graphics (*.PNG)|*.PNG";
constexpr int NoPicturesHelpContext = 411;
constexpr unsigned ExampleLinkMilliseconds = 5000;

// "X;Y;" of the entries.
std::string JoinExtensions(const TStrings& Entries);

} // namespace HtmlAssistent

class THTMLAssistent : public TForm {
    DECLARE_CLASS(THTMLAssistent, TForm)
public:
    explicit THTMLAssistent(TComponent* AOwner);
    ~THTMLAssistent() override;

    std::unique_ptr<TMyHTMLPreset> Preset;
    bool Busy = false;
    std::string FirstPageName;

    // Outer pages, tabs hidden.
    TPageControl* PageControl = nullptr;
    TTabSheet* StartPage = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* ConvertTabSheet = nullptr;
    TTabSheet* FilePage = nullptr;
    TTabSheet* ReadyTabSheet = nullptr;
    // The settings page's inner tabs.
    TPageControl* HTMLPageControl = nullptr;
    TTabSheet* TabSheet5 = nullptr;
    TTabSheet* ColorTabSheet = nullptr;
    TTabSheet* TabIndexPage = nullptr;
    TTabSheet* PicturePage = nullptr;

    TCheckBox* TabIndexCheck = nullptr;
    TCheckBox* PicturePageCheck = nullptr;

    TComboEdit* BGColorEdit = nullptr;
    TComboEdit* TextColorEdit = nullptr;
    TComboEdit* LinkColorEdit = nullptr;
    TComboEdit* ALinkColorEdit = nullptr;
    TComboEdit* VLinkColorEdit = nullptr;
    TFilenameEdit* BGPicEdit = nullptr;
    TPanel* ExBgPanel = nullptr;
    TLabel* ExTextLabel = nullptr;
    TLabel* ExLinkLabel = nullptr;
    TTimer* ExLinkTimer = nullptr;

    TComboEdit* TabHeadLineEdit = nullptr;
    TComboEdit* TabUserText1Edit = nullptr;
    TComboEdit* TabUserText2Edit = nullptr;
    TSpinEdit* TabColsEdit = nullptr;
    TSpinEdit* TabBorderWidthEdit = nullptr;
    TCheckBox* ShowThumbNailsCheck = nullptr;
    TButton* ThumbNailOptionsBtn = nullptr;
    TCheckBox* ShowPicNamesCheck = nullptr;
    TCheckBox* ShowDescriptionCheck = nullptr;
    TCheckBox* TabDeviderCheck = nullptr;

    TComboEdit* PicHeadLineEdit = nullptr;
    TComboEdit* PicUserText1Edit = nullptr;
    TComboEdit* PicUserText2Edit = nullptr;
    TCheckBox* PicShowBorderCheck = nullptr;
    TLabel* PicBorderWidthLabel = nullptr;
    TSpinEdit* PicBorderWidthEdit = nullptr;
    TCheckBox* PicShowDescriptionCheck = nullptr;
    TCheckBox* PicDeviderCheck = nullptr;
    TCheckBox* CreateNavigationCheck = nullptr;
    TButton* NavigationLinkPrefsBtn = nullptr;

    TRadioButton* ConvertCheck = nullptr;
    TLabel* ConvertLabel = nullptr;
    TPanel* ConvertListPanel = nullptr;
    TListBox* CopyExtListBox = nullptr;
    TListBox* ConvertExtListBox = nullptr;
    TButton* AddConvertExtBtn = nullptr;
    TButton* AddCopyExtBtn = nullptr;
    TButton* AddAllConvertExtBtn = nullptr;
    TButton* DelAllConvertExtBtn = nullptr;
    TRadioButton* GenerateShadowCheck = nullptr;
    TPanel* ShadowPanel = nullptr;
    TSpinEdit* ShadowWidthEdit = nullptr;
    TButton* SetupJPEGBtn = nullptr;

    TRadioButton* LocalCheck = nullptr;
    TRadioButton* InternetCheck = nullptr;
    TDirectoryEdit* MainDirEdit = nullptr;
    TCheckBox* UseSubDirsCheck = nullptr;
    TPanel* SubDirPanel = nullptr;
    TComboEdit* PicDirEdit = nullptr;
    TComboEdit* HTMLDirEdit = nullptr;
    TPanel* MainFilePanel = nullptr;
    TComboEdit* MainFilenameEdit = nullptr;

    TButton* CreateWebPageBtn = nullptr;
    TButton* SavePresetBtn = nullptr;
    TPanel* StatusPanel = nullptr;
    TLabel* ProgressLabel = nullptr;
    TLabel* FilenameLabel = nullptr;
    TVexaProgressBar* WholeProgressBar = nullptr;
    TVexaProgressBar* FileProgressbar = nullptr;
    TButton* LoadPresetBtn = nullptr;
    TButton* BackToPicListBtn = nullptr;

    TButton* NextBtn = nullptr;
    TButton* BackBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TButton* GotoCreateWebPageBtn = nullptr;

    TColorDialog* ColorDialog = nullptr;
    TSmallEditor* SmallEditor = nullptr;
    TOpenDialog* OpenPresetDialog = nullptr;
    TSaveDialog* SavePresetDialog = nullptr;
    TJPEGCompressionDlg* JPEGCompressionDlg = nullptr;

    // Shows the outer page and sets the buttons for it.
    void ShowPage(int Index);
    void FormActivate(TObject* Sender);
    void NextBtnClick(TObject* Sender);
    void BackBtnClick(TObject* Sender);
    void PageControlChange(TObject* Sender);
    void GotoCreateWebPageBtnClick(TObject* Sender);
    void PresetToControls();
    // Reads the colour edit's code; a bad one is reported and the edit gets
    // its previous colour back.
    void CheckHTMLColorInput(TObject* Sender);
    void OpenColorPicker(TObject* Sender);
    void ExLinkLabelMouseDown();
    void ExLinkLabelMouseUp();
    void ExLinkTimerTimer(TObject* Sender);
    void TabIndexCheckClick(TObject* Sender);
    void PicturePageCheckClick(TObject* Sender);
    void ShowThumbNailsCheckClick(TObject* Sender);
    void ShowPicNamesCheckClick(TObject* Sender);
    void PicShowBorderCheckClick(TObject* Sender);
    void CreateNavigationCheckClick(TObject* Sender);
    void ConvertCheckClick(TObject* Sender);
    void GenerateShadowCheckClick(TObject* Sender);
    void ConvertLabelClick(TObject* Sender);
    void UseSubDirsCheckClick(TObject* Sender);
    void InternetLocalCheck(TObject* Sender);
    void AddConvertExitClick(TObject* Sender);
    void AddCopyExtClick(TObject* Sender);
    void AddAllConvertExtBtnClick(TObject* Sender);
    void DelAllConvertExtBtnClick(TObject* Sender);
    void ThumbNailOptionsBtnClick(TObject* Sender);
    void NavigationLinkPrefsBtnClick(TObject* Sender);
    void SetupJPEGBtnClick(TObject* Sender);
    void ComboEditor(TComboEdit* Edit);
    void SavePresetBtnClick(TObject* Sender);
    void LoadPresetBtnClick(TObject* Sender);
    void CreateWebPageBtnClick(TObject* Sender);

private:
    void CreateStartPage();
    void CreateSettingsPage();
    void CreateKindTab();
    void CreateColorTab();
    void CreateIndexTab();
    void CreatePictureTab();
    void CreateConvertPage();
    void CreateFilePage();
    void CreateReadyPage();
    void CreateButtons();
    void ShowColor(TComboEdit* Edit, TColor Color);
    void RefreshColors();
    void RefreshExample();
    void RefreshPageKinds();
    void RefreshIndexPage();
    void RefreshPicturePage();
    void RefreshConvertPage();
    void RefreshFilePage();
    void MoveEntries(TListBox* From, TListBox* To, bool All);
    void StoreExtensions();
    void CreateWebPages();

    bool refreshing_ = false;
};

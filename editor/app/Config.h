#pragma once

// The editor's main window: the picture list of the open show, the picture
// settings beside it, and the commands to make, open, save, sort and play a
// show. The open show lives in the list: every item owns one TPicInfoObject;
// Document receives copies only to save, play or sort and is emptied again.

#include "editor/app/AddPictures.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/PicturePanel.h"
#include "platform/ui/Forms.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TAnimate;
class TCheckBox;
class TDidYouKnow;
class TCoolBar;
class TComboBox;
class TButton;
class TCatalogForm;
class TColorDialog;
class TColorPickerButton;
class TDropBMPSource;
class TDropDummy;
class TDropFileSource;
class TDropSource;
class TDropFileTarget;
class TImage;
class TKsSpeedButton;
class TLabel;
class TPopupMenu;
class TFormPlacement;
class TGroupBox;
class TImageList;
class TKsSplitter;
class TMainMenu;
class TMemo;
class TMenuItem;
class TOpenDialog;
class TPanel;
class TSaveDialog;
class TStatusBar;
class TSymbolCheckListBox;
class TTimer;

class TAAForm : public TForm {
    DECLARE_CLASS(TAAForm, TForm)
public:
    explicit TAAForm(TComponent* AOwner);
    ~TAAForm() override;

    // --- components ---
    TMainMenu* MainMenu = nullptr;
    TMenuItem* NewVisteloItem = nullptr;
    TMenuItem* OpenVisteloItem = nullptr;
    TMenuItem* SaveVisteloItem = nullptr;
    TMenuItem* SaveVisteloAsItem = nullptr;
    TMenuItem* VisteloManagerItem = nullptr;
    TMenuItem* QuitVisteloItem = nullptr;
    TMenuItem* PictureMenu = nullptr;
    TMenuItem* AddPictureItem = nullptr;
    TMenuItem* DeletePictureItem = nullptr;
    TMenuItem* DeleteUncheckedItem = nullptr;
    TMenuItem* ReverseCheckMarkItem = nullptr;
    TMenuItem* MarkAllPicsItem = nullptr;
    TMenuItem* ReversMarkItem = nullptr;
    TMenuItem* StartVisteloItem = nullptr;
    TMenuItem* StartVisteloAtItem = nullptr;
    TMenuItem* SortMenu = nullptr;
    TMenuItem* AlphabeticalSortItem = nullptr;
    TMenuItem* ImportVisteloItem = nullptr;
    TMenuItem* StatisticsItem = nullptr;
    TMenuItem* OpenInApplicationItem = nullptr;
    TMenuItem* PrintPictureItem = nullptr;
    TMenuItem* RenamePictureItem = nullptr;
    TMenuItem* EditPictureItem = nullptr;
    TMenuItem* PreviewPictureItem = nullptr;
    TMenuItem* WallpaperMenu = nullptr;
    TMenuItem* CurrentWallpaperItem = nullptr;
    TMenuItem* MarkMenu = nullptr;
    TMenuItem* SortModeItem = nullptr;
    TMenuItem* AddDirItem = nullptr;
    TMenuItem* CatalogItem = nullptr;
    TMenuItem* OptionsMenu = nullptr;
    TMenuItem* PicPrefsMenu = nullptr;
    TMenuItem* AssistantsMenu = nullptr;
    TMenuItem* CDAssistantItem = nullptr;
    TMenuItem* HTMLAssistantItem = nullptr;
    TMenuItem* ConvertAssistantItem = nullptr;
    TMenuItem* SoundAssistantItem = nullptr;
    TMenuItem* PowerPointImportAssistentMenuItem = nullptr;
    TMenuItem* HilfeItem = nullptr;
    TPopupMenu* PicListBoxPopUpMenu = nullptr;
    TMenuItem* PopupDeleteItem = nullptr;
    TMenuItem* PopupSortModeItem = nullptr;
    // The popup entries that follow the state of PopupDeleteItem.
    std::vector<TMenuItem*> PopupPictureItems;

    TCoolBar* CoolBar = nullptr;
    TPanel* ToolbarPanel = nullptr;
    // The toolbar's buttons, left to right.
    std::vector<TKsSpeedButton*> ToolButtons;
    TKsSpeedButton* SortModeBtn = nullptr;
    TKsSpeedButton* VisteloManagerBtn = nullptr;
    TAnimate* LogoAnimate = nullptr;
    // The tip of the day, shown at the start while its tips are on.
    TDidYouKnow* DidYouKnow = nullptr;
    TPanel* PicListBoxPanel = nullptr;
    TGroupBox* PicListGroupBox = nullptr;
    TSymbolCheckListBox* PicListBox = nullptr;
    // The list's symbols: 0 the tick of a shown picture, 1 the cross of a skipped one.
    TImageList* PicListBoxSymbols = nullptr;
    TKsSplitter* HSplitter = nullptr;
    TPanel* Panel2 = nullptr;
    TPanel* Panel3 = nullptr;
    TGroupBox* PicSettingsGroupBox = nullptr;
    TCheckBox* ZoomImageCheck = nullptr;
    TCheckBox* KeepProportionsCheck = nullptr;
    TCheckBox* ShowCommentCheck = nullptr;
    TCheckBox* ShowImageCheck = nullptr;
    TPanel* CommentDetailsPanel = nullptr;
    TComboBox* CommentAlignmentComboBox = nullptr;
    TComboBox* CommentPlacementComboBox = nullptr;
    TButton* PreviewBlendingBtn = nullptr;
    TComboBox* BlendingComboBox = nullptr;
    TKsSpeedButton* SoundBtn = nullptr;
    TKsSpeedButton* FontBtn = nullptr;
    TKsSpeedButton* SleepBtn = nullptr;
    TKsSpeedButton* SpecPlacementBtn = nullptr;
    // Shows the background colour: a click opens the colour dialog, its
    // popup chooses a colour at once.
    TColorPickerButton* BgColorBarBtn = nullptr;
    TGroupBox* PreviewGroupBox = nullptr;
    TPanel* PreviewImagePanel = nullptr;
    TImage* PreviewImage = nullptr;
    TLabel* ImageSizeLabel = nullptr;
    TColorDialog* ColorDialog1 = nullptr;
    TTimer* ScrollPicListBoxTimer = nullptr;
    TDropFileSource* DropFileSource = nullptr;
    TDropBMPSource* DropBMPSource = nullptr;
    TImageList* DropSourceImageList = nullptr;
    TKsSplitter* VSplitter = nullptr;
    TGroupBox* CommentGroupBox = nullptr;
    TMemo* CommentsMemo = nullptr;
    TStatusBar* StatusBar = nullptr;
    TTimer* StartTimer = nullptr;
    TOpenDialog* OpenPictureDialog = nullptr;
    TOpenDialog* OpenVisteloDialog = nullptr;
    TSaveDialog* SaveVisteloDialog = nullptr;
    TDropDummy* DropDummy = nullptr;
    TDropFileTarget* DropFileTarget = nullptr;
    TDropFileTarget* DropFileTarget1 = nullptr;
    TFormPlacement* FormPlacement = nullptr;

    // --- state ---
    std::string CommandLineShow; // the show named on the command line, until the start step opens it
    bool FirstActivation = true;
    bool UntitledShow = true;
    bool UpdatingControls = false;
    // The sort drag's source and the item carrying the marker line (-1: none).
    int DragSourceIndex = -1;
    int DragOverIndex = -1;
    // Where the last press on the preview was.
    TPoint PreviewMouseDown{0, 0};
    bool PreviewDragRunning = false;
    std::string ShowFileName;
    std::unique_ptr<TConfigVistelo> Document;

    // How the adding questions are asked (a message dialog by default).
    AddPictures::TQuestionAsker QuestionAsker;
    // How a show is played (the player package by default).
    std::function<void(TVistelo& Show, std::int32_t StartIndex)> PlayShow;
    // Shows the logo picture for Time ms at the start (the program's logo window).
    std::function<void(const std::string& FileName, int Time)> ShowLogo;
    // Runs the open catalog (modally by default); tests drive it instead.
    std::function<void(TCatalogForm& Catalog)> OnCatalogShown;

    // --- the picture list ---
    int PicCount() const;
    // The number of selected pictures (a single-selection list: its current one).
    int PicSelCount() const;
    bool PicSelected(int Index) const;
    // The picture commands act on: with exactly one selected picture that
    // one, else the list's current item (-1: none).
    int PicItemIndex() const;
    TPicInfoObject* GetPicInfoObject(int Index) const;
    // Counts the show's entries, or with none the list's pictures: mode 0
    // all, 1 shown, 2 skipped, 3 selected (a show has no selection).
    int CountPictures(const TVistelo* Show, int Mode) const;

    void ClearPictureList();
    // Fills the list with the document's entries; the document is left empty.
    void FillListFromShow();
    bool LoadShowIntoList(const std::string& FileName);
    bool BuildShowFromList();
    void AddPictures(const std::vector<std::string>& Files);
    void AddPictureFiles(const std::vector<std::string>& Files, bool Ask);
    void AddPictureItemFor(const std::string& FileName);
    bool IsPictureInList(const std::string& FileName) const;
    void SetShowFileName(const std::string& FileName);
    void UpdateControlsEnabled();
    void UpdateListItem(int Index);
    void UpdateListItems(int First, int Last);
    void UpdateAllListItems();
    // Takes the picture out of the list and frees it.
    void RemoveItem(int Index);
    // The text of a list item: "N. name".
    static std::string ListItemText(int Index, const std::string& FileName);

    // --- commands ---
    void NewVisteloClick(TObject* Sender);
    void OpenVisteloClick(TObject* Sender);
    void AddPictureClick(TObject* Sender);
    // "Verzeichnis hinzufügen": every picture of a folder into the list.
    void AddDirClick(TObject* Sender);
    void EditPictureClick(TObject* Sender);
    void PrintPictureClick(TObject* Sender);
    void ScannerImportClick(TObject* Sender);
    void DeletePictureClick(TObject* Sender);
    void DeleteUncheckedClick(TObject* Sender);
    void ReverseCheckMarkClick(TObject* Sender);
    void MarkAllPicsClick(TObject* Sender);
    void ReversMarkClick(TObject* Sender);
    void SaveVisteloClick(TObject* Sender);
    void SaveVisteloAsClick(TObject* Sender);
    void StartVisteloClick(TObject* Sender);
    void StartVisteloAtClick(TObject* Sender);
    void SortNameUpClick(TObject* Sender);
    void SortNameDownClick(TObject* Sender);
    void SortExtUpClick(TObject* Sender);
    void SortExtDownClick(TObject* Sender);
    // Opens the show-list manager modally.
    void VisteloManager1Click(TObject* Sender);
    // Opens the catalog over the picture list (Config.Catalog.cpp).
    void CatalogClick(TObject* Sender);
    void QuitVisteloClick(TObject* Sender);
    void HilfeClick(TObject* Sender);
    void Info1Click(TObject* Sender);
    void TipOfTheDayClick(TObject* Sender);
    // "Vistelo-Einstellungen" on the open show.
    void DiaOptionsClick(TObject* Sender);
    // "Einstellungen" at a tab (a TOptionsPage).
    void ProgramOptionsClick(int Page);
    // Starts or stops the logo's animation in the tool bar.
    void SetLogoAnimation(bool Active);
    void PicListBoxClick(TObject* Sender);
    // The user ticked or crossed an item.
    void PicListBoxClickCheck(TObject* Sender);
    // The assistants of the tools (Config.Tools.cpp).
    void CDAssistentClick(TObject* Sender);
    void HTMLAssistentClick(TObject* Sender);
    void ConvertAssistentClick(TObject* Sender);
    void SoundAssistentClick(TObject* Sender);

    // --- the picture panel and the preview (Config.Panel.cpp) ---
    void ShowPictureSettings(const TPicInfoObject& Picture);
    void ShowPicturePreview(const TPicInfoObject& Picture);
    void ShowNoPreview();
    void ZoomImageCheckClick(TObject* Sender);
    void KeepProportionsCheckClick(TObject* Sender);
    void ShowCommentCheckClick(TObject* Sender);
    void ShowImageCheckClick(TObject* Sender);
    void CommentAlignmentComboBoxChange(TObject* Sender);
    void CommentPlacementComboBoxChange(TObject* Sender);
    void BlendingComboBoxChange(TObject* Sender);
    void CommentsMemoChange(TObject* Sender);
    // The colour dialog for the background colour of the selected pictures.
    void BackgroundColorClick(TObject* Sender);
    // Opens the picture options at a tab (a TExtPicPrefsPage); a change
    // shows the current picture again.
    void PicturePrefsClick(int Page);
    // Every selected picture takes the colour.
    void ApplyBackgroundColor(TColor Color);
    // A colour chosen in the colour button's popup.
    void BgColorBarBtnChange(TObject* Sender);
    void PreviewImageMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void PreviewImageMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void PreviewImageMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // Whether a move from the last press starts dragging out of the preview.
    bool PreviewDragStarts(TShiftState Shift, int X, int Y) const;

    // --- the other commands (Config.Commands.cpp) ---
    void RenamePictureClick(TObject* Sender);
    void PreviewPictureClick(TObject* Sender);
    void CurrentWallpaperClick(TObject* Sender);
    void WallpaperSetupClick(TObject* Sender);
    void WallpaperBtnClick(TObject* Sender);
    void OpenInApplicationClick(TObject* Sender);
    void StatisticsClick(TObject* Sender);
    void HomepageClick(TObject* Sender);
    void SortModeClick(TObject* Sender);
    bool SortMode() const;
    // The menus enable their entries as they open.
    void PictureMenuClick(TObject* Sender);
    void PicListBoxPopUpMenuPopup(TObject* Sender);
    void AssistantsMenuClick(TObject* Sender);
    void OptionsMenuClick(TObject* Sender);
    // The list: presses, hints, edge scrolling and the sort drag.
    void PicListBoxMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void PicListBoxMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ScrollPicListBoxTimerTimer(TObject* Sender);
    void PicListBoxStartDrag();
    // The item under (X, Y) that a sort drag may drop on (-1: none).
    int PicListBoxDragOver(int X, int Y);
    void PicListBoxDragDrop(int X, int Y);
    // The drag ended, dropped or not: the marker line goes.
    void PicListBoxEndDrag();
    // Moves the item at Source below the item at Target.
    void MoveItemBelow(int Source, int Target);

    // --- start and close ---
    void StartTimerTimer(TObject* Sender);
    void FormActivate(TObject* Sender);
    // The panes beyond the splitters keep at least the splitters' limits.
    void FormResize(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // The message of the help commands: there is no help file.
    static constexpr const char* NoHelpMessage = "Für Vistelo gibt es keine Hilfedatei.";
    // The picture open dialog's filter.
    static std::string PictureFilter();

private:
    void CreateMenu();
    TMenuItem* AddMenuItem(TMenuItem* Parent, const std::string& Caption, WORD Key, void (TAAForm::*Handler)(TObject*));
    void CreatePictureMenu();
    void CreateCoolBar();
    void CreateListPanel();
    void CreateSettingsPanel();
    void CreateSettingsControls();
    void CreatePreview();
    void CreateToolbar();
    void CreatePopupMenu();
    void CreateMoreMenus();
    void SetButtonGlyph(TKsSpeedButton* Button, const std::string& Name);
    // The colour button shows the colour without handing it on.
    void ShowBackgroundColor(TColor Color);
    // Shows the preview's message on white (no preview shown).
    void ShowPreviewText(const std::string& Text);
    void DrawSortMarker(int Index, TColor Color);
    void StartPreviewDrag();
    void CreateDragSources();
    // The drag image: the preview for one picture, else the number of names.
    void BuildDragImage(TDropSource& Source, int Selected);
    void DragPictureOut();
    void DragFileNamesOut(int Selected);
    PicturePanel::TListState ListState() const;
    void CreateDialogs();
    void FormCreate();
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void PicListBoxKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void DropFileTargetDrop(TObject* Sender, TShiftState ShiftState, TPoint Point, DWORD& Effect);
    void SetItemChecked(int Index, bool Checked);
    void Sort(std::int32_t (*Comparer)(const TPicInfoObject&, const TPicInfoObject&));
    void StartAt(std::int32_t StartIndex);
    void SaveDocumentAs(const std::string& FileName);
    void LoadSplitterPositions();
    // Whether tips show at the start and which comes next, then the preferences.
    void LoadTipAndSettings();
    void SaveSplitterPositions();
    void SaveAllSettings();
    void RegisterListAccess();
    void UnregisterListAccess();

    // The list as the access layer of the dialogs and tools reads it.
    class TListAccess;
    std::unique_ptr<TPicListAccess> listAccess_;
};

namespace Config {

// The editor's registry key and the key of the main window's placement.
inline constexpr const char* EditorKey = "\\Software\\Ostrelind\\Vistelo\\3.5 (Shareware)";
inline constexpr const char* PlacementKey = "\\Software\\Ostrelind\\Vistelo\\3.5 (Shareware)\\ConfigWindowPlacement";

} // namespace Config

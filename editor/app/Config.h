#pragma once

// The editor's main window: the picture list of the open show, the picture
// settings beside it, and the commands to make, open, save, sort and play a
// show. The open show lives in the list: every item owns one TPicInfoObject;
// Document receives copies only to save, play or sort and is emptied again.

#include "editor/app/AddPictures.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/ui/Forms.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TAnimate;
class TCheckBox;
class TCoolBar;
class TComboBox;
class TDropDummy;
class TDropFileTarget;
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
    TMenuItem* HilfeItem = nullptr;
    TMenuItem* AssistantsMenu = nullptr;
    TMenuItem* ConvertAssistentItem = nullptr;
    TMenuItem* SoundAssistentItem = nullptr;

    TCoolBar* CoolBar = nullptr;
    TPanel* ToolbarPanel = nullptr;
    TAnimate* LogoAnimate = nullptr;
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
    TComboBox* BlendingComboBox = nullptr;
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
    TFormPlacement* FormPlacement = nullptr;

    // --- state ---
    std::string CommandLineShow; // the show named on the command line, until the start step opens it
    bool FirstActivation = true;
    bool UntitledShow = true;
    bool UpdatingControls = false;
    std::string ShowFileName;
    std::unique_ptr<TConfigVistelo> Document;

    // How the adding questions are asked (a message dialog by default).
    AddPictures::TQuestionAsker QuestionAsker;
    // How a show is played (the player package by default).
    std::function<void(TVistelo& Show, std::int32_t StartIndex)> PlayShow;
    // Shows the logo picture for Time ms at the start (the program's logo window).
    std::function<void(const std::string& FileName, int Time)> ShowLogo;

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
    // The text of a list item: "N. name".
    static std::string ListItemText(int Index, const std::string& FileName);

    // --- commands ---
    void NewVisteloClick(TObject* Sender);
    void OpenVisteloClick(TObject* Sender);
    void AddPictureClick(TObject* Sender);
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
    void QuitVisteloClick(TObject* Sender);
    void HilfeClick(TObject* Sender);
    void Info1Click(TObject* Sender);
    void PicListBoxClick(TObject* Sender);
    // The user ticked or crossed an item.
    void PicListBoxClickCheck(TObject* Sender);
    // The assistants of the tools (Config.Tools.cpp).
    void ConvertAssistentClick(TObject* Sender);
    void SoundAssistentClick(TObject* Sender);

    // --- start and close ---
    void StartTimerTimer(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // The message of the help commands: there is no help file.
    static constexpr const char* NoHelpMessage = "Für Vistelo gibt es keine Hilfedatei.";
    // The picture open dialog's filter.
    static std::string PictureFilter();

private:
    void CreateMenu();
    TMenuItem* AddMenuItem(TMenuItem* Parent, const std::string& Caption, WORD Key, void (TAAForm::*Handler)(TObject*));
    void CreateCoolBar();
    void CreateListPanel();
    void CreateSettingsPanel();
    void CreateDialogs();
    void FormCreate();
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void PicListBoxKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void DropFileTargetDrop(TObject* Sender, TShiftState ShiftState, TPoint Point, DWORD& Effect);
    void RemoveItem(int Index);
    void SetItemChecked(int Index, bool Checked);
    void Sort(std::int32_t (*Comparer)(const TPicInfoObject&, const TPicInfoObject&));
    void StartAt(std::int32_t StartIndex);
    void SaveDocumentAs(const std::string& FileName);
    void LoadSplitterPositions();
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

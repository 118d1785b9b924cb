#pragma once

// The compilation assistant "Zusammenstellungs-Assistent": a wizard that
// makes a folder which, burnt to a CD, starts the open show (or a whole show
// list) by itself, copies the ticked pictures into a folder, or deletes the
// files of the crossed ones. CDAssistentLogic does the work.
//
// Sources: CDAssistentUnit.cpp (the pages and their controls),
// CDAssistentUnit.Pages.cpp (moving between pages, the fonts, the runs).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "editor/tools/CDAssistentLogic.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

class TAnimate;
class TBlinkLabel;
class TButton;
class TCheckBox;
class TDirectoryListBox;
class TFileLabel;
class TLabel;
class TOpenDialog;
class TPageControl;
class TPanel;
class TRadioButton;
class TStringList;
class TSymbolCheckListBox;
class TTabSheet;
class TVexaProgressBar;
class TVisteloList;

class TCDAssistentDlg : public TForm {
    DECLARE_CLASS(TCDAssistentDlg, TForm)
public:
    explicit TCDAssistentDlg(TComponent* AOwner);
    ~TCDAssistentDlg() override;

    // 0: the pictures of the open show; 1: the show list in VisteloList.
    std::uint8_t Mode = 0;
    TVisteloList* VisteloList = nullptr; // not owned
    // The used fonts: "1"/"0" and the name, each with its list of files.
    std::unique_ptr<TStringList> UsedFonts;

    // The main window's side of picture mode. Without a main window the
    // access layer's show is the current show and these work on it.
    std::function<bool()> BuildShowFromList;
    std::function<void()> ClearCurrentShow;
    std::function<void(bool Begin)> PictureListUpdate;
    std::function<void()> UpdateAllListItems;
    CDAssistentLogic::TPictureRemover RemovePicture;

    TPageControl* PageControl = nullptr;
    TTabSheet* StartPage = nullptr;
    TTabSheet* ChooseActionPage = nullptr;
    TTabSheet* BurnCDChooseDirPage = nullptr;
    TTabSheet* CopyPicturesChooseDirPage = nullptr;
    TTabSheet* CopyFontsPage = nullptr;
    TTabSheet* ConfirmCreateVisteloPage = nullptr;
    TTabSheet* ConfirmCopyPicturesPage = nullptr;
    TTabSheet* ConfirmDeletePicturesPage = nullptr;
    TTabSheet* CreateVisteloWorkingPage = nullptr;
    TTabSheet* CopyingFilesWorkingPage = nullptr;
    TTabSheet* DeleteFilesWorkingPage = nullptr;
    TTabSheet* DelSoundPicPage = nullptr;
    TTabSheet* VisteloListStartTabSheet = nullptr;
    TTabSheet* ConfirmBurnVisteloListPage = nullptr;

    TRadioButton* CDBurnCheck = nullptr;
    TRadioButton* CopyPicturesCheck = nullptr;
    TRadioButton* DeletePicturesCheck = nullptr;
    TDirectoryListBox* CDDirListBox = nullptr;
    TButton* CDBurnCreateDirBtn = nullptr;
    TDirectoryListBox* DirectoryListBox2 = nullptr;
    TButton* CopyPicturesCreateDirBtn = nullptr;
    TCheckBox* CopyFontsCheck = nullptr;
    TPanel* FontPanel = nullptr;
    TSymbolCheckListBox* UsedFontsListBox = nullptr;
    TSymbolCheckListBox* FontFileNamesListBox = nullptr;
    TButton* MoreFontsBtn = nullptr;
    TOpenDialog* FontOpenDialog = nullptr;
    TRadioButton* CopyGreenPicturesCheck = nullptr;
    TRadioButton* CopyAllPicturesCheck = nullptr;
    TCheckBox* VisteloCDCopySoundsCheck = nullptr;
    TCheckBox* CopyPicturesCopySoundsCheck = nullptr;
    TCheckBox* CreateVisteloCheck = nullptr;
    TRadioButton* DelAllCheck = nullptr;
    TRadioButton* DelSoundsCheck = nullptr;
    TRadioButton* DelPicsCheck = nullptr;
    TFileLabel* ShowDirLabel = nullptr;
    TFileLabel* ShowPicDirLabel = nullptr;
    TFileLabel* BurnVisteloListDirectoryLabel = nullptr;
    TBlinkLabel* DeleteWarningLabel = nullptr;
    TButton* StartCreateVisteloBtn = nullptr;
    TButton* StartCopyPicturesBtn = nullptr;
    TButton* DeletePicturesBtn = nullptr;
    TButton* StartCreateVisteloListBtn = nullptr;
    TVexaProgressBar* VisteloCreateVexaProgressBar = nullptr;
    TVexaProgressBar* VisteloCreateCopyFileProgressBar = nullptr;
    TAnimate* CreateVisteloAnimate = nullptr;
    TVexaProgressBar* CopyPicturesProgressBar = nullptr;
    TVexaProgressBar* CopyPicturesFileProgressBar = nullptr;
    TAnimate* CopyFilesAnimate = nullptr;
    TVexaProgressBar* DeleteFilesProgressBar = nullptr;
    TAnimate* DeleteFilesAnimate = nullptr;
    TButton* BackBtn = nullptr;
    TButton* NextBtn = nullptr;
    TButton* CancelBtn = nullptr;

    // Makes the page of that component name the active one, then runs the
    // page-change handler.
    void ShowPage(const std::string& Name);
    TTabSheet* FindPage(const std::string& Name) const;

    void FormActivate(TObject* Sender);
    void PageControlChange(TObject* Sender);
    void NextBtnClick(TObject* Sender);
    void BackBtnClick(TObject* Sender);
    void BackToPicListBtnClick(TObject* Sender);
    void CDBurnCreateDirBtnClick(TObject* Sender);
    void StartCreateVisteloClick(TObject* Sender);
    void StartCopyPicturesBtnClick(TObject* Sender);
    void DeletePicturesBtnClick(TObject* Sender);
    void StartCreateVisteloListBtnClick(TObject* Sender);
    void CopyFontsCheckClick(TObject* Sender);
    void UsedFontsListBoxClick(TObject* Sender);
    void FontFileNamesListBoxClick(TObject* Sender);
    void FontFileNamesListBoxDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    void MoreFontsBtnClick(TObject* Sender);

private:
    TTabSheet* NewPage(const std::string& Name);
    // Each page's picture at its left edge.
    void AddPagePictures();
    void CreateStartPages();
    void CreateChoicePages();
    void CreateFontsPage();
    void CreateConfirmPages();
    void CreateWorkingPages();
    void CreateButtons();
    void ActivatePictureMode();
    void ActivateListMode();
    // The font list box's entries (flags and file lists) into UsedFonts.
    void TakeFontChoices();
    void FillFontListBox(TSymbolCheckListBox* ListBox, const TStringList& List);
    // The folder a list box shows as T.
    std::string TargetFolder() const;
    bool IsListMode() const { return Mode == 1; }
    TTabSheet* ModeStartPage() const;
    // The fonts to copy: none unless asked for and listed.
    const TStringList* FontsToCopy() const;
    void RemoveCurrentPicture(int Index);

    // Every activation after showing resets the pages; coming back from a
    // message or a dialog of its own does not.
    bool activated_ = false;
};

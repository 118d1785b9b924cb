#pragma once

// The catalog: a modal second view of the current pictures as a scrolling
// grid of thumbnails, with the current picture's file, "shown" switch,
// comment and keywords beside it. It reads every picture through the
// current-show access layer and keeps its selection in the pictures' flag
// words; a host (the editor's main window or the playback window) carries
// out its commands and takes the selection back when it closes.

#include "editor/app/CatalogGrid.h"
#include "editor/app/CatalogLoader.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/ui/Forms.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TAnimate;
class TBitmap;
class TCanvas;
class TDropBMPSource;
class TDropDummy;
class TDropFileSource;
class TDropFileTarget;
class TFileLabel;
class TFormPlacement;
class TGroupBox;
class TImageList;
class TKsSpeedButton;
class TKsSplitter;
class TKsSwitch;
class TMainMenu;
class TMemo;
class TMenuItem;
class TPaintBox;
class TPanel;
class TPopupMenu;
class TScrollBox;
class TStatusBar;
class TCatalogForm;

// The commands the catalog hands to its host.
enum TCatalogCommand : std::uint8_t {
    ccShowOptions,
    ccAddPictures,
    ccAddFolder,
    ccDeletePictures,
    ccRename,
    ccSortNameUp,
    ccSortExtUp,
    ccSortNameDown,
    ccSortExtDown,
    ccPreview,
    ccEditPicture,
    ccOpenInApplication,
    ccPrint,
    ccWallpaper,
    ccWallpaperSetup,
    ccStartShow,
    ccStartAtMarked,
    ccCDAssistant,
    ccHTMLAssistant,
    ccConvertAssistant,
    ccSoundAssistant,
    ccImportAssistant,
    ccVisteloManager,
    ccStatistics,
    ccCatalogOptions,
    ccAbout,
};

// The catalog's search and its results, freed when the catalog closes.
class TCatalogSearch {
public:
    virtual ~TCatalogSearch() = default;
    // Runs the search dialog; true when it found pictures to show.
    virtual bool Execute() = 0;
    virtual bool HasResults() = 0;
    // Shows the last results modally.
    virtual void ShowResults() = 0;
};

class TCatalogHost {
public:
    virtual ~TCatalogHost() = default;
    // The picture the catalog opens on, -1 for none, and the pictures that
    // start selected.
    virtual int StartIndex() = 0;
    virtual bool StartSelected(int Index) = 0;
    // Runs a command on the catalog's selection; the catalog measures itself
    // and restarts its loader afterwards where the command may have changed
    // the pictures.
    virtual void Run(TCatalogCommand Command, TCatalogForm& Catalog) = 0;
    // Moves a picture of the list; PicturesMoved follows once per drop.
    virtual void MovePicture(int From, int To) = 0;
    virtual void PicturesMoved(int Low, int High) = 0;
    // Files dropped onto the grid from another program.
    virtual void AddFiles(const std::vector<std::string>& Files) = 0;
    // The catalog closes: the host takes back the selection and the current
    // picture.
    virtual void Leave(TCatalogForm& Catalog) = 0;
    virtual bool AnimateLogo() = 0;
    // The catalog's search, made as the catalog opens; none where the build
    // has no search.
    virtual std::unique_ptr<TCatalogSearch> MakeSearch(TCatalogForm&) { return nullptr; }
    // False where the catalog only looks (the player's build): no reordering,
    // no dropping in, no deleting, no edits of the pictures.
    virtual bool CanEdit() { return true; }
};

namespace CatalogUnit {

// Kept while the program runs: whether a drag in the grid reorders.
extern bool CatalogSortMode;
// The registry key of the window's placement.
inline constexpr const char* PlacementKey = "\\Software\\Ostrelind\\Vistelo\\3.5 (Shareware)\\CatalogPlacement";

} // namespace CatalogUnit

class TCatalogForm : public TForm, private TThumbCatalog, private CatalogGrid::TCatalogDropList {
    DECLARE_CLASS(TCatalogForm, TForm)
public:
    TCatalogForm(TComponent* AOwner, TCatalogHost& Host);
    ~TCatalogForm() override;

    // --- components ---
    TMainMenu* CatalogMenu = nullptr;
    TPanel* Panel4 = nullptr; // the toolbar
    std::vector<TKsSpeedButton*> ToolButtons;
    TKsSpeedButton* SortModeBtn = nullptr;
    TAnimate* LogoAnimate = nullptr;
    TPanel* CatalogPanel = nullptr;
    TScrollBox* ScrollBox = nullptr;
    TPaintBox* CatalogPaintBox = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TKsSplitter* Splitter1 = nullptr;
    TPanel* RightPanel = nullptr;
    TPanel* InformationPanel = nullptr;
    TGroupBox* InformationGroupBox = nullptr;
    TFileLabel* FileNameLabel = nullptr;
    TKsSwitch* ShowInVisteloCheck = nullptr;
    TPanel* CommentPanel = nullptr;
    TGroupBox* CommentGroupBox = nullptr;
    TMemo* CommentMemo = nullptr;
    TKsSplitter* Splitter2 = nullptr;
    TPanel* KeywordPanel = nullptr;
    TGroupBox* KeywordGroupBox = nullptr;
    TMemo* KeywordMemo = nullptr;
    TStatusBar* StatusBar = nullptr;
    TMemo* KeyMemo = nullptr; // holds the keyboard focus for the grid
    TImageList* ShowImageList = nullptr;
    TImageList* DropSourceImageList = nullptr;
    TDropFileSource* DropFileSource = nullptr;
    TDropBMPSource* DropBMPSource = nullptr;
    TDropFileTarget* DropFileTarget = nullptr;
    TDropDummy* DropDummy = nullptr;
    TFormPlacement* FormPlacement = nullptr;
    // Menu entries whose enabling follows the pictures.
    TMenuItem* SortModeItem = nullptr;
    TMenuItem* SearchResultsItem = nullptr;
    TMenuItem* SearchItem = nullptr;
    std::vector<TMenuItem*> NeedPictures;  // enabled when there are pictures
    std::vector<TMenuItem*> NeedSelection; // enabled when some are selected

    // --- state ---
    std::unique_ptr<TLoadThumbsThread> Loader;
    CatalogGrid::TCatalogGeometry Grid;
    CatalogGrid::TCatalogSelection Selection{*this};
    int FilenameFontHeight = -11;
    TPoint PressPoint{-1, -1};
    bool Dragging = false;
    int DropTarget = -1;
    std::unique_ptr<TBitmap> ErrorPicture;
    // The hand-over the loaders use (tests replace it).
    std::shared_ptr<TThumbHandOver> LoaderHandOver;

    int ItemIndex() const { return Selection.ItemIndex; }
    int SelCount() const { return Selection.SelCount; }
    int PicCount() override;

    // --- geometry and painting ---
    int FilenameHeight() const;
    void InitThumbNails();
    void CatalogPanelResize();
    void CreateErrorPic();
    // Draws every cell that needs it (Index -1) or one cell: with Clipped
    // the cells the paint needs and the dirty ones, else only dirty ones.
    void DrawCatalog(int Index, bool Clipped);
    void DrawCatalogItem(TCanvas& Canvas, int Index);
    // Redraws the dirty cells now.
    void PartialRedraw() { DrawCatalog(-1, false); }
    void InvalidateGrid();
    void ForceDrawThumbnails();
    void ForceLoadThumbnails();

    // --- selection ---
    void DoSelect(int Index, TShiftState Shift, bool Redraw);
    void SetItemIndex(int Index);
    void ScrollToItem(int Index);
    void CatalogOnClick();
    void ValidateSelection();
    // The picture's file as found from the show file, else as stored.
    static std::string ShownFileName(const TPicInfoObject& Picture);
    // The picture the current-picture commands act on (-1: none).
    int CommandIndex() const { return Selection.CommandIndex(); }

    // --- the loader ---
    void RestartLoader(bool ForceAll);
    void StopLoader();

    // --- input ---
    void PaintBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void PaintBoxMouseMove(TShiftState Shift, int X, int Y);
    void PaintBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void KeyMemoKeyDown(WORD& Key, TShiftState Shift);
    void FormKeyUp(WORD& Key, TShiftState Shift);

    // --- drag and drop ---
    bool CatalogStartDrag(int X, int Y);
    void CatalogDoDrag(int X, int Y);
    void CatalogEndDrag(int X, int Y);
    void ProcessDrop(int X, int Y);
    void ShowDragDropTarget(int Index);
    void HideLastDragDropTarget();

    // --- commands ---
    void RunHostCommand(TCatalogCommand Command);
    void DeletePicturesClick();
    void SortClick(TCatalogCommand Command);
    void SortModeBtnClick();
    void SelectAllClick();
    void InvertSelectionClick();
    void PreviewClick();
    void WallpaperClick();
    void PicSearchClick();
    void PicSearchResultsClick();
    void CatalogSettingsClick();
    void ShowInVisteloCheckClick(bool Toggle);
    void KeywordMemoChange();
    void CommentMemoChange();
    // After a command that may change the pictures: measure, restart the
    // loader for changed files.
    void AfterListChange();
    void EnableMenus();

private:
    // TThumbCatalog
    TPicInfoObject* Picture(int Index) override;
    void UpdateCatalog(int Index) override;
    // TCatalogDropList
    int Count() const override;
    std::uint32_t& Flags(int Index) override;
    void Move(int From, int To) override;

    void CreateMenus();
    void CreateToolbar();
    void CreateGrid();
    void CreateRightPanel();
    void CreateDragComponents();
    void FormCreate();
    void FormResize();
    void PaintBoxPaint();
    TPoint ScrollPosition() const;
    void MakeDragImage();
    void DragOut();
    void SetMemoTextSilently(TMemo* Memo, const std::string& Text);
    void DropFileTargetDrop();

    TCatalogHost& host_;
    std::unique_ptr<TCatalogSearch> search_;
    class TAccess;
    std::unique_ptr<TCatalogAccess> access_;
    TCatalogAccess* savedAccess_ = nullptr;
    bool inImageDrag_ = false;
    std::uint32_t noFlags_ = 0;
};

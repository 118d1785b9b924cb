#pragma once

// The show-list manager "Vistelo-Manager": assembles a show list (show files
// with a check mark each, a title, the chooser's thumbnail size and the
// actions at the start of the list and after each show), loads and saves it
// as a ".vsl" file, shows the info of the selected show and plays the list.
//
// Sources: VisteloManager.cpp (the window, its commands and files),
// VisteloManager.Info.cpp (the show info, the thumbnail preview and the
// sort-mode drag of lines).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/VisteloList.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

class TSymbolCheckListBox;
class TKsSpeedButton;
class TFormPlacement;

namespace VisteloManager {

inline constexpr const char* PlacementKey = "\\Software\\Ostrelind\\Vistelo\\3.5 (Shareware)\\VisteloManagerPlacement";
inline constexpr const char* UnnamedList = "Ohne Namen.vsl";
inline constexpr const char* ShowFilter = "Vistelo-Dateien (*.vsf)|*.vsf|Alle Dateien|*.*";
inline constexpr const char* ListFilter = "Vistelo-Liste (*.vsl)|*.vsl|Alle Dateien|*.*";
inline constexpr const char* SaveFilter = "Vistelo-Liste (*.vsl)|*.vsl";

// The chooser's thumbnail size for a track bar position (percent of 150 x 100).
int ThumbWidthOf(int Position);
int ThumbHeightOf(int Position);
// The track bar position for a thumbnail width.
int PositionOfThumbWidth(int Width);

// Where a dragged line goes: the gap below the line under the pointer, 0
// over the upper half of the first line, -1 over no line.
int DropTarget(int LineUnderPointer, bool UpperHalfOfFirstLine);

} // namespace VisteloManager

class TVisteloManagerForm : public TForm {
    DECLARE_CLASS(TVisteloManagerForm, TForm)
public:
    explicit TVisteloManagerForm(TComponent* AOwner);
    ~TVisteloManagerForm() override;

    TVisteloList& List() { return *list_; }

    // How a list is played (the player package by default).
    std::function<void(TVisteloList& List, std::int32_t StartIndex)> PlayList;

    // --- controls ---
    TMainMenu* MainMenu = nullptr;
    TMenuItem* SortModeItem = nullptr;
    TMenuItem* CompilationItem = nullptr;
    TPanel* ToolPanel = nullptr;
    TKsSpeedButton* AddVisteloToolBtn = nullptr;
    TKsSpeedButton* DelVisteloToolBtn = nullptr;
    TKsSpeedButton* StartVisteloToolBtn = nullptr;
    TKsSpeedButton* StartVisteloAtToolBtn = nullptr;
    TKsSpeedButton* NewListBtn = nullptr;
    TKsSpeedButton* OpenListBtn = nullptr;
    TKsSpeedButton* SaveListBtn = nullptr;
    TKsSpeedButton* SortModeBtn = nullptr;
    TKsSpeedButton* CompilationBtn = nullptr;
    TAnimate* LogoAnimate = nullptr;
    TSymbolCheckListBox* VisteloListBox = nullptr;
    TEdit* VisteloListTitleEdit = nullptr;
    TTrackBar* ThumbSizeTrackbar = nullptr;
    TLabel* ThumbWidthLabel = nullptr;
    TLabel* ThumbHeightLabel = nullptr;
    TPanel* ThumbPreviewPanel = nullptr;
    TPaintBox* ThumbPreview = nullptr;
    TRadioButton* LikeInShowCheck = nullptr;
    TRadioButton* AutoNextShowCheck = nullptr;
    TRadioButton* ChooseVisteloCheck = nullptr;
    TRadioButton* ShowListCheck = nullptr;
    TRadioButton* PlayFirstVisteloCheck = nullptr;
    TCheckBox* ManualExitCheck = nullptr;
    TEdit* InfoTitleEdit = nullptr;
    TMemo* InfoTextMemo = nullptr;
    TLabel* PicCountLabel = nullptr;
    TImage* ThumbnailImage = nullptr;
    TOpenDialog* OpenVisteloDialog = nullptr;
    TOpenDialog* OpenListDialog = nullptr;
    TSaveDialog* SaveListDialog = nullptr;
    TFormPlacement* FormPlacement = nullptr;

    // --- commands ---
    void AddVisteloClick(TObject* Sender);
    void DelVisteloClick(TObject* Sender);
    void StartVisteloClick(TObject* Sender);
    void StartVisteloAtClick(TObject* Sender);
    void NewListClick(TObject* Sender);
    void OpenListClick(TObject* Sender);
    void SaveListClick(TObject* Sender);
    void SaveListAsClick(TObject* Sender);
    void SortModeClick(TObject* Sender);
    void CompilationClick(TObject* Sender);
    void InfoClick(TObject* Sender);
    void CloseClick(TObject* Sender);

    bool SortMode() const { return sortMode_; }
    // One line per item, "%d. %s" with the show's name, checked as its flag.
    void RebuildListBox();
    // The controls from the list's settings.
    void RefreshSettings();
    // The info of the show on the current line.
    void ShowVisteloInfo();
    // Moves the dragged line into the gap Target (0: before the first line).
    void DropLine(int Dragged, int Target);

private:
    void CreateMenu();
    void CreateToolButtons();
    void CreateListPanel();
    void CreateSettingsPanel();
    void CreateInfoPanel();
    // A flat button with the toolbar picture Glyph (ToolbarGlyphs::TToolbarGlyph).
    TKsSpeedButton* AddToolButton(int Glyph, const std::string& Hint, void (TVisteloManagerForm::*Handler)(TObject*));

    TVisteloListItem* ItemAt(int Index) const;
    void CheckClicked();
    void ThumbSizeChanged();
    void EndActionClicked();
    void StartActionClicked();
    void PaintThumbPreview();
    void ClearInfo(const std::string& Title, const std::string& Text);
    void DrawInfoPicture(TVistelo& Show);
    void SaveTo(const std::string& FileName);

    // The sort-mode drag of a line, on the platform's drag of controls:
    // whether the list takes the line at (X, Y), the drop, the end.
    void ListStartDrag();
    bool ListDragOver(TObject* Source, int X, int Y);
    void ListDragDrop(int X, int Y);
    void ListEndDrag();
    int TargetAt(int X, int Y) const;
    void DrawMarker(int Line, TColor Color);

    std::unique_ptr<TVisteloList> list_;
    bool sortMode_ = false;
    bool refreshing_ = false;
    int dragIndex_ = -1;
    int dragOverIndex_ = -1;
};

#pragma once

// The window of found pictures: each with its thumbnail, number and
// comment. The catalog follows the picked entry while the window is open,
// goes back to where it was on Cancel, or marks every found picture.

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

class TBitBtn;
class TBitmap;
class TButton;
class TCanvas;
class TFormPlacement;
class TLabel;
class TListBox;
class TPanel;
class TPicInfoObject;

// What the results window asks of the catalog it belongs to.
class TSearchCatalog {
public:
    virtual ~TSearchCatalog() = default;
    // Moves to the picture as a pick in the grid with these keys does.
    // Without keys it becomes the only selected and the current picture; a
    // pick with Ctrl that follows such a plain one adds its picture to the
    // selection. Redraw repaints the changed cells at once.
    virtual void DoSelect(int Index, TShiftState Shift, bool Redraw) = 0;
    // Repaints the whole grid.
    virtual void InvalidateGrid() = 0;
    // Drawn for a picture whose thumbnail cannot be made.
    virtual TBitmap* ErrorPicture() = 0;
};

// A found picture: its index in the show.
class TSearchResultInfo : public TObject {
    DECLARE_CLASS(TSearchResultInfo, TObject)
public:
    explicit TSearchResultInfo(int AIndex) : Index(AIndex) { }
    int Index;
};

namespace SearchResultsUnit {

// "%s Bilder gefunden", "keine" for none.
std::string FoundText(int Count);
// An entry's text: the picture counted from 0 as it always was in this
// list, while the label beside the list counts from 1 (PicNrText).
std::string ItemText(int PictureIndex, const std::string& Comment);
std::string PicNrText(int PictureIndex);
inline constexpr const char* NothingPicked = "Keine Passenden Einträge gefunden";

} // namespace SearchResultsUnit

class TSearchResultsForm : public TForm {
    DECLARE_CLASS(TSearchResultsForm, TForm)
public:
    TSearchResultsForm(TComponent* AOwner, TSearchCatalog& Catalog);
    ~TSearchResultsForm() override;

    // Replaces the entries by the found pictures (show indices, in order).
    void SetFound(const std::vector<int>& Pictures);
    int FoundCount() const { return static_cast<int>(found_.size()); }
    // The show index of an entry.
    int FoundPicture(int Item) const { return found_.at(static_cast<std::size_t>(Item))->Index; }

    TPanel* ListBoxPanel = nullptr;
    TLabel* ItemsFoundLabel = nullptr;
    TLabel* PicNrLabel = nullptr;
    TListBox* ItemsFoundListBox = nullptr;
    TPanel* ButtonsPanel = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    TFormPlacement* FormPlacement = nullptr;
    // The catalog's current picture when the window was shown.
    int ReturnIndex = -1;

    // Every time the window shows: the count, the entries' height, the
    // current picture to return to, and the first entry picked.
    void FormShow(TObject* Sender);
    void ListBoxPanelResize(TObject* Sender);
    void ItemsFoundListBoxDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    void ItemsFoundListBoxClick(TObject* Sender);
    void ItemsFoundListBoxDblClick(TObject* Sender);
    void CancelBtnClick(TObject* Sender);
    void BitBtn1Click(TObject* Sender);

private:
    // The picture of an entry, or none when the show no longer has it.
    TPicInfoObject* PictureOf(int Item) const;
    void DrawThumbnail(TCanvas& Canvas, const TRect& Rect, TPicInfoObject& Picture);

    TSearchCatalog& catalog_;
    std::vector<std::unique_ptr<TSearchResultInfo>> found_;
};

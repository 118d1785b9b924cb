#pragma once

// List boxes drawn through the canvas: a list whose horizontal extent
// follows its widest item, with grey selection when unfocused, owner drawing
// and columns; and a check list with check boxes, radio buttons or check
// marks in front of its items. The items live in the control, so they
// survive a re-created window unchanged.
//
// Sources: KsListBox.cpp (items, horizontal extent), .Selection (selection,
// item geometry), .Painting, .Input, .CheckListBox, .FormData (the items as
// the form file stores them).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Controls.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/DrawUtils.h"
#include "widgets/Placemnt.h"

class TKsCustomListBox;

using TGetItemWidthEvent = std::function<void(TWinControl* Control, int Index, int& Width)>;
using TCheckListStateEvent = std::function<void(TObject* Sender, int Index)>;

// The strings of a list box; every change goes straight to the list.
class TKsListBoxStrings : public TStrings {
public:
    explicit TKsListBoxStrings(TKsCustomListBox* ListBox) : listBox_(ListBox) { }

    int Count() const override;
    int Add(const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurrentIndex, int NewIndex) override;

protected:
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* Object) override;
    void SetUpdateState(bool Updating) override;

private:
    TKsCustomListBox* listBox_;
};

class TKsCustomListBox : public TCustomControl {
    DECLARE_CLASS(TKsCustomListBox, TCustomControl)
public:
    explicit TKsCustomListBox(TComponent* AOwner);
    ~TKsCustomListBox() override;

    TStrings& Items() { return *items_; }
    const TStrings& Items() const { return *items_; }
    void SetItems(const TStrings& Value) { items_->Assign(&Value); }
    void Clear() { items_->Clear(); }

    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int Value);
    int TopIndex() const { return topIndex_; }
    void SetTopIndex(int Value);
    // Selected items of a multi-select list; -1 for a single-select one.
    int SelCount() const;
    // EStringListError for an index outside the items.
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);

    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect = true;
    bool Sorted() const { return sorted_; }
    void SetSorted(bool Value);
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle Value);
    int ItemHeight() const { return itemHeight_; }
    // Only positive values count.
    void SetItemHeight(int Value);
    int TabWidth() const { return tabWidth_; }
    // Negative values become 0.
    void SetTabWidth(int Value);
    int Columns() const { return columns_; }
    void SetColumns(int Value);
    // The width of one column of a multi-column list.
    int ColumnWidth() const;
    bool GraySelection() const { return graySelection_; }
    void SetGraySelection(bool Value);
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool Value);
    // The horizontal scroll range: the widest item, 0 without auto scroll.
    int HorizontalExtent() const { return horizontalExtent_; }
    // How far the list is scrolled to the right.
    int HorizontalOffset() const { return horizontalOffset_; }
    void SetHorizontalOffset(int Value);

    // The item at the client point; below the last item -1 when Existing,
    // else the item count; -1 outside the client area.
    int ItemAtPos(const TPoint& Pos, bool Existing) const;
    // The item's rectangle; for Index = count the place after the last one;
    // beyond that empty.
    TRect ItemRect(int Index) const;

    TDrawItemEvent OnDrawItem() const { return onDrawItem_; }
    void SetOnDrawItem(TDrawItemEvent Value);
    TGetItemWidthEvent OnGetItemWidth() const { return onGetItemWidth_; }
    void SetOnGetItemWidth(TGetItemWidthEvent Value);
    TMeasureItemEvent OnMeasureItem;

    // With automatic dragging (DragMode) a press starts a drag at once
    // (OnStartDrag): on the selection of a multi-select list without
    // touching it, elsewhere after the ordinary selection, never while Ctrl
    // or Shift extend a multiple selection.

    // Right-to-left reading starts the items (and a check list's pictures)
    // at the right edge.
    TBiDiMode BiDiMode = bdLeftToRight;

    // Item data, which a check list keeps beside its check states.
    virtual std::intptr_t GetItemData(int Index) const;
    virtual void SetItemData(int Index, std::intptr_t Data);
    // The default item text: tabs expanded at TabWidth when set.
    void DefaultDrawText(int X, int Y, const std::string& Text);

protected:
    friend class TKsListBoxStrings;

    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void BeginAutoDrag() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void Dispatch(TMessage& Message) override;
    void Resize() override;

    virtual int GetItemHeight() const;
    virtual int GetItemWidth(int Index);
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    // The list's items changed at Index (inserted, deleted) or all went.
    virtual void ItemInserted(int Index);
    virtual void ItemDeleted(int Index);
    virtual void ItemsCleared();
    virtual void ItemsExchanged(int Index1, int Index2);
    virtual void ItemMoved(int CurrentIndex, int NewIndex);
    // Sorting put item Order[i] at i.
    virtual void ItemsReordered(const std::vector<int>& Order);
    // The item index moved by the user.
    virtual void SelectionChanged();
    void RecalcExtent();
    TCanvas& MeasureCanvas();
    // The text's width with its tabs expanded at TabWidth.
    int TabbedTextWidth(TCanvas& Canvas, const std::string& Text) const;

private:
    struct Item {
        std::string Text;
        std::intptr_t Data = 0;
        TObject* Object = nullptr;
        bool Selected = false;
        int Height = 0; // as measured for a list of variable item heights
    };

    int InsertItem(int Index, const std::string& Text);
    void DeleteItem(int Index);
    void ClearItems();
    void CheckIndex(int Index) const;
    int ItemWidth(int Index);
    void ItemAdded(int Index);
    void WidestMayShrink(int Index);
    bool OwnerDrawn() const { return style_ != lbStandard; }
    int RowsPerColumn() const;
    void MeasureItemAt(int Index);
    void MeasureAllItems();
    // The height of one item, and its top relative to the top index.
    int RowHeight(int Index) const;
    int ItemTop(int Index) const;
    void DrawState(TCanvas& Canvas, int Index, const TRect& Rect);

    std::unique_ptr<TKsListBoxStrings> items_;
    std::vector<Item> list_;
    std::unique_ptr<TBitmap> measure_;
    int itemIndex_ = -1;
    int topIndex_ = 0;
    bool multiSelect_ = false;
    bool sorted_ = false;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
    int tabWidth_ = 0;
    int columns_ = 0;
    bool graySelection_ = false;
    bool autoScroll_ = false;
    int widest_ = 0;
    int horizontalExtent_ = 0;
    int horizontalOffset_ = 0;
    int updating_ = 0;
    TDrawItemEvent onDrawItem_;
    TGetItemWidthEvent onGetItemWidth_;
};

// The list whose horizontal range always fits its widest item.
class TTextListBox : public TKsCustomListBox {
    DECLARE_CLASS(TTextListBox, TKsCustomListBox)
public:
    explicit TTextListBox(TComponent* AOwner);
};

enum TCheckKind : std::uint8_t { ckCheckBoxes, ckRadioButtons, ckCheckMarks };

// What a check list keeps per item.
struct TCheckListBoxItem {
    std::intptr_t Data = 0;
    TCheckBoxState State = cbUnchecked;
    bool Enabled = true;
};

namespace KSCtrls {
// The check pictures: 6 x 3 cells of 16 x 13 (rows: check boxes, radio
// buttons, check marks; columns: unchecked, checked, grayed, then the same
// disabled).
TBitmap& CheckBitmap();
} // namespace KSCtrls

class TKsCheckListBox : public TKsCustomListBox {
    DECLARE_CLASS(TKsCheckListBox, TKsCustomListBox)
public:
    explicit TKsCheckListBox(TComponent* AOwner);
    ~TKsCheckListBox() override;

    bool AllowGrayed = false;
    TCheckKind CheckKind() const { return checkKind_; }
    void SetCheckKind(TCheckKind Value);
    // The first checked item of a radio list (-1 for other kinds and when
    // none); setting checks max(Value, 0).
    int CheckedIndex() const;
    void SetCheckedIndex(int Value);

    TCheckBoxState GetState(int Index) const;
    void SetState(int Index, TCheckBoxState Value);
    bool GetChecked(int Index) const { return GetState(Index) == cbChecked; }
    void SetChecked(int Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }
    bool GetItemEnabled(int Index) const;
    void SetItemEnabled(int Index, bool Value);
    // Sets every (or every enabled) item; check boxes and marks only.
    void ApplyState(TCheckBoxState AState, bool EnabledOnly);
    // Toggles the item as a click into its check area does.
    void ToggleItem(int Index);

    // "Count" and "Item<n>" in the component's default section.
    void SaveStates(TCustomIniFile& IniFile);
    void RestoreStates(TCustomIniFile& IniFile);
    void SaveStatesReg(TRegIniFile& IniFile);
    void RestoreStatesReg(TRegIniFile& IniFile);
    // The list as a form file stores it: "InternalVersion" (written only
    // without an ancestor) and "Strings", a list value holding per item its
    // text, state and enabled flag. Files of versions before 202 hold per
    // item the text, a checked and an enabled flag, and from version 1 on
    // the state.
    static constexpr int InternalVersion = 202;
    void WriteStrings(TStream& Stream) const;
    // Replaces the items by those of the stream in one update; damaged data
    // raises EReadError and leaves the list as it was.
    void ReadStrings(TStream& Stream, int Version);
    // Whether "Strings" is to be written: a non-empty list without
    // ancestor, or one that differs from the ancestor's (texts compared
    // without case, states, enabled flags).
    bool StringsStored(const TKsCheckListBox* Ancestor) const;

    // A placement whose saving and loading take the states along, in its
    // section followed by the list's default section (a list with a name
    // only).
    TFormPlacement* IniStorage() const;
    void SetIniStorage(TFormPlacement* Value);

    std::intptr_t GetItemData(int Index) const override;
    void SetItemData(int Index, std::intptr_t Data) override;

    TNotifyEvent OnClickCheck;
    TCheckListStateEvent OnStateChange;

protected:
    void Loaded() override;
    int GetItemHeight() const override;
    int GetItemWidth(int Index) override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void ItemInserted(int Index) override;
    void ItemDeleted(int Index) override;
    void ItemsCleared() override;
    void ItemsExchanged(int Index1, int Index2) override;
    void ItemMoved(int CurrentIndex, int NewIndex) override;
    void ItemsReordered(const std::vector<int>& Order) override;
    virtual void ClickCheck();
    virtual void ChangeItemState(int Index);

private:
    bool GrayedAllowed() const { return AllowGrayed && checkKind_ != ckRadioButtons; }
    int CheckWidth() const;
    // The part of an item's rectangle that holds its check picture.
    TRect CheckArea(const TRect& Item) const;
    void UpdateCheckStates();
    void InvalidateCheck(int Index);
    void SaveTo(TObject* IniObject, const std::string& Section);
    void RestoreFrom(TObject* IniObject, const std::string& Section);
    void IniSave(TObject* Sender);
    void IniLoad(TObject* Sender);

    TCheckKind checkKind_ = ckCheckBoxes;
    std::vector<TCheckListBoxItem> states_;
    bool inUpdate_ = false;
    std::unique_ptr<TIniLink> iniLink_;
};

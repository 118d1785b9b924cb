#pragma once

// The standard controls: buttons, check and radio boxes, edits. Each is a
// real toolkit widget that fills the control's window; the control keeps its
// properties itself, so they can be set before the window exists and are
// handed to the widget when it is made.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/ui/Controls.h"
#include "platform/ui/OwnerDrawnItems.h"

namespace ui {
class TNativeWidget;
}

// A windowed control whose window holds a toolkit widget.
class TNativeControl : public TWinControl {
    DECLARE_CLASS(TNativeControl, TWinControl)
public:
    explicit TNativeControl(TComponent* AOwner);
    ~TNativeControl() override;

    // The widget inside the window (made with the window); for the UI layer's
    // backend.
    ui::TNativeWidget* NativeWidget() const { return native_.get(); }

    // Keys that pass the control unswallowed reach the widget.
    void DefaultHandler(TMessage& Message) override;

protected:
    void CreateWindowHandle(const TCreateParams& Params) override;
    void DestroyWnd() override;
    void Dispatch(TMessage& Message) override;
    // The keys the control keeps from the dialog (WM_GETDLGCODE's answer:
    // DLGC_WANTARROWS, DLGC_WANTTAB, DLGC_WANTALLKEYS, DLGC_WANTCHARS).
    virtual LRESULT DialogCode() const { return 0; }
    // Makes the widget of this control inside the window widget.
    virtual std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() = 0;
    // Hands the control's properties to a freshly made widget.
    virtual void NativeWidgetCreated() { }

private:
    // Buttons and group boxes show the caption.
    void ShowCaption();

    std::unique_ptr<ui::TNativeWidget> native_;
};

class TButtonControl : public TNativeControl {
    DECLARE_CLASS(TButtonControl, TNativeControl)
public:
    explicit TButtonControl(TComponent* AOwner);
};

class TButton : public TButtonControl {
    DECLARE_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);

    // The form's ModalResult becomes this when the button is clicked.
    TModalResult ModalResult = mrNone;
    bool Default = false;
    bool Cancel = false;

    void Click() override;

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
};

enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TButtonControl {
    DECLARE_CLASS(TCheckBox, TButtonControl)
public:
    explicit TCheckBox(TComponent* AOwner);

    // Changing the state from code fires OnClick as a user's click does.
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState Value);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    bool AllowGrayed = false;

    // The user's click: unchecked -> checked (-> grayed when allowed) -> unchecked.
    void Toggle();

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;

private:
    TCheckBoxState state_ = cbUnchecked;
};

class TRadioButton : public TButtonControl {
    DECLARE_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);

    // Checking a radio button unchecks the other radio buttons of its parent
    // and fires OnClick.
    bool Checked() const { return checked_; }
    void SetChecked(bool Value);

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;

private:
    bool checked_ = false;
};

class TCustomEdit : public TNativeControl {
    DECLARE_CLASS(TCustomEdit, TNativeControl)
public:
    explicit TCustomEdit(TComponent* AOwner);

    // 0: no limit. Text longer than the limit is cut when the limit is set.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int Value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value);
    // 0: the text is shown; else each character shows as this one.
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char Value);
    bool Modified = false;

    // Selection in characters.
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    void SelectAll();
    void Clear() { SetText({}); }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);
    // The formatting rectangle: the part of the client area the text is
    // shown in (EM_SETRECT / EM_SETRECTNP set it, EM_GETRECT reads it). An
    // empty rectangle is the whole client area.
    TRect TextArea() const;
    void SetTextArea(const TRect& Value) { Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Value)); }

    // The user's paste and cut (keys and the widget's menu) arrive as
    // WM_PASTE and WM_CUT; a control that does not pass them on refuses them.
    void PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }
    void CutToClipboard() { Perform(WM_CUT, 0, 0); }

    // The text changed, by the user or by code.
    TNotifyEvent OnChange;

protected:
    virtual void Change();
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;
    void Dispatch(TMessage& Message) override;
    // Paste, cut and copy reach the widget here; the clipboard keys of the
    // widget become these messages first.
    void DefaultHandler(TMessage& Message) override;
    void BoundsChanged(const TRect& oldBounds) override;
    LRESULT DialogCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

private:
    void ApplyTextArea();
    // Ctrl+V, Shift+Insert, Ctrl+X, Shift+Delete: the message they stand for (0: none).
    static UINT ClipboardMessageOfKey(WORD Key, TShiftState Shift);

    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    int selStart_ = 0;
    int selLength_ = 0;
    TAlignment alignment_ = taLeftJustify;
    TRect textArea_{};
};

class TEdit : public TCustomEdit {
    DECLARE_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner);
};

// A multi-line edit; Lines and Text are two views of the same text (Text
// joins the lines with CR LF and has no line break after the last line).
class TMemo : public TCustomEdit {
    DECLARE_CLASS(TMemo, TCustomEdit)
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;

    TStrings& Lines();

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;
    void Dispatch(TMessage& Message) override;
    // Enter makes a new line and Escape stays in the memo; Tab moves on.
    LRESULT DialogCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS; }

private:
    void LinesChanged();

    std::unique_ptr<TStringList> lines_;
    bool syncing_ = false;
};

// A frame with a caption around other controls.
class TGroupBox : public TNativeControl {
    DECLARE_CLASS(TGroupBox, TNativeControl)
public:
    explicit TGroupBox(TComponent* AOwner);

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
};

// A group box of radio buttons, one per item; ItemIndex is the checked one
// (-1: none). The user's choice fires OnClick.
class TRadioGroup : public TGroupBox {
    DECLARE_CLASS(TRadioGroup, TGroupBox)
public:
    explicit TRadioGroup(TComponent* AOwner);
    ~TRadioGroup() override;

    TStrings& Items();
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int Value);
    int Columns() const { return columns_; }
    void SetColumns(int Value);
    // The radio button of an item (for the layer and tests).
    TRadioButton* Buttons(int Index) const { return buttons_.at(static_cast<size_t>(Index)); }

protected:
    void BoundsChanged(const TRect& oldBounds) override;

private:
    void RebuildButtons();
    void ArrangeButtons();
    void ButtonClicked(int Index);

    std::unique_ptr<TStringList> items_;
    std::vector<TRadioButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
};

// Draws one item of an owner-drawn list into Rect on the control's Canvas,
// whose brush and font are already set for the item's state.
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
// Asks for the height of one item of a list of variable item heights.
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

enum TListBoxStyle : std::uint8_t { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

// Window styles of list boxes (TCreateParams::Style).
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD LBS_USETABSTOPS = 0x0080;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD LBS_MULTICOLUMN = 0x0200;
constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
constexpr DWORD LBS_MULTIPLESEL = 0x0008;

class TCustomListBox;

// The items of a list box. They live in the list box: an item's object is
// its data, read and written through the list box's GetItemData and
// SetItemData; deleting and clearing go through DeleteString and
// ResetContent. Moving and exchanging carry each item whole (text, data,
// selection), so what a list box keeps in an item's data goes with it.
class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TCustomListBox* ListBox) : listBox_(ListBox) { }

    int Count() const override;
    // In a sorted list box at the sorted place.
    int Add(const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurrentIndex, int NewIndex) override;

protected:
    std::string Get(int Index) const override;
    // Replaces the text, keeping the item's data.
    void Put(int Index, const std::string& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* Object) override;
    void SetUpdateState(bool Updating) override;

private:
    TCustomListBox* listBox_;
};

// A list of strings to pick one (or, with MultiSelect, several) from. The
// items may be drawn by the program: all of ItemHeight (lbOwnerDrawFixed)
// or each as high as OnMeasureItem says (lbOwnerDrawVariable, asked once
// per item until the items change). The items live in the control, so they
// keep their texts, data and selection when the window is made again.
class TCustomListBox : public TNativeControl {
    DECLARE_CLASS(TCustomListBox, TNativeControl)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings& Items();
    // The item with the focus rectangle (the selected one in single
    // selection); -1: none.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int Value);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool Value);
    // With MultiSelect: shift and control clicks extend the selection (true)
    // or every click toggles an item (false).
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool Value);
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;
    void Clear();

    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle Value);
    // The height of every item of an lbOwnerDrawFixed list, and the
    // starting height OnMeasureItem gets.
    int ItemHeight() const { return drawn_.ItemHeight; }
    void SetItemHeight(int Value);
    // Keeps the items in alphabetical order (case-insensitive); turning it
    // on sorts the items there are, with their data.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool Value);
    // 0: one column that scrolls vertically; else the items flow down and
    // into further columns of Width / Columns each, scrolling sideways.
    int Columns() const { return columns_; }
    void SetColumns(int Value);
    // The list is only ever as high as a whole number of rows (fixed item
    // heights only).
    bool IntegralHeight() const { return integralHeight_; }
    void SetIntegralHeight(bool Value);
    // Tab stops in the item texts every TabWidth dialog units (a quarter of
    // the font's average character width); 0: tabs are not expanded.
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int Value);
    // The first item shown at the top.
    int TopIndex() const;
    void SetTopIndex(int Value);
    // The item at a client point; beyond the last item -1 when Existing,
    // else the item count.
    int ItemAtPos(const TPoint& Pos, bool Existing) const;
    // The client rectangle of an item (also of items scrolled out of view).
    TRect ItemRect(int Index) const;
    // The canvas owner drawing and measuring use; it has the control's font.
    TCanvas* Canvas();
    void Invalidate() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    // The data slot of an item, as the list box window keeps it. Overriders
    // may keep records of their own there and hand callers something else;
    // they reach the slot itself through these base versions. An index
    // outside the items raises EListError.
    virtual std::intptr_t GetItemData(int Index) const;
    virtual void SetItemData(int Index, std::intptr_t AData);
    // Removes one item, and all of them.
    virtual void DeleteString(int Index);
    virtual void ResetContent();
    // Items added, inserted or replaced (the raw slot starts at 0).
    int AddString(const std::string& S);
    void InsertString(int Index, const std::string& S);

    void CreateParams(TCreateParams& Params) override;
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;
    // Without OnDrawItem an item shows its text on the state's background.
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    // Draws one item as the window asks: owner-drawn styles and lists with
    // tab stops. Overriders may change the rectangle before DrawItem.
    virtual void DrawItemRequest(int Index, TRect Rect, TOwnerDrawState State);
    // The text of an item with its tabs expanded to the tab stops.
    void DrawItemText(int Index, const TRect& Rect);
    LRESULT DialogCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

    friend class TListBoxStrings;

private:
    struct Item {
        std::string Text;
        std::intptr_t Data = 0;
        bool Selected = false;
    };

    void CheckIndex(int Index) const;
    void ItemsChanged();
    int SortedPlace(const std::string& S) const;
    void MoveItem(int CurrentIndex, int NewIndex);
    void ExchangeItems(int Index1, int Index2);
    void ReplaceText(int Index, const std::string& S);
    void SetUpdating(bool Updating);
    // Items whose window rows must show again (-1: all).
    void ItemsShownChanged();
    // The list box window styles the properties ask for.
    DWORD ListStyle() const;
    int HeightForIntegral() const;
    void ApplySelectionMode();
    void ApplySelection();
    void ApplyStyle();
    void TakeUserSelection();
    int HeightOf(int Index);

    TListBoxStrings strings_;
    std::vector<Item> items_;
    ui::TOwnerDrawnItems drawn_;
    TListBoxStyle style_ = lbStandard;
    int topIndex_ = 0;
    int itemIndex_ = -1;
    int columns_ = 0;
    int tabWidth_ = 0;
    int updating_ = 0;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    bool sorted_ = false;
    bool integralHeight_ = false;
    bool pushing_ = false;
};

class TListBox : public TCustomListBox {
    DECLARE_CLASS(TListBox, TCustomListBox)
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) { }
};

enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// A drop-down list, with an edit field (csDropDown) or without one
// (csDropDownList, where Text is always the chosen item's). The owner-draw
// styles are drop-down lists whose items, and the chosen one in the closed
// box (with odComboBoxEdit), the program draws.
class TComboBox : public TNativeControl {
    DECLARE_CLASS(TComboBox, TNativeControl)
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;

    TStrings& Items();
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle Value);
    // Setting it from code shows the item's text and fires nothing.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int Value);
    int DropDownCount = 8;
    // The height of the items of the owner-draw styles (the starting height
    // OnMeasureItem gets).
    int ItemHeight() const { return drawn_.ItemHeight; }
    void SetItemHeight(int Value);
    // The canvas owner drawing and measuring use; it has the control's font.
    TCanvas* Canvas();

    // The user picked an item (OnClick, then OnChange) or typed (OnChange).
    TNotifyEvent OnChange;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    virtual void Change();
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;
    void Dispatch(TMessage& Message) override;
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    LRESULT DialogCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

private:
    bool OwnerDrawn() const { return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable; }
    bool Editable() const { return style_ == csDropDown || style_ == csSimple; }
    void ItemsChanged();
    void UserPicked(int Index);
    void UserTyped(const std::string& Text);
    void ApplyOwnerDraw();
    int HeightOf(int Index);

    std::unique_ptr<TStringList> items_;
    ui::TOwnerDrawnItems drawn_;
    TComboBoxStyle style_ = csDropDown;
    int itemIndex_ = -1;
    bool pushing_ = false;
};

class TBitmap;

enum TBitBtnKind : std::uint8_t {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};

// A push button with a picture beside the caption. The glyph may be a strip
// of NumGlyphs equal images (up, disabled, down, ...); the first is shown, and
// the colour of its bottom-left pixel is see-through.
class TBitBtn : public TButton {
    DECLARE_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;

    TBitmap& Glyph() { return *glyph_; }
    // Shows a glyph changed through Glyph().
    void GlyphChanged();
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int Value);
    // A kind other than bkCustom sets the caption and ModalResult of that kind.
    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind Value);

    void Click() override;

protected:
    void NativeWidgetCreated() override { GlyphChanged(); }

private:
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    TBitBtnKind kind_ = bkCustom;
};

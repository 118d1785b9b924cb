#pragma once

// A list box whose items carry a three-valued state (unchecked, checked,
// grayed) shown as a symbol in a narrow check area left of the item's text.
// The symbols come from an image list (images 0, 1, 2: checked, unchecked,
// grayed) or, without one, from the check-box pictures. A click into the
// check area (any button) or the space bar changes the state; the program
// reads and writes states item by item without any event.
//
// Each item keeps one record {Data, State} in its data slot: what callers
// store as the item's object goes into Data, so the objects and the states
// share the slot, and both go with the item through inserts, deletes, moves
// and exchanges.

#include <cstdint>

#include "platform/ui/ImgList.h"
#include "platform/ui/StdCtrls.h"

class TCheckListBoxDataWrapper : public TObject {
    DECLARE_CLASS(TCheckListBoxDataWrapper, TObject)
public:
    std::intptr_t Data = 0;
    TCheckBoxState State = cbUnchecked;
};

class TSymbolCheckListBox : public TCustomListBox {
    DECLARE_CLASS(TSymbolCheckListBox, TCustomListBox)
public:
    explicit TSymbolCheckListBox(TComponent* AOwner);
    ~TSymbolCheckListBox() override;

    // The source of the symbols (not owned); nullptr: the check-box pictures.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* Value);
    // 0 until the window is made (or Images set).
    int SymbolWidth() const { return symbolWidth_; }
    int SymbolHeight() const { return symbolHeight_; }
    // The row height measured from the font ("Wg"), standard style only.
    int ItemTextHeight() const { return itemTextHeight_; }
    int CheckBoxWidth() const { return symbolWidth_ + 2; }
    // A user toggle passes through the grayed state.
    bool AllowGrayed = false;
    // Kept for the forms; the drawing does not depend on it.
    bool Flat() const { return flat_; }
    void SetFlat(bool Value);

    // Fired after every state change the user makes (before OnMouseDown).
    TNotifyEvent OnClickCheck;

    // True only for cbChecked. Writing changes an item only when the value
    // differs (a grayed item set false stays grayed). No event.
    bool GetChecked(int Index) const;
    void SetChecked(int Index, bool Value);
    TCheckBoxState ItemStateByte(int Index) const;
    void SetItemStateByte(int Index, TCheckBoxState Value);
    // The item's record, made when missing.
    TCheckListBoxDataWrapper* ItemState(int Index);
    bool HasItemState(int Index) const;

protected:
    std::intptr_t GetItemData(int Index) const override;
    void SetItemData(int Index, std::intptr_t AData) override;
    void DeleteString(int Index) override;
    void ResetContent() override;

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DrawItemRequest(int Index, TRect Rect, TOwnerDrawState State) override;
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
    void MeasureItem(int Index, int& Height) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // The user's toggle: unchecked -> checked (-> grayed first with
    // AllowGrayed), checked -> unchecked, grayed -> checked; then
    // OnClickCheck. An index outside the items is ignored.
    void ToggleItemState(int Index);
    virtual void DoClickCheck();

private:
    TCheckListBoxDataWrapper* FindItemState(int Index) const;
    void DrawSymbol(const TRect& R, TCheckBoxState State);
    void InvalidateCheckArea(int Index);
    void UpdateSymbolSize();
    void UpdateItemHeight();

    TImageList* images_ = nullptr;
    int symbolWidth_ = 0;
    int symbolHeight_ = 0;
    int itemTextHeight_ = 0;
    bool flat_ = true;
};

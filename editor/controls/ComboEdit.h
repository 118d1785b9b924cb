#pragma once

// A single-line edit with a small button inside its right edge. The button
// runs an action of the owner's choice (OnButtonClick), as does the click
// key (Alt+Down); a read-only edit runs neither. The button shows a glyph
// of the owner's, the edit kind's default glyph, a drop-down arrow or an
// ellipsis. The text stays left of the button.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Mask.h"
#include "platform/ui/Menus.h"
#include "widgets/KSCtrls.h"

enum TGlyphKind : std::uint8_t { gkCustom, gkDefault, gkDropDown, gkEllipsis };

class EComboEditError : public Exception {
public:
    using Exception::Exception;
};

namespace ComboEdit {

constexpr int DefaultButtonWidth = 21;
// The width of a vertical scroll bar: the drop-down button's width.
constexpr int ScrollBarWidth = 16;
// The edit's sunken frame; the button sits inside it.
constexpr int FrameWidth = 2;

// The three dots of an ellipsis button of that width: a monochrome bitmap
// max(1, width - 6) wide and 4 high.
std::unique_ptr<TBitmap> EllipsisGlyph(int ButtonWidth);
// The arrow of a drop-down button.
std::unique_ptr<TBitmap> DropDownGlyph();

} // namespace ComboEdit

class TCustomComboEdit;

// The button inside the edit: a press first gives the edit the focus.
class TEditButton : public TKsSpeedButton {
    DECLARE_CLASS(TEditButton, TKsSpeedButton)
public:
    TEditButton(TComponent* AOwner, TCustomComboEdit* Edit);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TCustomComboEdit* edit_;
};

class TCustomComboEdit : public TCustomMaskEdit {
    DECLARE_CLASS(TCustomComboEdit, TCustomMaskEdit)
public:
    explicit TCustomComboEdit(TComponent* AOwner);
    ~TCustomComboEdit() override;

    TEditButton* Button() const { return button_; }
    // The box the button sits in (shown while ButtonWidth > 1).
    TWinControl* ButtonContainer() const { return container_; }

    int ButtonWidth() const { return buttonWidth_; }
    // Taken only while it is narrower than the edit.
    void SetButtonWidth(int Value);
    const std::string& ButtonHint() const { return button_->Hint; }
    void SetButtonHint(const std::string& Value) { button_->Hint = Value; }
    TShortCut ClickKey = ShortCut(VK_DOWN, {ssAlt});
    // Off: the user cannot type, paste or cut; the button still sets the text.
    bool DirectInput() const { return directInput_; }
    void SetDirectInput(bool Value);
    // On: nothing changes the text but the program, and the button does nothing.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value);
    bool AutoSelect = true;

    TGlyphKind GlyphKind() const { return glyphKind_; }
    void SetGlyphKind(TGlyphKind Value);
    TBitmap& Glyph() { return button_->Glyph(); }
    // An assigned glyph makes the kind gkCustom.
    void SetGlyph(const TBitmap& Value);
    int NumGlyphs() const { return button_->NumGlyphs(); }
    void SetNumGlyphs(int Value);

    // The button's and the click key's action: ButtonAction unless read-only.
    void RunButtonAction();

    // The least height that shows the text.
    int MinHeight() const;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnButtonClick;

protected:
    // Fires OnButtonClick; the path edits add their dialogs.
    virtual void ButtonAction();
    // The glyph of gkDefault (nullptr: none) and its glyph count.
    virtual const TBitmap* DefaultGlyph() const { return nullptr; }
    virtual int DefaultNumGlyphs() const { return 1; }
    // The glyph for the current kind and width.
    void RecreateGlyph();
    void PlaceEditButton();
    void UpdateEditArea();

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void Dispatch(TMessage& Message) override;

private:
    TWinControl* container_ = nullptr;
    TEditButton* button_ = nullptr;
    int buttonWidth_ = ComboEdit::DefaultButtonWidth;
    bool directInput_ = true;
    bool readOnly_ = false;
    TGlyphKind glyphKind_ = gkCustom;
};

class TComboEdit : public TCustomComboEdit {
    DECLARE_CLASS(TComboEdit, TCustomComboEdit)
public:
    explicit TComboEdit(TComponent* AOwner);
};

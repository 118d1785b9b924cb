#pragma once

// The windowless push/toggle button of the tool bars: a glyph strip of up to
// five state images and an optional caption, radio groups with a held-down
// state, the flat hot-tracking look and auto-repeat while held.
//
// Sources: KSCtrls.cpp (glyph cache, button glyph, button frame) and
// KSCtrls.SpeedButton.cpp.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/Menus.h"
#include "widgets/DrawUtils.h"

enum TKsButtonState : std::uint8_t { rbsUp, rbsDisabled, rbsDown, rbsExclusive, rbsInactive };
enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonStyle : std::uint8_t { bsAutoDetect, bsWin31, bsNew };
enum TKsDropDownMenuPos : std::uint8_t { dmpBottom, dmpRight };
using TKsNumGlyphs = int;

// An image list of one cell size whose slots are handed out and given back;
// a given-back slot keeps its image until it is used again. Beside each
// image the list keeps the bitmap it was made from, for drawing keyed by
// its mask colour.
class TGlyphList : public TImageList {
    DECLARE_CLASS(TGlyphList, TImageList)
public:
    TGlyphList(int AWidth, int AHeight) : TImageList(AWidth, AHeight) { }

    // The first free slot, adding an empty image when every slot is used.
    int AllocGlyphIndex();
    // Puts the glyph, MaskColor see-through, into a free slot; returns it.
    int AddMaskedGlyph(const TBitmap& Image, TColor MaskColor);
    // The slot is free again (its image stays until the slot is reused).
    void FreeGlyphIndex(int Index);
    // The bitmap a slot was filled from (nullptr for an empty slot).
    TBitmap* GlyphBitmap(int Index) const;
    // Slots in use; Count() is the slots there are.
    int GlyphCount() const { return usedCount_; }

private:
    std::vector<std::unique_ptr<TBitmap>> bitmaps_;
    std::vector<bool> used_;
    int usedCount_ = 0;
};

// The process's glyph lists, at most one per cell size, shared by every
// button glyph of that size. User-interface thread only.
class TGlyphCache {
public:
    // The list for the size, the latest made first; made when there is none.
    TGlyphList* GetGlyphList(int AWidth, int AHeight);
    // A glyph is done with the list; an unused list is freed.
    void ReturnList(TGlyphList* List);
    bool Empty() const { return lists_.empty(); }
    int ListCount() const { return static_cast<int>(lists_.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

namespace KSCtrls {
// The shared cache; nullptr while no glyph holds images.
TGlyphCache* GlyphCache();
} // namespace KSCtrls

// The glyph strip of a button and the images of its states, built when first
// drawn and kept in the shared glyph cache.
class TKsButtonGlyph {
public:
    TKsButtonGlyph();
    ~TKsButtonGlyph();
    TKsButtonGlyph(const TKsButtonGlyph&) = delete;
    TKsButtonGlyph& operator=(const TKsButtonGlyph&) = delete;

    TBitmap& Glyph() { return *original_; }
    void SetGlyph(const TBitmap& Value);
    // Tells the glyph its strip's pixels changed (after drawing on Glyph()).
    void GlyphChanged();
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int Value);
    bool WordWrap = false;
    TAlignment Alignment = taCenter;
    TColor TransparentColor() const { return transparentColor_; }
    TNotifyEvent OnChange;

    // Drops the built state images.
    void Invalidate();
    // The image of a state (nullptr for an empty strip).
    TBitmap* StateImage(TKsButtonState State);
    // The cache list holding the images (nullptr before any is built).
    TGlyphList* GlyphList() const { return list_; }

    // Lays out and draws glyph, caption and drop-down mark into Client;
    // returns the caption's rectangle.
    TRect Draw(TCanvas& Canvas, const TRect& Client, const std::string& Caption, TButtonLayout Layout, int Margin,
               int Spacing, bool PopupMark, TKsButtonState State, unsigned Flags);
    // The same with picture ImageIndex of Images in place of the strip when
    // the list is given and holds that picture.
    TRect DrawEx(TCanvas& Canvas, const TRect& Client, const std::string& Caption, TButtonLayout Layout, int Margin,
                 int Spacing, bool PopupMark, TImageList* Images, int ImageIndex, TKsButtonState State, unsigned Flags);
    // Builds the state image of an image-list picture (the down state
    // shares the up image) in the glyph list; returns its slot, -1 for an
    // empty list.
    int CreateImageGlyph(TKsButtonState State, TImageList& Images, int Index);
    static void DrawPopupMark(TCanvas& Canvas, int X, int Y, TKsButtonState State);

    // Where glyph and caption go; Caption comes back shortened to the room.
    void CalcButtonLayout(TCanvas& Canvas, const TRect& Client, std::string& Caption, TButtonLayout Layout, int Margin,
                          int Spacing, bool PopupMark, TPoint& GlyphPos, TRect& TextBounds, unsigned Flags,
                          TImageList* Images = nullptr, int ImageIndex = -1);

    // The grey of the inactive look: the key and face colours stay.
    TColor MapColor(TColor Color) const;

private:
    TSize GlyphSize(TImageList* Images, int ImageIndex) const;
    std::unique_ptr<TBitmap> BuildStateImage(TKsButtonState State);
    std::unique_ptr<TBitmap> BuildImageListImage(TKsButtonState State, TImageList& Images, int Index) const;
    // Stores a built image in the cache's list of its size, MaskColor
    // see-through.
    int StoreImage(std::unique_ptr<TBitmap> Image, TColor MaskColor);
    void DrawImageListGlyph(TCanvas& Canvas, TPoint At, TImageList& Images, int Index, TKsButtonState State);
    void DrawButtonText(TCanvas& Canvas, const std::string& Caption, TRect TextBounds, TKsButtonState State,
                        unsigned Flags);

    std::unique_ptr<TBitmap> original_;
    TGlyphList* list_ = nullptr;
    std::array<int, 5> indexes_{-1, -1, -1, -1, -1};
    TColor transparentColor_ = clFuchsia;
    int numGlyphs_ = 1;
};

// Draws a framed button face with the glyph logic of the speed button into
// any canvas.
class TButtonImage {
public:
    TButtonImage();
    ~TButtonImage();
    TButtonImage(const TButtonImage&) = delete;
    TButtonImage& operator=(const TButtonImage&) = delete;

    TBitmap& Glyph() { return glyph_->Glyph(); }
    void SetGlyph(const TBitmap& Value) { glyph_->SetGlyph(Value); }
    int NumGlyphs() const { return glyph_->NumGlyphs(); }
    void SetNumGlyphs(int Value) { glyph_->SetNumGlyphs(Value); }
    std::string Caption;
    TSize ButtonSize{24, 23};

    // The button at (X, Y) in the up state; AFont (if given) for the
    // caption, picture ImageIndex of Images (if given) for the glyph. The
    // canvas's brush colour and font are kept.
    void DrawEx(TCanvas& Canvas, int X, int Y, int Margin, int Spacing, TButtonLayout Layout, const TFont* AFont,
                TImageList* Images, int ImageIndex, unsigned Flags);
    void Draw(TCanvas& Canvas, int X, int Y) { DrawEx(Canvas, X, Y, -1, 4, blGlyphLeft, nullptr, nullptr, -1, 0); }

private:
    std::unique_ptr<TKsButtonGlyph> glyph_;
};

// The frame of a button face; shrinks R to the inside.
void DrawButtonFrame(TCanvas& Canvas, TRect& R, bool Down, bool Flat, TButtonStyle Style);

class TKsSpeedButton : public TGraphicControl {
    DECLARE_CLASS(TKsSpeedButton, TGraphicControl)
public:
    explicit TKsSpeedButton(TComponent* AOwner);
    ~TKsSpeedButton() override;

    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int Value);
    bool Down() const { return down_; }
    void SetDown(bool Value);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool Value);
    bool Flat() const { return flat_; }
    void SetFlat(bool Value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout Value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int Value);
    int Margin() const { return margin_; }
    void SetMargin(int Value);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle Value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool Value);
    bool GrayedInactive() const { return grayedInactive_; }
    void SetGrayedInactive(bool Value);
    bool WordWrap() const { return glyph_->WordWrap; }
    void SetWordWrap(bool Value);
    TAlignment Alignment() const { return glyph_->Alignment; }
    void SetAlignment(TAlignment Value);
    TBitmap& Glyph() { return glyph_->Glyph(); }
    void SetGlyph(const TBitmap& Value);
    int NumGlyphs() const { return glyph_->NumGlyphs(); }
    void SetNumGlyphs(int Value);
    // The menu dropped when the button is pressed, with a mark beside the
    // caption when MarkDropDown is on.
    TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(TPopupMenu* Value);
    bool MarkDropDown() const { return markDropDown_; }
    void SetMarkDropDown(bool Value);
    TKsDropDownMenuPos MenuPosition = dmpBottom;
    // Drops the menu even when it does not open by itself; true when shown.
    bool CheckBtnMenuDropDown();
    // Where the menu opens, in client coordinates ((0, 0) without a menu).
    TPoint GetDropDownMenuPos() const;
    bool AllowTimer() const { return allowTimer_; }
    void SetAllowTimer(bool Value);
    std::uint16_t InitPause = 500;
    std::uint16_t RepeatInterval = 100;
    int ModalResult = 0;
    TKsButtonState State() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }

    // Right-to-left reading (bdRightToLeft also mirrors the alignment).
    TBiDiMode BiDiMode = bdLeftToRight;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // The action the button shows (caption, enabled state, hint, visibility;
    // its checked state as Down in a group; its image as the glyph while
    // the button has none) and runs when clicked without an OnClick.
    TBasicAction* Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }
    void SetAction(TBasicAction* Value);

    void Click() override;
    void DblClick() override;
    // A press by the program: down look for 20 ms, then the click.
    void ButtonClick();
    void UpdateTracking();

protected:
    void Loaded() override;
    void Paint() override;
    virtual void PaintGlyph(TCanvas& Canvas, const TRect& ARect, TKsButtonState AState, bool DrawMark);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CheckMenuDropDown(const TPoint& Pos, bool Manual);
    // Takes over the action's state; with CheckDefaults only where the
    // button still has its own default.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);

private:
    bool Inside(int X, int Y) const;
    // Takes the press that closed the menu over this button out of the queue.
    void DropClosingPress();
    void DoMouseUp(TMouseButton Button, int X, int Y);
    void UpdateExclusive();
    void ButtonPressed(int Group, TKsSpeedButton* Sender);
    void TimerExpired(TObject* Sender);
    void SetHot(bool Value);
    void BuildNextStateImage();

    int groupIndex_ = 0;
    TButtonStyle style_ = bsAutoDetect;
    std::unique_ptr<TKsButtonGlyph> glyph_;
    std::unique_ptr<TBitmap> drawImage_;
    bool down_ = false;
    bool dragging_ = false;
    bool flat_ = false;
    bool mouseInControl_ = false;
    bool allowAllUp_ = false;
    TButtonLayout layout_ = blGlyphTop;
    int spacing_ = 1;
    int margin_ = -1;
    bool transparent_ = false;
    bool grayedInactive_ = true;
    std::unique_ptr<TTimer> repeatTimer_;
    bool allowTimer_ = false;
    TKsButtonState state_ = rbsUp;
    TPopupMenu* dropDownMenu_ = nullptr;
    bool markDropDown_ = true;
    bool menuTracking_ = false;
    std::unique_ptr<TBasicActionLink> actionLink_;
};

// The shadow label and the credits panel belong to this unit as well.
#include "widgets/SecretPanel.h"
#include "widgets/ShadowLbl.h"

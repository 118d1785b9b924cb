#pragma once

// The windowless push/toggle button of the tool bars: a glyph strip of up to
// five state images and an optional caption, radio groups with a held-down
// state, the flat hot-tracking look and auto-repeat while held.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ExtCtrls.h"

enum TKsButtonState : std::uint8_t { rbsUp, rbsDisabled, rbsDown, rbsExclusive, rbsInactive };
enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonStyle : std::uint8_t { bsAutoDetect, bsWin31, bsNew };
using TKsNumGlyphs = int;

// The glyph strip of a button and the images of its states, built when first
// drawn.
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

    // Lays out and draws glyph, caption and drop-down mark into Client;
    // returns the caption's rectangle.
    TRect Draw(TCanvas& Canvas, const TRect& Client, const std::string& Caption, TButtonLayout Layout, int Margin,
               int Spacing, bool PopupMark, TKsButtonState State, unsigned Flags);
    static void DrawPopupMark(TCanvas& Canvas, int X, int Y, TKsButtonState State);

    // Where glyph and caption go; Caption comes back shortened to the room.
    void CalcButtonLayout(TCanvas& Canvas, const TRect& Client, std::string& Caption, TButtonLayout Layout, int Margin,
                          int Spacing, bool PopupMark, TPoint& GlyphPos, TRect& TextBounds, unsigned Flags);

    // The grey of the inactive look: the key and face colours stay.
    TColor MapColor(TColor Color) const;

private:
    TSize GlyphSize() const;
    std::unique_ptr<TBitmap> BuildStateImage(TKsButtonState State);
    void DrawButtonText(TCanvas& Canvas, const std::string& Caption, TRect TextBounds, TKsButtonState State,
                        unsigned Flags);

    std::unique_ptr<TBitmap> original_;
    std::array<std::unique_ptr<TBitmap>, 5> images_;
    TColor transparentColor_ = clFuchsia;
    int numGlyphs_ = 1;
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
    bool AllowTimer() const { return allowTimer_; }
    void SetAllowTimer(bool Value);
    std::uint16_t InitPause = 500;
    std::uint16_t RepeatInterval = 100;
    int ModalResult = 0;
    TKsButtonState State() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    void Click() override;
    void DblClick() override;
    // A press by the program: down look for 20 ms, then the click.
    void ButtonClick();
    void UpdateTracking();

protected:
    void Paint() override;
    virtual void PaintGlyph(TCanvas& Canvas, const TRect& ARect, TKsButtonState AState, bool DrawMark);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Dispatch(TMessage& Message) override;

private:
    bool Inside(int X, int Y) const;
    void DoMouseUp(TMouseButton Button, int X, int Y);
    void UpdateExclusive();
    void ButtonPressed(int Group, TKsSpeedButton* Sender);
    void TimerExpired(TObject* Sender);
    void SetHot(bool Value);
    void ChangeValue(bool& Field, bool Value);

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
};

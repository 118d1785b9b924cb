#pragma once

// A speed button with a colour indicator and a drop-down arrow part at its
// right (TColorPickerButton), and the window it drops (TColorPopup): a
// default cell, 40 named colours, optionally the 25 system colours, and a
// custom cell that opens colour combs, grey combs and a brightness slider.
//
// Sources: ColorPickerButton.cpp (the button), ColorPickerButton.Popup.cpp
// (the popup's cells, keys and mouse), ColorPickerButton.Combs.cpp (the
// combs and the slider), ColorPickerButton.Paint.cpp (drawing).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Controls.h"
#include "widgets/KSCtrls.h"

enum TIndicatorBorder : std::uint8_t { ibNone, ibFlat, ibSunken, ibRaised };

using TDropChangingEvent = std::function<void(TObject* Sender, bool& Allowed)>;
// The hint text for a cell of the popup (NoCell: no cell under the mouse).
using THintEvent = std::function<void(TObject* Sender, int Cell, std::string& HintStr)>;

namespace ColorPickerButton {

// Cells of the popup: the colour cells 0..39, the system cells 40..64.
constexpr int DefaultCell = -3;
constexpr int CustomCell = -2;
constexpr int NoCell = -1;
constexpr int ColorCellCount = 40;
constexpr int SystemCellCount = 25;
constexpr int CellSize = 18;
constexpr int Columns = 8;
constexpr int CombLevels = 7;

struct TNamedColor {
    TColor Value;
    const char* Name;
};
// The 40 colour cells, and the system cells' colours and names.
extern const TNamedColor ColorCells[ColorCellCount];
TColor SystemCellColor(int Index);
std::string SystemCellName(int Index);

struct TColorComb {
    TPoint Position;
    TColor Color;
};

// The 127 colour combs around the centre (0, 0) for the comb radius,
// the centre being white times Brightness.
std::vector<TColorComb> BuildColorCombs(int Radius, double Brightness);
// The 17 grey combs relative to the top left of their row.
std::vector<TColorComb> BuildGrayCombs(int CombSize);
// Comb size for a comb radius.
int CombSizeOf(int Radius);

} // namespace ColorPickerButton

class TColorPickerButton;

class TColorPopup : public TCustomControl {
    DECLARE_CLASS(TColorPopup, TCustomControl)
public:
    // Made with its button, which owns it.
    explicit TColorPopup(TColorPickerButton* Button);
    ~TColorPopup() override;

    const std::string& DefaultText() const { return defaultText_; }
    void SetDefaultText(const std::string& Value);
    const std::string& CustomText() const { return customText_; }
    void SetCustomText(const std::string& Value);
    bool ShowSystemColors() const { return showSystemColors_; }
    void SetShowSystemColors(bool Value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int Value);

    int HotCell() const { return hotCell_; }
    // A cell above 64, or from 40 on without system colours, becomes NoCell.
    void SetHotCell(int Cell);
    int ChosenCell() const { return chosenCell_; }
    // n > 0: colour comb n - 1, n < 0: grey comb -(n + 1), 0: none.
    int CustomComb() const { return customComb_; }
    double Brightness() const { return brightness_; }
    void SetBrightness(double Value);

    // Layout from the texts and the system-colour switch.
    void AdjustWindowSize();
    int NormalHeight() const { return normalHeight_; }
    int CustomHeight() const { return customHeight_; }
    TRect CellRect(int Cell) const;
    // The cell of a grid row and column (rows 5 to 8 hold the system
    // cells), NoCell outside.
    int CellIndex(int Row, int Column) const;
    // The cell at a client point, NoCell over none.
    int CellAt(TPoint P) const;
    // Where the custom-colour area lies: the hexagon's square, the grey row
    // and the slider.
    TRect CombArea() const;
    TPoint CombCentre() const;
    TRect GrayRow() const;
    TRect SliderRect() const;
    int CombRadius() const { return combRadius_; }
    int CombSize() const { return combSize_; }
    const std::vector<ColorPickerButton::TColorComb>& ColorCombs();
    const std::vector<ColorPickerButton::TColorComb>& GrayCombs() const { return grayCombs_; }
    // The comb at a client point as CustomComb counts it (0: none).
    int CombAt(TPoint P);
    // The colour of CustomComb (clNone without one).
    TColor CombColor();

    // Chooses the cell (or comb) that shows the colour.
    void SelectColorCell(TColor Color);
    // Sizes, places below the button and shows the window.
    void PlacePopup();
    // Hands the result to the button (nothing when cancelled) and closes.
    void NotifyButton(bool Cancelled);
    // The hint for a client point (empty: none).
    std::string HintAt(TPoint P);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Dispatch(TMessage& Message) override;

private:
    int LastCell() const { return showSystemColors_ ? 64 : 39; }
    bool HasDefault() const { return !defaultText_.empty(); }
    bool HasCustom() const { return !customText_.empty(); }
    int KeyMove(int From, WORD Key) const;
    bool AcceleratorChosen(char32_t Key);
    void ChooseCustomCell();
    void SlideTo(int Y);
    void DrawCell(TCanvas& Canvas, int Cell);
    void DrawCustomArea(TCanvas& Canvas);
    void DrawSlider(TCanvas& Canvas);

    TColorPickerButton* button_;
    std::string defaultText_;
    std::string customText_;
    bool showSystemColors_ = false;
    int spacing_ = 8;
    int margin_ = 2;
    int hotCell_ = ColorPickerButton::NoCell;
    int chosenCell_ = ColorPickerButton::NoCell;
    int customComb_ = 0;
    double brightness_ = 1.0;
    int combRadius_ = 0;
    int combSize_ = 0;
    std::vector<ColorPickerButton::TColorComb> colorCombs_;
    std::vector<ColorPickerButton::TColorComb> grayCombs_;
    TRect defaultRect_{};
    TRect customRect_{};
    int gridTop_ = 0;
    int systemTop_ = 0;
    int normalHeight_ = 0;
    int customHeight_ = 0;
    bool pressedOnComb_ = false;
    bool sliding_ = false;
    bool shown_ = false;
};

class TColorPickerButton : public TGraphicControl {
    DECLARE_CLASS(TColorPickerButton, TGraphicControl)
public:
    explicit TColorPickerButton(TComponent* AOwner);
    ~TColorPickerButton() override;

    TColor SelectionColor() const { return selectionColor_; }
    // A new colour repaints, re-selects an open popup's cell and fires
    // OnChange; the same colour does nothing.
    void SetSelectionColor(TColor Value);
    const std::string& CustomText() const { return popup_->CustomText(); }
    void SetCustomText(const std::string& Value);
    const std::string& DefaultText() const { return popup_->DefaultText(); }
    void SetDefaultText(const std::string& Value);
    bool ShowSystemColors() const { return popup_->ShowSystemColors(); }
    void SetShowSystemColors(bool Value);
    int PopupSpacing() const { return popup_->Spacing(); }
    void SetPopupSpacing(int Value) { popup_->SetSpacing(Value); }
    int DropDownWidth = 15;
    TColor DropDownArrowColor = 0;
    TIndicatorBorder IndicatorBorder() const { return indicatorBorder_; }
    void SetIndicatorBorder(TIndicatorBorder Value);
    bool Flat() const { return flat_; }
    void SetFlat(bool Value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool Value);
    TBitmap& Glyph() { return glyph_->Glyph(); }
    // A strip whose width is a whole multiple of its height holds that many
    // images (one when more than 4).
    void SetGlyph(const TBitmap& Value);
    int NumGlyphs() const { return glyph_->NumGlyphs(); }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return margin_; }
    void SetMargin(int Value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int Value);
    bool Down() const { return down_; }
    void SetDown(bool Value);
    int GroupIndex = 0;
    bool AllowAllUp = false;

    bool DroppedDown() const { return droppedDown_; }
    void SetDroppedDown(bool Value);
    // The last left press was on the arrow part.
    bool ArrowPressed() const { return arrowPressed_; }
    TKsButtonState State() const { return state_; }
    TColorPopup* Popup() const { return popup_; }
    // The rectangle that shows SelectionColor.
    TRect IndicatorRect();

    TNotifyEvent OnChange;
    TNotifyEvent OnDefaultSelect;
    TDropChangingEvent OnDropChanging;
    TNotifyEvent OnDropChanged;
    THintEvent OnHint;

    virtual void DoDefaultSelect();

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Dispatch(TMessage& Message) override;

private:
    bool Inside(int X, int Y) const { return X >= 0 && X < Width() && Y >= 0 && Y < Height(); }
    void PaintFace(TCanvas& Canvas, const TRect& Face);
    void PaintIndicator(TCanvas& Canvas, const TRect& R);
    void PaintArrow(TCanvas& Canvas);
    TRect CaptionRect(TCanvas& Canvas, TPoint& GlyphPos);

    TColorPopup* popup_;
    std::unique_ptr<TKsButtonGlyph> glyph_;
    TColor selectionColor_ = 0;
    TIndicatorBorder indicatorBorder_ = ibFlat;
    bool flat_ = false;
    bool transparent_ = true;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    bool down_ = false;
    bool droppedDown_ = false;
    bool arrowPressed_ = false;
    bool dragging_ = false;
    bool mouseInControl_ = false;
    TKsButtonState state_ = rbsUp;
};

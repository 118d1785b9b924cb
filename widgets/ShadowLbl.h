#pragma once

// A caption label with a one-colour drop shadow, margins, an accelerator
// that focuses another control, an optional focus rectangle and hot
// tracking.

#include <cstdint>
#include <string>

#include "platform/graphics/Canvas.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/DrawUtils.h"

enum TShadowPosition : std::uint8_t { spLeftTop, spLeftBottom, spRightBottom, spRightTop };

namespace KSCtrls {

// Draws Text in ShadowColor moved by ShadowSize towards ShadowPos, then in
// the canvas's font colour at Rect; Rect becomes the union of both places.
// Returns the height of the text, plus the shadow size when that is positive.
int DrawShadowText(TCanvas& DC, const std::string& Text, TRect& Rect, unsigned Format, int ShadowSize,
                   TColor ShadowColor, TShadowPosition ShadowPos);

} // namespace KSCtrls

class TKsCustomLabel : public TGraphicControl {
    DECLARE_CLASS(TKsCustomLabel, TGraphicControl)
public:
    explicit TKsCustomLabel(TComponent* AOwner);

    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* Value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout Value);
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor Value);
    std::uint8_t ShadowSize() const { return shadowSize_; }
    void SetShadowSize(std::uint8_t Value);
    TShadowPosition ShadowPos() const { return shadowPos_; }
    void SetShadowPos(TShadowPosition Value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool Value);
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool Value);
    bool Transparent() const { return !ControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    int LeftMargin() const { return leftMargin_; }
    void SetLeftMargin(int Value);
    int RightMargin() const { return rightMargin_; }
    void SetRightMargin(int Value);
    bool MouseInControl() const { return mouseInControl_; }

    // Right-to-left reading (bdRightToLeft also mirrors the alignment).
    TBiDiMode BiDiMode = bdLeftToRight;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void Paint() override;
    virtual TColor GetDefaultFontColor() { return Font().Color(); }
    virtual std::string GetLabelCaption() { return Caption(); }
    // Draws (or with DT_CALCRECT measures) the caption into Rect.
    virtual void DoDrawText(TRect& Rect, unsigned Flags);
    virtual void AdjustBounds();
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void ResizeAndRepaint();
    void UpdateTracking();
    void SetHot(bool Value);
    bool FocusShown() const;
    void DrawCaption(TCanvas& Canvas, TRect& Rect, unsigned Flags);

    TWinControl* focusControl_ = nullptr;
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    TTextLayout layout_ = tlTop;
    TColor shadowColor_ = clBtnHighlight;
    std::uint8_t shadowSize_ = 1;
    TShadowPosition shadowPos_ = spLeftTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    bool showFocus_ = false;
    int leftMargin_ = 0;
    int rightMargin_ = 0;
    bool mouseInControl_ = false;
    bool dragging_ = false;
};

class TKsLabel : public TKsCustomLabel {
    DECLARE_CLASS(TKsLabel, TKsCustomLabel)
public:
    using TKsCustomLabel::TKsCustomLabel;
};

#pragma once

// The text label: a graphic control that draws its caption with the
// alignment, layout and wrapping asked for, and can size itself to it.

#include <cstdint>

#include "platform/ui/Controls.h"
#include "platform/ui/ExtCtrls.h"

enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

class TCustomLabel : public TGraphicControl {
    DECLARE_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout Value);
    bool Transparent() const { return !ControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool Value);
    // The control that an accelerator in the caption focuses.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* Value);

protected:
    void Paint() override;
    // Draws (or with DT_CALCRECT measures) the caption into Rect.
    virtual void DoDrawText(TRect& Rect, unsigned Flags);
    // Sizes the label to its text when AutoSize is on.
    virtual void AdjustBounds();
    virtual std::string LabelText() const { return Caption(); }
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool autoSize_ = true;
    bool showAccelChar_ = true;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
    DECLARE_CLASS(TLabel, TCustomLabel)
public:
    explicit TLabel(TComponent* AOwner);
};

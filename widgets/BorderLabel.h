#pragma once

// A label whose caption carries a one-pixel outline in a second colour, so
// it reads on any background.

#include "platform/ui/StdLabel.h"

class TBorderLabel : public TCustomLabel {
    DECLARE_CLASS(TBorderLabel, TCustomLabel)
public:
    explicit TBorderLabel(TComponent* AOwner);

    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor Value);

protected:
    void DoDrawText(TRect& Rect, unsigned Flags) override;

private:
    TColor borderColor_ = clWhite;
};

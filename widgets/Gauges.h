#pragma once

// A painted progress indicator: text only, horizontal or vertical bar, pie
// or needle, with the percentage in the middle drawn in the inverse of what
// lies under it.

#include <cstdint>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

enum TGaugeKind : std::uint8_t { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

namespace Gauges {
// Puts MinValue, MaxValue and Progress into the table of published
// properties (done by the first gauge made, too).
void PublishProperties();
} // namespace Gauges

// A bitmap made to match another one.
class TBltBitmap : public TBitmap {
public:
    // Takes Bitmap's size and fills itself with the window-frame colour.
    void MakeLike(TBitmap& Bitmap);
};

class TGauge : public TGraphicControl {
    DECLARE_CLASS(TGauge, TGraphicControl)
public:
    explicit TGauge(TComponent* AOwner);

    int MinValue() const { return minValue_; }
    void SetMinValue(int Value);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int Value);
    int Progress() const { return progress_; }
    void SetProgress(int Value);
    void AddProgress(int Value);
    // Whole percent of the range reached; 0 for an empty range.
    int PercentDone() const;

    TGaugeKind Kind() const { return kind_; }
    void SetKind(TGaugeKind Value);
    bool ShowText() const { return showText_; }
    void SetShowText(bool Value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle Value);
    TColor ForeColor() const { return foreColor_; }
    void SetForeColor(TColor Value);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor Value);

protected:
    void Paint() override;

private:
    void DrawLook(TCanvas& Canvas, const TRect& PaintRect);
    void PaintBar(TCanvas& Canvas, const TRect& PaintRect);
    void PaintPie(TCanvas& Canvas, const TRect& PaintRect);
    void PaintNeedle(TCanvas& Canvas, const TRect& PaintRect);
    void PaintText(TCanvas& Canvas, const TRect& PaintRect);

    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 0;
    TGaugeKind kind_ = gkHorizontalBar;
    bool showText_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    TColor foreColor_ = clBlack;
    TColor backColor_ = clWhite;
};

#pragma once

// Scrolling containers: a window whose children can lie beyond its client
// area, with scroll bars that move them (TForm and TScrollBox build on it).

#include <memory>

#include "platform/ui/Controls.h"

class TScrollingWinControl;

enum TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };
enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

// One scroll bar of a scrolling control. Position is how far the contents
// are scrolled; Range is the extent of the contents.
class TControlScrollBar {
public:
    TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind);
    ~TControlScrollBar();
    TControlScrollBar(const TControlScrollBar&) = delete;
    TControlScrollBar& operator=(const TControlScrollBar&) = delete;

    TScrollBarKind Kind() const { return kind_; }
    int Position() const { return position_; }
    void SetPosition(int Value);
    int Range() const { return range_; }
    void SetRange(int Value);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    // Whether the bar is shown now (contents larger than the client area).
    bool IsScrollBarVisible() const { return shown_; }
    int ScrollPos() const { return IsScrollBarVisible() ? position_ : 0; }
    // Lines move by Increment, pages by the client size.
    int Increment = 8;
    // Scroll while the thumb is dragged, not only when it is let go.
    bool Tracking = false;

    // The contents' size the bar may scroll over (client extent).
    int ControlSize() const;
    int MaxPosition() const;
    // WM_HSCROLL / WM_VSCROLL request.
    void ScrollMessage(WPARAM request, int thumbPos);

private:
    friend class TScrollingWinControl;
    void Update();

    void UpdateNative();

    TScrollingWinControl* control_;
    TScrollBarKind kind_;
    int position_ = 0;
    int range_ = 0;
    bool visible_ = true;
    bool shown_ = false;
    struct Native;
    std::unique_ptr<Native> native_;
};

class TScrollingWinControl : public TWinControl {
    DECLARE_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    ~TScrollingWinControl() override;

    TControlScrollBar& HorzScrollBar() { return *horz_; }
    TControlScrollBar& VertScrollBar() { return *vert_; }
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool Value);

    // Moves the children by (DeltaX, DeltaY) and repaints.
    void ScrollBy(int DeltaX, int DeltaY);
    // Scrolls so that the control is fully visible.
    void ScrollInView(TControl* AControl);

    TRect ClientRect() const override;
    // Recomputes the ranges from the children (auto-scroll) and the bars.
    void UpdateScrollBars();

protected:
    void Dispatch(TMessage& Message) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void BoundsChanged(const TRect& oldBounds) override;
    void ControlChanged(TControl* Child) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    static constexpr int ScrollBarSize = 16;

private:
    friend class TControlScrollBar;
    void CalcAutoRange();

    std::unique_ptr<TControlScrollBar> horz_;
    std::unique_ptr<TControlScrollBar> vert_;
    bool autoScroll_ = true;
    bool updatingBars_ = false;
};

class TScrollBox : public TScrollingWinControl {
    DECLARE_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* AOwner);

    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle Value);

protected:
    void PaintWindow(TCanvas& DC) override;

private:
    TBorderStyle borderStyle_ = bsSingle;
};

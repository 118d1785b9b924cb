#pragma once

// The size rectangle of the placement dialog: a rectangle with eight grips
// and a marching border that the user moves and sizes with the mouse over a
// miniature screen. It comes as a graphic control that can lie transparent
// over an image (TSizeRect) and as a windowed control that shows a picture
// without flicker (TSizeRectDoubleBuffer); both behave alike.

#include <functional>
#include <memory>

#include "editor/app/SizeRectDrag.h"
#include "platform/ui/Controls.h"

class TPicture;
class TTimer;

// Asked before a change of the rectangle (in the parent's coordinates); the
// handler may change it, or set Accept to false to refuse it.
using TResizeNotifyEvent = std::function<void(TObject* Sender, TRect& NewRect, bool& Accept)>;

template <class TBase> class TSizeRectControl : public TBase {
public:
    explicit TSizeRectControl(TComponent* AOwner);
    ~TSizeRectControl() override;

    bool AllowMove = true;
    bool AnimateBorder() const { return animateBorder_; }
    void SetAnimateBorder(bool Value);
    // Off: the rectangle stays inside its parent and at least its minimum size.
    bool Clip = false;
    int GripSize() const { return gripSize_; }
    void SetGripSize(int Value);
    // Keep the width:height ratio the rectangle has when a drag starts.
    bool KeepProportions = false;
    TPicture& Picture() { return *picture_; }
    // Shows a copy of the picture.
    void SetPicture(const TPicture* Value);
    bool StretchPicture() const { return stretchPicture_; }
    void SetStretchPicture(bool Value);
    int MinWidth = 10;
    int MinHeight = 10;
    // Kept for whoever reads them; no maximum is applied.
    int MaxWidth = -1;
    int MaxHeight = -1;

    TResizeNotifyEvent OnResize;
    TResizeNotifyEvent OnEndResize;

    // The marching border's state: its phase (0 to 7) and whether its first
    // dash is black.
    int DashPhase() const { return dashPhase_; }
    bool DashBlack() const { return dashBlack_; }
    bool DragRunning() const { return dragging_; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Whether the control fills its background before painting.
    virtual bool PaintsBackground() const { return true; }

private:
    void AnimationTimer();
    void DrawBorder(TCanvas& Canvas);
    void DragTo(TPoint At);
    void EndDragging();
    SizeRectDrag::TLimits Limits() const;
    TPoint ToParent(int X, int Y) const { return Point(X + this->Left(), Y + this->Top()); }

    std::unique_ptr<TPicture> picture_;
    TTimer* timer_ = nullptr;
    bool animateBorder_ = false;
    int gripSize_ = 5;
    bool stretchPicture_ = true;
    int dashPhase_ = 0;
    bool dashBlack_ = true;
    bool dragging_ = false;
    SizeRectDrag::TZone zone_ = SizeRectDrag::zMove;
    TRect startRect_{};
    // The rectangle as the drag left it, inverted when turned inside out (the
    // control's bounds are always the right way round).
    TRect dragRect_{};
    TPoint last_{};
};

class TSizeRect : public TSizeRectControl<TGraphicControl> {
    DECLARE_CLASS(TSizeRect, TGraphicControl)
public:
    explicit TSizeRect(TComponent* AOwner);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool Value);

protected:
    bool PaintsBackground() const override { return !transparent_; }

private:
    bool transparent_ = false;
};

class TSizeRectDoubleBuffer : public TSizeRectControl<TCustomControl> {
    DECLARE_CLASS(TSizeRectDoubleBuffer, TCustomControl)
public:
    explicit TSizeRectDoubleBuffer(TComponent* AOwner);

protected:
    // The control paints all of itself: erasing first would only flicker.
    void EraseBackground(TCanvas&) override { }
};

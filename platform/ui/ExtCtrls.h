#pragma once

// Panels, bevels, paint boxes, images, shapes and the timer component.

#include <cstdint>
#include <memory>

#include "platform/graphics/Picture.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ScrollBox.h"

enum TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelShape : std::uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle : std::uint8_t { bsLowered, bsRaised };
enum TShapeType : std::uint8_t { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

namespace ExtCtrls {

// The 3-D edge of panels and bevels: light on the top-left, dark on the
// bottom-right (or the other way round), Width pixels deep; shrinks Rect.
void Frame3D(TCanvas& Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

} // namespace ExtCtrls

class TCustomPanel : public TCustomControl {
    DECLARE_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner);

    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel Value);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int Value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle Value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);

protected:
    void Paint() override;
    // Children align inside the border and bevels.
    TRect AlignRect() const override;
    void Dispatch(TMessage& Message) override;
    // The panel shows its caption; descendants that draw their own clear this.
    bool ShowCaption = true;

private:
    int EdgeWidth() const;
    void Changed();

    TPanelBevel bevelInner_ = bvNone;
    TPanelBevel bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
    TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
    DECLARE_CLASS(TPanel, TCustomPanel)
public:
    explicit TPanel(TComponent* AOwner);
};

class TBevel : public TGraphicControl {
    DECLARE_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* AOwner);

    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};

class TPaintBox : public TGraphicControl {
    DECLARE_CLASS(TPaintBox, TGraphicControl)
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

class TImage : public TGraphicControl {
    DECLARE_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture& Picture() { return *picture_; }
    void SetPicture(const TPicture* Value) { picture_->Assign(Value); }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool Value);
    bool Center() const { return center_; }
    void SetCenter(bool Value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool Value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value);

protected:
    void Paint() override;
    // Where the picture is drawn within the control.
    TRect DestRect() const;

private:
    void PictureChanged();

    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool transparent_ = false;
    bool autoSize_ = false;
};

class TShape : public TGraphicControl {
    DECLARE_CLASS(TShape, TGraphicControl)
public:
    explicit TShape(TComponent* AOwner);

    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType Value);
    // Change them and call Invalidate (or set them whole with the setters).
    TPen Pen;
    TBrush Brush;
    void SetPen(const TPen& Value);
    void SetBrush(const TBrush& Value);

protected:
    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
};

// Fires OnTimer every Interval milliseconds on the main thread while Enabled.
class TTimer : public TComponent {
    DECLARE_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned Value);
    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& Message);

    bool enabled_ = true;
    unsigned interval_ = 1000;
    HWND window_ = nullptr;
};

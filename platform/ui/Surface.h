#pragma once

// The window behind a windowed control: a Qt widget that shows the control's
// 32-bit back buffer and turns the widget's events into window messages.
// Internal to the UI layer and its tests; the rest of the system sees only
// the controls.

#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Surface.h"
#include "platform/ui/Messages.h"

class TBitmap;
class TWinControl;

namespace ui {

class TWindowSurface : public TPixelSurface {
public:
    TWindowSurface(TWinControl* control, HWND handle, QWidget* parentWidget);
    ~TWindowSurface() override;
    TWindowSurface(const TWindowSurface&) = delete;
    TWindowSurface& operator=(const TWindowSurface&) = delete;

    QWidget* Widget() const { return widget_; }
    TWinControl* Control() const { return control_; }
    HWND Handle() const { return handle_; }

    TPixelBuffer PixelBuffer() override;
    // Pixels drawn outside a paint are shown at the next turn of the loop.
    void PixelsChanged(const TRect& area) override;

    // The canvas over the back buffer (for paints and for drawing outside them).
    TCanvas& Canvas() { return canvas_; }

    // Marks a part of the window (nullptr: all) to be painted with WM_PAINT.
    void Invalidate(const TRect* area);
    bool HasInvalidArea() const { return !invalid_.IsEmpty(); }
    // Sends WM_PAINT for the marked part, if any.
    void PaintInvalidArea();
    // Paints the marked part and puts everything changed on screen now.
    void Flush();

    // Moves and sizes the widget to the control's bounds.
    void SetGeometry(const TRect& bounds);
    void SetShown(bool shown);
    // The mouse cursor over the window (a graphic child's while over it).
    void ShowCursorShape(std::int16_t cursor);
    // Number of times the back buffer went to the screen (for tests).
    int PresentCount() const { return presentCount_; }

    // Called by the widget.
    void WidgetResized(int width, int height);
    // The user moved or sized a top-level window: the control follows.
    void SyncControlBounds();
    void Presented() { ++presentCount_; }
    const QImage& BackBuffer() const { return image_; }

private:
    TWinControl* control_;
    HWND handle_;
    QPointer<QWidget> widget_;
    QImage image_;
    TCanvas canvas_;
    TRect invalid_;
    int presentCount_ = 0;
};

// The window of a control (made on demand) and the control of a widget.
QWidget* WidgetOf(TWinControl* control);
TWinControl* ControlOfWidget(const QWidget* widget);

// The cursor shape of a cursor number (through Screen->Cursors).
QCursor CursorOf(std::int16_t cursor);

// A bitmap as a Qt image; pixels of TransparentColor become see-through
// when Transparent.
QImage ImageOfBitmap(TBitmap& Image, bool Transparent, TColor TransparentColor);

// The window-system side of keys.
WORD VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

} // namespace ui

#pragma once

// The window behind a windowed control: it shows the control's 32-bit back
// buffer and turns the window system's events into window messages. Every
// call the layer makes on a window goes through this class; the toolkit's
// side of it lives in platform/ui/qt/ (Native). Internal to the UI layer and
// its tests: the rest of the system sees only the controls. (Not to be
// confused with platform/graphics/Surface.h, the pixel memory a canvas draws
// into, which this window is one kind of.)

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Surface.h"
#include "platform/ui/Messages.h"

class TBitmap;
class TWinControl;

namespace ui {

// The frame the window system draws around a top-level window.
struct TWindowFrame {
    enum class TKind : std::uint8_t { Normal, Frameless, Dialog, Tool };
    TKind Kind = TKind::Normal;
    bool TitleBar = false;
    bool SystemMenu = false;
    bool MinimizeButton = false;
    bool MaximizeButton = false;
    bool StayOnTop = false;
};

// How a top-level window is shown.
enum class TShowState : std::uint8_t { Normal, Minimized, Maximized, FullScreen };

// The largest width or height a window can have: a size limit that leaves
// its side open.
constexpr int UnlimitedWindowSize = 16777215;

class TWindowSurface : public TPixelSurface {
public:
    // A child window inside the parent's window, or a top-level window.
    TWindowSurface(TWinControl* control, HWND handle, TWindowSurface* parent);
    ~TWindowSurface() override;
    TWindowSurface(const TWindowSurface&) = delete;
    TWindowSurface& operator=(const TWindowSurface&) = delete;

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
    // Number of times the back buffer went to the screen (for tests).
    int PresentCount() const { return presentCount_; }

    // Moves and sizes the window to the control's bounds.
    void SetGeometry(const TRect& bounds);
    void SetShown(bool shown);
    // Whether the window system shows the window now.
    bool IsShown() const;
    void SetEnabled(bool enabled);
    // The mouse cursor over the window (a graphic child's while over it).
    void ShowCursorShape(std::int16_t cursor);
    // Hands the window system's keyboard focus to the window.
    void TakeFocus();
    // The screen position of the client area's top left corner, and of the
    // frame's for a top-level window (the client's for a child window);
    // nothing once the toolkit dropped the window.
    std::optional<TPoint> ScreenOrigin() const;
    std::optional<TPoint> FrameOrigin() const;
    // Above or below its sibling windows.
    void Raise();
    void Lower();

    // Top-level windows: title, icon (nullptr: none; pixels of the key
    // colour are see-through), the sizes the user's resizing may reach,
    // frame, show state, activation and modality.
    void SetTitle(const std::string& title);
    void SetIcon(TBitmap* picture, TColor key);
    void SetSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight);
    // True when the new frame took the shown window off the screen, so it
    // must be shown again.
    bool Reframe(const TWindowFrame& frame);
    void ShowInState(TShowState state);
    bool IsFullScreen() const;
    // Brings the window to the front and gives it the activation.
    void Activate();
    // While modal, the window takes every input of the application.
    bool ApplicationModal() const;
    void SetApplicationModal(bool modal);

    // The toolkit's side (the widget and the back buffer), reached by the
    // backend only.
    struct Native;
    Native& Toolkit() const { return *native_; }

    // The toolkit reports: the window got a new size; the user moved or
    // sized a top-level window (the control follows); the back buffer went
    // to the screen.
    void Resized(int width, int height);
    void SyncControlBounds();
    void Presented() { ++presentCount_; }

private:
    TWinControl* control_;
    HWND handle_;
    std::unique_ptr<Native> native_;
    TCanvas canvas_;
    TRect invalid_;
    int presentCount_ = 0;
};

} // namespace ui

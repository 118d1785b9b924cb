#pragma once

// The credits panel of the About boxes: text lines scroll through the panel
// one pixel per tick, with an optional glyph beside them, while the panel's
// own children are hidden.
//
// Threads: by default the ticks run on the threaded timer's worker. The
// worker only renders into the off-screen frame, holding the frame lock, and
// then posts a message to the panel; the frame reaches the window on the
// user-interface thread. Everything the worker reads is a snapshot taken
// under the same lock, so property changes on the user-interface thread never
// race with a frame. Stopping takes the frame lock before it releases the
// frame, so it waits for a frame in progress, and a later tick finds no frame
// and draws nothing.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ExtCtrls.h"
#include "widgets/DrawUtils.h"

class TKsTimer;

namespace KSCtrls {
// The drag-and-drop target has a scroll direction of its own.
enum TScrollDirection : std::uint8_t { sdVertical, sdHorizontal };
} // namespace KSCtrls

enum TGlyphLayout : std::uint8_t { glGlyphLeft, glGlyphRight, glGlyphTop, glGlyphBottom };

using TPaintClientEvent = std::function<void(TObject* Sender, TCanvas& Canvas, const TRect& Rect)>;

class TSecretPanel : public TCustomPanel {
    DECLARE_CLASS(TSecretPanel, TCustomPanel)
public:
    explicit TSecretPanel(TComponent* AOwner);
    ~TSecretPanel() override;

    bool Active() const { return active_; }
    void SetActive(bool Value);
    void Play() { SetActive(true); }
    void Stop() { SetActive(false); }

    TStrings& Lines() { return *lines_; }
    void SetLines(const TStrings& Value) { lines_->Assign(&Value); }
    TBitmap& Glyph() { return *glyph_; }
    void SetGlyph(const TBitmap& Value) { glyph_->Assign(&Value); }
    // Read by the timer's worker.
    std::atomic<bool> Cycled{false};
    TPanelBevel TextStyle() const { return textStyle_; }
    void SetTextStyle(TPanelBevel Value);
    KSCtrls::TScrollDirection ScrollDirection() const { return direction_; }
    void SetScrollDirection(KSCtrls::TScrollDirection Value);
    // Right-to-left reading: horizontal lines enter from the left (taken
    // over when scrolling starts or the layout changes).
    TBiDiMode BiDiMode = bdLeftToRight;
    TGlyphLayout GlyphLayout() const { return glyphLayout_; }
    void SetGlyphLayout(TGlyphLayout Value);
    std::uint32_t Interval() const;
    void SetInterval(std::uint32_t Value);
    bool AsyncDrawing() const { return asyncDrawing_; }
    void SetAsyncDrawing(bool Value);

    TPaintClientEvent OnPaintClient;
    TNotifyEvent OnStartPlay;
    TNotifyEvent OnStopPlay;

protected:
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void Resize() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Paints the background of Rect; the brush is already the panel colour.
    // May run on the timer's worker (inside a frame).
    virtual void PaintClient(TCanvas& Canvas, const TRect& Rect);
    // One tick: scrolls a pixel and renders the frame.
    virtual void TimerExpired(TObject* Sender);
    virtual void StartPlay();
    virtual void StopPlay();

    // What the last layout found (for descendants and tests).
    int ScrollCount();
    int MaxScroll();
    int FirstLine();
    int LineHeight();
    TRect TextRect();
    TPoint GlyphOrigin();

private:
    // Everything a frame needs, copied on the user-interface thread.
    struct FrameSetup {
        std::vector<std::string> Lines;
        int FirstLine = 0;
        int LineHeight = 0;
        int MaxScroll = 0;
        TRect TextRect;
        TRect PaintRect;
        TPoint GlyphOrigin;
        TColor Color = clBtnFace;
        TColor FontColor = clBlack;
        TAlignment Alignment = taCenter;
        TPanelBevel TextStyle = bvNone;
        KSCtrls::TScrollDirection Direction = KSCtrls::sdVertical;
        TBiDiMode BiDiMode = bdLeftToRight;
    };

    void Start();
    void Finish();
    void HideChildren();
    void ShowChildren();
    void Changed();
    // The layout and a fresh frame after a change, while active.
    void UpdateMemoryImage();
    void RecalcDrawRect(FrameSetup& Setup) const;
    // Draws the lines of the current scroll position (frame lock held).
    void PaintText();
    void PresentFrame(TCanvas& Target);
    void PostFrame();
    void RequestStop();

    std::unique_ptr<TStringList> lines_;
    std::unique_ptr<TBitmap> glyph_;
    std::unique_ptr<TKsTimer> timer_;
    bool active_ = false;
    bool asyncDrawing_ = true;
    TPanelBevel textStyle_ = bvNone;
    KSCtrls::TScrollDirection direction_ = KSCtrls::sdVertical;
    TGlyphLayout glyphLayout_ = glGlyphLeft;
    std::vector<TControl*> hidden_;

    // Guarded by frameLock_: the worker reads them during a frame.
    std::mutex frameLock_;
    FrameSetup setup_;
    int scrollCount_ = 0;
    std::unique_ptr<TBitmap> memoryImage_;
    // The memory image holds a frame (none before the first tick).
    bool frameDrawn_ = false;
    HWND window_ = nullptr;
    // A frame message is on its way; one is enough.
    std::atomic<bool> framePosted_{false};
};

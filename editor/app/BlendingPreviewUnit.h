#pragma once

// "aktuelle Überblendung": a small window that stays on top and shows the
// transition chosen in the main window over and over, a yellow "A" and a
// navy "B" taking turns once a second. The effect is read at every step, so
// choosing another transition shows at the next one.

#include <functional>
#include <memory>

#include "platform/ui/Forms.h"

class TBitmap;
class TPaintBox;
class TTimer;

class TBlendingPreviewForm : public TForm {
    DECLARE_CLASS(TBlendingPreviewForm, TForm)
public:
    // Effect gives the transition to show at each step.
    TBlendingPreviewForm(TComponent* AOwner, std::function<int()> Effect);
    ~TBlendingPreviewForm() override;

    // Shows the preview, making it once; it stays until it is closed.
    static TBlendingPreviewForm* Open(TComponent* AOwner, std::function<int()> Effect);
    // The open preview, or none.
    static TBlendingPreviewForm* Current();

    // One step: the other frame brought in with the transition.
    void Step();
    // Frame A (Phase true) or B at a size: a big letter on a filled ground.
    static std::unique_ptr<TBitmap> Frame(bool Phase, int Width, int Height);

    bool Phase() const { return phase_; }
    const TBitmap* OldBitmap() const { return old_.get(); }

    TPaintBox* PaintBox = nullptr;
    // One step a second on the main thread.
    TTimer* StepTimer = nullptr;

    static constexpr unsigned StepInterval = 1000;

private:
    void PaintBoxPaint();

    std::function<int()> effect_;
    bool phase_ = false;
    std::unique_ptr<TBitmap> old_;
};

#pragma once

// The common part of the dialogs whose values show on the picture while
// they are open: the "Vorschau" button, the "automatische Vorschau" box and
// the rule that every preview replaces the previous one and that closing
// takes the last one back.

#include <string>

#include "platform/ui/Forms.h"

class TBitBtn;
class TCheckBox;
class TLabel;
class TPreviewTarget;
class TTrackBar;

class TAdjustPreviewForm : public TForm {
    DECLARE_CLASS(TAdjustPreviewForm, TForm)
public:
    TAdjustPreviewForm(TComponent* AOwner, TPreviewTarget* Target);

    TBitBtn* PreviewButton = nullptr;
    TCheckBox* AutoPreviewCheck = nullptr;
    TBitBtn* OKButton = nullptr;
    TBitBtn* CancelButton = nullptr;

    // Takes the previous preview back (or drops the undo copy before the
    // first) and applies the dialog's current values.
    void Preview();
    // True until the first preview is applied.
    bool NoPreviewYet() const { return noPreviewYet_; }

protected:
    // The target's adjustment with the dialog's current values.
    virtual void ApplyPreview(TPreviewTarget& target) = 0;
    // A value changed: previews when automatic preview is on.
    void ValueChanged();
    // The box was clicked; by default previews, then stores the box's state.
    virtual void AutoPreviewClicked();

    // A labelled track bar row at top with the three scale labels under it.
    TTrackBar* AddTrackBar(const std::string& Caption, int Top, int Min, int Max, const std::string& LeftText,
                           const std::string& MiddleText, const std::string& RightText);
    // Places the preview controls and OK / Cancel at top, sizes the form.
    void FinishLayout(int Top, const std::string& Glyph);
    void StoreAutoPreview();

    TPreviewTarget* target_;

private:
    void FormClose(TObject* Sender, TCloseAction& Action);

    bool noPreviewYet_ = true;
};

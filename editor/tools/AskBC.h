#pragma once

// The brightness/contrast dialog: two percentages from -100 to 100.

#include "editor/tools/AdjustPreview.h"

class TAskBCForm : public TAdjustPreviewForm {
    DECLARE_CLASS(TAskBCForm, TAdjustPreviewForm)
public:
    TAskBCForm(TComponent* AOwner, TPreviewTarget* Target);

    // Shows the dialog with the values; on OK they take the new ones and the
    // result is true. The form frees itself when it closes.
    bool Execute(int& Brightness, int& Contrast);

    TTrackBar* BrightnessTrack = nullptr;
    TTrackBar* ContrastTrack = nullptr;

protected:
    void ApplyPreview(TPreviewTarget& target) override;
};

#pragma once

// The red/green/blue correction dialog: three offsets from -255 to 255.

#include "editor/tools/AdjustPreview.h"

class TImage;

class TAskRGBForm : public TAdjustPreviewForm {
    DECLARE_CLASS(TAskRGBForm, TAdjustPreviewForm)
public:
    TAskRGBForm(TComponent* AOwner, TPreviewTarget* Target);

    // Shows the dialog with the offsets; on OK they take the new values and
    // the result is true. The form frees itself when it closes.
    bool Execute(int& Red, int& Green, int& Blue);

    TTrackBar* RedTrack = nullptr;
    TTrackBar* GreenTrack = nullptr;
    TTrackBar* BlueTrack = nullptr;

protected:
    void ApplyPreview(TPreviewTarget& target) override;
};

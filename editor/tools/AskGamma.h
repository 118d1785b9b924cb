#pragma once

// The gamma dialog: a gamma of 0.01 to 5 per channel (track positions of
// hundredths), optionally all three moved together, and the inverted curve.

#include "editor/tools/AdjustPreview.h"

class TAskGammaForm : public TAdjustPreviewForm {
    DECLARE_CLASS(TAskGammaForm, TAdjustPreviewForm)
public:
    TAskGammaForm(TComponent* AOwner, TPreviewTarget* Target);

    // Shows the dialog with the values; on OK they take the new ones and the
    // result is true. The form frees itself when it closes.
    bool Execute(double& RedGamma, double& GreenGamma, bool& Invert, double& BlueGamma);

    // A gamma's track position and back.
    static int PositionOfGamma(double Gamma);
    static double GammaOfPosition(int Position) { return Position / 100.0; }

    TTrackBar* RedTrack = nullptr;
    TTrackBar* GreenTrack = nullptr;
    TTrackBar* BlueTrack = nullptr;
    TCheckBox* AllEqualCheck = nullptr;
    TCheckBox* InvertCheck = nullptr;

protected:
    void ApplyPreview(TPreviewTarget& target) override;
    void AutoPreviewClicked() override;

private:
    void TrackMoved(TTrackBar* Moved);
};

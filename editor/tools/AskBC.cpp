#include "editor/tools/AskBC.h"

#include "editor/tools/PreviewTarget.h"
#include "platform/ui/ComCtrls.h"

IMPLEMENT_CLASS(TAskBCForm)

TAskBCForm::TAskBCForm(TComponent* AOwner, TPreviewTarget* Target) : TAdjustPreviewForm(AOwner, Target)
{
    SetCaption("Helligkeit/Kontrast");
    BrightnessTrack = AddTrackBar("Helligkeit", 12, -100, 100, "-100%", "0%", "100%");
    ContrastTrack = AddTrackBar("Kontrast", 60, -100, 100, "-100%", "0%", "100%");
    FinishLayout(112, "BCBitmap");
}

bool TAskBCForm::Execute(int& Brightness, int& Contrast)
{
    BrightnessTrack->SetPosition(Brightness);
    ContrastTrack->SetPosition(Contrast);
    if (ShowModal() != mrOk)
        return false;
    Brightness = BrightnessTrack->Position();
    Contrast = ContrastTrack->Position();
    return true;
}

void TAskBCForm::ApplyPreview(TPreviewTarget& target)
{
    target.ApplyBC(BrightnessTrack->Position(), ContrastTrack->Position());
}

#include "editor/tools/AskRGB.h"

#include "editor/tools/PreviewTarget.h"
#include "editor/tools/ToolResources.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TAskRGBForm)

TAskRGBForm::TAskRGBForm(TComponent* AOwner, TPreviewTarget* Target) : TAdjustPreviewForm(AOwner, Target)
{
    SetCaption("Rot/Grün/Blau-Korrektur");
    auto* bow = new TImage(this);
    bow->SetParent(this);
    bow->SetBounds(12, 8, 48, 48);
    ToolResources::LoadBitmap(bow->Picture().Bitmap(), "RGBBow");
    auto* hint = new TLabel(this);
    hint->SetParent(this);
    hint->SetAutoSize(false);
    hint->SetWordWrap(true);
    hint->SetCaption("Setzen die z.B. den Blauwert zurück, um einen Blaustich zu korregieren.");
    hint->SetBounds(72, 12, 296, 40);
    RedTrack = AddTrackBar("Rot", 64, -255, 255, "-100%", "0%", "100%");
    GreenTrack = AddTrackBar("Grün", 112, -255, 255, "-100%", "0%", "100%");
    BlueTrack = AddTrackBar("Blau", 160, -255, 255, "-100%", "0%", "100%");
    FinishLayout(214, "RGBBitmap");
}

bool TAskRGBForm::Execute(int& Red, int& Green, int& Blue)
{
    RedTrack->SetPosition(Red);
    GreenTrack->SetPosition(Green);
    BlueTrack->SetPosition(Blue);
    if (ShowModal() != mrOk)
        return false;
    Red = RedTrack->Position();
    Green = GreenTrack->Position();
    Blue = BlueTrack->Position();
    return true;
}

void TAskRGBForm::ApplyPreview(TPreviewTarget& target)
{
    target.ApplyRGB(RedTrack->Position(), GreenTrack->Position(), BlueTrack->Position());
}

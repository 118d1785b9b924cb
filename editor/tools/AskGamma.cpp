#include "editor/tools/AskGamma.h"

#include <cmath>

#include "editor/tools/PreviewTarget.h"
#include "editor/tools/ToolResources.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TAskGammaForm)

namespace {

TCheckBox* AddCheck(TWinControl* Parent, const std::string& Caption, int Left, int Top)
{
    auto* check = new TCheckBox(Parent);
    check->SetParent(Parent);
    check->SetCaption(Caption);
    check->SetBounds(Left, Top, 170, 20);
    return check;
}

} // namespace

TAskGammaForm::TAskGammaForm(TComponent* AOwner, TPreviewTarget* Target) : TAdjustPreviewForm(AOwner, Target)
{
    SetCaption("Gamma-Korrektur");
    auto* bow = new TImage(this);
    bow->SetParent(this);
    bow->SetBounds(12, 8, 48, 48);
    ToolResources::LoadBitmap(bow->Picture().Bitmap(), "RGBBow");
    auto* text = new TLabel(this);
    text->SetParent(this);
    text->SetAutoSize(false);
    text->SetWordWrap(true);
    text->SetCaption("Mit der Gamma-Korrektur können Sie die Bildhelligkeit sehr natürlich verändern.");
    text->SetBounds(72, 12, 296, 40);
    RedTrack = AddTrackBar("Rot", 64, 1, 500, "0.01", "", "5");
    GreenTrack = AddTrackBar("Grün", 112, 1, 500, "0.01", "", "5");
    BlueTrack = AddTrackBar("Blau", 160, 1, 500, "0.01", "", "5");
    for (TTrackBar* track : {RedTrack, GreenTrack, BlueTrack})
        track->OnChange = [this, track](TObject*) { TrackMoved(track); };
    AllEqualCheck = AddCheck(this, "Alle Regler gleich", 12, 210);
    AllEqualCheck->OnClick = [this](TObject*) {
        if (AllEqualCheck->Checked()) {
            GreenTrack->SetPosition(RedTrack->Position());
            BlueTrack->SetPosition(RedTrack->Position());
        }
    };
    InvertCheck = AddCheck(this, "Invertiermodus", 190, 210);
    InvertCheck->OnClick = [this](TObject*) { ValueChanged(); };
    FinishLayout(240, "GammaBitmap");
}

int TAskGammaForm::PositionOfGamma(double Gamma) { return static_cast<int>(std::nearbyint(Gamma * 100)); }

bool TAskGammaForm::Execute(double& RedGamma, double& GreenGamma, bool& Invert, double& BlueGamma)
{
    RedTrack->SetPosition(PositionOfGamma(RedGamma));
    GreenTrack->SetPosition(PositionOfGamma(GreenGamma));
    BlueTrack->SetPosition(PositionOfGamma(BlueGamma));
    InvertCheck->OnClick = nullptr;
    InvertCheck->SetChecked(Invert);
    InvertCheck->OnClick = [this](TObject*) { ValueChanged(); };
    if (ShowModal() != mrOk)
        return false;
    RedGamma = GammaOfPosition(RedTrack->Position());
    GreenGamma = GammaOfPosition(GreenTrack->Position());
    BlueGamma = GammaOfPosition(BlueTrack->Position());
    Invert = InvertCheck->Checked();
    return true;
}

void TAskGammaForm::TrackMoved(TTrackBar* Moved)
{
    if (AllEqualCheck->Checked())
        for (TTrackBar* track : {RedTrack, GreenTrack, BlueTrack})
            if (track != Moved)
                track->SetPosition(Moved->Position());
    ValueChanged();
}

void TAskGammaForm::ApplyPreview(TPreviewTarget& target)
{
    target.ApplyGamma(GammaOfPosition(RedTrack->Position()), GammaOfPosition(GreenTrack->Position()),
                      GammaOfPosition(BlueTrack->Position()), InvertCheck->Checked());
}

void TAskGammaForm::AutoPreviewClicked()
{
    StoreAutoPreview();
    if (AutoPreviewCheck->Checked())
        Preview();
}

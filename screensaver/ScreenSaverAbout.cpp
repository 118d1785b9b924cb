#include "screensaver/ScreenSaverAbout.h"

#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/ScrollLabel.h"

IMPLEMENT_CLASS(TScreenSaverAboutForm)

namespace {

constexpr int Margin = 8;
constexpr int BoxWidth = 300;
constexpr unsigned CreditsInterval = 150;
constexpr const char* Credits = "Vistelo-Bildschirmschoner  -  spielt Ihre Vistelo mit Bildern, Kommentaren und "
                                "Überblendungen ab, solange Sie Pause machen  -  Ostrelind  -  ";

} // namespace

TScreenSaverAboutForm::TScreenSaverAboutForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Info");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(BoxWidth);

    TitleLabel = new TLabel(this);
    TitleLabel->SetParent(this);
    TitleLabel->SetCaption("Vistelo - Bildschirmschoner");
    TitleLabel->SetBounds(Margin, Margin, BoxWidth - 2 * Margin, TitleLabel->Height());

    CreditsLabel = new TScrollLabel(this);
    CreditsLabel->SetParent(this);
    CreditsLabel->SetAutoSize(false);
    CreditsLabel->SetBounds(Margin, TitleLabel->Top() + TitleLabel->Height() + Margin, BoxWidth - 2 * Margin, 20);
    CreditsLabel->SetInterval(CreditsInterval);
    CreditsLabel->SetCaption(Credits);

    OKButton = new TButton(this);
    OKButton->SetParent(this);
    OKButton->SetCaption("OK");
    OKButton->Default = true;
    OKButton->Cancel = true;
    OKButton->ModalResult = mrOk;
    OKButton->SetBounds((BoxWidth - 90) / 2, CreditsLabel->Top() + CreditsLabel->Height() + Margin, 90, 25);
    SetClientHeight(OKButton->Top() + OKButton->Height() + Margin);

    OnActivate = [this](TObject*) { FormActivate(); };
    OnClose = [this](TObject*, TCloseAction& Action) { FormClose(Action); };
}

void TScreenSaverAboutForm::FormActivate() { CreditsLabel->SetActive(true); }

void TScreenSaverAboutForm::FormClose(TCloseAction& Action)
{
    CreditsLabel->SetActive(false);
    Action = caFree;
}

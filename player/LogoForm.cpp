#include "player/LogoForm.h"

#include "core/PictureLoading.h"
#include "platform/ui/ExtCtrls.h"

#include <algorithm>

IMPLEMENT_CLASS(TLogoForm)

namespace {
// The frame around the picture on each side.
constexpr int FrameWidth = 2;
} // namespace

TLogoForm::TLogoForm(TComponent* AOwner) : TForm(AOwner)
{
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    SetPosition(poScreenCenter);
    KeyPreview = true;
    SetBounds(0, 0, DesignWidth + 2 * FrameWidth, DesignHeight + 2 * FrameWidth);

    LogoPanel = new TPanel(this);
    LogoPanel->SetParent(this);
    LogoPanel->SetAlign(alClient);
    LogoPanel->SetBevelOuter(bvNone);
    LogoPanel->SetBorderWidth(0);

    LogoImage = new TImage(this);
    LogoImage->SetParent(LogoPanel);
    LogoImage->SetBounds(FrameWidth, FrameWidth, DesignWidth, DesignHeight);
    LogoImage->OnClick = [this](TObject* Sender) { LogoImageClick(Sender); };

    LogoTimer = new TTimer(this);
    LogoTimer->SetEnabled(false);
    LogoTimer->SetInterval(5000);
    LogoTimer->OnTimer = [this](TObject* Sender) { LogoTimerTimer(Sender); };

    OnKeyUp = [this](TObject* Sender, WORD& Key, TShiftState Shift) { FormKeyUp(Sender, Key, Shift); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

void TLogoForm::Execute(const std::string& FileName, int Time)
{
    LoadLogo(FileName);
    FitAndCentre();
    if (Time != -1) {
        LogoTimer->SetInterval(static_cast<unsigned>(std::max(Time, 0)));
        LogoTimer->SetEnabled(true);
    }
    ShowModal();
}

void TLogoForm::LoadLogo(const std::string& FileName)
{
    TPicture& picture = LogoImage->Picture();
    if (PictureLoading::LoadPicture(FileName, std::string(), picture) != leOK || picture.Width() <= 0 ||
        picture.Height() <= 0)
        PictureLoading::PicLoadError(picture, DesignWidth, DesignHeight, leInvalidGraphic);
}

void TLogoForm::FitAndCentre()
{
    const int width = LogoImage->Picture().Width();
    const int height = LogoImage->Picture().Height();
    LogoImage->SetBounds(FrameWidth, FrameWidth, width, height);
    const int formWidth = width + 2 * FrameWidth;
    const int formHeight = height + 2 * FrameWidth;
    SetBounds((Screen->Width() - formWidth) / 2, (Screen->Height() - formHeight) / 2, formWidth, formHeight);
    // Placed by hand: the designed centring would move it again on show.
    SetPosition(poDesigned);
}

void TLogoForm::LogoTimerTimer(TObject*) { Close(); }

void TLogoForm::LogoImageClick(TObject*) { Close(); }

void TLogoForm::FormKeyUp(TObject*, WORD&, TShiftState) { Close(); }

void TLogoForm::FormClose(TObject*, TCloseAction& Action)
{
    LogoTimer->SetEnabled(false);
    Action = caFree;
}

#include "player/PlayerAbout.h"

#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/SecretPanel.h"

IMPLEMENT_CLASS(TPlayerAboutForm)

namespace {

constexpr int Margin = 8;
constexpr int BoxWidth = 320;
constexpr int CreditsHeight = 96;
constexpr int MemoHeight = 90;

std::string VersionText(const std::string& Version, const std::string& Build) { return "Version " + Version + Build; }

} // namespace

TPlayerAboutForm::TPlayerAboutForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Info");
    SetBorderStyle(bsNone);
    SetPosition(poScreenCenter);
    SetClientWidth(BoxWidth);

    int top = Margin;
    CreditsPanel = new TSecretPanel(this);
    CreditsPanel->SetParent(this);
    CreditsPanel->SetBounds(Margin, top, BoxWidth - 2 * Margin, CreditsHeight);
    CreditsPanel->SetInterval(CreditsInterval);
    for (const char* line :
         {"Vistelo-Player", "", "Diashows mit Überblendungen,", "Kommentaren und Musik", "", "Ostrelind", ""})
        CreditsPanel->Lines().Add(line);
    top += CreditsHeight + Margin;

    VersionLabel = new TLabel(this);
    VersionLabel->SetParent(this);
    VersionLabel->SetCaption(VersionText("3.5", "09"));
    VersionLabel->SetBounds(Margin, top, VersionLabel->Width(), VersionLabel->Height());
    top += VersionLabel->Height() + Margin;

    InfoMemo = new TMemo(this);
    InfoMemo->SetParent(this);
    InfoMemo->SetReadOnly(true);
    InfoMemo->SetBounds(Margin, top, BoxWidth - 2 * Margin, MemoHeight);
    top += MemoHeight + 2;

    OKButton = new TButton(this);
    OKButton->SetParent(this);
    OKButton->SetCaption("OK");
    OKButton->Default = true;
    OKButton->Cancel = true;
    OKButton->SetBounds((BoxWidth - 90) / 2, top + Margin, 90, 25);
    OKButton->OnClick = [this](TObject* Sender) { OKButtonClick(Sender); };
    SetClientHeight(OKButton->Top() + OKButton->Height() + Margin);
    // Enter and Escape reach OK from the start, before the window system
    // activates the box.
    SetActiveControl(OKButton);

    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

void TPlayerAboutForm::FormActivate(TObject*)
{
    if (activated_)
        return;
    activated_ = true;
    InfoMemo->SetText(AboutText);
    if (AboutText.empty()) {
        // Nothing of the show's to tell: the memo goes and the button moves up.
        const int gap = InfoMemo->Height() + 2;
        InfoMemo->Hide();
        OKButton->SetTop(OKButton->Top() - gap);
        SetHeight(Height() - gap);
    }
    CreditsPanel->Play();
    if (OKButton->CanFocus())
        OKButton->SetFocus();
}

void TPlayerAboutForm::FormClose(TObject*, TCloseAction& Action)
{
    CreditsPanel->Stop();
    Action = caFree;
}

void TPlayerAboutForm::OKButtonClick(TObject*) { ModalResult = mrOk; }

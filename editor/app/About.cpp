#include "editor/app/About.h"

#include "core/Setup.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/BorderLabel.h"
#include "widgets/SecretPanel.h"
#include "widgets/URL.h"

IMPLEMENT_CLASS(TAboutForm)

namespace {

constexpr const char* VersionFormat = "Version %s%s";
constexpr const char* VersionNumber = "3.5";
constexpr const char* VersionBuild = "09";

std::string VersionText()
{
    std::string text = VersionFormat;
    for (const char* part : {VersionNumber, VersionBuild})
        text.replace(text.find("%s"), 2, part);
    return text;
}

TLabel* NewLabel(TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width)
{
    auto* label = new TLabel(Parent);
    label->SetParent(Parent);
    label->SetCaption(Caption);
    label->SetBounds(Left, Top, Width, 16);
    return label;
}

const char* const CreditLines[] = {
    "Vistelo",
    "",
    "Programmierung und Gestaltung:",
    "Ostrelind",
    "",
    "Vielen Dank an alle,",
    "die Vistelo getestet haben!",
};

} // namespace

TAboutForm::TAboutForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Info");
    SetBorderStyle(bsNone);
    SetPosition(poMainFormCenter);
    SetBounds(Left(), Top(), 397, 347);

    MainPanel = new TPanel(this);
    MainPanel->SetParent(this);
    MainPanel->SetAlign(alClient);
    MainPanel->SetBevelOuter(bvRaised);

    BorderLabel1 = new TBorderLabel(this);
    BorderLabel1->SetParent(MainPanel);
    BorderLabel1->SetCaption("Vistelo");
    BorderLabel1->SetBorderColor(clNavy);
    BorderLabel1->Font().SetSize(24);
    BorderLabel1->SetBounds(16, 12, 200, 40);

    VersionLabel = NewLabel(MainPanel, VersionText(), 16, 58, 200);
    ReleaseLabel = NewLabel(MainPanel, "Release: 06.02.2001", 16, 76, 200);
    NoteLabel = NewLabel(MainPanel,
                         "Es wird keine Garantie oder Haftung für den Inhalt der angezeigten Vistelo übernommen.", 16,
                         270, 365);
    NoteLabel->SetWordWrap(true);
    NoteLabel->SetHeight(32);

    HomePageLabel = new TURL(this);
    HomePageLabel->SetParent(MainPanel);
    HomePageLabel->SetCaption("Vistelo im Internet");
    HomePageLabel->SetBounds(16, 96, 200, 16);

    ImagePanel = new TPanel(this);
    ImagePanel->SetParent(MainPanel);
    ImagePanel->SetBevelOuter(bvLowered);
    ImagePanel->SetBounds(236, 12, 145, 110);
    AboutImage = new TImage(this);
    AboutImage->SetParent(ImagePanel);
    AboutImage->SetAlign(alClient);
    AboutImage->SetStretch(true);
    AboutImage->OnClick = [this](TObject* Sender) { AboutImageClick(Sender); };
    try {
        AboutImage->Picture().LoadFromFile(PictureFile());
    } catch (const std::exception&) {
        // A missing or unreadable picture leaves the image empty.
    }

    Credits = new TSecretPanel(this);
    Credits->SetParent(MainPanel);
    Credits->SetBounds(16, 132, 365, 130);
    Credits->SetInterval(120);
    for (const char* line : CreditLines)
        Credits->Lines().Add(line);

    BitBtn1 = new TButton(this);
    BitBtn1->SetParent(MainPanel);
    BitBtn1->SetCaption("&OK");
    BitBtn1->ModalResult = mrOk;
    BitBtn1->Default = true;
    BitBtn1->Cancel = true;
    BitBtn1->SetBounds(306, 310, 75, 25);

    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

std::string TAboutForm::PictureFile() { return Setup::HomeDir + "Vistelo.jpg"; }

void TAboutForm::FormActivate(TObject*) { Credits->SetActive(true); }

void TAboutForm::FormClose(TObject*, TCloseAction& Action)
{
    Credits->SetActive(false);
    Action = caFree;
}

void TAboutForm::AboutImageClick(TObject*)
{
    if (About::LogoWindow())
        About::LogoWindow()(PictureFile());
}

namespace About {

std::function<void(const std::string& FileName)>& LogoWindow()
{
    static std::function<void(const std::string&)> window;
    return window;
}

void ShowAboutBox(TComponent* AOwner)
{
    auto* form = new TAboutForm(AOwner);
    form->ShowModal();
}

} // namespace About

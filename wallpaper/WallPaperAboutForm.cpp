#include "wallpaper/WallPaperAboutForm.h"

#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/URL.h"

IMPLEMENT_CLASS(TWallPaperAbout)

namespace {

TLabel* NewLabel(TWallPaperAbout* Form, const std::string& Caption, int Top)
{
    auto* label = new TLabel(Form);
    label->SetParent(Form);
    label->SetCaption(Caption);
    label->SetBounds(16, Top, 220, 16);
    return label;
}

} // namespace

TWallPaperAbout::TWallPaperAbout(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Info \xC3\x9C"
               "ber...");
    SetBorderStyle(bsDialog);
    SetBorderIcons({});
    SetPosition(poScreenCenter);
    SetClientWidth(252);
    SetClientHeight(150);

    TitleLabel = NewLabel(this, "WallPaper-Vistelo", 12);
    VersionLabel = NewLabel(this, "", 36);
    // The version and a suffix for special builds, none here.
    VersionLabel->SetCaption(std::string("Version ") + WallPaperAbout::Version + "");
    ReleaseLabel = NewLabel(this, "Release: 11.01.2001", 56);

    LinkLabel = new TURL(this);
    LinkLabel->SetParent(this);
    LinkLabel->URL = WallPaperAbout::Address;
    LinkLabel->SetCaption("ostrelind.example");
    LinkLabel->SetBounds(16, 80, 220, 16);

    CloseButton = new TButton(this);
    CloseButton->SetParent(this);
    CloseButton->SetCaption("&OK");
    CloseButton->Default = true;
    CloseButton->Cancel = true;
    CloseButton->ModalResult = mrOk;
    CloseButton->SetBounds(88, 112, 75, 25);
}

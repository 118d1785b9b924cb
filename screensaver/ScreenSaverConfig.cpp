#include "screensaver/ScreenSaverConfig.h"

#include "editor/controls/ComboEdit.h"
#include "editor/controls/FilenameEdit.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "screensaver/ScreenSaverAbout.h"
#include "screensaver/ScreenSaverSetup.h"

IMPLEMENT_CLASS(TScreenSaverConfigForm)

namespace {

constexpr int Margin = 8;
constexpr int DialogWidth = 520;
constexpr int GroupWidth = DialogWidth - 2 * Margin;
constexpr int InnerWidth = GroupWidth - 2 * Margin;
constexpr int ButtonWidth = 90;
constexpr int ButtonHeight = 25;
constexpr int LineHeight = 20;

// A control of the dialog with its caption, inside Parent at the bounds.
template <class TControl>
TControl* NewControl(TScreenSaverConfigForm* Form, TWinControl* Parent, const std::string& Caption, TRect Bounds)
{
    auto* control = new TControl(Form);
    control->SetParent(Parent);
    control->SetCaption(Caption);
    control->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    return control;
}

TGroupBox* NewGroup(TScreenSaverConfigForm* Form, const std::string& Caption, int Top, int Height)
{
    return NewControl<TGroupBox>(Form, Form, Caption, Rect(Margin, Top, Margin + GroupWidth, Top + Height));
}

// A check box or radio button on its own line of a group.
template <class TControl>
TControl* NewChoice(TScreenSaverConfigForm* Form, TGroupBox* Group, const std::string& Caption, int Top)
{
    return NewControl<TControl>(Form, Group, Caption, Rect(Margin, Top, Margin + InnerWidth, Top + LineHeight));
}

template <class TControl>
TControl* NewButton(TScreenSaverConfigForm* Form, const std::string& Caption, int Left, int Top)
{
    return NewControl<TControl>(Form, Form, Caption, Rect(Left, Top, Left + ButtonWidth, Top + ButtonHeight));
}

} // namespace

TScreenSaverConfigForm::TScreenSaverConfigForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Vistelo - Bildschirmschoner");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(DialogWidth);
    CreateComponents();
    OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    FormCreate();
}

void TScreenSaverConfigForm::CreateComponents()
{
    FileGroup = NewGroup(this, " Abzuspielende Vistelo: ", Margin, 56);
    FilenameEdit = new TFilenameEdit(this);
    FilenameEdit->SetParent(FileGroup);
    FilenameEdit->SetBounds(Margin, 22, InnerWidth, 22);
    FilenameEdit->SetFilter("Vistelo-Dateien (*.VSF)|*.vsf|Alle Dateien (*.*)|*.*");
    FilenameEdit->SetDialogTitle("Vistelo für den Bildschirmschoner auswählen");
    FilenameEdit->SetDialogOptions({ofHideReadOnly, ofEnableSizing});

    MiscGroup = NewGroup(this, " Verschiedenes: ", FileGroup->Top() + FileGroup->Height() + Margin, 50);
    MuteCheck = NewChoice<TCheckBox>(this, MiscGroup, "kein &Ton", 20);

    SaverGroup = NewGroup(this, " Bildschirmschoner: ", MiscGroup->Top() + MiscGroup->Height() + Margin, 130);
    ActivationLabel = new TLabel(this);
    ActivationLabel->SetParent(SaverGroup);
    ActivationLabel->SetAutoSize(false);
    ActivationLabel->SetWordWrap(true);
    ActivationLabel->SetBounds(Margin, 20, InnerWidth, 48);
    ActivationLabel->SetCaption(
        "Wenn sich eine Anwendung aktiviert, während der Bildschirmschoner läuft (z.B. wenn der "
        "Eingang einer eMail gemeldet wird), kann der Bildschirmschoner folgendermaßen "
        "reagieren:");
    DontIgnoreCheck = NewChoice<TRadioButton>(
        this, SaverGroup, "Bei Meldung einer anderen Anwendung den Bildschirmschoner beenden (Windowsstandard)", 72);
    IgnoreCheck = NewChoice<TRadioButton>(this, SaverGroup, "Meldung von anderen Anwendungen ignorieren", 98);

    const int buttonTop = SaverGroup->Top() + SaverGroup->Height() + Margin;
    OKBtn = NewButton<TButton>(this, "OK", DialogWidth - 3 * (ButtonWidth + Margin), buttonTop);
    OKBtn->Default = true;
    OKBtn->OnClick = [this](TObject*) { OKBtnClick(); };
    CancelBtn = NewButton<TButton>(this, "Abbrechen", DialogWidth - 2 * (ButtonWidth + Margin), buttonTop);
    CancelBtn->Cancel = true;
    CancelBtn->OnClick = [this](TObject*) { CancelBtnClick(); };
    BitBtn1 = NewButton<TBitBtn>(this, "&Info", DialogWidth - ButtonWidth - Margin, buttonTop);
    BitBtn1->OnClick = [this](TObject*) { BitBtn1Click(); };
    SetClientHeight(buttonTop + ButtonHeight + Margin);
}

void TScreenSaverConfigForm::FormCreate()
{
    using namespace ScreenSaverSetup;
    ReadScreenSaverSettings();
    MuteCheck->SetChecked(Mute);
    try {
        FilenameEdit->SetFileName(Filename);
    } catch (const EComboEditError&) {
        // A stored name no file can have (the registry file is edited by
        // hand too): shown as it is, so that the user sees it and can mend
        // it, instead of the dialog not opening at all.
        FilenameEdit->SetText(Filename);
    }
    DontIgnoreCheck->SetChecked(!IgnoreOtherApplications);
    IgnoreCheck->SetChecked(IgnoreOtherApplications);
}

void TScreenSaverConfigForm::OKBtnClick()
{
    using namespace ScreenSaverSetup;
    Mute = MuteCheck->Checked();
    Filename = FilenameEdit->FileName();
    IgnoreOtherApplications = IgnoreCheck->Checked();
    WriteScreenSaverSettings();
    Close();
}

void TScreenSaverConfigForm::CancelBtnClick() { Close(); }

void TScreenSaverConfigForm::BitBtn1Click()
{
    auto* about = new TScreenSaverAboutForm(this);
    about->ShowModal();
}

namespace ScreenSaverConfig {

void ShowScreenSaverConfig()
{
    Application->Initialize();
    auto* form = new TScreenSaverConfigForm(nullptr);
    form->ShowModal();
    // The dialog frees itself once the loop handles its release.
    Application->ProcessMessages();
}

} // namespace ScreenSaverConfig

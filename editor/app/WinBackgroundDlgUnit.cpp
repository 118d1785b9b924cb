#include "editor/app/WinBackgroundDlgUnit.h"

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "editor/app/WinBackground.h"
#include "platform/ui/Autostart.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

#include <utility>

IMPLEMENT_CLASS(TWinBackgroundSetupDlg)

namespace {

template <class T> T* NewControl(TWinControl* Parent, TComponent* Owner, const std::string& Caption, TRect Box)
{
    auto* control = new T(Owner);
    control->SetParent(Parent);
    control->SetCaption(Caption);
    control->SetBounds(Box.Left, Box.Top, Box.Width(), Box.Height());
    return control;
}

} // namespace

TWinBackgroundSetupDlg::TWinBackgroundSetupDlg(TComponent* AOwner, std::function<TPicInfoObject*()> CurrentPicture)
    : TForm(AOwner), currentPicture_(std::move(CurrentPicture))
{
    SetCaption("Windows-Hintergrundbild - Einstellungen");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(420);
    SetClientHeight(268);

    PictureGroup = NewControl<TGroupBox>(this, this, " Bildeinstellungen: ", Bounds(8, 8, 404, 104));
    VisteloPrefsCheck = NewControl<TRadioButton>(PictureGroup, this, "&Vistelo-Einstellungen verwenden",
                                                 Bounds(12, 20, 240, 18));
    WindowsPrefsCheck = NewControl<TRadioButton>(PictureGroup, this, "&Windows-Einstellungen verwenden",
                                                 Bounds(12, 42, 240, 18));
    SaveChangeCheck = NewControl<TCheckBox>(PictureGroup, this, "Dauer&haft wechseln", Bounds(12, 72, 240, 18));
    ChangeWinBackgroundNow = NewControl<TButton>(PictureGroup, this, "&Jetzt wechseln", Bounds(272, 66, 120, 25));
    ChangeWinBackgroundNow->OnClick = [this](TObject*) { ChangeWinBackgroundNowClick(); };
    ChangeWinBackgroundNow->SetEnabled(currentPicture_ && currentPicture_() != nullptr);

    AutostartGroup = NewControl<TGroupBox>(this, this, " Autostart: ", Bounds(8, 120, 404, 104));
    AutostartText = NewControl<TLabel>(
        AutostartGroup, this,
        "Die Ostrelind \"Vistelo\" kann Ihren Computer so einrichten, dass bei jedem Windowsneustart, ein anderes "
        "Hintergrundbild aus der aktuellen Vistelo ausgew\xC3\xA4hlt wird.",
        Bounds(12, 20, 380, 44));
    AutostartText->SetWordWrap(true);
    AutoBackgroundBtn = NewControl<TButton>(AutostartGroup, this, "automatischen Hintergrundbildwechsel &einrichten...",
                                            Bounds(12, 68, 300, 25));
    AutoBackgroundBtn->OnClick = [this](TObject*) { AutoBackgroundBtnClick(); };

    OKBtn = NewControl<TButton>(this, this, "&OK", Bounds(164, 234, 80, 25));
    OKBtn->Default = true;
    OKBtn->OnClick = [this](TObject*) { OKBtnClick(); };
    CancelBtn = NewControl<TButton>(this, this, "&Abbrechen", Bounds(248, 234, 80, 25));
    CancelBtn->Cancel = true;
    CancelBtn->ModalResult = mrCancel;
    HelpBtn = NewControl<TButton>(this, this, "&Hilfe", Bounds(332, 234, 80, 25));
    HelpBtn->OnClick = [this](TObject*) { HelpBtnClick(); };

    FormActivate();
}

void TWinBackgroundSetupDlg::FormActivate()
{
    VisteloPrefsCheck->SetChecked(Setup::BackgroundVisteloPrefs);
    WindowsPrefsCheck->SetChecked(!Setup::BackgroundVisteloPrefs);
    SaveChangeCheck->SetChecked(Setup::BackgroundSaveChange);
}

void TWinBackgroundSetupDlg::OKBtnClick()
{
    Setup::BackgroundVisteloPrefs = VisteloPrefsCheck->Checked();
    Setup::BackgroundSaveChange = SaveChangeCheck->Checked();
    ModalResult = mrOk;
}

void TWinBackgroundSetupDlg::ChangeWinBackgroundNowClick()
{
    TPicInfoObject* pic = currentPicture_ ? currentPicture_() : nullptr;
    if (!pic)
        return;
    const bool prefs = std::exchange(Setup::BackgroundVisteloPrefs, VisteloPrefsCheck->Checked());
    const bool saveChange = std::exchange(Setup::BackgroundSaveChange, SaveChangeCheck->Checked());
    EditorWallpaper::SetAsWinBackground(pic);
    Setup::BackgroundVisteloPrefs = prefs;
    Setup::BackgroundSaveChange = saveChange;
}

void TWinBackgroundSetupDlg::AutoBackgroundBtnClick()
{
    using namespace WinBackgroundDlg;
    if (Setup::VisteloFilename == Unsaved) {
        ui::ShowMessage(SaveFirst);
        return;
    }
    const std::string program = Application->ExeName();
    const ui::TAutostartEntry entry{"Vistelo", "Vistelo", {program, RandomWallpaperSwitch(Setup::VisteloFilename)}};
    ui::ShowMessage(!program.empty() && ui::CreateAutostartEntry(AutostartFile, entry) ? AutostartDone
                                                                                       : AutostartFailed);
}

void TWinBackgroundSetupDlg::HelpBtnClick() { ui::ShowMessage(TAAForm::NoHelpMessage); }

namespace WinBackgroundDlg {

std::string RandomWallpaperSwitch(const std::string& ShowFile)
{
    // The session hands the entry's arguments over one by one; the editor
    // joins them (quoting one with a blank in double quotes) and splits the
    // line again, taking off those double quotes, or else the enclosing pair
    // of quotes of an argument without a blank.
    if (ShowFile.find(' ') != std::string::npos)
        return "-b" + ShowFile;
    return "-b'" + ShowFile + "'";
}

void ShowWinBackgroundSetup(TComponent* Owner, std::function<TPicInfoObject*()> CurrentPicture)
{
    TWinBackgroundSetupDlg dialog(Owner, std::move(CurrentPicture));
    dialog.ShowModal();
}

} // namespace WinBackgroundDlg

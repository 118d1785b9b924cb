#include "wallpaper/WallpaperOptionsUnit.h"

#include "core/Tools.h"
#include "editor/controls/FilenameEdit.h"
#include "platform/rtl/Files.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "wallpaper/WallPaperSetup.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(TOptionsForm)

namespace {

template <class T> T* NewControl(TWinControl* Parent, TComponent* Owner, int Left, int Top, int Width, int Height)
{
    auto* control = new T(Owner);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

TLabel* NewLabel(TWinControl* Parent, TComponent* Owner, const std::string& Caption, int Left, int Top, int Width)
{
    auto* label = NewControl<TLabel>(Parent, Owner, Left, Top, Width, 16);
    label->SetCaption(Caption);
    return label;
}

TPanel* NewPanel(TWinControl* Parent, TComponent* Owner, int Top)
{
    auto* panel = NewControl<TPanel>(Parent, Owner, 24, Top, 320, 28);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption("");
    return panel;
}

} // namespace

TOptionsForm::TOptionsForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Optionen - Wallpaper-Vistelo");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(372);
    SetClientHeight(238);

    FilenameGroup = NewControl<TGroupBox>(this, this, 8, 8, 356, 56);
    FilenameGroup->SetCaption(" Vistelodateiname: ");
    FilenameEdit = NewControl<TFilenameEdit>(FilenameGroup, this, 12, 22, 332, 21);
    FilenameEdit->SetFilter("Vistelos (*.VSF)|*.VSF");
    FilenameEdit->SetDialogOptions(FilenameEdit->DialogOptions() + TOpenOptions{ofHideReadOnly, ofEnableSizing});

    OtherGroup = NewControl<TGroupBox>(this, this, 8, 72, 356, 124);
    OtherGroup->SetCaption(" Sonstiges: ");
    UserIntervalCheck = NewControl<TCheckBox>(OtherGroup, this, 12, 20, 336, 18);
    UserIntervalCheck->SetCaption("&Anderes Zeitintervall benutzen (sonst das aus der Vistelo)");
    UserIntervalCheck->OnClick = [this](TObject*) { UserIntervalCheckClick(); };
    IntervalPanel = NewPanel(OtherGroup, this, 40);
    NewLabel(IntervalPanel, this, "&Intervall:", 0, 6, 60);
    UserIntervalEdit = NewControl<TKsSpinEdit>(IntervalPanel, this, 64, 2, 72, 21);
    UserIntervalEdit->MinValue = 1;
    UserIntervalEdit->MaxValue = 99999;
    UserIntervalEdit->Increment = 10;
    UserIntervalEdit->SetMaxLength(5);
    NewLabel(IntervalPanel, this, "(in Sekunden)", 144, 6, 100);

    // The quit password is set only in the ini file.
    UseQuitPasswordCheck = NewControl<TCheckBox>(OtherGroup, this, 12, 72, 336, 18);
    UseQuitPasswordCheck->SetCaption("&Passwort zum Beenden");
    UseQuitPasswordCheck->OnClick = [this](TObject*) { UseQuitPasswordCheckClick(); };
    UseQuitPasswordCheck->SetVisible(false);
    UseQuitPasswordCheck->SetEnabled(false);
    PasswordPanel = NewPanel(OtherGroup, this, 92);
    NewLabel(PasswordPanel, this, "Pass&wort:", 0, 6, 60);
    PasswordEdit = NewControl<TEdit>(PasswordPanel, this, 64, 2, 160, 21);
    PasswordEdit->SetPasswordChar('*');
    PasswordPanel->SetVisible(false);
    PasswordPanel->SetEnabled(false);

    Button1 = NewControl<TButton>(this, this, 104, 204, 80, 25);
    Button1->SetCaption("&OK");
    Button1->Default = true;
    Button1->OnClick = [this](TObject*) { Button1Click(); };
    Button2 = NewControl<TButton>(this, this, 192, 204, 80, 25);
    Button2->SetCaption("&Abbrechen");
    Button2->Cancel = true;
    Button2->OnClick = [this](TObject*) { Button2Click(); };

    FormActivate();
}

void TOptionsForm::FormActivate()
{
    using namespace WallPaperSetup;
    UserIntervalCheck->SetChecked(UseUserInterval);
    FilenameEdit->SetInitialDir(rtl::ExtractFilePath(ShowFilename));
    FilenameEdit->SetText(FilenameEdit::QuoteFileName(ShowFilename));
    UserIntervalEdit->SetIntValue(UserInterval / 1000);
    Tools::ChangeEnabled(IntervalPanel, UserIntervalCheck->Checked());
    UseQuitPasswordCheck->SetChecked(UseQuitPassword);
    PasswordEdit->SetText(QuitPassword);
    Tools::ChangeEnabled(PasswordPanel, UseQuitPasswordCheck->Checked());
}

void TOptionsForm::UserIntervalCheckClick() { Tools::ChangeEnabled(IntervalPanel, UserIntervalCheck->Checked()); }

void TOptionsForm::UseQuitPasswordCheckClick() { Tools::ChangeEnabled(PasswordPanel, UseQuitPasswordCheck->Checked()); }

void TOptionsForm::Button1Click()
{
    using namespace WallPaperSetup;
    UseUserInterval = UserIntervalCheck->Checked();
    UserInterval = UserIntervalEdit->GetIntValue() * 1000;
    // The name without the quotes the edit shows around one with a blank.
    ShowFilename = FilenameEdit->FileName();
    UseQuitPassword = UseQuitPasswordCheck->Checked();
    QuitPassword = PasswordEdit->Text();
    ModalResult = mrOk;
}

void TOptionsForm::Button2Click() { ModalResult = mrCancel; }

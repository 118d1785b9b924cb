#include "wallpaper/PasswordDlgUnit.h"

#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "wallpaper/WallPaperDialogs.h"
#include "wallpaper/WallPaperSetup.h"

IMPLEMENT_CLASS(TPasswordDlg)

TPasswordDlg::TPasswordDlg(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Password Dialog");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(233);
    SetClientHeight(93);

    Label1 = new TLabel(this);
    Label1->SetParent(this);
    Label1->SetCaption("Passwort zum Beenden eingaben:");
    Label1->SetBounds(8, 9, 217, 13);

    Password = new TEdit(this);
    Password->SetParent(this);
    Password->SetPasswordChar('*');
    Password->SetBounds(8, 27, 217, 21);

    OKBtn = new TButton(this);
    OKBtn->SetParent(this);
    OKBtn->SetCaption("OK");
    OKBtn->Default = true;
    OKBtn->ModalResult = mrOk;
    OKBtn->SetBounds(62, 59, 75, 25);

    CancelBtn = new TButton(this);
    CancelBtn->SetParent(this);
    CancelBtn->SetCaption("Cancel");
    CancelBtn->Cancel = true;
    CancelBtn->ModalResult = mrCancel;
    CancelBtn->SetBounds(150, 59, 75, 25);
}

bool TPasswordDlg::AskQuitPassword()
{
    return WallPaperDialogs::ShowDialog(*this) == mrOk && Password->Text() == WallPaperSetup::QuitPassword;
}

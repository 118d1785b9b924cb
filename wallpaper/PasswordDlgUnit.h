#pragma once

// The quit password's question: an edit showing "*" for each character, OK
// and Cancel.

#include "platform/ui/Forms.h"

class TButton;
class TEdit;
class TLabel;

class TPasswordDlg : public TForm {
    DECLARE_CLASS(TPasswordDlg, TForm)
public:
    explicit TPasswordDlg(TComponent* AOwner);

    // Shows the dialog (through ShowDialog); true only when it closed with OK
    // and the typed text equals the quit password exactly.
    bool AskQuitPassword();

    TLabel* Label1 = nullptr;
    TEdit* Password = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
};

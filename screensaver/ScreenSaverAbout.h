#pragma once

// The settings dialog's About box: a line of credits running along while it
// is open. It frees itself when it closes.

#include "platform/ui/Forms.h"

class TButton;
class TLabel;
class TScrollLabel;

class TScreenSaverAboutForm : public TForm {
    DECLARE_CLASS(TScreenSaverAboutForm, TForm)
public:
    explicit TScreenSaverAboutForm(TComponent* AOwner);

    TLabel* TitleLabel = nullptr;
    TScrollLabel* CreditsLabel = nullptr;
    TButton* OKButton = nullptr;

    void FormActivate();
    void FormClose(TCloseAction& Action);
};

#pragma once

// The player's About box: version, the show's own text, and the scrolling
// credits.

#include "platform/ui/Forms.h"

#include <string>

class TButton;
class TLabel;
class TMemo;
class TSecretPanel;

class TPlayerAboutForm : public TForm {
    DECLARE_CLASS(TPlayerAboutForm, TForm)
public:
    explicit TPlayerAboutForm(TComponent* AOwner);

    // The show's text for the memo; set before the box is shown. When empty,
    // the memo is dropped and the box shrinks by its height.
    std::string AboutText;

    TLabel* VersionLabel = nullptr;
    TMemo* InfoMemo = nullptr;
    TSecretPanel* CreditsPanel = nullptr;
    TButton* OKButton = nullptr;

    // How often the credits move on, in milliseconds.
    static constexpr unsigned CreditsInterval = 120;

private:
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void OKButtonClick(TObject* Sender);
    bool activated_ = false;
};

#pragma once

// The wallpaper program's options: the show file, the change interval in
// seconds and the quit password (kept hidden: it is set only in the ini
// file). OK takes the values into the settings; the callers save them.

#include "platform/ui/Forms.h"

class TButton;
class TCheckBox;
class TEdit;
class TFilenameEdit;
class TGroupBox;
class TKsSpinEdit;
class TLabel;
class TPanel;

class TOptionsForm : public TForm {
    DECLARE_CLASS(TOptionsForm, TForm)
public:
    explicit TOptionsForm(TComponent* AOwner);

    // The settings into the controls; the constructor calls it.
    void FormActivate();
    void UserIntervalCheckClick();
    void UseQuitPasswordCheckClick();
    // OK: the controls into the settings, then close.
    void Button1Click();
    // Abbrechen: close without changes.
    void Button2Click();

    TGroupBox* FilenameGroup = nullptr;
    TFilenameEdit* FilenameEdit = nullptr;
    TGroupBox* OtherGroup = nullptr;
    TCheckBox* UserIntervalCheck = nullptr;
    TPanel* IntervalPanel = nullptr;
    TKsSpinEdit* UserIntervalEdit = nullptr;
    TCheckBox* UseQuitPasswordCheck = nullptr;
    TPanel* PasswordPanel = nullptr;
    TEdit* PasswordEdit = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
};

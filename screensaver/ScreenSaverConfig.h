#pragma once

// The screen saver's settings dialog "Vistelo - Bildschirmschoner": the show
// to play, sound off, and whether another application coming up ends the
// saver. It shows the stored settings and stores them again on OK only; it
// frees itself when it closes.

#include "platform/ui/Forms.h"

class TBitBtn;
class TButton;
class TCheckBox;
class TFilenameEdit;
class TGroupBox;
class TLabel;
class TRadioButton;

class TScreenSaverConfigForm : public TForm {
    DECLARE_CLASS(TScreenSaverConfigForm, TForm)
public:
    explicit TScreenSaverConfigForm(TComponent* AOwner);

    TGroupBox* FileGroup = nullptr;
    TFilenameEdit* FilenameEdit = nullptr;
    TGroupBox* MiscGroup = nullptr;
    TCheckBox* MuteCheck = nullptr;
    TGroupBox* SaverGroup = nullptr;
    TLabel* ActivationLabel = nullptr;
    TRadioButton* DontIgnoreCheck = nullptr;
    TRadioButton* IgnoreCheck = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TBitBtn* BitBtn1 = nullptr; // "Info"

    void FormCreate();
    void OKBtnClick();
    void CancelBtnClick();
    void BitBtn1Click();

private:
    void CreateComponents();
};

namespace ScreenSaverConfig {

// The settings mode: shows the dialog and returns once it is closed.
void ShowScreenSaverConfig();

} // namespace ScreenSaverConfig

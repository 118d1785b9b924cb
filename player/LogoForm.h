#pragma once

// The logo window shown before a show: the logo picture in a thin frame,
// centred on the screen, until its time runs out, the picture is clicked or
// a key is released.

#include "platform/ui/Forms.h"

#include <string>

class TPanel;
class TImage;
class TTimer;

class TLogoForm : public TForm {
    DECLARE_CLASS(TLogoForm, TForm)
public:
    explicit TLogoForm(TComponent* AOwner);

    // Shows the picture of FileName (the 400 x 300 load-error placeholder when
    // it cannot be loaded) for Time milliseconds, or until a click or key
    // release when Time is -1. Runs modally; the form frees itself on close,
    // so the caller must not touch it afterwards.
    void Execute(const std::string& FileName, int Time);

    TPanel* LogoPanel = nullptr;
    TImage* LogoImage = nullptr;
    TTimer* LogoTimer = nullptr;

    // The designed size of the picture area (also the placeholder's size).
    static constexpr int DesignWidth = 400;
    static constexpr int DesignHeight = 300;

private:
    void LogoTimerTimer(TObject* Sender);
    void LogoImageClick(TObject* Sender);
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void LoadLogo(const std::string& FileName);
    void FitAndCentre();
};

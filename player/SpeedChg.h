#pragma once

// The dialog that changes the playing show's default pause.

#include "platform/ui/Forms.h"

class TButton;
class TLabel;
class TSpinEdit;
class TVistelo;

class TSpeedChgForm : public TForm {
    DECLARE_CLASS(TSpeedChgForm, TForm)
public:
    // Show is the playing show whose Pause the dialog edits.
    TSpeedChgForm(TComponent* AOwner, TVistelo& Show);

    TLabel* PauseLabel = nullptr;
    TSpinEdit* PauseEdit = nullptr;
    TLabel* UnitLabel = nullptr;
    TLabel* SecondsLabel = nullptr;
    TButton* OKButton = nullptr;
    TButton* CancelButton = nullptr;

    // Runs modally; OK stores the value in the show's Pause. The dialog frees
    // itself on close, so the caller must not touch it afterwards.
    TModalResult Execute();

    void UpdateSecondsLabel();

private:
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void PauseEditChange(TObject* Sender);
    void PauseEditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void PauseEditKeyPress(TObject* Sender, char32_t& Key);
    void OKButtonClick(TObject* Sender);

    TVistelo& show_;
};

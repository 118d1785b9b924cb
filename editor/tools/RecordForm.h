#pragma once

// The small window shown while a sound is recorded: the running time, the
// level of the sound coming in, and the button that ends the recording.

#include <cstdint>

#include "platform/ui/Forms.h"

class TButton;
class TLabel;
class TVexaProgressBar;
class TTimer;

class TRecordForm : public TForm {
    DECLARE_CLASS(TRecordForm, TForm)
public:
    explicit TRecordForm(TComponent* AOwner);

    TLabel* RecordingLabel = nullptr;
    TLabel* DurationLabel = nullptr;
    TLabel* TimeLabel = nullptr;
    TVexaProgressBar* LevelBar = nullptr;
    TButton* StopButton = nullptr;
    TTimer* Timer1 = nullptr;

    void Timer1Timer(TObject* Sender);

private:
    void FormClose(TObject* Sender, TCloseAction& Action);
    void StopButtonClick(TObject* Sender);

    std::uint32_t startTicks_ = 0;
};

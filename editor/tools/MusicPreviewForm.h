#pragma once

// A small window that plays one sound or music file over and over until the
// user closes it.

#include <memory>
#include <string>

#include "platform/ui/Forms.h"

class TButton;
class TImage;
class TLabel;
class TMediaPlayer;
class TmyElPlayer;
class TSoundPlayer;
class TSoundPlayerTimer;
class TTimer;

class TMusicPreview : public TForm {
    DECLARE_CLASS(TMusicPreview, TForm)
public:
    explicit TMusicPreview(TComponent* AOwner);
    ~TMusicPreview() override;

    // The stored name, resolved against the show's file when played.
    std::string FileName;

    TImage* Image = nullptr;
    TLabel* FilenameLabel = nullptr;
    TLabel* InfoLabel = nullptr;
    TButton* CloseButton = nullptr;
    // Closes the window shortly after a file could not be played.
    TTimer* Timer = nullptr;
    TMediaPlayer* MediaPlayer = nullptr;
    TSoundPlayerTimer* SoundTimer = nullptr;
    std::unique_ptr<TmyElPlayer> DecoderPlayer; // none when its module is missing
    std::unique_ptr<TSoundPlayer> SoundPlayer;

    void FormActivate(TObject* Sender);
    void TimerTimer(TObject* Sender);

    static constexpr const char* PlayFailedMessage =
        "Die Datei \"%s\" konnte nicht wiedergegeben werden. Überprüfen Sie, ob die Datei vorhanden ist. Evtl. ist "
        "sie beschädigt oder Sie haben keine Soundkarte installiert.";

private:
    void FormClose(TObject* Sender, TCloseAction& Action);

    bool started_ = false;
};

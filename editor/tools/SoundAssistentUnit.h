#pragma once

// The sound assistant: a wizard that records one spoken comment per picture
// of the open show, stores the recording's file name as the picture's
// sound, plays it back, deletes it on request and sets the recording
// volumes.

#include <memory>
#include <string>

#include "editor/tools/SoundAssistentLogic.h"
#include "platform/ui/Forms.h"

class TAudioIn;
class TButton;
class TDirectoryEdit;
class TFilenameEdit;
class TKsSpinEdit;
class TImage;
class TLabel;
class TMemo;
class TMenuItem;
class TPageControl;
class TPanel;
class TPicInfoObject;
class TPopupMenu;
class TRadioButton;
class TRecordForm;
class TSoundControl;
class TTabSheet;
class TTrackBar;

namespace WAVTools {
class TWAVFileWriter;
}

class TSoundAssistentForm : public TForm {
    DECLARE_CLASS(TSoundAssistentForm, TForm)
public:
    // Device is the capture device's index, or -1 for the default one.
    explicit TSoundAssistentForm(TComponent* AOwner);
    // Records through the given component (tests give one over their own device).
    TSoundAssistentForm(TComponent* AOwner, TAudioIn* AAudioIn);
    ~TSoundAssistentForm() override;

    TPageControl* PageControl = nullptr;
    TTabSheet* StartPage = nullptr;
    TTabSheet* RecordSetup = nullptr;
    TTabSheet* DirPage = nullptr;
    TTabSheet* RecordPage = nullptr;
    TRadioButton* AllPicsCheck = nullptr;
    TRadioButton* GreenMarkedCheck = nullptr;
    TRadioButton* MarkedCheck = nullptr;
    TRadioButton* Rate11025Check = nullptr;
    TRadioButton* Rate22050Check = nullptr;
    TRadioButton* Rate44100Check = nullptr;
    TRadioButton* SampleUserCheck = nullptr;
    TKsSpinEdit* UserSampleEdit = nullptr;
    TRadioButton* EightBitCheck = nullptr;
    TRadioButton* SixteenBitCheck = nullptr;
    TRadioButton* MonoCheck = nullptr;
    TRadioButton* StereoCheck = nullptr;
    TRadioButton* PicDirCheck = nullptr;
    TRadioButton* UserDirCheck = nullptr;
    TPanel* UserDirPanel = nullptr;
    TDirectoryEdit* UserDirEdit = nullptr;
    TImage* PreviewImage = nullptr;
    TKsSpinEdit* PicNrEdit = nullptr;
    TMemo* CommentsMemo = nullptr;
    TLabel* SoundExistInfoLabel = nullptr;
    TFilenameEdit* SoundFilenameEdit = nullptr;
    TLabel* LengthLabel = nullptr;
    TButton* RecordBtn = nullptr;
    TButton* StopBtn = nullptr;
    TButton* PlaySoundBtn = nullptr;
    TButton* PrevPicBtn = nullptr;
    TButton* NextPicBtn = nullptr;
    TLabel* VolumeLabel1 = nullptr;
    TLabel* VolumeLabel2 = nullptr;
    TTrackBar* VolumeTrackBar1 = nullptr;
    TTrackBar* VolumeTrackBar2 = nullptr;
    TPopupMenu* PopupMenu = nullptr;
    TMenuItem* DeleteSound = nullptr;
    TButton* BackBtn = nullptr;
    TButton* NextBtn = nullptr;
    TButton* CloseBtn = nullptr;

    TAudioIn* AudioIn = nullptr; // owned by the form
    std::unique_ptr<TSoundControl> SoundControl;
    TRecordForm* RecordForm = nullptr; // while a recording runs
    int CurrentIndex = -1;
    TPicInfoObject* CurrentEntry = nullptr;
    bool ProposedName = false;
    bool Recording = false;

    TSoundAssistChoice Choice() const;
    // The sound file of the current picture, resolved against the show.
    std::string CurrentSoundFile() const;

    void FormActivate(TObject* Sender);
    void PageControlChange(TObject* Sender);
    void ShowPicture();
    void MoveTo(int Index);
    void NextPicBtnClick(TObject* Sender);
    void PrevPicBtnClick(TObject* Sender);
    void PicNrEditExit(TObject* Sender);
    void CommentsMemoChange(TObject* Sender);
    void SoundFilenameEditChange(TObject* Sender);
    void RecordBtnClick(TObject* Sender);
    void StopBtnClick(TObject* Sender);
    void PlaySoundBtnClick(TObject* Sender);
    void DeleteSoundClick(TObject* Sender);
    void PopupMenuPopup(TObject* Sender);
    void VolumeTrackBarChange(TObject* Sender);
    void CloseBtnClick(TObject* Sender);
    void AudioInStart(TObject* Sender);
    bool AudioInBufferFilled(std::uint8_t* Buffer, int Size);
    void AudioInStop(TObject* Sender);

    static constexpr const char* NoPicturesMessage =
        "Sie können den Assistenten erst benutzen, wenn Sie mindestens ein Bild in der Liste haben.";
    static constexpr const char* RecordFailedMessage = "Es konnte kein Sound aufgenommen werden.";
    static constexpr const char* SoundNotFoundMessage = "Die Sounddatei wurde nicht gefunden!";
    static constexpr const char* DeleteFailedMessage = "Sound \"%s\" konnte nicht gelöscht werden.";
    static constexpr const char* SoundExists = "Aktueller Sound (wird bei Aufnahme überschrieben)";
    static constexpr const char* SoundMissing = "Aktueller Sound (existiert noch nicht):";

private:
    void CreateStartPage();
    void CreateSetupPage();
    void CreateDirPage();
    void CreateRecordPage();
    void CreateButtons();
    void SetUpMixer();
    void ReadSliderVolumes();
    void LoadSampleRate();
    void DirCheckClick();
    void SampleCheckClick();
    void SetNavigationEnabled(bool Enabled);
    void RefreshSoundLabels();
    // Clears the sound of the current picture when it names no file and
    // was only proposed.
    void DropProposedSound();

    std::unique_ptr<WAVTools::TWAVFileWriter> writer_;
    std::string recordError_;
    bool showingPicture_ = false;
};

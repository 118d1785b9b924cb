#pragma once

// "Vistelo-Einstellungen": the settings of the open show on six tabs, and
// the program-wide set of transitions chosen at random. The dialog reads the
// show when it is activated and writes it back on OK; Cancel leaves the show
// as it was, except for a reset of the reference size the user agreed to.

#include <memory>
#include <string>

#include "platform/ui/Forms.h"

class TButton;
class TCheckBox;
class TEdit;
class TFilenameEdit;
class TJPEGImage;
class TKsSpinEdit;
class TLabel;
class TMarkListBox;
class TMemo;
class TMenuItem;
class TOpenDialog;
class TPageControl;
class TPaintBox;
class TPanel;
class TPopupMenu;
class TRadioButton;
class TSymbolCheckListBox;
class TTabSheet;
class TVistelo;

class TDiaOptionsDlg : public TForm {
    DECLARE_CLASS(TDiaOptionsDlg, TForm)
public:
    // Edits Document; ShowFile is where the show is saved (for the names
    // stored relative to it).
    TDiaOptionsDlg(TComponent* AOwner, TVistelo& Document, const std::string& ShowFile);
    ~TDiaOptionsDlg() override;

    // Shows the dialog modally and frees it; true after OK.
    static bool Execute(TComponent* AOwner, TVistelo& Document, const std::string& ShowFile);

    static constexpr const char* SoundFilter =
        "Alle unterstützten Soundformate|*.WAV;*.MP3;*.MP2;*.MP1;*.MPEG3;*.MPEG2;*.MPEG1;*.MID;*.RMI|Wavedateien "
        "(*.WAV)|*.WAV|MP123-Dateien (*.MP3;*.MP2;*.MP1)|*.MP3;*.MP2;*.MP1;*.MPEG3;*.MPEG2;*.MPEG1|Mididateien "
        "(*.MID;*.RMI)|*.MID;*.RMI|Alle Dateien|*.*";
    static constexpr const char* NoMusicSelectedMessage =
        "Sie haben keine Hintergrundmusik ausgewählt. Klicken Sie auf das Plus (+), um Dateinamen hinzuzufügen.";
    static constexpr const char* StartShowFirstMessage =
        "Sie müssen die Vistelo mindestens einmal starten, damit das Programm korrekte Vergleichswerte für die "
        "Schriftgrößen sammeln kann. Falls Sie das schon getan haben und nun eine anderen Bildschirm/Fenster-"
        "Ausgangsgröße verwenden, deaktivieren Sie dieses Kontrollkästchen und schließen Sie die "
        "Vistelo-Einstellungen mit OK und aktivieren danach diese Einstellung erneut.";
    static constexpr const char* ResetReferenceSizeQuestion =
        "Durch diese Einstellung verändert sich die Größe des Vistelo-Player-Fensters. Die Fenstergröße wird für die "
        "Berechnung der Schriftgrößenänderung benötigt, sollen diese Einstellung zurückgesetz werden, damit sie "
        "beim Start der Vistelo korrigiert werden können?";
    static constexpr int ReferenceSizeHelpContext = 144;
    // The info picture is made to fit this box.
    static constexpr int InfoPictureWidth = 150;
    static constexpr int InfoPictureHeight = 100;

    TPageControl* PageControl = nullptr;
    TTabSheet* VisteloSheet = nullptr;
    TTabSheet* PlayerSheet = nullptr;
    TTabSheet* EndSheet = nullptr;
    TTabSheet* BlendingsSheet = nullptr;
    TTabSheet* DescriptionSheet = nullptr;
    TTabSheet* InfoSheet = nullptr;

    // "&Vistelo"
    TKsSpinEdit* PauseSpinEdit = nullptr;
    TCheckBox* RandomOrderCheck = nullptr;
    TCheckBox* ShowNoDescriptionCheck = nullptr;
    TCheckBox* PlayMusicCheck = nullptr;
    TPanel* MusicPanel = nullptr;
    TMarkListBox* MusicFileNamesListBox = nullptr;
    TButton* AddMusicBtn = nullptr;
    TButton* DeleteMusicBtn = nullptr;
    TButton* MusicUpBtn = nullptr;
    TButton* MusicDownBtn = nullptr;
    TButton* PreviewMusicBtn = nullptr;
    TButton* LinksBtn = nullptr;
    TLabel* MusicFilenameLabel = nullptr;
    TPopupMenu* MusicPopupMenu = nullptr;
    TMenuItem* AddMusicItem = nullptr;
    TMenuItem* DeleteMusicItem = nullptr;
    TMenuItem* MusicUpItem = nullptr;
    TMenuItem* MusicDownItem = nullptr;
    TOpenDialog* MusicOpenDialog = nullptr;
    TCheckBox* AutoRewindCheck = nullptr;
    TCheckBox* AutoStartMusicCheck = nullptr;

    // "Vistelo-&Player"
    TCheckBox* AutoStartSoundCheck = nullptr;
    TCheckBox* StopSoundBeforeBlendingCheck = nullptr;
    TCheckBox* ShowCommentsBoxCheck = nullptr;
    TCheckBox* StartFullScreenCheck = nullptr;
    TCheckBox* ShowNavigationBarCheck = nullptr;
    TCheckBox* StartVisteloImmediatelyCheck = nullptr;
    TCheckBox* ShowFilenameInNavigationBarCheck = nullptr;
    TCheckBox* ScaleFontToScreenCheck = nullptr;
    TCheckBox* ShowPleaseWaitCheck = nullptr;
    TRadioButton* NoLogoCheck = nullptr;
    TRadioButton* StdLogoCheck = nullptr;
    TRadioButton* UserLogoCheck = nullptr;
    TPanel* LogoFilenamePanel = nullptr;
    TFilenameEdit* LogoFilenameEdit = nullptr;
    TPanel* LogoPausePanel = nullptr;
    TKsSpinEdit* LogoPauseEdit = nullptr;

    // "Vistelo-&Ende"
    TRadioButton* AutoRepeatCheck = nullptr;
    TRadioButton* AutoLoadNextVisteloCheck = nullptr;
    TRadioButton* ExitImmediatelyCheck = nullptr;
    TRadioButton* RepeatVisteloCheck = nullptr;
    TRadioButton* RepeatOrLoadVisteloCheck = nullptr;
    TRadioButton* RepeatOrNextVisteloCheck = nullptr;
    TCheckBox* ManualExitTooCheck = nullptr;
    TCheckBox* DontBreakMusicCheck = nullptr;

    // "Ü&berblendungen"
    TCheckBox* UseBlendingsCheck = nullptr;
    TPanel* RandomblendingsPanel = nullptr;
    TSymbolCheckListBox* RandomBlendingsListBox = nullptr;
    TButton* AllBlendingsBtn = nullptr;
    TButton* InvertBlendingsBtn = nullptr;
    TButton* UndoBlendingsBtn = nullptr;

    // "Vistelo-Beschreibung"
    TEdit* VisteloInfoTitleEdit = nullptr;
    TMemo* VisteloInfoMemo = nullptr;
    TPaintBox* DiaInfoThumbnailPaintBox = nullptr;
    TLabel* DiaInfoThumbnailLabel = nullptr;
    TButton* DeleteInfoPictureBtn = nullptr;
    TOpenDialog* InfoPictureOpenDialog = nullptr;

    // "Info"
    TMemo* AboutVisteloMemo = nullptr;

    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TButton* HelpBtn = nullptr;

    // The dialog's own copy of the info picture (none: the show gets none).
    TJPEGImage* InfoPicture() const { return infoPicture_.get(); }

    void FormActivate();
    void OKBtnClick();
    void ScaleFontToScreenCheckClick();
    void WindowSizeCheckClick();
    void EnableControls();
    void FillRandomBlendings();

    void AddMusicClick();
    void DeleteMusicClick();
    void MusicUpClick();
    void MusicDownClick();
    void PreviewMusicClick();
    void MusicFileNamesListBoxClick();
    void MusicPopupMenuPopup();
    void MusicListMouseMove(int X, int Y);

    // Takes the picture file as the info picture, fitted into 150 x 100 and
    // kept as a JPEG of quality 100; false (the old one stays) when it does
    // not load.
    bool TakeInfoPicture(const std::string& FileName);
    void ChooseInfoPictureClick();
    void DeleteInfoPictureClick();
    void PaintInfoPicture();
    // The label and the remove button follow the picture; the box repaints.
    void ShowInfoPictureState();

private:
    void CreateVisteloSheet();
    void CreateMusicPanel();
    void CreatePlayerSheet();
    void CreateEndSheet();
    void CreateBlendingsSheet();
    void CreateDescriptionSheets();
    void CreateButtons();
    void WriteBack();

    TVistelo& document_;
    std::string showFile_;
    std::unique_ptr<TJPEGImage> infoPicture_;
    // Set while the controls are filled: their handlers keep still then.
    bool filling_ = false;
    std::string musicHintText_;
};

#pragma once

// "Erweiterte Bildeinstellungen": the sound, comment, pause and placement
// settings of the current picture, edited in a private copy and carried over
// on OK to every selected picture, setting by setting, only where the user
// changed something.

#include <memory>
#include <string>

#include "core/VisteloNPics.h"
#include "platform/ui/Forms.h"

class TButton;
class TCheckBox;
class TColorPickerButton;
class TComboBox;
class TFilenameEdit;
class TFontDialog;
class TGroupBox;
class TKsSpinEdit;
class TLabel;
class TPageControl;
class TPaintBox;
class TPanel;
class TRadioButton;
class TTabSheet;
class TTimer;

// The tabs, in the order of the page control.
enum TExtPicPrefsPage : int { eppSound, eppComment, eppPause, eppPlacement };

class TExtPicPrefsDlg : public TForm {
    DECLARE_CLASS(TExtPicPrefsDlg, TForm)
public:
    explicit TExtPicPrefsDlg(TComponent* AOwner);
    ~TExtPicPrefsDlg() override;

    // Opens the dialog modally on the current selection at a tab; it frees
    // itself. True when OK changed pictures.
    static bool Execute(TExtPicPrefsPage Page);

    // The picture the copy was taken from (none before activation or
    // without a selection) and the copy the controls edit.
    TPicInfoObject* CurrentEntry() const { return current_; }
    TPicInfoObject& WorkingCopy() { return *copy_; }

    TPageControl* PageControl = nullptr;
    TTabSheet* SoundSheet = nullptr;
    TTabSheet* CommentSheet = nullptr;
    TTabSheet* PauseSheet = nullptr;
    TTabSheet* PlacementSheet = nullptr;

    TFilenameEdit* SoundFilenameEdit = nullptr;
    TButton* PreviewSoundBtn = nullptr;
    TRadioButton* DontSynchronizeCheck = nullptr;
    TRadioButton* SynchronizeExactCheck = nullptr;
    TRadioButton* SynchronizeCheck = nullptr;
    TCheckBox* RepeatSoundCheck = nullptr;
    TCheckBox* DontStopSoundCheck = nullptr;

    TComboBox* EffectsComboBox = nullptr;
    TGroupBox* EffectColor1Group = nullptr;
    TGroupBox* EffectColor2Group = nullptr;
    TColorPickerButton* EffectColor1 = nullptr;
    TColorPickerButton* EffectColor2 = nullptr;
    TLabel* FontNameLabel = nullptr;
    TButton* ChooseFontBtn = nullptr;
    TPanel* FontColorPanel = nullptr;
    TCheckBox* PixelHeightCheck = nullptr;
    TPanel* PixelHeightPanel = nullptr;
    TKsSpinEdit* PixelHeightEdit = nullptr;
    TCheckBox* UserCommentPosCheck = nullptr;
    TButton* SetUserCommentPosBtn = nullptr;
    TColorPickerButton* PreviewBackgroundColor = nullptr;
    TPaintBox* FontPreview = nullptr;
    TFontDialog* FontDialog = nullptr;

    TCheckBox* UserDelayCheck = nullptr;
    TPanel* UserDelayPanel = nullptr;
    TKsSpinEdit* UserDelayEdit = nullptr;

    TRadioButton* CenterCheck = nullptr;
    TRadioButton* TopLeftCheck = nullptr;
    TRadioButton* TopCenterCheck = nullptr;
    TRadioButton* TopRightCheck = nullptr;
    TRadioButton* RightCenterCheck = nullptr;
    TRadioButton* BottomRightCheck = nullptr;
    TRadioButton* BottomCenterCheck = nullptr;
    TRadioButton* BottomLeftCheck = nullptr;
    TRadioButton* LeftCenterCheck = nullptr;
    TRadioButton* UserPlacementCheck = nullptr;
    TButton* UserPlacementBtn = nullptr;
    TCheckBox* UserSizeCheck = nullptr;
    TPanel* UserSizePanel = nullptr;
    TKsSpinEdit* WidthEdit = nullptr;
    TKsSpinEdit* HeightEdit = nullptr;
    TRadioButton* PicPercentCheck = nullptr;
    TRadioButton* WinPercentCheck = nullptr;

    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TButton* HelpBtn = nullptr;
    // Closes the dialog when there is nothing to edit.
    TTimer* ExitTimer = nullptr;

    // The placement radio buttons by TSpecialPlacement value.
    TRadioButton* PlacementRadio(int Placement) const;

    void FormActivate();
    void OKBtnClick();
    void PreviewSoundBtnClick();
    void ChooseFontBtnClick();
    void FontColorPanelClick();
    void UserPlacementBtnClick();
    void SetUserCommentPosBtnClick();

    static constexpr const char* NoSelectionMessage =
        "Sie müssen mindestens ein Bild markieren, zu dem Sie Einstellungen vornehmen möchten.";
    static constexpr const char* NoSoundMessage =
        "Sie haben keine Sounddatei eingetragen. Klicken Sie auf das Symbol rechts neben der Eingabezeile, um eine "
        "Soundatei auszuwählen oder geben Sie den Dateinamen direkt ein.";

private:
    void CreateSoundSheet();
    void CreateCommentSheet();
    void CreatePauseSheet();
    void CreatePlacementSheet();
    void FillControls();
    void FillCommentControls();
    void FillPlacementControls();
    void SynchronizeClick();
    void PlacementClick(int Placement);
    void UserSizeCheckClick();
    void SizeEditChange(bool Width);
    void EffectsChange();
    void PixelHeightCheckClick();
    void UserCommentPosCheckClick();
    void FontPreviewPaint();
    void RedrawPreview();
    // A font for the copy when the entry has none, so the dialog always has one.
    TFont& CopyFont();

    std::unique_ptr<TPicInfoObject> copy_;
    TPicInfoObject* current_ = nullptr;
    bool filling_ = false;
    bool applied_ = false;
};

#pragma once

// The playback window: plays one show (or the shows of a show list) modally,
// full screen or in a sizeable window. The window holds the components and
// the window modes and runs the dialogs; its jobs go to units of their own:
// the stepper decides which slide is on and when the next is due (and says
// how the step timer runs), the display draws the slides, the end of show
// runs the end actions and show lists, the input handles keys and mouse, and
// the sounds play the music and the slides' sounds.

#include "core/ShowStepper.h"
#include "core/SoundPlayerUnit.h"
#include "platform/media/MediaPlayer.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/KeepAwake.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/StdLabel.h"
#include "player/NavigationGlyphs.h"
#include "player/ShowEnd.h"
#include "player/ShowInput.h"
#include "player/ShowSounds.h"
#include "player/SlideDisplay.h"
#include "widgets/FileLbl.h"
#include "widgets/KSCtrls.h"
#include "widgets/TimerLst.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TVistelo;
class TPicInfoObject;
class TCommentsBoxForm;

// The run state remembered while the catalog is open.
enum TCatalogStopMode : std::uint8_t { csmNone, csmRunning, csmPauseMode, csmCatalogPause };

class TShowForm : public TForm {
    DECLARE_CLASS(TShowForm, TForm)
public:
    explicit TShowForm(TComponent* AOwner);
    ~TShowForm() override;

    // --- components (owned by the form) ---
    TScrollBox* DiaScrollBox = nullptr;
    TPaintBox* DiaImage = nullptr;
    TPanel* NavigationBarPanel = nullptr;
    TPanel* MenuPanel = nullptr;
    TPanel* Panel1 = nullptr;
    TKsSpeedButton* SpeedButton1 = nullptr; // previous slide
    TKsSpeedButton* ShowStartBtn = nullptr;
    TKsSpeedButton* ShowPauseBtn = nullptr;
    TKsSpeedButton* SpeedButton4 = nullptr; // next slide
    TKsSpeedButton* SpeedButton5 = nullptr; // catalog
    TKsSpeedButton* SpeedButton6 = nullptr; // comments box
    TKsSpeedButton* SpeedButton7 = nullptr; // default pause
    TKsSpeedButton* EnableMusicButton = nullptr;
    TKsSpeedButton* EnableSoundButton = nullptr;
    TKsSpeedButton* SpeedButton8 = nullptr; // end the show
    TKsSpeedButton* InfoBtn = nullptr;
    TBevel* Bevel5 = nullptr;
    TBevel* Bevel1 = nullptr;
    TBevel* Bevel2 = nullptr;
    TBevel* Bevel3 = nullptr;
    TBevel* Bevel4 = nullptr;
    TBevel* FithSeparator = nullptr;
    TMediaPlayer* MusicMediaPlayer = nullptr;
    TMediaPlayer* SoundMediaPlayer = nullptr;
    TFileLabel* FilenameLabel = nullptr;
    TLabel* MessageLabel = nullptr;
    TFontDialog* FontDialog1 = nullptr;
    TColorDialog* ColorDialog1 = nullptr;
    TTimer* DiaTimer = nullptr;
    TSoundPlayerTimer* MusicPlayerTimer = nullptr;
    TSoundPlayerTimer* SoundPlayerTimer = nullptr;
    TKsTimerList* KsTimerList = nullptr;
    TKsTimerEvent* ExitTimer = nullptr;
    TKsTimerEvent* MouseCaptureTimer = nullptr;

    // --- the window's jobs ---
    TShowStepper Stepper;
    std::unique_ptr<TSlideDisplay> Display;
    std::unique_ptr<TShowSounds> Sounds;
    std::unique_ptr<TShowEnd> End;
    std::unique_ptr<TShowInput> Input;
    // Holds the screen saver and the screen's blanking off from the
    // window's creation until it closes.
    std::unique_ptr<ui::TKeepAwake> KeepAwake;

    // --- fields ---
    bool CommentsBoxWanted = false;
    bool CommentsBoxToggled = false;
    TCatalogStopMode CatalogStopMode = csmNone;
    std::int32_t CatalogChoice = -1;
    TCommentsBoxForm* CommentsBox = nullptr; // the open comments box, if any

    // --- creation, window modes ---
    void FormCreate();
    void FormDestroy();
    void FormClose(TCloseAction& Action);
    void FormResize();
    void FormShow();
    void FormActivate();
    // Takes a show over (Reload: the next show of a running playback, which
    // keeps running when it ran).
    void InitVistelo(TVistelo* AShow, bool Running, bool Reload);
    void SetFormStyle();
    void MakeWindowSize();
    // A sizeable window on the middle of the work area.
    void MakeSizeableWindow();
    void SetWindowFullScreen();
    bool WindowMaximized() const;
    void EnableStayOnTop();
    void DisableStayOnTop();
    // Runs a modal dialog with stay-on-top off, also when it raises.
    void WithoutStayOnTop(const std::function<void()>& RunDialog);
    // Changes the window's mode with its show and resize handlers detached,
    // so they do not run half-way.
    void WithHandlersDetached(const std::function<void()>& Change);

    // --- dialogs ---
    void InfoBtnClick();
    void ShowCommentsBtnClick();
    void OpenCommentsBox();
    void CloseCommentsBox();
    void SetDelayBtnClick();
    void CatalogToolBtnClick();

    // Runs the catalog on the playing show (the player's build of it by
    // default); it may set CatalogStopMode to csmRunning or CatalogChoice to
    // a picture index. When empty the user is told there is no catalog, and
    // the round trip ends as if the catalog were closed without a choice.
    static std::function<void(TShowForm& Form)> RunCatalog;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void CreateComponents();
    void CreateNavigationBar();
    TKsSpeedButton* AddButton(TWinControl* Parent, int Left, TNavigationGlyph Glyph, const std::string& Hint,
                              std::function<void()> Click);
    TBevel* AddSeparator(TWinControl* Parent, int Left);
    void BindEvents();
    void BindStepper();
    void BindDisplay();
    // The comments box shows the comment of a new slide.
    void ShowSlideComments(const TPicInfoObject& Pic);
    // No picture of the show loads: stop, tell the user, end the show.
    void NoPictureLoads(const std::string& FirstFile);
};

// The one playback window while a start operation runs.
extern TShowForm* ShowForm;

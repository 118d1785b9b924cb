#pragma once

// The playback window: plays one show (or the shows of a show list) modally,
// full screen or in a sizeable window. A step timer decides when the next
// slide is due; each slide is drawn into a back buffer with its picture,
// background and comment and brought on screen through its transition, while
// the following slide is rendered ahead into a one-slot cache. At the end of
// a show the show's end action repeats it, loads the next show of the folder,
// asks the user or closes the window. Keys, mouse, background music and slide
// sounds are handled here too.

#include "core/SmoothBitmap.h"
#include "core/SoundPlayerUnit.h"
#include "player/NavigationGlyphs.h"
#include "platform/media/MediaPlayer.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/StdLabel.h"
#include "widgets/FileLbl.h"
#include "widgets/KSCtrls.h"
#include "widgets/TimerLst.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TVistelo;
class TVisteloList;
class TPicInfoObject;
class TPicture;
class TCommentsBoxForm;

// How far a show-list playback has come.
enum TListMode : std::uint8_t { lmNone, lmFirstShow, lmRunning, lmQuit };
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

    // --- fields ---
    std::unique_ptr<TSmoothBitmap> SlideBitmap; // the slide on screen
    bool FirstSlide = true;                      // the first transition starts from black
    bool CommentsBoxWanted = false;
    std::unique_ptr<TSoundPlayer> MusicPlayer;
    std::unique_ptr<TSoundPlayer> SoundPlayer;
    bool SoundWaitReleased = false; // the step may advance although the slide sound plays
    bool Paused = false;
    std::int32_t MusicIndex = -1; // -1 not started, -2 list finished
    std::int32_t FirstStepMarker = -1;
    bool CommentsBoxToggled = false;
    bool KeepSound = false;
    bool PositionSet = false; // the next step shows the position set without advancing
    bool ExitRequested = false;
    TMessageEvent SavedOnMessage;
    std::unique_ptr<TBitmap> NextBitmap; // the next slide rendered ahead
    std::int32_t NextBitmapIndex = -1;
    std::uint32_t StepStart = 0; // tick at which the slide's pause began; 0: due at once
    TPoint MousePos{-1, -1};
    std::uint32_t MouseStillSince = 0;
    bool CursorVisible = true;
    TVistelo* Show = nullptr;       // owned by the start operation
    TVisteloList* List = nullptr;   // owned by the start operation
    std::unique_ptr<TmyElPlayer> DecoderPlayer; // none when the decoder module is missing
    TCatalogStopMode CatalogStopMode = csmNone;
    std::int32_t CatalogChoice = -1;
    std::string ShowFiles; // CR LF separated show files for the next-show step
    TListMode ListMode = lmNone;
    std::int32_t ListIndex = 0;
    TCommentsBoxForm* CommentsBox = nullptr; // the open comments box, if any

    // --- creation, window modes ---
    void FormCreate();
    void FormDestroy();
    void FormClose(TCloseAction& Action);
    void FormResize();
    void FormShow();
    void FormActivate();
    void InitVistelo(TVistelo* AShow, bool Running, bool Reload);
    void SetFormStyle();
    void MakeWindowSize();
    void SetWindowFullScreen();
    void EnableStayOnTop();
    void DisableStayOnTop();
    // Runs a modal dialog with stay-on-top off, also when it raises.
    void WithoutStayOnTop(const std::function<void()>& RunDialog);
    void DiaImagePaint();
    void SetDiaImageSize(const TPicInfoObject& Pic, const TBitmap& Bitmap);

    // --- step loop ---
    void DiaTimerTimer();
    void NextDia(bool Draw);
    void PrevDia();
    void FindNextPic(bool& Found, bool Advance);
    void FindPrevPic(bool& Found);
    std::int32_t FindNextPicNr() const;
    void SetVisteloPos(std::int32_t Pos, bool Step);
    void SetDiaTimerInterval();
    void ShowPauseBtnClick();
    void ShowStartBtnClick();

    // --- picture display ---
    void ShowPicture(bool Draw, bool NewStep);
    void InvalidateNextBitmap();
    void PreloadNextPicture();

    // --- end of show, show lists ---
    bool VisteloEnd(bool Forward, bool Manual);
    void VisteloExit(bool Manual);
    void ExitBtnClick();
    void ExitTimerTimer();
    bool LoadNextVistelo(bool Forward);
    bool ReloadVistelo(const std::string& FileName);
    void ScanDirectory(const std::string& Folder);
    void VisteloListVisteloEnd(TVistelo& AShow);
    bool VisteloManager(TVistelo* AShow, TVisteloList* AList, std::int32_t StartIndex);
    void JumpToShow(TVistelo* AShow, std::int32_t Index, const std::string& FileName);
    void VisteloLogo(TVistelo* AShow, const std::string& FileName, bool FromObject);
    void PlayVistelo(const std::string& FileName, std::int32_t StartPos);

    // --- input, music and sounds ---
    void FormKeyUp(WORD& Key, TShiftState Shift);
    void FormKeyPress(char32_t& Key);
    void DiaImageMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void MouseCaptureTimerTimer();
    void ShowMessageHandler(TMsg& Msg, bool& Handled);
    bool NextMusicFilename(std::string& Name);
    void StartMusic();
    void MusicPlayerFinished(bool& Repeat);
    void EnableMusicButtonClick();
    void StartSound();
    void SoundPlayerFinished(bool& Repeat);
    void EnableSoundButtonClick();
    void InfoBtnClick();
    void ShowCommentsBtnClick();
    void OpenCommentsBox();
    void CloseCommentsBox();
    void SetDelayBtnClick();
    void CatalogToolBtnClick();

    // Runs the catalog on the playing show; it may set CatalogStopMode to
    // csmRunning or CatalogChoice to a picture index. Empty while no catalog
    // is available: the round trip then ends as if closed without a choice.
    static std::function<void(TShowForm& Form)> RunCatalog;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void CreateComponents();
    void CreateNavigationBar();
    TKsSpeedButton* AddButton(TWinControl* Parent, int Left, TNavigationGlyph Glyph, const std::string& Hint,
                              std::function<void()> Click);
    TBevel* AddSeparator(TWinControl* Parent, int Left);
    void CreateSoundPlayers();
    void BindEvents();

    std::int32_t SlidePause(const TPicInfoObject& Pic) const;
    bool SlideWaits() const;
    void StepCheck();
    // One slide on or back (through the end actions at the wrap); the slide
    // is drawn when Draw.
    void StepDia(bool Forward, bool Draw);

    struct TSlideRender;
    bool LoadSlidePicture(const TPicInfoObject& Pic, const std::string& File, TSlideRender& Render);
    void ShowLoadingMessage(const TPicInfoObject& Pic, const std::string& File);
    void ShowFileLabels(const TPicInfoObject& Pic, const std::string& File);
    void PlaceSlidePicture(const TPicInfoObject& Pic, TPicture* Picture, TBitmap& Bitmap, TRect& Rect,
                           bool CacheOnly, bool Render, TSlideRender* Slide);
    void BlendSlide(const TPicInfoObject& Pic, int Left, int Top, int RH, int RW, TSlideRender& Slide);
    void DrawSlidePicture(const TPicInfoObject& Pic, int Left, int Top, TBitmap& Bitmap, TPicture* Picture, int H,
                          int W, bool WithComment);
    void DrawSlideComment(const TPicInfoObject& Pic, TBitmap& Bitmap, const TRect& PictureRect);
    void ShowNavBarComment(const TPicInfoObject& Pic);
    bool CacheHolds(std::int32_t PictureIndex) const;
    std::int32_t PictureOnScreen() const;

    // Runs the end question of Action (3, 4 or 5); true when the end is
    // decided (Result), false to go on with Action.
    bool AskEndQuestion(std::int32_t& Action, bool Manual, bool Forward, bool& Result);
    int RunEndQuestion(std::int32_t Action, bool Manual, std::string& FileName);
    // Ends the show at once (or goes back to the show list's chooser).
    void VisteloExitNow();
    void FinishExit();
    void RedrawStretchedSlide();
    bool WindowMaximized() const;

    bool inStepCheck_ = false;   // DiaTimerTimer or NextDia runs
    bool stepCheckAgain_ = false; // a step check was asked for meanwhile
    bool drawFlag_ = true;        // ShowPicture's Draw while it runs
    bool newStepFlag_ = true;     // ShowPicture's NewStep while it runs
};

// The one playback window while a start operation runs.
extern TShowForm* ShowForm;
// The picture area's client size at the first picture; -1 until then.
extern std::int32_t OrigWidth;
extern std::int32_t OrigHeight;

#include "screensaver/Show.h"

#include "core/PictureAhead.h"
#include "core/Setup.h"
#include "core/ShowStartAhead.h"
#include "core/Tools.h"
#include "core/VisteloNPics.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Files.h"
#include "platform/ui/ForeignWindow.h"
#include "player/ShowDevices.h"
#include "screensaver/SSaverInterface.h"
#include "screensaver/ScreenSaverSetup.h"

#include <algorithm>
#include <cstdint>
#include <memory>

IMPLEMENT_CLASS(TShowForm)

namespace {

constexpr int PlaceholderSlides = 10;
constexpr unsigned ParentWatchInterval = 200;
constexpr std::int64_t MaxStepTimerInterval = 60000;
constexpr const char* PlaceholderComment = "Keine Vistelo angegeben.\rBitte prüfen Sie die Einstellungen.";

// Input that arrives through the message queue (keys, buttons, the pointer).
bool IsQueuedInput(UINT Message)
{
    return (Message >= WM_KEYDOWN && Message <= WM_SYSKEYUP) || (Message >= WM_MOUSEMOVE && Message <= WM_MBUTTONUP);
}

} // namespace

TShowForm::TShowForm(TComponent* AOwner, bool Preview) : TForm(AOwner), preview_(Preview)
{
    SetCaption("Ostrelind Vistelo-Bildschirmschoner");
    SetBorderStyle(bsNone);
    SetColor(clBlack);
    Input.Preview = Preview;
    Input.IgnoreOtherApplications = ScreenSaverSetup::IgnoreOtherApplications;
    Input.Threshold = SSaverInterface::MouseThreshold;
    CreateComponents();
    BindEvents();
    Display = std::make_unique<TSlideDisplay>(Stepper, *DiaScrollBox, *DiaImage, *FilenameLabel, *MessageLabel);
    Display->OnBeforeTransition = [this](const TPicInfoObject& Pic) { Sounds->StopBeforeTransition(Pic); };
    Display->OnSlideShown = [this](const TPicInfoObject&) { Sounds->StartSound(); };
    SoundPlayerUnit::DontRestartMusic = false;
    Sounds = std::make_unique<TShowSounds>(Stepper, *MusicMediaPlayer, *MusicPlayerTimer, *EnableMusicButton,
                                           *SoundMediaPlayer, *SoundPlayerTimer, *EnableSoundButton);
    savedOnMessage_ = Application->OnMessage;
    Application->OnMessage = [this](TMsg& Msg, bool& Handled) { ShowMessageHandler(Msg, Handled); };
}

TShowForm::~TShowForm()
{
    Stepper.StopTimer();
    Sounds.reset();
    Display.reset();
    Application->OnMessage = savedOnMessage_;
    if (savedWindowProc_)
        WindowProc = savedWindowProc_;
}

void TShowForm::CreateComponents()
{
    DiaScrollBox = new TScrollBox(this);
    DiaScrollBox->SetParent(this);
    DiaScrollBox->SetAlign(alClient);
    DiaScrollBox->SetColor(clBlack);
    DiaScrollBox->SetBorderStyle(bsNone);
    DiaImage = new TPaintBox(this);
    DiaImage->SetParent(DiaScrollBox);
    DiaImage->SetAlign(alClient);

    NavigationBarPanel = new TPanel(this);
    NavigationBarPanel->SetParent(this);
    NavigationBarPanel->SetAlign(alBottom);
    NavigationBarPanel->SetVisible(false);
    EnableMusicButton = new TKsSpeedButton(this);
    EnableMusicButton->SetParent(NavigationBarPanel);
    EnableSoundButton = new TKsSpeedButton(this);
    EnableSoundButton->SetParent(NavigationBarPanel);
    FilenameLabel = new TFileLabel(this);
    FilenameLabel->SetParent(NavigationBarPanel);
    MessageLabel = new TLabel(this);
    MessageLabel->SetParent(NavigationBarPanel);

    ShowDevices::CreateShowDevices(this, MusicMediaPlayer, SoundMediaPlayer, DiaTimer, MusicPlayerTimer,
                                   SoundPlayerTimer);
    ParentWatchTimer = new TTimer(this);
    ParentWatchTimer->SetEnabled(false);
    ParentWatchTimer->SetInterval(ParentWatchInterval);
}

void TShowForm::BindEvents()
{
    DiaImage->OnPaint = [this](TObject*) {
        if (Display)
            Display->Paint();
    };
    DiaTimer->OnTimer = [this](TObject*) { Stepper.DiaTimerTimer(); };
    ParentWatchTimer->OnTimer = [this](TObject*) { ParentWatchTimerTimer(); };
    OnResize = [this](TObject*) {
        if (Stepper.Show && Display)
            Display->Resize();
    };
    OnActivate = [this](TObject*) {
        Input.Origin = TPoint{-1, -1};
        if (!savedWindowProc_) {
            savedWindowProc_ = WindowProc;
            WindowProc = [this](TMessage& Message) { ScreenSaverWindowProc(Message); };
        }
        if (CanFocus())
            SetFocus();
    };
    OnClose = [this](TObject*, TCloseAction&) {
        Stepper.StopTimer();
        MusicMediaPlayer->Close();
        SoundMediaPlayer->Close();
    };

    Stepper.OnTimerChange = [this] {
        DiaTimer->SetEnabled(Stepper.TimerEnabled());
        DiaTimer->SetInterval(StepTimerInterval());
    };
    Stepper.OnShowSlide = [this] { Display->ShowPicture(true, true); };
    // The show repeats: after the last slide the first one it may show.
    Stepper.OnShowEnd = [this](bool) {
        bool found = true;
        Stepper.FindNextPic(found, false);
        return true;
    };
    // A show of hidden slides only stays black until the user ends the saver.
    Stepper.OnNothingToShow = [this] { Stepper.StopTimer(); };
    Stepper.OnPositionJump = [this] { Display->InvalidateNextBitmap(); };
    Stepper.OnWait = [this] {
        DiaTimer->SetInterval(StepTimerInterval());
        Tools::ProcessComponentMessages(Handle());
    };
    Stepper.SlideSoundPlaying = [this] { return Sounds->SoundPlayer->Playing(); };
}

// A slide that waits only for its pause wakes the window once, when it is
// due, instead of every few milliseconds: a screen saver stands on its
// slides for long, and should cost nothing meanwhile. A slide held by its
// sound is checked at the stepper's pace once its pause has passed.
unsigned TShowForm::StepTimerInterval() const
{
    const unsigned stepperInterval = Stepper.TimerInterval();
    const TPicInfoObject* pic = Stepper.Show ? Stepper.Show->Dia() : nullptr;
    if (!pic || Stepper.StepStart == 0 || Stepper.Paused())
        return stepperInterval;
    const std::int64_t pause = pic->Pause == -1 ? Stepper.Show->Pause : pic->Pause;
    const std::int64_t left = pause - static_cast<std::int64_t>(rtl::GetTickCount() - Stepper.StepStart);
    return static_cast<unsigned>(std::clamp<std::int64_t>(left, stepperInterval, MaxStepTimerInterval));
}

void TShowForm::InitVistelo(TVistelo* AShow)
{
    Display->InvalidateNextBitmap();
    Sounds->KeepSound = false;
    Stepper.TakeOver(AShow, true);
    if (!preview_) {
        SetBounds(0, 0, Screen->Width(), Screen->Height());
        SetWindowState(wsMaximized);
        SetFormStyle(fsStayOnTop);
    }
    // The picture area has its size now: the first picture loads while the
    // window comes up, unless it is already on its way.
    Display->LoadFirstPictureAhead();
    Sounds->MusicIndex = -1;
    Sounds->BindFinishedEvents();
    Sounds->StartMusic();
    Stepper.FirstStepMarker = -1;
}

bool TShowForm::EmbedInHostWindow(std::uintptr_t Window)
{
    if (!ui::EmbedInForeignWindow(this, Window))
        return false;
    hostWindow_ = Window;
    ParentWatchTimerTimer();
    ParentWatchTimer->SetEnabled(true);
    return true;
}

// The host's window going takes the preview with it; a host that resizes
// its window gets a preview of the new size.
void TShowForm::ParentWatchTimerTimer()
{
    const std::optional<TRect> host = ui::ForeignWindowRect(hostWindow_);
    if (!host) {
        ParentWatchTimer->SetEnabled(false);
        TryCloseScreenSaver();
        return;
    }
    if (host->Width() != Width() || host->Height() != Height())
        SetBounds(0, 0, host->Width(), host->Height());
}

void TShowForm::ScreenSaverWindowProc(TMessage& Message)
{
    // Keys and the mouse were judged by the message hook on their way in.
    if (IsQueuedInput(Message.Msg)) {
        savedWindowProc_(Message);
        return;
    }
    TPoint cursor{0, 0};
    ui::GetCursorPos(cursor);
    switch (Input.React(Message.Msg, Message.WParam, cursor)) {
    case irPass: savedWindowProc_(Message); break;
    case irHandled: break;
    case irClose: TryCloseScreenSaver(); break;
    }
}

void TShowForm::ShowMessageHandler(TMsg& Msg, bool& Handled)
{
    if (Msg.message == WM_SYSCOMMAND && (Msg.wParam & 0xFFF0) == SC_SCREENSAVE) {
        Handled = true;
        return;
    }
    if (IsQueuedInput(Msg.message) && Visible()) {
        switch (Input.React(Msg.message, Msg.wParam, Msg.pt)) {
        case irPass: break;
        case irHandled: Handled = true; break;
        case irClose:
            Handled = true;
            TryCloseScreenSaver();
            return;
        }
    }
    if (!Handled && savedOnMessage_)
        savedOnMessage_(Msg, Handled);
}

void TShowForm::TryCloseScreenSaver()
{
    if (preview_ || SSaverInterface::VerifyScreenSaverPassword(HandleAllocated() ? Handle() : nullptr)) {
        Stepper.StopTimer();
        Stepper.ExitRequested = true;
        ModalResult = mrOk;
        // Wakes the modal loop, which may be waiting for the next event.
        ui::PostMessage(nullptr, WM_NULL, 0, 0);
    }
}

namespace Show {

void FillPlaceholderShow(TVistelo& Vistelo)
{
    Vistelo.Clear();
    for (int i = 0; i < PlaceholderSlides; ++i) {
        TPicInfoObject pic;
        pic.FileName.clear();
        pic.Comments = PlaceholderComment;
        pic.CommentFont->SetColor(clRed);
        pic.CommentEffects = ceBorder;
        pic.EffectColor1 = 0;
        pic.CommentAlignment = caCenter;
        pic.CommentPlacement = cpPictureMiddle;
        pic.BackgroundColor = static_cast<TColor>(rtl::Random(0xFFFFFF));
        Vistelo.AddDia(pic);
    }
}

void ForceScreenSaverSettings(TVistelo& Vistelo, bool Mute)
{
    Vistelo.EndAction = deAutoRepeat;
    Vistelo.PlayMusic = Vistelo.PlayMusic && !Mute;
    Vistelo.AutoStartMusic = Vistelo.AutoStartMusic && !Mute;
    Vistelo.AutoStartSound = Vistelo.AutoStartSound && !Mute;
    Vistelo.ShowNavigationBar = false;
    Vistelo.StartFullScreen = true;
    // Nobody can press play in a screen saver: a show that waits for it
    // would stand on its first slide for ever.
    Vistelo.StartImmediately = true;
}

namespace {

std::string ExpandedShowFile()
{
    return ScreenSaverSetup::Filename.empty() ? std::string() : rtl::ExpandFileName(ScreenSaverSetup::Filename);
}

std::unique_ptr<TShowStartAhead> ReadScreenSaverShow(bool Preview)
{
    ScreenSaverSetup::ReadScreenSaverSettings();
    if (Preview)
        ScreenSaverSetup::Mute = true;
    auto start = std::make_unique<TShowStartAhead>();
    start->Show = std::make_unique<TVistelo>();
    if (start->Show->LoadFromFile(ScreenSaverSetup::Filename, false, true) == dlrOK)
        ForceScreenSaverSettings(*start->Show, ScreenSaverSetup::Mute);
    else
        start->Show.reset(); // the placeholder is made once the toolkit is up
    return start;
}

} // namespace

std::unique_ptr<TShowStartAhead> PrepareScreenSaverRun(std::optional<TSize> Screen)
{
    std::unique_ptr<TShowStartAhead> start = ReadScreenSaverShow(false);
    // The saver always plays full screen.
    if (start->Show && Screen)
        start->FirstPicture = ShowStartAhead::StartFirstPicture(*start->Show, ExpandedShowFile(), *Screen);
    return start;
}

void RunScreenSaver(std::unique_ptr<TShowStartAhead> Prepared)
{
    const bool preview = SSaverInterface::Mode == ssmPreview;
    const std::unique_ptr<TShowStartAhead> start = Prepared ? std::move(Prepared) : ReadScreenSaverShow(preview);
    Application->Initialize();
    auto form = std::make_unique<TShowForm>(nullptr, preview);
    if (!start->Show) {
        start->Show = std::make_unique<TVistelo>();
        FillPlaceholderShow(*start->Show);
        ForceScreenSaverSettings(*start->Show, ScreenSaverSetup::Mute);
    }
    Setup::VisteloFilename = ExpandedShowFile();
    // A preview without its host window has nowhere to go.
    if (preview && !form->EmbedInHostWindow(SSaverInterface::WindowNumber))
        return;
    form->Display->AdoptPictureAhead(std::move(start->FirstPicture));
    form->InitVistelo(start->Show.get());
    form->Stepper.SetVisteloPos(-1, false);
    form->ShowModal();
    form.reset();
}

} // namespace Show

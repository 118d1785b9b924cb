#include "player/Show.h"

#include "core/Setup.h"
#include "core/Tools.h"
#include "core/VisteloNPics.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"
#include "player/CommentsBox.h"
#include "player/PlayerAbout.h"
#include "player/PlayerCatalog.h"
#include "player/PlayerSetup.h"
#include "player/ShowDevices.h"
#include "player/SpeedChg.h"

#include <algorithm>

IMPLEMENT_CLASS(TShowForm)

TShowForm* ShowForm = nullptr;

std::function<void(TShowForm& Form)> TShowForm::RunCatalog = &PlayerCatalog::Run;

using namespace Setup;

namespace {

constexpr int NavigationBarHeight = 28;
constexpr int ButtonWidth = 25;

constexpr const char* NoPictureFound = "Keines der Bilder dieser Vistelo wurde gefunden.\r\n\r\n"
                                       "Das erste fehlende Bild ist:\r\n";

// Keeps the window's show and resize handlers detached for a scope.
class TDetachedHandlers {
public:
    explicit TDetachedHandlers(TShowForm& form)
        : form_(form), onShow_(std::move(form.OnShow)), onResize_(std::move(form.OnResize))
    {
        form_.OnShow = nullptr;
        form_.OnResize = nullptr;
    }
    ~TDetachedHandlers()
    {
        form_.OnShow = std::move(onShow_);
        form_.OnResize = std::move(onResize_);
    }
    TDetachedHandlers(const TDetachedHandlers&) = delete;
    TDetachedHandlers& operator=(const TDetachedHandlers&) = delete;

private:
    TShowForm& form_;
    TNotifyEvent onShow_;
    TNotifyEvent onResize_;
};

} // namespace

// ---------------------------------------------------------------------------
// Creation and window modes

TShowForm::TShowForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Ostrelind Vistelo-Player");
    SetBorderStyle(bsNone);
    SetColor(clBlack);
    SetClientWidth(687);
    SetClientHeight(470);
    KeyPreview = true;
    CreateComponents();
    BindEvents();
    FormCreate();
}

TShowForm::~TShowForm()
{
    FormDestroy();
    if (ShowForm == this)
        ShowForm = nullptr;
}

void TShowForm::CreateParams(TCreateParams& Params)
{
    TForm::CreateParams(Params);
    Params.Style |= WS_MAXIMIZEBOX;
}

void TShowForm::CreateComponents()
{
    DiaScrollBox = new TScrollBox(this);
    DiaScrollBox->SetParent(this);
    DiaScrollBox->SetAlign(alClient);
    DiaScrollBox->SetColor(clBlack);
    DiaScrollBox->SetBorderStyle(bsNone);
    DiaScrollBox->HorzScrollBar().Tracking = true;
    DiaScrollBox->VertScrollBar().Tracking = true;

    DiaImage = new TPaintBox(this);
    DiaImage->SetParent(DiaScrollBox);
    DiaImage->SetAlign(alClient);

    CreateNavigationBar();

    ShowDevices::CreateShowDevices(this, MusicMediaPlayer, SoundMediaPlayer, DiaTimer, MusicPlayerTimer,
                                   SoundPlayerTimer);
    FontDialog1 = new TFontDialog(this);
    ColorDialog1 = new TColorDialog(this);

    KsTimerList = new TKsTimerList(this);
    ExitTimer = KsTimerList->ItemByHandle(KsTimerList->Add([this](TObject*) { End->ExitTimerTimer(); }, 1, true));
    ExitTimer->SetEnabled(false);
    MouseCaptureTimer = KsTimerList->ItemByHandle(
        KsTimerList->Add([this](TObject*) { Input->MouseCaptureTimerTimer(); }, 200, true));
    KsTimerList->Activate();
}

TKsSpeedButton* TShowForm::AddButton(TWinControl* Parent, int Left, TNavigationGlyph Glyph, const std::string& Hint,
                                     std::function<void()> Click)
{
    auto* button = new TKsSpeedButton(this);
    button->SetParent(Parent);
    button->SetBounds(Left, 2, ButtonWidth, NavigationBarHeight - 4);
    button->SetFlat(true);
    button->SetTransparent(true);
    button->SetLayout(blGlyphLeft);
    button->SetSpacing(4);
    button->SetGrayedInactive(false);
    TBitmap strip;
    NavigationGlyphs::Paint(strip, Glyph);
    button->SetGlyph(strip);
    button->SetNumGlyphs(2);
    button->Hint = Hint;
    button->SetShowHint(true);
    button->OnClick = [Click = std::move(Click)](TObject*) { Click(); };
    return button;
}

TBevel* TShowForm::AddSeparator(TWinControl* Parent, int Left)
{
    auto* bevel = new TBevel(this);
    bevel->SetParent(Parent);
    bevel->SetShape(bsLeftLine);
    bevel->SetBounds(Left, 2, 2, NavigationBarHeight - 4);
    return bevel;
}

void TShowForm::CreateNavigationBar()
{
    NavigationBarPanel = new TPanel(this);
    NavigationBarPanel->SetParent(this);
    NavigationBarPanel->SetAlign(alBottom);
    NavigationBarPanel->SetHeight(NavigationBarHeight);
    NavigationBarPanel->SetBevelOuter(bvNone);

    MenuPanel = new TPanel(this);
    MenuPanel->SetParent(NavigationBarPanel);
    MenuPanel->SetAlign(alLeft);
    MenuPanel->SetWidth(299);
    MenuPanel->SetBevelOuter(bvNone);

    int x = 2;
    SpeedButton1 = AddButton(MenuPanel, x, TNavigationGlyph::Previous, "Voriges Bild (Cursortaste Links)",
                             [this] { Stepper.PrevDia(); });
    ShowStartBtn = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Play, "Vistelo abspielen (Leertaste)",
                             [this] { Stepper.Start(); });
    ShowPauseBtn = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Pause, "Vistelo anhalten (Leertaste)",
                             [this] { Stepper.Pause(); });
    SpeedButton4 = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Next, "Nächstes Bild (Cursortaste Rechts)",
                             [this] { Stepper.NextDia(true); });
    Bevel5 = AddSeparator(MenuPanel, x += ButtonWidth + 1);
    SpeedButton5 = AddButton(MenuPanel, x += 3, TNavigationGlyph::Catalog, "Katalog aufrufen (A)",
                             [this] { CatalogToolBtnClick(); });
    SpeedButton6 = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Comments,
                             "Kommentarbox ein/ausschalten (K)", [this] { ShowCommentsBtnClick(); });
    SpeedButton7 = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Delay, "Standardverweildauer ändern (P)",
                             [this] { SetDelayBtnClick(); });
    Bevel1 = AddSeparator(MenuPanel, x += ButtonWidth + 1);
    EnableMusicButton = AddButton(MenuPanel, x += 3, TNavigationGlyph::Music, "Hintergrundmusik ein/ausschalten (M)",
                                  [this] { Sounds->EnableMusicButtonClick(); });
    EnableMusicButton->SetGroupIndex(1);
    EnableMusicButton->SetAllowAllUp(true);
    EnableSoundButton = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Sound,
                                  "Sound zu den Bildern ein/ausschalten (S)",
                                  [this] { Sounds->EnableSoundButtonClick(); });
    EnableSoundButton->SetGroupIndex(2);
    EnableSoundButton->SetAllowAllUp(true);
    Bevel2 = AddSeparator(MenuPanel, x += ButtonWidth + 1);
    SpeedButton8 = AddButton(MenuPanel, x += 3, TNavigationGlyph::Exit, "Vistelo beenden (ESC)",
                             [this] { End->ExitBtnClick(); });
    Bevel3 = AddSeparator(MenuPanel, x += ButtonWidth + 1);
    Bevel4 = AddSeparator(MenuPanel, x += 3);
    FithSeparator = AddSeparator(MenuPanel, x += 3);
    InfoBtn = AddButton(MenuPanel, x += 3, TNavigationGlyph::Info, "Info über den Vistelo-Player (I)",
                        [this] { InfoBtnClick(); });

    Panel1 = new TPanel(this);
    Panel1->SetParent(NavigationBarPanel);
    Panel1->SetAlign(alClient);
    Panel1->SetBevelOuter(bvNone);

    FilenameLabel = new TFileLabel(this);
    MessageLabel = new TLabel(this);
    for (TCustomLabel* label : {static_cast<TCustomLabel*>(FilenameLabel), static_cast<TCustomLabel*>(MessageLabel)}) {
        label->SetParent(Panel1);
        label->SetAutoSize(false);
        label->SetAlign(alClient);
        label->SetAlignment(taRightJustify);
        label->SetLayout(tlCenter);
        label->Font().SetName("Arial");
        label->Font().SetHeight(-19);
    }
    MessageLabel->SetTransparent(true);
}

void TShowForm::BindEvents()
{
    DiaImage->OnPaint = [this](TObject*) {
        if (Display)
            Display->Paint();
    };
    DiaImage->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Input->DiaImageMouseUp(Button, Shift, X, Y);
    };
    DiaTimer->OnTimer = [this](TObject*) { Stepper.DiaTimerTimer(); };
    OnResize = [this](TObject*) { FormResize(); };
    OnShow = [this](TObject*) { FormShow(); };
    OnActivate = [this](TObject*) { FormActivate(); };
    OnClose = [this](TObject*, TCloseAction& Action) { FormClose(Action); };
    OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) { Input->FormKeyUp(Key, Shift); };
    OnKeyPress = [this](TObject*, char32_t& Key) { Input->FormKeyPress(Key); };
    BindStepper();
}

// The step timer and the start and pause buttons follow the stepper; its
// steps are drawn by the display, the end of the show is the end's.
void TShowForm::BindStepper()
{
    Stepper.OnTimerChange = [this] {
        DiaTimer->SetEnabled(Stepper.TimerEnabled());
        DiaTimer->SetInterval(Stepper.TimerInterval());
    };
    Stepper.OnRunningChange = [this] {
        ShowPauseBtn->SetEnabled(!Stepper.Paused());
        ShowStartBtn->SetEnabled(Stepper.Paused());
    };
    Stepper.OnShowSlide = [this] { Display->ShowPicture(true, true); };
    Stepper.OnShowEnd = [this](bool Forward) { return End->VisteloEnd(Forward, false); };
    Stepper.OnNothingToShow = [this] { End->VisteloExitNow(); };
    Stepper.OnPositionJump = [this] { Display->InvalidateNextBitmap(); };
    Stepper.OnWait = [this] { Tools::ProcessComponentMessages(Handle()); };
    Stepper.SlideSoundPlaying = [this] { return Sounds->SoundPlayer->Playing(); };
}

// A new slide's sound and its comment in the comments box go with its
// transition.
void TShowForm::BindDisplay()
{
    Display->OnBeforeTransition = [this](const TPicInfoObject& Pic) {
        Sounds->StopBeforeTransition(Pic);
        ShowSlideComments(Pic);
    };
    Display->OnSlideShown = [this](const TPicInfoObject&) { Sounds->StartSound(); };
    Display->OnNoPictureLoads = [this](const std::string& FirstFile) { NoPictureLoads(FirstFile); };
}

// Said once; then the show ends as the user's Esc ends it.
void TShowForm::NoPictureLoads(const std::string& FirstFile)
{
    Stepper.Halt();
    WithoutStayOnTop([&] { ui::ShowMessage(NoPictureFound + FirstFile); });
    End->ExitBtnClick();
}

void TShowForm::ShowSlideComments(const TPicInfoObject& Pic)
{
    if (!CommentsBox)
        return;
    CommentsBox->CommentsMemo->SetText(Pic.Comments);
    Tools::ProcessComponentMessages(CommentsBox->Handle());
}

void TShowForm::FormCreate()
{
    KeepAwake = std::make_unique<ui::TKeepAwake>("Vistelo-Player", "Vistelo wird abgespielt");
    Input = std::make_unique<TShowInput>(*this);
    End = std::make_unique<TShowEnd>(*this, Stepper);
    CommentsBox = nullptr;
    CommentsBoxToggled = false;
    PlayerSetup::ReadPlayerIni(HomeDir + "Rollavin.ini");
    // After the player ini: the back buffer draws smoothly as it says.
    Display = std::make_unique<TSlideDisplay>(Stepper, *DiaScrollBox, *DiaImage, *FilenameLabel, *MessageLabel);
    BindDisplay();
    SoundPlayerUnit::DontRestartMusic = false;
    Sounds = std::make_unique<TShowSounds>(Stepper, *MusicMediaPlayer, *MusicPlayerTimer, *EnableMusicButton,
                                           *SoundMediaPlayer, *SoundPlayerTimer, *EnableSoundButton);
    if (DontShowInfoBtn) {
        delete FithSeparator;
        FithSeparator = nullptr;
        delete InfoBtn;
        InfoBtn = nullptr;
    }
}

void TShowForm::FormDestroy()
{
    Input->ShowCursorAgain();
    Sounds.reset();
    Display.reset();
    // Last: the message hook from before the window comes back.
    Input.reset();
    KeepAwake.reset();
}

void TShowForm::FormClose(TCloseAction&)
{
    Stepper.StopTimer();
    CloseCommentsBox();
    if (HandleAllocated())
        ui::ShowWindow(Handle(), SW_SHOWMINIMIZED);
    MusicMediaPlayer->Close();
    SoundMediaPlayer->Close();
    KeepAwake.reset();
}

void TShowForm::FormResize()
{
    if (Stepper.Show)
        Display->Resize();
}

void TShowForm::FormShow()
{
    if (Stepper.Show && Stepper.Show->ShowCommentsBox && CommentsBoxWanted)
        OpenCommentsBox();
}

void TShowForm::FormActivate()
{
    if (CanFocus())
        SetFocus();
}

void TShowForm::InitVistelo(TVistelo* AShow, bool Running, bool Reload)
{
    Display->InvalidateNextBitmap();
    Display->ForgetMissingPictures();
    if (!Reload)
        End->ListIndex = 0;
    // The next show of a running playback runs on.
    if (Reload && !Stepper.Paused())
        Running = true;
    Sounds->KeepSound = false;
    CatalogStopMode = csmNone;
    CatalogChoice = -1;
    // A box the user switched on or off stays so across a show change.
    const bool keepCommentsBox = Reload && CommentsBoxToggled;
    if (!keepCommentsBox)
        CloseCommentsBox();
    // The start operation owns the show; a different one is not freed here.
    Stepper.TakeOver(AShow, Running);
    if (!keepCommentsBox)
        CommentsBoxWanted = AShow->ShowCommentsBox;
    if (AShow->StartFullScreen) {
        SetWindowFullScreen();
        EnableStayOnTop();
    } else {
        MakeSizeableWindow();
        SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
    }
    Sounds->MusicIndex = -1;
    if (!Reload) {
        SetFormStyle();
        NavigationBarPanel->SetVisible(AShow->ShowNavigationBar);
        // The picture area has its size now: the first picture loads while
        // the window comes up.
        Display->LoadFirstPictureAhead();
        Sounds->BindFinishedEvents();
        Sounds->StartMusic();
        Stepper.FirstStepMarker = -1;
    } else if (!(AShow->DontBreakMusic && Sounds->MusicPlayer->Playing())) {
        Sounds->StartMusic();
    }
}

bool TShowForm::WindowMaximized() const { return WindowState() == wsMaximized; }

void TShowForm::SetFormStyle() { TForm::SetFormStyle(WindowMaximized() ? fsStayOnTop : fsNormal); }

void TShowForm::MakeWindowSize()
{
    TRect area;
    ui::SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
    const int w = area.Width() / 10;
    const int h = area.Height() / 10;
    SetBounds(w, h, 8 * w, 8 * h);
}

void TShowForm::MakeSizeableWindow()
{
    MakeWindowSize();
    SetBorderStyle(bsSizeable);
    SetWindowState(wsNormal);
}

void TShowForm::SetWindowFullScreen()
{
    SetBorderStyle(bsNone);
    // Covering the screen also where no window manager maximises windows.
    SetBounds(0, 0, Screen->Width(), Screen->Height());
    SetWindowState(wsMaximized);
}

void TShowForm::EnableStayOnTop()
{
    constexpr UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE;
    if (HWND taskbar = ui::FindWindow("Shell_TrayWnd", "")) {
        ui::SetWindowPos(taskbar, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
        ui::SetWindowPos(taskbar, HWND_BOTTOM, 0, 0, 0, 0, flags);
    }
    WithHandlersDetached([this] {
        if (Application->TopMostsNormalized())
            Application->RestoreTopMosts();
        ui::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    });
    Repaint();
}

void TShowForm::DisableStayOnTop()
{
    WithHandlersDetached([this] {
        Application->NormalizeTopMosts();
        ui::SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    });
}

void TShowForm::WithoutStayOnTop(const std::function<void()>& RunDialog)
{
    DisableStayOnTop();
    try {
        RunDialog();
    } catch (...) {
        EnableStayOnTop();
        throw;
    }
    EnableStayOnTop();
}

void TShowForm::WithHandlersDetached(const std::function<void()>& Change)
{
    TDetachedHandlers detached(*this);
    Change();
}

// ---------------------------------------------------------------------------
// Dialogs

void TShowForm::InfoBtnClick()
{
    WithoutStayOnTop([&] {
        // The About box frees itself when it closes.
        auto* about = new TPlayerAboutForm(this);
        about->AboutText = Stepper.Show ? Stepper.Show->AboutText : std::string();
        about->ShowModal();
    });
}

void TShowForm::ShowCommentsBtnClick()
{
    if (CommentsBox)
        CloseCommentsBox();
    else
        OpenCommentsBox();
    CommentsBoxToggled = true;
}

void TShowForm::OpenCommentsBox()
{
    CloseCommentsBox();
    CommentsBox = new TCommentsBoxForm(this);
    CommentsBox->FontDialog = FontDialog1;
    CommentsBox->ColorDialog = ColorDialog1;
    CommentsBox->OnCloseRequest = [this] { CloseCommentsBox(); };
    CommentsBox->OnShowKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) { Input->FormKeyUp(Key, Shift); };
    CommentsBox->OnShowKeyPress = [this](TObject*, char32_t& Key) { Input->FormKeyPress(Key); };
    const TPicInfoObject* pic = Stepper.Show ? Stepper.Show->Dia() : nullptr;
    CommentsBox->CommentsMemo->SetText(pic ? pic->Comments : std::string());
    CommentsBox->Show();
    if (CommentsBox->CanFocus())
        CommentsBox->SetFocus();
    CommentsBoxWanted = true;
}

void TShowForm::CloseCommentsBox()
{
    if (!CommentsBox)
        return;
    TCommentsBoxForm* box = CommentsBox;
    CommentsBox = nullptr;
    CommentsBoxWanted = false;
    // The box may be closing from its own menu: it goes once that is done.
    box->Hide();
    box->Release();
}

void TShowForm::SetDelayBtnClick()
{
    if (!Stepper.Show)
        return;
    WithoutStayOnTop([&] {
        // The dialog frees itself.
        auto* dialog = new TSpeedChgForm(this, *Stepper.Show);
        dialog->Execute();
    });
    Stepper.SetDiaTimerInterval();
}

void TShowForm::CatalogToolBtnClick()
{
    if (!Stepper.Show)
        return;
    const std::int32_t onScreen = Stepper.Show->GetOrder(std::max(Stepper.Show->CurrentIndex, 0));
    if (Stepper.Paused()) {
        CatalogStopMode = csmPauseMode;
    } else {
        CatalogStopMode = csmCatalogPause;
        Stepper.Pause();
    }
    try {
        WithoutStayOnTop([&] {
            if (RunCatalog)
                RunCatalog(*this);
            else
                ui::ShowMessage("Der Katalog ist noch nicht verfügbar.");
        });
        Tools::KillMouseKeyBoardMessages(Handle());
        Application->ProcessMessages();
        if (CatalogChoice == -1 || CatalogChoice == onScreen) {
            if ((CatalogStopMode == csmRunning || CatalogStopMode == csmCatalogPause) && Stepper.Paused())
                Stepper.Start();
        } else {
            Stepper.SetVisteloPos(CatalogChoice, true);
            if (CatalogStopMode != csmPauseMode)
                Stepper.Start();
        }
    } catch (...) {
        CatalogChoice = -1;
        throw;
    }
    CatalogChoice = -1;
}

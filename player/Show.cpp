#include "player/Show.h"

#include "core/Blendings.h"
#include "core/CommentText.h"
#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/Tools.h"
#include "core/VisteloList.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/CanvasText.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/TextEngine.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"
#include "player/AskRepeat.h"
#include "player/ChooseVistelo.h"
#include "player/CommentsBox.h"
#include "player/LogoForm.h"
#include "player/PlayerAbout.h"
#include "player/PlayerSetup.h"
#include "player/SpeedChg.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

IMPLEMENT_CLASS(TShowForm)

TShowForm* ShowForm = nullptr;
std::int32_t OrigWidth = -1;
std::int32_t OrigHeight = -1;

std::function<void(TShowForm& Form)> TShowForm::RunCatalog;

using namespace Setup;
using PictureLoading::RelFileName;

namespace {

constexpr unsigned StepInterval = 10;     // ms between step checks while a slide waits
constexpr std::uint32_t CursorHideMs = 3000;
constexpr int NavigationBarHeight = 28;
constexpr int ButtonWidth = 25;

// Clears a flag when the scope ends, also by an exception.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
};

// Keeps the window's show and resize handlers detached for a scope, so that
// changing the window's mode does not run them half-way.
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

unsigned CommentFormat(TCommentAlignment alignment)
{
    switch (alignment) {
    case caCenter: return DT_WORDBREAK | DT_NOPREFIX | DT_CENTER;
    case caRight: return DT_WORDBREAK | DT_NOPREFIX | DT_RIGHT;
    default: return DT_WORDBREAK | DT_NOPREFIX | DT_LEFT;
    }
}

TAlignment LabelAlignment(TCommentAlignment alignment)
{
    switch (alignment) {
    case caCenter: return taCenter;
    case caRight: return taRightJustify;
    default: return taLeftJustify;
    }
}

void FillBitmap(TBitmap& bitmap, TColor colour)
{
    bitmap.Canvas().Brush.Color = colour;
    bitmap.Canvas().Brush.Style = bsSolid;
    bitmap.Canvas().FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

// A picture stretched into the slide never shows more pixels than the slide
// area has, so the loader may decode a JPEG at the coarsest scale that still
// covers the area: a large photo then costs a fraction of the decode time and
// memory. A picture shown at its own size, or sized relative to itself,
// keeps every pixel.
TLoadError LoadSlideSource(const TPicInfoObject& entry, const std::string& file, int areaWidth, int areaHeight,
                           TPicture& picture)
{
    TPictureLoadOptions options;
    options.ReduceSize = entry.Stretch && entry.SizePercent != pPicture && areaWidth > 0 && areaHeight > 0;
    options.WidthMaxRed = areaWidth;
    options.HeightMaxRed = areaHeight;
    return PictureLoading::LoadPicture(file.empty() ? entry.FileName : file, VisteloFilename, picture, options);
}

// The font files a show carries for a comment font: the named string list
// "1" + font name, whose lines starting with "1" name the files. Installed
// for the time of one comment.
class TShowFonts {
public:
    TShowFonts(const TVistelo& show, const TFont* font)
    {
        if (!show.StringLists || !font)
            return;
        const int index = show.StringLists->IndexOf("1" + font->Name());
        const TStringList* files = index < 0 ? nullptr : VisteloNPics::NamedStringList(*show.StringLists, index);
        if (!files)
            return;
        for (int i = 0; i < files->Count(); ++i) {
            const std::string& line = files->Strings(i);
            if (line.empty() || line[0] != '1')
                continue;
            const std::string file = RelFileName(line.substr(1), VisteloFilename);
            if (!file.empty() && gfx::AddFontFileToEngine(file))
                installed_ = true;
        }
    }
    ~TShowFonts()
    {
        if (installed_)
            gfx::RemoveAddedFontFiles();
    }
    TShowFonts(const TShowFonts&) = delete;
    TShowFonts& operator=(const TShowFonts&) = delete;

private:
    bool installed_ = false;
};

} // namespace

// The picture a slide is drawn from: loaded, made up, or none because the
// cache already holds the finished slide.
struct TShowForm::TSlideRender {
    std::unique_ptr<TPicture> Picture;
    bool FromCache = false;
};

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

    MusicMediaPlayer = new TMediaPlayer(this);
    MusicMediaPlayer->Shareable = true;
    SoundMediaPlayer = new TMediaPlayer(this);
    SoundMediaPlayer->Shareable = true;
    FontDialog1 = new TFontDialog(this);
    ColorDialog1 = new TColorDialog(this);

    DiaTimer = new TTimer(this);
    DiaTimer->SetEnabled(false);
    MusicPlayerTimer = new TSoundPlayerTimer(this);
    SoundPlayerTimer = new TSoundPlayerTimer(this);
    for (TSoundPlayerTimer* timer : {MusicPlayerTimer, SoundPlayerTimer}) {
        timer->Tag = 1;
        timer->SetEnabled(false);
        timer->SetInterval(1);
    }

    KsTimerList = new TKsTimerList(this);
    ExitTimer = KsTimerList->ItemByHandle(KsTimerList->Add([this](TObject*) { ExitTimerTimer(); }, 1, true));
    ExitTimer->SetEnabled(false);
    MouseCaptureTimer =
        KsTimerList->ItemByHandle(KsTimerList->Add([this](TObject*) { MouseCaptureTimerTimer(); }, 200, true));
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
                             [this] { PrevDia(); });
    ShowStartBtn = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Play, "Vistelo abspielen (Leertaste)",
                             [this] { ShowStartBtnClick(); });
    ShowPauseBtn = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Pause, "Vistelo anhalten (Leertaste)",
                             [this] { ShowPauseBtnClick(); });
    SpeedButton4 = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Next, "Nächstes Bild (Cursortaste Rechts)",
                             [this] { NextDia(true); });
    Bevel5 = AddSeparator(MenuPanel, x += ButtonWidth + 1);
    SpeedButton5 = AddButton(MenuPanel, x += 3, TNavigationGlyph::Catalog, "Katalog aufrufen (A)",
                             [this] { CatalogToolBtnClick(); });
    SpeedButton6 = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Comments,
                             "Kommentarbox ein/ausschalten (K)", [this] { ShowCommentsBtnClick(); });
    SpeedButton7 = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Delay, "Standardverweildauer ändern (P)",
                             [this] { SetDelayBtnClick(); });
    Bevel1 = AddSeparator(MenuPanel, x += ButtonWidth + 1);
    EnableMusicButton = AddButton(MenuPanel, x += 3, TNavigationGlyph::Music, "Hintergrundmusik ein/ausschalten (M)",
                                  [this] { EnableMusicButtonClick(); });
    EnableMusicButton->SetGroupIndex(1);
    EnableMusicButton->SetAllowAllUp(true);
    EnableSoundButton = AddButton(MenuPanel, x += ButtonWidth, TNavigationGlyph::Sound,
                                  "Sound zu den Bildern ein/ausschalten (S)", [this] { EnableSoundButtonClick(); });
    EnableSoundButton->SetGroupIndex(2);
    EnableSoundButton->SetAllowAllUp(true);
    Bevel2 = AddSeparator(MenuPanel, x += ButtonWidth + 1);
    SpeedButton8 = AddButton(MenuPanel, x += 3, TNavigationGlyph::Exit, "Vistelo beenden (ESC)",
                             [this] { ExitBtnClick(); });
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
    DiaImage->OnPaint = [this](TObject*) { DiaImagePaint(); };
    DiaImage->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
        DiaImageMouseUp(Button, Shift, X, Y);
    };
    DiaTimer->OnTimer = [this](TObject*) { DiaTimerTimer(); };
    OnResize = [this](TObject*) { FormResize(); };
    OnShow = [this](TObject*) { FormShow(); };
    OnActivate = [this](TObject*) { FormActivate(); };
    OnClose = [this](TObject*, TCloseAction& Action) { FormClose(Action); };
    OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) { FormKeyUp(Key, Shift); };
    OnKeyPress = [this](TObject*, char32_t& Key) { FormKeyPress(Key); };
}

void TShowForm::FormCreate()
{
    SavedOnMessage = Application->OnMessage;
    Application->OnMessage = [this](TMsg& Msg, bool& Handled) { ShowMessageHandler(Msg, Handled); };
    Show = nullptr;
    InvalidateNextBitmap();
    PositionSet = false;
    CommentsBox = nullptr;
    CommentsBoxToggled = false;
    PlayerSetup::ReadPlayerIni(HomeDir + "Rollavin.ini");
    MouseStillSince = 0;
    MousePos = TPoint{-1, -1};
    CursorVisible = true;
    SlideBitmap = std::make_unique<TSmoothBitmap>(0, 0, pf24bit);
    SlideBitmap->Smooth = SmoothScale;
    FirstSlide = true;
    DiaScrollBox->HandleNeeded();
    TCanvas& screen = *DiaImage->Canvas();
    screen.Brush.Color = clBlack;
    screen.FillRect(DiaImage->ClientRect());
    SoundPlayerUnit::DontRestartMusic = false;
    SoundWaitReleased = false;
    CreateSoundPlayers();
    if (DontShowInfoBtn) {
        delete FithSeparator;
        FithSeparator = nullptr;
        delete InfoBtn;
        InfoBtn = nullptr;
    }
    ListMode = lmNone;
    List = nullptr;
}

void TShowForm::CreateSoundPlayers()
{
    DecoderPlayer = std::make_unique<TmyElPlayer>();
    DecoderPlayer->InUse = false;
    DecoderPlayer->PathToDLL = HomeDir + "elamp.esp";
    try {
        DecoderPlayer->Init();
        DecoderPlayer->SetPriority(15);
    } catch (const Exception&) {
        // Without the decoder module MPEG sounds go to the media player alone;
        // the show plays on.
        DecoderPlayer.reset();
    }
    MusicPlayer = std::make_unique<TSoundPlayer>(MusicMediaPlayer, DecoderPlayer.get(), MusicPlayerTimer);
    SoundPlayer = std::make_unique<TSoundPlayer>(SoundMediaPlayer, DecoderPlayer.get(), SoundPlayerTimer);
}

void TShowForm::FormDestroy()
{
    if (!CursorVisible) {
        ui::ShowCursor(true);
        CursorVisible = true;
    }
    SoundPlayer.reset();
    MusicPlayer.reset();
    if (DecoderPlayer) {
        try {
            DecoderPlayer->Deinit();
        } catch (const Exception&) {
        }
        DecoderPlayer.reset();
    }
    SlideBitmap.reset();
    InvalidateNextBitmap();
    Application->OnMessage = SavedOnMessage;
}

void TShowForm::FormClose(TCloseAction&)
{
    DiaTimer->SetEnabled(false);
    CloseCommentsBox();
    if (HandleAllocated())
        ui::ShowWindow(Handle(), SW_SHOWMINIMIZED);
    MusicMediaPlayer->Close();
    SoundMediaPlayer->Close();
}

void TShowForm::FormResize()
{
    if (!Show)
        return;
    InvalidateNextBitmap();
    const TPicInfoObject* pic = Show->Dia();
    if (!pic || !SlideBitmap)
        return;
    SetDiaImageSize(*pic, *SlideBitmap);
    if (pic->Stretch && !FirstSlide)
        ShowPicture(false, false);
}

void TShowForm::FormShow()
{
    if (Show && Show->ShowCommentsBox && CommentsBoxWanted)
        OpenCommentsBox();
}

void TShowForm::FormActivate()
{
    if (CanFocus())
        SetFocus();
}

void TShowForm::InitVistelo(TVistelo* AShow, bool Running, bool Reload)
{
    InvalidateNextBitmap();
    if (!Reload)
        ListIndex = 0;
    DiaTimer->SetEnabled(false);
    KeepSound = false;
    CatalogStopMode = csmNone;
    CatalogChoice = -1;
    // The start operation owns the show; a different one is not freed here.
    Show = AShow;
    Show->CurrentIndex = -1;
    CloseCommentsBox();
    CommentsBoxWanted = Show->ShowCommentsBox;
    DiaTimer->SetInterval(1);
    StepStart = 0;
    if (Reload && ShowPauseBtn->Enabled())
        Running = true;
    DiaTimer->SetEnabled(Running);
    ShowPauseBtn->SetEnabled(Running);
    ShowStartBtn->SetEnabled(!Running);
    Paused = !Running;
    if (Show->StartFullScreen) {
        SetWindowFullScreen();
        EnableStayOnTop();
    } else {
        MakeWindowSize();
        SetBorderStyle(bsSizeable);
        SetWindowState(wsNormal);
        SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
    }
    MusicIndex = -1;
    if (!Reload) {
        SetFormStyle();
        NavigationBarPanel->SetVisible(Show->ShowNavigationBar);
        MusicPlayer->OnFinished = [this](TObject*, bool& Repeat) { MusicPlayerFinished(Repeat); };
        StartMusic();
        SoundPlayer->OnFinished = [this](TObject*, bool& Repeat) { SoundPlayerFinished(Repeat); };
        FirstStepMarker = -1;
    } else if (!(Show->DontBreakMusic && MusicPlayer->Playing())) {
        StartMusic();
    }
}

bool TShowForm::WindowMaximized() const
{
    return WindowState() == wsMaximized;
}

void TShowForm::SetFormStyle()
{
    TForm::SetFormStyle(WindowMaximized() ? fsStayOnTop : fsNormal);
}

void TShowForm::MakeWindowSize()
{
    TRect area;
    ui::SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
    const int w = area.Width() / 10;
    const int h = area.Height() / 10;
    SetBounds(w, h, 8 * w, 8 * h);
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
    {
        TDetachedHandlers detached(*this);
        if (Application->TopMostsNormalized())
            Application->RestoreTopMosts();
        ui::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    Repaint();
}

void TShowForm::DisableStayOnTop()
{
    TDetachedHandlers detached(*this);
    Application->NormalizeTopMosts();
    ui::SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
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

void TShowForm::DiaImagePaint()
{
    if (SlideBitmap)
        DiaImage->Canvas()->Draw(0, 0, *SlideBitmap);
}

void TShowForm::SetDiaImageSize(const TPicInfoObject& Pic, const TBitmap& Bitmap)
{
    const TRect client = DiaScrollBox->ClientRect();
    DiaScrollBox->SetAutoScroll(!Pic.Stretch &&
                                (Bitmap.Width() > client.Width() || Bitmap.Height() > client.Height()));
    DiaScrollBox->HorzScrollBar().SetPosition(0);
    DiaScrollBox->VertScrollBar().SetPosition(0);
    DiaImage->SetAlign(alClient);
    if (!Pic.Stretch)
        DiaImage->SetAlign(alNone);
    DiaImage->SetWidth(std::max(Bitmap.Width(), client.Width()));
    DiaImage->SetHeight(std::max(Bitmap.Height(), client.Height()));
}

// ---------------------------------------------------------------------------
// Step loop

std::int32_t TShowForm::SlidePause(const TPicInfoObject& Pic) const
{
    return Pic.Pause == -1 ? Show->Pause : Pic.Pause;
}

bool TShowForm::SlideWaits() const
{
    const TPicInfoObject* pic = Show ? Show->Dia() : nullptr;
    bool due = true;
    if (pic && StepStart != 0)
        due = static_cast<std::int64_t>(GetTickCount() - StepStart) >= SlidePause(*pic);
    if (!due)
        return true;
    if (!pic)
        return false;
    const bool soundHolds = !SoundWaitReleased && pic->SynchronizeWithSound != ssNoSync && SoundPlayer->Playing();
    return soundHolds || Paused;
}

void TShowForm::StepCheck()
{
    if (SlideWaits()) {
        SetDiaTimerInterval();
        Tools::ProcessComponentMessages(Handle());
        return;
    }
    SoundWaitReleased = false;
    DiaTimer->SetEnabled(false);
    StepStart = GetTickCount();
    NextDia(true);
}

void TShowForm::DiaTimerTimer()
{
    // The wait pumps messages, and a sound's end may ask for a check from
    // inside it: such a nested request runs once the check in progress is done.
    if (inStepCheck_) {
        stepCheckAgain_ = true;
        return;
    }
    TFlagScope running(inStepCheck_);
    do {
        stepCheckAgain_ = false;
        StepCheck();
    } while (stepCheckAgain_ && !ExitRequested);
}

void TShowForm::SetDiaTimerInterval()
{
    DiaTimer->SetInterval(StepInterval);
}

void TShowForm::NextDia(bool Draw)
{
    StepDia(true, Draw);
}

void TShowForm::PrevDia()
{
    StepDia(false, true);
}

void TShowForm::StepDia(bool Forward, bool Draw)
{
    DiaTimer->SetEnabled(false);
    if (ExitRequested || !Show)
        return;
    bool found = true;
    if (!PositionSet) {
        if (Forward)
            FindNextPic(found, true);
        else
            FindPrevPic(found);
        if (!found)
            found = VisteloEnd(Forward, false);
    }
    if (found) {
        const TPicInfoObject* pic = Show->Dia();
        if (!pic || !pic->ShowImage) {
            // Nothing in the show may be shown: waiting would loop for ever.
            VisteloExitNow();
            return;
        }
        PositionSet = false;
        if (Draw)
            ShowPicture(true, true);
        if (!ShowStartBtn->Enabled())
            DiaTimer->SetEnabled(true);
        SoundWaitReleased = pic->Sound.empty();
        if (FirstStepMarker == -1) {
            if (!Show->StartImmediately)
                ShowPauseBtnClick();
            FirstStepMarker = 0;
        }
    }
    SetDiaTimerInterval();
}

void TShowForm::FindNextPic(bool& Found, bool Advance)
{
    Found = Advance ? Show->Next() : true;
    // One step per round while the slide is hidden, stopping at the wrap.
    for (int round = 0; round < Show->Count && Found; ++round) {
        const TPicInfoObject* pic = Show->Dia();
        if (!pic || pic->ShowImage)
            break;
        Found = Show->Next();
    }
}

void TShowForm::FindPrevPic(bool& Found)
{
    Found = Show->Prev();
    for (int round = 0; round < Show->Count && Found; ++round) {
        const TPicInfoObject* pic = Show->Dia();
        if (!pic || pic->ShowImage)
            break;
        Found = Show->Prev();
    }
}

std::int32_t TShowForm::FindNextPicNr() const
{
    if (!Show)
        return -1;
    std::int32_t position = Show->NextNr(Show->CurrentIndex);
    for (int round = 0; round < Show->Count; ++round) {
        const TPicInfoObject* pic = Show->GetPicInfo(Show->GetOrder(position));
        if (!pic || pic->ShowImage)
            break;
        position = Show->NextNr(position);
    }
    return Show->GetOrder(position);
}

void TShowForm::SetVisteloPos(std::int32_t Pos, bool Step)
{
    if (Pos == -1 || !Show)
        return;
    if (Show->RandomOrder) {
        for (std::int32_t position = 0; position < Show->Count; ++position) {
            if (Show->GetOrder(position) == Pos) {
                Pos = position;
                break;
            }
        }
    }
    InvalidateNextBitmap();
    Show->CurrentIndex = Pos;
    PositionSet = true;
    if (Step) {
        StepStart = GetTickCount();
        NextDia(true);
    }
}

void TShowForm::ShowPauseBtnClick()
{
    DiaTimer->SetEnabled(false);
    ShowPauseBtn->SetEnabled(false);
    ShowStartBtn->SetEnabled(true);
    Paused = true;
}

void TShowForm::ShowStartBtnClick()
{
    ShowPauseBtn->SetEnabled(true);
    ShowStartBtn->SetEnabled(false);
    Paused = false;
    StepStart = GetTickCount();
    DiaTimer->SetEnabled(true);
}

// ---------------------------------------------------------------------------
// Picture display

std::int32_t TShowForm::PictureOnScreen() const
{
    return Show ? Show->GetOrder(Show->CurrentIndex) : -1;
}

bool TShowForm::CacheHolds(std::int32_t PictureIndex) const
{
    return NextBitmap && NextBitmapIndex == PictureIndex && NextBitmap->Width() == SlideBitmap->Width() &&
           NextBitmap->Height() == SlideBitmap->Height();
}

void TShowForm::InvalidateNextBitmap()
{
    NextBitmap.reset();
    NextBitmapIndex = -1;
}

void TShowForm::ShowLoadingMessage(const TPicInfoObject& Pic, const std::string& File)
{
    FilenameLabel->SetFileName("");
    if (Pic.CommentPlacement != cpNavBar) {
        MessageLabel->SetAlignment(taRightJustify);
        if (Show->ShowFilenameInNavigationBar)
            MessageLabel->SetCaption(rtl::ExtractFileName(File) + " wird geladen... ");
        else if (Show->ShowPleaseWait)
            MessageLabel->SetCaption("Bitte warten, Bild wird geladen... ");
        else
            MessageLabel->SetCaption("");
    }
    FilenameLabel->Repaint();
    MessageLabel->Repaint();
}

void TShowForm::ShowFileLabels(const TPicInfoObject& Pic, const std::string& File)
{
    if (Pic.CommentPlacement != cpNavBar)
        MessageLabel->SetCaption("");
    const bool commentInBar = Pic.CommentPlacement == cpNavBar && !Pic.Comments.empty();
    FilenameLabel->SetFileName(Show->ShowFilenameInNavigationBar && !commentInBar ? File : std::string());
}

bool TShowForm::LoadSlidePicture(const TPicInfoObject& Pic, const std::string& File, TSlideRender& Render)
{
    Render.Picture = std::make_unique<TPicture>();
    if (Pic.FileName.empty()) {
        TBitmap& plain = Render.Picture->Bitmap();
        plain.SetPixelFormat(pf24bit);
        plain.SetSize(DiaImage->Width(), DiaImage->Height());
        FillBitmap(plain, Pic.BackgroundColor);
        return true;
    }
    if (CacheHolds(PictureOnScreen())) {
        Render.Picture.reset();
        Render.FromCache = true;
        return true;
    }
    const TRect area = DiaScrollBox->ClientRect();
    TLoadError error = LoadSlideSource(Pic, File, area.Width(), area.Height(), *Render.Picture);
    // A reader that gives up without complaint leaves an empty picture.
    if (error == leOK && (Render.Picture->Width() <= 0 || Render.Picture->Height() <= 0))
        error = leInvalidGraphic;
    if (error == leOK)
        return true;
    if (!ShowErrorInShow) {
        // The next tick moves on at once.
        DiaTimer->SetInterval(1);
        StepStart = 0;
        Render.Picture.reset();
        return false;
    }
    Render.Picture = std::make_unique<TPicture>();
    PictureLoading::PicLoadError(*Render.Picture, DiaImage->Width(), DiaImage->Height(), error);
    return true;
}

void TShowForm::ShowPicture(bool Draw, bool NewStep)
{
    if (::OrigWidth == -1)
        ::OrigWidth = DiaScrollBox->ClientWidth();
    if (::OrigHeight == -1)
        ::OrigHeight = DiaScrollBox->ClientHeight();
    if (ExitRequested || !Show)
        return;
    const TPicInfoObject* pic = Show->Dia();
    if (!pic)
        return;
    drawFlag_ = Draw;
    newStepFlag_ = NewStep;
    const std::string resolved = RelFileName(pic->FileName, VisteloFilename);
    const std::string& file = resolved.empty() ? pic->FileName : resolved;
    TSlideRender render;
    if (Draw) {
        ShowLoadingMessage(*pic, file);
        try {
            DiaImage->SetBounds(0, 0, DiaScrollBox->ClientWidth(), DiaScrollBox->ClientHeight());
        } catch (const std::bad_alloc&) {
            ui::ShowMessage("Nicht genügend Arbeitsspeicher!");
        } catch (const EOutOfMemory&) {
            ui::ShowMessage("Nicht genügend Arbeitsspeicher!");
        }
        if (!LoadSlidePicture(*pic, resolved, render))
            return;
    } else {
        TSmoothBitmap copy;
        copy.Smooth = SmoothScale;
        copy.Assign(SlideBitmap.get());
        render.Picture = std::make_unique<TPicture>();
        render.Picture->SetGraphic(&copy);
    }
    if (Draw && NewStep && Show->StopSoundBeforeBlending && !KeepSound && !pic->Sound.empty())
        SoundPlayer->Stop();
    if (Draw && NewStep && CommentsBox) {
        CommentsBox->CommentsMemo->SetText(pic->Comments);
        Tools::ProcessComponentMessages(CommentsBox->Handle());
    }
    TRect rect;
    PlaceSlidePicture(*pic, render.Picture.get(), *SlideBitmap, rect, false, true, &render);
    if (Draw)
        ShowNavBarComment(*pic);
    if (Draw && NewStep) {
        StartSound();
        ShowFileLabels(*pic, file);
    }
    render.Picture.reset();
    PreloadNextPicture();
}

void TShowForm::PlaceSlidePicture(const TPicInfoObject& Pic, TPicture* Picture, TBitmap& Bitmap, TRect& Rect,
                                  bool CacheOnly, bool Render, TSlideRender* Slide)
{
    const int sourceWidth = Picture ? Picture->Width() : Bitmap.Width();
    const int sourceHeight = Picture ? Picture->Height() : Bitmap.Height();
    const TRect client = DiaScrollBox->ClientRect();
    if (!CacheOnly) {
        DiaScrollBox->SetAutoScroll(!Pic.Stretch &&
                                    (sourceWidth > client.Width() || sourceHeight > client.Height()));
        DiaScrollBox->HorzScrollBar().SetPosition(0);
        DiaScrollBox->VertScrollBar().SetPosition(0);
        DiaImage->SetAlign(alClient);
        if (!Pic.Stretch)
            DiaImage->SetAlign(alNone);
    }
    const int areaWidth = Pic.Stretch ? client.Width() : std::max(sourceWidth, client.Width());
    const int areaHeight = Pic.Stretch ? client.Height() : std::max(sourceHeight, client.Height());
    // A redraw of the slide on screen copies it whole; a slide rendered ahead
    // is always placed as its picture asks.
    if (!drawFlag_ && !CacheOnly)
        Rect = ::Rect(0, 0, areaWidth, areaHeight);
    else
        Rect = PictureLoading::PicPos(sourceWidth, sourceHeight, Pic, areaWidth, areaHeight);
    const int rw = Rect.Width();
    const int rh = Rect.Height();
    const int width = std::max(rw, client.Width());
    const int height = std::max(rh, client.Height());
    if (CacheOnly) {
        if (Bitmap.Width() != width || Bitmap.Height() != height)
            Bitmap.SetSize(width, height);
    } else {
        if (DiaImage->Width() != width || DiaImage->Height() != height)
            DiaImage->SetBounds(DiaImage->Left(), DiaImage->Top(), width, height);
        if (Bitmap.Width() != DiaImage->Width() || Bitmap.Height() != DiaImage->Height())
            Bitmap.SetSize(DiaImage->Width(), DiaImage->Height());
    }
    if (Render && Slide)
        BlendSlide(Pic, Rect.Left, Rect.Top, rh, rw, *Slide);
}

void TShowForm::BlendSlide(const TPicInfoObject& Pic, int Left, int Top, int RH, int RW, TSlideRender& Slide)
{
    const int effect = Show->UseBlendings && drawFlag_ && newStepFlag_ ? Blendings::GetBlending(Pic.Blending) : 0;
    std::unique_ptr<TBitmap> old;
    if (Blendings::NeedOldBitmap(effect)) {
        if (FirstSlide) {
            old = std::make_unique<TBitmap>(DiaImage->ClientWidth(), DiaImage->ClientHeight(), pf24bit);
            FillBitmap(*old, clBlack);
        } else {
            old = std::make_unique<TBitmap>();
            old->Assign(SlideBitmap.get());
        }
    }
    FirstSlide = false;
    if (Slide.FromCache && CacheHolds(PictureOnScreen())) {
        SlideBitmap->Assign(NextBitmap.get());
        SetDiaImageSize(Pic, *SlideBitmap);
    } else {
        DrawSlidePicture(Pic, Left, Top, *SlideBitmap, Slide.Picture.get(), RH, RW, drawFlag_);
    }
    Slide.Picture.reset();
    auto flush = [](TCanvas& screen) { ui::FlushCanvas(screen); };
    Blendings::BlendNr(*SlideBitmap, old.get(), *DiaImage->Canvas(), effect, flush);
}

void TShowForm::DrawSlidePicture(const TPicInfoObject& Pic, int Left, int Top, TBitmap& Bitmap, TPicture* Picture,
                                 int H, int W, bool WithComment)
{
    FillBitmap(Bitmap, Pic.BackgroundColor);
    const TRect pictureRect = Rect(Left, Top, Left + W, Top + H);
    if (Picture && Picture->Graphic())
        Bitmap.Canvas().StretchDraw(pictureRect, *Picture->Graphic());
    if (WithComment)
        DrawSlideComment(Pic, Bitmap, pictureRect);
}

void TShowForm::DrawSlideComment(const TPicInfoObject& Pic, TBitmap& Bitmap, const TRect& PictureRect)
{
    if (!Pic.ShowComments || Show->ShowNoDescription || Pic.CommentPlacement == cpNavBar || Pic.Comments.empty())
        return;
    const int bw = Bitmap.Width();
    const int bh = Bitmap.Height();
    TRect rect;
    switch (Pic.CommentPlacement) {
    case cpPictureCaption: rect = Rect(PictureRect.Left, 1, PictureRect.Right, 1 + bh - 3); break;
    case cpUser: rect = PictureLoading::GetNormalRect(Pic.CommentUserPlacement, bw, bh); break;
    default: rect = Rect(1, 1, 1 + bw - 3, 1 + bh - 3); break;
    }
    const TShowFonts fonts(*Show, Pic.CommentFont.get());
    TCanvas& canvas = Bitmap.Canvas();
    if (Pic.CommentFont)
        canvas.Font.Assign(*Pic.CommentFont);
    if (Pic.CommentFontHeight != -1)
        canvas.Font.SetHeight(std::abs(Pic.CommentFontHeight));
    const int clientWidth = DiaImage->ClientWidth();
    const int clientHeight = DiaImage->ClientHeight();
    if (Show->ScaleFontToScreen && Show->ReferenceWidth != -1 && Show->ReferenceHeight != -1 &&
        Show->ReferenceWidth != 0 && Show->ReferenceHeight != 0 &&
        (clientWidth != Show->ReferenceWidth || clientHeight != Show->ReferenceHeight)) {
        const double rw = static_cast<double>(clientWidth) / Show->ReferenceWidth;
        const double rh = static_cast<double>(clientHeight) / Show->ReferenceHeight;
        canvas.Font.SetHeight(static_cast<int>(std::lround(std::max(rw, rh) * canvas.Font.Height())));
    }
    const unsigned format = CommentFormat(Pic.CommentAlignment);
    TRect measured = rect;
    gfx::DrawText(canvas, Pic.Comments, measured, format | DT_CALCRECT);
    int textHeight = measured.Height();
    if (Pic.CommentEffects != ceNone)
        textHeight += 2;
    int top = rect.Top;
    switch (Pic.CommentPlacement) {
    case cpPictureTop: top = 0; break;
    case cpPictureMiddle: top = (bh - textHeight) / 2; break;
    case cpPictureBottom: top = bh - textHeight; break;
    case cpPictureCaption:
        top = bh - (PictureRect.Bottom + 2) < textHeight ? bh - textHeight : PictureRect.Bottom + 2;
        break;
    default: break;
    }
    rect = Rect(rect.Left, top, rect.Right, top + textHeight);
    const TColor colour = Pic.CommentFont ? Pic.CommentFont->Color() : canvas.Font.Color();
    CommentText::DrawCommentText(canvas, rect, -1, Pic.Comments, format, Pic.CommentEffects, colour,
                                 Pic.EffectColor1, Pic.EffectColor2);
}

void TShowForm::ShowNavBarComment(const TPicInfoObject& Pic)
{
    if (Pic.CommentPlacement != cpNavBar)
        return;
    MessageLabel->SetAlignment(LabelAlignment(Pic.CommentAlignment));
    if (!Pic.Comments.empty())
        FilenameLabel->SetFileName("");
    MessageLabel->SetCaption(Pic.Comments);
}

void TShowForm::PreloadNextPicture()
{
    const std::int32_t next = FindNextPicNr();
    if (next == -1 || next == NextBitmapIndex)
        return;
    const TPicInfoObject* entry = Show->GetPicInfo(next);
    if (!entry) {
        InvalidateNextBitmap();
        return;
    }
    auto picture = std::make_unique<TPicture>();
    const std::string file = RelFileName(entry->FileName, VisteloFilename);
    const TRect area = DiaScrollBox->ClientRect();
    const TLoadError error = LoadSlideSource(*entry, file, area.Width(), area.Height(), *picture);
    if (error != leOK || picture->Width() <= 0 || picture->Height() <= 0) {
        InvalidateNextBitmap();
        return;
    }
    if (!NextBitmap)
        NextBitmap = std::make_unique<TBitmap>();
    NextBitmap->SetPixelFormat(SlideBitmap->PixelFormat());
    NextBitmap->SetSize(SlideBitmap->Width(), SlideBitmap->Height());
    TRect rect;
    PlaceSlidePicture(*entry, picture.get(), *NextBitmap, rect, true, false, nullptr);
    // The slide rendered ahead is complete, comment included.
    DrawSlidePicture(*entry, rect.Left, rect.Top, *NextBitmap, picture.get(), rect.Height(), rect.Width(), true);
    NextBitmapIndex = next;
}

// ---------------------------------------------------------------------------
// End of show, show lists

bool TShowForm::VisteloEnd(bool Forward, bool Manual)
{
    std::int32_t action = Show->EndAction;
    const int files = Tools::CountStrNr(ShowFiles);
    if (action == deAutoLoadNextVistelo && files <= 1)
        action = deAutoRepeat;
    if (action == deRepeatOrNextVistelo && files <= 1)
        action = deRepeatVistelo;
    for (;;) {
        switch (action) {
        case deAutoRepeat: {
            bool found = true;
            FindNextPic(found, false);
            return true;
        }
        case deAutoLoadNextVistelo:
            if (LoadNextVistelo(Forward))
                return false;
            action = deRepeatOrLoadVistelo;
            break;
        case deExitImmediately: VisteloExit(Manual); return false;
        case deRepeatVistelo:
        case deRepeatOrLoadVistelo:
        case deRepeatOrNextVistelo: {
            bool result = true;
            if (AskEndQuestion(action, Manual, Forward, result))
                return result;
            break;
        }
        case deListChooseVistelo: return false;
        default: return true;
        }
    }
}

int TShowForm::RunEndQuestion(std::int32_t Action, bool Manual, std::string& FileName)
{
    int answer = arEnd;
    WithoutStayOnTop([&] {
        switch (Action) {
        case deRepeatVistelo: {
            const std::unique_ptr<TAskRepeatForm> form(new TAskRepeatForm(this));
            answer = form->Execute(Manual);
            break;
        }
        case deRepeatOrLoadVistelo: {
            const std::unique_ptr<TAskRepeatLoadForm> form(new TAskRepeatLoadForm(this));
            answer = form->Execute(Manual, FileName);
            break;
        }
        default: {
            const std::unique_ptr<TAskRepeatNextForm> form(new TAskRepeatNextForm(this));
            answer = form->Execute(Manual);
            break;
        }
        }
    });
    return answer;
}

bool TShowForm::AskEndQuestion(std::int32_t& Action, bool Manual, bool Forward, bool& Result)
{
    std::string file;
    switch (RunEndQuestion(Action, Manual, file)) {
    case arEnd:
        Show->EndAction = deExitImmediately;
        VisteloExit(Manual);
        Result = false;
        return true;
    case arDontAskMore:
        Show->EndAction = deAutoRepeat;
        Result = true;
        return true;
    case arLoadOther:
        if (!ReloadVistelo(file))
            return false; // the same question again
        ScanDirectory(rtl::ExtractFilePath(rtl::ExpandFileName(file)));
        Result = false;
        return true;
    case arNextShow:
        if (LoadNextVistelo(Forward)) {
            Result = false;
            return true;
        }
        Action = deRepeatOrLoadVistelo;
        return false;
    default:
        Result = true;
        return true;
    }
}

void TShowForm::VisteloExit(bool Manual)
{
    DiaTimer->SetEnabled(false);
    const bool wasChoosing = ListMode == lmQuit;
    if (Show && Show->ManualExitToo && Show->EndAction > deExitImmediately)
        VisteloEnd(true, Manual);
    else
        ExitRequested = true;
    // A question answered inside may have run the chooser already: it is not
    // offered a second time.
    if (ListMode != lmNone && ListMode != lmQuit && ExitRequested && !wasChoosing) {
        ExitRequested = false;
        ExitRequested = !VisteloManager(Show, List, -1);
    }
    FinishExit();
}

void TShowForm::VisteloExitNow()
{
    DiaTimer->SetEnabled(false);
    ExitRequested = true;
    if (ListMode != lmNone && ListMode != lmQuit) {
        ExitRequested = false;
        ExitRequested = !VisteloManager(Show, List, -1);
    }
    FinishExit();
}

void TShowForm::FinishExit()
{
    if (ExitRequested) {
        Close();
        return;
    }
    SetDiaTimerInterval();
    DiaTimer->SetEnabled(true);
    StepStart = GetTickCount();
}

void TShowForm::ExitBtnClick()
{
    ExitTimer->Tag = 1;
    ExitTimer->SetEnabled(true);
}

void TShowForm::ExitTimerTimer()
{
    ExitTimer->SetEnabled(false);
    const bool manual = ExitTimer->Tag == 1;
    ExitTimer->Tag = 0;
    VisteloExit(manual);
}

void TShowForm::ScanDirectory(const std::string& Folder)
{
    ShowFiles = Tools::ScanDirectory(Tools::DirName(Folder), "*.vsf\r\n", true);
}

bool TShowForm::LoadNextVistelo(bool Forward)
{
    const int lines = Tools::CountStrNr(ShowFiles);
    if (lines == 0)
        return false;
    if (Forward)
        ListIndex = ListIndex + 1 >= lines ? 0 : ListIndex + 1;
    else
        ListIndex = ListIndex - 1 < 0 ? lines - 1 : ListIndex - 1;
    return ReloadVistelo(Tools::GetStrNr(ShowFiles, ListIndex));
}

bool TShowForm::ReloadVistelo(const std::string& FileName)
{
    DiaTimer->SetEnabled(false);
    if (!CommentsBoxToggled)
        CloseCommentsBox();
    SoundPlayer->Stop();
    // Read into a show of its own first: a file that does not load leaves
    // the show playing now intact, so the user may still repeat it.
    TVistelo loaded;
    if (FileName.empty() || loaded.LoadFromFile(FileName, false, false) != dlrOK)
        return false;
    Show->Clear();
    Show->Assign(&loaded);
    VisteloListVisteloEnd(*Show);
    VisteloFilename = FileName;
    if (!Show->DontBreakMusic)
        MusicPlayer->Stop();
    InitVistelo(Show, false, true);
    // The new show's first slide gets its whole pause.
    StepStart = GetTickCount();
    NextDia(true);
    return true;
}

void TShowForm::VisteloListVisteloEnd(TVistelo& AShow)
{
    if (!List)
        return;
    if (List->EndAction == deListAutoLoadNext) {
        AShow.EndAction = deAutoLoadNextVistelo;
        AShow.ManualExitToo = false;
    } else if (List->EndAction == deListChooseVistelo) {
        AShow.EndAction = deExitImmediately;
        AShow.ManualExitToo = true;
    }
}

bool TShowForm::VisteloManager(TVistelo* AShow, TVisteloList* AList, std::int32_t StartIndex)
{
    List = AList;
    int choice = -1;
    std::string file;
    WithoutStayOnTop([&] {
        // The chooser frees itself.
        auto* chooser = new TChooseVisteloForm(this, ShowFiles);
        choice = chooser->Execute(AList, StartIndex, ListIndex, file);
    });
    if (ListMode == lmNone)
        ListMode = lmFirstShow;
    else if (ListMode == lmFirstShow)
        ListMode = lmRunning;
    if (choice == -1) {
        ListMode = lmQuit;
        return false;
    }
    JumpToShow(AShow, choice, file);
    return true;
}

void TShowForm::JumpToShow(TVistelo* AShow, std::int32_t Index, const std::string& FileName)
{
    const std::string file = FileName.empty() ? Tools::GetStrNr(ShowFiles, Index) : FileName;
    const std::string expanded = rtl::ExpandFileName(file);
    if (ListMode == lmFirstShow) {
        if (!file.empty() && AShow->LoadFromFile(file, false, false) == dlrOK) {
            VisteloListVisteloEnd(*AShow);
            VisteloFilename = expanded;
            VisteloLogo(AShow, expanded, false);
            InitVistelo(AShow, true, false);
            SetVisteloPos(-1, false);
        }
    } else {
        ReloadVistelo(file);
    }
    ListIndex = Index;
}

void TShowForm::VisteloLogo(TVistelo* AShow, const std::string& FileName, bool FromObject)
{
    if (AShow->LogoPause == 0 || AShow->Logo == lNoLogo)
        return;
    if (AShow->Logo != lUserLogo && FromObject)
        return;
    const std::string file = AShow->Logo == lStdLogo ? HomeDir + "Vistelo.jpg"
                                                     : RelFileName(AShow->LogoFilename, FileName);
    // The logo window frees itself when it closes.
    auto* logo = new TLogoForm(Application);
    logo->Execute(file, AShow->LogoPause);
}

void TShowForm::PlayVistelo(const std::string& FileName, std::int32_t StartPos)
{
    const std::string expanded = rtl::ExpandFileName(FileName);
    ScanDirectory(rtl::ExtractFilePath(expanded));
    if (!Show || Show->LoadFromFile(FileName, false, false) != dlrOK) {
        Close();
        return;
    }
    VisteloListVisteloEnd(*Show);
    VisteloFilename = expanded;
    VisteloLogo(Show, expanded, false);
    InitVistelo(Show, true, false);
    SetVisteloPos(StartPos, false);
    if (!Modal())
        ShowModal();
}

// ---------------------------------------------------------------------------
// Input

void TShowForm::FormKeyUp(WORD& Key, TShiftState)
{
    switch (Key) {
    case VK_ESCAPE: ExitBtnClick(); break;
    case VK_SPACE:
        if (DiaTimer->Enabled())
            ShowPauseBtnClick();
        else
            ShowStartBtnClick();
        break;
    case VK_LEFT: PrevDia(); break;
    case VK_RIGHT: NextDia(true); break;
    default: break;
    }
}

void TShowForm::FormKeyPress(char32_t& Key)
{
    const char32_t key = Key >= U'a' && Key <= U'z' ? Key - U'a' + U'A' : Key;
    switch (key) {
    case U'A': CatalogToolBtnClick(); break;
    case U'I': InfoBtnClick(); break;
    case U'K': ShowCommentsBtnClick(); break;
    case U'M': EnableMusicButtonClick(); break;
    case U'P': SetDelayBtnClick(); break;
    case U'S': EnableSoundButtonClick(); break;
    default: break;
    }
}

void TShowForm::RedrawStretchedSlide()
{
    const TPicInfoObject* pic = Show ? Show->Dia() : nullptr;
    if (pic && pic->Stretch)
        ShowPicture(true, false);
}

void TShowForm::DiaImageMouseUp(TMouseButton Button, TShiftState, int, int)
{
    TDetachedHandlers detached(*this);
    if (Button == mbLeft) {
        NavigationBarPanel->SetVisible(!NavigationBarPanel->Visible());
        InvalidateNextBitmap();
        RedrawStretchedSlide();
    } else if (Button == mbRight) {
        if (WindowMaximized()) {
            MakeWindowSize();
            SetBorderStyle(bsSizeable);
            SetWindowState(wsNormal);
        } else {
            SetWindowFullScreen();
        }
        InvalidateNextBitmap();
        MusicPlayer->SetNotify();
        SetFormStyle();
        RedrawStretchedSlide();
    }
}

void TShowForm::MouseCaptureTimerTimer()
{
    const std::uint32_t now = GetTickCount();
    if (MouseStillSince == 0)
        MouseStillSince = now;
    TPoint position;
    ui::GetCursorPos(position);
    if (position.X == MousePos.X && position.Y == MousePos.Y) {
        if (now - MouseStillSince < CursorHideMs)
            return;
        MouseStillSince = now;
        const TPoint local = DiaScrollBox->ScreenToClient(position);
        const bool overPicture = DiaScrollBox->ClientRect().Contains(local.X, local.Y);
        if (overPicture && Active() && CursorVisible) {
            ui::ShowCursor(false);
            CursorVisible = false;
        }
        return;
    }
    if (!CursorVisible) {
        ui::ShowCursor(true);
        CursorVisible = true;
    }
    MousePos = position;
    MouseStillSince = now;
}

void TShowForm::ShowMessageHandler(TMsg& Msg, bool& Handled)
{
    if (Msg.message == WM_SYSCOMMAND && (Msg.wParam == SC_SCREENSAVE || Msg.wParam == SC_MONITORPOWER)) {
        Handled = true;
        return;
    }
    if (SavedOnMessage)
        SavedOnMessage(Msg, Handled);
}

// ---------------------------------------------------------------------------
// Music and slide sounds

bool TShowForm::NextMusicFilename(std::string& Name)
{
    if (MusicIndex == -2) {
        Name.clear();
        return false;
    }
    const int lines = Tools::CountStrNr(Show->MusicFileNames);
    if (MusicIndex == -1)
        MusicIndex = 0;
    else if (++MusicIndex >= lines)
        MusicIndex = Show->AutoRewind ? 0 : -2;
    Name = MusicIndex == -2 ? std::string() : Tools::GetStrNr(Show->MusicFileNames, MusicIndex);
    return true;
}

void TShowForm::StartMusic()
{
    EnableMusicButton->SetEnabled(false);
    MusicPlayer->ClearSound();
    bool firstStart = false;
    const int lines = Tools::CountStrNr(Show->MusicFileNames);
    if (Show->PlayMusic && lines > 0) {
        firstStart = MusicIndex == -1;
        bool loaded = false;
        for (int attempt = 0; attempt < lines && !loaded; ++attempt) {
            std::string name;
            if (!NextMusicFilename(name))
                break;
            const std::string file = RelFileName(name, VisteloFilename);
            loaded = !file.empty() && MusicPlayer->LoadFromFile(file, false, ForceUseInternalMP3Player);
        }
        if (loaded) {
            if (!firstStart || Show->AutoStartMusic)
                MusicPlayer->Play();
            EnableMusicButton->SetEnabled(true);
        }
    }
    EnableMusicButton->SetDown(!MusicPlayer->Muted && EnableMusicButton->Enabled() &&
                               (Show->AutoStartMusic || !firstStart));
}

void TShowForm::MusicPlayerFinished(bool& Repeat)
{
    if (SoundPlayerUnit::DontRestartMusic) {
        Repeat = false;
    } else if (Tools::CountStrNr(Show->MusicFileNames) != 1 || MusicIndex == -1) {
        Repeat = false;
        StartMusic();
    } else {
        Repeat = Show->AutoRewind;
    }
}

void TShowForm::EnableMusicButtonClick()
{
    if (MusicPlayer->Playing()) {
        SoundPlayerUnit::DontRestartMusic = true;
        MusicPlayer->Pause();
        EnableMusicButton->SetDown(false);
    } else {
        SoundPlayerUnit::DontRestartMusic = false;
        MusicPlayer->Play();
        EnableMusicButton->SetDown(true);
    }
}

void TShowForm::StartSound()
{
    EnableSoundButton->SetEnabled(false);
    const TPicInfoObject* pic = Show->Dia();
    const bool hasSound = !pic->Sound.empty();
    // A sound marked to go on keeps playing into slides without one.
    if (hasSound || !KeepSound)
        SoundPlayer->ClearSound();
    if (hasSound && Show->AutoStartSound) {
        const std::string file = RelFileName(pic->Sound, VisteloFilename);
        if (!file.empty() && SoundPlayer->LoadFromFile(file, pic->RepeatSound, ForceUseInternalMP3Player)) {
            KeepSound = pic->DontStopSound;
            SoundPlayer->Play();
            EnableSoundButton->SetEnabled(true);
        }
    }
    EnableSoundButton->SetDown(!SoundPlayer->Muted && EnableSoundButton->Enabled());
}

void TShowForm::SoundPlayerFinished(bool& Repeat)
{
    const TPicInfoObject* pic = Show ? Show->Dia() : nullptr;
    if (!pic)
        return;
    switch (pic->SynchronizeWithSound) {
    case ssSyncExact:
        SoundWaitReleased = true;
        Repeat = false;
        DiaTimerTimer();
        break;
    case ssSync: SoundWaitReleased = true; break;
    default: break;
    }
}

void TShowForm::EnableSoundButtonClick()
{
    if (SoundPlayer->Muted) {
        SoundPlayer->Muted = false;
        SoundPlayer->Play();
        EnableSoundButton->SetDown(true);
    } else {
        SoundPlayer->Muted = true;
        SoundPlayer->Pause();
        EnableSoundButton->SetDown(false);
    }
}

// ---------------------------------------------------------------------------
// Other commands

void TShowForm::InfoBtnClick()
{
    WithoutStayOnTop([&] {
        // The About box frees itself when it closes.
        auto* about = new TPlayerAboutForm(this);
        about->AboutText = Show ? Show->AboutText : std::string();
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
    CommentsBox->OnShowKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) { FormKeyUp(Key, Shift); };
    CommentsBox->OnShowKeyPress = [this](TObject*, char32_t& Key) { FormKeyPress(Key); };
    const TPicInfoObject* pic = Show ? Show->Dia() : nullptr;
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
    if (!Show)
        return;
    WithoutStayOnTop([&] {
        // The dialog frees itself.
        auto* dialog = new TSpeedChgForm(this, *Show);
        dialog->Execute();
    });
    DiaTimer->SetInterval(StepInterval);
}

void TShowForm::CatalogToolBtnClick()
{
    if (!Show)
        return;
    const std::int32_t onScreen = Show->GetOrder(std::max(Show->CurrentIndex, 0));
    if (Paused) {
        CatalogStopMode = csmPauseMode;
    } else {
        CatalogStopMode = csmCatalogPause;
        ShowPauseBtnClick();
    }
    try {
        WithoutStayOnTop([&] {
            if (RunCatalog)
                RunCatalog(*this);
        });
        Tools::KillMouseKeyBoardMessages(Handle());
        Application->ProcessMessages();
        if (CatalogChoice == -1 || CatalogChoice == onScreen) {
            if ((CatalogStopMode == csmRunning || CatalogStopMode == csmCatalogPause) && Paused)
                ShowStartBtnClick();
        } else {
            SetVisteloPos(CatalogChoice, true);
            if (CatalogStopMode != csmPauseMode)
                ShowStartBtnClick();
        }
    } catch (...) {
        CatalogChoice = -1;
        throw;
    }
    CatalogChoice = -1;
}

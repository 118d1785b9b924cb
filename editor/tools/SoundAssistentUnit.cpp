#include "editor/tools/SoundAssistentUnit.h"

#include <cstdlib>

#include "editor/app/Config.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/DirectoryEdit.h"
#include "editor/controls/FilenameEdit.h"
#include "editor/tools/RecordForm.h"
#include "editor/tools/SoundControl.h"
#include "editor/tools/ToolResources.h"
#include "platform/media/AudioIO.h"
#include "platform/media/WAVTools.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(TSoundAssistentForm)

namespace {

constexpr int HelpContext = 411;

template <class T> T* Place(TComponent* Owner, TWinControl* Parent, int Left, int Top, int Width, int Height)
{
    auto* control = new T(Owner);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

// An auxiliary input, or any device of a technology with bit value 4.
bool QualifiesForSlider(const TSoundDevice& Device)
{
    return (Device.Kind == sdAux && (Device.Technology & 2)) || (Device.Technology & 4);
}

} // namespace

TSoundAssistentForm::TSoundAssistentForm(TComponent* AOwner) : TSoundAssistentForm(AOwner, new TAudioIn(nullptr)) { }

TSoundAssistentForm::TSoundAssistentForm(TComponent* AOwner, TAudioIn* AAudioIn) : TForm(AOwner), AudioIn(AAudioIn)
{
    SetCaption("Sound-Assistent");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(540 + ToolResources::PagePictureRoom);
    SetClientHeight(380);
    InsertComponent(AudioIn);
    AudioIn->OnStart = [this](TObject* Sender) { AudioInStart(Sender); };
    AudioIn->OnBufferFilled = [this](std::uint8_t* Buffer, int Size) { return AudioInBufferFilled(Buffer, Size); };
    AudioIn->OnStop = [this](TObject* Sender) { AudioInStop(Sender); };

    PageControl = Place<TPageControl>(this, this, 0, 0, ClientWidth(), 336);
    CreateStartPage();
    CreateSetupPage();
    CreateDirPage();
    CreateRecordPage();
    ToolResources::AddPagePicture(StartPage, "SOUNDASSISTENT");
    ToolResources::AddPagePicture(RecordSetup, "SOUNDASSISTENTSETUP");
    ToolResources::AddPagePicture(DirPage, "SOUNDASSISTENTDIRSETUP");
    for (int i = 0; i < PageControl->PageCount(); ++i)
        PageControl->Pages(i)->SetTabVisible(false);
    PageControl->OnChange = [this](TObject* Sender) { PageControlChange(Sender); };
    CreateButtons();

    SoundControl = std::make_unique<TSoundControl>();
    SetUpMixer();
    LoadSampleRate();
    PicNrEdit->MaxValue = PicInfoUnit::PicCount();
    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    KeyPreview = true;
    OnKeyDown = [](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_F1) {
            Key = 0;
            ui::ShowMessage(TAAForm::NoHelpMessage); // the editor's help, as its own command gives it
        }
    };
}

TSoundAssistentForm::~TSoundAssistentForm()
{
    AudioIn->OnStart = nullptr;
    AudioIn->OnBufferFilled = nullptr;
    AudioIn->OnStop = nullptr;
    AudioIn->StopAtOnce();
    writer_.reset();
}

void TSoundAssistentForm::CreateStartPage()
{
    StartPage = Place<TTabSheet>(this, PageControl, 0, 0, 540, 336);
    StartPage->SetPageControl(PageControl);
    auto* title = Place<TLabel>(this, StartPage, 16, 16, 500, 20);
    title->SetCaption("Sound-Assistent");
    AllPicsCheck = Place<TRadioButton>(this, StartPage, 24, 56, 480, 20);
    AllPicsCheck->SetCaption("zu allen");
    AllPicsCheck->SetChecked(true);
    GreenMarkedCheck = Place<TRadioButton>(this, StartPage, 24, 80, 480, 20);
    GreenMarkedCheck->SetCaption("zu denen mit einem grünen Häkchen markierten");
    MarkedCheck = Place<TRadioButton>(this, StartPage, 24, 104, 480, 20);
    MarkedCheck->SetCaption("zu den in der Liste markierten");
}

void TSoundAssistentForm::CreateSetupPage()
{
    RecordSetup = Place<TTabSheet>(this, PageControl, 0, 0, 540, 336);
    RecordSetup->SetPageControl(PageControl);
    auto* text = Place<TLabel>(this, RecordSetup, 16, 12, 500, 48);
    text->SetWordWrap(true);
    text->SetCaption("Legen Sie nun die Einstellungen fest, mit denen Sie die Sounds aufnehmen möchten (Empfohlende "
                     "Einstellungen für Sprachaufnahme: 22050 Hz, 16 Bit, Mono)");

    auto* rates = Place<TGroupBox>(this, RecordSetup, 16, 68, 240, 140);
    rates->SetCaption(" Samplingrate: ");
    auto rate = [&](const std::string& caption, int top) {
        auto* button = Place<TRadioButton>(this, rates, 12, top, 120, 20);
        button->SetCaption(caption);
        button->OnClick = [this](TObject*) { SampleCheckClick(); };
        return button;
    };
    Rate11025Check = rate("11025 Hz", 20);
    Rate22050Check = rate("22050 Hz", 44);
    Rate44100Check = rate("44100 Hz", 68);
    SampleUserCheck = rate("andere:", 92);
    UserSampleEdit = Place<TKsSpinEdit>(this, rates, 100, 92, 80, 22);
    UserSampleEdit->OnChange = [this](TObject*) { VisteloSetup::SoundSampleRate = UserSampleEdit->GetIntValue(); };
    Place<TLabel>(this, rates, 186, 94, 30, 20)->SetCaption("Hz");

    auto* sizes = Place<TGroupBox>(this, RecordSetup, 272, 68, 240, 66);
    sizes->SetCaption(" Sample-Größe: ");
    EightBitCheck = Place<TRadioButton>(this, sizes, 12, 20, 100, 20);
    EightBitCheck->SetCaption("8 Bit");
    EightBitCheck->OnClick = [](TObject*) { VisteloSetup::SoundSampleSize = 8; };
    SixteenBitCheck = Place<TRadioButton>(this, sizes, 120, 20, 100, 20);
    SixteenBitCheck->SetCaption("16 Bit");
    SixteenBitCheck->OnClick = [](TObject*) { VisteloSetup::SoundSampleSize = 16; };

    auto* channels = Place<TGroupBox>(this, RecordSetup, 272, 142, 240, 66);
    channels->SetCaption(" Kanäle: ");
    MonoCheck = Place<TRadioButton>(this, channels, 12, 20, 100, 20);
    MonoCheck->SetCaption("Mono");
    StereoCheck = Place<TRadioButton>(this, channels, 120, 20, 100, 20);
    StereoCheck->SetCaption("Stereo");
    MonoCheck->OnClick = [this](TObject*) { VisteloSetup::SoundStereo = StereoCheck->Checked(); };
    StereoCheck->OnClick = [this](TObject*) { VisteloSetup::SoundStereo = StereoCheck->Checked(); };
}

void TSoundAssistentForm::CreateDirPage()
{
    DirPage = Place<TTabSheet>(this, PageControl, 0, 0, 540, 336);
    DirPage->SetPageControl(PageControl);
    auto* group = Place<TGroupBox>(this, DirPage, 16, 16, 500, 150);
    group->SetCaption(" Zielverzeichnis: ");
    PicDirCheck = Place<TRadioButton>(this, group, 12, 22, 470, 20);
    PicDirCheck->SetCaption("Verzeichnis verwenden, in dem auch das &Bild liegt");
    UserDirCheck = Place<TRadioButton>(this, group, 12, 46, 470, 20);
    UserDirCheck->SetCaption("&anderes Verzeichnis verwenden:");
    PicDirCheck->OnClick = [this](TObject*) { DirCheckClick(); };
    UserDirCheck->OnClick = [this](TObject*) { DirCheckClick(); };
    UserDirPanel = Place<TPanel>(this, group, 30, 72, 456, 64);
    Place<TLabel>(this, UserDirPanel, 0, 4, 300, 20)->SetCaption("&Verzeichnis angeben:");
    UserDirEdit = Place<TDirectoryEdit>(this, UserDirPanel, 0, 28, 450, 22);
    UserDirEdit->OnChange = [this](TObject*) { VisteloSetup::SoundUserDir = UserDirEdit->Text(); };
}

void TSoundAssistentForm::CreateRecordPage()
{
    RecordPage = Place<TTabSheet>(this, PageControl, 0, 0, 540, 336);
    RecordPage->SetPageControl(PageControl);
    PreviewImage = Place<TImage>(this, RecordPage, 12, 12, 160, 120);
    PreviewImage->OnClick = [this](TObject*) { VisteloSetup::OpenPicturePreview(CurrentEntry); };
    PicNrEdit = Place<TKsSpinEdit>(this, RecordPage, 12, 140, 60, 22);
    PicNrEdit->MinValue = 1;
    PicNrEdit->OnExit = [this](TObject* Sender) { PicNrEditExit(Sender); };
    PicNrEdit->OnTopClick = [this](TObject* Sender) { PicNrEditExit(Sender); };
    PicNrEdit->OnBottomClick = [this](TObject* Sender) { PicNrEditExit(Sender); };
    PicNrEdit->OnKeyDown = [this](TObject* Sender, WORD& Key, TShiftState) {
        if (Key == VK_RETURN)
            PicNrEditExit(Sender);
    };
    Place<TLabel>(this, RecordPage, 184, 12, 340, 20)->SetCaption("Bildbeschreibung/&Kommentar:");
    CommentsMemo = Place<TMemo>(this, RecordPage, 184, 32, 340, 100);
    CommentsMemo->OnChange = [this](TObject* Sender) { CommentsMemoChange(Sender); };
    SoundExistInfoLabel = Place<TLabel>(this, RecordPage, 184, 140, 340, 20);
    SoundFilenameEdit = Place<TFilenameEdit>(this, RecordPage, 184, 160, 340, 22);
    SoundFilenameEdit->SetDefaultExt("WAV");
    SoundFilenameEdit->SetFilter("WAV-Dateien (*.WAV)|*.WAV");
    SoundFilenameEdit->OnChange = [this](TObject* Sender) { SoundFilenameEditChange(Sender); };
    Place<TLabel>(this, RecordPage, 184, 190, 90, 20)->SetCaption("Länge/Größe:");
    LengthLabel = Place<TLabel>(this, RecordPage, 280, 190, 244, 20);

    auto button = [this](const std::string& caption, int left, int top,
                         void (TSoundAssistentForm::*handler)(TObject*)) {
        auto* b = Place<TButton>(this, RecordPage, left, top, 96, 25);
        b->SetCaption(caption);
        b->OnClick = [this, handler](TObject* Sender) { (this->*handler)(Sender); };
        return b;
    };
    RecordBtn = button("&Aufnehmen", 184, 216, &TSoundAssistentForm::RecordBtnClick);
    StopBtn = button("Stop", 286, 216, &TSoundAssistentForm::StopBtnClick);
    PlaySoundBtn = button("Abs&pielen", 388, 216, &TSoundAssistentForm::PlaySoundBtnClick);
    PrevPicBtn = button("&Voriges Bild", 12, 172, &TSoundAssistentForm::PrevPicBtnClick);
    NextPicBtn = button("&Nächstes B.", 12, 202, &TSoundAssistentForm::NextPicBtnClick);

    auto* mixer = Place<TGroupBox>(this, RecordPage, 12, 250, 512, 76);
    mixer->SetCaption(" Mixer: ");
    VolumeLabel1 = Place<TLabel>(this, mixer, 12, 20, 100, 20);
    VolumeLabel1->SetCaption("Mikro.");
    VolumeTrackBar1 = Place<TTrackBar>(this, mixer, 112, 16, 380, 24);
    VolumeLabel2 = Place<TLabel>(this, mixer, 12, 46, 100, 20);
    VolumeLabel2->SetCaption("Line In");
    VolumeTrackBar2 = Place<TTrackBar>(this, mixer, 112, 42, 380, 24);
    for (TTrackBar* bar : {VolumeTrackBar1, VolumeTrackBar2}) {
        bar->SetMax(255);
        bar->OnChange = [this](TObject* Sender) { VolumeTrackBarChange(Sender); };
    }

    PopupMenu = new TPopupMenu(this);
    DeleteSound = new TMenuItem(this);
    DeleteSound->Caption = "aktuellen Sound von der Festplatte löschen";
    DeleteSound->OnClick = [this](TObject* Sender) { DeleteSoundClick(Sender); };
    PopupMenu->Items().Add(DeleteSound);
    PopupMenu->OnPopup = [this](TObject* Sender) { PopupMenuPopup(Sender); };
    RecordPage->SetPopupMenu(PopupMenu);
}

void TSoundAssistentForm::CreateButtons()
{
    auto button = [this](const std::string& caption, int left) {
        auto* b = Place<TButton>(this, this, left + ToolResources::PagePictureRoom, 346, 96, 25);
        b->SetCaption(caption);
        return b;
    };
    BackBtn = button("&Zurück", 228);
    NextBtn = button("&Weiter", 328);
    CloseBtn = button("&Schließen", 436);
    BackBtn->OnClick = [this](TObject*) {
        PageControl->SetActivePageIndex(PageControl->ActivePageIndex() - 1);
        PageControlChange(PageControl);
    };
    NextBtn->OnClick = [this](TObject*) {
        PageControl->SetActivePageIndex(PageControl->ActivePageIndex() + 1);
        PageControlChange(PageControl);
    };
    CloseBtn->OnClick = [this](TObject* Sender) { CloseBtnClick(Sender); };
}

// The first two devices with a recording volume get the sliders; the
// others stay hidden.
void TSoundAssistentForm::SetUpMixer()
{
    TLabel* labels[] = {VolumeLabel1, VolumeLabel2};
    TTrackBar* bars[] = {VolumeTrackBar1, VolumeTrackBar2};
    for (int i = 0; i < 2; ++i) {
        labels[i]->SetCaption("");
        labels[i]->SetVisible(false);
        bars[i]->SetVisible(false);
    }
    int bound = 0;
    for (int i = 0; i < SoundControl->Count() && bound < 2; ++i) {
        const TSoundDevice& device = *SoundControl->Device(i);
        if (!QualifiesForSlider(device))
            continue;
        labels[bound]->SetCaption(device.Name);
        labels[bound]->SetVisible(true);
        bars[bound]->Tag = i;
        bars[bound]->SetVisible(true);
        bars[bound]->Hint = device.Name;
        bars[bound]->SetMax(static_cast<int>(device.MaxVolume));
        bars[bound]->Frequency = static_cast<int>(device.MaxVolume / 15);
        ++bound;
    }
}

void TSoundAssistentForm::ReadSliderVolumes()
{
    for (TTrackBar* bar : {VolumeTrackBar1, VolumeTrackBar2}) {
        if (!bar->Visible())
            continue;
        const std::uint32_t volume = SoundControl->Device(static_cast<int>(bar->Tag))->GetVolume();
        const int average = static_cast<int>(((volume & 0xFFFF) + (volume >> 16)) / 2);
        bar->SetPosition(bar->Max() - average);
    }
}

void TSoundAssistentForm::LoadSampleRate()
{
    const int rate = VisteloSetup::SoundSampleRate;
    UserSampleEdit->SetIntValue(rate);
    TRadioButton* fixed = rate == 11025 ? Rate11025Check
        : rate == 22050                 ? Rate22050Check
        : rate == 44100                 ? Rate44100Check
                                        : SampleUserCheck;
    fixed->SetChecked(true);
    (VisteloSetup::SoundSampleSize == 8 ? EightBitCheck : SixteenBitCheck)->SetChecked(true);
    (VisteloSetup::SoundStereo ? StereoCheck : MonoCheck)->SetChecked(true);
    SampleCheckClick();
}

void TSoundAssistentForm::SampleCheckClick()
{
    UserSampleEdit->SetEnabled(SampleUserCheck->Checked());
    if (Rate11025Check->Checked())
        UserSampleEdit->SetText("11025");
    else if (Rate22050Check->Checked())
        UserSampleEdit->SetText("22050");
    else if (Rate44100Check->Checked())
        UserSampleEdit->SetText("44100");
}

void TSoundAssistentForm::DirCheckClick()
{
    UserDirPanel->SetEnabled(UserDirCheck->Checked());
    UserDirEdit->SetEnabled(UserDirCheck->Checked());
    VisteloSetup::SoundUseUserDir = UserDirCheck->Checked();
}

TSoundAssistChoice TSoundAssistentForm::Choice() const
{
    return GreenMarkedCheck->Checked() ? scGreenMarked : MarkedCheck->Checked() ? scMarked : scAll;
}

void TSoundAssistentForm::FormActivate(TObject*)
{
    if (PageControl->ActivePageIndex() < 0) {
        PageControl->SetActivePageIndex(0);
        PageControlChange(PageControl);
    }
    if (PageControl->ActivePage() != StartPage)
        return;
    int active = 0;
    for (int i = 0; i < PicInfoUnit::PicCount(); ++i)
        active += SoundAssistentLogic::IsChosen(i, scGreenMarked) ? 1 : 0;
    GreenMarkedCheck->SetEnabled(active > 0);
    MarkedCheck->SetEnabled(PicInfoUnit::PicSelCount() > 0);
    if (PicInfoUnit::PicCount() > 0)
        return;
    for (TControl* control : {static_cast<TControl*>(NextBtn), static_cast<TControl*>(AllPicsCheck),
                              static_cast<TControl*>(GreenMarkedCheck), static_cast<TControl*>(MarkedCheck)})
        control->SetEnabled(false);
    ui::MessageDlg(NoPicturesMessage, mtInformation, {mbOK, mbHelp}, HelpContext);
}

void TSoundAssistentForm::PageControlChange(TObject*)
{
    const int page = PageControl->ActivePageIndex();
    BackBtn->SetEnabled(page > 0);
    NextBtn->SetEnabled(page < PageControl->PageCount() - 1);
    if (PageControl->ActivePage() == DirPage) {
        UserDirEdit->SetText(VisteloSetup::SoundUserDir);
        (VisteloSetup::SoundUseUserDir ? UserDirCheck : PicDirCheck)->SetChecked(true);
        DirCheckClick();
    }
    if (PageControl->ActivePage() == RecordPage) {
        if (!CurrentEntry)
            CurrentIndex = SoundAssistentLogic::NextPicture(-1, Choice(), true);
        ReadSliderVolumes();
        AudioIn->SetFrameRate(VisteloSetup::SoundSampleRate);
        AudioIn->SetQuantization(VisteloSetup::SoundSampleSize);
        AudioIn->SetStereo(VisteloSetup::SoundStereo);
        ShowPicture();
    }
}

void TSoundAssistentForm::VolumeTrackBarChange(TObject* Sender)
{
    auto* bar = static_cast<TTrackBar*>(Sender);
    if (!bar->Visible())
        return;
    const auto value = static_cast<std::uint16_t>(bar->Max() - bar->Position());
    SoundControl->Device(static_cast<int>(bar->Tag))->SetVolume(SoundControl::MakeVolume(value, value));
}

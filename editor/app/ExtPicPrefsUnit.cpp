// The picture options dialog's windows and controls; what they do is in
// ExtPicPrefsUnit.Handlers.cpp.

#include "editor/app/ExtPicPrefsUnit.h"

#include "editor/app/Config.h"
#include "editor/controls/ColorPickerButton.h"
#include "editor/controls/FilenameEdit.h"
#include "platform/graphics/Font.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(TExtPicPrefsDlg)

namespace {

constexpr const char* SoundFilter =
    "Alle unterstützten Soundformate|*.WAV;*.MP3;*.MP2;*.MP1;*.MPEG3;*.MPEG2;*.MPEG1;*.MID;*.RMI|Wavedateien "
    "(*.WAV)|*.WAV|MP123-Dateien (*.MP3;*.MP2;*.MP1)|*.MP3;*.MP2;*.MP1;*.MPEG3;*.MPEG2;*.MPEG1|Mididateien "
    "(*.MID;*.RMI)|*.MID;*.RMI|Alle Dateien|*.*";

template <class T> T* Place(TComponent* Owner, TWinControl* Parent, const std::string& Caption, TRect Box)
{
    auto* control = new T(Owner);
    control->SetParent(Parent);
    control->SetCaption(Caption);
    control->SetBounds(Box.Left, Box.Top, Box.Width(), Box.Height());
    return control;
}

TPanel* PlainPanel(TComponent* Owner, TWinControl* Parent, TRect Box)
{
    auto* panel = Place<TPanel>(Owner, Parent, "", Box);
    panel->SetBevelOuter(bvNone);
    return panel;
}

TKsSpinEdit* SpinEdit(TComponent* Owner, TWinControl* Parent, TRect Box, double Min, double Max, double Step)
{
    auto* edit = new TKsSpinEdit(Owner);
    edit->SetParent(Parent);
    edit->SetBounds(Box.Left, Box.Top, Box.Width(), Box.Height());
    edit->MinValue = Min;
    edit->MaxValue = Max;
    edit->Increment = Step;
    return edit;
}

TTabSheet* NewSheet(TComponent* Owner, TPageControl* Pages, const std::string& Caption)
{
    auto* sheet = new TTabSheet(Owner);
    sheet->SetPageControl(Pages);
    sheet->SetCaption(Caption);
    return sheet;
}

} // namespace

TExtPicPrefsDlg::TExtPicPrefsDlg(TComponent* AOwner) : TForm(AOwner), copy_(std::make_unique<TPicInfoObject>())
{
    SetCaption("Erweiterte Bildeinstellungen");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(460);
    SetClientHeight(372);

    PageControl = Place<TPageControl>(this, this, "", Bounds(8, 8, 444, 318));
    CreateSoundSheet();
    CreateCommentSheet();
    CreatePauseSheet();
    CreatePlacementSheet();

    OKBtn = Place<TButton>(this, this, "&OK", Bounds(196, 338, 80, 25));
    OKBtn->Default = true;
    OKBtn->OnClick = [this](TObject*) { OKBtnClick(); };
    CancelBtn = Place<TButton>(this, this, "&Abbrechen", Bounds(284, 338, 80, 25));
    CancelBtn->Cancel = true;
    CancelBtn->ModalResult = mrCancel;
    HelpBtn = Place<TButton>(this, this, "&Hilfe", Bounds(372, 338, 80, 25));
    HelpBtn->OnClick = [](TObject*) { ui::ShowMessage(TAAForm::NoHelpMessage); };
    OnKeyDown = [](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_F1)
            ui::ShowMessage(TAAForm::NoHelpMessage);
    };
    KeyPreview = true;

    ExitTimer = new TTimer(this);
    ExitTimer->SetEnabled(false);
    ExitTimer->SetInterval(1);
    ExitTimer->OnTimer = [this](TObject*) {
        ExitTimer->SetEnabled(false);
        Close();
    };
    OnActivate = [this](TObject*) { FormActivate(); };
}

TExtPicPrefsDlg::~TExtPicPrefsDlg() = default;

void TExtPicPrefsDlg::CreateSoundSheet()
{
    SoundSheet = NewSheet(this, PageControl, "Sound");
    Place<TLabel>(this, SoundSheet, "&Sounddatei, die zu diesem Bild abgespielt wird:", Bounds(12, 12, 400, 16));
    SoundFilenameEdit = new TFilenameEdit(this);
    SoundFilenameEdit->SetParent(SoundSheet);
    SoundFilenameEdit->SetBounds(12, 32, 330, 22);
    SoundFilenameEdit->SetDialogTitle("Sounddatei auswählen");
    SoundFilenameEdit->SetFilter(SoundFilter);
    SoundFilenameEdit->OnChange = [this](TObject*) {
        if (!filling_)
            copy_->Sound = SoundFilenameEdit->Text();
    };
    PreviewSoundBtn = Place<TButton>(this, SoundSheet, "&Probehören", Bounds(350, 31, 78, 25));
    PreviewSoundBtn->OnClick = [this](TObject*) { PreviewSoundBtnClick(); };

    auto* group = Place<TGroupBox>(this, SoundSheet, " Synchronisation ", Bounds(12, 70, 416, 100));
    DontSynchronizeCheck = Place<TRadioButton>(this, group, "&nicht synchronisieren", Bounds(12, 20, 390, 20));
    SynchronizeExactCheck = Place<TRadioButton>(this, group, "Bild erst nach dem Ende des Sounds &wechseln",
                                                Bounds(12, 44, 390, 20));
    SynchronizeCheck = Place<TRadioButton>(this, group, "Verweildauer an die Länge des Sounds &anpassen",
                                           Bounds(12, 68, 390, 20));
    for (TRadioButton* radio : {DontSynchronizeCheck, SynchronizeExactCheck, SynchronizeCheck})
        radio->OnClick = [this](TObject*) { SynchronizeClick(); };
    RepeatSoundCheck = Place<TCheckBox>(this, SoundSheet, "Sound &wiederholen", Bounds(12, 182, 400, 20));
    RepeatSoundCheck->OnClick = [this](TObject*) {
        if (!filling_)
            copy_->RepeatSound = RepeatSoundCheck->Checked();
    };
    DontStopSoundCheck = Place<TCheckBox>(this, SoundSheet, "Sound beim Bildwechsel &nicht anhalten",
                                          Bounds(12, 206, 400, 20));
    DontStopSoundCheck->OnClick = [this](TObject*) {
        if (!filling_)
            copy_->DontStopSound = DontStopSoundCheck->Checked();
    };
}

void TExtPicPrefsDlg::CreateCommentSheet()
{
    CommentSheet = NewSheet(this, PageControl, "Kommentar/Beschriftung");
    Place<TLabel>(this, CommentSheet, "Schrift:", Bounds(12, 14, 60, 16));
    FontNameLabel = Place<TLabel>(this, CommentSheet, "", Bounds(76, 14, 180, 16));
    ChooseFontBtn = Place<TButton>(this, CommentSheet, "&Wählen", Bounds(262, 9, 70, 25));
    ChooseFontBtn->OnClick = [this](TObject*) { ChooseFontBtnClick(); };
    FontColorPanel = Place<TPanel>(this, CommentSheet, "", Bounds(340, 9, 40, 25));
    FontColorPanel->Hint = "Schriftfarbe";
    FontColorPanel->SetShowHint(true);
    FontColorPanel->OnClick = [this](TObject*) { FontColorPanelClick(); };
    FontDialog = new TFontDialog(this);

    PixelHeightCheck = Place<TCheckBox>(this, CommentSheet, "Schrift&höhe in Pixeln:", Bounds(12, 44, 160, 20));
    PixelHeightCheck->OnClick = [this](TObject*) { PixelHeightCheckClick(); };
    PixelHeightPanel = PlainPanel(this, CommentSheet, Bounds(176, 42, 90, 24));
    PixelHeightEdit = SpinEdit(this, PixelHeightPanel, Bounds(0, 0, 80, 22), 1, 1000, 1);
    PixelHeightEdit->OnChange = [this](TObject*) { RedrawPreview(); };

    Place<TLabel>(this, CommentSheet, "&Effekt:", Bounds(12, 80, 60, 16));
    EffectsComboBox = Place<TComboBox>(this, CommentSheet, "", Bounds(76, 76, 120, 22));
    EffectsComboBox->SetStyle(csDropDownList);
    for (const char* effect : {"Keine", "Rand", "Schatten", "3D-Rand"})
        EffectsComboBox->Items().Add(effect);
    EffectsComboBox->OnChange = [this](TObject*) { EffectsChange(); };
    EffectColor1Group = Place<TGroupBox>(this, CommentSheet, " Effektfarbe 1 ", Bounds(206, 68, 108, 50));
    EffectColor1 = new TColorPickerButton(this);
    EffectColor1->SetParent(EffectColor1Group);
    EffectColor1->SetBounds(10, 18, 88, 24);
    EffectColor2Group = Place<TGroupBox>(this, CommentSheet, " Effektfarbe 2 ", Bounds(320, 68, 108, 50));
    EffectColor2 = new TColorPickerButton(this);
    EffectColor2->SetParent(EffectColor2Group);
    EffectColor2->SetBounds(10, 18, 88, 24);
    for (TColorPickerButton* button : {EffectColor1, EffectColor2})
        button->OnChange = [this](TObject*) { RedrawPreview(); };

    UserCommentPosCheck = Place<TCheckBox>(this, CommentSheet, "&beliebige Position", Bounds(12, 130, 180, 20));
    UserCommentPosCheck->OnClick = [this](TObject*) { UserCommentPosCheckClick(); };
    SetUserCommentPosBtn = Place<TButton>(this, CommentSheet, "&Festlegen", Bounds(196, 127, 90, 25));
    SetUserCommentPosBtn->OnClick = [this](TObject*) { SetUserCommentPosBtnClick(); };

    Place<TLabel>(this, CommentSheet, "&Vorschauhintergrundfarbe:", Bounds(12, 166, 170, 16));
    PreviewBackgroundColor = new TColorPickerButton(this);
    PreviewBackgroundColor->SetParent(CommentSheet);
    PreviewBackgroundColor->SetBounds(186, 162, 88, 24);
    PreviewBackgroundColor->OnChange = [this](TObject*) { RedrawPreview(); };
    FontPreview = new TPaintBox(this);
    FontPreview->SetParent(CommentSheet);
    FontPreview->SetBounds(12, 196, 416, 82);
    FontPreview->OnPaint = [this](TObject*) { FontPreviewPaint(); };
}

void TExtPicPrefsDlg::CreatePauseSheet()
{
    PauseSheet = NewSheet(this, PageControl, "Verweildauer");
    UserDelayCheck = Place<TCheckBox>(this, PauseSheet, "Andere Verweildauer verwenden:", Bounds(12, 16, 220, 20));
    UserDelayCheck->OnClick = [this](TObject*) { UserDelayPanel->SetEnabled(UserDelayCheck->Checked()); };
    UserDelayPanel = PlainPanel(this, PauseSheet, Bounds(236, 14, 190, 24));
    UserDelayEdit = SpinEdit(this, UserDelayPanel, Bounds(0, 0, 110, 22), 0, 999999999, 500);
    Place<TLabel>(this, UserDelayPanel, "ms", Bounds(116, 4, 40, 16));
}

void TExtPicPrefsDlg::CreatePlacementSheet()
{
    PlacementSheet = NewSheet(this, PageControl, "Größe && Plazierung");
    auto* group = Place<TGroupBox>(this, PlacementSheet, " Plazierung ", Bounds(12, 8, 416, 124));
    const struct {
        TRadioButton** radio;
        const char* caption;
        int left, top;
    } radios[] = {
        {&CenterCheck, "&Zentriert", 150, 44},          {&TopLeftCheck, "&Oben links", 12, 20},
        {&TopCenterCheck, "Oben &mittig", 150, 20},     {&TopRightCheck, "Oben &rechts", 288, 20},
        {&RightCenterCheck, "R&echts mittig", 288, 44}, {&BottomRightCheck, "Unten re&chts", 288, 68},
        {&BottomCenterCheck, "&Unten mittig", 150, 68}, {&BottomLeftCheck, "Unten &links", 12, 68},
        {&LeftCenterCheck, "L&inks mittig", 12, 44},    {&UserPlacementCheck, "&Benutzerdefiniert", 12, 94},
    };
    for (int placement = 0; placement < static_cast<int>(std::size(radios)); ++placement) {
        const auto& r = radios[placement];
        *r.radio = Place<TRadioButton>(this, group, r.caption, Bounds(r.left, r.top, 130, 20));
        (*r.radio)->OnClick = [this, placement](TObject*) { PlacementClick(placement); };
    }
    UserPlacementBtn = Place<TButton>(this, group, "Anpassen", Bounds(150, 91, 90, 25));
    UserPlacementBtn->OnClick = [this](TObject*) { UserPlacementBtnClick(); };

    UserSizeCheck = Place<TCheckBox>(this, PlacementSheet, "&Größe festlegen:", Bounds(12, 144, 200, 20));
    UserSizeCheck->OnClick = [this](TObject*) { UserSizeCheckClick(); };
    UserSizePanel = PlainPanel(this, PlacementSheet, Bounds(12, 168, 416, 110));
    Place<TLabel>(this, UserSizePanel, "B&reite (%):", Bounds(0, 6, 80, 16));
    WidthEdit = SpinEdit(this, UserSizePanel, Bounds(84, 2, 80, 22), 1, 100, 1);
    WidthEdit->OnChange = [this](TObject*) { SizeEditChange(true); };
    Place<TLabel>(this, UserSizePanel, "&Höhe (%):", Bounds(0, 34, 80, 16));
    HeightEdit = SpinEdit(this, UserSizePanel, Bounds(84, 30, 80, 22), 1, 100, 1);
    HeightEdit->OnChange = [this](TObject*) { SizeEditChange(false); };
    PicPercentCheck = Place<TRadioButton>(this, UserSizePanel, "Prozent der &Bildgröße", Bounds(190, 4, 220, 20));
    PicPercentCheck->OnClick = [this](TObject*) {
        if (!filling_)
            copy_->SizePercent = pPicture;
    };
    WinPercentCheck = Place<TRadioButton>(this, UserSizePanel, "Prozent der &Fenstergröße", Bounds(190, 32, 220, 20));
    WinPercentCheck->OnClick = [this](TObject*) {
        if (!filling_)
            copy_->SizePercent = pWindow;
    };
}

TRadioButton* TExtPicPrefsDlg::PlacementRadio(int Placement) const
{
    const TRadioButton* radios[] = {CenterCheck,      TopLeftCheck,      TopCenterCheck,    TopRightCheck,
                                    RightCenterCheck, BottomRightCheck,  BottomCenterCheck, BottomLeftCheck,
                                    LeftCenterCheck,  UserPlacementCheck};
    if (Placement < 0 || Placement >= static_cast<int>(std::size(radios)))
        return nullptr;
    return const_cast<TRadioButton*>(radios[Placement]);
}

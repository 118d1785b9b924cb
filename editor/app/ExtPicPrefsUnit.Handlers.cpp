// The picture options dialog at work: filling the controls from a copy of
// the current picture, the handlers that write into the copy, the font
// preview, the two placement dialogs and OK.

#include "editor/app/ExtPicPrefsUnit.h"

#include <cmath>
#include <cstdlib>

#include "core/CommentText.h"
#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/SmoothBitmap.h"
#include "editor/app/ExtPicPrefsApply.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/PicPlacementUnit.h"
#include "editor/app/SizeRect.h"
#include "editor/app/ToolHooks.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/ColorPickerButton.h"
#include "editor/controls/FilenameEdit.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/CanvasText.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

using namespace PicInfoUnit;

namespace {

constexpr const char* PicturePlacementText =
    "Legen Sie mit dem Positionsrahmen die Größe und Position fest, in der die Bilder dann angezeigt werden sollen. "
    "Die Einstellungen wie \"Seitenverhältnisse beibehalten\" werden weiterhin berücksichtigt.\rEs wird hierbei von "
    "einem Vistelo-Fenster in einem Breite/Höhe-Verhältnis von 4:3 (normaler Vollbildmodus) ausgegangen. Bei "
    "Größenänderungen wird die hier festgelegte Größe und Position mit verändert.";
constexpr const char* CommentPlacementText =
    "Legen Sie mit dem Positionsrahmen fest, wo der Kommentar abgebildet werden soll.\rEs wird hierbei von einem "
    "Vistelo-Fenster in einem Breite/Höhe-Verhältnis von 4:3 (normaler Vollbildmodus) ausgegangen. \rBei "
    "Größenänderungen wird die hier festgelegte Größe und Position mit verändert, passt aber nicht mehr perfekt, "
    "sowie die Seitenverhältnisse des Bildes gleich bleiben und das Breite/Höhe-Verhältnis des Vistelo-Fensters "
    "ändert (z.B. wenn Sie im Fenstermodus die Fenstergröße verändern).";

std::string PercentText(double Fraction) { return std::to_string(static_cast<long long>(std::lround(Fraction * 100))); }

// The picture the placement dialogs show: the current picture, or the
// placeholder of one that does not load.
void LoadShownPicture(const TPicInfoObject& Entry, TPicture& Picture, int Width, int Height)
{
    const TLoadError error = PictureLoading::LoadPicture(Entry.FileName, Setup::VisteloFilename, Picture);
    if (error != leOK || !Picture.Graphic()) {
        PictureLoading::PicLoadError(Picture, Width, Height, error == leOK ? leInvalidGraphic : error);
        return;
    }
    // The rectangle is dragged over it: quick drawing keeps up with the mouse.
    if (auto* smooth = dynamic_cast<TSmoothBitmap*>(Picture.Graphic()))
        smooth->Smooth = false;
}

} // namespace

bool TExtPicPrefsDlg::Execute(TExtPicPrefsPage Page)
{
    std::unique_ptr<TExtPicPrefsDlg> dialog(new TExtPicPrefsDlg(Application));
    dialog->PageControl->SetActivePageIndex(Page);
    dialog->ShowModal();
    return dialog->applied_;
}

TFont& TExtPicPrefsDlg::CopyFont()
{
    if (!copy_->CommentFont)
        copy_->CommentFont = std::make_unique<TFont>();
    return *copy_->CommentFont;
}

void TExtPicPrefsDlg::FormActivate()
{
    // Activation comes again whenever a dialog of this one closes.
    if (current_ || ExitTimer->Enabled())
        return;
    if (PicSelCount() < 1) {
        ui::ShowMessage(NoSelectionMessage);
        ExitTimer->SetEnabled(true);
        return;
    }
    const int index = PicSelectedIndex() >= 0 ? PicSelectedIndex() : PicItemIndex();
    current_ = GetPicInfoObject(index);
    if (!current_) {
        ExitTimer->SetEnabled(true);
        return;
    }
    copy_->Assign(current_);
    filling_ = true;
    FillControls();
    filling_ = false;
    RedrawPreview();
}

void TExtPicPrefsDlg::FillControls()
{
    const std::string resolved = PictureLoading::RelFileName(copy_->Sound, Setup::VisteloFilename);
    SoundFilenameEdit->SetText(resolved.empty() ? copy_->Sound : resolved);
    const TSoundSync sync = copy_->SynchronizeWithSound;
    SynchronizeExactCheck->SetChecked(sync == ssSyncExact);
    SynchronizeCheck->SetChecked(sync == ssSync);
    DontSynchronizeCheck->SetChecked(sync == ssNoSync);
    RepeatSoundCheck->SetChecked(copy_->RepeatSound);
    DontStopSoundCheck->SetChecked(copy_->DontStopSound);
    RepeatSoundCheck->SetEnabled(sync == ssNoSync);
    DontStopSoundCheck->SetEnabled(sync == ssNoSync);

    UserDelayCheck->SetChecked(copy_->Pause != -1);
    const TVistelo* show = CurrentVistelo();
    UserDelayEdit->SetIntValue(copy_->Pause != -1 ? copy_->Pause : (show ? show->Pause : 0));
    UserDelayPanel->SetEnabled(UserDelayCheck->Checked());

    FillPlacementControls();
    FillCommentControls();
}

void TExtPicPrefsDlg::FillPlacementControls()
{
    if (TRadioButton* radio = PlacementRadio(copy_->Placement))
        radio->SetChecked(true);
    UserPlacementBtn->SetEnabled(copy_->Placement == spUser);
    UserSizeCheck->SetChecked(copy_->SizePercent != pNone);
    PicPercentCheck->SetChecked(copy_->SizePercent == pPicture);
    WinPercentCheck->SetChecked(copy_->SizePercent != pPicture);
    // Shown as they are, also outside the edits' range.
    WidthEdit->SetText(PercentText(copy_->PicPlacement.Right - copy_->PicPlacement.Left));
    HeightEdit->SetText(PercentText(copy_->PicPlacement.Bottom - copy_->PicPlacement.Top));
    UserSizePanel->SetEnabled(UserSizeCheck->Checked());
}

void TExtPicPrefsDlg::FillCommentControls()
{
    EffectsComboBox->SetItemIndex(copy_->CommentEffects);
    EffectColor1Group->SetEnabled(copy_->CommentEffects != ceNone);
    EffectColor2Group->SetEnabled(copy_->CommentEffects == ce3DBorder);
    EffectColor1->SetSelectionColor(copy_->EffectColor1);
    EffectColor2->SetSelectionColor(copy_->EffectColor2);
    PreviewBackgroundColor->SetSelectionColor(copy_->BackgroundColor);
    TFont& font = CopyFont();
    FontColorPanel->SetColor(font.Color());
    FontDialog->Font().Assign(font);
    FontNameLabel->SetCaption(font.Name());
    PixelHeightCheck->SetChecked(copy_->CommentFontHeight != -1);
    PixelHeightEdit->SetIntValue(copy_->CommentFontHeight != -1 ? copy_->CommentFontHeight : std::abs(font.Height()));
    PixelHeightPanel->SetEnabled(PixelHeightCheck->Checked());
    UserCommentPosCheck->SetChecked(copy_->CommentPlacement == cpUser);
    SetUserCommentPosBtn->SetEnabled(UserCommentPosCheck->Checked());
}

void TExtPicPrefsDlg::SynchronizeClick()
{
    const bool none = DontSynchronizeCheck->Checked();
    RepeatSoundCheck->SetEnabled(none);
    DontStopSoundCheck->SetEnabled(none);
    if (filling_)
        return;
    if (SynchronizeExactCheck->Checked())
        copy_->SynchronizeWithSound = ssSyncExact;
    else if (SynchronizeCheck->Checked())
        copy_->SynchronizeWithSound = ssSync;
    else
        copy_->SynchronizeWithSound = ssNoSync;
}

void TExtPicPrefsDlg::PlacementClick(int Placement)
{
    if (filling_ || !PlacementRadio(Placement)->Checked())
        return;
    copy_->Placement = static_cast<TSpecialPlacement>(Placement);
    UserPlacementBtn->SetEnabled(Placement == spUser);
    // A placement of its own sets the size too.
    if (Placement == spUser)
        UserSizeCheck->SetChecked(false);
}

void TExtPicPrefsDlg::UserSizeCheckClick()
{
    if (filling_)
        return;
    const bool sized = UserSizeCheck->Checked();
    if (sized && UserPlacementCheck->Checked())
        CenterCheck->SetChecked(true);
    UserSizePanel->SetEnabled(sized);
    if (!sized) {
        copy_->SizePercent = pNone;
        return;
    }
    filling_ = true;
    WidthEdit->SetText(PercentText(copy_->PicPlacement.Right - copy_->PicPlacement.Left));
    HeightEdit->SetText(PercentText(copy_->PicPlacement.Bottom - copy_->PicPlacement.Top));
    filling_ = false;
    WinPercentCheck->SetChecked(true);
    copy_->SizePercent = pWindow;
}

void TExtPicPrefsDlg::SizeEditChange(bool Width)
{
    if (filling_)
        return;
    TPlacementRectExt& placement = copy_->PicPlacement;
    if (Width) {
        placement.Left = 0;
        placement.Right = placement.Left + WidthEdit->Value() / 100;
    } else {
        placement.Top = 0;
        placement.Bottom = placement.Top + HeightEdit->Value() / 100;
    }
}

void TExtPicPrefsDlg::EffectsChange()
{
    const int effect = EffectsComboBox->ItemIndex();
    EffectColor1Group->SetEnabled(effect > 0);
    EffectColor2Group->SetEnabled(effect == 3);
    if (!filling_ && effect >= 0)
        copy_->CommentEffects = static_cast<TCommentEffects>(effect);
    RedrawPreview();
}

void TExtPicPrefsDlg::PixelHeightCheckClick()
{
    PixelHeightPanel->SetEnabled(PixelHeightCheck->Checked());
    if (filling_)
        return;
    TFont& font = FontDialog->Font();
    if (PixelHeightCheck->Checked())
        PixelHeightEdit->SetIntValue(std::abs(font.Height()));
    else
        // A character height, as the font's own height is given.
        font.SetHeight(-PixelHeightEdit->GetIntValue());
    RedrawPreview();
}

void TExtPicPrefsDlg::UserCommentPosCheckClick()
{
    SetUserCommentPosBtn->SetEnabled(UserCommentPosCheck->Checked());
    if (filling_ || !current_)
        return;
    copy_->CommentPlacement = UserCommentPosCheck->Checked() ? cpUser : current_->CommentPlacement;
}

void TExtPicPrefsDlg::PreviewSoundBtnClick()
{
    const std::string sound = SoundFilenameEdit->Text();
    if (sound.empty()) {
        ui::ShowMessage(NoSoundMessage);
        return;
    }
    if (ToolHooks::PreviewMusic())
        ToolHooks::PreviewMusic()(sound);
}

void TExtPicPrefsDlg::ChooseFontBtnClick()
{
    FontDialog->Font().SetColor(FontColorPanel->Color());
    if (!FontDialog->Execute())
        return;
    FontColorPanel->SetColor(FontDialog->Font().Color());
    FontNameLabel->SetCaption(FontDialog->Font().Name());
    RedrawPreview();
}

void TExtPicPrefsDlg::FontColorPanelClick()
{
    TColorDialog dialog(this);
    dialog.Color = FontColorPanel->Color();
    if (!dialog.Execute())
        return;
    FontColorPanel->SetColor(dialog.Color);
    RedrawPreview();
}

void TExtPicPrefsDlg::RedrawPreview()
{
    if (FontPreview)
        FontPreview->Invalidate();
}

void TExtPicPrefsDlg::FontPreviewPaint()
{
    TCanvas& canvas = *FontPreview->Canvas();
    TRect box = Rect(0, 0, FontPreview->Width(), FontPreview->Height());
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = PreviewBackgroundColor->SelectionColor();
    canvas.FillRect(box);
    canvas.Font.Assign(FontDialog->Font());
    canvas.Font.SetColor(FontColorPanel->Color());
    const int height = PixelHeightCheck->Checked() ? PixelHeightEdit->GetIntValue() : -1;
    const int effect = std::max(0, EffectsComboBox->ItemIndex());
    CommentText::DrawCommentText(canvas, box, height, "Text", DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                                 static_cast<TCommentEffects>(effect), FontColorPanel->Color(),
                                 EffectColor1->SelectionColor(), EffectColor2->SelectionColor());
}

void TExtPicPrefsDlg::UserPlacementBtnClick()
{
    if (!current_)
        return;
    std::unique_ptr<TPicPlacementDlg> dialog(new TPicPlacementDlg(this));
    dialog->SetCaption("Bild(er) plazieren");
    dialog->TextLabel->SetCaption(PicturePlacementText);
    dialog->Placement = copy_->PicPlacement;
    TPicture picture;
    LoadShownPicture(*current_, picture, dialog->ImagePanel->ClientWidth(), dialog->ImagePanel->ClientHeight());
    dialog->SizeRectDoubleBuffer->SetPicture(&picture);
    dialog->UseDoubleBuffer = true;
    if (dialog->Execute())
        copy_->PicPlacement = dialog->Placement;
}

void TExtPicPrefsDlg::SetUserCommentPosBtnClick()
{
    if (!current_)
        return;
    std::unique_ptr<TPicPlacementDlg> dialog(new TPicPlacementDlg(this));
    dialog->SetCaption("Kommentar beliebig positionieren");
    dialog->TextLabel->SetCaption(CommentPlacementText);
    dialog->Placement = copy_->CommentUserPlacement;
    TPicture picture;
    LoadShownPicture(*current_, picture, dialog->ImagePanel->ClientWidth(), dialog->ImagePanel->ClientHeight());
    if (TGraphic* graphic = picture.Graphic())
        VisteloSetup::DrawPictureInImage(*dialog->Image, *graphic, *copy_, true);
    dialog->UseDoubleBuffer = false;
    if (dialog->Execute())
        copy_->CommentUserPlacement = dialog->Placement;
}

void TExtPicPrefsDlg::OKBtnClick()
{
    if (current_) {
        ExtPicPrefsApply::TControlValues controls;
        controls.UserDelay = UserDelayCheck->Checked();
        controls.Delay = UserDelayEdit->GetIntValue();
        controls.EffectColor1 = EffectColor1->SelectionColor();
        controls.EffectColor2 = EffectColor2->SelectionColor();
        controls.Font = &FontDialog->Font();
        controls.FontColor = FontColorPanel->Color();
        controls.PixelHeight = PixelHeightCheck->Checked();
        controls.PixelHeightValue = PixelHeightEdit->GetIntValue();
        applied_ = ExtPicPrefsApply::ApplyChanges(*current_, *copy_, controls);
    }
    ModalResult = mrOk;
}

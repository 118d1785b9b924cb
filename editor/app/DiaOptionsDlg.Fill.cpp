// The show options dialog: filling the controls from the show, the enabling
// rules, the reference-size rules and writing back on OK.

#include "editor/app/DiaOptionsDlg.h"

#include <array>

#include "core/Blendings.h"
#include "core/PictureLoading.h"
#include "core/VisteloNPics.h"
#include "editor/app/MarkListBox.h"
#include "editor/controls/FilenameEdit.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

namespace {

// The effect of a transition list item.
constexpr int FirstListedEffect = 2;

// The end-action radio buttons, in the order of the end actions.
std::array<TRadioButton*, 6> EndActionRadios(const TDiaOptionsDlg& Dialog)
{
    return {Dialog.AutoRepeatCheck,    Dialog.AutoLoadNextVisteloCheck, Dialog.ExitImmediatelyCheck,
            Dialog.RepeatVisteloCheck, Dialog.RepeatOrLoadVisteloCheck, Dialog.RepeatOrNextVisteloCheck};
}

int CheckedEndAction(const TDiaOptionsDlg& Dialog)
{
    const std::array<TRadioButton*, 6> radios = EndActionRadios(Dialog);
    for (size_t i = 0; i < radios.size(); ++i)
        if (radios[i]->Checked())
            return static_cast<int>(i);
    return deAutoRepeat;
}

} // namespace

void TDiaOptionsDlg::FormActivate()
{
    filling_ = true;
    PauseSpinEdit->SetValue(document_.Pause);
    RandomOrderCheck->SetChecked(document_.RandomOrder);
    ShowNoDescriptionCheck->SetChecked(document_.ShowNoDescription);
    PlayMusicCheck->SetChecked(document_.PlayMusic);
    MusicFileNamesListBox->Items().SetText(document_.MusicFileNames);
    AutoRewindCheck->SetChecked(document_.AutoRewind);
    AutoStartMusicCheck->SetChecked(document_.AutoStartMusic);
    AutoStartSoundCheck->SetChecked(document_.AutoStartSound);
    StopSoundBeforeBlendingCheck->SetChecked(document_.StopSoundBeforeBlending);
    ShowCommentsBoxCheck->SetChecked(document_.ShowCommentsBox);
    StartFullScreenCheck->SetChecked(document_.StartFullScreen);
    ShowNavigationBarCheck->SetChecked(document_.ShowNavigationBar);
    StartVisteloImmediatelyCheck->SetChecked(!document_.StartImmediately);
    ShowFilenameInNavigationBarCheck->SetChecked(document_.ShowFilenameInNavigationBar);
    ScaleFontToScreenCheck->SetChecked(document_.ScaleFontToScreen);
    ShowPleaseWaitCheck->SetChecked(document_.ShowPleaseWait);
    NoLogoCheck->SetChecked(document_.Logo == lNoLogo);
    StdLogoCheck->SetChecked(document_.Logo == lStdLogo);
    UserLogoCheck->SetChecked(document_.Logo == lUserLogo);
    // A logo whose file is missing keeps its stored name: showing the empty
    // resolved name would lose it on OK.
    const std::string logo = PictureLoading::RelFileName(document_.LogoFilename, showFile_);
    LogoFilenameEdit->SetText(FilenameEdit::QuoteFileName(logo.empty() ? document_.LogoFilename : logo));
    LogoPauseEdit->SetValue(document_.LogoPause);
    const std::array<TRadioButton*, 6> radios = EndActionRadios(*this);
    if (document_.EndAction < radios.size())
        radios[document_.EndAction]->SetChecked(true);
    ManualExitTooCheck->SetChecked(document_.ManualExitToo);
    DontBreakMusicCheck->SetChecked(document_.DontBreakMusic);
    UseBlendingsCheck->SetChecked(document_.UseBlendings);
    FillRandomBlendings();
    if (document_.InfoPicture) {
        infoPicture_ = std::make_unique<TJPEGImage>();
        infoPicture_->Assign(document_.InfoPicture.get());
    } else {
        infoPicture_.reset();
    }
    VisteloInfoTitleEdit->SetText(document_.InfoTitle);
    VisteloInfoMemo->SetText(document_.InfoText);
    AboutVisteloMemo->SetText(document_.AboutText);
    MusicFileNamesListBoxClick();
    EnableControls();
    ShowInfoPictureState();
    filling_ = false;
}

void TDiaOptionsDlg::FillRandomBlendings()
{
    for (int i = 0; i < RandomBlendingsListBox->Items().Count(); ++i) {
        const size_t effect = static_cast<size_t>(i + FirstListedEffect);
        RandomBlendingsListBox->SetChecked(
            i, effect < Blendings::RandomBlendings.size() && Blendings::RandomBlendings[effect]);
    }
}

void TDiaOptionsDlg::EnableControls()
{
    MusicPanel->SetEnabled(PlayMusicCheck->Checked());
    RandomblendingsPanel->SetEnabled(UseBlendingsCheck->Checked());
    LogoPausePanel->SetEnabled(!NoLogoCheck->Checked());
    LogoFilenamePanel->SetEnabled(UserLogoCheck->Checked());
    const int action = CheckedEndAction(*this);
    ManualExitTooCheck->SetEnabled(action == deRepeatVistelo || action == deRepeatOrLoadVistelo ||
                                   action == deRepeatOrNextVistelo);
    DontBreakMusicCheck->SetEnabled(action == deAutoLoadNextVistelo || action == deRepeatOrLoadVistelo ||
                                    action == deRepeatOrNextVistelo);
}

void TDiaOptionsDlg::ScaleFontToScreenCheckClick()
{
    if (filling_ || !ScaleFontToScreenCheck->Checked() || document_.ReferenceWidth != -1)
        return;
    ui::MessageDlg(StartShowFirstMessage, mtInformation, {mbOK}, ReferenceSizeHelpContext);
}

void TDiaOptionsDlg::WindowSizeCheckClick()
{
    if (filling_ || !ScaleFontToScreenCheck->Checked())
        return;
    if (document_.ReferenceWidth == -1 && document_.ReferenceHeight == -1)
        return;
    if (ui::MessageDlg(ResetReferenceSizeQuestion, mtConfirmation, {mbYes, mbNo}, ReferenceSizeHelpContext) != mrYes)
        return;
    // At once, not on OK: the user agreed to it for this window size.
    document_.ReferenceWidth = -1;
    document_.ReferenceHeight = -1;
}

void TDiaOptionsDlg::OKBtnClick()
{
    WriteBack();
    ModalResult = mrOk;
}

void TDiaOptionsDlg::WriteBack()
{
    document_.Pause = PauseSpinEdit->GetIntValue();
    document_.SetRandomOrder(RandomOrderCheck->Checked());
    document_.ShowNoDescription = ShowNoDescriptionCheck->Checked();
    document_.PlayMusic = PlayMusicCheck->Checked();
    document_.AutoRewind = AutoRewindCheck->Checked();
    document_.AutoStartMusic = AutoStartMusicCheck->Checked();
    document_.AutoStartSound = AutoStartSoundCheck->Checked();
    document_.StopSoundBeforeBlending = StopSoundBeforeBlendingCheck->Checked();
    document_.ShowCommentsBox = ShowCommentsBoxCheck->Checked();
    document_.StartFullScreen = StartFullScreenCheck->Checked();
    document_.ShowNavigationBar = ShowNavigationBarCheck->Checked();
    document_.StartImmediately = !StartVisteloImmediatelyCheck->Checked();
    document_.ShowFilenameInNavigationBar = ShowFilenameInNavigationBarCheck->Checked();
    document_.ShowPleaseWait = ShowPleaseWaitCheck->Checked();
    std::string music;
    for (int i = 0; i < MusicFileNamesListBox->Items().Count(); ++i)
        music += (i > 0 ? "\r\n" : "") + MusicFileNamesListBox->Items().Strings(i);
    document_.MusicFileNames = music;
    document_.Logo = NoLogoCheck->Checked() ? lNoLogo : UserLogoCheck->Checked() ? lUserLogo : lStdLogo;
    document_.LogoFilename = LogoFilenameEdit->FileName();
    document_.LogoPause = LogoPauseEdit->GetIntValue();
    if (document_.ScaleFontToScreen && !ScaleFontToScreenCheck->Checked()) {
        // The sizes are measured again when scaling is switched on next.
        document_.ReferenceWidth = -1;
        document_.ReferenceHeight = -1;
    }
    document_.ScaleFontToScreen = ScaleFontToScreenCheck->Checked();
    document_.EndAction = static_cast<TWhatToDoWhenVisteloEnds>(CheckedEndAction(*this));
    document_.DontBreakMusic = DontBreakMusicCheck->Checked();
    document_.ManualExitToo = ManualExitTooCheck->Checked();
    document_.UseBlendings = UseBlendingsCheck->Checked();
    for (int i = 0; i < RandomBlendingsListBox->Items().Count(); ++i) {
        const size_t effect = static_cast<size_t>(i + FirstListedEffect);
        if (effect < Blendings::RandomBlendings.size())
            Blendings::RandomBlendings[effect] = RandomBlendingsListBox->GetChecked(i);
    }
    if (infoPicture_) {
        document_.InfoPicture = std::make_unique<TJPEGImage>();
        document_.InfoPicture->Assign(infoPicture_.get());
    } else {
        document_.InfoPicture.reset();
    }
    document_.InfoText = VisteloInfoMemo->Text();
    document_.InfoTitle = VisteloInfoTitleEdit->Text();
    document_.AboutText = AboutVisteloMemo->Text();
}

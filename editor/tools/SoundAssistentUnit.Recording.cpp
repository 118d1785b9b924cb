// The record page of the sound assistant: walking the pictures, recording,
// playing back and deleting a picture's sound.

#include "editor/tools/SoundAssistentUnit.h"

#include <cstdio>
#include <sys/stat.h>

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/FilenameEdit.h"
#include "editor/controls/VexaPrgrBr.h"
#include "editor/tools/MusicPreviewForm.h"
#include "editor/tools/RecordForm.h"
#include "platform/media/AudioIO.h"
#include "platform/media/WAVTools.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

namespace {

bool FileExists(const std::string& Path)
{
    struct stat info { };
    return !Path.empty() && stat(Path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string WithName(const char* Format, const std::string& Name)
{
    std::string text = Format;
    return text.replace(text.find("%s"), 2, Name);
}

} // namespace

std::string TSoundAssistentForm::CurrentSoundFile() const
{
    if (!CurrentEntry || CurrentEntry->Sound.empty())
        return {};
    const std::string resolved = PictureLoading::RelFileName(CurrentEntry->Sound, Setup::VisteloFilename);
    return resolved.empty() ? CurrentEntry->Sound : resolved;
}

void TSoundAssistentForm::DropProposedSound()
{
    if (CurrentEntry && ProposedName &&
        PictureLoading::RelFileName(CurrentEntry->Sound, Setup::VisteloFilename).empty())
        CurrentEntry->Sound.clear();
}

void TSoundAssistentForm::ShowPicture()
{
    DropProposedSound();
    CurrentEntry = PicInfoUnit::GetPicInfoObject(CurrentIndex);
    if (!CurrentEntry)
        return;
    showingPicture_ = true;
    if (!VisteloSetup::LoadPictureIntoImage(CurrentEntry->FileName, Setup::VisteloFilename, *PreviewImage))
        PreviewImage->Invalidate();
    CommentsMemo->SetText(CurrentEntry->Comments);
    const std::string existing = CurrentEntry->Sound.empty()
        ? std::string()
        : PictureLoading::RelFileName(CurrentEntry->Sound, Setup::VisteloFilename);
    if (!existing.empty()) {
        SoundFilenameEdit->SetText(FilenameEdit::QuoteFileName(existing));
        ProposedName = false;
    } else {
        const std::string picture = PictureLoading::RelFileName(CurrentEntry->FileName, Setup::VisteloFilename);
        SoundFilenameEdit->SetText(FilenameEdit::QuoteFileName(
            SoundAssistentLogic::ProposedSoundName(picture.empty() ? CurrentEntry->FileName : picture,
                                                   VisteloSetup::SoundUseUserDir, VisteloSetup::SoundUserDir)));
        ProposedName = true;
    }
    CurrentEntry->Sound = SoundFilenameEdit->FileName();
    showingPicture_ = false;
    RefreshSoundLabels();
    PicNrEdit->SetIntValue(CurrentIndex + 1);
}

void TSoundAssistentForm::RefreshSoundLabels()
{
    const std::string file = SoundFilenameEdit->FileName();
    SoundExistInfoLabel->SetCaption(FileExists(file) ? SoundExists : SoundMissing);
    LengthLabel->SetCaption(SoundAssistentLogic::DescribeSoundFile(file));
}

void TSoundAssistentForm::MoveTo(int Index)
{
    DropProposedSound();
    ProposedName = false;
    if (Index == CurrentIndex || Index < 0 || Index >= PicInfoUnit::PicCount())
        return;
    CurrentIndex = Index;
    ShowPicture();
}

void TSoundAssistentForm::NextPicBtnClick(TObject*)
{
    MoveTo(SoundAssistentLogic::NextPicture(CurrentIndex, Choice(), true));
}

void TSoundAssistentForm::PrevPicBtnClick(TObject*)
{
    MoveTo(SoundAssistentLogic::NextPicture(CurrentIndex, Choice(), false));
}

void TSoundAssistentForm::PicNrEditExit(TObject*) { MoveTo(PicNrEdit->GetIntValue() - 1); }

void TSoundAssistentForm::CommentsMemoChange(TObject*)
{
    if (CurrentEntry && !showingPicture_)
        CurrentEntry->Comments = CommentsMemo->Text();
}

void TSoundAssistentForm::SoundFilenameEditChange(TObject*)
{
    if (!CurrentEntry || showingPicture_)
        return;
    CurrentEntry->Sound = SoundFilenameEdit->FileName();
    LengthLabel->SetCaption(SoundAssistentLogic::DescribeSoundFile(SoundFilenameEdit->FileName()));
}

void TSoundAssistentForm::SetNavigationEnabled(bool Enabled)
{
    for (TControl* control :
         {static_cast<TControl*>(PrevPicBtn), static_cast<TControl*>(NextPicBtn), static_cast<TControl*>(BackBtn),
          static_cast<TControl*>(NextBtn), static_cast<TControl*>(CloseBtn)})
        control->SetEnabled(Enabled);
    if (Enabled)
        NextBtn->SetEnabled(PageControl->ActivePageIndex() < PageControl->PageCount() - 1);
}

void TSoundAssistentForm::RecordBtnClick(TObject*)
{
    if (!CurrentEntry || SoundFilenameEdit->FileName().empty() || !AudioIn->Start(TAudioIO::WaveMapper)) {
        ui::ShowMessage(RecordFailedMessage);
        return;
    }
    SetNavigationEnabled(false);
    recordError_.clear();
    RecordForm = new TRecordForm(nullptr);
    RecordForm->LevelBar->SetMax(1 << AudioIn->Quantization());
    RecordForm->ShowModal();
    RecordForm = nullptr;
    AudioIn->StopAtOnce();
    SetNavigationEnabled(true);
    RefreshSoundLabels();
    if (!recordError_.empty())
        ui::ShowMessage(recordError_);
}

void TSoundAssistentForm::StopBtnClick(TObject*)
{
    if (!Recording)
        return;
    AudioIn->StopAtOnce();
    PlaySoundBtn->SetCaption("Abs&pielen");
    SetNavigationEnabled(true);
}

// The device is open: the recording goes into a new file that replaces the
// picture's sound file once it is finished.
void TSoundAssistentForm::AudioInStart(TObject*)
{
    if (!CurrentEntry)
        return;
    const std::string file = SoundFilenameEdit->FileName();
    try {
        writer_ = std::make_unique<WAVTools::TWAVFileWriter>(file);
    } catch (const Exception& e) {
        recordError_ = e.Message;
        if (RecordForm)
            RecordForm->Close();
        return;
    }
    CurrentEntry->Sound = file;
    Recording = true;
}

bool TSoundAssistentForm::AudioInBufferFilled(std::uint8_t* Buffer, int Size)
{
    if (!Recording || !writer_)
        return false;
    try {
        writer_->Append(Buffer, Size);
    } catch (const Exception& e) {
        recordError_ = e.Message;
        Recording = false;
        writer_.reset();
        if (RecordForm)
            RecordForm->Close();
        return false;
    }
    const int level = WAVTools::ComputeSampleLevel(Buffer, Size, AudioIn->Quantization() / 8, false, AudioIn->Stereo());
    if (RecordForm)
        RecordForm->LevelBar->SetPosition(2 * level);
    return true;
}

void TSoundAssistentForm::AudioInStop(TObject*)
{
    if (!Recording)
        return;
    Recording = false;
    try {
        if (writer_)
            writer_->Finish({-1, static_cast<std::uint32_t>(AudioIn->FrameRate()),
                             static_cast<std::uint16_t>(AudioIn->Quantization()), AudioIn->Stereo()});
    } catch (const Exception& e) {
        ui::ShowMessage(e.Message);
    }
    writer_.reset();
    ProposedName = false;
    RefreshSoundLabels();
}

void TSoundAssistentForm::PlaySoundBtnClick(TObject*)
{
    const std::string file = CurrentSoundFile();
    if (!FileExists(file)) {
        ui::ShowMessage(SoundNotFoundMessage);
        return;
    }
    auto* preview = new TMusicPreview(nullptr);
    preview->FileName = file;
    preview->ShowModal();
}

void TSoundAssistentForm::DeleteSoundClick(TObject*)
{
    const std::string file = SoundFilenameEdit->FileName();
    if (FileExists(file)) {
        if (std::remove(file.c_str()) == 0) {
            SoundFilenameEdit->SetText("");
            if (CurrentEntry)
                CurrentEntry->Sound.clear();
            ProposedName = false;
            ShowPicture();
        } else {
            ui::ShowMessage(WithName(DeleteFailedMessage, file));
        }
    }
    RefreshSoundLabels();
}

void TSoundAssistentForm::PopupMenuPopup(TObject*) { DeleteSound->Enabled = FileExists(SoundFilenameEdit->FileName()); }

void TSoundAssistentForm::CloseBtnClick(TObject*)
{
    DropProposedSound();
    Close();
}

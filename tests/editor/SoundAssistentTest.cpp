#include "editor/tools/SoundAssistentLogic.h"
#include "editor/tools/SoundAssistentUnit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/FilenameEdit.h"
#include "editor/controls/VexaPrgrBr.h"
#include "editor/tools/RecordForm.h"
#include "editor/tools/ToolResources.h"
#include "media/TestSounds.h"
#include "platform/media/AudioIO.h"
#include "platform/media/WAVTools.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

namespace {

namespace fs = std::filesystem;
using namespace SoundAssistentLogic;
using testsounds::WriteFile;

std::vector<uint8_t> WavBytes(uint32_t rate, uint16_t channels, uint32_t byteRate, int dataBytes)
{
    std::vector<uint8_t> out;
    testsounds::Append(out, "RIFF");
    rtl::AppendLE32(out, 36 + dataBytes);
    testsounds::Append(out, "WAVE");
    testsounds::Append(out, "fmt ");
    rtl::AppendLE32(out, 16);
    rtl::AppendLE16(out, 1);
    rtl::AppendLE16(out, channels);
    rtl::AppendLE32(out, rate);
    rtl::AppendLE32(out, byteRate);
    rtl::AppendLE16(out, static_cast<uint16_t>(channels * 2));
    rtl::AppendLE16(out, 16);
    testsounds::Append(out, "data");
    rtl::AppendLE32(out, static_cast<uint32_t>(dataBytes));
    out.resize(out.size() + static_cast<size_t>(dataBytes));
    return out;
}

class SoundAssist : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = testsounds::TempFolder();
        savedRate_ = VisteloSetup::SoundSampleRate;
        savedSize_ = VisteloSetup::SoundSampleSize;
        savedStereo_ = VisteloSetup::SoundStereo;
        savedUseDir_ = VisteloSetup::SoundUseUserDir;
        savedDir_ = VisteloSetup::SoundUserDir;
    }
    void TearDown() override
    {
        PicInfoUnit::PicInfoAccessMethod = paPicListBox;
        PicInfoUnit::AccessVistelo = nullptr;
        VisteloSetup::SoundSampleRate = savedRate_;
        VisteloSetup::SoundSampleSize = savedSize_;
        VisteloSetup::SoundStereo = savedStereo_;
        VisteloSetup::SoundUseUserDir = savedUseDir_;
        VisteloSetup::SoundUserDir = savedDir_;
        testsounds::RemoveFolder(folder_);
    }
    // A show of pictures named 0.bmp .. n-1.bmp in the folder (the files
    // need not exist), as the current show.
    void UseShow(int count, const std::vector<int>& ticked, const std::vector<int>& selected)
    {
        for (int i = 0; i < count; ++i) {
            TPicInfoObject entry;
            entry.FileName = folder_ + std::to_string(i) + ".bmp";
            entry.ShowImage = std::find(ticked.begin(), ticked.end(), i) != ticked.end();
            if (std::find(selected.begin(), selected.end(), i) != selected.end())
                entry.Flags = PicInfoUnit::pfSelected;
            show_.AddDia(entry);
        }
        PicInfoUnit::PicInfoAccessMethod = paVistelo;
        PicInfoUnit::AccessVistelo = &show_;
    }

    std::string folder_;
    TVistelo show_;
    int savedRate_, savedSize_;
    bool savedStereo_, savedUseDir_;
    std::string savedDir_;
};

TEST_F(SoundAssist, DescribesTheLengthAndSizeOfARecording)
{
    WriteFile(folder_ + "eins.wav", WavBytes(22050, 1, 44100, 44100));
    WriteFile(folder_ + "lang.wav", WavBytes(44100, 2, 176400, 1234567));
    WriteFile(folder_ + "ohne.wav", WavBytes(22050, 1, 0, 100)); // no bytes per second
    std::vector<uint8_t> placeholder = WavBytes(22050, 1, 44100, 0);
    rtl::PutLE32(&placeholder[40], 0xFFFFFFFF);
    WriteFile(folder_ + "platzhalter.wav", placeholder);
    WriteFile(folder_ + "text.wav", {'h', 'a', 'l', 'l', 'o'});

    EXPECT_EQ(DescribeSoundFile(folder_ + "eins.wav"), "1,000s (44.100 Bytes)");
    EXPECT_EQ(DescribeSoundFile(folder_ + "lang.wav"), "6,999s (1.234.567 Bytes)");
    for (const char* name : {"ohne.wav", "platzhalter.wav", "text.wav", "fehlt.wav", ""})
        EXPECT_EQ(DescribeSoundFile(name[0] ? folder_ + name : ""), "keine Angabe möglich") << name;
}

TEST_F(SoundAssist, ProposesTheRecordingBesideThePictureOrInTheOwnFolder)
{
    EXPECT_EQ(ProposedSoundName("/Bilder/Urlaub 1.jpg", false, "/Ton"), "/Bilder/Urlaub 1.wav");
    EXPECT_EQ(ProposedSoundName("/Bilder/Urlaub 1.jpg", true, "/Ton"), "/Ton/Urlaub 1.wav");
    EXPECT_EQ(ProposedSoundName("/Bilder/Urlaub 1.jpg", true, ""), "/Bilder/Urlaub 1.wav");
}

TEST_F(SoundAssist, WalksThePicturesOfTheChoice)
{
    UseShow(6, {1, 4}, {2, 3});
    struct Case {
        int From;
        TSoundAssistChoice Choice;
        bool Forward;
        int Expected;
    };
    for (const Case c :
         {Case{-1, scAll, true, 0}, Case{5, scAll, true, 5}, Case{0, scAll, false, 0}, Case{-1, scGreenMarked, true, 1},
          Case{1, scGreenMarked, true, 4}, Case{4, scGreenMarked, true, 4}, Case{4, scGreenMarked, false, 1},
          Case{-1, scMarked, true, 2}, Case{3, scMarked, true, 3}, Case{3, scMarked, false, 2}}) {
        EXPECT_EQ(NextPicture(c.From, c.Choice, c.Forward), c.Expected)
            << c.From << " choice " << int(c.Choice) << (c.Forward ? " forward" : " back");
    }
}

TEST_F(SoundAssist, AProposedNameStaysOnlyWithItsRecording)
{
    UseShow(3, {}, {});
    VisteloSetup::SoundUseUserDir = false;
    TSoundAssistentForm form(nullptr);
    form.PageControl->SetActivePage(form.RecordPage);
    form.PageControlChange(form.PageControl);
    EXPECT_EQ(form.CurrentIndex, 0);
    EXPECT_EQ(form.SoundFilenameEdit->Text(), folder_ + "0.wav");
    EXPECT_EQ(form.SoundExistInfoLabel->Caption(), TSoundAssistentForm::SoundMissing);
    EXPECT_EQ(form.LengthLabel->Caption(), "keine Angabe möglich");
    EXPECT_EQ(form.PicNrEdit->Text(), "1");

    form.NextPicBtnClick(form.NextPicBtn);
    EXPECT_EQ(form.CurrentIndex, 1);
    EXPECT_EQ(show_.GetPicInfo(0)->Sound, "") << "nothing was recorded";

    // A picture whose sound exists keeps it and is not proposed anything.
    WriteFile(folder_ + "klang.wav", WavBytes(22050, 1, 44100, 22050));
    show_.GetPicInfo(2)->Sound = folder_ + "klang.wav";
    form.NextPicBtnClick(form.NextPicBtn);
    EXPECT_EQ(form.SoundFilenameEdit->Text(), folder_ + "klang.wav");
    EXPECT_EQ(form.SoundExistInfoLabel->Caption(), TSoundAssistentForm::SoundExists);
    EXPECT_EQ(form.LengthLabel->Caption(), "0,500s (22.050 Bytes)");
    form.NextPicBtnClick(form.NextPicBtn);
    EXPECT_EQ(form.CurrentIndex, 2) << "the last picture stays";

    form.CommentsMemo->SetText("Am Strand");
    EXPECT_EQ(show_.GetPicInfo(2)->Comments, "Am Strand");

    ui::BeginDialogScript();
    form.PrevPicBtnClick(form.PrevPicBtn);
    form.PlaySoundBtnClick(form.PlaySoundBtn);
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Die Sounddatei wurde nicht gefunden!");
    ui::EndDialogScript();
    form.CloseBtnClick(form.CloseBtn);
    EXPECT_EQ(show_.GetPicInfo(1)->Sound, "");
    EXPECT_EQ(show_.GetPicInfo(2)->Sound, folder_ + "klang.wav");
}

TEST_F(SoundAssist, ANameWithABlankStaysWholeAndTheNumberSpinsThroughThePictures)
{
    UseShow(2, {}, {});
    show_.GetPicInfo(1)->FileName = folder_ + "Urlaub 1.jpg";
    VisteloSetup::SoundUseUserDir = false;
    TSoundAssistentForm form(nullptr);
    for (TWinControl* page : {static_cast<TWinControl*>(form.StartPage), static_cast<TWinControl*>(form.RecordSetup),
                              static_cast<TWinControl*>(form.DirPage)}) {
        TImage* picture = nullptr;
        for (int i = 0; i < page->ControlCount(); ++i)
            if (auto* image = dynamic_cast<TImage*>(page->Controls(i)); image && image->Left() < 20)
                picture = image;
        ASSERT_NE(picture, nullptr);
        ASSERT_NE(picture->Picture().Graphic(), nullptr);
        EXPECT_EQ(picture->Picture().Graphic()->Width(), ToolResources::PagePictureWidth);
    }
    form.PageControl->SetActivePage(form.RecordPage);
    form.PageControlChange(form.PageControl);
    EXPECT_EQ(form.PicNrEdit->MaxValue, 2);

    form.PicNrEdit->UpClick(form.PicNrEdit);
    EXPECT_EQ(form.CurrentIndex, 1);
    EXPECT_EQ(form.SoundFilenameEdit->Text(), "\"" + folder_ + "Urlaub 1.wav\"");
    EXPECT_EQ(show_.GetPicInfo(1)->Sound, folder_ + "Urlaub 1.wav") << "the whole name, without the quotes";
    form.PicNrEdit->UpClick(form.PicNrEdit);
    EXPECT_EQ(form.CurrentIndex, 1) << "no picture after the last";
    form.PicNrEdit->DownClick(form.PicNrEdit);
    EXPECT_EQ(form.CurrentIndex, 0);
    EXPECT_EQ(show_.GetPicInfo(1)->Sound, "") << "nothing was recorded";
}

TEST_F(SoundAssist, DeletingTheSoundProposesANewName)
{
    UseShow(1, {}, {});
    WriteFile(folder_ + "alt.wav", WavBytes(22050, 1, 44100, 100));
    show_.GetPicInfo(0)->Sound = folder_ + "alt.wav";
    TSoundAssistentForm form(nullptr);
    form.PageControl->SetActivePage(form.RecordPage);
    form.PageControlChange(form.PageControl);
    form.PopupMenuPopup(form.PopupMenu);
    EXPECT_TRUE(form.DeleteSound->Enabled);
    form.DeleteSoundClick(form.DeleteSound);
    EXPECT_FALSE(fs::exists(folder_ + "alt.wav"));
    EXPECT_EQ(form.SoundFilenameEdit->Text(), folder_ + "0.wav");
    form.PopupMenuPopup(form.PopupMenu);
    EXPECT_FALSE(form.DeleteSound->Enabled);
}

// A real recording through SDL's file-backed capture: a full-scale square
// wave is "recorded" until the level bar has seen it, then the user stops.
TEST_F(SoundAssist, RecordsAPicturesCommentIntoItsSoundFile)
{
    testsounds::DiskAudio disk(folder_, 10);
    std::vector<uint8_t> pcm;
    for (int i = 0; i < 22050; ++i)
        rtl::AppendLE16(pcm, static_cast<uint16_t>(static_cast<int16_t>(i / 50 % 2 ? 32767 : -32767)));
    WriteFile(folder_ + "in.raw", pcm);
    UseShow(2, {}, {});
    VisteloSetup::SoundSampleRate = 22050;
    VisteloSetup::SoundSampleSize = 16;
    VisteloSetup::SoundStereo = false;
    VisteloSetup::SoundUseUserDir = true;
    VisteloSetup::SoundUserDir = folder_ + "Ton";
    fs::create_directories(folder_ + "Ton");

    TSoundAssistentForm form(nullptr);
    form.PageControl->SetActivePage(form.RecordPage);
    form.PageControlChange(form.PageControl);
    const std::string target = folder_ + "Ton/0.wav";
    ASSERT_EQ(form.SoundFilenameEdit->Text(), target);

    // The level bar as each buffer leaves it; the user stops once it has
    // shown the peak (the deadline only keeps a device that never delivers
    // from hanging the test).
    int maxLevel = 0, levelMax = 0;
    bool meter = false;
    const auto handler = form.AudioIn->OnBufferFilled;
    form.AudioIn->OnBufferFilled = [&](uint8_t* buffer, int size) {
        const bool more = handler(buffer, size);
        if (form.RecordForm) {
            levelMax = form.RecordForm->LevelBar->Max();
            meter = form.RecordForm->LevelBar->Bitmapstyle() == pbsVUMeter;
            maxLevel = std::max(maxLevel, form.RecordForm->LevelBar->Position());
        }
        return more;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    TTimer watcher(nullptr);
    watcher.SetInterval(10);
    watcher.OnTimer = [&](TObject*) {
        if (form.RecordForm && (maxLevel >= 65534 || std::chrono::steady_clock::now() > deadline))
            form.RecordForm->StopButton->Click();
    };
    form.RecordBtnClick(form.RecordBtn);
    watcher.SetEnabled(false);
    const auto stopDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (form.Recording && std::chrono::steady_clock::now() < stopDeadline)
        Application->ProcessMessages();

    EXPECT_EQ(levelMax, 65536);
    EXPECT_TRUE(meter) << "the level shows on a meter";
    EXPECT_GE(maxLevel, 65534);
    EXPECT_FALSE(form.Recording);
    EXPECT_EQ(show_.GetPicInfo(0)->Sound, target);
    TWAVInfo info;
    WAVTools::ReadWAVHeader(target, info);
    EXPECT_EQ(info.Format.SamplesPerSec, 22050u);
    EXPECT_EQ(info.Format.BitsPerSample, 16);
    EXPECT_GT(info.DataLength, 0);
    EXPECT_EQ(info.DataLength + 44, info.FileLength);
    EXPECT_EQ(form.SoundExistInfoLabel->Caption(), TSoundAssistentForm::SoundExists);
    EXPECT_EQ(form.LengthLabel->Caption(), DescribeSoundFile(target));
    EXPECT_NE(form.LengthLabel->Caption(), "keine Angabe möglich");

    form.NextPicBtnClick(form.NextPicBtn);
    EXPECT_EQ(show_.GetPicInfo(0)->Sound, target) << "a recorded sound stays";
}

} // namespace

#include "editor/tools/MusicPreviewForm.h"

#include <gtest/gtest.h>

#include <chrono>

#include "core/SoundPlayerUnit.h"
#include "media/TestSounds.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

namespace {

class MusicPreview : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsounds::UseDummyAudioUnlessChosen();
        folder_ = testsounds::TempFolder();
        ui::BeginDialogScript();
        form_ = new TMusicPreview(nullptr);
        form_->OnDestroy = [this](TObject*) { freed_ = true; };
    }
    void TearDown() override
    {
        if (!freed_)
            delete form_;
        ui::EndDialogScript();
        testsounds::RemoveFolder(folder_);
    }
    // Lets the loop run for a while, or until the window is gone.
    void RunFor(int ms)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!freed_ && std::chrono::steady_clock::now() < until)
            Application->ProcessMessages();
    }

    std::string folder_;
    TMusicPreview* form_ = nullptr;
    bool freed_ = false;
};

TEST_F(MusicPreview, AFileThatCannotBePlayedIsNamedAndTheWindowClosesByItself)
{
    form_->FileName = "Klaenge/fehlt.wav";
    form_->Show();
    form_->FormActivate(form_);
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text,
              "Die Datei \"Klaenge/fehlt.wav\" konnte nicht wiedergegeben werden. Überprüfen Sie, ob die Datei "
              "vorhanden ist. Evtl. ist sie beschädigt oder Sie haben keine Soundkarte installiert.");
    EXPECT_EQ(form_->FilenameLabel->Caption(), "Klaenge/fehlt.wav");
    RunFor(2000);
    EXPECT_TRUE(freed_);
}

TEST_F(MusicPreview, PlaysTheFileAgainAndAgainUntilClosed)
{
    const std::string file = testsounds::SineWav(folder_, "kurz.wav", 60);
    form_->FileName = file;
    form_->Show();
    form_->FormActivate(form_);
    EXPECT_TRUE(ui::RecordedDialogs().empty());
    EXPECT_EQ(form_->FilenameLabel->Caption(), file);
    EXPECT_TRUE(form_->SoundPlayer->RepeatSound);
    RunFor(400); // several times the file's length
    EXPECT_FALSE(freed_);
    // Between two rounds it may just be starting again.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (!form_->SoundPlayer->Playing() && std::chrono::steady_clock::now() < until)
        Application->ProcessMessages();
    EXPECT_TRUE(form_->SoundPlayer->Playing());
    form_->FormActivate(form_); // back to the front: goes on as it is
    EXPECT_TRUE(ui::RecordedDialogs().empty());

    form_->CloseButton->Click();
    RunFor(500);
    EXPECT_TRUE(freed_);
}

} // namespace

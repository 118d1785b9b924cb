// The main form: its menu, the options dialog's road into the settings and
// the ini file, the quit password, the "C" switch, the autostart entry, and
// the position kept from one run to the next.

#include "wallpaper/WallPaperUnit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editor/controls/FilenameEdit.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/DesktopWallpaper.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "ui/UiFixture.h"
#include "wallpaper/KsTrayIcon.h"
#include "wallpaper/PasswordDlgUnit.h"
#include "wallpaper/WallPaperAboutForm.h"
#include "wallpaper/WallPaperDialogs.h"
#include "wallpaper/WallPaperShow.h"
#include "wallpaper/WallpaperOptionsUnit.h"
#include "wallpaper/WallpaperScratch.h"
#include "widgets/Spin.h"

namespace {

class WallPaperFormTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        scratch_ = std::make_unique<TWallpaperScratch>();
        previous_ = WallPaperDialogs::SetShowDialog([this](TForm& dialog) {
            shown_.push_back(dialog.ClassName());
            return answer_ ? answer_(dialog) : mrCancel;
        });
    }
    void TearDown() override
    {
        WallPaperDialogs::SetShowDialog(previous_);
        scratch_.reset();
        UiTest::TearDown();
    }
    // A form whose pictures are only recorded.
    std::unique_ptr<TWallPaperForm> NewWallPaperForm(bool configMode = false)
    {
        auto form = std::make_unique<TWallPaperForm>(nullptr, configMode);
        form->Changer().SetAsWinBackground = [this](TPicInfoObject* pic) {
            sets_.push_back(pic->FileName);
            return true;
        };
        return form;
    }

    std::unique_ptr<TWallpaperScratch> scratch_;
    WallPaperDialogs::TShowDialog previous_;
    std::function<TModalResult(TForm&)> answer_;
    std::vector<std::string> shown_;
    std::vector<std::string> sets_;
};

TEST_F(WallPaperFormTest, TheMenuHoldsItsItemsInOrderWithoutADefault)
{
    const auto form = NewWallPaperForm();
    EXPECT_EQ(form->Caption(), "Wallpaper-Vistelo");
    const std::vector<std::string> captions{"&Pause",
                                            "&Einstellungen",
                                            "zum &n\xC3\xA4"
                                            "chsten Bild wechseln",
                                            "-",
                                            "WallPaper-Vistelo im &Autostart-Ordner installieren",
                                            "-",
                                            "&Info",
                                            "-",
                                            "&Beenden"};
    TMenuItem& items = form->PopupMenu1->Items();
    ASSERT_EQ(items.Count(), static_cast<int>(captions.size()));
    for (int i = 0; i < items.Count(); ++i) {
        EXPECT_EQ(items.Items(i)->Caption, captions[static_cast<std::size_t>(i)]);
        EXPECT_FALSE(items.Items(i)->Default);
    }
    EXPECT_EQ(form->KsTrayIcon1->PopupMenu, form->PopupMenu1);
    EXPECT_TRUE(form->KsTrayIcon1->Added()) << "the icon is in the notification area";
}

TEST_F(WallPaperFormTest, TheNextPictureItemWorksOnlyWithPicturesAndAlsoWhilePaused)
{
    auto form = NewWallPaperForm();
    form->PopupMenu1Popup();
    EXPECT_FALSE(form->NextPic->Enabled);
    WallPaperSetup::ShowFilename = scratch_->WriteShow("Zwei.vsf", {RGB(255, 0, 0), RGB(0, 255, 0)});
    form->StartTimerTimer();
    EXPECT_FALSE(form->StartTimer->Enabled());
    form->PopupMenu1Popup();
    EXPECT_TRUE(form->NextPic->Enabled);
    form->PauseMenuItemClick();
    EXPECT_TRUE(form->PauseMenuItem->Checked());
    EXPECT_FALSE(form->Changer().WallPaperTimer->Enabled());
    form->NextPic->Click();
    EXPECT_EQ(sets_, std::vector<std::string>{"Bild0.bmp"});
    form->PauseMenuItemClick();
    EXPECT_FALSE(form->PauseMenuItem->Checked());
    EXPECT_TRUE(form->Changer().WallPaperTimer->Enabled());
}

TEST_F(WallPaperFormTest, TheOptionsShowTheIntervalInSecondsAndStoreMilliseconds)
{
    const std::string first = scratch_->WriteShow("Eins.vsf", {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
    const std::string second = scratch_->WriteShow("Zwei Bilder.vsf", {RGB(1, 1, 1), RGB(2, 2, 2)});
    WallPaperSetup::ShowFilename = first;
    WallPaperSetup::ShowPos = 2;
    auto form = NewWallPaperForm();
    form->StartTimerTimer();

    // OK without a new show file: the position stays, the interval changes.
    answer_ = [&](TForm& dialog) {
        auto& options = dynamic_cast<TOptionsForm&>(dialog);
        EXPECT_EQ(options.Caption(), "Optionen - Wallpaper-Vistelo");
        EXPECT_EQ(options.UserIntervalEdit->GetIntValue(), 60);
        EXPECT_EQ(options.FilenameEdit->Text(), first);
        EXPECT_EQ(options.FilenameEdit->InitialDir(), scratch_->File(""));
        EXPECT_EQ(options.FilenameEdit->Filter(), "Vistelos (*.VSF)|*.VSF");
        EXPECT_FALSE(options.UseQuitPasswordCheck->Visible());
        EXPECT_FALSE(options.PasswordPanel->Visible());
        options.UserIntervalEdit->SetIntValue(90);
        options.Button1Click();
        return options.ModalResult;
    };
    form->Einstellungen1Click();
    EXPECT_EQ(WallPaperSetup::UserInterval, 90000);
    EXPECT_EQ(form->Changer().WallPaperTimer->Interval(), 90000u);
    EXPECT_EQ(WallPaperSetup::ShowPos, 2);
    EXPECT_NE(scratch_->IniText().find("UserInterval=90000\r\n"), std::string::npos) << "saved after the options";

    // A new show starts at its first picture.
    answer_ = [&](TForm& dialog) {
        auto& options = dynamic_cast<TOptionsForm&>(dialog);
        options.FilenameEdit->SetFileName(second);
        EXPECT_EQ(options.FilenameEdit->Text(), "\"" + second + "\"") << "a name with a blank is shown quoted";
        options.Button1Click();
        return options.ModalResult;
    };
    form->Einstellungen1Click();
    EXPECT_EQ(WallPaperSetup::ShowFilename, second);
    EXPECT_EQ(WallPaperSetup::ShowPos, 0);
    EXPECT_EQ(form->Changer().Show().Count, 2);
    EXPECT_EQ(form->Changer().Show().CurrentIndex, 0);

    // Abbrechen changes nothing.
    answer_ = [&](TForm& dialog) {
        auto& options = dynamic_cast<TOptionsForm&>(dialog);
        options.UserIntervalEdit->SetIntValue(5);
        options.UserIntervalCheck->SetChecked(false);
        EXPECT_FALSE(options.UserIntervalEdit->Enabled()) << "the interval goes with its check box";
        options.Button2Click();
        return options.ModalResult;
    };
    form->Einstellungen1Click();
    EXPECT_EQ(WallPaperSetup::UserInterval, 90000);
    EXPECT_TRUE(WallPaperSetup::UseUserInterval);
}

TEST_F(WallPaperFormTest, QuittingAsksForThePasswordWhenOneIsSet)
{
    auto form = NewWallPaperForm();
    EXPECT_TRUE(form->FormCloseQuery());
    EXPECT_TRUE(shown_.empty());
    WallPaperSetup::UseQuitPassword = true;
    WallPaperSetup::QuitPassword = "Geheim";
    struct Case {
        const char* Typed;
        TModalResult Result;
        bool Quits;
    } cases[] = {
        {"Geheim", mrOk, true}, {"geheim", mrOk, false}, {"Geheim ", mrOk, false}, {"Geheim", mrCancel, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        answer_ = [&](TForm& dialog) {
            auto& password = dynamic_cast<TPasswordDlg&>(dialog);
            EXPECT_EQ(password.Caption(), "Password Dialog");
            EXPECT_EQ(password.Password->PasswordChar(), '*');
            password.Password->SetText(c.Typed);
            return c.Result;
        };
        EXPECT_EQ(form->FormCloseQuery(), c.Quits);
    }
}

TEST_F(WallPaperFormTest, TheCSwitchOpensTheOptionsSavesAndStillAsksForThePassword)
{
    WallPaperSetup::UseQuitPassword = true;
    WallPaperSetup::QuitPassword = "Geheim";
    WallPaperSetup::SaveSettings();
    auto form = NewWallPaperForm(true);
    answer_ = [&](TForm& dialog) {
        if (auto* options = dynamic_cast<TOptionsForm*>(&dialog)) {
            options->UserIntervalEdit->SetIntValue(120);
            options->Button1Click();
            return options->ModalResult;
        }
        return mrCancel; // the password dialog
    };
    form->StartTimerTimer();
    EXPECT_EQ(shown_, (std::vector<std::string>{"TOptionsForm", "TPasswordDlg"}));
    EXPECT_NE(scratch_->IniText().find("UserInterval=120000\r\n"), std::string::npos);
    EXPECT_FALSE(form->Changer().WallPaperTimer->Enabled()) << "no change in this mode";
}

TEST_F(WallPaperFormTest, TheNextRunStartsWithThePictureAfterTheLastOneSet)
{
    WallPaperSetup::ShowFilename = scratch_->WriteShow("Drei.vsf", {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
    {
        auto form = NewWallPaperForm();
        form->StartTimerTimer();
        form->NextPicClick();
        form->NextPicClick();
    }
    EXPECT_NE(scratch_->IniText().find("VisteloPos=2\r\n"), std::string::npos) << scratch_->IniText();
    WallPaperSetup::DefaultSettings();
    rtl::SetClockForTests(0);
    ui::SetVirtualTimeForTests(true);
    auto form = NewWallPaperForm();
    EXPECT_EQ(WallPaperSetup::ShowPos, 2);
    sets_.clear();
    for (int turn = 0; turn < 1000 && sets_.empty(); ++turn)
        Application->HandleMessage();
    EXPECT_EQ(sets_, std::vector<std::string>{"Bild2.bmp"});
    EXPECT_GE(rtl::GetTickCount(), 60000u);
    form.reset();
    EXPECT_NE(scratch_->IniText().find("VisteloPos=0\r\n"), std::string::npos) << "after the last picture";
}

TEST_F(WallPaperFormTest, ADesktopThatRefusesThePicturesIsReportedOnce)
{
    bool accept = false;
    const ui::TWallpaperSetter previous = ui::SetWallpaperSetter([&](const ui::TWallpaperRequest&) { return accept; });
    WallPaperSetup::ShowFilename = scratch_->WriteShow("Drei.vsf", {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
    std::filesystem::remove(scratch_->File("Bild0.bmp"));
    auto form = std::make_unique<TWallPaperForm>(nullptr, false); // the player's setter
    form->StartTimerTimer();
    form->NextPicClick();
    EXPECT_TRUE(ui::RecordedDialogs().empty()) << "a picture that cannot be read is skipped silently";
    form->NextPicClick();
    form->NextPicClick();
    accept = true;
    form->NextPicClick();
    ui::SetWallpaperSetter(previous);
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, WallPaperShow::DesktopRefused);
}

TEST_F(WallPaperFormTest, TheAboutBoxShowsVersionAndRelease)
{
    auto form = NewWallPaperForm();
    answer_ = [](TForm& dialog) {
        auto& about = dynamic_cast<TWallPaperAbout&>(dialog);
        EXPECT_EQ(about.Caption(),
                  "Info \xC3\x9C"
                  "ber...");
        EXPECT_EQ(about.VersionLabel->Caption(), "Version 1.0");
        EXPECT_EQ(about.ReleaseLabel->Caption(), "Release: 11.01.2001");
        return mrOk;
    };
    form->Info1Click();
    EXPECT_EQ(shown_, std::vector<std::string>{"TWallPaperAbout"});
}

TEST_F(WallPaperFormTest, TheAutostartEntryStartsThisProgram)
{
    auto form = NewWallPaperForm();
    form->WallPaperVisteloimAutostartOrdnerinstallieren1Click();
    const std::string entry = scratch_->File("config/autostart/WallPaper-Vistelo.desktop");
    std::ifstream in(entry);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "[Desktop Entry]\nType=Application\nName=WallPaper-Vistelo\n"
              "Comment=Ostrelind WallPaper-Vistelo\nExec=" +
                  Application->ExeName() + "\n");
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, WallPaperUnit::AutostartDone);

    // A config folder that is a file cannot take the entry.
    ui::ClearRecordedDialogs();
    std::ofstream(scratch_->File("kein Ordner")) << "x";
    const testenv::TScopedVariable config("XDG_CONFIG_HOME", scratch_->File("kein Ordner"));
    form->WallPaperVisteloimAutostartOrdnerinstallieren1Click();
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, WallPaperUnit::AutostartFailed);
}

} // namespace

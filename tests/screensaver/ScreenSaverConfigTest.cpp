// The screen saver's settings dialog, opened as the settings mode opens it:
// it shows what is stored, OK stores what it shows, Cancel stores nothing,
// and stored values it cannot use leave the dialog at the defaults.

#include "screensaver/ScreenSaverConfig.h"
#include "core/Setup.h"
#include "editor/controls/FilenameEdit.h"
#include "platform/rtl/Registry.h"
#include "platform/ui/StdCtrls.h"
#include "rtl/StorageTestSupport.h"
#include "screensaver/SSaverInterface.h"
#include "screensaver/ScreenSaverAbout.h"
#include "screensaver/ScreenSaverSetup.h"
#include "tests/ui/UiFixture.h"
#include "widgets/Parameters.h"

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace ScreenSaverSetup;

// What the dialog shows when it opens.
struct TShown {
    bool Mute = false;
    std::string File;
    bool DontIgnore = false;
    bool Ignore = false;
};

class ScreenSaverConfigDialog : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        ::setenv("VISTELO_REGISTRY", temp_.File("hive.reg").c_str(), 1);
        ResetSettings();
        savedHome_ = Setup::HomeDir;
        Setup::HomeDir = "/opt/vistelo/";
    }
    void TearDown() override
    {
        ::unsetenv("VISTELO_REGISTRY");
        Parameters::SetPlatformArguments({});
        Setup::HomeDir = savedHome_;
        UiTest::TearDown();
    }

    // The module's settings as it loads.
    static void ResetSettings()
    {
        Mute = false;
        Filename.clear();
        IgnoreOtherApplications = false;
    }

    static void Store(bool mute, const std::string& file, bool ignore)
    {
        TRegistry reg;
        reg.DeleteKey(SettingsKey);
        ASSERT_TRUE(reg.OpenKey(SettingsKey, true));
        reg.WriteBool("Mute", mute);
        reg.WriteString("Filename", file);
        reg.WriteBool("IgnoreOtherApplications", ignore);
    }

    // Starts the module with the arguments, notes what the dialog shows when
    // it is up, lets `act` work on it (act closes it) and checks that the
    // dialog has freed itself once the module returned.
    TShown Open(const std::function<void(TScreenSaverConfigForm&)>& act, std::vector<std::string> args = {"/c"})
    {
        TShown shown;
        LaterOnModalForm<TScreenSaverConfigForm>([&](TScreenSaverConfigForm& form) {
            shown = {form.MuteCheck->Checked(), form.FilenameEdit->Text(), form.DontIgnoreCheck->Checked(),
                     form.IgnoreCheck->Checked()};
            act(form);
        });
        args.insert(args.begin(), "slumbrix-launcher");
        Parameters::SetPlatformArguments(std::move(args));
        SSaverInterface::StartScreenSaverPackage();
        for (int i = 0; i < Screen->FormCount(); ++i)
            EXPECT_EQ(dynamic_cast<TScreenSaverConfigForm*>(Screen->Forms(i)), nullptr) << "the dialog is still there";
        return shown;
    }

    TempFolder temp_;
    std::string savedHome_;
};

TEST_F(ScreenSaverConfigDialog, WithoutStoredSettingsTheDefaultsShowAndCancelStoresNothing)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"/c"}, std::vector<std::string>{}}) {
        SCOPED_TRACE(args.empty() ? "no arguments" : args[0]);
        std::string caption, filter, title;
        const TShown shown = Open(
            [&](TScreenSaverConfigForm& form) {
                caption = form.Caption();
                filter = form.FilenameEdit->Filter();
                title = form.FilenameEdit->DialogTitle();
                form.MuteCheck->SetChecked(true);
                form.IgnoreCheck->SetChecked(true);
                form.FilenameEdit->SetFileName("/shows/Neu.vsf");
                form.CancelBtn->Click();
            },
            args);
        EXPECT_EQ(caption, "Vistelo - Bildschirmschoner");
        EXPECT_EQ(filter, "Vistelo-Dateien (*.VSF)|*.vsf|Alle Dateien (*.*)|*.*");
        EXPECT_EQ(title, "Vistelo für den Bildschirmschoner auswählen");
        EXPECT_FALSE(shown.Mute);
        EXPECT_EQ(shown.File, "");
        EXPECT_TRUE(shown.DontIgnore);
        EXPECT_FALSE(shown.Ignore);
        TRegistry reg;
        EXPECT_FALSE(reg.KeyExists(SettingsKey)) << "Cancel wrote something";
    }
}

TEST_F(ScreenSaverConfigDialog, OkStoresWhatTheDialogShowsWithTheHomeFolderBeside)
{
    // A name with a blank shows in quotes and is stored without them.
    Store(true, "/shows/Urlaub 2024.vsf", true);
    const TShown shown = Open([](TScreenSaverConfigForm& form) { form.OKBtn->Click(); });
    EXPECT_TRUE(shown.Mute);
    EXPECT_EQ(shown.File, "\"/shows/Urlaub 2024.vsf\"");
    EXPECT_FALSE(shown.DontIgnore);
    EXPECT_TRUE(shown.Ignore);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKey));
        EXPECT_TRUE(reg.ReadBool("Mute"));
        EXPECT_EQ(reg.ReadString("Filename"), "/shows/Urlaub 2024.vsf");
        EXPECT_TRUE(reg.ReadBool("IgnoreOtherApplications"));
        EXPECT_EQ(reg.ReadString("Path"), "/opt/vistelo/");
    }

    ResetSettings();
    Open([](TScreenSaverConfigForm& form) {
        form.MuteCheck->SetChecked(false);
        form.DontIgnoreCheck->SetChecked(true);
        form.FilenameEdit->SetFileName("/shows/Winter.vsf");
        form.OKBtn->Click();
    });
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKey));
    EXPECT_EQ(reg.GetDataType("Mute"), rdInteger);
    EXPECT_FALSE(reg.ReadBool("Mute"));
    EXPECT_EQ(reg.ReadString("Filename"), "/shows/Winter.vsf");
    EXPECT_FALSE(reg.ReadBool("IgnoreOtherApplications"));
}

TEST_F(ScreenSaverConfigDialog, CancelKeepsTheStoredSettings)
{
    Store(false, "/shows/Alt.vsf", false);
    Open([](TScreenSaverConfigForm& form) {
        form.MuteCheck->SetChecked(true);
        form.IgnoreCheck->SetChecked(true);
        form.FilenameEdit->SetFileName("/shows/Neu.vsf");
        form.CancelBtn->Click();
    });
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKey));
    EXPECT_FALSE(reg.ReadBool("Mute"));
    EXPECT_EQ(reg.ReadString("Filename"), "/shows/Alt.vsf");
    EXPECT_FALSE(reg.ReadBool("IgnoreOtherApplications"));
    EXPECT_FALSE(reg.ValueExists("Path"));
}

// A value stored with the wrong type shows as its default; the others show
// as stored.
TEST_F(ScreenSaverConfigDialog, AWrongTypedValueShowsItsDefault)
{
    struct Case {
        const char* Wrong;
        TShown Expected;
    };
    const Case cases[] = {
        {"Mute", {false, "/shows/b.vsf", false, true}},
        {"Filename", {true, "", false, true}},
        {"IgnoreOtherApplications", {true, "/shows/b.vsf", true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Wrong);
        Store(true, "/shows/b.vsf", true);
        {
            TRegistry reg;
            ASSERT_TRUE(reg.OpenKey(SettingsKey, false));
            if (std::string(c.Wrong) == "Filename")
                reg.WriteInteger(c.Wrong, 7);
            else
                reg.WriteString(c.Wrong, "1");
        }
        ResetSettings();
        const TShown shown = Open([](TScreenSaverConfigForm& form) { form.CancelBtn->Click(); });
        EXPECT_EQ(shown.Mute, c.Expected.Mute);
        EXPECT_EQ(shown.File, c.Expected.File);
        EXPECT_EQ(shown.DontIgnore, c.Expected.DontIgnore);
        EXPECT_EQ(shown.Ignore, c.Expected.Ignore);
    }
}

// The registry file can be edited by hand: a stored name no file can have
// still lets the dialog open, showing it, so that it can be mended.
TEST_F(ScreenSaverConfigDialog, AStoredNameNoFileCanHaveStillOpensTheDialog)
{
    Store(false, "/shows/a|b.vsf", false);
    const TShown shown = Open([](TScreenSaverConfigForm& form) {
        form.FilenameEdit->SetFileName("/shows/b.vsf");
        form.OKBtn->Click();
    });
    EXPECT_EQ(shown.File, "/shows/a|b.vsf");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKey));
    EXPECT_EQ(reg.ReadString("Filename"), "/shows/b.vsf");
}

TEST_F(ScreenSaverConfigDialog, InfoShowsTheAboutBoxAndComesBackToTheDialog)
{
    bool aboutShown = false;
    bool dialogStillUp = false;
    Open([&](TScreenSaverConfigForm& form) {
        LaterOnModalForm<TScreenSaverAboutForm>([&](TScreenSaverAboutForm& about) {
            aboutShown = true;
            about.OKButton->Click();
        });
        form.BitBtn1->Click();
        dialogStillUp = form.Modal();
        form.CancelBtn->Click();
    });
    EXPECT_TRUE(aboutShown);
    EXPECT_TRUE(dialogStillUp);
}

} // namespace

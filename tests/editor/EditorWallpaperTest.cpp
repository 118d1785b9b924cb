// The editor's wallpaper: "/B" trying a show's shown pictures in a shuffled
// order, its messages, and the settings dialog with "Jetzt wechseln" and
// the autostart entry that starts "/B" again.

#include "editor/app/WinBackground.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/WinBackgroundDlgUnit.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Autostart.h"
#include "platform/ui/DesktopWallpaper.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "tests/editor/EditorScratch.h"
#include "ui/UiFixture.h"
#include "widgets/Parameters.h"

namespace {

class EditorWallpaperTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        scratch_ = std::make_unique<EditorScratch>();
        savedShow_ = Setup::VisteloFilename;
        savedPrefs_ = Setup::BackgroundVisteloPrefs;
        savedChange_ = Setup::BackgroundSaveChange;
        previous_ = EditorWallpaper::SetSetter([this](TPicInfoObject* pic) {
            tries_.push_back(pic->FileName);
            return std::find(accepted_.begin(), accepted_.end(), pic->FileName) != accepted_.end();
        });
    }
    void TearDown() override
    {
        EditorWallpaper::SetSetter(previous_);
        Setup::VisteloFilename = savedShow_;
        Setup::BackgroundVisteloPrefs = savedPrefs_;
        Setup::BackgroundSaveChange = savedChange_;
        scratch_.reset();
        UiTest::TearDown();
    }
    // A show of count pictures "Bild<i>.bmp"; those in hidden are not shown.
    std::string WriteShow(int count, const std::set<int>& hidden = {})
    {
        TConfigVistelo show;
        for (int i = 0; i < count; ++i) {
            const std::string picture = "Bild" + std::to_string(i) + ".bmp";
            TBitmap bitmap(8, 6, pf24bit);
            bitmap.SaveToFile(scratch_->Path(picture));
            TPicInfoObject entry;
            entry.FileName = picture;
            entry.ShowImage = !hidden.count(i);
            show.AddDia(entry);
        }
        const std::string file = scratch_->Path("Urlaub.vsf");
        EXPECT_TRUE(show.SaveToFile(file));
        return file;
    }

    std::unique_ptr<EditorScratch> scratch_;
    EditorWallpaper::TSetter previous_;
    std::vector<std::string> tries_;
    std::vector<std::string> accepted_;
    std::string savedShow_;
    bool savedPrefs_ = true;
    bool savedChange_ = false;
};

TEST_F(EditorWallpaperTest, ShownPicturesAreTriedInAShuffledOrderUntilOneIsSet)
{
    const std::string show = WriteShow(6, {1, 4});
    rtl::SetRandomSeed(7);
    EditorWallpaper::SetRandomWallpaperFromShow(show);
    std::vector<std::string> sorted = tries_;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{"Bild0.bmp", "Bild2.bmp", "Bild3.bmp", "Bild5.bmp"}))
        << "every shown picture once when none can be set, no hidden one";
    EXPECT_EQ(Setup::VisteloFilename, show);
    EXPECT_TRUE(ui::RecordedDialogs().empty());

    // Seeds give other orders; the first picture that is set ends the tries.
    std::set<std::string> firsts;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        const std::vector<std::string> everything = tries_;
        tries_.clear();
        accepted_ = {everything[2], everything[3]};
        rtl::SetRandomSeed(seed);
        EditorWallpaper::SetRandomWallpaperFromShow(show);
        ASSERT_FALSE(tries_.empty());
        EXPECT_TRUE(std::find(accepted_.begin(), accepted_.end(), tries_.back()) != accepted_.end());
        EXPECT_EQ(std::count_if(tries_.begin(), tries_.end(),
                                [&](const std::string& t) {
                                    return std::find(accepted_.begin(), accepted_.end(), t) != accepted_.end();
                                }),
                  1);
        firsts.insert(tries_.front());
        tries_ = everything;
    }
    EXPECT_GT(firsts.size(), 1u) << "the order is shuffled";
}

TEST_F(EditorWallpaperTest, AShowWithOnlyHiddenPicturesSetsNothingAndSaysNothing)
{
    const std::string show = WriteShow(3, {0, 1, 2});
    EditorWallpaper::SetRandomWallpaperFromShow(show);
    EXPECT_TRUE(tries_.empty());
    EXPECT_TRUE(ui::RecordedDialogs().empty());
}

TEST_F(EditorWallpaperTest, AMissingOrUnreadableShowIsReported)
{
    const std::string missing = scratch_->Path("fehlt.vsf");
    const std::string broken = scratch_->Path("kaputt.vsf");
    std::ofstream(broken) << "keine Vistelo";
    EditorWallpaper::SetRandomWallpaperFromShow(missing);
    EditorWallpaper::SetRandomWallpaperFromShow(broken);
    ASSERT_EQ(ui::RecordedDialogs().size(), 2u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text,
              "Die Datei \"" + missing +
                  "\" wurde nicht gefunden!\r\rDas Hintergrundbild kann deshalb nicht gewechselt werden.");
    EXPECT_EQ(ui::RecordedDialogs()[1].Request.Text, "Die Datei \"" + broken + "\" konnte nicht geladen werden!");
    EXPECT_TRUE(tries_.empty());
}

TEST_F(EditorWallpaperTest, TheDialogShowsAndStoresTheTwoSettings)
{
    Setup::BackgroundVisteloPrefs = false;
    Setup::BackgroundSaveChange = true;
    {
        TWinBackgroundSetupDlg dialog(nullptr, {});
        EXPECT_EQ(dialog.Caption(), "Windows-Hintergrundbild - Einstellungen");
        EXPECT_FALSE(dialog.VisteloPrefsCheck->Checked());
        EXPECT_TRUE(dialog.WindowsPrefsCheck->Checked());
        EXPECT_TRUE(dialog.SaveChangeCheck->Checked());
        EXPECT_FALSE(dialog.ChangeWinBackgroundNow->Enabled()) << "no current picture";
        dialog.VisteloPrefsCheck->SetChecked(true);
        dialog.SaveChangeCheck->SetChecked(false);
        EXPECT_FALSE(dialog.WindowsPrefsCheck->Checked());
    }
    EXPECT_FALSE(Setup::BackgroundVisteloPrefs) << "closed without OK";
    TWinBackgroundSetupDlg dialog(nullptr, {});
    dialog.VisteloPrefsCheck->SetChecked(true);
    dialog.SaveChangeCheck->SetChecked(false);
    dialog.HelpBtnClick();
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, TAAForm::NoHelpMessage) << "as the editor's own help command";
    dialog.OKBtnClick();
    EXPECT_EQ(dialog.ModalResult, mrOk);
    EXPECT_TRUE(Setup::BackgroundVisteloPrefs);
    EXPECT_FALSE(Setup::BackgroundSaveChange);
}

TEST_F(EditorWallpaperTest, ChangingNowUsesTheDialogsSettingsForOneChange)
{
    std::vector<ui::TWallpaperRequest> requests;
    const ui::TWallpaperSetter previous = ui::SetWallpaperSetter([&](const ui::TWallpaperRequest& r) {
        requests.push_back(r);
        return true;
    });
    TBitmap bitmap(8, 6, pf24bit);
    bitmap.SaveToFile(scratch_->Path("Bild.bmp"));
    TPicInfoObject pic;
    pic.FileName = scratch_->Path("Bild.bmp");
    Setup::BackgroundVisteloPrefs = true;
    Setup::BackgroundSaveChange = false;
    TWinBackgroundSetupDlg dialog(nullptr, [&] { return &pic; });
    EXPECT_TRUE(dialog.ChangeWinBackgroundNow->Enabled());
    dialog.WindowsPrefsCheck->SetChecked(true);
    dialog.SaveChangeCheck->SetChecked(true);
    dialog.ChangeWinBackgroundNowClick();
    ui::SetWallpaperSetter(previous);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].FileName, pic.FileName) << "a bitmap under the desktop's settings goes unchanged";
    EXPECT_TRUE(requests[0].Persist);
    EXPECT_TRUE(Setup::BackgroundVisteloPrefs) << "the settings are back";
    EXPECT_FALSE(Setup::BackgroundSaveChange);
}

TEST_F(EditorWallpaperTest, TheAutostartEntryStartsTheRandomChangeOfTheSavedShow)
{
    const std::string config = scratch_->Path("config");
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    TWinBackgroundSetupDlg dialog(nullptr, {});
    Setup::VisteloFilename = "Unbenannt.vsf";
    dialog.AutoBackgroundBtnClick();
    EXPECT_FALSE(std::filesystem::exists(config + "/autostart")) << "refused for a show never saved";

    Setup::VisteloFilename = scratch_->Path("Mein Urlaub.vsf");
    dialog.AutoBackgroundBtnClick();
    ::unsetenv("XDG_CONFIG_HOME");
    ASSERT_EQ(ui::RecordedDialogs().size(), 2u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Sie m\xC3\xBCssen die aktuelle Vistelo erst abspeichern!");
    EXPECT_EQ(ui::RecordedDialogs()[1].Request.Text, WinBackgroundDlg::AutostartDone);
    std::ifstream in(config + "/autostart/Vistelo - Hintergrundbild wechseln.desktop");
    std::stringstream text;
    text << in.rdbuf();
    const std::string expected = "Exec=" + ui::ExecArgument(Application->ExeName()) + " \"-b" + Setup::VisteloFilename +
        "\"\n";
    EXPECT_NE(text.str().find(expected), std::string::npos) << text.str();
}

TEST_F(EditorWallpaperTest, TheEditorReadsTheShowBackFromTheAutostartArgument)
{
    for (const std::string show : {"/home/anna/Urlaub.vsf", "/home/anna/Mein Urlaub.vsf", "/home/anna/it's.vsf",
                                   "/home/anna/Bilder von Anna's Reise.vsf"}) {
        Parameters::SetPlatformArguments({"/opt/v/Vistelo", WinBackgroundDlg::RandomWallpaperSwitch(show)});
        Parameters::UseOwnParameterParser(true);
        EXPECT_TRUE(Parameters::Param('B'));
        EXPECT_EQ(Parameters::GetParamFileName('B'), show);
        Parameters::UseOwnParameterParser(false);
    }
}

TEST_F(EditorWallpaperTest, TheMainWindowsMenuSetsTheCurrentPictureAsWallpaper)
{
    std::vector<ui::TWallpaperRequest> requests;
    const ui::TWallpaperSetter previous = ui::SetWallpaperSetter([&](const ui::TWallpaperRequest& r) {
        requests.push_back(r);
        return true;
    });
    const std::string savedHome = Setup::HomeDir;
    Setup::HomeDir = scratch_->Path("");
    auto* form = new TAAForm(nullptr);
    form->StartTimerTimer(nullptr);
    TMenuItem* item = form->MainMenu->Items().Find("Bild")->Find("Windows Hintergrundbild")->Find("Aktuelles Bild");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->ShortCut, ShortCut('H', {ssCtrl}));
    EXPECT_NE(form->MainMenu->Items().Find("Bild")->Find("Windows Hintergrundbild")->Find("Einstellungen..."), nullptr);
    item->Click();
    EXPECT_TRUE(requests.empty()) << "no current picture, nothing happens";

    TBitmap bitmap(8, 6, pf24bit);
    bitmap.SaveToFile(scratch_->Path("Bild.bmp"));
    form->AddPictureFiles({scratch_->Path("Bild.bmp")}, false);
    form->PicListBox->SetItemIndex(0);
    Setup::BackgroundVisteloPrefs = false;
    item->Click();
    delete form;
    Setup::HomeDir = savedHome;
    ui::SetWallpaperSetter(previous);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].FileName, scratch_->Path("Bild.bmp"));
}

} // namespace

#include "editor/app/DiaOptionsDlg.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Blendings.h"
#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/Config.h"
#include "editor/app/MarkListBox.h"
#include "editor/app/MusicListMoves.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/controls/FilenameEdit.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"
#include "widgets/KSCtrls.h"
#include "widgets/Spin.h"

namespace {

using MusicListMoves::TMusicList;

// "A*" is a selected entry.
TMusicList Entries(const std::vector<std::string>& names)
{
    TMusicList list;
    for (const std::string& name : names)
        list.push_back({name.substr(0, name.find('*')), name.find('*') != std::string::npos});
    return list;
}

std::vector<std::string> Names(const TMusicList& list)
{
    std::vector<std::string> names;
    for (const auto& entry : list)
        names.push_back(entry.FileName + (entry.Selected ? "*" : ""));
    return names;
}

TEST(MusicListMoves, UpWrapsASelectedFirstEntryDownStopsAtTheEnd)
{
    using Move = void (*)(TMusicList&);
    const struct {
        const char* Name;
        Move Action;
        std::vector<std::string> Before, After;
    } table[] = {
        {"only the first up", MusicListMoves::MoveSelectedUp, {"A*", "B", "C"}, {"B", "C", "A*"}},
        {"the middle up", MusicListMoves::MoveSelectedUp, {"A", "B*", "C"}, {"B*", "A", "C"}},
        {"a block up", MusicListMoves::MoveSelectedUp, {"A", "B*", "C*"}, {"B*", "C*", "A"}},
        {"first and third up", MusicListMoves::MoveSelectedUp, {"A*", "B", "C*", "D"}, {"B", "C*", "D", "A*"}},
        {"none up", MusicListMoves::MoveSelectedUp, {"A", "B"}, {"A", "B"}},
        {"the first down", MusicListMoves::MoveSelectedDown, {"A*", "B", "C"}, {"B", "A*", "C"}},
        {"a block down", MusicListMoves::MoveSelectedDown, {"A*", "B*", "C"}, {"C", "A*", "B*"}},
        {"the last down stays", MusicListMoves::MoveSelectedDown, {"A", "B*", "C*"}, {"A", "B*", "C*"}},
        {"delete", MusicListMoves::DeleteSelected, {"A*", "B", "C*"}, {"B"}},
        {"empty up", MusicListMoves::MoveSelectedUp, {}, {}},
        {"empty down", MusicListMoves::MoveSelectedDown, {}, {}},
        {"one down", MusicListMoves::MoveSelectedDown, {"A*"}, {"A*"}},
    };
    for (const auto& row : table) {
        TMusicList list = Entries(row.Before);
        row.Action(list);
        EXPECT_EQ(Names(list), row.After) << row.Name;
    }
}

// A switch of the show and the check box that shows it.
struct TCheckBinding {
    bool TVistelo::*Field;
    TCheckBox* TDiaOptionsDlg::*Control;
    bool Inverted;
};

const std::vector<TCheckBinding>& CheckBindings()
{
    static const std::vector<TCheckBinding> bindings = {
        {&TVistelo::RandomOrder, &TDiaOptionsDlg::RandomOrderCheck, false},
        {&TVistelo::ShowNoDescription, &TDiaOptionsDlg::ShowNoDescriptionCheck, false},
        {&TVistelo::PlayMusic, &TDiaOptionsDlg::PlayMusicCheck, false},
        {&TVistelo::AutoRewind, &TDiaOptionsDlg::AutoRewindCheck, false},
        {&TVistelo::AutoStartMusic, &TDiaOptionsDlg::AutoStartMusicCheck, false},
        {&TVistelo::AutoStartSound, &TDiaOptionsDlg::AutoStartSoundCheck, false},
        {&TVistelo::StopSoundBeforeBlending, &TDiaOptionsDlg::StopSoundBeforeBlendingCheck, false},
        {&TVistelo::ShowCommentsBox, &TDiaOptionsDlg::ShowCommentsBoxCheck, false},
        {&TVistelo::StartFullScreen, &TDiaOptionsDlg::StartFullScreenCheck, false},
        {&TVistelo::ShowNavigationBar, &TDiaOptionsDlg::ShowNavigationBarCheck, false},
        {&TVistelo::StartImmediately, &TDiaOptionsDlg::StartVisteloImmediatelyCheck, true},
        {&TVistelo::ShowFilenameInNavigationBar, &TDiaOptionsDlg::ShowFilenameInNavigationBarCheck, false},
        {&TVistelo::ScaleFontToScreen, &TDiaOptionsDlg::ScaleFontToScreenCheck, false},
        {&TVistelo::ShowPleaseWait, &TDiaOptionsDlg::ShowPleaseWaitCheck, false},
        {&TVistelo::ManualExitToo, &TDiaOptionsDlg::ManualExitTooCheck, false},
        {&TVistelo::DontBreakMusic, &TDiaOptionsDlg::DontBreakMusicCheck, false},
        {&TVistelo::UseBlendings, &TDiaOptionsDlg::UseBlendingsCheck, false},
    };
    return bindings;
}

class DiaOptionsDlgTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        savedBlendings_ = Blendings::RandomBlendings;
    }
    void TearDown() override
    {
        Blendings::RandomBlendings = savedBlendings_;
        UiTest::TearDown();
    }

    bool Run(const std::function<void(TDiaOptionsDlg&)>& during)
    {
        LaterOnModalForm<TDiaOptionsDlg>(during);
        return TDiaOptionsDlg::Execute(nullptr, show_, scratch_.Path("Show.vsf"));
    }

    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const ui::TDialogRecord& record : ui::RecordedDialogs())
            texts.push_back(record.Request.Text);
        return texts;
    }

    static std::vector<std::string> ListItems(TDiaOptionsDlg& dialog)
    {
        std::vector<std::string> items;
        for (int i = 0; i < dialog.MusicFileNamesListBox->Items().Count(); ++i)
            items.push_back(dialog.MusicFileNamesListBox->Items().Strings(i));
        return items;
    }

    EditorScratch scratch_;
    TConfigVistelo show_;

private:
    std::array<bool, 32> savedBlendings_{};
};

TEST_F(DiaOptionsDlgTest, EveryControlShowsItsFieldAndOkWritesItBack)
{
    for (const bool value : {true, false}) {
        for (const TCheckBinding& binding : CheckBindings())
            show_.*binding.Field = value;
        show_.Pause = value ? 7000 : 500;
        show_.MusicFileNames = value ? "/m/eins.mp3\r\n/m/zwei.mid" : "";
        show_.Logo = value ? lUserLogo : lNoLogo;
        show_.LogoFilename = value ? "/nirgends/Logo Bild.jpg" : "";
        show_.LogoPause = value ? 2500 : 0;
        show_.EndAction = value ? deRepeatOrNextVistelo : deAutoLoadNextVistelo;
        show_.InfoTitle = value ? "Prüfung" : "";
        show_.InfoText = value ? "Zeile 1\r\nZeile 2" : "";
        show_.AboutText = value ? "Über" : "";
        show_.ReferenceWidth = show_.ReferenceHeight = value ? 800 : -1;
        for (size_t effect = 0; effect < Blendings::RandomBlendings.size(); ++effect)
            Blendings::RandomBlendings[effect] = (effect % 3 == 0) == value;

        std::vector<bool> shown;
        std::vector<std::string> music;
        std::vector<bool> blendings;
        EXPECT_TRUE(Run([&](TDiaOptionsDlg& dialog) {
            for (const TCheckBinding& binding : CheckBindings())
                shown.push_back((dialog.*binding.Control)->Checked() != binding.Inverted);
            music = ListItems(dialog);
            for (int i = 0; i < dialog.RandomBlendingsListBox->Items().Count(); ++i)
                blendings.push_back(dialog.RandomBlendingsListBox->GetChecked(i));
            EXPECT_EQ(dialog.PauseSpinEdit->GetIntValue(), show_.Pause);
            EXPECT_EQ(dialog.UserLogoCheck->Checked(), value);
            EXPECT_EQ(dialog.NoLogoCheck->Checked(), !value);
            EXPECT_EQ(dialog.LogoFilenameEdit->FileName(), show_.LogoFilename) << "a missing logo keeps its name";
            EXPECT_EQ(dialog.LogoPauseEdit->GetIntValue(), show_.LogoPause);
            EXPECT_EQ(dialog.RepeatOrNextVisteloCheck->Checked(), value);
            EXPECT_EQ(dialog.AutoLoadNextVisteloCheck->Checked(), !value);
            EXPECT_EQ(dialog.VisteloInfoTitleEdit->Text(), show_.InfoTitle);
            EXPECT_EQ(dialog.VisteloInfoMemo->Text(), show_.InfoText);
            EXPECT_EQ(dialog.AboutVisteloMemo->Text(), show_.AboutText);
            dialog.OKBtn->Click();
        }));
        EXPECT_EQ(shown, std::vector<bool>(CheckBindings().size(), value));
        const std::vector<std::string> storedMusic = {"/m/eins.mp3", "/m/zwei.mid"};
        EXPECT_EQ(music, value ? storedMusic : std::vector<std::string>());
        ASSERT_EQ(blendings.size(), 30u) << "effects 2 to 31 are listed";
        for (size_t i = 0; i < blendings.size(); ++i)
            EXPECT_EQ(blendings[i], ((i + 2) % 3 == 0) == value) << "item " << i << " is effect " << i + 2;

        // OK with nothing changed writes every field back as it was.
        for (const TCheckBinding& binding : CheckBindings())
            EXPECT_EQ(show_.*binding.Field, value);
        EXPECT_EQ(show_.Pause, value ? 7000 : 500);
        EXPECT_EQ(show_.MusicFileNames, value ? "/m/eins.mp3\r\n/m/zwei.mid" : "");
        EXPECT_EQ(show_.Logo, value ? lUserLogo : lNoLogo);
        EXPECT_EQ(show_.LogoFilename, value ? "/nirgends/Logo Bild.jpg" : "");
        EXPECT_EQ(show_.LogoPause, value ? 2500 : 0);
        EXPECT_EQ(show_.EndAction, value ? deRepeatOrNextVistelo : deAutoLoadNextVistelo);
        EXPECT_EQ(show_.InfoText, value ? "Zeile 1\r\nZeile 2" : "");
        EXPECT_EQ(show_.ReferenceWidth, value ? 800 : -1);
        EXPECT_EQ(show_.InfoPicture, nullptr) << "a show without an info picture still has none";
        for (size_t effect = 2; effect < Blendings::RandomBlendings.size(); ++effect)
            EXPECT_EQ(Blendings::RandomBlendings[effect], (effect % 3 == 0) == value);
    }
}

TEST_F(DiaOptionsDlgTest, ChangedControlsReachTheShowOnOkAndNotOnCancel)
{
    for (const TCheckBinding& binding : CheckBindings())
        show_.*binding.Field = false;
    show_.ScaleFontToScreen = false; // no reference-size questions
    const auto change = [&](TDiaOptionsDlg& dialog) {
        for (const TCheckBinding& binding : CheckBindings())
            (dialog.*binding.Control)->SetChecked(true);
        dialog.PauseSpinEdit->SetValue(3000);
        dialog.StdLogoCheck->SetChecked(true);
        dialog.ExitImmediatelyCheck->SetChecked(true);
        dialog.VisteloInfoTitleEdit->SetText("Neu");
        dialog.AllBlendingsBtn->Click();
    };
    for (size_t effect = 0; effect < Blendings::RandomBlendings.size(); ++effect)
        Blendings::RandomBlendings[effect] = false;
    EXPECT_FALSE(Run([&](TDiaOptionsDlg& dialog) {
        change(dialog);
        dialog.CancelBtn->Click();
    }));
    for (const TCheckBinding& binding : CheckBindings())
        EXPECT_FALSE(show_.*binding.Field);
    EXPECT_EQ(show_.InfoTitle, "");
    EXPECT_FALSE(Blendings::RandomBlendings[5]);

    EXPECT_TRUE(Run([&](TDiaOptionsDlg& dialog) {
        change(dialog);
        dialog.OKBtn->Click();
    }));
    for (const TCheckBinding& binding : CheckBindings())
        EXPECT_EQ(show_.*binding.Field, !binding.Inverted);
    EXPECT_EQ(show_.Pause, 3000);
    EXPECT_EQ(show_.Logo, lStdLogo);
    EXPECT_EQ(show_.EndAction, deExitImmediately);
    EXPECT_EQ(show_.InfoTitle, "Neu");
    EXPECT_FALSE(Blendings::RandomBlendings[1]) << "effects 0 and 1 are not in the list";
    for (size_t effect = 2; effect < Blendings::RandomBlendings.size(); ++effect)
        EXPECT_TRUE(Blendings::RandomBlendings[effect]);
}

TEST_F(DiaOptionsDlgTest, TransitionButtonsAndEnablingFollowTheirChecks)
{
    show_.UseBlendings = true;
    show_.PlayMusic = false;
    show_.Logo = lNoLogo;
    show_.EndAction = deAutoRepeat;
    for (size_t effect = 0; effect < Blendings::RandomBlendings.size(); ++effect)
        Blendings::RandomBlendings[effect] = effect == 4;
    EXPECT_TRUE(Run([&](TDiaOptionsDlg& dialog) {
        EXPECT_EQ(dialog.Caption(), "Vistelo-Einstellungen");
        EXPECT_EQ(dialog.PageControl->PageCount(), 6);
        EXPECT_EQ(dialog.PageControl->ActivePage(), dialog.VisteloSheet);
        EXPECT_FALSE(dialog.MusicPanel->Enabled());
        dialog.PlayMusicCheck->SetChecked(true);
        EXPECT_TRUE(dialog.MusicPanel->Enabled());
        EXPECT_FALSE(dialog.LogoPausePanel->Enabled());
        EXPECT_FALSE(dialog.LogoFilenamePanel->Enabled());
        dialog.UserLogoCheck->SetChecked(true);
        EXPECT_TRUE(dialog.LogoPausePanel->Enabled());
        EXPECT_TRUE(dialog.LogoFilenamePanel->Enabled());
        const struct {
            TRadioButton* Radio;
            bool ManualExit, DontBreak;
        } ends[] = {{dialog.AutoRepeatCheck, false, false},        {dialog.AutoLoadNextVisteloCheck, false, true},
                    {dialog.ExitImmediatelyCheck, false, false},   {dialog.RepeatVisteloCheck, true, false},
                    {dialog.RepeatOrLoadVisteloCheck, true, true}, {dialog.RepeatOrNextVisteloCheck, true, true}};
        for (const auto& end : ends) {
            end.Radio->SetChecked(true);
            EXPECT_EQ(dialog.ManualExitTooCheck->Enabled(), end.ManualExit) << end.Radio->Caption();
            EXPECT_EQ(dialog.DontBreakMusicCheck->Enabled(), end.DontBreak) << end.Radio->Caption();
        }
        TSymbolCheckListBox& list = *dialog.RandomBlendingsListBox;
        EXPECT_TRUE(list.GetChecked(2));
        dialog.InvertBlendingsBtn->Click();
        EXPECT_FALSE(list.GetChecked(2));
        EXPECT_TRUE(list.GetChecked(0));
        dialog.UndoBlendingsBtn->Click();
        EXPECT_TRUE(list.GetChecked(2));
        EXPECT_FALSE(list.GetChecked(0));
        list.SetChecked(7, true);
        dialog.UseBlendingsCheck->SetChecked(false);
        EXPECT_FALSE(dialog.RandomblendingsPanel->Enabled());
        dialog.OKBtn->Click();
    }));
    EXPECT_FALSE(show_.UseBlendings);
    EXPECT_TRUE(Blendings::RandomBlendings[4]);
    EXPECT_TRUE(Blendings::RandomBlendings[9]) << "unticked transitions keep their items and write them";
}

TEST_F(DiaOptionsDlgTest, YesToTheWindowSizeQuestionResetsTheReferenceSizeAtOnce)
{
    show_.ScaleFontToScreen = true;
    show_.ReferenceWidth = 1024;
    show_.ReferenceHeight = 768;
    ui::ScriptAnswer(mrNo);
    ui::ScriptAnswer(mrYes);
    int afterNo = 0, afterYes = 0;
    EXPECT_FALSE(Run([&](TDiaOptionsDlg& dialog) {
        EXPECT_TRUE(Messages().empty()) << "filling the controls asks nothing";
        dialog.StartFullScreenCheck->SetChecked(!dialog.StartFullScreenCheck->Checked());
        afterNo = show_.ReferenceWidth;
        dialog.ShowNavigationBarCheck->SetChecked(!dialog.ShowNavigationBarCheck->Checked());
        afterYes = show_.ReferenceWidth;
        dialog.CancelBtn->Click();
    }));
    EXPECT_EQ(afterNo, 1024);
    EXPECT_EQ(afterYes, -1);
    EXPECT_EQ(show_.ReferenceHeight, -1) << "the reset stays even after Cancel";
    EXPECT_EQ(Messages(), std::vector<std::string>(2, TDiaOptionsDlg::ResetReferenceSizeQuestion));

    // With no reference size there is nothing to reset: no question, but
    // ticking the scaling says the show must run once first.
    ui::ClearRecordedDialogs();
    show_.ScaleFontToScreen = false;
    EXPECT_FALSE(Run([&](TDiaOptionsDlg& dialog) {
        dialog.StartFullScreenCheck->SetChecked(!dialog.StartFullScreenCheck->Checked());
        dialog.ScaleFontToScreenCheck->SetChecked(true);
        dialog.CancelBtn->Click();
    }));
    EXPECT_EQ(Messages(), std::vector<std::string>{TDiaOptionsDlg::StartShowFirstMessage});
}

TEST_F(DiaOptionsDlgTest, UntickingFontScalingClearsTheReferenceSizeOnOkOnly)
{
    show_.ScaleFontToScreen = true;
    show_.ReferenceWidth = 800;
    show_.ReferenceHeight = 600;
    EXPECT_FALSE(Run([](TDiaOptionsDlg& dialog) {
        dialog.ScaleFontToScreenCheck->SetChecked(false);
        dialog.CancelBtn->Click();
    }));
    EXPECT_EQ(show_.ReferenceWidth, 800);
    EXPECT_TRUE(Run([](TDiaOptionsDlg& dialog) {
        dialog.ScaleFontToScreenCheck->SetChecked(false);
        dialog.OKBtn->Click();
    }));
    EXPECT_FALSE(show_.ScaleFontToScreen);
    EXPECT_EQ(show_.ReferenceWidth, -1);
    EXPECT_EQ(show_.ReferenceHeight, -1);
}

TEST_F(DiaOptionsDlgTest, TheMusicListAddsMovesDeletesAndPreviews)
{
    show_.PlayMusic = true;
    show_.MusicFileNames = "/m/a.mp3\r\n/m/b.mp3\r\n/m/c.mp3";
    EXPECT_TRUE(Run([&](TDiaOptionsDlg& dialog) {
        TMarkListBox& list = *dialog.MusicFileNamesListBox;
        EXPECT_EQ(list.Ellipsis, tePath);
        EXPECT_EQ(dialog.MusicFilenameLabel->Caption(), "nichts ausgewählt");
        dialog.MusicPopupMenuPopup();
        EXPECT_TRUE(dialog.AddMusicItem->Enabled);
        EXPECT_FALSE(dialog.DeleteMusicItem->Enabled);
        EXPECT_FALSE(dialog.MusicUpItem->Enabled);
        dialog.PreviewMusicClick();
        EXPECT_EQ(Messages(), std::vector<std::string>{TDiaOptionsDlg::NoMusicSelectedMessage});

        list.SetItemIndex(0);
        list.SetSelected(0, true);
        dialog.MusicFileNamesListBoxClick();
        EXPECT_EQ(dialog.MusicFilenameLabel->Caption(), "/m/a.mp3");
        dialog.MusicPopupMenuPopup();
        EXPECT_TRUE(dialog.MusicDownItem->Enabled);
        dialog.MusicUpClick();
        EXPECT_EQ(ListItems(dialog), (std::vector<std::string>{"/m/b.mp3", "/m/c.mp3", "/m/a.mp3"}));
        EXPECT_TRUE(list.Selected(2)) << "the moved entry stays selected";
        dialog.MusicUpClick();
        EXPECT_EQ(ListItems(dialog), (std::vector<std::string>{"/m/b.mp3", "/m/a.mp3", "/m/c.mp3"}));
        dialog.MusicDownClick();
        dialog.MusicDownClick();
        EXPECT_EQ(ListItems(dialog), (std::vector<std::string>{"/m/b.mp3", "/m/c.mp3", "/m/a.mp3"}));

        ui::ScriptAnswer(IDOK, "/n/x.wav\n/n/y.mid");
        dialog.AddMusicBtn->Click();
        EXPECT_EQ(ListItems(dialog).size(), 5u);
        EXPECT_EQ(ListItems(dialog).back(), "/n/y.mid");
        dialog.DeleteMusicClick();
        EXPECT_EQ(ListItems(dialog), (std::vector<std::string>{"/m/b.mp3", "/m/c.mp3", "/n/x.wav", "/n/y.mid"}));
        dialog.OKBtn->Click();
    }));
    EXPECT_EQ(show_.MusicFileNames, "/m/b.mp3\r\n/m/c.mp3\r\n/n/x.wav\r\n/n/y.mid");

    EXPECT_TRUE(Run([](TDiaOptionsDlg& dialog) {
        for (int i = 0; i < dialog.MusicFileNamesListBox->Items().Count(); ++i)
            dialog.MusicFileNamesListBox->SetSelected(i, true);
        dialog.DeleteMusicBtn->Click();
        dialog.OKBtn->Click();
    }));
    EXPECT_EQ(show_.MusicFileNames, "") << "an empty list writes no music";
}

TEST_F(DiaOptionsDlgTest, TheInfoPictureIsFittedIntoItsBoxAsAJpegOfQualityHundred)
{
    TBitmap wide(300, 100, pf24bit);
    wide.Canvas().Brush.Color = clRed;
    wide.Canvas().FillRect(Rect(0, 0, 300, 100));
    const std::string wideFile = scratch_.Path("breit.bmp");
    wide.SaveToFile(wideFile);
    const std::string brokenFile = scratch_.Path("kaputt.bmp");
    {
        FILE* broken = std::fopen(brokenFile.c_str(), "wb");
        std::fputs("BM kein Bild", broken);
        std::fclose(broken);
    }
    EXPECT_TRUE(Run([&](TDiaOptionsDlg& dialog) {
        EXPECT_EQ(dialog.InfoPicture(), nullptr);
        EXPECT_FALSE(dialog.DeleteInfoPictureBtn->Enabled());
        EXPECT_TRUE(dialog.DiaInfoThumbnailLabel->Visible());
        ASSERT_TRUE(dialog.TakeInfoPicture(wideFile));
        ASSERT_NE(dialog.InfoPicture(), nullptr);
        EXPECT_EQ(dialog.InfoPicture()->Width(), 150);
        EXPECT_EQ(dialog.InfoPicture()->Height(), 50);
        EXPECT_EQ(dialog.InfoPicture()->CompressionQuality, 100);
        EXPECT_TRUE(dialog.DeleteInfoPictureBtn->Enabled());
        EXPECT_FALSE(dialog.DiaInfoThumbnailLabel->Visible());
        EXPECT_FALSE(dialog.TakeInfoPicture(brokenFile));
        EXPECT_EQ(dialog.InfoPicture()->Width(), 150) << "a picture that does not load leaves the old one";
        dialog.OKBtn->Click();
    }));
    ASSERT_NE(show_.InfoPicture, nullptr);
    EXPECT_EQ(show_.InfoPicture->Width(), 150);

    EXPECT_TRUE(Run([](TDiaOptionsDlg& dialog) {
        ASSERT_NE(dialog.InfoPicture(), nullptr);
        dialog.DeleteInfoPictureBtn->Click();
        EXPECT_EQ(dialog.InfoPicture(), nullptr);
        dialog.OKBtn->Click();
    }));
    EXPECT_EQ(show_.InfoPicture, nullptr);
}

TEST_F(DiaOptionsDlgTest, TheMainWindowsMenuAndToolButtonOpenItOnTheOpenShow)
{
    const std::string savedHome = Setup::HomeDir;
    Setup::HomeDir = scratch_.Path("");
    std::unique_ptr<TAAForm> main(new TAAForm(nullptr));
    main->StartTimerTimer(nullptr);
    TMenuItem* item = main->MainMenu->Items().Find("Optionen")->Find("Vistelo-Einstellungen...");
    ASSERT_NE(item, nullptr);
    LaterOnModalForm<TDiaOptionsDlg>([](TDiaOptionsDlg& dialog) {
        dialog.PauseSpinEdit->SetValue(12345);
        dialog.OKBtn->Click();
    });
    item->Click();
    EXPECT_EQ(main->Document->Pause, 12345);

    TKsSpeedButton* button = nullptr;
    for (TKsSpeedButton* candidate : main->ToolButtons)
        if (candidate->Hint == "Vistelo-Einstellungen")
            button = candidate;
    ASSERT_NE(button, nullptr);
    bool opened = false;
    LaterOnModalForm<TDiaOptionsDlg>([&](TDiaOptionsDlg& dialog) {
        opened = dialog.PauseSpinEdit->GetIntValue() == 12345;
        dialog.CancelBtn->Click();
    });
    button->Click();
    EXPECT_TRUE(opened);
    main.reset();
    Setup::HomeDir = savedHome;
}

} // namespace

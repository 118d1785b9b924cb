// The picture options dialog: the OK comparison carrying only changed
// settings over to the selected pictures through the access layer, and the
// dialog itself opened from the main window over its selection.

#include "editor/app/ExtPicPrefsApply.h"
#include "editor/app/ExtPicPrefsUnit.h"

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/PicPlacementUnit.h"
#include "editor/app/SizeRect.h"
#include "editor/app/ToolHooks.h"
#include "editor/controls/FilenameEdit.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Font.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"
#include "widgets/KSCtrls.h"
#include "widgets/Spin.h"

#include <functional>
#include <set>

namespace {

// Three selected pictures of a list, each with its own pause and font colour.
class SelectedPictures : public TPicListAccess {
public:
    SelectedPictures()
    {
        for (int i = 0; i < 3; ++i) {
            entries.push_back(std::make_unique<TPicInfoObject>());
            entries[i]->Pause = 1000 * (i + 1);
            entries[i]->CommentFont->SetColor(0x10 * (i + 1));
            entries[i]->CommentFont->SetName("Arial");
            entries[i]->CommentFont->SetSize(10);
        }
        previous_ = PicInfoUnit::PicListAccess;
        PicInfoUnit::PicListAccess = this;
    }
    ~SelectedPictures() override { PicInfoUnit::PicListAccess = previous_; }
    TVistelo* Document() override { return &document; }
    int Count() override { return static_cast<int>(entries.size()); }
    TPicInfoObject* Object(int Index) override { return entries[static_cast<size_t>(Index)].get(); }
    int SelCount() override { return 3; }
    bool Selected(int) override { return true; }
    bool Checked(int) override { return true; }
    int ItemIndex() override { return 0; }
    void SetItemIndex(int) override { }

    TConfigVistelo document;
    std::vector<std::unique_ptr<TPicInfoObject>> entries;

private:
    TPicListAccess* previous_ = nullptr;
};

// The controls as the dialog fills them from the entry.
ExtPicPrefsApply::TControlValues UnchangedControls(const TPicInfoObject& entry, const TFont& font)
{
    ExtPicPrefsApply::TControlValues controls;
    controls.UserDelay = entry.Pause != -1;
    controls.Delay = entry.Pause;
    controls.EffectColor1 = entry.EffectColor1;
    controls.EffectColor2 = entry.EffectColor2;
    controls.Font = &font;
    controls.FontColor = entry.CommentFont->Color();
    controls.PixelHeight = entry.CommentFontHeight != -1;
    controls.PixelHeightValue = entry.CommentFontHeight;
    return controls;
}

TEST(ExtPicPrefsApplyTest, OnlyTheChangedFontReachesEveryPicture)
{
    SelectedPictures pictures;
    TPicInfoObject& entry = *pictures.entries[0];
    TPicInfoObject copy;
    copy.Assign(&entry);
    TFont font(*entry.CommentFont);
    font.SetName("Courier");
    font.SetSize(14);
    EXPECT_FALSE(ExtPicPrefsApply::ApplyChanges(entry, copy, UnchangedControls(entry, *entry.CommentFont)))
        << "nothing changed";
    EXPECT_TRUE(ExtPicPrefsApply::ApplyChanges(entry, copy, UnchangedControls(entry, font)));
    for (int i = 0; i < 3; ++i) {
        const TPicInfoObject& p = *pictures.entries[i];
        EXPECT_EQ(p.CommentFont->Name(), "Courier") << i;
        EXPECT_EQ(p.CommentFont->Size(), 14) << i;
        EXPECT_EQ(p.CommentFont->Color(), 0x10 * (i + 1)) << "each keeps its font colour";
        EXPECT_EQ(p.Pause, 1000 * (i + 1)) << "each keeps its pause";
    }
}

TEST(ExtPicPrefsApplyTest, EachChangedSettingReachesTheOtherPictures)
{
    const struct {
        const char* what;
        std::function<void(TPicInfoObject& copy, ExtPicPrefsApply::TControlValues& controls)> change;
        std::function<bool(const TPicInfoObject& other)> arrived;
        bool refresh;
    } table[] = {
        {"sound", [](auto& c, auto&) { c.Sound = "klang.wav"; }, [](const auto& o) { return o.Sound == "klang.wav"; },
         true},
        {"synchronisation", [](auto& c, auto&) { c.SynchronizeWithSound = ssNoSync; },
         [](const auto& o) { return o.SynchronizeWithSound == ssNoSync; }, true},
        {"own pause unticked", [](auto&, auto& k) { k.UserDelay = false; }, [](const auto& o) { return o.Pause == -1; },
         true},
        {"another pause", [](auto&, auto& k) { k.Delay = 7000; }, [](const auto& o) { return o.Pause == 7000; }, true},
        {"effect", [](auto& c, auto&) { c.CommentEffects = ce3DBorder; },
         [](const auto& o) { return o.CommentEffects == ce3DBorder; }, true},
        {"effect colour", [](auto&, auto& k) { k.EffectColor2 = 0xFF; },
         [](const auto& o) { return o.EffectColor2 == 0xFF; }, true},
        {"font colour", [](auto&, auto& k) { k.FontColor = 0xABCDEF; },
         [](const auto& o) { return o.CommentFont->Color() == 0xABCDEF; }, true},
        {"pixel height", [](auto&, auto& k) { k.PixelHeight = true, k.PixelHeightValue = 33; },
         [](const auto& o) { return o.CommentFontHeight == 33; }, true},
        {"user comment position",
         [](auto& c, auto&) {
             c.CommentPlacement = cpUser;
             c.CommentUserPlacement = {0.1, 0.2, 0.3, 0.4};
         },
         [](const auto& o) {
             return o.CommentPlacement == cpUser && o.CommentUserPlacement == TPlacementRectExt{0.1, 0.2, 0.3, 0.4};
         },
         true},
        {"size in percent",
         [](auto& c, auto&) {
             c.SizePercent = pWindow;
             c.PicPlacement = {0, 0, 0.5, 0.5};
         },
         [](const auto& o) { return o.SizePercent == pWindow && o.PicPlacement.Right == 0.5 && o.Stretch; }, true},
        {"user placement makes the pictures stretched",
         [](auto& c, auto&) {
             c.Placement = spUser;
             c.PicPlacement = {0.25, 0, 1, 1};
         },
         [](const auto& o) { return o.Placement == spUser && o.PicPlacement.Left == 0.25 && o.Stretch; }, true},
    };
    for (const auto& t : table) {
        SelectedPictures pictures;
        for (auto& p : pictures.entries) {
            p->Stretch = false;
            p->CommentFontHeight = -1;
        }
        TPicInfoObject& entry = *pictures.entries[0];
        TPicInfoObject copy;
        copy.Assign(&entry);
        const TFont font(*entry.CommentFont);
        ExtPicPrefsApply::TControlValues controls = UnchangedControls(entry, font);
        t.change(copy, controls);
        EXPECT_EQ(ExtPicPrefsApply::ApplyChanges(entry, copy, controls), t.refresh) << t.what;
        for (int i = 1; i < 3; ++i)
            EXPECT_TRUE(t.arrived(*pictures.entries[i])) << t.what << " on picture " << i;
        EXPECT_EQ(pictures.entries[2]->Pause == 3000, std::string(t.what).find("pause") == std::string::npos)
            << t.what << ": the pause only changes when asked";
    }
}

TEST(ExtPicPrefsApplyTest, SwitchingThePixelHeightOffAloneNeedsNoRefresh)
{
    SelectedPictures pictures;
    for (auto& p : pictures.entries)
        p->CommentFontHeight = 20;
    TPicInfoObject& entry = *pictures.entries[0];
    TPicInfoObject copy;
    copy.Assign(&entry);
    ExtPicPrefsApply::TControlValues controls = UnchangedControls(entry, *entry.CommentFont);
    controls.PixelHeight = false;
    EXPECT_FALSE(ExtPicPrefsApply::ApplyChanges(entry, copy, controls));
    for (auto& p : pictures.entries)
        EXPECT_EQ(p->CommentFontHeight, -1);
}

class ExtPicPrefsDlgTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        savedHomeDir_ = Setup::HomeDir;
        Setup::HomeDir = scratch.Path("");
        form = new TAAForm(nullptr);
        form->StartTimerTimer(nullptr);
        form->AddPictureFiles({scratch.Path("1.jpg"), scratch.Path("2.jpg"), scratch.Path("3.jpg")}, false);
        ui::ClearRecordedDialogs();
    }
    void TearDown() override
    {
        delete form;
        Setup::HomeDir = savedHomeDir_;
        UiTest::TearDown();
    }
    void Select(std::initializer_list<int> indices)
    {
        for (int i : indices)
            form->PicListBox->SetSelected(i, true);
        form->PicListBox->SetItemIndex(*indices.begin());
        for (int i : indices)
            form->PicListBox->SetSelected(i, true);
    }

    EditorScratch scratch;
    TAAForm* form = nullptr;

private:
    std::string savedHomeDir_;
};

TEST_F(ExtPicPrefsDlgTest, WithoutASelectionItSaysSoAndCloses)
{
    form->SoundBtn->Click();
    ASSERT_FALSE(ui::RecordedDialogs().empty());
    EXPECT_EQ(ui::RecordedDialogs().back().Request.Text, TExtPicPrefsDlg::NoSelectionMessage);
    EXPECT_EQ(ModalForm<TExtPicPrefsDlg>(), nullptr);
}

TEST_F(ExtPicPrefsDlgTest, TheSoundButtonOpensTheSoundTabAndCancelChangesNothing)
{
    Select({0, 1});
    bool seen = false;
    LaterOnModalForm<TExtPicPrefsDlg>([&](TExtPicPrefsDlg& dialog) {
        seen = true;
        EXPECT_EQ(dialog.Caption(), "Erweiterte Bildeinstellungen");
        EXPECT_EQ(dialog.PageControl->ActivePage(), dialog.SoundSheet);
        ASSERT_EQ(dialog.CurrentEntry(), form->GetPicInfoObject(0));
        EXPECT_TRUE(dialog.SynchronizeCheck->Checked());
        EXPECT_FALSE(dialog.RepeatSoundCheck->Enabled()) << "repeating needs an unsynchronised sound";
        dialog.DontSynchronizeCheck->SetChecked(true);
        EXPECT_TRUE(dialog.RepeatSoundCheck->Enabled());
        EXPECT_EQ(dialog.WorkingCopy().SynchronizeWithSound, ssNoSync);
        EXPECT_EQ(form->GetPicInfoObject(0)->SynchronizeWithSound, ssSync) << "the picture waits for OK";
        dialog.PreviewSoundBtn->Click();
        EXPECT_EQ(ui::RecordedDialogs().back().Request.Text, TExtPicPrefsDlg::NoSoundMessage);
        const auto savedHook = ToolHooks::PreviewMusic();
        std::string played;
        ToolHooks::PreviewMusic() = [&](const std::string& name) { played = name; };
        dialog.SoundFilenameEdit->SetText("klang.wav");
        EXPECT_EQ(dialog.WorkingCopy().Sound, "klang.wav") << "the typed text goes into the copy";
        dialog.PreviewSoundBtn->Click();
        ToolHooks::PreviewMusic() = savedHook;
        EXPECT_EQ(played, "klang.wav");
        dialog.CancelBtn->Click();
    });
    form->SoundBtn->Click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(form->GetPicInfoObject(1)->SynchronizeWithSound, ssSync);
    EXPECT_EQ(form->GetPicInfoObject(0)->Sound, "");
}

TEST_F(ExtPicPrefsDlgTest, AWidthTypedInPercentPlacesThePicturesFromTheLeft)
{
    Select({0, 2});
    LaterOnModalForm<TExtPicPrefsDlg>([&](TExtPicPrefsDlg& dialog) {
        EXPECT_EQ(dialog.PageControl->ActivePage(), dialog.PlacementSheet);
        EXPECT_TRUE(dialog.CenterCheck->Checked());
        EXPECT_FALSE(dialog.UserSizePanel->Enabled());
        dialog.UserSizeCheck->SetChecked(true);
        EXPECT_TRUE(dialog.WinPercentCheck->Checked());
        EXPECT_EQ(dialog.WidthEdit->Text(), "100");
        dialog.WidthEdit->SetText("50");
        EXPECT_EQ(dialog.WorkingCopy().PicPlacement.Left, 0);
        EXPECT_EQ(dialog.WorkingCopy().PicPlacement.Right, 0.5);
        dialog.OKBtn->Click();
    });
    form->SpecPlacementBtn->Click();
    for (int i : {0, 2}) {
        EXPECT_EQ(form->GetPicInfoObject(i)->SizePercent, pWindow) << i;
        EXPECT_EQ(form->GetPicInfoObject(i)->PicPlacement.Right, 0.5) << i;
    }
    EXPECT_EQ(form->GetPicInfoObject(1)->SizePercent, pNone) << "an unselected picture stays";
}

TEST_F(ExtPicPrefsDlgTest, UntickingTheOwnPauseGivesEverySelectedPictureTheShowsPause)
{
    for (int i = 0; i < 3; ++i)
        form->GetPicInfoObject(i)->Pause = 2000 + i;
    Select({0, 1, 2});
    LaterOnModalForm<TExtPicPrefsDlg>([&](TExtPicPrefsDlg& dialog) {
        EXPECT_TRUE(dialog.UserDelayCheck->Checked());
        EXPECT_EQ(dialog.UserDelayEdit->GetIntValue(), 2000);
        dialog.UserDelayCheck->SetChecked(false);
        EXPECT_FALSE(dialog.UserDelayPanel->Enabled());
        dialog.OKBtn->Click();
    });
    form->SleepBtn->Click();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(form->GetPicInfoObject(i)->Pause, -1) << i;
}

TEST_F(ExtPicPrefsDlgTest, TheCommentPositionIsPlacedInTheCommentMode)
{
    Select({1});
    LaterOnModalForm<TExtPicPrefsDlg>([&](TExtPicPrefsDlg& dialog) {
        EXPECT_FALSE(dialog.SetUserCommentPosBtn->Enabled());
        dialog.UserCommentPosCheck->SetChecked(true);
        EXPECT_EQ(dialog.WorkingCopy().CommentPlacement, cpUser);
        LaterOnModalForm<TPicPlacementDlg>([](TPicPlacementDlg& placement) {
            EXPECT_EQ(placement.Caption(), "Kommentar beliebig positionieren");
            ASSERT_NE(placement.SizeRect, nullptr);
            EXPECT_EQ(placement.SizeRectDoubleBuffer, nullptr);
            placement.SizeRect->SetBoundsRect(Rect(0, 0, 160, 120));
            placement.OKBtn->Click();
        });
        dialog.SetUserCommentPosBtn->Click();
        EXPECT_EQ(dialog.WorkingCopy().CommentUserPlacement, (TPlacementRectExt{0, 0, 0.5, 0.5}));
        dialog.OKBtn->Click();
    });
    form->FontBtn->Click();
    EXPECT_EQ(form->GetPicInfoObject(1)->CommentPlacement, cpUser);
    EXPECT_EQ(form->GetPicInfoObject(1)->CommentUserPlacement, (TPlacementRectExt{0, 0, 0.5, 0.5}));
    EXPECT_NE(form->GetPicInfoObject(0)->CommentPlacement, cpUser);
}

} // namespace

namespace {

class ExtPicPrefsPlacementTest : public ExtPicPrefsDlgTest { };

TEST_F(ExtPicPrefsPlacementTest, AUserPlacementIsPlacedOnThePictureAndStretchesEverySelectedPicture)
{
    TBitmap bitmap(64, 48, pf24bit);
    bitmap.SaveToFile(scratch.Path("1.jpg.bmp"));
    form->GetPicInfoObject(0)->FileName = scratch.Path("1.jpg.bmp");
    for (int i = 0; i < 3; ++i)
        form->GetPicInfoObject(i)->Stretch = false;
    Select({0, 1});
    LaterOnModalForm<TExtPicPrefsDlg>([&](TExtPicPrefsDlg& dialog) {
        EXPECT_FALSE(dialog.UserPlacementBtn->Enabled());
        dialog.UserSizeCheck->SetChecked(true);
        dialog.UserPlacementCheck->SetChecked(true);
        EXPECT_TRUE(dialog.UserPlacementBtn->Enabled());
        EXPECT_FALSE(dialog.UserSizeCheck->Checked()) << "a placement of its own sets the size too";
        EXPECT_EQ(dialog.WorkingCopy().SizePercent, pNone);
        LaterOnModalForm<TPicPlacementDlg>([](TPicPlacementDlg& placement) {
            EXPECT_EQ(placement.Caption(), "Bild(er) plazieren");
            EXPECT_EQ(placement.SizeRect, nullptr);
            ASSERT_NE(placement.SizeRectDoubleBuffer, nullptr);
            EXPECT_EQ(placement.SizeRectDoubleBuffer->Picture().Width(), 64) << "the picture itself is placed";
            placement.SizeRectDoubleBuffer->SetBoundsRect(Rect(80, 0, 320, 240));
            placement.OKBtn->Click();
        });
        dialog.UserPlacementBtn->Click();
        dialog.OKBtn->Click();
    });
    form->SpecPlacementBtn->Click();
    for (int i : {0, 1}) {
        const TPicInfoObject& picture = *form->GetPicInfoObject(i);
        EXPECT_EQ(picture.Placement, spUser) << i;
        EXPECT_EQ(picture.PicPlacement, (TPlacementRectExt{0.25, 0, 1, 1})) << i;
        EXPECT_TRUE(picture.Stretch) << i;
    }
    EXPECT_FALSE(form->GetPicInfoObject(2)->Stretch);
}

} // namespace

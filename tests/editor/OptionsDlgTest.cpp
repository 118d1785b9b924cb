#include "editor/app/OptionsDlg.h"

#include <functional>
#include <memory>
#include <vector>

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/JPEGCompressionDlgForm.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"
#include "widgets/Spin.h"

namespace {

// A preference switch and the control that shows it.
struct TBoolBinding {
    bool* Variable;
    TCheckBox* TOptionsDlg::*Control;
};

const std::vector<TBoolBinding>& BoolBindings()
{
    static const std::vector<TBoolBinding> bindings = {
        {&VisteloSetup::ShowPreview, &TOptionsDlg::ShowPreviewCheck},
        {&VisteloSetup::KeepPreviewProportions, &TOptionsDlg::KeepPreviewProportionsCheck},
        {&Setup::SmoothScale, &TOptionsDlg::SmoothScaleCheck},
        {&VisteloSetup::ConfirmExit, &TOptionsDlg::ConfirmExitCheck},
        {&VisteloSetup::DoublePicsCheck, &TOptionsDlg::DoublePicsCheckBtn},
        {&VisteloSetup::AnimateLogo, &TOptionsDlg::AnimateLogoCheck},
        {&Setup::HideMouseCursor, &TOptionsDlg::HideMouseCursorCheck},
        {&Setup::ShowErrorInShow, &TOptionsDlg::ShowErrorInShowCheck},
        {&Setup::ForceUseInternalMP3Player, &TOptionsDlg::ForceUseInternalMP3PlayerCheck},
        {&Setup::DragManyPicsUseFilenames, &TOptionsDlg::DragManyPicsUseFilenamesCheck},
        {&VisteloSetup::CatalogSaveThumbNailsInVistelo, &TOptionsDlg::SaveThumbNailsCheck},
        {&Setup::CatalogShowFilename, &TOptionsDlg::ShowThumbFilenamesCheck},
        {&Setup::CatalogMarkDropTarget, &TOptionsDlg::MarkDropTargetCheck},
        {&Setup::CatalogMarkDontShow, &TOptionsDlg::CatalogMarkDontShowCheck},
        {&Setup::stdRandomOrder, &TOptionsDlg::StdRandomOrderCheck},
        {&Setup::stdShowNoDescription, &TOptionsDlg::StdShowNoDescriptionCheck},
        {&Setup::stdStartFullScreen, &TOptionsDlg::StdStartFullScreenCheck},
        {&Setup::stdShowNavigationBar, &TOptionsDlg::StdShowNavigationBarCheck},
        {&Setup::stdShowCommentsBox, &TOptionsDlg::StdShowCommentsBoxCheck},
        {&Setup::stdShowFilenameInNavigationBar, &TOptionsDlg::StdShowFilenameInNavigationBarCheck},
    };
    return bindings;
}

class OptionsDlgTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        for (const TBoolBinding& binding : BoolBindings())
            savedBools_.push_back(*binding.Variable);
        savedDragFilenames_ = Setup::DragFilenames;
        savedThumb_ = {Setup::CatalogThumbWidth, Setup::CatalogThumbHeight, Setup::stdPause};
        savedCompression_ = VisteloSetup::CatalogThumbnailJPEGCompression;
        savedHomeDir_ = Setup::HomeDir;
        Setup::HomeDir = scratch_.Path("");
    }
    void TearDown() override
    {
        for (size_t i = 0; i < BoolBindings().size(); ++i)
            *BoolBindings()[i].Variable = savedBools_[i];
        Setup::DragFilenames = savedDragFilenames_;
        Setup::CatalogThumbWidth = savedThumb_[0];
        Setup::CatalogThumbHeight = savedThumb_[1];
        Setup::stdPause = savedThumb_[2];
        VisteloSetup::CatalogThumbnailJPEGCompression = savedCompression_;
        Setup::HomeDir = savedHomeDir_;
        UiTest::TearDown();
    }

    bool Run(const std::function<void(TOptionsDlg&)>& during, TOptionsPage page = opProgram)
    {
        LaterOnModalForm<TOptionsDlg>(during);
        return TOptionsDlg::Execute(nullptr, page);
    }

    EditorScratch scratch_;

private:
    std::vector<bool> savedBools_;
    bool savedDragFilenames_ = true;
    std::vector<std::int32_t> savedThumb_;
    TJPEGCompressionWord savedCompression_ = 0;
    std::string savedHomeDir_;
};

TEST_F(OptionsDlgTest, EveryControlShowsItsPreferenceAndOkWritesItBack)
{
    for (const bool value : {true, false}) {
        for (const TBoolBinding& binding : BoolBindings())
            *binding.Variable = value;
        Setup::DragFilenames = !value; // the many-pictures switch is open only for pictures
        Setup::CatalogThumbWidth = value ? 120 : 10;
        Setup::CatalogThumbHeight = value ? 90 : 1000;
        Setup::stdPause = value ? 7000 : 1;
        std::vector<bool> shown;
        EXPECT_TRUE(Run([&](TOptionsDlg& dialog) {
            EXPECT_EQ(dialog.PageControl->ActivePage(), dialog.ProgramSheet);
            for (const TBoolBinding& binding : BoolBindings()) {
                shown.push_back((dialog.*binding.Control)->Checked());
                // Flipped, so that OK has something to write.
                (dialog.*binding.Control)->SetChecked(!value);
            }
            EXPECT_EQ(dialog.DragPicturesCheck->Checked(), value);
            EXPECT_EQ(dialog.ThumbWidthEdit->GetIntValue(), value ? 120 : 10);
            EXPECT_EQ(dialog.ThumbHeightEdit->GetIntValue(), value ? 90 : 1000);
            EXPECT_EQ(dialog.StdPauseSpinEdit->GetIntValue(), value ? 7000 : 1);
            dialog.DragFilenamesCheck->SetChecked(value);
            dialog.ThumbWidthEdit->SetValue(333);
            dialog.ThumbHeightEdit->SetValue(222);
            dialog.StdPauseSpinEdit->SetValue(4500);
            dialog.OKBtn->Click();
        }));
        EXPECT_EQ(shown, std::vector<bool>(BoolBindings().size(), value));
        for (size_t i = 0; i < BoolBindings().size(); ++i)
            EXPECT_EQ(*BoolBindings()[i].Variable, !value) << "binding " << i;
        EXPECT_EQ(Setup::DragFilenames, value);
        EXPECT_EQ(Setup::CatalogThumbWidth, 333);
        EXPECT_EQ(Setup::CatalogThumbHeight, 222);
        EXPECT_EQ(Setup::stdPause, 4500);
    }
}

TEST_F(OptionsDlgTest, CancelWritesNothingButAnAcceptedCompressionStays)
{
    VisteloSetup::CatalogThumbnailJPEGCompression = 0x1E00;
    VisteloSetup::ConfirmExit = false;
    EXPECT_FALSE(Run([&](TOptionsDlg& dialog) {
        dialog.ConfirmExitCheck->SetChecked(true);
        LaterOnModalForm<TJPEGCompressPrefsForm>([](TJPEGCompressPrefsForm& jpeg) {
            jpeg.TrackBar->SetPosition(11); // quality 90
            jpeg.TrackBarChange(jpeg.TrackBar);
            jpeg.OKBtn->Click();
        });
        dialog.ThumbnailCompressionBtn->Click();
        dialog.CancelBtn->Click();
    }));
    EXPECT_FALSE(VisteloSetup::ConfirmExit);
    EXPECT_EQ(VisteloSetup::CatalogThumbnailJPEGCompression, 0x5A00);
}

TEST_F(OptionsDlgTest, LimitsEnablingAndTheTabToOpenAt)
{
    Setup::DragFilenames = true;
    VisteloSetup::ShowPreview = false;
    EXPECT_FALSE(Run(
        [&](TOptionsDlg& dialog) {
            EXPECT_EQ(dialog.Caption(), "Einstellungen");
            EXPECT_EQ(dialog.PageControl->ActivePage(), dialog.CatalogSheet);
            EXPECT_EQ(dialog.PageControl->PageCount(), 4);
            EXPECT_EQ(dialog.CatalogSheet->Caption(), "Katalog");
            EXPECT_EQ(dialog.ThumbWidthEdit->MinValue, 10);
            EXPECT_EQ(dialog.ThumbHeightEdit->MaxValue, 1000);
            EXPECT_EQ(dialog.StdPauseSpinEdit->MinValue, 1);
            EXPECT_EQ(dialog.StdPauseSpinEdit->MaxValue, 999999999);
            EXPECT_EQ(dialog.StdPauseSpinEdit->Increment, 500);
            EXPECT_FALSE(dialog.KeepPreviewProportionsCheck->Visible());
            EXPECT_FALSE(dialog.KeepPreviewProportionsCheck->Enabled());
            dialog.ShowPreviewCheck->SetChecked(true);
            EXPECT_TRUE(dialog.KeepPreviewProportionsCheck->Enabled());
            EXPECT_FALSE(dialog.DragManyPicsUseFilenamesCheck->Enabled());
            dialog.DragPicturesCheck->SetChecked(true);
            EXPECT_TRUE(dialog.DragManyPicsUseFilenamesCheck->Enabled());
            dialog.DragFilenamesCheck->SetChecked(true);
            EXPECT_FALSE(dialog.DragManyPicsUseFilenamesCheck->Enabled());
            dialog.CancelBtn->Click();
        },
        opCatalog));
}

TEST_F(OptionsDlgTest, TheMainWindowsCommandOpensItAndOkSwitchesTheLogo)
{
    VisteloSetup::AnimateLogo = true;
    std::unique_ptr<TAAForm> main(new TAAForm(nullptr));
    main->StartTimerTimer(nullptr);
    ASSERT_TRUE(main->LogoAnimate->Active());
    const std::int32_t showPause = main->Document->Pause;
    TMenuItem* item = main->MainMenu->Items().Find("Optionen")->Find("Programm-Einstellungen...");
    ASSERT_NE(item, nullptr);
    bool opened = false;
    LaterOnModalForm<TOptionsDlg>([&](TOptionsDlg& dialog) {
        opened = true;
        dialog.AnimateLogoCheck->SetChecked(false);
        dialog.StdPauseSpinEdit->SetValue(showPause + 1500);
        dialog.OKBtn->Click();
    });
    item->Click();
    EXPECT_TRUE(opened);
    EXPECT_FALSE(main->LogoAnimate->Active());
    EXPECT_EQ(Setup::stdPause, showPause + 1500);
    EXPECT_EQ(main->Document->Pause, showPause) << "the open show keeps its pause";
}

} // namespace

// The HTML export assistant and its small dialogs: the rules between its
// checks, colour input, the example link, extension lists, presets, the run
// from the last page with the closing question, and the editor command.

#include "editor/tools/HtmlAssistentUnit.h"

#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/ToolHooks.h"
#include "editor/controls/ComboEdit.h"
#include "editor/controls/DirectoryEdit.h"
#include "editor/tools/HTMLSmallDialogs.h"
#include "editor/tools/SmallEditor.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Jpeg.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

#include <filesystem>

#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"

namespace fs = std::filesystem;

namespace {

class HtmlAssistentTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        fs::create_directories(scratch.Path("bilder"));
        for (const char* name : {"a.jpg", "b.jpg"}) {
            TBitmap bitmap(40, 30, pf24bit);
            bitmap.Canvas().Brush.Color = clGreen;
            bitmap.Canvas().FillRect({0, 0, 40, 30});
            TJPEGImage jpeg;
            jpeg.Assign(&bitmap);
            jpeg.SaveToFile(scratch.Path(std::string("bilder/") + name));
            TPicInfoObject entry;
            entry.FileName = scratch.Path(std::string("bilder/") + name);
            entry.ShowImage = true;
            show.AddDia(entry);
        }
        PicInfoUnit::PicInfoAccessMethod = paVistelo;
        PicInfoUnit::AccessVistelo = &show;
        form = std::make_unique<THTMLAssistent>(nullptr);
        form->FormActivate(form.get());
    }
    void TearDown() override
    {
        watch_.reset();
        form.reset();
        PicInfoUnit::PicInfoAccessMethod = paPicListBox;
        PicInfoUnit::AccessVistelo = nullptr;
        UiTest::TearDown();
    }

    // Runs during once the form of type F is up modally. A timer looks for
    // it: the run lets messages through while it works, and an action posted
    // again and again would keep that loop from ever ending.
    template <class F> void WhenModal(std::function<void(F&)> during)
    {
        watch_ = std::make_unique<TTimer>(nullptr);
        watch_->SetInterval(10);
        watch_->OnTimer = [this, during](TObject*) {
            if (F* modal = ModalForm<F>()) {
                watch_->SetEnabled(false);
                during(*modal);
            }
        };
        watch_->SetEnabled(true);
    }

    std::unique_ptr<TTimer> watch_;
    EditorScratch scratch;
    TVistelo show;
    std::unique_ptr<THTMLAssistent> form;
};

TEST_F(HtmlAssistentTest, NeitherBothPageKindsNorBothIndexEntriesCanBeOff)
{
    form->TabIndexCheck->SetChecked(false);
    EXPECT_FALSE(form->Preset->TabIndex);
    EXPECT_FALSE(form->TabIndexPage->TabVisible());
    form->PicturePageCheck->SetChecked(false);
    EXPECT_TRUE(form->TabIndexCheck->Checked()) << "the other kind is checked again";
    EXPECT_TRUE(form->Preset->TabIndex);
    EXPECT_FALSE(form->Preset->PicturePage);
    EXPECT_FALSE(form->PicturePage->TabVisible());

    form->ShowThumbNailsCheck->SetChecked(false);
    EXPECT_TRUE(form->ShowPicNamesCheck->Checked());
    EXPECT_FALSE(form->ThumbNailOptionsBtn->Enabled());
    form->ShowPicNamesCheck->SetChecked(false);
    EXPECT_TRUE(form->ShowThumbNailsCheck->Checked());
    EXPECT_TRUE(form->Preset->ShowThumbNails);
    EXPECT_FALSE(form->Preset->ShowPicNames);
}

TEST_F(HtmlAssistentTest, WithoutPicturePagesTheShadowIsOffAndConversionForced)
{
    form->ShowPage(2); // the conversion page
    form->GenerateShadowCheck->SetChecked(true);
    EXPECT_TRUE(form->Preset->GenerateShadow);
    form->PicturePageCheck->SetChecked(false);
    EXPECT_FALSE(form->GenerateShadowCheck->Enabled());
    EXPECT_TRUE(form->ConvertCheck->Checked());
    EXPECT_FALSE(form->GenerateShadowCheck->Checked());
    EXPECT_FALSE(form->Preset->GenerateShadow);
}

TEST_F(HtmlAssistentTest, ABadColourCodeIsReportedAndThePreviousOneComesBack)
{
    form->BGColorEdit->SetText("#12345");
    form->CheckHTMLColorInput(form->BGColorEdit);
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, HtmlAssistent::BadColorInputText);
    EXPECT_EQ(form->BGColorEdit->Text(), "#C0C0C0");
    EXPECT_EQ(form->Preset->BGColor, 0x00C0C0C0);

    form->LinkColorEdit->SetText("#00ff00");
    form->CheckHTMLColorInput(form->LinkColorEdit);
    EXPECT_EQ(form->Preset->LinkColor, 0x0000FF00);
    EXPECT_EQ(form->LinkColorEdit->Text(), "#00FF00");
    EXPECT_EQ(form->LinkColorEdit->Color(), 0x0000FF00);
    EXPECT_EQ(form->ExLinkLabel->Font().Color(), 0x0000FF00);
    EXPECT_EQ(ui::RecordedDialogs().size(), 1u);
}

TEST_F(HtmlAssistentTest, TheExampleLinkShowsItsThreeColours)
{
    form->ExLinkLabelMouseDown();
    EXPECT_EQ(form->ExLinkLabel->Font().Color(), form->Preset->ALinkColor);
    form->ExLinkLabelMouseUp();
    EXPECT_EQ(form->ExLinkLabel->Font().Color(), form->Preset->VLinkColor);
    EXPECT_TRUE(form->ExLinkTimer->Enabled());
    EXPECT_EQ(form->ExLinkTimer->Interval(), 5000u);
    form->ExLinkTimerTimer(form->ExLinkTimer);
    EXPECT_EQ(form->ExLinkLabel->Font().Color(), form->Preset->LinkColor);
    EXPECT_FALSE(form->ExLinkTimer->Enabled());
}

TEST_F(HtmlAssistentTest, MovedExtensionsRebuildTheLists)
{
    form->ShowPage(2);
    ASSERT_EQ(form->CopyExtListBox->Items().Count(), 2);
    form->CopyExtListBox->SetSelected(1, true); // sorted: JPEG, JPG
    form->AddConvertExitClick(nullptr);
    EXPECT_EQ(form->Preset->CopyExts, "JPEG;");
    EXPECT_NE(form->Preset->ConvertExts.find("JPG;"), std::string::npos);
    form->DelAllConvertExtBtnClick(nullptr);
    EXPECT_EQ(form->Preset->ConvertExts, "");
    EXPECT_EQ(form->CopyExtListBox->Items().Count(), 35);
    form->AddAllConvertExtBtnClick(nullptr);
    EXPECT_EQ(form->Preset->CopyExts, "");
}

TEST_F(HtmlAssistentTest, ALoadedPresetRefreshesEveryPage)
{
    TMyHTMLPreset other;
    other.TabHeadLine = "Urlaub";
    other.PicturePage = false;
    other.TextColor = 0x000000FF;
    other.MainDir = "/tmp/anders";
    other.ConvertExts = "BMP;";
    const std::string file = scratch.Path("x.HTMLPreset");
    other.SaveToFile(file);
    form->HTMLPageControl->SetActivePageIndex(1);
    ui::ScriptAnswer(IDOK, file);
    form->LoadPresetBtnClick(nullptr);
    EXPECT_EQ(form->TabHeadLineEdit->Text(), "Urlaub");
    EXPECT_FALSE(form->PicturePageCheck->Checked());
    EXPECT_EQ(form->TextColorEdit->Text(), "#FF0000");
    EXPECT_EQ(form->MainDirEdit->Text(), "/tmp/anders");
    EXPECT_EQ(form->ConvertExtListBox->Items().Count(), 1);
    EXPECT_EQ(form->OpenPresetDialog->Title, "HTML-Einstellungungen laden");

    ui::ScriptAnswer(IDOK, scratch.Path("y.HTMLPreset"));
    form->SavePresetBtnClick(nullptr);
    TMyHTMLPreset saved;
    saved.LoadFromFile(scratch.Path("y.HTMLPreset"));
    EXPECT_EQ(saved.TabHeadLine, "Urlaub");
}

TEST_F(HtmlAssistentTest, NavigationWalksThePagesAndFinishJumpsToTheLast)
{
    EXPECT_FALSE(form->BackBtn->Enabled());
    form->NextBtnClick(nullptr);
    EXPECT_EQ(form->PageControl->ActivePage(), form->TabSheet1);
    EXPECT_TRUE(form->BackBtn->Enabled());
    form->GotoCreateWebPageBtnClick(nullptr);
    EXPECT_EQ(form->PageControl->ActivePage(), form->ReadyTabSheet);
    EXPECT_FALSE(form->NextBtn->Enabled());
    EXPECT_FALSE(form->GotoCreateWebPageBtn->Enabled());
}

TEST_F(HtmlAssistentTest, AnEmptyListSaysSoAndLeavesOnlyCancel)
{
    TVistelo empty;
    PicInfoUnit::AccessVistelo = &empty;
    ui::ClearRecordedDialogs();
    form->FormActivate(form.get());
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, HtmlAssistent::NoPicturesText);
    EXPECT_FALSE(form->NextBtn->Enabled());
    EXPECT_FALSE(form->LoadPresetBtn->Enabled());
    EXPECT_FALSE(form->GotoCreateWebPageBtn->Enabled());
}

TEST_F(HtmlAssistentTest, CreatingThePagesAsksAndCanOpenTheBrowser)
{
    form->Preset->MainDir = scratch.Path("web");
    // The run lets messages through while it works, so the answer waits
    // until the question is up.
    WhenModal<THTMLExitDlg>([](THTMLExitDlg& exit) {
        EXPECT_EQ(exit.TextLabel->Caption(), HTMLSmallDialogs::ExitText);
        exit.StartBrowserBtn->Click();
        EXPECT_TRUE(exit.Visible()) << "the dialog stays open";
        exit.NoBtn->Click();
    });
    form->CreateWebPageBtnClick(nullptr);
    EXPECT_FALSE(form->Busy);
    EXPECT_TRUE(fs::exists(scratch.Path("web/index.htm")));
    EXPECT_TRUE(fs::exists(scratch.Path("web/html/p2.htm")));
    EXPECT_EQ(form->FirstPageName, "p1.htm");
    ASSERT_EQ(scratch.Launches.size(), 1u);
    EXPECT_EQ(scratch.Launches[0].Arguments,
              (std::vector<std::string>{"xdg-open", "file://" + scratch.Path("web/index.htm")}));
    EXPECT_EQ(form->Preset->MainDir, scratch.Path("web"));
}

TEST(HtmlAssistentCommand, TheEditorsCommandHasItsWindow)
{
    EXPECT_TRUE(static_cast<bool>(ToolHooks::HTMLAssistent()));
}

class HtmlSmallDialogsTest : public UiTest { };

TEST_F(HtmlSmallDialogsTest, NavigationTemplatesMustHoldOnePlaceholder)
{
    TMyHTMLPreset preset;
    THTMLFormatNavigationLinks dialog(nullptr, preset, nullptr);
    EXPECT_EQ(dialog.NavPrevEdit->Text(), HTMLPreset::DefaultNavPrevLink);
    for (const char* bad : {"<A HREF=\"x\">ohne</A>", "%s%s", "%n%s", "%d"}) {
        ui::ClearRecordedDialogs();
        dialog.NavNextEdit->SetText(bad);
        dialog.Button1Click(nullptr);
        ASSERT_EQ(ui::RecordedDialogs().size(), 1u) << bad;
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, HTMLSmallDialogs::FormatErrorText);
        EXPECT_EQ(dialog.ModalResult, mrNone);
        EXPECT_EQ(preset.NavNextLink, HTMLPreset::DefaultNavNextLink);
    }
    dialog.NavNextEdit->SetText("100%% <A HREF=\"%s\">weiter</A>");
    dialog.NavCenterCheck->SetChecked(true);
    dialog.Button1Click(nullptr);
    EXPECT_EQ(dialog.ModalResult, mrOk);
    EXPECT_EQ(preset.NavNextLink, "100%% <A HREF=\"%s\">weiter</A>");
    EXPECT_TRUE(preset.NavCenter);
}

TEST_F(HtmlSmallDialogsTest, ThumbnailSizesFollowTheGroupAndTypingChoosesOther)
{
    TMyHTMLPreset preset;
    TThumbNailSizeDlg dialog(nullptr, preset);
    EXPECT_EQ(dialog.ThumbNailSizeGroup->Items().Strings(2), "100x100");
    EXPECT_EQ(dialog.ThumbNailSizeGroup->ItemIndex(), 4);
    dialog.ThumbNailSizeGroup->SetItemIndex(2);
    dialog.ThumbNailSizeGroupClick(nullptr);
    EXPECT_EQ(dialog.ThumbNailWidthEdit->Value(), 100);
    EXPECT_EQ(dialog.ThumbNailHeightEdit->Value(), 100);
    EXPECT_EQ(dialog.ThumbNailSizeGroup->ItemIndex(), 2);
    dialog.ThumbNailWidthEdit->SetValue(90);
    EXPECT_EQ(dialog.ThumbNailSizeGroup->ItemIndex(), 4);
    dialog.ShadowCheck->SetChecked(false);
    EXPECT_FALSE(dialog.ShadowWidthEdit->Enabled());
    dialog.OKBtnClick(nullptr);
    EXPECT_EQ(preset.ThumbWidth, 90);
    EXPECT_EQ(preset.ThumbHeight, 100);
    EXPECT_FALSE(preset.ThumbShadow);
}

TEST_F(HtmlSmallDialogsTest, TheEditorShowsTheCaretFromOneAndGivesBackTheText)
{
    TSmallEditor editor(nullptr);
    editor.Text = "Zeile eins\r\nzwei";
    std::string status;
    LaterOnModalForm<TEditorForm>([&](TEditorForm& window) {
        window.Editor->SetSelStart(0);
        window.UpdateCaretStatus();
        status = window.StatusBar->Panels(0).Text;
        window.Editor->SetSelStart(13);
        window.UpdateCaretStatus();
        status += " / " + window.StatusBar->Panels(0).Text;
        window.Editor->SetText("neu");
        window.Button1->Click();
    });
    EXPECT_TRUE(editor.Execute());
    EXPECT_EQ(status, "1: 1 / 2: 3");
    EXPECT_EQ(editor.Text, "neu");
}

} // namespace

#include "editor/controls/JPEGCompressionDlg.h"

#include <functional>
#include <memory>

#include "editor/controls/JPEGCompressionDlgForm.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "tests/ui/UiFixture.h"

namespace {

class JPEGCompressionDlgTest : public UiTest {
protected:
    // Runs `during` on the dialog's form once it is up; `during` closes it.
    bool Run(TJPEGCompressionDlg& dialog, const std::function<void(TJPEGCompressPrefsForm&)>& during)
    {
        LaterOnModalForm<TJPEGCompressPrefsForm>(during);
        return dialog.Execute();
    }
};

TEST_F(JPEGCompressionDlgTest, TrackPositionsMapToQualitiesFromTheLeftEnd)
{
    const struct {
        int position, quality;
    } table[] = {{1, 100}, {100, 1}, {30, 71}, {31, 70}};
    for (const auto& t : table) {
        EXPECT_EQ(JPEGCompressionDlgForm::QualityOfPosition(t.position), t.quality);
        EXPECT_EQ(JPEGCompressionDlgForm::PositionOfQuality(t.quality), t.position);
    }
    TJPEGCompressPrefsForm form(nullptr);
    EXPECT_EQ(form.Caption(), "JPEG-Kompression");
    EXPECT_EQ(form.TrackBar->Position(), 30) << "a new form starts at quality 71";
    EXPECT_EQ(form.PercentLabel->Caption(), "30%");
    EXPECT_EQ(form.ClientHeight(), 356);
    form.SetPreviewVisible(false);
    EXPECT_EQ(form.ClientHeight(), 162);
}

TEST_F(JPEGCompressionDlgTest, OkTakesTheChosenSettingsAndCancelKeepsTheOldOnes)
{
    TJPEGCompressionDlg dialog(nullptr);
    EXPECT_EQ(dialog.CompressionWord, 0x4600);
    TJPEGImage picture;
    TBitmap source(40, 30);
    picture.Assign(&source);
    dialog.SetJPEG(&picture);
    dialog.CompressionWord = 0x4601; // quality 70, progressive

    int shownPosition = 0;
    bool shownProgressive = false;
    EXPECT_TRUE(Run(dialog, [&](TJPEGCompressPrefsForm& form) {
        shownPosition = form.TrackBar->Position();
        shownProgressive = form.ProgressiveCheck->Checked();
        form.TrackBar->SetPosition(11); // quality 90
        form.TrackBarChange(form.TrackBar);
        form.ProgressiveCheck->SetChecked(false);
        form.OKBtn->Click();
    }));
    EXPECT_EQ(shownPosition, 31);
    EXPECT_TRUE(shownProgressive);
    EXPECT_EQ(dialog.CompressionWord, 0x5A00);
    EXPECT_EQ(picture.CompressionQuality, 90) << "the JPEG keeps the chosen settings";

    EXPECT_FALSE(Run(dialog, [&](TJPEGCompressPrefsForm& form) {
        form.TrackBar->SetPosition(100);
        form.TrackBarChange(form.TrackBar);
        form.CancelBtn->Click();
    }));
    EXPECT_EQ(dialog.CompressionWord, 0x5A00);
    EXPECT_EQ(picture.CompressionQuality, 90);

    dialog.AutoSetCompression = false;
    EXPECT_TRUE(Run(dialog, [&](TJPEGCompressPrefsForm& form) {
        form.TrackBar->SetPosition(51);
        form.TrackBarChange(form.TrackBar);
        form.OKBtn->Click();
    }));
    EXPECT_EQ(dialog.CompressionWord, 0x3200);
    EXPECT_EQ(picture.CompressionQuality, 90) << "without AutoSetCompression the JPEG gets its settings back";
    dialog.SetJPEG(nullptr);
}

TEST_F(JPEGCompressionDlgTest, PreviewsAreComputedOnlyWhenAskedFor)
{
    TJPEGCompressionDlg dialog(nullptr);
    std::string before, afterButton, automatic;
    bool buttonEnabledWithAuto = true;
    dialog.AutoPreview = false;
    EXPECT_TRUE(Run(dialog, [&](TJPEGCompressPrefsForm& form) {
        before = form.KBLabel->Caption();
        form.PreviewBtn->Click();
        afterButton = form.KBLabel->Caption();
        form.PreviewCheck->SetChecked(true);
        buttonEnabledWithAuto = form.PreviewBtn->Enabled();
        form.TrackBar->SetPosition(90);
        form.TrackBarChange(form.TrackBar);
        automatic = form.KBLabel->Caption();
        form.OKBtn->Click();
    }));
    EXPECT_EQ(before, "") << "no preview until asked";
    EXPECT_NE(afterButton.find(" % kleiner"), std::string::npos) << afterButton;
    EXPECT_FALSE(buttonEnabledWithAuto);
    EXPECT_NE(automatic, afterButton) << "moving the bar recomputes";
    EXPECT_TRUE(dialog.AutoPreview) << "the automatic preview goes back on OK";

    dialog.Preview = false;
    int height = 0;
    std::string label = "x";
    EXPECT_TRUE(Run(dialog, [&](TJPEGCompressPrefsForm& form) {
        height = form.ClientHeight();
        form.PreviewBtn->Click();
        label = form.KBLabel->Caption();
        form.OKBtn->Click();
    }));
    EXPECT_EQ(height, 162);
    EXPECT_EQ(label, "") << "a hidden preview is never computed";
}

TEST_F(JPEGCompressionDlgTest, TheOwnTestPictureStaysTheComponentsOwnAcrossCalls)
{
    TJPEGCompressionDlg dialog(nullptr);
    auto close = [](TJPEGCompressPrefsForm& form) { form.CancelBtn->Click(); };
    Run(dialog, close);
    ASSERT_NE(dialog.JPEG(), nullptr);
    EXPECT_TRUE(dialog.OwnsJPEG());
    TJPEGImage* own = dialog.JPEG();
    EXPECT_EQ(own->Width(), 93);
    EXPECT_EQ(own->Height(), 109);
    Run(dialog, close);
    EXPECT_EQ(dialog.JPEG(), own) << "the second call reuses it";
    EXPECT_TRUE(dialog.OwnsJPEG()) << "and still frees it";

    TJPEGImage mine;
    dialog.SetJPEG(&mine); // frees the test picture (the leak check would see it otherwise)
    EXPECT_FALSE(dialog.OwnsJPEG());
    dialog.SetJPEG(nullptr);
}

TEST_F(JPEGCompressionDlgTest, TheTestPictureIsAColourFanWithItsWord)
{
    TBitmap picture;
    JPEGCompressionDlgForm::MakeTestPicture(picture);
    ASSERT_EQ(picture.Width(), 93);
    ASSERT_EQ(picture.Height(), 109);
    // The corners lie in triangles of different hues.
    EXPECT_NE(picture.Canvas().Pixels(2, 2), picture.Canvas().Pixels(90, 106));
    EXPECT_NE(picture.Canvas().Pixels(90, 2), picture.Canvas().Pixels(2, 106));
    int white = 0;
    for (int x = 0; x < 93; ++x)
        white += picture.Canvas().Pixels(x, 54) == clWhite;
    EXPECT_GT(white, 3) << "the white text crosses the middle row";
}

} // namespace

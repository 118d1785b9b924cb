#include <gtest/gtest.h>

#include <functional>

#include "editor/app/VisteloSetup.h"
#include "editor/tools/AskBC.h"
#include "editor/tools/AskDegrees.h"
#include "editor/tools/AskGamma.h"
#include "editor/tools/AskRGB.h"
#include "editor/tools/VexaPaintPicture.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "tests/ui/UiFixture.h"
#include "widgets/Spin.h"

namespace {

class AdjustDialogsTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        TBitmap grey(4, 2);
        for (int y = 0; y < 2; ++y)
            for (int i = 0; i < 12; ++i)
                grey.ScanLine(y)[i] = 100;
        picture.OnUndoChanged = [this](bool canUndo) { undoButton = canUndo; };
        picture.Reset(grey);
        picture.MirrorVertical(); // an earlier step the user could undo
    }

    // Runs `during` on the modal form of type Form once it shows.
    template <class Form> void During(const std::function<void(Form&)>& during)
    {
        timer_ = std::make_unique<TTimer>(nullptr);
        timer_->SetInterval(20);
        timer_->OnTimer = [this, during](TObject*) {
            for (int i = 0; i < Screen->FormCount(); ++i)
                if (auto* form = dynamic_cast<Form*>(Screen->Forms(i)); form && form->Modal()) {
                    timer_->SetEnabled(false);
                    during(*form);
                    return;
                }
        };
    }

    std::uint8_t Shown() { return picture.Bitmap().ScanLine(1)[4]; }

    TVexaPaintPicture picture;
    bool undoButton = false;
    std::unique_ptr<TTimer> timer_;
};

} // namespace

TEST_F(AdjustDialogsTest, PreviewsReplaceEachOtherAndCancelTakesTheLastOneBack)
{
    int red = 0, green = 0, blue = 0;
    std::uint8_t first = 0, second = 0;
    During<TAskRGBForm>([&](TAskRGBForm& form) {
        EXPECT_EQ(form.Caption(), "Rot/Grün/Blau-Korrektur");
        EXPECT_FALSE(form.AutoPreviewCheck->Checked());
        form.RedTrack->SetPosition(20);
        form.GreenTrack->SetPosition(20);
        form.PreviewButton->Click();
        first = Shown();
        form.GreenTrack->SetPosition(-30);
        form.PreviewButton->Click();
        second = Shown();
        form.CancelButton->Click();
    });
    EXPECT_FALSE((new TAskRGBForm(nullptr, &picture))->Execute(red, green, blue));
    EXPECT_EQ(first, 120);
    EXPECT_EQ(second, 70) << "the second preview starts from the picture, not from the first preview";
    EXPECT_EQ(Shown(), 100);
    EXPECT_EQ(red, 0);
    EXPECT_FALSE(undoButton) << "the dialog used up the undo copy";
}

TEST_F(AdjustDialogsTest, OkReturnsTheValuesWithThePictureAsBefore)
{
    int brightness = 5, contrast = -5;
    bool storedAuto = false;
    During<TAskBCForm>([&](TAskBCForm& form) {
        EXPECT_EQ(form.BrightnessTrack->Position(), 5);
        EXPECT_EQ(form.ContrastTrack->Position(), -5);
        form.AutoPreviewCheck->SetChecked(true); // a click: previews and stores
        storedAuto = VisteloSetup::VexaPaintAutoPreview;
        form.BrightnessTrack->SetPosition(100);
        form.BrightnessTrack->OnChange(form.BrightnessTrack); // the user moved it
        EXPECT_EQ(Shown(), 255);
        form.OKButton->Click();
    });
    EXPECT_TRUE((new TAskBCForm(nullptr, &picture))->Execute(brightness, contrast));
    EXPECT_TRUE(storedAuto);
    EXPECT_EQ(brightness, 100);
    EXPECT_EQ(contrast, -5);
    EXPECT_EQ(Shown(), 100) << "the editor applies the values itself";
    VisteloSetup::VexaPaintAutoPreview = false;
}

TEST_F(AdjustDialogsTest, WithoutUndoThereIsNoPreview)
{
    TVexaPaintPicture noUndo;
    noUndo.Reset(picture.Bitmap());
    // An undo copy that cannot be made switches undo off for good.
    struct Off : TPreviewTarget {
        bool UndoEnabled() const override { return false; }
        void Undo() override { ADD_FAILURE(); }
        void DropUndo() override { ADD_FAILURE(); }
        void ApplyRGB(int, int, int) override { ADD_FAILURE(); }
        void ApplyBC(int, int) override { ADD_FAILURE(); }
        void ApplyGamma(double, double, double, bool) override { ADD_FAILURE(); }
    } target;
    double r = 1, g = 1, b = 1;
    bool invert = false;
    During<TAskGammaForm>([&](TAskGammaForm& form) {
        EXPECT_FALSE(form.PreviewButton->Enabled());
        EXPECT_FALSE(form.AutoPreviewCheck->Enabled());
        form.Preview();
        form.OKButton->Click();
    });
    EXPECT_TRUE((new TAskGammaForm(nullptr, &target))->Execute(r, g, invert, b));
}

TEST_F(AdjustDialogsTest, GammaTracksShowHundredthsAndCanMoveTogether)
{
    double red = 1.234, green = 4.0, blue = 0.005;
    bool invert = false;
    int previews = 0;
    struct Counting : TPreviewTarget {
        int* count;
        bool UndoEnabled() const override { return true; }
        void Undo() override { }
        void DropUndo() override { }
        void ApplyRGB(int, int, int) override { }
        void ApplyBC(int, int) override { }
        void ApplyGamma(double, double, double, bool) override { ++*count; }
    } target;
    target.count = &previews;
    During<TAskGammaForm>([&](TAskGammaForm& form) {
        EXPECT_EQ(form.RedTrack->Position(), 123);
        EXPECT_EQ(form.GreenTrack->Position(), 400);
        EXPECT_EQ(form.BlueTrack->Position(), 1) << "clamped to the track's least position";
        form.AllEqualCheck->SetChecked(true);
        EXPECT_EQ(form.BlueTrack->Position(), 123) << "switching it on aligns green and blue to red";
        form.GreenTrack->SetPosition(250);
        form.GreenTrack->OnChange(form.GreenTrack);
        EXPECT_EQ(form.RedTrack->Position(), 250);
        EXPECT_EQ(previews, 0) << "no automatic preview yet";
        form.AutoPreviewCheck->SetChecked(true);
        EXPECT_EQ(previews, 1);
        form.InvertCheck->SetChecked(true);
        EXPECT_EQ(previews, 2) << "the invert mode previews too";
        form.AutoPreviewCheck->SetChecked(false);
        EXPECT_EQ(previews, 2) << "switching automatic preview off previews nothing";
        form.OKButton->Click();
    });
    EXPECT_TRUE((new TAskGammaForm(nullptr, &target))->Execute(red, green, invert, blue));
    EXPECT_DOUBLE_EQ(red, 2.5);
    EXPECT_DOUBLE_EQ(green, 2.5);
    EXPECT_DOUBLE_EQ(blue, 2.5);
    EXPECT_TRUE(invert);
    VisteloSetup::VexaPaintAutoPreview = false;
}

TEST_F(AdjustDialogsTest, TheAngleDialogTakesWholeTurnsOffAndReturnsTheColour)
{
    EXPECT_EQ(TAskDegreesForm::AngleOfValue(360), 0);
    EXPECT_EQ(TAskDegreesForm::AngleOfValue(45), 45);
    double angle = 45;
    TColor colour = clBlack;
    During<TAskDegreesForm>([&](TAskDegreesForm& form) {
        EXPECT_EQ(form.Caption(), "Um welchen Winkel soll das Bild gedreht werden?");
        EXPECT_EQ(form.DegreesEdit->Value(), 45);
        form.DegreesEdit->SetValue(360);
        ui::ScriptAnswer(IDOK, "00FF00"); // the colour dialog
        form.ColorPanel->OnClick(form.ColorPanel);
        form.OKButton->Click();
    });
    EXPECT_TRUE((new TAskDegreesForm(nullptr))->Execute(angle, colour));
    EXPECT_EQ(angle, 0);
    EXPECT_EQ(colour, clLime);
    EXPECT_EQ(ui::RecordedDialogs().back().Request.Kind, "ColorDialog");

    angle = 30;
    During<TAskDegreesForm>([&](TAskDegreesForm& form) { form.CancelButton->Click(); });
    EXPECT_FALSE((new TAskDegreesForm(nullptr))->Execute(angle, colour));
    EXPECT_EQ(angle, 30);
}

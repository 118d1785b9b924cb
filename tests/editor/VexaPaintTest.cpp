#include "editor/tools/VexaPaint.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/ToolHooks.h"
#include "editor/tools/VexaPaintView.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "tests/ui/UiFixture.h"

namespace fs = std::filesystem;
using namespace VexaPaintView;

TEST(VexaPaintViewTest, TheZoomLadderSaturatesAndSkipsOneToOneOnlyOnce)
{
    const struct {
        int from, in, out;
    } steps[] = {{-16, -15, -16}, {-2, 1, -3}, {1, 2, -2}, {15, 16, 14}, {16, 16, 15}};
    for (const auto& s : steps) {
        EXPECT_EQ(ZoomIn(s.from), s.in) << s.from;
        EXPECT_EQ(ZoomOut(s.from), s.out) << s.from;
    }
    EXPECT_DOUBLE_EQ(ZoomFactor(-4), 0.25);
}

TEST(VexaPaintViewTest, CaptionsAndStatusTexts)
{
    EXPECT_EQ(Caption(3, "foto.jpg"), "Bild bearbeiten (Vergrößerung 3:1) [foto.jpg]");
    EXPECT_EQ(Caption(-3, "foto.jpg"), "Bild bearbeiten (Vergrößerung 1:3) [foto.jpg]");
    EXPECT_EQ(Caption(1, ""), "Bild bearbeiten (Vergrößerung 1:1)");
    EXPECT_EQ(SizeText(100, 50), "100 x 50 (14,6 KB)");
    EXPECT_EQ(SelectionText(Rect(1, 2, 11, 7)), "(X: 1, Y: 2) -> (X: 11, Y: 7) (10x5)");
    EXPECT_EQ(PointText(3, 4), "(X: 3, Y: 4)");
}

TEST(VexaPaintViewTest, SelectionsAreNormalisedAndKeptInTheBox)
{
    EXPECT_EQ(ToPicture(Rect(30, 41, 10, 19), 2.0), Rect(5, 10, 15, 20)) << "dragged up and left, halves to even";
    EXPECT_EQ(ToScreen(Rect(5, 10, 15, 20), 1.0 / 3), Rect(1, 3, 5, 6));
    EXPECT_EQ(ClampToBox(Rect(50, 60, -5, 200), 40, 100), Rect(40, 60, 0, 100));
}

namespace {

class VexaPaintFormTest : public UiTest {
protected:
    // Runs `during` once the editor shows modally.
    void During(const std::function<void(TVexaPaintForm&)>& during)
    {
        timer_ = std::make_unique<TTimer>(nullptr);
        timer_->SetInterval(20);
        timer_->OnTimer = [this, during](TObject*) {
            for (int i = 0; i < Screen->FormCount(); ++i)
                if (auto* form = dynamic_cast<TVexaPaintForm*>(Screen->Forms(i)); form && form->Modal()) {
                    timer_->SetEnabled(false);
                    during(*form);
                    return;
                }
        };
    }

    std::unique_ptr<TTimer> timer_;
};

std::unique_ptr<TBitmap> Numbered(int width, int height)
{
    auto bitmap = std::make_unique<TBitmap>(width, height);
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < width * 3; ++i)
            bitmap->ScanLine(y)[i] = static_cast<std::uint8_t>(y * 16 + i / 3);
    return bitmap;
}

} // namespace

TEST_F(VexaPaintFormTest, ADraggedSelectionIsCroppedAndOkHandsTheResultBack)
{
    auto caller = Numbered(12, 10);
    bool stillOpenAfterCropMessage = false;
    During([&](TVexaPaintForm& form) {
        EXPECT_EQ(form.Caption(), "Bild bearbeiten (Vergrößerung 1:1)") << "no file name in bitmap mode";
        EXPECT_EQ(form.OKButton->Caption(), "&OK");
        EXPECT_FALSE(form.UndoButton->Enabled());
        form.CropClick();
        EXPECT_EQ(ui::RecordedDialogs().back().Request.Text, VexaPaintTexts::MarkFirst);
        stillOpenAfterCropMessage = form.Modal();
        form.SetZoomStep(2);
        // Dragged from below right up to the left, partly out of the box.
        form.PaintBoxMouseMove(TShiftState{ssLeft}, 14, 12);
        form.PaintBoxMouseMove(TShiftState{ssLeft}, -7, 4);
        EXPECT_EQ(form.SelectionState(), ssDragging);
        form.PaintBoxMouseUp(mbLeft, -7, 4);
        EXPECT_EQ(form.SelectionState(), ssMarked);
        EXPECT_EQ(form.PictureSelection(), Rect(0, 2, 7, 6));
        form.CropClick();
        EXPECT_EQ(form.Picture().Bitmap().Width(), 7);
        EXPECT_EQ(form.Picture().Bitmap().Height(), 4);
        EXPECT_EQ(form.SelectionState(), ssNone);
        EXPECT_TRUE(form.UndoButton->Enabled());
        EXPECT_EQ(form.Caption(), "Bild bearbeiten (Vergrößerung 2:1)");
        EXPECT_EQ(form.PaintBox->Width(), 14);
        form.OKClick();
    });
    auto* form = new TVexaPaintForm(nullptr);
    EXPECT_TRUE(form->EditPicture(nullptr, caller.get()));
    EXPECT_TRUE(stillOpenAfterCropMessage);
    ASSERT_EQ(caller->Width(), 7);
    EXPECT_EQ(caller->ScanLine(0)[0], 2 * 16 + 0);
}

TEST_F(VexaPaintFormTest, CancelLeavesTheCallersBitmapAndARightClickClearsTheSelection)
{
    auto caller = Numbered(8, 8);
    During([&](TVexaPaintForm& form) {
        form.MenuItemClick(vmTurn, 2);
        EXPECT_EQ(form.Picture().Bitmap().ScanLine(0)[0], 7 * 16) << "turned right";
        form.PaintBoxMouseMove(TShiftState{ssLeft}, 1, 1);
        form.PaintBoxMouseMove(TShiftState{ssLeft}, 4, 4);
        form.PaintBoxMouseUp(mbLeft, 4, 4);
        form.PaintBoxMouseUp(mbRight, 4, 4);
        EXPECT_EQ(form.SelectionState(), ssNone);
        form.MenuItemClick(vmColour, 1);
        EXPECT_EQ(form.Picture().Bitmap().ScanLine(7)[21], 255 - 7) << "no selection: the whole picture is inverted";
        form.CancelClick();
    });
    auto* form = new TVexaPaintForm(nullptr);
    EXPECT_FALSE(form->EditPicture(nullptr, caller.get()));
    EXPECT_EQ(caller->ScanLine(0)[0], 0);
}

TEST_F(VexaPaintFormTest, OkOnAPictureOfAnotherFormatAsksForABitmapNameAndACancelKeepsTheEditorOpen)
{
    const fs::path folder = fs::temp_directory_path() / ("vexapaint-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string png = (folder / "x.png").string();
    Numbered(6, 4)->SaveToFile((folder / "x.bmp").string());
    ASSERT_EQ(std::system(("convert '" + (folder / "x.bmp").string() + "' '" + png + "'").c_str()), 0);
    fs::remove(folder / "x.bmp");
    TPicInfoObject entry;
    entry.FileName = png;
    Setup::VisteloFilename = (folder / "show.vsf").string();
    bool stayed = false;
    During([&](TVexaPaintForm& form) {
        EXPECT_EQ(form.Caption(), "Bild bearbeiten (Vergrößerung 1:1) [x.png]");
        ui::ScriptAnswer(IDCANCEL);
        form.OKClick();
        const auto& asked = ui::RecordedDialogs().back().Request;
        EXPECT_NE(asked.Value.find("x.bmp"), std::string::npos) << asked.Value;
        EXPECT_EQ(form.Result(), -1);
        stayed = form.Modal();
        form.CancelClick();
    });
    auto* form = new TVexaPaintForm(nullptr);
    EXPECT_FALSE(form->EditPicture(&entry, nullptr));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(entry.FileName, png);
    fs::remove_all(folder);
}

TEST_F(VexaPaintFormTest, APictureOfTheShowIsOpenedByItsNumberAndSavedUnderItsName)
{
    const fs::path folder = fs::temp_directory_path() / ("vexapaint-show-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    TVistelo show;
    for (int i = 0; i < 2; ++i) {
        Numbered(4, 3)->SaveToFile((folder / (std::to_string(i) + ".bmp")).string());
        TPicInfoObject entry;
        entry.FileName = (folder / (std::to_string(i) + ".bmp")).string();
        show.AddDia(entry);
    }
    Setup::VisteloFilename = (folder / "show.vsf").string();
    PicInfoUnit::PicInfoAccessMethod = paVistelo;
    PicInfoUnit::AccessVistelo = &show;
    std::string caption;
    During([&](TVexaPaintForm& form) {
        caption = form.Caption();
        form.MenuItemClick(vmColour, 1);
        form.OKClick();
    });
    EXPECT_TRUE(ToolHooks::EditShowPicture(1));
    EXPECT_EQ(caption, "Bild bearbeiten (Vergrößerung 1:1) [1.bmp]");
    TBitmap saved;
    saved.LoadFromFile((folder / "1.bmp").string());
    EXPECT_EQ(saved.ScanLine(2)[3], 255 - 33) << "inverted";
    saved.LoadFromFile((folder / "0.bmp").string());
    EXPECT_EQ(saved.ScanLine(0)[0], 0) << "the other picture is left alone";

    EXPECT_FALSE(ToolHooks::EditShowPicture(2)) << "no such picture, no editor";
    EXPECT_FALSE(ToolHooks::EditShowPicture(-1));
    PicInfoUnit::PicInfoAccessMethod = paPicListBox;
    PicInfoUnit::AccessVistelo = nullptr;
    fs::remove_all(folder);
}

TEST_F(VexaPaintFormTest, TheMenusShowAPictureForEachEntryAndTheToolBarZooms)
{
    auto* form = new TVexaPaintForm(nullptr);
    for (int m = 0; m < 4; ++m) {
        const TMenuItem& items = form->Menus[m]->Items();
        EXPECT_EQ(form->Menus[m]->Images(), form->MenuImages[m]);
        EXPECT_EQ(form->MenuImages[m]->Count(), items.Count()) << "menu " << m;
        for (int i = 0; i < items.Count(); ++i)
            EXPECT_EQ(items.Items(i)->ImageIndex, items.Items(i)->IsLine() ? -1 : i) << "menu " << m << " entry " << i;
    }
    for (TButton* button : {form->CropButton, form->TurnButton, form->ColourButton, form->BrightnessButton,
                            form->FilterButton, form->UndoButton})
        EXPECT_FALSE(static_cast<TBitBtn*>(button)->Glyph().Empty()) << button->Caption();
    EXPECT_EQ(form->ZoomToolBar->Images()->Count(), 3);
    form->ZoomInButton->Click();
    form->ZoomInButton->Click();
    EXPECT_EQ(form->ZoomStep(), 3);
    form->ZoomOutButton->Click();
    EXPECT_EQ(form->ZoomStep(), 2);
    form->ZoomOneButton->Click();
    EXPECT_EQ(form->ZoomStep(), 1);
    delete form;
}

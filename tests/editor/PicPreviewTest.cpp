// The preview window: zoom steps down to a quarter, the middle kept while
// zooming, the window placed in the work area, and the window opened twice
// from the main window, each time a window of its own.

#include "editor/app/PicPreview.h"

#include "editor/app/PicInfoTools.h"

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "editor/app/ToolHooks.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ScrollBox.h"
#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"
#include "widgets/KSCtrls.h"

namespace {

TEST(PicPreviewZoomTest, ZoomingOutStopsAtAQuarter)
{
    std::vector<double> seen;
    double zoom = 1.0;
    for (int i = 0; i < 5; ++i)
        seen.push_back(zoom = PicPreview::ZoomedOut(zoom));
    EXPECT_EQ(seen, (std::vector<double>{0.75, 0.5, 0.25, 0.25, 0.25}));
    EXPECT_EQ(PicPreview::ZoomedIn(0.25, 640, 480), 0.5);
    EXPECT_EQ(PicPreview::ZoomedIn(4.0, 4096, 100), 4.0) << "no bitmap beyond the largest side";
    EXPECT_EQ(PicPreview::ZoomedSize(101, 50, 0.25), (TSize{25, 12})) << "25.25 and 12.5, halves to even";
}

TEST(PicPreviewZoomTest, TheMiddleOfTheViewStays)
{
    // A view of 100 at 150 on a range of 400 sees 150..250, middle 200 (half).
    EXPECT_EQ(PicPreview::CentredPosition(150, 100, 400, 500), 200);
    EXPECT_EQ(PicPreview::CentredPosition(0, 100, 400, 800), 50);
    EXPECT_EQ(PicPreview::CentredPosition(300, 100, 400, 500), 388) << "437.5 - 50, halves to even";
    EXPECT_EQ(PicPreview::CentredPosition(300, 100, 400, 120), 20) << "never past the end";
    EXPECT_EQ(PicPreview::CentredPosition(150, 100, 400, 80), 0) << "a picture smaller than the view does not scroll";
}

TEST(PicPreviewZoomTest, TheWindowIsCentredOrFillsTheWorkArea)
{
    const TRect work = Rect(0, 30, 1024, 768);
    EXPECT_EQ(PicPreview::PlaceInWorkArea({400, 300}, work), Bounds(312, 249, 400, 300));
    EXPECT_EQ(PicPreview::PlaceInWorkArea({1100, 300}, work), work);
    EXPECT_EQ(PicPreview::PlaceInWorkArea({400, 739}, work), work);
}

class PicPreviewFormTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        savedHomeDir_ = Setup::HomeDir;
        savedFast_ = Setup::FastPreview;
        Setup::HomeDir = scratch.Path("");
        TBitmap bitmap(120, 80, pf24bit);
        bitmap.Canvas().Brush.Color = clRed;
        bitmap.Canvas().FillRect(Rect(0, 0, 120, 80));
        bitmap.SaveToFile(scratch.Path("rot.bmp"));
        form = new TAAForm(nullptr);
        form->StartTimerTimer(nullptr);
        form->AddPictureFiles({scratch.Path("rot.bmp"), scratch.Path("fehlt.bmp")}, false);
        ui::ClearRecordedDialogs();
    }
    void TearDown() override
    {
        delete form;
        Setup::HomeDir = savedHomeDir_;
        Setup::FastPreview = savedFast_;
        UiTest::TearDown();
    }
    void SelectOnly(int index)
    {
        for (int i = 0; i < form->PicCount(); ++i)
            form->PicListBox->SetSelected(i, i == index);
        form->PicListBox->SetItemIndex(index);
        form->PicListBox->SetSelected(index, true);
    }

    EditorScratch scratch;
    TAAForm* form = nullptr;

private:
    std::string savedHomeDir_;
    bool savedFast_ = false;
};

TEST_F(PicPreviewFormTest, OpenedTwiceEachTimeAWindowOfItsOwn)
{
    SelectOnly(0);
    std::vector<TPicPreviewForm*> windows;
    for (int run = 0; run < 2; ++run) {
        LaterOnModalForm<TPicPreviewForm>([&](TPicPreviewForm& preview) {
            windows.push_back(&preview);
            EXPECT_EQ(preview.Caption(), "Vorschau [rot.bmp]");
            EXPECT_EQ(preview.PreviewImage->Width(), 120);
            EXPECT_EQ(PicPreview::ZoomFaktor, 1.0);
            preview.ZoomOutBtn->Click();
            preview.ZoomOutBtn->Click();
            preview.ZoomOutBtn->Click();
            preview.ZoomOutBtn->Click();
            EXPECT_EQ(PicPreview::ZoomFaktor, 0.25);
            EXPECT_EQ(preview.PreviewImage->Width(), 30);
            EXPECT_EQ(preview.ScrollBox->HorzScrollBar().Range(), 30);
            preview.ZoomInBtn->Click();
            EXPECT_EQ(preview.PreviewImage->Height(), 40);
            preview.OriginalSizeBtn->Click();
            EXPECT_EQ(preview.PreviewImage->Height(), 80);
            preview.CloseBtn->Click();
        });
        form->PreviewPictureClick(nullptr);
        EXPECT_EQ(ModalForm<TPicPreviewForm>(), nullptr);
    }
    ASSERT_EQ(windows.size(), 2u) << "the second preview came up as well";
    for (int i = 0; i < Screen->FormCount(); ++i)
        EXPECT_EQ(dynamic_cast<TPicPreviewForm*>(Screen->Forms(i)), nullptr) << "no preview window is left behind";
}

TEST_F(PicPreviewFormTest, KeysZoomAndEscapeCloses)
{
    SelectOnly(0);
    LaterOnModalForm<TPicPreviewForm>([&](TPicPreviewForm& preview) {
        for (const char* zoom : {"+", "+", "-"})
            ui::test::SendKey(&preview, TKeyAction::Press, *zoom == '+' ? TKey::Plus : TKey::Minus, {}, zoom);
        ui::test::SendKey(&preview, TKeyAction::Press, TKey::Escape);
    });
    form->PreviewPictureClick(nullptr);
    EXPECT_EQ(ModalForm<TPicPreviewForm>(), nullptr) << "Escape closed it";
    EXPECT_EQ(PicPreview::ZoomFaktor, 1.25);
}

TEST_F(PicPreviewFormTest, APictureThatDoesNotLoadOpensNoWindow)
{
    SelectOnly(1);
    form->PreviewPictureClick(nullptr);
    ASSERT_FALSE(ui::RecordedDialogs().empty());
    EXPECT_EQ(ui::RecordedDialogs().back().Request.Text,
              "Das Bild \"" + scratch.Path("fehlt.bmp") + "\" kann nicht geladen werden.");
}

TEST_F(PicPreviewFormTest, PrintingHandsTheShownPictureOn)
{
    SelectOnly(0);
    const auto saved = ToolHooks::PrintLoadedPicture();
    int printedWidth = 0;
    ToolHooks::PrintLoadedPicture() = [&](TPicture& picture) { printedWidth = picture.Width(); };
    LaterOnModalForm<TPicPreviewForm>([&](TPicPreviewForm& preview) {
        preview.ZoomOutBtn->Click();
        preview.PrintBtn->Click();
        preview.CloseBtn->Click();
    });
    form->PreviewPictureClick(nullptr);
    EXPECT_EQ(printedWidth, 120) << "the picture itself, not the zoomed view";

    printedWidth = 0;
    PicInfoTools::PrintPicture(*form->GetPicInfoObject(1), nullptr);
    EXPECT_EQ(printedWidth, 0);
    EXPECT_EQ(ui::RecordedDialogs().back().Request.Text, "Fehler beim Laden des Bildes!");
    ToolHooks::PrintLoadedPicture() = saved;
}

} // namespace
